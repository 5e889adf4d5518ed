#include "core/status_bar_win.h"

#include <windows.h>
#include <commctrl.h>

#include "core/app_state_win.h"
#include "platform/codepage.h"

namespace vel {

void ShowTitleCount(AppState& app) {
  if (!app.statusBar) return;
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  if (db.Query("SELECT COUNT(*) FROM main_table WHERE ply<2;")) return;
  std::string text = Jp(" 全タイトル数: ") + db.Cell(1, 0);
  SendMessageA(app.statusBar, SB_SETTEXTA, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

}  // namespace vel
