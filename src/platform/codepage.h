#pragma once
// Conversion between the program's text (code page 932 bytes) and UTF-8.
#include <string>
#include <string_view>

namespace vel {

// CP932 (the ANSI code page of a Japanese system) to UTF-8.
std::string AnsiToUtf8(std::string_view ansi);
// UTF-8 to CP932; characters without a CP932 form become '?'.
std::string Utf8ToAnsi(std::string_view utf8);

// A Japanese literal of the source (UTF-8) as the program's CP932 text.
inline std::string Jp(std::string_view utf8) { return Utf8ToAnsi(utf8); }

// True for a byte that starts a two-byte CP932 character.
inline bool IsCp932LeadByte(unsigned char c) {
  return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// True for a byte that can end a two-byte CP932 character.
inline bool IsCp932TrailByte(unsigned char c) { return (c >= 0x40 && c <= 0x7E) || (c >= 0x80 && c <= 0xFC); }

// The text with every lead byte that has no trail byte after it (at the end,
// or before a quote, a control character ...) replaced by '?', so that no
// conversion can pair it with the next character and swallow it.
std::string WithWholeCharacters(std::string_view text);

// Bytes of the character at `position`: two for a lead byte with a byte after it.
inline size_t CharacterLength(std::string_view text, size_t position) {
  return IsCp932LeadByte(static_cast<unsigned char>(text[position])) && position + 1 < text.size() ? 2 : 1;
}

}  // namespace vel
