// The snapshot view window in the running program: opened at start when it
// was open before, substituting an empty slot, following the item shown
// after a reload, and the actual-size mode on the work area.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>

#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kItemListId = 1001;

void Search(HWND main, const std::string& text) {
  SearchInBox(main, text, 9);
}

// A one-bit picture file of the size (BMP is one of the snapshot formats).
void WriteBitmapFile(const std::string& path, int width, int height) {
  const int stride = ((width + 31) / 32) * 4;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  const DWORD palette = 2 * sizeof(RGBQUAD);
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info + palette;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(stride) * height;
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 1;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  const RGBQUAD colours[2] = {{0, 0, 0, 0}, {255, 255, 255, 0}};
  bytes.append(reinterpret_cast<const char*>(colours), palette);
  bytes.append(static_cast<size_t>(stride) * height, '\x55');
  WriteWholeFile(path, bytes);
}

HWND SnapView(const RunningProgram& program) {
  for (HWND window : WindowsOfProcess(program.ProcessId(), "NORMALDLG"))
    if (WindowCaption(window).rfind(Jp("スナップビュー"), 0) == 0) return window;
  return nullptr;
}

TEST(SnapshotViewE2E, SubstitutesFollowsTheReloadAndFitsTheWorkArea) {
  BaseFolder base;
  const std::string a3 = base.File("a3.bmp"), b3 = base.File("b3.bmp"), tall = base.File("tall.bmp");
  WriteBitmapFile(a3, 64, 48);
  WriteBitmapFile(b3, 48, 64);
  WriteBitmapFile(tall, 2000, 3000);
  const std::string ini = base.File("Velmarook2.ini");
  for (auto [key, value] : {std::pair{"Active", "1"}, {"Alternative", "321"}, {"LoadNum", "1"}})
    ASSERT_TRUE(WritePrivateProfileStringA("SnapWindow", key, value, ini.c_str()));
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    auto error = db.Query("INSERT INTO main_table(file_name,title) VALUES('C:\\a.d88','Alpha'),('C:\\b.d88','Beta'),"
                          "('C:\\t.d88','Tall');"
                          "INSERT INTO snap_path_table(pfile_sp,snap1,snap2,snap3) VALUES"
                          "('C:\\a.d88','','','" + Quote(a3) + "'),('C:\\b.d88','','','" + Quote(b3) + "'),"
                          "('C:\\t.d88','" + Quote(tall) + "','','');");
    ASSERT_FALSE(error) << *error;
  }
  HWND view = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (view = SnapView(program)) != nullptr; }));
  HWND list = FindControl(main, kItemListId);

  // Slot 1 is empty: slot 3 is shown.
  Search(main, "SELECT * FROM list_view WHERE title IN ('Alpha','Beta') ORDER BY title;");
  EXPECT_TRUE(WaitFor([&] { return WindowCaption(view) == Jp("スナップビュー") + " - " + a3; }))
      << WindowCaption(view);
  // A reload puts Beta into the first row: the window keeps Alpha's picture,
  // which is still selected, and shows Beta's once Beta is selected.
  Search(main, "SELECT * FROM list_view WHERE title IN ('Alpha','Beta') ORDER BY title DESC;");
  EXPECT_TRUE(WaitFor([&] {
    return SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == 1;
  }));
  SleepMs(300);
  EXPECT_EQ(WindowCaption(view), Jp("スナップビュー") + " - " + a3);
  PostMessageA(list, WM_KEYDOWN, VK_HOME, 0);
  PostMessageA(list, WM_KEYUP, VK_HOME, 0xC0000000);
  EXPECT_TRUE(WaitFor([&] { return WindowCaption(view) == Jp("スナップビュー") + " - " + b3; }))
      << WindowCaption(view);

  // ウィンドウを画像に合わせる(実寸表示) with a picture larger than the screen.
  PostMessageA(main, WM_COMMAND, 1243, 0);
  Search(main, "SELECT * FROM list_view WHERE title='Tall';");
  SleepMs(300);
  PostMessageA(list, WM_KEYDOWN, VK_HOME, 0);
  PostMessageA(list, WM_KEYUP, VK_HOME, 0xC0000000);
  EXPECT_TRUE(WaitFor([&] { return WindowCaption(view) == Jp("スナップビュー") + " - " + tall; }));
  SleepMs(500);
  RECT work{}, placed{};
  SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
  GetWindowRect(view, &placed);
  EXPECT_GE(placed.left, work.left);
  EXPECT_GE(placed.top, work.top);
  EXPECT_LE(placed.right, work.right);
  EXPECT_LE(placed.bottom, work.bottom);
  EXPECT_GT(placed.bottom - placed.top, 120);
  EXPECT_TRUE(program.Close());
  EXPECT_EQ(GetPrivateProfileIntA("SnapWindow", "Active", -1, ini.c_str()), 1);  // open at the exit
  EXPECT_EQ(GetPrivateProfileIntA("SnapWindow", "TransMode", -1, ini.c_str()), 1);
}

}  // namespace
}  // namespace vel::test
