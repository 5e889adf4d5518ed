#include "launch/play_time.h"

#include <algorithm>
#include <cstdio>

#include "db/library_connection.h"

namespace vel {
namespace {

// The number of the digits at [first, first + count); non-digits count 0.
long long Digits(const std::string& text, size_t first, size_t count) {
  long long value = 0;
  for (size_t i = first; i < first + count && i < text.size(); ++i) {
    if (text[i] < '0' || text[i] > '9') return 0;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

}  // namespace

long long ParsePlayTime(const std::string& text) {
  return Digits(text, 0, 3) * 3600 + Digits(text, 4, 2) * 60 + Digits(text, 7, 2);
}

std::string FormatPlayTime(long long seconds) {
  seconds = std::clamp<long long>(seconds, 0, kLongestPlayTimeSeconds);
  char text[32];
  std::snprintf(text, sizeof text, "%03lld:%02lld'%02lld\"", seconds / 3600, seconds / 60 % 60, seconds % 60);
  return text;
}

std::string AddPlayTime(const std::string& previous, long long elapsedSeconds) {
  return FormatPlayTime(ParsePlayTime(previous) + std::max<long long>(elapsedSeconds, 0));
}

std::string BootRecordStatement(const std::string& key, const std::string& playTime) {
  // The play time holds an apostrophe: quoted like every other value.
  return "UPDATE main_table SET boot_count=(boot_count+1), last_boot=datetime('now','localtime'), play_time='" +
         Quote(playTime) + "' WHERE file_name='" + Quote(key) + "' ;";
}

}  // namespace vel
