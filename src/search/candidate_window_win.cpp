#include "search/candidate_window_win.h"

#include <sqlite3.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "search/candidates.h"
#include "search/migemo.h"
#include "platform/codepage.h"
#include "search/search_items.h"
#include "search/search_run_win.h"
#include "search/search_text_history.h"

namespace vel {
namespace {

constexpr const char* kWindowClass = "CandidateListWnd";
constexpr UINT kResultMessage = WM_APP + 41;
constexpr const char* kLookingNow = "... Looking Now ...";

struct Result {
  uint64_t number = 0;
  std::vector<std::string> titles;
};

// The worker: takes the newest request, runs it on its own connection and
// posts the titles to the window. A stop interrupts a running statement.
class CandidateWorker {
 public:
  void Start(const std::string& databasePath, const std::string& extensionPath) {
    std::lock_guard lock(mutex_);
    if (thread_.joinable() || running_) return;  // running_ alone: a thread left at a stop
    stopping_ = false;
    running_ = true;
    thread_ = std::thread([this, databasePath, extensionPath] { Run(databasePath, extensionPath); });
  }
  void Request(uint64_t number, const std::string& sql, HWND window) {
    std::lock_guard lock(mutex_);
    pending_ = {number, sql, window, true};
    if (busy_ && db_.Handle()) sqlite3_interrupt(db_.Handle());  // the older look-up is not wanted
    wake_.notify_one();
  }
  void Cancel() {
    std::lock_guard lock(mutex_);
    pending_.present = false;
    if (busy_ && db_.Handle()) sqlite3_interrupt(db_.Handle());
  }
  void Stop() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
      pending_.present = false;
      if (busy_ && db_.Handle()) sqlite3_interrupt(db_.Handle());
      wake_.notify_one();
    }
    if (!thread_.joinable()) return;
    // Bounded: a look-up the interrupt cannot reach (a long call inside an
    // extension) must not hold the program's exit. The worker is never
    // destroyed, so a thread left running touches nothing freed.
    std::unique_lock lock(mutex_);
    if (ended_.wait_for(lock, std::chrono::seconds(2), [&] { return !running_; })) {
      lock.unlock();
      thread_.join();
    } else {
      thread_.detach();
    }
  }
  CandidateSequence sequence;

 private:
  struct Pending {
    uint64_t number = 0;
    std::string sql;
    HWND window = nullptr;
    bool present = false;
  };
  void Run(const std::string& databasePath, const std::string& extensionPath) {
    {
      std::lock_guard lock(mutex_);
      db_.Open(databasePath, extensionPath);
    }
    while (true) {
      Pending job;
      {
        std::unique_lock lock(mutex_);
        wake_.wait(lock, [&] { return stopping_ || pending_.present; });
        if (stopping_) break;
        job = pending_;
        pending_.present = false;
        busy_ = true;
      }
      auto result = std::make_unique<Result>();
      result->number = job.number;
      bool failed = db_.Query(job.sql).has_value();
      if (!failed)
        for (int r = 1; r <= db_.RowCount(); ++r) result->titles.push_back(db_.Cell(r, 0));
      {
        std::lock_guard lock(mutex_);
        busy_ = false;
      }
      // Only the newest look-up reaches the window; the window frees it.
      if (!failed && sequence.IsCurrent(job.number) &&
          PostMessageA(job.window, kResultMessage, 0, reinterpret_cast<LPARAM>(result.get())))
        result.release();
    }
    std::lock_guard lock(mutex_);
    db_.Close();
    running_ = false;
    ended_.notify_all();
  }

  std::thread thread_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable ended_;
  bool running_ = false;
  Pending pending_;
  bool busy_ = false;
  bool stopping_ = false;
  LibraryConnection db_;
};

// Never destroyed: the thread is ended by StopCandidateThread, not by the
// end of the process.
CandidateWorker& Worker() {
  static CandidateWorker* worker = new CandidateWorker;
  return *worker;
}

struct CandidatePane {
  HWND window = nullptr;
  HWND list = nullptr;
  std::string typed;
};
CandidatePane gPane;

// Set while a chosen title is put into the search box: that change starts no look-up.
bool gPutting = false;

void PutIntoSearchBox(AppState& app, const std::string& text) {
  gPutting = true;
  SetWindowTextA(app.searchText, text.c_str());
  int end = GetWindowTextLengthA(app.searchText);
  SendMessageA(app.searchText, EM_SETSEL, end, end);
  gPutting = false;
}

// Puts the entries into the drop-down, the first selected.
void FillList(const std::vector<std::string>& entries) {
  SendMessageA(gPane.list, WM_SETREDRAW, FALSE, 0);
  SendMessageA(gPane.list, LB_RESETCONTENT, 0, 0);
  for (const std::string& entry : entries)
    if (SendMessageA(gPane.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str())) < 0) break;
  SendMessageA(gPane.list, LB_SETCURSEL, 0, 0);
  SendMessageA(gPane.list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(gPane.list, nullptr, TRUE);
}

LRESULT CALLBACK CandidateProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  AppState& app = App();
  switch (message) {
    case WM_SIZE:
      if (gPane.list) MoveWindow(gPane.list, 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
    case WM_MOUSEACTIVATE: return MA_NOACTIVATE;  // the search box keeps the focus
    case WM_COMMAND:
      if (reinterpret_cast<HWND>(lParam) == gPane.list) {
        int at = static_cast<int>(SendMessageA(gPane.list, LB_GETCURSEL, 0, 0));
        if (at < 0) return 0;
        char text[512] = {};
        if (SendMessageA(gPane.list, LB_GETTEXTLEN, at, 0) >= static_cast<LRESULT>(sizeof text)) return 0;
        SendMessageA(gPane.list, LB_GETTEXT, at, reinterpret_cast<LPARAM>(text));
        if (std::string(text) == kLookingNow) return 0;
        if (HIWORD(wParam) == LBN_SELCHANGE) {
          // A click picks the title; a double click also searches for it.
          gPane.typed = text;
          PutIntoSearchBox(app, text);
        } else if (HIWORD(wParam) == LBN_DBLCLK) {
          HideCandidates(app);
          int target = static_cast<int>(SendMessageA(app.searchTarget, CB_GETCURSEL, 0, 0));
          SearchFromSearchBox(app, text, target < 0 ? 0 : target);
        }
      }
      return 0;
    case kResultMessage: {
      std::unique_ptr<Result> result(reinterpret_cast<Result*>(lParam));
      if (!Worker().sequence.IsCurrent(result->number) || !gPane.list) return 0;
      result->titles.insert(result->titles.begin(), gPane.typed);
      FillList(result->titles);
      return 0;
    }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

bool EnsureWindow(AppState& app) {
  if (gPane.window) return true;
  static bool registered = false;
  if (!registered) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = CandidateProcedure;
    windowClass.hInstance = app.instance;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kWindowClass;
    registered = RegisterClassA(&windowClass) != 0;
  }
  gPane.window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE, kWindowClass,
                                 Jp("あいまい検索候補").c_str(), WS_POPUP | WS_BORDER, 0, 0, 10, 10, app.mainWindow, nullptr,
                                 app.instance, nullptr);
  if (!gPane.window) return false;
  gPane.list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE | WS_VSCROLL | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT,
                               0, 0, 10, 10, gPane.window, nullptr, app.instance, nullptr);
  SendMessageA(gPane.list, WM_SETFONT, reinterpret_cast<WPARAM>(app.defaultGuiFont), TRUE);
  Worker().Start(app.databasePath, app.regexExtensionPath);
  return true;
}

void ShowUnderSearchBox(AppState& app) {
  RECT edit{};
  GetWindowRect(app.searchText, &edit);
  int rows = std::clamp(SettingInt(app.settings, "SearchWindow", "MaxHeight"), 3, 60);
  int height = static_cast<int>(SendMessageA(gPane.list, LB_GETITEMHEIGHT, 0, 0)) * std::min(rows, 12) + 4;
  // Animate 1: a hidden list slides open downwards in 150 ms; an open one only moves.
  const bool slide = SettingInt(app.settings, "SearchWindow", "Animate") == 1 && !IsWindowVisible(gPane.window);
  SetWindowPos(gPane.window, HWND_TOPMOST, edit.left, edit.bottom, std::max<int>(edit.right - edit.left, 200),
               height, SWP_NOACTIVATE | (slide ? 0 : SWP_SHOWWINDOW));
  if (slide && !AnimateWindow(gPane.window, 150, AW_SLIDE | AW_VER_POSITIVE))
    ShowWindow(gPane.window, SW_SHOWNOACTIVATE);
}

}  // namespace

void OnSearchTextChanged(AppState& app) {
  if (!app.searchText || gPutting) return;
  std::string text = WindowText(app.searchText);
  CandidateWorker& worker = Worker();
  uint64_t number = worker.sequence.Next();  // any older result is now stale
  if (!CandidateTextWanted(text)) {
    if (gPane.window) ShowWindow(gPane.window, SW_HIDE);
    worker.Cancel();
    return;
  }
  if (!EnsureWindow(app)) return;
  gPane.typed = text;
  SendMessageA(gPane.list, LB_RESETCONTENT, 0, 0);
  SendMessageA(gPane.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageA(gPane.list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kLookingNow));
  SendMessageA(gPane.list, LB_SETCURSEL, 0, 0);
  ShowUnderSearchBox(app);

  CandidateRequest request;
  request.text = text;
  request.lastLimit = SettingInt(app.settings, "SearchWindow", "LastLimit");
  request.titleStems = SettingInt(app.settings, "Migemo", "FuzzyLap") == 1;
  request.regexEngine = app.regexMode;
  // The pattern is made here, on the GUI thread, so that Migemo is only ever
  // used from one thread.
  MigemoSource* migemo = ProgramMigemo(app);
  if (SettingInt(app.settings, "Migemo", "FuzzyOn") == 1 && MigemoUsability(migemo, app.regexMode, text) == 0) {
    if (auto pattern = migemo->Query(PrepareMigemoQuery(text)); pattern && !pattern->empty())
      request.migemoPattern =
          AdaptMigemoPattern(*pattern, SettingInt(app.settings, "Migemo", "FuzzyClassLimit"), app.regexMode);
  }
  worker.Request(number, CandidateStatement(request), gPane.window);
}

bool CandidateStep(AppState& app, WPARAM key) {
  if (!gPane.window || !IsWindowVisible(gPane.window)) return false;
  int count = static_cast<int>(SendMessageA(gPane.list, LB_GETCOUNT, 0, 0));
  if (count < 2) return key == VK_UP || key == VK_DOWN;
  RECT r{};
  GetClientRect(gPane.list, &r);
  int entry = std::max<int>(static_cast<int>(SendMessageA(gPane.list, LB_GETITEMHEIGHT, 0, 0)), 1);
  int page = std::max<int>(r.bottom / entry - 1, 1);  // a page is at least one entry
  int at = static_cast<int>(SendMessageA(gPane.list, LB_GETCURSEL, 0, 0));
  int step = key == VK_UP ? -1 : key == VK_DOWN ? 1 : key == VK_PRIOR ? -page : key == VK_NEXT ? page : 0;
  if (step == 0) return false;
  at = std::clamp(at + step, 0, count - 1);
  SendMessageA(gPane.list, LB_SETCURSEL, at, 0);
  char text[512] = {};
  if (SendMessageA(gPane.list, LB_GETTEXTLEN, at, 0) < static_cast<LRESULT>(sizeof text)) {
    SendMessageA(gPane.list, LB_GETTEXT, at, reinterpret_cast<LPARAM>(text));
    if (std::string(text) != kLookingNow) PutIntoSearchBox(app, text);
  }
  return true;
}

void HideCandidates(AppState&) {
  Worker().sequence.Next();
  Worker().Cancel();
  if (gPane.window) ShowWindow(gPane.window, SW_HIDE);
}

void StopCandidateThread() { Worker().Stop(); }

bool CandidatesShown() { return gPane.window && IsWindowVisible(gPane.window); }

void ShowSearchHistory(AppState& app) {
  if (!app.searchText || !app.searchTarget) return;
  int target = static_cast<int>(SendMessageA(app.searchTarget, CB_GETCURSEL, 0, 0));
  std::vector<std::string> entries = target == kTargetGenre
                                         ? app.masters.genres
                                         : ShownSearchTexts(ReadSearchTexts(app.paths.settingsFile, target));
  if (entries.empty() || !EnsureWindow(app)) return;
  // No look-up result may take the list's place.
  Worker().sequence.Next();
  Worker().Cancel();
  gPane.typed = WindowText(app.searchText);
  FillList(entries);
  ShowUnderSearchBox(app);
}

void SearchFromSearchBox(AppState& app, const std::string& text, int target) {
  if (!app.runSearch) return;
  if (app.runSearch(text, target) > 0) AddSearchText(app.paths.settingsFile, text, target);
}

}  // namespace vel
