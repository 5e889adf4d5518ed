#include "platform/codepage.h"

namespace vel {

std::string WithWholeCharacters(std::string_view text) {
  std::string whole;
  whole.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (!IsCp932LeadByte(c)) {
      whole += text[i];
    } else if (i + 1 < text.size() && IsCp932TrailByte(static_cast<unsigned char>(text[i + 1]))) {
      whole += text[i];
      whole += text[++i];
    } else {
      whole += '?';
    }
  }
  return whole;
}

}  // namespace vel
