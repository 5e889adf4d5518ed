#pragma once
// Our own reader of a ZIP file's central directory: the member names with
// their CRC32 and sizes, and the CRCs of a member's data over a range
// (stored or deflated members). ZIP64, split archives and damaged or cut-off
// files are reported by status, never read past their end.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "maintenance/crc.h"

namespace vel {

class InputFile;

struct ZipMember {
  std::string name;  // CP932, folders joined with '\'
  std::uint32_t crc32 = 0;
  std::uint64_t compressedSize = 0;
  std::uint64_t size = 0;
  std::uint64_t localHeaderOffset = 0;
  std::uint16_t method = 0;
  std::uint16_t flags = 0;
};

enum class ZipStatus { kOk, kUnreadable, kNotZip, kTruncated, kCorrupt, kZip64, kSplit };

struct ZipDirectory {
  ZipStatus status = ZipStatus::kUnreadable;
  std::vector<ZipMember> members;  // files only, in directory order
  // Member names left out: CP932 cannot hold them, or they contain '*' (which
  // separates an archive from its member in a library key). For the log.
  std::vector<std::string> skippedNames;
};

ZipDirectory ReadZipDirectory(InputFile& file);
// What a status means, for the log (CP932); empty for kOk.
std::string ZipStatusText(ZipStatus status);

// What reading a member's data came to.
enum class ZipDataStatus { kOk, kEncrypted, kUnsupportedMethod, kCorrupt, kTruncated, kNoInflater, kDamaged, kStopped };

// Passes a member's uncompressed data (stored or deflated) to `sink` in
// pieces and checks it against the directory's CRC32 and size. A sink that
// returns false stops the reading (kStopped). The sink may have been given
// data before any status other than kOk.
using ZipDataSink = std::function<bool(const unsigned char* data, std::size_t size)>;
ZipDataStatus ReadZipMemberData(InputFile& file, const ZipMember& member, const ZipDataSink& sink);

// CRCs of a member's uncompressed data over a range. Whole-file CRC32 alone
// comes from the directory; anything else reads (and inflates) the data and
// checks it against the directory's CRC32 and size.
CrcResult ZipMemberCrc(InputFile& file, const ZipMember& member, CrcRange range, CrcWanted wanted);

}  // namespace vel
