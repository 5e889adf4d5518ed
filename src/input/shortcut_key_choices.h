#pragma once
// What the shortcut key dialog offers: the assignable actions with their
// names, the keys of its key list, and the saving of the entries the user
// changed.
#include <array>
#include <string>
#include <vector>

#include "input/shortcut_keys.h"

namespace vel {

struct ShortcutAction {
  int entry;
  std::string name;  // CP932
};
// Entries 0-35 in table order.
std::vector<ShortcutAction> ShortcutDialogActions();

struct KeyChoice {
  std::string name;
  int virtualKey;  // 0 = no key
};
// The keys offered for an entry: none, the letters, the digits, F1-F12 and
// "TAB"; the drag modifier offers "LvDrag" (the ordinary drag) and the
// modifier keys to hold.
std::vector<KeyChoice> KeyChoicesFor(int entry);
// The index of the code's key among the choices, or -1 when it is not offered.
int KeyChoiceIndex(const std::vector<KeyChoice>& choices, int code);

// The dialog's working copy: an entry becomes touched when the user assigns
// it; only touched entries are written, so that a key set by hand (an Alt
// key, a key the list does not offer) stays as it was.
class ShortcutEditing {
 public:
  explicit ShortcutEditing(const ShortcutTable& table) : table_(table) {}
  const ShortcutTable& Table() const { return table_; }
  // Assigns a key (0 = none) with Shift and Ctrl; Alt is not assignable here.
  void Assign(int entry, int virtualKey, bool shift, bool ctrl);
  bool Touched(int entry) const { return touched_[static_cast<size_t>(entry)]; }
  // Writes the touched entries through a copy beside the file that replaces
  // it only when every write succeeded; false (the file unchanged) otherwise.
  bool Save(const std::string& keyFile) const;

 private:
  ShortcutTable table_;
  std::array<bool, kShortcutCount> touched_{};
};

}  // namespace vel
