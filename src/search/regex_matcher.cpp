#include "search/regex_matcher.h"

#include <regex>

#include "platform/codepage.h"

namespace vel {
namespace {

// CP932 text as wide characters (every CP932 character lies in the BMP).
std::wstring Widen(const std::string& cp932) {
  std::string utf8 = AnsiToUtf8(cp932);
  std::wstring wide;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    unsigned cp = c;
    size_t len = 1;
    if (c >= 0xF0) cp = c & 0x07, len = 4;
    else if (c >= 0xE0) cp = c & 0x0F, len = 3;
    else if (c >= 0xC0) cp = c & 0x1F, len = 2;
    for (size_t k = 1; k < len && i + k < utf8.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
    wide += static_cast<wchar_t>(cp > 0xFFFF ? L'?' : cp);
    i += len;
  }
  return wide;
}

std::string Narrow(const std::wstring& wide) {
  std::string utf8;
  for (wchar_t w : wide) {
    unsigned cp = static_cast<unsigned>(w) & 0xFFFF;
    if (cp < 0x80) {
      utf8 += static_cast<char>(cp);
    } else if (cp < 0x800) {
      utf8 += static_cast<char>(0xC0 | (cp >> 6));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      utf8 += static_cast<char>(0xE0 | (cp >> 12));
      utf8 += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      utf8 += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return Utf8ToAnsi(utf8);
}

}  // namespace

struct RegexMatcher::Compiled {
  std::wregex expression;
};

RegexMatcher::RegexMatcher() = default;
RegexMatcher::~RegexMatcher() = default;

bool RegexMatcher::SetPattern(const std::string& pattern) {
  compiled_.reset();
  try {
    auto compiled = std::make_unique<Compiled>();
    compiled->expression = std::wregex(Widen(pattern), std::regex::ECMAScript | std::regex::icase);
    compiled_ = std::move(compiled);
    return true;
  } catch (const std::regex_error&) {
    return false;
  }
}

bool RegexMatcher::Match(const std::string& text, std::string* matched) const {
  if (!compiled_) return false;
  std::wstring wide = Widen(text);
  std::wsmatch m;
  bool found = false;
  try {
    found = std::regex_search(wide, m, compiled_->expression);
  } catch (const std::regex_error&) {
    return false;  // too complex for this text
  }
  if (found && matched) *matched = Narrow(m.str(0));
  return found;
}

}  // namespace vel
