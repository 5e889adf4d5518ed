#include "app/rebar_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "core/dialog_window_win.h"
#include "core/menu_tree.h"
#include "core/settings_file.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "search/candidate_window_win.h"

namespace vel {
namespace {

constexpr int kBands = 4;
constexpr int kSearchTargetId = 2101;
constexpr int kSearchTextId = 2102;

struct MenuTracking {
  int open = -1;     // the menu shown now
  int pending = -1;  // the menu to show next
};
MenuTracking gTracking;

std::string BandKey(int position) { return "CoolBar_" + std::to_string(position); }

HWND MakeToolbar(AppState& app, HWND parent, DWORD extraStyle) {
  HWND toolbar = CreateWindowExA(0, TOOLBARCLASSNAMEA, "",
                                 WS_CHILD | WS_VISIBLE | TBSTYLE_FLAT | TBSTYLE_TOOLTIPS | CCS_NORESIZE |
                                     CCS_NODIVIDER | CCS_NOPARENTALIGN | extraStyle,
                                 0, 0, 0, 0, parent, nullptr, app.instance, nullptr);
  SendMessageA(toolbar, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  SendMessageA(toolbar, TB_SETPARENT, reinterpret_cast<WPARAM>(app.mainWindow), 0);
  return toolbar;
}

HWND MakeMenuToolbar(AppState& app, HWND rebar) {
  HWND toolbar = MakeToolbar(app, rebar, TBSTYLE_LIST);
  SendMessageA(toolbar, WM_SETFONT, reinterpret_cast<WPARAM>(app.uiFonts[0]), TRUE);
  SendMessageA(toolbar, TB_SETIMAGELIST, 0, 0);
  const std::vector<MenuEntry>& menus = MainMenus();
  for (size_t i = 0; i < menus.size(); ++i) {
    std::string caption = Jp(menus[i].text);
    TBBUTTON button{};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = kCmdMenuButtonFirst + static_cast<int>(i);
    button.fsState = TBSTATE_ENABLED;
    button.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE | BTNS_SHOWTEXT;
    button.iString = reinterpret_cast<INT_PTR>(caption.c_str());
    SendMessageA(toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
  }
  return toolbar;
}

HWND MakeBitmapToolbar(AppState& app, HWND rebar, const std::string& bitmap, const int* commands, int count) {
  HWND toolbar = MakeToolbar(app, rebar, 0);
  HIMAGELIST images = ImageList_LoadImageA(nullptr, bitmap.c_str(), 16, 0, RGB(255, 0, 255), IMAGE_BITMAP,
                                           LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(images));
  for (int i = 0; i < count; ++i) {
    TBBUTTON button{};
    button.iBitmap = images ? i : I_IMAGENONE;
    button.idCommand = commands[i];
    button.fsState = HasCommand(commands[i]) ? TBSTATE_ENABLED : 0;
    button.fsStyle = BTNS_BUTTON;
    SendMessageA(toolbar, TB_ADDBUTTONSA, 1, reinterpret_cast<LPARAM>(&button));
  }
  return toolbar;
}

LRESULT CALLBACK SearchTextProcedure(HWND edit, UINT message, WPARAM wParam, LPARAM lParam) {
  auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrA(edit, GWLP_USERDATA));
  if (message == WM_GETDLGCODE) return DLGC_WANTALLKEYS | CallWindowProcA(original, edit, message, wParam, lParam);
  if (message == WM_CHAR && (wParam == VK_RETURN || wParam == VK_ESCAPE)) return 0;  // no beep
  if (message == WM_KEYDOWN && (wParam == VK_UP || wParam == VK_DOWN || wParam == VK_PRIOR || wParam == VK_NEXT)) {
    if (CandidateStep(App(), wParam)) return 0;
    // With no drop-down shown, Up and Down open the texts searched before.
    if (wParam == VK_UP || wParam == VK_DOWN) {
      ShowSearchHistory(App());
      return 0;
    }
  }
  if (message == WM_LBUTTONDBLCLK && !CandidatesShown()) ShowSearchHistory(App());
  if (message == WM_KEYDOWN && wParam == VK_ESCAPE) HideCandidates(App());
  if (message == WM_KEYDOWN && wParam == VK_RETURN) {
    AppState& app = App();
    HideCandidates(app);
    std::string text = WindowText(edit);
    int target = static_cast<int>(SendMessageA(GetDlgItem(GetParent(edit), kSearchTargetId), CB_GETCURSEL, 0, 0));
    SearchFromSearchBox(app, text, target < 0 ? 0 : target);
    return 0;
  }
  return CallWindowProcA(original, edit, message, wParam, lParam);
}

// The search window keeps its text box as wide as the band gives it.
LRESULT CALLBACK SearchBoxProcedure(HWND box, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND && LOWORD(wParam) == kSearchTextId && HIWORD(wParam) == EN_CHANGE) {
    OnSearchTextChanged(App());
    return 0;
  }
  if (message == WM_SIZE) {
    int width = LOWORD(lParam);
    MoveWindow(GetDlgItem(box, kSearchTextId), 114, 1, std::max(width - 116, 40), 24, TRUE);
    return 0;
  }
  return DefWindowProcA(box, message, wParam, lParam);
}

HWND MakeSearchBox(AppState& app, HWND rebar) {
  HWND box = CreateWindowExA(WS_EX_CONTROLPARENT, kDialogClassName, "SearchDlgBar", WS_CHILD | WS_VISIBLE, 0, 0,
                             300, 26, rebar, nullptr, app.instance, nullptr);
  const char* targets[] = {"あいまい検索", "ファイルパス", "タイトル", "メーカー/開発元", "ジャンル",
                           "バージョン/コメント", "クリエイター", "メモ", "発売年月日", "SQL検索"};
  HWND combo = AddControl(box, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0, 1, 110, 300,
                          kSearchTargetId);
  for (const char* t : targets) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Jp(t).c_str()));
  SendMessageA(combo, CB_SETCURSEL, 0, 0);
  HWND edit = AddControl(box, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 114, 1, 186, 24, kSearchTextId);
  SendMessageA(edit, EM_LIMITTEXT, 256, 0);
  int fontHeight = SettingInt(app.settings, "etcSetting", "SearchFontHeight");
  if (fontHeight != 0) {
    HFONT font = CreateFontA(fontHeight, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, ReadFontSetting(app.settings, "ItemListFont", "Normal").face.c_str());
    SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  SetWindowLongPtrA(edit, GWLP_USERDATA, GetWindowLongPtrA(edit, GWLP_WNDPROC));
  SetWindowLongPtrA(edit, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SearchTextProcedure));
  SetWindowLongPtrA(box, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(SearchBoxProcedure));
  app.searchBox = box;
  app.searchText = edit;
  app.searchTarget = combo;
  return box;
}

void AddBand(HWND rebar, HWND child, int id, int width, bool lineBreak, bool locked) {
  SIZE size{};
  RECT rect{};
  if (SendMessageA(child, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&size)) == 0) {
    GetWindowRect(child, &rect);
    size.cx = rect.right - rect.left;
    size.cy = rect.bottom - rect.top;
  }
  REBARBANDINFOA band{};
  band.cbSize = sizeof band;
  band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_SIZE | RBBIM_STYLE | RBBIM_ID;
  band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS | (lineBreak ? RBBS_BREAK : 0) | (locked ? RBBS_NOGRIPPER : 0);
  band.hwndChild = child;
  band.cxMinChild = id == 1 ? 260 : size.cx;
  band.cyMinChild = std::max<LONG>(size.cy, 24);
  band.cx = width;
  band.wID = static_cast<UINT>(id);
  SendMessageA(rebar, RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band));
}

}  // namespace

void CreateRebar(AppState& app) {
  app.rebar = CreateWindowExA(WS_EX_TOOLWINDOW, REBARCLASSNAMEA, "",
                              WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_VARHEIGHT |
                                  RBS_BANDBORDERS | CCS_NODIVIDER | CCS_TOP,
                              0, 0, 0, 0, app.mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kRebarId)),
                              app.instance, nullptr);
  REBARINFO info{sizeof info, 0, nullptr};
  SendMessageA(app.rebar, RB_SETBARINFO, 0, reinterpret_cast<LPARAM>(&info));
  static const int mainCommands[] = {kCmdLaunchDefault, kCmdEditRecord, kCmdMasterMachine, kCmdMasterMedia,
                                     kCmdMasterGenre,   kCmdMasterAdultex, kCmdAddImages};
  static const int historyCommands[] = {kCmdHistoryBack, kCmdHistoryForward};
  HWND children[kBands] = {
      MakeMenuToolbar(app, app.rebar), MakeSearchBox(app, app.rebar),
      MakeBitmapToolbar(app, app.rebar, app.paths.base + "\\resource\\toolbar.bmp", mainCommands, 7),
      MakeBitmapToolbar(app, app.rebar, app.paths.base + "\\resource\\HistBar.bmp", historyCommands, 2)};
  app.menuToolbar = children[0];
  app.historyToolbar = children[3];
  bool locked = SettingInt(app.settings, "CoolBar", "Fix") == 1;
  CheckMenuItem(app.mainMenu, kCmdLockToolbars, MF_BYCOMMAND | (locked ? MF_CHECKED : MF_UNCHECKED));
  bool placed[kBands] = {};
  for (int position = 0; position < kBands; ++position) {
    int id = SettingInt(app.settings, BandKey(position), "ID");
    if (id < 0 || id >= kBands || placed[id]) id = position;  // a broken order falls back to the default
    for (int k = 0; placed[id] && k < kBands; ++k) id = k;
    placed[id] = true;
    AddBand(app.rebar, children[id], id, SettingInt(app.settings, BandKey(position), "Width"),
            SettingInt(app.settings, BandKey(position), "Break") == 1, locked);
  }
}

int RebarHeight(AppState& app) {
  if (!app.rebar) return 0;
  RECT rect{};
  GetWindowRect(app.rebar, &rect);
  return rect.bottom - rect.top;
}

void RememberRebarBands(AppState& app) {
  if (!app.rebar) return;
  int count = static_cast<int>(SendMessageA(app.rebar, RB_GETBANDCOUNT, 0, 0));
  for (int position = 0; position < count && position < kBands; ++position) {
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_ID | RBBIM_SIZE | RBBIM_STYLE;
    if (!SendMessageA(app.rebar, RB_GETBANDINFOA, static_cast<WPARAM>(position), reinterpret_cast<LPARAM>(&band)))
      continue;
    SetSetting(app.settings, BandKey(position), "ID", static_cast<int>(band.wID));
    SetSetting(app.settings, BandKey(position), "Width", static_cast<int>(band.cx));
    SetSetting(app.settings, BandKey(position), "Break", (band.fStyle & RBBS_BREAK) ? 1 : 0);
  }
}

void ToggleToolbarLock(AppState& app) {
  int locked = SettingInt(app.settings, "CoolBar", "Fix") == 1 ? 0 : 1;
  SetSetting(app.settings, "CoolBar", "Fix", locked);
  WriteSettingsFile(LayoutFile(app.paths, app.layoutMode), {{"CoolBar", "Fix", std::to_string(locked)}});
  int count = static_cast<int>(SendMessageA(app.rebar, RB_GETBANDCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_STYLE;
    SendMessageA(app.rebar, RB_GETBANDINFOA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&band));
    band.fStyle = locked ? ((band.fStyle | RBBS_NOGRIPPER) & ~RBBS_GRIPPERALWAYS)
                         : ((band.fStyle | RBBS_GRIPPERALWAYS) & ~RBBS_NOGRIPPER);
    SendMessageA(app.rebar, RB_SETBANDINFOA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&band));
  }
  CheckMenuItem(app.mainMenu, kCmdLockToolbars, MF_BYCOMMAND | (locked ? MF_CHECKED : MF_UNCHECKED));
}

void OpenMenuOfButton(AppState& app, int index) {
  for (gTracking.pending = index; gTracking.pending >= 0;) {
    int showing = gTracking.pending;
    gTracking.pending = -1;
    gTracking.open = showing;
    RECT rect{};
    SendMessageA(app.menuToolbar, TB_GETRECT, static_cast<WPARAM>(kCmdMenuButtonFirst + showing),
                 reinterpret_cast<LPARAM>(&rect));
    MapWindowPoints(app.menuToolbar, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    SendMessageA(app.menuToolbar, TB_PRESSBUTTON, static_cast<WPARAM>(kCmdMenuButtonFirst + showing), TRUE);
    SetTimer(app.mainWindow, kMenuTrackingTimer, 70, nullptr);
    TrackPopupMenu(GetSubMenu(app.mainMenu, showing), TPM_LEFTALIGN | TPM_TOPALIGN, rect.left, rect.bottom, 0,
                   app.mainWindow, nullptr);
    KillTimer(app.mainWindow, kMenuTrackingTimer);
    SendMessageA(app.menuToolbar, TB_PRESSBUTTON, static_cast<WPARAM>(kCmdMenuButtonFirst + showing), FALSE);
  }
  gTracking.open = -1;
}

void TrackMenuButtons(AppState& app) {
  if (gTracking.open < 0) return;
  POINT at{};
  GetCursorPos(&at);
  ScreenToClient(app.menuToolbar, &at);
  int hit = static_cast<int>(SendMessageA(app.menuToolbar, TB_HITTEST, 0, reinterpret_cast<LPARAM>(&at)));
  if (hit >= 0 && hit < static_cast<int>(MainMenus().size()) && hit != gTracking.open) {
    gTracking.pending = hit;
    EndMenu();
  }
}

}  // namespace vel
