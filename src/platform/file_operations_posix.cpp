// Off Windows the hidden attribute is kept as a marker file beside the file
// (its name + ".hidden-attribute"); read-only is the owner's write bit.
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <fstream>

#include "platform/file_operations.h"
#include "platform/system.h"

namespace vel {

static std::string HiddenMarker(const std::string& path) { return NativePath(path) + ".hidden-attribute"; }

bool CopyOneFile(const std::string& from, const std::string& to, CopyMode mode) {
  if (!FileExists(from)) return false;
  if (mode == CopyMode::kKeepExisting && FileExists(to)) return false;
  std::ifstream in(NativePath(from), std::ios::binary);
  std::ofstream out(NativePath(to), std::ios::binary | std::ios::trunc);
  if (!in || !out) return false;
  // Streaming an empty file sets the fail bit; there is nothing to copy then.
  if (in.peek() != std::ifstream::traits_type::eof()) out << in.rdbuf();
  out.flush();
  return static_cast<bool>(out);
}

bool RenameFile(const std::string& from, const std::string& to) {
  if (FileExists(to) || DirectoryExists(to)) return false;
  return std::rename(NativePath(from).c_str(), NativePath(to).c_str()) == 0;
}

bool ReplaceWithFile(const std::string& replacement, const std::string& target) {
  if (DirectoryExists(target)) return false;
  return std::rename(NativePath(replacement).c_str(), NativePath(target).c_str()) == 0;
}

bool IsHiddenFile(const std::string& path) {
  struct stat st {};
  return FileExists(path) && stat(HiddenMarker(path).c_str(), &st) == 0;
}

bool SetHiddenFile(const std::string& path, bool hidden) {
  if (!FileExists(path)) return false;
  if (hidden) return static_cast<bool>(std::ofstream(HiddenMarker(path)));
  unlink(HiddenMarker(path).c_str());
  return true;
}

bool IsReadOnlyFile(const std::string& path) {
  struct stat st {};
  return stat(NativePath(path).c_str(), &st) == 0 && !(st.st_mode & S_IWUSR);
}

bool ClearFileAttributes(const std::string& path) {
  struct stat st {};
  if (stat(NativePath(path).c_str(), &st) != 0) return false;
  unlink(HiddenMarker(path).c_str());
  return chmod(NativePath(path).c_str(), st.st_mode | S_IWUSR) == 0;
}

}  // namespace vel
