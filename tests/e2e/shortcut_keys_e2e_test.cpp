// Keys in the running program's item list act through the message hook.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace vel::test
