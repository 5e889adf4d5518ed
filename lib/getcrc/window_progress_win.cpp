#include "window_progress_win.h"

#include <commctrl.h>

#include "platform/codepage.h"

namespace vel {
namespace {

constexpr ULONGLONG kUpdateEveryMs = 50;

DWORD WINAPI RunWork(void* work) {
  (*static_cast<const std::function<void()>*>(work))();
  return 0;
}

void SetText(HWND window, const std::string& text) {
  if (window) SetWindowTextA(window, text.c_str());
}

}  // namespace

WindowProgress::WindowProgress(const ProgressWindows& windows, const std::atomic<short>& stop)
    : w_(windows), stop_(stop) {
  if (w_.owner) logList_ = FindWindowExA(w_.owner, nullptr, "LISTBOX", nullptr);
}

bool WindowProgress::Due() {
  ULONGLONG now = GetTickCount64();
  if (now - lastUpdate_ < kUpdateEveryMs) return false;
  lastUpdate_ = now;
  return true;
}

void WindowProgress::Status(const std::string& text) { SetText(w_.status, text); }

void WindowProgress::Item(const std::string& text) {
  if (!Due()) return;
  SetText(w_.item, text);
  markerOn_ = !markerOn_;
  SetText(w_.marker, markerOn_ ? Jp("■") : Jp("□"));
  if (w_.bar) SendMessageA(w_.bar, PBM_SETPOS, static_cast<WPARAM>(done_), 0);
  if (w_.counter) SetText(w_.counter, std::to_string(done_) + " / " + std::to_string(total_));
}

void WindowProgress::Log(const std::string& line) {
  lastProblem_ = line;
  // A list keeps every line; without one the status line shows the latest.
  if (!logList_) {
    SetText(w_.status, line);
    return;
  }
  LRESULT at = SendMessageA(logList_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
  if (at >= 0) SendMessageA(logList_, LB_SETTOPINDEX, static_cast<WPARAM>(at), 0);
  // Long paths can be scrolled to sideways.
  if (HDC dc = GetDC(logList_)) {
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageA(logList_, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32A(dc, line.c_str(), static_cast<int>(line.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(logList_, dc);
    if (size.cx + 8 > logWidth_) {
      logWidth_ = size.cx + 8;
      SendMessageA(logList_, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(logWidth_), 0);
    }
  }
}

void WindowProgress::Range(int total) {
  total_ = total;
  if (w_.bar) {
    SendMessageA(w_.bar, PBM_SETRANGE32, 0, total > 0 ? total : 1);
    SendMessageA(w_.bar, PBM_SETPOS, 0, 0);
  }
}

void WindowProgress::Step(int done) { done_ = done; }

void WindowProgress::Finish(const std::string& summary) {
  // The summary keeps its line: the last problem goes to the item line only
  // when no list holds it and that line is another one.
  if (!lastProblem_.empty() && !logList_ && w_.item != w_.status) SetText(w_.item, lastProblem_);
  SetText(w_.status, summary);
  SetText(w_.marker, Jp("■"));
  if (w_.bar) SendMessageA(w_.bar, PBM_SETPOS, static_cast<WPARAM>(done_), 0);
  if (w_.counter) SetText(w_.counter, std::to_string(done_) + " / " + std::to_string(total_));
}

void RunWhilePumping(const std::function<void()>& work, std::atomic<short>& stop) {
  HANDLE thread = CreateThread(nullptr, 0, RunWork, const_cast<std::function<void()>*>(&work), 0, nullptr);
  if (!thread) {
    work();
    return;
  }
  bool quit = false;
  WPARAM quitCode = 0;
  while (MsgWaitForMultipleObjects(1, &thread, FALSE, INFINITE, QS_ALLINPUT) != WAIT_OBJECT_0) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        quit = true;
        quitCode = msg.wParam;
        stop = kRunStopRequested;
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageA(&msg);
    }
  }
  CloseHandle(thread);
  if (quit) PostQuitMessage(static_cast<int>(quitCode));
}

}  // namespace vel
