#pragma once
// Settings files written whole or not at all. The profile writer rewrites the
// whole file for every key, and on a full disk it may cut the file short and
// still report success; a settings file cut short loses keys the program
// never wrote (the library location among them). So the keys go into a copy
// beside the file, the copy is read back from the disk and compared, and only
// a copy that holds everything replaces the file, in one move.
#include <functional>
#include <string>
#include <vector>

namespace vel {

struct ProfileEntry {
  std::string section;
  std::string key;
  std::string value;
  bool remove = false;  // the key is taken out of the file instead
};

// Suffixes of the copy being written and of the previous file kept after a
// successful write.
inline constexpr const char* kSettingsCopySuffix = ".saving";
inline constexpr const char* kSettingsBackupSuffix = ".bak";

// Writes the entries into `file` as described above and keeps the previous
// file as file + ".bak". False when anything failed: the file is then left
// byte for byte as it was and no copy is left behind.
bool WriteSettingsFile(const std::string& file, const std::vector<ProfileEntry>& entries);

// The keys of an INI text as the profile reader finds them: section and key
// names without regard to the case of single-byte letters, the first
// occurrence of each, values trimmed of spaces (quotes kept).
struct IniKeyValue {
  std::string section;
  std::string key;
  std::string value;
};
std::vector<IniKeyValue> ReadIniKeys(const std::string& bytes);

// For tests: runs after the keys were written into the copy and before the
// copy is read back (a test can spoil the copy as a full disk would).
void SetSettingsCopyProbe(std::function<void(const std::string& copy)> probe);

}  // namespace vel
