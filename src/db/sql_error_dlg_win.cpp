// SqlErrDlg: shows the last failed search or query statement.
#include <windows.h>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "core/shell_services_win.h"
#include "db/database_dialogs_win.h"
#include "db/sql_error_report.h"
#include "platform/codepage.h"

namespace vel {
namespace {

constexpr int kTagFieldId = 1007;
constexpr int kTextFieldId = 1014;

HWND gDialog = nullptr;
AppState* gApp = nullptr;

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) DestroyWindow(dialog);
      return 0;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return 0;
    case WM_DESTROY:
      if (gDialog == dialog) gDialog = nullptr;
      break;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

void Present(const SqlErrorReport& report) {
  AppState& app = *gApp;
  if (!gDialog) {
    gDialog = CreateDialogWindow(app.instance, app.mainWindow, Jp("SQLクエリエラー"), 520, 300,
                                 Procedure, nullptr);
    if (!gDialog) return;
    AddControl(gDialog, "EDIT", "", WS_BORDER | ES_READONLY | ES_AUTOHSCROLL, 10, 10, 500, 22,
               kTagFieldId);
    AddControl(gDialog, "EDIT", "",
               WS_BORDER | ES_READONLY | ES_MULTILINE | WS_VSCROLL | ES_AUTOVSCROLL | WS_TABSTOP,
               10, 40, 500, 210, kTextFieldId);
    AddControl(gDialog, "BUTTON", Jp("閉じる"), BS_DEFPUSHBUTTON | WS_TABSTOP, 414, 260, 96, 28,
               IDOK);
  }
  SetDlgItemTextA(gDialog, kTagFieldId, report.tag.c_str());
  SetDlgItemTextA(gDialog, kTextFieldId, SqlErrorDialogText(report).c_str());
  HideWaitWindow(app);
  ShowWindow(gDialog, SW_SHOW);
  SetWindowPos(gDialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(gDialog);
  MessageBeep(MB_ICONHAND);
}

}  // namespace

void InstallSqlErrorDialog(AppState& app) {
  gApp = &app;
  SetSqlErrorPresenter(Present);
}

void CloseSqlErrorDialog() {
  if (gDialog) DestroyWindow(gDialog);
  gDialog = nullptr;
}

}  // namespace vel
