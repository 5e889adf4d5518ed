// The search box in the running program: Enter builds the list and the status
// bar shows its count.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <vector>

#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kSearchTextId = 2102;
constexpr int kGroupListId = 1003, kGroupTabsId = 1005;
constexpr int kSqlErrorTagId = 1007;

LRESULT Rows(HWND list) { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); }
LRESULT Selected(HWND list) { return SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED); }

// Types the text into the search box of the given target and presses Enter.
void Search(HWND main, const std::string& text, int target = 0) { SearchInBox(main, text, target); }

void PressKey(HWND window, WPARAM key) {
  PostMessageA(window, WM_KEYDOWN, key, 0);
  PostMessageA(window, WM_KEYUP, key, 0xC0000000);
}

// Status-bar part 1 reads the text (counted in bytes or, as Wine's status bar does, in characters).
bool StatusShows(HWND status, const std::string& text) {
  const size_t chars = static_cast<size_t>(MultiByteToWideChar(932, 0, text.c_str(), -1, nullptr, 0) - 1);
  size_t length = LOWORD(SendMessageA(status, SB_GETTEXTLENGTHA, 1, 0));
  return length == text.size() || length == chars;
}

// Three fruits and three vegetables, each of its own initial.
void AddProduce(const BaseFolder& base) {
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title,maker) VALUES"
                        "('k1','Apple','fruit'),('k2','Banana','fruit'),('k3','Cherry','fruit'),"
                        "('k4','Kale','veg'),('k5','Leek','veg'),('k6','Mint','veg');"));
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

  HWND edit = FindControl(main, kSearchTextId);
  ASSERT_TRUE(edit);
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

TEST(SearchE2E, PageDownAfterASecondSearchJumpsThroughTheNewList) {
  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  ASSERT_NO_FATAL_FAILURE(AddProduce(base));
  HWND list = FindControl(main, 1001);
  ASSERT_TRUE(list);
  Search(main, "fruit");
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 3 && Selected(list) == 0; }));
  PressKey(list, VK_NEXT);  // the index of this list: A, B, C
  ASSERT_TRUE(WaitFor([&] { return Selected(list) == 1; }));

  // The same order, other rows: Page Down goes from Kale to Leek.
  Search(main, "veg");
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 3 && Selected(list) == -1; }));
  PressKey(list, VK_HOME);
  ASSERT_TRUE(WaitFor([&] { return Selected(list) == 0; }));
  PressKey(list, VK_NEXT);
  EXPECT_TRUE(WaitFor([&] { return Selected(list) == 1; }));
  PressKey(list, VK_NEXT);
  EXPECT_TRUE(WaitFor([&] { return Selected(list) == 2; }));
  EXPECT_TRUE(program.Close());
}

TEST(SearchE2E, ASearchStartsTheGroupListAfresh) {
  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  ASSERT_NO_FATAL_FAILURE(AddProduce(base));
  HWND list = FindControl(main, 1001), groups = FindControl(main, kGroupListId);
  ASSERT_TRUE(list && groups);
  Search(main, "fruit");
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 3 && Rows(groups) == 2; }));  // <全て>, fruit
  PressKey(groups, VK_END);
  ASSERT_TRUE(WaitFor([&] { return Selected(groups) == 1; }));

  // No row of the new group list is taken for the old one's choice.
  Search(main, "veg");
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 3 && Rows(groups) == 2; }));
  SleepMs(300);
  EXPECT_EQ(Selected(groups), -1);
  // So its row can be chosen: the list follows it.
  PressKey(groups, VK_END);
  EXPECT_TRUE(WaitFor([&] { return Selected(groups) == 1; }));
  EXPECT_TRUE(program.Close());
}

TEST(SearchE2E, AFailedOrBlankSearchShowsAnEmptyResultAndOneReport) {
  BaseFolder base;
  // The release-year tab lists its groups by a statement of its own.
  ASSERT_TRUE(WritePrivateProfileStringA("GroupSelect", "Tab0", "8", base.File("Velmarook2.ini").c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("GroupSelect", "Tab1", "1", base.File("Velmarook2.ini").c_str()));
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  ASSERT_NO_FATAL_FAILURE(AddProduce(base));
  HWND list = FindControl(main, 1001), groups = FindControl(main, kGroupListId);
  HWND status = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
  ASSERT_TRUE(list && groups && status);
  Search(main, "fruit");
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 3 && StatusShows(status, Jp(" 検索件数: 3 件")); }));

  // A blank text builds nothing: the status bar says so.
  Search(main, "   ");
  EXPECT_TRUE(WaitFor([&] { return Rows(list) == 0 && StatusShows(status, Jp(" 検索件数: 0 件")); }));

  // A view that cannot be read is reported once, by the list load.
  Search(main, "SELECT * FROM list_view WHERE nosuch=1", 9);
  HWND report = program.WaitForWindow("NORMALDLG", Jp("SQLクエリエラー"));
  ASSERT_TRUE(report);
  SleepMs(1000);
  char tag[256] = {};
  SendMessageA(GetDlgItem(report, kSqlErrorTagId), WM_GETTEXT, sizeof tag, reinterpret_cast<LPARAM>(tag));
  EXPECT_STREQ(tag, "ItemListClmSort:Normal");
  EXPECT_EQ(Rows(groups), 0);
  EXPECT_TRUE(StatusShows(status, Jp(" 検索件数: 0 件")));

  // Another group tab reads no view either: no second report.
  PressButton(report, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(report); }));
  HWND tabs = FindControl(main, kGroupTabsId);
  ASSERT_TRUE(tabs);
  const LRESULT tab = SendMessageA(tabs, TCM_GETCURSEL, 0, 0);
  PostMessageA(groups, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(groups, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  ASSERT_TRUE(WaitFor([&] { return FocusedWindowOf(main) == groups; }));
  PressKey(groups, VK_RIGHT);
  EXPECT_TRUE(WaitFor([&] { return SendMessageA(tabs, TCM_GETCURSEL, 0, 0) != tab; }));
  EXPECT_FALSE(program.WaitForWindow("NORMALDLG", Jp("SQLクエリエラー"), 2000));
  EXPECT_EQ(Rows(groups), 0);
  EXPECT_TRUE(program.Close());
}

// Status-bar part 3 (the search time) has the length of the text.
bool TimePartShows(HWND status, const std::string& text) {
  const size_t chars = static_cast<size_t>(MultiByteToWideChar(932, 0, text.c_str(), -1, nullptr, 0) - 1);
  size_t length = LOWORD(SendMessageA(status, SB_GETTEXTLENGTHA, 3, 0));
  return length == text.size() || length == chars;
}

TEST(SearchE2E, EscStopsALongSearchAndLeavesThePreviousList) {
  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  ASSERT_NO_FATAL_FAILURE(AddProduce(base));
  HWND list = FindControl(main, 1001), groups = FindControl(main, kGroupListId);
  HWND status = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
  HWND edit = FindControl(main, kSearchTextId);
  ASSERT_TRUE(list && groups && status && edit);
  Search(main, "fruit");
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 3 && Rows(groups) == 2; }));

  // A statement that counts to a billion: the status bar says it is searching, Esc stops it.
  Search(main, "SELECT * FROM list_view WHERE (SELECT max(i) FROM (WITH RECURSIVE n(i) AS "
               "(SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<1000000000) SELECT i FROM n)) > 0", 9);
  ASSERT_TRUE(WaitFor([&] { return TimePartShows(status, Jp("検索中…")); }));
  PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
  PostMessageA(edit, WM_KEYUP, VK_ESCAPE, 0xC0000000);
  EXPECT_TRUE(WaitFor([&] { return TimePartShows(status, Jp("検索を中止しました")); }));
  EXPECT_EQ(Rows(list), 3) << "the previous list stays";
  EXPECT_EQ(Rows(groups), 2);
  EXPECT_TRUE(StatusShows(status, Jp(" 検索件数: 3 件")));
  EXPECT_FALSE(FindWindowA("NORMALDLG", Jp("SQLクエリエラー").c_str())) << "a stop is no error";
  // The view the lists read is the previous one again.
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query("SELECT count(*) FROM list_view;"));
  EXPECT_EQ(db.Cell(1, 0), "3");
  db.Close();
  EXPECT_TRUE(program.Close());
}

// Searches that found rows are offered again: Down in the search box opens
// them, newest first, and the next entry goes into the box.
TEST(SearchE2E, TextsThatFoundRowsAreOfferedAgainFromTheSearchBox) {
  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  ASSERT_NO_FATAL_FAILURE(AddProduce(base));
  HWND list = FindControl(main, 1001), edit = FindControl(main, kSearchTextId);
  ASSERT_TRUE(list && edit);
  auto history = [&](const char* key) {
    char value[300] = {};
    GetPrivateProfileStringA("SearchHistoryTXT", key, "", value, sizeof value, base.File("Velmarook2.ini").c_str());
    return std::string(value);
  };
  Search(main, "fruit");
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 3; }));
  Search(main, "zzz");
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 0; }));
  Search(main, "veg");
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 3 && history("0") == "veg"; }));
  EXPECT_EQ(history("1"), "fruit");
  EXPECT_EQ(history("2"), "") << "a search that found nothing is not kept";

  PressKey(edit, VK_DOWN);
  HWND drop = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (drop = FindWindowA("CandidateListWnd", nullptr)) && IsWindowVisible(drop); }));
  HWND entries = FindWindowExA(drop, nullptr, "LISTBOX", nullptr);
  ASSERT_TRUE(entries);
  EXPECT_EQ(SendMessageA(entries, LB_GETCOUNT, 0, 0), 2);
  PressKey(edit, VK_DOWN);
  char text[64] = {};
  EXPECT_TRUE(WaitFor([&] {
    SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return std::string(text) == "fruit";
  })) << text;
  // Esc closes the drop-down and keeps the text.
  PostMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(drop); }));
  EXPECT_EQ(SendMessageA(edit, WM_GETTEXTLENGTH, 0, 0), 5);
  EXPECT_TRUE(program.Close());
  EXPECT_EQ(history("0"), "veg") << "kept through the settings written at exit";
}

// Typing offers the titles holding the text; with Animate 1 the list slides
// open and shows them all the same.
TEST(SearchE2E, TypedTextOffersTitleCandidatesInASlidingList) {
  BaseFolder base;
  WriteWholeFile(base.File("Velmarook2.ini"), "[SearchWindow]\r\nAnimate=1\r\n");
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    // Disk 2 of a set is never offered.
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title,ply) VALUES"
                          "('k1','Apple',0),('k2','Banana',1),('k3','Mango Disk 2',2),('k4','Kale',0);"));
  }
  HWND edit = FindControl(main, kSearchTextId);
  ASSERT_TRUE(edit);
  for (char key : std::string("an")) SendMessageA(edit, WM_CHAR, static_cast<unsigned char>(key), 1);
  HWND drop = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (drop = FindWindowA("CandidateListWnd", nullptr)) && IsWindowVisible(drop); }));
  HWND entries = FindWindowExA(drop, nullptr, "LISTBOX", nullptr);
  ASSERT_TRUE(entries);
  // The typed text, then "Banana" once the look-up has answered.
  EXPECT_TRUE(WaitFor([&] {
    return SendMessageA(entries, LB_GETCOUNT, 0, 0) == 2 &&
           SendMessageA(entries, LB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>("Banana")) == 1;
  }));
  EXPECT_TRUE(IsWindowVisible(drop));
  EXPECT_TRUE(program.Close());
}

// The in-list search over a long list: typing finds the first row holding
// the text, Down and Up go to the next and previous ones, a miss keeps the row.
TEST(SearchE2E, TheInListSearchFindsRowsOfALongListBothWays) {
  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    // Titles in the order of their keys; rows 15000 and 19000 hold "Zebra".
    ASSERT_FALSE(db.Query("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<20000) "
                          "INSERT INTO main_table(file_name,title) SELECT printf('k%05d',i), "
                          "printf('Item %05d',i) || CASE WHEN i IN (15001,19001) THEN ' Zebra' ELSE '' END FROM n;"));
  }
  HWND list = FindControl(main, 1001);
  ASSERT_TRUE(list);
  Search(main, "item");
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 20000; }));
  const std::string caption = Jp("リスト内検索 (↑↓=前後,ESC/ENTER=終了)");
  HWND search = nullptr;
  for (int attempt = 0; attempt < 3 && !search; ++attempt) {
    SetForegroundWindow(main);
    PostMessageA(list, WM_KEYDOWN, 'F', 0);
    search = program.WaitForWindow("NORMALDLG", caption, 3000);
  }
  ASSERT_TRUE(search);
  HWND edit = FindControl(search, 1);
  ASSERT_TRUE(edit);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("zebra"));
  EXPECT_TRUE(WaitFor([&] { return Selected(list) == 15000; })) << Selected(list);
  PressKey(edit, VK_DOWN);
  EXPECT_TRUE(WaitFor([&] { return Selected(list) == 19000; })) << Selected(list);
  PressKey(edit, VK_DOWN);  // nothing further down
  PressKey(edit, VK_UP);
  EXPECT_TRUE(WaitFor([&] { return Selected(list) == 15000; })) << Selected(list);
  PostMessageA(search, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.Close());
}

// Pixels of a screen area, 32 bits each (blue, green, red, unused).
std::vector<unsigned char> CaptureScreen(const RECT& area, BITMAPINFO& info) {
  int width = area.right - area.left, height = area.bottom - area.top;
  info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, old);
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixels;
}

int DarkPixels(const std::vector<unsigned char>& pixels) {
  int dark = 0;
  for (size_t i = 0; i + 3 < pixels.size(); i += 4)
    if (pixels[i] + pixels[i + 1] + pixels[i + 2] < 3 * 96) ++dark;
  return dark;
}

void SaveBitmap(const std::string& path, const BITMAPINFO& info, const std::vector<unsigned char>& pixels) {
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info.bmiHeader;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + pixels.size());
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info.bmiHeader), sizeof info.bmiHeader);
  bytes.append(reinterpret_cast<const char*>(pixels.data()), pixels.size());
  WriteWholeFile(path, bytes);
}

// One character drawn in the list's face, as pixels.
std::vector<unsigned char> DrawCharacter(wchar_t character) {
  RECT area{0, 0, 24, 24};
  BITMAPINFO info{};
  info.bmiHeader = {sizeof info.bmiHeader, 24, -24, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  HDC memory = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ oldBitmap = SelectObject(memory, bitmap);
  HFONT font = CreateFontA(-16, 0, 0, 0, FW_NORMAL, 0, 0, 0, SHIFTJIS_CHARSET, 0, 0, 0, 0, "Yu Gothic UI");
  HGDIOBJ oldFont = SelectObject(memory, font);
  FillRect(memory, &area, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  TextOutW(memory, 2, 2, &character, 1);
  GdiFlush();
  std::vector<unsigned char> pixels(static_cast<unsigned char*>(bits), static_cast<unsigned char*>(bits) + 24 * 24 * 4);
  SelectObject(memory, oldFont);
  SelectObject(memory, oldBitmap);
  DeleteObject(font);
  DeleteObject(bitmap);
  DeleteDC(memory);
  return pixels;
}

TEST(SearchE2E, ASearchedListIsDrawnWithReadableJapaneseText) {
  // The list's face has Japanese glyphs: a katakana is not drawn as the box
  // of a character the font lacks.
  std::vector<unsigned char> katakana = DrawCharacter(L'\u30A2'), missing = DrawCharacter(L'\uE000');
  EXPECT_GT(DarkPixels(katakana), 10);
  EXPECT_NE(katakana, missing);

  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query(Jp("INSERT INTO main_table(file_name,title,maker) VALUES"
                           "('k1','アルファ・クエスト','表計算ソフト'),('k2','ベータ・クエスト','能登'),"
                           "('k3','ガンマ','ソフト');")));
  db.Close();
  HWND edit = FindControl(main, kSearchTextId);
  ASSERT_TRUE(edit);
  HWND list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
  ASSERT_TRUE(edit && list);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Jp("クエスト").c_str()));
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
  LRESULT rows = 0;
  for (int i = 0; i < 200 && rows != 2; ++i) {
    SleepMs(50);
    rows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
  }
  ASSERT_EQ(rows, 2);
  SleepMs(500);  // drawn

  // The rows below the header carry text: the two titles and makers.
  RECT area{}, header{};
  GetWindowRect(list, &area);
  GetWindowRect(FindWindowExA(list, nullptr, WC_HEADERA, nullptr), &header);
  area.top = header.bottom;
  area.bottom = std::min<LONG>(area.bottom, area.top + 60);
  BITMAPINFO info{};
  std::vector<unsigned char> pixels = CaptureScreen(area, info);
  SaveBitmap("searched_list.bmp", info, pixels);  // for a look by eye
  EXPECT_GT(DarkPixels(pixels), 60);
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
