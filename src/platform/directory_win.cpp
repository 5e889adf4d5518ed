#include <windows.h>

#include "platform/directory.h"

namespace vel {
namespace {

std::wstring Wide(const std::string& ansi) {
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return wide;
}

// The name in the ANSI code page; false when a character has no exact form
// there (no best-fit look-alikes: those would name another file).
bool Narrow(const wchar_t* wide, std::string& out) {
  BOOL usedDefault = FALSE;
  int n = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, nullptr, 0, nullptr, &usedDefault);
  if (n <= 0) return false;
  out.assign(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, -1, out.data(), n, nullptr, &usedDefault);
  out.resize(static_cast<size_t>(n - 1));
  return !usedDefault;
}

}  // namespace

FolderListing ListFolder(const std::string& folder) {
  FolderListing listing;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(Wide(folder + "\\*").c_str(), FindExInfoBasic, &data,
                                 FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
  if (find == INVALID_HANDLE_VALUE) {
    // An empty drive root has no entries at all; anything else is a failure.
    listing.opened = GetLastError() == ERROR_FILE_NOT_FOUND;
    return listing;
  }
  listing.opened = true;
  do {
    if (wcscmp(data.cFileName, L".") == 0 || wcscmp(data.cFileName, L"..") == 0) continue;
    bool isFolder = (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
    if (isFolder && (data.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) continue;
    FolderEntry entry;
    bool representable = Narrow(data.cFileName, entry.name);
    entry.isFolder = isFolder;
    entry.size = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    (representable ? listing.entries : listing.unrepresentable).push_back(std::move(entry));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  return listing;
}

}  // namespace vel
