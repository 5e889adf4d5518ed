// RomCopyDlg: "イメージファイルのバックアップ", the window over the backup run.
// The sizes are summed and the copy is run on workers of their own, each
// with its own connection and the keys taken from the item list here.
#include "editing/image_backup_dlg_win.h"

#include <windows.h>
#include <objbase.h>
#include <shellapi.h>

#include <memory>
#include <optional>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "core/settings.h"
#include "db/database_dialogs_win.h"
#include "db/library_connection.h"
#include "editing/backup_copier_win.h"
#include "editing/image_backup.h"
#include "launch/archive_names.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "platform/wide_text_win.h"
#include "search/item_list_query.h"

namespace vel {
namespace {

enum : int {
  kSourceNameId = 3201,
  kSourceSizeId,
  kDestinationId,
  kBrowseId,
  kDriveSpaceId,
  kExtractId,
  kExplorerId,
  kCloseWhenDoneId,
  kStatusId,
  kStartId,
  kCloseId = IDCANCEL,
};

constexpr UINT kSizesMessage = WM_APP + 1;
constexpr UINT kRunEndedMessage = WM_APP + 2;
constexpr UINT_PTR kCloseTimer = 1;
constexpr const char* kTitle = "イメージファイルのバックアップ";

// The empty set stands in when no archiver library was loaded: ZIP members
// are then extracted by our own reader.
class NoArchivers : public ArchiverSet {
 public:
  Archiver* Loaded(ArchiverId) override { return nullptr; }
};

struct BackupDialog {
  AppState* app = nullptr;
  HWND dialog = nullptr;
  std::vector<BackupItem> items;  // taken from the item list when the window opens

  StopFlag sizesStop{kRunEnded};
  HANDLE sizesThread = nullptr;
  BackupSummary summary;

  StopFlag stop{kRunEnded};
  HANDLE thread = nullptr;
  BackupJob job;
  BackupOutcome outcome;
  std::string databasePath, extensionPath;  // copied for the workers
  bool closeAfterRun = false;  // closed while running: the run was asked to stop
  bool destroying = false;     // the window is going: results are no longer shown
};

void Enable(HWND dialog, int id, bool enable) { EnableWindow(GetDlgItem(dialog, id), enable); }

// Worker: sums the sizes of the files while the window is already usable.
DWORD WINAPI SizesThread(LPVOID parameter) {
  BackupDialog& d = *static_cast<BackupDialog*>(parameter);
  LibraryConnection db;
  db.Open(d.databasePath, d.extensionPath);
  d.summary = SummariseBackupSources(db, d.items, d.sizesStop);
  db.Close();
  d.sizesStop = kRunEnded;
  PostMessageA(d.dialog, kSizesMessage, 0, 0);
  return 0;
}

void ShowSizes(BackupDialog& d) {
  if (!d.sizesThread) return;
  WaitForSingleObject(d.sizesThread, INFINITE);
  CloseHandle(d.sizesThread);
  d.sizesThread = nullptr;
  if (d.destroying) return;
  const BackupSummary& s = d.summary;
  if (!s.error.empty()) {
    SetDlgItemTextA(d.dialog, kSourceSizeId, Jp("合計: -").c_str());
    ShowMessage(Jp("子イメージが取得できませんでした\n") + Utf8ToAnsi(s.error), Jp("DBエラー"), kMbOk | kMbIconError,
                d.dialog);
    return;
  }
  if (!s.complete) return;
  SetDlgItemTextA(d.dialog, kSourceNameId, BackupSourceText(s).c_str());
  SetDlgItemTextA(d.dialog, kSourceSizeId, (Jp("合計: ") + BackupSizeText(s.totalBytes)).c_str());
}

void ShowDriveSpace(BackupDialog& d) {
  const std::string folder = WindowText(GetDlgItem(d.dialog, kDestinationId));
  std::uint64_t total = 0, available = 0;
  std::string text = Jp("総容量: -    空き容量: -");
  if (!folder.empty() && DirectoryExists(folder) && DriveSpace(folder, total, available))
    text = Jp("総容量: ") + BackupSizeText(total) + Jp("    空き容量: ") + BackupSizeText(available);
  SetDlgItemTextA(d.dialog, kDriveSpaceId, text.c_str());
}

// The typed folder as a full path (a relative one is taken from the current
// folder), with no trailing backslash but on a drive's root.
std::string FullFolderPath(const std::string& typed) {
  if (typed.empty()) return typed;
  const std::wstring wide = WideFromAnsi(typed);
  DWORD n = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (n == 0) return typed;
  std::wstring full(n, L'\0');
  n = GetFullPathNameW(wide.c_str(), n, full.data(), nullptr);
  full.resize(n);
  while (full.size() > 3 && full.back() == L'\\') full.pop_back();
  BOOL lossy = FALSE;
  int bytes = WideCharToMultiByte(CP_ACP, 0, full.data(), static_cast<int>(full.size()), nullptr, 0, nullptr, &lossy);
  if (bytes <= 0 || lossy) return typed;
  std::string ansi(static_cast<size_t>(bytes), '\0');
  WideCharToMultiByte(CP_ACP, 0, full.data(), static_cast<int>(full.size()), ansi.data(), bytes, nullptr, nullptr);
  return ansi;
}

void ShowRunning(BackupDialog& d, bool running) {
  SetDlgItemTextA(d.dialog, kStartId, running ? Jp("中止").c_str() : Jp("開始").c_str());
  for (int id : {kDestinationId, kBrowseId, kExtractId, kExplorerId, kCloseWhenDoneId, kCloseId})
    Enable(d.dialog, id, !running);
}

DWORD WINAPI RunThread(LPVOID parameter) {
  BackupDialog& d = *static_cast<BackupDialog*>(parameter);
  // The shell's copy wants an apartment on its thread.
  HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
  LibraryConnection db;
  db.Open(d.databasePath, d.extensionPath);
  NoArchivers none;
  ArchiverSet& archivers = d.app->archivers ? *d.app->archivers : static_cast<ArchiverSet&>(none);
  ShellBackupCopier copier(d.dialog);
  HWND status = GetDlgItem(d.dialog, kStatusId);
  d.outcome = RunImageBackup(db, archivers, d.job, copier, d.stop, [status](const std::string& text) {
    SendMessageA(status, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  });
  db.Close();
  if (SUCCEEDED(com)) CoUninitialize();
  d.stop = kRunEnded;
  PostMessageA(d.dialog, kRunEndedMessage, 0, 0);
  return 0;
}

void StartRun(BackupDialog& d) {
  HWND dialog = d.dialog;
  AppState& app = *d.app;
  const std::string destination = FullFolderPath(WindowText(GetDlgItem(dialog, kDestinationId)));
  const std::string tempFolder = BackupTempFolder(app.paths.base);
  if (auto refusal = BackupDestinationRefusal(destination, tempFolder)) {
    ShowMessage(*refusal, Jp("中止"), kMbOk | kMbIconWarning, dialog);
    return;
  }
  SetSetting(app.settings, "ImageCopy", "FolderPath", destination);
  BackupJob job;
  job.items = d.items;
  job.destination = destination;
  job.tempFolder = tempFolder;
  job.extractMembers = IsDlgButtonChecked(dialog, kExtractId) == BST_CHECKED;
  job.owner = dialog;
  d.job = std::move(job);
  d.outcome = BackupOutcome{};
  SetDlgItemTextA(dialog, kStatusId, Jp("バックアップ中です・・").c_str());
  ShowRunning(d, true);
  d.stop = kRunRunning;
  d.thread = CreateThread(nullptr, 0, RunThread, &d, 0, nullptr);
  if (!d.thread) {
    d.stop = kRunEnded;
    ShowRunning(d, false);
    SetDlgItemTextA(dialog, kStatusId, "");
    ShowMessage(Jp("バックアップを開始できませんでした。"), Jp("エラー"), kMbOk | kMbIconError, dialog);
  }
}

void RequestStop(StopFlag& stop) {
  std::uint16_t running = kRunRunning;
  stop.compare_exchange_strong(running, kRunStopRequested);
}

void EndRun(BackupDialog& d) {
  if (!d.thread) return;
  WaitForSingleObject(d.thread, INFINITE);
  CloseHandle(d.thread);
  d.thread = nullptr;
  if (d.destroying) return;
  HWND dialog = d.dialog;
  ShowRunning(d, false);
  ShowDriveSpace(d);
  if (d.closeAfterRun) {
    DestroyWindow(dialog);
    return;
  }
  const BackupReport report = BackupResultText(d.outcome, d.job.tempFolder);
  const std::string firstLine = report.text.substr(0, report.text.find('\n'));
  SetDlgItemTextA(dialog, kStatusId, firstLine.c_str());
  MessageBeep(report.success ? MB_ICONASTERISK : MB_ICONHAND);
  // The result line says it all only for a plain success.
  if (report.text != firstLine || !report.success)
    ShowMessage(report.text, report.databaseError ? Jp("DBエラー") : Jp(kTitle),
                kMbOk | (report.success ? kMbIconInformation : kMbIconError), dialog);
  if (!report.success) return;
  if (IsDlgButtonChecked(dialog, kExplorerId) == BST_CHECKED)
    ShellExecuteW(dialog, L"open", L"explorer.exe", WideFromAnsi("\"" + d.job.destination + "\"").c_str(), nullptr,
                  SW_SHOWNORMAL);
  if (IsDlgButtonChecked(dialog, kCloseWhenDoneId) == BST_CHECKED) SetTimer(dialog, kCloseTimer, 1500, nullptr);
}

// Waits for a worker, serving the messages it sends meanwhile (the ended
// messages may join it first).
void WaitServing(HANDLE& thread) {
  std::optional<WPARAM> quit;
  if (WaitServingMessages(thread, quit)) {
    CloseHandle(thread);
    thread = nullptr;
  }
  if (quit) PostQuitMessage(static_cast<int>(*quit));
}

void Browse(BackupDialog& d) {
  HWND edit = GetDlgItem(d.dialog, kDestinationId);
  std::string chosen = PickFolderOrFile({Jp("バックアップ先のフォルダ"), WindowText(edit)}, d.dialog);
  if (chosen.empty()) return;
  SetWindowTextA(edit, chosen.c_str());
  ShowDriveSpace(d);
}

void Close(BackupDialog& d) {
  if (d.thread) {
    // Closing while the copy runs asks it to stop; the window goes when it has.
    d.closeAfterRun = true;
    RequestStop(d.stop);
    return;
  }
  DestroyWindow(d.dialog);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  BackupDialog* d = DialogData<BackupDialog>(dialog);
  if (!d) return DefWindowProcA(dialog, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kStartId:
          if (d->thread)
            RequestStop(d->stop);
          else
            StartRun(*d);
          return 0;
        case kBrowseId:
          if (!d->thread) Browse(*d);
          return 0;
        case kDestinationId:
          if (HIWORD(wParam) == EN_CHANGE) ShowDriveSpace(*d);
          return 0;
        case kCloseId: Close(*d); return 0;
      }
      break;
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      // Labels and the group frames on the window's own face, not black.
      SetBkMode(reinterpret_cast<HDC>(wParam), TRANSPARENT);
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case kSizesMessage:
      ShowSizes(*d);
      return 0;
    case kRunEndedMessage:
      EndRun(*d);
      return 0;
    case WM_TIMER:
      if (wParam == kCloseTimer) {
        KillTimer(dialog, kCloseTimer);
        Close(*d);
      }
      return 0;
    case WM_CLOSE:
      Close(*d);
      return 0;
    case WM_DESTROY:
      // Destroyed under a worker (the program is quitting): both write into
      // this window, so they are stopped and awaited first.
      d->destroying = true;
      RequestStop(d->sizesStop);
      RequestStop(d->stop);
      WaitServing(d->sizesThread);
      WaitServing(d->thread);
      return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

void Build(BackupDialog& d) {
  HWND dialog = d.dialog;
  AddControl(dialog, "BUTTON", Jp("バックアップ元の情報"), BS_GROUPBOX, 10, 8, 440, 66, -1);
  // Until the sizes are in, the selected items stand for the files.
  BackupSummary selected;
  selected.firstName = BackupItemName(d.items.front().key);
  selected.fileCount = d.items.size();
  AddControl(dialog, "STATIC", BackupSourceText(selected), SS_LEFT | SS_PATHELLIPSIS | SS_NOPREFIX, 24, 28, 412, 18, kSourceNameId);
  AddControl(dialog, "STATIC", Jp("合計: -計算中- "), SS_LEFT, 24, 48, 412, 18, kSourceSizeId);

  AddControl(dialog, "BUTTON", Jp("バックアップ先の情報"), BS_GROUPBOX, 10, 82, 440, 86, -1);
  AddControl(dialog, "EDIT", SettingText(d.app->settings, "ImageCopy", "FolderPath"),
             ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 24, 104, 330, 24, kDestinationId);
  AddControl(dialog, "BUTTON", Jp("参照..."), BS_PUSHBUTTON | WS_TABSTOP, 362, 104, 74, 24, kBrowseId);
  AddControl(dialog, "STATIC", "", SS_LEFT, 24, 138, 412, 18, kDriveSpaceId);

  AddControl(dialog, "BUTTON", Jp("圧縮ファイルは展開してバックアップ"), BS_AUTOCHECKBOX | WS_TABSTOP, 16, 178, 430,
             20, kExtractId);
  AddControl(dialog, "BUTTON", Jp("エクスプローラで開く"), BS_AUTOCHECKBOX | WS_TABSTOP, 16, 202, 430, 20,
             kExplorerId);
  AddControl(dialog, "BUTTON", Jp("バックアップが終わったらこのダイアログを閉じる"), BS_AUTOCHECKBOX | WS_TABSTOP,
             16, 226, 430, 20, kCloseWhenDoneId);
  AddControl(dialog, "STATIC", "", SS_LEFT | SS_NOPREFIX | SS_PATHELLIPSIS, 12, 258, 436, 18, kStatusId);
  AddControl(dialog, "BUTTON", Jp("開始"), BS_DEFPUSHBUTTON | WS_TABSTOP, 258, 286, 92, 28, kStartId);
  AddControl(dialog, "BUTTON", Jp("閉じる"), BS_PUSHBUTTON | WS_TABSTOP, 358, 286, 92, 28, kCloseId);
  ShowDriveSpace(d);
}

}  // namespace

void ShowImageBackupDialog(AppState& app) {
  BackupDialog d;
  d.app = &app;
  // The keys and set marks are taken here: the worker never reads the list.
  for (int row : SelectedItemRows(app))
    d.items.push_back({app.mainDb.Cell(row, 0), app.mainDb.Cell(row, kPosMultiDisk) == "1"});
  if (d.items.empty()) {
    ShowMessage(Jp("バックアップするアイテムが選択されていません。"), Jp("中止"), kMbOk | kMbIconInformation,
                app.mainWindow);
    return;
  }
  d.databasePath = app.databasePath;
  d.extensionPath = app.regexExtensionPath;
  d.dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp(kTitle), 460, 326, Procedure, &d);
  if (!d.dialog) return;
  Build(d);
  d.sizesStop = kRunRunning;
  d.sizesThread = CreateThread(nullptr, 0, SizesThread, &d, 0, nullptr);
  if (!d.sizesThread) {
    d.sizesStop = kRunEnded;
    SetDlgItemTextA(d.dialog, kSourceSizeId, Jp("合計: -").c_str());
  }
  RunModal(d.dialog, app.mainWindow);
}

}  // namespace vel
