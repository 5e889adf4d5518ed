#pragma once
// A small PNG reader for tests: 8-bit RGB or RGBA, no interlace, filters 0-4,
// so that what the program filed is checked without the encoder's own code.
#include <zlib.h>

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <vector>

namespace vel::test {

struct PngImage {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;  // 0x00RRGGBB, top-down
  std::uint32_t At(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

inline std::uint32_t Big32(const std::uint8_t* p) {
  return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) | (std::uint32_t{p[2]} << 8) | p[3];
}

inline std::optional<PngImage> ReadPng(const std::vector<std::uint8_t>& file) {
  static const std::uint8_t signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (file.size() < 8 || !std::equal(signature, signature + 8, file.begin())) return std::nullopt;
  PngImage image;
  int channels = 0;
  std::vector<std::uint8_t> packed;
  for (size_t at = 8; at + 12 <= file.size();) {
    std::uint32_t length = Big32(&file[at]);
    if (at + 12 + length > file.size()) return std::nullopt;
    std::string type(reinterpret_cast<const char*>(&file[at + 4]), 4);
    const std::uint8_t* data = &file[at + 8];
    uLong crc = crc32(crc32(0L, Z_NULL, 0), &file[at + 4], length + 4);
    if (crc != Big32(data + length)) return std::nullopt;
    if (type == "IHDR") {
      image.width = static_cast<int>(Big32(data));
      image.height = static_cast<int>(Big32(data + 4));
      if (data[8] != 8 || (data[9] != 2 && data[9] != 6) || data[12] != 0) return std::nullopt;
      channels = data[9] == 2 ? 3 : 4;
    } else if (type == "IDAT") {
      packed.insert(packed.end(), data, data + length);
    } else if (type == "IEND") {
      break;
    }
    at += 12 + length;
  }
  if (channels == 0 || image.width <= 0 || image.height <= 0) return std::nullopt;
  size_t stride = static_cast<size_t>(image.width) * channels;
  std::vector<std::uint8_t> raw((stride + 1) * image.height);
  uLongf rawSize = static_cast<uLongf>(raw.size());
  if (uncompress(raw.data(), &rawSize, packed.data(), static_cast<uLong>(packed.size())) != Z_OK ||
      rawSize != raw.size())
    return std::nullopt;
  std::vector<std::uint8_t> previous(stride, 0), row(stride);
  image.pixels.resize(static_cast<size_t>(image.width) * image.height);
  for (int y = 0; y < image.height; ++y) {
    const std::uint8_t* line = &raw[(stride + 1) * y];
    int filter = line[0];
    for (size_t i = 0; i < stride; ++i) {
      int a = i >= static_cast<size_t>(channels) ? row[i - channels] : 0;
      int b = previous[i];
      int c = i >= static_cast<size_t>(channels) ? previous[i - channels] : 0;
      int predictor = 0;
      switch (filter) {
        case 0: predictor = 0; break;
        case 1: predictor = a; break;
        case 2: predictor = b; break;
        case 3: predictor = (a + b) / 2; break;
        case 4: {
          int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
          predictor = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
          break;
        }
        default: return std::nullopt;
      }
      row[i] = static_cast<std::uint8_t>(line[1 + i] + predictor);
    }
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = &row[static_cast<size_t>(x) * channels];
      image.pixels[static_cast<size_t>(y) * image.width + x] = (std::uint32_t{p[0]} << 16) | (std::uint32_t{p[1]} << 8) | p[2];
    }
    previous = row;
  }
  return image;
}

}  // namespace vel::test
