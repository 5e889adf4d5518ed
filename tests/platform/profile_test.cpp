#include "platform/profile.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

// Compares long values without printing them whole.
testing::AssertionResult SameBytes(const std::string& got, const std::string& want) {
  if (got == want) return testing::AssertionSuccess();
  size_t at = 0;
  while (at < got.size() && at < want.size() && got[at] == want[at]) ++at;
  return testing::AssertionFailure() << "got " << got.size() << " bytes, want " << want.size()
                                     << ", first difference at " << at;
}

class ProfileTest : public testing::Test {
 protected:
  std::string Read(const std::string& section, const std::string& key,
                   const std::string& defaultValue = "<default>") {
    std::string value;
    EXPECT_TRUE(ReadProfileText(section, key, defaultValue, file, value)) << section << "/" << key;
    return value;
  }
  test::TempFolder folder;
  std::string file = folder / "settings.ini";
};

TEST_F(ProfileTest, MissingFileOrKeyGivesTheDefault) {
  EXPECT_EQ(ReadProfileInt("Window", "Width", 850, file), 850);
  EXPECT_EQ(Read("Window", "Title", "none"), "none");
  EXPECT_EQ(ProfileText("Window", "Title", "", file), "");
  EXPECT_FALSE(FileExists(file)) << "reading must not create the file";

  test::WriteWholeFile(file, "[Window]\r\nWidth=700\r\n[Other]\r\nHeight=5\r\n");
  EXPECT_EQ(ReadProfileInt("Window", "Height", 580, file), 580);  // only in another section
  EXPECT_EQ(ReadProfileInt("Missing", "Width", -3, file), -3);
  EXPECT_EQ(Read("Window", "Title", "none"), "none");
  EXPECT_EQ(ReadProfileInt("Window", "Width", 850, file), 700);
}

TEST_F(ProfileTest, WriteCreatesFileSectionAndKey) {
  ASSERT_TRUE(WriteProfileText("Window", "Width", "850", file));
  EXPECT_TRUE(FileExists(file));
  EXPECT_EQ(ReadProfileInt("Window", "Width", 0, file), 850);
  ASSERT_TRUE(WriteProfileText("Window", "Height", "580", file));
  ASSERT_TRUE(WriteProfileText("ItemList", "infoDelay", "300", file));
  EXPECT_EQ(ReadProfileInt("Window", "Width", 0, file), 850);
  EXPECT_EQ(ReadProfileInt("Window", "Height", 0, file), 580);
  EXPECT_EQ(ReadProfileInt("ItemList", "infoDelay", 0, file), 300);
  // A key added to an existing section lands there, not in the last section.
  ASSERT_TRUE(WriteProfileText("Window", "Maximize", "1", file));
  EXPECT_EQ(ReadProfileInt("Window", "Maximize", 0, file), 1);
  EXPECT_EQ(ReadProfileInt("ItemList", "Maximize", 7, file), 7);
}

TEST_F(ProfileTest, ReplacingAKeyKeepsEverythingElse) {
  test::WriteWholeFile(file,
                       "[A]\r\nx=1\r\ny=2\r\n[B]\r\nx=3\r\nz=4\r\n[C]\r\nx=5\r\n");
  ASSERT_TRUE(WriteProfileText("B", "x", "9", file));
  struct Case {
    const char *section, *key, *value;
  } cases[] = {
      {"A", "x", "1"}, {"A", "y", "2"}, {"B", "x", "9"}, {"B", "z", "4"}, {"C", "x", "5"},
  };
  for (const Case& c : cases) EXPECT_EQ(Read(c.section, c.key), c.value) << c.section << "/" << c.key;
  // Replaced in place, not added a second time.
  std::string text = test::ReadWholeFile(file);
  EXPECT_EQ(text.find("x=3"), std::string::npos) << text;
  EXPECT_EQ(text.find("x=9"), text.rfind("x=9")) << text;
}

TEST_F(ProfileTest, SectionAndKeyNamesIgnoreCase) {
  ASSERT_TRUE(WriteProfileText("Window", "Width", "850", file));
  EXPECT_EQ(ReadProfileInt("WINDOW", "width", 0, file), 850);
  EXPECT_EQ(Read("window", "WIDTH"), "850");
  // Writing with other letter case replaces the key rather than adding one.
  ASSERT_TRUE(WriteProfileText("WINDOW", "WIDTH", "900", file));
  EXPECT_EQ(ReadProfileInt("Window", "Width", 0, file), 900);
  std::string text = test::ReadWholeFile(file);
  size_t keys = 0;
  for (size_t at = 0; (at = text.find("=", at)) != std::string::npos; ++at) ++keys;
  EXPECT_EQ(keys, 1u) << text;
}

TEST_F(ProfileTest, ValuesSurviveWriteAndReadByteForByte) {
  // Every "ソ", "表" and "能" ends in 0x5C, the backslash byte.
  const std::string japanese = Jp("C:\\ソフト\\表示\\能力ソ");
  ASSERT_EQ(japanese.back(), '\\');
  std::string path400 = "D:\\roms";
  while (path400.size() + 8 <= 400) path400 += Jp("\\表ソ能");
  path400.resize(400, 'x');
  // Longer than the reader's first buffers, so it is read again with larger ones.
  std::string long30k;
  while (long30k.size() < 30000) long30k += Jp("ソフト表示能力") + "0123456789";
  struct Case {
    const char* name;
    std::string value;
  } cases[] = {
      {"empty", ""},
      {"japanese", japanese},
      {"equals", "a=b=c"},
      {"path400", path400},
      {"long30k", long30k},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteProfileText("Values", c.name, c.value, file)) << c.name;
    EXPECT_TRUE(SameBytes(Read("Values", c.name), c.value)) << c.name;
  }
  // Still whole after the others were written beside them.
  for (const Case& c : cases) EXPECT_TRUE(SameBytes(Read("Values", c.name), c.value)) << c.name;
}

TEST_F(ProfileTest, ValueOfAHundredKilobytesSurvivesWholeOrTheWriteFails) {
  std::string value;
  while (value.size() < 100 * 1024) value += Jp("ソフト表示能力") + "0123456789";
  ASSERT_TRUE(WriteProfileText("Values", "long", "short", file));
  if (WriteProfileText("Values", "long", value, file)) {
    std::string read;
    EXPECT_TRUE(ReadProfileText("Values", "long", "", file, read));
    EXPECT_TRUE(SameBytes(read, value));
  } else {
    // A refused write leaves the old value.
    EXPECT_EQ(Read("Values", "long"), "short");
  }
}

TEST_F(ProfileTest, IntegersReadTheirLeadingNumber) {
  struct Case {
    const char* text;
    int value;
  } cases[] = {{"-1", -1}, {"0", 0}, {"300", 300}, {"12abc", 12}, {"-2147483648", -2147483647 - 1}};
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteProfileText("Numbers", "n", c.text, file));
    EXPECT_EQ(ReadProfileInt("Numbers", "n", 99, file), c.value) << c.text;
  }
}

}  // namespace
}  // namespace vel
