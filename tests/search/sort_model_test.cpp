#include "search/sort_model.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace vel {
namespace {

ColumnDisplay Shown() {
  ColumnDisplay display{};
  display.fill(1);
  return display;
}

// Each step applies one request to the state left by the previous step.
TEST(SortModel, RequestsStepThroughTheStates) {
  struct Step {
    int column, how;
    bool yomi;
    int applied;
    const char* orderPrefix;
    int arrowOfColumn2;  // header arrow image of machine/genre after the step
  } steps[] = {
      // The machine/genre column cycles through its four states.
      {2, kSortToggle, false, 2, "machine_name, genre_name, title, maker,", 0},
      {2, kSortToggle, false, 2, "machine_name DESC, genre_name, title,", 1},
      {2, kSortToggle, false, 2, "genre_name, machine_name, title,", 0},
      {2, kSortToggle, false, 2, "genre_name DESC, machine_name, title,", 1},
      {2, kSortToggle, false, 2, "machine_name, genre_name, title,", 0},
      // A new column starts ascending; the previous primary becomes the second key.
      {1, kSortToggle, false, 1, "maker, machine_name, genre_name, title,", 2},
      {1, kSortToggle, false, 1, "maker DESC, machine_name, genre_name,", 2},
      {5, kSortDescending, false, 5, "boot_count+0 DESC, maker DESC, machine_name,", 2},
      {5, kSortAscending, false, 5, "boot_count+0, maker DESC,", 2},
      // Keeping the keys changes nothing; out-of-range columns reset.
      {kSortKeepKeys, kSortToggle, false, kSortKeepKeys, "boot_count+0, maker DESC,", 2},
      {19, kSortToggle, false, kSortReset, "title, maker, machine_name, genre_name, rating,", 2},
      {kSortSqlOrder, kSortToggle, false, kSortSqlOrder, "title, maker,", 2},
      // With readings on, kana goes directly before title and follows its direction.
      // title is still primary after the reset: the click toggles it.
      {0, kSortToggle, true, 0, "kana DESC, title DESC, maker,", 2},
      // kana is primary now; a title click still toggles.
      {0, kSortToggle, true, 0, "kana, title, maker,", 2},
      {0, kSortToggle, true, 0, "kana DESC, title DESC, maker,", 2},
      {9, kSortToggle, true, 9, "price+0, kana DESC, title DESC, maker,", 2},
      {17, kSortDescending, true, 17, "kana DESC, title DESC, price+0,", 2},
  };
  SortState state = DefaultSortState();
  int n = 0;
  for (const Step& s : steps) {
    EXPECT_EQ(ApplySortRequest(state, s.column, s.how, s.yomi, Shown()), s.applied) << "step " << n;
    std::string order = OrderByList(state);
    EXPECT_EQ(order.rfind(s.orderPrefix, 0), 0u) << "step " << n << ": " << order;
    EXPECT_EQ(SortArrowImage(state, 2, s.yomi), s.arrowOfColumn2) << "step " << n;
    ++n;
  }
}

TEST(SortModel, EveryColumnAppearsOnceInTheOrder) {
  SortState state = DefaultSortState();
  for (int c : {17, 0, 2, 18, 4}) ApplySortRequest(state, c, kSortToggle, true, Shown());
  std::string order = OrderByList(state);
  for (const char* term : {"title", "kana", "machine_name", "genre_name", "rom_num+0", "sale_year"}) {
    size_t first = order.find(std::string(term) + ",");
    if (first == std::string::npos) first = order.find(std::string(term) + " ");
    ASSERT_NE(first, std::string::npos) << term << " in " << order;
  }
  EXPECT_EQ(std::count(order.begin(), order.end(), ','), 19);  // 20 terms
}

TEST(SortModel, BarredColumnsCannotSort) {
  ColumnDisplay display = Shown();
  display[3] = -1;
  SortState state = DefaultSortState();
  ApplySortRequest(state, 1, kSortDescending, false, display);
  EXPECT_EQ(ApplySortRequest(state, 3, kSortToggle, false, display), kSortReset);
  EXPECT_EQ(state.keys[0], 0);
  EXPECT_EQ(state.dir[1], 0);
  // Keeping keys whose primary became barred resets as well.
  ApplySortRequest(state, 7, kSortToggle, false, display);
  display[7] = -1;
  EXPECT_EQ(ApplySortRequest(state, kSortKeepKeys, kSortToggle, false, display), kSortReset);
}

TEST(SortModel, HeaderLabelsAndPrimaryColumn) {
  EXPECT_EQ(SortHeaderLabel(2, 1), Jp("機種/ジャンル"));
  EXPECT_EQ(SortHeaderLabel(2, 3), Jp("ジャンル/機種"));
  EXPECT_EQ(SortHeaderLabel(18, 0), Jp("ROM番号"));
  SortState state = DefaultSortState();
  ApplySortRequest(state, 2, kSortDescending, false, Shown());
  EXPECT_EQ(PrimaryColumnName(state), "machine_name");
  ApplySortRequest(state, 2, kSortToggle, false, Shown());
  EXPECT_EQ(PrimaryColumnName(state), "genre_name");
}

}  // namespace
}  // namespace vel
