#include "search/search_watch_win.h"

#include <commctrl.h>

#include "core/app_state_win.h"
#include "input/message_hook_win.h"
#include "platform/codepage.h"

namespace vel {

SearchWatch::SearchWatch(AppState& app) : app_(app), started_(GetTickCount64()) {}

// The window is not served while the statements run, so the keys pressed are
// taken from the queue to find the Esc; the others are given back, in order,
// as if they had waited.
SearchWatch::~SearchWatch() {
  for (const MSG& msg : waiting_) PostMessageA(msg.hwnd, msg.message, msg.wParam, msg.lParam);
}

bool SearchWatch::StopRequested() {
  if (!announced_ && GetTickCount64() - started_ >= kAnnounceAfterMs && app_.statusBar) {
    announced_ = true;
    SendMessageA(app_.statusBar, SB_SETTEXTA, 3, reinterpret_cast<LPARAM>(Jp("検索中…").c_str()));
    UpdateWindow(app_.statusBar);
  }
  MSG msg;
  SetTakingKeysOut(true);
  while (!stop_ && PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_REMOVE)) {
    if ((msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN) && msg.wParam == VK_ESCAPE) {
      stop_ = true;
      break;
    }
    waiting_.push_back(msg);
  }
  SetTakingKeysOut(false);
  return stop_;
}

}  // namespace vel
