#pragma once
// The command table of the main window. Each subsystem registers the
// commands it owns once at start; the menus enable exactly the registered
// ones, and a command without a handler stays greyed.
#include <windows.h>

#include "core/menu_tree.h"

namespace vel {

struct AppState;

using CommandHandler = void (*)(AppState&);
using CommandRangeHandler = void (*)(AppState&, int id);
using DynamicMenuFiller = void (*)(AppState&, HMENU);

// A command: after it runs, the main window comes to the top with the focus
// on the item list.
void RegisterCommand(int id, CommandHandler handler);
// A block of identifiers (the entries of a dynamic menu, the menu buttons)
// run by one handler that is given the identifier; nothing runs after it.
void RegisterCommandRange(int first, int last, CommandRangeHandler handler);
// Fills a dynamic submenu as it opens, in place of the list of names from
// the library.
void RegisterDynamicMenuFiller(DynamicList list, DynamicMenuFiller filler);
// The registered filler of a dynamic submenu, or null.
DynamicMenuFiller FindDynamicMenuFiller(DynamicList list);

// True when the command has an operation (menus enable exactly these).
bool HasCommand(int id);
void RunCommand(AppState& app, int id);

}  // namespace vel
