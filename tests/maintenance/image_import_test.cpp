#include "maintenance/image_import.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>

#include "db/library_connection.h"
#include "db/schema.h"
#include "launch/launch_images.h"
#include "maintenance/archive_lister.h"
#include "maintenance/import_job.h"
#include "maintenance/import_options.h"
#include "maintenance/import_progress.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"
#include "zip_fixture.h"

namespace vel {
namespace {

// Writes a file by its program path (CP932, '\' between folders).
void Put(const std::string& path, const std::string& bytes) {
#ifdef _WIN32
  test::WriteWholeFile(path, bytes);
#else
  test::WriteWholeFile(NativePath(path), bytes);
#endif
}

class RecordedProgress : public ImportProgress {
 public:
  void Status(const std::string&) override {}
  void Item(const std::string&) override {}
  void Log(const std::string& line) override { lines.push_back(AnsiToUtf8(line)); }
  void Range(int total) override { range = total; }
  void Step(int) override {}
  bool StopRequested() override { return stopAfter >= 0 && ++stopChecks > stopAfter; }
  bool Logged(const std::string& utf8Part) const {
    for (const std::string& l : lines)
      if (l.find(utf8Part) != std::string::npos) return true;
    return false;
  }
  std::vector<std::string> lines;  // UTF-8, for readable failures
  int range = -1;
  int stopAfter = -1;
  int stopChecks = 0;
};

class ImageImportTest : public testing::Test {
 protected:
  void SetUp() override {
    root = folder.Path() + "\\roms";
    ASSERT_TRUE(CreateFolder(root));
    db.Open(folder / "library.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(db.Query("INSERT INTO machine_info_table(machine_num, machine, search_ext) "
                          "VALUES(1,'PC-8801','d88;.d77');"));
    job.path = root;
    job.machine = "PC-8801";
    job.searchSubFolders = true;
    job.searchArchives = true;
    job.groupArchiveMembers = true;
    job.titleRule = 1;
    job.makerRule = 1;
    job.crc.crc32 = true;
  }

  void MakeFixture() {
    ASSERT_TRUE(CreateFolder(root + "\\Enix"));
    ASSERT_TRUE(CreateFolder(root + "\\Enix\\sub"));
    Put(root + "\\Enix\\Game (1987)(J).d88", "game");
    Put(root + "\\Enix\\It's, [x] (1990).d88", "apostrophe");
    Put(root + "\\Enix\\" + Jp("ソフト表示.d88"), "japanese");
    Put(root + "\\Enix\\notes.txt", "another extension");
    Put(root + "\\Enix\\sub\\a.zip",
        test::MakeZip({{"DISK2.D88", "disk two", true}, {"DISK1.D88", "disk one"}, {"readme.txt", "x"}}));
  }

  std::map<std::string, std::map<std::string, std::string>> Rows() {
    std::map<std::string, std::map<std::string, std::string>> rows;
    EXPECT_FALSE(db.Query("PRAGMA table_info(main_table);"));
    std::vector<std::string> names;
    for (int r = 1; r <= db.RowCount(); ++r) names.push_back(db.Cell(r, 1));
    EXPECT_FALSE(db.Query("SELECT * FROM main_table;"));
    for (int r = 1; r <= db.RowCount(); ++r)
      for (int c = 0; c < db.ColumnCount(); ++c) rows[db.Cell(r, 0)][names[c]] = db.Cell(r, c);
    return rows;
  }

  std::string Scalar(const std::string& sql) {
    EXPECT_FALSE(db.Query(sql)) << sql;
    return db.Cell(1, 0);
  }

  test::TempFolder folder;
  std::string root;
  LibraryConnection db;
  ImportJob job;
  RecordedProgress progress;
};

TEST_F(ImageImportTest, ImportsTheFixtureFolderIntoExactlyTheExpectedRows) {
  MakeFixture();
  ImportSummary s = ImportImages(db, job, nullptr, progress);
  EXPECT_FALSE(s.failed);
  EXPECT_EQ(s.added, 5);
  EXPECT_TRUE(progress.lines.empty()) << progress.lines.front();
  const std::string zipKey = root + "\\Enix\\sub\\a.zip*";
  const std::string japanese = root + "\\Enix\\" + Jp("ソフト表示.d88");
  auto rows = Rows();
  ASSERT_EQ(rows.size(), 5u);
  struct Want {
    std::string key, arcTitle, arcExt, fileTitle, fileExt, title, maker, crc32, ply, plyParent;
  } wants[] = {
      {root + "\\Enix\\Game (1987)(J).d88", "", "", "Game (1987)(J)", "d88", "Game", "Enix",
       Crc32Text(test::ZlibCrc("game")), "0", ""},
      {root + "\\Enix\\It's, [x] (1990).d88", "", "", "It's, [x] (1990)", "d88", "It's,", "Enix",
       Crc32Text(test::ZlibCrc("apostrophe")), "0", ""},
      {japanese, "", "", Jp("ソフト表示"), "d88", Jp("ソフト表示"), "Enix", Crc32Text(test::ZlibCrc("japanese")),
       "0", ""},
      {zipKey + "DISK1.D88", "DISK1", "D88", "a", "zip", "a", "sub", Crc32Text(test::ZlibCrc("disk one")), "1",
       ""},
      {zipKey + "DISK2.D88", "DISK2", "D88", "a", "zip", "a", "sub", Crc32Text(test::ZlibCrc("disk two")), "2",
       zipKey + "DISK1.D88"},
  };
  for (const Want& w : wants) {
    ASSERT_TRUE(rows.count(w.key)) << AnsiToUtf8(w.key);
    auto& row = rows[w.key];
    EXPECT_EQ(row["file_arc_title"], w.arcTitle);
    EXPECT_EQ(row["file_arc_ext"], w.arcExt);
    EXPECT_EQ(row["file_title"], w.fileTitle);
    EXPECT_EQ(row["file_ext"], w.fileExt);
    EXPECT_EQ(row["title"], w.title);
    EXPECT_EQ(row["maker"], w.maker);
    EXPECT_EQ(row["crc32"], w.crc32);
    EXPECT_EQ(row["crc"], "");  // not asked: empty, never "0"
    EXPECT_EQ(row["ply"], w.ply);
    EXPECT_EQ(row["ply_file_name"], w.plyParent);
    EXPECT_EQ(row["machine_name"], "PC-8801");
    EXPECT_EQ(row["adult"], "0");
  }
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM main_table WHERE kana IS NULL OR kana<>'' OR title='' "
                   "OR play_time IS NULL OR modify IS NULL OR modify='';"),
            "0");
}

TEST_F(ImageImportTest, OverwriteChangesOnlyWhatTheImportDerives) {
  MakeFixture();
  ASSERT_EQ(ImportImages(db, job, nullptr, progress).added, 5);
  const std::string key = root + "\\Enix\\Game (1987)(J).d88";
  const std::string q = "'" + Quote(key) + "'";
  ASSERT_FALSE(db.Query("UPDATE main_table SET kana='" + Jp("げーむ") +
                        "', rating=30, adult=1, boot_count=5, last_boot='2024-01-02 03:04:05', "
                        "play_time='001:02:03', maker='Mine' WHERE file_name=" + q + ";"
                        "INSERT INTO memo_table VALUES(" + q + ",'my memo');"
                        "INSERT INTO favorite_table VALUES(" + q + ",'*');"));
  // Without overwrite a registered image stays as it was.
  job.titleRule = 0;
  ImportSummary again = ImportImages(db, job, nullptr, progress);
  EXPECT_EQ(again.added, 0);
  EXPECT_EQ(again.alreadyPresent, 5);
  EXPECT_EQ(Scalar("SELECT title FROM main_table WHERE file_name=" + q + ";"), "Game");

  // With overwrite, CRCs not computed this time and a maker rule of none keep their values.
  job.overwrite = true;
  job.keepFavourites = true;
  job.makerRule = 0;
  job.crc = {};
  ImportSummary over = ImportImages(db, job, nullptr, progress);
  EXPECT_EQ(over.overwritten, 5);
  EXPECT_FALSE(db.Query("SELECT title, kana, rating, adult, boot_count, last_boot, play_time, crc32, maker "
                        "FROM main_table WHERE file_name=" + q + ";"));
  EXPECT_EQ(db.Cell(1, 0), "Game (1987)(J)");
  EXPECT_EQ(db.Cell(1, 1), Jp("げーむ"));
  EXPECT_EQ(db.Cell(1, 2), "30");
  EXPECT_EQ(db.Cell(1, 3), "1");
  EXPECT_EQ(db.Cell(1, 4), "5");
  EXPECT_EQ(db.Cell(1, 5), "2024-01-02 03:04:05");
  EXPECT_EQ(db.Cell(1, 6), "001:02:03");
  EXPECT_EQ(db.Cell(1, 7), Crc32Text(test::ZlibCrc("game")));
  EXPECT_EQ(db.Cell(1, 8), "Mine");
  EXPECT_EQ(Scalar("SELECT memo FROM memo_table WHERE pfile_mm=" + q + ";"), "my memo");
  EXPECT_EQ(Scalar("SELECT fave FROM favorite_table WHERE pfile_fv=" + q + ";"), "*");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM main_table;"), "5");
}

TEST_F(ImageImportTest, AnOverwriteThatChangesATitleRenewsItsSmartTitleAndKeepsTheReading) {
  MakeFixture();
  ASSERT_EQ(ImportImages(db, job, nullptr, progress).added, 5);
  // A new row has its smart title from the start.
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM main_table WHERE smart_title='' OR smart_title IS NULL;"), "0");
  EXPECT_EQ(Scalar("SELECT smart_title FROM main_table WHERE file_name='" + Quote(root + "\\Enix\\Game (1987)(J).d88") +
                   "';"),
            "GAME");
  ASSERT_FALSE(db.Query("UPDATE main_table SET smart_title='OLD', kana='" + Jp("よみ") + "';"));
  job.overwrite = true;
  job.titleRule = 0;  // two titles change: "Game" and "It's,"
  ImportSummary s = ImportImages(db, job, nullptr, progress);
  EXPECT_EQ(s.overwritten, 5);
  EXPECT_EQ(Scalar("SELECT smart_title FROM main_table WHERE file_name='" + Quote(root + "\\Enix\\Game (1987)(J).d88") +
                   "';"),
            "GAME1987J");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM main_table WHERE smart_title='OLD';"), "3");
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM main_table WHERE kana='" + Jp("よみ") + "';"), "5");
  EXPECT_TRUE(progress.Logged("タイトルが変わったアイテム: 2 件")) << (progress.lines.empty() ? "" : progress.lines.back());
}

TEST_F(ImageImportTest, FavouriteMarksOfOverwrittenItemsGoUnlessKept) {
  MakeFixture();
  ASSERT_EQ(ImportImages(db, job, nullptr, progress).added, 5);
  const std::string game = "'" + Quote(root + "\\Enix\\Game (1987)(J).d88") + "'";
  for (bool keep : {true, false}) {
    SCOPED_TRACE(keep ? "kept" : "cleared");
    ASSERT_FALSE(db.Query("DELETE FROM favorite_table; INSERT INTO favorite_table VALUES(" + game +
                          ",'13'),('elsewhere','2');"));
    job.overwrite = true;
    job.keepFavourites = keep;
    EXPECT_EQ(ImportImages(db, job, nullptr, progress).overwritten, 5);
    EXPECT_EQ(Scalar("SELECT COUNT(*) FROM favorite_table WHERE pfile_fv=" + game + ";"), keep ? "1" : "0");
    EXPECT_EQ(Scalar("SELECT fave FROM favorite_table WHERE pfile_fv='elsewhere';"), "2");
  }
  // Without overwrite nothing is cleared.
  ASSERT_FALSE(db.Query("INSERT INTO favorite_table VALUES(" + game + ",'5');"));
  job.overwrite = false;
  job.keepFavourites = false;
  EXPECT_EQ(ImportImages(db, job, nullptr, progress).alreadyPresent, 5);
  EXPECT_EQ(Scalar("SELECT fave FROM favorite_table WHERE pfile_fv=" + game + ";"), "5");
}

TEST_F(ImageImportTest, KeysThatDifferOnlyInLetterCaseAreOneImage) {
  Put(root + "\\Game.d88", "game");
  Put(root + "\\" + Jp("ヂ.d88"), "second byte 0x61");
  // The folder was typed in other letters the first time; ア's second byte is 0x41.
  const std::string stored = folder.Path() + "\\ROMS\\GAME.D88", katakana = root + "\\" + Jp("ア.d88");
  ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title,ply) VALUES('" + Quote(stored) + "','Old',0),('" +
                        Quote(katakana) + "','A',0);"));
  job.titleRule = 0;
  ImportSummary s = ImportImages(db, job, nullptr, progress);
  EXPECT_EQ(s.alreadyPresent, 1);
  EXPECT_EQ(s.added, 1) << "a two-byte character is never folded";
  job.overwrite = true;
  s = ImportImages(db, job, nullptr, progress);
  EXPECT_EQ(s.overwritten, 2);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM main_table;"), "3");
  // The overwrite keeps the stored key and the names that go with it.
  EXPECT_FALSE(db.Query("SELECT title, file_title, file_ext FROM main_table WHERE file_name='" + Quote(stored) + "';"));
  ASSERT_EQ(db.RowCount(), 1);
  EXPECT_EQ(db.Cell(1, 0), "Game");
  EXPECT_EQ(db.Cell(1, 1), "GAME");
  EXPECT_EQ(db.Cell(1, 2), "D88");
}

TEST_F(ImageImportTest, AFailedBatchIsRolledBackWholeAndLogged) {
  MakeFixture();
  ASSERT_FALSE(db.Query("CREATE TRIGGER refuse BEFORE INSERT ON main_table WHEN new.file_name LIKE '%DISK2%' "
                        "BEGIN SELECT RAISE(ABORT,'refused by test'); END;"));
  ImportSummary s = ImportImages(db, job, nullptr, progress);
  EXPECT_TRUE(s.failed);
  EXPECT_EQ(s.added, 0);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM main_table;"), "0");
  EXPECT_TRUE(progress.Logged("refused by test"));
  // The connection is usable afterwards (no transaction left open).
  EXPECT_FALSE(db.Query("BEGIN; COMMIT;"));
}

TEST_F(ImageImportTest, BatchesCoverEveryFileAndAStopEndsBetweenFolders) {
  const int files = kImportBatchRows * 2 + 7;
  ASSERT_TRUE(CreateFolder(root + "\\many"));
  for (int i = 0; i < files; ++i) Put(root + "\\many\\" + std::to_string(i) + ".d77", "");
  job.crc = {};
  ImportSummary s = ImportImages(db, job, nullptr, progress);
  EXPECT_EQ(s.added, files);
  EXPECT_EQ(progress.range, files);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM main_table;"), std::to_string(files));

  // A stop during a folder leaves that folder out whole; earlier folders are kept.
  ASSERT_FALSE(db.Query("DELETE FROM main_table;"));
  ASSERT_TRUE(CreateFolder(root + "\\a"));
  Put(root + "\\a\\one.d88", "1");
  RecordedProgress stopping;
  stopping.stopAfter = 3 + 5;  // the walk checks 3 folders, then 5 files pass
  ImportSummary stopped = ImportImages(db, job, nullptr, stopping);
  EXPECT_TRUE(stopped.stopped);
  EXPECT_EQ(stopped.added, 1);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM main_table;"), "1");
}

TEST_F(ImageImportTest, BadInputIsLoggedAndNothingIsWritten) {
  job.path = root + "\\missing";
  EXPECT_TRUE(ImportImages(db, job, nullptr, progress).failed);
  EXPECT_TRUE(progress.Logged("見つかりません"));
  job.path = root;
  job.machine = "Unknown";
  EXPECT_TRUE(ImportImages(db, job, nullptr, progress).failed);
  EXPECT_TRUE(progress.Logged("Unknown"));
  // Without search extensions the machine's images cannot be told from other files.
  Put(root + "\\any.txt", "text");
  for (const char* searchExt : {"", " ; *. ;"}) {
    ASSERT_FALSE(db.Query(std::string("INSERT OR REPLACE INTO machine_info_table(machine_num, machine, search_ext) "
                                      "VALUES(2,'Bare','") + searchExt + "');"));
    job.machine = "Bare";
    RecordedProgress bare;
    EXPECT_TRUE(ImportImages(db, job, nullptr, bare).failed) << searchExt;
    ASSERT_EQ(bare.lines.size(), 1u);
    EXPECT_EQ(bare.lines[0], AnsiToUtf8(EmptySearchExtensionText("Bare")));
  }
  EXPECT_NE(AnsiToUtf8(EmptySearchExtensionText("Bare")).find("「Bare」"), std::string::npos);
  EXPECT_NE(AnsiToUtf8(EmptySearchExtensionText("Bare")).find("[管理]→[機種]"), std::string::npos);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM main_table;"), "0");
}

// "key:ply:parent;" for every row of main_table under the folder, by key.
std::string SetState(LibraryConnection& db, const std::string& folder) {
  std::string out;
  EXPECT_FALSE(db.Query("SELECT file_name, ply, ply_file_name FROM main_table WHERE file_name LIKE '" +
                        Quote(folder) + "\\%' ORDER BY file_name;"));
  for (int r = 1; r <= db.RowCount(); ++r) {
    auto name = [&](int column) {
      std::string text = db.Cell(r, column);
      return text.empty() ? text : text.substr(text.rfind('\\') + 1);
    };
    out += name(0) + ":" + db.Cell(r, 1) + ":" + name(2) + ";";
  }
  return out;
}

// The images a launch of the item gets, by their file names.
std::string LaunchedImages(LibraryConnection& db, const std::string& key) {
  EXPECT_FALSE(db.Query("SELECT images FROM all_item_view WHERE file_name='" + Quote(key) + "';"));
  int count = db.CellInt(1, 0);
  EXPECT_FALSE(db.Query(ImageListStatement(key, count, false)));
  std::string out;
  for (const ImageRow& row : ImageRowsFromResult(db, false))
    out += row.fileName.substr(row.fileName.rfind('\\') + 1) + ";";
  return out;
}

TEST_F(ImageImportTest, ReimportsRenumberTheWholeSetInLaunchOrder) {
  ASSERT_FALSE(CreateItemView(db));
  job.groupFolderImages = true;
  job.crc = {};
  struct Case {
    const char* name;
    std::vector<const char*> before;  // files of the first import
    const char* firstPath;            // imported first ("" = the folder)
    std::vector<const char*> added;   // files added before the second import
    const char* sets;                 // state of the folder after the second import
    const char* launched;             // what a launch of the parent gets
  } cases[] = {
      {"middle", {"Disk 1.d88", "Disk 3.d88"}, "", {"Disk 2.d88"},
       "Disk 1.d88:1:;Disk 2.d88:2:Disk 1.d88;Disk 3.d88:3:Disk 1.d88;", "Disk 1.d88;Disk 2.d88;Disk 3.d88;"},
      {"first alone", {"Disk 1.d88"}, "Disk 1.d88", {"Disk 2.d88", "Disk 3.d88"},
       "Disk 1.d88:1:;Disk 2.d88:2:Disk 1.d88;Disk 3.d88:3:Disk 1.d88;", "Disk 1.d88;Disk 2.d88;Disk 3.d88;"},
      {"new first disk", {"Disk 2.d88", "Disk 3.d88"}, "", {"Disk 1.d88"},
       "Disk 1.d88:1:;Disk 2.d88:2:Disk 1.d88;Disk 3.d88:3:Disk 1.d88;", "Disk 1.d88;Disk 2.d88;Disk 3.d88;"},
      {"unchanged", {"Disk 1.d88", "Disk 2.d88"}, "", {},
       "Disk 1.d88:1:;Disk 2.d88:2:Disk 1.d88;", "Disk 1.d88;Disk 2.d88;"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string dir = root + "\\" + c.name;
    ASSERT_TRUE(CreateFolder(dir));
    for (const char* f : c.before) Put(dir + "\\" + f, f);
    job.path = *c.firstPath ? dir + "\\" + c.firstPath : dir;
    ASSERT_FALSE(ImportImages(db, job, nullptr, progress).failed);
    for (const char* f : c.added) Put(dir + "\\" + f, f);
    job.path = dir;
    ImportSummary s = ImportImages(db, job, nullptr, progress);
    EXPECT_FALSE(s.failed);
    EXPECT_EQ(s.added, static_cast<int>(c.added.size()));
    EXPECT_EQ(SetState(db, dir), c.sets);
    EXPECT_EQ(LaunchedImages(db, dir + "\\Disk 1.d88"), c.launched);
  }
}

TEST_F(ImageImportTest, TwoFoldersOfOneImportAddingToOneSetNumberItOnce) {
  ASSERT_FALSE(CreateItemView(db));
  job.groupFolderImages = true;
  job.crc = {};
  const std::string a = root + "\\a", b = root + "\\b";
  ASSERT_TRUE(CreateFolder(a));
  ASSERT_TRUE(CreateFolder(b));
  for (const std::string& f : {a + "\\Disk 1.d88", a + "\\Disk 2.d88", b + "\\Disk 3.d88", b + "\\Disk 4.d88"})
    Put(f, f);
  // The set of disks 1 and 3 was joined by hand across the two folders.
  ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title,ply,ply_file_name) VALUES('" + Quote(a + "\\Disk 1.d88") +
                        "','D',1,''),('" + Quote(b + "\\Disk 3.d88") + "','D',2,'" + Quote(a + "\\Disk 1.d88") + "');"));
  ImportSummary s = ImportImages(db, job, nullptr, progress);
  EXPECT_EQ(s.added, 2);
  EXPECT_EQ(SetState(db, root), "Disk 1.d88:1:;Disk 2.d88:2:Disk 1.d88;Disk 3.d88:3:Disk 1.d88;Disk 4.d88:4:Disk 1.d88;");
  EXPECT_EQ(LaunchedImages(db, a + "\\Disk 1.d88"), "Disk 1.d88;Disk 2.d88;Disk 3.d88;Disk 4.d88;");
}

TEST_F(ImageImportTest, AnImageOfAnotherSetOrWithAnAlterEgoStaysWhereItIs) {
  ASSERT_FALSE(CreateItemView(db));
  job.groupFolderImages = true;
  job.crc = {};
  const std::string dir = root + "\\mixed", elsewhere = root + "\\elsewhere";
  ASSERT_TRUE(CreateFolder(dir));
  for (const char* f : {"A.d88", "B.d88", "C.d88", "D.d88"}) Put(dir + "\\" + f, f);
  auto q = [](const std::string& key) { return "'" + Quote(key) + "'"; };
  // B heads a set with an image elsewhere, C is a child of another set, D has an alter ego.
  ASSERT_FALSE(db.Query(
      "INSERT INTO main_table(file_name,title,ply,ply_file_name) VALUES(" + q(dir + "\\B.d88") + ",'B',1,''),(" +
      q(elsewhere + "\\X.d88") + ",'X',2," + q(dir + "\\B.d88") + "),(" + q(elsewhere + "\\Y.d88") +
      ",'Y',1,''),(" + q(dir + "\\C.d88") + ",'C',2," + q(elsewhere + "\\Y.d88") + "),(" + q(dir + "\\D.d88") +
      ",'D',0,'');"
      "INSERT INTO alter_ego_table(pfile_ae,ae_file,alter_ego) VALUES(" + q(dir + "\\D.d88") + ",'copy',1);"));
  ImportSummary s = ImportImages(db, job, nullptr, progress);
  EXPECT_EQ(s.added, 1);
  // A joins B's set in launch order; C stays in Y's set; D stays single. All is said.
  EXPECT_EQ(SetState(db, dir), "A.d88:1:;B.d88:2:A.d88;C.d88:2:Y.d88;D.d88:0:;");
  EXPECT_EQ(SetState(db, elsewhere), "X.d88:3:A.d88;Y.d88:1:;");
  EXPECT_TRUE(progress.Logged(AnsiToUtf8(dir + "\\C.d88")));
  EXPECT_TRUE(progress.Logged(AnsiToUtf8(dir + "\\D.d88")));
  EXPECT_EQ(LaunchedImages(db, dir + "\\A.d88"), "A.d88;B.d88;X.d88;");
  EXPECT_EQ(Scalar("SELECT max_ply FROM tmp_maxdisk WHERE ply_file_name='" + Quote(elsewhere + "\\Y.d88") + "';"), "2");
}

// LZH archives list CRC-16s, 7z archives CRC-32s; other kinds have no library.
class FakeLister : public ArchiveLister {
 public:
  bool List(const std::string& path, std::vector<ArchiveMember>& members, std::string& problem) override {
    ++listings;
    const std::string extension = ExtensionOf(path);
    if (extension == "lzh") {
      members = {{"B/DISK2.D77", std::nullopt, 0x2222}, {"B/DISK1.D77", std::nullopt, 0x1111},
                 {"B/info.txt", std::nullopt, 0x3333}};
      return true;
    }
    if (extension == "7z") {
      members = {{"GAME.D88", 0x0BADF00D, std::nullopt}};
      return true;
    }
    problem = "no library for " + path;
    return false;
  }
  static std::string ExtensionOf(const std::string& p) { return p.substr(p.rfind('.') + 1); }
  int listings = 0;
};

TEST_F(ImageImportTest, ArchivesListedByLibrariesDamagedZipsAndUnnamableFiles) {
  Put(root + "\\set.lzh", "listed by the fake");
  Put(root + "\\other.rar", "no library");
  Put(root + "\\broken.zip", test::MakeZip({{"X.D88", "x"}}).substr(0, 40));
  Put(root + "\\fine.d88", "fine");
  Put(root + "\\Xanadu (1985).zip", test::MakeZip({{"XANADU.D88", "one image"}, {"readme.txt", "x"}}));
  std::filesystem::path unnamable = std::filesystem::path(folder.Path()) / "roms" /
                                    std::filesystem::path(u8"\U0001F600.d88");
  std::ofstream(unnamable, std::ios::binary) << "smile";  // by its wide name on Windows
  job.memberInTitle = true;
  FakeLister lister;
  ImportSummary s = ImportImages(db, job, &lister, progress);
  EXPECT_FALSE(s.failed);
  auto rows = Rows();
  EXPECT_EQ(rows.size(), 4u);
  // The member's name is added to tell the images of one archive apart, and only then.
  EXPECT_EQ(rows[root + "\\Xanadu (1985).zip*XANADU.D88"]["title"], "Xanadu");
  const std::string lzh = root + "\\set.lzh*B\\DISK";
  ASSERT_TRUE(rows.count(lzh + "1.D77"));
  EXPECT_EQ(rows[lzh + "1.D77"]["ply"], "1");
  EXPECT_EQ(rows[lzh + "2.D77"]["ply_file_name"], lzh + "1.D77");
  EXPECT_EQ(rows[lzh + "2.D77"]["title"], "set[D77]---[DISK2]");
  EXPECT_EQ(rows[lzh + "1.D77"]["crc32"], "");  // an LZH archive keeps no CRC-32: logged
  EXPECT_TRUE(progress.Logged("CRC32を持っていません"));
  EXPECT_TRUE(rows.count(root + "\\fine.d88"));
  EXPECT_TRUE(progress.Logged("no library for"));
  EXPECT_TRUE(progress.Logged("途中で切れています"));
  EXPECT_TRUE(progress.Logged("Shift_JIS で表せない"));
  EXPECT_TRUE(progress.Logged("CRCを計算できませんでした"));
  for (auto& [key, row] : rows) EXPECT_EQ(key.find('?'), std::string::npos) << AnsiToUtf8(key);
}

TEST_F(ImageImportTest, MembersOfListedArchivesTakeTheCrcsOfTheirListing) {
  Put(root + "\\set.lzh", "listed by the fake");
  Put(root + "\\game.7z", "listed by the fake");
  FakeLister lister;
  struct Case {
    const char* what;
    CrcWanted wanted;
    CrcRange range;
    const char *lzhCrc32, *lzhCrc16, *sevenZipCrc32, *sevenZipCrc16;
    bool logged;
  } cases[] = {
      {"CRC32 asked", {true, false}, {}, "", "", "0BADF00D", "", true},
      {"CRC16 asked", {false, true}, {}, "", "1111", "", "", true},
      {"both asked", {true, true}, {}, "", "1111", "0BADF00D", "", true},
      // The listing's CRC covers the whole member: a range cannot be taken from it.
      {"a range asked", {true, true}, {16, 0}, "", "", "", "", true},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(db.Query("DELETE FROM main_table;"));
    job.crc = c.wanted;
    job.crcRange = c.range;
    progress.lines.clear();
    lister.listings = 0;
    ImportSummary s = ImportImages(db, job, &lister, progress);
    EXPECT_EQ(s.added, 3) << c.what;
    EXPECT_EQ(lister.listings, 2) << c.what;  // each archive listed once, its CRCs with it
    auto rows = Rows();
    const std::string disk = root + "\\set.lzh*B\\DISK1.D77", game = root + "\\game.7z*GAME.D88";
    EXPECT_EQ(rows[disk]["crc32"], c.lzhCrc32) << c.what;
    EXPECT_EQ(rows[disk]["crc"], c.lzhCrc16) << c.what;
    EXPECT_EQ(rows[game]["crc32"], c.sevenZipCrc32) << c.what;
    EXPECT_EQ(rows[game]["crc"], c.sevenZipCrc16) << c.what;
    EXPECT_EQ(progress.Logged("CRCを計算できませんでした"), c.logged) << c.what;
  }
}

TEST_F(ImageImportTest, WhatCouldNotBeTakenIsCountedAsSkippedAndLogged) {
  Put(root + "\\fine.d88", "fine");
  Put(root + "\\cut.zip", test::MakeZip({{"X.D88", "x"}}).substr(0, 40));
  Put(root + "\\fake.zip", "not a zip at all, just text");
  Put(root + "\\other.rar", "no library");
  std::filesystem::path unnamable = std::filesystem::path(folder.Path()) / "roms" /
                                    std::filesystem::path(u8"\U0001F600.d88");
  std::ofstream(unnamable, std::ios::binary) << "smile";
  FakeLister lister;
  ImportSummary s = ImportImages(db, job, &lister, progress);
  EXPECT_FALSE(s.failed);
  EXPECT_EQ(s.added, 1);
  EXPECT_EQ(s.skipped, 4);
  EXPECT_EQ(progress.lines.size(), 4u);
  for (const char* name : {"cut.zip", "fake.zip", "other.rar"}) EXPECT_TRUE(progress.Logged(name)) << name;
  EXPECT_NE(AnsiToUtf8(ImportSummaryText(s)).find("スキップ 4 件"), std::string::npos);
}

}  // namespace
}  // namespace vel
