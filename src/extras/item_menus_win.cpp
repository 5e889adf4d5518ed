#include "extras/item_menus_win.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "db/library_connection.h"
#include "extras/related_files.h"
#include "extras/web_search.h"
#include "extras/web_site_dlg_win.h"
#include "launch/emulator_menu.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/profile.h"
#include "platform/shell_open.h"
#include "platform/system.h"
#include "search/item_list_query.h"

namespace vel {
namespace {

std::string SiteFile(AppState& app) { return app.paths.base + "\\" + kWebSiteFileName; }

// The focused row of the item list (1-based grid row), or 0 for none.
int FocusedRow(AppState& app) {
  if (!app.itemList) return 0;
  int focused = ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED);
  return focused < 0 || focused >= app.mainDb.RowCount() ? 0 : focused + 1;
}

void RemoveAll(HMENU menu) {
  while (GetMenuItemCount(menu) > 0) DeleteMenu(menu, 0, MF_BYPOSITION);
}

void AppendDisabled(HMENU menu, const std::string& text) { AppendMenuA(menu, MF_STRING | MF_GRAYED, 0, text.c_str()); }

void FillWebSiteMenu(AppState& app, HMENU menu) {
  RemoveAll(menu);
  std::vector<WebSite> sites = ReadWebSites(SiteFile(app));
  for (size_t k = 0; k < sites.size(); ++k)
    if (!AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(kCmdWebSiteFirst + static_cast<int>(k)),
                     MenuText(sites[k].name).c_str()))
      break;
  if (sites.empty()) AppendDisabled(menu, Jp("（Web検索の登録がありません）"));
}

void OpenWebSite(AppState& app, int id) {
  int row = FocusedRow(app);
  if (row == 0) return;
  const std::string key = std::to_string(id - kCmdWebSiteFirst + 1);
  const std::string templateText = ProfileText("SiteURL", key, "", SiteFile(app));
  WebSearchItem item;
  item.machine = std::string(app.mainDb.CellUtf8(row, kPosMachine));
  item.title = std::string(app.mainDb.CellUtf8(row, kPosTitle));
  item.maker = std::string(app.mainDb.CellUtf8(row, kPosMaker));
  item.developer = std::string(app.mainDb.CellUtf8(row, kPosDeveloper));
  const std::string url = ExpandSiteUrl(templateText, item);
  if (!IsWebUrl(url)) {
    ShowMessage(UnsupportedUrlMessage(url), Jp("エラー"), kMbOk | kMbIconError, app.mainWindow);
    return;
  }
  ShellOpen({"open", url, ""}, app.mainWindow);
}

// Small square marks for the kinds of related file, drawn once.
HBITMAP KindBitmap(RelatedFileKind kind) {
  static HBITMAP bitmaps[8] = {};
  const int index = static_cast<int>(kind);
  if (bitmaps[index]) return bitmaps[index];
  struct Look {
    COLORREF colour;
    const char* letter;
  } looks[] = {{RGB(40, 110, 200), "W"}, {RGB(60, 160, 60), "I"},  {RGB(200, 40, 40), "P"},
               {RGB(90, 90, 90), "E"},   {RGB(150, 150, 150), "T"}, {RGB(30, 130, 80), "X"},
               {RGB(50, 80, 170), "D"},  {RGB(200, 170, 60), "?"}};
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 16, 16);
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT box{0, 0, 16, 16};
  HBRUSH back = CreateSolidBrush(looks[index].colour);
  FillRect(dc, &box, back);
  DeleteObject(back);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, RGB(255, 255, 255));
  SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
  DrawTextA(dc, looks[index].letter, 1, &box, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  bitmaps[index] = bitmap;
  return bitmap;
}

// The item's entries, read on a connection of its own (the main
// connection's result is the item list); false after the error was shown.
bool ReadEntries(AppState& app, const std::string& key, std::vector<std::string>& entries) {
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  if (auto error = ReadRelatedFiles(db, key, entries)) {
    ShowMessage(Jp(kRelatedFileQueryFailed) + Utf8ToAnsi(*error), Jp("DBエラー"), kMbOk | kMbIconError, app.mainWindow);
    return false;
  }
  return true;
}

void FillRelatedFileMenu(AppState& app, HMENU menu) {
  RemoveAll(menu);
  int row = FocusedRow(app);
  std::vector<std::string> entries;
  if (row == 0 || !ReadEntries(app, app.mainDb.Cell(row, kPosFileName), entries)) return;
  for (const RelatedFileMenuLine& line : RelatedFileMenuLines(entries)) {
    if (line.id == 0) {
      AppendDisabled(menu, line.text);
      continue;
    }
    if (!AppendMenuA(menu, MF_STRING, static_cast<UINT_PTR>(line.id), line.text.c_str())) break;
    MENUITEMINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_BITMAP;
    info.hbmpItem = KindBitmap(line.kind);
    SetMenuItemInfoA(menu, static_cast<UINT>(line.id), FALSE, &info);
  }
}

void OpenRelatedFile(AppState& app, int id) {
  int row = FocusedRow(app);
  if (row == 0) return;
  std::vector<std::string> entries;
  if (!ReadEntries(app, app.mainDb.Cell(row, kPosFileName), entries)) return;
  const size_t index = static_cast<size_t>(id - kCmdRelatedFileFirst);
  if (index >= entries.size()) return;
  const RelatedFileEntry entry = ParseRelatedFileEntry(entries[index]);
  const RelatedFileOpening opening = PlanRelatedFileOpening(entry, FileExists(entry.target));
  switch (opening.way) {
    case RelatedFileOpening::Way::kNotFound:
      ShowMessage(RelatedFileNotFoundMessage(entry.target), Jp("エラー"), kMbOk | kMbIconError, app.mainWindow);
      return;
    case RelatedFileOpening::Way::kShellOpen:
      if (!ShellOpen({"open", opening.file, ""}, app.mainWindow))
        ShowMessage(RelatedFileShellFailedMessage(entry.target), Jp("エラー"), kMbOk | kMbIconError, app.mainWindow);
      return;
    case RelatedFileOpening::Way::kApplication:
      if (!ShellOpen({"", opening.file, opening.parameters}, app.mainWindow))
        ShowMessage(RelatedFileApplicationFailedMessage(entry), Jp("エラー"), kMbOk | kMbIconError, app.mainWindow);
      return;
  }
}

// Tracks a menu owned by the main window, which fills the dynamic submenus
// as they open, and runs the chosen command.
void TrackAndRun(AppState& app, HMENU menu, POINT screen) {
  SetForegroundWindow(app.mainWindow);
  UINT chosen = TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, screen.x, screen.y, 0, app.mainWindow, nullptr);
  PostMessageA(app.mainWindow, WM_NULL, 0, 0);
  if (chosen != 0) RunCommand(app, static_cast<int>(chosen));
}

void ShowFilledMenu(AppState& app, void (*fill)(AppState&, HMENU)) {
  HMENU menu = CreatePopupMenu();
  fill(app, menu);
  POINT at{};
  GetCursorPos(&at);
  TrackAndRun(app, menu, at);
  DestroyMenu(menu);
}

void OpenAbsoluteSnapshotDialog(AppState& app) {
  if (app.showAbsoluteSnapshotDialog) app.showAbsoluteSnapshotDialog();
}

}  // namespace

void RegisterItemExtrasCommands() {
  RegisterCommandRange(kCmdWebSiteFirst, kCmdWebSiteFirst + kWebSiteIdCount - 1, OpenWebSite);
  RegisterCommandRange(kCmdRelatedFileFirst, kCmdRelatedFileFirst + kRelatedFileIdCount - 1, OpenRelatedFile);
  RegisterDynamicMenuFiller(DynamicList::WebSites, FillWebSiteMenu);
  RegisterDynamicMenuFiller(DynamicList::RelatedFiles, FillRelatedFileMenu);
  RegisterCommand(kCmdAbsoluteSnapshot, OpenAbsoluteSnapshotDialog);
  RegisterCommand(kCmdWebSearchSettings, ShowWebSiteDialog);
}

void ShowInformationMenu(AppState& app, POINT screen) {
  if (!app.infoContextMenu) return;
  HMENU menu = GetSubMenu(app.infoContextMenu, 0);
  // The item's own snapshot choice needs its dialog, which may not exist.
  EnableMenuItem(menu, kCmdAbsoluteSnapshot,
                 MF_BYCOMMAND | (app.showAbsoluteSnapshotDialog && FocusedRow(app) ? MF_ENABLED : MF_GRAYED));
  TrackAndRun(app, menu, screen);
}

void ShowWebSiteMenu(AppState& app) { ShowFilledMenu(app, FillWebSiteMenu); }
void ShowRelatedFileMenu(AppState& app) { ShowFilledMenu(app, FillRelatedFileMenu); }

}  // namespace vel
