#include "maintenance/image_crc.h"

#include "core/cp932_text.h"
#include "maintenance/import_rules.h"
#include "platform/codepage.h"

namespace vel {

CrcResult ImageCrcReader::Compute(const std::string& key, CrcRange range, CrcWanted wanted) {
  const std::string path = KeyFilePath(key);
  const std::string member = KeyMember(key);
  if (member.empty()) return FileCrc(path, range, wanted);
  CrcResult result;
  if (LowerAscii(ExtensionOf(path)) != "zip") {
    result.problem = Jp("LZH・RAR・7z の中のイメージのCRCは計算できません");
    return result;
  }
  const ZipDirectory& zip = Zip(path);
  if (zip.status != ZipStatus::kOk) {
    result.problem = ZipStatusText(zip.status);
    return result;
  }
  const ZipMember* found = nullptr;
  for (const ZipMember& m : zip.members)
    if (!found && m.name == member) found = &m;
  for (const ZipMember& m : zip.members)
    if (!found && EqualsIgnoringCase(m.name, member)) found = &m;
  if (!found) {
    result.problem = Jp("ZIPファイルの中にイメージが見つかりません");
    return result;
  }
  return ZipMemberCrc(zipFile_, *found, range, wanted);
}

const ZipDirectory& ImageCrcReader::Zip(const std::string& path) {
  if (path != zipPath_ || !zipFile_.IsOpen()) {
    zipPath_ = path;
    zip_ = ZipDirectory{};
    if (zipFile_.Open(path)) zip_ = ReadZipDirectory(zipFile_);
  }
  return zip_;
}

}  // namespace vel
