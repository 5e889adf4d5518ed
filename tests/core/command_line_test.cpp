#include "core/command_line.h"

#include <gtest/gtest.h>

namespace vel {
namespace {

TEST(CommandLine, OptionsArePlainCaseSensitiveSubstrings) {
  const std::string program = "\"C:\\Games\\Velmarook2.exe\"";
  struct Case {
    std::string line;
    Option option;
    bool present;
  } cases[] = {
      {program, Option::NoSplash, false},
      {program + " -nosplash", Option::NoSplash, true},
      {program + " -NoSplash", Option::NoSplash, false},
      {program + " -NOSPLASH", Option::NoSplash, false},
      {program + " -nosplas", Option::NoSplash, false},
      // Inside a longer word, even in the program's own path.
      {"\"C:\\tools-nosplash\\Velmarook2.exe\"", Option::NoSplash, true},
      {program + " -nosplashes", Option::NoSplash, true},
      {program + " x-multibootx", Option::MultiBoot, true},
      // Order and neighbours do not matter.
      {program + " -clearlastquery -rebootwait", Option::RebootWait, true},
      {program + " -clearlastquery -rebootwait", Option::ClearLastQuery, true},
      {program + " -clearlastquery -rebootwait", Option::MultiBoot, false},
      {program + " -rebuildmaster", Option::RebuildMaster, true},
      {program + " -dontshrink", Option::DontShrink, true},
      {program + " - dontshrink", Option::DontShrink, false},
      {program + " /dontshrink", Option::DontShrink, false},
      {"", Option::RebootWait, false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(HasOption(c.line, c.option), c.present) << c.line << " " << OptionText(c.option);
}

TEST(CommandLine, StartUpTestAnswersOneOrZero) {
  const std::string all =
      "Velmarook2.exe -multiboot -rebuildmaster -clearlastquery -dontshrink -nosplash";
  struct Case {
    std::string line;
    int n;
    int answer;
  } cases[] = {
      // n = 0 without "-rebootwait" does not sleep; it answers for "-multiboot".
      {all, 0, 1},
      {"Velmarook2.exe", 0, 0},
      {all, 1, 1},
      {all, 2, 1},
      {all, 3, 1},
      {all, 4, 1},
      {"Velmarook2.exe -multiboot", 1, 0},
      {"Velmarook2.exe -multiboot", 2, 0},
      {"Velmarook2.exe -multiboot", 3, 0},
      {"Velmarook2.exe -multiboot", 4, 0},
      {"Velmarook2.exe -nosplash", 4, 1},
      {"Velmarook2.exe -nosplash", 0, 0},
      {all, 5, 0},
      {all, -1, 0},
  };
  for (const Case& c : cases) EXPECT_EQ(CmdLineOption(c.line, c.n), c.answer) << c.line << " " << c.n;
}

}  // namespace
}  // namespace vel
