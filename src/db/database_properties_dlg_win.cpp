// DBPropertyDlg: figures of the library, optimisation and its location.
#include <windows.h>

#include "core/app_state_win.h"
#include "core/cp932_text.h"
#include "core/dialog_window_win.h"
#include "core/settings_file.h"
#include "core/shell_services_win.h"
#include "db/database_dialogs_win.h"
#include "db/database_lock.h"
#include "db/database_properties.h"
#include "db/library_file.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/profile.h"

namespace vel {
namespace {

enum : int {
  kTitlesId = 2001,
  kImagesId,
  kMakersId,
  kPlayTimeId,
  kPathId,
  kFileSizeId,
  kSqliteVersionId,
  kDbVersionId,
  kBrowseId,
  kResetId,
  kOptimiseId,
  kCloseId = IDCANCEL,
};

struct PropertiesDialog {
  AppState* app = nullptr;
};

void Fill(HWND dialog, AppState& app) {
  DatabaseStatistics stats = ReadDatabaseStatistics(app.databasePath, app.regexExtensionPath);
  SetDlgItemTextA(dialog, kTitlesId, stats.titles.c_str());
  SetDlgItemTextA(dialog, kImagesId, stats.images.c_str());
  SetDlgItemTextA(dialog, kMakersId, stats.makers.c_str());
  SetDlgItemTextA(dialog, kPlayTimeId, stats.playTime.c_str());
  SetDlgItemTextA(dialog, kPathId, app.databasePath.c_str());
  SetDlgItemTextA(dialog, kFileSizeId, stats.fileSize.c_str());
  SetDlgItemTextA(dialog, kSqliteVersionId, stats.sqliteVersion.c_str());
  SetDlgItemTextA(dialog, kDbVersionId, stats.dbVersion.c_str());
}

void Build(HWND dialog) {
  const char* labels[] = {"登録タイトル数：", "登録イメージ数：", "登録メーカー数：",
                          "向こう側に居た時間：", "DBファイル：", "DBファイルサイズ：",
                          "SQLite DLL ver：", "DB UPD ver："};
  const char* initial[] = {"0", "0", "0", "", "", "", "", "--"};
  for (int i = 0; i < 8; ++i) {
    int y = 12 + i * 26;
    AddControl(dialog, "STATIC", Jp(labels[i]), SS_RIGHT, 10, y + 3, 150, 20, -1);
    if (kTitlesId + i == kPathId) {
      AddControl(dialog, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | ES_READONLY | WS_TABSTOP, 170,
                 y, 230, 22, kPathId);
      AddControl(dialog, "BUTTON", "..", BS_PUSHBUTTON | WS_TABSTOP, 404, y, 30, 22, kBrowseId);
      AddControl(dialog, "BUTTON", "Reset", BS_PUSHBUTTON | WS_TABSTOP, 438, y, 54, 22, kResetId);
    } else {
      AddControl(dialog, "STATIC", initial[i], SS_LEFT, 170, y + 3, 320, 20, kTitlesId + i);
    }
  }
  AddControl(dialog, "BUTTON", Jp("最適化"), BS_PUSHBUTTON | WS_TABSTOP, 292, 228, 96, 28, kOptimiseId);
  AddControl(dialog, "BUTTON", Jp("閉じる"), BS_DEFPUSHBUTTON | WS_TABSTOP, 396, 228, 96, 28, kCloseId);
}

void EnableButtons(HWND dialog, bool enable) {
  for (int id : {kOptimiseId, kCloseId, kBrowseId}) EnableWindow(GetDlgItem(dialog, id), enable);
}

void Optimise(HWND dialog, AppState& app) {
  SetDlgItemTextA(dialog, kOptimiseId, Jp("最適化中").c_str());
  EnableButtons(dialog, false);
  HCURSOR old = SetCursor(LoadCursor(nullptr, IDC_WAIT));
  std::string error = OptimiseDatabase(app.databasePath, app.regexExtensionPath);
  SetCursor(old);
  if (!error.empty())
    ShowMessage(Jp("バキュームに失敗しました\n") + Utf8ToAnsi(error), Jp("DBエラー"),
                kMbOk | kMbIconError, dialog);
  SetDlgItemTextA(dialog, kOptimiseId, Jp("最適化").c_str());
  EnableButtons(dialog, true);
  Fill(dialog, app);
}

void RestartForNewLocation(HWND dialog, AppState& app) {
  ShowMessage(Jp("データベースファイルの参照先が変更されました。\n再起動します"), "", kMbOk, dialog);
  RestartProgram(app, "-clearlastquery -rebootwait");
  DestroyWindow(dialog);
}

// Stores the library location in the settings file; says so when it cannot.
bool WriteLocation(HWND dialog, AppState& app, const std::string& location) {
  if (WriteSettingsFile(app.paths.settingsFile, {{"dbfile", "distination", location}})) return true;
  ShowMessage(Jp("設定ファイルに書き込めませんでした。\n") + app.paths.settingsFile, Jp("エラー"),
              kMbOk | kMbIconError, dialog);
  return false;
}

void Browse(HWND dialog, AppState& app) {
  FileRequest request{Jp("Velmarook2データベース(Velmarook.db)"), kDefaultDatabaseName,
                      app.databasePath};
  std::string chosen = PickFileToOpen(request, dialog);
  if (chosen.empty() || EqualsIgnoringCase(chosen, app.databasePath)) return;
  // A file that is no library would end every later start.
  if (!CanHoldLibrary(CheckLibraryFile(chosen))) {
    ShowMessage(Jp("選択されたファイルはライブラリのデータベースではありません。\n") + chosen +
                    Jp("\n\nライブラリのデータベースファイルか、新しくライブラリを作る空のファイルを選んでください。"),
                Jp("中止"), kMbOk | kMbIconWarning, dialog);
    return;
  }
  if (!WriteLocation(dialog, app, chosen)) return;
  RestartForNewLocation(dialog, app);
}

void Reset(HWND dialog, AppState& app) {
  if (ShowMessage(Jp("データベースファイルの参照先をVelmarook2.exeカレントに戻します。\nよろしいですか？"),
                  Jp("確認"), kMbYesNo | kMbIconQuestion, dialog) != kIdYes)
    return;
  if (!WriteLocation(dialog, app, "")) return;
  if (app.databasePath != app.paths.DefaultDatabase()) RestartForNewLocation(dialog, app);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  PropertiesDialog* data = DialogData<PropertiesDialog>(dialog);
  switch (message) {
    case WM_COMMAND:
      if (!data) break;
      switch (LOWORD(wParam)) {
        case kOptimiseId: Optimise(dialog, *data->app); return 0;
        case kBrowseId: Browse(dialog, *data->app); return 0;
        case kResetId: Reset(dialog, *data->app); return 0;
        case kCloseId: DestroyWindow(dialog); return 0;
      }
      break;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

}  // namespace

void ShowDatabasePropertiesDialog(AppState& app) {
  PropertiesDialog data{&app};
  HWND dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp("データベースのプロパティ"),
                                   504, 268, Procedure, &data);
  if (!dialog) return;
  Build(dialog);
  Fill(dialog, app);
  RunModal(dialog, app.mainWindow);
}

}  // namespace vel
