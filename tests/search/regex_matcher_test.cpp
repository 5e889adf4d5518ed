#include "search/regex_matcher.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace vel {
namespace {

TEST(RegexMatcher, FindsAndReturnsTheMatchedText) {
  struct Case {
    const char* pattern;  // UTF-8 here, CP932 to the matcher
    const char* text;
    bool found;
    const char* matched;
  } cases[] = {
      {"abc", "xxabcxx", true, "abc"},
      {"abc", "xxabxcx", false, ""},
      {"^a.c$", "abc", true, "abc"},
      {"^a.c$", "abcd", false, ""},
      {"[0-9]+", "disk 12 of 34", true, "12"},
      {"ABC", "xabcx", true, "abc"},  // letter case is ignored
      {"", "anything", true, ""},
      // Japanese: a character is one unit, whatever its bytes.
      {"表示", "ソフト表示能力", true, "表示"},
      {"ソ.ト", "ソフト表示", true, "ソフト"},
      {"^.{3}$", "ソフト", true, "ソフト"},
      {"^.{3}$", "ソフトウェア", false, ""},
      {"[ァ-ヶ]+", "abcソフトdef", true, "ソフト"},
      // The trail byte 0x5C of "ソ" is no escape and no backslash.
      {"\\\\", "ソフト", false, ""},
      {"\\\\", "C:\\ソ", true, "\\"},
      {"能", "芸能人", true, "能"},
      {"能", "可能性\\", true, "能"},
  };
  for (const Case& c : cases) {
    RegexMatcher m;
    ASSERT_TRUE(m.SetPattern(Jp(c.pattern))) << c.pattern;
    std::string matched = "<unset>";
    EXPECT_EQ(m.Match(Jp(c.text), &matched), c.found) << c.pattern << " / " << c.text;
    EXPECT_EQ(matched, c.found ? Jp(c.matched) : "<unset>") << c.pattern << " / " << c.text;
    EXPECT_EQ(m.Match(Jp(c.text)), c.found) << c.pattern << " / " << c.text;
  }
}

TEST(RegexMatcher, InvalidPatternMatchesNothing) {
  for (const char* pattern : {"(", "[a-", "a{2,1}", "*x", "\\"}) {
    RegexMatcher m;
    EXPECT_FALSE(m.SetPattern(pattern)) << pattern;
    std::string matched = "<unset>";
    EXPECT_FALSE(m.Match("(a[a-*x\\", &matched)) << pattern;
    EXPECT_EQ(matched, "<unset>");
    EXPECT_FALSE(m.Match("")) << pattern;
  }
  // A bad pattern after a good one drops the good one.
  RegexMatcher m;
  ASSERT_TRUE(m.SetPattern("a"));
  EXPECT_TRUE(m.Match("a"));
  EXPECT_FALSE(m.SetPattern("("));
  EXPECT_FALSE(m.Match("a"));
  // Without any pattern nothing matches either.
  EXPECT_FALSE(RegexMatcher().Match("a"));
}

}  // namespace
}  // namespace vel
