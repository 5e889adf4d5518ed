// Fills a new base folder (the current folder) with a small library that
// shows what the program does at its first start: two machines with icons,
// their media and genres, about twenty items with titles in Japanese and
// English, makers, creators, memos, ratings and snapshots, a two-disk set, a
// ZIP holding two images, and for each machine an emulator configuration that
// starts the sample emulator in "emu". A folder that already has a library is
// left as it is, so that running it again keeps what the user changed.
//
// usage: demo_library   (run in the base folder)
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "maintenance/crc.h"
#include "maintenance/image_sets.h"
#include "search/search_items.h"
#include "platform/codepage.h"
#include "platform/system.h"

namespace {

using vel::Jp;

std::string OnDisk(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  return vel::NativePath(path);
#endif
}

bool Write(const std::string& path, const std::string& bytes) {
  std::ofstream out(OnDisk(path), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

void PutU16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}

void PutU32(std::string& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

// A 24-bit bottom-up bitmap: a two-colour diagonal pattern with a frame,
// different for every seed, so that each icon and snapshot can be told apart.
std::string Bitmap(int width, int height, unsigned seed) {
  const int stride = (width * 3 + 3) / 4 * 4;
  std::string pixels(static_cast<size_t>(stride * height), '\0');
  const unsigned char a[3] = {static_cast<unsigned char>(60 + seed * 37 % 160),
                              static_cast<unsigned char>(80 + seed * 91 % 150),
                              static_cast<unsigned char>(90 + seed * 53 % 140)};
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      bool frame = x < 2 || y < 2 || x >= width - 2 || y >= height - 2;
      bool stripe = ((x + y + static_cast<int>(seed) * 5) / 8) % 2 == 0;
      unsigned char* p = reinterpret_cast<unsigned char*>(&pixels[static_cast<size_t>(y * stride + x * 3)]);
      for (int c = 0; c < 3; ++c)
        p[c] = frame ? 30 : stripe ? a[c] : static_cast<unsigned char>(255 - a[(c + 1) % 3] / 2);
    }
  std::string bmp = "BM";
  PutU32(bmp, static_cast<std::uint32_t>(54 + pixels.size()));
  PutU32(bmp, 0);
  PutU32(bmp, 54);
  PutU32(bmp, 40);
  PutU32(bmp, static_cast<std::uint32_t>(width));
  PutU32(bmp, static_cast<std::uint32_t>(height));
  PutU16(bmp, 1);
  PutU16(bmp, 24);
  PutU32(bmp, 0);
  PutU32(bmp, static_cast<std::uint32_t>(pixels.size()));
  PutU32(bmp, 2835);
  PutU32(bmp, 2835);
  PutU32(bmp, 0);
  PutU32(bmp, 0);
  return bmp + pixels;
}

// A ZIP archive whose members are stored as they are.
std::string StoredZip(const std::vector<std::pair<std::string, std::string>>& members) {
  std::string archive, directory;
  for (const auto& [name, data] : members) {
    std::uint32_t crc = vel::Crc32(0, data.data(), data.size());
    std::uint32_t offset = static_cast<std::uint32_t>(archive.size());
    auto common = [&](std::string& out) {
      PutU16(out, 20);  // version needed
      PutU16(out, 0);   // flags
      PutU16(out, 0);   // stored
      PutU16(out, 0);   // time
      PutU16(out, 0x5A21);  // date: 2025-01-01
      PutU32(out, crc);
      PutU32(out, static_cast<std::uint32_t>(data.size()));
      PutU32(out, static_cast<std::uint32_t>(data.size()));
      PutU16(out, static_cast<unsigned>(name.size()));
      PutU16(out, 0);  // extra
    };
    PutU32(archive, 0x04034B50);
    common(archive);
    archive += name + data;
    PutU32(directory, 0x02014B50);
    PutU16(directory, 20);  // made by
    common(directory);
    PutU16(directory, 0);  // comment
    PutU16(directory, 0);  // disk
    PutU16(directory, 0);  // internal attributes
    PutU32(directory, 0);  // external attributes
    PutU32(directory, offset);
    directory += name;
  }
  std::uint32_t start = static_cast<std::uint32_t>(archive.size());
  archive += directory;
  PutU32(archive, 0x06054B50);
  PutU16(archive, 0);
  PutU16(archive, 0);
  PutU16(archive, static_cast<unsigned>(members.size()));
  PutU16(archive, static_cast<unsigned>(members.size()));
  PutU32(archive, static_cast<std::uint32_t>(directory.size()));
  PutU32(archive, start);
  PutU16(archive, 0);
  return archive;
}

// An image file's bytes: a recognisable header and some filler.
std::string ImageBytes(const std::string& title, size_t size) {
  std::string bytes = "VELMAROOK DEMO IMAGE\r\n" + title + "\r\n";
  for (size_t i = 0; bytes.size() < size; ++i) bytes += static_cast<char>('A' + i % 26);
  return bytes;
}

struct Machine {
  const char* name;  // UTF-8
  const char* folder;
  const char* extension;
  const char* media;  // UTF-8
};

const Machine kMachines[] = {
    {"Aurora 8", "aurora8", "d88", "FD"},
    {"ルミナ", "lumina", "rom", "ROM"},
};

struct Item {
  int machine;        // index into kMachines
  const char* file;   // file title (a ZIP member's name for a member)
  const char* title;  // UTF-8 from here on
  const char* kana;
  const char* maker;
  const char* year;
  const char* genre;
  const char* creators;
  const char* memo;
  int rating;
  int adult;
  const char* zip;  // the archive's file title for a member, else null
};

const Item kItems[] = {
    {0, "Starlit Quest (1986)", "Starlit Quest", "すたーりっとくえすと", "Northwind Soft", "1986-04-00", "RPG",
     "Aki Sato;Ken Mori;", "A small party crosses the starlit sea in search of the lost lighthouse.", 40, 0, nullptr},
    {0, "Hoshifuru Meikyu (1987)", "星降る迷宮", "ほしふるめいきゅう", "ミナト企画", "1987-11-00", "RPG", "森田 健;",
     "地下十階まで続く迷宮。\r\n三人の仲間と宝珠を探す。", 50, 0, nullptr},
    {0, "Ginga Densetsu (Disk 1)", "銀河伝説", "ぎんがでんせつ", "ミナト企画", "1988-03-21", "アドベンチャー",
     "森田 健;佐藤 亜紀;", "ディスク２枚組。起動するとディスク１と２が一緒に渡されます。", 30, 0, nullptr},
    {0, "Ginga Densetsu (Disk 2)", "銀河伝説", "ぎんがでんせつ", "ミナト企画", "1988-03-21", "アドベンチャー",
     "", "", 0, 0, nullptr},
    {0, "Harbor Lights (1985)", "Harbor Lights", "はーばーらいつ", "Bluebird", "1985-00-00", "アドベンチャー",
     "Mia Chen;", "A detective story told in six nights.", 30, 0, nullptr},
    {0, "Tetra Towers (1989)", "Tetra Towers", "てとらたわーず", "Northwind Soft", "1989-07-00", "パズル",
     "Ken Mori;", "Stack the blocks, mind the wind.", 20, 0, nullptr},
    {0, "Kaze no Tabibito (1990)", "風の旅人", "かぜのたびびと", "あおぞらソフト", "1990-02-14", "RPG",
     "高橋 実;森田 健;", "風を読む少年の旅。", 40, 0, nullptr},
    {0, "Neon Runner (1991)", "Neon Runner", "ねおんらんなー", "Bluebird", "1991-00-00", "アクション",
     "Mia Chen;Aki Sato;", "", 30, 0, nullptr},
    {0, "Yoru no Toshokan (1992)", "夜の図書館", "よるのとしょかん", "あおぞらソフト", "1992-10-00",
     "アドベンチャー", "高橋 実;", "閉館後の図書館で起きる不思議な出来事。", 0, 1, nullptr},
    {0, "Sky Lancer (1988)", "Sky Lancer", "すかいらんさー", "Orbit Works", "1988-08-00", "シューティング",
     "Ray Ito;", "Vertical scrolling, two loops.", 40, 0, nullptr},
    {1, "Moonlit Racer (1990)", "Moonlit Racer", "むーんりっとれーさー", "Orbit Works", "1990-05-00",
     "アクション", "Ray Ito;", "Night races on the coast road.", 30, 0, nullptr},
    {1, "Hanabi Panic (1991)", "花火パニック", "はなびぱにっく", "ミナト企画", "1991-08-15", "パズル",
     "佐藤 亜紀;", "夏祭りの花火を順番に打ち上げる。", 40, 0, nullptr},
    {1, "Crystal Knight (1989)", "Crystal Knight", "くりすたるないと", "Northwind Soft", "1989-12-00", "RPG",
     "Aki Sato;", "", 50, 0, nullptr},
    {1, "Umi no Koe (1992)", "海の声", "うみのこえ", "あおぞらソフト", "1992-06-00", "アドベンチャー",
     "高橋 実;", "灯台守の一年を描く。", 20, 0, nullptr},
    {1, "Star Bomber (1987)", "Star Bomber", "すたーぼんばー", "Orbit Works", "1987-00-00", "シューティング",
     "Ray Ito;Mia Chen;", "Eight stages, one ship.", 30, 0, nullptr},
    {1, "Mahou no Mori (1990)", "魔法の森", "まほうのもり", "ミナト企画", "1990-09-00", "RPG",
     "森田 健;", "森の奥の魔法使いを訪ねる。", 40, 0, nullptr},
    {1, "Quiz Carnival (1993)", "Quiz Carnival", "くいずかーにばる", "Bluebird", "1993-03-00", "パズル", "",
     "Three thousand questions.", 10, 0, nullptr},
    {1, "Rail Rush (1994)", "Rail Rush", "れーるらっしゅ", "Orbit Works", "1994-00-00", "アクション", "Ray Ito;",
     "", 0, 0, nullptr},
    {1, "BLOCKS.ROM", "Block Drop", "ぶろっくどろっぷ", "Bluebird", "1988-00-00", "パズル", "Mia Chen;",
     "One of two games in the Puzzle Pack ZIP: it is extracted for the run.", 30, 0, "Puzzle Pack"},
    {1, "TILES.ROM", "Tile Twist", "たいるついすと", "Bluebird", "1988-00-00", "パズル", "Mia Chen;",
     "The other game of the Puzzle Pack ZIP.", 20, 0, "Puzzle Pack"},
};

const char* const kGenres[] = {"RPG", "アクション", "アドベンチャー", "シューティング", "パズル"};

std::string Q(const std::string& cp932) { return "'" + vel::Quote(cp932) + "'"; }

bool Run(vel::LibraryConnection& db, const std::string& sql) {
  if (auto error = db.Query(sql)) {
    std::fprintf(stderr, "demo_library: %s\n  %s\n", error->c_str(), vel::AnsiToUtf8(sql).c_str());
    return false;
  }
  return true;
}

}  // namespace

int main() {
  const std::string base = vel::CurrentDirectory();
  const std::string library = base + "\\Velmarook.db";
  if (vel::FileExists(library)) {
    std::printf("demo_library: %s already has a library; left as it is\n", vel::AnsiToUtf8(base).c_str());
    return 0;
  }
  for (const char* folder : {"images", "icons", "snap", "emu", "emuconf"}) vel::CreateFolder(base + "\\" + folder);

  // Files first: the library only names what exists.
  int seed = 1;
  for (const Machine& m : kMachines) {
    const std::string name = Jp(m.name);
    vel::CreateFolder(base + "\\images\\" + m.folder);
    vel::CreateFolder(base + "\\snap\\" + m.folder);
    vel::CreateFolder(base + "\\emuconf\\" + name);
    if (!Write(base + "\\icons\\" + m.folder + ".bmp", Bitmap(32, 32, static_cast<unsigned>(seed++)))) return 1;
    Write(base + "\\emuconf\\" + name + ".ini", "[DefaultEmulator]\r\nINIFile=" + Jp("デモ") + ".ini\r\n");
    Write(base + "\\emuconf\\" + name + "\\" + Jp("デモ") + ".ini",
          "[Emulator]\r\nExec=emu\\demo_emulator.exe\r\nOption=\"$title\" $image $image2\r\ndouble_quart=1\r\n"
          "[ImageFile]\r\nExtract=1\r\nExtractPath=extract\r\nExtractAllDelete=1\r\n");
  }
  vel::CreateFolder(base + "\\extract");
  std::vector<std::pair<std::string, std::string>> zipMembers;
  for (const Item& item : kItems) {
    const Machine& m = kMachines[item.machine];
    const std::string folder = base + "\\images\\" + m.folder;
    const std::string bytes = ImageBytes(item.title, 2048);
    if (item.zip) zipMembers.push_back({item.file, bytes});
    else if (!Write(folder + "\\" + Jp(item.file) + "." + m.extension, bytes)) return 1;
    const std::string snapName = item.zip ? std::string(item.zip) : std::string(item.file);
    Write(base + "\\snap\\" + m.folder + "\\" + Jp(snapName) + ".bmp", Bitmap(256, 192, static_cast<unsigned>(seed++)));
  }
  const std::string zipPath = base + "\\images\\" + kMachines[1].folder + "\\Puzzle Pack.zip";
  if (!Write(zipPath, StoredZip(zipMembers))) return 1;

  vel::LibraryConnection db;
  db.Open(library, "");
  if (!db.IsOpen() || vel::CreateOrUpgradeSchema(db)) {
    std::fprintf(stderr, "demo_library: the library could not be made\n");
    return 1;
  }
  bool ok = Run(db, "BEGIN;");
  for (size_t i = 0; i < std::size(kMachines); ++i) {
    const Machine& m = kMachines[i];
    const std::string n = std::to_string(i + 1);
    ok = ok && Run(db, "INSERT INTO machine_info_table(machine_num,machine,machine_icon,search_ext,snap_path,"
                       "snap_path2,snap_path3,snap_dtm,default_media) VALUES(" + n + "," + Q(Jp(m.name)) + "," +
                       Q(base + "\\icons\\" + m.folder + ".bmp") + "," + Q(m.extension) + "," +
                       Q(base + "\\snap\\" + m.folder) + ",'','','', " + Q(Jp(m.media)) + ");");
    ok = ok && Run(db, "INSERT INTO media_info_table(media_num,media,media_icon) VALUES(" + n + "," +
                       Q(Jp(m.media)) + ",'');");
  }
  for (size_t i = 0; i < std::size(kGenres); ++i)
    ok = ok && Run(db, "INSERT INTO genre_info_table(genre_num,genre,genre_icon) VALUES(" + std::to_string(i + 1) +
                       "," + Q(Jp(kGenres[i])) + ",'');");
  std::string setParent;
  for (const Item& item : kItems) {
    const Machine& m = kMachines[item.machine];
    const std::string folder = base + "\\images\\" + m.folder;
    const std::string file = Jp(item.file);
    std::string key, fileTitle, fileExt, arcTitle, arcExt;
    if (item.zip) {
      key = zipPath + "*" + file;
      fileTitle = item.zip;
      fileExt = "zip";
      arcTitle = file.substr(0, file.rfind('.'));
      arcExt = file.substr(file.rfind('.') + 1);
    } else {
      key = folder + "\\" + file + "." + m.extension;
      fileTitle = file;
      fileExt = m.extension;
    }
    // The two disks of the set: the first is the parent.
    const bool disk = file.find("(Disk ") != std::string::npos;
    const bool child = disk && !setParent.empty();
    if (disk && !child) setParent = key;
    const std::string ply = disk ? (child ? "2" : "1") : "0";
    ok = ok && Run(db, "INSERT INTO main_table(file_name,file_arc_title,file_arc_ext,file_title,file_ext,"
                       "machine_name,title,smart_title,kana,maker,sale_year,developer,country,rom_num,adult,rating,"
                       "version,genre_name,media_name,tag,boot_count,last_boot,ply,ply_file_name,crc32,crc,"
                       "play_time,modify,associate) VALUES(" +
                       Q(key) + "," + Q(arcTitle) + "," + Q(arcExt) + "," + Q(fileTitle) + "," + Q(fileExt) + "," +
                       Q(Jp(m.name)) + "," + Q(Jp(item.title)) + "," + Q(Jp(item.title)) + "," + Q(Jp(item.kana)) +
                       "," + Q(Jp(item.maker)) + "," + Q(item.year) + "," + Q(Jp(item.maker)) + ",'JP',0," +
                       std::to_string(item.adult) + "," + std::to_string(item.rating) + ",''," +
                       Q(Jp(item.genre)) + "," + Q(Jp(m.media)) + ",'',0,'', " + ply + "," +
                       Q(child ? setParent : "") + ",'','','','',0);");
    if (*item.creators)
      ok = ok && Run(db, "INSERT INTO creator_table VALUES(" + Q(key) + "," + Q(Jp(item.creators)) + ");");
    if (*item.memo) ok = ok && Run(db, "INSERT INTO memo_table VALUES(" + Q(key) + "," + Q(Jp(item.memo)) + ");");
  }
  if (ok) {
    if (auto error = vel::RebuildMaxDiskTable(db)) {
      std::fprintf(stderr, "demo_library: %s\n", error->c_str());
      ok = false;
    }
  }
  if (!ok || !Run(db, "COMMIT;")) {
    db.Query("ROLLBACK;");
    db.Close();
    vel::RemoveFile(library);
    return 1;
  }
  // The first start shows the whole library: the list view a search over
  // every item leaves behind.
  vel::ListQueryState state;
  vel::SearchEnvironment env;
  env.db = &db;
  if (vel::CreateItemView(db) ||
      vel::SearchItems(env, state, "SELECT * FROM all_item_view WHERE ply < 2", vel::kTargetSql, 0, false).result != 1)
    std::fprintf(stderr, "demo_library: the list of every item could not be made; search to see the items\n");
  db.Close();
  std::printf("demo_library: %zu items in %s\n", std::size(kItems), vel::AnsiToUtf8(library).c_str());
  return 0;
}
