#pragma once
// The texts searched for, newest first, kept in the main settings file: one
// list for SQL searches and one for the other targets (a genre search keeps
// none), each of ten entries of at most 255 bytes.
#include <optional>
#include <string>
#include <vector>

namespace vel {

inline constexpr int kSearchTextEntries = 10;
inline constexpr size_t kSearchTextMaxBytes = 255;

// "SearchHistorySQL" for the SQL target, "SearchHistoryTXT" for the others,
// nothing for the genre target.
std::optional<std::string> SearchTextSection(int target);

// The ten entries of the target's list as stored ("" where none).
std::vector<std::string> ReadSearchTexts(const std::string& settingsFile, int target);

// The entries after `text` was searched: an equal entry k leaves its place
// (entries 0..k-1 move down one), otherwise entries 0..8 move down and entry
// 9 is lost; empty entries are skipped, never moved. `text` becomes entry 0.
std::vector<std::string> PushSearchText(std::vector<std::string> entries, const std::string& text);

// The non-empty entries, in order: what the drop-down offers.
std::vector<std::string> ShownSearchTexts(const std::vector<std::string>& entries);

// Records a text searched for with the target and writes the whole list back
// (the file written whole or not at all). Returns the entries the drop-down
// offers now; nothing when the target keeps no list, the text is empty or too
// long to be read back whole, or the file could not be written.
std::optional<std::vector<std::string>> AddSearchText(const std::string& settingsFile, const std::string& text,
                                                      int target);

}  // namespace vel
