#include "launch/zip_extractor.h"

#include "core/cp932_text.h"
#include "launch/archive_names.h"
#include "maintenance/zip_directory.h"
#include "platform/codepage.h"
#include "platform/file_operations.h"
#include "platform/input_file.h"
#include "platform/output_file.h"
#include "platform/system.h"

namespace vel {
namespace {

ZipExtractStatus FromDirectory(ZipStatus status) {
  switch (status) {
    case ZipStatus::kOk: return ZipExtractStatus::kOk;
    case ZipStatus::kUnreadable: return ZipExtractStatus::kUnreadable;
    case ZipStatus::kNotZip: return ZipExtractStatus::kNotZip;
    case ZipStatus::kTruncated: return ZipExtractStatus::kTruncated;
    case ZipStatus::kCorrupt: return ZipExtractStatus::kCorrupt;
    case ZipStatus::kZip64: return ZipExtractStatus::kZip64;
    case ZipStatus::kSplit: return ZipExtractStatus::kSplit;
  }
  return ZipExtractStatus::kCorrupt;
}

ZipExtractStatus FromData(ZipDataStatus status) {
  switch (status) {
    case ZipDataStatus::kOk: return ZipExtractStatus::kOk;
    case ZipDataStatus::kEncrypted: return ZipExtractStatus::kEncrypted;
    case ZipDataStatus::kUnsupportedMethod: return ZipExtractStatus::kUnsupportedMethod;
    case ZipDataStatus::kCorrupt: return ZipExtractStatus::kCorrupt;
    case ZipDataStatus::kTruncated: return ZipExtractStatus::kTruncated;
    case ZipDataStatus::kNoInflater:
    case ZipDataStatus::kDamaged: return ZipExtractStatus::kDamaged;
    case ZipDataStatus::kStopped: return ZipExtractStatus::kCannotWrite;
  }
  return ZipExtractStatus::kDamaged;
}

// Writes the member to `temporary`; the file is gone again on any failure.
ZipExtractStatus WriteMember(InputFile& archive, const ZipMember& member, const std::string& temporary) {
  OutputFile out;
  if (!out.Create(temporary)) return ZipExtractStatus::kCannotWrite;
  ZipDataStatus data = ReadZipMemberData(archive, member, [&out](const unsigned char* p, std::size_t n) {
    return out.Write(p, n);
  });
  bool closed = out.Close();
  ZipExtractStatus status = FromData(data);
  if (status == ZipExtractStatus::kOk && !closed) status = ZipExtractStatus::kCannotWrite;
  if (status != ZipExtractStatus::kOk) RemoveFile(temporary);
  return status;
}

}  // namespace

ZipExtractStatus ExtractZipMember(const std::string& archivePath, const std::string& memberName,
                                  const std::string& folder, bool skipIfExists) {
  InputFile archive;
  if (!archive.Open(archivePath)) return ZipExtractStatus::kUnreadable;
  ZipDirectory directory = ReadZipDirectory(archive);
  if (directory.status != ZipStatus::kOk) return FromDirectory(directory.status);
  const ZipMember* found = nullptr;
  for (const ZipMember& member : directory.members)
    if (EqualsIgnoringCase(member.name, memberName)) {
      found = &member;
      break;
    }
  if (!found) return ZipExtractStatus::kMemberNotFound;
  const std::string name = OwnFileName(found->name);
  if (!UsableFileName(name)) return ZipExtractStatus::kUnusableName;
  const std::string target = JoinFolder(folder, name);
  if (skipIfExists && FileExists(target)) return ZipExtractStatus::kOk;

  const std::string temporary = target + ".velpart";
  RemoveFile(temporary);  // left by an earlier run that was cut off
  ZipExtractStatus status = WriteMember(archive, *found, temporary);
  if (status != ZipExtractStatus::kOk) return status;
  if ((FileExists(target) && !RemoveFile(target)) || !RenameFile(temporary, target)) {
    RemoveFile(temporary);
    return ZipExtractStatus::kCannotWrite;
  }
  return ZipExtractStatus::kOk;
}

std::string ZipExtractStatusText(ZipExtractStatus status) {
  switch (status) {
    case ZipExtractStatus::kOk: return {};
    case ZipExtractStatus::kUnreadable: return ZipStatusText(ZipStatus::kUnreadable);
    case ZipExtractStatus::kNotZip: return ZipStatusText(ZipStatus::kNotZip);
    case ZipExtractStatus::kTruncated: return ZipStatusText(ZipStatus::kTruncated);
    case ZipExtractStatus::kCorrupt: return ZipStatusText(ZipStatus::kCorrupt);
    case ZipExtractStatus::kZip64: return ZipStatusText(ZipStatus::kZip64);
    case ZipExtractStatus::kSplit: return ZipStatusText(ZipStatus::kSplit);
    case ZipExtractStatus::kMemberNotFound: return Jp("ZIPファイルにメンバーが見つかりません");
    case ZipExtractStatus::kUnusableName: return Jp("メンバーの名前ではファイルを作れません");
    case ZipExtractStatus::kEncrypted: return Jp("暗号化されたメンバーは展開できません");
    case ZipExtractStatus::kUnsupportedMethod: return Jp("対応していない圧縮方式のメンバーです");
    case ZipExtractStatus::kDamaged: return Jp("ZIPファイルのメンバーが壊れています");
    case ZipExtractStatus::kCannotWrite: return Jp("展開先にファイルを書き込めません");
  }
  return {};
}

}  // namespace vel
