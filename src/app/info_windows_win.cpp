#include "app/info_windows_win.h"

#include <windows.h>
#include <sqlite3.h>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "db/schema.h"
#include "maintenance/kakasi.h"
#include "maintenance/kana_settings_dlg_win.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"

namespace vel {
namespace {

constexpr const char* kProgramVersion = "2.0";
constexpr int kVersionTextId = 1101;

}  // namespace

void ShowVersionDialog(AppState& app) {
  HWND dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp("バージョン"), 480, 170, CloseOnOkOrCancel, nullptr);
  if (!dialog) return;
  std::string text = std::string("Velmarook2 ") + kProgramVersion + "\r\n" + "SQLite " + sqlite3_libversion() +
                     "\r\n" + Jp("データベース版: ") + kSchemaVersion;
  // Whether readings can turn kanji into kana.
  std::string kakasi = KakasiVersionText(
      ProgramKakasi(app.paths.base, CurrentReadingSettings(app).kanaMode != kKanaHiragana));
  if (!kakasi.empty()) text += "\r\n" + kakasi;
  AddControl(dialog, "STATIC", text, SS_LEFT, 16, 16, 448, 100, kVersionTextId);
  AddControl(dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 372, 130, 96, 28, IDOK);
  RunModal(dialog, app.mainWindow);
}

}  // namespace vel
