// DBLiquidationDlg: the maintenance dialog and the threads of its runs.
#include "maintenance/maintenance_dlg_win.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "db/library_connection.h"
#include "launch/launch_run_win.h"
#include "maintenance/column_replace.h"
#include "maintenance/csv_exchange.h"
#include "maintenance/kakasi.h"
#include "maintenance/kana_settings_dlg_win.h"
#include "maintenance/missing_images.h"
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
  // Ids of the controls some operations add; the ones above stay as they are.
  kOldTextLabelId,
  kOldTextId,
  kNewTextLabelId,
  kNewTextId,
  kTargetLabelId,
  kTargetId,
  kFileBoxId,
  kFileButtonId,
  kCloseId = IDCANCEL,
};

constexpr UINT kRunEndedMessage = WM_APP + 1;
// A worker's question, answered on the GUI thread (lParam: the AskRequest).
constexpr UINT kAskMessage = WM_APP + 2;
// A bunch of log lines from the worker (lParam: the vector of lines).
constexpr UINT kLogLinesMessage = WM_APP + 3;
// Progress and log go to the controls at most this often.
constexpr DWORD kProgressIntervalMs = 50;

struct AskRequest {
  const std::string* text;
  const std::string* caption;
  unsigned flags;
  int answer;
};

// What a run needs, taken on the GUI thread before the worker starts.
struct RunJob {
  std::string databasePath, extensionPath;
  RowSelection selection;
  std::string machineText;  // what the machine list shows
  bool optionTicked = false;
  bool testOnly = false;    // the extra button's run ("テスト")
  ReplaceRequest replace;
  std::string csvPath;
  std::unique_ptr<TitleConverter> converter;
  ConversionOptions options;
};

using RunFunction = RunResult (*)(LibraryConnection&, const RunJob&, StopFlag&, RunReport&);
// On the GUI thread before the worker starts: takes what the run needs from
// the controls and asks its questions; false leaves the dialog as it was.
using PrepareFunction = bool (*)(HWND dialog, RunJob& job, RunReport& report);

// One operation of the dialog: its texts, its controls and its run.
struct Operation {
  MaintenanceOperation number;
  const char* title;
  const char* description;  // null: chosen when the dialog opens
  const char* optionBox;    // null: no check box
  const char* extraButton;  // null: no extra button
  bool machineList;         // otherwise a wide label takes its place
  RunFunction run;
  PrepareFunction prepare = nullptr;
};

std::string ControlText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool PrepareReplacement(HWND dialog, RunJob& job, RunReport& report) {
  ReplaceRequest& request = job.replace;
  request.machine = job.selection.machine;
  request.machineText = job.machineText;
  request.target = static_cast<int>(SendDlgItemMessageA(dialog, kTargetId, CB_GETCURSEL, 0, 0));
  request.oldText = ControlText(dialog, kOldTextId);
  request.newText = ControlText(dialog, kNewTextId);
  if (job.machineText.empty()) return false;
  if (auto refusal = RefuseReplacement(request, RunningEmulators() > 0)) {
    if (!refusal->text.empty()) ShowMessage(refusal->text, refusal->caption, refusal->flags, dialog);
    return false;
  }
  if (job.testOnly) return true;
  report.Log(ReplacementSummary(request));
  report.Log(request.oldText + Jp(" → ") + request.newText);
  report.Log(Jp("以上の条件で置換します。"));
  if (ShowMessage(ReplacementQuestion(), Jp("確認"), kMbYesNo | kMbIconQuestion, dialog) != kIdYes) {
    report.Log(Jp("中止しました。"));
    return false;
  }
  return true;
}

bool PrepareExport(HWND dialog, RunJob& job, RunReport&) {
  job.csvPath = ControlText(dialog, kFileBoxId);
  if (job.csvPath.empty()) {
    ShowMessage(Jp("ファイル保存先を指定してください"), Jp("エクスポート"), kMbOk | kMbIconInformation, dialog);
    return false;
  }
  return true;
}

bool PrepareImport(HWND dialog, RunJob& job, RunReport&) {
  job.csvPath = ControlText(dialog, kFileBoxId);
  if (job.csvPath.empty()) {
    ShowMessage(Jp("インポートするファイルを指定してください"), Jp("インポート"), kMbOk | kMbIconInformation, dialog);
    return false;
  }
  return ShowMessage(Jp("ライブラリはインポートする情報で上書きされます。\n実行しますか？"), Jp("インポート確認"),
                     kMbYesNo | kMbIconQuestion, dialog) == kIdYes;
}

bool PrepareRemoval(HWND dialog, RunJob& job, RunReport&) {
  if (job.machineText.empty()) return false;
  if (job.optionTicked) return true;
  return ShowMessage(RemoveAllQuestion(job.machineText), Jp("確認"), kMbYesNo | kMbIconQuestion, dialog) == kIdYes;
}

const Operation kOperations[] = {
    {MaintenanceOperation::RemoveMissingImages, "不在イメージをライブラリから削除", "ライブラリから削除",
     "ファイルの存在しないアイテムのみライブラリから削除", nullptr, true,
     [](LibraryConnection& db, const RunJob& job, StopFlag& stop, RunReport& report) {
       if (!job.optionTicked) return RunRemoveAllImages(db, job.selection.machine, job.machineText, report);
       return RunRemoveMissingImages(db, job.selection.machine, ProbePath, stop, report);
     },
     PrepareRemoval},
    {MaintenanceOperation::ReplaceColumnValue, "カラム値の置換", "カラム値の置換（上級者向け。注意して使用するべし。）",
     nullptr, "テスト", true,
     [](LibraryConnection& db, const RunJob& job, StopFlag& stop, RunReport& report) {
       if (job.testOnly) return RunReplacementTest(db, job.replace, stop, report);
       return RunReplacement(db, job.replace, report);
     },
     PrepareReplacement},
    {MaintenanceOperation::ExportCsv, "エクスポート", "CSV形式（カンマ区切り）※完全なバックアップではありません",
     "1行目に見出しを付加", nullptr, true,
     [](LibraryConnection& db, const RunJob& job, StopFlag& stop, RunReport& report) {
       return RunCsvExport(db, {job.selection.machine, job.optionTicked, job.csvPath}, stop, report);
     },
     PrepareExport},
    {MaintenanceOperation::ImportCsv, "インポート", "CSV形式（カンマ区切り）※並びはヘルプを参照",
     "1行目を見出しとしてスキップする", nullptr, false,
     [](LibraryConnection& db, const RunJob& job, StopFlag& stop, RunReport& report) {
       return RunCsvImport(db, *job.converter, {job.csvPath, job.optionTicked}, stop, report);
     },
     PrepareImport},
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
  // The worker's lines reach the list in bunches, at most about 20 times a
  // second; lines logged on the GUI thread go in at once.
  void Log(const std::string& line) override {
    pendingLines.push_back(line);
    DWORD now = GetTickCount();
    if (GetCurrentThreadId() == guiThread || now - lastLogShown >= kProgressIntervalMs) {
      lastLogShown = now;
      FlushLog();
    }
  }
  void FlushLog() {
    if (pendingLines.empty()) return;
    std::vector<std::string> lines;
    lines.swap(pendingLines);
    SendMessageA(dialog, kLogLinesMessage, 0, reinterpret_cast<LPARAM>(&lines));
  }
  // On the GUI thread.
  void AddLogLine(const std::string& line) {
    HWND list = GetDlgItem(dialog, kLogId);
    for (;;) {
      LRESULT index = SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(line.c_str()));
      if (index >= 0) {
        // The scroll range follows the longest line.
        if (line.size() > longestLine) {
          longestLine = line.size();
          SendMessageA(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(longestLine * 7 + 20), 0);
        }
        return;
      }
      // Out of space: the oldest line makes room.
      if (SendMessageA(list, LB_DELETESTRING, 0, 0) == LB_ERR) return;
    }
  }
  void StartProgress(int total) override {
    HWND bar = GetDlgItem(dialog, kProgressId);
    this->total = total;
    position = 0;
    lastShown = 0;
    SendMessageA(bar, PBM_SETRANGE32, 0, total);
    SendMessageA(bar, PBM_SETSTEP, 1, 0);
    SendMessageA(bar, PBM_SETPOS, 0, 0);
  }
  void StepProgress() override {
    ++position;
    DWORD now = GetTickCount();
    if (now - lastShown < kProgressIntervalMs && position != total) return;
    lastShown = now;
    SendMessageA(GetDlgItem(dialog, kProgressId), PBM_SETPOS, static_cast<WPARAM>(position), 0);
  }
  int Ask(const std::string& text, const std::string& caption, unsigned flags) override {
    FlushLog();
    AskRequest request{&text, &caption, flags, kIdNo};
    SendMessageA(dialog, kAskMessage, 0, reinterpret_cast<LPARAM>(&request));
    return request.answer;
  }
  int position = 0, total = 0;
  DWORD lastShown = 0, lastLogShown = 0;
  DWORD guiThread = GetCurrentThreadId();
  std::vector<std::string> pendingLines;
  size_t longestLine = 0;
  bool testRun = false;  // the extra button started the run and stops it
};

DWORD WINAPI RunThread(LPVOID parameter) {
  MaintenanceDialog& d = *static_cast<MaintenanceDialog*>(parameter);
  LibraryConnection db;
  db.Open(d.job.databasePath, d.job.extensionPath);
  d.result = d.operation->run(db, d.job, d.stop, d);
  db.Close();
  d.FlushLog();
  d.stop = kRunEnded;
  PostMessageA(d.dialog, kRunEndedMessage, 0, 0);
  return 0;
}

void Enable(HWND dialog, int id, bool enable) { EnableWindow(GetDlgItem(dialog, id), enable); }

void ShowRunning(MaintenanceDialog& d, bool running) {
  HWND dialog = d.dialog;
  const bool replacement = d.operation->number == MaintenanceOperation::ReplaceColumnValue;
  for (int id : {kMachinesId, kOptionBoxId, kExtraButtonId, kCloseId, kOldTextId, kNewTextId, kTargetId, kFileBoxId,
                 kFileButtonId})
    Enable(dialog, id, !running);
  if (replacement) {
    // The test stops at its own button; the replacement itself cannot be stopped.
    SetDlgItemTextA(dialog, kExtraButtonId, running && d.testRun ? Jp("中止").c_str() : Jp("テスト").c_str());
    if (running && d.testRun) Enable(dialog, kExtraButtonId, true);
    SetDlgItemTextA(dialog, kRunId, Jp("実行").c_str());
    Enable(dialog, kRunId, !running);
    return;
  }
  SetDlgItemTextA(dialog, kRunId, running ? Jp("中止").c_str() : Jp("実行").c_str());
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

bool HasFileBox(const Operation& op) {
  return op.number == MaintenanceOperation::ExportCsv || op.number == MaintenanceOperation::ImportCsv;
}

// The controls below the group box move down by this much for a file box.
int FileBoxShift(const Operation& op) { return HasFileBox(op) ? 30 : 0; }

void BrowseCsvFile(HWND dialog, bool saving) {
  FileRequest request{Jp("CSVファイル(*.csv)"), "*.csv", ControlText(dialog, kFileBoxId)};
  std::string path = saving ? PickFileToSave(request, dialog) : PickFileToOpen(request, dialog);
  if (!path.empty()) SetDlgItemTextA(dialog, kFileBoxId, path.c_str());
}

void Build(MaintenanceDialog& d) {
  HWND dialog = d.dialog;
  const Operation& op = *d.operation;
  const int shift = FileBoxShift(op);
  AddControl(dialog, "BUTTON", Description(d), BS_GROUPBOX, 10, 8, 460, 80 + shift, kDescriptionId);
  if (op.machineList) {
    AddControl(dialog, "STATIC", Jp("機種"), SS_LEFT, 24, 32, 40, 20, kMachineLabelId);
    AddControl(dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 68, 28, 220, 300, kMachinesId);
  } else if (op.number == MaintenanceOperation::FillSmartTitles) {
    AddControl(dialog, "STATIC", Jp("アップデートが必要なアイテムが見つかりました。\n実行をクリックして下さい。"),
               SS_LEFT, 24, 28, 436, 54, kWideLabelId);
  }
  if (op.number == MaintenanceOperation::ReplaceColumnValue) {
    AddControl(dialog, "STATIC", Jp("対象"), SS_LEFT, 300, 32, 36, 20, kTargetLabelId);
    AddControl(dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 336, 28, 124, 200, kTargetId);
    for (const ReplaceTarget& target : kReplaceTargets)
      SendDlgItemMessageA(dialog, kTargetId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Jp(target.label).c_str()));
    SendDlgItemMessageA(dialog, kTargetId, CB_SETCURSEL, 0, 0);
    // The list drops down wide enough for its longest label.
    SendDlgItemMessageA(dialog, kTargetId, CB_SETDROPPEDWIDTH, 220, 0);
    AddControl(dialog, "STATIC", Jp("置換前"), SS_LEFT, 24, 60, 44, 20, kOldTextLabelId);
    AddControl(dialog, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 68, 56, 170, 22, kOldTextId);
    AddControl(dialog, "STATIC", Jp("置換後"), SS_LEFT, 246, 60, 44, 20, kNewTextLabelId);
    AddControl(dialog, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 290, 56, 170, 22, kNewTextId);
    SendDlgItemMessageA(dialog, kOldTextId, EM_LIMITTEXT, 260, 0);
    SendDlgItemMessageA(dialog, kNewTextId, EM_LIMITTEXT, 260, 0);
  }
  if (op.optionBox) {
    AddControl(dialog, "BUTTON", Jp(op.optionBox), BS_AUTOCHECKBOX | WS_TABSTOP, 24, 58, 420, 20, kOptionBoxId);
    CheckDlgButton(dialog, kOptionBoxId, BST_CHECKED);
  }
  if (HasFileBox(op)) {
    AddControl(dialog, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 24, 84, 380, 22, kFileBoxId);
    SendDlgItemMessageA(dialog, kFileBoxId, EM_LIMITTEXT, 259, 0);
    AddControl(dialog, "BUTTON", ". .", BS_PUSHBUTTON | WS_TABSTOP, 410, 83, 50, 24, kFileButtonId);
  }
  AddControl(dialog, "BUTTON", Jp("ログ"), BS_GROUPBOX, 10, 94 + shift, 460, 228, -1);
  AddControl(dialog, "LISTBOX", "",
             WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT | LBS_NOSEL, 20, 112 + shift, 440, 200, kLogId);
  AddControl(dialog, "msctls_progress32", "", 0, 10, 330 + shift, 460, 18, kProgressId);
  if (op.extraButton)
    AddControl(dialog, "BUTTON", Jp(op.extraButton), BS_PUSHBUTTON | WS_TABSTOP, 10, 358 + shift, 110, 28,
               kExtraButtonId);
  AddControl(dialog, "BUTTON", Jp("実行"), BS_DEFPUSHBUTTON | WS_TABSTOP, 270, 358 + shift, 96, 28, kRunId);
  AddControl(dialog, "BUTTON", Jp("閉じる"), BS_PUSHBUTTON | WS_TABSTOP, 374, 358 + shift, 96, 28, kCloseId);
  if (op.machineList) LoadMachines(d);
  // "データベース更新" is left only by finishing or stopping the run.
  if (op.number == MaintenanceOperation::FillSmartTitles) Enable(dialog, kCloseId, false);
}

void StartRun(MaintenanceDialog& d, bool testOnly = false) {
  HWND dialog = d.dialog;
  AppState& app = *d.app;
  RunJob job;
  if (d.operation->machineList) {
    HWND list = GetDlgItem(dialog, kMachinesId);
    LRESULT index = SendMessageA(list, CB_GETCURSEL, 0, 0);
    if (index < 0) return;
    const std::string machine = ComboEntryText(list, index);
    job.machineText = machine;
    if (index > 0) job.selection.machine = machine;
  }
  job.optionTicked = d.operation->optionBox && IsDlgButtonChecked(dialog, kOptionBoxId) == BST_CHECKED;
  job.selection.onlyEmpty = job.optionTicked;
  ReadingSettings reading = CurrentReadingSettings(app);
  Kakasi& kakasi = ProgramKakasi(app.paths.base, reading.kanaMode != kKanaHiragana);
  job.databasePath = app.databasePath;
  job.extensionPath = app.regexExtensionPath;
  job.converter = std::make_unique<TitleConverter>(ReadSymbolTables(app.paths.settingsFile), &kakasi);
  job.options = ReadingOptions(reading, kakasi.Ready());
  job.testOnly = testOnly;
  d.testRun = testOnly;
  SendDlgItemMessageA(dialog, kLogId, LB_RESETCONTENT, 0, 0);
  d.longestLine = 0;
  if (d.operation->prepare) {
    ShowRunning(d, true);
    bool go = d.operation->prepare(dialog, job, d);
    ShowRunning(d, false);
    if (!go) return;
  }
  d.job = std::move(job);
  d.result = RunResult{};

  if (d.operation->number == MaintenanceOperation::FillSmartTitles)
    SetDlgItemTextA(dialog, kWideLabelId,
                    Jp("中止すると次回起動時に続きから処理を再開します。\n未処理のアイテムは柔軟に検索されない可能性があります。").c_str());
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
  if (r.message) {
    if (!d.closing) ShowMessage(r.message->text, r.message->caption, r.message->flags, dialog);
  } else switch (r.end) {
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
  // An export reads the library and changes nothing in it.
  bool changed = r.libraryChanged || (r.rowsWritten > 0 && number != MaintenanceOperation::ExportCsv);
  if (changed && d.app->reloadItemList) d.app->reloadItemList(d.focusedKey);
}

// Asks a running worker to stop and waits for it, serving the messages it
// sends meanwhile; nothing the worker uses goes before it has ended.
void StopAndWait(MaintenanceDialog& d) {
  d.closing = true;
  RequestStop(d);
  std::optional<WPARAM> quit;
  if (WaitServingMessages(d.thread, quit)) EndRun(d);
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
          if (d->operation->number == MaintenanceOperation::ReplaceColumnValue) {
            if (!d->thread)
              StartRun(*d, true);
            else if (d->testRun)
              RequestStop(*d);
            return 0;
          }
          if (!d->thread && d->operation->number == MaintenanceOperation::Readings) {
            ShowKanaSettingsDialog(*d->app, dialog);
            SetDlgItemTextA(dialog, kDescriptionId, Description(*d).c_str());
            SetForegroundWindow(dialog);
          }
          return 0;
        case kFileButtonId:
          if (!d->thread) BrowseCsvFile(dialog, d->operation->number == MaintenanceOperation::ExportCsv);
          return 0;
        case kCloseId: Close(*d); return 0;
      }
      break;
    case kRunEndedMessage:
      EndRun(*d);
      return 0;
    case kLogLinesMessage:
      for (const std::string& line : *reinterpret_cast<std::vector<std::string>*>(lParam)) d->AddLogLine(line);
      SendDlgItemMessageA(dialog, kLogId, LB_SETTOPINDEX,
                          static_cast<WPARAM>(SendDlgItemMessageA(dialog, kLogId, LB_GETCOUNT, 0, 0) - 1), 0);
      return 0;
    case kAskMessage: {
      auto* request = reinterpret_cast<AskRequest*>(lParam);
      // While the dialog closes the run is being stopped: nothing more is asked.
      request->answer = d->closing ? kIdNo : ShowMessage(*request->text, *request->caption, request->flags, dialog);
      return 0;
    }
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
  data.dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp(operation->title), 480,
                                   396 + FileBoxShift(*operation), Procedure, &data);
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
