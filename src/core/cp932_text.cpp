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

std::string ToUpperByCharacter(const std::string& text) {
  std::string upper = text;
  for (size_t i = 0; i < upper.size(); i += CharacterLength(upper, i)) {
    unsigned char c = static_cast<unsigned char>(upper[i]);
    if (c >= 'a' && c <= 'z') upper[i] = static_cast<char>(c - 'a' + 'A');
  }
  return upper;
}

size_t CharacterCount(const std::string& text) {
  size_t count = 0;
  for (size_t i = 0; i < text.size(); i += CharacterLength(text, i)) ++count;
  return count;
}

namespace {

unsigned char FoldCase(unsigned char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

// True when `word` stands at `position` of `text`, character by character.
bool MatchesAt(const std::string& text, size_t position, const std::string& word, bool ignoreCase) {
  if (text.size() - position < word.size()) return false;
  for (size_t i = 0; i < word.size();) {
    size_t length = CharacterLength(word, i);
    if (CharacterLength(text, position + i) != length) return false;
    if (length == 2) {
      if (text.compare(position + i, 2, word, i, 2) != 0) return false;
    } else {
      unsigned char a = static_cast<unsigned char>(text[position + i]);
      unsigned char b = static_cast<unsigned char>(word[i]);
      if (ignoreCase ? FoldCase(a) != FoldCase(b) : a != b) return false;
    }
    i += length;
  }
  return true;
}

size_t Find(const std::string& text, const std::string& word, size_t from, bool ignoreCase) {
  for (size_t i = from; i <= text.size(); i += i < text.size() ? CharacterLength(text, i) : 1)
    if (MatchesAt(text, i, word, ignoreCase)) return i;
  return std::string::npos;
}

}  // namespace

size_t FindByCharacter(const std::string& text, const std::string& word, size_t from) {
  return Find(text, word, from, false);
}

size_t FindIgnoringCase(const std::string& text, const std::string& word, size_t from) {
  return Find(text, word, from, true);
}

std::vector<std::string> SplitByCharacter(const std::string& text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); i += CharacterLength(text, i)) {
    if (text[i] != separator || CharacterLength(text, i) != 1) continue;
    parts.push_back(text.substr(start, i - start));
    start = i + 1;
  }
  parts.push_back(text.substr(start));
  return parts;
}

}  // namespace vel
