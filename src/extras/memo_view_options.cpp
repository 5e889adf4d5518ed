#include "extras/memo_view_options.h"

#include <algorithm>

namespace vel {

int MemoOpacityOfCommand(int command) {
  command = std::clamp(command, kMemoCmdOpacityFirst, kMemoCmdOpacityLast);
  return 100 - (command - kMemoCmdOpacityFirst) * 10;
}

int MemoOpacityCommand(int alpha) {
  const int tens = (std::clamp(alpha, 10, 100) + 5) / 10;  // 1..10
  return kMemoCmdOpacityFirst + (10 - tens);
}

MemoFontEffect MemoFontEffectOf(int effect) {
  if (effect < 0) effect = 0;
  return {(effect & 1) != 0, (effect & 2) != 0, (effect & 4) != 0, (effect & 8) != 0};
}

int MemoTabStop(int stored) { return std::clamp(stored, 1, 64); }

ScreenPoint TrackedPosition(ScreenPoint view, ScreenPoint mainBefore, ScreenPoint mainNow) {
  return {view.x + (mainNow.x - mainBefore.x), view.y + (mainNow.y - mainBefore.y)};
}

bool MemoShownWrapped(std::string_view utf8) {
  int line = 0;  // characters of the current line so far
  for (char c : utf8) {
    if (c == '\n') line = 0;
    // A character is counted at its first byte; "\r" ends nothing by itself.
    else if ((static_cast<unsigned char>(c) & 0xC0) != 0x80 && c != '\r' && ++line > kMemoWrapLimit) return false;
  }
  return true;
}

}  // namespace vel
