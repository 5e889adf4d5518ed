#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/folder_tree.h"
#include "platform/system.h"

namespace vel {

NewFolderResult CreateNewFolder(const std::string& path) {
  if (mkdir(NativePath(path).c_str(), 0777) == 0) return NewFolderResult::kCreated;
  return errno == EEXIST ? NewFolderResult::kAlreadyExists : NewFolderResult::kFailed;
}

// Works on the native (UTF-8) name so that every entry, whatever its name,
// can be reached.
static bool RemoveNativeTree(const std::string& folder) {
  struct stat st {};
  if (lstat(folder.c_str(), &st) != 0) return false;
  if (!S_ISDIR(st.st_mode)) return unlink(folder.c_str()) == 0;  // a link is removed, never followed
  bool removed = true;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* entry = readdir(dir)) {
      std::string name = entry->d_name;
      if (name == "." || name == "..") continue;
      if (!RemoveNativeTree(folder + "/" + name)) removed = false;
    }
    closedir(dir);
  } else {
    removed = false;
  }
  return rmdir(folder.c_str()) == 0 && removed;
}

bool RemoveFolderTree(const std::string& path) {
  std::string native = NativePath(path);
  while (native.size() > 1 && native.back() == '/') native.pop_back();
  return RemoveNativeTree(native);
}

}  // namespace vel
