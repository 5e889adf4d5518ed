#pragma once
// CRCs of a library item by its key: a plain file, a member of a ZIP file, or
// a member of an archive read through the archiver libraries. Their listing
// carries the CRC the archive keeps for a member's whole data; a range, or a
// CRC that kind of archive does not keep, is computed over the member
// extracted through the libraries. The directory or listing of the last
// archive read is kept for its next member.
#include <string>
#include <vector>

#include "maintenance/archive_lister.h"
#include "maintenance/crc.h"
#include "maintenance/zip_directory.h"
#include "platform/input_file.h"

namespace vel {

// An archive's members as listed through the libraries; `problem` (CP932)
// tells why it could not be listed.
struct ListedArchive {
  bool ok = false;
  std::string problem;
  std::vector<ArchiveMember> members;  // names with '\' between folders
  std::vector<std::string> storedNames;  // the same members' names as the archive stores them
};

class ImageCrcReader {
 public:
  // Without `archives`, members of LZH, RAR and 7z files get no CRC.
  explicit ImageCrcReader(ArchiveLister* archives = nullptr) : archives_(archives) {}
  CrcResult Compute(const std::string& key, CrcRange range, CrcWanted wanted);
  // The directory of a ZIP file, read once and kept until another is asked for.
  const ZipDirectory& Zip(const std::string& path);
  // The listing of another archive, likewise kept.
  const ListedArchive& Listed(const std::string& path);

 private:
  CrcResult ListedMemberCrc(const std::string& path, const std::string& member, CrcRange range,
                            CrcWanted wanted);
  CrcResult ExtractedMemberCrc(const std::string& path, const std::string& storedName, CrcRange range,
                               CrcWanted wanted);
  ArchiveLister* archives_;
  std::string zipPath_;
  InputFile zipFile_;
  ZipDirectory zip_;
  std::string listedPath_;
  ListedArchive listed_;
};

}  // namespace vel
