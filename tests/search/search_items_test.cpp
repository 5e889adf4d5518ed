// The search against a real library: word mode with its AND-then-OR retry,
// literal texts, every target, the SQL search and the reports of failures.
#include "search/search_items.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "db/sql_error_report.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "search/sql_order.h"
#include "test_support.h"

namespace vel {
namespace {

struct Item {
  std::string key, title, extra;  // extra: "column=value|column=value" for main_table (SQL values)
};

class SearchItemsTest : public testing::Test {
 protected:
  void SetUp() override {
    SetSqlErrorPresenter([this](const SqlErrorReport& report) { reports.push_back(report); });
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(CreateItemView(db));
    env.db = &db;
    // A stand-in normaliser whose output still needs quoting.
    env.smartTitle = [](const std::string& text) {
      std::string upper = text;
      std::transform(upper.begin(), upper.end(), upper.begin(),
                     [](char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 32) : c; });
      return upper;
    };
  }
  void TearDown() override { SetSqlErrorPresenter(nullptr); }

  void Add(const std::vector<Item>& items) {
    for (const Item& item : items) {
      std::string columns, values;
      for (size_t at = 0; at < item.extra.size();) {
        size_t eq = item.extra.find('=', at);
        size_t next = item.extra.find("|", eq);
        columns += "," + item.extra.substr(at, eq - at);
        values += "," + item.extra.substr(eq + 1, (next == std::string::npos ? item.extra.size() : next) - eq - 1);
        at = next == std::string::npos ? item.extra.size() : next + 1;
      }
      auto error = db.Query("INSERT INTO main_table(file_name,title" + columns + ") VALUES('" +
                            Quote(item.key) + "','" + Quote(item.title) + "'" + values + ");");
      ASSERT_FALSE(error) << *error;
    }
  }
  std::vector<std::string> ListedKeys() {
    std::vector<std::string> keys;
    for (int r = 1; r <= db.RowCount(); ++r) keys.push_back(db.Cell(r, kPosFileName));
    std::sort(keys.begin(), keys.end());
    return keys;
  }
  bool ListViewExists() {
    EXPECT_FALSE(db.Query("SELECT name FROM sqlite_master WHERE type='view' AND name='list_view';"));
    return db.RowCount() == 1;
  }

  test::TempFolder folder;
  test::ScriptedAnswers answers;  // fails the test on any message box
  LibraryConnection db;
  SearchEnvironment env;
  ListQueryState state;
  std::vector<SqlErrorReport> reports;
};

TEST_F(SearchItemsTest, WordModeKeepsTheAndViewOrFallsBackToOr) {
  Add({{"k1", "Alpha Quest", ""}, {"k2", "Beta Quest", ""}, {"k3", "Alpha Zone", ""}});
  struct Case {
    const char* text;
    bool orOnly;
    std::vector<std::string> keys;
  } cases[] = {
      {"alpha quest", false, {"k1"}},
      {"alpha gamma", false, {"k1", "k3"}},
      {"alpha\x81\x40\x81\x40quest", false, {"k1"}},  // full-width spaces separate words too
      {"alpha quest", true, {"k1", "k2", "k3"}},
      {"delta gamma", false, {}},
  };
  for (const Case& c : cases) {
    SearchOutcome out = SearchItems(env, state, c.text, kTargetFuzzy, kMatchContains, c.orOnly);
    EXPECT_EQ(ListedKeys(), c.keys) << c.text;
    EXPECT_EQ(out.rows, static_cast<int>(c.keys.size())) << c.text;
    EXPECT_EQ(out.result, c.keys.empty() ? 0 : 1) << c.text;
    EXPECT_EQ(out.countText, Jp(" 検索件数: ") + std::to_string(c.keys.size()) + Jp(" 件"));
  }
  EXPECT_EQ(SearchItems(env, state, "alpha gamma", kTargetFuzzy, kMatchContains, false).countText,
            Jp(" 検索件数: 2 件"));
  EXPECT_TRUE(reports.empty());
}

TEST_F(SearchItemsTest, TextsAreFoundLiterallyAndQuoted) {
  Add({{"let", "Let's Go", ""},
       {"lets", "Lets Go", ""},
       {"pct", "100% Orange", ""},
       {"num", "1000 Oranges", ""},
       {"obr", "O'Brien Story", ""},
       {"obr2", "OBrien Tale", ""},
       {"und", "a_b", ""},
       {"anx", "axb", ""},
       {"bq", "x`y", ""}});
  struct Case {
    const char* text;
    int target;
    int subMode;
    std::vector<std::string> keys;
  } cases[] = {
      {"let's", kTargetFuzzy, kMatchContains, {"let"}},
      {"100%", kTargetFuzzy, kMatchContains, {"pct"}},
      {"o'brien story", kTargetFuzzy, kMatchContains, {"obr"}},  // word mode
      {"o'brien tale", kTargetFuzzy, kMatchContains, {"obr", "obr2"}},  // word mode, OR
      {"O'Brien", kTargetTitle, kMatchContains, {"obr"}},
      {"100%", kTargetTitle, kMatchContains, {"pct"}},
      {"a_b", kTargetFuzzy, kMatchContains, {"und"}},
      {"x`y", kTargetTitle, kMatchContains, {"bq"}},
      {"Let's Go", kTargetFuzzy, kMatchEquals, {"let"}},
      {"Let's Go", kTargetTitle, kMatchEquals, {"let"}},
  };
  for (const Case& c : cases) {
    SearchItems(env, state, c.text, c.target, c.subMode, false);
    EXPECT_EQ(ListedKeys(), c.keys) << c.text << " target " << c.target;
  }
  EXPECT_TRUE(reports.empty()) << reports.front().error << "\n" << reports.front().sql;
}

TEST_F(SearchItemsTest, EachTargetSearchesItsColumns) {
  Add({{"C:\\games\\one.d88", "One", "maker='Zeta Soft'|developer='Omega Works'|genre_name='RPG'|"
                                    "version='Rev A'|sale_year='1995-03-00'|machine_name='PC-98'"},
       {"C:\\games\\two.d88", "Two", "maker='Omega Works'|genre_name='ACT'|version='Rev B'|"
                                    "sale_year='1987-00-00'|machine_name='X68'"}});
  ASSERT_FALSE(db.Query("INSERT INTO creator_table VALUES('C:\\games\\one.d88','" +
                        Jp("[原作]山田;") + "');INSERT INTO memo_table VALUES('C:\\games\\two.d88',"
                        "'it''s a memo');"));
  env.narrowText = [](const std::string& text) {  // full-width digits (CP932 0x82 0x4F..) narrowed
    std::string out;
    for (size_t i = 0; i < text.size(); ++i) {
      unsigned char c = static_cast<unsigned char>(text[i]);
      if (c == 0x82 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) >= 0x4F &&
          static_cast<unsigned char>(text[i + 1]) <= 0x58)
        out += static_cast<char>('0' + static_cast<unsigned char>(text[++i]) - 0x4F);
      else
        out += text[i];
    }
    return out;
  };
  const std::string one = "C:\\games\\one.d88", two = "C:\\games\\two.d88";
  struct Case {
    std::string text;
    int target;
    int subMode;
    std::vector<std::string> keys;
  } cases[] = {
      {"two.d", kTargetFilePath, kMatchContains, {two}},
      {"One", kTargetTitle, kMatchEquals, {one}},
      {"On", kTargetTitle, kMatchEquals, {}},
      {"omega", kTargetMaker, kMatchContains, {one, two}},
      {"Omega Works", kTargetMakerOfItem, kMatchEquals, {one, two}},
      {"RPG", kTargetGenre, kMatchEquals, {one}},
      {"rev", kTargetVersion, kMatchContains, {one, two}},
      {Jp("山田"), kTargetCreator, kMatchContains, {one}},
      {"it's", kTargetMemo, kMatchContains, {two}},
      {"it's a memo", kTargetMemo, kMatchEquals, {two}},
      {Jp("１９９５"), kTargetSaleYear, kMatchContains, {one}},
      {"  X68 ", kTargetFuzzy, kMatchEquals, {two}},
      {"pc-98", kTargetFuzzy, kMatchContains, {one}},
  };
  for (const Case& c : cases) {
    SearchItems(env, state, c.text, c.target, c.subMode, false);
    EXPECT_EQ(ListedKeys(), c.keys) << c.text << " target " << c.target;
  }
  EXPECT_TRUE(reports.empty());
}

TEST_F(SearchItemsTest, SmartTitlesFindOtherSpellings) {
  TitleConverter converter(DefaultSymbolTables());
  env.smartTitle = [&](const std::string& text) { return SmartTitle(converter, text); };
  const std::string title = Jp("ドラゴン・クエストⅡ"), text = Jp("どらごんくえすと２");
  ASSERT_EQ(SmartTitle(converter, title), SmartTitle(converter, text));
  Add({{"k1", title, "smart_title='" + Quote(SmartTitle(converter, title)) + "'"}, {"k2", "Other", ""}});
  SearchItems(env, state, text, kTargetFuzzy, kMatchContains, false);
  EXPECT_EQ(ListedKeys(), std::vector<std::string>{"k1"});
  SearchItems(env, state, text, kTargetFuzzy, kMatchEquals, false);
  EXPECT_EQ(ListedKeys(), std::vector<std::string>{"k1"});
}

TEST_F(SearchItemsTest, FuzzySearchSeesItemsWithoutMachine) {
  // A NULL machine must not make the whole haystack NULL.
  Add({{"k1", "Lonely", "machine_name=NULL"}});
  SearchItems(env, state, "lonely", kTargetFuzzy, kMatchContains, false);
  EXPECT_EQ(ListedKeys(), std::vector<std::string>{"k1"});
  SearchItems(env, state, "lonely one", kTargetFuzzy, kMatchContains, false);
  EXPECT_EQ(ListedKeys(), std::vector<std::string>{"k1"});
}

TEST_F(SearchItemsTest, TimeCountsUntilTheListIsShown) {
  Add({{"k1", "Alpha", ""}, {"k2", "Beta", ""}});
  int shownRows = -1;
  env.showList = [&](int rows) {
    // The list holds the loaded result by the time it is shown.
    EXPECT_EQ(db.RowCount(), rows);
    shownRows = rows;
    SleepMs(60);
  };
  SearchOutcome outcome = SearchItems(env, state, "alpha", kTargetTitle, kMatchContains, false);
  EXPECT_EQ(shownRows, 1);
  EXPECT_GE(outcome.elapsedMs, 60) << "the time shown must include showing the list";
  EXPECT_EQ(outcome.timeText, SearchTimeText(outcome.elapsedMs));
}

TEST_F(SearchItemsTest, EmptyAndBlankTexts) {
  Add({{"k1", "Alpha", ""}});
  SearchItems(env, state, "alpha", kTargetTitle, kMatchContains, false);
  SearchOutcome empty = SearchItems(env, state, "", kTargetTitle, kMatchContains, false);
  EXPECT_EQ(empty.result, 0);
  EXPECT_TRUE(ListViewExists()) << "an empty text changes nothing";
  EXPECT_EQ(empty.countText, "");
  SearchOutcome blank = SearchItems(env, state, "  \x81\x40 ", kTargetFuzzy, kMatchContains, false);
  EXPECT_EQ(blank.result, -1);
  EXPECT_EQ(blank.countText, Jp(" 検索件数: 0 件")) << "the old count is not left over the empty list";
  EXPECT_FALSE(ListViewExists());
  EXPECT_TRUE(reports.empty());
}

TEST_F(SearchItemsTest, FailedStatementsAreReportedAndLeaveAnEmptyList) {
  Add({{"k1", "Alpha Quest", ""}});
  // A table in the view's place: every view statement fails.
  ASSERT_FALSE(db.Query("CREATE TABLE list_view(x);"));
  struct Case {
    const char* text;
    int target;
    bool orOnly;
    const char* tag;
  } cases[] = {
      {"alpha", kTargetFuzzy, false, "Search:Normal"},
      {"alpha", kTargetGenre, false, "Search:Normal"},
      {"alpha gamma", kTargetFuzzy, false, "Search:AND"},
      {"alpha gamma", kTargetFuzzy, true, "Search:OR"},
      {"SELECT * FROM list_view", kTargetSql, false, "Search:SQL"},
  };
  for (const Case& c : cases) {
    reports.clear();
    SearchOutcome out = SearchItems(env, state, c.text, c.target, 0, c.orOnly);
    EXPECT_EQ(out.result, -1) << c.text;
    EXPECT_EQ(out.countText, Jp(" 検索件数: 0 件")) << c.text;
    ASSERT_EQ(reports.size(), 1u) << c.text;
    EXPECT_EQ(reports[0].tag, c.tag);
    EXPECT_EQ(reports[0].error, "table list_view already exists");
  }
  // A view that cannot be read fails at the load, and says so.
  ASSERT_FALSE(db.Query("DROP TABLE list_view; DROP VIEW all_item_view;"));
  reports.clear();
  int shownRows = 0;
  env.showList = [&](int rows) { shownRows = rows; };
  SearchOutcome out = SearchItems(env, state, "alpha", kTargetTitle, kMatchContains, false);
  EXPECT_EQ(out.result, -1);
  EXPECT_EQ(shownRows, -1) << "the list is shown as failed, so that no group list is read from it";
  EXPECT_EQ(out.countText, Jp(" 検索件数: 0 件"));
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].tag, "ItemListClmSort:Normal");
}

TEST_F(SearchItemsTest, RandomSelectionIsFrozenAcrossReads) {
  std::vector<Item> items;
  for (int i = 0; i < 30; ++i) items.push_back({"k" + std::to_string(100 + i), "T" + std::to_string(i), ""});
  Add(items);
  const std::string sql = "/* three */ SELECT * FROM LIST_VIEW ORDER BY RANDOM() LIMIT 3;";
  SearchOutcome out = SearchItems(env, state, sql, kTargetSql, 0, false);
  ASSERT_EQ(out.result, 1);
  std::vector<std::string> first = ListedKeys();
  ASSERT_EQ(first.size(), 3u);
  for (int column : {int{kSortMaker}, int{kSortTitle}, kSortReset}) {  // header clicks re-read the view
    ASSERT_EQ(LoadSearchResult(db, state, column, kSortDescending), 3);
    EXPECT_EQ(ListedKeys(), first);
  }
  // The stock holds the choice and one marker row that carries the statement.
  ASSERT_FALSE(db.Query("SELECT file_name FROM rnd_stock_table WHERE file_name LIKE '/*2passCreate*/%';"));
  ASSERT_EQ(db.RowCount(), 1);
  EXPECT_EQ(db.Cell(1, 0), "/*2passCreate*/SELECT * FROM all_item_view ORDER BY RANDOM() LIMIT 3;");
  EXPECT_TRUE(reports.empty());
}

TEST_F(SearchItemsTest, FailedStockStepBuildsNoView) {
  Add({{"k1", "A", ""}, {"k2", "B", ""}});
  ASSERT_EQ(SearchItems(env, state, "SELECT * FROM list_view ORDER BY RANDOM() LIMIT 1", kTargetSql, 0,
                        false).result, 1);
  SearchOutcome out = SearchItems(env, state, "SELECT * FROM list_view WHERE nosuch=1 ORDER BY RANDOM()",
                                  kTargetSql, 0, false);
  EXPECT_EQ(out.result, -1);
  EXPECT_FALSE(ListViewExists()) << "no view over the old stock";
  ASSERT_EQ(reports.size(), 1u);
  EXPECT_EQ(reports[0].tag, "Search:SQL");
  EXPECT_EQ(reports[0].description, Jp("rnd_stock_table 作成できませんでした。\n（SQL検索）"));
}

TEST_F(SearchItemsTest, SqlOrderBecomesTheSortState) {
  Add({{"a", "A", "machine_name='M1'|genre_name='G2'"},
       {"b", "B", "machine_name='M2'|genre_name='G1'"},
       {"c", "C", "machine_name='M1'|genre_name='G1'"}});
  SearchOutcome out = SearchItems(env, state, "SELECT * FROM list_view ORDER BY genre_name DESC, machine_name",
                                  kTargetSql, 0, false);
  ASSERT_EQ(out.rows, 3);
  EXPECT_FALSE(state.sqlOrderInForce);
  EXPECT_EQ(state.sort.keys[0], kSortMachineGenre);
  EXPECT_EQ(state.sort.dir[kSortMachineGenre], 3);
  EXPECT_EQ(db.Cell(1, kPosFileName), "a");
  EXPECT_EQ(db.Cell(2, kPosFileName), "c");
  // An order over no list column keeps the statement's own order.
  out = SearchItems(env, state, "SELECT * FROM list_view ORDER BY file_name DESC", kTargetSql, 0, false);
  EXPECT_TRUE(state.sqlOrderInForce);
  EXPECT_EQ(state.sort.keys, DefaultSortState().keys);
  EXPECT_EQ(db.Cell(1, kPosFileName), "c");
  // The next search of another kind clears it.
  SearchItems(env, state, "A", kTargetTitle, kMatchEquals, false);
  EXPECT_FALSE(state.sqlOrderInForce);
}

TEST(SqlOrderTest, OrderByTermsMapOntoSortKeys) {
  struct Case {
    const char* sql;
    bool hasOrderBy, mapped;
    std::vector<int> leadingKeys;
    std::vector<std::pair<int, int>> dirs;  // column, direction
  } cases[] = {
      {"CREATE VIEW list_view AS SELECT * FROM all_item_view ORDER BY genre_name DESC, machine_name",
       true, true, {2, 0, 1, 3}, {{2, 3}}},
      {"... ORDER BY machine_name DESC ,title", true, true, {2, 0, 1}, {{2, 1}, {0, 0}}},
      {"... order by maker desc, title LIMIT 5", true, true, {1, 0, 2}, {{1, 1}, {0, 0}}},
      {"... ORDER BY boot_count+0 DESC, kana", true, true, {5, 17, 0}, {{5, 1}, {17, 0}}},
      {"... ORDER BY genre_name, rating, machine_name", true, true, {2, 3, 0}, {{2, 2}}},
      {"... ORDER BY title, file_name, maker", true, true, {0, 1, 2}, {}},
      {"... ORDER BY title COLLATE NOCASE DESC, maker collate binary", true, true, {0, 1}, {{0, 1}, {1, 0}}},
      {"... ORDER BY machine_name COLLATE \"NOCASE\" DESC", true, true, {2}, {{2, 1}}},
      {"... ORDER BY titles", true, false, {}, {}},
      {"... ORDER BY RANDOM()", true, false, {}, {}},
      {"SELECT * FROM all_item_view", false, false, {}, {}},
  };
  for (const Case& c : cases) {
    SortState state = DefaultSortState();
    state.dir[0] = 1;
    SortState before = state;
    SqlOrderMapping m = MapSqlOrderBy(c.sql, state);
    EXPECT_EQ(m.hasOrderBy, c.hasOrderBy) << c.sql;
    EXPECT_EQ(m.mapped, c.mapped) << c.sql;
    if (!c.mapped) {
      EXPECT_EQ(state.keys, before.keys) << c.sql;
      EXPECT_EQ(state.dir, before.dir) << c.sql;
      continue;
    }
    for (size_t i = 0; i < c.leadingKeys.size(); ++i) EXPECT_EQ(state.keys[i], c.leadingKeys[i]) << c.sql;
    for (auto [column, dir] : c.dirs) EXPECT_EQ(state.dir[column], dir) << c.sql;
    std::vector<int> sorted(state.keys.begin(), state.keys.end());
    std::sort(sorted.begin(), sorted.end());
    for (int i = 0; i < kSortColumnCount; ++i) EXPECT_EQ(sorted[i], i) << c.sql;
  }
}

TEST(SearchTextsTest, TimeShowsWholeSecondsAndTruncatedHundredths) {
  struct Case {
    long long ms;
    const char* shown;
  } cases[] = {{1045, "1.04"}, {45, "0.04"}, {0, "0.00"}, {999, "0.99"}, {61234, "61.23"}};
  for (const Case& c : cases)
    EXPECT_EQ(SearchTimeText(c.ms), Jp("検索時間:") + c.shown + Jp("秒"));
  EXPECT_EQ(SearchCountText(12345), Jp(" 検索件数: 12345 件"));
}

}  // namespace
}  // namespace vel

namespace vel {
namespace {

TEST_F(SearchItemsTest, AStoppedSearchPutsThePreviousListBack) {
  std::vector<Item> items;
  for (int i = 0; i < 400; ++i)
    items.push_back({"k" + std::to_string(1000 + i), (i % 2 ? "Quest " : "Alpha ") + std::to_string(i), ""});
  ASSERT_FALSE(db.Query("BEGIN;"));
  Add(items);
  ASSERT_FALSE(db.Query("COMMIT;"));

  for (int stopAfter : {0, 3}) {  // at the first check, and later in the load
    env.stopRequested = nullptr;
    env.showList = nullptr;
    ASSERT_EQ(SearchItems(env, state, "quest", kTargetFuzzy, kMatchContains, false).rows, 200);
    const std::vector<std::string> before = ListedKeys();
    const ListQueryState stateBefore = state;
    int asked = 0;
    env.stopRequested = [&] { return ++asked > stopAfter; };
    bool shown = false;
    env.showList = [&](int) { shown = true; };
    SearchOutcome outcome = SearchItems(env, state, "alpha", kTargetTitle, kMatchContains, false);
    EXPECT_TRUE(outcome.stopped) << stopAfter;
    EXPECT_GT(asked, stopAfter) << "the statements were watched";
    EXPECT_FALSE(shown) << "a stopped search shows nothing new";
    EXPECT_EQ(outcome.rows, 200);
    EXPECT_EQ(outcome.countText, SearchCountText(200));
    EXPECT_EQ(outcome.timeText, Jp("検索を中止しました"));
    EXPECT_EQ(ListedKeys(), before) << "the previous list is current again";
    EXPECT_EQ(state.sort.keys, stateBefore.sort.keys) << "the order is the previous one";
    EXPECT_EQ(state.sort.dir, stateBefore.sort.dir);
    ASSERT_FALSE(db.Query("SELECT count(*) FROM list_view;"));
    EXPECT_EQ(db.Cell(1, 0), "200") << "the previous view is back";
  }
  EXPECT_TRUE(reports.empty()) << "a stop is not reported as a failure";

  // Watched but never stopped: the search runs as usual and the check is gone after it.
  int asked = 0;
  env.stopRequested = [&] { ++asked; return false; };
  env.showList = nullptr;
  SearchOutcome outcome = SearchItems(env, state, "alpha", kTargetFuzzy, kMatchContains, false);
  EXPECT_FALSE(outcome.stopped);
  EXPECT_EQ(outcome.rows, 200);
  const int afterSearch = asked;
  ASSERT_FALSE(db.Query("SELECT count(*) FROM main_table a, main_table b WHERE b.rowid <= 20;"));
  EXPECT_EQ(asked, afterSearch) << "no check outlives the search";
}

}  // namespace
}  // namespace vel
