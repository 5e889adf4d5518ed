#include "db/sql_error_report.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/codepage.h"

namespace vel {
namespace {

class SqlErrorReportTest : public testing::Test {
 protected:
  void SetUp() override {
    SetSqlErrorPresenter([this](const SqlErrorReport& report) { shown.push_back(report); });
  }
  void TearDown() override { SetSqlErrorPresenter(nullptr); }
  std::vector<SqlErrorReport> shown;
};

TEST_F(SqlErrorReportTest, OnlyTheMissingListViewIsKeptQuiet) {
  struct Case {
    const char* error;
    bool shown;
  } cases[] = {
      {"no such table: list_view", false},
      {"no such table: list_view2", true},
      {"no such table: LIST_VIEW", true},
      {"no such table: main.list_view", true},
      {"no such table: main_table", true},
      {"near \"SELEC\": syntax error", true},
      {"", true},
  };
  for (const Case& c : cases) {
    shown.clear();
    const std::string sql = std::string("SELECT * FROM x; -- ") + c.error;
    EXPECT_EQ(ReportSqlError("Search:Normal", Jp("ビュー作成できませんでした。"), c.error, sql), c.shown)
        << c.error;
    // Kept either way.
    EXPECT_EQ(LastSqlErrorReport().tag, "Search:Normal");
    EXPECT_EQ(LastSqlErrorReport().error, c.error);
    EXPECT_EQ(LastSqlErrorReport().sql, sql);
    ASSERT_EQ(shown.size(), c.shown ? 1u : 0u) << c.error;
    if (c.shown) {
      EXPECT_EQ(shown[0].tag, "Search:Normal");
      EXPECT_EQ(shown[0].description, Jp("ビュー作成できませんでした。"));
      EXPECT_EQ(shown[0].error, c.error);
      EXPECT_EQ(shown[0].sql, sql);
    }
  }
}

TEST_F(SqlErrorReportTest, DialogTextJoinsDescriptionErrorAndSql) {
  SqlErrorReport report{"SetPCname", Jp("クライアントPC名称の格納に失敗しました"),
                        "no such column: 表示", Jp("SELECT 表示 FROM t;")};
  EXPECT_EQ(SqlErrorDialogText(report), Jp("クライアントPC名称の格納に失敗しました") + "\r\n" +
                                            Jp("no such column: 表示") + "\r\n\r\n" +
                                            Jp("SELECT 表示 FROM t;"));
  // The error arrives as UTF-8 and is shown in the program's code page.
  EXPECT_NE(SqlErrorDialogText(report).find(Jp("表示")), std::string::npos);
  EXPECT_EQ(SqlErrorDialogText({"", "", "", ""}), "\r\n\r\n\r\n");
}

}  // namespace
}  // namespace vel
