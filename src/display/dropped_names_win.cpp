#include "display/dropped_names_win.h"

namespace vel {

std::optional<std::string> DroppedName(HDROP drop, UINT index) {
  UINT length = DragQueryFileW(drop, index, nullptr, 0);
  std::wstring wide(length + 1, L'\0');
  DragQueryFileW(drop, index, wide.data(), length + 1);
  wide.resize(length);
  BOOL lost = FALSE;
  int bytes = WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0,
                                  nullptr, &lost);
  std::string name(static_cast<size_t>(bytes > 0 ? bytes : 0), '\0');
  WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, wide.c_str(), static_cast<int>(wide.size()), name.data(), bytes,
                      nullptr, &lost);
  if (lost || (length > 0 && bytes <= 0)) return std::nullopt;
  return name;
}

bool DroppedPoint(HDROP drop, POINT& at) {
  if (!GlobalLock(drop)) return false;
  GlobalUnlock(drop);
  DragQueryPoint(drop, &at);  // its result only tells whether the point lies in the client area
  return true;
}

}  // namespace vel
