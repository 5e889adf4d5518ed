#include "maintenance/archive_lister.h"

#include "platform/codepage.h"

namespace vel {

bool ArchiveLister::Extract(const std::string& /*archivePath*/, const std::string& /*storedName*/,
                            std::string& extracted, std::string& problem) {
  extracted.clear();
  problem = Jp("アーカイブからイメージを取り出せません");
  return false;
}

}  // namespace vel
