// The backup's copy through the shell: every file lands under its own target
// with its bytes, in folders whose CP932 names hold a 0x5C trail byte, and a
// source that is not there fails the copy instead of passing unnoticed.
#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/shell_copy_win.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(ShellCopyWin, CopiesEveryFileToItsTargetOrFails) {
  test::TempFolder folder;
  const std::string from = folder / Jp("表示元"), to = folder / Jp("ソフト先");
  ASSERT_TRUE(CreateFolder(from));
  ASSERT_TRUE(CreateFolder(to));
  struct Case {
    std::string name, bytes, target;
  } cases[] = {
      {"a.d88", "first", "a.d88"},
      {Jp("表.fdi"), std::string(70000, '\x5c'), Jp("表 (2).fdi")},
      {"empty.bin", "", "renamed.bin"},
  };
  std::vector<std::string> sources, targets;
  for (const Case& c : cases) {
    test::WriteWholeFile(from + "\\" + c.name, c.bytes);
    sources.push_back(from + "\\" + c.name);
    targets.push_back(to + "\\" + c.target);
  }
  ASSERT_EQ(ShellCopyFiles(sources, targets, nullptr), ShellCopyResult::kCopied);
  for (const Case& c : cases) {
    EXPECT_EQ(test::ReadWholeFile(to + "\\" + c.target), c.bytes) << c.target;
    EXPECT_EQ(test::ReadWholeFile(from + "\\" + c.name), c.bytes) << c.name;
  }
  // A missing source, after one that copies: the copy as a whole fails.
  EXPECT_EQ(ShellCopyFiles({from + "\\a.d88", from + "\\missing.d88"}, {to + "\\b.d88", to + "\\c.d88"}, nullptr),
            ShellCopyResult::kFailed);
  EXPECT_FALSE(FileExists(to + "\\c.d88"));
  // Lists that do not pair up copy nothing.
  EXPECT_EQ(ShellCopyFiles({}, {}, nullptr), ShellCopyResult::kFailed);
  EXPECT_EQ(ShellCopyFiles({from + "\\a.d88"}, {}, nullptr), ShellCopyResult::kFailed);
}

}  // namespace
}  // namespace vel
