#include "db/database_properties.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "core/paths.h"
#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(DatabaseFigures, ThousandsSeparators) {
  struct Case {
    std::int64_t value;
    const char* text;
  } cases[] = {
      {0, "0"},
      {7, "7"},
      {999, "999"},
      {1000, "1,000"},
      {12345, "12,345"},
      {999999, "999,999"},
      {1234567, "1,234,567"},
      {-1, "-1"},
      {-1000, "-1,000"},
      {-123456, "-123,456"},
      {INT64_MAX, "9,223,372,036,854,775,807"},
      {INT64_MIN, "-9,223,372,036,854,775,808"},
  };
  for (const Case& c : cases) EXPECT_EQ(WithThousands(c.value), c.text) << c.value;
}

TEST(DatabaseFigures, TotalPlayTimeCarriesUpToDays) {
  struct Case {
    double hours, minutes, seconds;
    const char* text;
  } cases[] = {
      {0, 0, 0, "0日0時間0分0秒"},
      {1, 30, 45, "0日1時間30分45秒"},
      {0, 0, 125, "0日0時間2分5秒"},
      {0, 59, 60, "0日1時間0分0秒"},
      {0, 150, 0, "0日2時間30分0秒"},
      {25, 0, 0, "1日1時間0分0秒"},
      {23, 59, 60, "1日0時間0分0秒"},
      {48, 120, 3600, "2日3時間0分0秒"},
      // Sums that are not whole are rounded first.
      {1.4, 2.5, 3.49, "0日1時間3分3秒"},
      {0, 0, 59.6, "0日0時間1分0秒"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(FormatTotalPlayTime(c.hours, c.minutes, c.seconds), Jp(c.text))
        << c.hours << " " << c.minutes << " " << c.seconds;
}

class StatisticsTest : public testing::Test {
 protected:
  void SetUp() override {
    LibraryConnection db;
    db.Open(path, "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    // Two single titles, one set of three disks, three makers; two play times.
    const char* rows[][4] = {
        {"a", "1", "", "M1"},   {"b", "0", "001:30:45", "M2"}, {"set1", "1", "100:45:30", "M2"},
        {"set2", "2", "", "M3"}, {"set3", "3", "", "M3"},
    };
    for (auto& r : rows)
      ASSERT_FALSE(db.Query(std::string("INSERT INTO main_table(file_name,ply,play_time,maker) "
                                        "VALUES('") + r[0] + "'," + r[1] + ",'" + r[2] + "','" +
                            r[3] + "');"));
  }
  test::TempFolder folder;
  // The path as the program builds it, joined with a backslash.
  std::string path = BuildPaths(folder.Path()).DefaultDatabase();
};

TEST_F(StatisticsTest, CountsPlayTimeSizeAndVersions) {
  DatabaseStatistics stats = ReadDatabaseStatistics(path, "");
  EXPECT_EQ(stats.titles, "3");
  EXPECT_EQ(stats.images, "5");
  EXPECT_EQ(stats.makers, "3");
  // 101 h 75 min 75 s = 102 h 16 min 15 s.
  EXPECT_EQ(stats.playTime, Jp("4日6時間16分15秒"));
  std::int64_t size = 0;
  ASSERT_TRUE(FileSize(folder / "Velmarook.db", size));
  ASSERT_GE(size, 1000);
  EXPECT_EQ(stats.fileSize, WithThousands(size) + " byte");
  EXPECT_NE(stats.fileSize.find(','), std::string::npos);
  EXPECT_EQ(stats.sqliteVersion, sqlite3_libversion());
  EXPECT_EQ(stats.dbVersion, kSchemaVersion);
}

TEST_F(StatisticsTest, ThousandsOfItemsAreShownWithSeparators) {
  LibraryConnection db;
  db.Open(path, "");
  ASSERT_FALSE(db.Query(
      "WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i+1 FROM n WHERE i<1200) "
      "INSERT INTO main_table(file_name,ply,maker) SELECT 'gen'||i, 0, 'maker'||i FROM n;"));
  DatabaseStatistics stats = ReadDatabaseStatistics(path, "");
  EXPECT_EQ(stats.titles, "1,203");
  EXPECT_EQ(stats.images, "1,205");
  EXPECT_EQ(stats.makers, "1,203");
}

TEST_F(StatisticsTest, FailedQueriesLeaveTheInitialTexts) {
  LibraryConnection db;
  db.Open(path, "");
  ASSERT_FALSE(db.Query("DROP VIEW IF EXISTS all_item_view; DROP TABLE main_table; DROP TABLE vel_table;"));
  DatabaseStatistics stats = ReadDatabaseStatistics(path, "");
  EXPECT_EQ(stats.titles, "0");
  EXPECT_EQ(stats.images, "0");
  EXPECT_EQ(stats.makers, "0");
  EXPECT_EQ(stats.playTime, Jp("0日0時間0分0秒"));
  EXPECT_EQ(stats.dbVersion, "--");
  EXPECT_NE(stats.fileSize.find(" byte"), std::string::npos);
}

TEST(Statistics, MissingDatabaseIsReportedAndNotCreated) {
  test::TempFolder folder;
  const std::string path = BuildPaths(folder.Path()).DefaultDatabase();
  DatabaseStatistics stats = ReadDatabaseStatistics(path, "");
  EXPECT_EQ(stats.fileSize, Jp("DBが作成されていません"));
  EXPECT_EQ(stats.titles, "0");
  EXPECT_EQ(stats.dbVersion, "--");
  EXPECT_FALSE(FileExists(path));
}

TEST(Statistics, OptimiseKeepsTheRowsOrReportsTheError) {
  test::TempFolder folder;
  const std::string path = folder / "Velmarook.db";
  {
    LibraryConnection db;
    db.Open(path, "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,ply) VALUES('a',0),('b',0);"));
  }
  EXPECT_EQ(OptimiseDatabase(path, ""), "");
  EXPECT_EQ(ReadDatabaseStatistics(path, "").images, "2");
  const std::string junk = folder / "junk.db";
  test::WriteWholeFile(junk, std::string(4096, 'x'));
  EXPECT_NE(OptimiseDatabase(junk, "").find("not a database"), std::string::npos);
  EXPECT_EQ(test::ReadWholeFile(junk), std::string(4096, 'x'));
}

}  // namespace
}  // namespace vel
