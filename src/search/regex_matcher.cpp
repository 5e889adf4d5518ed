#include "search/regex_matcher.h"

#include <optional>

#include "platform/codepage.h"
#include "platform/codepage_utf16.h"
#include "search/regex_engine.h"

namespace vel {
namespace {

// CP932 text as wide characters (every CP932 character lies in the BMP).
std::u32string Widen(const std::string& cp932) {
  std::u16string utf16 = AnsiToUtf16(cp932);
  return std::u32string(utf16.begin(), utf16.end());
}

std::string Narrow(std::u32string_view wide) {
  std::string utf8;
  for (char32_t cp : wide) {
    if (cp < 0x80) {
      utf8 += static_cast<char>(cp);
    } else if (cp < 0x800) {
      utf8 += static_cast<char>(0xC0 | (cp >> 6));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      utf8 += static_cast<char>(0xE0 | (cp >> 12));
      utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      utf8 += '?';  // CP932 holds nothing beyond the BMP
    }
  }
  return Utf8ToAnsi(utf8);
}

}  // namespace

struct RegexMatcher::Compiled {
  RegexProgram program;
};

RegexMatcher::RegexMatcher() = default;
RegexMatcher::~RegexMatcher() = default;

bool RegexMatcher::SetPattern(const std::string& pattern) {
  compiled_.reset();
  std::optional<RegexProgram> program = RegexProgram::Compile(Widen(pattern), true);
  if (!program) return false;
  compiled_ = std::make_unique<Compiled>(Compiled{std::move(*program)});
  return true;
}

bool RegexMatcher::Match(const std::string& text, std::string* matched) const {
  if (!compiled_) return false;
  std::u32string wide = Widen(text);
  size_t start = 0, end = 0;
  if (!compiled_->program.Search(wide, &start, &end)) return false;
  if (matched) *matched = Narrow(std::u32string_view(wide).substr(start, end - start));
  return true;
}

}  // namespace vel
