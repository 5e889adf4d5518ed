#include "launch/dib_pixels.h"

#include <gtest/gtest.h>

namespace vel {
namespace {

void Put32(std::vector<std::uint8_t>& out, std::uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
void Put16(std::vector<std::uint8_t>& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

// A header of `size` bytes (40 info, 108 V4, 124 V5) with masks when given.
std::vector<std::uint8_t> Header(std::uint32_t size, int width, int height, int bits, std::uint32_t compression,
                                 std::uint32_t colours = 0, bool masks = false) {
  std::vector<std::uint8_t> h;
  Put32(h, size);
  Put32(h, static_cast<std::uint32_t>(width));
  Put32(h, static_cast<std::uint32_t>(height));
  Put16(h, 1);
  Put16(h, static_cast<std::uint16_t>(bits));
  Put32(h, compression);
  for (int i = 0; i < 3; ++i) Put32(h, 0);
  Put32(h, colours);
  Put32(h, 0);
  if (masks) Put32(h, 0x00FF0000), Put32(h, 0x0000FF00), Put32(h, 0x000000FF), Put32(h, 0xFF000000);
  h.resize(size, 0);
  return h;
}

TEST(DibPixels, ReadsTheCommonFormats) {
  // 2x2, bottom-up rows: the first stored row is the bottom one.
  struct Case {
    const char* what;
    std::vector<std::uint8_t> dib;
    std::uint32_t topLeft, topRight, bottomLeft;
  };
  std::vector<Case> cases;
  {  // 24-bit, rows padded to 4 bytes
    auto d = Header(40, 2, 2, 24, 0);
    for (std::uint8_t b : {0x00, 0x00, 0xFF, 0x00, 0xFF, 0x00, 0, 0}) d.push_back(b);  // bottom: red, green
    for (std::uint8_t b : {0xFF, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0, 0}) d.push_back(b);  // top: blue, white (BGR order)
    cases.push_back({"24-bit bottom-up", d, 0x0000FF, 0xFFFFFF, 0xFF0000});
  }
  {  // 32-bit top-down
    auto d = Header(40, 2, -2, 32, 0);
    for (std::uint32_t p : {0x00112233u, 0x00445566u, 0x00778899u, 0u}) Put32(d, p);
    cases.push_back({"32-bit top-down", d, 0x112233, 0x445566, 0x778899});
  }
  {  // 8-bit with a two-colour palette
    auto d = Header(40, 2, 2, 8, 0, 2);
    Put32(d, 0x00000000), Put32(d, 0x00FF8000);
    for (std::uint8_t b : {1, 0, 0, 0}) d.push_back(b);  // bottom row
    for (std::uint8_t b : {0, 1, 0, 0}) d.push_back(b);  // top row
    cases.push_back({"8-bit palette", d, 0x000000, 0xFF8000, 0xFF8000});
  }
  {  // 1-bit, full palette of two
    auto d = Header(40, 2, 2, 1, 0);
    Put32(d, 0x00000000), Put32(d, 0x00FFFFFF);
    for (std::uint8_t b : {0x40, 0, 0, 0}) d.push_back(b);  // bottom: black, white
    for (std::uint8_t b : {0x80, 0, 0, 0}) d.push_back(b);  // top: white, black
    cases.push_back({"1-bit", d, 0xFFFFFF, 0x000000, 0x000000});
  }
  {  // V5 header with bit fields inside it
    auto d = Header(124, 2, -2, 32, 3, 0, true);
    for (std::uint32_t p : {0xFF0000FFu, 0xFF00FF00u, 0xFFFF0000u, 0u}) Put32(d, p);
    cases.push_back({"V5 bit fields", d, 0x0000FF, 0x00FF00, 0xFF0000});
  }
  {  // 16-bit 5-6-5 with masks after an info header
    auto d = Header(40, 2, -1, 16, 3);
    Put32(d, 0xF800), Put32(d, 0x07E0), Put32(d, 0x001F);
    Put16(d, 0xF800), Put16(d, 0x001F);
    cases.push_back({"16-bit 565", d, 0xFF0000, 0x0000FF, 0});
  }
  for (const Case& c : cases) {
    std::optional<SnapPixels> p = PixelsFromDib(c.dib);
    ASSERT_TRUE(p) << c.what;
    EXPECT_EQ(p->width, 2) << c.what;
    EXPECT_EQ(p->At(0, 0), c.topLeft) << c.what;
    EXPECT_EQ(p->At(1, 0), c.topRight) << c.what;
    if (p->height > 1) {
      EXPECT_EQ(p->At(0, 1), c.bottomLeft) << c.what;
    }
  }
}

TEST(DibPixels, RefusesWhatItCannotReadWhole) {
  auto truncated = Header(40, 4, 4, 24, 0);
  truncated.resize(truncated.size() + 20);  // 4 rows of 12 bytes needed
  auto compressed = Header(40, 2, 2, 8, 1);  // run-length
  compressed.resize(compressed.size() + 1024 + 8);
  auto huge = Header(40, 1 << 30, 1 << 30, 32, 0);
  std::vector<std::uint8_t> text = {'h', 'e', 'l', 'l', 'o'};
  auto badPalette = Header(40, 2, 2, 8, 0, 100000);
  for (const auto& dib : {truncated, compressed, huge, text, badPalette}) EXPECT_FALSE(PixelsFromDib(dib));
}

}  // namespace
}  // namespace vel
