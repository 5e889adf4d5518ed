#include "db/backup.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(BackupName, TimeIsZeroPadded) {
  struct Case {
    LocalTime time;
    const char* text;
  } cases[] = {
      {{2026, 12, 9, 7, 5, 3}, "2026-12-09_07-05-03"},
      {{2025, 1, 31, 23, 59, 59}, "2025-01-31_23-59-59"},
      {{2000, 10, 10, 10, 10, 10}, "2000-10-10_10-10-10"},
      {{2024, 2, 29, 0, 0, 0}, "2024-02-29_00-00-00"},
  };
  for (const Case& c : cases) EXPECT_EQ(BackupTimePart(c.time), c.text);
}

TEST(BackupName, FileNameHoldsTimeAndVersion) {
  const LocalTime t{2026, 12, 9, 7, 5, 3};
  EXPECT_EQ(BackupFileName("C:\\Vel", t, "_DBver1"),
            "C:\\Vel\\Velmarook_2026-12-09_07-05-03BUP_DBver1.db");
  EXPECT_EQ(BackupFileName(Jp("C:\\ソフト表"), t, ""),
            Jp("C:\\ソフト表\\Velmarook_2026-12-09_07-05-03BUP.db"));
}

class BackupTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(source, "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title) VALUES('a','" +
                          Quote(Jp("ソフト表示")) + "'),('b','B');"));
  }
  static int Rows(const std::string& path) {
    LibraryConnection copy;
    copy.Open(path, "");
    if (copy.Query("SELECT COUNT(*) FROM main_table;")) return -1;
    return copy.CellInt(1, 0);
  }
  test::TempFolder folder;
  std::string source = folder / "Velmarook.db";
  const LocalTime time{2026, 12, 9, 7, 5, 3};
  LibraryConnection db;
};

TEST_F(BackupTest, CopiesTheOpenDatabaseWithItsRows) {
  // Another connection holds a read open while the copy runs.
  LibraryConnection reader;
  reader.Open(source, "");
  ASSERT_FALSE(reader.Query("SELECT * FROM main_table;"));
  BackupResult result = BackupDatabase(source, "", folder.Path(), time);
  ASSERT_EQ(result.status, BackupStatus::Done) << result.error;
  EXPECT_EQ(result.target, BackupFileName(folder.Path(), time, std::string("_DBver") + kSchemaVersion));
  ASSERT_TRUE(FileExists(result.target));
  EXPECT_TRUE(FileExists(folder / ("Velmarook_2026-12-09_07-05-03BUP_DBver" +
                                   std::string(kSchemaVersion) + ".db")));
  LibraryConnection copy;
  copy.Open(result.target, "");
  ASSERT_FALSE(copy.Query("SELECT title FROM main_table ORDER BY file_name;"));
  ASSERT_EQ(copy.RowCount(), 2);
  EXPECT_EQ(copy.Cell(1, 0), Jp("ソフト表示"));
  EXPECT_EQ(copy.Cell(2, 0), "B");
  // The source is still usable by its open connections.
  EXPECT_FALSE(db.Query("INSERT INTO main_table(file_name) VALUES('c');"));
  EXPECT_EQ(Rows(source), 3);
}

TEST_F(BackupTest, VersionPartComesFromTheDatabase) {
  struct Case {
    const char* sql;
    std::string versionPart;
  } cases[] = {
      {"UPDATE vel_table SET ver='7' WHERE key='db_version';", "_DBver7"},
      {"DROP TABLE vel_table;", ""},
  };
  int second = 0;
  for (const Case& c : cases) {
    ASSERT_FALSE(db.Query(c.sql));
    LocalTime at = time;
    at.second = ++second;
    BackupResult result = BackupDatabase(source, "", folder.Path(), at);
    ASSERT_EQ(result.status, BackupStatus::Done) << result.error;
    EXPECT_EQ(result.target, BackupFileName(folder.Path(), at, c.versionPart));
    EXPECT_TRUE(FileExists(result.target));
  }
}

TEST_F(BackupTest, SecondBackupInTheSameSecondFailsAndKeepsTheFirst) {
  BackupResult first = BackupDatabase(source, "", folder.Path(), time);
  ASSERT_EQ(first.status, BackupStatus::Done) << first.error;
  ASSERT_FALSE(db.Query("DELETE FROM main_table;"));
  BackupResult second = BackupDatabase(source, "", folder.Path(), time);
  EXPECT_EQ(second.status, BackupStatus::Failed);
  EXPECT_EQ(second.target, first.target);
  EXPECT_EQ(second.error, first.target + Jp(" は既に存在します"));
  EXPECT_EQ(Rows(first.target), 2);
}

TEST_F(BackupTest, MissingSourceMakesNoFile) {
  const std::string missing = folder / "absent.db";
  BackupResult result = BackupDatabase(missing, "", folder.Path(), time);
  EXPECT_EQ(result.status, BackupStatus::NoSource);
  EXPECT_FALSE(FileExists(missing));
  EXPECT_FALSE(FileExists(BackupFileName(folder.Path(), time, "")));
}

}  // namespace
}  // namespace vel
