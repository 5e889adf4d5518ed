// The record editor's load, checks and save on a library holding one item
// with everything an item can have, and a three-image set.
#include "editing/record_editor.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {

const char* const kTables[] = {"main_table",       "creator_table",   "memo_table",
                               "associate_file_table", "snap_path_table", "spec_table",
                               "use_emuset_table", "tmp_maxdisk"};

const std::string kParent = "C:\\g\\p's.d88";

class RecordEditorTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    // A memo far past any dialog buffer, with quotes and two-byte text.
    memo = Jp("長い'メモ") + "\r\n";
    while (memo.size() < 40000) memo += "0123456789";
    memo.resize(40000);
    const std::string p = Quote(kParent);
    const std::string children =
        "'PC88','Game Disk','gamedisk','Maker','Dev','FD','RPG',1,'JP','1985-03-00',0,'" + p + "','x'";
    ASSERT_FALSE(db.Query(
        "INSERT INTO main_table(file_name,title,smart_title,maker,developer,version,kana,tag,rom_num,sale_year,"
        "country,adult,machine_name,media_name,genre_name,ply,ply_file_name,associate,modify) VALUES('" + p +
        "','Game''s','games','Maker','Dev','v1.1','geemu','RPG;Old',12,'1985-03-00','JP',1,'PC88','FD','RPG',1,'',"
        "2,'x');"
        "INSERT INTO main_table(file_name,machine_name,title,smart_title,maker,developer,media_name,genre_name,adult,"
        "country,sale_year,associate,ply_file_name,modify,ply) VALUES"
        "('C:\\g\\c2.d88'," + children + ",2),('C:\\g\\c3.d88'," + children + ",3);"
        "INSERT INTO main_table(file_name,title,ply,ply_file_name,modify) VALUES('C:\\other','Other',0,'','x');"
        "INSERT INTO creator_table VALUES('" + p + "','A;B;'),('C:\\other','Z;');"
        "INSERT INTO memo_table VALUES('" + p + "','" + Quote(memo) + "');"
        "INSERT INTO associate_file_table VALUES('" + p + "','C:\\manual.pdf'),('" + p + "','http://x/y');"
        "INSERT INTO snap_path_table VALUES('" + p + "','C:\\s\\1.png','','C:\\s\\3.png','A1504386');"
        "INSERT INTO spec_table VALUES('" + p + "','PC-1',4800,'2D','Mouse','1','Disk','OPN','CERO A');"
        "INSERT INTO use_emuset_table VALUES('" + p + "','My Setting');"
        "INSERT INTO tmp_maxdisk VALUES('" + p + "',3);"));
  }

  // Every row of a table in a fixed order, without the columns left out.
  std::string Dump(const std::string& table, const std::string& leftOut = "") {
    if (db.Query("SELECT name FROM pragma_table_info('" + table + "');")) return "error";
    std::string columns;
    for (int r = 1; r <= db.RowCount(); ++r) {
      if (db.Cell(r, 0) == leftOut) continue;
      columns += (columns.empty() ? "" : "||'|'||") + std::string("quote(") + db.Cell(r, 0) + ")";
    }
    if (auto error = db.Query("SELECT " + columns + " FROM " + table + " ORDER BY 1;")) return "error " + *error;
    std::string rows;
    for (int r = 1; r <= db.RowCount(); ++r) rows += db.Cell(r, 0) + "\n";
    return rows;
  }
  std::string Everything(const std::string& leftOut = "") {
    std::string all;
    for (const char* table : kTables) all += std::string(table) + ":\n" + Dump(table, leftOut);
    return all;
  }
  std::string One(const std::string& sql) {
    if (auto error = db.Query(sql)) return "error " + *error;
    return db.RowCount() > 0 ? db.Cell(1, 0) : "none";
  }

  SaveResult Save(const LoadedRecord& loaded, const RecordFields& fields, const std::string& key = kParent) {
    RecordCheck check = CheckRecord(fields, loaded);
    EXPECT_EQ(check.refusal, "");
    if (!check.record) return {};
    return SaveRecord(db, key, loaded, *check.record);
  }

  test::TempFolder folder;
  LibraryConnection db;
  std::string memo;
};

TEST_F(RecordEditorTest, LoadsEveryTableWhole) {
  LoadedRecord loaded = LoadRecord(db, kParent);
  ASSERT_FALSE(loaded.failure) << *loaded.failure;
  const RecordFields& f = loaded.fields;
  EXPECT_EQ(f.title, "Game's");
  EXPECT_EQ(f.maker + "," + f.developer + "," + f.version + "," + f.kana + "," + f.tag + "," + f.country,
            "Maker,Dev,v1.1,geemu,RPG;Old,JP");
  EXPECT_EQ(f.romNumber, "12");
  EXPECT_EQ(f.releaseDate, "1985-03");
  EXPECT_TRUE(f.adult);
  EXPECT_EQ(f.machine + "," + f.media + "," + f.genre, "PC88,FD,RPG");
  EXPECT_EQ(f.creators, "A\r\nB\r\n");
  EXPECT_EQ(f.memo, memo);
  EXPECT_EQ(f.relatedFiles, (std::vector<std::string>{"C:\\manual.pdf", "http://x/y"}));
  EXPECT_EQ(f.snapshots[0] + "," + f.snapshots[1] + "," + f.snapshots[2] + "," + f.snapDisplay,
            "C:\\s\\1.png,,C:\\s\\3.png,A1504386");
  EXPECT_EQ(f.details, (RecordDetails{"PC-1", "4800", "2D", "Mouse", "1", "Disk", "OPN", "CERO A"}));
  EXPECT_EQ(f.emulatorSetting, "My Setting");
  EXPECT_EQ(f.imageSet, (std::vector<std::string>{kParent, "C:\\g\\c2.d88", "C:\\g\\c3.d88"}));
  EXPECT_EQ(loaded.ownPly, 1);
}

TEST_F(RecordEditorTest, AFailedLoadStepStopsTheLoadWithItsMessage) {
  ASSERT_FALSE(db.Query("DROP TABLE memo_table;"));
  LoadedRecord loaded = LoadRecord(db, kParent);
  ASSERT_TRUE(loaded.failure);
  EXPECT_EQ(loaded.failure->rfind(Jp("メモテーブルを参照できませんでした。\n"), 0), 0u) << *loaded.failure;
  EXPECT_NE(loaded.failure->find("memo_table"), std::string::npos);
  EXPECT_EQ(loaded.fields.creators, "A\r\nB\r\n");  // loaded before the failure
  EXPECT_TRUE(loaded.fields.relatedFiles.empty());  // never reached

  LoadedRecord missing = LoadRecord(db, "C:\\nothing");
  ASSERT_TRUE(missing.failure);
  EXPECT_EQ(missing.failure->rfind(Jp("メインテーブルを参照できませんでした。\n"), 0), 0u);
}

TEST_F(RecordEditorTest, SavingUnchangedLeavesEveryTableAsItWasButTheTimeOfChange) {
  const std::string before = Everything("modify");
  LoadedRecord loaded = LoadRecord(db, kParent);
  ASSERT_FALSE(loaded.failure);
  loaded.fields.smartTitle = "games";  // what the smart-title rule gives for the title
  SaveResult saved = Save(loaded, loaded.fields);
  ASSERT_TRUE(saved.saved) << saved.failure;
  EXPECT_EQ(saved.selectKey, kParent);
  EXPECT_EQ(saved.oldTitle, "Game's");
  EXPECT_EQ(Everything("modify"), before);
  EXPECT_EQ(One("SELECT count(*) FROM main_table WHERE modify<>'x';"), "3");
}

TEST_F(RecordEditorTest, TypedValuesAreStoredInTheirStoredForms) {
  LoadedRecord loaded = LoadRecord(db, "C:\\other");
  ASSERT_FALSE(loaded.failure);
  struct Case {
    std::string date, rom, creators, storedDate, storedRom, storedCreators;
  } cases[] = {
      {"1980/5", "0", "A\r\n B\r\nC ", "1980-05-00", "", "A;B;C;"},
      {Jp("1980年5月25日"), Jp("０１２"), "Z\r\n", "1980-05-25", "12", "Z;"},
      {"", "000123456789", "", "0", "123456789", "none"},
  };
  for (const Case& c : cases) {
    RecordFields f = loaded.fields;
    f.releaseDate = c.date;
    f.romNumber = c.rom;
    f.creators = c.creators;
    SaveResult saved = Save(loaded, f, "C:\\other");
    ASSERT_TRUE(saved.saved) << saved.failure;
    EXPECT_EQ(One("SELECT sale_year||','||rom_num FROM main_table WHERE file_name='C:\\other';"),
              c.storedDate + "," + c.storedRom);
    EXPECT_EQ(One("SELECT creator FROM creator_table WHERE pfile_cr='C:\\other';"), c.storedCreators);
  }
  EXPECT_EQ(One("SELECT count(*) FROM spec_table WHERE pfile_sc='C:\\other';"), "0");
}

TEST_F(RecordEditorTest, ChecksRefuseInTheirOrder) {
  LoadedRecord loaded = LoadRecord(db, kParent);
  ASSERT_FALSE(loaded.failure);
  const std::string dateRefusal =
      Jp("発売日の指定に不備があります。\nyyyy-mm-dd形式で指定してください。\n例) 1980-5-25 ※月以降または日は省略可");
  struct Case {
    std::string title, creators, date, rom, maker, refusal;
  } cases[] = {
      {"", std::string(5000, 'c'), "98", "x", "", Jp("タイトルを入力してください。")},
      {"T", std::string(4096, 'c'), "98", "x", "",
       Jp("クリエイター情報が長すぎます。\n4095バイトに納めてください。")},
      {"T", "A", "98", "x", "", dateRefusal},
      {"T", "A", "1839", "", "", dateRefusal},
      {"T", "A", "198", "", "", dateRefusal},
      {"T", "A", "1980", "12a", "", Jp("ROM番号は半角数字のみです。")},
      {"T", "A", "1980", "-1", "", Jp("ROM番号は半角数字のみです。")},
      {"T", "A", "1980", "1234567890", "", Jp("ROM番号は9桁以内で指定してください。")},
      {"T", "A", "1980", "", std::string(256, 'm'), Jp("メーカーが長すぎます。\n255バイトに納めてください。")},
      {"T", std::string(4095, 'c'), "1980-00-15", "123456789", std::string(255, 'm'), ""},
  };
  for (const Case& c : cases) {
    RecordFields f = loaded.fields;
    f.title = c.title;
    f.creators = c.creators;
    f.releaseDate = c.date;
    f.romNumber = c.rom;
    f.maker = c.maker;
    RecordCheck check = CheckRecord(f, loaded);
    EXPECT_EQ(check.refusal, c.refusal) << c.title << "/" << c.date << "/" << c.rom;
    EXPECT_EQ(check.record.has_value(), c.refusal.empty());
  }
  RecordFields path = loaded.fields;
  path.relatedFiles.push_back(std::string(260, 'p'));
  EXPECT_EQ(CheckRecord(path, loaded).refusal, Jp("関連ファイル/URLが長すぎます。\n259バイトに納めてください。"));
}

TEST_F(RecordEditorTest, LongCreatorsAsStoredAreKeptWhenTheFieldIsLeftAlone) {
  const std::string stored = std::string(5000, 'c') + ";";
  ASSERT_FALSE(db.Query("UPDATE creator_table SET creator='" + stored + "' WHERE pfile_cr='" + Quote(kParent) + "';"));
  LoadedRecord loaded = LoadRecord(db, kParent);
  ASSERT_FALSE(loaded.failure);
  RecordFields f = loaded.fields;
  f.maker = "New Maker";
  SaveResult saved = Save(loaded, f);
  ASSERT_TRUE(saved.saved) << saved.failure;
  EXPECT_EQ(One("SELECT creator FROM creator_table WHERE pfile_cr='" + Quote(kParent) + "';"), stored);
  // Children take the parent's maker.
  EXPECT_EQ(One("SELECT group_concat(maker) FROM main_table WHERE ply_file_name='" + Quote(kParent) + "';"),
            "New Maker,New Maker");
}

TEST_F(RecordEditorTest, ReorderingTheSetMakesTheFirstImageItsParent) {
  LoadedRecord loaded = LoadRecord(db, kParent);
  ASSERT_FALSE(loaded.failure);
  RecordFields f = loaded.fields;
  f.imageSet = {"C:\\g\\c2.d88", kParent, "C:\\g\\c3.d88"};
  SaveResult saved = Save(loaded, f);
  ASSERT_TRUE(saved.saved) << saved.failure;
  EXPECT_EQ(saved.selectKey, "C:\\g\\c2.d88");
  db.Query("SELECT file_name||':'||ply||':'||ply_file_name FROM main_table WHERE file_name LIKE 'C:\\g\\%' "
           "ORDER BY ply;");
  ASSERT_EQ(db.RowCount(), 3);
  EXPECT_EQ(db.Cell(1, 0), "C:\\g\\c2.d88:1:");
  EXPECT_EQ(db.Cell(2, 0), kParent + ":2:C:\\g\\c2.d88");
  EXPECT_EQ(db.Cell(3, 0), "C:\\g\\c3.d88:3:C:\\g\\c2.d88");
  EXPECT_EQ(Dump("tmp_maxdisk"), "'C:\\g\\c2.d88'|3\n");
  EXPECT_EQ(One("SELECT title||','||associate FROM main_table WHERE file_name='C:\\g\\c2.d88';"), "Game's,2");
  EXPECT_EQ(One("SELECT memo FROM memo_table WHERE pfile_mm='C:\\g\\c2.d88';"), memo);
}

TEST_F(RecordEditorTest, AChildKeepsItsPlaceInItsSet) {
  LoadedRecord loaded = LoadRecord(db, "C:\\g\\c2.d88");
  ASSERT_FALSE(loaded.failure);
  EXPECT_EQ(loaded.ownPly, 2);
  EXPECT_TRUE(loaded.fields.imageSet.empty());
  RecordFields f = loaded.fields;
  f.title = "Disk Two";
  f.imageSet = {"C:\\g\\c2.d88"};  // even a list handed in is never written for a child
  SaveResult saved = Save(loaded, f, "C:\\g\\c2.d88");
  ASSERT_TRUE(saved.saved) << saved.failure;
  EXPECT_EQ(One("SELECT title||':'||ply||':'||ply_file_name FROM main_table WHERE file_name='C:\\g\\c2.d88';"),
            "Disk Two:2:" + kParent);
  EXPECT_EQ(Dump("tmp_maxdisk"), "'" + Quote(kParent) + "'|3\n");
}

TEST_F(RecordEditorTest, AFailedStatementLeavesEveryTableUnchangedAndReportsIt) {
  ASSERT_FALSE(db.Query("CREATE TRIGGER refuse_memo BEFORE INSERT ON memo_table "
                        "BEGIN SELECT RAISE(ABORT, 'memo refused'); END;"));
  const std::string before = Everything();
  LoadedRecord loaded = LoadRecord(db, kParent);
  ASSERT_FALSE(loaded.failure);
  RecordFields f = loaded.fields;
  f.title = "Changed";
  f.details = {};
  f.imageSet = {"C:\\g\\c3.d88", kParent, "C:\\g\\c2.d88"};
  SaveResult saved = Save(loaded, f);
  EXPECT_FALSE(saved.saved);
  EXPECT_EQ(saved.failure, Jp("データベースを更新出来ませんでした。\n") + "memo refused");
  EXPECT_EQ(Everything(), before);
  // The connection is out of the transaction: a later save works.
  ASSERT_FALSE(db.Query("DROP TRIGGER refuse_memo;"));
  EXPECT_TRUE(Save(loaded, f).saved);
}

TEST_F(RecordEditorTest, AnItemGoneSinceItWasLoadedIsNotSaved) {
  LoadedRecord loaded = LoadRecord(db, "C:\\other");
  ASSERT_FALSE(loaded.failure);
  ASSERT_FALSE(db.Query("DELETE FROM main_table WHERE file_name='C:\\other';"));
  const std::string before = Everything();
  RecordFields f = loaded.fields;
  f.memo = "new memo";
  SaveResult saved = Save(loaded, f, "C:\\other");
  EXPECT_FALSE(saved.saved);
  EXPECT_EQ(saved.failure.rfind(Jp("データベースを更新出来ませんでした。\n"), 0), 0u);
  EXPECT_EQ(Everything(), before);
}

TEST(ReleaseDateForDisplay, CutsOnlyTheMissingParts) {
  struct Case {
    std::string stored, shown;
  } cases[] = {
      {"0", ""},           {"1980-05-00", "1980-05"}, {"1980-00-00", "1980"},
      {"1980-00-15", "1980-00-15"}, {"1980-05-25", "1980-05-25"}, {"198", "198"}, {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(ReleaseDateForDisplay(c.stored), c.shown) << c.stored;
}

TEST(CreatorsForDisplay, OneNamePerLineByCharacter) {
  EXPECT_EQ(CreatorsForDisplay("A;B;"), "A\r\nB\r\n");
  EXPECT_EQ(CreatorsForDisplay(""), "");
  // A two-byte character is never split.
  EXPECT_EQ(CreatorsForDisplay("\x88\x9F;x"), "\x88\x9F\r\nx");
}

}  // namespace
}  // namespace vel
