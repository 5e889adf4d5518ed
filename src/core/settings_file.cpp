#include "core/settings_file.h"

#include <map>
#include <utility>

#include "core/cp932_text.h"
#include "platform/file_operations.h"
#include "platform/input_file.h"
#include "platform/output_file.h"
#include "platform/profile.h"
#include "platform/system.h"

namespace vel {
namespace {

std::function<void(const std::string&)>& CopyProbe() {
  static std::function<void(const std::string&)> probe;
  return probe;
}

std::string Trim(const std::string& text) {
  size_t begin = text.find_first_not_of(" \t\r");
  if (begin == std::string::npos) return {};
  size_t end = text.find_last_not_of(" \t\r");
  return text.substr(begin, end - begin + 1);
}

// The whole file; false when it exists but cannot be read.
bool ReadBytes(const std::string& path, std::string& bytes) {
  bytes.clear();
  if (!FileExists(path)) return true;
  InputFile file;
  if (!file.Open(path)) return false;
  if (file.Size() == 0) return true;
  bytes.resize(static_cast<size_t>(file.Size()));
  return file.ReadExactly(0, bytes.data(), bytes.size());
}

bool WriteBytes(const std::string& path, const std::string& bytes) {
  OutputFile file;
  if (!file.Create(path)) return false;
  bool written = bytes.empty() || file.Write(bytes.data(), bytes.size());
  return file.Close() && written;
}

using KeyName = std::pair<std::string, std::string>;

KeyName NameOf(const std::string& section, const std::string& key) {
  return {ToUpperByCharacter(Trim(section)), ToUpperByCharacter(Trim(key))};
}

std::map<KeyName, std::string> KeyMap(const std::string& bytes) {
  std::map<KeyName, std::string> keys;
  for (const IniKeyValue& k : ReadIniKeys(bytes)) keys.emplace(NameOf(k.section, k.key), k.value);
  return keys;
}

// True when the copy holds every entry and every other key of the file as it
// was before.
bool CopyIsWhole(const std::string& before, const std::string& copy,
                 const std::vector<ProfileEntry>& entries) {
  std::map<KeyName, std::string> expected = KeyMap(before);
  std::map<KeyName, std::string> found = KeyMap(copy);
  for (const ProfileEntry& e : entries) {
    if (!e.remove) {
      expected[NameOf(e.section, e.key)] = Trim(e.value);
      continue;
    }
    expected.erase(NameOf(e.section, e.key));
    if (found.count(NameOf(e.section, e.key))) return false;
  }
  for (const auto& [name, value] : expected) {
    auto it = found.find(name);
    if (it == found.end() || it->second != value) return false;
  }
  return true;
}

}  // namespace

std::vector<IniKeyValue> ReadIniKeys(const std::string& bytes) {
  std::vector<IniKeyValue> keys;
  std::map<KeyName, bool> seen;
  std::string section;
  bool inSection = false;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::string line = Trim(bytes.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line[0] == ';') continue;
    if (line[0] == '[') {
      // ']' is never a trail byte of CP932, so a plain search finds it.
      size_t close = line.find(']');
      section = Trim(line.substr(1, close == std::string::npos ? std::string::npos : close - 1));
      inSection = true;
      continue;
    }
    size_t equals = line.find('=');
    if (!inSection || equals == std::string::npos) continue;
    std::string key = Trim(line.substr(0, equals));
    if (key.empty()) continue;
    if (!seen.emplace(NameOf(section, key), true).second) continue;
    keys.push_back({section, key, Trim(line.substr(equals + 1))});
  }
  return keys;
}

bool WriteSettingsFile(const std::string& file, const std::vector<ProfileEntry>& entries) {
  const std::string copy = file + kSettingsCopySuffix;
  const std::string backup = file + kSettingsBackupSuffix;
  std::string before;
  if (!ReadBytes(file, before)) return false;
  const bool existed = FileExists(file);
  const bool hidden = existed && IsHiddenFile(file);
  if (FileExists(copy)) RemoveFile(copy);
  auto fail = [&copy] {
    if (FileExists(copy)) RemoveFile(copy);
    return false;
  };
  if (existed && !WriteBytes(copy, before)) return fail();
  for (const ProfileEntry& e : entries) {
    bool done = e.remove ? DeleteProfileKey(e.section, e.key, copy) : WriteProfileText(e.section, e.key, e.value, copy);
    if (!done) return fail();
  }
  if (CopyProbe()) CopyProbe()(copy);
  std::string written;
  if (!ReadBytes(copy, written) || !CopyIsWhole(before, written, entries)) return fail();
  if (existed && !WriteBytes(backup, before)) {
    if (FileExists(backup)) RemoveFile(backup);
    return fail();
  }
  if (!ReplaceWithFile(copy, file)) return fail();
  if (hidden) SetHiddenFile(file, true);
  return true;
}

void SetSettingsCopyProbe(std::function<void(const std::string& copy)> probe) {
  CopyProbe() = std::move(probe);
}

}  // namespace vel
