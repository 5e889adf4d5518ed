#include "maintenance/missing_images.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <algorithm>
#include <map>

#include "db/library_connection.h"
#include "db/schema.h"
#include "maintenance/recorded_report.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {

using test::RecordedReport;

class MissingImagesTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    // FC: a present file, a missing one, a ZIP whose member is gone (the ZIP
    // is there), a missing ZIP with two members, an unmapped drive, a key
    // holding a quote and a 0x5C trail byte; a set whose parent is missing
    // with a present child of another machine and a missing child.
    ASSERT_FALSE(db.Query(Jp(
        "INSERT INTO main_table(file_name,machine_name,title,ply,ply_file_name) VALUES"
        "('C:\\here.nes','FC','here',0,''),"
        "('C:\\gone.nes','FC','gone',0,''),"
        "('C:\\a.zip*gone.nes','FC','member',0,''),"
        "('C:\\lost.zip*1.nes','FC','lost1',0,''),"
        "('C:\\lost.zip*2.nes','FC','lost2',0,''),"
        "('Q:\\far.nes','FC','far',0,''),"
        "('C:\\it''s ソ.nes','FC','quote',0,''),"
        "('C:\\set1.d88','PC','set',1,'C:\\set1.d88'),"
        "('C:\\set2.d88','FM','child',2,'C:\\set1.d88'),"
        "('C:\\set3.d88','PC','child3',3,'C:\\set1.d88'),"
        "('C:\\pc.d88','PC','pc',0,'');"
        "INSERT INTO tmp_maxdisk VALUES('C:\\set1.d88',3);")));
  }
  PathPresence Probe(const std::string& path) {
    probed.push_back(AnsiToUtf8(path));
    auto found = presence.find(AnsiToUtf8(path));
    return found == presence.end() ? PathPresence::kMissing : found->second;
  }
  std::string Rows(const std::string& sql) {
    EXPECT_FALSE(db.Query(sql));
    std::string out;
    for (int row = 1; row <= db.RowCount(); ++row) {
      for (int column = 0; column < db.ColumnCount(); ++column) out += (column ? "," : "") + db.Cell(row, column);
      out += ";";
    }
    return AnsiToUtf8(out);
  }
  test::TempFolder folder;
  LibraryConnection db;
  std::map<std::string, PathPresence> presence{{"C:\\here.nes", PathPresence::kPresent},
                                               {"C:\\a.zip", PathPresence::kPresent},
                                               {"Q:\\far.nes", PathPresence::kUnknown},
                                               {"C:\\set2.d88", PathPresence::kPresent},
                                               {"C:\\pc.d88", PathPresence::kPresent}};
  std::vector<std::string> probed;
  PresenceProbe probe = [this](const std::string& path) { return Probe(path); };
  // Every folder keeps stamp 1 unless a test changes it.
  std::map<std::string, std::int64_t> stamps;
  FolderStamp stamp = [this](const std::string& folder) {
    auto found = stamps.find(AnsiToUtf8(folder));
    return found == stamps.end() ? std::int64_t{1} : found->second;
  };
  StopFlag stop{kRunRunning};
  RecordedReport report;
};

TEST(ImagePathOfKey, TheKeyUpToItsFirstStar) {
  struct Case {
    const char* key;
    const char* path;
  } cases[] = {
      {"C:\\a.nes", "C:\\a.nes"},
      {"C:\\a.zip*b\\c.nes", "C:\\a.zip"},
      {"C:\\a.zip*b*c", "C:\\a.zip"},
      {"*x", ""},
      {"C:\\\x83\x5C.zip*m", "C:\\\x83\x5C.zip"},  // ソ ends in 0x5C
  };
  for (const Case& c : cases) EXPECT_EQ(ImagePathOfKey(c.key), c.path) << c.key;
}

TEST_F(MissingImagesTest, OnlyMissingFilesGoAndOrphansBecomeStandalone) {
  RunResult result = RunRemoveMissingImages(db, std::nullopt, probe, stop, report, kCommitWaitMs, stamp);
  EXPECT_EQ(result.end, RunEnd::Finished);
  EXPECT_TRUE(result.libraryChanged);
  EXPECT_EQ(result.rowsWritten, 6);
  EXPECT_EQ(report.total, 11);
  EXPECT_EQ(report.steps, 11);
  // The missing ZIP is checked once for both members (and not again under
  // the lock: no folder changed).
  EXPECT_EQ(std::count(probed.begin(), probed.end(), "C:\\lost.zip"), 1);
  EXPECT_EQ(Rows("SELECT file_name,ply,ply_file_name FROM main_table ORDER BY file_name;"),
            "C:\\a.zip*gone.nes,0,;C:\\here.nes,0,;C:\\pc.d88,0,;C:\\set2.d88,0,;Q:\\far.nes,0,;");
  EXPECT_EQ(Rows("SELECT count(*) FROM tmp_maxdisk;"), "0;");
  EXPECT_EQ(report.lines.front(), "処理を開始します");
  for (const char* line : {"確認できません：Q:\\far.nes", "削除：C:\\gone.nes", "削除：C:\\lost.zip",
                           "削除：C:\\it's ソ.nes", "削除：C:\\set1.d88", "単独のアイテムにしました：C:\\set2.d88"})
    EXPECT_TRUE(report.Logged(line)) << line;
  EXPECT_EQ(report.lines.back(), "処理を終了しました");
}

TEST_F(MissingImagesTest, OneMachineOnlyAndAParentThatStays) {
  presence["C:\\set1.d88"] = PathPresence::kPresent;
  RunResult result = RunRemoveMissingImages(db, std::string("PC"), probe, stop, report, kCommitWaitMs, stamp);
  EXPECT_EQ(result.end, RunEnd::Finished);
  EXPECT_EQ(result.rowsWritten, 1);
  // The missing third disk goes; the set keeps its parent and second disk.
  EXPECT_EQ(Rows("SELECT file_name FROM main_table WHERE machine_name IN ('PC','FM') ORDER BY file_name;"),
            "C:\\pc.d88;C:\\set1.d88;C:\\set2.d88;");
  EXPECT_EQ(Rows("SELECT * FROM tmp_maxdisk;"), "C:\\set1.d88,2;");
  EXPECT_EQ(Rows("SELECT count(*) FROM main_table WHERE machine_name='FC';"), "7;");
}

TEST_F(MissingImagesTest, AMachineWithoutRowsAndAStopDuringTheCheck) {
  RunResult none = RunRemoveMissingImages(db, std::string("MSX"), probe, stop, report, kCommitWaitMs, stamp);
  EXPECT_EQ(none.end, RunEnd::NoRows);
  ASSERT_TRUE(none.message);
  EXPECT_EQ(AnsiToUtf8(none.message->text), "指定された機種のデータはありません。");
  EXPECT_FALSE(none.libraryChanged);

  // Stopped at the third row (in key order of the table): the missing
  // images found so far go, the rest is not looked at.
  report.onStep = [&](int step) {
    if (step == 2) stop = kRunStopRequested;
  };
  RunResult stopped = RunRemoveMissingImages(db, std::string("FC"), probe, stop, report, kCommitWaitMs, stamp);
  EXPECT_EQ(stopped.end, RunEnd::Stopped);
  EXPECT_EQ(stopped.rowsWritten, 1);
  EXPECT_EQ(report.steps, 2);
  EXPECT_EQ(Rows("SELECT count(*) FROM main_table;"), "10;");
  EXPECT_EQ(report.lines.back(), "ユーザーからの要求で処理を中止しました");
}

TEST_F(MissingImagesTest, AFileBackBeforeTheLockStays) {
  // Once every row is checked, the missing file is back and the missing ZIP
  // can no longer be told, so their folder has changed; the deletions check
  // its missing paths again under the write lock.
  report.onStep = [&](int step) {
    if (step == 11) {
      stamps["C:\\"] = 2;
      presence["C:\\gone.nes"] = PathPresence::kPresent;
      presence["C:\\lost.zip"] = PathPresence::kUnknown;
    }
  };
  std::vector<std::pair<std::string, bool>> probes;  // path, inside the write transaction
  PresenceProbe watched = [&](const std::string& path) {
    probes.emplace_back(AnsiToUtf8(path), !sqlite3_get_autocommit(db.Handle()));
    return Probe(path);
  };
  RunResult result = RunRemoveMissingImages(db, std::nullopt, watched, stop, report, kCommitWaitMs, stamp);
  EXPECT_EQ(result.end, RunEnd::Finished);
  EXPECT_EQ(result.rowsWritten, 3);
  EXPECT_EQ(Rows("SELECT file_name,ply,ply_file_name FROM main_table ORDER BY file_name;"),
            "C:\\a.zip*gone.nes,0,;C:\\gone.nes,0,;C:\\here.nes,0,;C:\\lost.zip*1.nes,0,;C:\\lost.zip*2.nes,0,;"
            "C:\\pc.d88,0,;C:\\set2.d88,0,;Q:\\far.nes,0,;");
  // Ten paths checked without the lock, then only the five found missing,
  // under it.
  std::vector<std::string> before, under;
  for (const auto& [path, locked] : probes) {
    EXPECT_EQ(locked, before.size() == 10) << path;
    (locked ? under : before).push_back(path);
  }
  std::sort(before.begin(), before.end());
  std::sort(under.begin(), under.end());
  EXPECT_EQ(before, (std::vector<std::string>{"C:\\a.zip", "C:\\gone.nes", "C:\\here.nes", "C:\\it's ソ.nes",
                                              "C:\\lost.zip", "C:\\pc.d88", "C:\\set1.d88", "C:\\set2.d88",
                                              "C:\\set3.d88", "Q:\\far.nes"}));
  EXPECT_EQ(under, (std::vector<std::string>{"C:\\gone.nes", "C:\\it's ソ.nes", "C:\\lost.zip", "C:\\set1.d88",
                                             "C:\\set3.d88"}));
  EXPECT_TRUE(report.Logged("確認できません：C:\\lost.zip"));
  EXPECT_FALSE(report.Logged("削除：C:\\gone.nes"));
  EXPECT_FALSE(report.Logged("削除：C:\\lost.zip"));
  EXPECT_TRUE(report.Logged("削除：C:\\set1.d88"));
}

TEST_F(MissingImagesTest, AFolderWhoseStampCannotBeReadIsCheckedAgain) {
  stamps["C:\\"] = 0;
  RunResult result = RunRemoveMissingImages(db, std::nullopt, probe, stop, report, kCommitWaitMs, stamp);
  EXPECT_EQ(result.rowsWritten, 6);
  // Its missing paths once more under the lock; a present one only once.
  EXPECT_EQ(std::count(probed.begin(), probed.end(), "C:\\lost.zip"), 2);
  EXPECT_EQ(std::count(probed.begin(), probed.end(), "C:\\gone.nes"), 2);
  EXPECT_EQ(std::count(probed.begin(), probed.end(), "C:\\here.nes"), 1);
}

TEST_F(MissingImagesTest, AFailedCommitKeepsEveryRow) {
  // A second connection reading inside a transaction blocks the commit.
  LibraryConnection reader;
  reader.Open(folder / "Velmarook.db", "");
  sqlite3_busy_timeout(db.Handle(), 0);
  ASSERT_FALSE(reader.Query("BEGIN; SELECT count(*) FROM main_table;"));
  RunResult result = RunRemoveMissingImages(db, std::nullopt, probe, stop, report, 100, stamp);
  EXPECT_EQ(result.end, RunEnd::WriteFailed);
  EXPECT_FALSE(result.libraryChanged);
  EXPECT_EQ(result.rowsUnsaved, 6);
  ASSERT_FALSE(reader.Query("COMMIT;"));
  EXPECT_EQ(Rows("SELECT count(*) FROM main_table;"), "11;");
  EXPECT_EQ(Rows("SELECT * FROM tmp_maxdisk;"), "C:\\set1.d88,3;");
}

TEST_F(MissingImagesTest, EverythingOfAMachineOrOfTheLibrary) {
  EXPECT_EQ(AnsiToUtf8(RemoveAllQuestion(Jp("全ての機種"))),
            "全ての機種 の 全アイテム をライブラリから削除します。\nよろしいですか？");
  RunResult pc = RunRemoveAllImages(db, std::string("PC"), "PC", report);
  EXPECT_EQ(pc.end, RunEnd::Finished);
  EXPECT_TRUE(pc.libraryChanged);
  EXPECT_EQ(pc.rowsWritten, 3);
  // The FM child of the PC set stays, as a standalone item.
  EXPECT_EQ(Rows("SELECT file_name,ply,ply_file_name FROM main_table WHERE machine_name<>'FC';"),
            "C:\\set2.d88,0,;");
  EXPECT_EQ(Rows("SELECT count(*) FROM tmp_maxdisk;"), "0;");
  EXPECT_EQ(report.lines.back(), "PC の 全アイテム をライブラリから削除しました");

  RunResult all = RunRemoveAllImages(db, std::nullopt, Jp("全ての機種"), report);
  EXPECT_EQ(all.end, RunEnd::Finished);
  EXPECT_EQ(Rows("SELECT count(*) FROM main_table;"), "0;");
}

TEST(ProbePath, PresentMissingAndMissingFolder) {
  test::TempFolder folder;
  test::WriteWholeFile(folder / "here.nes", "x");
  EXPECT_EQ(ProbePath(folder / "here.nes"), PathPresence::kPresent);
  EXPECT_EQ(ProbePath(folder / "gone.nes"), PathPresence::kMissing);
  EXPECT_EQ(ProbePath((folder / "no folder") + "\\x.nes"), PathPresence::kMissing);
  EXPECT_EQ(ProbePath(""), PathPresence::kMissing);
}

}  // namespace
}  // namespace vel
