// The loaded list put in a new order in memory against the order SQLite's
// ORDER BY gives for the same statement.
#include <gtest/gtest.h>

#include <sqlite3.h>

#include <functional>
#include <string>
#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "search/item_list_query.h"
#include "search/sort_model.h"
#include "test_support.h"

namespace vel {
namespace {

struct Click {
  int column;
  int how;
};

class ListSortTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(Path(), "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(CreateItemView(db));
    ASSERT_FALSE(db.Query("CREATE VIEW list_view AS SELECT * FROM all_item_view WHERE ( 1 );"));
  }
  std::string Path() const { return folder / "Velmarook.db"; }
  void Run(const std::string& sql) {
    auto error = db.Query(sql);
    ASSERT_FALSE(error) << *error << "\n" << sql;
  }
  // NULLs, empty texts, integers, reals, huge numbers, numeric and other text
  // in numeric columns, Japanese text whose UTF-8 order differs from its
  // CP932 order, and rows equal in every sort column (inserted out of key order).
  void AddMixedItems() {
    Run("INSERT INTO main_table(file_name,title,maker,machine_name,genre_name,rating,boot_count,rom_num,kana,"
        "sale_year) VALUES"
        "('a','Dragon','namco','X1','RPG',30,5,1,'どらごん','1987-01-00'),"
        "('b',NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL,NULL),"
        "('c','','','','','abc','12abc',' 7 ','',''),"
        "('d','10','Namco','X1','ACT',2.5,'1e3','0x10','10','0'),"
        "('e','9','namco','PC88','RPG',9223372036854775807,-3,-2.5,'9','1990-00-00'),"
        "('f','" + Jp("あ社") + "','" + Jp("Ａ社") + "','PC88',NULL,9.3e18,'',2,'" + Jp("あ") + "','1990'),"
        "('g','" + Jp("Ａ社") + "','" + Jp("あ社") + "','X1','RPG',10.0,'  8',3,'" + Jp("えー") + "','1988'),"
        "('h','" + Jp("魔法の竜") + "','" + Jp("光栄") + "','X68000','SLG',-1,0.5,'',NULL,'1992-03-00'),"
        "('tie_z','Tie','m','X1','RPG',20,1,1,'t','1990'),"
        "('tie_a','Tie','m','X1','RPG',20,1,1,'t','1990'),"
        "('tie_m','Tie','m','X1','RPG',20,1,1,'t','1990'),"
        "('tie2_y','Tie','m','PC88','RPG',20,1,1,'t','1990'),"
        "('tie2_b','Tie','m','PC88','RPG',20,1,1,'t','1990');");
    Run("INSERT INTO spec_table(pfile_sc,price,breed) VALUES('a',1200,'B-1'),('c','abc',''),('d',' 300yen',NULL),"
        "('e',99.5,'b-1'),('tie_z',5,'x'),('tie_a',5,'x'),('tie_m',5,'x');");
  }
  // Every cell of every row with its storage class.
  static std::vector<std::string> Rows(const LibraryConnection& c) {
    std::vector<std::string> rows;
    for (int r = 1; r <= c.RowCount(); ++r) {
      std::string row;
      for (int col = 0; col < c.ColumnCount(); ++col)
        row += std::to_string(static_cast<int>(c.TypeOf(r, col))) + std::string(c.CellUtf8(r, col)) + "|";
      rows.push_back(row);
    }
    return rows;
  }
  // The rows the statement gives on a connection of its own.
  std::vector<std::string> ByStatement(const ListQueryState& state, const std::string& pragma = "") {
    LibraryConnection other;
    other.Open(Path(), "");
    if (!pragma.empty()) other.Query(pragma);
    auto error = other.Query(ListStatement(state, true));
    EXPECT_FALSE(error) << *error;
    return Rows(other);
  }
  // Each click sorted in memory, in the statement's order.
  void ExpectClicksSortedInMemory(ListQueryState& state, const std::vector<Click>& clicks,
                                  const std::string& pragma = "") {
    ASSERT_FALSE(LoadItemList(db, state, true));
    for (size_t i = 0; i < clicks.size(); ++i) {
      ApplySortRequest(state.sort, clicks[i].column, clicks[i].how, false, ColumnDisplay{});
      const std::uint64_t before = db.ResultSerial();
      ASSERT_FALSE(LoadItemList(db, state, true));
      // The first click (one column over the loaded order) is always sorted in
      // memory; later ones may read the view again when the statement's plan
      // meets tied rows in an order the sort cannot tell, and must then still
      // give the statement's rows.
      if (i == 0) EXPECT_EQ(db.ResultSerial(), before) << "click 0: read again instead of sorted in memory";
      EXPECT_EQ(Rows(db), ByStatement(state, pragma)) << "click " << i << ": " << OrderByList(state.sort);
    }
  }
  test::TempFolder folder;
  LibraryConnection db;
};

const std::vector<Click> kClicks = {
    {kSortMaker, kSortToggle},       {kSortMaker, kSortToggle},        {kSortMachineGenre, kSortToggle},
    {kSortMachineGenre, kSortToggle}, {kSortMachineGenre, kSortToggle}, {kSortMachineGenre, kSortToggle},
    {kSortRating, kSortToggle},      {kSortRating, kSortToggle},       {kSortBootCount, kSortToggle},
    {kSortBootCount, kSortToggle},   {kSortTitle, kSortToggle},        {kSortKana, kSortDescending},
    {18, kSortToggle},               {9, kSortDescending},             {kSortSaleYear, kSortToggle},
    {kSortMachineGenre, kSortDescending}, {kSortTitle, kSortAscending}, {kSortReset, kSortToggle},
};

TEST_F(ListSortTest, HeaderSortsInMemoryGiveTheStatementsOrder) {
  AddMixedItems();
  // With the machine sorts read through the machine index, forwards and
  // backwards, and rows that tie met the other way round.
  ListQueryState whole;
  ExpectClicksSortedInMemory(whole, kClicks);
  // A group read through the machine index (a descending machine order of it
  // is read again: its plan does not say in which order it meets the rows).
  ListQueryState machine;
  machine.groupCondition = "machine_name='X1'";
  ExpectClicksSortedInMemory(machine, {{kSortMaker, kSortToggle}, {kSortMachineGenre, kSortAscending},
                                       {kSortRating, kSortDescending}, {kSortTitle, kSortToggle},
                                       {kSortMachineGenre, kSortAscending}, {18, kSortToggle}});
  ListQueryState genre;
  genre.groupCondition = "genre_name='RPG'";
  ExpectClicksSortedInMemory(genre, kClicks);
}

TEST_F(ListSortTest, SortsLargerThanTheSortersMemoryKeepTheirTies) {
  // Rows wide enough that SQLite sorts them in several runs on disk.
  Run("BEGIN;");
  const std::string memo(400, 'm');
  for (int i = 0; i < 3000; ++i) {
    std::string key = "k" + std::to_string((i * 7919) % 3000);
    Run("INSERT INTO main_table(file_name,title,maker,machine_name,rating,boot_count) VALUES('" + key + "','T" +
        std::to_string(i % 5) + "','" + (i % 3 ? "m" : "n") + "','" + (i % 2 ? "X1" : "PC88") + "'," +
        std::to_string(i % 4 * 10) + "," + std::to_string(i % 2) + ");");
    Run("INSERT INTO memo_table VALUES('" + key + "','" + memo + "');");
  }
  Run("COMMIT;");
  const std::string small = "PRAGMA cache_size=10;";
  Run(small);
  ListQueryState whole;
  ExpectClicksSortedInMemory(whole, {{kSortMaker, kSortToggle}, {kSortMachineGenre, kSortToggle},
                                     {kSortMachineGenre, kSortToggle}, {kSortRating, kSortDescending},
                                     {kSortTitle, kSortToggle}},
                             small);
}

TEST_F(ListSortTest, ReadsTheListAgainWhenMemoryCannotGiveTheSameRows) {
  AddMixedItems();
  struct Case {
    const char* what;
    std::function<void(ListQueryState&)> between;  // after the load, before the click
  } cases[] = {
      {"a cell changed in the list", [&](ListQueryState&) { db.SetCell(1, kPosTitle, "zzz"); }},
      {"another connection wrote",
       [&](ListQueryState&) {
         LibraryConnection other;
         other.Open(Path(), "");
         other.Query("UPDATE main_table SET title='Zeta' WHERE file_name='a';");
       }},
      {"this connection wrote beside the list",
       [&](ListQueryState&) {
         sqlite3_exec(db.Handle(), "UPDATE main_table SET maker='zz' WHERE file_name='b';", nullptr, nullptr, nullptr);
       }},
      {"another group", [&](ListQueryState& state) { state.groupCondition = "machine_name='X1'"; }},
      {"a BLOB among the rows",
       [&](ListQueryState& state) {
         sqlite3_exec(db.Handle(), "UPDATE main_table SET title=X'00' WHERE file_name='c';", nullptr, nullptr, nullptr);
         LoadItemList(db, state, true);
       }},
      {"a collation in the view",
       [&](ListQueryState& state) {
         sqlite3_exec(db.Handle(),
                      "DROP VIEW list_view; CREATE VIEW list_view AS SELECT * FROM all_item_view "
                      "WHERE title COLLATE NOCASE <> 'x';",
                      nullptr, nullptr, nullptr);
         state.loaded = {};
         LoadItemList(db, state, true);
       }},
      {"the statement's own order loaded",
       [&](ListQueryState& state) {
         state.sqlOrderInForce = true;
         LoadItemList(db, state, true);
         state.sqlOrderInForce = false;
       }},
  };
  for (const Case& c : cases) {
    ListQueryState state;
    ASSERT_FALSE(LoadItemList(db, state, true));
    c.between(state);
    const std::uint64_t before = db.ResultSerial();
    ApplySortRequest(state.sort, kSortMaker, kSortToggle, false, ColumnDisplay{});
    ASSERT_FALSE(LoadItemList(db, state, true)) << c.what;
    EXPECT_NE(db.ResultSerial(), before) << c.what << ": sorted in memory";
    EXPECT_EQ(Rows(db), ByStatement(state)) << c.what;
  }
}

TEST(LibraryConnectionTypes, CellsKeepTheirStorageClassAndMoveWithTheirRows) {
  test::TempFolder folder;
  LibraryConnection db;
  db.Open(folder / "t.db", "");
  ASSERT_FALSE(db.Query("SELECT 1 AS n, 'x' AS t UNION ALL SELECT NULL, 2.5 UNION ALL SELECT '', 3;"));
  EXPECT_EQ(db.ColumnName(0), "n");
  EXPECT_EQ(db.ColumnName(1), "t");
  EXPECT_EQ(db.ColumnName(2), "");
  struct Expected {
    int row, column;
    CellType type;
  } cells[] = {{1, 0, CellType::kInteger}, {1, 1, CellType::kText}, {2, 0, CellType::kNull},
               {2, 1, CellType::kReal},    {3, 0, CellType::kText},  {3, 1, CellType::kInteger},
               {4, 0, CellType::kNull}};
  for (const Expected& e : cells) EXPECT_EQ(db.TypeOf(e.row, e.column), e.type) << e.row << "," << e.column;
  EXPECT_TRUE(db.ResultValuesExact());
  db.SetCell(2, 1, "changed");
  const std::uint64_t serial = db.ResultSerial();
  EXPECT_FALSE(db.ReorderRows({0, 0, 1})) << "a row twice";
  EXPECT_FALSE(db.ReorderRows({0, 1})) << "a row missing";
  ASSERT_TRUE(db.ReorderRows({2, 0, 1}));
  EXPECT_EQ(db.ResultSerial(), serial);
  EXPECT_EQ(db.CellUtf8(1, 1), "3");
  EXPECT_EQ(db.TypeOf(1, 1), CellType::kInteger);
  EXPECT_EQ(db.CellUtf8(2, 0), "1");
  EXPECT_EQ(db.CellUtf8(3, 1), "changed") << "a changed cell moves with its row";
  ASSERT_FALSE(db.Query("SELECT x'00';"));
  EXPECT_FALSE(db.ResultValuesExact());
  EXPECT_NE(db.ResultSerial(), serial);
}

}  // namespace
}  // namespace vel
