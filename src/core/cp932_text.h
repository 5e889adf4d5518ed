#pragma once
// Character-wise helpers for CP932 text (a trail byte can look like ASCII).
#include <string>
#include <vector>

namespace vel {

// Compares ignoring the case of single-byte letters only; the bytes of a
// two-byte character are compared as they are.
bool EqualsIgnoringCase(const std::string& a, const std::string& b);

// The text cut to at most `limit` bytes, never inside a two-byte character.
std::string CutToBytes(const std::string& text, size_t limit);

// True when the text's last character is a single-byte backslash.
bool EndsWithSeparator(const std::string& text);

// The text with its single-byte letters in upper case; two-byte characters
// (whose second byte may look like a letter) stay as they are.
std::string ToUpperByCharacter(const std::string& text);

// Number of characters (a two-byte character counts once).
size_t CharacterCount(const std::string& text);

// Position of the first occurrence of `word` in `text` at or after `from`
// that begins on a character boundary; `from` must be one. The second form
// compares single-byte letters without regard to case. npos when none.
size_t FindByCharacter(const std::string& text, const std::string& word, size_t from = 0);
size_t FindIgnoringCase(const std::string& text, const std::string& word, size_t from = 0);

// The parts of the text between single-byte `separator` characters (a trail
// byte is never one), empty parts included; one part for a text without any.
std::vector<std::string> SplitByCharacter(const std::string& text, char separator);

}  // namespace vel
