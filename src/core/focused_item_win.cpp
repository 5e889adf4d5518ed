#include "core/focused_item_win.h"

#include <windows.h>
#include <commctrl.h>

#include "core/app_state_win.h"

namespace vel {

std::string FocusedItemKey(AppState& app) {
  if (!app.itemList) return {};
  int focused = ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED);
  return focused < 0 ? std::string() : app.mainDb.Cell(focused + 1, 0);
}

}  // namespace vel
