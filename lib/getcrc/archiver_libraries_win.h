#pragma once
// Member lists of LZH, RAR and 7z archives, with each member's CRC, through
// the archiver libraries (unlha32.dll, UNRAR32.dll, 7-zip32.dll), loaded on
// first use.
#include <memory>
#include <string>

#include "maintenance/archive_lister.h"
#include "platform/archivers.h"

namespace vel {

class ArchiverLibraries : public ArchiveLister {
 public:
  // With `fromSystemFolder` each library is loaded from that folder, else by
  // its bare name (the normal library search).
  ArchiverLibraries(std::string systemFolder, bool fromSystemFolder);

  bool List(const std::string& archivePath, std::vector<ArchiveMember>& members,
            std::string& problem) override;

 private:
  std::string systemFolder_;
  bool fromSystemFolder_;
  std::unique_ptr<ArchiverSet> archivers_;
};

}  // namespace vel
