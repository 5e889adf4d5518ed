#include "display/snapshot_view.h"

#include <algorithm>

namespace vel {

SnapViewChoices ClampedChoices(SnapViewChoices c) {
  if (c.loadNum < 1 || c.loadNum > 3) c.loadNum = 1;
  if (c.alternative != 123 && c.alternative != 321) c.alternative = 0;
  if (c.transMode != kFitOwnRatio && c.transMode != kFitActualSize && c.transMode != kFit4x3 &&
      c.transMode != kFit16x10 && c.transMode != kFitFull)
    c.transMode = kFitOwnRatio;
  if (c.snapPoint < 0 || c.snapPoint > 3) c.snapPoint = 0;
  return c;
}

namespace {
constexpr int kAlternatives[] = {0, 123, 321};                                    // 1236..1238
constexpr int kFits[] = {kFitOwnRatio, kFit4x3, kFit16x10, kFitFull, kFitActualSize};  // 1239..1243
}  // namespace

bool ApplySnapViewCommand(SnapViewChoices& c, int id) {
  if (id >= 1233 && id <= 1235) c.loadNum = id - 1232;
  else if (id >= 1236 && id <= 1238) c.alternative = kAlternatives[id - 1236];
  else if (id >= 1239 && id <= 1243) c.transMode = kFits[id - 1239];
  else if (id >= 1244 && id <= 1247) c.snapPoint = id - 1244;
  else return false;
  return true;
}

bool SnapViewCommandChecked(const SnapViewChoices& c, int id) {
  if (id >= 1233 && id <= 1235) return c.loadNum == id - 1232;
  if (id >= 1236 && id <= 1238) return c.alternative == kAlternatives[id - 1236];
  if (id >= 1239 && id <= 1243) return c.transMode == kFits[id - 1239];
  if (id >= 1244 && id <= 1247) return c.snapPoint == id - 1244;
  return false;
}

std::vector<int> SlotsToTry(const SnapViewChoices& choices) {
  SnapViewChoices c = ClampedChoices(choices);
  std::vector<int> slots{c.loadNum};
  if (c.alternative == 0) return slots;
  const int order123[] = {1, 2, 3}, order321[] = {3, 2, 1};
  for (int slot : c.alternative == 123 ? order123 : order321)
    if (slot != c.loadNum) slots.push_back(slot);
  return slots;
}

SnapScaling SnapViewScaling(int transMode) {
  SnapScaling s;
  switch (transMode) {
    case kFit4x3: s.fixAspect = 3.0 / 4.0; break;
    case kFit16x10: s.fixAspect = 10.0 / 16.0; break;
    case kFitFull: s.transformPath = true; break;  // pairing rule 0: the whole area
    default: break;
  }
  return s;
}

SnapRect ActualSizeWindow(const SnapRect& window, int frameWidth, int frameHeight, int pictureWidth,
                          int pictureHeight, int anchor, const SnapRect& workArea, int minimumWidth,
                          int minimumHeight) {
  int width = std::max(std::max(pictureWidth, 0) + frameWidth, minimumWidth);
  int height = std::max(std::max(pictureHeight, 0) + frameHeight, minimumHeight);
  width = std::min(width, std::max(workArea.width, minimumWidth));
  height = std::min(height, std::max(workArea.height, minimumHeight));
  const bool right = anchor == 1 || anchor == 3, bottom = anchor == 2 || anchor == 3;
  int left = right ? window.left + window.width - width : window.left;
  int top = bottom ? window.top + window.height - height : window.top;
  left = std::clamp(left, workArea.left, std::max(workArea.left + workArea.width - width, workArea.left));
  top = std::clamp(top, workArea.top, std::max(workArea.top + workArea.height - height, workArea.top));
  return {left, top, width, height};
}

}  // namespace vel
