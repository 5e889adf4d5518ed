#include "maintenance/column_replace.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "maintenance/recorded_report.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {

using test::RecordedReport;

const char* const kTables[] = {"main_table",       "spec_table",      "use_emuset_table", "alter_ego_table",
                               "snap_path_table",  "associate_file_table", "memo_table", "creator_table",
                               "favorite_table",   "tmp_maxdisk"};

class ColumnReplaceTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    // A FC set parent with a row in every referring table and an alter ego
    // of its set; its second disk belongs to PC; makers to match literally.
    ASSERT_FALSE(db.Query(
        "INSERT INTO main_table(file_name,machine_name,title,file_title,file_ext,maker,ply,ply_file_name) VALUES"
        "('D:\\roms\\p.d88','FC','p','p','d88','100%',1,'D:\\roms\\p.d88'),"
        "('D:\\roms\\c.d88','PC','c','c','d88','100x',2,'D:\\roms\\p.d88'),"
        "('D:\\roms\\s.nes','FC','s','s','nes','A_B',0,''),"
        "('D:\\other\\o.nes','FC','o','o','nes','AxB',0,'');"
        "INSERT INTO tmp_maxdisk VALUES('D:\\roms\\p.d88',2);"
        "INSERT INTO spec_table(pfile_sc,breed) VALUES('D:\\roms\\p.d88','b');"
        "INSERT INTO use_emuset_table VALUES('D:\\roms\\p.d88','e');"
        "INSERT INTO alter_ego_table VALUES('D:\\roms\\p.d88','X:\\p.d88',1,'D:\\roms\\p.d88',''),"
        "('D:\\roms\\c.d88','X:\\c.d88',1,'D:\\roms\\p.d88','');"
        "INSERT INTO snap_path_table(pfile_sp,snap1) VALUES('D:\\roms\\p.d88','s');"
        "INSERT INTO associate_file_table VALUES('D:\\roms\\p.d88','a.txt');"
        "INSERT INTO memo_table VALUES('D:\\roms\\p.d88','m');"
        "INSERT INTO creator_table VALUES('D:\\roms\\p.d88','c;');"
        "INSERT INTO favorite_table VALUES('D:\\roms\\p.d88','1');"));
  }
  // Every row of the tables above, as text.
  std::string Dump() {
    std::string out;
    for (const char* table : kTables) {
      EXPECT_FALSE(db.Query(std::string("SELECT * FROM ") + table + " ORDER BY 1,2;"));
      for (int row = 1; row <= db.RowCount(); ++row) {
        out += table;
        for (int column = 0; column < db.ColumnCount(); ++column) out += "|" + db.Cell(row, column);
        out += "\n";
      }
    }
    return out;
  }
  std::string Trigger() {
    EXPECT_FALSE(db.Query("SELECT sql FROM sqlite_master WHERE type='trigger' AND name='update_main_pkey';"));
    return db.RowCount() == 1 ? db.Cell(1, 0) : "missing";
  }
  static std::string Count(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return std::to_string(n);
  }
  ReplaceRequest Request(std::optional<std::string> machine, int target, std::string from, std::string to) {
    return {machine, machine ? *machine : Jp("全ての機種"), target, std::move(from), std::move(to)};
  }
  test::TempFolder folder;
  LibraryConnection db;
  StopFlag stop{kRunRunning};
  RecordedReport report;
};

TEST_F(ColumnReplaceTest, RefusalsBeforeAnythingIsRead) {
  struct Case {
    int target;
    const char* from;
    const char* to;
    bool emulatorRunning;
    const char* message;  // "" when the request runs
  } cases[] = {
      {1, "", "x", false, "置換前の文字列を指定してください。"},
      {1, "a", "a", false, "置換前と置換後の文字列が同じです。\n中止します。"},
      {0, "D:\\", "E:\\", true,
       "エミュレータの実行中はプライマリキーを置換できません。\nエミュレータを終了してから実行してください。"},
      {1, "a", "b", true, ""},
      {0, "D:\\", "", false, ""},
  };
  for (const Case& c : cases) {
    auto refusal = RefuseReplacement(Request(std::nullopt, c.target, c.from, c.to), c.emulatorRunning);
    EXPECT_EQ(refusal ? AnsiToUtf8(refusal->text) : "", c.message) << c.from;
  }
}

TEST_F(ColumnReplaceTest, KeyPrefixOverAllMachinesMovesEveryReferenceOnce) {
  const std::string trigger = Trigger();
  RunResult result = RunReplacement(db, Request(std::nullopt, 0, "D:\\roms\\", "D:\\roms\\fm7\\"), report);
  ASSERT_EQ(result.end, RunEnd::Finished) << (result.message ? AnsiToUtf8(result.message->text) : "");
  EXPECT_TRUE(result.libraryChanged);
  EXPECT_EQ(result.rowsWritten, 3);
  std::string dump = Dump();
  EXPECT_EQ(Count(dump, "fm7\\fm7"), "0") << dump;
  EXPECT_EQ(Count(dump, "D:\\roms\\p.d88"), "0") << dump;
  // Main: the key and two parent links; tmp_maxdisk and the seven other
  // tables once each; the alter egos name it three times.
  EXPECT_EQ(Count(dump, "D:\\roms\\fm7\\p.d88"), "14") << dump;
  EXPECT_EQ(Count(dump, "D:\\roms\\fm7\\c.d88"), "2") << dump;
  EXPECT_EQ(Count(dump, "D:\\other\\o.nes"), "1");
  EXPECT_EQ(Trigger(), trigger);
  EXPECT_EQ(report.lines.back(), "置換を実行しました。");
}

TEST_F(ColumnReplaceTest, KeyPrefixOfOneMachineKeepsTheOtherMachinesChildKey) {
  RunResult result = RunReplacement(db, Request(std::string("FC"), 0, "D:\\roms\\", "E:\\"), report);
  ASSERT_EQ(result.end, RunEnd::Finished);
  EXPECT_EQ(result.rowsWritten, 2);
  ASSERT_FALSE(db.Query("SELECT file_name,ply_file_name FROM main_table WHERE machine_name='PC';"));
  EXPECT_EQ(db.Cell(1, 0), "D:\\roms\\c.d88");
  EXPECT_EQ(db.Cell(1, 1), "E:\\p.d88");
  ASSERT_FALSE(db.Query("SELECT pfile_ae,ply_pfile_ae FROM alter_ego_table ORDER BY ae_file;"));
  EXPECT_EQ(db.Cell(1, 0) + "," + db.Cell(1, 1), "D:\\roms\\c.d88,E:\\p.d88");
  EXPECT_EQ(db.Cell(2, 0) + "," + db.Cell(2, 1), "E:\\p.d88,E:\\p.d88");
  ASSERT_FALSE(db.Query("SELECT * FROM tmp_maxdisk;"));
  EXPECT_EQ(db.Cell(1, 0), "E:\\p.d88");
}

TEST_F(ColumnReplaceTest, ChangeInsideTheFileNameRenamesItsNameColumns) {
  RunResult result = RunReplacement(db, Request(std::nullopt, 0, "s.nes", "zip.zip*game.fds"), report);
  ASSERT_EQ(result.end, RunEnd::Finished);
  ASSERT_FALSE(db.Query("SELECT file_title,file_ext,file_arc_title,file_arc_ext FROM main_table "
                        "WHERE file_name='D:\\roms\\zip.zip*game.fds';"));
  ASSERT_EQ(db.RowCount(), 1);
  EXPECT_EQ(db.Cell(1, 0) + db.Cell(1, 1) + db.Cell(1, 2) + db.Cell(1, 3), "zipzipgamefds");
}

TEST_F(ColumnReplaceTest, FailedKeyReplacementsChangeNothing) {
  const std::string before = Dump(), trigger = Trigger();
  struct Case {
    const char* from;
    std::string to;
    const char* message;
  } cases[] = {
      // The new key is one that exists.
      {"s.nes", "p.d88", "プライマリキーの置換が失敗しました。\n置換されませんでした。\nUNIQUE"},
      {"s.nes", std::string(600, 'x'), "プライマリキーが長すぎます。\n置換されませんでした。\n--> D:\\roms\\s.nes"},
      {"D:\\other\\o.nes", "", "プライマリキーが空になります。\n置換されませんでした。\n--> D:\\other\\o.nes"},
  };
  for (const Case& c : cases) {
    RunResult result = RunReplacement(db, Request(std::nullopt, 0, c.from, c.to), report);
    EXPECT_EQ(result.end, RunEnd::WriteFailed);
    ASSERT_TRUE(result.message);
    EXPECT_EQ(AnsiToUtf8(result.message->text).substr(0, std::string(c.message).size()), c.message);
    EXPECT_EQ(report.lines.back(), "置換に失敗しました。");
    EXPECT_EQ(Dump(), before);
    EXPECT_EQ(Trigger(), trigger);
  }
  RunResult none = RunReplacement(db, Request(std::string("MSX"), 0, "D:", "E:"), report);
  ASSERT_TRUE(none.message);
  EXPECT_EQ(AnsiToUtf8(none.message->text), "その機種に登録がありません。\n置換されませんでした。");
}

TEST_F(ColumnReplaceTest, TestAndRunTakeTheTextLiterally) {
  struct Case {
    const char* from;
    const char* to;
    const char* listed;  // the test's lines between the first and the last
    const char* makers;  // after the run
  } cases[] = {
      {"100%", "50%", "100% -> 50%", "100x,50%,A_B,AxB"},
      {"A_B", "C", "A_B -> C", "100%,100x,AxB,C"},
      {"a_b", "z", "", "100%,100x,A_B,AxB"},  // the match is case-sensitive
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(db.Query("UPDATE main_table SET maker=CASE file_name WHEN 'D:\\roms\\p.d88' THEN '100%' "
                          "WHEN 'D:\\roms\\c.d88' THEN '100x' WHEN 'D:\\roms\\s.nes' THEN 'A_B' ELSE 'AxB' END;"));
    report = RecordedReport{};
    RunResult test = RunReplacementTest(db, Request(std::nullopt, 1, c.from, c.to), stop, report);
    EXPECT_EQ(test.end, RunEnd::Finished);
    ASSERT_GE(report.lines.size(), 2u);
    EXPECT_EQ(report.lines.front(), "---置換結果のシミュレーション---");
    std::string listed;
    for (size_t i = 1; i + 1 < report.lines.size(); ++i) listed += report.lines[i];
    EXPECT_EQ(listed, c.listed) << c.from;
    EXPECT_EQ(report.lines.back(), std::string(*c.listed ? "1" : "0") + " パターンのマッチがありました。");
    RunResult run = RunReplacement(db, Request(std::nullopt, 1, c.from, c.to), report);
    EXPECT_EQ(run.end, RunEnd::Finished);
    ASSERT_FALSE(db.Query("SELECT group_concat(maker,',') FROM (SELECT maker FROM main_table ORDER BY maker);"));
    EXPECT_EQ(db.Cell(1, 0), c.makers) << c.from;
  }
}

TEST_F(ColumnReplaceTest, TestStopsWhenAsked) {
  stop = kRunStopRequested;
  RunResult result = RunReplacementTest(db, Request(std::nullopt, 0, "D:", "E:"), stop, report);
  EXPECT_EQ(result.end, RunEnd::Stopped);
  EXPECT_EQ(report.lines.back(), "ユーザーからの要求でリストアップを中断しました");
}

}  // namespace
}  // namespace vel
