#pragma once
// The release-date check and its stored form: "yyyy-mm-dd" with 00 for a
// missing month or day, "0" for no date.
#include <optional>
#include <string>

namespace vel {

// The stored form of a typed date (CP932), or nothing when the text is not a
// date: 1 to 3 characters, a year outside 1840-2060, a month past 12 or a day
// past 31. "/", "年" and "月" separate, "日" is dropped, "" becomes "0".
std::optional<std::string> NormaliseReleaseDate(const std::string& typed);

}  // namespace vel
