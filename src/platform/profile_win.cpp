#include <windows.h>

#include "platform/profile.h"

namespace vel {

int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue,
                   const std::string& file) {
  return static_cast<int>(
      GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, file.c_str()));
}

bool ReadProfileString(const std::string& section, const std::string& key,
                       const std::string& defaultValue, const std::string& file,
                       std::string& value) {
  // The reader cuts a value to the buffer without saying so; a result that
  // fills the buffer may have been cut, so read again with a larger one.
  constexpr DWORD kLargest = 16u << 20;
  for (DWORD size = 1024;; size *= 2) {
    std::string buffer(size, '\0');
    DWORD n = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultValue.c_str(),
                                       buffer.data(), size, file.c_str());
    buffer.resize(n);
    value = buffer;
    if (n < size - 2) return true;
    if (size >= kLargest) return false;
  }
}

bool WriteProfileString(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) !=
         FALSE;
}

}  // namespace vel
