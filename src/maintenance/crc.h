#pragma once
// CRCs of images: CRC32 (the polynomial of ZIP files) and CRC16, over the
// whole file or a range of it, written as upper-case hexadecimal text.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vel {

// CRC32 continued over more bytes (start with 0).
std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size);
// CRC16 continued over more bytes (start with 0). The variant is the
// reflected polynomial 0x8005 (0xA001 reflected), initial value 0, no final
// exclusive-or: the CRC-16 that LZH archives carry. Its check value over the
// nine bytes "123456789" is 0xBB3D.
std::uint16_t Crc16(std::uint16_t crc, const void* data, std::size_t size);

std::string Crc32Text(std::uint32_t crc);  // 8 digits
std::string Crc16Text(std::uint16_t crc);  // 4 digits

// The bytes a CRC covers: from `offset` on, `length` bytes (0: to the end).
struct CrcRange {
  std::int64_t offset = 0;
  std::int64_t length = 0;
  bool WholeFile() const { return offset == 0 && length == 0; }
  bool Valid() const { return offset >= 0 && length >= 0; }
  // True when a stream of `size` bytes holds the whole range. A range that
  // starts at the end holds no byte: every such file would get one CRC.
  bool FitsIn(std::int64_t size) const {
    if (WholeFile()) return true;
    return length == 0 ? offset < size : offset <= size && length <= size - offset;
  }
};

struct CrcWanted {
  bool crc32 = false;
  bool crc16 = false;
  bool Any() const { return crc32 || crc16; }
};

// CRC text of what was asked ("" for what was not); `problem` tells why the
// CRCs could not be computed (CP932, for the log), empty on success.
struct CrcResult {
  std::string crc32;
  std::string crc16;
  std::string problem;
  bool Ok() const { return problem.empty(); }
};

// Feeds the bytes of a stream, in order, and keeps the CRCs of those that fall
// within a range.
class RangeCrc {
 public:
  RangeCrc(CrcRange range, CrcWanted wanted) : range_(range), wanted_(wanted) {}
  void Feed(const unsigned char* data, std::size_t size);
  std::int64_t BytesSeen() const { return seen_; }
  // True once the range is complete (with length 0 never before the end).
  bool Done() const { return range_.length != 0 && seen_ >= range_.offset + range_.length; }
  // The result after the whole stream was fed.
  CrcResult Finish() const;

 private:
  CrcRange range_;
  CrcWanted wanted_;
  std::int64_t seen_ = 0;
  std::uint32_t crc32_ = 0;
  std::uint16_t crc16_ = 0;
};

// The text for a range that the stream does not hold (CP932).
std::string RangeBeyondEndText();

// CRCs of a plain file over a range.
CrcResult FileCrc(const std::string& path, CrcRange range, CrcWanted wanted);

}  // namespace vel
