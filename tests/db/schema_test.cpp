#include "db/schema.h"

#include <gtest/gtest.h>

#include <thread>

#include "db/library_connection.h"
#include "test_support.h"

namespace vel {
namespace {

class SchemaTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(CreateItemView(db));
  }
  std::string One(const std::string& sql) {
    auto error = db.Query(sql);
    EXPECT_FALSE(error) << *error << "\n" << sql;
    return db.Cell(1, 0);
  }
  // Inserts a whole row by position with the defaults new items get.
  void InsertItem(const std::string& key) {
    ASSERT_FALSE(db.Query("INSERT INTO main_table VALUES('" + Quote(key) +
                          "','','','t','ext','new machine name','new title',"
                          "'','','','0','','','0','0','0','','','','','0','','0','','','','','','');"));
  }
  test::TempFolder folder;
  LibraryConnection db;
};

TEST_F(SchemaTest, MainTableHasTwentyNineColumnsWithTheFixedFirstSeven) {
  ASSERT_FALSE(db.Query("PRAGMA table_info(main_table);"));
  ASSERT_EQ(db.RowCount(), kMainTableColumns);
  const char* first[] = {"file_name", "file_arc_title", "file_arc_ext", "file_title",
                         "file_ext",  "machine_name",   "title"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(db.Cell(i + 1, 1), first[i]);
  InsertItem("C:\\roms\\a.bin");
  EXPECT_EQ(One("SELECT COUNT(*) FROM main_table WHERE ply < 2 AND adult=0 AND rating=0;"), "1");
}

TEST_F(SchemaTest, EveryTableViewAndTriggerExists) {
  for (const char* table :
       {"main_table", "spec_table", "creator_table", "memo_table", "favorite_table",
        "use_emuset_table", "snap_path_table", "associate_file_table", "alter_ego_table",
        "machine_info_table", "media_info_table", "genre_info_table", "adultex_info_table",
        "vel_table", "tmp_hist_table", "tmp_maxdisk"})
    EXPECT_EQ(One(std::string("SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name='") +
                  table + "';"),
              "1")
        << table;
  EXPECT_EQ(One("SELECT COUNT(*) FROM sqlite_master WHERE type='view' AND name='all_item_view';"),
            "1");
  EXPECT_EQ(One("SELECT COUNT(*) FROM sqlite_master WHERE type='trigger' AND "
                "name='update_main_pkey';"),
            "1");
  EXPECT_EQ(One("SELECT ver FROM vel_table ;"), kSchemaVersion);
}

TEST_F(SchemaTest, ItemViewDeliversTheColumnsAtTheirPositions) {
  InsertItem("C:\\roms\\a.zip*disk1.d88");
  ASSERT_FALSE(db.Query(
      "UPDATE main_table SET machine_name='PC', title='T', version='v', maker='M', developer='D',"
      "genre_name='G', adult=1, media_name='FD', country='JP', sale_year='1990-01-00', rating=30,"
      "boot_count=2, last_boot='L', crc='C16', crc32='C32', rom_num=5, associate=3,"
      "file_title='ft', file_arc_title='fat';"
      "INSERT INTO machine_info_table VALUES(4,'PC','','','S1','S2','S3','DTM','');"
      "INSERT INTO media_info_table VALUES(6,'FD','');"
      "INSERT INTO genre_info_table VALUES(7,'G','');"
      "INSERT INTO adultex_info_table VALUES(8,'AX','');"
      "INSERT INTO creator_table VALUES('C:\\roms\\a.zip*disk1.d88','[P]A;');"
      "INSERT INTO memo_table VALUES('C:\\roms\\a.zip*disk1.d88','memo');"
      "INSERT INTO snap_path_table VALUES('C:\\roms\\a.zip*disk1.d88','s1','s2','s3','dtt');"
      "INSERT INTO spec_table VALUES('C:\\roms\\a.zip*disk1.d88','B',1200,'MD','DV','2','SD','SN','AX');"
      "INSERT INTO alter_ego_table(pfile_ae,ae_file) VALUES('C:\\roms\\a.zip*disk1.d88','copy');"
      "INSERT INTO use_emuset_table VALUES('C:\\roms\\a.zip*disk1.d88','EMU');"
      "UPDATE main_table SET play_time='001:02:03', kana='KN' WHERE file_name='C:\\roms\\a.zip*disk1.d88';"
      "INSERT INTO favorite_table VALUES('C:\\roms\\a.zip*disk1.d88','13');"
      "INSERT INTO main_table(file_name,ply,ply_file_name) VALUES('child',2,'C:\\roms\\a.zip*disk1.d88');"
      "INSERT INTO tmp_maxdisk  SELECT ply_file_name, max(ply) FROM main_table WHERE ply>1 GROUP BY ply_file_name;"));
  ASSERT_FALSE(db.Query("SELECT * FROM all_item_view WHERE file_name='C:\\roms\\a.zip*disk1.d88';"));
  ASSERT_EQ(db.RowCount(), 1);
  struct Position {
    int column;
    const char* value;
  } positions[] = {
      {0, "C:\\roms\\a.zip*disk1.d88"}, {1, "PC"}, {2, "T"}, {4, "M"}, {5, "D"}, {6, "G"},
      {7, "1"}, {8, "FD"}, {9, "JP"}, {10, "1990-01-00"}, {11, "30"}, {12, "2"}, {13, "L"},
      {14, "4"}, {15, "6"}, {16, "7"}, {17, "1"}, {18, "S1"}, {19, "ft"}, {21, "fat"},
      {23, "[P]A;"}, {24, "memo"}, {25, "3"}, {26, "C16"}, {27, "C32"}, {28, "5"}, {29, "s1"},
      {30, "s2"}, {31, "s3"}, {32, "dtt"}, {33, "S2"}, {34, "S3"}, {35, "DTM"}, {36, "B"},
      {37, "1200"}, {38, "MD"}, {39, "DV"}, {40, "2"}, {41, "AX"}, {42, "8"}, {43, "SD"},
      {44, "SN"}, {45, "1"}, {46, "001:02:03"}, {47, "KN"}, {48, "13"}, {49, "2"}, {50, "EMU"},
  };
  for (const Position& p : positions) EXPECT_EQ(db.Cell(1, p.column), p.value) << p.column;
  // An item without memo, related files or set shows empty memo, "0" and no marker.
  ASSERT_FALSE(db.Query("SELECT * FROM all_item_view WHERE file_name='child';"));
  EXPECT_EQ(db.Cell(1, 24), "");
  EXPECT_EQ(db.Cell(1, 25), "0");
  EXPECT_EQ(db.Cell(1, 17), "");
  EXPECT_EQ(db.Cell(1, 45), "");
  EXPECT_EQ(db.Cell(1, 49), "0");
}

TEST_F(SchemaTest, RenamingAnItemMovesItsRowsInAllDependentTables) {
  InsertItem("old");
  const char* inserts[] = {
      "INSERT INTO spec_table(pfile_sc) VALUES('old');",
      "INSERT INTO use_emuset_table VALUES('old','e');",
      "INSERT INTO alter_ego_table(pfile_ae,ae_file) VALUES('old','copy');",
      "INSERT INTO snap_path_table(pfile_sp) VALUES('old');",
      "INSERT INTO associate_file_table VALUES('old','f1'),('old','f2');",
      "INSERT INTO memo_table VALUES('old','m');",
      "INSERT INTO creator_table VALUES('old','c;');",
      "INSERT INTO favorite_table VALUES('old','1');",
  };
  for (const char* sql : inserts) ASSERT_FALSE(db.Query(sql)) << sql;
  ASSERT_FALSE(db.Query("UPDATE main_table SET file_name='new' WHERE file_name='old';"));
  struct Dependent {
    const char* table;
    const char* column;
    const char* rows;
  } dependents[] = {
      {"spec_table", "pfile_sc", "1"},       {"use_emuset_table", "pfile_ue", "1"},
      {"alter_ego_table", "pfile_ae", "1"},  {"snap_path_table", "pfile_sp", "1"},
      {"associate_file_table", "pfile_as", "2"}, {"memo_table", "pfile_mm", "1"},
      {"creator_table", "pfile_cr", "1"},    {"favorite_table", "pfile_fv", "1"},
  };
  for (const Dependent& d : dependents) {
    EXPECT_EQ(One(std::string("SELECT COUNT(*) FROM ") + d.table + " WHERE " + d.column + "='new';"),
              d.rows)
        << d.table;
    EXPECT_EQ(One(std::string("SELECT COUNT(*) FROM ") + d.table + " WHERE " + d.column + "='old';"),
              "0")
        << d.table;
  }
}

TEST_F(SchemaTest, ComparisonsHoldAsTheSearchesWriteThem) {
  for (const char* key : {"single", "blank", "parent", "disk2", "disk10", "disk99"}) InsertItem(key);
  ASSERT_FALSE(db.Query(
      "UPDATE main_table SET ply='' WHERE file_name='blank';"
      "UPDATE main_table SET ply=1 WHERE file_name='parent';"
      "UPDATE main_table SET ply='2' WHERE file_name='disk2';"
      "UPDATE main_table SET ply='10' WHERE file_name='disk10';"
      "UPDATE main_table SET ply='99' WHERE file_name='disk99';"
      "UPDATE main_table SET adult='1', rating='30', rom_num='0012', crc32='00AB12CD', crc='0042',"
      " sale_year='1990' WHERE file_name='single';"));
  EXPECT_EQ(One("SELECT group_concat(file_name) FROM (SELECT file_name FROM main_table WHERE ply < 2 "
                "ORDER BY file_name);"),
            "blank,parent,single");
  EXPECT_EQ(One("SELECT COUNT(*) FROM main_table WHERE (ply='' OR ply='0' OR ply='1');"), "3");
  EXPECT_EQ(One("SELECT COUNT(*) FROM main_table WHERE ply<=1;"), "3");
  EXPECT_EQ(One("SELECT COUNT(*) FROM main_table WHERE ply>1;"), "3");
  EXPECT_EQ(One("SELECT max(ply) FROM main_table;"), "99");
  EXPECT_EQ(One("SELECT file_name FROM main_table WHERE adult=1 AND rating=30 AND rom_num=12;"),
            "single");
  // Text columns keep what was written, leading zeros included.
  EXPECT_EQ(One("SELECT crc32||'/'||crc||'/'||sale_year FROM main_table WHERE file_name='single';"),
            "00AB12CD/0042/1990");
  // "" means no value for text columns.
  EXPECT_EQ(One("SELECT COUNT(*) FROM main_table WHERE last_boot='' AND play_time='';"), "6");
}

TEST_F(SchemaTest, PerItemTablesHoldOneRowPerItem) {
  for (const char* sql : {
           "INSERT OR REPLACE INTO spec_table(pfile_sc,breed) VALUES('k','a');",
           "INSERT OR REPLACE INTO spec_table(pfile_sc,breed) VALUES('k','b');",
           "INSERT OR REPLACE INTO memo_table VALUES('k','m1');",
           "INSERT OR REPLACE INTO memo_table VALUES('k','m2');",
           "INSERT OR REPLACE INTO vel_table(key,str) VALUES('db_open_client','A');",
           "INSERT OR REPLACE INTO vel_table(key,str) VALUES('db_open_client','B');",
       })
    ASSERT_FALSE(db.Query(sql)) << sql;
  EXPECT_EQ(One("SELECT COUNT(*)||breed FROM spec_table;"), "1b");
  EXPECT_EQ(One("SELECT COUNT(*)||memo FROM memo_table;"), "1m2");
  EXPECT_EQ(One("SELECT COUNT(*)||str FROM vel_table WHERE key='db_open_client';"), "1B");
  // The version row stays first.
  EXPECT_EQ(One("SELECT ver FROM vel_table ;"), kSchemaVersion);
}

TEST_F(SchemaTest, HistoryTableDefaultsCurrentToOne) {
  ASSERT_FALSE(db.Query("INSERT INTO tmp_hist_table(srch_locate,sbject,query) VALUES(0,'a','q');"));
  EXPECT_EQ(One("SELECT id||'/'||current FROM tmp_hist_table;"), "1/1");
}

TEST(SchemaUpgrade, OlderDatabaseKeepsEveryRowAndGainsWhatIsMissing) {
  test::TempFolder folder;
  LibraryConnection db;
  db.Open(folder / "old.db", "");
  // An older library: fewer columns, no trigger, no work tables.
  ASSERT_FALSE(db.Query(
      "CREATE TABLE main_table(file_name TEXT PRIMARY KEY, file_arc_title, file_arc_ext, "
      "file_title, file_ext, machine_name, title, kana, rating);"
      "INSERT INTO main_table VALUES('k1','','','a','bin','PC','Title',"
      "'kana','40');"
      "CREATE TABLE memo_table(pfile_mm TEXT PRIMARY KEY, memo);"
      "INSERT INTO memo_table VALUES('k1','keep me');"
      "CREATE TABLE vel_table(key TEXT PRIMARY KEY, str, ver);"
      "INSERT INTO vel_table VALUES('db_version','','0');"));
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  ASSERT_FALSE(CreateItemView(db));
  ASSERT_FALSE(db.Query("PRAGMA table_info(main_table);"));
  EXPECT_EQ(db.RowCount(), kMainTableColumns);
  ASSERT_FALSE(db.Query("SELECT title, kana, rating, memo FROM all_item_view;"));
  ASSERT_EQ(db.RowCount(), 1);
  EXPECT_EQ(db.Cell(1, 0), "Title");
  EXPECT_EQ(db.Cell(1, 1), "kana");
  EXPECT_EQ(db.Cell(1, 2), "40");
  EXPECT_EQ(db.Cell(1, 3), "keep me");
  // The stored version is the database's own; an upgrade does not overwrite it.
  ASSERT_FALSE(db.Query("SELECT ver FROM vel_table ;"));
  EXPECT_EQ(db.Cell(1, 0), "0");
  // Running the set-up again changes nothing.
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  ASSERT_FALSE(CreateItemView(db));
  ASSERT_FALSE(db.Query("SELECT COUNT(*) FROM main_table;"));
  EXPECT_EQ(db.Cell(1, 0), "1");
}

TEST(SchemaUpgrade, FileThatIsNotADatabaseFailsWithoutChange) {
  test::TempFolder folder;
  std::string path = folder / "Velmarook.db";
  test::WriteWholeFile(path, std::string(4096, 'x'));
  LibraryConnection db;
  db.Open(path, "");
  auto error = CreateOrUpgradeSchema(db);
  ASSERT_TRUE(error);
  EXPECT_NE(error->find("not a database"), std::string::npos) << *error;
  db.Close();
  EXPECT_EQ(test::ReadWholeFile(path), std::string(4096, 'x'));
}

// Every row of the columns, ordered by them, as "a|b" lines.
std::string Rows(LibraryConnection& db, const std::string& table, const std::string& columns) {
  std::string sql = "SELECT " + columns + " FROM " + table + " ORDER BY " + columns + ";";
  auto error = db.Query(sql);
  EXPECT_FALSE(error) << (error ? *error : "") << "\n" << sql;
  std::string rows;
  for (int r = 1; r <= db.RowCount(); ++r) {
    for (int c = 0; c < db.ColumnCount(); ++c) rows += (c ? "|" : "") + db.Cell(r, c);
    rows += "\n";
  }
  return rows;
}

// main_table of an older library: the 29 columns without declared types.
const char* const kUntypedMainTable =
    "CREATE TABLE main_table(file_name PRIMARY KEY, file_arc_title, file_arc_ext, file_title, "
    "file_ext, machine_name, title, smart_title, kana, maker, sale_year, developer, country, rom_num, "
    "adult, rating, version, genre_name, media_name, tag, boot_count, last_boot, ply, ply_file_name, "
    "crc32, crc, play_time, modify, associate);";

std::string Item(const std::string& key, const std::string& adult, const std::string& rating,
                 const std::string& ply, const std::string& set = "") {
  return "INSERT INTO main_table(file_name,title,adult,rating,ply,ply_file_name,crc32,sale_year) VALUES('" +
         key + "','T " + key + "','" + adult + "','" + rating + "','" + ply + "','" + set +
         "','00AB12CD','1990-01-00');";
}

TEST(SchemaUpgrade, EachOlderFormComesToOurDeclarationsWithEveryRowKept) {
  struct Check {
    const char* sql;
    const char* expected;
  };
  struct RowsCheck {
    const char* table;
    const char* columns;
    const char* expected;
  };
  struct Case {
    const char* name;
    std::string older;  // statements run on a library made in our form, or on an empty file
    bool fromOurForm;
    std::vector<Check> checks;
    std::vector<RowsCheck> rows;
  } cases[] = {
      {"blank disk numbers from before the blank-disk triggers",
       "DROP TRIGGER main_blank_ply_insert; DROP TRIGGER main_blank_ply_update;" + Item("a", "0", "0", "") +
           Item("b", "0", "0", "1") + Item("c", "0", "0", "2", "b"),
       true,
       {{"SELECT group_concat(file_name) FROM (SELECT file_name FROM main_table WHERE ply < 2 ORDER BY 1);",
         "a,b"}},
       {{"main_table", "file_name,ply", "a|0\nb|1\nc|2\n"}}},
      {"untyped columns keep text",
       std::string(kUntypedMainTable) + Item("x", "1", "30", "") + Item("y", "0", "50", "1") +
           Item("z", "", "0", "2", "y"),
       false,
       {{"SELECT file_name FROM main_table WHERE adult=1 AND rating=30;", "x"},
        {"SELECT group_concat(file_name) FROM (SELECT file_name FROM main_table WHERE ply < 2 ORDER BY 1);",
         "x,y"},
        {"SELECT COUNT(*) FROM main_table WHERE ply>1;", "1"}},
       {{"main_table", "file_name,title,adult,rating,crc32,sale_year",
         "x|T x|1|30|00AB12CD|1990-01-00\ny|T y|0|50|00AB12CD|1990-01-00\nz|T z||0|00AB12CD|1990-01-00\n"}}},
      {"per-item tables and vel_table without a key",
       std::string(kUntypedMainTable) + Item("k1", "0", "0", "0") + Item("k2", "0", "0", "0") +
           "CREATE TABLE favorite_table(pfile_fv, fave);"
           "INSERT INTO favorite_table VALUES('k1','1'),('k2','5'),('k1','13');"
           "CREATE TABLE memo_table(pfile_mm TEXT, memo TEXT);"
           "INSERT INTO memo_table VALUES('k1','old'),('k1','new');"
           "CREATE TABLE vel_table(key, str, ver);"
           "INSERT INTO vel_table VALUES('db_version','','0'),('db_open_client','A',NULL),"
           "('db_open_client','B',NULL);",
       false,
       {{"SELECT COUNT(*) FROM all_item_view WHERE file_name='k1';", "1"},
        {"SELECT fave||memo FROM all_item_view WHERE file_name='k1';", "13new"},
        {"SELECT ver FROM vel_table ;", "0"}},
       {{"favorite_table", "pfile_fv,fave", "k1|13\nk2|5\n"},
        {"memo_table", "pfile_mm,memo", "k1|new\n"},
        {"vel_table", "key,str", "db_open_client|B\ndb_version|\n"}}},
      {"highest disk numbers made as a select, with a third column",
       std::string(kUntypedMainTable) + Item("p", "0", "0", "1") + Item("p2", "0", "0", "2", "p") +
           Item("p3", "0", "0", "3", "p") +
           "CREATE TABLE tmp_maxdisk AS SELECT ply_file_name, max(ply), 'x' AS note FROM main_table "
           "WHERE ply>1 GROUP BY ply_file_name;",
       false,
       {{"SELECT COUNT(*) FROM pragma_table_info('tmp_maxdisk');", "2"},
        {"SELECT images FROM all_item_view WHERE file_name='p';", "3"},
        {"DELETE FROM tmp_maxdisk; INSERT INTO tmp_maxdisk  SELECT ply_file_name, max(ply) FROM main_table "
         "WHERE ply>1 GROUP BY ply_file_name; SELECT COUNT(*) FROM tmp_maxdisk;",
         "1"}},
       {}},
      {"a column named Title",
       "CREATE TABLE main_table(file_name TEXT PRIMARY KEY, file_arc_title TEXT, file_arc_ext TEXT, "
       "file_title TEXT, file_ext TEXT, machine_name TEXT, Title TEXT, kana TEXT, Rating);"
       "INSERT INTO main_table(file_name,Title,kana,Rating) VALUES('t1','Kept','kana','20');",
       false,
       {{"SELECT title||'/'||kana FROM all_item_view;", "Kept/kana"},
        {"SELECT COUNT(*) FROM main_table WHERE rating=20;", "1"},
        {"SELECT COUNT(*) FROM pragma_table_info('main_table');", "29"}},
       {{"main_table", "file_name,title", "t1|Kept\n"}}},
      {"master table without its unique name",
       "CREATE TABLE machine_info_table(machine_num, machine, machine_icon);"
       "INSERT INTO machine_info_table VALUES(1,'PC','a.ico'),(2,'MD',''),(3,'PC','b.ico');",
       false,
       {{"INSERT OR REPLACE INTO machine_info_table(machine_num,machine) VALUES(9,'MD');"
         "SELECT COUNT(*) FROM machine_info_table;",
         "2"}},
       {{"machine_info_table", "machine,machine_icon", "MD|\nPC|b.ico\n"}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::TempFolder folder;
    LibraryConnection db;
    db.Open(folder / "older.db", "");
    if (c.fromOurForm) ASSERT_FALSE(CreateOrUpgradeSchema(db));
    auto error = db.Query(c.older);
    ASSERT_FALSE(error) << *error;
    error = CreateOrUpgradeSchema(db);
    ASSERT_FALSE(error) << *error;
    ASSERT_FALSE(CreateItemView(db));
    for (const Check& check : c.checks) {
      error = db.Query(check.sql);
      ASSERT_FALSE(error) << *error << "\n" << check.sql;
      EXPECT_EQ(db.Cell(1, 0), check.expected) << check.sql;
    }
    for (const RowsCheck& rows : c.rows) EXPECT_EQ(Rows(db, rows.table, rows.columns), rows.expected) << rows.table;
    // A second set-up finds nothing more to do and keeps every row.
    std::string before = Rows(db, "main_table", "file_name,title,ply");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    EXPECT_EQ(Rows(db, "main_table", "file_name,title,ply"), before);
    ASSERT_FALSE(db.Query("PRAGMA table_info(main_table);"));
    EXPECT_EQ(db.RowCount(), kMainTableColumns);
  }
}

TEST(SchemaUpgrade, AnOlderKeyTriggerIsMadeAgainInOurForm) {
  test::TempFolder folder;
  LibraryConnection db;
  db.Open(folder / "older.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  // The trigger of an older version: no statement for the favourites.
  ASSERT_FALSE(db.Query(
      "DROP TRIGGER update_main_pkey;"
      "CREATE TRIGGER update_main_pkey AFTER UPDATE OF file_name ON main_table BEGIN "
      "UPDATE memo_table SET pfile_mm = new.file_name WHERE pfile_mm = old.file_name ; END ;"
      "INSERT INTO main_table(file_name) VALUES('old');"
      "INSERT INTO memo_table VALUES('old','m');"
      "INSERT INTO favorite_table VALUES('old','3');"));
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  ASSERT_FALSE(db.Query("UPDATE main_table SET file_name='new' WHERE file_name='old';"));
  EXPECT_EQ(Rows(db, "favorite_table", "pfile_fv,fave"), "new|3\n");
  EXPECT_EQ(Rows(db, "memo_table", "pfile_mm,memo"), "new|m\n");
  // A trigger in our form is left as it is.
  ASSERT_FALSE(db.Query("SELECT sql FROM sqlite_master WHERE name='update_main_pkey';"));
  std::string ours = db.Cell(1, 0);
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  ASSERT_FALSE(db.Query("SELECT sql FROM sqlite_master WHERE name='update_main_pkey';"));
  EXPECT_EQ(db.Cell(1, 0), ours);
}

TEST(SchemaUpgrade, TwoStartsPreparingAnOlderLibraryAtOnceBothSucceed) {
  for (int round = 0; round < 3; ++round) {
    test::TempFolder folder;
    const std::string path = folder / "older.db";
    {
      LibraryConnection db;
      db.Open(path, "");
      ASSERT_FALSE(db.Query(std::string(kUntypedMainTable) + Item("a", "1", "30", "") +
                            "CREATE TABLE memo_table(pfile_mm, memo);"));
    }
    std::optional<std::string> results[2];
    std::thread starts[2];
    for (int i = 0; i < 2; ++i)
      starts[i] = std::thread([&, i] {
        LibraryConnection db;
        db.Open(path, "");
        results[i] = CreateOrUpgradeSchema(db);
        if (!results[i]) results[i] = CreateItemView(db);
      });
    for (std::thread& start : starts) start.join();
    for (const auto& result : results) EXPECT_FALSE(result) << "round " << round << ": " << *result;
    LibraryConnection db;
    db.Open(path, "");
    EXPECT_EQ(Rows(db, "main_table", "file_name,adult,rating"), "a|1|30\n");
  }
}

}  // namespace
}  // namespace vel
