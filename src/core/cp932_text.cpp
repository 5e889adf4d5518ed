#include "core/cp932_text.h"

#include <cctype>

#include "platform/codepage.h"

namespace vel {

bool EqualsIgnoringCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    unsigned char ca = static_cast<unsigned char>(a[i]);
    unsigned char cb = static_cast<unsigned char>(b[i]);
    if (IsCp932LeadByte(ca)) {
      if (ca != cb || i + 1 >= a.size() || a[i + 1] != b[i + 1]) return false;
      ++i;
      continue;
    }
    if (std::tolower(ca) != std::tolower(cb)) return false;
  }
  return true;
}

std::string CutToBytes(const std::string& text, size_t limit) {
  if (text.size() <= limit) return text;
  size_t end = 0;
  while (end < text.size()) {
    size_t next = end + CharacterLength(text, end);
    if (next > limit) break;
    end = next;
  }
  return text.substr(0, end);
}

bool EndsWithSeparator(const std::string& text) {
  bool lastIsSeparator = false;
  for (size_t i = 0; i < text.size(); i += CharacterLength(text, i))
    lastIsSeparator = CharacterLength(text, i) == 1 && text[i] == '\\';
  return lastIsSeparator;
}

}  // namespace vel
