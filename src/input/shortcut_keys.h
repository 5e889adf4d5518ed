#pragma once
// The program's keyboard shortcuts: a table of key codes read from the key
// file, matched against key-down messages by the main window's message hook.
// A key code holds the virtual key in bits 0-11, the Alt flag in bits 12-15,
// the Ctrl flag in bits 16-19 and the Shift flag from bit 20 up.
#include <array>
#include <string>

namespace vel {

enum ShortcutEntry {
  kKeyEditRecord = 0,
  kKeySelectEmulator = 1,
  kKeyBulkTitle = 2,
  kKeyBulkMaker = 3,
  kKeyBulkPublisher = 4,
  kKeyBulkCountry = 5,
  kKeyBulkCreator = 6,
  kKeyBulkGenre = 7,
  kKeyBulkAdult = 8,
  kKeyBulkRating = 9,
  kKeyBulkVersion = 10,
  kKeyBulkReleaseDate = 11,
  kKeyBulkMedia = 12,
  kKeyBulkMachine = 13,
  kKeyItemListSearch = 14,
  kKeySelectAll = 15,
  kKeyFocusListToTree = 16,
  kKeyFocusTreeToGroups = 17,
  kKeyFocusGroupsToList = 18,
  kKeyFocusListToSearch = 19,
  kKeyFocusSearchToList = 20,
  kKeyFocusSearchToTree = 21,
  kKeyListDrag = 22,
  kKeyFavourite0 = 23,  // ... kKeyFavourite0 + 9
  kKeySnapView1 = 33,   // ... kKeySnapView1 + 2
  kKeyEditMenu = 36,
  kKeySmartTitle = 37,
  kKeyListQuery = 38,
};

constexpr int kAssignableShortcuts = 36;
constexpr int kShortcutCount = 39;

using ShortcutTable = std::array<int, kShortcutCount>;

struct HeldModifiers {
  bool shift = false;
  bool ctrl = false;
  bool alt = false;
};

// The key of the entry in section "KeyConfig" of the key file.
const char* ShortcutKeyName(int entry);
// The table with its defaults, then the file's values for entries 0-35.
ShortcutTable ReadShortcutTable(const std::string& keyFile);
// Writes entries 0-35; false when a key could not be written.
bool WriteShortcutTable(const ShortcutTable& table, const std::string& keyFile);

int MakeKeyCode(int virtualKey, HeldModifiers modifiers);
// Code 0 never matches; each modifier must be held exactly when its flag is set.
bool KeyCodeMatches(int code, int virtualKey, HeldModifiers held);
// The first entry of the table (lowest number) that matches; -1 for none.
int MatchShortcut(const ShortcutTable& table, int virtualKey, HeldModifiers held);
// What a key pressed in the item list does: the key table is searched first
// (its lowest matching entry acts); only a key no entry takes moves by
// Ctrl+PageUp / Ctrl+PageDown to the previous or next initial-index entry.
// The snapshot view's entries act only while its window is open; the drag
// modifier never acts as a key.
enum class ItemListKeyAction { kNone, kEntry, kPreviousIndexEntry, kNextIndexEntry };
struct ItemListKeyChoice {
  ItemListKeyAction action = ItemListKeyAction::kNone;
  int entry = -1;  // for kEntry
};
ItemListKeyChoice ChooseItemListKey(const ShortcutTable& table, int virtualKey, HeldModifiers held,
                                    bool snapshotViewOpen);

// What a menu item shows after its tab: "SHIFT+", "CTRL+", "ALT+" as set,
// then the key's character (empty for code 0).
std::string KeyCodeMenuText(int code);

}  // namespace vel
