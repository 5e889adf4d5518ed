#include "platform/archivers.h"

#include <cstring>

namespace vel {

const ArchiverNames& NamesOf(ArchiverId id) {
  static const ArchiverNames names[kArchiverCount] = {
      {"unlha32.dll", "Unlha"}, {"UnZip32.dll", "UnZip"}, {"UNRAR32.dll", "Unrar"}, {"7-zip32.dll", "SevenZip"}};
  return names[static_cast<int>(id)];
}

bool ListMembers(Archiver& archiver, const std::string& archivePath, void* owner,
                 std::vector<ListedMember>& members) {
  void* archive = archiver.OpenArchive(owner, archivePath.c_str());
  if (!archive) return false;
  std::vector<char> record(kArchiverRecordBytes, '\0');
  for (int found = archiver.FindFirst(archive, "*.*", record.data()); found == 0;
       found = archiver.FindNext(archive, record.data())) {
    const char* field = record.data() + kArchiverNameOffset;
    ListedMember member{std::string(field, strnlen(field, kArchiverNameBytes))};
    std::memcpy(&member.crc, record.data() + kArchiverCrcOffset, sizeof member.crc);
    members.push_back(std::move(member));
    std::memset(record.data(), 0, record.size());
  }
  archiver.CloseArchive(archive);
  return true;
}

}  // namespace vel
