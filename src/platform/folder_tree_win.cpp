#include <windows.h>

#include "platform/folder_tree.h"

namespace vel {

NewFolderResult CreateNewFolder(const std::string& path) {
  if (CreateDirectoryA(path.c_str(), nullptr)) return NewFolderResult::kCreated;
  return GetLastError() == ERROR_ALREADY_EXISTS ? NewFolderResult::kAlreadyExists : NewFolderResult::kFailed;
}

namespace {

// The walk uses the wide functions so that entries whose names the ANSI code
// page cannot hold (written by an emulator, say) are removed too.
std::wstring Wide(const std::string& ansi) {
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return wide;
}

bool RemoveEntry(const std::wstring& path, DWORD attributes);

bool RemoveWideTree(const std::wstring& folder) {
  bool removed = true;
  WIN32_FIND_DATAW found {};
  HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      if (!RemoveEntry(folder + L"\\" + name, found.dwFileAttributes)) removed = false;
    } while (FindNextFileW(search, &found));
    FindClose(search);
  } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
    removed = false;
  }
  SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
  return RemoveDirectoryW(folder.c_str()) && removed;
}

bool RemoveEntry(const std::wstring& path, DWORD attributes) {
  const bool folder = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  // A reparse point (junction, symbolic link) goes as the link itself.
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT)
    return folder ? RemoveDirectoryW(path.c_str()) != FALSE : DeleteFileW(path.c_str()) != FALSE;
  if (folder) return RemoveWideTree(path);
  if (attributes & FILE_ATTRIBUTE_READONLY)
    SetFileAttributesW(path.c_str(), attributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_READONLY));
  return DeleteFileW(path.c_str()) != FALSE;
}

}  // namespace

bool RemoveFolderTree(const std::string& path) {
  std::wstring folder = Wide(path);
  while (folder.size() > 3 && (folder.back() == L'\\' || folder.back() == L'/')) folder.pop_back();
  DWORD attributes = GetFileAttributesW(folder.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  return RemoveEntry(folder, attributes);
}

}  // namespace vel
