#pragma once
// Members of the archives read through archiver libraries (LZH, RAR, 7z).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vel {

// A member as the archive's listing gives it: the name as stored (CP932) and
// the CRC the archive keeps for the member's data (LZH archives keep a
// CRC-16, RAR and 7z archives a CRC-32).
struct ArchiveMember {
  std::string name;
  std::optional<std::uint32_t> crc32;
  std::optional<std::uint16_t> crc16;
};

class ArchiveLister {
 public:
  virtual ~ArchiveLister() = default;
  // The archive's members. False, with `problem` set (CP932, for the log),
  // when the archive cannot be listed: no library for its kind, or the
  // library cannot open it.
  virtual bool List(const std::string& archivePath, std::vector<ArchiveMember>& members,
                    std::string& problem) = 0;
  // Extracts the member the listing gave as `storedName` into a scratch
  // folder of the lister's own; true with the file's path in `extracted`
  // (the caller removes the file), false with `problem` set (CP932). A lister
  // that only lists cannot extract.
  virtual bool Extract(const std::string& archivePath, const std::string& storedName, std::string& extracted,
                       std::string& problem);
};

}  // namespace vel
