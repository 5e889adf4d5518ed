// Where a snapshot lands in its area: the fit path, the transform path with
// its pairing rules and two-half layouts, the item's and machine's own
// settings over the pane's, and pictures or areas without a size.
#include "display/snapshot_geometry.h"

#include <gtest/gtest.h>

namespace vel {
namespace {

const SnapRect kArea{0, 0, 320, 240};

SnapScaling FromPane(long long transform, int proportion = 0, const std::string& fixAspect = "") {
  SnapPaneSettings pane;
  pane.transform = transform;
  pane.proportion = proportion;
  pane.fixAspect = fixAspect;
  return ScalingFor(pane, "", "");
}

TEST(SnapshotGeometryTest, PiecesByScaling) {
  struct Case {
    const char* name;
    SnapScaling scaling;
    int width, height;
    std::vector<SnapPiece> pieces;
  } cases[] = {
      {"F@0: the picture's own ratio", ScalingFor({}, "F@0", ""), 640, 200, {{{0, 0, 640, 200}, {0, 70, 320, 100}}}},
      {"F4:3@0.75: forced ratio", ScalingFor({}, "F4:3@0.75", ""), 640, 200, {{{0, 0, 640, 200}, {0, 0, 320, 240}}}},
      {"A1504113: rule 0 stretches", ScalingFor({}, "A1504113", ""), 640, 200, {{{0, 0, 640, 200}, kArea}}},
      {"machine setting when the item has none", ScalingFor({}, "", "F@0"), 640, 200,
       {{{0, 0, 640, 200}, {0, 70, 320, 100}}}},
      {"item setting before the machine's", ScalingFor({}, "F@0", "A1504113"), 200, 200,
       {{{0, 0, 200, 200}, {40, 0, 240, 240}}}},
      {"Proportion 1: fit", FromPane(4705, 1), 640, 200, {{{0, 0, 640, 200}, {0, 70, 320, 100}}}},
      {"FixAspect 0.5 on the fit path", FromPane(0, 1, "0.5"), 100, 100, {{{0, 0, 100, 100}, {0, 40, 320, 160}}}},
      {"FixAspect 0 is none", FromPane(0, 1, "0"), 640, 200, {{{0, 0, 640, 200}, {0, 70, 320, 100}}}},
      {"packed 4705: side by side, mode 6", FromPane(4705), 640, 200,
       {{{0, 0, 320, 200}, {0, 0, 288, 180}}, {{320, 0, 320, 200}, {192, 160, 128, 80}}}},
      {"packed 4705 below the ratio: stretched", FromPane(4705), 280, 200, {{{0, 0, 280, 200}, kArea}}},
      {"older 157: stacked, mode 7", FromPane(157), 200, 640,
       {{{0, 320, 200, 320}, {185, 24, 135, 216}}, {{0, 0, 200, 320}, {0, 0, 67, 108}}}},
      {"older 157 below the ratio: stretched", FromPane(157), 300, 200, {{{0, 0, 300, 200}, kArea}}},
      {"older 57: below mode 0 fits", FromPane(57), 300, 200, {{{0, 0, 300, 200}, {0, 13, 320, 213}}}},
      {"rule 3, tall picture, mode 1: top half", FromPane(4096 + 3 * 256 + 16), 100, 400,
       {{{0, 0, 100, 200}, {100, 0, 120, 240}}}},
      {"rule 3, wide picture, mode 5: right half stretched", FromPane(4096 + 3 * 256 + 5 * 16), 400, 100,
       {{{200, 0, 200, 100}, kArea}}},
      {"out-of-range mode counts as 0", FromPane(4096 + 256 + 15 * 16), 200, 640,
       {{{0, 0, 200, 640}, {122, 0, 75, 240}}}},
  };
  for (const Case& c : cases) EXPECT_EQ(PlaceSnapshot(c.width, c.height, kArea, c.scaling), c.pieces) << c.name;
}

TEST(SnapshotGeometryTest, NothingWithoutASize) {
  const SnapScaling fit = ScalingFor({}, "F@0", "");
  EXPECT_TRUE(PlaceSnapshot(0, 200, kArea, fit).empty());
  EXPECT_TRUE(PlaceSnapshot(640, 0, kArea, fit).empty());
  EXPECT_TRUE(PlaceSnapshot(640, 200, {0, 0, 0, 240}, fit).empty());
  EXPECT_TRUE(PlaceSnapshot(640, 200, {0, 0, 320, 0}, FromPane(4705)).empty());
  // A ratio "@0" and a huge picture stay inside the area.
  std::vector<SnapPiece> big = PlaceSnapshot(16384, 16384, kArea, fit);
  ASSERT_EQ(big.size(), 1u);
  EXPECT_EQ(big[0].target, (SnapRect{40, 0, 240, 240}));
}

// The pane's interpolation holds whichever setting decides the placement;
// stored values outside the choices read as the standard one.
TEST(SnapshotGeometryTest, InterpolationFromThePane) {
  struct Case {
    int stored;
    const char* itemSetting;
    SnapInterpolation expected;
  } cases[] = {
      {0, "", SnapInterpolation::kStandard},        {1, "", SnapInterpolation::kLowQuality},
      {4, "", SnapInterpolation::kBicubic},         {5, "F@0", SnapInterpolation::kNearestNeighbor},
      {3, "A1504113", SnapInterpolation::kBilinear}, {6, "", SnapInterpolation::kStandard},
      {-1, "", SnapInterpolation::kStandard},
  };
  for (const Case& c : cases) {
    SnapPaneSettings pane;
    pane.interpolation = c.stored;
    EXPECT_EQ(ScalingFor(pane, c.itemSetting, "").interpolation, c.expected) << c.stored << " " << c.itemSetting;
  }
}

}  // namespace
}  // namespace vel
