#include "periphery/periphery_commands_win.h"

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"

namespace vel {

void RegisterPeripheryCommands() {
  RegisterCommand(kCmdSettings, [](AppState& app) { ShowConfigDialog(app); });
}

}  // namespace vel
