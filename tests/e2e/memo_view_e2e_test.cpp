// The memo view in the running program: an edited memo is stored under the
// item it was read for when the selection moves on, a long memo and
// characters beyond Shift-JIS survive an edit, a memo of one very long line
// is shown unwrapped, closing the view or the program with a modified memo
// asks first, and a view without its frame is dragged by its margin.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kItemListId = 1001;
constexpr int kEditModeCommand = 1261;

HWND MemoView(const RunningProgram& program) {
  for (HWND window : WindowsOfProcess(program.ProcessId(), "NORMALDLG"))
    if (WindowCaption(window).rfind(Jp("メモビュー"), 0) == 0) return window;
  return nullptr;
}

// The program's question box: the first visible dialog window of its process.
HWND WaitForQuestion(const RunningProgram& program, DWORD timeoutMs = 20000) {
  HWND found = nullptr;
  WaitFor(
      [&] {
        for (HWND window : WindowsOfProcess(program.ProcessId(), "#32770"))
          if (IsWindowVisible(window) && GetDlgItem(window, IDYES)) return (found = window) != nullptr;
        return false;
      },
      timeoutMs);
  return found;
}

void PressKey(HWND list, WPARAM key) {
  PostMessageA(list, WM_KEYDOWN, key, 0);
  PostMessageA(list, WM_KEYUP, key, 0xC0000000);
}

// The edit control's text, asked of the control itself (the window manager
// keeps no copy of another process's edit text).
int EditLength(HWND edit) { return static_cast<int>(SendMessageW(edit, WM_GETTEXTLENGTH, 0, 0)); }
std::wstring EditText(HWND edit) {
  std::wstring text(static_cast<size_t>(EditLength(edit)) + 1, L'\0');
  LRESULT copied = SendMessageW(edit, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return text;
}

struct Stored {
  int rows = 0;
  std::string memo;  // UTF-8
};

Stored StoredMemo(const BaseFolder& base, const std::string& key) {
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  Stored stored;
  if (db.Query("SELECT memo FROM memo_table WHERE pfile_mm='" + key + "';")) return {-1, ""};
  stored.rows = db.RowCount();
  if (stored.rows) stored.memo = std::string(db.CellUtf8(1, 0));
  return stored;
}

// Puts the items and their memos (UTF-8 rows of VALUES) into the library and
// lists them by title.
void ListItemsWithMemos(const BaseFolder& base, HWND main, const std::string& items, const std::string& memos,
                        LRESULT rows) {
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title) VALUES" + items + ";"));
    ASSERT_FALSE(db.QueryUtf8("INSERT INTO memo_table(pfile_mm,memo) VALUES" + memos + ";"));
  }
  HWND list = FindControl(main, kItemListId);
  SearchInBox(main, "SELECT * FROM list_view ORDER BY title;", 9);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == rows; }));
}

TEST(MemoViewE2E, EditedMemosAreStoredWholeForTheirItemAndClosingAsks) {
  BaseFolder base;
  ASSERT_TRUE(WritePrivateProfileStringA("MemoWindow", "Active", "1", base.File("Velmarook2.ini").c_str()));
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  // A 40,000-byte memo of many lines that starts with a character Shift-JIS lacks.
  std::string longMemo = "\xC3\xA9";
  while (longMemo.size() + 80 <= 40000) longMemo += "\n" + std::string(79, 'x');
  longMemo += std::string(40000 - longMemo.size(), 'x');
  ASSERT_EQ(longMemo.size(), 40000u);
  // The edit shows "é" as one character and every line end as "\r\n".
  const int shownLength = static_cast<int>(longMemo.size() - 1 + std::count(longMemo.begin(), longMemo.end(), '\n'));
  ASSERT_NO_FATAL_FAILURE(ListItemsWithMemos(base, main, "('k1','Alpha'),('k2','Beta'),('k3','Gamma')",
                                             "('k1','old memo'),('k3','" + longMemo + "')", 3));
  HWND list = FindControl(main, kItemListId);
  HWND view = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (view = MemoView(program)) != nullptr; }));
  HWND edit = FindWindowExA(view, nullptr, "Edit", nullptr);
  ASSERT_TRUE(edit);
  // The view holds item 1 before anything is typed.
  PressKey(list, VK_HOME);
  ASSERT_TRUE(WaitFor([&] { return EditText(edit) == L"old memo"; })) << EditLength(edit);
  PostMessageA(main, WM_COMMAND, kEditModeCommand, 0);
  ASSERT_TRUE(WaitFor([&] { return WindowCaption(view).find(Jp("編集モード")) != std::string::npos; }));

  // Item 1 edited, then Down: Yes stores it under item 1, item 2 gets no row.
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"new \u00e9 memo"));
  SendMessageW(edit, EM_SETMODIFY, TRUE, 0);
  PressKey(list, VK_DOWN);
  HWND question = WaitForQuestion(program);
  ASSERT_TRUE(question);
  EXPECT_EQ(MessageBoxText(question), Jp("メモを保存します。\nよろしいですか？"));
  PressButton(question, IDYES);
  EXPECT_TRUE(WaitFor([&] { return StoredMemo(base, "k1").memo == "new \xC3\xA9 memo"; }));
  EXPECT_EQ(StoredMemo(base, "k2").rows, 0);
  ASSERT_TRUE(WaitFor([&] { return EditLength(edit) == 0; }));  // item 2 has no memo

  // Item 3's long memo is shown whole; a character typed at its end keeps
  // the rest, the "é" included.
  PressKey(list, VK_DOWN);
  ASSERT_TRUE(WaitFor([&] { return EditLength(edit) == shownLength; })) << EditLength(edit);
  SendMessageW(edit, EM_SETSEL, shownLength, shownLength);
  PostMessageW(edit, WM_CHAR, L'!', 1);
  ASSERT_TRUE(WaitFor([&] { return EditLength(edit) == shownLength + 1; }));
  PressKey(list, VK_UP);
  question = WaitForQuestion(program);
  ASSERT_TRUE(question);
  PressButton(question, IDYES);
  EXPECT_TRUE(WaitFor([&] { return StoredMemo(base, "k3").memo == longMemo + "!"; }));
  EXPECT_EQ(StoredMemo(base, "k3").memo.size(), 40001u);

  // Closing the view with a modified memo asks; Cancel keeps the view.
  ASSERT_TRUE(WaitFor([&] { return EditLength(edit) == 0; }));  // item 2 again
  SendMessageW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L"draft"));
  SendMessageW(edit, EM_SETMODIFY, TRUE, 0);
  PostMessageA(view, WM_CLOSE, 0, 0);
  question = WaitForQuestion(program);
  ASSERT_TRUE(question);
  EXPECT_EQ(MessageBoxText(question), Jp("メモを保存します。\nよろしいですか？"));
  PressButton(question, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(question); }));
  SleepMs(300);
  EXPECT_TRUE(IsWindow(view));
  // So does the end of the program; No lets it end without storing.
  PostMessageA(main, WM_CLOSE, 0, 0);
  question = WaitForQuestion(program);
  ASSERT_TRUE(question);
  PressButton(question, IDNO);
  EXPECT_TRUE(program.WaitForExit(30000));
  EXPECT_EQ(StoredMemo(base, "k2").rows, 0);
}

// The view's menu: hidden while the pane shows 3Shots, the frame hidden and
// shown again, the opacity, following the main window; the choices are kept
// in the settings at exit.
TEST(MemoViewE2E, MenuChoicesChangeTheViewAndAreKept) {
  BaseFolder base;
  const std::string ini = base.File("Velmarook2.ini");
  ASSERT_TRUE(WritePrivateProfileStringA("MemoWindow", "Active", "1", ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("MemoWindow", "HideIn3Shot", "1", ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("Window", "InfoTabNum", "1", ini.c_str()));
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND view = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (view = MemoView(program)) != nullptr; }));
  // Opened at start, but hidden: the pane shows 3Shots.
  SleepMs(500);
  EXPECT_FALSE(IsWindowVisible(view));
  PostMessageA(main, WM_COMMAND, 1250, 0);  // 3Shotモードで非表示, now off
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(view) != FALSE; }));
  auto style = [&] { return GetWindowLongPtrA(view, GWL_STYLE); };
  auto exStyle = [&] { return GetWindowLongPtrA(view, GWL_EXSTYLE); };
  ASSERT_TRUE(style() & WS_CAPTION);

  PostMessageA(main, WM_COMMAND, 1248, 0);  // ウィンドウフレームを非表示
  EXPECT_TRUE(WaitFor([&] { return (style() & WS_CAPTION) != WS_CAPTION; }));
  PostMessageA(main, WM_COMMAND, 1248, 0);
  EXPECT_TRUE(WaitFor([&] { return (style() & WS_CAPTION) == WS_CAPTION; }));

  PostMessageA(main, WM_COMMAND, 1256, 0);  // 50 %
  EXPECT_TRUE(WaitFor([&] { return (exStyle() & WS_EX_LAYERED) != 0; }));
  PostMessageA(main, WM_COMMAND, 1251, 0);  // 100 %
  EXPECT_TRUE(WaitFor([&] { return (exStyle() & WS_EX_LAYERED) == 0; }));
  PostMessageA(main, WM_COMMAND, 1253, 0);  // 80 %, kept

  // Following: the view moves by as much as the main window.
  PostMessageA(main, WM_COMMAND, 1249, 0);
  SleepMs(500);
  RECT mainBefore{}, viewBefore{};
  GetWindowRect(main, &mainBefore);
  GetWindowRect(view, &viewBefore);
  SetWindowPos(main, nullptr, mainBefore.left + 40, mainBefore.top + 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  EXPECT_TRUE(WaitFor([&] {
    RECT now{};
    GetWindowRect(view, &now);
    return now.left == viewBefore.left + 40 && now.top == viewBefore.top + 30;
  }));

  EXPECT_TRUE(program.Close());
  EXPECT_EQ(GetPrivateProfileIntA("MemoWindow", "Tracking", -1, ini.c_str()), 1);
  EXPECT_EQ(GetPrivateProfileIntA("MemoWindow", "Alpha", -1, ini.c_str()), 80);
  EXPECT_EQ(GetPrivateProfileIntA("MemoWindow", "HideFrame", -1, ini.c_str()), 0);
  EXPECT_EQ(GetPrivateProfileIntA("MemoWindow", "HideIn3Shot", -1, ini.c_str()), 0);
}

// The view's memo edit (made anew when a memo needs the other wrapping).
HWND MemoEdit(HWND view) { return FindWindowExA(view, nullptr, "Edit", nullptr); }
bool ScrollsSideways(HWND edit) { return (GetWindowLongPtrA(edit, GWL_STYLE) & WS_HSCROLL) != 0; }

// A memo of 40,000 bytes in one line is shown unwrapped, scrolled sideways,
// kept whole through an edit and stored whole; a short memo after it is
// wrapped again.
TEST(MemoViewE2E, AMemoOfOneLongLineIsShownUnwrappedAndStoredWhole) {
  BaseFolder base;
  ASSERT_TRUE(WritePrivateProfileStringA("MemoWindow", "Active", "1", base.File("Velmarook2.ini").c_str()));
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  const std::string longMemo = "\xC3\xA9" + std::string(39998, 'z');
  ASSERT_EQ(longMemo.size(), 40000u);
  const int shownLength = 39999;  // "é" is one character
  ASSERT_NO_FATAL_FAILURE(
      ListItemsWithMemos(base, main, "('k1','Alpha'),('k2','Beta')", "('k1','short memo'),('k2','" + longMemo + "')", 2));
  HWND list = FindControl(main, kItemListId);
  HWND view = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (view = MemoView(program)) != nullptr; }));
  PressKey(list, VK_HOME);
  ASSERT_TRUE(WaitFor([&] { return MemoEdit(view) && EditText(MemoEdit(view)) == L"short memo"; }));
  EXPECT_FALSE(ScrollsSideways(MemoEdit(view)));
  PostMessageA(main, WM_COMMAND, kEditModeCommand, 0);
  ASSERT_TRUE(WaitFor([&] { return WindowCaption(view).find(Jp("編集モード")) != std::string::npos; }));

  PressKey(list, VK_DOWN);
  ASSERT_TRUE(WaitFor([&] { return MemoEdit(view) && EditLength(MemoEdit(view)) == shownLength; }))
      << EditLength(MemoEdit(view));
  HWND edit = MemoEdit(view);
  EXPECT_TRUE(ScrollsSideways(edit));
  EXPECT_EQ(EditText(edit), L"\u00e9" + std::wstring(39998, L'z'));
  // Still in edit mode: a character typed at the end keeps the rest.
  SendMessageW(edit, EM_SETSEL, shownLength, shownLength);
  PostMessageW(edit, WM_CHAR, L'!', 1);
  ASSERT_TRUE(WaitFor([&] { return EditLength(edit) == shownLength + 1; }));
  PressKey(list, VK_UP);
  HWND question = WaitForQuestion(program);
  ASSERT_TRUE(question);
  PressButton(question, IDYES);
  EXPECT_TRUE(WaitFor([&] { return StoredMemo(base, "k2").memo == longMemo + "!"; }));
  EXPECT_EQ(StoredMemo(base, "k2").memo.size(), 40001u);
  ASSERT_TRUE(WaitFor([&] { return MemoEdit(view) && EditText(MemoEdit(view)) == L"short memo"; }));
  EXPECT_FALSE(ScrollsSideways(MemoEdit(view)));
  EXPECT_TRUE(program.Close());
}

void PressLeftButton(bool down) {
  INPUT input{};
  input.type = INPUT_MOUSE;
  input.mi.dwFlags = down ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_LEFTUP;
  SendInput(1, &input, sizeof input);
}

bool InMoveLoop(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  return GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info) && (info.flags & GUI_INMOVESIZE) != 0;
}

RECT WindowRectOf(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return r;
}

// Without its frame the view is dragged by the margin round the memo with the
// real mouse; where it was left is kept and the next start opens it there.
TEST(MemoViewE2E, AFramelessViewIsDraggedByItsMarginAndKeepsThePlace) {
  BaseFolder base;
  const std::string ini = base.File("Velmarook2.ini");
  for (auto [key, value] : {std::pair{"Active", "1"}, {"HideFrame", "1"}, {"PositionX", "300"}, {"PositionY", "200"},
                            {"Width", "320"}, {"Height", "260"}})
    ASSERT_TRUE(WritePrivateProfileStringA("MemoWindow", key, value, ini.c_str()));
  constexpr int kDx = 90, kDy = 70;
  RECT moved{};
  {
    RunningProgram program(base.Path(), "-nosplash");
    ASSERT_TRUE(program.WaitUntilReady());
    HWND view = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (view = MemoView(program)) != nullptr && IsWindowVisible(view); }));
    ASSERT_NE(GetWindowLongPtrA(view, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
    const RECT before = WindowRectOf(view);
    ASSERT_EQ(before.left, 300);
    ASSERT_EQ(before.top, 200);
    // A point of the left margin, beside the memo and not on it.
    const POINT grip{before.left + 4, (before.top + before.bottom) / 2};
    ASSERT_EQ(WindowFromPoint(grip), view);
    ASSERT_TRUE(SetCursorPos(grip.x, grip.y));
    ASSERT_TRUE(WaitFor([&] {
      POINT at{};
      return GetCursorPos(&at) && at.x == grip.x && at.y == grip.y;
    }));
    PressLeftButton(true);
    const bool dragging = WaitFor([&] { return InMoveLoop(view); }, 10000);
    if (dragging) {
      SetCursorPos(grip.x + kDx / 2, grip.y + kDy / 2);
      SetCursorPos(grip.x + kDx, grip.y + kDy);
    }
    PressLeftButton(false);
    ASSERT_TRUE(dragging) << "a press on the margin does not start moving the view";
    EXPECT_TRUE(WaitFor([&] {
      RECT now = WindowRectOf(view);
      return now.left == before.left + kDx && now.top == before.top + kDy;
    })) << WindowRectOf(view).left << "," << WindowRectOf(view).top;
    moved = WindowRectOf(view);
    EXPECT_EQ(moved.right - moved.left, before.right - before.left);
    EXPECT_EQ(moved.bottom - moved.top, before.bottom - before.top);
    EXPECT_TRUE(program.Close());
  }
  EXPECT_EQ(GetPrivateProfileIntA("MemoWindow", "PositionX", -1, ini.c_str()), moved.left);
  EXPECT_EQ(GetPrivateProfileIntA("MemoWindow", "PositionY", -1, ini.c_str()), moved.top);
  EXPECT_EQ(GetPrivateProfileIntA("MemoWindow", "Width", -1, ini.c_str()), moved.right - moved.left);
  EXPECT_EQ(GetPrivateProfileIntA("MemoWindow", "Height", -1, ini.c_str()), moved.bottom - moved.top);
  EXPECT_EQ(GetPrivateProfileIntA("MemoWindow", "HideFrame", -1, ini.c_str()), 1);

  // The next start shows the view where it was left, still without its frame.
  RunningProgram program(base.Path(), "-nosplash");
  ASSERT_TRUE(program.WaitUntilReady());
  HWND view = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (view = MemoView(program)) != nullptr && IsWindowVisible(view); }));
  EXPECT_TRUE(WaitFor([&] {
    RECT now = WindowRectOf(view);
    return EqualRect(&now, &moved) != FALSE;
  })) << WindowRectOf(view).left << "," << WindowRectOf(view).top;
  EXPECT_NE(GetWindowLongPtrA(view, GWL_STYLE) & WS_CAPTION, WS_CAPTION);
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
