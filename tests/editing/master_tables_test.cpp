#include "editing/master_tables.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "test_support.h"

namespace vel {
namespace {

class MasterTablesTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
  }
  test::TempFolder folder;
  LibraryConnection db;
};

TEST_F(MasterTablesTest, RenumberGivesPositionsInNameOrder) {
  ASSERT_FALSE(db.Query("INSERT INTO genre_info_table VALUES(7,'RPG',''),(1,'Action',''),"
                        "(3,'Puzzle''s','');"));
  ASSERT_FALSE(RenumberMasterTable(db, "genre"));
  std::vector<std::string> names;
  ASSERT_FALSE(LoadMasterNames(db, "genre", names));
  EXPECT_EQ(names, (std::vector<std::string>{"Action", "Puzzle's", "RPG"}));
  ASSERT_FALSE(db.Query("SELECT group_concat(genre_num) FROM (SELECT genre_num FROM genre_info_table "
                        "ORDER BY genre);"));
  EXPECT_EQ(db.Cell(1, 0), "1,2,3");
}

TEST_F(MasterTablesTest, FailedRenumberKeepsTheOldNumbers) {
  ASSERT_FALSE(db.Query("INSERT INTO media_info_table VALUES(5,'FD',''),(9,'CD','');"
                        "CREATE TRIGGER refuse BEFORE UPDATE ON media_info_table WHEN new.media='FD' "
                        "BEGIN SELECT RAISE(ABORT,'refused'); END;"));
  auto failure = RenumberMasterTable(db, "media");
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->caption, "media");
  EXPECT_NE(failure->text.find("refused"), std::string::npos);
  ASSERT_FALSE(db.Query("SELECT group_concat(media_num) FROM (SELECT media_num FROM media_info_table "
                        "ORDER BY media);"));
  EXPECT_EQ(db.Cell(1, 0), "9,5");
}

}  // namespace
}  // namespace vel
