#pragma once
// The controls of an item's absolute snapshot choice, built into any window:
// "スナップ１" to "スナップ３" with ". ." and "クリア", and the item's own
// display setting. The per-item dialog and the record editor both hold one.
#include <windows.h>

#include <optional>
#include <string>

#include "display/snapshot_choice.h"
#include "display/snapshot_display_setting.h"

namespace vel {

// Identifiers of the panel's controls, counted from the identifier it is given.
enum SnapChoiceOffset : int {
  kSnapChoicePath = 0,     // three edits
  kSnapChoiceBrowse = 3,   // three ". ." buttons
  kSnapChoiceClear = 6,    // three "クリア" buttons
  kSnapChoiceNoOwn = 9,
  kSnapChoiceTransform,    // 領域全体に表示
  kSnapChoiceRotation,
  kSnapChoiceRatio,
  kSnapChoiceEnlarge,
  kSnapChoiceReduce,
  kSnapChoiceFit,          // 内側からフィット
  kSnapChoiceAspect,
  kSnapChoiceControls,
};

inline constexpr int kSnapChoicePanelWidth = 594;

// Builds the controls at (x, y) in `parent`; returns the y below them.
int BuildSnapChoicePanel(HWND parent, int firstId, int x, int y, const SnapshotChoice& choice);

// Carries out a command of the panel's controls; false when `id` is not one of them.
bool SnapChoicePanelCommand(HWND parent, int firstId, int id);

// Files dropped on `parent`: one goes to the slot at the drop point, several
// fill the slots from the first. A name Shift-JIS cannot hold is refused
// with a message and nothing changes.
void SnapChoicePanelDrop(HWND parent, int firstId, HDROP drop);

// What the controls hold; a refusal message (CP932) when the display setting
// cannot be stored as typed.
std::optional<std::string> SnapChoiceOfPanel(HWND parent, int firstId, SnapshotChoice& choice);

}  // namespace vel
