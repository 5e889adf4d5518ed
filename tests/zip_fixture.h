#pragma once
// Builds small ZIP files for tests and the benchmark: stored or deflated
// members, names as given (CP932) or flagged as UTF-8.
#include <zlib.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vel::test {

struct ZipEntry {
  std::string name;
  std::string data;
  bool deflate = false;
  bool utf8Name = false;
};

inline void PutU16(std::string& out, unsigned v) {
  out += static_cast<char>(v & 0xFF);
  out += static_cast<char>((v >> 8) & 0xFF);
}
inline void PutU32(std::string& out, std::uint32_t v) {
  PutU16(out, v & 0xFFFF);
  PutU16(out, v >> 16);
}

inline std::string RawDeflate(const std::string& data) {
  z_stream z{};
  deflateInit2(&z, Z_BEST_COMPRESSION, Z_DEFLATED, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, static_cast<uLong>(data.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data.data()));
  z.avail_in = static_cast<uInt>(data.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

inline std::uint32_t ZlibCrc(const std::string& data) {
  return static_cast<std::uint32_t>(
      crc32(0, reinterpret_cast<const Bytef*>(data.data()), static_cast<uInt>(data.size())));
}

inline std::string MakeZip(const std::vector<ZipEntry>& entries) {
  std::string out, directory;
  for (const ZipEntry& e : entries) {
    std::string body = e.deflate ? RawDeflate(e.data) : e.data;
    unsigned flags = e.utf8Name ? 0x0800 : 0;
    unsigned method = e.deflate ? 8 : 0;
    std::uint32_t crc = ZlibCrc(e.data);
    std::uint32_t offset = static_cast<std::uint32_t>(out.size());
    PutU32(out, 0x04034b50);
    PutU16(out, 20);
    PutU16(out, flags);
    PutU16(out, method);
    PutU32(out, 0);
    PutU32(out, crc);
    PutU32(out, static_cast<std::uint32_t>(body.size()));
    PutU32(out, static_cast<std::uint32_t>(e.data.size()));
    PutU16(out, static_cast<unsigned>(e.name.size()));
    PutU16(out, 0);
    out += e.name + body;
    PutU32(directory, 0x02014b50);
    PutU16(directory, 20);
    PutU16(directory, 20);
    PutU16(directory, flags);
    PutU16(directory, method);
    PutU32(directory, 0);
    PutU32(directory, crc);
    PutU32(directory, static_cast<std::uint32_t>(body.size()));
    PutU32(directory, static_cast<std::uint32_t>(e.data.size()));
    PutU16(directory, static_cast<unsigned>(e.name.size()));
    PutU16(directory, 0);
    PutU16(directory, 0);
    PutU16(directory, 0);
    PutU16(directory, 0);
    PutU32(directory, 0);
    PutU32(directory, offset);
    directory += e.name;
  }
  std::uint32_t directoryAt = static_cast<std::uint32_t>(out.size());
  out += directory;
  PutU32(out, 0x06054b50);
  PutU16(out, 0);
  PutU16(out, 0);
  PutU16(out, static_cast<unsigned>(entries.size()));
  PutU16(out, static_cast<unsigned>(entries.size()));
  PutU32(out, static_cast<std::uint32_t>(directory.size()));
  PutU32(out, directoryAt);
  PutU16(out, 0);
  return out;
}

}  // namespace vel::test
