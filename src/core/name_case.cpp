#include "core/name_case.h"

#include "platform/codepage.h"

namespace vel {
namespace {

// A run of lower-case letters and the distance to their upper case.
struct FoldRange {
  char32_t first, last;
  char32_t down;
};

constexpr FoldRange kFolds[] = {
    {U'a', U'z', 0x20},        // Latin
    {0x03B1, 0x03C1, 0x20},    // Greek alpha .. rho
    {0x03C2, 0x03C2, 0x1F},    // final sigma compares as sigma
    {0x03C3, 0x03C9, 0x20},    // Greek sigma .. omega
    {0x0430, 0x044F, 0x20},    // Cyrillic a .. ya
    {0x0450, 0x045F, 0x50},    // Cyrillic with marks (yo among them)
    {0x2170, 0x217F, 0x10},    // small Roman numerals
    {0xFF41, 0xFF5A, 0x20},    // full-width Latin
};

// Decodes one UTF-8 sequence at `at` (as produced by the conversion, so well
// formed) and moves past it.
char32_t NextCodePoint(const std::string& utf8, size_t& at) {
  unsigned char c = static_cast<unsigned char>(utf8[at++]);
  int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
  char32_t code = extra == 0 ? c : c & (0x3F >> extra);
  for (; extra > 0 && at < utf8.size(); --extra)
    code = (code << 6) | (static_cast<unsigned char>(utf8[at++]) & 0x3F);
  return code;
}

void AppendUtf8(std::string& out, char32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

}  // namespace

char32_t FoldedNameCharacter(char32_t c) {
  for (const FoldRange& range : kFolds)
    if (c >= range.first && c <= range.last) return c - range.down;
  return c;
}

std::string FoldedName(const std::string& cp932) {
  // Single-byte text (most names) needs no conversion: ASCII is its own UTF-8.
  bool ascii = true;
  for (char c : cp932) ascii = ascii && static_cast<unsigned char>(c) < 0x80;
  std::string folded;
  if (ascii) {
    folded = cp932;
    for (char& c : folded)
      if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return folded;
  }
  // Half-width katakana (single bytes 0xA1..0xDF) have no case and convert
  // with the rest.
  const std::string utf8 = AnsiToUtf8(cp932);
  folded.reserve(utf8.size());
  for (size_t at = 0; at < utf8.size();) AppendUtf8(folded, FoldedNameCharacter(NextCodePoint(utf8, at)));
  return folded;
}

}  // namespace vel
