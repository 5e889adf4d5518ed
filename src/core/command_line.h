#pragma once
// The command-line options: each is a plain, case-sensitive substring of the
// whole command line (program path included); none takes a value.
#include <string>

namespace vel {

enum class Option { RebootWait, MultiBoot, RebuildMaster, ClearLastQuery, DontShrink, NoSplash };

inline constexpr const char* OptionText(Option option) {
  switch (option) {
    case Option::RebootWait: return "-rebootwait";
    case Option::MultiBoot: return "-multiboot";
    case Option::RebuildMaster: return "-rebuildmaster";
    case Option::ClearLastQuery: return "-clearlastquery";
    case Option::DontShrink: return "-dontshrink";
    case Option::NoSplash: return "-nosplash";
  }
  return "";
}

inline bool HasOption(const std::string& commandLine, Option option) {
  return commandLine.find(OptionText(option)) != std::string::npos;
}

// The start-up test: n = 0 sleeps 4000 ms when "-rebootwait" is present and
// answers whether "-multiboot" is; n = 1..4 answer "-rebuildmaster",
// "-clearlastquery", "-dontshrink", "-nosplash". 1 = present, 0 = absent.
int CmdLineOption(const std::string& commandLine, int n);

}  // namespace vel
