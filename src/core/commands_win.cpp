#include "core/commands_win.h"

#include <map>
#include <vector>

#include "core/app_state_win.h"

namespace vel {
namespace {

struct CommandRange {
  int first;
  int last;
  CommandRangeHandler handler;
};

// Filled once on the GUI thread before the first window exists.
struct CommandTable {
  std::map<int, CommandHandler> commands;
  std::vector<CommandRange> ranges;
  std::map<DynamicList, DynamicMenuFiller> fillers;
};

CommandTable& Table() {
  static CommandTable table;
  return table;
}

const CommandRange* FindRange(int id) {
  for (const CommandRange& range : Table().ranges)
    if (id >= range.first && id <= range.last) return &range;
  return nullptr;
}

}  // namespace

void RegisterCommand(int id, CommandHandler handler) { Table().commands[id] = handler; }

void RegisterCommandRange(int first, int last, CommandRangeHandler handler) {
  Table().ranges.push_back({first, last, handler});
}

void RegisterDynamicMenuFiller(DynamicList list, DynamicMenuFiller filler) { Table().fillers[list] = filler; }

DynamicMenuFiller FindDynamicMenuFiller(DynamicList list) {
  auto it = Table().fillers.find(list);
  return it == Table().fillers.end() ? nullptr : it->second;
}

bool HasCommand(int id) { return Table().commands.count(id) != 0 || FindRange(id) != nullptr; }

void RunCommand(AppState& app, int id) {
  if (const CommandRange* range = FindRange(id)) return range->handler(app, id);
  auto it = Table().commands.find(id);
  if (it == Table().commands.end()) return;
  it->second(app);
  if (IsWindow(app.mainWindow) && IsWindowEnabled(app.mainWindow)) {
    SetWindowPos(app.mainWindow, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    SetFocus(app.itemList);
  }
}

}  // namespace vel
