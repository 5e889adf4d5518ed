#include "periphery/config_pages.h"

#include <gtest/gtest.h>

#include <set>

#include "core/settings_file.h"
#include "periphery/colour_themes.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

class ConfigPagesTest : public testing::Test {
 protected:
  void TearDown() override { SetSettingsCopyProbe(nullptr); }
  Settings Table() {
    SettingsContext context;
    context.fonts = DefaultFontList(4, "");
    return CoreSettingsTable(context);
  }
  Settings Read(int layoutMode) {
    Settings s = Table();
    ReadSettings(s, paths, layoutMode);
    return s;
  }
  // A valid value other than the current one for every field of a page.
  static ConfigValues Changed(const ConfigValues& v, int page) {
    ConfigValues c = v;
    const auto& fields = ConfigFields();
    for (size_t i = 0; i < fields.size(); ++i) {
      const ConfigField& f = fields[i];
      if (f.page != page) continue;
      switch (f.kind) {
        case FieldKind::Flag: c.values[i] = v.values[i] == "1" ? "0" : "1"; break;
        case FieldKind::Choice:
        case FieldKind::Number: {
          int n = std::atoi(v.values[i].c_str());
          c.values[i] = std::to_string(n < f.maximum ? n + 1 : n - 1);
          break;
        }
        case FieldKind::Text: c.values[i] = v.values[i].empty() ? "x" : v.values[i].substr(1); break;
        case FieldKind::Font:
          c.fonts[i].height -= 1;
          c.fonts[i].weight = 700;
          c.fonts[i].italic = 1;
          c.fonts[i].face = "Face" + std::to_string(i);
          break;
      }
    }
    return c;
  }
  test::TempFolder folder;
  AppPaths paths = BuildPaths(folder.Path());
  std::string settingsOnDisk = folder / "Velmarook2.ini";  // the same file as the test reaches it directly
  ColourSet colours = DefaultColourSet({});
};

TEST_F(ConfigPagesTest, FieldsAgreeWithTheSettingsTableAndAreUnique) {
  Settings s = Table();
  std::set<std::string> seen;
  for (const ConfigField& f : ConfigFields()) {
    EXPECT_TRUE(seen.insert(f.section + "\n" + f.key).second) << f.section << " " << f.key;
    EXPECT_FALSE(f.label.empty());
    EXPECT_GE(f.page, 0);
    EXPECT_LT(f.page, kConfigPageCount);
    if (f.kind == FieldKind::Font) {
      for (const char* part : {"Height", "Weight", "Italic", "Face"})
        EXPECT_TRUE(s.index.count(f.section + "\n" + f.key + part)) << f.key << part;
      continue;
    }
    if (f.kind == FieldKind::Choice) {
      EXPECT_EQ(f.maximum - f.minimum + 1, static_cast<int>(f.choices.size()));
    }
    auto at = s.index.find(f.section + "\n" + f.key);
    if (at == s.index.end()) continue;
    const SettingKey& k = s.keys[at->second];
    EXPECT_EQ(k.file, f.file) << f.key;
    if (f.kind != FieldKind::Text) {
      EXPECT_EQ(k.defaultValue, f.defaultValue) << f.key;
    }
  }
}

TEST_F(ConfigPagesTest, EveryPageWritesItsKeysWhereTheyAreReadAndReadsThemBack) {
  for (int layoutMode : {0, 1}) {
    for (int page = 0; page < kConfigPageCount; ++page) {
      Settings s = Read(layoutMode);
      ConfigValues before = LoadConfigValues(s, paths, layoutMode, colours);
      ConfigValues after = Changed(before, page);
      ConfigSaveResult r = SaveConfigValues(before, after, s, paths, layoutMode);
      ASSERT_TRUE(r.ok) << page;
      // As the program holds them, and as a fresh start reads them.
      EXPECT_EQ(LoadConfigValues(s, paths, layoutMode, colours), after) << page;
      EXPECT_EQ(LoadConfigValues(Read(layoutMode), paths, layoutMode, colours), after) << page;
      const auto& fields = ConfigFields();
      for (size_t i = 0; i < fields.size(); ++i) {
        const ConfigField& f = fields[i];
        if (f.page != page || f.kind == FieldKind::Font) continue;
        const std::string& own = f.file == SettingFile::Layout ? LayoutFile(paths, layoutMode) : paths.settingsFile;
        EXPECT_EQ(ProfileText(f.section, f.key, "?", own), after.values[i]) << f.key;
        if (layoutMode == 1 && f.file == SettingFile::Settings) {
          EXPECT_EQ(ProfileText(f.section, f.key, "?", paths.bigPictureLayoutFile), "?") << f.key;
        }
      }
    }
  }
  // The pages of other subsystems in the sections and notation they read
  // (settings-file keys went up once per layout mode).
  EXPECT_EQ(ReadProfileInt("DemoMode", "WaitTime", 0, paths.settingsFile), 8);
  EXPECT_EQ(ReadProfileInt("DemoMode", "WaitTime", 0, paths.bigPictureLayoutFile), 8);
  EXPECT_EQ(ReadProfileInt("AutoSnap", "Interval", 0, paths.settingsFile), 7);
  EXPECT_EQ(ReadProfileInt("SnapShot", "FindOrder3", 0, paths.settingsFile), 5);
  EXPECT_EQ(ReadProfileInt("SnapShot", "Width", 0, paths.bigPictureLayoutFile), 321);
  EXPECT_EQ(ReadProfileInt("ItemListFont", "NormalWeight", 0, paths.settingsFile), 700);
}

TEST_F(ConfigPagesTest, OnlyChangedKeysAreWrittenAndColoursGoWholeIntoTheLayoutFile) {
  Settings s = Read(1);
  ConfigValues before = LoadConfigValues(s, paths, 1, colours);
  ASSERT_TRUE(SaveConfigValues(before, before, s, paths, 1).ok);
  EXPECT_FALSE(FileExists(paths.settingsFile));
  EXPECT_FALSE(FileExists(paths.bigPictureLayoutFile));
  ConfigValues after = before;
  after.colours.colours[15] = 0x202020;
  after.colours.ruleMarkStyle = kRuleNone;
  ConfigSaveResult r = SaveConfigValues(before, after, s, paths, 1);
  ASSERT_TRUE(r.ok);
  EXPECT_TRUE(r.coloursChanged);
  EXPECT_FALSE(FileExists(paths.settingsFile));
  EXPECT_EQ(ReadColourKeys(paths.bigPictureLayoutFile, {}), after.colours);
  EXPECT_EQ(ProfileText("ItemListColor", "RuleMarkType", "", paths.bigPictureLayoutFile), "-1");
}

// A loaded theme's favourite colours, or the shipped ones when it has none,
// go into the layout file and come back for the panes; without a loaded
// theme the marks' colours are left alone.
TEST_F(ConfigPagesTest, ALoadedThemeBringsItsFavouriteColours) {
  CreateFolder(paths.base + "\\resource");
  CreateFolder(paths.colorThemeFolder);
  const std::string withMarks = ColourThemePath(paths.colorThemeFolder, "Marks");
  const std::string without = ColourThemePath(paths.colorThemeFolder, "Plain");
  ASSERT_TRUE(WriteSettingsFile(paths.base + "\\resource\\favorite.ini",
                                {{"FavoriteIgctrBGColor", "0", "#101010"},
                                 {"FavoriteIgctrBGColor", "1", "#111111"},
                                 {"FavoriteIgctrTxtColor", "1", "#EEEEEE"}}));
  ASSERT_TRUE(WriteSettingsFile(withMarks, {{"FavoriteIgctrBGColor", "0", "#D04040"},
                                            {"FavoriteIgctrBGColor", "1", "#0000FF"},
                                            {"FavoriteIgctrTxtColor", "1", "#FFFF00"}}));
  ASSERT_TRUE(WriteSettingsFile(without, {{"ItemListFont", "NormalColor", "#DCDCDC"}}));
  struct Case {
    const char* name;
    int layoutMode;
    std::string theme;
    uint32_t box1, text1, box9;
  } cases[] = {
      {"theme with marks, normal layout", 0, withMarks, 0xFF0000, 0x00FFFF, kFavouriteBoxColour},
      {"theme with marks, BigPicture", 1, withMarks, 0xFF0000, 0x00FFFF, kFavouriteBoxColour},
      {"theme without marks: the shipped file", 0, without, 0x111111, 0xEEEEEE, kFavouriteBoxColour},
  };
  for (const Case& c : cases) {
    Settings s = Read(c.layoutMode);
    ConfigValues before = LoadConfigValues(s, paths, c.layoutMode, colours);
    ConfigValues after = before;
    after.favouriteColourFile = c.theme;
    ConfigSaveResult r = SaveConfigValues(before, after, s, paths, c.layoutMode);
    ASSERT_TRUE(r.ok) << c.name;
    EXPECT_TRUE(r.favouritesChanged) << c.name;
    EXPECT_EQ(r.favourites[1].boxColour, c.box1) << c.name;
    EXPECT_EQ(r.favourites[1].textColour, c.text1) << c.name;
    EXPECT_EQ(r.favourites[9].boxColour, c.box9) << c.name;
    // A fresh start reads the same from the layout file, whatever the shipped file says.
    FavouriteMarks again;
    ReadFavouriteColours(again, LayoutFile(paths, c.layoutMode), folder / "missing.ini");
    for (size_t d = 0; d < again.size(); ++d) {
      EXPECT_EQ(again[d].boxColour, r.favourites[d].boxColour) << c.name << " " << d;
      EXPECT_EQ(again[d].textColour, r.favourites[d].textColour) << c.name << " " << d;
    }
  }
  // Without a theme the marks' keys are not written.
  RemoveFile(paths.settingsFile);
  Settings s = Read(0);
  ConfigValues before = LoadConfigValues(s, paths, 0, colours);
  ConfigValues after = Changed(before, kPageItemList);
  ConfigSaveResult r = SaveConfigValues(before, after, s, paths, 0);
  ASSERT_TRUE(r.ok);
  EXPECT_FALSE(r.favouritesChanged);
  EXPECT_EQ(ProfileText("FavoriteIgctrBGColor", "0", "absent", paths.settingsFile), "absent");
}

// A theme saved from the page holds the marks' colours the page stands for:
// those of the layout file, or of a theme loaded on the page.
TEST_F(ConfigPagesTest, ASavedThemeHoldsThePagesFavouriteColours) {
  CreateFolder(paths.colorThemeFolder);
  ASSERT_TRUE(WriteSettingsFile(LayoutFile(paths, 0), {{"FavoriteIgctrBGColor", "0", "#101010"},
                                                       {"FavoriteIgctrBGColor", "1", "#123456"},
                                                       {"FavoriteIgctrTxtColor", "1", "#FEDCBA"}}));
  const std::string loaded = ColourThemePath(paths.colorThemeFolder, "Loaded");
  ASSERT_TRUE(WriteSettingsFile(loaded, {{"FavoriteIgctrBGColor", "0", "#D04040"}, {"FavoriteIgctrBGColor", "1", "#0000FF"}}));
  Settings s = Read(0);
  ConfigValues page = LoadConfigValues(s, paths, 0, colours);
  struct Case {
    const char* theme;
    std::string loadedFile;
    uint32_t box1, text1;
  } cases[] = {
      {"FromLayout", "", 0x563412, 0xBADCFE},
      {"FromLoaded", loaded, 0xFF0000, kFavouriteTextColour},
  };
  for (const Case& c : cases) {
    page.favouriteColourFile = c.loadedFile;
    ASSERT_EQ(SaveColourTheme(paths.colorThemeFolder, c.theme, page.colours,
                              FavouriteColourEntries(PageFavouriteColours(page, paths, 0))),
              ThemeProblem::None);
    FavouriteMarks back;
    ReadFavouriteColours(back, ColourThemePath(paths.colorThemeFolder, c.theme), paths.base + "\\none.ini");
    EXPECT_EQ(back[1].boxColour, c.box1) << c.theme;
    EXPECT_EQ(back[1].textColour, c.text1) << c.theme;
    EXPECT_EQ(LoadColourTheme(paths.colorThemeFolder, c.theme, {}), page.colours) << c.theme;
  }
}

TEST_F(ConfigPagesTest, AValueNotReadWholeIsNeverWrittenBack) {
  WriteProfileText("etcSetting", "InfoTemplate", "kept", paths.settingsFile);
  Settings s = Read(0);
  s.readWhole[s.index.at("etcSetting\nInfoTemplate")] = false;  // as a value too long for the reader
  ConfigValues before = LoadConfigValues(s, paths, 0, colours);
  ConfigValues after = Changed(before, kPageGeneral);
  ASSERT_TRUE(SaveConfigValues(before, after, s, paths, 0).ok);
  EXPECT_EQ(ProfileText("etcSetting", "InfoTemplate", "", paths.settingsFile), "kept");
  EXPECT_EQ(ReadProfileInt("ItemList", "infoDelay", 0, paths.settingsFile), 301);
}

TEST_F(ConfigPagesTest, AFailedWriteLeavesTheFileAndTheProgramsValues) {
  test::WriteWholeFile(settingsOnDisk, "[Window]\r\nWidth=900\r\n");
  Settings s = Read(0);
  ConfigValues before = LoadConfigValues(s, paths, 0, colours);
  ConfigValues after = Changed(before, kPageItemList);
  // The copy cut short, as on a full disk.
  SetSettingsCopyProbe([this](const std::string&) {
    test::WriteWholeFile(settingsOnDisk + kSettingsCopySuffix, "[Window]\r\n");
  });
  ConfigSaveResult r = SaveConfigValues(before, after, s, paths, 0);
  EXPECT_FALSE(r.ok);
  EXPECT_EQ(r.failedFile, paths.settingsFile);
  EXPECT_EQ(test::ReadWholeFile(settingsOnDisk), "[Window]\r\nWidth=900\r\n");
  EXPECT_EQ(LoadConfigValues(s, paths, 0, colours), before);
}

TEST_F(ConfigPagesTest, TypedValuesAreCheckedWithTheFieldNamed) {
  ConfigField number{kPageGeneral, "Delay", "ItemList", "infoDelay", SettingFile::Settings, FieldKind::Number, "300", 0, 10000, {}};
  ConfigField text{kPageGeneral, "Template", "etcSetting", "InfoTemplate", SettingFile::Settings, FieldKind::Text, "", 0, 5, {}};
  struct Case {
    const ConfigField* field;
    std::string typed;
    bool accepted;
    std::string stored;
  } cases[] = {
      {&number, "0099", true, "99"},  {&number, " 5 ", true, "5"},   {&number, "10000", true, "10000"},
      {&number, "10001", false, ""},  {&number, "-1", false, ""},    {&number, "", false, ""},
      {&number, "1e3", false, ""},    {&number, "99999999999", false, ""},
      {&text, "abcde", true, "abcde"}, {&text, "abcdef", false, ""}, {&text, "a\nb", false, ""},
  };
  for (const Case& c : cases) {
    std::string value = "unchanged";
    std::string message = CheckFieldValue(*c.field, c.typed, value);
    EXPECT_EQ(message.empty(), c.accepted) << c.typed;
    if (c.accepted) {
      EXPECT_EQ(value, c.stored) << c.typed;
    } else {
      EXPECT_NE(message.find(c.field->label), std::string::npos) << c.typed;
    }
  }
}

}  // namespace
}  // namespace vel
