#include "periphery/pane_style_win.h"

#include <commctrl.h>

#include <string>

#include "core/app_state_win.h"
#include "periphery/colours.h"
#include "search/item_list_win.h"

namespace vel {
namespace {

struct PaneFonts {
  HFONT itemList = nullptr;
  HFONT itemListPly = nullptr;  // rows of the second and later disks of a set
  HFONT queryTree = nullptr;
  HFONT groupList = nullptr;
};

PaneFonts& Fonts() {
  static PaneFonts fonts;
  return fonts;
}

HFONT MakeFont(const AppState& app, const char* section, const char* prefix) {
  FontSetting f = ReadFontSetting(app.settings, section, prefix);
  return CreateFontA(f.height, 0, 0, 0, f.weight, f.italic != 0, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, f.face.c_str());
}

void Replace(HFONT& slot, HFONT font) {
  if (slot) DeleteObject(slot);
  slot = font;
}

void FillWith(HDC dc, const RECT& r, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
}

bool SystemSelection() { return CurrentColours().selLineUseSysColor == 1; }

}  // namespace

COLORREF PaneColour(const char* section, const char* key) { return CurrentColours().Get(section, key); }

void ReadPaneColours(AppState& app) {
  SystemColours system{GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT)};
  CurrentColours() = ReadColourKeys(LayoutFile(app.paths, app.layoutMode), system);
}

void ApplyPaneStyle(AppState& app) {
  PaneFonts& f = Fonts();
  // The new fonts are given before the old ones go.
  HFONT oldItem = f.itemList, oldPly = f.itemListPly, oldQuery = f.queryTree, oldGroup = f.groupList;
  f.itemList = MakeFont(app, "ItemListFont", "Normal");
  f.itemListPly = MakeFont(app, "ItemListFont", "Ply");
  f.queryTree = MakeFont(app, "QueryViewFont", "Normal");
  f.groupList = MakeFont(app, "GroupListFont", "Normal");
  if (app.itemList) {
    ListView_SetBkColor(app.itemList, PaneColour("ItemListColor", "BackColor"));
    SendMessageA(app.itemList, WM_SETFONT, reinterpret_cast<WPARAM>(f.itemList), TRUE);
    RebuildItemListColumns(app);
  }
  if (app.groupList) {
    ListView_SetBkColor(app.groupList, PaneColour("GroupListColor", "BackColor"));
    SendMessageA(app.groupList, WM_SETFONT, reinterpret_cast<WPARAM>(f.groupList), TRUE);
  }
  if (app.queryTree) {
    SendMessageA(app.queryTree, WM_SETFONT, reinterpret_cast<WPARAM>(f.queryTree), TRUE);
    TreeView_SetBkColor(app.queryTree, PaneColour("QueryViewColor", "BackColor"));
    TreeView_SetTextColor(app.queryTree, PaneColour("QueryViewFont", "NormalColor"));
  }
  for (HFONT old : {oldItem, oldPly, oldQuery, oldGroup}) Replace(old, nullptr);
  for (HWND pane : {app.itemList, app.groupList, app.queryTree, app.snapPane})
    if (pane) InvalidateRect(pane, nullptr, TRUE);
}

void FillItemRowBackground(HDC dc, const RECT& row, int rowNumber, bool selected) {
  if (selected) {
    FillWith(dc, row, SystemSelection() ? GetSysColor(COLOR_HIGHLIGHT) : PaneColour("ItemListColor", "SelectBackColor"));
    return;
  }
  FillWith(dc, row, PaneColour("ItemListColor", rowNumber % 2 == 1 ? "Line1Color" : "Line2Color"));
}

HFONT ItemRowPlyFont() { return Fonts().itemListPly; }

COLORREF ItemRowTextColour(bool selected, bool furtherDisk) {
  if (selected)
    return SystemSelection() ? GetSysColor(COLOR_HIGHLIGHTTEXT) : PaneColour("ItemListFont", "SelectColor");
  return PaneColour("ItemListFont", furtherDisk ? "PlyColor" : "NormalColor");
}

// Vertical rules between the columns in the `RuleMarkType` style, a
// horizontal rule under the row in the `RuleMarkTypeH` style.
void DrawItemRowRules(HDC dc, const RECT& row, size_t columns, HWND list) {
  auto penOf = [](int style, COLORREF colour) {
    return style == kRuleSolid ? CreatePen(PS_SOLID, 1, colour)
           : style == kRuleDotted ? CreatePen(PS_DOT, 1, colour)
                                  : static_cast<HPEN>(nullptr);
  };
  const ColourSet& c = CurrentColours();
  if (HPEN pen = penOf(c.ruleMarkStyle, PaneColour("ItemListColor", "RuleMarkColor"))) {
    HGDIOBJ old = SelectObject(dc, pen);
    HWND header = ListView_GetHeader(list);
    for (size_t i = 0; i < columns; ++i) {
      RECT r{};
      if (!Header_GetItemRect(header, static_cast<int>(i), &r)) continue;
      POINT origin{};
      ListView_GetOrigin(list, &origin);
      int x = r.right - origin.x - 1;
      MoveToEx(dc, x, row.top, nullptr);
      LineTo(dc, x, row.bottom);
    }
    SelectObject(dc, old);
    DeleteObject(pen);
  }
  if (HPEN pen = penOf(c.ruleMarkStyleH, PaneColour("ItemListColor", "Line2Color"))) {
    HGDIOBJ old = SelectObject(dc, pen);
    MoveToEx(dc, row.left, row.bottom - 1, nullptr);
    LineTo(dc, row.right, row.bottom - 1);
    SelectObject(dc, old);
    DeleteObject(pen);
  }
}

void FillGroupRowBackground(HDC dc, const RECT& row, bool selected) {
  if (selected) {
    FillWith(dc, row, GetSysColor(COLOR_HIGHLIGHT));
    return;
  }
  // The gradient from the start colour at the left to the end colour.
  COLORREF from = PaneColour("GroupListColor", "GradStartColor"), to = PaneColour("GroupListColor", "GradEndColor");
  TRIVERTEX v[2] = {{row.left, row.top, static_cast<COLOR16>(GetRValue(from) << 8),
                     static_cast<COLOR16>(GetGValue(from) << 8), static_cast<COLOR16>(GetBValue(from) << 8), 0},
                    {row.right, row.bottom, static_cast<COLOR16>(GetRValue(to) << 8),
                     static_cast<COLOR16>(GetGValue(to) << 8), static_cast<COLOR16>(GetBValue(to) << 8), 0}};
  GRADIENT_RECT g{0, 1};
  if (!GradientFill(dc, v, 2, &g, 1, GRADIENT_FILL_RECT_H)) FillWith(dc, row, PaneColour("GroupListColor", "BackColor"));
}

COLORREF GroupRowTextColour(bool selected) {
  return selected ? GetSysColor(COLOR_HIGHLIGHTTEXT) : PaneColour("GroupListFont", "NormalColor");
}

}  // namespace vel
