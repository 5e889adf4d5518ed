// The query history on a real library: recording, stepping back and forth,
// the button states, atomic writes and the random replay.
#include "search/query_history.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "db/sql_error_report.h"
#include "search/search_items.h"
#include "test_support.h"

namespace vel {
namespace {

class QueryHistoryTest : public testing::Test {
 protected:
  void SetUp() override {
    SetSqlErrorPresenter([this](const SqlErrorReport& report) { reports.push_back(report); });
    searchDb.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(searchDb));
    ASSERT_FALSE(CreateItemView(searchDb));
    ASSERT_FALSE(searchDb.Query(
        "INSERT INTO main_table(file_name,title,machine_name) VALUES"
        "('a1','Apple','M1'),('a2','Avocado','M1'),('b1','Banana','M1'),('c1','Cherry','M2'),"
        "('d1','Date','M2'),('e1','Elder','M2'),('f1','Fig','M1'),('g1','Grape','M2');"));
    historyDb.Open(folder / "Velmarook.db", "");
    env.db = &searchDb;
    env.saveHistory = [this](int target, const std::string& text) { SaveHistQuery(historyDb, target, text); };
  }
  void TearDown() override { SetSqlErrorPresenter(nullptr); }

  void Search(const std::string& text, int target = kTargetTitle) {
    ASSERT_GE(SearchItems(env, state, text, target, kMatchContains, false).result, 0) << text;
  }
  // The subjects of the rows, in id order, with the current one marked "*".
  std::vector<std::string> Rows() {
    std::vector<std::string> rows;
    EXPECT_FALSE(historyDb.Query("SELECT sbject,current FROM tmp_hist_table ORDER BY id;"));
    for (int r = 1; r <= historyDb.RowCount(); ++r)
      rows.push_back(historyDb.Cell(r, 0) + (historyDb.CellInt(r, 1) == 1 ? "*" : ""));
    return rows;
  }
  std::set<std::string> Listed() {
    std::set<std::string> keys;
    EXPECT_FALSE(searchDb.Query("SELECT file_name FROM list_view;"));
    for (int r = 1; r <= searchDb.RowCount(); ++r) keys.insert(searchDb.Cell(r, 0));
    return keys;
  }
  std::pair<int, int> Images() {
    HistoryButtons b = ReadHistoryButtons(historyDb);
    return {BackImage(b), ForwardImage(b)};
  }

  test::TempFolder folder;
  LibraryConnection searchDb, historyDb;
  SearchEnvironment env;
  ListQueryState state;
  std::vector<SqlErrorReport> reports;
};

TEST_F(QueryHistoryTest, BackThenNewSearchDropsTheEntriesAheadAndTheButtonsFollowTheTable) {
  EXPECT_EQ(Images(), std::make_pair(0, 1)) << "an empty history offers neither direction";
  struct Step {
    const char* action;  // a search text, or "<" / ">"
    std::vector<std::string> rows;
    std::pair<int, int> images;
    HistoryStep::Status status = HistoryStep::Moved;
  } steps[] = {
      {"Apple", {"Apple*"}, {0, 1}},
      {"Banana", {"Apple", "Banana*"}, {2, 1}},
      {"Cherry", {"Apple", "Banana", "Cherry*"}, {2, 1}},
      {"<", {"Apple", "Banana*", "Cherry"}, {2, 3}},
      {"<", {"Apple*", "Banana", "Cherry"}, {0, 3}},
      {">", {"Apple", "Banana*", "Cherry"}, {2, 3}},
      {"<", {"Apple*", "Banana", "Cherry"}, {0, 3}},
      {"Date", {"Apple", "Date*"}, {2, 1}},
      {"Date", {"Apple", "Date*"}, {2, 1}},  // a repeated search records nothing
      {">", {"Apple", "Date*"}, {2, 1}, HistoryStep::NoEntry},
      {"<", {"Apple*", "Date"}, {0, 3}},
      {"<", {"Apple*", "Date"}, {0, 3}, HistoryStep::NoEntry},
  };
  for (const Step& step : steps) {
    std::string action = step.action;
    if (action == "<" || action == ">") {
      HistoryStep result = StepHistory(historyDb, searchDb, action == "<" ? -1 : 1);
      EXPECT_EQ(result.status, step.status) << action;
    } else {
      Search(action);
    }
    EXPECT_EQ(Rows(), step.rows) << "after " << action;
    EXPECT_EQ(Images(), step.images) << "after " << action;
  }
  EXPECT_EQ(Listed(), (std::set<std::string>{"a1"})) << "the view is Apple's again";
  EXPECT_TRUE(reports.empty());
}

TEST_F(QueryHistoryTest, StepReportsTheEntryToShowInTheSearchWindow) {
  Search("Apple", kTargetTitle);
  Search("SELECT * FROM list_view WHERE machine_name='M2'", kTargetSql);
  EXPECT_EQ(Listed(), (std::set<std::string>{"c1", "d1", "e1", "g1"}));
  HistoryStep back = StepHistory(historyDb, searchDb, -1);
  ASSERT_EQ(back.status, HistoryStep::Moved);
  EXPECT_EQ(back.entry.subject, "Apple");
  EXPECT_EQ(back.entry.target, kTargetTitle);
  HistoryStep forward = StepHistory(historyDb, searchDb, 1);
  ASSERT_EQ(forward.status, HistoryStep::Moved);
  EXPECT_EQ(forward.entry.target, kTargetSql);
  EXPECT_EQ(Listed(), (std::set<std::string>{"c1", "d1", "e1", "g1"}));
}

TEST_F(QueryHistoryTest, FailedInsertKeepsTheHistoryAsItWas) {
  Search("Apple");
  Search("Banana");
  Search("Cherry");
  ASSERT_FALSE(historyDb.Query("CREATE TRIGGER no_more BEFORE INSERT ON tmp_hist_table "
                               "BEGIN SELECT RAISE(ABORT, 'full'); END;"));
  Search("Date");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Apple", "Banana", "Cherry*"}));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].tag, "saveHistQuery");
}

TEST_F(QueryHistoryTest, SeveralCurrentRowsAreMadeOne) {
  Search("Apple");
  Search("Banana");
  ASSERT_FALSE(historyDb.Query("UPDATE tmp_hist_table SET current=1;"));
  Search("Cherry");
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Apple", "Banana", "Cherry*"}));
  ASSERT_EQ(StepHistory(historyDb, searchDb, -1).status, HistoryStep::Moved);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Apple", "Banana*", "Cherry"}));
}

TEST_F(QueryHistoryTest, FailedReplayLeavesTheCurrentMark) {
  Search("Apple");
  Search("Banana");
  ASSERT_FALSE(historyDb.Query("UPDATE tmp_hist_table SET query='CREATE VIEW list_view AS SELEC broken' "
                               "WHERE sbject='Apple';"));
  EXPECT_EQ(StepHistory(historyDb, searchDb, -1).status, HistoryStep::ReplayFailed);
  EXPECT_EQ(Rows(), (std::vector<std::string>{"Apple", "Banana*"}));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].tag, "loadHistQuery");
}

TEST_F(QueryHistoryTest, ReplayRunsExactlyOneStatement) {
  Search("Apple");
  Search("Banana");
  ASSERT_FALSE(historyDb.Query("UPDATE tmp_hist_table SET query=query||'; DELETE FROM main_table;' "
                               "WHERE sbject='Apple';"));
  ASSERT_EQ(StepHistory(historyDb, searchDb, -1).status, HistoryStep::Moved);
  ASSERT_FALSE(searchDb.Query("SELECT COUNT(*) FROM main_table;"));
  EXPECT_EQ(searchDb.CellInt(1, 0), 8);
}

TEST_F(QueryHistoryTest, RandomSearchIsDrawnAnewAtEveryReplay) {
  for (int i = 0; i < 30; ++i)
    ASSERT_FALSE(searchDb.Query("INSERT INTO main_table(file_name,title,machine_name) VALUES('r" +
                                std::to_string(i) + "','R','M1');"));
  Search("/*pick*/SELECT * FROM list_view WHERE machine_name='M1' ORDER BY RANDOM() LIMIT 3", kTargetSql);
  Search("SELECT * FROM list_view WHERE machine_name='M2' ORDER BY RANDOM() LIMIT 3", kTargetSql);
  ASSERT_FALSE(historyDb.Query("SELECT query FROM tmp_hist_table ORDER BY id;"));
  ASSERT_EQ(historyDb.RowCount(), 2);
  EXPECT_EQ(historyDb.Cell(1, 0).rfind(kTwoPassMarker, 0), 0u);

  std::set<std::set<std::string>> drawn;
  for (int i = 0; i < 20; ++i) {
    ASSERT_EQ(StepHistory(historyDb, searchDb, -1).status, HistoryStep::Moved);
    std::set<std::string> keys = Listed();
    ASSERT_EQ(keys.size(), 3u);
    ASSERT_FALSE(searchDb.Query("SELECT COUNT(*) FROM all_item_view WHERE machine_name<>'M1' AND file_name IN "
                                "(SELECT file_name FROM list_view);"));
    EXPECT_EQ(searchDb.CellInt(1, 0), 0) << "only the first search's machine";
    drawn.insert(keys);
    ASSERT_EQ(StepHistory(historyDb, searchDb, 1).status, HistoryStep::Moved);
  }
  EXPECT_GE(drawn.size(), 2u);
  EXPECT_TRUE(reports.empty());
}

TEST_F(QueryHistoryTest, OwnStatementOverTheStockIsKeptAsItIs) {
  Search("SELECT * FROM list_view ORDER BY RANDOM() LIMIT 2", kTargetSql);
  Search("SELECT * FROM list_view WHERE file_name IN (SELECT file_name FROM rnd_stock_table)", kTargetSql);
  ASSERT_FALSE(historyDb.Query("SELECT query FROM tmp_hist_table ORDER BY id DESC LIMIT 1;"));
  EXPECT_EQ(historyDb.Cell(1, 0),
            "CREATE VIEW list_view AS SELECT * FROM all_item_view WHERE file_name IN "
            "(SELECT file_name FROM rnd_stock_table)");
}

TEST_F(QueryHistoryTest, SavedQueryNameTravelsInTheRecordedStatement) {
  Search("/*q1*/SELECT * FROM list_view WHERE title='Fig'", kTargetSql);
  ASSERT_FALSE(historyDb.Query("SELECT query FROM tmp_hist_table;"));
  EXPECT_NE(historyDb.Cell(1, 0).find("/*q1*/"), std::string::npos) << historyDb.Cell(1, 0);
}

TEST(FirstStatement, EndsAtTheFirstCompleteStatement) {
  struct Case {
    const char* sql;
    const char* first;
  } cases[] = {
      {"SELECT 1; SELECT 2;", "SELECT 1;"},
      {"SELECT 'a;b'; DROP TABLE t;", "SELECT 'a;b';"},
      {"SELECT 1 /* ; */ ; x", "SELECT 1 /* ; */ ;"},
      {"CREATE VIEW v AS SELECT 1", "CREATE VIEW v AS SELECT 1"},
      {"SELECT '\x83\x5C;'; x", "SELECT '\x83\x5C;';"},
  };
  for (const Case& c : cases) EXPECT_EQ(FirstStatement(c.sql), c.first) << c.sql;
}

}  // namespace
}  // namespace vel
