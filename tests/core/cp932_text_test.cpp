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

}  // namespace
}  // namespace vel
