#include "archiver_libraries_win.h"

#include "launch/archive_extraction.h"
#include "maintenance/import_rules.h"
#include "platform/archivers_win.h"
#include "platform/codepage.h"

namespace vel {

ArchiverLibraries::ArchiverLibraries(std::string systemFolder, bool fromSystemFolder)
    : systemFolder_(std::move(systemFolder)), fromSystemFolder_(fromSystemFolder) {}

bool ArchiverLibraries::List(const std::string& archivePath, std::vector<ArchiveMember>& members,
                             std::string& problem) {
  // ZIP files are read by our own reader, never listed here.
  auto id = ArchiverForExtension(ExtensionOf(archivePath), false, false);
  if (!id || *id == ArchiverId::kUnZip) {
    problem = Jp("対応していない形式のアーカイブです");
    return false;
  }
  if (!archivers_) archivers_ = LoadArchivers(systemFolder_, fromSystemFolder_);
  Archiver* archiver = archivers_->Loaded(*id);
  if (!archiver) {
    problem = std::string(NamesOf(*id).file) + Jp(" が使えないためスキップしました");
    return false;
  }
  std::vector<ListedMember> listed;
  if (!ListMembers(*archiver, archivePath, nullptr, listed)) {
    problem = Jp("アーカイブを開けません");
    return false;
  }
  // An LZH archive keeps a CRC-16 of each member, the others a CRC-32.
  for (ListedMember& m : listed) {
    ArchiveMember member{std::move(m.name)};
    if (*id == ArchiverId::kUnlha)
      member.crc16 = static_cast<std::uint16_t>(m.crc & 0xFFFF);
    else
      member.crc32 = m.crc;
    members.push_back(std::move(member));
  }
  return true;
}

}  // namespace vel
