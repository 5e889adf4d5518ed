#include "maintenance/maintenance_run.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <functional>
#include <thread>
#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "maintenance/recorded_report.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

using test::RecordedReport;

class MaintenanceRunTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    // Machine A: three rows without a reading (one NULL); machine B: two.
    ASSERT_FALSE(db.Query(Jp(
        "INSERT INTO main_table(file_name,machine_name,title,kana,smart_title) VALUES"
        "('a1','A','ゲーム',NULL,NULL),('a2','A','ﾊﾟｽﾞﾙ','',''),('a3','A',NULL,'',''),"
        "('a4','A','Ｄｏｎ''ｔ　Ｓｔｏｐ','old','old'),"
        "('b1','B','ゲーム','',''),('b2','B','ヴァンパイア',NULL,NULL);")));
  }
  // "key=value" of every row, in key order; NULL shows as "NULL".
  std::string Column(const char* column) {
    EXPECT_FALSE(db.Query(std::string("SELECT group_concat(file_name||'='||IFNULL(") + column +
                          ",'NULL'),',') FROM (SELECT * FROM main_table ORDER BY file_name);"));
    return AnsiToUtf8(db.Cell(1, 0));
  }
  test::TempFolder folder;
  LibraryConnection db;
  TitleConverter converter{DefaultSymbolTables()};
  ConversionOptions reading = ReadingOptions({}, false);
  StopFlag stop{kRunRunning};
  RecordedReport report;
};

TEST_F(MaintenanceRunTest, SelectsTheRowsOfTheRun) {
  EXPECT_EQ(RowSelectSql("kana", {}), "SELECT file_name,title FROM main_table;");
  EXPECT_EQ(RowSelectSql("kana", {"it's", true}),
            "SELECT file_name,title FROM main_table WHERE machine_name='it''s' AND (kana IS NULL OR kana='');");
  EXPECT_EQ(RowSelectSql("smart_title", {std::nullopt, true}),
            "SELECT file_name,title FROM main_table WHERE (smart_title IS NULL OR smart_title='');");
}

TEST_F(MaintenanceRunTest, ReadingsOfOneMachineOnly) {
  RunResult result = RunReadings(db, converter, reading, {"A", false}, stop, report);
  EXPECT_EQ(result.end, RunEnd::Finished);
  EXPECT_EQ(result.rowsWritten, 4);
  EXPECT_EQ(report.total, 4);
  EXPECT_EQ(report.steps, 4);
  // An empty title gives an empty reading, never NULL; machine B is untouched.
  EXPECT_EQ(Column("kana"), "a1=げーむ,a2=ぱずる,a3=,a4=DONTSTOP,b1=,b2=NULL");
  EXPECT_EQ(report.lines.front(), "処理を開始します");
  EXPECT_EQ(report.lines[1], "ゲーム -> げーむ");
  EXPECT_EQ(report.lines.back(), "処理を終了しました");
}

TEST_F(MaintenanceRunTest, StoppedRunKeepsItsRowsAndTheNextRunDoesTheRest) {
  // The dialog asks for a stop while the third row is being written.
  report.onStep = [&](int step) {
    if (step == 3) stop = kRunStopRequested;
  };
  RunResult first = RunReadings(db, converter, reading, {std::nullopt, true}, stop, report, 2);
  EXPECT_EQ(first.end, RunEnd::Stopped);
  EXPECT_EQ(first.rowsWritten, 3);
  EXPECT_EQ(report.lines.back(), "ユーザーからの要求で処理を中止しました");
  EXPECT_EQ(Column("kana"), "a1=げーむ,a2=ぱずる,a3=,a4=old,b1=,b2=NULL");

  stop = kRunRunning;
  RecordedReport second;
  RunResult rest = RunReadings(db, converter, reading, {std::nullopt, true}, stop, second, 2);
  EXPECT_EQ(rest.end, RunEnd::Finished);
  // b1 and b2, and a3 whose reading is empty again.
  EXPECT_EQ(second.total, 3);
  EXPECT_EQ(Column("kana"), "a1=げーむ,a2=ぱずる,a3=,a4=old,b1=げーむ,b2=うぁんぱいあ");
}

TEST_F(MaintenanceRunTest, LockedLibraryFailsWithoutChangingARow) {
  LibraryConnection other;
  other.Open(folder / "Velmarook.db", "");
  ASSERT_FALSE(other.Query("BEGIN IMMEDIATE;"));
  sqlite3_busy_timeout(db.Handle(), 0);
  RunResult result = RunReadings(db, converter, reading, {}, stop, report);
  EXPECT_EQ(result.end, RunEnd::WriteFailed);
  EXPECT_EQ(result.error, "database is locked");
  EXPECT_EQ(result.rowsWritten, 0);
  EXPECT_EQ(report.lines.back(), "ライブラリに書き込めないため処理を中止しました -> [ERROR] database is locked");
  ASSERT_FALSE(other.Query("ROLLBACK;"));
  EXPECT_EQ(Column("kana"), "a1=NULL,a2=,a3=,a4=old,b1=,b2=NULL");
}

TEST_F(MaintenanceRunTest, CommitHeldOffByAReaderIsTriedAgain) {
  LibraryConnection reader;
  reader.Open(folder / "Velmarook.db", "");
  ASSERT_FALSE(reader.Query("BEGIN; SELECT COUNT(*) FROM main_table;"));
  sqlite3_busy_timeout(db.Handle(), 0);  // only the run's own retries wait
  std::thread release([&] {
    SleepMs(300);
    reader.Query("COMMIT;");
  });
  RunResult result = RunReadings(db, converter, reading, {"A", false}, stop, report, kRowsPerCommit, 5000);
  release.join();
  EXPECT_EQ(result.end, RunEnd::Finished);
  EXPECT_EQ(result.rowsWritten, 4);
  EXPECT_EQ(result.rowsUnsaved, 0);
  EXPECT_EQ(Column("kana"), "a1=げーむ,a2=ぱずる,a3=,a4=DONTSTOP,b1=,b2=NULL");
}

TEST_F(MaintenanceRunTest, CommitThatStillFailsNamesTheRowsNotSaved) {
  LibraryConnection reader;
  reader.Open(folder / "Velmarook.db", "");
  sqlite3_busy_timeout(db.Handle(), 0);
  // Batches of three: a1..a3 are kept, the batch holding a4 is undone.
  report.onStep = [&](int step) {
    if (step == 4) reader.Query("BEGIN; SELECT COUNT(*) FROM main_table;");
  };
  RunResult result = RunReadings(db, converter, reading, {"A", false}, stop, report, 3, 100);
  EXPECT_EQ(result.end, RunEnd::WriteFailed);
  EXPECT_EQ(result.error, "database is locked");
  EXPECT_EQ(result.rowsWritten, 3);
  EXPECT_EQ(result.rowsUnsaved, 1);
  ASSERT_GE(report.lines.size(), 3u);
  EXPECT_EQ(report.lines[report.lines.size() - 2], "Ｄｏｎ'ｔ　Ｓｔｏｐ -> [ERROR] 保存されませんでした");
  EXPECT_EQ(report.lines.back(), "ライブラリに書き込めないため処理を中止しました -> [ERROR] database is locked");
  EXPECT_EQ(AnsiToUtf8(WriteFailedText(result)),
            "ライブラリに書き込めませんでした。保存されたアイテムは 3 件です。\n"
            "最後に処理した 1 件は保存されていません（ログに示しています）。\n");
  ASSERT_FALSE(reader.Query("COMMIT;"));
  EXPECT_EQ(Column("kana"), "a1=げーむ,a2=ぱずる,a3=,a4=old,b1=,b2=NULL");
}

TEST_F(MaintenanceRunTest, FailingRowIsLoggedAndTheRunGoesOn) {
  ASSERT_FALSE(db.Query("CREATE TRIGGER refuse BEFORE UPDATE OF kana ON main_table WHEN old.file_name='a2' "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
  RunResult result = RunReadings(db, converter, reading, {"A", false}, stop, report);
  EXPECT_EQ(result.end, RunEnd::Finished);
  EXPECT_EQ(result.rowsWritten, 3);
  EXPECT_EQ(result.rowsFailed, 1);
  EXPECT_EQ(report.lines[2], "ﾊﾟｽﾞﾙ -> ぱずる -> [ERROR] refused");
  EXPECT_EQ(Column("kana"), "a1=げーむ,a2=,a3=,a4=DONTSTOP,b1=,b2=NULL");
}

TEST_F(MaintenanceRunTest, SmartTitlesRebuildAndFill) {
  RunResult one = RunSmartTitles(db, converter, {"B", false}, stop, report);
  EXPECT_EQ(one.end, RunEnd::Finished);
  EXPECT_EQ(report.lines[1], "ゲーム -> OK");
  EXPECT_EQ(Column("smart_title"), "a1=NULL,a2=,a3=,a4=old,b1=ゲーム,b2=バンパイア");

  // With the apostrophe kept by the removal tables, it is stored as it is.
  SymbolTables keepApostrophe = DefaultSymbolTables();
  keepApostrophe.removeHalf = "!";
  TitleConverter apostrophe(keepApostrophe);
  RunResult all = RunSmartTitles(db, apostrophe, {}, stop, report);
  EXPECT_EQ(all.rowsWritten, 6);
  EXPECT_EQ(Column("smart_title"), "a1=ゲーム,a2=パズル,a3=,a4=DON'TSTOP,b1=ゲーム,b2=バンパイア");

  // Filling visits only the rows without one.
  ASSERT_FALSE(db.Query("UPDATE main_table SET smart_title=NULL WHERE file_name='a1';"));
  RecordedReport fill;
  EXPECT_EQ(RunSmartTitles(db, converter, {std::nullopt, true}, stop, fill).rowsWritten, 2);
  EXPECT_EQ(fill.total, 2);
  RecordedReport none;
  ASSERT_FALSE(db.Query("DELETE FROM main_table WHERE file_name='a3';"));
  EXPECT_EQ(RunSmartTitles(db, converter, {std::nullopt, true}, stop, none).end, RunEnd::NoRows);
  EXPECT_TRUE(none.lines.empty());

  std::string smart;
  EXPECT_FALSE(ReadSmartTitle(db, "b2", smart));
  EXPECT_EQ(AnsiToUtf8(smart), "バンパイア");
}

TEST_F(MaintenanceRunTest, SmartTitlesWaitUntilEveryEmptyOneIsFilled) {
  EXPECT_TRUE(SmartTitlesWaiting(db));
  // A fill stopped after its first row leaves the others waiting for the next start.
  StopFlag stopNow{kRunStopRequested};
  RecordedReport stopped;
  EXPECT_EQ(RunSmartTitles(db, converter, {std::nullopt, true}, stopNow, stopped).rowsWritten, 1);
  EXPECT_TRUE(SmartTitlesWaiting(db));
  RecordedReport rest;
  EXPECT_EQ(RunSmartTitles(db, converter, {std::nullopt, true}, stop, rest).end, RunEnd::Finished);
  EXPECT_EQ(Column("smart_title"), "a1=ゲーム,a2=パズル,a3=,a4=old,b1=ゲーム,b2=バンパイア");
  // a3 has no title and keeps '': it never asks for another fill.
  EXPECT_FALSE(SmartTitlesWaiting(db));
  LibraryConnection closed;
  EXPECT_FALSE(SmartTitlesWaiting(closed));
}

TEST_F(MaintenanceRunTest, StoppedSmartTitleRunSaysSo) {
  stop = kRunStopRequested;  // asked before the first row ends: that row is kept
  RunResult result = RunSmartTitles(db, converter, {}, stop, report);
  EXPECT_EQ(result.end, RunEnd::Stopped);
  EXPECT_EQ(result.rowsWritten, 1);
  EXPECT_EQ(report.lines.back(), "ユーザーからの要求で処理を中断しました");
}

TEST_F(MaintenanceRunTest, SelectFailureIsReported) {
  ASSERT_FALSE(db.Query("DROP VIEW IF EXISTS all_item_view; ALTER TABLE main_table RENAME TO gone;"));
  RunResult result = RunReadings(db, converter, reading, {}, stop, report);
  EXPECT_EQ(result.end, RunEnd::SelectFailed);
  EXPECT_EQ(result.error, "no such table: main_table");
  std::string smart;
  EXPECT_EQ(ReadSmartTitle(db, "a1", smart), "no such table: main_table");
}

}  // namespace
}  // namespace vel
