#include "launch/launch_commands_win.h"

#include "core/command_ids.h"
#include "core/commands_win.h"
#include "launch/demo_mode_win.h"
#include "launch/emulator_config_dlg_win.h"
#include "launch/emulator_menu_win.h"
#include "launch/key_script.h"
#include "launch/launch_run_win.h"

namespace vel {

void RegisterLaunchCommands() {
  RegisterCommand(kCmdLaunchDefault, LaunchFocusedItem);
  // Stops the wait for the emulator's window and a start script still running.
  RegisterCommand(kCmdTrayStopWaiting, [](AppState&) {
    AbortWindowWait();
    StopRunningStartScripts();
  });
  RegisterCommand(kCmdEmulatorSettings, ShowEmulatorConfigList);
  RegisterCommandRange(kCmdLaunchWithFirst, kCmdLaunchWithFirst + kDynamicRangeSize - 1, LaunchFromMenu);
  RegisterCommandRange(kCmdLaunchDiskFirst, kCmdLaunchDiskFirst + kDynamicRangeSize - 1, LaunchFromMenu);
  RegisterDynamicMenuFiller(DynamicList::Emulators, FillEmulatorMenu);
  RegisterCommand(kCmdDemoNow, DemoNow);
}

}  // namespace vel
