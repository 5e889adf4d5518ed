#include "app/main_window_win.h"

#include <commctrl.h>

#include <algorithm>
#include <cstdlib>
#include <objbase.h>
#include <shellapi.h>

#include "app/html_help_win.h"
#include "app/menus_win.h"
#include "app/rebar_win.h"
#include "app/shutdown_win.h"
#include "app/startup_win.h"
#include "app/status_bar_win.h"
#include "app/tray_icon_win.h"
#include "app/wait_window_win.h"
#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/command_line.h"
#include "core/commands_win.h"
#include "core/shell_services_win.h"
#include "core/companion_library_win.h"
#include "core/settings_file.h"
#include "db/database_dialogs_win.h"
#include "db/database_lock.h"
#include "display/info_pane_win.h"
#include "display/snapshot_view_win.h"
#include "extras/item_menus_win.h"
#include "extras/memo_view_win.h"
#include "editing/master_icons_win.h"
#include "editing/master_tables.h"
#include "input/message_hook_win.h"
#include "launch/demo_mode_win.h"
#include "input/pad_poll_win.h"
#include "launch/launch_run_win.h"
#include "periphery/pane_style_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "search/candidate_window_win.h"
#include "search/history_commands_win.h"
#include "search/item_list_win.h"
#include "search/last_query_win.h"
#include "search/query_tree_win.h"
#include "search/search_run_win.h"

namespace vel {
namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr UINT_PTR kTimer2 = 2;
constexpr int kSeparatorButtonHeight = 14;
constexpr int kSplitterWidth = 4;  // the draggable gap between the left column and the right side
bool gDraggingSplitter = false;

HWND Child(AppState& app, DWORD exStyle, const char* windowClass, DWORD style, int id) {
  HWND child = CreateWindowExA(exStyle, windowClass, "", WS_CHILD | WS_VISIBLE | style, 0, 0, 10,
                               10, app.mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                               app.instance, nullptr);
  SendMessageA(child, WM_SETFONT, reinterpret_cast<WPARAM>(app.defaultGuiFont), TRUE);
  return child;
}

void CreateChildControls(AppState& app) {
  app.queryTree = Child(app, WS_EX_CLIENTEDGE, WC_TREEVIEWA,
                        TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS |
                            TVS_TRACKSELECT,
                        kQueryTreeId);
  app.itemList = Child(app, WS_EX_STATICEDGE, WC_LISTVIEWA,
                       LVS_REPORT | LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS | LVS_OWNERDATA,
                       kItemListId);
  app.snapPane = Child(app, 0, "STATIC", SS_BLACKFRAME | SS_NOTIFY, kSnapPaneId);
  app.groupList = Child(app, WS_EX_STATICEDGE, WC_LISTVIEWA,
                        LVS_REPORT | LVS_SINGLESEL | LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS |
                            LVS_OWNERDATA,
                        kGroupListId);
  app.separatorButton = Child(app, 0, "BUTTON", BS_PUSHBUTTON | BS_BITMAP, kSeparatorButtonId);
}

void MakeSeparatorDraggable(AppState& app);

HFONT UiFont(int height, const std::string& face) {
  return CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                     DEFAULT_PITCH | FF_DONTCARE, face.c_str());
}

bool VisualStylesActive() {
  HMODULE theme = LoadLibraryA("uxtheme.dll");
  if (!theme) return false;
  using Query = BOOL(WINAPI*)();
  auto isThemeActive = reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(theme, "IsThemeActive")));
  auto isAppThemed = reinterpret_cast<Query>(reinterpret_cast<void*>(GetProcAddress(theme, "IsAppThemed")));
  bool active = isThemeActive && isAppThemed && isThemeActive() && isAppThemed();
  FreeLibrary(theme);
  return active;
}

// Settings, help, controls library, COM, themes and the UI fonts.
void PrepareInterface(AppState& app) {
  app.layoutMode = static_cast<unsigned short>(ReadLayoutMode(app.paths));
  SettingsContext context;
  context.osClass = app.osClass;
  context.screenWidth = GetSystemMetrics(SM_CXSCREEN);
  context.screenHeight = GetSystemMetrics(SM_CYSCREEN);
  context.fonts = ReadDefaultFontList(app.paths, app.osClass);
  app.settings = CoreSettingsTable(context);
  ReadSettings(app.settings, app.paths, app.layoutMode);
  InitialiseHelp(app);
  INITCOMMONCONTROLSEX controls{sizeof controls, 0x6FF};
  InitCommonControlsEx(&controls);
  CoInitialize(nullptr);
  app.visualStyles = VisualStylesActive();
  const FontList& f = context.fonts;
  app.uiFonts[0] = UiFont(-12, f[0]);
  app.uiFonts[1] = UiFont(-12, f[0]);
  app.uiFonts[2] = UiFont(-12, f[0]);
  app.uiFonts[3] = UiFont(-10, f[3]);
  app.uiFonts[4] = UiFont(-12, f[2]);
  app.uiFonts[5] = UiFont(-96, f[0]);
}

void ReportRenumberFailure(AppState& app, const RenumberFailure& failure) {
  ShowMessage(failure.text, failure.caption, kMbOk | kMbIconError, app.mainWindow);
}

BOOL CALLBACK CollectMonitor(HMONITOR, HDC, LPRECT rect, LPARAM data) {
  reinterpret_cast<std::vector<RECT>*>(data)->push_back(*rect);
  return TRUE;
}

void PlaceWindow(AppState& app) {
  const Settings& s = app.settings;
  SetWindowPos(app.mainWindow, nullptr, SettingInt(s, "Window", "PositionX"),
               SettingInt(s, "Window", "PositionY"), SettingInt(s, "Window", "Width"),
               SettingInt(s, "Window", "Height"), SWP_NOZORDER | SWP_NOACTIVATE);
}

void LayoutPanes(AppState& app) {
  if (!app.statusBar) return;
  if (app.rebar) SendMessageA(app.rebar, WM_SIZE, 0, 0);
  LayoutStatusBar(app);
  RECT client{}, status{};
  GetClientRect(app.mainWindow, &client);
  GetWindowRect(app.statusBar, &status);
  int top = RebarHeight(app);
  int width = client.right;
  int height = std::max<int>(client.bottom - (status.bottom - status.top) - top, 0);
  int left = std::min(SettingInt(app.settings, "Window", "SeparateX"), std::max(width - 40, 0));
  int treeHeight = std::max(SettingInt(app.settings, "Window", "SeparateY") - kSeparatorButtonHeight, 0);
  treeHeight = std::min(treeHeight, std::max(height - kSeparatorButtonHeight, 0));
  MoveWindow(app.queryTree, 0, top, left, treeHeight, TRUE);
  MoveWindow(app.separatorButton, 0, top + treeHeight, left, kSeparatorButtonHeight, TRUE);
  int groupTop = treeHeight + kSeparatorButtonHeight;
  groupTop += LayoutGroupTabs(app, 0, top + groupTop, left);
  MoveWindow(app.groupList, 0, top + groupTop, left, std::max(height - groupTop, 0), TRUE);
  int snapHeight = std::min(SettingInt(app.settings, "SnapShot", "Width") * 3 / 4, height / 2);
  int right = left + kSplitterWidth;
  MoveWindow(app.snapPane, right, top, std::max(width - right, 0), snapHeight, TRUE);
  MoveWindow(app.itemList, right, top + snapHeight, std::max(width - right, 0), std::max(height - snapHeight, 0), TRUE);
}

// Steps after the window exists: placement, folders, status bar, tray,
// timers, the message hook and the power request.
void FinishCreation(AppState& app) {
  PlaceWindow(app);
  CreateFolder(app.paths.tempFolder);
  CreateFolder(app.paths.colorThemeFolder);
  RebuildMasterIcons(app);
  CreateRebar(app);
  CreateStatusBar(app);
  // Scroll Lock comes back as it was at the last exit.
  if (((GetKeyState(VK_SCROLL) & 1) != 0) != (SettingInt(app.settings, "KeyState", "ScrlLk") == 1)) {
    keybd_event(VK_SCROLL, 0, 0, 0);
    keybd_event(VK_SCROLL, 0, KEYEVENTF_KEYUP, 0);
  }
  AddTrayIcon(app);
  DragAcceptFiles(app.snapPane, TRUE);
  SetTimer(app.mainWindow, kTimer1, 300, nullptr);
  StartPadInput(app);
  SetTimer(app.mainWindow, kTimer2, 25, nullptr);
  StartDemoSupport(app);
  if (!InstallMessageHook(app))
    ShowMessage(Jp("フックのインストールに失敗しました"), "hHook", kMbOk, app.mainWindow);
  ShowShortcutKeysInMenus(app, CurrentShortcutKeys());
  SetThreadExecutionState(ES_CONTINUOUS | ES_SYSTEM_REQUIRED | ES_DISPLAY_REQUIRED);
}

LRESULT OnCreate(HWND window) {
  AppState& app = App();
  app.mainWindow = window;
  CreateChildControls(app);
  MakeSeparatorDraggable(app);
  PrepareInterface(app);
  PrepareItemListPanes(app);
  ReadPaneColours(app);
  ApplyPaneStyle(app);
  PrepareInfoPane(app);
  ConnectSearch(app);
  LONG prepared = PrepareLibraryDatabase(app);
  if (prepared == -1) {
    // The configured library could not be prepared: the user may go on with
    // the default one.
    const std::string configured = app.databasePath;
    if (OfferDefaultLibrary(app)) {
      ReleaseDatabaseLock(configured, app.regexExtensionPath, ComputerName());
      prepared = PrepareLibraryDatabase(app);
    }
  }
  if (prepared == -1) {
    app.startupFailed = true;
    // This instance never reaches its close: give the shared library back now.
    ReleaseDatabaseLock(app.databasePath, app.regexExtensionPath, ComputerName());
    EndProgram(app);
    return -1;
  }
  LoadMasterLists(app);
  if (HasOption(app.commandLine, Option::RebuildMaster)) {
    ShowMessage(Jp("マスタ管理の連番処理を行います"), "", kMbOk, window);
    for (const char* stem : kMasterStems)
      if (auto failure = RenumberMasterTable(app.mainDb, stem)) ReportRenumberFailure(app, *failure);
    LoadMasterLists(app);
  }
  // Icons shipped under default_icon follow the program folder when it moved.
  for (MasterKind kind : kMasterKinds) RepairMasterIconPaths(app.mainDb, kind, app.paths.base, window);
  EnumDisplayMonitors(nullptr, nullptr, CollectMonitor, reinterpret_cast<LPARAM>(&app.monitors));
  FinishCreation(app);
  return 0;
}

void OnFirstPaint(AppState& app) {
  if (!HasOption(app.commandLine, Option::NoSplash)) ShowWaitWindow(app);
  int maximize = ReadProfileInt("Window", "Maximize", 0, LayoutFile(app.paths, app.layoutMode));
  ShowWindow(app.mainWindow, maximize == 1 ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL);
  PrepareItemView(app);
  RestoreLastQuery(app);
  UpdateHistoryButtons(app);
  FillQueryTree(app);
  app.firstPaintStage = kFirstPaintFinishing;
  OpenMemoViewAtStart(app);
  OpenSnapViewAtStart(app);
  LayoutPanes(app);
  UpdateStatusIcons(app);
  ShowTitleCount(app);
  HideWaitWindow(app);
  RedrawWindow(app.mainWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
  app.firstPaintStage = kFirstPaintDone;
}

void OnPaint(HWND window) {
  AppState& app = App();
  PAINTSTRUCT paint;
  BeginPaint(window, &paint);
  EndPaint(window, &paint);
  // A message box during the first paint paints again inside its own loop.
  static bool inFirstPaint = false;
  if (app.firstPaintStage == kBeforeFirstPaint) {
    if (inFirstPaint) return;
    inFirstPaint = true;
    OnFirstPaint(app);
    inFirstPaint = false;
  } else if (app.firstPaintStage == kFirstPaintDone) {
    app.firstPaintStage = kBroughtToFront;
    ShowWindow(window, SW_SHOW);
    SetForegroundWindow(window);
    SetFocus(app.itemList);
  }
}

void ShowTrayMenu(AppState& app) {
  HMENU menu = GetSubMenu(app.trayMenu, 0);
  EnableMenuItem(menu, kCmdTrayStopWaiting, MF_BYCOMMAND | (WindowWaitAborted() ? MF_GRAYED : MF_ENABLED));
  POINT at{};
  GetCursorPos(&at);
  SetForegroundWindow(app.mainWindow);
  // The chosen command comes back here, so it is run here.
  UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, app.mainWindow, nullptr);
  if (chosen != 0) RunCommand(app, static_cast<int>(chosen));
}

// A right click on a row selects it and opens the 編集 menu there; below the
// last row nothing opens.
void ShowItemContextMenu(AppState& app) {
  POINT at{};
  GetCursorPos(&at);
  LVHITTESTINFO hit{};
  hit.pt = at;
  ScreenToClient(app.itemList, &hit.pt);
  int row = ListView_HitTest(app.itemList, &hit);
  if (row < 0) return;
  if (!(ListView_GetItemState(app.itemList, row, LVIS_SELECTED) & LVIS_SELECTED)) {
    ListView_SetItemState(app.itemList, -1, 0, LVIS_SELECTED);
    ListView_SetItemState(app.itemList, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }
  TrackPopupMenu(GetSubMenu(app.mainMenu, 1), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0, app.mainWindow,
                 nullptr);
}

LRESULT OnNotify(AppState& app, const NMHDR& header) {
  if (header.hwndFrom == app.itemList && header.code == NM_RCLICK) {
    ShowItemContextMenu(app);
    return 0;
  }
  // A right drag on the item list opens the information pane's menu there.
  if (header.hwndFrom == app.itemList && header.code == LVN_BEGINRDRAG) {
    POINT at{};
    GetCursorPos(&at);
    ShowInformationMenu(app, at);
    return 0;
  }
  if (LRESULT handled = 0; HandleItemListNotify(app, header, handled)) return handled;
  if (HandleQueryTreeNotify(app, header)) return 0;
  if (header.hwndFrom == app.rebar && header.code == RBN_HEIGHTCHANGE) {
    LayoutPanes(app);
  } else if (header.hwndFrom == app.queryTree && header.code == NM_RCLICK) {
    POINT at{};
    GetCursorPos(&at);
    TrackPopupMenu(GetSubMenu(app.queryContextMenu, 0), TPM_LEFTALIGN | TPM_RIGHTBUTTON, at.x, at.y, 0,
                   app.mainWindow, nullptr);
  } else if (header.hwndFrom == app.statusBar && header.code == NM_CLICK) {
    OnStatusBarClick(app, static_cast<int>(reinterpret_cast<const NMMOUSE&>(header).dwItemSpec));
  }
  return 0;
}

// Button 1004 closes the query tree (keeping its height) or opens it again.
void ToggleSeparator(AppState& app) {
  Settings& s = app.settings;
  if (SettingInt(s, "Window", "SeparateClose") == 1) {
    SetSetting(s, "Window", "SeparateY", SettingInt(s, "Window", "SeparateYtmp"));
    SetSetting(s, "Window", "SeparateClose", 0);
  } else {
    SetSetting(s, "Window", "SeparateYtmp", SettingInt(s, "Window", "SeparateY"));
    SetSetting(s, "Window", "SeparateY", kSeparatorButtonHeight);
    SetSetting(s, "Window", "SeparateClose", 1);
  }
  LayoutPanes(app);
}

// Button 1004 is also the separator between the query tree and the group
// list: dragging it up or down sets SeparateY, a click without a drag
// toggles it as before.
struct SeparatorDrag {
  bool pressed = false;
  bool dragging = false;
  int grabOffset = 0;  // from the button's top to the pointer, in pixels
  int startY = 0;
};
SeparatorDrag gSeparatorDrag;
constexpr int kDragThreshold = 4;

int PointerYInMainWindow(AppState& app, LPARAM lParam) {
  POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
  MapWindowPoints(app.separatorButton, app.mainWindow, &at, 1);
  return at.y;
}

void DragSeparatorTo(AppState& app, int pointerY) {
  RECT client{}, status{};
  GetClientRect(app.mainWindow, &client);
  GetWindowRect(app.statusBar, &status);
  int top = RebarHeight(app);
  int height = std::max<int>(client.bottom - (status.bottom - status.top) - top, kSeparatorButtonHeight);
  int buttonTop = pointerY - gSeparatorDrag.grabOffset - top;
  int separateY = std::clamp(buttonTop + kSeparatorButtonHeight, kSeparatorButtonHeight,
                             std::max(height - kSeparatorButtonHeight, kSeparatorButtonHeight));
  Settings& s = app.settings;
  SetSetting(s, "Window", "SeparateClose", separateY > kSeparatorButtonHeight ? 0 : 1);
  SetSetting(s, "Window", "SeparateY", separateY);
  LayoutPanes(app);
}

LRESULT CALLBACK SeparatorButtonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam) {
  AppState& app = App();
  auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(button, GWLP_USERDATA));
  SeparatorDrag& drag = gSeparatorDrag;
  switch (message) {
    case WM_SETCURSOR:
      SetCursor(LoadCursor(nullptr, IDC_SIZENS));
      return TRUE;
    case WM_LBUTTONDOWN: {
      RECT r{};
      GetWindowRect(button, &r);
      MapWindowPoints(nullptr, app.mainWindow, reinterpret_cast<POINT*>(&r), 2);
      drag.pressed = true;
      drag.dragging = false;
      drag.startY = PointerYInMainWindow(app, lParam);
      drag.grabOffset = drag.startY - r.top;
      SetCapture(button);
      return 0;
    }
    case WM_MOUSEMOVE:
      if (!drag.pressed) break;
      if (!drag.dragging && std::abs(PointerYInMainWindow(app, lParam) - drag.startY) >= kDragThreshold)
        drag.dragging = true;
      if (drag.dragging) DragSeparatorTo(app, PointerYInMainWindow(app, lParam));
      return 0;
    case WM_LBUTTONUP: {
      if (!drag.pressed) break;
      bool clicked = !drag.dragging;
      drag.pressed = drag.dragging = false;
      if (GetCapture() == button) ReleaseCapture();
      if (clicked)
        SendMessageA(app.mainWindow, WM_COMMAND, MAKEWPARAM(kSeparatorButtonId, BN_CLICKED),
                     reinterpret_cast<LPARAM>(button));
      return 0;
    }
    case WM_CAPTURECHANGED:
      drag.pressed = drag.dragging = false;
      break;
  }
  return CallWindowProcA(original, button, message, wParam, lParam);
}

void MakeSeparatorDraggable(AppState& app) {
  SetWindowLongPtrA(app.separatorButton, GWLP_USERDATA, GetWindowLongPtrA(app.separatorButton, GWLP_WNDPROC));
  SetWindowLongPtrA(app.separatorButton, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SeparatorButtonProcedure));
}

bool OverSplitter(AppState& app, int x) {
  int left = SettingInt(app.settings, "Window", "SeparateX");
  return x >= left && x < left + kSplitterWidth;
}

// Dragging the gap between the left column and the right side.
bool OnSplitterMouse(AppState& app, UINT message, int x) {
  RECT client{};
  GetClientRect(app.mainWindow, &client);
  switch (message) {
    case WM_LBUTTONDOWN:
      if (!OverSplitter(app, x)) return false;
      gDraggingSplitter = true;
      SetCapture(app.mainWindow);
      return true;
    case WM_MOUSEMOVE:
      if (!gDraggingSplitter) return false;
      SetSetting(app.settings, "Window", "SeparateX", std::clamp<int>(x, 40, std::max<int>(client.right - 40, 40)));
      LayoutPanes(app);
      return true;
    case WM_LBUTTONUP:
      if (!gDraggingSplitter) return false;
      gDraggingSplitter = false;
      ReleaseCapture();
      return true;
  }
  return false;
}

void OnTimer(AppState& app, UINT_PTR timer) {
  if (OnDemoTimer(app, timer)) return;
  if (timer == kMenuTrackingTimer) TrackMenuButtons(app);
  if (timer == kTimer1) RefreshScrollLockIcon(app);
  OnPadTimer(app, timer);
}

// The toolbar bands as this session left them, then every setting.
void SaveSession(AppState& app) {
  RememberRebarBands(app);
  SaveSettingsAtExit(app);
}

// What a close gives back and keeps: the shared library's lock and the
// settings. Runs once, at the close or when Windows ends the session.
void EndSession(AppState& app) {
  static bool ended = false;
  if (ended || app.startupFailed) return;
  ended = true;
  ReleaseDatabaseLock(app.databasePath, app.regexExtensionPath, ComputerName());
  SaveSession(app);
}

void OnDestroy(AppState& app) {
  if (app.startupFailed) return;
  EndSession(app);
  StopCandidateThread();
  CloseSqlErrorDialog();
  EndProgram(app);
}

}  // namespace

void LoadMasterLists(AppState& app) {
  struct List {
    const char* stem;
    std::vector<std::string>* names;
  } lists[] = {{"machine", &app.masters.machines}, {"genre", &app.masters.genres},
               {"media", &app.masters.media}, {"adultex", &app.masters.adultex}};
  for (const List& list : lists)
    if (auto error = LoadMasterNames(app.mainDb, list.stem, *list.names))
      ShowMessage(std::string(list.stem) + Jp(" 参照エラー\n") + Utf8ToAnsi(*error), Jp("DBエラー"),
                  kMbOk | kMbIconError, app.mainWindow);
}

void SwitchLayout(AppState& app) {
  if (ShowMessage(Jp("ウィンドウレイアウトを切り替えて再起動します"), Jp("確認"),
                  kMbYesNo | kMbIconQuestion, app.mainWindow) != kIdYes)
    return;
  if (!MemoViewAllowsClose(app)) return;
  if (!WriteSettingsFile(app.paths.settingsFile,
                         {{"Window", "BigPictureMode", app.layoutMode == 1 ? "0" : "1"}})) {
    ShowMessage(Jp("設定ファイルに書き込めませんでした。\n") + app.paths.settingsFile, Jp("エラー"),
                kMbOk | kMbIconError, app.mainWindow);
    return;
  }
  SaveSession(app);
  app.layoutMode = kLayoutSavedForRestart;
  RestartProgram(app, "-rebootwait");
}

LRESULT CALLBACK MainWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  AppState& app = App();
  switch (message) {
    case WM_CREATE: return OnCreate(window);
    case WM_PAINT: OnPaint(window); return 0;
    case WM_SIZE: LayoutPanes(app); return 0;
    case WM_MOVE: MemoViewTrackMainWindow(app); return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kSeparatorButtonId) ToggleSeparator(app);
      else RunCommand(app, LOWORD(wParam));
      return 0;
    case WM_LBUTTONDOWN:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
      if (OnSplitterMouse(app, message, static_cast<short>(LOWORD(lParam)))) return 0;
      break;
    case WM_SETCURSOR:
      if (reinterpret_cast<HWND>(wParam) == window && LOWORD(lParam) == HTCLIENT) {
        POINT at{};
        GetCursorPos(&at);
        ScreenToClient(window, &at);
        if (OverSplitter(app, at.x)) {
          SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
          return TRUE;
        }
      }
      break;
    case WM_NOTIFY: return OnNotify(app, *reinterpret_cast<NMHDR*>(lParam));
    case WM_DRAWITEM:
      if (DrawListRow(app, *reinterpret_cast<const DRAWITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_MEASUREITEM:
      if (MeasureListRow(app, *reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
      break;
    case WM_INITMENUPOPUP: FillMenuOnOpen(app, reinterpret_cast<HMENU>(wParam)); return 0;
    case WM_ENTERMENULOOP: KillTimer(window, kTimer1); return 0;
    case WM_EXITMENULOOP: SetTimer(window, kTimer1, 300, nullptr); return 0;
    case WM_TIMER: OnTimer(app, wParam); return 0;
    case WM_CLOSE:
      if (!MemoViewAllowsClose(app)) return 0;  // a modified memo: Cancel keeps the program
      DestroyWindow(window);
      return 0;
    case WM_DESTROY: OnDestroy(app); return 0;
    case WM_QUERYENDSESSION: return TRUE;
    // Windows ends the process after this without WM_DESTROY.
    case WM_ENDSESSION:
      if (wParam) EndSession(app);
      return 0;
    default:
      if (message == kTrayCallbackMessage) {
        if (lParam == WM_RBUTTONUP) ShowTrayMenu(app);
        return 0;
      }
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace vel
