// ReGetCRCDlg.
#include "maintenance/crc_recalc_dlg_win.h"

#include <windows.h>
#include <commctrl.h>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "maintenance/crc_library_win.h"
#include "maintenance/import_options.h"
#include "maintenance/import_run_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "search/item_list_query.h"

namespace vel {
namespace {

enum : int {
  kMachineId = 3401,
  kCrc32Id,
  kCrc16Id,
  kParentsOnlyId,
  kStartOffsetId,
  kLengthId,
  kCrcStatusId,
  kRecordStatusId,
  kProgressId,
  kMarkerId,
  kStartId,
  kLogId,
  kCloseId = IDCANCEL,
};

struct CrcDialog {
  AppState* app = nullptr;
  CrcLibrary* library = nullptr;
  bool running = false;
  bool closeRequested = false;
};

bool Ticked(HWND dialog, int id) {
  return SendDlgItemMessageA(dialog, id, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void UpdateEnabled(HWND dialog) {
  bool any = Ticked(dialog, kCrc32Id) || Ticked(dialog, kCrc16Id);
  for (int id : {kStartOffsetId, kLengthId, kStartId}) EnableWindow(GetDlgItem(dialog, id), any);
}

void Start(HWND dialog, CrcDialog& d) {
  HWND startButton = GetDlgItem(dialog, kStartId);
  if (WindowText(startButton) != Jp("開始")) {  // a run is under way: this press asks it to stop
    d.library->setDirAddThreadESC(1);
    return;
  }
  std::string machine = WindowText(GetDlgItem(dialog, kMachineId));
  if (machine.empty() || (!Ticked(dialog, kCrc32Id) && !Ticked(dialog, kCrc16Id))) return;
  DirAddOptions options;
  options.integers[kSlotParentsOnly] = Ticked(dialog, kParentsOnlyId);
  options.integers[kSlotCrc32] = Ticked(dialog, kCrc32Id);
  options.integers[kSlotCrc16] = Ticked(dialog, kCrc16Id);
  options.texts[kTextMachine] = machine;
  std::optional<std::int32_t> offset = CrcNumberFromBox(WindowText(GetDlgItem(dialog, kStartOffsetId)));
  std::optional<std::int32_t> length = CrcNumberFromBox(WindowText(GetDlgItem(dialog, kLengthId)));
  if (!offset || !length) {
    ShowMessage(CrcNumberRefusedText(), "", kMbOk | kMbIconWarning, dialog);
    return;
  }
  options.numbers[0] = *offset;
  options.numbers[1] = *length;
  TextSlots texts(options);
  HWND handles[12] = {dialog,
                      GetDlgItem(dialog, kCrcStatusId),
                      GetDlgItem(dialog, kRecordStatusId),
                      GetDlgItem(dialog, kMarkerId),
                      startButton,
                      GetDlgItem(dialog, kProgressId),
                      GetDlgItem(dialog, kMachineId),
                      GetDlgItem(dialog, kStartOffsetId),
                      GetDlgItem(dialog, kLengthId),
                      GetDlgItem(dialog, kCloseId),
                      GetDlgItem(dialog, kCrc32Id),
                      GetDlgItem(dialog, kCrc16Id)};
  // The list is read again afterwards: the item selected now stays selected.
  std::string selectedKey;
  if (d.app->itemList) {
    int focused = static_cast<int>(
        SendMessageA(d.app->itemList, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED));
    if (focused >= 0) selectedKey = d.app->mainDb.Cell(focused + 1, kPosFileName);
  }
  SendDlgItemMessageA(dialog, kLogId, LB_RESETCONTENT, 0, 0);
  d.running = true;
  d.library->reCalcCRC(handles, reinterpret_cast<LONG*>(options.integers.data()), texts.Pointers(),
                       reinterpret_cast<LONG*>(options.numbers.data()));
  d.running = false;
  if (d.app->reloadItemList) d.app->reloadItemList(selectedKey);
  if (d.closeRequested) DestroyWindow(dialog);
}

void Close(HWND dialog, CrcDialog& d) {
  // A running recalculation is asked to stop; the dialog closes once it has.
  if (d.running) {
    d.library->setDirAddThreadESC(1);
    d.closeRequested = true;
    return;
  }
  DestroyWindow(dialog);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  CrcDialog* d = DialogData<CrcDialog>(dialog);
  switch (message) {
    case WM_COMMAND:
      if (!d) break;
      switch (LOWORD(wParam)) {
        case kStartId: Start(dialog, *d); return 0;
        case kCloseId: Close(dialog, *d); return 0;
        case kCrc32Id:
        case kCrc16Id: UpdateEnabled(dialog); return 0;
      }
      return 0;
    case WM_CLOSE:
      if (d) Close(dialog, *d);
      return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

void Build(HWND dialog) {
  AddControl(dialog, "BUTTON", Jp("ライブラリのCRC情報を再計算します"), BS_GROUPBOX, 8, 4, 464, 196, -1);
  AddControl(dialog, "STATIC", Jp("再計算するイメージファイルの対象機種"), SS_LEFT, 16, 28, 240, 20, -1);
  AddControl(dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 260, 24, 200, 240, kMachineId);
  AddControl(dialog, "BUTTON", Jp("CRC32を再計算する"), BS_AUTOCHECKBOX | WS_TABSTOP, 16, 56, 200, 20, kCrc32Id);
  AddControl(dialog, "BUTTON", Jp("CRC16を再計算する"), BS_AUTOCHECKBOX | WS_TABSTOP, 230, 56, 200, 20, kCrc16Id);
  AddControl(dialog, "BUTTON", Jp("複数枚組は親イメージのみ再計算"), BS_AUTOCHECKBOX | WS_TABSTOP, 16, 80, 300, 20,
             kParentsOnlyId);
  AddControl(dialog, "STATIC", Jp("開始位置"), SS_LEFT, 16, 112, 64, 20, -1);
  AddControl(dialog, "EDIT", "0", WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, 84, 108, 90, 22,
             kStartOffsetId);
  AddControl(dialog, "STATIC", Jp("バイト目から"), SS_LEFT, 180, 112, 84, 20, -1);
  AddControl(dialog, "EDIT", "0", WS_BORDER | ES_NUMBER | ES_AUTOHSCROLL | WS_TABSTOP, 268, 108, 90, 22, kLengthId);
  AddControl(dialog, "STATIC", Jp("バイト（長）"), SS_LEFT, 364, 112, 90, 20, -1);
  AddControl(dialog, "STATIC", Jp("※ 0 でファイル全てを対象に計算します"), SS_LEFT, 16, 140, 400, 20, -1);
  AddControl(dialog, "STATIC", Jp("CRC計算"), SS_LEFT, 16, 210, 70, 20, -1);
  AddControl(dialog, "STATIC", "--", SS_LEFT | SS_ENDELLIPSIS, 90, 210, 380, 20, kCrcStatusId);
  AddControl(dialog, "STATIC", Jp("レコード"), SS_LEFT, 16, 234, 70, 20, -1);
  AddControl(dialog, "STATIC", "--", SS_LEFT | SS_ENDELLIPSIS, 90, 234, 380, 20, kRecordStatusId);
  AddControl(dialog, PROGRESS_CLASSA, "", 0, 16, 260, 448, 18, kProgressId);
  AddControl(dialog, "STATIC", Jp("■"), SS_RIGHT, 420, 284, 44, 20, kMarkerId);
  // The files whose CRC could not be computed, readable after the run; the
  // summary stays in the "CRC計算" line.
  AddControl(dialog, "LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, 16, 306,
             448, 110, kLogId);
  AddControl(dialog, "BUTTON", Jp("開始"), BS_DEFPUSHBUTTON | WS_TABSTOP, 272, 424, 96, 30, kStartId);
  AddControl(dialog, "BUTTON", Jp("閉じる"), BS_PUSHBUTTON | WS_TABSTOP, 376, 424, 96, 30, kCloseId);
  SendDlgItemMessageA(dialog, kStartOffsetId, EM_LIMITTEXT, 10, 0);
  SendDlgItemMessageA(dialog, kLengthId, EM_LIMITTEXT, 10, 0);
}

void FillMachines(AppState& app, HWND dialog) {
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  if (auto error = db.Query("SELECT machine FROM machine_info_table ORDER BY machine ;")) {
    ShowMessage(Jp("機種管理テーブルを参照できませんでした\n") + Utf8ToAnsi(*error), Jp("DBエラー"),
                kMbOk | kMbIconError, dialog);
    return;
  }
  for (int r = 1; r <= db.RowCount(); ++r)
    SendDlgItemMessageA(dialog, kMachineId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(db.Cell(r, 0).c_str()));
  SendDlgItemMessageA(dialog, kMachineId, CB_SETCURSEL, 0, 0);
}

}  // namespace

void ShowCrcRecalculationDialog(AppState& app) {
  CrcDialog d;
  d.app = &app;
  HWND dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp("CRCの再取得"), 480, 462, Procedure, &d);
  if (!dialog) return;
  Build(dialog);
  FillMachines(app, dialog);
  SendDlgItemMessageA(dialog, kCrc32Id, BM_SETCHECK, BST_CHECKED, 0);
  UpdateEnabled(dialog);
  d.library = &LoadCrcLibrary(app);
  RunModal(dialog, app.mainWindow);
  ReleaseCrcLibrary();
}

}  // namespace vel
