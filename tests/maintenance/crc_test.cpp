#include "maintenance/crc.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "test_support.h"
#include "zip_fixture.h"

namespace vel {
namespace {

TEST(Crc, CheckValuesOverTheStandardNineBytes) {
  const std::string check = "123456789";
  EXPECT_EQ(Crc32(0, check.data(), check.size()), 0xCBF43926u);
  EXPECT_EQ(Crc16(0, check.data(), check.size()), 0xBB3D);
  EXPECT_EQ(Crc32Text(0x0012ABCD), "0012ABCD");
  EXPECT_EQ(Crc16Text(0x0B3D), "0B3D");
}

std::string Bytes(size_t n) {
  std::string s(n, '\0');
  for (size_t i = 0; i < n; ++i) s[i] = static_cast<char>((i * 131 + 7) ^ (i >> 5));
  return s;
}

TEST(Crc, FileRangeMatchesZlibOverTheSameBytes) {
  test::TempFolder folder;
  const std::string data = Bytes(3 * (1 << 20) + 123);  // more than one read
  const std::string path = folder / "image.bin";
  test::WriteWholeFile(path, data);
  const std::int64_t size = static_cast<std::int64_t>(data.size());
  struct Case {
    std::int64_t offset, length;
  } cases[] = {{0, 0}, {16, 0}, {3, 10}, {(1 << 20) - 1, (1 << 20) + 2}, {size - 1, 1}};
  for (const Case& c : cases) {
    std::string part = data.substr(static_cast<size_t>(c.offset),
                                   c.length ? static_cast<size_t>(c.length) : std::string::npos);
    CrcResult r = FileCrc(path, {c.offset, c.length}, {true, true});
    ASSERT_TRUE(r.Ok()) << c.offset << "+" << c.length;
    EXPECT_EQ(r.crc32, Crc32Text(test::ZlibCrc(part))) << c.offset << "+" << c.length;
    EXPECT_EQ(r.crc16, Crc16Text(Crc16(0, part.data(), part.size())));
  }
}

TEST(Crc, RangeBeyondTheFileOrAMissingFileGivesNoCrc) {
  test::TempFolder folder;
  const std::string path = folder / "small.bin";
  test::WriteWholeFile(path, "0123456789");
  // A range starting at the end holds no byte and is refused as well.
  for (CrcRange range : {CrcRange{11, 0}, CrcRange{5, 6}, CrcRange{0, 11}, CrcRange{10, 0}}) {
    CrcResult r = FileCrc(path, range, {true, true});
    EXPECT_FALSE(r.Ok());
    EXPECT_EQ(r.crc32, "");
    EXPECT_EQ(r.crc16, "");
  }
  EXPECT_FALSE(FileCrc(folder / "missing.bin", {}, {true, false}).Ok());
  // Only what was asked is computed.
  CrcResult only16 = FileCrc(path, {}, {false, true});
  EXPECT_EQ(only16.crc32, "");
  EXPECT_EQ(only16.crc16.size(), 4u);
}

TEST(Crc, RangeFedInPiecesEqualsTheRangeAtOnce) {
  const std::string data = Bytes(1000);
  for (size_t piece : {1u, 7u, 64u, 1000u}) {
    RangeCrc crc({100, 333}, {true, true});
    for (size_t at = 0; at < data.size(); at += piece)
      crc.Feed(reinterpret_cast<const unsigned char*>(data.data()) + at, std::min(piece, data.size() - at));
    CrcResult r = crc.Finish();
    EXPECT_EQ(r.crc32, Crc32Text(test::ZlibCrc(data.substr(100, 333)))) << piece;
  }
}

}  // namespace
}  // namespace vel
