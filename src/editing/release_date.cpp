#include "editing/release_date.h"

#include <cstdlib>

#include "platform/codepage.h"

namespace vel {
namespace {

// The number at `position` (its leading digits; 0 when there are none).
long NumberAt(const std::string& text, size_t position) {
  if (position >= text.size()) return 0;
  return std::strtol(text.c_str() + position, nullptr, 10);
}

std::string TwoDigits(long n) { return (n < 10 ? "0" : "") + std::to_string(n); }

}  // namespace

std::optional<std::string> NormaliseReleaseDate(const std::string& typed) {
  if (typed.empty()) return std::string("0");
  const std::string year = Jp("年"), month = Jp("月"), day = Jp("日");
  // Replace the separators character by character (a trail byte may look like '/').
  std::string text;
  size_t characters = 0;
  for (size_t i = 0; i < typed.size();) {
    size_t width = CharacterLength(typed, i);
    std::string c = typed.substr(i, width);
    i += width;
    ++characters;
    if (c == "/" || c == year || c == month) text += '-';
    else if (c != day) text += c;
  }
  if (characters <= 3) return std::nullopt;
  if (!text.empty() && text.back() == '-') text.pop_back();
  long y = NumberAt(text, 0);
  if (text.size() < 4 || y < 1840 || y > 2060) return std::nullopt;
  long m = 0, d = 0;
  if (text.size() >= 6) {
    m = NumberAt(text, 5);
    if (m < 0 || m > 12) return std::nullopt;
  }
  if (text.size() >= 8) {
    size_t dash = text.find('-', 6);
    d = dash == std::string::npos ? 0 : NumberAt(text, dash + 1);
    if (d < 0 || d > 31) return std::nullopt;
  }
  return std::to_string(y) + "-" + TwoDigits(m) + "-" + TwoDigits(d);
}

}  // namespace vel
