#include "launch/zip_extractor.h"

#include <gtest/gtest.h>

#include "launch_test_files.h"
#include "platform/codepage.h"
#include "zip_fixture.h"

namespace vel {
namespace {

using test::FileText;
using test::ProgramPath;
using test::PutFile;

class ZipExtractorTest : public testing::Test {
 protected:
  void SetUp() override {
    zip = ProgramPath(folder, "set.zip");
    out = ProgramPath(folder, "out");
    ASSERT_TRUE(CreateFolder(out));
  }
  ZipExtractStatus Extract(const std::string& member, bool skip = false) {
    return ExtractZipMember(zip, member, out, skip);
  }
  std::string Target(const std::string& name) { return out + "\\" + name; }
  // The offset of the first central directory entry.
  static std::size_t Central(const std::string& bytes) { return bytes.find("PK\x01\x02"); }

  test::TempFolder folder;
  std::string zip, out;
};

TEST_F(ZipExtractorTest, ExtractsStoredAndDeflatedMembersUnderTheirOwnNames) {
  const std::string big(70000, 'q');  // more than one piece of inflated data
  PutFile(zip, test::MakeZip({{"DISK1.D88", "stored disk"},
                              {"sub/Disk2.d88", big, true},
                              {Jp("ソフト.d88"), "sjis", true},
                              {"empty.d88", ""}}));
  struct Case {
    std::string member, file, content;
  } cases[] = {
      {"disk1.d88", "DISK1.D88", "stored disk"},
      {"SUB\\DISK2.D88", "Disk2.d88", big},  // without its folder
      {Jp("ソフト.D88"), Jp("ソフト.d88"), "sjis"},
      {"empty.d88", "empty.d88", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Extract(c.member), ZipExtractStatus::kOk) << AnsiToUtf8(c.member);
    EXPECT_EQ(FileText(Target(c.file)), c.content) << AnsiToUtf8(c.member);
    EXPECT_FALSE(FileExists(Target(c.file) + ".velpart"));
  }
  EXPECT_EQ(Extract("sub"), ZipExtractStatus::kMemberNotFound);
  EXPECT_EQ(Extract("Disk2.d88"), ZipExtractStatus::kMemberNotFound);  // the stored name has its folder
}

TEST_F(ZipExtractorTest, TheSkipFlagKeepsAFileThatIsThereWithoutItTheFileIsReplaced) {
  PutFile(zip, test::MakeZip({{"DISK1.D88", "new", true}}));
  PutFile(Target("DISK1.D88"), "played");
  EXPECT_EQ(Extract("DISK1.D88", true), ZipExtractStatus::kOk);
  EXPECT_EQ(FileText(Target("DISK1.D88")), "played");
  EXPECT_EQ(Extract("DISK1.D88", false), ZipExtractStatus::kOk);
  EXPECT_EQ(FileText(Target("DISK1.D88")), "new");
}

TEST_F(ZipExtractorTest, DamagedArchivesAndMembersFailAndLeaveNoFileBehind) {
  const std::string good = test::MakeZip({{"DISK1.D88", "stored disk"}, {"DISK2.D88", std::string(500, 'd'), true}});
  auto changed = [&](std::size_t at, char value) {
    std::string bytes = good;
    bytes[at] = value;
    return bytes;
  };
  const std::size_t central = Central(good);
  const std::size_t second = central + 46 + 9;  // after the fixed part and the first name
  std::string zip64 = good;
  zip64[zip64.size() - 12] = zip64[zip64.size() - 11] = zip64[zip64.size() - 14] = zip64[zip64.size() - 13] = '\xFF';
  struct Case {
    const char* what;
    std::string bytes;
    const char* member;
    ZipExtractStatus expected;
  } cases[] = {
      {"data that does not match its CRC", changed(30 + 9, 'X'), "DISK1.D88", ZipExtractStatus::kDamaged},
      {"deflated data cut short", changed(second + 20, '\x02'), "DISK2.D88", ZipExtractStatus::kDamaged},
      {"a size larger than the data", changed(central + 24, '\x7F'), "DISK1.D88", ZipExtractStatus::kDamaged},
      {"an unknown method", changed(central + 10, '\x0C'), "DISK1.D88", ZipExtractStatus::kUnsupportedMethod},
      {"an encrypted member", changed(central + 8, '\x01'), "DISK1.D88", ZipExtractStatus::kEncrypted},
      {"a broken local header", changed(0, 'X'), "DISK1.D88", ZipExtractStatus::kCorrupt},
      {"a cut-off file", good.substr(0, good.size() - 10), "DISK1.D88", ZipExtractStatus::kTruncated},
      {"ZIP64", zip64, "DISK1.D88", ZipExtractStatus::kZip64},
      {"no ZIP at all", "just text", "DISK1.D88", ZipExtractStatus::kNotZip},
  };
  for (const Case& c : cases) {
    PutFile(zip, c.bytes);
    EXPECT_EQ(Extract(c.member), c.expected) << c.what;
    EXPECT_FALSE(ZipExtractStatusText(c.expected).empty());
    EXPECT_FALSE(FileExists(Target(c.member))) << c.what;
    EXPECT_FALSE(FileExists(Target(c.member) + ".velpart")) << c.what;
  }
  // A damaged member never replaces a file that is there.
  PutFile(zip, changed(30 + 9, 'X'));
  PutFile(Target("DISK1.D88"), "played");
  EXPECT_EQ(Extract("DISK1.D88"), ZipExtractStatus::kDamaged);
  EXPECT_EQ(FileText(Target("DISK1.D88")), "played");
}

TEST_F(ZipExtractorTest, MissingFilesUnusableNamesAndUnwritableFolders) {
  EXPECT_EQ(Extract("DISK1.D88"), ZipExtractStatus::kUnreadable);
  PutFile(zip, test::MakeZip({{"a/..", "up"}, {"C:x.d88", "stream"}, {"DISK1.D88", "disk"}}));
  EXPECT_EQ(Extract("a\\.."), ZipExtractStatus::kUnusableName);
  EXPECT_EQ(Extract("c:x.d88"), ZipExtractStatus::kUnusableName);
  EXPECT_EQ(ExtractZipMember(zip, "DISK1.D88", out + "\\missing", false), ZipExtractStatus::kCannotWrite);
  EXPECT_EQ(ZipExtractStatusText(ZipExtractStatus::kOk), "");
}

}  // namespace
}  // namespace vel
