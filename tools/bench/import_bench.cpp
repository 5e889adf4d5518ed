// Import benchmark: generates a folder of N images (plain files and ZIP
// archives, names with blanks, apostrophes and Japanese), imports it without
// and with CRC32, and compares our CRC32 with zlib's over the same bytes.
//   import_bench [N=20000] [folder]
#include <zlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "maintenance/crc.h"
#include "maintenance/image_import.h"
#include "maintenance/import_job.h"
#include "maintenance/import_progress.h"
#include "platform/codepage.h"
#include "platform/input_file.h"
#include "platform/system.h"
#include "zip_fixture.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

void Put(const std::string& path, const std::string& bytes) {
#ifdef _WIN32
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
#else
  std::ofstream out(vel::NativePath(path), std::ios::binary | std::ios::trunc);
#endif
  out << bytes;
}

std::filesystem::path FsPath(const std::string& programPath) {
#ifdef _WIN32
  std::string utf8 = vel::AnsiToUtf8(programPath);
#else
  std::string utf8 = vel::NativePath(programPath);
#endif
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

class QuietProgress : public vel::ImportProgress {
 public:
  void Status(const std::string&) override {}
  void Item(const std::string&) override {}
  void Log(const std::string& line) override {
    if (++logged <= 5) std::printf("  log: %s\n", vel::AnsiToUtf8(line).c_str());
  }
  void Range(int) override {}
  void Step(int) override {}
  bool StopRequested() override { return false; }
  int logged = 0;
};

std::string Content(int i, size_t size) {
  std::string s(size, '\0');
  for (size_t k = 0; k < size; ++k) s[k] = static_cast<char>((k * 31 + static_cast<size_t>(i) * 7) ^ (k >> 3));
  return s;
}

// N images: every fifth entry is a ZIP with two disks (two images).
int MakeImages(const std::string& root, int count) {
  int images = 0, folder = -1;
  std::string dir;
  for (int i = 0; images < count; ++i) {
    if (i % 500 == 0) {
      dir = root + "\\" + vel::Jp("メーカー ") + std::to_string(++folder);
      vel::CreateFolder(dir);
    }
    std::string name = "Game " + std::to_string(i) + " It's" + vel::Jp(" ソフト表示") + " (1987)(J)";
    if (i % 5 == 4 && count - images >= 2) {
      Put(dir + "\\" + name + ".zip", vel::test::MakeZip({{"DISK1.D88", Content(i, 2048), true},
                                                          {"DISK2.D88", Content(i + 1, 2048), true}}));
      images += 2;
    } else {
      Put(dir + "\\" + name + ".d88", Content(i, 2048));
      images += 1;
    }
  }
  return images;
}

double ImportSeconds(vel::LibraryConnection& db, const vel::ImportJob& job, vel::ImportSummary& summary) {
  db.Query("DELETE FROM main_table;");
  QuietProgress progress;
  auto start = Clock::now();
  summary = vel::ImportImages(db, job, nullptr, progress);
  return Seconds(start);
}

void CrcThroughput(const std::string& root) {
  const size_t size = 64u << 20;
  std::string data = Content(1, size);
  const int rounds = 8;
  // Best of three turns, taken in alternation so that neither side gets a warmer machine.
  double zlibSeconds = 1e9, oursSeconds = 1e9;
  uLong z = 0;
  std::uint32_t ours = 0;
  for (int turn = 0; turn < 3; ++turn) {
    auto start = Clock::now();
    for (int r = 0; r < rounds; ++r)
      z = crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(size));
    zlibSeconds = std::min(zlibSeconds, Seconds(start));
    start = Clock::now();
    for (int r = 0; r < rounds; ++r) ours = vel::Crc32(0, data.data(), size);
    oursSeconds = std::min(oursSeconds, Seconds(start));
  }
  double mb = static_cast<double>(size) * rounds / (1 << 20);
  std::printf("CRC32 in memory: zlib %.0f MB/s, ours %.0f MB/s (%.0f %% of zlib)%s\n", mb / zlibSeconds,
              mb / oursSeconds, 100.0 * zlibSeconds / oursSeconds, z == ours ? "" : "  MISMATCH");

  const std::string path = root + "\\crc_sample.bin";
  Put(path, data);
  vel::FileCrc(path, {}, {true, false});  // warm the cache
  auto start = Clock::now();
  std::string fileCrc;
  for (int r = 0; r < rounds; ++r) fileCrc = vel::FileCrc(path, {}, {true, false}).crc32;
  double fileSeconds = Seconds(start);
  std::printf("CRC32 of a 64 MB file (read included): %.0f MB/s (%.0f %% of zlib in memory)%s\n",
              mb / fileSeconds, 100.0 * zlibSeconds / fileSeconds,
              fileCrc == vel::Crc32Text(static_cast<std::uint32_t>(z)) ? "" : "  MISMATCH");
  start = Clock::now();
  std::uint16_t c16 = 0;
  for (int r = 0; r < 2; ++r) c16 = vel::Crc16(0, data.data(), size);
  std::printf("CRC16 in memory: %.0f MB/s (%04X)\n", static_cast<double>(size) * 2 / (1 << 20) / Seconds(start),
              c16);
}

}  // namespace

int main(int argc, char** argv) {
  int count = argc > 1 ? std::atoi(argv[1]) : 20000;
  std::string root;
  if (argc > 2) {
    root = argv[2];
  } else {
    std::u8string temp = std::filesystem::temp_directory_path().u8string();
    root = vel::Utf8ToAnsi(std::string(temp.begin(), temp.end()));
    while (!root.empty() && (root.back() == '\\' || root.back() == '/')) root.pop_back();
    root += "\\vel_import_bench";
  }
  std::filesystem::remove_all(FsPath(root));
  vel::CreateFolder(root);
  const std::string images = root + "\\images";
  vel::CreateFolder(images);
  auto start = Clock::now();
  int made = MakeImages(images, count);
  std::printf("generated %d images in %.1f s under %s\n", made, Seconds(start), vel::AnsiToUtf8(root).c_str());

  vel::LibraryConnection db;
  db.Open(root + "\\bench.db", "");
  if (auto error = vel::CreateOrUpgradeSchema(db)) {
    std::printf("schema: %s\n", error->c_str());
    return 1;
  }
  db.Query("INSERT INTO machine_info_table(machine_num, machine, search_ext) VALUES(1,'PC-8801','d88');");
  vel::ImportJob job;
  job.path = images;
  job.machine = "PC-8801";
  job.searchSubFolders = true;
  job.searchArchives = true;
  job.groupArchiveMembers = true;
  job.titleRule = 1;
  job.makerRule = 1;
  vel::ImportSummary summary;
  double plain = ImportSeconds(db, job, summary);
  std::printf("import without CRC: %d rows in %.2f s (%.0f rows/s)\n", summary.added, plain, summary.added / plain);
  job.crc.crc32 = true;
  double withCrc = ImportSeconds(db, job, summary);
  std::printf("import with CRC32 : %d rows in %.2f s (%.0f rows/s)\n", summary.added, withCrc,
              summary.added / withCrc);
  job.crc.crc16 = true;
  job.crcRange = {16, 0};
  double withBoth = ImportSeconds(db, job, summary);
  std::printf("import with CRC32+CRC16 from byte 16: %d rows in %.2f s\n", summary.added, withBoth);
  CrcThroughput(root);
  db.Close();
  std::filesystem::remove_all(FsPath(root));
  return 0;
}
