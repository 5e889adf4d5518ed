#pragma once
// The item that has the focus in the item list.
#include <string>

namespace vel {

struct AppState;

// The focused item's key, or "" when no item has the focus.
std::string FocusedItemKey(AppState& app);

}  // namespace vel
