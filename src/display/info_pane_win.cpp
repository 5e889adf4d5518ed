#include "display/info_pane_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "core/app_state_win.h"
#include "core/cp932_text.h"
#include "core/settings_file.h"
#include "db/sql_error_report.h"
#include "platform/dialogs.h"
#include "core/settings.h"
#include "display/dropped_names_win.h"
#include "display/info_links.h"
#include "display/info_template.h"
#include "display/snapshot_drop.h"
#include "display/snapshot_lookup.h"
#include "display/snapshot_picture_win.h"
#include "display/snapshot_view_win.h"
#include "editing/master_icons_win.h"
#include "extras/item_menus_win.h"
#include "extras/memo_view_win.h"
#include "periphery/pane_style_win.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "search/flag_commands_win.h"
#include "search/item_flags.h"
#include "search/item_list_query.h"
#include "search/item_list_win.h"
#include "search/search_run_win.h"

namespace vel {
namespace {

constexpr UINT_PTR kPaceTimer = 1;
constexpr UINT_PTR kMemoTimer = 5;
constexpr UINT kPaceMs = 30;  // at least this long between two paints
constexpr int kTitleBarHeight = 20;
constexpr int kTabWidth = 52;
constexpr int kStarStep = 16;
constexpr int kBottomRows = 44;  // icons with labels, then stars, buttons and marks
constexpr size_t kMemoShownLimit = 32770;

// The pane's settings, read from the settings files.
struct PaneSettings {
  std::string templateText = kDefaultInfoTemplate;
  int splitPercent = 33;
  int machineIconSize = 32;
  int tab = 0;
  int infoDelay = 300;
  bool concatMemo = false;
  int snapWidth = 320;
  SnapPaneSettings snapshots;
};

struct ShownItem {
  int item = -1;  // 0-based list row; -1 = none
  std::string key, rating, fave;  // what the pane drew it with
};

struct PaneState {
  WNDPROC original = nullptr;
  PaneSettings settings;
  ShownItem shown;
  std::string memo;
  std::string memoKey;  // the item whose memo the timer loads
  InfoHitMap links;  // of the last drawing
  // The link under the pointer, found again in the next drawing by its kind
  // and index (favourite boxes move when they grow) or else by its area.
  InfoLinkKind hoverKind = InfoLinkKind::kNone;
  int hoverIndex = 0;
  PaneRect hoverArea;
  HWND tooltip = nullptr;
  std::string tooltipText;
  bool dirty = true;
  bool tracking = false;  // WM_MOUSELEAVE asked for
  DWORD lastPaint = 0;
  HFONT titleFont = nullptr, underlined = nullptr, titleUnderlined = nullptr, smallFont = nullptr;
  std::vector<std::string> creators;  // entries of the shown item
};

PaneState& Pane() {
  static PaneState pane;
  return pane;
}

int Clamp(int value, int low, int high) { return std::clamp(value, low, high); }

PaneSettings ReadPaneSettings(AppState& app) {
  PaneSettings s;
  const std::string& file = app.paths.settingsFile;
  s.templateText = ProfileText("etcSetting", "InfoTemplate", kDefaultInfoTemplate, file);
  s.splitPercent = Clamp(ReadProfileInt("Window", "InfoViewSplitPer", 33, file), 10, 90);
  s.machineIconSize = Clamp(ReadProfileInt("Window", "InfoViewMcnIcoWH", 32, file), 8, 32);
  s.tab = SettingInt(app.settings, "Window", "InfoTabNum") == 1 ? 1 : 0;
  s.infoDelay = Clamp(SettingInt(app.settings, "ItemList", "infoDelay"), 0, 10000);
  s.concatMemo = SettingInt(app.settings, "ItemList", "isConcatMemo") == 1;
  s.snapWidth = SettingInt(app.settings, "SnapShot", "Width");
  s.snapshots.proportion = SettingInt(app.settings, "SnapShot", "Proportion");
  s.snapshots.transform = SettingInt(app.settings, "SnapShot", "Transform");
  s.snapshots.transformRatio = SettingInt(app.settings, "SnapShot", "TransformRatio");
  s.snapshots.interpolation = SettingInt(app.settings, "SnapShot", "InterpolationMode");
  s.snapshots.fixAspect = ProfileText("SnapShot", "FixAspect", "0", file);
  return s;
}

HFONT Derived(HFONT base, int height, bool bold, bool underline) {
  LOGFONTA font{};
  GetObjectA(base, sizeof font, &font);
  if (height) font.lfHeight = height;
  if (bold) font.lfWeight = FW_BOLD;
  font.lfUnderline = underline ? TRUE : FALSE;
  return CreateFontIndirectA(&font);
}

void MakeFonts(AppState& app) {
  PaneState& pane = Pane();
  HFONT base = app.uiFonts[0] ? app.uiFonts[0] : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
  pane.underlined = Derived(base, 0, false, true);
  pane.titleFont = Derived(base, -16, true, false);
  pane.titleUnderlined = Derived(base, -16, true, true);
  pane.smallFont = Derived(base, -10, false, false);
}

HFONT BaseFont(AppState& app) {
  return app.uiFonts[0] ? app.uiFonts[0] : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

// The list row the pane follows: the focused row when it is selected, else
// the first selected one; -1 when there is none.
int SelectedListRow(AppState& app) {
  if (!app.itemList || app.mainDb.RowCount() == 0) return -1;
  int focused = ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED);
  if (focused >= 0 && (ListView_GetItemState(app.itemList, focused, LVIS_SELECTED) & LVIS_SELECTED)) return focused;
  return ListView_GetNextItem(app.itemList, -1, LVNI_SELECTED);
}

std::string CellOf(AppState& app, int item, int position) {
  return item < 0 ? std::string() : app.mainDb.Cell(item + 1, position);
}

void RequestPaint() { Pane().dirty = true; }

// ---- Memo.

void ShowMemoNow(const std::string& text) {
  Pane().memo = CutToBytes(text, kMemoShownLimit);
  RequestPaint();
}

void LoadMemo(AppState& app) {
  PaneState& pane = Pane();
  KillTimer(app.snapPane, kMemoTimer);
  // The pane may show another item by now: the memo belongs to the key it was asked for.
  if (pane.shown.item < 0 || pane.shown.key != pane.memoKey) return;
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  int item = pane.shown.item;
  std::string sql = pane.settings.concatMemo
                        ? ConcatMemoStatement(CellOf(app, item, kPosMachine), CellOf(app, item, kPosGenre),
                                              CellOf(app, item, kPosTitle))
                        : MemoStatement(pane.memoKey);
  auto error = db.Query(sql);
  std::string memo;
  if (!error && db.RowCount() >= 1) memo = db.Cell(1, 0);
  db.Close();
  if (error) memo = Jp("メモを読み込めませんでした。\n") + Utf8ToAnsi(*error);
  ShowMemoNow(pane.settings.concatMemo ? ShownConcatMemo(memo) : memo);
}

void StartMemo(AppState& app, int item) {
  PaneState& pane = Pane();
  KillTimer(app.snapPane, kMemoTimer);
  pane.memoKey = CellOf(app, item, kPosFileName);
  std::string rowMemo = CellOf(app, item, kPosMemo);
  if (pane.settings.infoDelay == 0 && !pane.settings.concatMemo) {
    ShowMemoNow(rowMemo);
    return;
  }
  if (rowMemo.empty() && !pane.settings.concatMemo) {
    ShowMemoNow("");
    return;
  }
  ShowMemoNow("wait a minute.");
  SetTimer(app.snapPane, kMemoTimer, static_cast<UINT>(std::max(pane.settings.infoDelay, 1)), nullptr);
}

// ---- Drawing helpers. Each link drawn is also entered in the hit map.

// The pane's colours from the colour settings, taken once per drawing.
struct InfoColours {
  COLORREF maker, title, normal, mini, tab, back, frame1, frame2;
};

InfoColours CurrentInfoColours() {
  return {PaneColour("InfoViewFont", "MakerColor"),  PaneColour("InfoViewFont", "TitleColor"),
          PaneColour("InfoViewFont", "NormalColor"), PaneColour("InfoViewFont", "MiniColor"),
          PaneColour("InfoViewFont", "TabColor"),    PaneColour("InfoViewColor", "BackColor"),
          PaneColour("InfoViewColor", "Frame1Color"), PaneColour("InfoViewColor", "Frame2Color")};
}

// Halfway between two colours: text that is there but not active.
COLORREF Dimmed(COLORREF text, COLORREF back) {
  return RGB((GetRValue(text) + GetRValue(back)) / 2, (GetGValue(text) + GetGValue(back)) / 2,
             (GetBValue(text) + GetBValue(back)) / 2);
}

void Fill(HDC dc, const RECT& area, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FillRect(dc, &area, brush);
  DeleteObject(brush);
}

void Frame(HDC dc, const RECT& area, COLORREF colour) {
  HBRUSH brush = CreateSolidBrush(colour);
  FrameRect(dc, &area, brush);
  DeleteObject(brush);
}

struct Painter {
  AppState& app;
  HDC dc;
  PaneState& pane;
  int item;
  InfoColours colours;

  bool Hovered(const PaneRect& area) const {
    if (pane.hoverKind == InfoLinkKind::kNone) return false;
    const PaneRect& h = pane.hoverArea;
    return h.left == area.left && h.top == area.top && h.right == area.right && h.bottom == area.bottom;
  }

  SIZE Measure(const std::string& text, HFONT font) const {
    HGDIOBJ old = SelectObject(dc, font);
    SIZE size{};
    GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
    SelectObject(dc, old);
    return size;
  }

  void Text(const std::string& text, RECT box, HFONT font, UINT format, COLORREF colour) const {
    HGDIOBJ old = SelectObject(dc, font);
    SetTextColor(dc, colour);
    DrawTextA(dc, text.c_str(), static_cast<int>(text.size()), &box, format | DT_NOPREFIX);
    SelectObject(dc, old);
  }

  // A one-line link from (x, y) no wider than up to `right`; returns its right edge.
  // A link keeps the colour of its element; the pointer over it underlines it.
  int Link(const std::string& text, int x, int y, int right, int height, HFONT font, HFONT underlinedFont,
           COLORREF colour, InfoLink link) {
    if (text.empty() || x >= right) return x;
    SIZE size = Measure(text, font);
    int width = std::min<int>(size.cx, right - x);
    link.area = {x, y, x + width, y + height};
    bool hover = Hovered(link.area);
    Text(text, RECT{x, y, x + width, y + height}, hover ? underlinedFont : font,
         DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS, colour);
    pane.links.Add(std::move(link));
    return x + width;
  }
};

InfoLink SearchLink(InfoLinkKind kind, const std::string& hover, InfoSearch search, int index = 0) {
  InfoLink link;
  link.kind = kind;
  link.hover = hover;
  link.search = std::move(search);
  link.index = index;
  return link;
}

void DrawTitleBar(Painter& p, const RECT& client) {
  // The bar in the second frame colour; the chosen tab opens onto the pane's background.
  const InfoColours& c = p.colours;
  RECT bar{0, 0, client.right, kTitleBarHeight};
  Fill(p.dc, bar, c.frame2);
  const char* tabs[2] = {"Normal", "3Shots"};
  int x = 2;
  for (int t = 0; t < 2; ++t) {
    RECT tab{x, 2, x + kTabWidth, kTitleBarHeight};
    bool chosen = t == p.pane.settings.tab;
    Fill(p.dc, tab, chosen ? c.back : c.frame2);
    Frame(p.dc, tab, c.frame1);
    p.Text(tabs[t], tab, BaseFont(p.app), DT_CENTER | DT_VCENTER | DT_SINGLELINE, chosen ? c.tab : Dimmed(c.tab, c.frame2));
    InfoLink link;
    link.kind = InfoLinkKind::kTab;
    link.index = t;
    link.hover = tabs[t];
    link.area = {tab.left, tab.top, tab.right, tab.bottom};
    p.pane.links.Add(link);
    x += kTabWidth + 2;
  }
  InfoLine line = ExpandInfoTemplate(p.pane.settings.templateText,
                                     p.item < 0 ? InfoTokenValues{} : InfoTokenValuesFromList(p.app.mainDb, p.item + 1));
  SIZE caption = p.Measure(line.caption, BaseFont(p.app));
  RECT captionBox{x + 4, 0, std::min<int>(x + 4 + caption.cx, client.right), kTitleBarHeight};
  p.Text(line.caption, captionBox, BaseFont(p.app), DT_SINGLELINE | DT_VCENTER, c.tab);
  if (p.item < 0) return;
  RECT lineBox{captionBox.right + 8, 0, client.right - 6, kTitleBarHeight};
  p.Text(line.line, lineBox, BaseFont(p.app), DT_RIGHT | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS, c.tab);
}

// One snapshot slot of the item in `box`; "NO SNAP" when there is none.
void DrawSnapshot(Painter& p, const RECT& box, int slot) {
  Frame(p.dc, box, p.colours.frame1);
  RECT inner = box;
  InflateRect(&inner, -1, -1);
  bool drawn = false;
  InfoLink link;
  link.kind = InfoLinkKind::kSnapshot;
  link.index = slot;
  link.area = {box.left, box.top, box.right, box.bottom};
  if (p.item >= 0) {
    AppState& app = p.app;
    int row = p.item + 1;
    SnapFind find = ListSnapshotLookup(app).SnapSource(row, slot, [&] { return SnapRowFromList(app.mainDb, row); });
    link.hover = SnapHoverText(find);
    SnapScaling scaling = ScalingFor(p.pane.settings.snapshots, CellOf(app, p.item, kPosSnapDtt),
                                     CellOf(app, p.item, kPosSnapDtm));
    drawn = find.outcome == SnapOutcome::kPicture && DrawSnapshotPicture(p.dc, find.path, inner, scaling);
  }
  if (!drawn) p.Text("NO SNAP", inner, BaseFont(p.app), DT_CENTER | DT_VCENTER | DT_SINGLELINE, p.colours.mini);
  p.pane.links.Add(link);
}

// The boxed text areas: a caption line and a frame.
RECT DrawBox(Painter& p, const char* caption, RECT box) {
  p.Text(caption, RECT{box.left + 2, box.top, box.right, box.top + 14}, p.pane.smallFont, DT_SINGLELINE | DT_VCENTER,
         p.colours.mini);
  RECT frame{box.left, box.top + 14, box.right, box.bottom};
  Frame(p.dc, frame, p.colours.frame1);
  InflateRect(&frame, -3, -2);
  return frame;
}

void DrawCreators(Painter& p, RECT box) {
  RECT inner = DrawBox(p, "Creators", box);
  PaneState& pane = p.pane;
  const int lineHeight = 15;
  int lines = std::max<int>((inner.bottom - inner.top) / lineHeight, 0);
  bool more = static_cast<int>(pane.creators.size()) > lines;
  int shown = more ? std::max(lines - 1, 0) : static_cast<int>(pane.creators.size());
  for (int i = 0; i < shown; ++i) {
    const std::string& entry = pane.creators[static_cast<size_t>(i)];
    p.Link(entry, inner.left, inner.top + i * lineHeight, inner.right, lineHeight, BaseFont(p.app), pane.underlined,
           p.colours.normal, SearchLink(InfoLinkKind::kCreator, CreatorName(entry), CreatorSearch(entry), i));
  }
  if (more && lines > 0) {
    InfoLink link;
    link.kind = InfoLinkKind::kMoreCreators;
    SIZE size = p.Measure("MORE..", BaseFont(p.app));
    int x = std::max<int>(inner.right - size.cx, inner.left);
    int y = inner.top + (lines - 1) * lineHeight;
    link.area = {x, y, inner.right, y + lineHeight};
    bool hover = p.Hovered(link.area);
    p.Text(hover ? "MORE.." : "more..", RECT{x, y, inner.right, y + lineHeight}, BaseFont(p.app),
           DT_RIGHT | DT_SINGLELINE | DT_VCENTER, p.colours.normal);
    link.hover = std::to_string(pane.creators.size()) + " entries";
    pane.links.Add(link);
  }
}

void DrawMemo(Painter& p, RECT box) {
  RECT inner = DrawBox(p, "Memo", box);
  p.Text(p.pane.memo, inner, BaseFont(p.app), DT_WORDBREAK | DT_EDITCONTROL, p.colours.normal);
}

struct Category {
  MasterKind kind;
  const char* label;   // UTF-8
  int namePosition, iconPosition;
  const char* column;  // of list_view
  bool noLinkWhenEmpty;
};

void DrawCategories(Painter& p, int left, int top, int right) {
  static const Category categories[] = {
      {MasterKind::Machine, "機種:", kPosMachine, kPosMachineIcon, "machine_name", false},
      {MasterKind::Media, "メディア:", kPosMedia, kPosMediaIcon, "media_name", false},
      {MasterKind::Genre, "ジャンル:", kPosGenre, kPosGenreIcon, "genre_name", true},
      {MasterKind::Adultex, "拡張R指定:", kPosAdultex, kPosAdultexIcon, "adultex_name", true},
  };
  int width = std::max((right - left) / 4, 1);
  for (int i = 0; i < 4; ++i) {
    const Category& c = categories[i];
    int x = left + i * width;
    int size = i == 0 ? p.pane.settings.machineIconSize : 16;
    // Cleared, every icon shows its first image.
    int number = p.item < 0 ? 0 : std::max(p.app.mainDb.CellInt(p.item + 1, c.iconPosition), 0);
    int used = DrawMasterIcon(p.dc, c.kind, number, x, top, size);
    std::string name = CellOf(p.app, p.item, c.namePosition);
    std::string label = Jp(c.label);
    int textLeft = x + std::max(used, size) + 3;
    if (p.item < 0) continue;
    if (name.empty()) {
      if (c.noLinkWhenEmpty)
        p.Text(label + Jp("指定なし"), RECT{textLeft, top, x + width - 2, top + 18}, BaseFont(p.app),
               DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS, p.colours.mini);
      continue;
    }
    p.Link(label + name, textLeft, top, x + width - 2, 18, BaseFont(p.app), p.pane.underlined, p.colours.normal,
           SearchLink(InfoLinkKind::kCategory, label + name, CategorySearch(c.column, name)));
  }
}

void DrawStars(Painter& p, int left, int top) {
  int rating = p.item < 0 ? 0 : p.app.mainDb.CellInt(p.item + 1, kPosRating);
  HPEN outline = CreatePen(PS_SOLID, 1, p.colours.frame1);
  HGDIOBJ oldPen = SelectObject(p.dc, outline);
  for (int k = 1; k <= 5; ++k) {
    int cx = left + (k - 1) * kStarStep + 7, cy = top + 8;
    POINT points[10];
    for (int j = 0; j < 10; ++j) {
      // A five-pointed star: outer radius 7, inner 3, from the top clockwise.
      static const int dx[10] = {0, 2, 7, 3, 4, 0, -4, -3, -7, -2};
      static const int dy[10] = {-7, -2, -2, 1, 6, 3, 6, 1, -2, -2};
      points[j] = {cx + dx[j], cy + dy[j]};
    }
    HBRUSH brush = CreateSolidBrush(k * 10 <= rating ? RGB(240, 176, 0) : p.colours.back);
    HGDIOBJ oldBrush = SelectObject(p.dc, brush);
    Polygon(p.dc, points, 10);
    SelectObject(p.dc, oldBrush);
    DeleteObject(brush);
  }
  SelectObject(p.dc, oldPen);
  DeleteObject(outline);
  if (p.item < 0) return;
  InfoLink link;
  link.kind = InfoLinkKind::kStars;
  link.index = left;
  // The area beside the stars sets 0.
  link.area = {left, top, left + 5 * kStarStep + 8, top + 16};
  link.hover = std::to_string(rating / 10) + " / 5";
  p.pane.links.Add(link);
}

// The marks' names, read once, with the colours in use.
const FavouriteMarks& Marks(AppState& app) {
  static FavouriteMarks marks;
  static bool named = false;
  if (!named) {
    named = true;
    for (int d = 0; d <= 9; ++d)
      marks[static_cast<size_t>(d)].name =
          FavouriteName(ProfileText("FavoriteMenuName", std::to_string(d), "", app.paths.settingsFile));
  }
  const FavouriteMarks& colours =
      CurrentFavouriteColours(LayoutFile(app.paths, app.layoutMode), FavouriteFallbackFile(app.paths.base));
  for (size_t d = 0; d < marks.size(); ++d) {
    marks[d].boxColour = colours[d].boxColour;
    marks[d].textColour = colours[d].textColour;
  }
  return marks;
}

// The favourite boxes from `right` leftwards, no further left than `left`.
void DrawFavourites(Painter& p, int left, int top, int right) {
  if (p.item < 0) return;
  std::string fave = CellOf(p.app, p.item, kPosFave);
  std::vector<int> digits, widths;
  int hoveredBox = -1;
  for (int d = 0; d <= 9; ++d) {
    if (fave.find(static_cast<char>('0' + d)) == std::string::npos) continue;
    const FavouriteMark& mark = Marks(p.app)[static_cast<size_t>(d)];
    digits.push_back(d);
    widths.push_back(mark.name.empty() ? 12 : p.Measure(mark.name, p.pane.smallFont).cx + 12);
    if (p.pane.hoverKind == InfoLinkKind::kFavourite && p.pane.hoverIndex == d)
      hoveredBox = static_cast<int>(digits.size()) - 1;
  }
  std::vector<BoxPlace> places = LayoutFavouriteBoxes(widths, right, std::max(right - left, 0), hoveredBox);
  for (size_t i = 0; i < digits.size(); ++i) {
    const FavouriteMark& mark = Marks(p.app)[static_cast<size_t>(digits[i])];
    RECT box{places[i].left, top, places[i].left + places[i].width, top + 16};
    InfoLink link = SearchLink(InfoLinkKind::kFavourite, mark.name.empty() ? std::to_string(digits[i]) : mark.name,
                               FavouriteSearch(static_cast<char>('0' + digits[i])), digits[i]);
    link.area = {box.left, box.top, box.right, box.bottom};
    bool hover = static_cast<int>(i) == hoveredBox;
    HBRUSH brush = CreateSolidBrush(hover ? mark.textColour : mark.boxColour);
    FillRect(p.dc, &box, brush);
    DeleteObject(brush);
    if (!mark.name.empty() && box.right - box.left > 12)
      p.Text(mark.name, box, p.pane.smallFont, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS,
             hover ? mark.boxColour : mark.textColour);
    p.pane.links.Add(link);
  }
}

// A flat button; returns its left edge.
int DrawButton(Painter& p, const std::string& label, int right, int top, bool active, InfoLinkKind kind) {
  SIZE size = p.Measure(label, p.pane.smallFont);
  RECT box{right - size.cx - 12, top, right, top + 18};
  Fill(p.dc, box, p.colours.frame2);
  Frame(p.dc, box, p.colours.frame1);
  p.Text(label, box, p.pane.smallFont, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
         active ? p.colours.normal : Dimmed(p.colours.normal, p.colours.frame2));
  if (p.item >= 0 && active) {
    InfoLink link;
    link.kind = kind;
    link.hover = label;
    link.area = {box.left, box.top, box.right, box.bottom};
    p.pane.links.Add(link);
  }
  return box.left;
}

void DrawNormalTab(Painter& p, const RECT& client) {
  PaneState& pane = p.pane;
  int top = kTitleBarHeight + 4;
  int bottom = client.bottom - 4;
  int left = 4;
  // The snapshot area at the left, 4:3 within the pane's height.
  int snapWidth = std::min(pane.settings.snapWidth, std::max<int>(client.right / 2, 0));
  if (snapWidth > 0) {
    int height = std::min(snapWidth * 3 / 4, std::max(bottom - top, 0));
    snapWidth = std::min(snapWidth, height * 4 / 3);
    if (snapWidth > 8) {
      DrawSnapshot(p, RECT{left, top, left + snapWidth, top + height}, 1);
      left += snapWidth + 8;
    }
  }
  int right = client.right - 6;
  if (right - left < 40) return;
  int y = top;
  if (p.item >= 0) {
    std::string maker = CellOf(p.app, p.item, kPosMaker), developer = CellOf(p.app, p.item, kPosDeveloper);
    int x = p.Link(maker, left, y, right, 16, BaseFont(p.app), pane.underlined, p.colours.maker,
                   SearchLink(InfoLinkKind::kMaker, maker, MakerSearch(maker)));
    if (!developer.empty()) {
      SIZE slash = p.Measure(" / ", BaseFont(p.app));
      p.Text(" / ", RECT{x, y, x + slash.cx, y + 16}, BaseFont(p.app), DT_SINGLELINE | DT_VCENTER,
             p.colours.maker);
      p.Link(developer, x + slash.cx, y, right, 16, BaseFont(p.app), pane.underlined, p.colours.maker,
             SearchLink(InfoLinkKind::kDeveloper, developer, DeveloperSearch(developer)));
    }
    std::string title = CellOf(p.app, p.item, kPosTitle);
    InfoSearch titleSearch = TitleSearch(title);
    p.Link(title, left, y + 17, right, 20, pane.titleFont, pane.titleUnderlined, p.colours.title,
           SearchLink(InfoLinkKind::kTitle, titleSearch.text, titleSearch));
    p.Text(CellOf(p.app, p.item, kPosVersion), RECT{left, y + 38, right, y + 66}, BaseFont(p.app),
           DT_WORDBREAK | DT_EDITCONTROL | DT_END_ELLIPSIS, p.colours.normal);
  }
  y += 68;
  int boxesBottom = std::max(bottom - kBottomRows - 4, y);
  if (boxesBottom - y > 20) {
    int split = left + (right - left) * pane.settings.splitPercent / 100;
    DrawCreators(p, RECT{left, y, split - 3, boxesBottom});
    DrawMemo(p, RECT{split + 3, y, right, boxesBottom});
  }
  int rowTop = std::max(boxesBottom + 4, y);
  DrawCategories(p, left, rowTop, right);
  int lower = rowTop + 24;
  DrawStars(p, left, lower);
  bool related = p.item >= 0 && CellOf(p.app, p.item, kPosAssociate) != "0";
  int buttons = DrawButton(p, Jp("Webで検索"), right, lower - 1, true, InfoLinkKind::kWebSearch);
  buttons = DrawButton(p, Jp("関連ファイル/URL"), buttons - 4, lower - 1, related, InfoLinkKind::kRelatedFiles);
  DrawFavourites(p, left + 5 * kStarStep + 16, lower, buttons - 8);
}

void DrawThreeShots(Painter& p, const RECT& client) {
  int top = kTitleBarHeight + 4, bottom = client.bottom - 4;
  int width = std::max<int>((client.right - 16) / 3, 0);
  for (int slot = 1; slot <= 3; ++slot) {
    int left = 4 + (slot - 1) * (width + 4);
    int height = std::min(width * 3 / 4, std::max(bottom - top, 0));
    if (width > 8 && height > 8) DrawSnapshot(p, RECT{left, top, left + width, top + height}, slot);
  }
}

void Paint(AppState& app, HWND window) {
  PaneState& pane = Pane();
  PAINTSTRUCT ps;
  HDC target = BeginPaint(window, &ps);
  RECT client{};
  GetClientRect(window, &client);
  // Drawn off screen and copied at once: no flicker while the selection runs.
  HDC dc = CreateCompatibleDC(target);
  HBITMAP bitmap = CreateCompatibleBitmap(target, std::max<int>(client.right, 1), std::max<int>(client.bottom, 1));
  HGDIOBJ oldBitmap = SelectObject(dc, bitmap);
  const InfoColours colours = CurrentInfoColours();
  Fill(dc, client, colours.back);
  SetBkMode(dc, TRANSPARENT);
  pane.links.Clear();
  Painter painter{app, dc, pane, pane.shown.item, colours};
  DrawTitleBar(painter, client);
  if (pane.settings.tab == 1)
    DrawThreeShots(painter, client);
  else
    DrawNormalTab(painter, client);
  Frame(dc, client, colours.frame1);
  BitBlt(target, 0, 0, client.right, client.bottom, dc, 0, 0, SRCCOPY);
  SelectObject(dc, oldBitmap);
  DeleteObject(bitmap);
  DeleteDC(dc);
  EndPaint(window, &ps);
  pane.dirty = false;
  pane.lastPaint = GetTickCount();
}

// ---- Following the list, hovering and clicking.

void ShowItem(AppState& app, int item) {
  PaneState& pane = Pane();
  if (item >= app.mainDb.RowCount()) item = -1;
  pane.shown.item = item;
  pane.shown.key = CellOf(app, item, kPosFileName);
  pane.shown.rating = CellOf(app, item, kPosRating);
  pane.shown.fave = CellOf(app, item, kPosFave);
  pane.creators = item < 0 ? std::vector<std::string>{} : CreatorEntries(CellOf(app, item, kPosCreator));
  if (item < 0) {
    KillTimer(app.snapPane, kMemoTimer);
    pane.memo.clear();
    pane.memoKey.clear();
  } else {
    StartMemo(app, item);
  }
  RequestPaint();
  SnapViewFollow(app);
  MemoViewFollow(app);
}

// The pacing timer: follows the list's selection (a reload may put another
// item in the same row) and paints at most once per period.
void OnPace(AppState& app) {
  PaneState& pane = Pane();
  int row = SelectedListRow(app);
  if (row != pane.shown.item || CellOf(app, row, kPosFileName) != pane.shown.key) {
    ShowItem(app, row);
  } else if (row >= 0 &&
             (CellOf(app, row, kPosRating) != pane.shown.rating || CellOf(app, row, kPosFave) != pane.shown.fave)) {
    pane.shown.rating = CellOf(app, row, kPosRating);
    pane.shown.fave = CellOf(app, row, kPosFave);
    RequestPaint();
  }
  if (pane.dirty && GetTickCount() - pane.lastPaint >= kPaceMs) InvalidateRect(app.snapPane, nullptr, FALSE);
}

void SetTooltip(AppState& app, const std::string& text) {
  PaneState& pane = Pane();
  if (text == pane.tooltipText) return;
  pane.tooltipText = text;
  // The pane's own text names the link under the pointer too, for tools that read windows.
  SetWindowTextA(app.snapPane, text.c_str());
  TOOLINFOA tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = app.snapPane;
  tool.uId = reinterpret_cast<UINT_PTR>(app.snapPane);
  tool.lpszText = const_cast<char*>(pane.tooltipText.c_str());
  if (!pane.tooltip) return;
  SendMessageA(pane.tooltip, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
  SendMessageA(pane.tooltip, TTM_ACTIVATE, text.empty() ? FALSE : TRUE, 0);
}

void OnMouseMove(AppState& app, int x, int y) {
  PaneState& pane = Pane();
  if (!pane.tracking) {
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, app.snapPane, 0};
    pane.tracking = TrackMouseEvent(&track) != FALSE;
  }
  const InfoLink* link = pane.links.At(x, y);
  InfoLinkKind kind = link ? link->kind : InfoLinkKind::kNone;
  int index = link ? link->index : 0;
  PaneRect area = link ? link->area : PaneRect{};
  SetTooltip(app, link ? link->hover : "");  // a redrawn link may say something new
  bool same = kind == pane.hoverKind && index == pane.hoverIndex && area.left == pane.hoverArea.left &&
              area.top == pane.hoverArea.top;
  if (same) return;
  pane.hoverKind = kind;
  pane.hoverIndex = index;
  pane.hoverArea = area;
  RequestPaint();
}

void OnMouseLeave(AppState& app) {
  PaneState& pane = Pane();
  pane.tracking = false;
  if (pane.hoverKind == InfoLinkKind::kNone) return;
  pane.hoverKind = InfoLinkKind::kNone;
  SetTooltip(app, "");
  RequestPaint();
}

void ShowCreatorMenu(AppState& app) {
  PaneState& pane = Pane();
  HMENU menu = CreatePopupMenu();
  const size_t shown = std::min<size_t>(pane.creators.size(), 500);
  for (size_t i = 0; i < shown; ++i)
    AppendMenuA(menu, MF_STRING, i + 1, pane.creators[i].c_str());
  POINT at{};
  GetCursorPos(&at);
  UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, at.x, at.y, 0, app.snapPane, nullptr);
  DestroyMenu(menu);
  if (chosen >= 1 && chosen <= shown) {
    InfoSearch search = CreatorSearch(pane.creators[chosen - 1]);
    RunListSearch(app, search.text, search.target, search.subMode, search.orOnly);
  }
}

void SelectTab(AppState& app, int tab) {
  PaneState& pane = Pane();
  if (pane.settings.tab == tab) return;
  pane.settings.tab = tab;
  SetSetting(app.settings, "Window", "InfoTabNum", tab);
  RequestPaint();
  MemoViewFollow(app);  // the view may hide in 3Shots
}

// The hit test of a click: the link under the point runs its action.
void OnClick(AppState& app, int x, int y) {
  PaneState& pane = Pane();
  const InfoLink* hit = pane.links.At(x, y);
  if (!hit) return;
  InfoLink link = *hit;  // the search below redraws the map
  switch (link.kind) {
    case InfoLinkKind::kTab: SelectTab(app, link.index); return;
    case InfoLinkKind::kMaker:
    case InfoLinkKind::kDeveloper:
    case InfoLinkKind::kTitle:
    case InfoLinkKind::kCreator:
    case InfoLinkKind::kCategory:
    case InfoLinkKind::kFavourite:
      RunListSearch(app, link.search.text, link.search.target, link.search.subMode, link.search.orOnly);
      return;
    case InfoLinkKind::kMoreCreators: ShowCreatorMenu(app); return;
    case InfoLinkKind::kRelatedFiles: ShowRelatedFileMenu(app); return;
    case InfoLinkKind::kWebSearch: ShowWebSiteMenu(app); return;
    case InfoLinkKind::kStars:
      if (pane.shown.item >= 0) {
        SetRatingOfRow(app, pane.shown.item + 1, PaneRatingAtPoint(link.index, x));
        pane.shown.rating = CellOf(app, pane.shown.item, kPosRating);
        RequestPaint();
      }
      return;
    default: return;
  }
}

bool IsFolder(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Files dropped on the pane become the shown item's absolute snapshot choices.
void OnDropFiles(AppState& app, HDROP drop) {
  PaneState& pane = Pane();
  POINT at{};
  if (!DroppedPoint(drop, at)) return;
  std::vector<std::string> names;
  UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT i = 0; i < count; ++i) {
    std::optional<std::string> name = DroppedName(drop, i);
    if (!name) {
      DragFinish(drop);
      ShowMessage(Jp("この名前はファイル名として扱えないため登録できませんでした。\n（Shift-JIS で表せない文字を含んでいます）"),
                  Jp("中止"), kMbOk | kMbIconWarning, app.mainWindow);
      return;
    }
    names.push_back(*name);
  }
  DragFinish(drop);
  const std::string key = pane.shown.key;
  std::vector<std::string> entries = AcceptedDropEntries(names, IsFolder);
  if (pane.shown.item < 0 || key.empty() || entries.empty()) return;
  RECT client{};
  GetClientRect(app.snapPane, &client);
  int slot = pane.settings.tab == 1 && entries.size() == 1 ? ThreeShotsSlotAt(at.x, client.right) : 0;
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  std::optional<DropFailure> failure;
  bool stored = StoreDroppedSnapshots(db, key, entries, slot, failure);
  db.Close();
  if (failure) ReportSqlError(failure->tag, failure->description, failure->error, failure->sql);
  if (stored && app.reloadItemList) app.reloadItemList(key);
  RequestPaint();
}

LRESULT CALLBACK PaneProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  AppState& app = App();
  PaneState& pane = Pane();
  switch (message) {
    case WM_PAINT: Paint(app, window); return 0;
    case WM_ERASEBKGND: return 1;
    case WM_SIZE: RequestPaint(); return 0;
    case WM_TIMER:
      if (wParam == kPaceTimer) OnPace(app);
      else if (wParam == kMemoTimer) LoadMemo(app);
      return 0;
    case WM_MOUSEMOVE: OnMouseMove(app, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); return 0;
    case WM_MOUSELEAVE: OnMouseLeave(app); return 0;
    case WM_LBUTTONDOWN: OnClick(app, static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))); return 0;
    case WM_SETCURSOR:
      if (pane.hoverKind != InfoLinkKind::kNone && pane.hoverKind != InfoLinkKind::kSnapshot) {
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return TRUE;
      }
      break;
    case WM_NCHITTEST: return HTCLIENT;
    case WM_DROPFILES: OnDropFiles(app, reinterpret_cast<HDROP>(wParam)); return 0;
    case WM_CONTEXTMENU: {
      POINT at{static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (lParam == -1) GetCursorPos(&at);  // from the keyboard
      ShowInformationMenu(app, at);
      return 0;
    }
    // The text names the hovered link; the control must not draw it.
    case WM_SETTEXT: return DefWindowProcA(window, message, wParam, lParam);
  }
  return CallWindowProcA(pane.original, window, message, wParam, lParam);
}

}  // namespace

void PrepareInfoPane(AppState& app) {
  PaneState& pane = Pane();
  if (!app.snapPane || pane.original) return;
  pane.settings = ReadPaneSettings(app);
  MakeFonts(app);
  pane.original = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(app.snapPane, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PaneProcedure)));
  pane.tooltip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                 CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, app.snapPane, nullptr,
                                 app.instance, nullptr);
  if (pane.tooltip) {
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = app.snapPane;
    tool.uId = reinterpret_cast<UINT_PTR>(app.snapPane);
    tool.lpszText = const_cast<char*>("");
    SendMessageA(pane.tooltip, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
    SendMessageA(pane.tooltip, TTM_SETMAXTIPWIDTH, 0, 600);
    SendMessageA(pane.tooltip, TTM_ACTIVATE, FALSE, 0);
  }
  SetTimer(app.snapPane, kPaceTimer, kPaceMs, nullptr);
}

int InfoPaneRow() { return Pane().shown.item; }
std::string InfoPaneKey() { return Pane().shown.key; }

void DrawInfoPane(AppState& app, int item) {
  if (!Pane().original) return;
  ShowItem(app, item);
}

}  // namespace vel
