#pragma once
// The memo view's own choices as its menu and its settings keep them: the
// opacity entries, the decoration bits of its font, where the view goes
// when it follows the main window and whether a memo is shown wrapped.
#include <string_view>

namespace vel {

inline constexpr int kMemoCmdHideFrame = 1248;
inline constexpr int kMemoCmdTracking = 1249;
inline constexpr int kMemoCmdHideIn3Shot = 1250;
inline constexpr int kMemoCmdOpacityFirst = 1251;  // 100 %, then 90 % .. 10 %
inline constexpr int kMemoCmdOpacityLast = 1260;
inline constexpr int kMemoCmdEditMode = 1261;

// The opacity (percent) an entry of the 不透明度 menu sets.
int MemoOpacityOfCommand(int command);
// The entry checked for a stored opacity: the nearest ten, 10 to 100.
int MemoOpacityCommand(int alpha);

// `Effect` of `MemoFont`: 1 bold, 2 italic, 4 underline, 8 strikeout.
struct MemoFontEffect {
  bool bold = false, italic = false, underline = false, strikeout = false;
  bool operator==(const MemoFontEffect&) const = default;
};
MemoFontEffect MemoFontEffectOf(int effect);

// `TabStop` of `MemoFont` as the edit control takes it (quarters of the
// average character width), kept to 1-64.
int MemoTabStop(int stored);

// Following the main window: the view moves by as much as the main window did.
struct ScreenPoint {
  int x = 0, y = 0;
  bool operator==(const ScreenPoint&) const = default;
};
ScreenPoint TrackedPosition(ScreenPoint view, ScreenPoint mainBefore, ScreenPoint mainNow);

// A memo is shown with its lines wrapped at the view's width unless one of
// its lines is longer than this many characters: the edit control lays a
// wrapped line out again from its start for every screen line it fills,
// which for a line of tens of thousands of characters takes seconds at every
// showing and resizing. Such a memo is shown unwrapped, scrolled sideways.
inline constexpr int kMemoWrapLimit = 2000;
// Whether the memo (UTF-8, lines ending in "\n" or "\r\n") is shown wrapped.
bool MemoShownWrapped(std::string_view utf8);

}  // namespace vel
