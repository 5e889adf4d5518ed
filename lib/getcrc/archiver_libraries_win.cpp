#include "archiver_libraries_win.h"

#include "launch/archive_extraction.h"
#include "launch/archive_names.h"
#include "maintenance/import_rules.h"
#include "platform/archivers_win.h"
#include "platform/codepage.h"
#include "platform/system.h"

namespace vel {

ArchiverLibraries::ArchiverLibraries(std::string systemFolder, bool fromSystemFolder, std::string scratchFolder)
    : systemFolder_(std::move(systemFolder)), fromSystemFolder_(fromSystemFolder),
      scratchFolder_(std::move(scratchFolder)) {}

ArchiverLibraries::~ArchiverLibraries() {
  if (madeScratchFolder_) RemoveEmptyFolder(scratchFolder_);
}

Archiver* ArchiverLibraries::LibraryFor(const std::string& archivePath, std::string& problem) {
  // ZIP files are read by our own reader, never through these libraries.
  auto id = ArchiverForExtension(ExtensionOf(archivePath), false, false);
  if (!id || *id == ArchiverId::kUnZip) {
    problem = Jp("対応していない形式のアーカイブです");
    return nullptr;
  }
  if (!archivers_) archivers_ = LoadArchivers(systemFolder_, fromSystemFolder_);
  Archiver* archiver = archivers_->Loaded(*id);
  if (!archiver) problem = std::string(NamesOf(*id).file) + Jp(" が使えないためスキップしました");
  return archiver;
}

bool ArchiverLibraries::List(const std::string& archivePath, std::vector<ArchiveMember>& members,
                             std::string& problem) {
  Archiver* archiver = LibraryFor(archivePath, problem);
  if (!archiver) return false;
  auto id = ArchiverForExtension(ExtensionOf(archivePath), false, false);
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

bool ArchiverLibraries::Extract(const std::string& archivePath, const std::string& storedName,
                                std::string& extracted, std::string& problem) {
  extracted.clear();
  Archiver* archiver = LibraryFor(archivePath, problem);
  if (!archiver) return false;
  if (scratchFolder_.empty() || (!DirectoryExists(scratchFolder_) && !CreateFolder(scratchFolder_))) {
    problem = Jp("作業フォルダを作れません：") + scratchFolder_;
    return false;
  }
  madeScratchFolder_ = true;
  // A file left from an earlier run must never be taken for this member.
  const std::string target = JoinFolder(scratchFolder_, OwnFileName(storedName));
  if (FileExists(target) && !RemoveFile(target)) {
    problem = Jp("作業フォルダの古いファイルを消せません：") + target;
    return false;
  }
  std::optional<std::string> line =
      ExtractionCommandLine(ExtensionOf(archivePath), false, archivePath, scratchFolder_, storedName);
  if (!line) {
    problem = Jp("名前に \" を含むイメージは取り出せません");
    return false;
  }
  const int code = archiver->Command(nullptr, line->c_str());
  if (FileExists(target)) extracted = target;
  if (code != 0 || extracted.empty()) {
    problem = Jp("アーカイブからイメージを取り出せません (") + std::to_string(code) + ")";
    return false;
  }
  return true;
}

}  // namespace vel
