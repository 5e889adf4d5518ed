#include "core/settings.h"

#include <gtest/gtest.h>

#include "core/settings_file.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

class SettingsTest : public testing::Test {
 protected:
  Settings Table() {
    SettingsContext context;
    context.fonts = DefaultFontList(4, "");
    return CoreSettingsTable(context);
  }
  test::TempFolder folder;
  AppPaths paths = BuildPaths(folder.Path());
  // The same files as the test writes and reads them directly.
  std::string settingsOnDisk = folder / "Velmarook2.ini";
  std::string layoutOnDisk = folder / "BigPictureLayout.ini";
};

TEST_F(SettingsTest, WithoutAFileTheDefaultsApplyAndExitCreatesIt) {
  ASSERT_FALSE(FileExists(paths.settingsFile));
  EXPECT_EQ(ReadLayoutMode(paths), 0);
  Settings s = Table();
  ReadSettings(s, paths, 0);
  struct Case {
    const char *section, *key;
    int value;
    bool savedAtExit;
  } cases[] = {
      {"Window", "Width", 850, true},
      {"Window", "Height", 580, true},
      {"Window", "SeparateX", 170, true},
      {"Window", "Maximize", 0, true},
      {"ItemList", "infoDelay", 300, true},
      {"ItemList", "clm_disp07", 1, true},
      {"ItemList", "clm_disp08", 0, true},
      {"ItemList", "clm_sort19", 18, true},
      {"MemoWindow", "PositionX", -1, true},
      {"SnapShot", "SaveExPicToSnap", -1, true},
      {"SnapShot", "FindMode4", 1, true},
      {"SnapShot", "FindMode5", 0, true},
      {"SnapShot", "FindOrder10", 10, true},
      {"etcSetting", "DLLSafeLoad", 1, false},
      {"ItemListFont", "DispEmuSetName", 99, false},
      {"ItemListColor", "DispEmuSetName", 0, false},
      {"EditUICheckBoxs", "YomiSpcRmv", 1, true},
      {"EditUICheckBoxs", "UserMemoFont", 1, false},
      {"EditUICheckBoxs", "MakerIncrSrch", 1, false},
      {"EditUICheckBoxs", "TitleIncrSrch", 0, false},
  };
  for (const Case& c : cases) EXPECT_EQ(SettingInt(s, c.section, c.key), c.value) << c.key;
  EXPECT_EQ(SettingText(s, "FolderPath", "RomDiskImage"), "");
  EXPECT_EQ(SettingText(s, "etcSetting", "InfoTemplate"),
            "Information /{_country / }{_release / }{CRC:_crc16 / }{CRC32:_crc32 / }{RomNumber:_rom}");

  ASSERT_TRUE(WriteSettingsAtExit(s, paths, 0));
  ASSERT_TRUE(FileExists(paths.settingsFile));
  for (const Case& c : cases)
    EXPECT_EQ(ReadProfileInt(c.section, c.key, 12345, paths.settingsFile),
              c.savedAtExit ? c.value : 12345)
        << c.section << "/" << c.key;
  EXPECT_FALSE(FileExists(paths.bigPictureLayoutFile));
}

TEST_F(SettingsTest, ExitWritesKeysInTheWritersOrder) {
  Settings s = Table();
  ASSERT_TRUE(WriteSettingsAtExit(s, paths, 0));
  std::string text = test::ReadWholeFile(settingsOnDisk);
  const char* order[] = {"[Window]",   "SeparateX=",  "Width=",       "InfoTabNum=",
                         "[ItemList]", "clm01=",      "clm_sort19=",  "IsPopIdxSrchStr=",
                         "[Migemo]",   "[MemoWindow]", "[SnapWindow]", "[FolderPath]",
                         "opp2fix=",   "[KeyState]",  "ScrlLk="};
  size_t last = 0;
  for (const char* piece : order) {
    size_t at = text.find(piece);
    ASSERT_NE(at, std::string::npos) << piece;
    EXPECT_GE(at, last) << piece;
    last = at;
  }
}

TEST_F(SettingsTest, KeysNotSavedAtExitAreNotWritten) {
  Settings s = Table();
  ReadSettings(s, paths, 0);
  // Even when the program holds a value for them, they belong to their own writers.
  SetSetting(s, "dbfile", "distination", "X:\\shared\\Velmarook.db");
  SetSetting(s, "etcSetting", "DefaultFont", "Face");
  SetSetting(s, "Window", "BigPictureMode", 1);
  SetSetting(s, "CoolBar", "Fix", 1);
  ASSERT_TRUE(WriteSettingsAtExit(s, paths, 0));
  std::string text = test::ReadWholeFile(settingsOnDisk);
  for (const char* key : {"distination", "dbfile", "DefaultFont", "BigPictureMode", "InfoTemplate",
                          "etcSetting", "[CoolBar]", "Fix=", "Face=", "GroupSelect", "EmuConfDlgW"})
    EXPECT_EQ(text.find(key), std::string::npos) << key;
  // The rebar bands' order, widths and breaks are kept at exit.
  EXPECT_NE(text.find("[CoolBar_3]"), std::string::npos);
}

TEST_F(SettingsTest, BigPictureLayoutKeysUseTheLayoutFile) {
  test::WriteWholeFile(settingsOnDisk,
                       "[Window]\r\nBigPictureMode=1\r\nMaximize=0\r\nWidth=700\r\n"
                       "[ItemList]\r\ninfoDelay=120\r\n");
  // The mode is never taken from the layout file.
  test::WriteWholeFile(layoutOnDisk,
                       "[Window]\r\nBigPictureMode=0\r\nMaximize=1\r\nWidth=1200\r\n"
                       "[ItemList]\r\ninfoDelay=999\r\n");
  int mode = ReadLayoutMode(paths);
  ASSERT_EQ(mode, 1);

  Settings normal = Table();
  ReadSettings(normal, paths, 0);
  EXPECT_EQ(SettingInt(normal, "Window", "Maximize"), 0);
  EXPECT_EQ(SettingInt(normal, "Window", "Width"), 700);

  Settings s = Table();
  ReadSettings(s, paths, mode);
  EXPECT_EQ(SettingInt(s, "Window", "Maximize"), 1);
  EXPECT_EQ(SettingInt(s, "Window", "Width"), 1200);
  EXPECT_EQ(SettingInt(s, "ItemList", "infoDelay"), 120);  // a settings-file key

  SetSetting(s, "Window", "Width", 1300);
  SetSetting(s, "ItemList", "infoDelay", 150);
  ASSERT_TRUE(WriteSettingsAtExit(s, paths, mode));
  struct Case {
    const std::string* file;
    const char *section, *key;
    int value;
  } cases[] = {
      {&paths.bigPictureLayoutFile, "Window", "Width", 1300},
      {&paths.bigPictureLayoutFile, "Window", "Maximize", 1},
      {&paths.bigPictureLayoutFile, "ItemList", "infoDelay", 999},  // untouched
      {&paths.bigPictureLayoutFile, "MemoWindow", "Width", 320},
      {&paths.settingsFile, "Window", "Width", 700},  // untouched
      {&paths.settingsFile, "Window", "Maximize", 0},
      {&paths.settingsFile, "Window", "BigPictureMode", 1},
      {&paths.settingsFile, "ItemList", "infoDelay", 150},
      {&paths.settingsFile, "Migemo", "FuzzyOn", 1},
      {&paths.settingsFile, "MemoWindow", "Width", -5},  // layout keys stay out
  };
  for (const Case& c : cases)
    EXPECT_EQ(ReadProfileInt(c.section, c.key, -5, *c.file), c.value)
        << AnsiToUtf8(*c.file) << " " << c.section << "/" << c.key;
}

TEST_F(SettingsTest, ExitOnAFullDiskLeavesEachFileAsItWasAndNamesIt) {
  const std::string settingsBefore =
      "[dbfile]\r\ndistination=\\\\server\\Velmarook.db\r\n[Window]\r\nBigPictureMode=1\r\n";
  const std::string layoutBefore = "[Window]\r\nWidth=1200\r\n";
  test::WriteWholeFile(settingsOnDisk, settingsBefore);
  test::WriteWholeFile(layoutOnDisk, layoutBefore);
  Settings s = Table();
  ReadSettings(s, paths, 1);
  SetSetting(s, "Window", "Width", 1300);
  SetSetting(s, "ItemList", "infoDelay", 150);
  // The disk fills while the layout file is written: the writer cuts the
  // copy short and still reports success.
  SetSettingsCopyProbe([&](const std::string& copy) {
    if (copy.find("BigPictureLayout") == std::string::npos) return;
    const std::string onDisk = layoutOnDisk + kSettingsCopySuffix;
    std::string bytes = test::ReadWholeFile(onDisk);
    test::WriteWholeFile(onDisk, bytes.substr(0, bytes.size() / 2));
  });
  std::string failed;
  EXPECT_FALSE(WriteSettingsAtExit(s, paths, 1, &failed));
  SetSettingsCopyProbe(nullptr);
  EXPECT_EQ(failed, paths.bigPictureLayoutFile);
  EXPECT_EQ(test::ReadWholeFile(layoutOnDisk), layoutBefore);
  // The settings file had room and was written whole.
  EXPECT_EQ(ProfileText("dbfile", "distination", "", paths.settingsFile), "\\\\server\\Velmarook.db");
  EXPECT_EQ(ReadProfileInt("ItemList", "infoDelay", 0, paths.settingsFile), 150);
}

TEST_F(SettingsTest, NormalLayoutNeverCreatesTheLayoutFile) {
  test::WriteWholeFile(settingsOnDisk, "[Window]\r\nBigPictureMode=0\r\nMaximize=1\r\n");
  Settings s = Table();
  ReadSettings(s, paths, ReadLayoutMode(paths));
  EXPECT_EQ(SettingInt(s, "Window", "Maximize"), 1);
  ASSERT_TRUE(WriteSettingsAtExit(s, paths, 0));
  EXPECT_FALSE(FileExists(paths.bigPictureLayoutFile));
  EXPECT_EQ(ReadProfileInt("Window", "Maximize", 0, paths.settingsFile), 1);
  EXPECT_EQ(ReadProfileInt("Window", "BigPictureMode", 5, paths.settingsFile), 0);
}

TEST_F(SettingsTest, LongJapaneseTextValueSurvivesReadAndWrite) {
  // 400 bytes with trail bytes 0x5C ("表", "ソ", "能") all along.
  std::string value = "D:\\roms";
  while (value.size() + 8 <= 400) value += Jp("\\表ソ能");
  value.resize(400, 'x');
  ASSERT_TRUE(WriteProfileText("FolderPath", "RomDiskImage", value, paths.settingsFile));
  Settings s = Table();
  ReadSettings(s, paths, 0);
  EXPECT_EQ(SettingText(s, "FolderPath", "RomDiskImage"), value);
  ASSERT_TRUE(WriteSettingsAtExit(s, paths, 0));
  EXPECT_EQ(ProfileText("FolderPath", "RomDiskImage", "", paths.settingsFile), value);
}

TEST_F(SettingsTest, UnknownKeysReadAsNothingAndAreNotAdded) {
  Settings s = Table();
  size_t keys = s.keys.size();
  SetSetting(s, "Window", "NoSuchKey", 5);
  EXPECT_EQ(s.keys.size(), keys);
  EXPECT_EQ(SettingInt(s, "Window", "NoSuchKey"), 0);
  EXPECT_EQ(SettingText(s, "Window", "NoSuchKey"), "");
  // Section and key are one pair: the same key name in another section is another key.
  SetSetting(s, "MemoWindow", "Width", 111);
  EXPECT_EQ(SettingInt(s, "Window", "Width"), 850);
}

TEST(DefaultFonts, ListByOsClassOrFromTheSetting) {
  const FontList classic = {Jp("ＭＳ Ｐゴシック"), Jp("ＭＳ Ｐ明朝"), Jp("ＭＳ ゴシック"),
                            "MS UI Gothic"};
  const FontList vista = {"Meiryo UI", Jp("游明朝"), Jp("ＭＳ ゴシック"), "Meiryo UI"};
  const FontList current = {"Yu Gothic UI", Jp("游明朝"), Jp("ＭＳ ゴシック"), "Meiryo UI"};
  struct Case {
    int osClass;
    std::string setting;
    FontList fonts;
  } cases[] = {
      {0, "", classic},
      {1, "", classic},
      {2, "", classic},
      {3, "", vista},
      {4, "", current},
      {4, "A,B,C,D", {"A", "B", "C", "D"}},
      {0, Jp("表示,ソ"), {Jp("表示"), Jp("ソ"), "", ""}},
      {4, "Only", {"Only", "", "", ""}},
      {4, "A,,C", {"A", "", "C", ""}},
      {4, "A,B,C,D,E", {"A", "B", "C", "D"}},  // names past the fourth are not used
  };
  for (const Case& c : cases) {
    FontList fonts = DefaultFontList(c.osClass, c.setting);
    for (size_t i = 0; i < fonts.size(); ++i)
      EXPECT_EQ(fonts[i], c.fonts[i]) << c.osClass << " '" << AnsiToUtf8(c.setting) << "' " << i;
  }
}

TEST(DefaultFonts, FaceKeysDefaultToTheirEntryOfTheList) {
  SettingsContext context;
  context.fonts = {"F0", "F1", "F2", "F3"};
  Settings s = CoreSettingsTable(context);
  struct Case {
    const char *section, *prefix;
    int height, weight;
    const char* face;
  } cases[] = {
      {"InfoViewFont", "Maker", -18, 400, "F1"}, {"InfoViewFont", "Title", -24, 400, "F0"},
      {"InfoViewFont", "Mini", -11, 700, "F3"},  {"ItemListFont", "Ply", -15, 700, "F0"},
      {"ItemListFont", "Emuset", -8, 400, "F0"}, {"QueryViewFont", "Normal", -12, 400, "F1"},
      {"GroupListFont", "Normal", -12, 400, "F1"},
  };
  for (const Case& c : cases) {
    FontSetting f = ReadFontSetting(s, c.section, c.prefix);
    EXPECT_EQ(f.height, c.height) << c.section << c.prefix;
    EXPECT_EQ(f.weight, c.weight) << c.section << c.prefix;
    EXPECT_EQ(f.italic, 0) << c.section << c.prefix;
    EXPECT_EQ(f.face, c.face) << c.section << c.prefix;
  }
  EXPECT_EQ(SettingText(s, "MemoFont", "Face"), "F2");
}

TEST(DefaultFonts, ReadFromTheSettingsFile) {
  test::TempFolder folder;
  AppPaths paths = BuildPaths(folder.Path());
  EXPECT_EQ(ReadDefaultFontList(paths, 3)[0], "Meiryo UI");
  ASSERT_TRUE(WriteProfileText("etcSetting", "DefaultFont", Jp("表示,B"), paths.settingsFile));
  FontList fonts = ReadDefaultFontList(paths, 3);
  EXPECT_EQ(fonts[0], Jp("表示"));
  EXPECT_EQ(fonts[1], "B");
  EXPECT_EQ(fonts[2], "");
}

TEST(SettingsKeys, ColumnKeysHaveTwoDigits) {
  struct Case {
    const char* prefix;
    int column;
    const char* key;
  } cases[] = {{"clm_disp", 7, "clm_disp07"}, {"clm", 1, "clm01"}, {"clm_sort", 10, "clm_sort10"},
               {"clm", 19, "clm19"},          {"clm", 0, "clm00"}};
  for (const Case& c : cases) EXPECT_EQ(ColumnKey(c.prefix, c.column), c.key);
}

TEST(SettingsKeys, WindowPositionDefaultsCentreTheWindowRounded) {
  struct Case {
    int width, height, x, y;
  } cases[] = {
      {1280, 1024, 215, 222},
      {1920, 1080, 535, 250},
      {1365, 767, 258, 94},  // halves round up
      {640, 480, -105, -50},
  };
  for (const Case& c : cases) {
    SettingsContext context;
    context.screenWidth = c.width;
    context.screenHeight = c.height;
    Settings s = CoreSettingsTable(context);
    EXPECT_EQ(SettingInt(s, "Window", "PositionX"), c.x) << c.width;
    EXPECT_EQ(SettingInt(s, "Window", "PositionY"), c.y) << c.height;
  }
}

}  // namespace
}  // namespace vel
