#include "core/paths.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "platform/codepage.h"

namespace vel {
namespace {

TEST(Paths, EveryPathIsJoinedFromTheBase) {
  AppPaths p = BuildPaths("C:\\Games\\Vel");
  EXPECT_EQ(p.base, "C:\\Games\\Vel");
  EXPECT_EQ(p.settingsFile, "C:\\Games\\Vel\\Velmarook2.ini");
  EXPECT_EQ(p.bigPictureLayoutFile, "C:\\Games\\Vel\\BigPictureLayout.ini");
  EXPECT_EQ(p.popHelpFile, "C:\\Games\\Vel\\resource\\pophelp.txt");
  EXPECT_EQ(p.companionLibrary, "C:\\Games\\Vel\\Velmarook2_Lib.DLL");
  EXPECT_EQ(p.programFile, "C:\\Games\\Vel\\Velmarook2.exe");
  EXPECT_EQ(p.tempFolder, "C:\\Games\\Vel\\TEMP");
  EXPECT_EQ(p.colorThemeFolder, "C:\\Games\\Vel\\color_theme");
  EXPECT_EQ(p.waitAnimation, "C:\\Games\\Vel\\resource\\wait_anime.bmp");
  EXPECT_EQ(p.helpFile, "C:\\Games\\Vel/Velmarook2.chm");
  EXPECT_EQ(p.DefaultDatabase(), "C:\\Games\\Vel\\Velmarook.db");
}

TEST(Paths, BaseKeepsNoTrailingBackslash) {
  struct Case {
    std::string given, base;
  } cases[] = {
      {"C:\\Games", "C:\\Games"},
      {"C:\\Games\\", "C:\\Games"},
      {"C:\\", "C:"},
      {"\\\\server\\share\\", "\\\\server\\share"},
      // The last byte of "ソ" and "表" is 0x5C but no separator.
      {Jp("D:\\ソ"), Jp("D:\\ソ")},
      {Jp("D:\\ソ\\"), Jp("D:\\ソ")},
      {Jp("D:\\表示\\表"), Jp("D:\\表示\\表")},
      // Characters whose second byte is 0x81 or above, or single-byte kana,
      // before a real separator.
      {Jp("D:\\あ\\"), Jp("D:\\あ")},
      {Jp("D:\\ｱ\\"), Jp("D:\\ｱ")},
      {Jp("D:\\ソあ\\"), Jp("D:\\ソあ")},
  };
  for (const Case& c : cases) {
    AppPaths p = BuildPaths(c.given);
    EXPECT_EQ(p.base, c.base) << AnsiToUtf8(c.given);
    EXPECT_EQ(p.settingsFile, c.base + "\\Velmarook2.ini") << AnsiToUtf8(c.given);
  }
}

std::set<std::string> gPresent;
std::vector<std::string> gAsked;
bool FakeFileExists(const std::string& path) {
  gAsked.push_back(path);
  return gPresent.count(path) > 0;
}

TEST(Paths, RegexExtensionPrefersItsOwnLibrary) {
  const std::string base = Jp("C:\\表示");
  const std::string preferred = base + "\\SQLite_RegEx_Extension.dll";
  const std::string fallback = base + "\\sqlite3-onig.dll";
  struct Case {
    std::set<std::string> present;
    int mode;
    std::string path;
  } cases[] = {
      {{preferred, fallback}, 2, preferred},
      {{preferred}, 2, preferred},
      {{fallback}, 1, fallback},
      {{}, 0, ""},
      {{"C:\\SQLite_RegEx_Extension.dll"}, 0, ""},  // only the base folder counts
  };
  for (const Case& c : cases) {
    gPresent = c.present;
    gAsked.clear();
    RegexExtension chosen = ChooseRegexExtension(base, FakeFileExists);
    EXPECT_EQ(chosen.mode, c.mode) << AnsiToUtf8(c.path);
    EXPECT_EQ(chosen.path, c.path);
    ASSERT_FALSE(gAsked.empty());
    EXPECT_EQ(gAsked.front(), preferred);
  }
}

TEST(Paths, OsClassFromTheWindowsVersion) {
  struct Case {
    bool queried;
    unsigned major, minor;
    int osClass;
  } cases[] = {
      {false, 10, 0, 0}, {true, 4, 0, 0},  {true, 5, 0, 0},  {true, 5, 1, 1},
      {true, 5, 2, 1},   {true, 6, 0, 2},  {true, 6, 1, 3},  {true, 6, 3, 3},
      {true, 10, 0, 4},  {true, 10, 1, 4}, {true, 11, 0, 0}, {true, 7, 0, 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(OsClassFromVersion(c.queried, c.major, c.minor), c.osClass)
        << c.queried << " " << c.major << "." << c.minor;
}

}  // namespace
}  // namespace vel
