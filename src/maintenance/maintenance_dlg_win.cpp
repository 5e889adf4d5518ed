// DBLiquidationDlg: the maintenance dialog and the threads of its runs.
#include "maintenance/maintenance_dlg_win.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "db/library_connection.h"
#include "maintenance/kakasi.h"
#include "maintenance/kana_settings_dlg_win.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {
namespace {

enum : int {
  kDescriptionId = 2201,
  kMachineLabelId,
  kMachinesId,
  kOptionBoxId,
  kWideLabelId,
  kLogId,
  kProgressId,
  kExtraButtonId,
  kRunId,
  kCloseId = IDCANCEL,
};

constexpr UINT kRunEndedMessage = WM_APP + 1;

// What a run needs, taken on the GUI thread before the worker starts.
struct RunJob {
  std::string databasePath, extensionPath;
  RowSelection selection;
  std::unique_ptr<TitleConverter> converter;
  ConversionOptions options;
};

using RunFunction = RunResult (*)(LibraryConnection&, const RunJob&, StopFlag&, RunReport&);

// One operation of the dialog: its texts, its controls and its run.
struct Operation {
  MaintenanceOperation number;
  const char* title;
  const char* description;  // null: chosen when the dialog opens
  const char* optionBox;    // null: no check box
  const char* extraButton;  // null: no extra button
  bool machineList;         // otherwise a wide label takes its place
  RunFunction run;
};

const Operation kOperations[] = {
    {MaintenanceOperation::Readings, "なんちゃって清音ソート用「読み仮名」超適当生成", nullptr,
     "読み仮名が未入力のアイテムのみ実行", "かな設定", true,
     [](LibraryConnection& db, const RunJob& job, StopFlag& stop, RunReport& report) {
       return RunReadings(db, *job.converter, job.options, job.selection, stop, report);
     }},
    {MaintenanceOperation::FillSmartTitles, "データベース更新", "データベース更新", nullptr, nullptr, false,
     [](LibraryConnection& db, const RunJob& job, StopFlag& stop, RunReport& report) {
       return RunSmartTitles(db, *job.converter, {std::nullopt, true}, stop, report);
     }},
    {MaintenanceOperation::RebuildSmartTitles, "スマートタイトル再構築", "スマートタイトルの再構築", nullptr,
     nullptr, true,
     [](LibraryConnection& db, const RunJob& job, StopFlag& stop, RunReport& report) {
       return RunSmartTitles(db, *job.converter, job.selection, stop, report);
     }},
};

const Operation* FindOperation(MaintenanceOperation number) {
  for (const Operation& operation : kOperations)
    if (operation.number == number) return &operation;
  return nullptr;
}

struct MaintenanceDialog : RunReport {
  AppState* app = nullptr;
  const Operation* operation = nullptr;
  HWND dialog = nullptr;
  std::string focusedKey;  // selected again when the list is reloaded

  StopFlag stop{kRunEnded};
  HANDLE thread = nullptr;
  RunJob job;
  RunResult result;
  bool closing = false;

  // Called on the worker's thread; the GUI thread serves these messages
  // while it runs its message loop or waits for the worker.
  void Log(const std::string& line) override {
    HWND list = GetDlgItem(dialog, kLogId);
    for (;;) {
      LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
      if (index >= 0) {
        SendMessageA(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
        return;
      }
      // Out of space: the oldest line makes room.
      if (SendMessageA(list, LB_DELETESTRING, 0, 0) == LB_ERR) return;
    }
  }
  void StartProgress(int total) override {
    HWND bar = GetDlgItem(dialog, kProgressId);
    SendMessageA(bar, PBM_SETRANGE32, 0, total);
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    SendMessageA(bar, PBM_SETPOS, 0, 0);
  }
  void StepProgress() override { SendMessageA(GetDlgItem(dialog, kProgressId), PBM_STEPIT, 0, 0); }
};

DWORD WINAPI RunThread(LPVOID parameter) {
  MaintenanceDialog& d = *static_cast<MaintenanceDialog*>(parameter);
  LibraryConnection db;
  db.Open(d.job.databasePath, d.job.extensionPath);
  d.result = d.operation->run(db, d.job, d.stop, d);
  db.Close();
  d.stop = kRunEnded;
  PostMessageA(d.dialog, kRunEndedMessage, 0, 0);
  return 0;
}

void Enable(HWND dialog, int id, bool enable) { EnableWindow(GetDlgItem(dialog, id), enable); }

void ShowRunning(MaintenanceDialog& d, bool running) {
  HWND dialog = d.dialog;
  SetDlgItemTextA(dialog, kRunId, running ? Jp("中止").c_str() : Jp("実行").c_str());
  for (int id : {kMachinesId, kOptionBoxId, kExtraButtonId, kCloseId}) Enable(dialog, id, !running);
}

void LoadMachines(MaintenanceDialog& d) {
  HWND list = GetDlgItem(d.dialog, kMachinesId);
  SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Jp("全ての機種").c_str()));
  SendMessageA(list, CB_SETCURSEL, 0, 0);
  // A connection of our own: the main connection's grid is the item list.
  LibraryConnection db;
  db.Open(d.app->databasePath, d.app->regexExtensionPath);
  if (auto error = db.Query("SELECT machine FROM machine_info_table ORDER BY machine ;")) {
    ShowMessage(Jp(" 管理テーブルを参照できません。\n") + Utf8ToAnsi(*error), Jp("DBエラー"),
                kMbOk | kMbIconError, d.dialog);
    return;
  }
  for (int row = 1; row <= db.RowCount(); ++row)
    SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(db.Cell(row, 0).c_str()));
}

std::string Description(const MaintenanceDialog& d) {
  if (d.operation->description) return Jp(d.operation->description);
  return ProgramKakasi(d.app->paths.base, CurrentReadingSettings(*d.app).kanaMode != kKanaHiragana).Ready()
             ? Jp("タイトルから「読み仮名」を生成（かな・英数字の統一、漢字は KAKASI でよみがな変換）")
             : Jp("タイトルから「読み仮名」を生成（かな・英数字の統一、漢字は無変換）");
}

void Build(MaintenanceDialog& d) {
  HWND dialog = d.dialog;
  const Operation& op = *d.operation;
  AddControl(dialog, "BUTTON", Description(d), BS_GROUPBOX, 10, 8, 460, 80, kDescriptionId);
  if (op.machineList) {
    AddControl(dialog, "STATIC", Jp("機種"), SS_LEFT, 24, 32, 40, 20, kMachineLabelId);
    AddControl(dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 68, 28, 220, 300, kMachinesId);
  } else {
    AddControl(dialog, "STATIC", Jp("アップデートが必要なアイテムが見つかりました。\n実行をクリックして下さい。"),
               SS_LEFT, 24, 28, 436, 54, kWideLabelId);
  }
  if (op.optionBox) {
    AddControl(dialog, "BUTTON", Jp(op.optionBox), BS_AUTOCHECKBOX | WS_TABSTOP, 24, 58, 420, 20, kOptionBoxId);
    CheckDlgButton(dialog, kOptionBoxId, BST_CHECKED);
  }
  AddControl(dialog, "BUTTON", Jp("ログ"), BS_GROUPBOX, 10, 94, 460, 228, -1);
  AddControl(dialog, "LISTBOX", "",
             WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, 20, 112, 440, 200, kLogId);
  SendDlgItemMessageA(dialog, kLogId, LB_SETHORIZONTALEXTENT, 2000, 0);
  AddControl(dialog, "msctls_progress32", "", 0, 10, 330, 460, 18, kProgressId);
  if (op.extraButton)
    AddControl(dialog, "BUTTON", Jp(op.extraButton), BS_PUSHBUTTON | WS_TABSTOP, 10, 358, 110, 28, kExtraButtonId);
  AddControl(dialog, "BUTTON", Jp("実行"), BS_DEFPUSHBUTTON | WS_TABSTOP, 270, 358, 96, 28, kRunId);
  AddControl(dialog, "BUTTON", Jp("閉じる"), BS_PUSHBUTTON | WS_TABSTOP, 374, 358, 96, 28, kCloseId);
  if (op.machineList) LoadMachines(d);
  // "データベース更新" is left only by finishing or stopping the run.
  if (op.number == MaintenanceOperation::FillSmartTitles) Enable(dialog, kCloseId, false);
}

void StartRun(MaintenanceDialog& d) {
  HWND dialog = d.dialog;
  AppState& app = *d.app;
  RunJob job;
  if (d.operation->machineList) {
    HWND list = GetDlgItem(dialog, kMachinesId);
    LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index < 0) return;
    if (index > 0) {
      std::string machine(static_cast<size_t>(SendMessageA(list, CB_GETLBTEXTLEN, index, 0)) + 1, '\0');
      LRESULT n = SendMessageA(list, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(machine.data()));
      machine.resize(n > 0 ? static_cast<size_t>(n) : 0);
      job.selection.machine = machine;
    }
  }
  job.selection.onlyEmpty = d.operation->optionBox && IsDlgButtonChecked(dialog, kOptionBoxId) == BST_CHECKED;
  ReadingSettings reading = CurrentReadingSettings(app);
  Kakasi& kakasi = ProgramKakasi(app.paths.base, reading.kanaMode != kKanaHiragana);
  job.databasePath = app.databasePath;
  job.extensionPath = app.regexExtensionPath;
  job.converter = std::make_unique<TitleConverter>(ReadSymbolTables(app.paths.settingsFile), &kakasi);
  job.options = ReadingOptions(reading, kakasi.Ready());
  d.job = std::move(job);
  d.result = RunResult{};

  if (d.operation->number == MaintenanceOperation::FillSmartTitles)
    SetDlgItemTextA(dialog, kWideLabelId,
                    Jp("中止すると次回起動時に続きから処理を再開します。\n未処理のアイテムは柔軟に検索されない可能性があります。").c_str());
  SendDlgItemMessageA(dialog, kLogId, LB_RESETCONTENT, 0, 0);
  ShowRunning(d, true);
  d.stop = kRunRunning;
  d.thread = CreateThread(nullptr, 0, RunThread, &d, 0, nullptr);
  if (!d.thread) {
    d.stop = kRunEnded;
    ShowRunning(d, false);
    ShowMessage(Jp("処理を開始できませんでした。"), Jp("エラー"), kMbOk | kMbIconError, dialog);
  }
}

void RequestStop(MaintenanceDialog& d) {
  std::uint16_t running = kRunRunning;
  d.stop.compare_exchange_strong(running, kRunStopRequested);
}

// After the worker has ended: joins it and tells the user how the run went.
void EndRun(MaintenanceDialog& d) {
  if (!d.thread) return;
  WaitForSingleObject(d.thread, INFINITE);
  CloseHandle(d.thread);
  d.thread = nullptr;
  HWND dialog = d.dialog;
  ShowRunning(d, false);
  const RunResult& r = d.result;
  MaintenanceOperation number = d.operation->number;
  switch (r.end) {
    case RunEnd::SelectFailed:
      ShowMessage(Jp("メインテーブルを選択できませんでした。\n") + Utf8ToAnsi(r.error), Jp("DBエラー"),
                  kMbOk | kMbIconError, dialog);
      break;
    case RunEnd::WriteFailed:
      ShowMessage(WriteFailedText(r) + Utf8ToAnsi(r.error),
                  Jp("DBエラー"), kMbOk | kMbIconError, dialog);
      break;
    case RunEnd::NoRows:
      if (number == MaintenanceOperation::Readings && !d.closing)
        ShowMessage(d.job.selection.onlyEmpty ? Jp("指定された機種で読み仮名が未入力のデータはありません。")
                                              : Jp("指定された機種のデータはありません。"),
                    "", kMbOk | kMbIconInformation, dialog);
      break;
    case RunEnd::Finished:
    case RunEnd::Stopped:
      MessageBeep(MB_ICONASTERISK);
      if (number == MaintenanceOperation::FillSmartTitles && r.end == RunEnd::Finished) {
        SetDlgItemTextA(dialog, kWideLabelId, Jp("処理が終了しました。\n閉じるボタンをクリックして下さい。").c_str());
        Enable(dialog, kRunId, false);
      }
      break;
  }
  if (r.rowsWritten > 0 && d.app->reloadItemList) d.app->reloadItemList(d.focusedKey);
}

// Asks a running worker to stop and waits for it, serving the messages it
// sends meanwhile; nothing the worker uses goes before it has ended.
void StopAndWait(MaintenanceDialog& d) {
  d.closing = true;
  RequestStop(d);
  std::optional<WPARAM> quit;
  while (d.thread) {
    DWORD woke = MsgWaitForMultipleObjects(1, &d.thread, FALSE, INFINITE, QS_ALLINPUT);
    if (woke == WAIT_OBJECT_0) {
      EndRun(d);
      break;
    }
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
      if (message.message == WM_QUIT) {
        quit = message.wParam;
        continue;
      }
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
  }
  if (quit) PostQuitMessage(static_cast<int>(*quit));
}

void Close(MaintenanceDialog& d) {
  if (d.closing) return;
  StopAndWait(d);
  DestroyWindow(d.dialog);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  MaintenanceDialog* d = DialogData<MaintenanceDialog>(dialog);
  if (!d) return DefWindowProcA(dialog, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND:
      if (d->closing) return 0;
      switch (LOWORD(wParam)) {
        case kRunId:
          if (d->thread)
            RequestStop(*d);
          else
            StartRun(*d);
          return 0;
        case kExtraButtonId:
          if (!d->thread && d->operation->number == MaintenanceOperation::Readings) {
            ShowKanaSettingsDialog(*d->app, dialog);
            SetDlgItemTextA(dialog, kDescriptionId, Description(*d).c_str());
            SetForegroundWindow(dialog);
          }
          return 0;
        case kCloseId: Close(*d); return 0;
      }
      break;
    case kRunEndedMessage:
      EndRun(*d);
      return 0;
    case WM_CLOSE:
      Close(*d);
      return 0;
    case WM_DESTROY:
      // Destroyed without a close (the program is quitting): the worker still
      // writes into this window's controls, so it is stopped and awaited first.
      if (d->thread && !d->closing) StopAndWait(*d);
      return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

}  // namespace

void ShowMaintenanceDialog(AppState& app, MaintenanceOperation number) {
  const Operation* operation = FindOperation(number);
  if (!operation) return;
  MaintenanceDialog data;
  data.app = &app;
  data.operation = operation;
  int focused = app.itemList ? ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED) : -1;
  if (focused >= 0) data.focusedKey = app.mainDb.Cell(focused + 1, 0);
  data.dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp(operation->title), 480, 396, Procedure, &data);
  if (!data.dialog) return;
  Build(data);
  RunModal(data.dialog, app.mainWindow);
}

void ShowReadingGenerationDialog(AppState& app) { ShowMaintenanceDialog(app, MaintenanceOperation::Readings); }

void ShowSmartTitleRebuildDialog(AppState& app) {
  ShowMaintenanceDialog(app, MaintenanceOperation::RebuildSmartTitles);
}

void FillSmartTitlesAtStart(AppState& app) {
  // A connection of our own: the main connection's grid is the item list.
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  bool waiting = SmartTitlesWaiting(db);
  db.Close();
  if (waiting) ShowMaintenanceDialog(app, MaintenanceOperation::FillSmartTitles);
}

void ShowSmartTitleOfFocusedItem(AppState& app) {
  int focused = ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED);
  if (focused < 0) return;
  std::string key = app.mainDb.Cell(focused + 1, 0);
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  std::string smartTitle;
  if (auto error = ReadSmartTitle(db, key, smartTitle)) {
    ShowMessage(Jp("スマートタイトルが取得できません。\n") + Utf8ToAnsi(*error), Jp("スマートタイトルの確認"),
                kMbOk | kMbIconError, app.mainWindow);
    return;
  }
  ShowMessage(smartTitle, Jp("スマートタイトルの確認"), kMbOk | kMbIconInformation, app.mainWindow);
}

}  // namespace vel
