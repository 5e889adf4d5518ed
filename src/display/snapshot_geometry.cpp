#include "display/snapshot_geometry.h"

#include <algorithm>
#include <cmath>

namespace vel {
namespace {

SnapRect Whole(int width, int height) { return {0, 0, width, height}; }

// The two halves of a picture: stacked (top, bottom) or side by side (left, right).
std::pair<SnapRect, SnapRect> Halves(int width, int height, bool stacked) {
  if (stacked) return {{0, 0, width, height / 2}, {0, height / 2, width, height - height / 2}};
  return {{0, 0, width / 2, height}, {width / 2, 0, width - width / 2, height}};
}

SnapRect Scaled(const SnapRect& r, double factor) {
  return {r.left, r.top, std::max(1, static_cast<int>(r.width * factor)), std::max(1, static_cast<int>(r.height * factor))};
}

// The two-half layouts: a large half towards one corner and a small one in
// the other; `keepRatio` false stretches each over its share of the area.
std::vector<SnapPiece> TwoHalves(const SnapRect& large, double largeShare, bool largeUpperLeft,
                                 const SnapRect& small, double smallShare, const SnapRect& area, bool keepRatio) {
  auto place = [&](const SnapRect& part, double share, bool upperLeft) {
    SnapRect box = keepRatio ? Scaled(FitInto(part.width, part.height, area, 0), share)
                             : SnapRect{0, 0, std::max(1, static_cast<int>(area.width * share)),
                                        std::max(1, static_cast<int>(area.height * share))};
    box.left = upperLeft ? area.left : area.left + area.width - box.width;
    box.top = upperLeft ? area.top : area.top + area.height - box.height;
    return SnapPiece{part, box};
  };
  // The small one is drawn last, over the large one.
  return {place(large, largeShare, largeUpperLeft), place(small, smallShare, !largeUpperLeft)};
}

}  // namespace

SnapRect FitInto(int width, int height, const SnapRect& area, double ratio) {
  if (area.width <= 0 || area.height <= 0) return {area.left, area.top, 0, 0};
  double r = ratio > 0 ? ratio : (width > 0 ? static_cast<double>(height) / width : 0);
  if (!(r > 0) || !std::isfinite(r)) return area;
  int w = area.width, h = static_cast<int>(std::lround(area.width * r));
  if (h > area.height) {
    h = area.height;
    w = std::max(1, static_cast<int>(std::lround(area.height / r)));
  }
  h = std::max(h, 1);
  return {area.left + (area.width - w) / 2, area.top + (area.height - h) / 2, w, h};
}

SnapInterpolation InterpolationOf(int stored) {
  if (stored < 0 || stored > static_cast<int>(SnapInterpolation::kNearestNeighbor)) return SnapInterpolation::kStandard;
  return static_cast<SnapInterpolation>(stored);
}

SnapScaling ScalingFor(const SnapPaneSettings& pane, const std::string& itemSetting,
                       const std::string& machineSetting) {
  SnapScaling scaling;
  scaling.interpolation = InterpolationOf(pane.interpolation);
  const std::string& own = !itemSetting.empty() ? itemSetting : machineSetting;
  if (!own.empty()) {
    SnapshotDisplaySetting setting = DecodeSnapshotDisplay(own);
    if (setting.form == SnapshotDisplayForm::kTransform) {
      scaling.transformPath = true;
      scaling.ratio = setting.ratio;
      scaling.transform = setting.transform;
    } else {
      scaling.fixAspect = setting.forcedRatio > 0 && std::isfinite(setting.forcedRatio) ? setting.forcedRatio : 0;
    }
    return scaling;
  }
  scaling.transformPath = pane.proportion != 1;
  scaling.transform = DecodeTransformCode(pane.transform);
  scaling.ratio = std::clamp(pane.transformRatio, 0, kMaxTransformRatio);
  double aspect = pane.fixAspect.size() <= kMaxAspectCharacters ? EvaluateAspectText(pane.fixAspect) : 0;
  scaling.fixAspect = aspect > 0 && std::isfinite(aspect) ? aspect : 0;
  return scaling;
}

std::vector<SnapPiece> PlaceSnapshot(int pictureWidth, int pictureHeight, const SnapRect& area,
                                     const SnapScaling& scaling) {
  if (pictureWidth <= 0 || pictureHeight <= 0 || area.width <= 0 || area.height <= 0) return {};
  const SnapRect whole = Whole(pictureWidth, pictureHeight);
  auto fit = [&] { return std::vector<SnapPiece>{{whole, FitInto(pictureWidth, pictureHeight, area, scaling.fixAspect)}}; };
  auto stretch = [&](const SnapRect& part) { return std::vector<SnapPiece>{{part, area}}; };
  if (!scaling.transformPath) return fit();
  const SnapshotTransform& t = scaling.transform;
  if (t.rotation == 0) return stretch(whole);
  bool stacked = t.rotation == 1 || (t.rotation == 3 && pictureHeight > pictureWidth);
  long long elongation = stacked ? 100LL * pictureHeight / pictureWidth : 100LL * pictureWidth / pictureHeight;
  if (elongation < scaling.ratio) return t.reduce == 0 ? fit() : stretch(whole);
  auto [first, second] = Halves(pictureWidth, pictureHeight, stacked);
  auto fitted = [&](const SnapRect& part) {
    return std::vector<SnapPiece>{{part, FitInto(part.width, part.height, area, 0)}};
  };
  switch (t.enlarge) {
    case 1: return fitted(first);
    case 2: return fitted(second);
    case 3: return stretch(whole);
    case 4: return stretch(first);
    case 5: return stretch(second);
    case 6: return TwoHalves(first, 0.9, true, second, 0.4, area, true);
    case 8: return TwoHalves(first, 0.9, true, second, 0.4, area, false);
    case 7: return TwoHalves(second, 0.9, false, first, 0.45, area, true);
    case 9: return TwoHalves(second, 0.9, false, first, 0.45, area, false);
    default: return fit();
  }
}

}  // namespace vel
