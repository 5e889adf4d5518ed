#include "platform/profile.h"

namespace vel {

std::string ProfileText(const std::string& section, const std::string& key,
                          const std::string& defaultValue, const std::string& file) {
  std::string value;
  ReadProfileText(section, key, defaultValue, file, value);
  return value;
}

}  // namespace vel
