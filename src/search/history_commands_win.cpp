#include "search/history_commands_win.h"

#include <windows.h>
#include <commctrl.h>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "search/item_list_win.h"
#include "search/query_history.h"
#include "search/search_run_win.h"

namespace vel {

void UpdateHistoryButtons(AppState& app) {
  if (!app.historyToolbar) return;
  HistoryButtons buttons = ReadHistoryButtons(app.groupDb);
  SendMessageA(app.historyToolbar, TB_CHANGEBITMAP, kCmdHistoryBack, BackImage(buttons));
  SendMessageA(app.historyToolbar, TB_CHANGEBITMAP, kCmdHistoryForward, ForwardImage(buttons));
}

void RecordSearchInHistory(AppState& app, int target, const std::string& text) {
  SaveHistQuery(app.groupDb, target, text);
  UpdateHistoryButtons(app);
}

void LoadHistQuery(AppState& app, int direction) {
  if (!HistoryNeighbour(app.groupDb, direction)) {
    MessageBeep(MB_OK);
    return;
  }
  ListQueryState& query = ItemListQuery();
  query.sqlOrderInForce = false;
  ClearItemList(app, true);
  HistoryStep step = StepHistory(app.groupDb, app.mainDb, direction);
  if (step.status == HistoryStep::NoEntry) {
    MessageBeep(MB_OK);
    return;
  }
  if (app.searchText) SetWindowTextA(app.searchText, step.entry.subject.c_str());
  if (app.searchTarget)
    SendMessageA(app.searchTarget, CB_SETCURSEL, static_cast<WPARAM>(step.entry.target), 0);
  if (step.status == HistoryStep::Moved) {
    query.groupCondition.clear();
    RefreshItemList(app, 1, "", false, 1, 1);
  }
  UpdateHistoryButtons(app);
}

void RegisterHistoryCommands() {
  RegisterCommand(kCmdHistoryBack, [](AppState& app) { LoadHistQuery(app, -1); });
  RegisterCommand(kCmdHistoryForward, [](AppState& app) { LoadHistQuery(app, 1); });
}

}  // namespace vel
