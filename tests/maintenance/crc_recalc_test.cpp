#include "maintenance/crc_recalc.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "maintenance/archive_lister.h"
#include "maintenance/import_job.h"
#include "maintenance/import_progress.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"
#include "zip_fixture.h"

namespace vel {
namespace {

class LoggedProgress : public ImportProgress {
 public:
  void Status(const std::string&) override {}
  void Item(const std::string&) override {}
  void Log(const std::string& line) override { lines.push_back(AnsiToUtf8(line)); }
  void Range(int) override {}
  void Step(int) override {}
  bool StopRequested() override { return false; }
  std::vector<std::string> lines;
};

std::string ProgramPath(const test::TempFolder& folder, const std::string& name) {
  return folder.Path() + "\\" + name;
}

TEST(CrcRecalc, RewritesTheMachinesCrcsOverTheRangeAndKeepsWhatItCannotCompute) {
  test::TempFolder folder;
  std::string plain(1000, 'p'), member(3000, 'm');
  for (size_t i = 0; i < member.size(); ++i) member[i] = static_cast<char>(i * 13);
  const std::string plainPath = ProgramPath(folder, Jp("ソフト.d88"));
  const std::string zipPath = ProgramPath(folder, "set.zip");
#ifdef _WIN32
  test::WriteWholeFile(plainPath, plain);
  test::WriteWholeFile(zipPath, test::MakeZip({{"DISK1.D88", member, true}, {"DISK2.D88", "child"}}));
#else
  test::WriteWholeFile(NativePath(plainPath), plain);
  test::WriteWholeFile(NativePath(zipPath), test::MakeZip({{"DISK1.D88", member, true}, {"DISK2.D88", "child"}}));
#endif
  LibraryConnection db;
  db.Open(folder / "library.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  auto insert = [&](const std::string& key, const std::string& machine, int ply, const std::string& parent) {
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name, machine_name, title, kana, crc32, crc, ply, "
                          "ply_file_name) VALUES('" + Quote(key) + "','" + machine + "','t','','OLD32','OLD',"
                          + std::to_string(ply) + ",'" + Quote(parent) + "');"));
  };
  insert(plainPath, "PC-8801", 0, "");
  insert(zipPath + "*disk1.d88", "PC-8801", 1, "");  // matched without regard to case
  insert(zipPath + "*DISK2.D88", "PC-8801", 2, zipPath + "*disk1.d88");
  insert(ProgramPath(folder, "gone.d88"), "PC-8801", 0, "");
  insert(ProgramPath(folder, "other.d88"), "X1", 0, "");

  RecalcJob job;
  job.machine = "PC-8801";
  job.parentsOnly = true;
  job.crc = {true, true};
  job.crcRange = {16, 0};
  LoggedProgress progress;
  RecalcSummary s = RecalculateCrcs(db, job, progress);
  EXPECT_EQ(s.updated, 2);
  EXPECT_EQ(s.notComputed, 1);
  ASSERT_EQ(progress.lines.size(), 1u);
  EXPECT_NE(progress.lines[0].find("gone.d88"), std::string::npos);

  auto crcs = [&](const std::string& key) {
    EXPECT_FALSE(db.Query("SELECT crc32, crc FROM main_table WHERE file_name='" + Quote(key) + "';"));
    return db.Cell(1, 0) + "/" + db.Cell(1, 1);
  };
  std::string p = plain.substr(16), m = member.substr(16);
  EXPECT_EQ(crcs(plainPath), Crc32Text(test::ZlibCrc(p)) + "/" + Crc16Text(Crc16(0, p.data(), p.size())));
  EXPECT_EQ(crcs(zipPath + "*disk1.d88"), Crc32Text(test::ZlibCrc(m)) + "/" + Crc16Text(Crc16(0, m.data(), m.size())));
  EXPECT_EQ(crcs(zipPath + "*DISK2.D88"), "OLD32/OLD");  // a child, with parents only
  EXPECT_EQ(crcs(ProgramPath(folder, "gone.d88")), "OLD32/OLD");
  EXPECT_EQ(crcs(ProgramPath(folder, "other.d88")), "OLD32/OLD");
}

// A RAR archive listing a CRC-32 of its member, an LZH one a CRC-16.
class ListingArchives : public ArchiveLister {
 public:
  bool List(const std::string& path, std::vector<ArchiveMember>& members, std::string& problem) override {
    ++listings;
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".rar") == 0) {
      members = {{"Disk/A.D88", 0x12345678, std::nullopt}, {"Disk/B.D88", 0x0000ABCD, std::nullopt}};
      return true;
    }
    if (path.size() > 4 && path.compare(path.size() - 4, 4, ".lzh") == 0) {
      members = {{"C.D88", std::nullopt, 0xBEEF}};
      return true;
    }
    problem = "cannot list";
    return false;
  }
  int listings = 0;
};

TEST(CrcRecalc, MembersOfListedArchivesTakeTheirListingsCrc) {
  test::TempFolder folder;
  LibraryConnection db;
  db.Open(folder / "library.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  const std::string rar = "C:\\roms\\set.rar", lzh = "C:\\roms\\one.lzh", broken = "C:\\roms\\bad.7z";
  for (const std::string& key : {rar + "*Disk\\A.D88", rar + "*disk\\b.d88", lzh + "*C.D88", broken + "*X.D88",
                                 rar + "*Disk\\Gone.D88"})
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name, machine_name, crc32, crc) VALUES('" + Quote(key) +
                          "','PC-8801','OLD32','OLD');"));
  auto crcs = [&](const std::string& key) {
    EXPECT_FALSE(db.Query("SELECT crc32, crc FROM main_table WHERE file_name='" + Quote(key) + "';"));
    return db.Cell(1, 0) + "/" + db.Cell(1, 1);
  };
  RecalcJob job;
  job.machine = "PC-8801";
  job.crc = {true, true};
  ListingArchives archives;
  LoggedProgress progress;
  RecalcSummary s = RecalculateCrcs(db, job, progress, &archives);
  // Each archive is listed once for all its members.
  EXPECT_EQ(archives.listings, 3);
  EXPECT_EQ(s.updated, 3);
  EXPECT_EQ(s.notComputed, 2);
  // What the archive does not keep stays as it was, and is logged.
  EXPECT_EQ(crcs(rar + "*Disk\\A.D88"), "12345678/OLD");
  EXPECT_EQ(crcs(rar + "*disk\\b.d88"), "0000ABCD/OLD");
  EXPECT_EQ(crcs(lzh + "*C.D88"), "OLD32/BEEF");
  EXPECT_EQ(crcs(broken + "*X.D88"), "OLD32/OLD");
  EXPECT_EQ(crcs(rar + "*Disk\\Gone.D88"), "OLD32/OLD");
  EXPECT_EQ(progress.lines.size(), 5u);

  // A range cannot be taken from a listing: nothing changes.
  job.crcRange = {16, 0};
  LoggedProgress ranged;
  RecalcSummary r = RecalculateCrcs(db, job, ranged, &archives);
  EXPECT_EQ(r.updated, 0);
  EXPECT_EQ(r.notComputed, 5);
  EXPECT_EQ(crcs(rar + "*Disk\\A.D88"), "12345678/OLD");
}

}  // namespace
}  // namespace vel
