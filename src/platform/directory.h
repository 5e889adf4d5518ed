#pragma once
// Listing one folder for searches of the disk. Names come back as the
// program's CP932 text; a name that CP932 cannot represent is reported apart
// (with '?' where characters are missing) and never given as an entry, so
// that no mangled name ever becomes a path or a key.
#include <cstdint>
#include <string>
#include <vector>

namespace vel {

struct FolderEntry {
  std::string name;  // CP932, without the folder
  bool isFolder = false;
  std::int64_t size = 0;
};

struct FolderListing {
  bool opened = false;  // false when the folder could not be read
  std::vector<FolderEntry> entries;      // files and sub-folders ("." and ".." left out)
  // Entries whose names CP932 cannot hold, named with '?' for the log.
  std::vector<FolderEntry> unrepresentable;
};

// Links to folders (reparse points, symbolic links) are left out so that a
// search never runs in circles.
FolderListing ListFolder(const std::string& folder);

}  // namespace vel
