// The information pane in the running program: it follows the selection,
// its values are links that search (a machine with a quote, a genre with two
// spaces), its stars set the rating and its tab is kept for the next start.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kItemListId = 1001, kPaneId = 1002;
constexpr int kSearchTargetId = 2101, kSearchTextId = 2102;

LRESULT Rows(HWND list) { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); }
LRESULT Selected(HWND list) { return SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); }

void Search(HWND main, const std::string& text, int target) {
  SendMessageA(FindControl(main, kSearchTargetId), CB_SETCURSEL, static_cast<WPARAM>(target), 0);
  HWND edit = FindControl(main, kSearchTextId);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
}

enum class Sweep { kTopDown, kBottomUp };

// The pane names the link under the pointer in its window text: the pane is
// swept with pointer moves, row by row from the top or the bottom, until a
// link with the text is found.
std::optional<POINT> FindLink(HWND pane, const std::string& text, Sweep sweep, int attempts = 20) {
  RECT client{};
  GetClientRect(pane, &client);
  const int rows = static_cast<int>(client.bottom - 2) / 5;
  for (int attempt = 0; attempt < attempts; ++attempt) {
    for (int r = 0; r < rows; ++r) {
      const int y = sweep == Sweep::kTopDown ? 2 + r * 5 : static_cast<int>(client.bottom) - 2 - r * 5;
      for (int x = 2; x < client.right; x += 10) {
        SendMessageA(pane, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        char shown[512] = {};
        SendMessageA(pane, WM_GETTEXT, sizeof shown, reinterpret_cast<LPARAM>(shown));
        if (text == shown) return POINT{x, y};
      }
    }
    SleepMs(100);  // the pane may not have drawn the new item yet
  }
  return std::nullopt;
}

void Click(HWND pane, POINT at) {
  PostMessageA(pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y));
  PostMessageA(pane, WM_LBUTTONUP, 0, MAKELPARAM(at.x, at.y));
}

TEST(InfoPaneE2E, LinksSearchStarsRateAndTheTabIsKept) {
  BaseFolder base;
  {
    RunningProgram program(base.Path(), "-nosplash");
    HWND main = program.WaitUntilReady();
    ASSERT_TRUE(main);
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title,machine_name,genre_name,maker) VALUES"
                          "('C:\\a.d88','Alpha','Let''s PC','Action  RPG','Zeta'),"
                          "('C:\\b.d88','Beta','Let''s PC','ACT','Zeta'),"
                          "('C:\\c.d88','Gamma','X68','Action  RPG','Kappa'),"
                          "('C:\\d.d88','Delta','X68','Action RPG','Kappa'),"
                          "('C:\\e.d88','Epsilon','Let''s PC','Action RPG','Kappa');"));
    HWND list = FindControl(main, kItemListId), pane = FindControl(main, kPaneId);
    ASSERT_TRUE(list && pane);
    Search(main, "SELECT * FROM list_view ORDER BY title;", 9);
    ASSERT_TRUE(WaitFor([&] { return Rows(list) == 5 && Selected(list) == 0; }));  // Alpha

    std::optional<POINT> machine = FindLink(pane, Jp("機種:") + "Let's PC", Sweep::kBottomUp);
    ASSERT_TRUE(machine);
    Click(pane, *machine);
    EXPECT_TRUE(WaitFor([&] { return Rows(list) == 3; }));  // a, b, e

    // Alpha stays selected; its genre keeps both spaces.
    std::optional<POINT> genre = FindLink(pane, Jp("ジャンル:") + "Action  RPG", Sweep::kBottomUp);
    ASSERT_TRUE(genre);
    Click(pane, *genre);
    EXPECT_TRUE(WaitFor([&] { return Rows(list) == 2; }));  // a, c

    std::optional<POINT> star = FindLink(pane, "0 / 5", Sweep::kBottomUp);
    ASSERT_TRUE(star);
    // The sweep meets the stars within 10 pixels of their left edge; they are
    // 16 pixels apart, so 34 pixels on is the third star.
    Click(pane, POINT{star->x + 34, star->y});
    EXPECT_TRUE(WaitFor([&] { return FindLink(pane, "3 / 5", Sweep::kBottomUp, 1).has_value(); }));
    std::optional<POINT> tab = FindLink(pane, "3Shots", Sweep::kTopDown);
    ASSERT_TRUE(tab);
    Click(pane, *tab);
    SleepMs(500);
    EXPECT_TRUE(program.Close());
  }
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query("SELECT rating FROM main_table WHERE file_name='C:\\a.d88';"));
  EXPECT_EQ(db.Cell(1, 0), "30");
  EXPECT_EQ(GetPrivateProfileIntA("Window", "InfoTabNum", -1, base.File("Velmarook2.ini").c_str()), 1);
}

}  // namespace
}  // namespace vel::test
