// The master tables as the management window changes them: adding, editing
// and deleting records with their checks and messages, the renumbering, a
// machine's rename with its configuration files and its items' media, and
// the repair of icon paths after the program folder moved.
#include "editing/master_tables.h"

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

// A small file at a program path (with "\\" on every platform).
void WriteProgramFile(const std::string& path, const std::string& bytes) {
  OutputFile out;
  ASSERT_TRUE(out.Create(path) && out.Write(bytes.data(), bytes.size()) && out.Close()) << path;
}

class MasterTablesTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
  }
  // Every row of a table as one text, in name order.
  std::string Rows(const std::string& stem) {
    std::string sql = "SELECT group_concat(r, '|') FROM (SELECT " + stem + "_num || ':' || " + stem + " || ':' || " +
                      stem + "_icon AS r FROM " + stem + "_info_table ORDER BY " + stem + ");";
    if (auto error = db.Query(sql)) return "error " + *error;
    return db.Cell(1, 0);
  }
  std::string One(const std::string& sql) {
    if (auto error = db.Query(sql)) return "error " + *error;
    return db.Cell(1, 0);
  }
  bool Save(MasterKind kind, const std::optional<std::string>& oldName, const MasterRecord& record) {
    return SaveMasterRecord(db, kind, oldName, record, folder.Path(), nullptr);
  }
  static MasterRecord Named(const std::string& name, const std::string& icon = "") {
    MasterRecord r;
    r.name = name;
    r.icon = icon;
    return r;
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

// One table of steps over the genres (and the reserved name for a machine):
// what each save or delete answers, what it shows, and the table after it.
TEST_F(MasterTablesTest, RecordsAreAddedEditedAndDeletedWithTheirChecks) {
  struct Step {
    const char* what;
    MasterKind kind;
    const char* oldName;  // null: a new record; "-" + name: delete it
    std::string name;
    bool changed;
    const char* shown;  // the message shown, "" for none
    const char* rows;   // the genres afterwards
  } steps[] = {
      {"add RPG", MasterKind::Genre, nullptr, "RPG", true, "", "1:RPG:"},
      {"add Action", MasterKind::Genre, nullptr, "Action", true, "", "1:Action:|2:RPG:"},
      {"add RPG again", MasterKind::Genre, nullptr, "RPG", false,
       "指定されたジャンル名は既に作成されています。\n別なジャンル名を指定してください。", "1:Action:|2:RPG:"},
      {"a name with a quote", MasterKind::Genre, nullptr, "Puzzle's", true, "", "1:Action:|2:Puzzle's:|3:RPG:"},
      {"rename onto another", MasterKind::Genre, "Action", "RPG", false,
       "指定されたジャンル名は既に作成されています。\n別なジャンル名を指定してください。",
       "1:Action:|2:Puzzle's:|3:RPG:"},
      {"empty name", MasterKind::Genre, nullptr, "", false, "ジャンル名の入力は必須です。",
       "1:Action:|2:Puzzle's:|3:RPG:"},
      {"reserved name", MasterKind::Genre, nullptr, "指定なし", false, "そのジャンル名は使用できません。",
       "1:Action:|2:Puzzle's:|3:RPG:"},
      {"rename keyed by the name", MasterKind::Genre, "Puzzle's", "Adventure", true, "",
       "1:Action:|2:Adventure:|3:RPG:"},
      {"a record gone meanwhile", MasterKind::Genre, "Gone", "Other", false,
       "ジャンル管理レコードアップデートできませんでした。\n対象のレコードが見つかりませんでした。",
       "1:Action:|2:Adventure:|3:RPG:"},
      {"delete the first", MasterKind::Genre, "-Action", "", true, "", "1:Adventure:|2:RPG:"},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.what);
    test::ScriptedAnswers answers({kIdYes});
    bool changed = false;
    if (step.oldName && step.oldName[0] == '-')
      changed = DeleteMasterRecord(db, step.kind, step.oldName + 1, nullptr);
    else
      changed = Save(step.kind, step.oldName ? std::optional<std::string>(step.oldName) : std::nullopt,
                     Named(Jp(step.name)));
    EXPECT_EQ(changed, step.changed);
    std::string shown;
    for (const MessageRequest& asked : answers.Asked())
      if (asked.caption != Jp("削除確認")) shown += asked.text;
    EXPECT_EQ(AnsiToUtf8(shown), step.shown);
    EXPECT_EQ(AnsiToUtf8(Rows("genre")), step.rows);
  }
}

TEST_F(MasterTablesTest, TheReservedNameIsAMachineNameLikeAnyOther) {
  {
    test::ScriptedAnswers answers;
    EXPECT_TRUE(Save(MasterKind::Machine, std::nullopt, Named(Jp("指定なし"))));
    EXPECT_TRUE(answers.Asked().empty());
  }
  EXPECT_EQ(Rows("machine"), "1:" + Jp("指定なし") + ":");
  for (MasterKind kind : {MasterKind::Media, MasterKind::Adultex}) {
    test::ScriptedAnswers refused;
    EXPECT_FALSE(Save(kind, std::nullopt, Named(Jp("指定なし"))));
    ASSERT_EQ(refused.Asked().size(), 1u);
    EXPECT_EQ(refused.Asked()[0].caption, Jp("中止"));
  }
}

TEST_F(MasterTablesTest, DeletingAsksFirstAndNoKeepsTheRecord) {
  ASSERT_FALSE(db.Query("INSERT INTO media_info_table VALUES(1,'CART',''),(2,'FD','');"));
  {
    test::ScriptedAnswers answers({kIdNo});
    EXPECT_FALSE(DeleteMasterRecord(db, MasterKind::Media, "CART", nullptr));
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(answers.Asked()[0].text, Jp("「CART」を削除します。\nよろしいですか？"));
    EXPECT_EQ(answers.Asked()[0].caption, Jp("削除確認"));
    EXPECT_EQ(answers.Asked()[0].flags, kMbYesNo | kMbIconQuestion);
  }
  EXPECT_EQ(Rows("media"), "1:CART:|2:FD:");
}

TEST_F(MasterTablesTest, TheTableTakesRecordsUpTo299) {
  std::string sql = "BEGIN;";
  for (int i = 1; i <= 298; ++i) sql += "INSERT INTO genre_info_table VALUES(" + std::to_string(i) + ",'g" + std::to_string(i) + "','');";
  ASSERT_FALSE(db.Query(sql + "COMMIT;"));
  {
    test::ScriptedAnswers answers;
    EXPECT_TRUE(MayAddMasterRecord(db, MasterKind::Genre, nullptr));
    EXPECT_TRUE(answers.Asked().empty());
  }
  ASSERT_TRUE(Save(MasterKind::Genre, std::nullopt, Named("one more")));
  test::ScriptedAnswers answers;
  EXPECT_FALSE(MayAddMasterRecord(db, MasterKind::Genre, nullptr));
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(answers.Asked()[0].text, Jp("これ以上追加できません。"));
  EXPECT_EQ(answers.Asked()[0].flags & kMbIconWarning, kMbIconWarning);
}

TEST_F(MasterTablesTest, DuplicatesAreRecognisedInBothWordings) {
  struct Case {
    MasterKind kind;
    const char* error;
    bool duplicate;
  } cases[] = {
      {MasterKind::Machine, "column machine is not unique", true},
      {MasterKind::Machine, "UNIQUE constraint failed: machine_info_table.machine", true},
      {MasterKind::Adultex, "UNIQUE constraint failed: adultex_info_table.adultex", true},
      {MasterKind::Media, "column genre is not unique", false},
      {MasterKind::Genre, "UNIQUE constraint failed: main_table.file_name", false},
      {MasterKind::Genre, "database is locked", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsDuplicateNameError(c.kind, c.error), c.duplicate) << c.error;
  // And the pinned library's own wording is one of them.
  ASSERT_FALSE(db.Query("INSERT INTO media_info_table(media) VALUES('FD');"));
  auto error = db.Query(MasterInsertSql(MasterKind::Media, Named("FD")));
  ASSERT_TRUE(error);
  EXPECT_TRUE(IsDuplicateNameError(MasterKind::Media, *error)) << *error;
}

// `count` copies of a Japanese character, as the program holds it.
std::string Repeated(const char* utf8, int count) {
  std::string text;
  for (int i = 0; i < count; ++i) text += Jp(utf8);
  return text;
}

TEST_F(MasterTablesTest, OverLongValuesAreRefusedNotCut) {
  struct Case {
    const char* what;
    MasterKind kind;
    MasterRecord record;
    bool refused;
  } cases[] = {
      {"255-byte name", MasterKind::Genre, Named(std::string(255, 'n')), false},
      {"256-byte name", MasterKind::Genre, Named(std::string(256, 'n')), true},
      {"two-byte name of 256 bytes", MasterKind::Media, Named(Repeated("あ", 128)), true},
      {"two-byte name of 254 bytes", MasterKind::Media, Named(Repeated("あ", 127)), false},
      {"259-byte icon", MasterKind::Adultex, Named("CERO", std::string(259, 'i')), false},
      {"260-byte icon", MasterKind::Adultex, Named("CERO", std::string(260, 'i')), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(MasterRecordProblem(c.kind, c.record).has_value(), c.refused);
  }
  MasterRecord machine = Named("FC");
  EXPECT_FALSE(MasterRecordProblem(MasterKind::Machine, machine));
  machine.snapPaths[2] = std::string(260, 's');
  EXPECT_TRUE(MasterRecordProblem(MasterKind::Machine, machine));
  machine.snapPaths[2].clear();
  machine.searchExt = std::string(256, 'e');
  EXPECT_TRUE(MasterRecordProblem(MasterKind::Machine, machine));

  test::ScriptedAnswers answers;
  EXPECT_FALSE(Save(MasterKind::Genre, std::nullopt, Named(std::string(300, 'n'))));
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(answers.Asked()[0].text, Jp("ジャンル名は255バイト以内で入力してください。"));
  EXPECT_EQ(Rows("genre"), "");
}

TEST_F(MasterTablesTest, SearchExtensionsAreNormalised) {
  const std::pair<const char*, const char*> cases[] = {
      {"d88", "d88"},           {";;", ""},          {"*.d88", "d88"},       {" d88 ; .D77 ;;*.fdi", "d88;D77;fdi"},
      {"d88;D88;d77", "d88;d77"}, {"", ""},          {"**..x", "x"},
  };
  for (const auto& [typed, stored] : cases) EXPECT_EQ(NormaliseSearchExtensions(typed), stored) << typed;
  test::ScriptedAnswers answers;
  MasterRecord pc88 = Named("PC88");
  pc88.searchExt = "*.d88;;";
  ASSERT_TRUE(Save(MasterKind::Machine, std::nullopt, pc88));
  EXPECT_EQ(One("SELECT search_ext FROM machine_info_table WHERE machine='PC88';"), "d88");
}

TEST_F(MasterTablesTest, AMachineRecordIsLoadedAndSavedWhole) {
  MasterRecord pc88 = Named("PC88", "C:\\icons\\pc88.bmp");
  pc88.searchExt = "d88;d77";
  pc88.snapPaths = {"C:\\snap\\1", "C:\\snap\\2'", "C:\\snap\\3"};
  pc88.snapDisplay = "A1504369";
  pc88.defaultMedia = "FD";
  test::ScriptedAnswers answers;
  ASSERT_TRUE(Save(MasterKind::Machine, std::nullopt, pc88));
  MasterRecord loaded;
  ASSERT_FALSE(LoadMasterRecord(db, MasterKind::Machine, "PC88", loaded));
  EXPECT_EQ(loaded, pc88);
  EXPECT_TRUE(LoadMasterRecord(db, MasterKind::Machine, "PC98", loaded));
  // Saving it unchanged asks nothing and changes nothing.
  ASSERT_TRUE(Save(MasterKind::Machine, std::string("PC88"), pc88));
  EXPECT_TRUE(answers.Asked().empty());
  ASSERT_FALSE(LoadMasterRecord(db, MasterKind::Machine, "PC88", loaded));
  EXPECT_EQ(loaded, pc88);
}

class MachineRenameTest : public MasterTablesTest {
 protected:
  void SetUp() override {
    MasterTablesTest::SetUp();
    ASSERT_FALSE(db.Query(
        "INSERT INTO machine_info_table(machine_num,machine,default_media) VALUES(1,'FC','FD'),(2,'PCE','FD');"
        "INSERT INTO main_table(file_name,machine_name,media_name) VALUES('a','FC','FD'),('b','FC',''),('c','PCE','FD');"));
    emuconf = EmuConfFolder(folder.Path());
    ASSERT_TRUE(CreateFolder(emuconf));
    ASSERT_TRUE(CreateFolder(emuconf + "\\FC"));
    WriteProgramFile(emuconf + "\\FC\\Emu.ini", "[Emulator]\r\n");
    WriteProgramFile(emuconf + "\\FC.ini", "[Default]\r\nINIFile=Emu.ini\r\n");
  }
  MasterRecord Fc(const std::string& name, const std::string& media) {
    MasterRecord r = Named(name);
    r.defaultMedia = media;
    return r;
  }
  std::string Media() { return One("SELECT group_concat(media_name, ',') FROM (SELECT media_name FROM main_table ORDER BY file_name);"); }
  std::string emuconf;
};

TEST_F(MachineRenameTest, YesGivesTheMachinesItemsTheNewMediaAndMovesTheConfigurations) {
  test::ScriptedAnswers answers({kIdYes});
  ASSERT_TRUE(Save(MasterKind::Machine, std::string("FC"), Fc("FC2", "CART")));
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(answers.Asked()[0].text, Jp("ライブラリ中の「FC」のメディア情報も\n「CART」に更新しますか？"));
  EXPECT_EQ(answers.Asked()[0].flags, kMbYesNo | kMbIconQuestion);
  EXPECT_EQ(Media(), "CART,CART,FD");
  EXPECT_EQ(One("SELECT group_concat(machine || '=' || default_media) FROM machine_info_table;"), "FC2=CART,PCE=FD");
  EXPECT_TRUE(FileExists(emuconf + "\\FC2\\Emu.ini"));
  EXPECT_TRUE(FileExists(emuconf + "\\FC2.ini"));
  EXPECT_FALSE(DirectoryExists(emuconf + "\\FC"));
  EXPECT_FALSE(FileExists(emuconf + "\\FC.ini"));
}

TEST_F(MachineRenameTest, NoLeavesEveryItemsMedia) {
  test::ScriptedAnswers answers({kIdNo});
  ASSERT_TRUE(Save(MasterKind::Machine, std::string("FC"), Fc("FC", "CART")));
  EXPECT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(Media(), "FD,,FD");
  EXPECT_EQ(One("SELECT default_media FROM machine_info_table WHERE machine='FC';"), "CART");
}

TEST_F(MachineRenameTest, ARenameOntoAnExistingNameChangesNothing) {
  test::ScriptedAnswers answers({kIdYes});
  EXPECT_FALSE(Save(MasterKind::Machine, std::string("FC"), Fc("PCE", "CART")));
  ASSERT_EQ(answers.Asked().size(), 2u);
  EXPECT_EQ(answers.Asked()[1].text, Jp("指定された機種名は既に作成されています。\n別な機種名を指定してください。"));
  EXPECT_EQ(Media(), "FD,,FD");
  EXPECT_EQ(One("SELECT group_concat(machine || '=' || default_media) FROM machine_info_table;"), "FC=FD,PCE=FD");
  EXPECT_TRUE(FileExists(emuconf + "\\FC\\Emu.ini"));
  EXPECT_TRUE(FileExists(emuconf + "\\FC.ini"));
  EXPECT_FALSE(DirectoryExists(emuconf + "\\PCE"));
}

TEST_F(MachineRenameTest, AFailingItemUpdateLeavesTheRecordAsItWas) {
  ASSERT_FALSE(db.Query("CREATE TRIGGER refuse BEFORE UPDATE ON main_table BEGIN SELECT RAISE(ABORT,'locked'); END;"));
  test::ScriptedAnswers answers({kIdYes});
  EXPECT_FALSE(Save(MasterKind::Machine, std::string("FC"), Fc("FC2", "CART")));
  ASSERT_EQ(answers.Asked().size(), 2u);
  EXPECT_EQ(answers.Asked()[1].text, Jp("機種管理レコードをアップデートできませんでした。\n") + "locked");
  EXPECT_EQ(answers.Asked()[1].caption, Jp("DBエラー"));
  EXPECT_EQ(One("SELECT group_concat(machine || '=' || default_media) FROM machine_info_table;"), "FC=FD,PCE=FD");
  EXPECT_EQ(Media(), "FD,,FD");
  EXPECT_TRUE(DirectoryExists(emuconf + "\\FC"));
}

TEST_F(MachineRenameTest, MovesNeverReplaceATargetNorLeaveEmuconf) {
  // A target that exists already is left alone and reported with both paths.
  ASSERT_TRUE(CreateFolder(emuconf + "\\FC3"));
  WriteProgramFile(emuconf + "\\FC3\\Own.ini", "own");
  std::vector<std::string> failed = MoveMachineConfigs(folder.Path(), "FC", "FC3");
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0], emuconf + "\\FC -> " + emuconf + "\\FC3");
  EXPECT_TRUE(FileExists(emuconf + "\\FC\\Emu.ini"));
  EXPECT_FALSE(FileExists(emuconf + "\\FC3\\Emu.ini"));
  EXPECT_TRUE(FileExists(emuconf + "\\FC3.ini"));  // the file had no target in the way
  EXPECT_FALSE(FileExists(emuconf + "\\FC.ini"));

  // A new name that would lead out of emuconf moves nothing.
  failed = MoveMachineConfigs(folder.Path(), "FC", "..\\x");
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0], emuconf + "\\FC -> " + emuconf + "\\..\\x");
  EXPECT_TRUE(DirectoryExists(emuconf + "\\FC"));
  EXPECT_FALSE(DirectoryExists(folder / "x"));
  // An old name of that kind never named a configuration folder.
  ASSERT_TRUE(CreateFolder(folder / "y"));
  EXPECT_TRUE(MoveMachineConfigs(folder.Path(), "..\\y", "Y").empty());
  EXPECT_TRUE(DirectoryExists(folder / "y"));
  // Nothing to move is no failure.
  EXPECT_TRUE(MoveMachineConfigs(folder.Path(), "NONE", "OTHER").empty());
}

TEST_F(MachineRenameTest, AFailedMoveIsShownAfterTheSave) {
  ASSERT_TRUE(CreateFolder(emuconf + "\\FC2"));
  test::ScriptedAnswers answers;
  ASSERT_TRUE(Save(MasterKind::Machine, std::string("FC"), Fc("FC2", "FD")));
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(answers.Asked()[0].text, Jp("エミュレータ設定のフォルダまたはファイルの名前を変更できませんでした。") + "\n" +
                                         emuconf + "\\FC -> " + emuconf + "\\FC2");
  EXPECT_EQ(One("SELECT machine FROM machine_info_table WHERE machine_num=1;"), "FC2");
}

TEST_F(MasterTablesTest, IconPathsUnderTheShippedFolderFollowTheProgramFolder) {
  const std::string base = "D:\\New";
  struct Case {
    MasterKind kind;
    std::string path;
    std::optional<std::string> moved;
  } cases[] = {
      {MasterKind::Machine, "C:\\Old\\default_icon\\machine\\fc.bmp", base + "\\default_icon\\machine\\fc.bmp"},
      {MasterKind::Machine, "C:\\Old\\DEFAULT_ICON\\Machine\\fc.bmp", base + "\\DEFAULT_ICON\\Machine\\fc.bmp"},
      {MasterKind::Adultex, "C:\\Old\\default_icon\\cero\\a.bmp", base + "\\default_icon\\cero\\a.bmp"},
      {MasterKind::Adultex, "C:\\Old\\default_icon\\adultex\\a.bmp", std::nullopt},
      {MasterKind::Genre, "C:\\Old\\default_iconXgenre\\a.bmp", std::nullopt},
      {MasterKind::Genre, "C:\\Old\\default?icon\\genre\\a.bmp", std::nullopt},  // "_" is no wildcard
      {MasterKind::Media, "C:\\Mine\\media.bmp", std::nullopt},
      {MasterKind::Media, "D:\\New\\default_icon\\media\\fd.bmp", std::nullopt},
      // The last occurrence decides.
      {MasterKind::Media, "C:\\a\\default_icon\\media\\b\\default_icon\\media\\fd.bmp",
       base + "\\default_icon\\media\\fd.bmp"},
      // "ソ" ends in the byte of "\": it is no separator.
      {MasterKind::Media, Jp("C:\\ソdefault_icon\\media\\x.bmp"), std::nullopt},
      {MasterKind::Media, Jp("C:\\ソ\\default_icon\\media\\x.bmp"), base + "\\default_icon\\media\\x.bmp"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(MovedIconPath(c.kind, c.path, base), c.moved);
    EXPECT_EQ(MovedIconPath(c.kind, c.path, base + "\\"), c.moved);
  }
}

TEST_F(MasterTablesTest, RepairRewritesOnlyMissingShippedIcons) {
  const std::string program = folder.Path();
  ASSERT_TRUE(CreateFolder(program + "\\default_icon"));
  ASSERT_TRUE(CreateFolder(program + "\\default_icon\\genre"));
  WriteProgramFile(program + "\\default_icon\\genre\\rpg.bmp", "bmp");
  const std::string kept = program + "\\default_icon\\genre\\rpg.bmp";  // exists: left alone
  ASSERT_FALSE(db.Query("INSERT INTO genre_info_table VALUES(1,'RPG','C:\\Old\\default_icon\\genre\\rpg.bmp'),"
                        "(2,'ACT','C:\\Old\\default_icon\\genre\\act''s.bmp'),(3,'Mine','C:\\Mine\\x.bmp'),"
                        "(4,'Same','" + Quote(kept) + "'),(5,'None','');"));
  test::ScriptedAnswers answers;
  RepairMasterIconPaths(db, MasterKind::Genre, program, nullptr);
  EXPECT_TRUE(answers.Asked().empty());
  EXPECT_EQ(Rows("genre"), "2:ACT:" + program + "\\default_icon\\genre\\act's.bmp|3:Mine:C:\\Mine\\x.bmp|5:None:|1:RPG:" +
                               program + "\\default_icon\\genre\\rpg.bmp|4:Same:" + kept);
}

TEST_F(MasterTablesTest, RepairFailuresAreShownAndTheRestGoesOn) {
  ASSERT_FALSE(db.Query("INSERT INTO media_info_table VALUES(1,'A','C:\\Old\\default_icon\\media\\a.bmp'),"
                        "(2,'B','C:\\Old\\default_icon\\media\\b.bmp');"
                        "CREATE TRIGGER refuse BEFORE UPDATE ON media_info_table WHEN new.media='A' "
                        "BEGIN SELECT RAISE(ABORT,'refused'); END;"));
  test::ScriptedAnswers answers;
  RepairMasterIconPaths(db, MasterKind::Media, "E:\\P", nullptr);
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(answers.Asked()[0].text, Jp("アイコンパス修復失敗:") + "refused");
  EXPECT_EQ(answers.Asked()[0].caption, Jp("エラー"));
  EXPECT_EQ(Rows("media"), "1:A:C:\\Old\\default_icon\\media\\a.bmp|2:B:E:\\P\\default_icon\\media\\b.bmp");
}

}  // namespace
}  // namespace vel
