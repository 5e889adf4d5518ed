#pragma once
// Our own extraction of one ZIP member, for when no ZIP archiver library is
// loaded: stored or deflated members, checked against their CRC32 and size,
// written under a temporary name and renamed, so that a failed or damaged
// member never leaves a half-written file behind.
#include <string>

namespace vel {

enum class ZipExtractStatus {
  kOk,  // extracted, or kept because it existed and the skip flag was set
  kUnreadable,
  kNotZip,
  kTruncated,
  kCorrupt,
  kZip64,
  kSplit,
  kMemberNotFound,
  kUnusableName,  // the member's own name cannot name a file in the folder
  kEncrypted,
  kUnsupportedMethod,
  kDamaged,
  kCannotWrite,
};

// Extracts the member whose stored name equals `memberName` without regard
// to case into `folder`, under the member's own file name without folders.
// With `skipIfExists` a file already there is kept as it is; without it, it
// is replaced once the new data is complete.
ZipExtractStatus ExtractZipMember(const std::string& archivePath, const std::string& memberName,
                                  const std::string& folder, bool skipIfExists);

// What a status means (CP932); empty for kOk.
std::string ZipExtractStatusText(ZipExtractStatus status);

}  // namespace vel
