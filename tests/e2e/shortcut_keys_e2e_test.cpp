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
  // The typed text may have opened the title candidates: the first Esc then
  // closes them, and the next one empties the box.
  for (int i = 0; i < 50 && (GetWindowTextLengthA(edit) != 0 || SendMessageA(target, CB_GETCURSEL, 0, 0) != 0); ++i) {
    if (i % 10 == 0) PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(100);
  }
  EXPECT_EQ(GetWindowTextLengthA(edit), 0);
  EXPECT_EQ(SendMessageA(target, CB_GETCURSEL, 0, 0), 0);
  EXPECT_TRUE(program.Close());
}

// The key dialog assigns Ctrl+Q to the in-list search: the file keeps the
// Alt key set by hand, and Ctrl+Q opens the search at once.
TEST(ShortcutKeysE2E, TheKeyDialogSavesAndTheNewKeyActsAtOnce) {
  BaseFolder base;
  const std::string keyFile = base.File("Velmarook2_Key.ini");
  WriteWholeFile(keyFile, "[KeyConfig]\r\nEditRecord=4165\r\n");
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  PostMessageA(main, WM_COMMAND, 1217, 0);
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("ショートカットキーの設定"));
  ASSERT_TRUE(dialog);
  HWND actions = FindControl(dialog, 2201);
  HWND keys = FindControl(dialog, 2202);
  HWND ctrl = FindControl(dialog, 2204);
  ASSERT_TRUE(actions && keys && ctrl);
  SendMessageA(actions, LB_SETCURSEL, 14, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(2201, LBN_SELCHANGE), reinterpret_cast<LPARAM>(actions));
  SendMessageA(keys, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("Q"));
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(2202, CBN_SELCHANGE), reinterpret_cast<LPARAM>(keys));
  SendMessageA(ctrl, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(2204, BN_CLICKED), reinterpret_cast<LPARAM>(ctrl));
  PressButton(dialog, IDOK);
  for (int i = 0; i < 50 && IsWindow(dialog); ++i) Sleep(100);
  ASSERT_FALSE(IsWindow(dialog));
  std::string saved = ReadWholeFile(keyFile);
  EXPECT_NE(saved.find("EditRecord=4165"), std::string::npos) << saved;
  EXPECT_NE(saved.find("ItemListSearch=65617"), std::string::npos) << saved;

  const std::string caption = Jp("リスト内検索 (↑↓=前後,ESC/ENTER=終了)");
  HWND list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
  ASSERT_TRUE(list);
  HWND search = nullptr;
  for (int attempt = 0; attempt < 5 && !search; ++attempt) {
    for (int i = 0; i < 50 && GetForegroundWindow() != main; ++i) Sleep(100);
    // A click gives the (empty) item list the focus back.
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(60, 60));
    PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(60, 60));
    for (int i = 0; i < 20 && FocusOf(main) != list; ++i) Sleep(100);
    keybd_event(VK_CONTROL, 0, 0, 0);
    keybd_event('Q', 0, 0, 0);
    keybd_event('Q', 0, KEYEVENTF_KEYUP, 0);
    keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
    search = program.WaitForWindow("NORMALDLG", caption, 2000);
  }
  ASSERT_TRUE(search);
  PostMessageA(search, WM_CLOSE, 0, 0);
  for (int i = 0; i < 50 && IsWindow(search); ++i) Sleep(100);
  EXPECT_TRUE(program.Close());
}

// With Scroll Lock on (as the last session left it), a wheel notch over the
// item list moves the selection one row instead of scrolling.
TEST(ShortcutKeysE2E, AWheelNotchWithScrollLockOnMovesTheSelection) {
  BaseFolder base;
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(CreateItemView(db));
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title,ply) VALUES('a','A',0),('b','B',0),('c','C',0);"
                          "CREATE VIEW list_view AS SELECT * FROM all_item_view WHERE ( 1 );"));
  }
  WriteWholeFile(base.File("Velmarook2.ini"), "[KeyState]\r\nScrlLk=1\r\n");
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
  ASSERT_TRUE(list);
  for (int i = 0; i < 50 && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) != 3; ++i) Sleep(100);
  ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
  for (int i = 0; i < 50 && GetForegroundWindow() != main; ++i) Sleep(100);
  RECT r{};
  GetWindowRect(list, &r);
  const LPARAM centre = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  auto focused = [&] { return SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED); };
  // No row or the first has the focus at start; a notch down goes one row on.
  const LRESULT start = focused();
  ASSERT_LE(start, 0);
  PostMessageA(list, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), centre);
  for (int i = 0; i < 30 && focused() != start + 1; ++i) Sleep(100);
  EXPECT_EQ(focused(), start + 1);
  // Half a notch does nothing until the other half comes.
  PostMessageA(list, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), centre);
  Sleep(500);
  EXPECT_EQ(focused(), start + 1);
  PostMessageA(list, WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA / 2)), centre);
  for (int i = 0; i < 30 && focused() != start + 2; ++i) Sleep(100);
  EXPECT_EQ(focused(), start + 2);
  PostMessageA(list, WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), centre);
  for (int i = 0; i < 30 && focused() != start + 1; ++i) Sleep(100);
  EXPECT_EQ(focused(), start + 1);
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
