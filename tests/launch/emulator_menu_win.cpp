// The emulator list of an item in a real pop-up menu.
#include <windows.h>

#include <gtest/gtest.h>

#include "launch/emulator_config.h"
#include "launch/emulator_menu.h"
#include "platform/file_operations.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

struct ShownItem {
  std::string text;
  UINT id = 0;
  UINT state = 0;
};

std::vector<ShownItem> ItemsOf(HMENU menu) {
  std::vector<ShownItem> items;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    char text[256] = {};
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_STATE | MIIM_STRING;
    info.dwTypeData = text;
    info.cch = sizeof text;
    EXPECT_TRUE(GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info));
    items.push_back({text, info.wID, info.fState});
  }
  return items;
}

TEST(EmulatorMenuWin, HiddenLeftOutDefaultBoldBindingTicked) {
  test::TempFolder folder;
  const std::string base = folder.Path();
  ASSERT_TRUE(CreateFolder(EmuConfFolder(base)));
  ASSERT_TRUE(CreateFolder(EmuConfFolder(base) + "\\FC"));
  for (const char* name : {"Default", "Bound", "Hidden"})
    ASSERT_TRUE(WriteProfileText("Emulator", "Exec", "emu.exe", ConfigFilePath(base, "FC", name)));
  ASSERT_TRUE(SetHiddenFile(ConfigFilePath(base, "FC", "Hidden"), true));
  ASSERT_TRUE(WriteProfileText("DefaultEmulator", "INIFile", "Default.ini", MachineDefaultFile(base, "FC")));

  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 1, "left over from the last opening");
  FillPopupMenu(menu, EmulatorMenuLines(EmulatorMenuEntries(base, "FC", "Bound", false), {},
                                        [](int) { return false; }));
  std::vector<ShownItem> items = ItemsOf(menu);
  ASSERT_EQ(items.size(), 2u);
  for (const ShownItem& item : items) {
    SCOPED_TRACE(item.text);
    EXPECT_TRUE(item.text == "Default" || item.text == "Bound");
    EXPECT_EQ(item.id >= 18000 && item.id <= 18001, true);
    EXPECT_EQ((item.state & MFS_DEFAULT) != 0, item.text == "Default");
    EXPECT_EQ((item.state & MFS_CHECKED) != 0, item.text == "Bound");
    EXPECT_TRUE(item.state & MFS_GRAYED);  // a command that cannot run is greyed
  }
  EXPECT_NE(items[0].id, items[1].id);

  // Unbound: the default carries both marks.
  FillPopupMenu(menu, EmulatorMenuLines(EmulatorMenuEntries(base, "FC", "", false), {}, [](int) { return true; }));
  items = ItemsOf(menu);
  ASSERT_EQ(items.size(), 2u);
  for (const ShownItem& item : items) {
    EXPECT_EQ((item.state & MFS_CHECKED) != 0, item.text == "Default") << item.text;
    EXPECT_FALSE(item.state & MFS_GRAYED);
  }

  // A machine without configurations.
  FillPopupMenu(menu, EmulatorMenuLines(EmulatorMenuEntries(base, "PCE", "", false), {}, [](int) { return true; }));
  items = ItemsOf(menu);
  ASSERT_EQ(items.size(), 1u);
  EXPECT_EQ(items[0].text, NoEmulatorConfigText());
  EXPECT_TRUE(items[0].state & MFS_GRAYED);
  DestroyMenu(menu);
}

}  // namespace
}  // namespace vel
