#include "input/joystick_dlg_win.h"

#include <windows.h>
#include <commctrl.h>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "input/pad_poll_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/joystick.h"

namespace vel {
namespace {

enum : int {
  kTabsId = 2301,
  kDeviceId,
  kXInputId,
  kEnableId,
  kRepeatId,
  kRepeatSpinId,
  kLongPressId,
  kLongPressSpinId,
  kFlashId,
  kClearId,
  kFirstBoxId = 2350,  // + pair
  kOkId = IDOK,
  kCancelId = IDCANCEL,
};
constexpr UINT_PTR kCaptureTimer = 1;

struct Group {
  const char* title;
  std::vector<std::pair<int, const char*>> pairs;
};

const std::vector<Group>& Groups() {
  static const std::vector<Group> groups = {
      {"共通操作の割り当て",
       {{kPairUp, "上移動"}, {kPairDown, "下移動"}, {kPairLeft, "左移動"}, {kPairRight, "右移動"},
        {kPairUp2, "上移動"}, {kPairDown2, "下移動"}, {kPairLeft2, "左移動"}, {kPairRight2, "右移動"},
        {kPairPageUp, "Page Up"}, {kPairPageDown, "Page Down"}, {kPairIndexUp, "Index Up"},
        {kPairIndexDown, "Index Down"}, {kPairEnter, "ENTER"}, {kPairSoftKey, "ソフトキー開閉"}}},
      {"メニュー・特殊操作の割り当て",
       {{kPairEmulatorMenu, "起動エミュレータ選択"}, {kPairFocus, "操作フォーカス切替"}, {kPairSlow, "リピート速度の抑制"}}},
      {"ソフトキーボード操作の割り当て",
       {{kPairSoftKeyBack, "１文字削除"}, {kPairSoftKeySet, "キーセット切替"}, {kPairSoftKeyMode, "モード切替"},
        {kPairSoftKeySearch, "検索実行"}, {kPairSoftKeyMove, "ウィンドウ移動"}}},
      {"エミュ終了操作の割り当て", {{kPairEmuExit, "エミュレータ終了*"}, {kPairEmuExit2, "エミュレータ終了2"}}},
  };
  return groups;
}

struct JoyDialog {
  AppState* app = nullptr;
  PadSettings settings = CurrentPadSettings();
  int slot = 0;
  std::vector<PadDeviceChoice> devices;
  JoystickReading resting;
  int lastBox = -1;  // the pair of the box that had the focus last
  bool filling = false;
};

void ShowBox(HWND dialog, JoyDialog& data, int pair) {
  std::string name = PadInputName(data.settings.slots[static_cast<size_t>(data.slot)].pairs[static_cast<size_t>(pair)]);
  SetDlgItemTextA(dialog, kFirstBoxId + pair, name.c_str());
}

void TakeResting(JoyDialog& data) {
  data.resting = JoystickReading{};
  int id = data.settings.slots[static_cast<size_t>(data.slot)].deviceId;
  if (id >= 0) ActivePads().ReadJoystick(id, data.resting);
}

void ShowSlot(HWND dialog, JoyDialog& data) {
  data.filling = true;
  PadSlot& slot = data.settings.slots[static_cast<size_t>(data.slot)];
  data.devices = PadDeviceChoices(ConnectedJoystickIds(), slot.deviceId);
  HWND devices = GetDlgItem(dialog, kDeviceId);
  SendMessageA(devices, CB_RESETCONTENT, 0, 0);
  for (size_t i = 0; i < data.devices.size(); ++i) {
    SendMessageA(devices, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(data.devices[i].text.c_str()));
    if (data.devices[i].deviceId == slot.deviceId) SendMessageA(devices, CB_SETCURSEL, i, 0);
  }
  for (int pair = 0; pair < kPadPairCount; ++pair) ShowBox(dialog, data, pair);
  CheckDlgButton(dialog, kXInputId, slot.exitByXInput ? BST_CHECKED : BST_UNCHECKED);
  TakeResting(data);
  data.filling = false;
}

void TakeSlot(HWND dialog, JoyDialog& data) {
  data.settings.slots[static_cast<size_t>(data.slot)].exitByXInput = IsDlgButtonChecked(dialog, kXInputId) == BST_CHECKED;
}

bool TakeCommon(HWND dialog, JoyDialog& data) {
  BOOL read = FALSE;
  UINT repeat = GetDlgItemInt(dialog, kRepeatId, &read, FALSE);
  BOOL readLong = FALSE;
  UINT longPress = GetDlgItemInt(dialog, kLongPressId, &readLong, FALSE);
  if (!read || !readLong || repeat > 300 || longPress > 10) {
    ShowMessage(Jp("リピート速度は0～300、長押し秒数は0～10の数で指定してください。"), Jp("中止"),
                kMbOk | kMbIconWarning, dialog);
    return false;
  }
  data.settings.repeatMs = static_cast<int>(repeat);
  data.settings.longPressS = static_cast<int>(longPress);
  data.settings.enable = IsDlgButtonChecked(dialog, kEnableId) == BST_CHECKED;
  data.settings.flash = IsDlgButtonChecked(dialog, kFlashId) == BST_CHECKED;
  return true;
}

// While a box has the focus, the selected device's active input becomes its assignment.
void Capture(HWND dialog, JoyDialog& data) {
  int pair = GetDlgCtrlID(GetFocus()) - kFirstBoxId;
  if (pair < 0 || pair >= kPadPairCount) return;
  PadSlot& slot = data.settings.slots[static_cast<size_t>(data.slot)];
  JoystickReading reading;
  if (slot.deviceId < 0 || !ActivePads().ReadJoystick(slot.deviceId, reading)) return;
  PadInput input = CaptureInput(reading, data.resting);
  if (!input.Assigned() || input == slot.pairs[static_cast<size_t>(pair)]) return;
  slot.pairs[static_cast<size_t>(pair)] = input;
  ShowBox(dialog, data, pair);
}

void Save(HWND dialog, JoyDialog& data) {
  TakeSlot(dialog, data);
  if (!TakeCommon(dialog, data)) return;
  const std::string file = data.app->paths.base + "\\Velmarook2_Joy.ini";
  if (!WritePadSettings(data.settings, file)) {
    ShowMessage(Jp("ジョイスティック設定を保存できませんでした。\n") + file, Jp("エラー"), kMbOk | kMbIconError, dialog);
    return;
  }
  ReplacePadSettings(data.settings);
  DestroyWindow(dialog);
}

void Build(HWND dialog, JoyDialog& data) {
  HWND tabs = AddControl(dialog, WC_TABCONTROLA, "", WS_CLIPSIBLINGS | WS_TABSTOP, 8, 8, 624, 470, kTabsId);
  for (int i = 0; i < kPadSlotCount; ++i) {
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    std::string text = "Stick" + std::to_string(i + 1);
    item.pszText = text.data();
    SendMessageA(tabs, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
  }
  AddControl(dialog, "STATIC", Jp("ジョイスティックID"), SS_LEFT, 24, 44, 130, 20, -1);
  AddControl(dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 160, 40, 140, 200, kDeviceId);
  int x = 20, y = 74;
  for (size_t g = 0; g < Groups().size(); ++g) {
    const Group& group = Groups()[g];
    // The first group has two columns of directions.
    int rows = g == 0 ? 10 : static_cast<int>(group.pairs.size());
    if (g == 2) x = 330, y = 74;
    int height = 24 + rows * 26;
    AddControl(dialog, "BUTTON", Jp(group.title), BS_GROUPBOX, x, y, 296, height, -1);
    for (size_t i = 0; i < group.pairs.size(); ++i) {
      int column = g == 0 && i >= 4 && i < 8 ? 1 : 0;
      int row = g == 0 ? (i < 4 ? static_cast<int>(i) : i < 8 ? static_cast<int>(i) - 4 : static_cast<int>(i) - 4)
                       : static_cast<int>(i);
      int bx = x + 8 + column * 144;
      int by = y + 20 + row * 26;
      AddControl(dialog, "STATIC", Jp(group.pairs[i].second), SS_LEFT, bx, by + 3, 62, 20, -1);
      AddControl(dialog, "EDIT", "", WS_BORDER | ES_READONLY | ES_AUTOHSCROLL | WS_TABSTOP, bx + 64, by,
                 column == 0 && !(g == 0 && i < 4) ? 208 : 76, 22, kFirstBoxId + group.pairs[i].first);
    }
    y += height + 6;
  }
  AddControl(dialog, "BUTTON", Jp("XInputで待機"), BS_AUTOCHECKBOX | WS_TABSTOP, 338, y, 200, 22, kXInputId);
  AddControl(dialog, "BUTTON", Jp("クリア"), BS_PUSHBUTTON | WS_TABSTOP, 540, y, 80, 24, kClearId);

  AddControl(dialog, "BUTTON", Jp("ジョイスティックを有効にする"), BS_AUTOCHECKBOX | WS_TABSTOP, 16, 488, 280, 22,
             kEnableId);
  AddControl(dialog, "BUTTON", Jp("フォーカス切替時にコントロールをフラッシュ"), BS_AUTOCHECKBOX | WS_TABSTOP, 16, 514,
             320, 22, kFlashId);
  AddControl(dialog, "STATIC", Jp("リピート速度（ミリ秒）"), SS_LEFT, 340, 491, 190, 20, -1);
  AddControl(dialog, "EDIT", std::to_string(data.settings.repeatMs), WS_BORDER | ES_NUMBER | WS_TABSTOP, 540, 488, 60,
             22, kRepeatId);
  HWND repeatSpin = AddControl(dialog, UPDOWN_CLASSA, "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 600, 488,
                               16, 22, kRepeatSpinId);
  SendMessageA(repeatSpin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kRepeatId)), 0);
  SendMessageA(repeatSpin, UDM_SETRANGE32, 0, 300);
  UDACCEL step{0, 5};
  SendMessageA(repeatSpin, UDM_SETACCEL, 1, reinterpret_cast<LPARAM>(&step));
  AddControl(dialog, "STATIC", Jp("*印ボタンの長押し秒数（秒）"), SS_LEFT, 340, 517, 190, 20, -1);
  AddControl(dialog, "EDIT", std::to_string(data.settings.longPressS), WS_BORDER | ES_NUMBER | WS_TABSTOP, 540, 514,
             60, 22, kLongPressId);
  HWND longSpin = AddControl(dialog, UPDOWN_CLASSA, "", UDS_SETBUDDYINT | UDS_ALIGNRIGHT | UDS_ARROWKEYS, 600, 514, 16,
                             22, kLongPressSpinId);
  SendMessageA(longSpin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(dialog, kLongPressId)), 0);
  SendMessageA(longSpin, UDM_SETRANGE32, 0, 10);
  CheckDlgButton(dialog, kEnableId, data.settings.enable ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, kFlashId, data.settings.flash ? BST_CHECKED : BST_UNCHECKED);
  AddControl(dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 432, 546, 96, 28, kOkId);
  AddControl(dialog, "BUTTON", Jp("キャンセル"), BS_PUSHBUTTON | WS_TABSTOP, 536, 546, 96, 28, kCancelId);
  // The tab control lies under the controls of its page.
  SetWindowPos(tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ShowSlot(dialog, data);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  JoyDialog* data = DialogData<JoyDialog>(dialog);
  if (!data) return DefWindowProcA(dialog, message, wParam, lParam);
  switch (message) {
    case WM_TIMER:
      if (wParam == kCaptureTimer) Capture(dialog, *data);
      return 0;
    case WM_NOTIFY: {
      const NMHDR& header = *reinterpret_cast<NMHDR*>(lParam);
      if (header.idFrom == kTabsId && header.code == TCN_SELCHANGE) {
        TakeSlot(dialog, *data);
        data->slot = static_cast<int>(SendDlgItemMessageA(dialog, kTabsId, TCM_GETCURSEL, 0, 0));
        ShowSlot(dialog, *data);
      }
      return 0;
    }
    case WM_COMMAND: {
      int id = LOWORD(wParam);
      if (id >= kFirstBoxId && id < kFirstBoxId + kPadPairCount && HIWORD(wParam) == EN_SETFOCUS)
        data->lastBox = id - kFirstBoxId;
      if (id == kDeviceId && HIWORD(wParam) == CBN_SELCHANGE && !data->filling) {
        LRESULT index = SendDlgItemMessageA(dialog, kDeviceId, CB_GETCURSEL, 0, 0);
        if (index >= 0 && static_cast<size_t>(index) < data->devices.size())
          data->settings.slots[static_cast<size_t>(data->slot)].deviceId = data->devices[static_cast<size_t>(index)].deviceId;
        TakeResting(*data);
      }
      if (id == kClearId && data->lastBox >= 0) {
        data->settings.slots[static_cast<size_t>(data->slot)].pairs[static_cast<size_t>(data->lastBox)] = {};
        ShowBox(dialog, *data, data->lastBox);
      }
      if (id == kOkId) Save(dialog, *data);
      if (id == kCancelId) DestroyWindow(dialog);
      return 0;
    }
    case WM_CLOSE: DestroyWindow(dialog); return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

}  // namespace

void ShowJoystickDialog(AppState& app) {
  JoyDialog data;
  data.app = &app;
  HWND dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp("ジョイスティック設定"), 640, 584, Procedure, &data);
  if (!dialog) return;
  Build(dialog, data);
  SetPadSettingsDialogOpen(true);
  SetTimer(dialog, kCaptureTimer, 50, nullptr);
  RunModal(dialog, app.mainWindow);
  SetPadSettingsDialogOpen(false);
}

}  // namespace vel
