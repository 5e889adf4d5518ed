#pragma once
// Where a snapshot picture goes in its area: the fit path (the picture's own
// height-to-width ratio or a fixed one, centred) and the transform path for
// pictures of two halves (stacked or side by side), from the pane's settings
// or an item's or machine's own display setting.
#include <string>
#include <vector>

#include "display/snapshot_display_setting.h"

namespace vel {

struct SnapRect {
  int left = 0, top = 0, width = 0, height = 0;
  bool operator==(const SnapRect&) const = default;
};

// One piece to draw: the part of the picture and where it lands.
struct SnapPiece {
  SnapRect source;
  SnapRect target;
  bool operator==(const SnapPiece&) const = default;
};

// How a scaled picture is smoothed (`InterpolationMode`): kStandard is
// halftone when shrinking and colour-on-colour otherwise; the others are the
// picture library's own qualities of the same names.
enum class SnapInterpolation { kStandard, kLowQuality, kHighQuality, kBilinear, kBicubic, kNearestNeighbor };

// The interpolation of a stored value; a value outside 0-5 counts as kStandard.
SnapInterpolation InterpolationOf(int stored);

struct SnapScaling {
  bool transformPath = false;    // else the fit path
  double fixAspect = 0;          // height / width for the fit path; 0 = the picture's own
  SnapshotTransform transform;   // transform path
  int ratio = kDefaultTransformRatio;  // percent
  SnapInterpolation interpolation = SnapInterpolation::kStandard;
  bool operator==(const SnapScaling&) const = default;
};

// The pane's own values: `Proportion`, `Transform` (packed or older form),
// `TransformRatio`, `FixAspect` (a text, at most 8 characters; 0 or empty = none).
struct SnapPaneSettings {
  int proportion = 0;
  long long transform = 0;
  int transformRatio = kDefaultTransformRatio;
  std::string fixAspect;
  int interpolation = 0;
};

// The scaling in force: the item's `snap_dtt`, else the machine's `snap_dtm`,
// else the pane's settings. A text beginning with "A" takes the transform
// path with its ratio and code; any other non-empty text the fit path with
// its forced ratio. The pane's interpolation applies in every case.
SnapScaling ScalingFor(const SnapPaneSettings& pane, const std::string& itemSetting,
                       const std::string& machineSetting);

// The pieces of a picture of `pictureWidth` x `pictureHeight` in `area`;
// none when either has no size.
std::vector<SnapPiece> PlaceSnapshot(int pictureWidth, int pictureHeight, const SnapRect& area,
                                     const SnapScaling& scaling);

// The rectangle of the fit path alone: `ratio` height / width (0 = w x h's own), centred.
SnapRect FitInto(int width, int height, const SnapRect& area, double ratio);

}  // namespace vel
