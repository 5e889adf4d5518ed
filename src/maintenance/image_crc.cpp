#include "maintenance/image_crc.h"

#include "core/cp932_text.h"
#include "maintenance/import_rules.h"
#include "platform/codepage.h"

namespace vel {

CrcResult ImageCrcReader::Compute(const std::string& key, CrcRange range, CrcWanted wanted) {
  const std::string path = KeyFilePath(key);
  const std::string member = KeyMember(key);
  if (member.empty()) return FileCrc(path, range, wanted);
  if (LowerAscii(ExtensionOf(path)) != "zip") return ListedMemberCrc(path, member, range, wanted);
  CrcResult result;
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

CrcResult ImageCrcReader::ListedMemberCrc(const std::string& path, const std::string& member, CrcRange range,
                                          CrcWanted wanted) {
  CrcResult result;
  // The listing knows the CRC of a member's whole data only.
  if (!range.WholeFile()) {
    result.problem = Jp("LZH・RAR・7z の中のイメージは範囲を指定したCRCを計算できません");
    return result;
  }
  const ListedArchive& listed = Listed(path);
  if (!listed.ok) {
    result.problem = listed.problem.empty() ? Jp("アーカイブを読み込めません") : listed.problem;
    return result;
  }
  const ArchiveMember* found = nullptr;
  for (const ArchiveMember& m : listed.members)
    if (!found && m.name == member) found = &m;
  for (const ArchiveMember& m : listed.members)
    if (!found && EqualsIgnoringCase(m.name, member)) found = &m;
  if (!found) {
    result.problem = Jp("アーカイブの中にイメージが見つかりません");
    return result;
  }
  if (wanted.crc32) {
    if (found->crc32)
      result.crc32 = Crc32Text(*found->crc32);
    else
      result.problem = Jp("この形式のアーカイブはCRC32を持っていません");
  }
  if (wanted.crc16) {
    if (found->crc16)
      result.crc16 = Crc16Text(*found->crc16);
    else if (result.problem.empty())
      result.problem = Jp("この形式のアーカイブはCRC16を持っていません");
  }
  return result;
}

const ZipDirectory& ImageCrcReader::Zip(const std::string& path) {
  if (path != zipPath_ || !zipFile_.IsOpen()) {
    zipPath_ = path;
    zip_ = ZipDirectory{};
    if (zipFile_.Open(path)) zip_ = ReadZipDirectory(zipFile_);
  }
  return zip_;
}

const ListedArchive& ImageCrcReader::Listed(const std::string& path) {
  if (path == listedPath_ && !path.empty()) return listed_;
  listedPath_ = path;
  listed_ = ListedArchive{};
  if (!archives_) return listed_;  // nothing to list with
  listed_.ok = archives_->List(path, listed_.members, listed_.problem);
  // Keys hold '\' between folders whatever the archive stores.
  for (ArchiveMember& m : listed_.members)
    for (char& c : m.name)
      if (c == '/') c = '\\';
  return listed_;
}

}  // namespace vel
