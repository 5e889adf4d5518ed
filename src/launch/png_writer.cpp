#include "launch/png_writer.h"

#include <zlib.h>

#include "platform/file_operations.h"
#include "platform/output_file.h"
#include "platform/system.h"

namespace vel {
namespace {

void PutBig32(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(value >> shift));
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type, const std::vector<std::uint8_t>& data) {
  PutBig32(out, static_cast<std::uint32_t>(data.size()));
  size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  uLong crc = crc32(0L, Z_NULL, 0);
  crc = crc32(crc, out.data() + start, static_cast<uInt>(out.size() - start));
  PutBig32(out, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::optional<std::vector<std::uint8_t>> EncodePng(const SnapPixels& picture) {
  if (picture.width <= 0 || picture.height <= 0 ||
      picture.pixels.size() != static_cast<size_t>(picture.width) * picture.height)
    return std::nullopt;
  // Filter type 0 (none) on every row, RGB bytes.
  size_t rowBytes = static_cast<size_t>(picture.width) * 3 + 1;
  std::vector<std::uint8_t> raw(rowBytes * picture.height);
  for (int y = 0; y < picture.height; ++y) {
    std::uint8_t* row = &raw[rowBytes * y];
    row[0] = 0;
    for (int x = 0; x < picture.width; ++x) {
      std::uint32_t p = picture.At(x, y);
      row[1 + x * 3] = static_cast<std::uint8_t>(p >> 16);
      row[2 + x * 3] = static_cast<std::uint8_t>(p >> 8);
      row[3 + x * 3] = static_cast<std::uint8_t>(p);
    }
  }
  uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
  std::vector<std::uint8_t> packed(packedSize);
  if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()), 6) != Z_OK) return std::nullopt;
  packed.resize(packedSize);

  std::vector<std::uint8_t> out = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutBig32(header, static_cast<std::uint32_t>(picture.width));
  PutBig32(header, static_cast<std::uint32_t>(picture.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8-bit, RGB, deflate, adaptive filters, no interlace
  PutChunk(out, "IHDR", header);
  PutChunk(out, "IDAT", packed);
  PutChunk(out, "IEND", {});
  return out;
}

int SaveFileWhole(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  if (path.empty() || path.size() + 4 > 259) return kSnapWriteFailed;
  // A read-only snapshot is the user's to keep, whatever a move would allow.
  if (FileExists(path) && IsReadOnlyFile(path)) return kSnapWriteFailed;
  const std::string beside = path + ".new";
  OutputFile file;
  bool written = file.Create(beside) && file.Write(bytes.data(), bytes.size());
  written = file.Close() && written;
  if (written && ReplaceWithFile(beside, path)) return kSnapSaved;
  RemoveFile(beside);
  return kSnapWriteFailed;
}

int SavePng(const SnapPixels& picture, const std::string& path) {
  std::optional<std::vector<std::uint8_t>> bytes = EncodePng(picture);
  if (!bytes) return kSnapEncodeFailed;
  return SaveFileWhole(path, *bytes);
}

}  // namespace vel
