#pragma once
// Filling a pop-up menu from lines of data, for menus that are rebuilt each
// time they open. The menu is a Windows menu handle.
#include <string>
#include <vector>

namespace vel {

struct PopupMenuLine {
  std::string text;  // CP932
  int id = 0;        // command identifier (0 for a separator)
  bool separator = false;
  bool enabled = true;
  bool isDefault = false;  // drawn bold
  bool checked = false;
};

// Removes every item of the menu, then appends the lines in order.
void FillPopupMenu(void* menu, const std::vector<PopupMenuLine>& lines);

}  // namespace vel
