#include "launch/play_time.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(PlayTime, ParsesAddsAndCaps) {
  struct Case {
    const char* previous;
    long long elapsed;
    const char* expected;
  } cases[] = {
      {"012:05'09\"", 7, "012:05'16\""},
      {"012:05'09\"", 0, "012:05'09\""},
      {"", 61, "000:01'01\""},
      {"abc", 3600, "001:00'00\""},       // unreadable: counts from 0
      {"000:59'59\"", 1, "001:00'00\""},
      {"999:59'59\"", 7, "999:59'59\""},  // at most 999:59'59"
      {"999:59'50\"", 60, "999:59'59\""},
      {"12:5", 1, "000:00'01\""},         // parts that are not digits count 0
  };
  for (const Case& c : cases) EXPECT_EQ(AddPlayTime(c.previous, c.elapsed), c.expected) << c.previous;
  EXPECT_EQ(FormatPlayTime(1234 * 3600LL), "999:59'59\"");
  EXPECT_EQ(ParsePlayTime("123:45'06\""), 123 * 3600 + 45 * 60 + 6);
}

TEST(PlayTime, TheRecordIsStoredDespiteTheApostrophe) {
  test::TempFolder folder;
  LibraryConnection db;
  db.Open(folder / "lib.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title,boot_count,play_time) "
                        "VALUES('C:\\\\it''s\\\\a.d88','A',3,'012:05''09\"');"));
  std::string key = "C:\\\\it's\\\\a.d88";
  ASSERT_FALSE(db.Query("SELECT play_time FROM main_table;"));
  std::string played = AddPlayTime(db.Cell(1, 0), 7);
  ASSERT_FALSE(db.Query(BootRecordStatement(key, played)));
  ASSERT_FALSE(db.Query("SELECT boot_count, play_time, last_boot<>'' FROM main_table;"));
  EXPECT_EQ(db.Cell(1, 0), "4");
  EXPECT_EQ(db.Cell(1, 1), "012:05'16\"");
  EXPECT_EQ(db.Cell(1, 2), "1");
}

}  // namespace
}  // namespace vel
