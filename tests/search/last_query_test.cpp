// The kept sort state: written and read back, and malformed values refused.
#include "search/last_query.h"

#include <gtest/gtest.h>

namespace vel {
namespace {

TEST(LastQuerySortState, WrittenStateReadsBackTheSame) {
  SortState state = DefaultSortState();
  std::swap(state.keys[0], state.keys[5]);
  state.dir[kSortMachineGenre] = 3;
  state.dir[kSortTitle] = 1;
  SortStateText text = FormatSortState(state);
  auto back = ParseSortState(text.sortOrder, text.sortColumn);
  ASSERT_TRUE(back);
  EXPECT_EQ(back->keys, state.keys);
  EXPECT_EQ(back->dir, state.dir);
}

TEST(LastQuerySortState, OnlyAPermutationWithDirectionsInRangeIsAccepted) {
  const std::string goodDir = "0,1,3,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,1";
  const std::string goodKeys = "18,17,16,15,14,13,12,11,10,9,8,7,6,5,4,3,2,1,0";
  struct Case {
    const char* name;
    std::string dir, keys;
    bool accepted;
  } cases[] = {
      {"a good permutation", goodDir, goodKeys, true},
      {"spaces around the values", goodDir, " 18, 17,16,15,14,13,12,11,10,9,8,7,6,5,4,3,2,1,0 ", true},
      {"a repeated column", goodDir, "0,0,0,0", false},
      {"a repeated column in 19 values", goodDir, "0,0,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18", false},
      {"columns out of range", goodDir, "5,99,-1,3,4,0,6,7,8,9,10,11,12,13,14,15,16,17,18", false},
      {"not a number", goodDir, "abc", false},
      {"a short value", goodDir, "0,1,2", false},
      {"one value too many", goodDir, goodKeys + ",0", false},
      {"an empty part", goodDir, "18,,16,15,14,13,12,11,10,9,8,7,6,5,4,3,2,1,0", false},
      {"trailing text after a number", goodDir, "18x,17,16,15,14,13,12,11,10,9,8,7,6,5,4,3,2,1,0", false},
      {"a direction out of range", "0,2,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0", goodKeys, false},
      {"the machine/genre state out of range", "0,0,4,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0", goodKeys, false},
      {"a negative direction", "-1,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0,0", goodKeys, false},
      {"both empty", "", "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseSortState(c.dir, c.keys).has_value(), c.accepted) << c.name;
}

}  // namespace
}  // namespace vel
