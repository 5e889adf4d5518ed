#include "maintenance/image_crc.h"

#include "core/cp932_text.h"
#include "maintenance/import_rules.h"
#include "platform/codepage.h"
#include "platform/system.h"

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
  const ListedArchive& listed = Listed(path);
  if (!listed.ok) {
    result.problem = listed.problem.empty() ? Jp("アーカイブを読み込めません") : listed.problem;
    return result;
  }
  std::size_t found = listed.members.size();
  for (std::size_t i = 0; i < listed.members.size() && found == listed.members.size(); ++i)
    if (listed.members[i].name == member) found = i;
  for (std::size_t i = 0; i < listed.members.size() && found == listed.members.size(); ++i)
    if (EqualsIgnoringCase(listed.members[i].name, member)) found = i;
  if (found == listed.members.size()) {
    result.problem = Jp("アーカイブの中にイメージが見つかりません");
    return result;
  }
  const ArchiveMember& m = listed.members[found];
  // The listing holds the CRC the archive keeps of the member's whole data;
  // a range, or the CRC it does not keep, is computed over the member.
  CrcWanted listing, computed = wanted;
  if (range.WholeFile()) {
    listing = {wanted.crc32 && m.crc32.has_value(), wanted.crc16 && m.crc16.has_value()};
    computed = {wanted.crc32 && !listing.crc32, wanted.crc16 && !listing.crc16};
  }
  if (computed.Any()) result = ExtractedMemberCrc(path, listed.storedNames[found], range, computed);
  if (listing.crc32) result.crc32 = Crc32Text(*m.crc32);
  if (listing.crc16) result.crc16 = Crc16Text(*m.crc16);
  if (!result.Ok() && range.WholeFile())
    result.problem = Jp(computed.crc32 ? "この形式のアーカイブはCRC32を持っていません："
                                       : "この形式のアーカイブはCRC16を持っていません：") +
                     result.problem;
  return result;
}

CrcResult ImageCrcReader::ExtractedMemberCrc(const std::string& path, const std::string& storedName,
                                             CrcRange range, CrcWanted wanted) {
  CrcResult result;
  std::string extracted;
  if (!archives_->Extract(path, storedName, extracted, result.problem)) {
    if (!extracted.empty()) RemoveFile(extracted);
    return result;
  }
  result = FileCrc(extracted, range, wanted);
  RemoveFile(extracted);
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
  for (const ArchiveMember& m : listed_.members) listed_.storedNames.push_back(m.name);
  // Keys hold '\' between folders whatever the archive stores.
  for (ArchiveMember& m : listed_.members)
    for (char& c : m.name)
      if (c == '/') c = '\\';
  return listed_;
}

}  // namespace vel
