#include "search/item_list_win.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "periphery/colours.h"
#include "periphery/pane_style_win.h"
#include "core/commands_win.h"
#include "core/settings_file.h"
#include "db/sql_error_report.h"
#include "display/snapshot_lookup.h"
#include "display/thumbnail_cache_win.h"
#include "editing/master_icons_win.h"
#include "maintenance/image_sets_win.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "search/group_kinds.h"
#include "search/flag_commands_win.h"
#include "search/initial_index.h"
#include "search/item_flags.h"
#include "search/list_images_win.h"
#include "search/search_watch_win.h"

namespace vel {
namespace {

constexpr int kGroupTabsId = 1005;
constexpr UINT_PTR kPopupTimer = 1;
constexpr const char* kPopupClass = "InitialIndexDlg";
constexpr int kThumbnailRowHeight = 70;  // rows this tall show snapshot 1

struct GroupTabState {
  int kind = 0;
  int selectedRow = -1;  // -1 = none
  int topRow = -1;
};

// GUI-thread state of the two lists.
struct ListPanes {
  ListQueryState query;
  std::vector<int> shownColumns;  // list column -> sort column index
  InitialIndex index;
  unsigned listLoads = 0;  // loads of the list so far: the index belongs to one
  HWND groupTabs = nullptr;
  std::vector<GroupTabState> tabs;
  int currentTab = 0;
  std::vector<std::string> groupValues;
  bool groupValuesLoaded = false;
  // The last search or reload left no view to read: a tab change keeps the
  // group list empty instead of failing on the missing view.
  bool noView = false;
  bool selectingGroup = false;  // programmatic selection in the group list
  HWND popup = nullptr;
  std::string popupText;
  WNDPROC itemListProcedure = nullptr;
  HIMAGELIST arrows = nullptr;  // of the headers
  std::unique_ptr<SnapshotLookup> snapshots;  // for the thumbnails of tall rows
  bool prepared = false;  // the settings are read and the columns exist
  // GroupSelect keys to write back once the program has started.
  std::vector<std::pair<std::string, int>> pendingTabKeys;
};

ListPanes& Panes() {
  static ListPanes panes;
  return panes;
}

bool YomiSort(AppState& app) { return SettingInt(app.settings, "ItemList", "yomiSort") == 1; }

ColumnDisplay DisplaySettings(AppState& app) {
  ColumnDisplay display{};
  for (int c = 0; c < kSortColumnCount; ++c)
    display[c] = SettingInt(app.settings, "ItemList", ColumnKey("clm_disp", c + 1));
  return display;
}

void SetStatusText(AppState& app, int part, const std::string& text) {
  if (app.statusBar) SendMessageA(app.statusBar, SB_SETTEXTA, part, reinterpret_cast<LPARAM>(text.c_str()));
}

void ShowCount(AppState& app) {
  SetStatusText(app, 1, Jp(" 検索件数: ") + std::to_string(app.mainDb.RowCount()) + Jp(" 件"));
}

// The item count always follows the loaded result (0 after a failed load).
void SyncItemCount(AppState& app) {
  ListView_SetItemCountEx(app.itemList, app.mainDb.RowCount(), LVSICF_NOSCROLL);
  InvalidateRect(app.itemList, nullptr, FALSE);
}

void SelectRow(AppState& app, int row) {  // 1-based; 0 = none
  ListView_SetItemState(app.itemList, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (row <= 0) return;
  ListView_SetItemState(app.itemList, row - 1, LVIS_SELECTED | LVIS_FOCUSED,
                        LVIS_SELECTED | LVIS_FOCUSED);
  ListView_EnsureVisible(app.itemList, row - 1, FALSE);
}

int FocusedRow(AppState& app) {  // 1-based; 0 = none
  return ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED) + 1;
}

void UpdateHeaders(AppState& app, bool sqlOrder) {
  ListPanes& panes = Panes();
  HWND header = ListView_GetHeader(app.itemList);
  for (size_t i = 0; i < panes.shownColumns.size(); ++i) {
    int column = panes.shownColumns[i];
    std::string label = SortHeaderLabel(column, panes.query.sort.dir[kSortMachineGenre]);
    HDITEMA item{};
    item.mask = HDI_FORMAT | HDI_TEXT | HDI_IMAGE;
    Header_GetItem(header, static_cast<int>(i), &item);
    // The primary sort column's arrow in black, the other keys' in grey; the
    // SQL search's own order shows none.
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN | HDF_IMAGE | HDF_BITMAP_ON_RIGHT);
    if (!sqlOrder && panes.arrows) {
      item.fmt |= HDF_IMAGE | HDF_BITMAP_ON_RIGHT;
      item.iImage = SortArrowImage(panes.query.sort, column, YomiSort(app));
    }
    item.pszText = label.data();
    SendMessageA(header, HDM_SETITEMA, i, reinterpret_cast<LPARAM>(&item));
  }
}

void EnsureInitialIndex(AppState& app) {
  ListPanes& panes = Panes();
  if (InitialIndexCurrent(panes.index, panes.query.sort, YomiSort(app), panes.listLoads)) return;
  std::string sql = InitialIndexStatement(panes.query.sort);
  if (auto error = BuildInitialIndex(app.groupDb, panes.query.sort, YomiSort(app), panes.listLoads, panes.index))
    ReportSqlError("InitialIndexClass", "create iidx_tmptable failed.", *error, sql);
}

// Remembers the widths and display order of the shown columns in the settings.
void StoreColumnLayout(AppState& app) {
  ListPanes& panes = Panes();
  int count = static_cast<int>(panes.shownColumns.size());
  if (count == 0) return;
  std::vector<int> order(static_cast<size_t>(count));
  ListView_GetColumnOrderArray(app.itemList, count, order.data());
  for (int position = 0; position < count; ++position) {
    int column = panes.shownColumns[static_cast<size_t>(order[static_cast<size_t>(position)])];
    SetSetting(app.settings, "ItemList", ColumnKey("clm_sort", column + 1), position);
  }
  for (int i = 0; i < count; ++i)
    SetSetting(app.settings, "ItemList", ColumnKey("clm", panes.shownColumns[static_cast<size_t>(i)] + 1),
               ListView_GetColumnWidth(app.itemList, i));
}

void ShowIndexPopup(AppState& app, const std::string& text) {
  ListPanes& panes = Panes();
  if (panes.popup) DestroyWindow(panes.popup);
  panes.popupText = text;
  HDC dc = GetDC(app.itemList);
  HGDIOBJ old = SelectObject(dc, app.uiFonts[0]);
  SIZE size{};
  GetTextExtentPoint32A(dc, text.c_str(), static_cast<int>(text.size()), &size);
  SelectObject(dc, old);
  ReleaseDC(app.itemList, dc);
  int height = size.cy * 14 / 10;
  int width = std::max<int>(size.cx + 28, height);
  RECT list{};
  GetWindowRect(app.itemList, &list);
  panes.popup = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kPopupClass, "", WS_POPUP | WS_BORDER,
                                (list.left + list.right - width) / 2, (list.top + list.bottom - height) / 2,
                                width, height, app.mainWindow, nullptr, app.instance, nullptr);
  if (!panes.popup) return;
  ShowWindow(panes.popup, SW_SHOWNOACTIVATE);
  SetTimer(panes.popup, kPopupTimer, 1200, nullptr);
}

LRESULT CALLBACK PopupProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT paint;
      HDC dc = BeginPaint(window, &paint);
      RECT r;
      GetClientRect(window, &r);
      HGDIOBJ old = SelectObject(dc, App().uiFonts[0]);
      SetBkMode(dc, TRANSPARENT);
      DrawTextA(dc, Panes().popupText.c_str(), -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
      SelectObject(dc, old);
      EndPaint(window, &paint);
      return 0;
    }
    case WM_TIMER: DestroyWindow(window); return 0;
    case WM_DESTROY:
      if (Panes().popup == window) Panes().popup = nullptr;
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

LRESULT CALLBACK ItemListProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  AppState& app = App();
  if (message == WM_KEYDOWN && (wParam == VK_NEXT || wParam == VK_PRIOR) &&
      GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0) {
    InitialIndexSeek(app, wParam == VK_NEXT);
    return 0;
  }
  LRESULT result = CallWindowProcA(Panes().itemListProcedure, window, message, wParam, lParam);
  if (message == WM_NOTIFY && reinterpret_cast<NMHDR*>(lParam)->code == NM_RELEASEDCAPTURE)
    StoreColumnLayout(app);  // after a width or order change by the user
  return result;
}

void AddColumns(AppState& app) {
  ListPanes& panes = Panes();
  panes.shownColumns.clear();
  std::vector<std::pair<int, int>> positions;  // display position, list column
  for (int c = 0; c < kSortColumnCount; ++c) {
    if (SettingInt(app.settings, "ItemList", ColumnKey("clm_disp", c + 1)) != 1) continue;
    int width = SettingInt(app.settings, "ItemList", ColumnKey("clm", c + 1));
    std::string label = SortHeaderLabel(c, 0);
    LVCOLUMNA column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.fmt = LVCFMT_LEFT;
    column.cx = width <= 0 ? 150 : width;
    column.pszText = label.data();
    int at = static_cast<int>(panes.shownColumns.size());
    SendMessageA(app.itemList, LVM_INSERTCOLUMNA, at, reinterpret_cast<LPARAM>(&column));
    panes.shownColumns.push_back(c);
    positions.push_back({SettingInt(app.settings, "ItemList", ColumnKey("clm_sort", c + 1)), at});
  }
  std::stable_sort(positions.begin(), positions.end());
  std::vector<int> order;
  for (auto& p : positions) order.push_back(p.second);
  if (!order.empty()) ListView_SetColumnOrderArray(app.itemList, static_cast<int>(order.size()), order.data());
}

// GroupSelect: a missing key is written back as unused; no kind at all gives
// maker, genre and adult. The writes wait until the start has succeeded.
std::vector<int> ReadGroupTabKinds(AppState& app) {
  auto& pending = Panes().pendingTabKeys;
  int values[kGroupTabCount];
  for (int n = 0; n < kGroupTabCount; ++n) {
    std::string key = "Tab" + std::to_string(n);
    if (ProfileText("GroupSelect", key, "", app.paths.settingsFile).empty()) {
      values[n] = -(n + 1);
      pending.push_back({key, values[n]});
    } else {
      values[n] = ReadProfileInt("GroupSelect", key, 0, app.paths.settingsFile);
    }
  }
  std::vector<int> kinds = TabKinds(values);
  if (kinds.empty()) {
    const int defaults[kGroupTabCount] = {1, 2, 3, -4, -5, -6, -7, -8};
    pending.clear();
    for (int n = 0; n < kGroupTabCount; ++n) pending.push_back({"Tab" + std::to_string(n), defaults[n]});
    kinds = TabKinds(defaults);
  }
  return kinds;
}

void CreateGroupTabs(AppState& app) {
  ListPanes& panes = Panes();
  panes.groupTabs = CreateWindowExA(0, WC_TABCONTROLA, "", WS_CHILD | WS_VISIBLE | TCS_FOCUSNEVER, 0, 0, 10, 10,
                                    app.mainWindow, reinterpret_cast<HMENU>(static_cast<INT_PTR>(kGroupTabsId)),
                                    app.instance, nullptr);
  SendMessageA(panes.groupTabs, WM_SETFONT, reinterpret_cast<WPARAM>(app.uiFonts[0]), TRUE);
  panes.tabs.clear();
  int n = 0;
  for (int kind : ReadGroupTabKinds(app)) {
    std::string label = GroupTabLabel(kind);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = label.data();
    SendMessageA(panes.groupTabs, TCM_INSERTITEMA, n++, reinterpret_cast<LPARAM>(&item));
    panes.tabs.push_back({kind, -1, -1});
  }
  panes.currentTab = 0;
}

void ReportGroupFailure(const GroupFailure& failure) {
  ReportSqlError(failure.tag, failure.description, failure.error, failure.sql);
}

// Text of the cell of one sort column of a row, with its alignment.
std::string CellText(AppState& app, int row, int column, UINT& align) {
  LibraryConnection& db = app.mainDb;
  align = DT_LEFT;
  switch (column) {
    case kSortTitle: return db.Cell(row, kPosTitle);
    case kSortMaker: return db.Cell(row, kPosMaker);
    case kSortMachineGenre: {
      std::string machine = db.Cell(row, kPosMachine);
      std::string genre = db.Cell(row, kPosGenre);
      if (genre.empty()) genre = Jp("ジャンル指定なし");
      return Panes().query.sort.dir[kSortMachineGenre] >= 2 ? genre + " / " + machine : machine + " / " + genre;
    }
    case kSortRating: return "";  // drawn as stars
    case kSortSaleYear: {
      std::string date = db.Cell(row, kPosSaleYear);
      if (date == "0") return "";
      size_t cut = date.find("-00");
      return cut == std::string::npos ? date : date.substr(0, cut);
    }
    case kSortBootCount: align = DT_RIGHT; return db.Cell(row, kPosBootCount);
    case kSortLastBoot: {
      align = DT_RIGHT;
      std::string text = db.Cell(row, kPosLastBoot);
      return text == Jp("-471年11月") ? "- -" : text;
    }
    case 7: return db.Cell(row, kPosDeveloper);
    case 8: return db.Cell(row, kPosBreed);
    case 9: align = DT_RIGHT; return db.Cell(row, kPosPrice);
    case 10: align = DT_RIGHT; return db.Cell(row, kPosMediaDetail);
    case 11: return db.Cell(row, kPosDevice);
    case 12: align = DT_RIGHT; return db.Cell(row, kPosPlayers);
    case 13: {
      std::string text = db.Cell(row, kPosAdultex);
      return text.empty() ? Jp("指定なし") : text;
    }
    case 14: return db.Cell(row, kPosSavedat);
    case 15: return db.Cell(row, kPosSound);
    case kSortPlayTime: align = DT_RIGHT; return db.Cell(row, kPosPlayTime);
    case kSortKana: return db.Cell(row, kPosKana);
    case 18: align = DT_RIGHT; return db.Cell(row, kPosRomNum);
  }
  return "";
}

// Snapshot 1 of the row at the left of the title cell ("NO SNAP" when there
// is none). Returns the width used.
int DrawRowThumbnail(AppState& app, HDC dc, int row, const RECT& cell) {
  int height = cell.bottom - cell.top - 4;
  RECT box{cell.left, cell.top + 2, cell.left + height * 4 / 3, cell.top + 2 + height};
  SnapFind find = ListSnapshotLookup(app).SnapSource(row, 1, [&] { return SnapRowFromList(app.mainDb, row); });
  // A narrow column cuts the picture: it never covers the markers or the next column.
  int saved = SaveDC(dc);
  IntersectClipRect(dc, cell.left, cell.top, cell.right, cell.bottom);
  if (find.outcome != SnapOutcome::kPicture || !DrawThumbnail(dc, find.path, box)) {
    FrameRect(dc, &box, GetSysColorBrush(COLOR_GRAYTEXT));
    DrawTextA(dc, "NO SNAP", -1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  }
  RestoreDC(dc, saved);
  return std::min<int>(box.right - box.left + 6, std::max<int>(cell.right - cell.left, 0));
}

// The lines under the title that TitleClmExInfo switches on: value 1 the
// maker with the release date, value 2 the memo's first line.
std::vector<std::string> TitleExtraLines(AppState& app, int row) {
  std::vector<std::string> lines;
  int extra = SettingInt(app.settings, "etcSetting", "TitleClmExInfo");
  if (extra & 1) {
    UINT align = DT_LEFT;
    std::string date = CellText(app, row, kSortSaleYear, align);
    std::string maker = app.mainDb.Cell(row, kPosMaker);
    lines.push_back(date.empty() ? maker : maker + "  " + date);
  }
  if (extra & 2) {
    std::string memo = app.mainDb.Cell(row, kPosMemo);
    lines.push_back(memo.substr(0, memo.find_first_of("\r\n")));
  }
  return lines;
}

// The marks' colours in use (the layout file's, the shipped file's or a confirmed theme's).
const FavouriteMarks& Marks(AppState& app) {
  return CurrentFavouriteColours(LayoutFile(app.paths, app.layoutMode), FavouriteFallbackFile(app.paths.base));
}


void DrawTitleCell(AppState& app, HDC dc, int row, RECT cell, bool selected) {
  // At the right edge: one marker per favourite digit (9 rightmost), then
  // the item's own emulator configuration.
  std::string fave = app.mainDb.Cell(row, kPosFave);
  RECT right = cell;
  for (char digit = '0'; digit <= '9'; ++digit) {
    if (fave.find(digit) == std::string::npos) continue;
    int x = cell.right - 6 - ('9' - digit) * 9;
    RECT mark{x, cell.top + 3, x + 6, cell.top + 9};
    HBRUSH brush = CreateSolidBrush(Marks(app)[static_cast<size_t>(digit - '0')].boxColour);
    FillRect(dc, &mark, brush);
    DeleteObject(brush);
    right.right = std::min<LONG>(right.right, x - 2);
  }
  std::string emuset = app.mainDb.Cell(row, kPosEmuset);
  if (!emuset.empty()) {
    SIZE size{};
    GetTextExtentPoint32A(dc, emuset.c_str(), static_cast<int>(emuset.size()), &size);
    COLORREF text = SetTextColor(dc, selected ? ItemRowTextColour(true) : PaneColour("ItemListFont", "EmusetColor"));
    DrawTextA(dc, emuset.c_str(), -1, &right, DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
    SetTextColor(dc, text);
    right.right -= std::min<LONG>(size.cx + 8, right.right - right.left);
  }
  cell.right = right.right;
  if (cell.bottom - cell.top >= kThumbnailRowHeight) cell.left += DrawRowThumbnail(app, dc, row, cell);
  if (app.mainDb.Cell(row, kPosAlterEgo) == "1") cell.left += DrawAlterEgoMarker(dc, cell);
  // The title and its extra lines as one block, centred vertically.
  std::vector<std::string> extra = TitleExtraLines(app, row);
  TEXTMETRICA metrics{};
  GetTextMetricsA(dc, &metrics);
  int lineHeight = std::max<int>(metrics.tmHeight, 1);
  int blockHeight = lineHeight * (1 + static_cast<int>(extra.size()));
  int top = std::max<int>(cell.top, (cell.top + cell.bottom - blockHeight) / 2);
  const UINT format = DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX;
  RECT line{cell.left, top, cell.right, std::min<LONG>(top + lineHeight, cell.bottom)};
  if (extra.empty()) line = cell;
  std::string title = app.mainDb.Cell(row, kPosTitle);
  DrawTextA(dc, title.c_str(), -1, &line, format | DT_VCENTER);
  COLORREF old = SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_GRAYTEXT));
  for (const std::string& text : extra) {
    OffsetRect(&line, 0, lineHeight);
    if (line.top >= cell.bottom) break;
    line.bottom = std::min<LONG>(line.bottom, cell.bottom);
    DrawTextA(dc, text.c_str(), -1, &line, format);
  }
  SetTextColor(dc, old);
}

void DrawItemRow(AppState& app, const DRAWITEMSTRUCT& item) {
  ListPanes& panes = Panes();
  int row = static_cast<int>(item.itemID) + 1;
  bool selected = (item.itemState & ODS_SELECTED) != 0;
  HDC dc = item.hDC;
  FillItemRowBackground(dc, item.rcItem, row, selected);
  if (row > app.mainDb.RowCount()) return;
  SetBkMode(dc, TRANSPARENT);
  const bool furtherDisk = IsFurtherDisk(app.mainDb.Cell(row, kPosPly));
  SetTextColor(dc, ItemRowTextColour(selected, furtherDisk));
  HGDIOBJ rowFont = furtherDisk && ItemRowPlyFont() ? SelectObject(dc, ItemRowPlyFont()) : nullptr;
  for (size_t i = 0; i < panes.shownColumns.size(); ++i) {
    RECT cell{};
    ListView_GetSubItemRect(app.itemList, item.itemID, static_cast<int>(i), LVIR_BOUNDS, &cell);
    if (i == 0) cell.right = cell.left + ListView_GetColumnWidth(app.itemList, 0);
    cell.top = item.rcItem.top;
    cell.bottom = item.rcItem.bottom;
    InflateRect(&cell, -4, 0);
    int column = panes.shownColumns[i];
    UINT align = DT_LEFT;
    std::string text = CellText(app, row, column, align);
    if (column == kSortTitle) {
      DrawTitleCell(app, dc, row, cell, selected);
      continue;
    }
    // Category icons stand before their names: machine and genre (genre first
    // when the column sorts by genre), the extended rating's own.
    int height = cell.bottom - cell.top;
    if (column == kSortMachineGenre) {
      bool genreFirst = panes.query.sort.dir[kSortMachineGenre] >= 2;
      MasterKind order[2] = {genreFirst ? MasterKind::Genre : MasterKind::Machine,
                             genreFirst ? MasterKind::Machine : MasterKind::Genre};
      for (MasterKind kind : order) {
        int number = app.mainDb.CellInt(row, kind == MasterKind::Genre ? kPosGenreIcon : kPosMachineIcon);
        cell.left += DrawMasterIcon(dc, kind, number, cell.left, cell.top, height);
      }
    } else if (column == kSortRating) {
      DrawRatingStars(dc, cell, app.mainDb.CellInt(row, kPosRating) / 10);
      continue;
    } else if (column == 13) {
      cell.left += DrawMasterIcon(dc, MasterKind::Adultex, app.mainDb.CellInt(row, kPosAdultexIcon), cell.left,
                                  cell.top, height);
    }
    DrawTextA(dc, text.c_str(), -1, &cell, align | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
  }
  if (rowFont) SelectObject(dc, rowFont);
  DrawItemRowRules(dc, item.rcItem, panes.shownColumns.size(), app.itemList);
  // `CursorType` 0 shows the focused row by its colours alone; any other value frames it.
  if ((item.itemState & ODS_FOCUS) && CurrentColours().cursorType != 0) DrawFocusRect(dc, &item.rcItem);
}

void DrawGroupRow(AppState& app, const DRAWITEMSTRUCT& item) {
  ListPanes& panes = Panes();
  int row = static_cast<int>(item.itemID);
  bool selected = (item.itemState & ODS_SELECTED) != 0;
  HDC dc = item.hDC;
  FillGroupRowBackground(dc, item.rcItem, selected);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GroupRowTextColour(selected));
  if (panes.tabs.empty()) return;
  int kind = panes.tabs[static_cast<size_t>(panes.currentTab)].kind;
  RECT r = item.rcItem;
  r.left += 4;
  if (kind == kGroupRating && row > 0) {
    DrawRatingStars(dc, r, row - 1);
    return;
  }
  size_t value = static_cast<size_t>(row - 1);
  std::string text =
      GroupRowText(kind, row, row > 0 && value < panes.groupValues.size() ? panes.groupValues[value] : "");
  DrawTextA(dc, text.c_str(), -1, &r, DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS | DT_NOPREFIX);
}

int CurrentKind() {
  ListPanes& panes = Panes();
  return panes.tabs.empty() ? -1 : panes.tabs[static_cast<size_t>(panes.currentTab)].kind;
}

void OnGroupSelectionChanged(AppState& app, const NMLISTVIEW& change) {
  ListPanes& panes = Panes();
  if (panes.selectingGroup || change.iItem < 0) return;
  if (!(change.uNewState & LVIS_SELECTED) || (change.uOldState & LVIS_SELECTED)) return;
  SelectGroup(app, change.iItem);
}

}  // namespace

ListQueryState& ItemListQuery() { return Panes().query; }

void PrepareItemListPanes(AppState& app) {
  WNDCLASSA popupClass{};
  popupClass.lpfnWndProc = PopupProcedure;
  popupClass.hInstance = app.instance;
  popupClass.hbrBackground = GetSysColorBrush(COLOR_INFOBK);
  popupClass.lpszClassName = kPopupClass;
  RegisterClassA(&popupClass);
  ListView_SetExtendedListViewStyle(app.itemList, LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP | LVS_EX_DOUBLEBUFFER);
  AddColumns(app);
  Panes().arrows = CreateSortArrowImages();
  Header_SetImageList(ListView_GetHeader(app.itemList), Panes().arrows);
  LVCOLUMNA groupColumn{};
  groupColumn.mask = LVCF_WIDTH;
  groupColumn.cx = 400;
  SendMessageA(app.groupList, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&groupColumn));
  SetWindowLongPtrA(app.groupList, GWL_STYLE, GetWindowLongPtrA(app.groupList, GWL_STYLE) | LVS_NOCOLUMNHEADER);
  ListView_SetExtendedListViewStyle(app.groupList, LVS_EX_FULLROWSELECT);
  CreateGroupTabs(app);
  Panes().itemListProcedure = reinterpret_cast<WNDPROC>(
      SetWindowLongPtrA(app.itemList, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(ItemListProcedure)));
  app.reloadItemList = [](const std::string& key) { RefreshItemList(App(), 0, key, false, 0, 1); };
  Panes().prepared = true;
  // The row heights are asked for again when the font is set.
  for (HWND list : {app.itemList, app.groupList})
    SendMessageA(list, WM_SETFONT, reinterpret_cast<WPARAM>(app.uiFonts[0]), TRUE);
}

void RebuildItemListColumns(AppState& app) {
  if (!Panes().prepared) return;
  SendMessageA(app.itemList, WM_SETREDRAW, FALSE, 0);
  while (SendMessageA(app.itemList, LVM_DELETECOLUMN, 0, 0)) {
  }
  AddColumns(app);
  UpdateHeaders(app, Panes().query.sqlOrderInForce);  // the sort arrows on the new headers
  SendMessageA(app.itemList, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(app.itemList, nullptr, TRUE);
}

SnapshotLookup& ListSnapshotLookup(AppState& app) {
  ListPanes& panes = Panes();
  if (!panes.snapshots)
    panes.snapshots = std::make_unique<SnapshotLookup>(SnapshotSettingsFrom(app.settings, app.paths.base));
  return *panes.snapshots;
}

namespace {

// The rows of the list were read again or put in a new order.
void NoteNewRows() {
  ListPanes& panes = Panes();
  // A new list: Page Up/Down make its index when they are first pressed.
  ++panes.listLoads;
  if (panes.snapshots) panes.snapshots->Invalidate();  // rows change meaning
  ForgetFailedThumbnails();  // a picture that was missing may be there now
}

}  // namespace

std::optional<std::string> LoadListResult(AppState& app, const std::string& sql) {
  auto error = app.mainDb.Query(sql);
  NoteNewRows();
  return error;
}

int SortAndLoad(AppState& app, int column, int how) {
  ListPanes& panes = Panes();
  int applied = ApplySortRequest(panes.query.sort, column, how, YomiSort(app), DisplaySettings(app));
  bool withOrder = applied != kSortSqlOrder;
  UpdateHeaders(app, !withOrder || panes.query.sqlOrderInForce);
  auto error = LoadItemList(app.mainDb, panes.query, withOrder);
  NoteNewRows();
  SyncItemCount(app);
  if (error) {
    ReportSqlError("ItemListClmSort:Normal", Jp("ビュー選択できませんでした。"), *error,
                   ListStatement(panes.query, withOrder));
    return 1;
  }
  ShowCount(app);
  return 0;
}

namespace {

// A header sort that only orders the rows already read; false (nothing
// changed) when it has to read them again.
bool SortLoadedRows(AppState& app, int column, int how) {
  ListPanes& panes = Panes();
  ListQueryState sorted = panes.query;
  if (ApplySortRequest(sorted.sort, column, how, YomiSort(app), DisplaySettings(app)) == kSortSqlOrder ||
      sorted.sqlOrderInForce || !SortLoadedList(app.mainDb, sorted.loaded, ListStatement(sorted, false), sorted.sort))
    return false;
  panes.query = sorted;
  UpdateHeaders(app, false);
  NoteNewRows();
  SyncItemCount(app);
  ShowCount(app);
  return true;
}

}  // namespace

int RefreshItemList(AppState& app, int selectRow, const std::string& selectName, bool clearFirst,
                    int resetGroups, int sortMode) {
  ListPanes& panes = Panes();
  if (clearFirst) {
    ListView_SetItemCountEx(app.itemList, 0, 0);
    ListView_SetItemCountEx(app.groupList, 0, 0);
  }
  if (resetGroups == 1) ForgetGroupRows(app);
  if (sortMode != 0) {
    int request = panes.query.sqlOrderInForce || sortMode == -3 ? kSortSqlOrder
                  : sortMode == -1                              ? kSortReset
                                                                : kSortKeepKeys;
    if (SortAndLoad(app, request, kSortToggle) != 0) {
      // The view could not be read: its groups could not either.
      if (resetGroups > 0) ClearGroupList(app);
      return -1;
    }
  }
  if (resetGroups > 0) BuildGroupList(app, sortMode != 0);
  int row = selectRow != 0 ? std::min(selectRow, app.mainDb.RowCount()) : FindRowByKey(app.mainDb, selectName);
  SelectRow(app, row);
  return row;
}

void BuildGroupList(AppState& app, bool listJustLoaded) {
  ListPanes& panes = Panes();
  std::vector<ProfileEntry> tabKeys;
  for (const auto& [key, value] : panes.pendingTabKeys) tabKeys.push_back({"GroupSelect", key, std::to_string(value)});
  if (!tabKeys.empty()) WriteSettingsFile(app.paths.settingsFile, tabKeys);
  panes.pendingTabKeys.clear();
  if (listJustLoaded) panes.noView = false;
  if (panes.noView) return ClearGroupList(app);
  int kind = CurrentKind();
  panes.groupValues.clear();
  if (kind < 0) return;
  // A list just loaded without a group holds every row of the view: its
  // values are counted there instead of running the search a second time.
  bool counted = listJustLoaded && panes.query.groupCondition.empty() &&
                 GroupValuesOfLoadedList(app.mainDb, kind, panes.groupValues);
  if (!counted) if (auto failure = ReadGroupValues(app.groupDb, kind, panes.groupValues)) {
    panes.groupValues.clear();
    ReportGroupFailure(*failure);
  }
  panes.selectingGroup = true;
  ListView_SetItemCountEx(app.groupList, GroupRowCount(kind, static_cast<int>(panes.groupValues.size())), 0);
  const GroupTabState& tab = panes.tabs[static_cast<size_t>(panes.currentTab)];
  if (tab.topRow > 0) ListView_EnsureVisible(app.groupList, tab.topRow, FALSE);
  // The list control keeps a selection across counts: it shows exactly the remembered row.
  ListView_SetItemState(app.groupList, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
  if (tab.selectedRow >= 0)
    ListView_SetItemState(app.groupList, tab.selectedRow, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  panes.selectingGroup = false;
  InvalidateRect(app.groupList, nullptr, FALSE);
}

void ClearGroupList(AppState& app) {
  ListPanes& panes = Panes();
  panes.noView = true;
  panes.groupValues.clear();
  panes.selectingGroup = true;
  ListView_SetItemCountEx(app.groupList, 0, 0);
  panes.selectingGroup = false;
  InvalidateRect(app.groupList, nullptr, FALSE);
}

void ForgetGroupRows(AppState& app) {
  (void)app;
  for (GroupTabState& tab : Panes().tabs) tab.selectedRow = tab.topRow = -1;
}

bool SelectGroup(AppState& app, int row) {
  ListPanes& panes = Panes();
  int kind = CurrentKind();
  if (kind < 0) return false;
  std::string key = app.mainDb.Cell(FocusedRow(app), kPosFileName);
  size_t value = static_cast<size_t>(row - 1);
  panes.query.groupCondition =
      GroupCondition(kind, row, row > 0 && value < panes.groupValues.size() ? panes.groupValues[value] : "");
  GroupTabState& tab = panes.tabs[static_cast<size_t>(panes.currentTab)];
  tab.selectedRow = row;
  tab.topRow = ListView_GetTopIndex(app.groupList);
  if (SortAndLoad(app, panes.query.sqlOrderInForce ? kSortSqlOrder : kSortKeepKeys, kSortToggle) != 0) return false;
  SetStatusText(app, 2, "");
  SelectRow(app, FindRowByKey(app.mainDb, key));
  InvalidateRect(app.groupList, nullptr, FALSE);
  return true;
}

void StepGroupTab(AppState& app, bool forward) {
  ListPanes& panes = Panes();
  int count = static_cast<int>(panes.tabs.size());
  if (count == 0) return;
  panes.currentTab = (panes.currentTab + (forward ? 1 : count - 1)) % count;
  TabCtrl_SetCurSel(panes.groupTabs, panes.currentTab);
  BuildGroupList(app, false);
}

void InitialIndexSeek(AppState& app, bool forward) {
  ListPanes& panes = Panes();
  if (panes.query.sqlOrderInForce) {
    MessageBeep(0);
    return;
  }
  EnsureInitialIndex(app);
  int row = SeekInitial(panes.index, panes.query.sort, app.mainDb, FocusedRow(app), forward);
  if (row == 0) {
    MessageBeep(0);
    return;
  }
  SelectRow(app, row);
  // The found row with two rows above it at the top.
  int top = ListView_GetTopIndex(app.itemList);
  int wanted = std::max(row - 1 - 2, 0);
  RECT first{};
  ListView_GetItemRect(app.itemList, 0, &first, LVIR_BOUNDS);
  ListView_Scroll(app.itemList, 0, (wanted - top) * (first.bottom - first.top));
  if (SettingInt(app.settings, "ItemList", "IsPopIdxSrchStr") == 1) {
    std::string key = InitialKeyOf(panes.query.sort,
                                   app.mainDb.CellUtf8(row, ResultPositionOfColumn(PrimaryColumnName(panes.query.sort))));
    ShowIndexPopup(app, Utf8ToAnsi(key));
  }
}

int LayoutGroupTabs(AppState& app, int x, int y, int width) {
  HWND tabs = Panes().groupTabs;
  if (!tabs) return 0;
  RECT r{0, 0, width, 0};
  TabCtrl_AdjustRect(tabs, TRUE, &r);
  int height = std::max<int>(static_cast<int>(-r.top), 0) + 2;
  MoveWindow(tabs, x, y, width, height, TRUE);
  (void)app;
  return height;
}

namespace {

// A click on the stars of the rating column (shown only when clm_disp04 is
// on) rates the row; true when it did.
bool ClickRatingStars(AppState& app, const NMITEMACTIVATE& click) {
  ListPanes& panes = Panes();
  LVHITTESTINFO hit{};
  hit.pt = click.ptAction;
  if (ListView_SubItemHitTest(app.itemList, &hit) < 0 || hit.iItem < 0 || hit.iSubItem < 0 ||
      static_cast<size_t>(hit.iSubItem) >= panes.shownColumns.size() ||
      panes.shownColumns[static_cast<size_t>(hit.iSubItem)] != kSortRating)
    return false;
  // The cell exactly as the row is drawn.
  RECT cell{}, rowRect{};
  ListView_GetSubItemRect(app.itemList, hit.iItem, hit.iSubItem, LVIR_BOUNDS, &cell);
  ListView_GetItemRect(app.itemList, hit.iItem, &rowRect, LVIR_BOUNDS);
  if (hit.iSubItem == 0) cell.right = cell.left + ListView_GetColumnWidth(app.itemList, 0);
  InflateRect(&cell, -4, 0);
  std::optional<int> value = RatingAtPoint(StarsInCell(cell.left, rowRect.top, rowRect.bottom), click.ptAction.x,
                                           click.ptAction.y);
  if (!value) return false;
  SetRatingOfRow(app, hit.iItem + 1, *value);
  return true;
}

}  // namespace

bool HandleItemListNotify(AppState& app, const NMHDR& header, LRESULT& result) {
  ListPanes& panes = Panes();
  result = 0;
  if (HandleImageSetDrag(app, header)) return true;
  if (header.hwndFrom == app.itemList && header.code == LVN_COLUMNCLICK) {
    const auto& click = reinterpret_cast<const NMLISTVIEW&>(header);
    if (click.iSubItem < 0 || static_cast<size_t>(click.iSubItem) >= panes.shownColumns.size()) return true;
    std::string key = app.mainDb.Cell(FocusedRow(app), kPosFileName);
    // A long sort can be stopped with Esc: the list and its order stay as they were.
    const ListQueryState before = panes.query;
    panes.query.sqlOrderInForce = false;
    const int column = panes.shownColumns[static_cast<size_t>(click.iSubItem)];
    // Only the order changes: the rows already read are put in order at once.
    if (SortLoadedRows(app, column, kSortToggle)) {
      SelectRow(app, FindRowByKey(app.mainDb, key));
      return true;
    }
    app.mainDb.HoldResult();
    SearchWatch watch(app);
    app.mainDb.SetProgressCheck([&watch] { return watch.StopRequested(); });
    int failed = SortAndLoad(app, column, kSortToggle);
    app.mainDb.SetProgressCheck({});
    if (failed && app.mainDb.LastWasInterrupted()) {
      panes.query = before;
      app.mainDb.PutBackHeldResult();
      UpdateHeaders(app, panes.query.sqlOrderInForce);
      SyncItemCount(app);
      ShowCount(app);
      SetStatusText(app, 3, Jp("並べ替えを中止しました"));
      SelectRow(app, FindRowByKey(app.mainDb, key));
      return true;
    }
    app.mainDb.DropHeldResult();
    if (!failed) SelectRow(app, FindRowByKey(app.mainDb, key));
    return true;
  }
  if (header.hwndFrom == app.itemList && header.code == NM_CLICK)
    return ClickRatingStars(app, reinterpret_cast<const NMITEMACTIVATE&>(header));
  // Enter or a double click starts the item in its emulator.
  if (header.hwndFrom == app.itemList &&
      (header.code == NM_DBLCLK ||
       (header.code == LVN_KEYDOWN && reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_RETURN))) {
    if (HasCommand(kCmdLaunchDefault)) RunCommand(app, kCmdLaunchDefault);
    return true;
  }
  if (header.hwndFrom == app.groupList && header.code == LVN_ITEMCHANGED) {
    OnGroupSelectionChanged(app, reinterpret_cast<const NMLISTVIEW&>(header));
    return true;
  }
  if (header.hwndFrom == panes.groupTabs && header.code == TCN_SELCHANGE) {
    panes.currentTab = std::max(TabCtrl_GetCurSel(panes.groupTabs), 0);
    BuildGroupList(app, false);
    return true;
  }
  return false;
}

bool DrawListRow(AppState& app, const DRAWITEMSTRUCT& item) {
  if (item.hwndItem == app.itemList) {
    DrawItemRow(app, item);
    return true;
  }
  if (item.hwndItem == app.groupList) {
    DrawGroupRow(app, item);
    return true;
  }
  return false;
}

bool MeasureListRow(AppState& app, MEASUREITEMSTRUCT& item) {
  if (item.CtlType != ODT_LISTVIEW || !Panes().prepared) return false;
  if (item.CtlID == static_cast<UINT>(kItemListId)) {
    item.itemHeight = static_cast<UINT>(std::max(SettingInt(app.settings, "etcSetting", "ItemListHeight"), 8));
    return true;
  }
  if (item.CtlID == static_cast<UINT>(kGroupListId)) {
    item.itemHeight = static_cast<UINT>(std::max(SettingInt(app.settings, "etcSetting", "GroupListHeight"), 8));
    return true;
  }
  return false;
}

}  // namespace vel
