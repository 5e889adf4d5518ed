#include "input/shortcut_key_dlg_win.h"

#include <windows.h>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "input/message_hook_win.h"
#include "input/shortcut_key_choices.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {
namespace {

enum : int {
  kActionsId = 2201,
  kKeysId,
  kShiftId,
  kCtrlId,
  kOkId = IDOK,
  kCancelId = IDCANCEL,
};

struct KeyDialog {
  AppState* app = nullptr;
  std::vector<ShortcutAction> actions = ShortcutDialogActions();
  ShortcutEditing editing;
  std::vector<KeyChoice> choices;
  bool filling = false;
  bool saved = false;
  explicit KeyDialog(AppState& a) : app(&a), editing(CurrentShortcutKeys()) {}
};

int SelectedEntry(HWND dialog, const KeyDialog& data) {
  LRESULT index = SendDlgItemMessageA(dialog, kActionsId, LB_GETCURSEL, 0, 0);
  if (index < 0 || static_cast<size_t>(index) >= data.actions.size()) return -1;
  return data.actions[static_cast<size_t>(index)].entry;
}

// Shows the selected action's key; a key the list does not offer shows none.
void ShowEntry(HWND dialog, KeyDialog& data) {
  int entry = SelectedEntry(dialog, data);
  if (entry < 0) return;
  data.filling = true;
  int code = data.editing.Table()[static_cast<size_t>(entry)];
  data.choices = KeyChoicesFor(entry);
  HWND keys = GetDlgItem(dialog, kKeysId);
  SendMessageA(keys, CB_RESETCONTENT, 0, 0);
  for (const KeyChoice& choice : data.choices)
    SendMessageA(keys, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(choice.name.c_str()));
  SendMessageA(keys, CB_SETCURSEL, static_cast<WPARAM>(KeyChoiceIndex(data.choices, code)), 0);
  bool modifiers = entry != kKeyListDrag;
  CheckDlgButton(dialog, kShiftId, modifiers && (code >> 20) != 0 ? BST_CHECKED : BST_UNCHECKED);
  CheckDlgButton(dialog, kCtrlId, modifiers && ((code >> 16) & 0xF) != 0 ? BST_CHECKED : BST_UNCHECKED);
  EnableWindow(GetDlgItem(dialog, kShiftId), modifiers);
  EnableWindow(GetDlgItem(dialog, kCtrlId), modifiers);
  data.filling = false;
}

void TakeEntry(HWND dialog, KeyDialog& data) {
  int entry = SelectedEntry(dialog, data);
  LRESULT index = SendDlgItemMessageA(dialog, kKeysId, CB_GETCURSEL, 0, 0);
  if (data.filling || entry < 0 || index < 0 || static_cast<size_t>(index) >= data.choices.size()) return;
  data.editing.Assign(entry, data.choices[static_cast<size_t>(index)].virtualKey,
                      IsDlgButtonChecked(dialog, kShiftId) == BST_CHECKED,
                      IsDlgButtonChecked(dialog, kCtrlId) == BST_CHECKED);
}

void Save(HWND dialog, KeyDialog& data) {
  const std::string file = data.app->paths.base + "\\Velmarook2_Key.ini";
  if (!data.editing.Save(file)) {
    ShowMessage(Jp("ショートカットキーの設定を保存できませんでした。\n") + file, Jp("エラー"), kMbOk | kMbIconError,
                dialog);
    return;
  }
  ReplaceShortcutKeys(data.editing.Table());
  data.saved = true;
  DestroyWindow(dialog);
}

void Build(HWND dialog, KeyDialog& data) {
  HWND list = AddControl(dialog, "LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | WS_TABSTOP, 10, 10, 300, 330,
                         kActionsId);
  for (const ShortcutAction& action : data.actions)
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(action.name.c_str()));
  AddControl(dialog, "BUTTON", Jp("ショートカットキーの割り当て"), BS_GROUPBOX, 320, 6, 190, 120, -1);
  AddControl(dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 332, 30, 166, 300, kKeysId);
  AddControl(dialog, "BUTTON", "SHIFT", BS_AUTOCHECKBOX | WS_TABSTOP, 332, 64, 80, 22, kShiftId);
  AddControl(dialog, "BUTTON", "CTRL", BS_AUTOCHECKBOX | WS_TABSTOP, 332, 90, 80, 22, kCtrlId);
  AddControl(dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 320, 306, 92, 28, kOkId);
  AddControl(dialog, "BUTTON", Jp("キャンセル"), BS_PUSHBUTTON | WS_TABSTOP, 418, 306, 92, 28, kCancelId);
  SendMessageA(list, LB_SETCURSEL, 0, 0);
  ShowEntry(dialog, data);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  KeyDialog* data = DialogData<KeyDialog>(dialog);
  if (message == WM_COMMAND && data) {
    switch (LOWORD(wParam)) {
      case kActionsId:
        if (HIWORD(wParam) == LBN_SELCHANGE) ShowEntry(dialog, *data);
        return 0;
      case kKeysId:
        if (HIWORD(wParam) == CBN_SELCHANGE) TakeEntry(dialog, *data);
        return 0;
      case kShiftId:
      case kCtrlId: TakeEntry(dialog, *data); return 0;
      case kOkId: Save(dialog, *data); return 0;
      case kCancelId: DestroyWindow(dialog); return 0;
    }
  }
  if (message == WM_CLOSE) return DestroyWindow(dialog), 0;
  return DefWindowProcA(dialog, message, wParam, lParam);
}

}  // namespace

bool ShowShortcutKeyDialog(AppState& app) {
  KeyDialog data(app);
  HWND dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp("ショートカットキーの設定"), 520, 344, Procedure,
                                   &data);
  if (!dialog) return false;
  Build(dialog, data);
  RunModal(dialog, app.mainWindow);
  return data.saved;
}

}  // namespace vel
