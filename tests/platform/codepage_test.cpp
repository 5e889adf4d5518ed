#include "platform/codepage_utf16.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace vel {
namespace {

TEST(Codepage, AnsiToUtf16TakesEachCharacterWhole) {
  struct Case {
    std::string ansi;
    std::u16string wide;
  } cases[] = {
      {"", u""},
      {"C:\\roms", u"C:\\roms"},
      // 0x83 0x5C: the trail byte is no backslash.
      {Jp("ソフトⅡ"), u"ソフトⅡ"},
      {Jp("ｱｲ"), u"ｱｲ"},
      // A lead byte without its trail byte becomes '?' and takes nothing with it.
      {"a\x83", u"a?"},
      {"\x83'", u"?'"},
  };
  for (const Case& c : cases) EXPECT_EQ(AnsiToUtf16(c.ansi), c.wide) << c.ansi;
}

}  // namespace
}  // namespace vel
