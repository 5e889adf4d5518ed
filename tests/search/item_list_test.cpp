// The item list's statements against a real library: groups, initial index
// and re-selection after a reload.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "search/group_kinds.h"
#include "search/initial_index.h"
#include "search/item_list_query.h"
#include "test_support.h"

namespace vel {
namespace {

class ItemListTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(CreateItemView(db));
    ASSERT_FALSE(db.Query("CREATE VIEW list_view AS SELECT * FROM all_item_view WHERE ( 1 );"));
  }
  // Adds an item by key with the columns given as "column='value'" pairs (CP932).
  void Add(const std::string& key, const std::string& columns, const std::string& values) {
    auto error = db.Query("INSERT INTO main_table(file_name" + columns + ") VALUES('" + Quote(key) +
                          "'" + values + ");");
    ASSERT_FALSE(error) << *error;
  }
  std::vector<std::string> Keys(ListQueryState state) {
    auto error = LoadItemList(db, state, true);
    EXPECT_FALSE(error) << *error;
    std::vector<std::string> keys;
    for (int r = 1; r <= db.RowCount(); ++r) keys.push_back(db.Cell(r, kPosFileName));
    return keys;
  }
  test::TempFolder folder;
  LibraryConnection db;
};

TEST_F(ItemListTest, CreatorGroupsListWholeNamesAndFilterByThem) {
  Add("a", ",title", ",'A'");
  Add("b", ",title", ",'B'");
  Add("c", ",title", ",'C'");
  Add("d", ",title", ",'D'");
  Add("e", ",title", ",'E'");
  // d and e end without a final ";".
  ASSERT_FALSE(db.Query("INSERT INTO creator_table VALUES('a','" + Jp("[原作]山田;[音楽]伊藤;") +
                        "'),('b','" + Jp("加伊藤;") + "'),('c','[x];'),('d','" + Jp("鈴木;[絵]佐藤") +
                        "'),('e','[y]');"));
  std::vector<std::string> values;
  ASSERT_FALSE(ReadGroupValues(db, kGroupCreator, values));
  std::vector<std::string> expected = {"", Jp("伊藤"), Jp("佐藤"), Jp("加伊藤"), Jp("山田"), Jp("鈴木")};
  std::sort(expected.begin(), expected.end(), [](const std::string& x, const std::string& y) {
    return AnsiToUtf8(x) < AnsiToUtf8(y);
  });
  EXPECT_EQ(values, expected);
  struct Case {
    std::string value;
    std::vector<std::string> keys;
  } cases[] = {
      {Jp("伊藤"), {"a"}},
      {Jp("加伊藤"), {"b"}},
      {Jp("山田"), {"a"}},
      {Jp("鈴木"), {"d"}},
      {Jp("佐藤"), {"d"}},
      {"", {"c", "e"}},  // a role without a name
  };
  for (const Case& c : cases) {
    ListQueryState state;
    state.groupCondition = GroupCondition(kGroupCreator, 1, c.value);
    EXPECT_EQ(Keys(state), c.keys) << AnsiToUtf8(c.value);
  }
}

TEST_F(ItemListTest, GroupValuesOfTheLoadedListMatchTheStatements) {
  // NULLs beside empty texts, Japanese beside ASCII (BINARY order on UTF-8),
  // creators with roles, empty entries and names inside longer names.
  Add("a", ",maker,genre_name,machine_name,media_name,adult,rating",
      ",'" + Jp("ナムコ") + "','RPG','PC88',NULL,'1','30'");
  Add("b", ",maker,genre_name,machine_name,media_name", ",'namco','',NULL,'" + Jp("ＦＤ") + "'");
  Add("c", ",maker,genre_name,machine_name,media_name", ",NULL,'ACT','X1','CD'");
  Add("d", ",maker,genre_name,machine_name,media_name", ",'Zeta','RPG','PC88','CD'");
  Add("e", ",maker", ",''");
  // Full-width Ａ comes before あ in CP932 and after it in UTF-8.
  Add("f", ",maker", ",'" + Jp("Ａ社") + "'");
  Add("g", ",maker", ",'" + Jp("あ社") + "'");
  ASSERT_FALSE(db.Query("INSERT INTO creator_table VALUES('a','" + Jp("[原作]山田;[音楽]伊藤;") + "'),('b','" +
                        Jp("加伊藤;") + "'),('c','[x];'),('d','" + Jp("山田;") + "');"));
  for (int kind : {kGroupMaker, kGroupGenre, kGroupAdult, kGroupMachine, kGroupMedia, kGroupRating, kGroupCreator}) {
    ListQueryState whole;
    ASSERT_FALSE(LoadItemList(db, whole, true));
    std::vector<std::string> counted;
    ASSERT_TRUE(GroupValuesOfLoadedList(db, kind, counted)) << kind;
    LibraryConnection groups;
    groups.Open(folder / "Velmarook.db", "");
    std::vector<std::string> read;
    ASSERT_FALSE(ReadGroupValues(groups, kind, read)) << kind;
    if (kind == kGroupAdult || kind == kGroupRating)
      EXPECT_EQ(GroupRowCount(kind, static_cast<int>(counted.size())), GroupRowCount(kind, static_cast<int>(read.size())));
    else
      EXPECT_EQ(counted, read) << "kind " << kind;
  }
  std::vector<std::string> years;
  EXPECT_FALSE(GroupValuesOfLoadedList(db, kGroupSaleYear, years)) << "the release year is read by its statement";
  // An empty list has no groups.
  ASSERT_FALSE(db.Query("SELECT * FROM list_view WHERE 0;"));
  std::vector<std::string> none{"stale"};
  ASSERT_TRUE(GroupValuesOfLoadedList(db, kGroupAdult, none));
  EXPECT_TRUE(none.empty());
}

TEST(CreatorNames, SplitByEntryWithoutRoles) {
  struct Case {
    std::string text;
    std::vector<std::string> names;
  } cases[] = {
      {Jp("[原作]山田;[音楽]伊藤;"), {Jp("山田"), Jp("伊藤")}},
      {"a;b", {"a", "b"}},
      {"[role];;c;", {"", "", "c"}},
      // The trail byte of ソ is 0x5C and of "]"-free characters never ends a role.
      {Jp("[ソフト]表示;"), {Jp("表示")}},
      {"", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCreatorNames(c.text), c.names) << c.text;
}

TEST_F(ItemListTest, GroupRowsFilterTheirItems) {
  Add("a", ",maker,adult,rating,sale_year,genre_name", ",'O''Brien',1,30,'1994-05-00','G'");
  Add("b", ",maker,adult,rating,sale_year,genre_name", ",'x%',0,0,'0','G'");
  Add("c", ",maker,adult,rating,sale_year,genre_name", ",'',  '',30,'','G'");
  Add("d", ",maker,adult,rating,sale_year", ",'xy',0,50,'19945'");
  struct Case {
    int kind, row;
    std::string value;
    std::vector<std::string> keys;
  } cases[] = {
      {kGroupMaker, 0, "", {"a", "b", "c", "d"}},
      {kGroupMaker, 1, "O'Brien", {"a"}},
      {kGroupMaker, 1, "x%", {"b"}},
      {kGroupMaker, 1, "", {"c"}},
      {kGroupAdult, 1, "", {"a"}},
      {kGroupAdult, 2, "", {"b", "c", "d"}},
      {kGroupRating, 4, "", {"a", "c"}},
      {kGroupRating, 6, "", {"d"}},
      {kGroupSaleYear, 1, "1994" + Jp(" 年代"), {"a", "d"}},
      {kGroupSaleYear, 1, "", {"b", "c"}},
      {kGroupGenre, 1, "", {"d"}},  // no genre at all
  };
  for (const Case& c : cases) {
    ListQueryState state;
    state.groupCondition = GroupCondition(c.kind, c.row, c.value);
    state.sort = DefaultSortState();
    ApplySortRequest(state.sort, kSortTitle, kSortAscending, false, ColumnDisplay{});
    std::vector<std::string> keys = Keys(state);
    std::sort(keys.begin(), keys.end());
    EXPECT_EQ(keys, c.keys) << c.kind << "/" << c.row << "/" << c.value;
  }
  std::vector<std::string> makers;
  ASSERT_FALSE(ReadGroupValues(db, kGroupMaker, makers));
  EXPECT_EQ(makers, (std::vector<std::string>{"", "O'Brien", "x%", "xy"}));
  EXPECT_EQ(GroupRowCount(kGroupMaker, 4), 5);
  EXPECT_EQ(GroupRowCount(kGroupRating, 3), 7);
  EXPECT_EQ(GroupRowCount(kGroupAdult, 0), 0);
}

// The list result carries each row's disk number where the list reads it, and
// only the second and later disks of a set take the further-disk colour.
TEST_F(ItemListTest, FurtherDisksOfASetAreKnownByTheirRow) {
  Add("a", ",title,ply", ",'A',1");
  Add("a2", ",title,ply,ply_file_name", ",'A',2,'a'");
  Add("a3", ",title,ply,ply_file_name", ",'A',3,'a'");
  Add("b", ",title,ply", ",'B',0");
  Add("c", ",title", ",'C'");
  ListQueryState state;
  ASSERT_FALSE(LoadItemList(db, state, true));
  ASSERT_EQ(db.RowCount(), 5);
  std::set<std::string> further;
  for (int r = 1; r <= db.RowCount(); ++r)
    if (IsFurtherDisk(db.Cell(r, kPosPly))) further.insert(db.Cell(r, kPosFileName));
  EXPECT_EQ(further, (std::set<std::string>{"a2", "a3"}));
  EXPECT_EQ(db.Cell(FindRowByKey(db, "a2"), kPosPly), "2");
}

TEST(FurtherDisk, ByTheDiskNumber) {
  struct Case {
    const char* ply;
    bool further;
  } cases[] = {{"", false}, {"0", false}, {"1", false}, {"2", true},  {"10", true}, {"02", true},
               {" 3", true}, {"+2", true}, {"-2", false}, {"1.5", false}, {"x", false}};
  for (const Case& c : cases) EXPECT_EQ(IsFurtherDisk(c.ply), c.further) << "'" << c.ply << "'";
}

TEST_F(ItemListTest, FailedLoadLeavesAnEmptyResult) {
  Add("a", ",title", ",'A'");
  ListQueryState state;
  ASSERT_FALSE(LoadItemList(db, state, true));
  ASSERT_EQ(db.RowCount(), 1);
  state.groupCondition = "no_such_column=1";
  EXPECT_TRUE(LoadItemList(db, state, true));
  EXPECT_EQ(db.RowCount(), 0);
  EXPECT_EQ(FindRowByKey(db, "a"), 0);
}

TEST_F(ItemListTest, ReloadFindsTheItemByItsKey) {
  for (const char* key : {"k1", "k2", "k3", "k4"})
    Add(key, ",title,maker", std::string(",'") + key[1] + "','" + char('e' - key[1] + '1') + "'");
  Add(Jp("ソフト表示"), ",title,maker", ",'0','z'");
  ListQueryState state;
  ASSERT_FALSE(LoadItemList(db, state, true));
  EXPECT_EQ(FindRowByKey(db, "k3"), 4);
  ApplySortRequest(state.sort, kSortMaker, kSortToggle, false, ColumnDisplay{});
  ASSERT_FALSE(LoadItemList(db, state, true));
  EXPECT_EQ(FindRowByKey(db, "k3"), 2);
  EXPECT_EQ(FindRowByKey(db, Jp("ソフト表示")), 5);
  EXPECT_EQ(FindRowByKey(db, ""), 1);
  EXPECT_EQ(FindRowByKey(db, "gone"), 0);
}

// Page Down from the first row, as often as it moves; returns the rows visited.
std::vector<int> PageDownAll(LibraryConnection& list, const InitialIndex& index, const SortState& sort) {
  std::vector<int> rows;
  int row = 1;
  while (int next = SeekInitial(index, sort, list, row, true)) {
    EXPECT_GT(next, row);
    rows.push_back(next);
    row = next;
    if (rows.size() > 2000) break;
  }
  return rows;
}

TEST_F(ItemListTest, PageDownByTitleReachesTheEndWithManyKeys) {
  // 300 distinct first characters (kanji of CP932 rows 0x89 and 0x8A), two items each.
  std::string sql = "BEGIN;";
  for (int i = 0; i < 300; ++i) {
    int trail = 0x40 + i % 188;
    if (trail >= 0x7F) ++trail;
    std::string kanji = {char(0x89 + i / 188), char(trail)};
    for (int j = 0; j < 2; ++j)
      sql += "INSERT INTO main_table(file_name,title,boot_count) VALUES('k" + std::to_string(i) + "_" +
             std::to_string(j) + "','" + kanji + std::to_string(j) + "'," + std::to_string(i * 3) + ");";
  }
  ASSERT_FALSE(db.Query(sql + "COMMIT;"));
  LibraryConnection groups;
  groups.Open(folder / "Velmarook.db", "");
  ListQueryState state;
  ColumnDisplay shown{};
  for (int round = 0; round < 2; ++round) {
    ApplySortRequest(state.sort, kSortTitle, kSortAscending, false, shown);
    ASSERT_FALSE(LoadItemList(db, state, true));
    InitialIndex index;
    ASSERT_FALSE(BuildInitialIndex(groups, state.sort, false, 1, index));
    EXPECT_EQ(index.keys.size(), 300u);
    std::vector<int> rows = PageDownAll(db, index, state.sort);
    ASSERT_EQ(rows.size(), 299u);
    EXPECT_EQ(rows.back(), 599);
    EXPECT_EQ(db.Cell(rows.back(), kPosTitle), index.keys.back() + "0");
    // Page Up from the end walks back to the first key.
    EXPECT_EQ(SeekInitial(index, state.sort, db, 600, false), 597);
    EXPECT_EQ(SeekInitial(index, state.sort, db, 2, false), 0);
    // Another column in between: its index is built on the same connection.
    ApplySortRequest(state.sort, kSortBootCount, kSortDescending, false, shown);
    ASSERT_FALSE(LoadItemList(db, state, true));
    ASSERT_FALSE(BuildInitialIndex(groups, state.sort, false, 1, index));
    EXPECT_EQ(index.keys.front(), "000890");  // 897 in tens
    EXPECT_EQ(index.keys.size(), 90u);
    EXPECT_EQ(SeekInitial(index, state.sort, db, 1, true), 7);  // 888 after 897, 894, 891
  }
}

TEST_F(ItemListTest, InitialIndexIsCurrentOnlyForItsOrderAndItsLoadOfTheList) {
  SortState sort = DefaultSortState();
  InitialIndex index;
  EXPECT_FALSE(InitialIndexCurrent(index, sort, false, 1));
  ASSERT_FALSE(BuildInitialIndex(db, sort, false, 1, index));
  EXPECT_TRUE(InitialIndexCurrent(index, sort, false, 1));
  EXPECT_FALSE(InitialIndexCurrent(index, sort, true, 1));
  // The next search or reload, in the same order, lists other rows.
  EXPECT_FALSE(InitialIndexCurrent(index, sort, false, 2));
  ApplySortRequest(sort, kSortTitle, kSortToggle, false, ColumnDisplay{});
  EXPECT_FALSE(InitialIndexCurrent(index, sort, false, 1));
  // Machine/genre keys are whole names; sale-year keys skip "0".
  Add("a", ",machine_name,sale_year", ",'" + Jp("ＰＣ－９８０１") + "','0'");
  Add("b", ",machine_name,sale_year", ",'MSX','1985-01-00'");
  ApplySortRequest(sort, kSortMachineGenre, kSortAscending, false, ColumnDisplay{});
  ASSERT_FALSE(BuildInitialIndex(db, sort, false, 1, index));
  EXPECT_EQ(index.keys, (std::vector<std::string>{"MSX", Jp("ＰＣ－９８０１")}));
  ApplySortRequest(sort, kSortSaleYear, kSortAscending, false, ColumnDisplay{});
  ASSERT_FALSE(BuildInitialIndex(db, sort, false, 1, index));
  EXPECT_EQ(index.keys, (std::vector<std::string>{"1985"}));
}

}  // namespace
}  // namespace vel
