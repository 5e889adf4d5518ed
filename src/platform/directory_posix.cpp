#include <dirent.h>
#include <sys/stat.h>

#include "platform/codepage.h"
#include "platform/directory.h"
#include "platform/system.h"

namespace vel {

FolderListing ListFolder(const std::string& folder) {
  FolderListing listing;
  std::string native = NativePath(folder);
  DIR* dir = opendir(native.c_str());
  if (!dir) return listing;
  listing.opened = true;
  while (dirent* d = readdir(dir)) {
    std::string utf8 = d->d_name;
    if (utf8 == "." || utf8 == "..") continue;
    struct stat st {};
    if (lstat((native + "/" + utf8).c_str(), &st) != 0) continue;
    if (!S_ISDIR(st.st_mode) && !S_ISREG(st.st_mode)) continue;
    FolderEntry entry;
    entry.name = Utf8ToAnsi(utf8);
    entry.isFolder = S_ISDIR(st.st_mode);
    entry.size = static_cast<std::int64_t>(st.st_size);
    // A name is representable when it comes back unchanged; a backslash would
    // read as a separator in the program's paths, so it does not count.
    bool representable = AnsiToUtf8(entry.name) == utf8 && utf8.find('\\') == std::string::npos;
    (representable ? listing.entries : listing.unrepresentable).push_back(std::move(entry));
  }
  closedir(dir);
  return listing;
}

}  // namespace vel
