#pragma once
// Member lists of LZH, RAR and 7z archives, with each member's CRC, and
// extraction of their members, through the archiver libraries (unlha32.dll,
// UNRAR32.dll, 7-zip32.dll), loaded on first use.
#include <memory>
#include <string>

#include "maintenance/archive_lister.h"
#include "platform/archivers.h"

namespace vel {

class ArchiverLibraries : public ArchiveLister {
 public:
  // With `fromSystemFolder` each library is loaded from that folder, else by
  // its bare name (the normal library search). Members are extracted into
  // `scratchFolder`, made when first needed and removed, when empty, at the end.
  ArchiverLibraries(std::string systemFolder, bool fromSystemFolder, std::string scratchFolder);
  ~ArchiverLibraries() override;

  bool List(const std::string& archivePath, std::vector<ArchiveMember>& members,
            std::string& problem) override;
  bool Extract(const std::string& archivePath, const std::string& storedName, std::string& extracted,
               std::string& problem) override;

 private:
  // The loaded library for an LZH, RAR or 7z archive, or null with `problem` set.
  Archiver* LibraryFor(const std::string& archivePath, std::string& problem);
  std::string systemFolder_;
  bool fromSystemFolder_;
  std::string scratchFolder_;
  bool madeScratchFolder_ = false;
  std::unique_ptr<ArchiverSet> archivers_;
};

}  // namespace vel
