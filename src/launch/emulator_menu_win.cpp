#include "launch/emulator_menu_win.h"

#include <commctrl.h>

#include "core/app_state_win.h"
#include "core/commands_win.h"
#include "launch/emulator_menu.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "search/item_list_query.h"

namespace vel {

void FillEmulatorMenu(AppState& app, HMENU menu) {
  int focused = app.itemList ? static_cast<int>(SendMessageA(app.itemList, LVM_GETNEXTITEM,
                                                             static_cast<WPARAM>(-1), LVNI_FOCUSED))
                             : -1;
  std::vector<EmulatorMenuEntry> entries;
  std::vector<std::string> disks;
  if (focused >= 0 && focused < app.mainDb.RowCount()) {
    int row = focused + 1;
    std::string key = app.mainDb.Cell(row, kPosFileName);
    entries = EmulatorMenuEntries(app.paths.base, app.mainDb.Cell(row, kPosMachine),
                                  app.mainDb.Cell(row, kPosEmuset), app.layoutMode == 1);
    if (app.mainDb.Cell(row, kPosMultiDisk) == "1") {
      // A connection of its own: the main connection's result is the item list.
      LibraryConnection db;
      db.Open(app.databasePath, app.regexExtensionPath);
      if (auto error = ReadDiskMenuTexts(db, key, disks))
        ShowMessage(Jp("ディスク一覧を参照できません。\n") + Utf8ToAnsi(*error), Jp("DBエラー"),
                    kMbOk | kMbIconError, app.mainWindow);
    }
  }
  FillPopupMenu(menu, EmulatorMenuLines(entries, disks, HasCommand));
}

}  // namespace vel
