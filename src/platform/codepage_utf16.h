#pragma once
// CP932 to UTF-16 in one step, for matching by character, where a detour
// through UTF-8 costs as much as the match. Implemented beside the other
// conversions of each platform.
#include <string>
#include <string_view>

namespace vel {

// Each character whole; a lead byte without its trail byte becomes '?'.
std::u16string AnsiToUtf16(std::string_view ansi);

}  // namespace vel
