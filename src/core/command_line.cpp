#include "core/command_line.h"

#include "platform/system.h"

namespace vel {

int CmdLineOption(const std::string& commandLine, int n) {
  switch (n) {
    case 0:
      // Lets a restarting predecessor end and release its mutex first.
      if (HasOption(commandLine, Option::RebootWait)) SleepMs(4000);
      return HasOption(commandLine, Option::MultiBoot);
    case 1: return HasOption(commandLine, Option::RebuildMaster);
    case 2: return HasOption(commandLine, Option::ClearLastQuery);
    case 3: return HasOption(commandLine, Option::DontShrink);
    case 4: return HasOption(commandLine, Option::NoSplash);
    default: return 0;
  }
}

}  // namespace vel
