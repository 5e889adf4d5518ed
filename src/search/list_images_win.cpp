#include "search/list_images_win.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "search/item_flags.h"

namespace vel {
namespace {

constexpr COLORREF kStarSet = RGB(240, 170, 0);
constexpr COLORREF kStarUnset = RGB(200, 200, 200);

void FillPolygon(HDC dc, const POINT* points, int count, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  HPEN pen = CreatePen(PS_SOLID, 1, colour);
  HGDIOBJ oldBrush = SelectObject(dc, brush);
  HGDIOBJ oldPen = SelectObject(dc, pen);
  Polygon(dc, points, count);
  SelectObject(dc, oldBrush);
  SelectObject(dc, oldPen);
  DeleteObject(brush);
  DeleteObject(pen);
}

void DrawStar(HDC dc, int left, int top, int size, COLORREF colour) {
  POINT points[10];
  double cx = left + size / 2.0, cy = top + size / 2.0 + size * 0.05;
  double outer = size / 2.0, inner = outer * 0.45;
  for (int i = 0; i < 10; ++i) {
    double angle = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
    double radius = (i % 2 == 0) ? outer : inner;
    points[i] = {static_cast<LONG>(std::lround(cx + radius * std::cos(angle))),
                 static_cast<LONG>(std::lround(cy + radius * std::sin(angle)))};
  }
  FillPolygon(dc, points, 10, colour);
}

}  // namespace

int DrawRatingStars(HDC dc, const RECT& cell, int set) {
  // The same geometry as the click on the stars.
  StarGeometry stars = StarsInCell(cell.left, cell.top, cell.bottom);
  for (int k = 0; k < 5; ++k)
    DrawStar(dc, stars.left + k * stars.step, stars.top, stars.size, k < set ? kStarSet : kStarUnset);
  return 5 * stars.step;
}

int DrawAlterEgoMarker(HDC dc, const RECT& cell) {
  // Two overlapping cards: the item and its copy.
  int size = std::clamp<int>(static_cast<int>(cell.bottom - cell.top) - 6, 6, 12);
  int top = (cell.top + cell.bottom - size) / 2;
  RECT back{cell.left + 3, top - 1, cell.left + 3 + size - 2, top + size - 3};
  RECT front{cell.left, top + 2, cell.left + size - 2, top + size};
  HBRUSH border = CreateSolidBrush(RGB(40, 110, 200));
  FillRect(dc, &back, border);
  FillRect(dc, &front, border);
  RECT inner = front;
  InflateRect(&inner, -1, -1);
  FillRect(dc, &inner, GetSysColorBrush(COLOR_WINDOW));
  DeleteObject(border);
  return size + 4;
}

HIMAGELIST CreateSortArrowImages() {
  constexpr int kWidth = 9, kHeight = 6;
  HIMAGELIST images = ImageList_Create(kWidth, kHeight, ILC_COLOR24 | ILC_MASK, 4, 0);
  if (!images) return nullptr;
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP strip = CreateCompatibleBitmap(screen, kWidth * 4, kHeight);
  ReleaseDC(nullptr, screen);
  HGDIOBJ old = SelectObject(dc, strip);
  constexpr COLORREF kMask = RGB(255, 0, 255);
  RECT all{0, 0, kWidth * 4, kHeight};
  HBRUSH mask = CreateSolidBrush(kMask);
  FillRect(dc, &all, mask);
  DeleteObject(mask);
  for (int i = 0; i < 4; ++i) {
    int x = i * kWidth;
    bool descending = (i & 1) != 0;
    COLORREF colour = i < 2 ? RGB(40, 40, 40) : RGB(170, 170, 170);
    POINT up[3] = {{x + 4, 0}, {x + 8, kHeight - 1}, {x, kHeight - 1}};
    POINT down[3] = {{x, 0}, {x + 8, 0}, {x + 4, kHeight - 1}};
    FillPolygon(dc, descending ? down : up, 3, colour);
  }
  SelectObject(dc, old);
  DeleteDC(dc);
  ImageList_AddMasked(images, strip, kMask);
  DeleteObject(strip);
  return images;
}

}  // namespace vel
