#include "app/menus_win.h"

#include <map>
#include <string>
#include <vector>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "core/menu_tree.h"
#include "editing/bulk_assignment.h"
#include "launch/emulator_menu.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "search/item_flags.h"

namespace vel {
namespace {

std::map<HMENU, DynamicList> gDynamicMenus;

void Append(HMENU menu, const MenuEntry& entry) {
  switch (entry.kind) {
    case MenuEntryKind::Separator:
      AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
      break;
    case MenuEntryKind::Item: {
      // A command whose operation does not exist yet is shown disabled.
      UINT flags = MF_STRING | ((entry.grey || !HasCommand(entry.id)) ? MF_GRAYED : 0);
      AppendMenuA(menu, flags, static_cast<UINT_PTR>(entry.id), Jp(entry.text).c_str());
      break;
    }
    case MenuEntryKind::Popup: {
      HMENU sub = CreatePopupMenu();
      for (const MenuEntry& child : entry.children) Append(sub, child);
      if (entry.dynamic != DynamicList::None) gDynamicMenus[sub] = entry.dynamic;
      AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(sub), Jp(entry.text).c_str());
      break;
    }
  }
}

HMENU BuildContextMenu(ContextMenu which) {
  HMENU bar = CreateMenu();
  Append(bar, ContextMenuTree(which));
  return bar;
}

// Names for a dynamic list; false when the library could not be read.
bool DynamicNames(AppState& app, DynamicList list, std::vector<std::string>& names) {
  std::string stem;
  AssignField field = AssignField::Machine;
  switch (list) {
    case DynamicList::Machines: stem = "machine"; field = AssignField::Machine; break;
    case DynamicList::Media: stem = "media"; field = AssignField::Media; break;
    case DynamicList::Genres: stem = "genre"; field = AssignField::Genre; break;
    case DynamicList::Adultex: stem = "adultex"; field = AssignField::Adultex; break;
    default: return true;  // filled by the emulator configurations
  }
  // A connection of its own: the main connection's result is the item list.
  // The assignment takes the chosen name back by its position in this list.
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  if (auto error = LoadAssignmentNames(db, field, names)) {
    ShowMessage(stem + Jp(" 管理テーブルを参照できません。\n") + Utf8ToAnsi(*error), Jp("DBエラー"),
                kMbOk | kMbIconError, app.mainWindow);
    return false;
  }
  return true;
}

// Calls `visit(menu, position)` for every item of a menu and its submenus.
template <typename Visit>
void WalkMenu(HMENU menu, Visit&& visit) {
  int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    visit(menu, i);
    if (HMENU sub = GetSubMenu(menu, i)) WalkMenu(sub, visit);
  }
}

std::string MenuItemText(HMENU menu, int position) {
  char text[512] = {};
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = text;
  info.cch = sizeof text;
  if (!GetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info)) return "";
  return text;
}

void SetMenuItemText(HMENU menu, int position, const std::string& text) {
  MENUITEMINFOA info{};
  info.cbSize = sizeof info;
  info.fMask = MIIM_STRING;
  info.dwTypeData = const_cast<char*>(text.c_str());
  SetMenuItemInfoA(menu, static_cast<UINT>(position), TRUE, &info);
}

}  // namespace

HMENU MainDynamicSubmenu(AppState& app, DynamicList list) {
  HMENU found = nullptr;
  if (!app.mainMenu) return nullptr;
  WalkMenu(app.mainMenu, [&](HMENU menu, int position) {
    HMENU sub = GetSubMenu(menu, position);
    auto it = gDynamicMenus.find(sub);
    if (!found && sub && it != gDynamicMenus.end() && it->second == list) found = sub;
  });
  return found;
}

HMENU MainEditMenu(AppState& app) { return app.mainMenu ? GetSubMenu(app.mainMenu, 1) : nullptr; }

void ShowShortcutKeysInMenus(AppState& app, const ShortcutTable& keys) {
  // The items of the assignable entries 0-13: a command or a dynamic submenu.
  struct Target {
    int entry;
    int command;
    DynamicList list;
  } targets[] = {
      {kKeyEditRecord, kCmdEditRecord, DynamicList::None}, {kKeySelectEmulator, 0, DynamicList::Emulators},
      {kKeyBulkTitle, 1171, DynamicList::None},            {kKeyBulkMaker, 1172, DynamicList::None},
      {kKeyBulkPublisher, 1173, DynamicList::None},        {kKeyBulkCountry, 1174, DynamicList::None},
      {kKeyBulkCreator, 1177, DynamicList::None},          {kKeyBulkGenre, 0, DynamicList::Genres},
      {kKeyBulkAdult, kCmdToggleAdult, DynamicList::None}, {kKeyBulkRating, 0, DynamicList::Adultex},
      {kKeyBulkVersion, 1175, DynamicList::None},          {kKeyBulkReleaseDate, 1176, DynamicList::None},
      {kKeyBulkMedia, 0, DynamicList::Media},              {kKeyBulkMachine, 0, DynamicList::Machines},
  };
  if (!app.mainMenu) return;
  WalkMenu(app.mainMenu, [&](HMENU menu, int position) {
    HMENU sub = GetSubMenu(menu, position);
    UINT id = GetMenuItemID(menu, position);
    for (const Target& target : targets) {
      bool isTarget = target.list == DynamicList::None
                          ? !sub && static_cast<int>(id) == target.command
                          : sub && gDynamicMenus.count(sub) && gDynamicMenus[sub] == target.list;
      if (!isTarget) continue;
      std::string text = MenuItemText(menu, position);
      text = text.substr(0, text.find('\t'));
      std::string key = KeyCodeMenuText(keys[static_cast<size_t>(target.entry)]);
      SetMenuItemText(menu, position, key.empty() ? text : text + "\t" + key);
      break;
    }
  });
}

void BuildMenus(AppState& app) {
  gDynamicMenus.clear();
  app.mainMenu = CreateMenu();
  for (const MenuEntry& menu : MainMenus()) Append(app.mainMenu, menu);
  app.queryContextMenu = BuildContextMenu(ContextMenu::Query);
  app.infoContextMenu = BuildContextMenu(ContextMenu::Information);
  app.headerContextMenu = BuildContextMenu(ContextMenu::ItemListHeader);
  app.snapContextMenu = BuildContextMenu(ContextMenu::SnapView);
  app.memoContextMenu = BuildContextMenu(ContextMenu::MemoView);
  app.emulatorContextMenu = BuildContextMenu(ContextMenu::EmulatorSettings);
  app.trayMenu = BuildContextMenu(ContextMenu::Tray);
}

void DestroyMenus(AppState& app) {
  for (HMENU* menu : {&app.mainMenu, &app.queryContextMenu, &app.infoContextMenu, &app.headerContextMenu,
                      &app.snapContextMenu, &app.memoContextMenu, &app.emulatorContextMenu, &app.trayMenu}) {
    if (*menu) DestroyMenu(*menu);
    *menu = nullptr;
  }
  gDynamicMenus.clear();
}

void FillMenuOnOpen(AppState& app, HMENU menu) {
  // The favourite marks show their names: "d: name".
  if (GetMenuState(menu, kCmdFavourite0, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
    for (int digit = 0; digit <= 9; ++digit) {
      std::string name = FavouriteName(SettingText(app.settings, "FavoriteMenuName", std::to_string(digit)));
      ModifyMenuA(menu, static_cast<UINT>(kCmdFavourite0 + digit), MF_BYCOMMAND | MF_STRING,
                  static_cast<UINT_PTR>(kCmdFavourite0 + digit), FavouriteMenuText(digit, name).c_str());
    }
  }
  auto it = gDynamicMenus.find(menu);
  if (it == gDynamicMenus.end()) return;
  if (DynamicMenuFiller filler = FindDynamicMenuFiller(it->second)) {
    filler(app, menu);
    return;
  }
  while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
  std::vector<std::string> names;
  if (!DynamicNames(app, it->second, names)) return;
  int first = DynamicListFirstId(it->second);
  // Each range holds at most its 1000 identifiers: never one of the next range.
  for (size_t i = 0; i < names.size() && i < static_cast<size_t>(kDynamicRangeSize); ++i) {
    int id = first + static_cast<int>(i);
    AppendMenuA(menu, MF_STRING | (HasCommand(id) ? 0 : MF_GRAYED), static_cast<UINT_PTR>(id), MenuText(names[i]).c_str());
  }
}

}  // namespace vel
