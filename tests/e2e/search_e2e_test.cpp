// The search box in the running program: Enter builds the list and the status
// bar shows its count.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kSearchTextId = 2102;

BOOL CALLBACK FindSearchBox(HWND window, LPARAM found) {
  if (WindowCaption(window) == "SearchDlgBar") {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

TEST(SearchE2E, EnterInTheSearchBoxListsTheItemsAndShowsTheCount) {
  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title) VALUES"
                        "('k1','Alpha Quest'),('k2','Beta Quest'),('k3','Alpha Zone');"));
  db.Close();

  HWND box = nullptr;
  EnumChildWindows(main, FindSearchBox, reinterpret_cast<LPARAM>(&box));
  ASSERT_TRUE(box);
  HWND edit = GetDlgItem(box, kSearchTextId);
  ASSERT_TRUE(edit);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("alpha gamma"));
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);

  HWND list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
  HWND status = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
  ASSERT_TRUE(list);
  ASSERT_TRUE(status);
  // " 検索件数: 2 件", counted in bytes or, as Wine's status bar does, in characters.
  const std::string countText = Jp(" 検索件数: 2 件");
  const size_t countBytes = countText.size();
  const size_t countChars = static_cast<size_t>(MultiByteToWideChar(932, 0, countText.c_str(), -1, nullptr, 0) - 1);
  auto isCount = [&](LRESULT length) {
    return static_cast<size_t>(length) == countBytes || static_cast<size_t>(length) == countChars;
  };
  LRESULT rows = 0, textLength = 0;
  for (int i = 0; i < 200 && !(rows == 2 && isCount(textLength)); ++i) {
    SleepMs(50);
    rows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    textLength = LOWORD(SendMessageA(status, SB_GETTEXTLENGTHA, 1, 0));
  }
  EXPECT_EQ(rows, 2);
  EXPECT_TRUE(isCount(textLength)) << textLength;
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
