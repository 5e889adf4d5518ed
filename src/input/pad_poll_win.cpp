#include "input/pad_poll_win.h"

#include <commctrl.h>

#include <memory>

#include "core/app_state_win.h"
#include "core/menu_tree.h"
#include "core/shell_services_win.h"
#include "launch/launch_run_win.h"
#include "platform/synthetic_input.h"
#include "input/soft_keyboard_win.h"
#include "search/item_list_win.h"

namespace vel {
namespace {

struct PadState {
  PadSettings settings;
  bool enabledAtStart = false;
  bool dialogOpen = false;
  PadConnections connections;
  PadUiPoll uiPoll;
  PadExitPoll exitPoll;
  bool exitTimerRunning = false;
  bool exitSent = false;  // the current exit request was answered
  std::unique_ptr<InputHost> keys;
};

PadState& Pad() {
  static PadState state;
  return state;
}

constexpr UINT kFlashMs = 200;

// The main window, or a window it owns, is in front.
bool OwnWindowInFront(const AppState& app) {
  HWND front = GetForegroundWindow();
  return front && (front == app.mainWindow || GetAncestor(front, GA_ROOTOWNER) == app.mainWindow);
}

void CALLBACK EndFlash(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  HWND control = reinterpret_cast<HWND>(id);
  if (IsWindow(control)) RedrawWindow(control, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ERASE | RDW_ALLCHILDREN);
}

// A frame in the flash colour around the control, taken away shortly after.
void Flash(AppState& app, HWND control) {
  HDC dc = GetWindowDC(control);
  if (!dc) return;
  RECT r{};
  GetWindowRect(control, &r);
  OffsetRect(&r, -r.left, -r.top);
  HBRUSH brush = CreateSolidBrush(static_cast<COLORREF>(Pad().settings.flashColour));
  for (int i = 0; i < 3; ++i) {
    FrameRect(dc, &r, brush);
    InflateRect(&r, -1, -1);
  }
  DeleteObject(brush);
  ReleaseDC(control, dc);
  SetTimer(app.mainWindow, reinterpret_cast<UINT_PTR>(control), kFlashMs, EndFlash);
}

// The operating focus goes round the item list, the group list (while it
// shows) and the query tree.
void FocusNext(AppState& app) {
  HWND focus = GetFocus();
  HWND next = app.itemList;
  if (focus == app.itemList)
    next = app.groupList && IsWindowVisible(app.groupList) ? app.groupList : app.queryTree;
  else if (focus == app.groupList)
    next = app.queryTree;
  if (!next) return;
  SetFocus(next);
  if (Pad().settings.flash) Flash(app, next);
}

// The emulator menu opens after the poll has returned: its menu loop runs
// the polls again meanwhile, which then drive the menu with their keys.
void CALLBACK OpenEmulatorMenu(HWND window, UINT, UINT_PTR id, DWORD) {
  KillTimer(window, id);
  AppState& app = App();
  HMENU menu = MainDynamicSubmenu(app, DynamicList::Emulators);
  if (!menu) return;
  RECT r{};
  int item = ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED);
  if (item < 0 || !ListView_GetItemRect(app.itemList, item, &r, LVIR_LABEL)) GetClientRect(app.itemList, &r);
  POINT at{r.left + 16, r.bottom};
  ClientToScreen(app.itemList, &at);
  TrackPopupMenu(menu, TPM_LEFTALIGN | TPM_TOPALIGN, at.x, at.y, 0, app.mainWindow, nullptr);
}

constexpr UINT_PTR kEmulatorMenuTimer = 0x7E51;

class WindowCommands : public PadCommandSink {
 public:
  explicit WindowCommands(AppState& app) : app_(app) {}
  void Command(PadCommand command) override {
    switch (command) {
      case PadCommand::kIndexUp: InitialIndexSeek(app_, false); break;
      case PadCommand::kIndexDown: InitialIndexSeek(app_, true); break;
      case PadCommand::kEmulatorMenu: SetTimer(app_.mainWindow, kEmulatorMenuTimer, 1, OpenEmulatorMenu); break;
      case PadCommand::kFocusNext: FocusNext(app_); break;
      case PadCommand::kOpenSoftKeyboard: OpenSoftKeyboard(app_); break;
      default: SoftKeyboardPadCommand(app_, command);
    }
  }

 private:
  AppState& app_;
};

void ExitTick(AppState& app) {
  PadState& pad = Pad();
  pad.connections.Update(pad.settings, ActivePads());
  if (!pad.exitPoll.Step(pad.settings, ActivePads(), pad.connections)) return;
  // Once per request: the poll stops before the request goes out.
  KillTimer(app.mainWindow, kPadExitTimer);
  pad.exitTimerRunning = false;
  pad.exitSent = true;
  SendExitRequest(app);
}

// The exit poll runs while an emulator whose end can be requested runs.
void FollowExitRequest(AppState& app) {
  PadState& pad = Pad();
  bool pending = pad.enabledAtStart && ExitRequestPending();
  if (pending && !pad.exitTimerRunning && !pad.exitSent) {
    pad.exitPoll.Start();
    pad.exitTimerRunning = SetTimer(app.mainWindow, kPadExitTimer, 300, nullptr) != 0;
  } else if (!pending) {
    if (pad.exitTimerRunning) KillTimer(app.mainWindow, kPadExitTimer);
    pad.exitTimerRunning = false;
    pad.exitSent = false;
  }
}

void UiTick(AppState& app) {
  PadState& pad = Pad();
  FollowExitRequest(app);
  if (!pad.enabledAtStart) return;
  if (!pad.keys) pad.keys = CreateSystemInputHost();
  PadUiScene scene;
  scene.ownWindowInFront = OwnWindowInFront(app);
  scene.settingsDialogOpen = pad.dialogOpen;
  scene.launchInProgress = LaunchesUnderWay() > 0 || RunningEmulators() > 0;
  scene.itemListFocused = GetFocus() == app.itemList;
  // A launch closes the keyboard as it begins.
  if (scene.launchInProgress && IsSoftKeyboardOpen()) CloseSoftKeyboard(app);
  scene.softKeyboardOpen = IsSoftKeyboardOpen();
  PadSettings settings = pad.settings;
  settings.enable = true;
  WindowCommands commands(app);
  pad.uiPoll.Step(GetTickCount64(), settings, ActivePads(), pad.connections, scene, *pad.keys, commands);
}

// A poll's actions may run a message loop (a menu, a dialog) in which the
// timers come again; such a nested tick does nothing.
bool gInTick = false;

}  // namespace

void StartPadInput(AppState& app) {
  Pad().settings = ReadPadSettings(app.paths.base + "\\Velmarook2_Joy.ini");
  Pad().enabledAtStart = Pad().settings.enable;
}

void OnPadTimer(AppState& app, UINT_PTR timer) {
  if (gInTick || (timer != kPadUiTimer && timer != kPadExitTimer)) return;
  gInTick = true;
  if (timer == kPadUiTimer) UiTick(app);
  if (timer == kPadExitTimer) ExitTick(app);
  gInTick = false;
}

const PadSettings& CurrentPadSettings() { return Pad().settings; }

void ReplacePadSettings(const PadSettings& settings) { Pad().settings = settings; }

void SetPadSettingsDialogOpen(bool open) { Pad().dialogOpen = open; }


}  // namespace vel
