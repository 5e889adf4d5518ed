// Keys in the running program's item list act through the message hook.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel::test {
namespace {

HWND FocusOf(HWND window) {
  GUITHREADINFO gui{};
  gui.cbSize = sizeof gui;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &gui)) return nullptr;
  return gui.hwndFocus;
}

TEST(ShortcutKeysE2E, KeysOfTheItemListOpenTheInListSearchAndMoveTheFocus) {
  BaseFolder base;
  // "/" is not assignable; the in-list search moves from F to Q.
  WriteWholeFile(base.File("Velmarook2_Key.ini"), "[KeyConfig]\r\nItemListSearch=81\r\n");
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND list = FocusOf(main);
  ASSERT_TRUE(list);
  const std::string caption = Jp("リスト内検索 (↑↓=前後,ESC/ENTER=終了)");

  EXPECT_EQ(GetForegroundWindow(), main);
  PostMessageA(list, WM_KEYDOWN, 'F', 0);
  EXPECT_FALSE(program.WaitForWindow("NORMALDLG", caption, 1500));
  PostMessageA(list, WM_KEYDOWN, 'Q', 0);
  HWND search = program.WaitForWindow("NORMALDLG", caption);
  ASSERT_TRUE(search);
  PostMessageA(search, WM_CLOSE, 0, 0);
  for (int i = 0; i < 50 && IsWindow(search); ++i) Sleep(100);

  // "/" puts the focus into the search box.
  PostMessageA(list, WM_KEYDOWN, VK_OEM_2, 0);
  HWND focus = nullptr;
  for (int i = 0; i < 50 && (focus = FocusOf(main)) == list; ++i) Sleep(100);
  ASSERT_TRUE(focus);
  char className[64] = {};
  GetClassNameA(focus, className, sizeof className);
  EXPECT_STREQ(className, "Edit");
  EXPECT_EQ(GetDlgCtrlID(focus), 2102);
  EXPECT_TRUE(program.Close());
}

// Four presses queued while the program is busy act once: the others are
// taken out of the queue without acting (each press selects all items or,
// when all are selected, none, so four actions would leave none selected).
TEST(ShortcutKeysE2E, QueuedPressesInTheItemListActOnce) {
  BaseFolder base;
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(CreateItemView(db));
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title,ply) VALUES('a','A',0),('b','B',0),('c','C',0);"
                          "CREATE VIEW list_view AS SELECT * FROM all_item_view WHERE ( 1 );"));
  }
  // "Select all" on a key that needs no modifier, which a posted message cannot carry.
  WriteWholeFile(base.File("Velmarook2_Key.ini"), "[KeyConfig]\r\nSelectAll=75\r\n");
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND list = FocusOf(main);
  ASSERT_TRUE(list);
  for (int i = 0; i < 50 && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) != 3; ++i) Sleep(100);
  ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
  // The first item is selected at start; one press selects all three.
  ASSERT_LT(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 3);
  HANDLE gui = OpenThread(THREAD_SUSPEND_RESUME, FALSE, GetWindowThreadProcessId(main, nullptr));
  ASSERT_TRUE(gui);
  ASSERT_NE(SuspendThread(gui), static_cast<DWORD>(-1));
  for (int i = 0; i < 4; ++i) PostMessageA(list, WM_KEYDOWN, 'K', 0);
  ResumeThread(gui);
  CloseHandle(gui);
  for (int i = 0; i < 50 && SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) != 3; ++i) Sleep(100);
  Sleep(500);
  EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 3);
  EXPECT_TRUE(program.Close());
}

// Esc in the search box empties it and sets the target back to its first entry.
TEST(ShortcutKeysE2E, EscInTheSearchBoxClearsTextAndTarget) {
  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND list = FocusOf(main);
  ASSERT_TRUE(list);
  HWND edit = FindControl(main, 2102);
  HWND target = FindControl(main, 2101);
  ASSERT_TRUE(edit);
  ASSERT_TRUE(target);
  // "/" moves the focus into the search box. The start puts the focus on the
  // list once the window is in front, which may come after the first key.
  for (int i = 0; i < 50 && FocusOf(main) != edit; ++i) {
    if (i % 10 == 0) PostMessageA(FocusOf(main), WM_KEYDOWN, VK_OEM_2, 0);
    Sleep(100);
  }
  ASSERT_EQ(FocusOf(main), edit);
  SetWindowTextA(edit, "mario");
  SendMessageA(target, CB_SETCURSEL, 3, 0);
  PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
  for (int i = 0; i < 50 && (GetWindowTextLengthA(edit) != 0 || SendMessageA(target, CB_GETCURSEL, 0, 0) != 0); ++i)
    Sleep(100);
  EXPECT_EQ(GetWindowTextLengthA(edit), 0);
  EXPECT_EQ(SendMessageA(target, CB_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
