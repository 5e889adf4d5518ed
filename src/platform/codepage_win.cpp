#include <windows.h>

#include "platform/codepage.h"
#include "platform/codepage_utf16.h"

namespace vel {
namespace {

std::wstring ToWide(UINT codePage, std::string_view text) {
  if (text.empty()) return {};
  int n = MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(), n);
  return wide;
}

std::string FromWide(UINT codePage, const std::wstring& wide) {
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string out(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

}  // namespace

// The system's conversion pairs a lead byte with whatever follows it, a quote
// included: only whole characters are given to it.
std::string AnsiToUtf8(std::string_view ansi) {
  return FromWide(CP_UTF8, ToWide(CP_ACP, WithWholeCharacters(ansi)));
}
std::string Utf8ToAnsi(std::string_view utf8) { return FromWide(CP_ACP, ToWide(CP_UTF8, utf8)); }

std::u16string AnsiToUtf16(std::string_view ansi) {
  std::wstring wide = ToWide(CP_ACP, WithWholeCharacters(ansi));
  return std::u16string(wide.begin(), wide.end());
}

}  // namespace vel
