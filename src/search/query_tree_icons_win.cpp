#include "search/query_tree_icons_win.h"

#include <cmath>

namespace vel {
namespace {

constexpr COLORREF kGlyphMask = RGB(255, 0, 255);
constexpr int kSizes[2] = {16, 32};

struct TreeImages {
  HIMAGELIST lists[2] = {};
};

TreeImages& Images() {
  static TreeImages images;
  return images;
}

// A rectangle given in parts of the picture's side.
RECT Part(int size, double left, double top, double right, double bottom) {
  auto at = [size](double f) { return static_cast<LONG>(std::lround(f * size)); };
  return RECT{at(left), at(top), at(right), at(bottom)};
}

void Box(HDC dc, const RECT& r, COLORREF fill, COLORREF edge) {
  HBRUSH brush = CreateSolidBrush(fill);
  HPEN pen = CreatePen(PS_SOLID, 1, edge);
  HGDIOBJ oldBrush = SelectObject(dc, brush), oldPen = SelectObject(dc, pen);
  Rectangle(dc, r.left, r.top, r.right, r.bottom);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

// A folder: a tab above a wider body.
void DrawFolder(HDC dc, int size) {
  Box(dc, Part(size, 0.06, 0.16, 0.46, 0.36), RGB(226, 176, 64), RGB(160, 112, 24));
  Box(dc, Part(size, 0.06, 0.28, 0.94, 0.86), RGB(246, 204, 92), RGB(160, 112, 24));
}

// A query: a sheet with lines of text.
void DrawQuery(HDC dc, int size) {
  Box(dc, Part(size, 0.18, 0.06, 0.82, 0.94), RGB(255, 255, 255), RGB(96, 110, 140));
  HPEN pen = CreatePen(PS_SOLID, size >= 32 ? 2 : 1, RGB(52, 101, 164));
  HGDIOBJ old = SelectObject(dc, pen);
  const int lines = size >= 32 ? 5 : 3;
  for (int i = 0; i < lines; ++i) {
    RECT line = Part(size, 0.30, 0.22 + i * (0.6 / lines), 0.70, 0);
    MoveToEx(dc, line.left, line.top, nullptr);
    LineTo(dc, i == lines - 1 ? (line.left + line.right) / 2 : line.right, line.top);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
}

// Draws into a bitmap of the list's size and adds it with `mask` transparent.
template <typename Draw>
int AddDrawn(HIMAGELIST list, int size, COLORREF mask, Draw draw) {
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, size, size);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, size, size};
  HBRUSH back = CreateSolidBrush(mask);
  FillRect(dc, &all, back);
  DeleteObject(back);
  draw(dc);
  SelectObject(dc, old);
  DeleteDC(dc);
  int index = ImageList_AddMasked(list, bitmap, mask);
  DeleteObject(bitmap);
  return index;
}

// The folder and query pictures of one size from the resource folder's strip
// (QueryTree16.bmp, QueryTree32.bmp: two pictures side by side on the mask
// colour); false when the strip is missing or of another shape.
bool AddStrip(HIMAGELIST list, int size, const std::string& resourceFolder) {
  const std::string file = resourceFolder + "\\QueryTree" + std::to_string(size) + ".bmp";
  HBITMAP strip = static_cast<HBITMAP>(LoadImageA(nullptr, file.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!strip) return false;
  BITMAP shape{};
  GetObjectA(strip, sizeof shape, &shape);
  bool fits = shape.bmWidth == 2 * size && shape.bmHeight == size;
  if (fits) fits = ImageList_AddMasked(list, strip, kGlyphMask) == kQueryFolderImage;
  DeleteObject(strip);
  if (!fits) ImageList_RemoveAll(list);
  return fits;
}

}  // namespace

void ResetQueryTreeImages(const std::string& resourceFolder) {
  TreeImages& images = Images();
  for (int i = 0; i < 2; ++i) {
    if (!images.lists[i]) images.lists[i] = ImageList_Create(kSizes[i], kSizes[i], ILC_COLOR24 | ILC_MASK, 8, 8);
    if (!images.lists[i]) continue;
    ImageList_RemoveAll(images.lists[i]);
    const int size = kSizes[i];
    if (AddStrip(images.lists[i], size, resourceFolder)) continue;
    AddDrawn(images.lists[i], size, kGlyphMask, [size](HDC dc) { DrawFolder(dc, size); });
    AddDrawn(images.lists[i], size, kGlyphMask, [size](HDC dc) { DrawQuery(dc, size); });
  }
}

int AddQueryTreeImage(const std::string& bitmapFile, int fallback) {
  if (bitmapFile.empty()) return fallback;
  HBITMAP picture = static_cast<HBITMAP>(
      LoadImageA(nullptr, bitmapFile.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
  if (!picture) return fallback;
  BITMAP shape{};
  GetObjectA(picture, sizeof shape, &shape);
  TreeImages& images = Images();
  int index = fallback;
  int added[2] = {-1, -1};
  for (int i = 0; i < 2; ++i) {
    if (!images.lists[i] || shape.bmWidth <= 0 || shape.bmHeight <= 0) continue;
    const int size = kSizes[i];
    added[i] = AddDrawn(images.lists[i], size, RGB(0, 0, 0), [&](HDC dc) {
      HDC source = CreateCompatibleDC(dc);
      HGDIOBJ old = SelectObject(source, picture);
      // Whole pixels only, so that the transparent black stays exactly black.
      SetStretchBltMode(dc, COLORONCOLOR);
      StretchBlt(dc, 0, 0, size, size, source, 0, 0, shape.bmWidth, shape.bmHeight, SRCCOPY);
      SelectObject(source, old);
      DeleteDC(source);
    });
  }
  DeleteObject(picture);
  // Both lists hold the same pictures at the same places.
  if (added[0] >= 0 && added[0] == added[1]) return added[0];
  for (int i = 0; i < 2; ++i)
    if (added[i] >= 0) ImageList_Remove(images.lists[i], added[i]);
  return index;
}

HIMAGELIST QueryTreeImages(int size) { return Images().lists[size == 32 ? 1 : 0]; }

}  // namespace vel
