#pragma once
// Member names of the archives read through archiver libraries (LZH, RAR, 7z).
#include <string>
#include <vector>

namespace vel {

class ArchiveLister {
 public:
  virtual ~ArchiveLister() = default;
  // The archive's member names as stored (CP932). False, with `problem` set
  // (CP932, for the log), when the archive cannot be listed: no library for
  // its kind, or the library cannot open it.
  virtual bool List(const std::string& archivePath, std::vector<std::string>& members,
                    std::string& problem) = 0;
};

}  // namespace vel
