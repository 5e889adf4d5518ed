#include "maintenance/crc_recalc.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
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

}  // namespace
}  // namespace vel
