#include "search/isearch_dlg_win.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <optional>
#include <string>

#include "core/app_state_win.h"
#include "core/companion_library_win.h"
#include "core/dialog_window_win.h"
#include "platform/codepage.h"
#include "search/incremental_search.h"
#include "search/item_list_query.h"
#include "search/migemo.h"
#include "search/search_run_win.h"

namespace vel {
namespace {

enum : int { kEditId = 1, kPrefixId = 2, kMigemoId = 3, kMatchLabelId = 4 };

// What the row scan under way was started for.
enum class ScanFor { kTypedText, kStep };

struct ISearchData {
  AppState* app = nullptr;
  HWND window = nullptr, edit = nullptr, prefix = nullptr, migemo = nullptr, label = nullptr;
  WNDPROC editProcedure = nullptr;
  IncrementalLength length;
  bool migemoAvailable = false;
  // The scan under way, run a slice at a time from a timer so that typing,
  // Esc and painting are served while a long list is searched.
  ListRowScan scan;
  ScanFor scanFor = ScanFor::kTypedText;
  size_t textLength = 0;
  std::string text;
  bool prefixOnly = false;
  std::optional<std::string> pattern;  // the Migemo pattern, when it is used
  char matched[260] = {};
};

constexpr UINT_PTR kScanTimer = 1;
constexpr DWORD kSliceMs = 15;
constexpr int kRowsBetweenClockReads = 256;

HWND gWindow = nullptr;

bool Checked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

void Toggle(HWND box) {
  if (IsWindowEnabled(box)) SendMessageA(box, BM_SETCHECK, Checked(box) ? BST_UNCHECKED : BST_CHECKED, 0);
}

void ShowMatch(ISearchData& d, const std::string& matched) {
  SetWindowTextA(d.label, ("Migemo match [" + matched + "]").c_str());
}

int SelectedRow(HWND list) {
  return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

// Selects the row and scrolls so that the row four above it is the top row.
void SelectAndScroll(HWND list, int row) {
  LVITEMA clear{};
  clear.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&clear));
  LVITEMA set{};
  set.state = set.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&set));
  int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(count - 1), FALSE);
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row > 4 ? row - 4 : 0), FALSE);
  SendMessageA(list, LVM_ENSUREVISIBLE, static_cast<WPARAM>(row), FALSE);
}

// Shows what the finished scan found and acts on it.
void FinishScan(ISearchData& d) {
  const int found = d.scan.Found();
  ShowMatch(d, found >= 0 && d.pattern ? d.matched : "--");
  if (found >= 0) SelectAndScroll(d.app->itemList, found);
  if (d.scanFor == ScanFor::kTypedText)
    d.length.Record(d.textLength, found >= 0);
  else if (found < 0)
    MessageBeep(MB_OK);
}

// Runs the scan for about one slice of time; what remains goes on from the timer.
void RunSlice(ISearchData& d) {
  AppState& app = *d.app;
  KillTimer(d.window, kScanTimer);
  if (d.scan.Done()) return;
  // A list loaded again meanwhile holds other rows: the scan is dropped.
  if (app.mainDb.RowCount() != d.scan.RowCount()) {
    d.scan.Begin(0, 0, 1);
    ShowMatch(d, "--");
    return;
  }
  auto title = [&](int row) { return app.mainDb.Cell(row + 1, kPosTitle); };
  std::function<bool(int)> matches;
  if (d.pattern) {
    CompanionLibrary& library = LoadCompanionLibrary(app);
    library.regexSetPattern(d.pattern->c_str());
    matches = [&](int row) { return library.regexMatch(title(row).c_str(), d.matched) != 0; };
  } else {
    matches = [&](int row) { return TitleHolds(title(row), d.text, d.prefixOnly); };
  }
  const ULONGLONG started = GetTickCount64();
  while (!d.scan.Continue(kRowsBetweenClockReads, matches))
    if (GetTickCount64() - started >= kSliceMs) {
      SetTimer(d.window, kScanTimer, 1, nullptr);
      return;
    }
  FinishScan(d);
}

// Starts a search from `start` in direction `step`, replacing one under way.
void Search(ISearchData& d, int start, int step, ScanFor scanFor) {
  AppState& app = *d.app;
  d.text = WindowText(d.edit);
  d.textLength = d.text.size();
  d.prefixOnly = Checked(d.prefix);
  d.scanFor = scanFor;
  d.matched[0] = '\0';

  MigemoSource* migemo = ProgramMigemo(app);
  bool wanted = d.migemoAvailable && Checked(d.migemo);
  bool useMigemo = wanted && MigemoUsability(migemo, app.regexMode, d.text) == 0;
  // A text Migemo cannot take disables the box for this search.
  if (d.migemoAvailable) EnableWindow(d.migemo, !(wanted && !useMigemo));
  d.pattern.reset();
  if (useMigemo) {
    std::string query = SmallYaAsHiragana(d.text);
    d.pattern = (d.prefixOnly ? "^" : "") + migemo->Query(query).value_or(query);
  }
  d.scan.Begin(app.mainDb.RowCount(), start, step);
  RunSlice(d);
}

void SearchFromEdit(ISearchData& d) {
  size_t length = static_cast<size_t>(GetWindowTextLengthA(d.edit));
  if (length == 0) {
    KillTimer(d.window, kScanTimer);
    d.scan.Begin(0, 0, 1);
    d.length.Reset();
    ShowMatch(d, "--");
    return;
  }
  if (!d.length.ShouldSearch(length)) return;
  Search(d, 0, 1, ScanFor::kTypedText);
}

void Step(ISearchData& d, int step) {
  if (GetWindowTextLengthA(d.edit) == 0) return;
  int selected = SelectedRow(d.app->itemList);
  int start = selected < 0 ? (step > 0 ? 0 : -1) : selected + step;
  Search(d, start, step, ScanFor::kStep);
}

LRESULT CALLBACK EditProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  HWND window = GetParent(edit);
  ISearchData* d = DialogData<ISearchData>(window);
  bool repeated = (lParam & (1L << 30)) != 0;
  if (message == WM_KEYDOWN && d) {
    if ((wParam == VK_TAB || wParam == VK_CONTROL) && repeated) return 0;  // a held key toggles once
    switch (wParam) {
      case VK_ESCAPE:
      case VK_RETURN: DestroyWindow(window); return 0;
      case VK_TAB: Toggle(d->prefix); return 0;
      case VK_CONTROL: Toggle(d->migemo); return 0;
      case VK_DOWN: Step(*d, 1); return 0;
      case VK_UP: Step(*d, -1); return 0;
      default: break;
    }
  }
  // The characters of those keys would only beep in a one-line edit box.
  if (!d) return DefWindowProcA(edit, message, wParam, lParam);
  if (message == WM_CHAR && (wParam == VK_TAB || wParam == VK_RETURN || wParam == VK_ESCAPE)) return 0;
  return CallWindowProcA(d->editProcedure, edit, message, wParam, lParam);
}

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ISearchData* d = DialogData<ISearchData>(window);
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == kEditId && HIWORD(wParam) == EN_CHANGE) SearchFromEdit(*d);
      if (LOWORD(wParam) == kPrefixId || LOWORD(wParam) == kMigemoId) SetFocus(d->edit);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(d->edit);
      return 0;
    case WM_TIMER:
      if (d && wParam == kScanTimer) RunSlice(*d);
      return 0;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      if (!d) return 0;
      SetWindowLongPtrA(window, GWLP_USERDATA, 0);
      if (d->edit) SetWindowLongPtrA(d->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(d->editProcedure));
      if (d->app->itemList) SetFocus(d->app->itemList);
      delete d;
      gWindow = nullptr;
      UnloadCompanionLibrary();
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

void OpenIncrementalSearch(AppState& app) {
  if (gWindow) {
    SetForegroundWindow(gWindow);
    return;
  }
  if (!app.itemList) return;
  LoadCompanionLibrary(app);  // its matcher serves the Migemo patterns
  auto* d = new ISearchData;
  d->app = &app;
  HWND window = CreateDialogWindow(app.instance, app.mainWindow,
                                   Jp("リスト内検索 (↑↓=前後,ESC/ENTER=終了)"), 320, 64,
                                   WindowProcedure, d);
  if (!window) {
    delete d;
    UnloadCompanionLibrary();
    return;
  }
  SetWindowLongPtrA(window, GWL_EXSTYLE, GetWindowLongPtrA(window, GWL_EXSTYLE) | WS_EX_TOOLWINDOW);
  d->window = window;
  d->edit = AddControl(window, "EDIT", "", WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, 6, 6, 308, 22, kEditId);
  d->prefix = AddControl(window, "BUTTON", Jp("先頭比較(TAB)"), BS_AUTOCHECKBOX, 6, 34, 100, 22, kPrefixId);
  d->migemo = AddControl(window, "BUTTON", "Migemo(Ctrl)", BS_AUTOCHECKBOX, 108, 34, 90, 22, kMigemoId);
  d->label = AddControl(window, "STATIC", "Migemo match [--]", SS_LEFTNOWORDWRAP, 200, 38, 116, 20,
                        kMatchLabelId);
  MigemoSource* migemo = ProgramMigemo(app);
  d->migemoAvailable = migemo && migemo->IsEnabled();
  if (d->migemoAvailable && SettingInt(app.settings, "Migemo", "ListOn") == 1)
    SendMessageA(d->migemo, BM_SETCHECK, BST_CHECKED, 0);
  EnableWindow(d->migemo, d->migemoAvailable);
  d->editProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(d->edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProcedure)));

  // Over the item list's top left corner.
  RECT list{};
  GetWindowRect(app.itemList, &list);
  SetWindowPos(window, HWND_TOP, list.left + 16, list.top + 16, 0, 0, SWP_NOSIZE);
  gWindow = window;
  ShowWindow(window, SW_SHOW);
  SetForegroundWindow(window);
  SetFocus(d->edit);
}

}  // namespace vel
