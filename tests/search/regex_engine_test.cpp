#include "search/regex_engine.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

namespace vel {
namespace {

std::u32string Wide(const std::string& utf8) {
  std::u32string out;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    char32_t code = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra; ++k) code = (code << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    out += code;
    i += extra + 1;
  }
  return out;
}

// "found [start,end)" or "none", for readable failures.
std::string Outcome(const std::string& pattern, const std::string& text, bool ignoreCase = true) {
  auto program = RegexProgram::Compile(Wide(pattern), ignoreCase);
  if (!program) return "invalid";
  size_t start = 99, end = 99;
  // Asked only whether there is a match, the search takes its own way: it must agree.
  const bool whether = program->Search(Wide(text));
  if (!program->Search(Wide(text), &start, &end)) return whether ? "none, but a match without position" : "none";
  if (!whether) return "no match without position";
  return std::to_string(start) + "-" + std::to_string(end);
}

TEST(RegexEngine, MatchesAsABacktrackingEngineChooses) {
  struct Case {
    const char* pattern;
    const char* text;
    const char* outcome;
  } cases[] = {
      {"abc", "xxabcxx", "2-5"},
      {"abc", "xxabxcx", "none"},
      {"", "anything", "0-0"},
      {"^a.c$", "abc", "0-3"},
      {"^a.c$", "abcd", "none"},
      {"b$", "abab", "3-4"},
      {"^b", "ab", "none"},
      // The first alternative that matches at the leftmost start wins, not the longest.
      {"a|ab", "xab", "1-2"},
      {"ab|a", "xab", "1-3"},
      {"(?:x|a)(?:b|bc)", "abc", "0-2"},
      // Greedy and lazy repetition.
      {"a+", "baaa", "1-4"},
      {"a+?", "baaa", "1-2"},
      {"a*", "baaa", "0-0"},
      {"<.*>", "<a><b>", "0-6"},
      {"<.*?>", "<a><b>", "0-3"},
      {"a{2}", "aaaa", "0-2"},
      {"a{2,}", "aaaa", "0-4"},
      {"a{1,3}", "aaaa", "0-3"},
      {"a{1,3}?", "aaaa", "0-1"},
      {"x{0}y", "xy", "1-2"},
      {"a{", "a{", "0-2"},  // a brace that starts no count is itself
      // Classes and escapes.
      {"[0-9]+", "disk 12 of 34", "5-7"},
      {"[^a-z ]+", "disk 12", "5-7"},
      {"[]a]+", "x]a]", "1-4"},
      {"[a-]+", "x-a-", "1-4"},
      {"\\d+", "ab123", "2-5"},
      {"\\D+", "12ab3", "2-4"},
      {"\\w+", "  a_1 ", "2-5"},
      {"\\s", "ab c", "2-3"},
      {"[\\d.]+", "v1.25!", "1-5"},
      {"\\bab\\b", "xab ab", "4-6"},
      {"\\Bb", "ab b", "1-2"},
      {"\\.", "a.b", "1-2"},
      {"\\x41\\u3042", "zAあ", "1-3"},
      {".", "\n\na", "2-3"},
      // Letter case: ASCII only.
      {"ABC", "xabcx", "1-4"},
      {"abc", "xABCx", "1-4"},
      {"[A-C]x", "zbx", "1-3"},
      {"[^a]b", "aacb", "2-4"},
      {"(?:Q|[x-z])1", "aq1", "1-3"},
      {"[A-C]+", "xcabx", "1-4"},
      // Members in any order, overlapping and touching, as Migemo lists them.
      {"[zb-dca-b癢e]+", "xyabcdez癢f", "2-9"},
      {"[^zb-dca-b]+", "abQRcd", "2-4"},
      {"[x癢a糜b]", "Ｘ糜", "1-2"},
      {"[y-zb-c]", "Za", "0-1"},
      // Long alternations whose branches start with different characters.
      {"(ka|ki|[かカ]|蚊帳|[a-c]x)", "zzz蚊帳", "3-5"},
      {"(ka|ki|[かカ]|蚊帳|[a-c]x)", "zzzKI", "3-5"},
      {"(ka|ki|[かカ]|蚊帳|[a-c]x)", "zzzkx蚊", "none"},
      {"(ka|ki|[かカ]|蚊帳|[a-c]x)+y", "kakiカy", "0-6"},
      {"x(ka|ki)|k", "xkz", "1-2"},
      {"ａ", "Ａ", "none"},
      // Japanese: a character is one unit.
      {"ソ.ト", "ソフト表示", "0-3"},
      {"^.{3}$", "ソフト", "0-3"},
      {"[ァ-ヶ]+", "abcソフトdef", "3-6"},
      {"(ば|バ|ﾊﾞ)(ん|ン)", "ヴァンパイアとバンパイア", "7-9"},
      // Empty loops end.
      {"(a*)*b", "aaab", "0-4"},
      {"(a|)*c", "aac", "0-3"},
      {"(?:)+x", "x", "0-1"},
  };
  for (const Case& c : cases) EXPECT_EQ(Outcome(c.pattern, c.text), c.outcome) << c.pattern << " / " << c.text;
  EXPECT_EQ(Outcome("ABC", "xabcx", false), "none");
  EXPECT_EQ(Outcome("[A-C]", "b", false), "none");
}

TEST(RegexEngine, InvalidPatternsAreRefused) {
  for (const char* pattern : {"(", ")", "a)", "[a-", "[b-a]", "a{2,1}", "*x", "+", "a**", "\\", "(?=a)", "(?!a)",
                              "\\1", "\\q", "a{1001}", "^*", "[\\D]", "(a|b"})
    EXPECT_EQ(Outcome(pattern, "a"), "invalid") << pattern;
  // Counted repetitions written out beyond the limit are refused, not built.
  EXPECT_EQ(Outcome("(?:(?:a{1000}){1000}){1000}", "a"), "invalid");
}

TEST(RegexEngine, AgreesWithTheStandardEngineOnWhatBothOffer) {
  const char* patterns[] = {"a|ab|abc", "(a|ab)(c|bcd)", "a*?b", "(ab)+", "[^b]+b?", "x?y?z?", "^(a|b)*$",
                            "(?:a|b)*c", "a{2,3}b", "b*", "(a+|b+)+c", "\\w+\\s\\d", ".a.", "^$", "a$|b"};
  const char* texts[] = {"", "a", "ab", "abc", "abcd", "aabbc", "bbb", "xyz", "aab", "aaab", "ab c 1", "cab",
                         "ba", "abab", "aaaaaaaaaaaaaaaaaaaac"};
  for (const char* pattern : patterns) {
    std::regex standard(pattern, std::regex::ECMAScript);
    for (const char* text : texts) {
      std::cmatch m;
      std::string expected = "none";
      if (std::regex_search(text, m, standard))
        expected = std::to_string(m.position(0)) + "-" + std::to_string(m.position(0) + m.length(0));
      EXPECT_EQ(Outcome(pattern, text, false), expected) << pattern << " / " << text;
    }
  }
}

TEST(RegexEngine, APatternThatMakesBacktrackingExplodeStaysLinear) {
  // Backtracking takes 2^n steps here; following every alternative at once takes n.
  std::string text(5000, 'a');
  EXPECT_EQ(Outcome("(a|a)*(a|a)*b", text), "none");
  EXPECT_EQ(Outcome("(a*)*$", text), "0-5000");
}

}  // namespace
}  // namespace vel
