#include <windows.h>

#include "platform/codepage.h"
#include "platform/profile.h"

namespace vel {
namespace {

// The ANSI profile functions lose long values (their lengths wrap past
// 64 KiB); the wide ones keep them, and the file stays in the ANSI code page.
std::wstring Wide(const std::string& ansi) {
  if (ansi.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return wide;
}

std::string Ansi(const wchar_t* wide, size_t length) {
  if (length == 0) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(length), nullptr, 0, nullptr, nullptr);
  std::string ansi(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide, static_cast<int>(length), ansi.data(), n, nullptr, nullptr);
  return ansi;
}

}  // namespace

int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue,
                   const std::string& file) {
  return static_cast<int>(
      GetPrivateProfileIntA(section.c_str(), key.c_str(), defaultValue, file.c_str()));
}

bool ReadProfileText(const std::string& section, const std::string& key,
                     const std::string& defaultValue, const std::string& file,
                     std::string& value) {
  std::wstring wSection = Wide(section), wKey = Wide(key), wDefault = Wide(defaultValue),
               wFile = Wide(file);
  // The reader cuts a value to the buffer without saying so; a result that
  // fills the buffer may have been cut, so read again with a larger one.
  constexpr DWORD kLargest = 16u << 20;
  for (DWORD size = 1024;; size *= 2) {
    std::wstring buffer(size, L'\0');
    DWORD n = GetPrivateProfileStringW(wSection.c_str(), wKey.c_str(), wDefault.c_str(),
                                       buffer.data(), size, wFile.c_str());
    value = Ansi(buffer.data(), n);
    if (n < size - 2) return true;
    if (size >= kLargest) return false;
  }
}

bool WriteProfileText(const std::string& section, const std::string& key,
                      const std::string& value, const std::string& file) {
  return WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(value).c_str(),
                                    Wide(file).c_str()) != FALSE;
}

bool DeleteProfileKey(const std::string& section, const std::string& key, const std::string& file) {
  return WritePrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), nullptr,
                                    Wide(file).c_str()) != FALSE;
}

}  // namespace vel
