#include "editing/master_icons_win.h"

#include <gdiplus.h>

#include <memory>
#include <string>

#include "core/app_state_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/system.h"

namespace vel {
namespace {

constexpr const char* kStems[] = {"machine", "media", "genre", "adultex"};
constexpr int kSizes[] = {16, 32};
HIMAGELIST gLists[4][2] = {};

std::wstring Wide(const std::string& ansi) {
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.c_str(), -1, wide.data(), n);
  if (!wide.empty()) wide.pop_back();
  return wide;
}

// The picture of a missing icon file from the resource folder's strip
// (MasterIcons16.bmp, MasterIcons32.bmp, on the magenta mask), moved onto the
// black mask of the masters' lists. False when the strip cannot be read.
bool DrawMissingIcon(HDC target, const std::string& resourceFolder, int size) {
  const std::string file = resourceFolder + "\\MasterIcons" + std::to_string(size) + ".bmp";
  HBITMAP strip = static_cast<HBITMAP>(LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!strip) return false;
  BITMAP shape{};
  GetObject(strip, sizeof shape, &shape);
  bool drawn = shape.bmWidth >= size && shape.bmHeight >= size;
  if (drawn) {
    HDC source = CreateCompatibleDC(target);
    HGDIOBJ old = SelectObject(source, strip);
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) {
        COLORREF colour = GetPixel(source, x, y);
        // Black is the lists' mask: a picture's own black stays visible as near-black.
        if (colour != RGB(255, 0, 255)) SetPixel(target, x, y, colour == RGB(0, 0, 0) ? RGB(1, 1, 1) : colour);
      }
    SelectObject(source, old);
    DeleteDC(source);
  }
  DeleteObject(strip);
  return drawn;
}

// A square picture of `size` on black (the mask colour): the file scaled to
// fit, nothing (no icon), or the picture of a missing file.
HBITMAP Picture(const std::string& path, int size, const std::string& resourceFolder) {
  // Drawn on a device bitmap: the image list masks those reliably.
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, size, size};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  if (!path.empty()) {
    std::unique_ptr<Gdiplus::Bitmap> picture;
    if (FileExists(path)) picture.reset(Gdiplus::Bitmap::FromFile(Wide(path).c_str()));
    if (picture && picture->GetLastStatus() == Gdiplus::Ok && picture->GetWidth() > 0) {
      Gdiplus::Graphics g(memory);
      g.SetInterpolationMode(Gdiplus::InterpolationModeHighQualityBicubic);
      g.DrawImage(picture.get(), 0, 0, size, size);
    } else if (!DrawMissingIcon(memory, resourceFolder, size)) {
      Gdiplus::Graphics g(memory);
      Gdiplus::SolidBrush grey(Gdiplus::Color(128, 128, 128));
      g.FillRectangle(&grey, size / 4, size / 4, size / 2, size / 2);
    }
  }
  SelectObject(memory, old);
  DeleteDC(memory);
  return bitmap;
}

}  // namespace

void RebuildMasterIcons(AppState& app, MasterKind kind) {
  int k = static_cast<int>(kind);
  std::string stem = kStems[k];
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  if (auto error = db.Query("SELECT " + stem + "_icon FROM " + stem + "_info_table ORDER BY " + stem + "_num;")) {
    ShowMessage(stem + Jp(" 参照エラー\n") + Utf8ToAnsi(*error), Jp("DBエラー"), kMbOk | kMbIconError, app.mainWindow);
    return;
  }
  for (int s = 0; s < 2; ++s) {
    if (gLists[k][s]) ImageList_Destroy(gLists[k][s]);
    gLists[k][s] = ImageList_Create(kSizes[s], kSizes[s], ILC_COLORDDB | ILC_MASK, db.RowCount() + 1, 8);
    for (int r = 0; r <= db.RowCount(); ++r) {  // index 0: no icon
      HBITMAP bitmap = Picture(r == 0 ? std::string() : db.Cell(r, 0), kSizes[s], app.paths.base + "\\resource");
      ImageList_AddMasked(gLists[k][s], bitmap, RGB(0, 0, 0));
      DeleteObject(bitmap);
    }
  }
}

void RebuildMasterIcons(AppState& app) {
  for (MasterKind kind : {MasterKind::Machine, MasterKind::Media, MasterKind::Genre, MasterKind::Adultex})
    RebuildMasterIcons(app, kind);
}

void DestroyMasterIcons() {
  for (auto& lists : gLists)
    for (HIMAGELIST& list : lists) {
      if (list) ImageList_Destroy(list);
      list = nullptr;
    }
}

int DrawMasterIcon(HDC dc, MasterKind kind, int number, int x, int y, int height) {
  int s = height >= 34 ? 1 : 0;
  HIMAGELIST list = gLists[static_cast<int>(kind)][s];
  if (!list || number <= 0 || number >= ImageList_GetImageCount(list)) return 0;
  ImageList_Draw(list, number, dc, x, y + (height - kSizes[s]) / 2, ILD_TRANSPARENT);
  return kSizes[s] + 2;
}

}  // namespace vel
