#pragma once
// The snapshot view window's choices (slot, substitution, fit mode, anchor),
// the commands of its menu, the slots tried for an empty one and the window
// rectangle of the actual-size mode.
#include <vector>

#include "display/snapshot_geometry.h"

namespace vel {

inline constexpr int kCmdSnapViewFirst = 1233;  // スナップショット1
inline constexpr int kCmdSnapViewLast = 1247;   // ウィンドウ基点 右下

enum SnapViewFit : int { kFitOwnRatio = 0, kFitActualSize = 1, kFit4x3 = 4, kFit16x10 = 16, kFitFull = -1 };

struct SnapViewChoices {
  int loadNum = 1;      // slot shown, 1..3
  int alternative = 0;  // 0, 123 or 321
  int transMode = kFitOwnRatio;
  int snapPoint = 0;    // 0 upper left, 1 upper right, 2 lower left, 3 lower right
};

// Values outside their ranges become the defaults.
SnapViewChoices ClampedChoices(SnapViewChoices choices);
// The menu command (1233..1247) applied; false for another id.
bool ApplySnapViewCommand(SnapViewChoices& choices, int id);
// Whether the menu entry carries a check mark.
bool SnapViewCommandChecked(const SnapViewChoices& choices, int id);

// The slots tried in turn: the chosen one, then with a substitution the
// others in its order (123: 1, 2, 3; 321: 3, 2, 1).
std::vector<int> SlotsToTry(const SnapViewChoices& choices);

// The scaling of a fitting mode over the whole client area.
SnapScaling SnapViewScaling(int transMode);

// The window rectangle that shows a picture at its own size: the client area
// the picture's size (frame added), at least `minimum`, at most the work
// area, the corner of `anchor` kept in place, then moved so that the whole
// window, and so its caption, lies on the work area.
SnapRect ActualSizeWindow(const SnapRect& window, int frameWidth, int frameHeight, int pictureWidth,
                          int pictureHeight, int anchor, const SnapRect& workArea, int minimumWidth,
                          int minimumHeight);

}  // namespace vel
