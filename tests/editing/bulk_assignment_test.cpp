// Changes to many selected items at once: category assignments, emulator
// setting bindings, removal with the set table rebuilt, the launch reset;
// each all or nothing, user values stored exactly as typed.
#include "editing/bulk_assignment.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "launch/emulator_config.h"
#include "platform/codepage.h"
#include "platform/output_file.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

class BulkAssignmentTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    Fill();
  }
  void Fill() {
    ASSERT_FALSE(db.Query("DELETE FROM main_table; DELETE FROM spec_table; DELETE FROM tmp_maxdisk;"));
    // a: single image with details; p heads a set of three (p, c2, c3); s: single.
    ASSERT_FALSE(db.Query(
        "INSERT INTO main_table(file_name, machine_name, media_name, genre_name, ply, ply_file_name, boot_count, "
        "last_boot, play_time) VALUES"
        "('a','FC','CART','RPG',0,'',5,'2020-01-01','01:00'),"
        "('p','FC','FD','ACT',1,'p',2,'x','y'),('c2','FC','FD','ACT',2,'p',0,'',''),"
        "('c3','FC','FD','ACT',3,'p',0,'',''),('s','PCE','CD','STG',0,'',1,'z','w');"
        "INSERT INTO spec_table VALUES('a','breed','1980','md','dev','2','save','sound','old');"
        "INSERT INTO tmp_maxdisk VALUES('p',3);"));
  }
  std::string Rows(const std::string& sql) {
    if (auto error = db.Query("SELECT group_concat(r, '|') FROM (" + sql + ");")) return "error " + *error;
    return db.Cell(1, 0);
  }
  std::string Items() {
    return Rows("SELECT file_name||':'||machine_name||','||media_name||','||genre_name AS r FROM main_table "
                "ORDER BY file_name");
  }
  test::TempFolder folder;
  LibraryConnection db;
};

TEST_F(BulkAssignmentTest, CategoryIsStoredAsTypedForEverySelectedItem) {
  struct Case {
    AssignField field;
    std::string value;
    std::string items;
  } cases[] = {
      {AssignField::Machine, "MSX", "a:MSX,CART,RPG|c2:FC,FD,ACT|c3:FC,FD,ACT|p:MSX,FD,ACT|s:PCE,CD,STG"},
      {AssignField::Media, "DISK", "a:FC,DISK,RPG|c2:FC,FD,ACT|c3:FC,FD,ACT|p:FC,DISK,ACT|s:PCE,CD,STG"},
      // A value that reads like the key marker or holds quotes is never replaced.
      {AssignField::Genre, "__PRIMARY_KEY__", "a:FC,CART,__PRIMARY_KEY__|c2:FC,FD,ACT|c3:FC,FD,ACT|"
                                              "p:FC,FD,__PRIMARY_KEY__|s:PCE,CD,STG"},
      {AssignField::Genre, "it's '__PRIMARY_KEY__'", "a:FC,CART,it's '__PRIMARY_KEY__'|c2:FC,FD,ACT|c3:FC,FD,ACT|"
                                                      "p:FC,FD,it's '__PRIMARY_KEY__'|s:PCE,CD,STG"},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(AssignToItems(db, c.field, {"a", "p"}, c.value)) << c.value;
    EXPECT_EQ(Items(), c.items) << c.value;
    // Back to the fixture's values for the next case.
    ASSERT_FALSE(db.Query("UPDATE main_table SET machine_name='FC', media_name=CASE file_name WHEN 'a' THEN 'CART' "
                          "ELSE 'FD' END, genre_name=CASE file_name WHEN 'a' THEN 'RPG' ELSE 'ACT' END "
                          "WHERE file_name IN ('a','p');"));
  }
}

TEST_F(BulkAssignmentTest, RatingKeepsTheDetailColumns) {
  ASSERT_FALSE(AssignToItems(db, AssignField::Adultex, {"a", "s"}, Jp("CERO A")));
  EXPECT_EQ(Rows("SELECT pfile_sc||':'||ifnull(breed,'-')||','||ifnull(price,'-')||','||ifnull(media_detail,'-')||','||"
                 "ifnull(device,'-')||','||ifnull(players,'-')||','||ifnull(savedat_detail,'-')||','||"
                 "ifnull(sound_detail,'-')||','||adultex_name AS r FROM spec_table ORDER BY pfile_sc"),
            "a:breed,1980,md,dev,2,save,sound,CERO A|s:-,-,-,-,-,-,-,CERO A");
}

TEST_F(BulkAssignmentTest, AFailingItemLeavesEveryItemUnchanged) {
  const std::string before = Items();
  ASSERT_FALSE(db.Query("CREATE TRIGGER refuse BEFORE UPDATE OF genre_name ON main_table WHEN new.file_name='p' "
                        "BEGIN SELECT RAISE(ABORT, 'locked item'); END;"));
  auto failure = AssignToItems(db, AssignField::Genre, {"a", "p", "s"}, "PZL");
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->error, "locked item");
  EXPECT_EQ(failure->sql, "UPDATE main_table SET genre_name='PZL' WHERE file_name='p';");
  EXPECT_EQ(Items(), before);
  EXPECT_FALSE(db.Query("BEGIN; COMMIT;"));
}

TEST_F(BulkAssignmentTest, EmulatorSettingBindsOnlyItemsOfTheMachine) {
  MachineItems split = ItemsOfMachine({{"a", "FC"}, {"s", "PCE"}, {"p", "FC"}, {"x", "fc"}}, "FC");
  EXPECT_EQ(split.keys, (std::vector<std::string>{"a", "p"}));
  EXPECT_EQ(split.skipped, 2);
  EXPECT_EQ(SkippedItemsMessage(0), "");
  EXPECT_EQ(SkippedItemsMessage(2), Jp("機種の異なる2件のアイテムには設定しませんでした。"));

  // The library's machine decides as well: "s" is not an FC item.
  ASSERT_FALSE(BindEmulatorSetting(db, {"a", "s", "p"}, "FC", "Emu's 1"));
  EXPECT_EQ(Rows("SELECT pfile_ue||'='||emuset_name AS r FROM use_emuset_table ORDER BY pfile_ue"),
            "a=Emu's 1|p=Emu's 1");
  ASSERT_FALSE(BindEmulatorSetting(db, {"a"}, "FC", "Other"));
  EXPECT_EQ(Rows("SELECT pfile_ue||'='||emuset_name AS r FROM use_emuset_table ORDER BY pfile_ue"),
            "a=Other|p=Emu's 1");
}

TEST_F(BulkAssignmentTest, EmulatorSettingNamesAreTheMachinesConfigurations) {
  const std::string emuconf = EmuConfFolder(folder.Path());
  ASSERT_TRUE(CreateFolder(emuconf));
  ASSERT_TRUE(CreateFolder(emuconf + "\\FC"));
  for (const std::string& path : {emuconf + "\\FC.ini", emuconf + "\\PCE.ini", emuconf + "\\FC\\Emu A.ini",
                                  emuconf + "\\FC\\notes.txt"}) {
    OutputFile out;
    const std::string bytes = "[Emulator]\r\n";
    ASSERT_TRUE(out.Create(path) && out.Write(bytes.data(), bytes.size()) && out.Close()) << path;
  }
  EXPECT_EQ(EmulatorSettingNames(folder.Path(), "FC"), (std::vector<std::string>{"Emu A"}));
  EXPECT_TRUE(EmulatorSettingNames(folder.Path(), "PCE").empty());
  EXPECT_TRUE(EmulatorSettingNames(folder.Path(), "..\\FC").empty());
  EXPECT_TRUE(EmulatorSettingNames(folder.Path(), "").empty());
}

TEST_F(BulkAssignmentTest, RemovalTakesTheSetAndItsDiskRow) {
  struct Case {
    std::vector<std::string> keys;
    std::string items, maxDisk;
  } cases[] = {
      {{"p"}, "a:FC,CART,RPG|s:PCE,CD,STG", ""},
      {{"c3"}, "a:FC,CART,RPG|c2:FC,FD,ACT|p:FC,FD,ACT|s:PCE,CD,STG", "p=2"},
      {{"a", "it's"}, "c2:FC,FD,ACT|c3:FC,FD,ACT|p:FC,FD,ACT|s:PCE,CD,STG", "p=3"},
  };
  for (const Case& c : cases) {
    Fill();
    ASSERT_FALSE(RemoveItems(db, c.keys)) << c.keys[0];
    EXPECT_EQ(Items(), c.items) << c.keys[0];
    EXPECT_EQ(Rows("SELECT ply_file_name||'='||max_ply AS r FROM tmp_maxdisk"), c.maxDisk) << c.keys[0];
  }
}

TEST_F(BulkAssignmentTest, RemovalFailureKeepsRowsAndDiskTable) {
  ASSERT_FALSE(db.Query("CREATE TRIGGER refuse BEFORE INSERT ON tmp_maxdisk BEGIN SELECT RAISE(ABORT, 'full'); END;"));
  auto failure = RemoveItems(db, {"c3", "a"});
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->error, "full");
  EXPECT_EQ(Rows("SELECT file_name AS r FROM main_table ORDER BY file_name"), "a|c2|c3|p|s");
  EXPECT_EQ(Rows("SELECT ply_file_name||'='||max_ply AS r FROM tmp_maxdisk"), "p=3");
}

TEST_F(BulkAssignmentTest, LaunchResetClearsTheStatistics) {
  ASSERT_FALSE(ResetLaunchInfo(db, {"a", "s"}));
  EXPECT_EQ(Rows("SELECT file_name||':'||boot_count||','||last_boot||','||play_time AS r FROM main_table "
                 "ORDER BY file_name"),
            "a:0,,|c2:0,,|c3:0,,|p:2,x,y|s:0,,");
  ASSERT_FALSE(db.Query("CREATE TRIGGER refuse BEFORE UPDATE ON main_table WHEN old.file_name='p' "
                        "BEGIN SELECT RAISE(ABORT, 'busy'); END;"));
  auto failure = ResetLaunchInfo(db, {"c2", "p"});
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->error, "busy");
  EXPECT_EQ(Rows("SELECT boot_count AS r FROM main_table WHERE file_name='p'"), "2");
}

TEST(BulkStatements, ValuesAndKeysAreQuotedWhereTheyStand) {
  struct Case {
    std::string sql, expected;
  } cases[] = {
      {AssignmentStatement(AssignField::Machine, "k'1", "M'X"),
       "UPDATE main_table SET machine_name='M''X' WHERE file_name='k''1';"},
      {AssignmentStatement(AssignField::Media, "__PRIMARY_KEY__", "__PRIMARY_KEY__"),
       "UPDATE main_table SET media_name='__PRIMARY_KEY__' WHERE file_name='__PRIMARY_KEY__';"},
      {RemovalStatement("a'b"), "DELETE FROM main_table WHERE file_name='a''b' OR ply_file_name='a''b';"},
      {LaunchResetStatement("x"),
       "UPDATE main_table SET boot_count='0', last_boot='', play_time='' WHERE file_name='x' ;"},
      {EmulatorSettingStatement("k", "F'C", "E"),
       "INSERT OR REPLACE INTO use_emuset_table(pfile_ue, emuset_name) SELECT file_name, 'E' FROM main_table "
       "WHERE file_name='k' AND machine_name='F''C';"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.sql, c.expected);
}

}  // namespace
}  // namespace vel
