#include "core/cp932_text.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace vel {
namespace {

TEST(Cp932Text, EqualsIgnoringCaseLooksAtSingleByteLettersOnly) {
  struct Case {
    std::string a, b;
    bool equal;
  } cases[] = {
      {"C:\\Lib\\Velmarook.db", "c:\\lib\\VELMAROOK.DB", true},
      {"abc", "abd", false},
      {"abc", "abcd", false},
      {Jp("ソフト"), Jp("ソフト"), true},
      // A lead byte and a letter-valued trail byte are one character: never folded.
      {std::string("\x83") + "a", std::string("\x83") + "A", false},
      {Jp("表A"), Jp("表a"), true},
  };
  for (const Case& c : cases) EXPECT_EQ(EqualsIgnoringCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
}

TEST(Cp932Text, EndsWithSeparatorSkipsTrailBytes) {
  struct Case {
    std::string text;
    bool ends;
  } cases[] = {
      {"C:\\", true}, {"C:\\games", false}, {Jp("C:\\ソ"), false}, {Jp("C:\\ソ\\"), true},
      {Jp("表"), false}, {"", false},
  };
  for (const Case& c : cases) EXPECT_EQ(EndsWithSeparator(c.text), c.ends) << c.text;
}

TEST(Cp932Text, UpperCasingAndCountingGoByCharacter) {
  // Letter-valued trail bytes inside two-byte characters stay as they are.
  EXPECT_EQ(ToUpperByCharacter(Jp("f12ソa表z")), Jp("F12ソA表Z"));
  EXPECT_EQ(ToUpperByCharacter(std::string("\x83") + "a"), std::string("\x83") + "a");
  EXPECT_EQ(ToUpperByCharacter("x\x83"), "X\x83");  // a lone lead byte at the end
  EXPECT_EQ(CharacterCount(Jp("aソ表b")), 4u);
  EXPECT_EQ(CharacterCount(""), 0u);
}

TEST(Cp932Text, FindingStartsOnCharacterBoundaries) {
  struct Case {
    std::string text, word;
    size_t from;
    size_t exact, ignoringCase;
  } cases[] = {
      {"Notepad - memo", "pad", 0, 4, 4},
      {"Notepad - memo", "PAD", 0, std::string::npos, 4},
      {"abcabc", "abc", 1, 3, 3},
      // "ソ" is 0x83 0x5C: its trail byte is no backslash of the text.
      {Jp("ソ\\x"), "\\", 0, 2, 2},
      // The trail byte of the katakana 0x83 0x61 is no letter "a".
      {std::string("\x83") + "ab", "a", 0, std::string::npos, std::string::npos},
      {std::string("\x83") + "aba", "A", 0, std::string::npos, 3},
      {Jp("ゲームWindow"), Jp("ーム"), 0, 2, 2},
      {"short", "longer word", 0, std::string::npos, std::string::npos},
      {"abc", "", 1, 1, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FindByCharacter(c.text, c.word, c.from), c.exact) << c.text << " / " << c.word;
    EXPECT_EQ(FindIgnoringCase(c.text, c.word, c.from), c.ignoringCase) << c.text << " / " << c.word;
  }
}

TEST(Cp932Text, SplittingSkipsTrailBytes) {
  using Parts = std::vector<std::string>;
  struct Case {
    std::string text;
    Parts parts;
  } cases[] = {
      {"a;b;;c", {"a", "b", "", "c"}},
      {";", {"", ""}},
      {"", {""}},
      // A lead byte takes the next byte with it, even a separator.
      {Jp("ソ;表"), {Jp("ソ"), Jp("表")}},
      {"\x83;x;y", {"\x83;x", "y"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitByCharacter(c.text, ';'), c.parts) << c.text;
}

}  // namespace
}  // namespace vel
