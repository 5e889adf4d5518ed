// The in-list search's matching and its length rule.
#include "search/incremental_search.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/codepage.h"

namespace vel {
namespace {

TEST(IncrementalSearchTest, TitleHoldsTextByCharacter) {
  struct Case {
    const char* title;  // UTF-8 here
    const char* text;
    bool prefix;
    bool holds;
  } cases[] = {
      {"Alpha Quest", "quest", false, true},
      {"Alpha Quest", "quest", true, false},
      {"Alpha Quest", "ALPHA", true, true},
      {"ソフト表示", "表示", false, true},
      {"ソフト", "\\", false, false},   // trail byte 0x5C of "ソ"
      {"アイ", "a", false, false},      // trail byte 0x41 of "ア" is no "A"
      {"xア", "A", false, false},
      {"アイ", "イ", true, false},
      {"", "a", false, false},
      {"ab", "abc", false, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TitleHolds(Jp(c.title), Jp(c.text), c.prefix), c.holds) << c.title << " / " << c.text;
}

TEST(IncrementalSearchTest, RowsAreSearchedForwardAndBackward) {
  std::vector<bool> hits = {false, true, false, true, false};
  auto matches = [&](int row) { return hits[row]; };
  EXPECT_EQ(FindListRow(5, 0, 1, matches), 1);
  EXPECT_EQ(FindListRow(5, 2, 1, matches), 3);
  EXPECT_EQ(FindListRow(5, 4, 1, matches), -1);
  EXPECT_EQ(FindListRow(5, 2, -1, matches), 1);
  EXPECT_EQ(FindListRow(5, 0, -1, matches), -1);
  EXPECT_EQ(FindListRow(5, -1, -1, matches), -1);  // nothing above the first row
  EXPECT_EQ(FindListRow(0, 0, 1, matches), -1);
}

TEST(IncrementalSearchTest, ASlicedScanTestsNoMoreRowsThanItsBudgetAndEndsWhereTheWholeScanWould) {
  std::vector<bool> hits(10, false);
  hits[7] = true;
  struct Case {
    int start, step, found;
    std::vector<int> tested;  // rows tested by each slice of three
  } cases[] = {
      {0, 1, 7, {3, 3, 2}},
      {6, -1, -1, {3, 3, 1}},
      {8, 1, -1, {2}},  // the last row is tested and the scan is over without another slice
  };
  for (const Case& c : cases) {
    ListRowScan scan;
    scan.Begin(10, c.start, c.step);
    std::vector<int> tested;
    while (!scan.Done()) {
      int count = 0;
      scan.Continue(3, [&](int row) { return ++count, hits[row]; });
      tested.push_back(count);
    }
    EXPECT_EQ(tested, c.tested) << c.start << " " << c.step;
    EXPECT_EQ(scan.Found(), c.found);
    EXPECT_EQ(scan.Found(), FindListRow(10, c.start, c.step, [&](int row) { return hits[row]; }));
  }
}

TEST(IncrementalSearchTest, SearchingStopsTwoBytesPastATextThatFoundNothing) {
  IncrementalLength length;
  EXPECT_FALSE(length.ShouldSearch(0));
  EXPECT_TRUE(length.ShouldSearch(6));  // several characters committed at once
  length.Record(2, true);
  EXPECT_TRUE(length.ShouldSearch(3));
  length.Record(3, false);
  EXPECT_EQ(length.Recorded(), -2);
  EXPECT_TRUE(length.ShouldSearch(4));
  length.Record(4, false);
  EXPECT_FALSE(length.ShouldSearch(5));
  EXPECT_TRUE(length.ShouldSearch(3));  // shortened again
  length.Record(3, true);
  EXPECT_TRUE(length.ShouldSearch(5));
  length.Record(5, false);
  length.Reset();
  EXPECT_TRUE(length.ShouldSearch(9));
}

}  // namespace
}  // namespace vel
