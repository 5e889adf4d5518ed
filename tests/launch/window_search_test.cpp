#include "launch/window_search.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace vel {
namespace {

TEST(WindowSearch, WordsAreTheNonEmptyPartsLongEnough) {
  struct Case {
    std::string text;
    int minimumLength;
    std::vector<std::string> words;
  } cases[] = {
      {";Emu;;Disk One;", 0, {"Emu", "Disk One"}},
      {"ab;abc;" + Jp("ゲーム") + ";x", 3, {"abc", Jp("ゲーム")}},
      // Only a single-byte ";" separates.
      {Jp("ソ;表"), 1, {Jp("ソ"), Jp("表")}},
      {"", 0, {}},
      {";;;", 0, {}},
  };
  for (const Case& c : cases) {
    WindowSearch search = MakeWindowSearch(c.text, c.text, c.minimumLength);
    EXPECT_EQ(search.words, c.words) << c.text;
    EXPECT_EQ(search.exclusions, MakeWindowSearch(c.text, c.text).words) << c.text;
  }
  std::string many;
  for (int i = 0; i < 40; ++i) many += "w" + std::to_string(i) + ";";
  EXPECT_EQ(MakeWindowSearch(many, many).words.size(), kMaxSearchWords);
  EXPECT_EQ(MakeWindowSearch(many, many).exclusions.size(), kMaxSearchWords);
}

TEST(WindowSearch, TitlesMatchWithoutRegardToCaseByCharacter) {
  struct Case {
    std::string title, words, exclusions;
    bool matches;
  } cases[] = {
      {"Super Game - Emulator", "super game", "", true},
      {"Super Game - Emulator", "other;EMULATOR", "", true},
      {"Super Game - Emulator", "game", "emulator", false},
      {"Super Game - Emulator", "", "", false},
      {Jp("ドラゴン物語 [FDD]"), Jp("ドラゴン物語"), "", true},
      {Jp("ドラゴン物語 [FDD]"), Jp("ドラゴン物語"), "fdd", false},
      // The trail byte of "ソ" is no backslash of a word.
      {Jp("ソフト"), "\\", "", false},
      {std::string("\x83") + "abc", "A", "", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(TitleMatches(c.title, MakeWindowSearch(c.words, c.exclusions)), c.matches) << c.title;
}

TEST(WindowSearch, TheSearchSkipsWindowsThatCannotBeTheEmulator) {
  std::vector<TopLevelWindow> windows = {
      {1, "Emu hidden", false, false, false},
      {2, "Emu palette", true, true, false},
      {3, "Emu - Velmarook2", true, false, true},
      {4, "Velmarook2 Help", true, false, false},
      {5, "", true, false, false},
      {6, "Emu old", true, false, false},
      {7, "Emu running", true, false, false},
      {8, "Emu second", true, false, false},
  };
  WindowSearch search = MakeWindowSearch("emu;help", "");
  EXPECT_EQ(FindSearchedWindow(windows, search, {6}), 7u);
  EXPECT_EQ(FindSearchedWindow(windows, search), 6u);
  EXPECT_EQ(FindSearchedWindow(windows, MakeWindowSearch("emu", "running;old")), 8u);
  EXPECT_EQ(FindSearchedWindow(windows, MakeWindowSearch("palette;hidden", "")), 0u);

  EXPECT_EQ(FindWindowByTitle(windows, "EMU HIDDEN"), 1u);
  EXPECT_EQ(FindWindowByTitle(windows, "Emu"), 0u);
  EXPECT_EQ(FindWindowByTitle(windows, ""), 0u);
}

}  // namespace
}  // namespace vel
