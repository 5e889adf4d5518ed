#include "core/name_case.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace vel {
namespace {

TEST(NameCase, NamesFoldAsTheFileSystemComparesThem) {
  struct Case {
    const char* what;
    std::string a, b;
    bool equal;
  } cases[] = {
      {"ASCII", "Snap\\Xanadu.PNG", "snap\\XANADU.png", true},
      {"full-width Latin", Jp("ソフトａｂｃ"), Jp("ソフトＡＢＣ"), true},
      {"Greek", Jp("Ωmega αβγ"), Jp("ωMEGA ΑΒΓ"), true},
      {"Cyrillic, yo included", Jp("Ёлка Жук"), Jp("ёЛКА жУК"), true},
      {"Roman numerals of both rows", Jp("ゲームⅡⅩ"), Jp("ゲームⅱⅹ"), true},
      // A trail byte is never a letter: 0x83 0x41 and 0x83 0x61 differ.
      {"katakana whose trail bytes look like letters", Jp("ア"), Jp("ヂ"), false},
      {"a Greek letter is not its Latin look-alike", Jp("Οmega"), "Omega", false},
      {"kana have no case", Jp("あ"), Jp("ア"), false},
      {"half-width katakana stay", Jp("ｱ"), Jp("ア"), false},
  };
  for (const Case& c : cases) EXPECT_EQ(FoldedName(c.a) == FoldedName(c.b), c.equal) << c.what;
}

TEST(NameCase, EachLetterFoldsToItsUpperCase) {
  struct Case {
    char32_t lower, upper;
  } cases[] = {{U'a', U'A'}, {U'z', U'Z'},       {0xFF41, 0xFF21}, {0x03B1, 0x0391}, {0x03C9, 0x03A9},
               {0x03C2, 0x03A3}, {0x0430, 0x0410}, {0x044F, 0x042F}, {0x0451, 0x0401}, {0x2170, 0x2160},
               {0x2179, 0x2169}};
  for (const Case& c : cases) {
    EXPECT_EQ(FoldedNameCharacter(c.lower), c.upper) << static_cast<unsigned>(c.lower);
    EXPECT_EQ(FoldedNameCharacter(c.upper), c.upper) << static_cast<unsigned>(c.upper);
  }
  for (char32_t unchanged : {U'0', U'[', char32_t{0x30A2}, char32_t{0x3042}, char32_t{0xFF10}})
    EXPECT_EQ(FoldedNameCharacter(unchanged), unchanged);
  // A prefix of a name folds to a prefix of the folded name.
  EXPECT_EQ(FoldedName(Jp("ΩMEGA (J)")).rfind(FoldedName(Jp("ωmega")), 0), 0u);
}

}  // namespace
}  // namespace vel
