#include "maintenance/crc_recalc.h"

#include <algorithm>
#include <thread>

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "maintenance/archive_lister.h"
#include "maintenance/import_job.h"
#include "maintenance/import_progress.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"
#include "zip_fixture.h"

namespace vel {
namespace {

class LoggedProgress : public ImportProgress {
 public:
  void Status(const std::string&) override {}
  void Item(const std::string&) override {}
  void Log(const std::string& line) override { lines.push_back(AnsiToUtf8(line)); }
  void Range(int) override {}
  void Step(int) override {}
  bool StopRequested() override { return false; }
  std::vector<std::string> lines;
};

std::string ProgramPath(const test::TempFolder& folder, const std::string& name) {
  return folder.Path() + "\\" + name;
}

TEST(CrcRecalc, RewritesTheMachinesCrcsOverTheRangeAndKeepsWhatItCannotCompute) {
  test::TempFolder folder;
  std::string plain(1000, 'p'), member(3000, 'm');
  for (size_t i = 0; i < member.size(); ++i) member[i] = static_cast<char>(i * 13);
  const std::string plainPath = ProgramPath(folder, Jp("ソフト.d88"));
  const std::string zipPath = ProgramPath(folder, "set.zip");
#ifdef _WIN32
  test::WriteWholeFile(plainPath, plain);
  test::WriteWholeFile(zipPath, test::MakeZip({{"DISK1.D88", member, true}, {"DISK2.D88", "child"}}));
#else
  test::WriteWholeFile(NativePath(plainPath), plain);
  test::WriteWholeFile(NativePath(zipPath), test::MakeZip({{"DISK1.D88", member, true}, {"DISK2.D88", "child"}}));
#endif
  LibraryConnection db;
  db.Open(folder / "library.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  auto insert = [&](const std::string& key, const std::string& machine, int ply, const std::string& parent) {
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name, machine_name, title, kana, crc32, crc, ply, "
                          "ply_file_name) VALUES('" + Quote(key) + "','" + machine + "','t','','OLD32','OLD',"
                          + std::to_string(ply) + ",'" + Quote(parent) + "');"));
  };
  insert(plainPath, "PC-8801", 0, "");
  insert(zipPath + "*disk1.d88", "PC-8801", 1, "");  // matched without regard to case
  insert(zipPath + "*DISK2.D88", "PC-8801", 2, zipPath + "*disk1.d88");
  insert(ProgramPath(folder, "gone.d88"), "PC-8801", 0, "");
  insert(ProgramPath(folder, "other.d88"), "X1", 0, "");

  RecalcJob job;
  job.machine = "PC-8801";
  job.parentsOnly = true;
  job.crc = {true, true};
  job.crcRange = {16, 0};
  LoggedProgress progress;
  RecalcSummary s = RecalculateCrcs(db, job, progress);
  EXPECT_EQ(s.updated, 2);
  EXPECT_EQ(s.notComputed, 1);
  ASSERT_EQ(progress.lines.size(), 1u);
  EXPECT_NE(progress.lines[0].find("gone.d88"), std::string::npos);

  auto crcs = [&](const std::string& key) {
    EXPECT_FALSE(db.Query("SELECT crc32, crc FROM main_table WHERE file_name='" + Quote(key) + "';"));
    return db.Cell(1, 0) + "/" + db.Cell(1, 1);
  };
  std::string p = plain.substr(16), m = member.substr(16);
  EXPECT_EQ(crcs(plainPath), Crc32Text(test::ZlibCrc(p)) + "/" + Crc16Text(Crc16(0, p.data(), p.size())));
  EXPECT_EQ(crcs(zipPath + "*disk1.d88"), Crc32Text(test::ZlibCrc(m)) + "/" + Crc16Text(Crc16(0, m.data(), m.size())));
  EXPECT_EQ(crcs(zipPath + "*DISK2.D88"), "OLD32/OLD");  // a child, with parents only
  EXPECT_EQ(crcs(ProgramPath(folder, "gone.d88")), "OLD32/OLD");
  EXPECT_EQ(crcs(ProgramPath(folder, "other.d88")), "OLD32/OLD");
}

// A RAR archive listing a CRC-32 of its member, an LZH one a CRC-16.
class ListingArchives : public ArchiveLister {
 public:
  bool List(const std::string& path, std::vector<ArchiveMember>& members, std::string& problem) override {
    ++listings;
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".rar") == 0) {
      members = {{"Disk/A.D88", 0x12345678, std::nullopt}, {"Disk/B.D88", 0x0000ABCD, std::nullopt}};
      return true;
    }
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".lzh") == 0) {
      members = {{"C.D88", std::nullopt, 0xBEEF}};
      return true;
    }
    problem = "cannot list";
    return false;
  }
  int listings = 0;
};

TEST(CrcRecalc, MembersOfListedArchivesTakeTheirListingsCrc) {
  test::TempFolder folder;
  LibraryConnection db;
  db.Open(folder / "library.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  const std::string rar = "C:\\roms\\set.rar", lzh = "C:\\roms\\one.lzh", broken = "C:\\roms\\bad.7z";
  for (const std::string& key : {rar + "*Disk\\A.D88", rar + "*disk\\b.d88", lzh + "*C.D88", broken + "*X.D88",
                                 rar + "*Disk\\Gone.D88"})
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name, machine_name, crc32, crc) VALUES('" + Quote(key) +
                          "','PC-8801','OLD32','OLD');"));
  auto crcs = [&](const std::string& key) {
    EXPECT_FALSE(db.Query("SELECT crc32, crc FROM main_table WHERE file_name='" + Quote(key) + "';"));
    return db.Cell(1, 0) + "/" + db.Cell(1, 1);
  };
  RecalcJob job;
  job.machine = "PC-8801";
  job.crc = {true, true};
  ListingArchives archives;
  LoggedProgress progress;
  RecalcSummary s = RecalculateCrcs(db, job, progress, &archives);
  // Each archive is listed once for all its members.
  EXPECT_EQ(archives.listings, 3);
  EXPECT_EQ(s.updated, 3);
  EXPECT_EQ(s.notComputed, 2);
  // What the archive does not keep stays as it was, and is logged.
  EXPECT_EQ(crcs(rar + "*Disk\\A.D88"), "12345678/OLD");
  EXPECT_EQ(crcs(rar + "*disk\\b.d88"), "0000ABCD/OLD");
  EXPECT_EQ(crcs(lzh + "*C.D88"), "OLD32/BEEF");
  EXPECT_EQ(crcs(broken + "*X.D88"), "OLD32/OLD");
  EXPECT_EQ(crcs(rar + "*Disk\\Gone.D88"), "OLD32/OLD");
  EXPECT_EQ(progress.lines.size(), 5u);

  // A range cannot be taken from a listing: nothing changes.
  job.crcRange = {16, 0};
  LoggedProgress ranged;
  RecalcSummary r = RecalculateCrcs(db, job, ranged, &archives);
  EXPECT_EQ(r.updated, 0);
  EXPECT_EQ(r.notComputed, 5);
  EXPECT_EQ(crcs(rar + "*Disk\\A.D88"), "12345678/OLD");
}

// Listings carry only the CRC each kind keeps; a range, or the other CRC, is
// computed over the member the lister extracts, and the extracted file goes.
class ExtractingArchives : public ListingArchives {
 public:
  explicit ExtractingArchives(std::string folder) : folder_(std::move(folder)) {}
  bool Extract(const std::string& path, const std::string& storedName, std::string& extracted,
               std::string& problem) override {
    asked.push_back(path + "*" + storedName);
    if (storedName == "Disk/B.D88") {
      problem = "extraction failed";
      return false;
    }
    extracted = folder_ + "/" + std::to_string(asked.size()) + ".bin";
    test::WriteWholeFile(extracted, "0123456789abcdefPAYLOAD");
    files.push_back(extracted);
    return true;
  }
  std::vector<std::string> asked, files;

 private:
  std::string folder_;
};

TEST(CrcRecalc, RangesAndCrcsTheListingLacksAreComputedOverTheExtractedMember) {
  test::TempFolder folder;
  LibraryConnection db;
  db.Open(folder / "library.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  const std::string rar = "C:\\roms\\set.rar", lzh = "C:\\roms\\one.lzh";
  for (const std::string& key : {rar + "*Disk\\A.D88", rar + "*Disk\\B.D88", lzh + "*C.D88"})
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name, machine_name, crc32, crc) VALUES('" + Quote(key) +
                          "','PC-8801','OLD32','OLD');"));
  auto crcs = [&](const std::string& key) {
    EXPECT_FALSE(db.Query("SELECT crc32, crc FROM main_table WHERE file_name='" + Quote(key) + "';"));
    return db.Cell(1, 0) + "/" + db.Cell(1, 1);
  };
  const std::string whole = "0123456789abcdefPAYLOAD";
  const std::string whole32 = Crc32Text(Crc32(0, whole.data(), whole.size()));
  const std::string whole16 = Crc16Text(Crc16(0, whole.data(), whole.size()));
  struct Case {
    const char* what;
    CrcRange range;
    std::string a, b, c;  // set.rar's A and B, one.lzh's C afterwards
    int updated, notComputed;
  } cases[] = {
      // Whole files: each archive's own CRC from the listing, the other one
      // extracted; B cannot be extracted and keeps the listing's CRC-32.
      {"whole files", {0, 0}, "12345678/" + whole16, "0000ABCD/OLD", whole32 + "/BEEF", 3, 0},
      // A range is never in a listing: B changes nothing.
      {"from byte 16",
       {16, 0},
       Crc32Text(Crc32(0, "PAYLOAD", 7)) + "/" + Crc16Text(Crc16(0, "PAYLOAD", 7)),
       "0000ABCD/OLD",
       Crc32Text(Crc32(0, "PAYLOAD", 7)) + "/" + Crc16Text(Crc16(0, "PAYLOAD", 7)),
       2,
       1},
  };
  for (const Case& c : cases) {
    RecalcJob job;
    job.machine = "PC-8801";
    job.crc = {true, true};
    job.crcRange = c.range;
    ExtractingArchives archives(folder.Path());
    LoggedProgress progress;
    RecalcSummary s = RecalculateCrcs(db, job, progress, &archives);
    EXPECT_EQ(s.updated, c.updated) << c.what;
    EXPECT_EQ(s.notComputed, c.notComputed) << c.what;
    EXPECT_EQ(crcs(rar + "*Disk\\A.D88"), c.a) << c.what;
    EXPECT_EQ(crcs(rar + "*Disk\\B.D88"), c.b) << c.what;
    EXPECT_EQ(crcs(lzh + "*C.D88"), c.c) << c.what;
    // The extraction is asked by the name as the archive stores it.
    std::sort(archives.asked.begin(), archives.asked.end());
    EXPECT_EQ(archives.asked,
              (std::vector<std::string>{lzh + "*C.D88", rar + "*Disk/A.D88", rar + "*Disk/B.D88"})) << c.what;
    for (const std::string& file : archives.files) EXPECT_FALSE(FileExists(file)) << file;
    ASSERT_EQ(progress.lines.size(), 1u) << c.what;
    EXPECT_NE(progress.lines[0].find("extraction failed"), std::string::npos) << progress.lines[0];
  }
}

TEST(CrcRecalc, ACommitHeldOffByAReaderIsTriedAgainAndUnsavedRowsAreNamed) {
  struct Case {
    const char* what;
    bool released;  // the reader ends its transaction while the run waits
    int updated;
    const char* crc32;
  } cases[] = {{"released", true, 2, "CBF43926"}, {"held", false, 0, "OLD32"}};
  for (const Case& c : cases) {
    test::TempFolder folder;
    LibraryConnection db;
    db.Open(folder / "library.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    for (const char* name : {"a.d88", "b.d88"}) {
      test::WriteWholeFile(folder / name, "123456789");
      ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name, machine_name, crc32) VALUES('" +
                            Quote(ProgramPath(folder, name)) + "','PC-8801','OLD32');"));
    }
    LibraryConnection reader;
    reader.Open(folder / "library.db", "");
    ASSERT_FALSE(reader.Query("BEGIN; SELECT count(*) FROM main_table;"));
    sqlite3_busy_timeout(db.Handle(), 0);  // only the run's own retries wait
    std::thread release([&] {
      if (!c.released) return;
      SleepMs(300);
      reader.Query("COMMIT;");
    });
    RecalcJob job;
    job.machine = "PC-8801";
    job.crc = {true, false};
    LoggedProgress progress;
    RecalcSummary s = RecalculateCrcs(db, job, progress, nullptr, c.released ? 5000 : 100);
    release.join();
    if (!c.released) ASSERT_FALSE(reader.Query("COMMIT;"));
    EXPECT_EQ(s.updated, c.updated) << c.what;
    EXPECT_EQ(s.failed, !c.released) << c.what;
    ASSERT_FALSE(db.Query("SELECT DISTINCT crc32 FROM main_table;"));
    ASSERT_EQ(db.RowCount(), 1) << c.what;
    EXPECT_EQ(db.Cell(1, 0), c.crc32) << c.what;
    if (c.released) {
      EXPECT_TRUE(progress.lines.empty()) << c.what;
      continue;
    }
    // Each row of the batch undone is named; none is counted as saved.
    ASSERT_EQ(progress.lines.size(), 3u);
    EXPECT_EQ(progress.lines[0], "保存されませんでした: " + AnsiToUtf8(ProgramPath(folder, "a.d88")));
    EXPECT_EQ(progress.lines[1], "保存されませんでした: " + AnsiToUtf8(ProgramPath(folder, "b.d88")));
    EXPECT_NE(progress.lines[2].find("database is locked"), std::string::npos) << progress.lines[2];
    EXPECT_EQ(AnsiToUtf8(RecalcSummaryText(s)), "エラーで終了しました（更新 0 件、計算できず 0 件）");
  }
}

}  // namespace
}  // namespace vel
