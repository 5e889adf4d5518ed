#include "launch/archive_names.h"

#include <cstring>

#include "core/cp932_text.h"
#include "platform/codepage.h"

namespace vel {

std::string OwnFileName(const std::string& storedName) {
  std::size_t start = 0;
  for (std::size_t i = 0; i < storedName.size(); i += CharacterLength(storedName, i))
    if (CharacterLength(storedName, i) == 1 && (storedName[i] == '\\' || storedName[i] == '/')) start = i + 1;
  return storedName.substr(start);
}

bool UsableFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (std::size_t i = 0; i < name.size(); i += CharacterLength(name, i)) {
    if (CharacterLength(name, i) == 2) continue;
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || std::strchr(":\"<>|?*/\\", c)) return false;
  }
  return true;
}

std::string JoinFolder(const std::string& folder, const std::string& name) {
  return EndsWithSeparator(folder) ? folder + name : folder + "\\" + name;
}

}  // namespace vel
