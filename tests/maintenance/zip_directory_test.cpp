#include "maintenance/zip_directory.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"
#include "platform/input_file.h"
#include "test_support.h"
#include "zip_fixture.h"

namespace vel {
namespace {

using test::ZipEntry;

ZipDirectory ReadBytes(const test::TempFolder& folder, const std::string& bytes) {
  const std::string path = folder / "t.zip";
  test::WriteWholeFile(path, bytes);
  InputFile file;
  EXPECT_TRUE(file.Open(path));
  return ReadZipDirectory(file);
}

TEST(ZipDirectory, ListsFilesWithTheirCrcAndNames) {
  test::TempFolder folder;
  // "ソフト" carries a trail byte 0x5C, which must not become a separator.
  std::string zip = test::MakeZip({{"DISK1.D88", "first disk"},
                                   {"sub/", ""},
                                   {"sub/DISK2.D88", std::string(5000, 'x'), true},
                                   {Jp("ソフト.d88"), "sjis name"},
                                   {"\xE3\x82\xB2\xE3\x83\xBC\xE3\x83\xA0.d88", "utf8 name", false, true},
                                   {"\xF0\x9F\x98\x80.d88", "no cp932 form", false, true},
                                   {"star*.d88", "bad"}});
  ZipDirectory dir = ReadBytes(folder, zip);
  ASSERT_EQ(dir.status, ZipStatus::kOk);
  ASSERT_EQ(dir.members.size(), 4u);
  EXPECT_EQ(dir.members[0].name, "DISK1.D88");
  EXPECT_EQ(dir.members[0].crc32, test::ZlibCrc("first disk"));
  EXPECT_EQ(dir.members[1].name, "sub\\DISK2.D88");
  EXPECT_EQ(dir.members[1].size, 5000u);
  EXPECT_EQ(dir.members[1].method, 8);
  EXPECT_EQ(dir.members[2].name, Jp("ソフト.d88"));
  EXPECT_EQ(dir.members[3].name, Jp("ゲーム.d88"));
  EXPECT_EQ(dir.skippedNames.size(), 2u);
}

TEST(ZipDirectory, DamagedFilesGiveAStatusNeverAListing) {
  test::TempFolder folder;
  std::string zip = test::MakeZip({{"A.D88", "aaaa"}, {"B.D88", std::string(300, 'b'), true}});
  // Every cut-off length is reported, whatever the byte it ends on.
  for (size_t n = 0; n < zip.size(); ++n) {
    ZipDirectory dir = ReadBytes(folder, zip.substr(0, n));
    EXPECT_NE(dir.status, ZipStatus::kOk) << n;
    EXPECT_TRUE(dir.members.empty()) << n;
  }
  EXPECT_EQ(ReadBytes(folder, zip.substr(0, zip.size() - 10)).status, ZipStatus::kTruncated);
  EXPECT_EQ(ReadBytes(folder, "plain text, not an archive").status, ZipStatus::kNotZip);

  std::string moreEntries = zip;
  moreEntries[zip.size() - 12] = 3;  // three entries declared, two present
  moreEntries[zip.size() - 14] = 3;
  EXPECT_EQ(ReadBytes(folder, moreEntries).status, ZipStatus::kCorrupt);

  std::string zip64 = zip;
  for (int i = 0; i < 4; ++i) zip64[zip.size() - 6 + i] = '\xFF';  // directory offset 0xFFFFFFFF
  EXPECT_EQ(ReadBytes(folder, zip64).status, ZipStatus::kZip64);

  std::string badDirectory = zip;
  badDirectory[zip.find("PK\x01\x02")] = 'X';
  EXPECT_EQ(ReadBytes(folder, badDirectory).status, ZipStatus::kCorrupt);
  for (ZipStatus s : {ZipStatus::kTruncated, ZipStatus::kCorrupt, ZipStatus::kZip64, ZipStatus::kNotZip})
    EXPECT_FALSE(ZipStatusText(s).empty());
}

TEST(ZipDirectory, MemberRangeCrcMatchesZlibOverTheSameBytes) {
  test::TempFolder folder;
  std::string big(200000, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 7) ^ (i >> 9));
  std::string zip = test::MakeZip({{"STORED.BIN", big}, {"DEFLATED.BIN", big, true}});
  const std::string path = folder / "r.zip";
  test::WriteWholeFile(path, zip);
  InputFile file;
  ASSERT_TRUE(file.Open(path));
  ZipDirectory dir = ReadZipDirectory(file);
  ASSERT_EQ(dir.members.size(), 2u);
  for (const ZipMember& m : dir.members) {
    struct Case {
      std::int64_t offset, length;
    } cases[] = {{0, 0}, {16, 0}, {70000, 65536}, {199999, 1}};
    for (const Case& c : cases) {
      std::string part = big.substr(static_cast<size_t>(c.offset),
                                    c.length ? static_cast<size_t>(c.length) : std::string::npos);
      CrcResult r = ZipMemberCrc(file, m, {c.offset, c.length}, {true, true});
      ASSERT_TRUE(r.Ok()) << m.name << " " << c.offset;
      EXPECT_EQ(r.crc32, Crc32Text(test::ZlibCrc(part))) << m.name << " " << c.offset;
      EXPECT_EQ(r.crc16, Crc16Text(Crc16(0, part.data(), part.size())));
    }
    EXPECT_FALSE(ZipMemberCrc(file, m, {200001, 0}, {true, false}).Ok());
  }
}

TEST(ZipDirectory, DamagedMemberDataIsCaughtByItsCrc) {
  test::TempFolder folder;
  std::string data(5000, 'q');
  for (bool deflate : {false, true}) {
    std::string zip = test::MakeZip({{"M.BIN", data, deflate}});
    zip[30 + 5 + 2] ^= 0x55;  // inside the member's data
    const std::string path = folder / "d.zip";
    test::WriteWholeFile(path, zip);
    InputFile file;
    ASSERT_TRUE(file.Open(path));
    ZipDirectory dir = ReadZipDirectory(file);
    ASSERT_EQ(dir.members.size(), 1u);
    CrcResult r = ZipMemberCrc(file, dir.members[0], {16, 0}, {true, false});
    EXPECT_FALSE(r.Ok()) << deflate;
    EXPECT_EQ(r.crc32, "");
    // The whole-file CRC32 comes from the directory without reading the data.
    EXPECT_EQ(ZipMemberCrc(file, dir.members[0], {}, {true, false}).crc32, Crc32Text(test::ZlibCrc(data)));
  }
}

}  // namespace
}  // namespace vel
