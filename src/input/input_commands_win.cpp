#include "input/input_commands_win.h"

#include "core/command_ids.h"
#include "core/commands_win.h"
#include "input/joystick_dlg_win.h"

namespace vel {

void RegisterInputCommands() { RegisterCommand(kCmdJoystick, ShowJoystickDialog); }

}  // namespace vel
