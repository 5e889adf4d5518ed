#pragma once
// The information pane's summary line: a user template with a caption, a
// separator and "{...}" groups holding tokens that stand for row values.
#include <array>
#include <string>

namespace vel {

class LibraryConnection;

inline constexpr int kInfoTokenCount = 12;
inline constexpr const char* kDefaultInfoTemplate =
    "Information /{_country / }{_release / }{CRC:_crc16 / }{CRC32:_crc32 / }{RomNumber:_rom}";

// The values of the twelve tokens, in the order _country, _release, _crc16,
// _crc32, _rom, _model, _price, _media, _device, _players, _save, _sound.
using InfoTokenValues = std::array<std::string, kInfoTokenCount>;

struct InfoLine {
  std::string caption;  // drawn in the pane's title bar ("Information ")
  std::string line;     // drawn right-aligned on the caption's line
};

// Splits the template at its first space (caption with the space, one
// character of separator, body), expands every group (a group whose token's
// value is empty or "0" vanishes) and strips trailing spaces and separators.
// Walked by character: a trail byte is never a brace, a space or a token start.
InfoLine ExpandInfoTemplate(const std::string& templateText, const InfoTokenValues& values);

// The token values of a 1-based row of the loaded list.
InfoTokenValues InfoTokenValuesFromList(LibraryConnection& list, int row);

// A release date with every "-00" removed ("1987-00-00" gives "1987").
std::string ShortReleaseDate(const std::string& date);

}  // namespace vel
