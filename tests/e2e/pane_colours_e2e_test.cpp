// The panes as they are on screen: with the dark theme's colours in the
// layout file every pane takes its dark background and shows light text,
// and none of them falls back to the system's window colours; the query
// tree shows its folders' and queries' pictures in the size chosen.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "periphery/colours.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kQueryTreeId = 1000, kItemListId = 1001, kPaneId = 1002, kGroupListId = 1003;

// The main window as it is on the screen, top-down 32-bit pixels.
struct Screenshot {
  RECT window{};
  std::vector<COLORREF> pixels;

  static Screenshot Take(HWND main) {
    Screenshot shot;
    GetWindowRect(main, &shot.window);
    const int width = shot.window.right - shot.window.left, height = shot.window.bottom - shot.window.top;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(dc, bitmap);
    BitBlt(dc, 0, 0, width, height, screen, shot.window.left, shot.window.top, SRCCOPY);
    GdiFlush();
    const auto* raw = static_cast<const BYTE*>(bits);
    shot.pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    for (size_t i = 0; i < shot.pixels.size(); ++i) shot.pixels[i] = RGB(raw[i * 4 + 2], raw[i * 4 + 1], raw[i * 4]);
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
    return shot;
  }

  // The pixels of a pane's client area that the pane draws itself: not those
  // of its own child controls (the list's column header).
  std::vector<COLORREF> Area(HWND pane) const {
    RECT r{};
    GetClientRect(pane, &r);
    MapWindowPoints(pane, nullptr, reinterpret_cast<POINT*>(&r), 2);
    std::vector<RECT> inner;
    for (HWND child = GetWindow(pane, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      RECT c{};
      if (IsWindowVisible(child) && GetWindowRect(child, &c)) inner.push_back(c);
    }
    const int width = window.right - window.left;
    std::vector<COLORREF> area;
    for (LONG y = std::max(r.top, window.top); y < std::min(r.bottom, window.bottom); ++y)
      for (LONG x = std::max(r.left, window.left); x < std::min(r.right, window.right); ++x) {
        POINT at{x, y};
        if (std::any_of(inner.begin(), inner.end(), [&](const RECT& c) { return PtInRect(&c, at) != FALSE; })) continue;
        area.push_back(pixels[static_cast<size_t>((y - window.top) * width + (x - window.left))]);
      }
    return area;
  }
};

COLORREF MostFrequent(const std::vector<COLORREF>& area) {
  std::map<COLORREF, size_t> counts;
  for (COLORREF c : area) ++counts[c];
  COLORREF best = CLR_INVALID;
  size_t most = 0;
  for (auto [colour, count] : counts)
    if (count > most) best = colour, most = count;
  return best;
}

int Brightness(COLORREF c) { return (GetRValue(c) * 30 + GetGValue(c) * 59 + GetBValue(c) * 11) / 100; }

// Pixels clearly lighter than the dark background: text drawn in the theme's colours.
size_t LightPixels(const std::vector<COLORREF>& area, COLORREF background) {
  size_t light = 0;
  for (COLORREF c : area) light += Brightness(c) >= Brightness(background) + 90 ? 1 : 0;
  return light;
}

size_t PixelsOf(const std::vector<COLORREF>& area, COLORREF colour) {
  size_t n = 0;
  for (COLORREF c : area) n += c == colour ? 1 : 0;
  return n;
}

TEST(PaneColoursE2E, TheDarkThemeDarkensEveryPaneAndKeepsItsTextReadable) {
  BaseFolder base;
  // The dark theme's keys in the layout file, as OK on the colour page stores them.
  const ColourSet dark = ReadColourKeys(base.File("color_theme\\Dark.col"), {});
  ASSERT_EQ(dark.Get("ItemListColor", "BackColor"), 0x202020u);
  for (const ProfileEntry& e : ColourEntries(dark))
    ASSERT_TRUE(WritePrivateProfileStringA(e.section.c_str(), e.key.c_str(), e.value.c_str(),
                                           base.File("Velmarook2.ini").c_str()));
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title,machine_name,genre_name,maker,version) VALUES"
                          "('C:\\a.d88','Alpha Quest','X68','ACT','Zeta Soft','Version 1.0 with a long comment'),"
                          "('C:\\b.d88','Beta Racer','X68','RAC','Kappa','');"));
  }
  HWND list = FindControl(main, kItemListId), pane = FindControl(main, kPaneId), tree = FindControl(main, kQueryTreeId);
  HWND groups = FindControl(main, kGroupListId);
  ASSERT_TRUE(list && pane && tree && groups);
  SearchInBox(main, "SELECT * FROM list_view ORDER BY title;", 9);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 2; }));
  // The pane follows the selection on its pacing timer: let it draw, then look.
  SetForegroundWindow(main);
  SleepMs(1500);
  RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  SleepMs(500);
  const Screenshot shot = Screenshot::Take(main);

  struct Pane {
    const char* name;
    HWND window;
    COLORREF background;
    size_t minimumLight;  // text that must show
  } panes[] = {
      {"item list", list, dark.Get("ItemListColor", "BackColor"), 20},
      {"information pane", pane, dark.Get("InfoViewColor", "BackColor"), 50},
      {"query tree", tree, dark.Get("QueryViewColor", "BackColor"), 0},
      {"group list", groups, dark.Get("GroupListColor", "BackColor"), 20},
  };
  const COLORREF systemWindow = GetSysColor(COLOR_WINDOW);
  for (const Pane& p : panes) {
    SCOPED_TRACE(p.name);
    ASSERT_TRUE(IsWindowVisible(p.window));
    std::vector<COLORREF> area = shot.Area(p.window);
    ASSERT_GT(area.size(), 100u);
    EXPECT_EQ(MostFrequent(area), p.background);
    EXPECT_GE(LightPixels(area, p.background), p.minimumLight) << "no readable text";
    EXPECT_LT(PixelsOf(area, systemWindow), area.size() / 50) << "the system's window colour shows through";
  }
  EXPECT_TRUE(program.Close());
}

// The rows of the second and later disks of a set are drawn in `PlyColor`,
// the others in `NormalColor`.
TEST(PaneColoursE2E, FurtherDisksOfASetTakeTheirOwnTextColour) {
  BaseFolder base;
  const std::string layout = base.File("Velmarook2.ini");
  ASSERT_TRUE(WritePrivateProfileStringA("ItemListFont", "NormalColor", "#00A000", layout.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("ItemListFont", "PlyColor", "#C00000", layout.c_str()));
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title,machine_name,maker,ply,ply_file_name) VALUES"
                          "('C:\\a.d88','Alpha Quest','X68','Zeta Soft',1,''),"
                          "('C:\\a2.d88','Alpha Quest Disk 2','X68','Zeta Soft',2,'C:\\a.d88'),"
                          "('C:\\c.d88','Charlie World','X68','Kappa Works',0,'');"));
  }
  HWND list = FindControl(main, kItemListId);
  ASSERT_TRUE(list);
  // Pixels of the list in the two text colours after a search: smoothed text
  // blends into the light rows, so the hue decides (orange icons are no red).
  struct Counts {
    size_t red = 0, green = 0;
  };
  auto look = [&](const char* sql, LRESULT rows) {
    SearchInBox(main, sql, 9);
    EXPECT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == rows; })) << sql;
    SetForegroundWindow(main);
    SleepMs(800);
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    SleepMs(300);
    Counts n;
    for (COLORREF c : Screenshot::Take(main).Area(list)) {
      const int r = GetRValue(c), g = GetGValue(c), b = GetBValue(c);
      n.red += r - std::max(g, b) >= 80 && std::abs(g - b) <= 12 ? 1 : 0;
      n.green += g - std::max(r, b) >= 60 && std::abs(r - b) <= 12 ? 1 : 0;
    }
    return n;
  };
  const Counts single = look("SELECT * FROM list_view WHERE ply < 2 ORDER BY title;", 2);
  EXPECT_GE(single.green, 20u) << "rows of single images and first disks in NormalColor";
  EXPECT_EQ(single.red, 0u) << "none in PlyColor";
  const Counts all = look("SELECT * FROM list_view ORDER BY title;", 3);
  EXPECT_GE(all.red, 20u) << "the second disk in PlyColor";
  EXPECT_GE(all.green, 20u);
  EXPECT_TRUE(program.Close());
}

// A 32 by 32 bitmap file of one colour, with a black (transparent) corner.
void WriteBitmap(const std::string& path, BYTE r, BYTE g, BYTE b) {
  constexpr int kSide = 32;
  std::string data;
  for (int y = 0; y < kSide; ++y)
    for (int x = 0; x < kSide; ++x) {
      bool corner = x < 4 && y < 4;
      data += static_cast<char>(corner ? 0 : b);
      data += static_cast<char>(corner ? 0 : g);
      data += static_cast<char>(corner ? 0 : r);
    }
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{sizeof info, kSide, kSide, 1, 24, BI_RGB, static_cast<DWORD>(data.size()), 2835, 2835, 0, 0};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = static_cast<DWORD>(file.bfOffBits + data.size());
  WriteWholeFile(path, std::string(reinterpret_cast<const char*>(&file), sizeof file) +
                           std::string(reinterpret_cast<const char*>(&info), sizeof info) + data);
}

TEST(PaneColoursE2E, TheQueryTreeShowsItsPicturesAndLargeIconsDoublesThem) {
  BaseFolder base;
  CreateDirectoryA(base.File("query").c_str(), nullptr);
  ASSERT_TRUE(CreateDirectoryA(base.File("query\\Red").c_str(), nullptr));
  WriteBitmap(base.File("query\\Red\\0.bmp"), 255, 0, 0);
  WriteWholeFile(base.File("query\\Red\\inside.txt"), "[query]\r\nsql=SELECT * FROM list_view;\r\nicon=\r\n");
  WriteBitmap(base.File("blue.bmp"), 0, 0, 255);
  WriteWholeFile(base.File("query\\blue.txt"),
                 "[query]\r\nsql=SELECT * FROM list_view;\r\nicon=" + base.File("blue.bmp") + "\r\n");
  WriteWholeFile(base.File("query\\gone.txt"), "[query]\r\nsql=SELECT * FROM list_view;\r\nicon=" +
                                                   base.File("missing.bmp") + "\r\n");
  {
    RunningProgram program(base.Path(), "-nosplash");
    HWND main = program.WaitUntilReady();
    ASSERT_TRUE(main);
    HWND tree = FindControl(main, kQueryTreeId);
    ASSERT_TRUE(tree);
    auto root = [&] { return SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0) != 0; };
    auto height = [&] { return static_cast<int>(SendMessageA(tree, TVM_GETITEMHEIGHT, 0, 0)); };
    ASSERT_TRUE(WaitFor(root));
    EXPECT_LT(height(), 32);
    // Counts the pixels of the two pictures in the tree as it shows now.
    auto shown = [&](COLORREF colour) {
      SetForegroundWindow(main);
      RedrawWindow(tree, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
      SleepMs(300);
      return PixelsOf(Screenshot::Take(main).Area(tree), colour);
    };
    // The black corner is transparent: at most the rest of a 16-pixel picture.
    const size_t smallRed = shown(RGB(255, 0, 0)), smallBlue = shown(RGB(0, 0, 255));
    EXPECT_GE(smallRed, 150u) << "the folder's 0.bmp";
    EXPECT_LE(smallRed, 16u * 16u - 4u);
    EXPECT_GE(smallBlue, 150u) << "the query's own bitmap";
    EXPECT_LE(smallBlue, 16u * 16u - 4u);

    PostMessageA(main, WM_COMMAND, 1230, 0);  // 大きいアイコン
    ASSERT_TRUE(WaitFor([&] { return height() >= 32; }));
    EXPECT_GE(shown(RGB(255, 0, 0)), 32u * 32u - 16u - 40u);
    EXPECT_LE(shown(RGB(255, 0, 0)), 32u * 32u - 16u);
    EXPECT_TRUE(program.Close());
  }
  EXPECT_EQ(GetPrivateProfileIntA("QueryTree", "IconSize", 0, base.File("Velmarook2.ini").c_str()), 32);
  RunningProgram again(base.Path(), "-nosplash");
  HWND main = again.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND tree = FindControl(main, kQueryTreeId);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0) != 0; }));
  EXPECT_GE(SendMessageA(tree, TVM_GETITEMHEIGHT, 0, 0), 32) << "the size is kept for the next start";
  EXPECT_TRUE(again.Close());
}

}  // namespace
}  // namespace vel::test
