// The information pane in the running program: it follows the selection,
// its values are links that search (a machine with a quote, a genre with two
// spaces), its stars set the rating and its tab is kept for the next start;
// pictures dropped on it from another process become the item's snapshots.
#include <windows.h>
#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "launch/png_writer.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kItemListId = 1001, kPaneId = 1002;

LRESULT Rows(HWND list) { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); }
LRESULT Selected(HWND list) { return SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); }

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
    SearchInBox(main, "SELECT * FROM list_view ORDER BY title;", 9);
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

std::wstring WideOfAnsi(const std::string& ansi) {
  int length = MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(std::max(length, 0)), L'\0');
  MultiByteToWideChar(932, MB_ERR_INVALID_CHARS, ansi.data(), static_cast<int>(ansi.size()), wide.data(), length);
  return wide;
}

// Drops the files on `window` of the program as the shell does: a DROPFILES
// block with wide names, posted with WM_DROPFILES at `at` (client
// coordinates). The message's handle reaches the program as it is (under
// Wine it is not carried over between processes), so the block is written
// into the program's own memory, where a fixed global block is known by its
// address.
void DropFiles(const RunningProgram& program, HWND window, const std::vector<std::string>& names, POINT at) {
  std::wstring list;
  for (const std::string& name : names) list += WideOfAnsi(name) + L'\0';
  list += L'\0';
  std::string block(sizeof(DROPFILES) + list.size() * sizeof(wchar_t), '\0');
  DROPFILES header{};
  header.pFiles = sizeof(DROPFILES);
  header.pt = at;
  header.fNC = FALSE;
  header.fWide = TRUE;
  memcpy(block.data(), &header, sizeof header);
  memcpy(block.data() + sizeof header, list.data(), list.size() * sizeof(wchar_t));
  HANDLE process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, program.ProcessId());
  ASSERT_TRUE(process);
  void* there = VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  SIZE_T written = 0;
  const bool copied = there && WriteProcessMemory(process, there, block.data(), block.size(), &written) &&
                      written == block.size();
  CloseHandle(process);
  ASSERT_TRUE(copied);
  ASSERT_TRUE(PostMessageW(window, WM_DROPFILES, reinterpret_cast<WPARAM>(there), 0));
}

void WritePicture(const std::string& path) {
  SnapPixels picture{4, 3, std::vector<std::uint32_t>(12, 0x3366CCu)};
  ASSERT_EQ(SavePng(picture, path), kSnapSaved) << path;
}

struct Slots {
  int rows = 0;
  std::string snap[3];
  bool operator==(const Slots&) const = default;
};

Slots StoredSlots(const BaseFolder& base, const std::string& key) {
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  Slots slots;
  if (db.Query("SELECT snap1, snap2, snap3 FROM snap_path_table WHERE pfile_sp='" + Quote(key) + "';")) return {-1, {}};
  slots.rows = db.RowCount();
  if (slots.rows == 1)
    for (int i = 0; i < 3; ++i) slots.snap[i] = db.Cell(1, i);
  return slots;
}

// On the 3Shots tab two pictures dropped from another process fill snap1 and
// snap2 in their order, a name whose Shift-JIS bytes hold 0x5C and a quote is
// stored byte for byte, a text file alone changes nothing and one picture
// goes to the slot under the drop point.
TEST(InfoPaneE2E, PicturesDroppedFromAnotherProcessBecomeTheSnapshots) {
  BaseFolder base;
  const std::string folder = base.File(Jp("ソフト"));
  ASSERT_TRUE(CreateDirectoryA(folder.c_str(), nullptr));
  const std::string first = folder + "\\Let's.png", second = base.File("b.PNG"), third = base.File("c.png");
  const std::string text = base.File("notes.txt");
  ASSERT_NE(first.find("\x83\x5C"), std::string::npos);  // ソ ends in the byte of "\"
  WritePicture(first);
  WritePicture(second);
  WritePicture(third);
  WriteWholeFile(text, "notes");
  ASSERT_TRUE(WritePrivateProfileStringA("Window", "InfoTabNum", "1", base.File("Velmarook2.ini").c_str()));
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  const std::string key = "C:\\a.d88";
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title) VALUES('" + Quote(key) + "','Alpha');"));
  }
  HWND list = FindControl(main, kItemListId), pane = FindControl(main, kPaneId);
  ASSERT_TRUE(list && pane);
  SearchInBox(main, "SELECT * FROM list_view ORDER BY title;", 9);
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 1 && Selected(list) == 0; }));
  RECT client{};
  GetClientRect(pane, &client);
  const POINT middle{client.right / 2, client.bottom / 2};

  // The pane takes up the selected item a moment later: the drop is repeated
  // until it lands, which it does once only (the same two names each time).
  Slots two{1, {first, second, ""}};
  EXPECT_TRUE(WaitFor([&] {
    DropFiles(program, pane, {first, second}, middle);
    return WaitFor([&] { return StoredSlots(base, key).rows != 0; }, 1000);
  }));
  EXPECT_EQ(StoredSlots(base, key), two);

  // A text file alone is passed over; the single picture dropped after it on
  // the third column shows that the text file's drop has been handled.
  DropFiles(program, pane, {text}, middle);
  DropFiles(program, pane, {third}, POINT{client.right * 5 / 6, middle.y});
  ASSERT_TRUE(WaitFor([&] { return StoredSlots(base, key).snap[2] == third; })) << StoredSlots(base, key).snap[2];
  Slots three{1, {first, second, third}};
  EXPECT_EQ(StoredSlots(base, key), three);
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
