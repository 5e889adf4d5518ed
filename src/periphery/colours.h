#pragma once
// The colours of the panes: their keys, the notation of a colour value in a
// settings or theme file, and the one reader and writer both kinds of file
// share.
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "core/settings_file.h"

namespace vel {

// A Windows colour value: red in the low byte, then green, then blue.
using Colour = std::uint32_t;

// "#RRGGBB", "#RGB" (each digit doubled), "N" (the key is absent: the
// default) or a decimal number. A hexadecimal text of any other length, or
// with a digit that is not hexadecimal, reads as 0; a decimal value is masked
// to the 24 colour bits, so -1 and 16777216 can never give an invalid colour.
Colour ParseColour(const std::string& text, Colour defaultColour);
// "#" and red, green and blue as two upper-case hexadecimal digits each.
std::string FormatColour(Colour colour);

struct ColourKey {
  const char* section;
  const char* key;
  Colour defaultColour;
  const char* label;  // UTF-8, shown on the colour page
};

inline constexpr int kColourKeyCount = 24;
inline constexpr int kSelectTextIndex = 11;  // `SelectColor`: the system's highlight text by default
inline constexpr int kSelectBackIndex = 16;  // `SelectBackColor`: the system's highlight by default
const std::array<ColourKey, kColourKeyCount>& ColourKeys();

// Line styles of the item list's rule lines.
enum RuleStyle : int { kRuleNone = 0, kRuleSolid = 1, kRuleDotted = 2 };

// `RuleMarkType` is stored one below its style: v reads as style v + 1, and
// a style outside 0..2 becomes 0 (none), so a value below -1 never gives a
// negative pen style. The style s is written back as s - 1.
int RuleMarkStyleFromStored(int stored);
int RuleMarkStoredFromStyle(int style);

struct ColourSet {
  std::array<Colour, kColourKeyCount> colours{};
  int ruleMarkStyle = kRuleSolid;  // `RuleMarkType` 0
  int ruleMarkStyleH = 0;          // `RuleMarkTypeH`
  int cursorType = 1;
  int selLineUseSysColor = 1;

  Colour Get(const char* section, const char* key) const;
  bool operator==(const ColourSet&) const = default;
};

// The colours of the system that stand in for the two selection defaults.
struct SystemColours {
  Colour highlightText = 0xFFFFFF;
  Colour highlight = 0xD77800;
};

ColourSet DefaultColourSet(const SystemColours& system);

// Reads every colour key and option from an INI file; absent keys give
// their defaults.
ColourSet ReadColourKeys(const std::string& file, const SystemColours& system);
// The entries that store a colour set, for the layout file and theme files alike.
std::vector<ProfileEntry> ColourEntries(const ColourSet& set);

// The colours in use by the panes, read at start and replaced when the
// settings dialog is confirmed.
ColourSet& CurrentColours();

}  // namespace vel
