// The snapshot view window's menu choices, the slots tried for an empty one,
// the scaling of its fit modes and the window of the actual-size mode.
#include "display/snapshot_view.h"

#include <gtest/gtest.h>

namespace vel {
namespace {

TEST(SnapshotViewTest, MenuCommandsSetAndCheckOneChoiceEach) {
  SnapViewChoices c;
  struct Case {
    int id;
    int loadNum, alternative, transMode, snapPoint;
  } cases[] = {
      {1234, 2, 0, 0, 0},   {1238, 2, 321, 0, 0},  {1240, 2, 321, 4, 0},  {1241, 2, 321, 16, 0},
      {1242, 2, 321, -1, 0}, {1243, 2, 321, 1, 0},  {1247, 2, 321, 1, 3},  {1237, 2, 123, 1, 3},
      {1233, 1, 123, 1, 3},  {1239, 1, 123, 0, 3},  {1236, 1, 0, 0, 3},    {1244, 1, 0, 0, 0},
  };
  for (const Case& k : cases) {
    ASSERT_TRUE(ApplySnapViewCommand(c, k.id)) << k.id;
    EXPECT_EQ(c.loadNum, k.loadNum) << k.id;
    EXPECT_EQ(c.alternative, k.alternative) << k.id;
    EXPECT_EQ(c.transMode, k.transMode) << k.id;
    EXPECT_EQ(c.snapPoint, k.snapPoint) << k.id;
    EXPECT_TRUE(SnapViewCommandChecked(c, k.id)) << k.id;
  }
  int checked = 0;
  for (int id = kCmdSnapViewFirst; id <= kCmdSnapViewLast; ++id) checked += SnapViewCommandChecked(c, id);
  EXPECT_EQ(checked, 4);  // one in each group
  EXPECT_FALSE(ApplySnapViewCommand(c, 1248));
  EXPECT_FALSE(ApplySnapViewCommand(c, 1232));
}

TEST(SnapshotViewTest, SubstitutionOrderAndClamping) {
  EXPECT_EQ(SlotsToTry({1, 321, 0, 0}), (std::vector<int>{1, 3, 2}));
  EXPECT_EQ(SlotsToTry({2, 123, 0, 0}), (std::vector<int>{2, 1, 3}));
  EXPECT_EQ(SlotsToTry({3, 0, 0, 0}), (std::vector<int>{3}));
  EXPECT_EQ(SlotsToTry({7, 55, 0, 0}), (std::vector<int>{1}));
  SnapViewChoices c = ClampedChoices({0, 5, 3, 9});
  EXPECT_EQ(c.loadNum, 1);
  EXPECT_EQ(c.alternative, 0);
  EXPECT_EQ(c.transMode, 0);
  EXPECT_EQ(c.snapPoint, 0);
}

TEST(SnapshotViewTest, FitModesOverTheClientArea) {
  const SnapRect client{0, 0, 400, 400};
  struct Case {
    int mode;
    SnapRect target;
  } cases[] = {
      {kFitOwnRatio, {0, 100, 400, 200}},  // 640x320
      {kFit4x3, {0, 50, 400, 300}},
      {kFit16x10, {0, 75, 400, 250}},
      {kFitFull, {0, 0, 400, 400}},
  };
  for (const Case& c : cases) {
    std::vector<SnapPiece> pieces = PlaceSnapshot(640, 320, client, SnapViewScaling(c.mode));
    ASSERT_EQ(pieces.size(), 1u) << c.mode;
    EXPECT_EQ(pieces[0].target, c.target) << c.mode;
  }
}

TEST(SnapshotViewTest, ActualSizeKeepsTheAnchorAndStaysOnTheWorkArea) {
  const SnapRect work{0, 0, 1024, 768};
  const SnapRect window{500, 300, 300, 200};
  struct Case {
    const char* name;
    int width, height, anchor;
    SnapRect placed;
  } cases[] = {
      {"upper left kept", 200, 100, 0, {500, 300, 208, 130}},
      {"upper right kept", 200, 100, 1, {592, 300, 208, 130}},
      {"lower right kept", 200, 100, 3, {592, 370, 208, 130}},
      {"lower left, pushed onto the work area", 700, 600, 2, {316, 0, 708, 630}},
      // Larger than the screen: the whole work area, caption at its top.
      {"2000 x 3000", 2000, 3000, 0, {0, 0, 1024, 768}},
      {"tiny picture: the minimum", 10, 10, 0, {500, 300, 160, 120}},
      {"no size: the minimum", 0, 0, 3, {640, 380, 160, 120}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ActualSizeWindow(window, 8, 30, c.width, c.height, c.anchor, work, 160, 120), c.placed) << c.name;
}

}  // namespace
}  // namespace vel
