#include "platform/popup_menu.h"

#include <windows.h>

namespace vel {

void FillPopupMenu(void* menu, const std::vector<PopupMenuLine>& lines) {
  HMENU target = static_cast<HMENU>(menu);
  while (GetMenuItemCount(target) > 0) DeleteMenu(target, 0, MF_BYPOSITION);
  for (const PopupMenuLine& line : lines) {
    MENUITEMINFOA item{};
    item.cbSize = sizeof item;
    if (line.separator) {
      item.fMask = MIIM_FTYPE;
      item.fType = MFT_SEPARATOR;
    } else {
      item.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
      item.fType = MFT_STRING;
      item.wID = static_cast<UINT>(line.id);
      item.fState = (line.enabled ? MFS_ENABLED : MFS_GRAYED) | (line.isDefault ? MFS_DEFAULT : 0) |
                    (line.checked ? MFS_CHECKED : 0);
      item.dwTypeData = const_cast<char*>(line.text.c_str());
    }
    InsertMenuItemA(target, static_cast<UINT>(GetMenuItemCount(target)), TRUE, &item);
  }
}

}  // namespace vel
