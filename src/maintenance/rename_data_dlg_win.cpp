// RenDatDlg and RenDatProcDlg: the rename-data settings and the window of a
// run. The plug-in is loaded by the settings dialog and called only from the
// run's worker thread while the progress window is open.
#include "maintenance/rename_data_dlg_win.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "db/library_connection.h"
#include "maintenance/rename_data.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/profile.h"
#include "platform/system.h"

namespace vel {
namespace {

enum : int {
  kMachinesId = 2301,
  kListFileId,
  kListBrowseId,
  kPluginPictureId,
  kPluginsId,
  kAuthorId,
  kVersionId,
  kInfoId,
  kKeysId,
  kTestId,
  kRunId,
  kFirstFieldId = 2340,  // the 21 field boxes, in table order
  kCloseId = IDCANCEL,
};
enum : int { kKeyTextId = 2401, kStatusId, kProgressId, kStopId, kResultsId, kNoteId };

constexpr UINT kRunEndedMessage = WM_APP + 1;
constexpr UINT kAskMessage = WM_APP + 2;
constexpr UINT kTestRowMessage = WM_APP + 3;
constexpr UINT kShowMessage = WM_APP + 4;  // the status, the key and the bar, throttled
constexpr UINT_PTR kStartTimer = 1;
constexpr DWORD kReportIntervalMs = 50;

const char* const kSection = "ReNameData";
const char* const kFolderKey = "FolderPath";

struct AskRequest {
  const std::string* text;
  const std::string* caption;
  unsigned flags;
  int answer;
};

std::string PluginFolder(const AppState& app) { return app.paths.base + "\\plugin\\"; }


// ---- RenDatProcDlg ----

struct ProgressDialog : RenameReport {
  AppState* app = nullptr;
  const RenamePlugin* plugin = nullptr;
  RenameRequest request;
  HWND window = nullptr;
  StopFlag stop{kRunEnded};
  HANDLE thread = nullptr;
  RenameResult result;
  std::string savedDirectory;
  bool closing = false;

  // Latest values from the worker; the window shows them at most every 50 ms.
  CRITICAL_SECTION lock;
  std::string status, key;
  int total = 0, position = 0;
  DWORD lastShown = 0;

  ProgressDialog() { InitializeCriticalSection(&lock); }
  ~ProgressDialog() { DeleteCriticalSection(&lock); }

  void Show(bool now) {
    DWORD tick = GetTickCount();
    if (!now && tick - lastShown < kReportIntervalMs) return;
    lastShown = tick;
    SendMessageA(window, kShowMessage, 0, 0);
  }
  void Status(const std::string& text) override {
    EnterCriticalSection(&lock);
    status = text;
    LeaveCriticalSection(&lock);
    Show(false);
  }
  void Key(const std::string& text) override {
    EnterCriticalSection(&lock);
    key = text;
    LeaveCriticalSection(&lock);
    Show(false);
  }
  void StartProgress(int count) override {
    total = count;
    position = 0;
    SendMessageA(window, kShowMessage, 1, 0);
  }
  void StepProgress() override {
    ++position;
    Show(position == total);
  }
  void TestRow(const std::vector<std::string>& cells) override {
    SendMessageA(window, kTestRowMessage, 0, reinterpret_cast<LPARAM>(&cells));
  }
  int Ask(const std::string& text, const std::string& caption, unsigned flags) override {
    AskRequest ask{&text, &caption, flags, kIdNo};
    SendMessageA(window, kAskMessage, 0, reinterpret_cast<LPARAM>(&ask));
    return ask.answer;
  }
};

DWORD WINAPI RunThread(LPVOID parameter) {
  ProgressDialog& d = *static_cast<ProgressDialog*>(parameter);
  LibraryConnection db;
  db.Open(d.app->databasePath, d.app->regexExtensionPath);
  TitleConverter converter(ReadSymbolTables(d.app->paths.settingsFile));
  d.result = RunRenameData(db, *d.plugin, &converter, d.request, d.stop, d);
  db.Close();
  d.stop = kRunEnded;
  PostMessageA(d.window, kRunEndedMessage, 0, 0);
  return 0;
}

void StartWorker(ProgressDialog& d) {
  // A plug-in may read files of its own folder by relative names.
  d.savedDirectory = CurrentDirectory();
  SetCurrentDirectoryA(PluginFolder(*d.app).c_str());
  d.stop = kRunRunning;
  d.thread = CreateThread(nullptr, 0, RunThread, &d, 0, nullptr);
  if (!d.thread) {
    d.stop = kRunEnded;
    SetCurrentDirectoryA(d.savedDirectory.c_str());
    SetDlgItemTextA(d.window, kStatusId, Jp("処理を開始できませんでした。").c_str());
    SetDlgItemTextA(d.window, kStopId, Jp("終了").c_str());
  }
}

void EndWorker(ProgressDialog& d) {
  if (!d.thread) return;
  WaitForSingleObject(d.thread, INFINITE);
  CloseHandle(d.thread);
  d.thread = nullptr;
  // Programs started later must not run in the plugin folder.
  SetCurrentDirectoryA(d.savedDirectory.c_str());
  SendMessageA(d.window, kShowMessage, 0, 0);
  SendDlgItemMessageA(d.window, kProgressId, PBM_SETMARQUEE, FALSE, 0);
  SetDlgItemTextA(d.window, kStopId, Jp("終了").c_str());
  MessageBeep(MB_ICONASTERISK);
  if (d.result.message && !d.closing)
    ShowMessage(d.result.message->text, d.result.message->caption, d.result.message->flags, d.window);
  if (d.result.libraryChanged && d.app->reloadItemList) d.app->reloadItemList("");
}

void CloseProgress(ProgressDialog& d) {
  if (d.closing) return;
  d.closing = true;
  KillTimer(d.window, kStartTimer);
  if (d.thread) {
    std::uint16_t running = kRunRunning;
    d.stop.compare_exchange_strong(running, kRunStopRequested);
    std::optional<WPARAM> quit;
    if (WaitServingMessages(d.thread, quit)) EndWorker(d);
    if (quit) PostQuitMessage(static_cast<int>(*quit));
  }
  DestroyWindow(d.window);
}

LRESULT CALLBACK ProgressProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  ProgressDialog* d = DialogData<ProgressDialog>(window);
  if (!d) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_TIMER:
      if (wParam == kStartTimer) {
        KillTimer(window, kStartTimer);
        if (!d->closing) StartWorker(*d);
      }
      return 0;
    case WM_COMMAND:
      if (LOWORD(wParam) == kStopId || LOWORD(wParam) == IDCANCEL) {
        // The first press stops the run; once it reads "終了" the window closes.
        if (WindowText(GetDlgItem(window, kStopId)) == Jp("終了") || !d->thread) {
          CloseProgress(*d);
        } else {
          std::uint16_t running = kRunRunning;
          d->stop.compare_exchange_strong(running, kRunStopRequested);
        }
        return 0;
      }
      break;
    case kShowMessage: {
      HWND bar = GetDlgItem(window, kProgressId);
      if (wParam == 1) {
        if (d->total == 0) {
          SetWindowLongPtrA(bar, GWL_STYLE, GetWindowLongPtrA(bar, GWL_STYLE) | PBS_MARQUEE);
          SendMessageA(bar, PBM_SETMARQUEE, TRUE, 10);
        } else {
          SendMessageA(bar, PBM_SETRANGE32, 0, d->total);
          SendMessageA(bar, PBM_SETPOS, 0, 0);
        }
        return 0;
      }
      EnterCriticalSection(&d->lock);
      std::string status = d->status, key = d->key;
      LeaveCriticalSection(&d->lock);
      SetDlgItemTextA(window, kStatusId, status.c_str());
      SetDlgItemTextA(window, kKeyTextId, key.c_str());
      if (d->total > 0) SendMessageA(bar, PBM_SETPOS, static_cast<WPARAM>(d->position), 0);
      return 0;
    }
    case kTestRowMessage: {
      const auto& cells = *reinterpret_cast<const std::vector<std::string>*>(lParam);
      HWND list = GetDlgItem(window, kResultsId);
      LVITEMA item{};
      item.mask = LVIF_TEXT;
      item.iItem = ListView_GetItemCount(list);
      item.pszText = const_cast<char*>(cells[0].c_str());
      int row = ListView_InsertItem(list, &item);
      for (size_t c = 1; c < cells.size() && row >= 0; ++c)
        ListView_SetItemText(list, row, static_cast<int>(c), const_cast<char*>(cells[c].c_str()));
      return 0;
    }
    case kAskMessage: {
      auto* ask = reinterpret_cast<AskRequest*>(lParam);
      ask->answer = d->closing ? kIdNo : ShowMessage(*ask->text, *ask->caption, ask->flags, window);
      return 0;
    }
    case kRunEndedMessage:
      EndWorker(*d);
      return 0;
    case WM_CLOSE:
      CloseProgress(*d);
      return 0;
    case WM_DESTROY:
      if (d->thread && !d->closing) CloseProgress(*d);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

struct Column {
  const char* title;
  int width;
};
const Column kResultColumns[] = {
    {"キー", 72},          {"タイトル", 150},     {"メーカー", 100},     {"国", 40},          {"バージョン", 70},
    {"発売年", 60},        {"IMG番号", 60},       {"ジャンル", 150},     {"R指定", 60},       {"クリエイター", 150},
    {"メモ", 150},         {"読み仮名", 100},     {"開発元", 100},       {"発売年月日", 150}, {"型番", 50},
    {"価格", 50},          {"メディア情報", 150}, {"対応機器", 150},     {"プレイヤー数", 150},
    {"セーブデータ", 150}, {"サウンド情報", 150}, {"拡張R指定", 100},
};

void RunProgressDialog(AppState& app, HWND owner, const RenamePlugin& plugin, RenameRequest request) {
  ProgressDialog d;
  d.app = &app;
  d.plugin = &plugin;
  d.request = std::move(request);
  const bool test = d.request.testOnly;
  const int width = test ? 760 : 480;
  d.window = CreateDialogWindow(app.instance, owner, Jp("リネームデータからライブラリ更新"), width, test ? 420 : 150, ProgressProcedure, &d);
  if (!d.window) return;
  HWND w = d.window;
  AddControl(w, "STATIC", Jp("検索中キー"), SS_LEFT, 10, 12, 80, 20, -1);
  AddControl(w, "STATIC", "", SS_LEFT | SS_NOPREFIX, 94, 12, width - 104, 20, kKeyTextId);
  AddControl(w, "STATIC", Jp("処理内容"), SS_LEFT, 10, 38, 80, 20, -1);
  AddControl(w, "STATIC", test ? Jp("テスト中") : "", SS_LEFT | SS_NOPREFIX, 94, 38, width - 104, 20, kStatusId);
  AddControl(w, "msctls_progress32", "", 0, 10, 66, width - 20, 18, kProgressId);
  AddControl(w, "BUTTON", Jp("中止"), BS_DEFPUSHBUTTON | WS_TABSTOP, width - 106, test ? 382 : 108, 96, 28, kStopId);
  if (test) {
    AddControl(w, "STATIC", Jp("テストモード：検索するキーが100件マッチするか候補がなくなるまでトライします"),
               SS_LEFT, 10, 92, width - 20, 20, kNoteId);
    HWND list = AddControl(w, WC_LISTVIEWA, "", WS_BORDER | LVS_REPORT | LVS_SINGLESEL | WS_TABSTOP, 10, 116,
                           width - 20, 258, kResultsId);
    ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
    int index = 0;
    for (const Column& c : kResultColumns) {
      std::string title = Jp(c.title);
      LVCOLUMNA column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH;
      column.cx = c.width;
      column.pszText = title.data();
      ListView_InsertColumn(list, index++, &column);
    }
  }
  SetTimer(w, kStartTimer, 500, nullptr);
  RunModal(w, owner);
}

// ---- RenDatDlg ----

struct SettingsDialog {
  AppState* app = nullptr;
  HWND window = nullptr;
  RenamePlugin plugin;
  HICON usable = nullptr, unusable = nullptr;
};

void SetPicture(SettingsDialog& d, bool usable) {
  SendDlgItemMessageA(d.window, kPluginPictureId, STM_SETICON,
                      reinterpret_cast<WPARAM>(usable ? d.usable : d.unusable), 0);
}

void ChoosePlugin(SettingsDialog& d) {
  HWND w = d.window;
  LRESULT index = SendDlgItemMessageA(w, kPluginsId, LB_GETCURSEL, 0, 0);
  if (index < 0) return;
  std::string name(static_cast<size_t>(SendDlgItemMessageA(w, kPluginsId, LB_GETTEXTLEN, index, 0)) + 1, '\0');
  LRESULT n = SendDlgItemMessageA(w, kPluginsId, LB_GETTEXT, index, reinterpret_cast<LPARAM>(name.data()));
  name.resize(n > 0 ? static_cast<size_t>(n) : 0);
  const std::string path = PluginFolder(*d.app) + name;
  if (name.size() < 4 || _stricmp(name.c_str() + name.size() - 4, ".nya") != 0 || !FileExists(path)) return;
  d.plugin.Release();
  SetPicture(d, false);
  for (int f = 0; f < kRenameFieldCount; ++f) {
    CheckDlgButton(w, kFirstFieldId + f, BST_UNCHECKED);
    EnableWindow(GetDlgItem(w, kFirstFieldId + f), FALSE);
  }
  EnableWindow(GetDlgItem(w, kTestId), FALSE);
  EnableWindow(GetDlgItem(w, kRunId), FALSE);
  for (int id : {kAuthorId, kVersionId, kInfoId}) SetDlgItemTextA(w, id, "");
  if (!d.plugin.Load(path)) {
    SetDlgItemTextA(w, kInfoId, Jp("使用できないプラグインぽいです").c_str());
    return;
  }
  for (int f = 0; f < kRenameFieldCount; ++f) EnableWindow(GetDlgItem(w, kFirstFieldId + f), d.plugin.HasField(f));
  SetDlgItemTextA(w, kAuthorId, d.plugin.Author().c_str());
  SetDlgItemTextA(w, kVersionId, d.plugin.VersionText().c_str());
  SetDlgItemTextA(w, kInfoId, d.plugin.Info().c_str());
  if (d.plugin.Usable()) {
    EnableWindow(GetDlgItem(w, kTestId), TRUE);
    EnableWindow(GetDlgItem(w, kRunId), TRUE);
    SetPicture(d, true);
  } else {
    SetDlgItemTextA(w, kInfoId, Jp("使用できないプラグインぽいです").c_str());
  }
}

void BrowseListFile(SettingsDialog& d) {
  std::string current = WindowText(GetDlgItem(d.window, kListFileId));
  if (current.empty()) current = ProfileText(kSection, kFolderKey, "", d.app->paths.settingsFile);
  if (current.empty()) current = d.app->paths.base + "\\";
  std::string path = PickFileToOpen({Jp("全てのファイル (*.*)"), "*.*", current}, d.window);
  if (path.empty()) return;
  SetDlgItemTextA(d.window, kListFileId, path.c_str());
  WriteProfileText(kSection, kFolderKey, path, d.app->paths.settingsFile);
}

void StartRun(SettingsDialog& d, bool test) {
  HWND w = d.window;
  if (!d.plugin.Usable()) return;
  RenameRequest request;
  request.machine = ChosenComboEntry(GetDlgItem(w, kMachinesId));
  request.listPath = WindowText(GetDlgItem(w, kListFileId));
  LRESULT key = SendDlgItemMessageA(w, kKeysId, CB_GETCURSEL, 0, 0);
  request.keyChoice = key < 0 ? kRenameDefaultKey : static_cast<int>(key);
  for (int f = 0; f < kRenameFieldCount; ++f)
    request.ticked[static_cast<size_t>(f)] = IsDlgButtonChecked(w, kFirstFieldId + f) == BST_CHECKED;
  request.testOnly = test;
  RunProgressDialog(*d.app, w, d.plugin, std::move(request));
  SetForegroundWindow(w);
}

LRESULT CALLBACK SettingsProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  SettingsDialog* d = DialogData<SettingsDialog>(window);
  if (!d) return DefWindowProcA(window, message, wParam, lParam);
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case kPluginsId:
          if (HIWORD(wParam) == LBN_SELCHANGE) ChoosePlugin(*d);
          return 0;
        case kListBrowseId: BrowseListFile(*d); return 0;
        case kTestId: StartRun(*d, true); return 0;
        case kRunId: StartRun(*d, false); return 0;
        case kCloseId: DestroyWindow(window); return 0;
      }
      break;
    case WM_CLOSE:
      DestroyWindow(window);
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void BuildSettings(SettingsDialog& d) {
  HWND w = d.window;
  AddControl(w, "BUTTON", Jp("ライブラリを更新する機種"), BS_GROUPBOX, 10, 8, 250, 56, -1);
  AddControl(w, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 22, 28, 226, 300, kMachinesId);
  AddControl(w, "BUTTON", Jp("使用するデータファイル（XMLはZIP対応）"), BS_GROUPBOX, 270, 8, 340, 56, -1);
  AddControl(w, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 282, 28, 264, 22, kListFileId);
  SendDlgItemMessageA(w, kListFileId, EM_LIMITTEXT, 259, 0);
  AddControl(w, "BUTTON", ". .", BS_PUSHBUTTON | WS_TABSTOP, 552, 27, 46, 24, kListBrowseId);

  AddControl(w, "BUTTON",
             Jp("使用するプラグイン （データファイルとプラグインが正しい組み合わせかは本体側ではチェックしていません）"),
             BS_GROUPBOX, 10, 72, 600, 330, -1);
  AddControl(w, "STATIC", Jp("プラグインを選択"), SS_LEFT, 22, 94, 150, 20, -1);
  AddControl(w, "STATIC", "", SS_ICON, 180, 90, 32, 32, kPluginPictureId);
  AddControl(w, "LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | WS_TABSTOP, 22, 126, 190, 150, kPluginsId);
  AddControl(w, "STATIC", Jp("更新する情報 （グレーアウトはプラグインが対応していません）"), SS_LEFT, 226, 94, 374,
             20, -1);
  for (int f = 0; f < kRenameFieldCount; ++f)
    AddControl(w, "BUTTON", Jp(RenameFieldOf(f).boxText), BS_AUTOCHECKBOX | WS_TABSTOP | WS_DISABLED,
               226 + (f % 3) * 126, 118 + (f / 3) * 22, 122, 20, kFirstFieldId + f);
  AddControl(w, "STATIC", Jp("作った人"), SS_LEFT, 22, 290, 60, 20, -1);
  AddControl(w, "EDIT", "", WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, 86, 286, 200, 22, kAuthorId);
  AddControl(w, "STATIC", Jp("バージョン"), SS_LEFT, 296, 290, 70, 20, -1);
  AddControl(w, "EDIT", "", WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, 370, 286, 90, 22, kVersionId);
  AddControl(w, "STATIC", Jp("説明"), SS_LEFT, 22, 318, 60, 20, -1);
  AddControl(w, "EDIT", "", WS_BORDER | ES_READONLY | ES_MULTILINE | WS_VSCROLL, 86, 314, 512, 78, kInfoId);

  AddControl(w, "STATIC", Jp("プラグインへ渡すキー（プラグインはキーを元に各情報を検索します）"), SS_LEFT, 10, 416,
             380, 20, -1);
  AddControl(w, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 392, 412, 218, 200, kKeysId);
  for (int k = 0; k < kRenameKeyChoiceCount; ++k)
    SendDlgItemMessageA(w, kKeysId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Jp(RenameKeyChoiceAt(k).text).c_str()));
  SendDlgItemMessageA(w, kKeysId, CB_SETCURSEL, kRenameDefaultKey, 0);
  SendDlgItemMessageA(w, kKeysId, CB_SETDROPPEDWIDTH, 320, 0);

  AddControl(w, "BUTTON", Jp("テスト"), BS_PUSHBUTTON | WS_TABSTOP | WS_DISABLED, 306, 448, 96, 28, kTestId);
  AddControl(w, "BUTTON", Jp("実行"), BS_DEFPUSHBUTTON | WS_TABSTOP | WS_DISABLED, 410, 448, 96, 28, kRunId);
  AddControl(w, "BUTTON", Jp("閉じる"), BS_PUSHBUTTON | WS_TABSTOP, 514, 448, 96, 28, kCloseId);

  d.usable = LoadIconA(nullptr, IDI_INFORMATION);
  d.unusable = LoadIconA(nullptr, IDI_HAND);
  SetPicture(d, false);

  // A connection of our own: the main connection's grid is the item list.
  LibraryConnection db;
  db.Open(d.app->databasePath, d.app->regexExtensionPath);
  if (auto error = db.Query("SELECT machine FROM machine_info_table ORDER BY machine;")) {
    ShowMessage(Jp(" 管理テーブルを参照できません。\n") + Utf8ToAnsi(*error), Jp("DBエラー"), kMbOk | kMbIconError, w);
  } else {
    for (int row = 1; row <= db.RowCount(); ++row)
      SendDlgItemMessageA(w, kMachinesId, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(db.Cell(row, 0).c_str()));
    SendDlgItemMessageA(w, kMachinesId, CB_SETCURSEL, 0, 0);
  }
  std::vector<std::string> plugins = ListPluginFiles(d.app->paths.base + "\\plugin");
  if (plugins.empty())
    SendDlgItemMessageA(w, kPluginsId, LB_ADDSTRING, 0,
                        reinterpret_cast<LPARAM>(Jp("Plugin フォルダに プラグインがみつかりません").c_str()));
  for (const std::string& name : plugins)
    SendDlgItemMessageA(w, kPluginsId, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

}  // namespace

void ShowRenameDataDialog(AppState& app) {
  SettingsDialog d;
  d.app = &app;
  d.window = CreateDialogWindow(app.instance, app.mainWindow, Jp("リネームデータからライブラリ更新の設定"), 620, 486,
                                SettingsProcedure, &d);
  if (!d.window) return;
  BuildSettings(d);
  RunModal(d.window, app.mainWindow);
}

}  // namespace vel
