#include "platform/path_presence.h"

#include <windows.h>

#include "platform/wide_text_win.h"

namespace vel {
namespace {

// The wide form that passes the 260-character limit: "\\?\C:\..." or
// "\\?\UNC\server\share\...". Relative paths stay as they are.
std::wstring LongForm(const std::wstring& path) {
  if (path.rfind(L"\\\\?\\", 0) == 0) return path;
  if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return L"\\\\?\\" + path;
  return path;
}

// "C:\" or "\\server\share\" of the path; empty for a relative path.
std::wstring RootOf(const std::wstring& path) {
  if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') return path.substr(0, 3);
  if (path.rfind(L"\\\\", 0) == 0) {
    size_t server = path.find(L'\\', 2);
    if (server == std::wstring::npos) return {};
    size_t share = path.find(L'\\', server + 1);
    return share == std::wstring::npos ? path + L"\\" : path.substr(0, share + 1);
  }
  return {};
}

}  // namespace

PathPresence ProbePath(const std::string& path) {
  if (path.empty()) return PathPresence::kMissing;
  std::wstring wide = WideFromAnsi(path);
  UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  PathPresence presence = PathPresence::kUnknown;
  if (GetFileAttributesW(LongForm(wide).c_str()) != INVALID_FILE_ATTRIBUTES) {
    presence = PathPresence::kPresent;
  } else {
    DWORD error = GetLastError();
    if (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND) {
      // "Not found" counts only where the root answers: an unmapped drive
      // says "path not found" too.
      std::wstring root = RootOf(wide);
      if (root.empty() || GetFileAttributesW(root.c_str()) != INVALID_FILE_ATTRIBUTES)
        presence = PathPresence::kMissing;
    }
  }
  SetErrorMode(oldMode);
  return presence;
}

}  // namespace vel
