#include "input/shortcut_keys.h"

#include "platform/profile.h"

namespace vel {
namespace {

struct EntryDefinition {
  const char* name;
  int code;
};

// Entries 36-38 are fixed: the application key, and two checks of the
// focused item's smart title and of the list's query.
constexpr EntryDefinition kEntries[kShortcutCount] = {
    {"EditRecord", 69},        {"SelecEmu", 88},
    {"BulkChange_Title", 82},  {"BulkChange_Maker", 77},
    {"BulkChange_Publisher", 0}, {"BulkChange_Country", 0},
    {"BulkChange_Creator", 0}, {"BulkChange_Genre", 71},
    {"BulkChange_Adult", 65},  {"BulkChange_CERO", 0},
    {"BulkChange_Version", 0}, {"BulkChange_ReleaseDate", 0},
    {"BulkChange_Media", 0},   {"BulkChange_Machine", 0},
    {"ItemListSearch", 70},    {"SelectAll", 65601},
    {"focus_l2t", 65545},      {"focus_t2g", 65545},
    {"focus_g2l", 65545},      {"focus_l2s", 9},
    {"focus_s2l", 9},          {"focus_s2t", 65545},
    {"listdrag", 0},           {"fv0", 48},
    {"fv1", 49},               {"fv2", 50},
    {"fv3", 51},               {"fv4", 52},
    {"fv5", 53},               {"fv6", 54},
    {"fv7", 55},               {"fv8", 56},
    {"fv9", 57},               {"snapv_1", 0},
    {"snapv_2", 0},            {"snapv_3", 0},
    {"", 93},                  {"", 1118428},
    {"", 1118430},
};

constexpr const char* kSection = "KeyConfig";

int VirtualKey(int code) { return code & 0xFFF; }
bool AltFlag(int code) { return ((code >> 12) & 0xF) != 0; }
bool CtrlFlag(int code) { return ((code >> 16) & 0xF) != 0; }
bool ShiftFlag(int code) { return (code >> 20) != 0; }

}  // namespace

const char* ShortcutKeyName(int entry) {
  return entry >= 0 && entry < kShortcutCount ? kEntries[entry].name : "";
}

ShortcutTable ReadShortcutTable(const std::string& keyFile) {
  ShortcutTable table{};
  for (int i = 0; i < kShortcutCount; ++i) table[static_cast<size_t>(i)] = kEntries[i].code;
  for (int i = 0; i < kAssignableShortcuts; ++i)
    table[static_cast<size_t>(i)] = ReadProfileInt(kSection, kEntries[i].name, kEntries[i].code, keyFile);
  return table;
}

bool WriteShortcutTable(const ShortcutTable& table, const std::string& keyFile) {
  bool ok = true;
  for (int i = 0; i < kAssignableShortcuts; ++i)
    ok = WriteProfileText(kSection, kEntries[i].name, std::to_string(table[static_cast<size_t>(i)]), keyFile) && ok;
  return ok;
}

int MakeKeyCode(int virtualKey, HeldModifiers modifiers) {
  return (virtualKey & 0xFFF) | (modifiers.alt ? 1 << 12 : 0) | (modifiers.ctrl ? 1 << 16 : 0) |
         (modifiers.shift ? 1 << 20 : 0);
}

bool KeyCodeMatches(int code, int virtualKey, HeldModifiers held) {
  return code != 0 && VirtualKey(code) == virtualKey && ShiftFlag(code) == held.shift &&
         CtrlFlag(code) == held.ctrl && AltFlag(code) == held.alt;
}

int MatchShortcut(const ShortcutTable& table, int virtualKey, HeldModifiers held) {
  for (int i = 0; i < kShortcutCount; ++i)
    if (KeyCodeMatches(table[static_cast<size_t>(i)], virtualKey, held)) return i;
  return -1;
}

ItemListKeyChoice ChooseItemListKey(const ShortcutTable& table, int virtualKey, HeldModifiers held,
                                    bool snapshotViewOpen) {
  constexpr int kPageUp = 0x21, kPageDown = 0x22;
  for (int i = 0; i < kShortcutCount; ++i) {
    if (!KeyCodeMatches(table[static_cast<size_t>(i)], virtualKey, held)) continue;
    bool snapshotKey = i >= kKeySnapView1 && i < kKeySnapView1 + 3;
    if (i == kKeyListDrag || (snapshotKey && !snapshotViewOpen)) continue;
    return {ItemListKeyAction::kEntry, i};
  }
  if ((virtualKey == kPageUp || virtualKey == kPageDown) && held.ctrl && !held.shift && !held.alt)
    return {virtualKey == kPageDown ? ItemListKeyAction::kNextIndexEntry : ItemListKeyAction::kPreviousIndexEntry,
            -1};
  return {};
}

std::string KeyCodeMenuText(int code) {
  if (code == 0) return "";
  std::string text;
  if (ShiftFlag(code)) text += "SHIFT+";
  if (CtrlFlag(code)) text += "CTRL+";
  if (AltFlag(code)) text += "ALT+";
  int key = VirtualKey(code);
  if (key == 9) return text + "TAB";
  if (key >= 0x70 && key <= 0x87) return text + "F" + std::to_string(key - 0x6F);
  if (key > 0x20 && key < 0x7F) return text + static_cast<char>(key);
  return text + "#" + std::to_string(key);
}

}  // namespace vel
