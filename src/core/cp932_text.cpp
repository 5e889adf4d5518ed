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

bool EndsWithSeparator(const std::string& text) {
  bool lastIsSeparator = false;
  for (size_t i = 0; i < text.size(); ++i) {
    if (IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      lastIsSeparator = false;
      ++i;
    } else {
      lastIsSeparator = text[i] == '\\';
    }
  }
  return lastIsSeparator;
}

}  // namespace vel
