#include "input/shortcut_keys.h"

#include <gtest/gtest.h>

#include "platform/profile.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(ShortcutKeys, CodesMatchOnlyWithExactlyTheirModifiers) {
  constexpr int kA = 65;
  struct Case {
    int code;
    HeldModifiers held;
    bool matches;
  } cases[] = {
      {69, {}, false},                          // another key
      {kA, {}, true},
      {kA, {true, false, false}, false},        // Shift held, not in the code
      {MakeKeyCode(kA, {true, false, false}), {true, false, false}, true},
      {MakeKeyCode(kA, {true, false, false}), {true, true, false}, false},  // Ctrl also held
      {65601, {false, true, false}, true},      // Ctrl+A
      {(1118428 & ~0xFFF) | kA, {true, true, true}, true},
      {0, {}, false},
  };
  for (const Case& c : cases) EXPECT_EQ(KeyCodeMatches(c.code, kA, c.held), c.matches) << c.code;
  EXPECT_EQ(MakeKeyCode(220, {true, true, true}), 1118428);
  EXPECT_EQ(MakeKeyCode(9, {false, true, false}), 65545);
}

TEST(ShortcutKeys, TableReadsTheKeyFileAndTheLowerEntryWins) {
  test::TempFolder folder;
  const std::string file = folder / "Velmarook2_Key.ini";
  ShortcutTable defaults = ReadShortcutTable(file);
  EXPECT_EQ(defaults[kKeyItemListSearch], 70);
  EXPECT_EQ(defaults[kKeySelectAll], 65601);
  EXPECT_EQ(defaults[kKeyListQuery], 1118430);
  // 'A' is the adult bulk change by default; give it to the record editor too.
  ASSERT_TRUE(WriteProfileText("KeyConfig", "EditRecord", "65", file));
  ASSERT_TRUE(WriteProfileText("KeyConfig", "ItemListSearch", "0", file));  // switched off
  ShortcutTable table = ReadShortcutTable(file);
  EXPECT_EQ(MatchShortcut(table, 65, {}), kKeyEditRecord);
  EXPECT_EQ(MatchShortcut(table, 70, {}), -1);
  EXPECT_EQ(MatchShortcut(table, 9, {false, true, false}), kKeyFocusListToTree);
  EXPECT_EQ(MatchShortcut(table, 220, {true, true, true}), kKeySmartTitle);
  EXPECT_EQ(MatchShortcut(table, 123, {}), -1);
  // The fixed entries are not in the file.
  table[kKeyEditMenu] = 0;
  ASSERT_TRUE(WriteShortcutTable(table, file));
  EXPECT_EQ(ReadShortcutTable(file)[kKeyEditMenu], 93);
  EXPECT_EQ(ReadShortcutTable(file)[kKeyEditRecord], 65);
}

// In the item list the key table comes first: an entry on Ctrl+PageDown
// acts, and only keys no entry takes move through the initial index.
TEST(ShortcutKeys, ItemListSearchesTheTableBeforeCtrlPage) {
  constexpr int kPageUp = 0x21, kPageDown = 0x22;
  const HeldModifiers ctrl{false, true, false}, shiftCtrl{true, true, false};
  test::TempFolder folder;
  ShortcutTable table = ReadShortcutTable(folder / "Velmarook2_Key.ini");
  ShortcutTable assigned = table;
  assigned[kKeyEditRecord] = MakeKeyCode(kPageDown, ctrl);
  assigned[kKeySnapView1] = MakeKeyCode(kPageUp, ctrl);
  assigned[kKeyListDrag] = MakeKeyCode(kPageUp, shiftCtrl);
  using A = ItemListKeyAction;
  struct Case {
    const ShortcutTable* table;
    int key;
    HeldModifiers held;
    bool snapshotViewOpen;
    A action;
    int entry;
  } cases[] = {
      {&table, kPageDown, ctrl, false, A::kNextIndexEntry, -1},
      {&table, kPageUp, ctrl, false, A::kPreviousIndexEntry, -1},
      {&table, kPageDown, {}, false, A::kNone, -1},  // the list pages by itself
      {&table, kPageDown, shiftCtrl, false, A::kNone, -1},
      {&assigned, kPageDown, ctrl, false, A::kEntry, kKeyEditRecord},
      // The snapshot view's key acts while its window is open, else the index moves.
      {&assigned, kPageUp, ctrl, true, A::kEntry, kKeySnapView1},
      {&assigned, kPageUp, ctrl, false, A::kPreviousIndexEntry, -1},
      {&assigned, kPageUp, shiftCtrl, false, A::kNone, -1},  // the drag modifier is no key
      {&table, 65, ctrl, false, A::kEntry, kKeySelectAll},
  };
  for (const Case& c : cases) {
    ItemListKeyChoice choice = ChooseItemListKey(*c.table, c.key, c.held, c.snapshotViewOpen);
    EXPECT_EQ(choice.action, c.action) << c.key << " " << c.held.shift << c.snapshotViewOpen;
    EXPECT_EQ(choice.entry, c.entry) << c.key << " " << c.held.shift << c.snapshotViewOpen;
  }
}

TEST(ShortcutKeys, MenuTextNamesModifiersThenTheKey) {
  EXPECT_EQ(KeyCodeMenuText(69), "E");
  EXPECT_EQ(KeyCodeMenuText(65601), "CTRL+A");
  EXPECT_EQ(KeyCodeMenuText(MakeKeyCode(82, {true, true, true})), "SHIFT+CTRL+ALT+R");
  EXPECT_EQ(KeyCodeMenuText(9), "TAB");
  EXPECT_EQ(KeyCodeMenuText(0x71), "F2");
  EXPECT_EQ(KeyCodeMenuText(0), "");
}

}  // namespace
}  // namespace vel
