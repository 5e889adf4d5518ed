#include "platform/archivers.h"

namespace vel {

const ArchiverNames& NamesOf(ArchiverId id) {
  static const ArchiverNames names[kArchiverCount] = {
      {"unlha32.dll", "Unlha"}, {"UnZip32.dll", "UnZip"}, {"UNRAR32.dll", "Unrar"}, {"7-zip32.dll", "SevenZip"}};
  return names[static_cast<int>(id)];
}

}  // namespace vel
