#include "extras/memo_view_win.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "core/dialog_window_win.h"
#include "core/settings.h"
#include "db/library_connection.h"
#include "db/sql_error_report.h"
#include "display/info_links.h"
#include "display/info_pane_win.h"
#include "extras/memo_store.h"
#include "extras/memo_view_options.h"
#include "periphery/pane_style_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/profile.h"
#include "search/item_list_query.h"

namespace vel {
namespace {

constexpr int kEditId = 100;
constexpr unsigned kMbYesNoCancel = 0x3;
constexpr LONG_PTR kFramedStyle = WS_OVERLAPPEDWINDOW;
constexpr LONG_PTR kFramelessStyle = WS_POPUP | WS_BORDER;
// Without its frame the view keeps a margin round the memo to be dragged by.
constexpr int kGripMargin = 6;

struct MemoView {
  HWND window = nullptr, edit = nullptr;
  WNDPROC editProcedure = nullptr;
  MemoSession session;
  bool editMode = false;
  HFONT font = nullptr;
  HBRUSH background = nullptr;
  COLORREF backgroundColour = 0;
  POINT mainAt{};  // where the main window was when the view last followed it
  int loadedRow = -1;  // the list row (0-based) the memo was read for
  bool frameless = false;
  bool wrapped = true;  // the edit wraps long lines (else it scrolls sideways)
};

MemoView& View() {
  static MemoView view;
  return view;
}

std::wstring WideFromUtf8(const std::string& utf8) {
  int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

std::string Utf8FromWide(const std::wstring& wide) {
  int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<size_t>(std::max(length, 0)), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), length, nullptr, nullptr);
  return utf8;
}

// The edit control's whole text; the edit keeps "\r\n" line ends, the library "\n".
std::string EditText(HWND edit) {
  int length = GetWindowTextLengthW(edit);
  std::wstring wide(static_cast<size_t>(length) + 1, L'\0');
  GetWindowTextW(edit, wide.data(), length + 1);
  wide.resize(static_cast<size_t>(length));
  std::wstring plain;
  for (wchar_t c : wide)
    if (c != L'\r') plain += c;
  return Utf8FromWide(plain);
}

void SetEditText(HWND edit, const std::string& utf8) {
  std::wstring wide, source = WideFromUtf8(utf8);
  for (wchar_t c : source) {
    if (c == L'\n') wide += L'\r';
    wide += c;
  }
  SetWindowTextW(edit, wide.c_str());
  SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
}

void UpdateCaption(MemoView& view) {
  std::string caption = Jp("メモビュー");
  if (view.session.readOnly) caption += Jp("（複数アイテムのメモを結合表示中のため編集できません）");
  else if (view.editMode) caption += Jp("［編集モード］");
  SetWindowTextA(view.window, caption.c_str());
  SendMessageW(view.edit, EM_SETREADONLY, view.session.readOnly || !view.editMode, 0);
}

void CreateEdit(AppState& app, MemoView& view, bool wrapped);

// Fills the view with the memo of the pane's item.
void LoadShownItem(AppState& app) {
  MemoView& view = View();
  int row = InfoPaneRow();
  view.session = {};
  view.loadedRow = row;
  std::string utf8;
  if (row >= 0) {
    const std::string key = InfoPaneKey();
    LibraryConnection db;
    db.Open(app.databasePath, app.regexExtensionPath);
    if (SettingInt(app.settings, "ItemList", "isConcatMemo") == 1) {
      // The memos of every item of the same machine, genre and title: read only.
      auto error = db.Query(ConcatMemoStatement(app.mainDb.Cell(row + 1, kPosMachine), app.mainDb.Cell(row + 1, kPosGenre),
                                                app.mainDb.Cell(row + 1, kPosTitle)));
      if (error) ReportSqlError("MemoView", Jp("メモテーブル参照失敗"), *error, "");
      else if (db.RowCount() >= 1) utf8 = AnsiToUtf8(ShownConcatMemo(Utf8ToAnsi(db.CellUtf8(1, 0))));
      view.session = {key, true};
    } else {
      if (auto error = ReadMemoUtf8(db, key, utf8)) ReportSqlError("MemoView", Jp("メモテーブル参照失敗"), *error, "");
      view.session = {key, false};
    }
  }
  // The edit takes its wrapping at its creation: a memo that needs the other
  // kind gets a new edit.
  const bool wrapped = MemoShownWrapped(utf8);
  if (wrapped != view.wrapped) CreateEdit(app, view, wrapped);
  SetEditText(view.edit, utf8);
  UpdateCaption(view);
}

// The list row of the stored memo changes in place, and the pane redraws
// when it still shows that item; a row that moved meanwhile means a reload.
void ShowStoredMemo(AppState& app, const std::string& key, int row, const std::string& utf8) {
  if (row < 0 || app.mainDb.Cell(row + 1, kPosFileName) != key) {
    if (app.reloadItemList) app.reloadItemList(InfoPaneKey());
    return;
  }
  app.mainDb.SetCell(row + 1, kPosMemo, Utf8ToAnsi(utf8));
  if (app.itemList) InvalidateRect(app.itemList, nullptr, FALSE);
  if (InfoPaneKey() == key) DrawInfoPane(app, InfoPaneRow());
}

// Offers a modified memo for storing. False when the user cancelled.
bool Leave(AppState& app) {
  MemoView& view = View();
  if (!view.window) return true;
  // The pane keeps following the list while the question is open: one question at a time.
  static bool asking = false;
  if (asking) return false;
  struct Asking {
    bool& flag;
    explicit Asking(bool& f) : flag(f) { flag = true; }
    ~Asking() { flag = false; }
  } guard(asking);
  bool modified = SendMessageW(view.edit, EM_GETMODIFY, 0, 0) != 0;
  MemoLeave outcome = LeaveMemo(
      view.session, modified, EditText(view.edit),
      [&](const std::string& question) {
        int answer = ShowMessage(question, Jp("確認"), kMbYesNoCancel | kMbIconQuestion | kMbSystemModal, view.window);
        return answer == kIdYes ? MemoAnswer::kYes : answer == kIdNo ? MemoAnswer::kNo : MemoAnswer::kCancel;
      },
      [&](const std::string& key, const std::string& text) {
        LibraryConnection db;
        db.Open(app.databasePath, app.regexExtensionPath);
        auto error = StoreMemoUtf8(db, key, text);
        if (error) ReportSqlError("MemoView", Jp("メモテーブル更新失敗"), *error, Utf8ToAnsi(MemoStoreStatementUtf8(key, text)));
        return error;
      });
  if (outcome == MemoLeave::kCancelled || outcome == MemoLeave::kFailed) return false;
  SendMessageW(view.edit, EM_SETMODIFY, FALSE, 0);
  if (outcome == MemoLeave::kStored) ShowStoredMemo(app, view.session.loadedKey, view.loadedRow, EditText(view.edit));
  return true;
}

void ShowMenu(AppState& app) {
  MemoView& view = View();
  if (!app.memoContextMenu) return;
  HMENU menu = GetSubMenu(app.memoContextMenu, 0);
  auto check = [&](int id, bool on) {
    CheckMenuItem(menu, static_cast<UINT>(id), MF_BYCOMMAND | (on ? MF_CHECKED : MF_UNCHECKED));
  };
  const int opacity = MemoOpacityCommand(SettingInt(app.settings, "MemoWindow", "Alpha"));
  for (int id = kMemoCmdOpacityFirst; id <= kMemoCmdOpacityLast; ++id) check(id, id == opacity);
  check(kMemoCmdHideFrame, SettingInt(app.settings, "MemoWindow", "HideFrame") == 1);
  check(kMemoCmdTracking, SettingInt(app.settings, "MemoWindow", "Tracking") == 1);
  check(kMemoCmdHideIn3Shot, SettingInt(app.settings, "MemoWindow", "HideIn3Shot") == 1);
  check(kMemoCmdEditMode, view.editMode);
  POINT at{};
  GetCursorPos(&at);
  UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, view.window, nullptr);
  if (chosen != 0) RunCommand(app, static_cast<int>(chosen));
}

void ApplyOpacity(AppState& app) {
  MemoView& view = View();
  int alpha = MemoOpacityOfCommand(MemoOpacityCommand(SettingInt(app.settings, "MemoWindow", "Alpha")));
  LONG_PTR style = GetWindowLongPtrA(view.window, GWL_EXSTYLE);
  if (alpha >= 100) {
    SetWindowLongPtrA(view.window, GWL_EXSTYLE, style & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    return;
  }
  SetWindowLongPtrA(view.window, GWL_EXSTYLE, style | WS_EX_LAYERED);
  SetLayeredWindowAttributes(view.window, 0, static_cast<BYTE>(alpha * 255 / 100), LWA_ALPHA);
}

// The memo fills the view; without the frame it leaves the margin free.
void LayOutEdit(MemoView& view) {
  RECT client{};
  GetClientRect(view.window, &client);
  const int margin = view.frameless ? kGripMargin : 0;
  MoveWindow(view.edit, margin, margin, std::max<int>(client.right - 2 * margin, 0),
             std::max<int>(client.bottom - 2 * margin, 0), TRUE);
}

// Without its frame the view keeps its place and size on the screen.
void ApplyFrame(AppState& app) {
  MemoView& view = View();
  RECT at{};
  GetWindowRect(view.window, &at);
  view.frameless = SettingInt(app.settings, "MemoWindow", "HideFrame") == 1;
  LONG_PTR style = GetWindowLongPtrA(view.window, GWL_STYLE) & ~(kFramedStyle | kFramelessStyle);
  SetWindowLongPtrA(view.window, GWL_STYLE, style | (view.frameless ? kFramelessStyle : kFramedStyle));
  SetWindowPos(view.window, nullptr, at.left, at.top, at.right - at.left, at.bottom - at.top,
               SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
  LayOutEdit(view);
}

POINT MainWindowAt(AppState& app) {
  RECT at{};
  GetWindowRect(app.mainWindow, &at);
  return {at.left, at.top};
}

// Hidden while the pane shows its 3Shots tab, when the view is set so.
void ApplyVisibility(AppState& app) {
  MemoView& view = View();
  const bool hide = SettingInt(app.settings, "MemoWindow", "HideIn3Shot") == 1 &&
                    SettingInt(app.settings, "Window", "InfoTabNum") == 1;
  if (hide == !IsWindowVisible(view.window)) return;
  ShowWindow(view.window, hide ? SW_HIDE : SW_SHOWNOACTIVATE);
}

LRESULT CALLBACK EditProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  MemoView& view = View();
  if (message == WM_CONTEXTMENU) {
    ShowMenu(App());
    return 0;
  }
  // Ctrl+S stores the memo at once.
  if (message == WM_KEYDOWN && wParam == 'S' && (GetKeyState(VK_CONTROL) & 0x8000)) {
    Leave(App());
    return 0;
  }
  if (message == WM_CHAR && wParam == 0x13) return 0;  // the Ctrl+S character
  return CallWindowProcW(view.editProcedure, edit, message, wParam, lParam);
}

void StorePlacement(AppState& app) {
  MemoView& view = View();
  WINDOWPLACEMENT placement{};
  placement.length = sizeof placement;
  if (!GetWindowPlacement(view.window, &placement)) return;
  const RECT& r = placement.rcNormalPosition;
  SetSetting(app.settings, "MemoWindow", "PositionX", static_cast<int>(r.left));
  SetSetting(app.settings, "MemoWindow", "PositionY", static_cast<int>(r.top));
  SetSetting(app.settings, "MemoWindow", "Width", static_cast<int>(r.right - r.left));
  SetSetting(app.settings, "MemoWindow", "Height", static_cast<int>(r.bottom - r.top));
}

void WriteActive(AppState& app, int active) {
  SetSetting(app.settings, "MemoWindow", "Active", active);
  WriteProfileText("MemoWindow", "Active", std::to_string(active), LayoutFile(app.paths, app.layoutMode));
}

LRESULT CALLBACK ViewProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  AppState& app = App();
  MemoView& view = View();
  switch (message) {
    case WM_SIZE:
      if (view.edit) LayOutEdit(view);
      return 0;
    // Without the frame the margin round the memo moves the view as a
    // title bar would (the memo itself answers for its own area).
    case WM_NCHITTEST: {
      LRESULT hit = DefWindowProcA(window, message, wParam, lParam);
      return view.frameless && hit == HTCLIENT ? HTCAPTION : hit;
    }
    case WM_SETCURSOR:
      if (view.frameless && reinterpret_cast<HWND>(wParam) == window && LOWORD(lParam) == HTCAPTION) {
        SetCursor(LoadCursor(nullptr, IDC_SIZEALL));
        return TRUE;
      }
      break;
    case WM_SETFOCUS: SetFocus(view.edit); return 0;
    // The memo's colours come from the colour set (a read-only edit asks as a static).
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wParam);
      SetTextColor(dc, PaneColour("MemoFont", "Color"));
      const COLORREF back = PaneColour("InfoViewColor", "BackColor");
      SetBkColor(dc, back);
      // Made again when the colour set changed since.
      if (view.background && view.backgroundColour != back) {
        DeleteObject(view.background);
        view.background = nullptr;
      }
      if (!view.background) view.background = CreateSolidBrush(back);
      view.backgroundColour = back;
      return reinterpret_cast<LRESULT>(view.background);
    }
    case WM_CONTEXTMENU: ShowMenu(app); return 0;
    case WM_CLOSE:
      // A modified memo is asked about first; Cancel keeps the view.
      if (!Leave(app)) return 0;
      DestroyWindow(window);
      return 0;
    case WM_DESTROY:
      StorePlacement(app);
      if (IsWindowVisible(app.mainWindow)) WriteActive(app, 0);
      if (view.font) DeleteObject(view.font);
      if (view.background) DeleteObject(view.background);
      view = MemoView{};
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

HFONT MemoFont(AppState& app) {
  const Settings& s = app.settings;
  HDC screen = GetDC(nullptr);
  int height = -MulDiv(SettingInt(s, "MemoFont", "Height"), GetDeviceCaps(screen, LOGPIXELSY), 720);
  ReleaseDC(nullptr, screen);
  const MemoFontEffect effect = MemoFontEffectOf(SettingInt(s, "MemoFont", "Effect"));
  return CreateFontA(height, 0, 0, 0, effect.bold ? FW_BOLD : FW_NORMAL, effect.italic, effect.underline,
                     effect.strikeout, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, SettingText(s, "MemoFont", "Face").c_str());
}

// The memo's edit, made anew in place of the one there was: wrapping its
// lines, or on one screen line each, scrolled sideways.
void CreateEdit(AppState& app, MemoView& view, bool wrapped) {
  const bool focused = view.edit && GetFocus() == view.edit;
  if (view.edit) DestroyWindow(view.edit);
  DWORD style = WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN;
  if (!wrapped) style |= WS_HSCROLL | ES_AUTOHSCROLL;
  view.wrapped = wrapped;
  view.edit = CreateWindowExW(0, L"EDIT", L"", style, 0, 0, 10, 10, view.window,
                              reinterpret_cast<HMENU>(static_cast<INT_PTR>(kEditId)), app.instance, nullptr);
  SendMessageW(view.edit, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);  // a memo is shown whole
  SendMessageW(view.edit, WM_SETFONT, reinterpret_cast<WPARAM>(view.font), FALSE);
  int tabStop = MemoTabStop(SettingInt(app.settings, "MemoFont", "TabStop"));
  SendMessageW(view.edit, EM_SETTABSTOPS, 1, reinterpret_cast<LPARAM>(&tabStop));
  view.editProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrW(view.edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProcedure)));
  LayOutEdit(view);
  if (focused) SetFocus(view.edit);
}

void OnCommand(AppState& app, int id) {
  MemoView& view = View();
  if (!view.window) return;
  auto toggle = [&](const char* key) {
    SetSetting(app.settings, "MemoWindow", key, SettingInt(app.settings, "MemoWindow", key) == 1 ? 0 : 1);
  };
  if (id == kMemoCmdEditMode) {
    // Leaving edit mode offers a modified memo first.
    if (view.editMode && !Leave(app)) return;
    view.editMode = !view.editMode;
    UpdateCaption(view);
  } else if (id >= kMemoCmdOpacityFirst && id <= kMemoCmdOpacityLast) {
    SetSetting(app.settings, "MemoWindow", "Alpha", MemoOpacityOfCommand(id));
    ApplyOpacity(app);
  } else if (id == kMemoCmdHideFrame) {
    toggle("HideFrame");
    ApplyFrame(app);
  } else if (id == kMemoCmdTracking) {
    toggle("Tracking");
    view.mainAt = MainWindowAt(app);
  } else if (id == kMemoCmdHideIn3Shot) {
    toggle("HideIn3Shot");
    ApplyVisibility(app);
  }
}

}  // namespace

void OpenMemoView(AppState& app) {
  MemoView& view = View();
  if (view.window) {
    ShowWindow(view.window, SW_SHOWNORMAL);
    SetForegroundWindow(view.window);
    return;
  }
  const Settings& s = app.settings;
  int x = SettingInt(s, "MemoWindow", "PositionX"), y = SettingInt(s, "MemoWindow", "PositionY");
  if (x == -1 && y == -1) x = y = static_cast<int>(CW_USEDEFAULT);
  view.window = CreateWindowExA(WS_EX_TOOLWINDOW, kDialogClassName, Jp("メモビュー").c_str(), WS_OVERLAPPEDWINDOW, x, y,
                                std::max(SettingInt(s, "MemoWindow", "Width"), 120),
                                std::max(SettingInt(s, "MemoWindow", "Height"), 80), app.mainWindow, nullptr,
                                app.instance, nullptr);
  if (!view.window) return;
  SetWindowLongPtrA(view.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ViewProcedure));
  view.font = MemoFont(app);
  CreateEdit(app, view, true);
  ApplyOpacity(app);
  if (SettingInt(s, "MemoWindow", "HideFrame") == 1) ApplyFrame(app);
  view.mainAt = MainWindowAt(app);
  LoadShownItem(app);
  ShowWindow(view.window, SW_SHOWNOACTIVATE);
  ApplyVisibility(app);
  WriteActive(app, 1);
}

void MemoViewFollow(AppState& app) {
  MemoView& view = View();
  if (!view.window) return;
  ApplyVisibility(app);
  if (view.session.loadedKey == InfoPaneKey()) return;
  // Cancel keeps the memo being edited (and its key) in the view.
  if (!Leave(app)) return;
  LoadShownItem(app);
}

bool MemoViewAllowsClose(AppState& app) { return Leave(app); }

void MemoViewTrackMainWindow(AppState& app) {
  MemoView& view = View();
  if (!view.window || IsIconic(app.mainWindow)) return;
  const POINT now = MainWindowAt(app);
  if (SettingInt(app.settings, "MemoWindow", "Tracking") == 1) {
    RECT at{};
    GetWindowRect(view.window, &at);
    ScreenPoint to = TrackedPosition({at.left, at.top}, {view.mainAt.x, view.mainAt.y}, {now.x, now.y});
    SetWindowPos(view.window, nullptr, to.x, to.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }
  view.mainAt = now;
}

void OpenMemoViewAtStart(AppState& app) {
  if (!View().window && SettingInt(app.settings, "MemoWindow", "Active") == 1) OpenMemoView(app);
}

void RegisterMemoViewCommands() {
  RegisterCommand(kCmdOpenMemoView, OpenMemoView);
  RegisterCommandRange(kMemoCmdHideFrame, kMemoCmdEditMode, OnCommand);
}

}  // namespace vel
