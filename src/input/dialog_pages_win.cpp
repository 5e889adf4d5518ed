#include "input/dialog_pages_win.h"

#include <commctrl.h>

#include "core/app_state_win.h"

namespace vel {
namespace {

BOOL CALLBACK FindTabs(HWND child, LPARAM found) {
  char name[32] = {};
  GetClassNameA(child, name, sizeof name);
  if (lstrcmpiA(name, WC_TABCONTROLA) != 0 || !IsWindowVisible(child)) return TRUE;
  *reinterpret_cast<HWND*>(found) = child;
  return FALSE;
}

// Selects a page as a click on its tab would: the owner may refuse to leave the
// page (TCN_SELCHANGING) and shows the new one on TCN_SELCHANGE. Sent here
// rather than left to the tab control's focus handling, which moves the
// selection only when the control already holds a focused tab.
void SelectPage(HWND tabs, int page) {
  HWND owner = GetParent(tabs);
  NMHDR header{};
  header.hwndFrom = tabs;
  header.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(tabs));
  header.code = static_cast<UINT>(TCN_SELCHANGING);
  if (SendMessageA(owner, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header)) != 0) return;
  TabCtrl_SetCurSel(tabs, page);
  header.code = static_cast<UINT>(TCN_SELCHANGE);
  SendMessageA(owner, WM_NOTIFY, header.idFrom, reinterpret_cast<LPARAM>(&header));
}

}  // namespace

bool StepDialogPage(AppState& app, const MSG& message) {
  if (message.message != WM_KEYDOWN || message.wParam != VK_TAB || GetKeyState(VK_CONTROL) >= 0) return false;
  HWND front = GetForegroundWindow();
  if (!front || front == app.mainWindow || GetAncestor(front, GA_ROOTOWNER) != app.mainWindow) return false;
  if (message.hwnd != front && !IsChild(front, message.hwnd)) return false;
  HWND tabs = nullptr;
  EnumChildWindows(front, FindTabs, reinterpret_cast<LPARAM>(&tabs));
  if (!tabs) return false;
  int count = TabCtrl_GetItemCount(tabs);
  if (count < 2) return false;
  int current = TabCtrl_GetCurSel(tabs);
  if (current < 0) current = 0;
  int step = GetKeyState(VK_SHIFT) < 0 ? count - 1 : 1;
  SelectPage(tabs, (current + step) % count);
  return true;
}

}  // namespace vel
