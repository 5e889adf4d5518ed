#include "app/status_bar_win.h"

#include <commctrl.h>

#include "app/main_window_win.h"
#include "core/app_state_win.h"
#include "launch/snapshot_capture.h"
#include "input/soft_keyboard_win.h"
#include "platform/codepage.h"

namespace vel {
namespace {

constexpr int kParts = 9;
constexpr int kIconPartWidth = 24;

enum StatusImage { kDllSafe, kDllCaution, kLayoutNormal, kLayoutBigPicture, kKeyboard, kScrollOff, kScrollOn, kSnapFirst };

HIMAGELIST gImages = nullptr;
HICON gIcons[kParts] = {};
bool gScrollLockShown = false;  // the state part 7 shows

void SetIcon(AppState& app, int part, int image, const std::string& tip) {
  if (gIcons[part]) DestroyIcon(gIcons[part]);
  gIcons[part] = gImages ? ImageList_GetIcon(gImages, image, ILD_NORMAL) : nullptr;
  SendMessageA(app.statusBar, SB_SETICON, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(gIcons[part]));
  SendMessageA(app.statusBar, SB_SETTIPTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(tip.c_str()));
}

}  // namespace

void CreateStatusBar(AppState& app) {
  app.statusBar = CreateWindowExA(0, STATUSCLASSNAMEA, "",
                                  WS_CHILD | WS_VISIBLE | CCS_BOTTOM | SBARS_SIZEGRIP | SBARS_TOOLTIPS, 0, 0, 0, 0,
                                  app.mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kStatusBarId)),
                                  app.instance, nullptr);
  SendMessageA(app.statusBar, WM_SETFONT, reinterpret_cast<WPARAM>(app.uiFonts[0]), TRUE);
  gImages = ImageList_LoadImageA(nullptr, (app.paths.base + "\\resource\\images.bmp").c_str(), 16, 0,
                                 RGB(255, 0, 255), IMAGE_BITMAP, LR_LOADFROMFILE | LR_CREATEDIBSECTION);
  LayoutStatusBar(app);
}

void LayoutStatusBar(AppState& app) {
  if (!app.statusBar) return;
  SendMessageA(app.statusBar, WM_SIZE, 0, 0);
  RECT client{};
  GetClientRect(app.mainWindow, &client);
  int right = client.right;
  int ends[kParts] = {130, 250, std::max(250, right - 230), 0, 0, 0, 0, 0, 0};
  ends[3] = ends[2] + 110;
  for (int part = 4; part < kParts; ++part) ends[part] = ends[part - 1] + kIconPartWidth;
  SendMessageA(app.statusBar, SB_SETPARTS, kParts, reinterpret_cast<LPARAM>(ends));
}

void UpdateStatusIcons(AppState& app) {
  if (!app.statusBar) return;
  bool safe = SettingInt(app.settings, "etcSetting", "DLLSafeLoad") == 1;
  SetIcon(app, 4, safe ? kDllSafe : kDllCaution,
          safe ? Jp("[安全] DLLロード(LoadLibrary)はWindowsシステムディレクトリに固定")
               : Jp("[注意] DLLロード(LoadLibrary)はPATHの通った全ディレクトリが対象：全体設定で変更できます"));
  bool bigPicture = app.layoutMode == 1;
  SetIcon(app, 5, bigPicture ? kLayoutBigPicture : kLayoutNormal,
          bigPicture ? "Switch Normal Layout" : "Switch BigPicture Layout");
  SetIcon(app, 6, kKeyboard, "Software Keyboard");
  gScrollLockShown = (GetKeyState(VK_SCROLL) & 1) != 0;
  SetIcon(app, 7, gScrollLockShown ? kScrollOn : kScrollOff, "Scroll Lock");
  SetIcon(app, 8, kSnapFirst + app.autoSnapMode, CaptureModeTip(app.autoSnapMode));
}

void RefreshScrollLockIcon(AppState& app) {
  if (!app.statusBar) return;
  bool on = (GetKeyState(VK_SCROLL) & 1) != 0;
  if (on == gScrollLockShown) return;
  gScrollLockShown = on;
  SetIcon(app, 7, on ? kScrollOn : kScrollOff, "Scroll Lock");
}

void OnStatusBarClick(AppState& app, int part) {
  switch (part) {
    case 5: SwitchLayout(app); break;
    case 6: ToggleSoftKeyboard(app); break;
    case 7:
      keybd_event(VK_SCROLL, 0, 0, 0);
      Sleep(30);
      keybd_event(VK_SCROLL, 0, KEYEVENTF_KEYUP, 0);
      break;
    case 8: app.autoSnapMode = NextCaptureMode(app.autoSnapMode); break;
    default: return;
  }
  UpdateStatusIcons(app);
}

void SetStatusText(AppState& app, int part, const std::string& text) {
  if (app.statusBar) SendMessageA(app.statusBar, SB_SETTEXTA, static_cast<WPARAM>(part), reinterpret_cast<LPARAM>(text.c_str()));
}

void ShowTitleCount(AppState& app) {
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  if (db.Query("SELECT COUNT(*) FROM main_table WHERE ply<2;")) return;
  SetStatusText(app, 0, Jp(" 全タイトル数: ") + db.Cell(1, 0));
}

}  // namespace vel
