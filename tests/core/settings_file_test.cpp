#include "core/settings_file.h"

#include <gtest/gtest.h>

#include "core/settings.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

// A settings file as a user's looks: the library location, keys of other
// Parts, a comment and Japanese text.
const std::string kBefore =
    "[dbfile]\r\ndistination=\\\\server\\share\\Velmarook.db\r\n"
    "[Window]\r\nWidth=900\r\nSeparateX=200\r\n"
    "; kept as it is\r\n"
    "[Migemo]\r\nFuzzyOn=0\r\n"
    "[FolderPath]\r\nRomDiskImage=D:\\" "\x95\x5C" "\r\n"  // "表", trail byte 0x5C
    "[DefaultEmulator]\r\nPC=pc.ini\r\n";

// What a full disk does to the copy while the writer reports success.
using Spoiler = void (*)(const std::string& copy);

void CutInHalf(const std::string& copy) {
  std::string bytes = test::ReadWholeFile(copy);
  test::WriteWholeFile(copy, bytes.substr(0, bytes.size() / 2));
}
void CutToNothing(const std::string& copy) { test::WriteWholeFile(copy, ""); }
void LoseTheLastSection(const std::string& copy) {
  std::string bytes = test::ReadWholeFile(copy);
  test::WriteWholeFile(copy, bytes.substr(0, bytes.find("[DefaultEmulator]")));
}
void LoseTheCopy(const std::string& copy) { RemoveFile(copy); }
void ChangeAWrittenValue(const std::string& copy) {
  ASSERT_TRUE(WriteProfileText("Window", "Width", "1", copy));
}

class SettingsFileTest : public testing::Test {
 protected:
  void SetUp() override { test::WriteWholeFile(file, kBefore); }
  void TearDown() override { SetSettingsCopyProbe(nullptr); }
  test::TempFolder folder;
  std::string file = folder / "Velmarook2.ini";
  std::vector<ProfileEntry> entries = {{"Window", "Width", "1024"}, {"Window", "Height", "700"},
                                       {"KeyState", "ScrlLk", "1"}};
};

TEST_F(SettingsFileTest, AWholeWriteKeepsEveryOtherKeyAndThePreviousFile) {
  ASSERT_TRUE(WriteSettingsFile(file, entries));
  EXPECT_EQ(ReadProfileInt("Window", "Width", 0, file), 1024);
  EXPECT_EQ(ReadProfileInt("Window", "Height", 0, file), 700);
  EXPECT_EQ(ReadProfileInt("KeyState", "ScrlLk", 0, file), 1);
  EXPECT_EQ(ProfileText("dbfile", "distination", "", file), "\\\\server\\share\\Velmarook.db");
  EXPECT_EQ(ProfileText("FolderPath", "RomDiskImage", "", file), "D:\\\x95\x5C");
  EXPECT_EQ(ProfileText("DefaultEmulator", "PC", "", file), "pc.ini");
  EXPECT_EQ(ReadProfileInt("Window", "SeparateX", 0, file), 200);
  EXPECT_EQ(test::ReadWholeFile(file + kSettingsBackupSuffix), kBefore);
  EXPECT_FALSE(FileExists(file + kSettingsCopySuffix));
}

TEST_F(SettingsFileTest, ACopySpoiledOnTheWayLeavesTheFileAsItWas) {
  struct Case {
    const char* name;
    Spoiler spoil;
  } cases[] = {
      {"cut in half", CutInHalf},
      {"cut to nothing", CutToNothing},
      {"last section lost", LoseTheLastSection},
      {"copy gone", LoseTheCopy},
      {"written value changed", ChangeAWrittenValue},
  };
  for (const Case& c : cases) {
    SetSettingsCopyProbe(c.spoil);
    EXPECT_FALSE(WriteSettingsFile(file, entries)) << c.name;
    EXPECT_EQ(test::ReadWholeFile(file), kBefore) << c.name;
    EXPECT_FALSE(FileExists(file + kSettingsCopySuffix)) << c.name;
    EXPECT_FALSE(FileExists(file + kSettingsBackupSuffix)) << c.name;
  }
  // Once the disk has room again the same write succeeds.
  SetSettingsCopyProbe(nullptr);
  EXPECT_TRUE(WriteSettingsFile(file, entries));
  EXPECT_EQ(ReadProfileInt("Window", "Width", 0, file), 1024);
}

TEST_F(SettingsFileTest, AMissingFileIsCreatedAndAStaleCopyIsNotTakenIn) {
  std::string fresh = folder / "BigPictureLayout.ini";
  test::WriteWholeFile(fresh + kSettingsCopySuffix, "[Window]\r\nStale=1\r\n");
  ASSERT_TRUE(WriteSettingsFile(fresh, entries));
  EXPECT_EQ(ReadProfileInt("Window", "Height", 0, fresh), 700);
  EXPECT_EQ(ReadProfileInt("Window", "Stale", 0, fresh), 0);
  EXPECT_FALSE(FileExists(fresh + kSettingsBackupSuffix));
}

TEST(SettingsFileKeys, ReadAsTheProfileReaderFindsThem) {
  std::vector<IniKeyValue> keys = ReadIniKeys(
      "top=ignored\r\n[ A ]\r\n key = v 1 \r\n;c=x\r\nKEY=second\r\nnovalue\r\n[b]\nq=\"x\"\n[a]\nkey=third\nz=");
  ASSERT_EQ(keys.size(), 3u);
  EXPECT_EQ(keys[0].section, "A");
  EXPECT_EQ(keys[0].key, "key");
  EXPECT_EQ(keys[0].value, "v 1");
  EXPECT_EQ(keys[1].value, "\"x\"");
  EXPECT_EQ(keys[2].section, "a");
  EXPECT_EQ(keys[2].key, "z");
  EXPECT_EQ(keys[2].value, "");
}

}  // namespace
}  // namespace vel
