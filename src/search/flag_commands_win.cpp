#include "search/flag_commands_win.h"

#include <windows.h>
#include <commctrl.h>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "db/database_dialogs_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "search/item_flags.h"
#include "search/item_list_query.h"

namespace vel {
namespace {

const char* const kMainTableFailed = "メインテーブルを更新できませんでした。\n";
const char* const kFavouriteTableFailed = "お気に入りテーブルを更新できませんでした。\n";

void RedrawRow(AppState& app, int row) {  // 1-based
  ListView_RedrawItems(app.itemList, row - 1, row - 1);
}

// Stores one value of a mark for each selected row; on success the list's
// cells show the new values (one redraw), on failure nothing changed.
void ChangeSelectedMark(AppState& app, int position, const std::vector<int>& rows,
                        const std::vector<std::string>& values, const SelectionBatch& batch,
                        const char* failureText) {
  std::vector<std::string> keys;
  for (int row : rows) keys.push_back(app.mainDb.Cell(row, kPosFileName));
  if (!RunOnSelection(app, keys, batch, Jp(failureText))) return;
  for (size_t i = 0; i < rows.size(); ++i) app.mainDb.SetCell(rows[i], position, values[i]);
  InvalidateRect(app.itemList, nullptr, FALSE);
}

}  // namespace

void SetRatingOfRow(AppState& app, int row, int value) {
  if (row < 1 || row > app.mainDb.RowCount()) return;
  const std::string key = app.mainDb.Cell(row, kPosFileName);
  const std::string old = app.mainDb.Cell(row, kPosRating);
  app.mainDb.SetCell(row, kPosRating, std::to_string(value));
  RedrawRow(app, row);
  UpdateWindow(app.itemList);
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  auto error = db.Query(RatingStatement(key, value));
  db.Close();
  if (error) {
    app.mainDb.SetCell(row, kPosRating, old);
    RedrawRow(app, row);
    ShowMessage(Jp(kMainTableFailed) + Utf8ToAnsi(*error), Jp("DBエラー"), kMbOk | kMbIconError, app.mainWindow);
  }
}

void ToggleAdult(AppState& app) {
  int focused = ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED) + 1;
  std::vector<int> rows = SelectedItemRows(app);
  if (rows.empty() || focused < 1) return;
  const std::string value = NewAdultValue(app.mainDb.Cell(focused, kPosAdult));
  ChangeSelectedMark(
      app, kPosAdult, rows, std::vector<std::string>(rows.size(), value),
      [&](LibraryConnection& db, const std::vector<std::string>& keys) { return WriteAdult(db, keys, value); },
      kMainTableFailed);
}

void ToggleFavourite(AppState& app, int digit) {
  std::vector<int> rows = SelectedItemRows(app);
  if (rows.empty()) return;
  int focused = ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED) + 1;
  if (focused < 1) focused = rows.front();
  const char d = FavouriteDigit(digit);
  const bool add = FavouriteAdds(app.mainDb.Cell(focused, kPosFave), d);
  std::vector<FlagRow> marks;
  std::vector<std::string> next;
  for (int row : rows) {
    marks.push_back({app.mainDb.Cell(row, kPosFileName), app.mainDb.Cell(row, kPosFave)});
    next.push_back(ChangedFave(marks.back().value, d, add));
  }
  ChangeSelectedMark(
      app, kPosFave, rows, next,
      [&](LibraryConnection& db, const std::vector<std::string>&) { return WriteFavourites(db, marks, next); },
      kFavouriteTableFailed);
}

void RegisterFlagCommands() {
  RegisterCommand(kCmdToggleAdult, ToggleAdult);
  RegisterCommandRange(kCmdFavourite0, kCmdFavourite9,
                       [](AppState& app, int id) { ToggleFavourite(app, id - kCmdFavourite0); });
}

}  // namespace vel
