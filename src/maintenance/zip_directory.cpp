#include "maintenance/zip_directory.h"

#include <zlib.h>

#include <algorithm>
#include <memory>

#include "platform/codepage.h"
#include "platform/input_file.h"

namespace vel {
namespace {

constexpr std::uint32_t kEndSignature = 0x06054b50;
constexpr std::uint32_t kZip64LocatorSignature = 0x07064b50;
constexpr std::uint32_t kCentralSignature = 0x02014b50;
constexpr std::uint32_t kLocalSignature = 0x04034b50;
constexpr std::size_t kEndSize = 22;
constexpr std::size_t kCentralSize = 46;
constexpr std::size_t kLocalSize = 30;
constexpr std::int64_t kLongestEndSearch = kEndSize + 0xFFFF;
constexpr std::uint16_t kFlagEncrypted = 0x0001;
constexpr std::uint16_t kFlagUtf8Name = 0x0800;

std::uint16_t U16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }
std::uint32_t U32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

// The member name in CP932 with '\' between folders; false when it cannot be
// one (no CP932 form, a '*' or a NUL in it).
bool MemberName(const unsigned char* raw, std::size_t size, bool utf8, std::string& name) {
  std::string stored(reinterpret_cast<const char*>(raw), size);
  if (utf8) {
    name = Utf8ToAnsi(stored);
    if (AnsiToUtf8(name) != stored) return false;
  } else {
    name = stored;
  }
  bool usable = true;
  for (std::size_t i = 0; i < name.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (IsCp932LeadByte(c) && i + 1 < name.size()) {
      ++i;
      continue;
    }
    if (c == '/') name[i] = '\\';
    if (c == '*' || c == 0) usable = false;
  }
  return usable;
}

}  // namespace

std::string ZipStatusText(ZipStatus status) {
  switch (status) {
    case ZipStatus::kOk: return {};
    case ZipStatus::kUnreadable: return Jp("ZIPファイルを読み込めません");
    case ZipStatus::kNotZip: return Jp("ZIPファイルではありません");
    case ZipStatus::kTruncated: return Jp("ZIPファイルが途中で切れています");
    case ZipStatus::kCorrupt: return Jp("ZIPファイルが壊れています");
    case ZipStatus::kZip64: return Jp("ZIP64形式のZIPファイルには対応していません");
    case ZipStatus::kSplit: return Jp("分割されたZIPファイルには対応していません");
  }
  return {};
}

ZipDirectory ReadZipDirectory(InputFile& file) {
  ZipDirectory zip;
  const std::int64_t size = file.Size();
  // The end record is the last thing in the file, followed only by a comment.
  std::int64_t tailSize = std::min(size, kLongestEndSearch);
  std::vector<unsigned char> tail(static_cast<std::size_t>(tailSize));
  if (!file.ReadExactly(size - tailSize, tail.data(), tail.size())) return zip;
  std::int64_t endAt = -1;
  for (std::int64_t i = tailSize - static_cast<std::int64_t>(kEndSize); i >= 0; --i) {
    const unsigned char* p = tail.data() + i;
    if (U32(p) == kEndSignature && i + static_cast<std::int64_t>(kEndSize) + U16(p + 20) <= tailSize) {
      endAt = size - tailSize + i;
      break;
    }
  }
  if (endAt < 0) {
    unsigned char head[4] = {};
    bool startsLikeZip = size >= 4 && file.ReadExactly(0, head, 4) && U32(head) == kLocalSignature;
    zip.status = startsLikeZip ? ZipStatus::kTruncated : ZipStatus::kNotZip;
    return zip;
  }
  const unsigned char* end = tail.data() + (endAt - (size - tailSize));
  std::uint16_t disk = U16(end + 4), directoryDisk = U16(end + 6);
  std::uint16_t entriesHere = U16(end + 8), entries = U16(end + 10);
  std::uint32_t directorySize = U32(end + 12), directoryOffset = U32(end + 16);
  std::int64_t endInTail = endAt - (size - tailSize);
  bool locatorBefore = endInTail >= 20 && U32(end - 20) == kZip64LocatorSignature;
  if (locatorBefore || entries == 0xFFFF || directorySize == 0xFFFFFFFF || directoryOffset == 0xFFFFFFFF) {
    zip.status = ZipStatus::kZip64;
    return zip;
  }
  if (disk != 0 || directoryDisk != 0 || entriesHere != entries) {
    zip.status = ZipStatus::kSplit;
    return zip;
  }
  if (static_cast<std::int64_t>(directoryOffset) + directorySize > endAt) {
    zip.status = ZipStatus::kTruncated;
    return zip;
  }
  std::vector<unsigned char> directory(directorySize);
  if (!file.ReadExactly(directoryOffset, directory.data(), directory.size())) return zip;
  std::size_t at = 0;
  for (unsigned n = 0; n < entries; ++n) {
    if (at + kCentralSize > directory.size() || U32(&directory[at]) != kCentralSignature) {
      zip.status = ZipStatus::kCorrupt;
      zip.members.clear();
      return zip;
    }
    const unsigned char* h = &directory[at];
    std::size_t nameSize = U16(h + 28), extraSize = U16(h + 30), commentSize = U16(h + 32);
    std::size_t next = at + kCentralSize + nameSize + extraSize + commentSize;
    if (next > directory.size()) {
      zip.status = ZipStatus::kCorrupt;
      zip.members.clear();
      return zip;
    }
    ZipMember member;
    member.flags = U16(h + 8);
    member.method = U16(h + 10);
    member.crc32 = U32(h + 16);
    member.compressedSize = U32(h + 20);
    member.size = U32(h + 24);
    member.localHeaderOffset = U32(h + 42);
    if (member.compressedSize == 0xFFFFFFFF || member.size == 0xFFFFFFFF ||
        member.localHeaderOffset == 0xFFFFFFFF) {
      zip.status = ZipStatus::kZip64;
      zip.members.clear();
      return zip;
    }
    bool isFolder = nameSize > 0 && (h[kCentralSize + nameSize - 1] == '/' || h[kCentralSize + nameSize - 1] == '\\');
    if (!isFolder && nameSize > 0) {
      if (MemberName(h + kCentralSize, nameSize, (member.flags & kFlagUtf8Name) != 0, member.name))
        zip.members.push_back(std::move(member));
      else
        zip.skippedNames.push_back(member.name);
    }
    at = next;
  }
  zip.status = ZipStatus::kOk;
  return zip;
}

ZipDataStatus ReadZipMemberData(InputFile& file, const ZipMember& member, const ZipDataSink& sink) {
  if (member.flags & kFlagEncrypted) return ZipDataStatus::kEncrypted;
  if (member.method != 0 && member.method != Z_DEFLATED) return ZipDataStatus::kUnsupportedMethod;
  unsigned char local[kLocalSize];
  if (!file.ReadExactly(static_cast<std::int64_t>(member.localHeaderOffset), local, kLocalSize) ||
      U32(local) != kLocalSignature)
    return ZipDataStatus::kCorrupt;
  std::int64_t dataAt = static_cast<std::int64_t>(member.localHeaderOffset) + kLocalSize + U16(local + 26) + U16(local + 28);
  if (dataAt + static_cast<std::int64_t>(member.compressedSize) > file.Size()) return ZipDataStatus::kTruncated;
  // The whole member's CRC32 and size, to check the data with; more data than
  // the directory states is damage, found before it is passed on.
  std::uint32_t whole = 0;
  std::uint64_t seen = 0;
  bool stopped = false;
  auto feed = [&](const unsigned char* p, std::size_t n) {
    if (n == 0) return true;
    seen += n;
    if (seen > member.size) return false;
    whole = Crc32(whole, p, n);
    stopped = !sink(p, n);
    return !stopped;
  };
  constexpr std::size_t kChunk = 1 << 16;
  std::unique_ptr<unsigned char[]> in(new unsigned char[kChunk]);
  std::uint64_t left = member.compressedSize;
  std::int64_t at = dataAt;
  bool damaged = false;
  if (member.method == 0) {
    while (left > 0 && !damaged) {
      std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kChunk));
      damaged = !file.ReadExactly(at, in.get(), n) || !feed(in.get(), n);
      at += static_cast<std::int64_t>(n);
      left -= n;
    }
  } else {
    std::unique_ptr<unsigned char[]> out(new unsigned char[kChunk]);
    z_stream z {};
    if (inflateInit2(&z, -MAX_WBITS) != Z_OK) return ZipDataStatus::kNoInflater;
    int rc = Z_OK;
    while (rc != Z_STREAM_END && !damaged) {
      if (z.avail_in == 0) {
        if (left == 0) {
          damaged = true;
          break;
        }
        std::size_t n = static_cast<std::size_t>(std::min<std::uint64_t>(left, kChunk));
        if (!file.ReadExactly(at, in.get(), n)) {
          damaged = true;
          break;
        }
        at += static_cast<std::int64_t>(n);
        left -= n;
        z.next_in = in.get();
        z.avail_in = static_cast<uInt>(n);
      }
      z.next_out = out.get();
      z.avail_out = kChunk;
      rc = inflate(&z, Z_NO_FLUSH);
      if (rc != Z_OK && rc != Z_STREAM_END) damaged = true;
      if (!feed(out.get(), kChunk - z.avail_out)) damaged = true;
    }
    inflateEnd(&z);
  }
  if (stopped) return ZipDataStatus::kStopped;
  if (damaged || whole != member.crc32 || seen != member.size) return ZipDataStatus::kDamaged;
  return ZipDataStatus::kOk;
}

CrcResult ZipMemberCrc(InputFile& file, const ZipMember& member, CrcRange range, CrcWanted wanted) {
  CrcResult result;
  if (range.WholeFile() && !wanted.crc16) {
    if (wanted.crc32) result.crc32 = Crc32Text(member.crc32);
    return result;
  }
  RangeCrc inRange(range, wanted);
  ZipDataStatus status = ReadZipMemberData(file, member, [&](const unsigned char* p, std::size_t n) {
    inRange.Feed(p, n);
    return true;
  });
  switch (status) {
    case ZipDataStatus::kOk: return inRange.Finish();
    case ZipDataStatus::kEncrypted: result.problem = Jp("暗号化されたメンバーのCRCは計算できません"); break;
    case ZipDataStatus::kUnsupportedMethod: result.problem = Jp("対応していない圧縮方式のメンバーです"); break;
    case ZipDataStatus::kCorrupt: result.problem = ZipStatusText(ZipStatus::kCorrupt); break;
    case ZipDataStatus::kTruncated: result.problem = ZipStatusText(ZipStatus::kTruncated); break;
    case ZipDataStatus::kNoInflater: result.problem = Jp("展開の準備に失敗しました"); break;
    case ZipDataStatus::kDamaged:
    case ZipDataStatus::kStopped: result.problem = Jp("ZIPファイルのメンバーが壊れています"); break;
  }
  return result;
}

}  // namespace vel
