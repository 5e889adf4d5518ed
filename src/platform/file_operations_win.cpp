#include <windows.h>

#include "platform/file_operations.h"

namespace vel {

bool CopyOneFile(const std::string& from, const std::string& to, CopyMode mode) {
  return CopyFileA(from.c_str(), to.c_str(), mode == CopyMode::kKeepExisting) != FALSE;
}

bool RenameFile(const std::string& from, const std::string& to) {
  return MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool ReplaceWithFile(const std::string& replacement, const std::string& target) {
  return MoveFileExA(replacement.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) !=
         FALSE;
}

static DWORD Attributes(const std::string& path) { return GetFileAttributesA(path.c_str()); }

bool IsHiddenFile(const std::string& path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_HIDDEN);
}

bool SetHiddenFile(const std::string& path, bool hidden) {
  DWORD a = Attributes(path);
  if (a == INVALID_FILE_ATTRIBUTES) return false;
  a = hidden ? (a | FILE_ATTRIBUTE_HIDDEN) : (a & ~DWORD{FILE_ATTRIBUTE_HIDDEN});
  if (a == 0) a = FILE_ATTRIBUTE_NORMAL;
  return SetFileAttributesA(path.c_str(), a) != FALSE;
}

bool IsReadOnlyFile(const std::string& path) {
  DWORD a = Attributes(path);
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_READONLY);
}

bool ClearFileAttributes(const std::string& path) {
  return SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_NORMAL) != FALSE;
}

}  // namespace vel
