#pragma once
// The regular-expression engine of the in-list search and of the REGEXP
// operator of our SQL extension (one engine for both). Patterns and texts are
// wide characters, so a character is one unit whatever its bytes. Every
// alternative is followed at once, character by character, so a text costs at
// most its length times the pattern's size and never backtracks.
//
// Syntax: literals; "."; classes "[...]" with ranges and a leading "^";
// escapes \d \D \w \W \s \S \b \B \n \r \t \f \v \0 \xHH \uHHHH and escaped
// specials; groups "(...)" and "(?:...)"; "|"; "*", "+", "?", "{m}", "{m,}",
// "{m,n}", each lazy when followed by "?"; "^" and "$" at the ends of the
// text. Back-references and look-arounds are not offered: such a pattern is
// invalid. Letter case can be ignored for the ASCII letters.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace vel {

class RegexProgram {
 public:
  // Nothing when the pattern is invalid (or too large once its counted
  // repetitions are written out).
  static std::optional<RegexProgram> Compile(std::u32string_view pattern, bool ignoreCase);

  // True when the text holds a match; the leftmost one, and at that start
  // the one a backtracking engine would choose, as [start, end) in characters.
  bool Search(std::u32string_view text, std::size_t* start = nullptr, std::size_t* end = nullptr) const;

  enum class Op : unsigned char { Char, Any, Class, Split, Jump, Match, Begin, End, WordEdge, NotWordEdge };
  struct Instruction {
    Op op;
    char32_t c = 0;  // Char: the (folded) character
    int x = 0;       // Split: first choice; Jump: target; Class: class index
    int y = 0;       // Split: second choice
  };
  struct CharClass {
    std::vector<std::pair<char32_t, char32_t>> ranges;
    bool negated = false;
  };

 private:
  bool ClassHolds(const CharClass& cls, char32_t c) const;
  bool Takes(const Instruction& in, char32_t c) const;
  bool MayStartWith(char32_t c) const;
  void IndexFirsts();

  std::vector<Instruction> program_;
  std::vector<CharClass> classes_;
  bool ignoreCase_ = false;
  // The instructions that can take the first character of every match; empty
  // when a match can start with anything or with nothing at all. The same as
  // one bit per character of the BMP, so that most positions are passed over
  // in one look.
  std::vector<int> firsts_;
  std::vector<std::uint64_t> firstBits_;
  // The same by character, for a search that only asks whether there is a
  // match: at a start only the instructions that take its character are
  // followed, instead of every alternative of the pattern (empty when the
  // first classes are too large to list).
  std::unordered_map<char32_t, std::vector<int>> firstsByChar_;
};

}  // namespace vel
