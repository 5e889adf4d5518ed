#include "editing/creator_text.h"

#include <vector>

namespace vel {
namespace {

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

// The text as characters; a line break ("\r\n", "\r" or "\n") is one ";".
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> chars;
  for (size_t i = 0; i < text.size();) {
    if (text[i] == '\r' || text[i] == '\n') {
      i += (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
      chars.push_back(";");
    } else if (IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size()) {
      chars.push_back(text.substr(i, 2));
      i += 2;
    } else {
      chars.push_back(text.substr(i, 1));
      ++i;
    }
  }
  return chars;
}

bool IsBlank(const std::string& c) { return c == " " || c == "\x81\x40"; }

}  // namespace

std::string NormaliseCreators(const std::string& typed) {
  std::vector<std::string> chars = Characters(typed);
  if (chars.empty() || chars.back() != ";") chars.push_back(";");
  // Blanks beside a separator and empty names, until none is left.
  std::vector<std::string> kept;
  for (const std::string& c : chars) {
    if (c == ";") {
      while (!kept.empty() && (IsBlank(kept.back()) || kept.back() == ";")) kept.pop_back();
      kept.push_back(c);
    } else if (IsBlank(c) && !kept.empty() && kept.back() == ";") {
      continue;
    } else {
      kept.push_back(c);
    }
  }
  // Blanks before the first name stay with it unless a ";" follows them
  // (handled above); a leading separator goes.
  size_t from = 0;
  while (from < kept.size() && kept[from] == ";") ++from;
  std::string text;
  for (size_t i = from; i < kept.size(); ++i) text += kept[i];
  return text;
}

}  // namespace vel
