#pragma once
// The help viewer, loaded at run time so that a system without it still runs.
#include <windows.h>

#include "core/shell_services_win.h"

namespace vel {

struct AppState;

void InitialiseHelp(AppState& app);

// Closes any help window the user opened, then uninitialises.
void UninitialiseHelp(AppState& app);

}  // namespace vel
