#include "periphery/colours.h"

#include <gtest/gtest.h>

#include "core/paths.h"
#include "periphery/colour_themes.h"
#include "platform/codepage.h"
#include "platform/file_operations.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

constexpr Colour kDefault = 0x123456;

TEST(ColourNotation, ReadsEveryFormAndMasksBadNumbers) {
  struct Case {
    const char* text;
    Colour expected;
  } cases[] = {
      {"#1E90FF", 0xFF901E}, {"#1e90ff", 0xFF901E}, {"#FFF", 0xFFFFFF}, {"#F80", 0x0088FF},
      {"#12", 0},            {"#GGGGGG", 0},         {"#1234567", 0},     {"#", 0},
      {"255", 0x0000FF},     {"N", kDefault},        {"", 0},             {"-1", 0xFFFFFF},
      {"16777216", 0},       {"16777217", 1},        {"99999999999999999999", 0x0FFFFF},
      {"12abc", 12},
  };
  for (const Case& c : cases) EXPECT_EQ(ParseColour(c.text, kDefault), c.expected) << c.text;
}

TEST(ColourNotation, WritesUpperCaseRgbAndReadsItBack) {
  EXPECT_EQ(FormatColour(0xFF901E), "#1E90FF");
  EXPECT_EQ(FormatColour(0x0088FF), "#FF8800");
  EXPECT_EQ(FormatColour(0), "#000000");
  for (Colour c : {0u, 0xFFFFFFu, 0xFF901Eu, 0x010203u, 0xABCDEFu})
    EXPECT_EQ(ParseColour(FormatColour(c), kDefault), c);
}

TEST(RuleMarkType, StoredValueIsOneBelowTheStyle) {
  struct Case {
    int stored, style;
  } cases[] = {{-1, 0}, {0, 1}, {1, 2}, {2, 0}, {3, 0}, {-2, 0}, {-100, 0}, {2147483647, 0}, {-2147483647 - 1, 0}};
  for (const Case& c : cases) EXPECT_EQ(RuleMarkStyleFromStored(c.stored), c.style) << c.stored;
  // 2 reads as style 0, is written back as -1 and reads again as style 0.
  EXPECT_EQ(RuleMarkStoredFromStyle(RuleMarkStyleFromStored(2)), -1);
  EXPECT_EQ(RuleMarkStyleFromStored(RuleMarkStoredFromStyle(0)), 0);
}

class ColourFiles : public testing::Test {
 protected:
  test::TempFolder folder;
  std::string themes = folder.Path() + "\\color_theme";
  SystemColours system{0x00FF00, 0x0000FF};
};

TEST_F(ColourFiles, AFileWithoutKeysGivesTheDefaultsWithTheSystemSelection) {
  ColourSet set = ReadColourKeys(folder.Path() + "\\none.ini", system);
  EXPECT_EQ(set.Get("ItemListColor", "Line2Color"), 0xE6E6E6u);
  EXPECT_EQ(set.Get("InfoViewFont", "MakerColor"), 0x646464u);
  EXPECT_EQ(set.Get("ItemListFont", "SelectColor"), 0x00FF00u);
  EXPECT_EQ(set.Get("ItemListColor", "SelectBackColor"), 0x0000FFu);
  EXPECT_EQ(set.ruleMarkStyle, kRuleSolid);
  EXPECT_EQ(set.cursorType, 1);
  EXPECT_EQ(set.selLineUseSysColor, 1);
}

TEST_F(ColourFiles, ThemeSavedHoldsEveryKeyAndLoadsBackTheSame) {
  ColourSet set = DefaultColourSet(system);
  set.colours[5] = 0x202020;
  set.ruleMarkStyle = kRuleNone;
  set.ruleMarkStyleH = kRuleDotted;
  set.cursorType = 0;
  const std::string name = Jp("ソフト青");  // its second byte pair holds 0x5C
  ASSERT_EQ(SaveColourTheme(themes, name, set), ThemeProblem::None);
  const std::string path = ColourThemePath(themes, name);
  for (const ColourKey& k : ColourKeys()) EXPECT_NE(ProfileText(k.section, k.key, "", path), "") << k.key;
  EXPECT_EQ(ProfileText("InfoViewColor", "BackColor", "", path), "#202020");
  EXPECT_EQ(ProfileText("ItemListColor", "RuleMarkType", "", path), "-1");
  EXPECT_EQ(LoadColourTheme(themes, name, system), set);
  EXPECT_FALSE(FileExists(path + ".new"));
  EXPECT_EQ(ListColourThemes(themes), std::vector<std::string>{name});

  // A second save replaces the file whole: keys written by hand are gone.
  WriteProfileText("Extra", "Key", "1", path);
  ASSERT_EQ(SaveColourTheme(themes, name, DefaultColourSet(system)), ThemeProblem::None);
  EXPECT_EQ(ProfileText("Extra", "Key", "", path), "");
  EXPECT_EQ(LoadColourTheme(themes, name, system), DefaultColourSet(system));
}

TEST_F(ColourFiles, AThemeMissingKeysGivesTheirDefaults) {
  CreateFolder(themes);
  const std::string path = ColourThemePath(themes, "half");
  WriteProfileText("ItemListColor", "BackColor", "#000", path);
  ColourSet set = LoadColourTheme(themes, "half", system);
  ColourSet expected = DefaultColourSet(system);
  expected.colours[15] = 0;
  EXPECT_EQ(set, expected);
}

TEST_F(ColourFiles, NamesAreCheckedByCharacter) {
  struct Case {
    std::string name;
    ThemeProblem problem;
  } cases[] = {
      {"CON", ThemeProblem::BadName},          {"con", ThemeProblem::BadName},
      {"a\\b", ThemeProblem::BadName},         {"a.b", ThemeProblem::BadName},
      {"", ThemeProblem::BadName},             {Jp("表|"), ThemeProblem::BadName},
      {" a", ThemeProblem::BadName},           {"a*", ThemeProblem::BadName},
      {Jp("ソフト"), ThemeProblem::None},      {"Dark", ThemeProblem::None},
      {std::string(250, 'a'), ThemeProblem::TooLong},
  };
  for (const Case& c : cases) EXPECT_EQ(CheckColourThemeName(themes, c.name), c.problem) << c.name;
  EXPECT_EQ(SaveColourTheme(themes, "CON", DefaultColourSet(system)), ThemeProblem::BadName);
  EXPECT_FALSE(FileExists(themes + "\\CON.col"));
  EXPECT_EQ(ThemeProblemMessage(ThemeProblem::TooLong, ""), Jp("カラーテーマ名が長すぎます。"));
}

TEST_F(ColourFiles, OnlyNamesEndingInColAreListedAndDeleted) {
  EXPECT_EQ(ThemeNamesOf({"b.col", "x.colour", "a.COL", ".col", "c.col.bak", "d.txt"}),
            (std::vector<std::string>{"a", "b"}));
  ASSERT_EQ(SaveColourTheme(themes, "Dark", DefaultColourSet(system)), ThemeProblem::None);
  WriteProfileText("ItemListColor", "BackColor", "#000", themes + "\\x.colour");
  EXPECT_EQ(ListColourThemes(themes), std::vector<std::string>{"Dark"});
  EXPECT_TRUE(DeleteColourTheme(themes, "x"));  // not listed: nothing happens
  EXPECT_TRUE(FileExists(themes + "\\x.colour"));
  EXPECT_TRUE(DeleteColourTheme(themes, "Dark"));
  EXPECT_FALSE(FileExists(ColourThemePath(themes, "Dark")));
  EXPECT_TRUE(ListColourThemes(themes).empty());
}

}  // namespace
}  // namespace vel
