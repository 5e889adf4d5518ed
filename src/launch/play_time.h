#pragma once
// Boot count and play time of an item after a run: the stored play-time text
// ("012:05'09\"" for 12 h 5 min 9 s) and the statement that records a run.
#include <string>

namespace vel {

// Runs shorter than this are not counted.
inline constexpr long long kShortestCountedRunMs = 5000;
inline constexpr long long kLongestPlayTimeSeconds = 3599999;  // 999:59'59"

// Seconds of a stored play time: hours from characters 1-3, minutes from
// 5-6, seconds from 8-9; missing or non-digit parts count 0.
long long ParsePlayTime(const std::string& text);
// Hours with at least three digits, ":", minutes, "'", seconds, '"'.
std::string FormatPlayTime(long long seconds);
// The new play time after a run of `elapsedSeconds`, at most 999:59'59".
std::string AddPlayTime(const std::string& previous, long long elapsedSeconds);
// Raises the boot count, sets the last boot and the play time of the item.
std::string BootRecordStatement(const std::string& key, const std::string& playTime);

}  // namespace vel
