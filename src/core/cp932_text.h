#pragma once
// Character-wise helpers for CP932 text (a trail byte can look like ASCII).
#include <string>

namespace vel {

// Compares ignoring the case of single-byte letters only; the bytes of a
// two-byte character are compared as they are.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

// The text cut to at most `limit` bytes, never inside a two-byte character.
std::string CutToBytes(const std::string& text, size_t limit);

// True when the text's last character is a single-byte backslash.
bool EndsWithSeparator(const std::string& text);

}  // namespace vel
