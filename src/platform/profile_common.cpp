#include "platform/profile.h"

namespace vel {

std::string ProfileString(const std::string& section, const std::string& key,
                          const std::string& defaultValue, const std::string& file) {
  std::string value;
  ReadProfileString(section, key, defaultValue, file, value);
  return value;
}

}  // namespace vel
