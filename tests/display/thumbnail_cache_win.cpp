// Thumbnails of the list rows: a picture replaced on disk, or one that
// appears after a failed read, is drawn anew.
#include <windows.h>
#include <gdiplus.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "display/thumbnail_cache_win.h"
#include "test_support.h"

namespace vel {
namespace {

// A 4x4 24-bit BMP of one colour.
std::string PlainBitmap(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
  const int side = 4, rowBytes = 12, pixelBytes = rowBytes * side;
  BITMAPFILEHEADER file{};
  BITMAPINFOHEADER info{};
  file.bfType = 0x4D42;
  file.bfOffBits = sizeof file + sizeof info;
  file.bfSize = file.bfOffBits + pixelBytes;
  info.biSize = sizeof info;
  info.biWidth = side;
  info.biHeight = side;
  info.biPlanes = 1;
  info.biBitCount = 24;
  info.biSizeImage = pixelBytes;
  std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  for (int p = 0; p < side * side; ++p) bytes += {static_cast<char>(b), static_cast<char>(g), static_cast<char>(r)};
  return bytes;
}

TEST(ThumbnailCacheWin, APictureReplacedOrAddedOnDiskIsDrawnAnew) {
  ULONG_PTR token = 0;
  Gdiplus::GdiplusStartupInput input;
  ASSERT_EQ(Gdiplus::GdiplusStartup(&token, &input, nullptr), Gdiplus::Ok);
  {
    test::TempFolder folder;
    const std::string path = folder.Path() + "\\shot.bmp";
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP canvas = CreateCompatibleBitmap(screen, 16, 16);
    HGDIOBJ old = SelectObject(dc, canvas);
    const RECT box{0, 0, 16, 16};

    EXPECT_FALSE(DrawThumbnail(dc, path, box));  // not there yet
    test::WriteWholeFile(path, PlainBitmap(255, 0, 0));
    EXPECT_TRUE(DrawThumbnail(dc, path, box));  // appeared: read, not remembered as missing
    EXPECT_EQ(GetPixel(dc, 8, 8), RGB(255, 0, 0));
    // The same size, another picture: its last-write time tells.
    Sleep(50);
    test::WriteWholeFile(path, PlainBitmap(0, 0, 255));
    EXPECT_TRUE(DrawThumbnail(dc, path, box));
    EXPECT_EQ(GetPixel(dc, 8, 8), RGB(0, 0, 255));

    ForgetThumbnails();
    SelectObject(dc, old);
    DeleteObject(canvas);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
  }
  Gdiplus::GdiplusShutdown(token);
}

}  // namespace
}  // namespace vel
