#include "core/menus_win.h"

#include <windows.h>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "platform/codepage.h"

namespace vel {
namespace {

HMENU Popup(HMENU parent, const char* utf8Caption) {
  HMENU sub = CreatePopupMenu();
  AppendMenuA(parent, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), Jp(utf8Caption).c_str());
  return sub;
}

void Item(HMENU menu, int id, const char* utf8Caption) {
  AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(id), Jp(utf8Caption).c_str());
}

}  // namespace

void BuildMenus(AppState& app) {
  app.mainMenu = CreateMenu();
  HMENU file = Popup(app.mainMenu, "ファイル");
  HMENU backup = Popup(file, "バックアップ");
  Item(backup, kCmdBackupDatabase, "データベースファイルをバックアップ");
  Item(file, kCmdExit, "終了");
  HMENU database = Popup(app.mainMenu, "データベース");
  Item(database, kCmdAddImages, "イメージファイルの追加");
  AppendMenuA(database, MF_SEPARATOR, 0, nullptr);
  Item(database, kCmdRecalculateCrc, "ライブラリのCRCを再計算");
  AppendMenuA(database, MF_SEPARATOR, 0, nullptr);
  Item(database, kCmdDatabaseProperties, "プロパティ");
}

void DestroyMenus(AppState& app) {
  // A menu still attached to the window goes with the window.
  if (app.mainMenu && !(app.mainWindow && IsWindow(app.mainWindow) && GetMenu(app.mainWindow) == app.mainMenu))
    DestroyMenu(app.mainMenu);
  app.mainMenu = nullptr;
  if (app.itemContextMenu) DestroyMenu(app.itemContextMenu);
  app.itemContextMenu = nullptr;
}

}  // namespace vel
