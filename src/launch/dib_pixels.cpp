#include "launch/dib_pixels.h"

#include <bit>

namespace vel {
namespace {

std::uint32_t Little32(const std::uint8_t* p) {
  return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) | (std::uint32_t{p[3]} << 24);
}
std::uint16_t Little16(const std::uint8_t* p) { return static_cast<std::uint16_t>(p[0] | (p[1] << 8)); }

// The 8-bit value of the bits of `value` under `mask`.
std::uint32_t Channel(std::uint32_t value, std::uint32_t mask) {
  if (mask == 0) return 0;
  int shift = std::countr_zero(mask);
  std::uint32_t bits = (value & mask) >> shift;
  std::uint32_t top = mask >> shift;
  return top == 0 ? 0 : bits * 255 / top;
}

constexpr std::uint32_t kBiRgb = 0, kBiBitfields = 3;

}  // namespace

std::optional<SnapPixels> PixelsFromDib(const std::vector<std::uint8_t>& dib) {
  if (dib.size() < 40) return std::nullopt;
  const std::uint8_t* d = dib.data();
  std::uint32_t headerSize = Little32(d);
  if (headerSize < 40 || headerSize > dib.size()) return std::nullopt;
  std::int32_t width = static_cast<std::int32_t>(Little32(d + 4));
  std::int32_t rawHeight = static_cast<std::int32_t>(Little32(d + 8));
  int bits = Little16(d + 14);
  std::uint32_t compression = Little32(d + 16);
  std::uint32_t used = Little32(d + 32);
  if (width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return std::nullopt;
  bool topDown = rawHeight < 0;
  long long height = topDown ? -static_cast<long long>(rawHeight) : rawHeight;
  if (width > kLargestSnapSide * 4 || height > kLargestSnapSide * 4) return std::nullopt;
  if (compression != kBiRgb && !(compression == kBiBitfields && (bits == 16 || bits == 32))) return std::nullopt;

  size_t at = headerSize;
  std::uint32_t red = 0x7C00, green = 0x03E0, blue = 0x001F;  // 16-bit default 5-5-5
  if (bits == 32) red = 0xFF0000, green = 0x00FF00, blue = 0x0000FF;
  if (compression == kBiBitfields) {
    if (headerSize >= 52) {  // masks inside a V2..V5 header
      red = Little32(d + 40), green = Little32(d + 44), blue = Little32(d + 48);
    } else {
      if (dib.size() < at + 12) return std::nullopt;
      red = Little32(d + at), green = Little32(d + at + 4), blue = Little32(d + at + 8);
      at += 12;
    }
  }
  std::vector<std::uint32_t> palette;
  if (bits == 1 || bits == 4 || bits == 8) {
    size_t colours = used ? used : (size_t{1} << bits);
    if (colours > 256 || dib.size() < at + colours * 4) return std::nullopt;
    for (size_t i = 0; i < colours; ++i, at += 4)
      palette.push_back((std::uint32_t{d[at + 2]} << 16) | (std::uint32_t{d[at + 1]} << 8) | d[at]);
  } else if (bits != 16 && bits != 24 && bits != 32) {
    return std::nullopt;
  }
  size_t stride = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
  if ((dib.size() - at) / stride < static_cast<size_t>(height)) return std::nullopt;  // truncated

  SnapPixels out;
  out.width = width;
  out.height = static_cast<int>(height);
  out.pixels.resize(static_cast<size_t>(width) * height);
  for (long long y = 0; y < height; ++y) {
    const std::uint8_t* row = d + at + stride * static_cast<size_t>(topDown ? y : height - 1 - y);
    std::uint32_t* target = &out.pixels[static_cast<size_t>(y) * width];
    for (int x = 0; x < width; ++x) {
      std::uint32_t pixel = 0;
      switch (bits) {
        case 1:
        case 4:
        case 8: {
          size_t bit = static_cast<size_t>(x) * bits;
          unsigned index = (row[bit / 8] >> (8 - bits - bit % 8)) & ((1u << bits) - 1);
          pixel = index < palette.size() ? palette[index] : 0;
          break;
        }
        case 16: {
          std::uint32_t v = Little16(row + x * 2);
          pixel = (Channel(v, red) << 16) | (Channel(v, green) << 8) | Channel(v, blue);
          break;
        }
        case 24: pixel = (std::uint32_t{row[x * 3 + 2]} << 16) | (std::uint32_t{row[x * 3 + 1]} << 8) | row[x * 3]; break;
        default: {
          std::uint32_t v = Little32(row + x * 4);
          pixel = (Channel(v, red) << 16) | (Channel(v, green) << 8) | Channel(v, blue);
          break;
        }
      }
      target[x] = pixel;
    }
  }
  return out;
}

}  // namespace vel
