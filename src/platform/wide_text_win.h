#pragma once
// The program's CP932 text as the wide text of the Windows "W" functions.
#include <windows.h>

#include <string>

namespace vel {

inline std::wstring WideFromAnsi(const std::string& ansi) {
  if (ansi.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return wide;
}

}  // namespace vel
