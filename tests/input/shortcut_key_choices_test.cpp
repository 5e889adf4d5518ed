// The shortcut key dialog's actions, key list and saving.
#include <gtest/gtest.h>

#include "input/shortcut_key_choices.h"
#include "platform/codepage.h"
#include "platform/file_operations.h"
#include "platform/system.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace vel {
namespace {

TEST(ShortcutKeyChoices, ActionsAndKeys) {
  std::vector<ShortcutAction> actions = ShortcutDialogActions();
  ASSERT_EQ(actions.size(), 36u);
  std::array<bool, kAssignableShortcuts> seen{};
  for (const ShortcutAction& action : actions) seen[static_cast<size_t>(action.entry)] = true;
  for (bool s : seen) EXPECT_TRUE(s);
  EXPECT_EQ(actions[2].name, Jp("タイトル 一括変更"));
  EXPECT_EQ(actions[14].name, Jp("アイテムリスト内サーチ"));
  EXPECT_EQ(actions[35].name, Jp("スナップビュー：スナップショット3"));

  std::vector<KeyChoice> keys = KeyChoicesFor(kKeyItemListSearch);
  EXPECT_EQ(keys[static_cast<size_t>(KeyChoiceIndex(keys, 65545))].name, "TAB");  // Ctrl+Tab shows its key
  EXPECT_EQ(keys[static_cast<size_t>(KeyChoiceIndex(keys, 70))].name, "F");
  EXPECT_EQ(KeyChoiceIndex(keys, 220), -1);
  std::vector<KeyChoice> drag = KeyChoicesFor(kKeyListDrag);
  EXPECT_EQ(drag[static_cast<size_t>(KeyChoiceIndex(drag, 0))].name, "LvDrag");
}

TEST(ShortcutKeyChoices, SavingWritesOnlyTouchedEntries) {
  test::TempFolder folder;
  const std::string file = folder / "Velmarook2_Key.ini";
  // An Alt key set by hand (4165 = Alt+E) and a key out of range.
  test::WriteWholeFile(file, "[KeyConfig]\r\nEditRecord=4165\r\nSelecEmu=99999\r\n");
  ShortcutEditing editing(ReadShortcutTable(file));
  editing.Assign(kKeyItemListSearch, 'Q', false, true);
  editing.Assign(kKeyListDrag, 0x11, true, true);  // the drag modifier is a bare key
  editing.Assign(kKeyFavourite0, 0, true, false);  // none takes no modifier
  ASSERT_TRUE(editing.Save(file));
  ShortcutTable read = ReadShortcutTable(file);
  EXPECT_EQ(read[kKeyEditRecord], 4165);
  EXPECT_EQ(read[kKeySelectEmulator], 99999);
  EXPECT_EQ(read[kKeyItemListSearch], 65617);
  EXPECT_EQ(read[kKeyListDrag], 0x11);
  EXPECT_EQ(read[kKeyFavourite0], 0);
  EXPECT_EQ(read[kKeySelectAll], 65601);  // untouched, not written
  EXPECT_EQ(test::ReadWholeFile(file).find("SelectAll"), std::string::npos);
  EXPECT_FALSE(FileExists(file + ".new"));

  const std::string before = test::ReadWholeFile(file);
#ifdef _WIN32
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
#else
  ASSERT_EQ(chmod(file.c_str(), 0444), 0);
#endif
  editing.Assign(kKeySelectAll, 'B', false, false);
  EXPECT_FALSE(editing.Save(file));
  EXPECT_EQ(test::ReadWholeFile(file), before);
  ClearFileAttributes(file);
}

}  // namespace
}  // namespace vel
