#include "maintenance/crc.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <memory>

#include "platform/codepage.h"
#include "platform/input_file.h"

namespace vel {
namespace {

const std::array<std::uint16_t, 256>& Crc16Table() {
  static const std::array<std::uint16_t, 256> table = [] {
    std::array<std::uint16_t, 256> t {};
    for (unsigned i = 0; i < 256; ++i) {
      std::uint16_t c = static_cast<std::uint16_t>(i);
      for (int k = 0; k < 8; ++k) c = (c & 1) ? static_cast<std::uint16_t>((c >> 1) ^ 0xA001) : (c >> 1);
      t[i] = c;
    }
    return t;
  }();
  return table;
}

constexpr std::size_t kReadChunk = 1 << 20;

}  // namespace

std::uint32_t Crc32(std::uint32_t crc, const void* data, std::size_t size) {
  const auto* p = static_cast<const Bytef*>(data);
  // zlib takes the length as a 32-bit count.
  while (size > 0) {
    uInt n = size > 0x40000000 ? 0x40000000u : static_cast<uInt>(size);
    crc = static_cast<std::uint32_t>(crc32(crc, p, n));
    p += n;
    size -= n;
  }
  return crc;
}

std::uint16_t Crc16(std::uint16_t crc, const void* data, std::size_t size) {
  const auto& table = Crc16Table();
  const auto* p = static_cast<const unsigned char*>(data);
  for (std::size_t i = 0; i < size; ++i)
    crc = static_cast<std::uint16_t>((crc >> 8) ^ table[(crc ^ p[i]) & 0xFF]);
  return crc;
}

std::string Crc32Text(std::uint32_t crc) {
  char text[9];
  std::snprintf(text, sizeof text, "%08X", static_cast<unsigned>(crc));
  return text;
}

std::string Crc16Text(std::uint16_t crc) {
  char text[5];
  std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(crc));
  return text;
}

void RangeCrc::Feed(const unsigned char* data, std::size_t size) {
  std::int64_t start = seen_;
  seen_ += static_cast<std::int64_t>(size);
  std::int64_t from = std::max(start, range_.offset);
  std::int64_t to = range_.length == 0 ? seen_ : std::min(seen_, range_.offset + range_.length);
  if (from >= to) return;
  const unsigned char* p = data + (from - start);
  std::size_t n = static_cast<std::size_t>(to - from);
  if (wanted_.crc32) crc32_ = Crc32(crc32_, p, n);
  if (wanted_.crc16) crc16_ = Crc16(crc16_, p, n);
}

CrcResult RangeCrc::Finish() const {
  CrcResult result;
  if (!range_.FitsIn(seen_)) {
    result.problem = RangeBeyondEndText();
    return result;
  }
  if (wanted_.crc32) result.crc32 = Crc32Text(crc32_);
  if (wanted_.crc16) result.crc16 = Crc16Text(crc16_);
  return result;
}

std::string RangeBeyondEndText() { return Jp("CRCの計算範囲がファイルの大きさを越えています"); }

CrcResult FileCrc(const std::string& path, CrcRange range, CrcWanted wanted) {
  CrcResult result;
  InputFile file;
  if (!file.Open(path)) {
    result.problem = Jp("ファイルを開けません");
    return result;
  }
  if (!range.FitsIn(file.Size())) {
    result.problem = RangeBeyondEndText();
    return result;
  }
  std::int64_t left = range.length == 0 ? file.Size() - range.offset : range.length;
  std::size_t chunk = static_cast<std::size_t>(std::min<std::int64_t>(left, kReadChunk));
  std::unique_ptr<unsigned char[]> buffer(new unsigned char[chunk ? chunk : 1]);
  std::uint32_t c32 = 0;
  std::uint16_t c16 = 0;
  std::int64_t at = range.offset;
  while (left > 0) {
    std::size_t want = static_cast<std::size_t>(std::min<std::int64_t>(left, chunk));
    std::int64_t got = file.ReadAt(at, buffer.get(), want);
    if (got <= 0) {
      result.problem = Jp("ファイルを読み込めません");
      return result;
    }
    if (wanted.crc32) c32 = Crc32(c32, buffer.get(), static_cast<std::size_t>(got));
    if (wanted.crc16) c16 = Crc16(c16, buffer.get(), static_cast<std::size_t>(got));
    at += got;
    left -= got;
  }
  if (wanted.crc32) result.crc32 = Crc32Text(c32);
  if (wanted.crc16) result.crc16 = Crc16Text(c16);
  return result;
}

}  // namespace vel
