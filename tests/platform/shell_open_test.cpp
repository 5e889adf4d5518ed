#include "platform/shell_open.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

#include "test_support.h"

namespace vel {
namespace {

void SetVariable(const char* name, const std::string& value) {
#ifdef _WIN32
  _putenv_s(name, value.c_str());
#else
  if (value.empty()) unsetenv(name);
  else setenv(name, value.c_str(), 1);
#endif
}

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(ShellOpen, AnAnswererTakesEveryRequest) {
  std::vector<ShellRequest> asked;
  SetShellAnswerer([&](const ShellRequest& r) {
    asked.push_back(r);
    return r.file != "refused.exe";
  });
  EXPECT_TRUE(ShellOpen({"open", "C:\\m.pdf", ""}));
  EXPECT_FALSE(ShellOpen({"", "refused.exe", "\"a b\""}));
  SetShellAnswerer({});
  ASSERT_EQ(asked.size(), 2u);
  EXPECT_EQ(asked[0].verb, "open");
  EXPECT_EQ(asked[1].parameters, "\"a b\"");
}

// The log a started program is told to keep: web pages are written there
// and taken as opened, nothing is browsed.
TEST(ShellOpen, TheLoggedProgramWritesWebPagesInsteadOfOpeningThem) {
  test::TempFolder folder;
  const std::string log = folder / "shell.log";
  SetVariable(kShellLogVariable, log);
  EXPECT_TRUE(ShellOpen({"open", "https://s/?q=A%20B", ""}));
  EXPECT_TRUE(ShellOpen({"open", "HTTP://x/", ""}));
  SetVariable(kShellLogVariable, "");
  EXPECT_EQ(ReadWhole(log), "open\thttps://s/?q=A%20B\t\nopen\tHTTP://x/\t\n");
}

}  // namespace
}  // namespace vel
