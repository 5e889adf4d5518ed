#pragma once
// The menus as data: the main menus in the order the user sees them, and the
// context menus. The window code turns them into real menus.
#include <vector>

namespace vel {

enum class MenuEntryKind { Item, Separator, Popup };

// What a popup is filled with when it opens (none for fixed contents).
enum class DynamicList {
  None, Machines, Media, Genres, Adultex, EmulatorSettings, Emulators, WebSites, RelatedFiles
};

struct MenuEntry {
  MenuEntryKind kind = MenuEntryKind::Item;
  int id = 0;                 // command identifier (items), 0 for popups and separators
  const char* text = "";      // UTF-8; "\t" separates the shortcut shown at the right
  bool grey = false;          // created disabled whatever happens
  DynamicList dynamic = DynamicList::None;
  std::vector<MenuEntry> children;
};

// The seven top-level menus: ファイル 編集 管理 エミュレータ データベース オプション ヘルプ.
const std::vector<MenuEntry>& MainMenus();

enum class ContextMenu { Query, Information, ItemListHeader, SnapView, MemoView, EmulatorSettings, Tray };
// A context menu: one popup holding the entries.
const MenuEntry& ContextMenuTree(ContextMenu which);

// The first identifier of a dynamic list's range.
int DynamicListFirstId(DynamicList list);

// A block of command identifiers handed out at run time.
struct CommandIdRange {
  const char* name;
  int first;
  int last;  // inclusive
};
// Every such block: the dynamic lists and the disks of the emulator list.
const std::vector<CommandIdRange>& DynamicCommandRanges();

}  // namespace vel
