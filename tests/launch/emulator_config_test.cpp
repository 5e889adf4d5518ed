#include "launch/emulator_config.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "platform/file_operations.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

// A base folder with emuconf\<machine>\ for two machines.
class ConfigFolder : public testing::Test {
 protected:
  void SetUp() override {
    base = folder.Path();
    ASSERT_TRUE(CreateFolder(EmuConfFolder(base)));
    ASSERT_TRUE(CreateFolder(EmuConfFolder(base) + "\\M"));
    ASSERT_TRUE(CreateFolder(EmuConfFolder(base) + "\\N"));
  }
  // A configuration with its three companions, each naming itself.
  std::string AddConfig(const std::string& machine, const std::string& name) {
    std::string path = ConfigFilePath(base, machine, name);
    EXPECT_TRUE(WriteProfileText("Emulator", "Exec", name + ".exe", path));
    for (int kind = 0; kind <= 2; ++kind)
      EXPECT_TRUE(WriteCompanionFile(path, kind, name + " script " + std::to_string(kind)));
    return path;
  }
  std::string DefaultKey(const std::string& machine, const std::string& key) {
    return ProfileText("DefaultEmulator", key, "", MachineDefaultFile(base, machine));
  }
  void SetDefaultKey(const std::string& machine, const std::string& key, const std::string& value) {
    ASSERT_TRUE(WriteProfileText("DefaultEmulator", key, value, MachineDefaultFile(base, machine)));
  }
  test::TempFolder folder;
  std::string base;
};

TEST_F(ConfigFolder, ReadsEveryKeyWithItsDefaultAndKeepsLongValuesWhole) {
  ConfigReadResult missing = ReadEmulatorConfig(ConfigFilePath(base, "M", "none"));
  EXPECT_FALSE(missing.fileFound);
  EXPECT_EQ(missing.config.ttSrchChekInterval, 5);
  EXPECT_EQ(missing.config.backupAndRestore, 1);

  const std::string path = ConfigFilePath(base, "M", "A");
  const std::string longExec = "C:\\" + std::string(300, 'e') + ".exe";
  const std::string longOption(1100, 'o');
  ASSERT_TRUE(WriteProfileText("Emulator", "Exec", longExec, path));
  ASSERT_TRUE(WriteProfileText("Emulator", "Option", longOption, path));
  ASSERT_TRUE(WriteProfileText("ImageFile", "Extract", "2x", path));
  ASSERT_TRUE(WriteProfileText("TerminationDetective", "TTSrch_ChekInterval", "", path));
  ASSERT_TRUE(WriteProfileText("StartCommand", "appprocwait2", "3", path));
  ASSERT_TRUE(WriteProfileText("ClipToPNG", "ColorTrim", "-4", path));
  ConfigReadResult read = ReadEmulatorConfig(path);
  ASSERT_TRUE(read.fileFound);
  EXPECT_EQ(read.config.exec, longExec);
  EXPECT_EQ(read.config.option, longOption);
  EXPECT_EQ(read.config.extract, 2);
  EXPECT_EQ(read.config.start[1].appProcWait, 3);
  EXPECT_EQ(read.config.colorTrim, -4);
  EXPECT_EQ(read.config.ttSrchCheckImage, 1);
  ASSERT_EQ(read.longValues.size(), 2u);
  EXPECT_EQ(read.longValues[0].key, "Exec");
  EXPECT_TRUE(read.longValues[0].pathLimit);
  EXPECT_EQ(read.longValues[0].limit, kMaxPathBytes);
  EXPECT_EQ(read.longValues[1].key, "Option");
  EXPECT_FALSE(read.longValues[1].pathLimit);
  EXPECT_EQ(read.longValues[1].limit, 1040u);
}

TEST_F(ConfigFolder, ABrokenFileReadsAsWhatItHoldsAndDefaultsElsewhere) {
  const std::string path = folder / "broken.ini";
  test::WriteWholeFile(path, "\x01\x7f junk \x81\r\n[Emulator\r\nno equals sign\r\n=\r\n"
                             "[TerminationDetective]\r\nTTSrch_ChekInterval=-3\r\n"
                             "TTSrch_Text=" + std::string(3000, 'w') + "\r\n[ImageFile]");
  ConfigReadResult read = ReadEmulatorConfig(path);
  EXPECT_TRUE(read.fileFound);
  EXPECT_EQ(read.config.ttSrchChekInterval, -3);
  EXPECT_EQ(read.config.ttSrchText, std::string(3000, 'w'));
  EXPECT_EQ(read.config.exec, "");
  EXPECT_EQ(read.config.extract, 0);
  EXPECT_EQ(read.config.ttSrchCheckImage, 1);
  EXPECT_EQ(read.config.backupAndRestore, 1);
}

TEST_F(ConfigFolder, WritingKeepsEveryValueOtherKeysAndTheHiddenAttribute) {
  const std::string path = ConfigFilePath(base, "M", "A");
  ASSERT_TRUE(WriteProfileText("Extra", "Mine", "kept", path));
  ASSERT_TRUE(SetHiddenFile(path, true));
  EmulatorConfig config;
  config.extract = 1;
  config.extractPath = "tmp\\" + Jp("展開");
  config.exec = "..\\emu\\x.exe";
  config.option = "\"$image\"";  // the reader would drop bare surrounding quotes
  config.start[0] = {"pre.exe", " -a ", 2, 3};
  config.terminate[1] = {"post.exe", "'x'", 4, 0};
  config.ttSrchText = "a;b";
  config.chekType = 1;
  config.backupAndRestore = 0;
  config.saveHeight = 480;
  config.trim = 1;
  ASSERT_TRUE(WriteEmulatorConfig(path, config));
  ConfigReadResult read = ReadEmulatorConfig(path);
  EXPECT_EQ(read.config.extractPath, config.extractPath);
  EXPECT_EQ(read.config.exec, config.exec);
  EXPECT_EQ(read.config.option, "\"$image\"");
  EXPECT_EQ(read.config.start[0].opt, " -a ");
  EXPECT_EQ(read.config.start[0].appProcWait, 3);
  EXPECT_EQ(read.config.terminate[1].opt, "'x'");
  EXPECT_EQ(read.config.terminate[1].wait, 4);
  EXPECT_EQ(read.config.chekType, 1);
  EXPECT_EQ(read.config.backupAndRestore, 0);
  EXPECT_EQ(read.config.saveHeight, 480);
  EXPECT_EQ(read.config.trim, 1);
  EXPECT_EQ(ProfileText("ClipToPNG", "SaveHeight", "", path), "480");
  EXPECT_EQ(ProfileText("Extra", "Mine", "", path), "kept");
  EXPECT_TRUE(IsHiddenFile(path));
  EXPECT_FALSE(FileExists(path + ".saving"));
  EXPECT_FALSE(FileExists(path + ".previous"));

  // A line break would split a value into keys of its own: nothing is written.
  EmulatorConfig broken = config;
  broken.option = "a\r\n[Emulator]\r\nExec=evil.exe";
  EXPECT_FALSE(WriteEmulatorConfig(path, broken));
  EXPECT_EQ(ReadEmulatorConfig(path).config.exec, config.exec);
}

TEST_F(ConfigFolder, CompanionsAreReadWholeAsRawBytes) {
  const std::string path = ConfigFilePath(base, "M", "A");
  const std::string bytes = std::string("K\0\x83\x5C\r\nEND", 9);
  ASSERT_TRUE(WriteCompanionFile(path, 1, bytes));
  EXPECT_EQ(ReadCompanionFile(path, 1), bytes);
  EXPECT_EQ(CompanionPath(path, 2), path.substr(0, path.size() - 3) + "jed");
  EXPECT_EQ(CompanionPath(path, 7), path);
  EXPECT_EQ(ReadCompanionFile(path, 0), "");  // missing reads as empty
  EXPECT_EQ(ReadCompanionFile(MachineConfigFolder(base, "M"), 0), "");
  ASSERT_TRUE(WriteCompanionFile(path, 1, ""));
  EXPECT_FALSE(FileExists(CompanionPath(path, 1)));
}

TEST_F(ConfigFolder, MachineDefaultWithBigPictureFallback) {
  AddConfig("M", "A");
  EXPECT_EQ(MachineDefaultConfig(base, "M", false), "");
  SetDefaultKey("M", "INIFile", "A.ini");
  EXPECT_EQ(MachineDefaultConfig(base, "M", true), "A.ini");  // INIFile2 unset
  SetDefaultKey("M", "INIFile2", "B.ini");
  EXPECT_EQ(MachineDefaultConfig(base, "M", true), "B.ini");
  EXPECT_EQ(MachineDefaultConfig(base, "M", false), "A.ini");
  SetDefaultKey("N", "INIFile", "..\\..\\outside.ini");
  EXPECT_EQ(MachineDefaultConfig(base, "N", false), "");
}

TEST_F(ConfigFolder, LaunchPathWithoutDefaultOrBindingIsNoConfiguration) {
  const std::string a = AddConfig("M", "A");
  std::string path = ConfigPathForLaunch(base, "M", "", false);
  EXPECT_EQ(path, MachineConfigFolder(base, "M"));
  EXPECT_FALSE(IsExistingConfigFile(path));

  SetDefaultKey("M", "INIFile", "A.ini");
  SetDefaultKey("M", "INIFile2", "A.ini");
  SetDefaultKey("M", "KEYFile", "old.txt");
  path = ConfigPathForLaunch(base, "M", "", true);
  EXPECT_EQ(path, a);
  EXPECT_TRUE(IsExistingConfigFile(path));
  EXPECT_EQ(DefaultKey("M", "KEYFile"), "");
  EXPECT_EQ(DefaultKey("M", "INIFile2"), "A.ini");
  EXPECT_EQ(ConfigPathForLaunch(base, "M", "A", false), a);
  // A configuration file made by hand may have a dot in its name.
  const std::string dotted = AddConfig("M", "v1.2");
  EXPECT_EQ(ConfigPathForLaunch(base, "M", "v1.2", false), dotted);
  EXPECT_EQ(DuplicateConfig(base, "M", "v1.2"), Jp("v1.2のコピー"));
  EXPECT_FALSE(IsExistingConfigFile(ConfigPathForLaunch(base, "M", "..", false)));
  EXPECT_FALSE(IsExistingConfigFile(ConfigPathForLaunch(base, "M", "..\\M\\A", false)));
  EXPECT_FALSE(IsExistingConfigFile(ConfigPathForLaunch(base, "..", "M", false)));
  // A missing machine default file is not created by the lookup.
  ConfigPathForLaunch(base, "N", "", false);
  EXPECT_FALSE(FileExists(MachineDefaultFile(base, "N")));
}

TEST(ConfigNames, RefusesCharactersAndDeviceNames) {
  const std::pair<std::string, bool> cases[] = {
      {"a.b", false},      {"con", false},  {"COM5", false},   {"a\tb", false},
      {"a\"b", false},     {"..", false},   {"a\\b", false},   {"a/b", false},
      {"a:b", false},      {"a|b", false},  {"a?b", false},    {"a*b", false},
      {"a<b>", false},     {"a\nb", false}, {"Clock$", false}, {"lpt9", false},
      {"nul ", false},     {"", false},     {"COM10", true},   {"console", true},
      {Jp("表示ソフト"), true}, {"PC-88 fast", true},
  };
  for (const auto& [name, usable] : cases) EXPECT_EQ(IsUsableConfigName(name), usable) << name;
}

TEST_F(ConfigFolder, DuplicateTakesTheFirstFreeNameWithItsCompanions) {
  const std::string a = AddConfig("M", "A");
  const std::string taken = ConfigFilePath(base, "M", Jp("Aのコピー"));
  ASSERT_TRUE(WriteProfileText("Emulator", "Exec", "taken.exe", taken));
  std::optional<std::string> copy = DuplicateConfig(base, "M", "A");
  ASSERT_TRUE(copy);
  EXPECT_EQ(*copy, Jp("Aのコピー(1)"));
  const std::string copied = ConfigFilePath(base, "M", *copy);
  EXPECT_EQ(ProfileText("Emulator", "Exec", "", copied), "A.exe");
  for (int kind = 0; kind <= 2; ++kind)
    EXPECT_EQ(ReadCompanionFile(copied, kind), "A script " + std::to_string(kind));
  EXPECT_EQ(ProfileText("Emulator", "Exec", "", taken), "taken.exe");

  for (int number = 2; number <= 98; ++number)
    ASSERT_TRUE(WriteProfileText("Emulator", "Exec", "t",
                                 ConfigFilePath(base, "M", Jp("Aのコピー(") + std::to_string(number) + ")")));
  EXPECT_FALSE(DuplicateConfig(base, "M", "A"));
  EXPECT_FALSE(DuplicateConfig(base, "M", "missing"));
}

TEST_F(ConfigFolder, MenuLeavesHiddenConfigurationsOutButBindingsStillFindThem) {
  AddConfig("M", "A");
  const std::string hidden = AddConfig("M", "B");
  AddConfig("M", "C");
  ASSERT_TRUE(SetHiddenFile(hidden, true));
  ASSERT_TRUE(CreateFolder(MachineConfigFolder(base, "M") + "D.ini"));
  SetDefaultKey("M", "INIFile", "c.INI");

  auto names = [](const std::vector<EmulatorMenuEntry>& entries) {
    std::string text;
    for (const EmulatorMenuEntry& e : entries)
      text += e.name + (e.isDefault ? "*" : "") + (e.checked ? "v" : "") + " ";
    return text;
  };
  auto sorted = [&](std::vector<EmulatorMenuEntry> entries) {
    std::sort(entries.begin(), entries.end(),
              [](const auto& x, const auto& y) { return x.name < y.name; });
    return names(entries);
  };
  EXPECT_EQ(sorted(EmulatorMenuEntries(base, "M", "", false)), "A C*v ");
  EXPECT_EQ(sorted(EmulatorMenuEntries(base, "M", "a", false)), "Av C* ");
  EXPECT_EQ(sorted(EmulatorMenuEntries(base, "M", "B", false)), "A C* ");
  EXPECT_TRUE(IsExistingConfigFile(ConfigPathForLaunch(base, "M", "B", false)));
  EXPECT_TRUE(EmulatorMenuEntries(base, "N", "", false).empty());
  EXPECT_TRUE(EmulatorMenuEntries(base, "missing", "", false).empty());
}

TEST_F(ConfigFolder, SettingTheDefaultAgainRemovesOnlyThatKey) {
  AddConfig("M", "A");
  AddConfig("M", "B");
  EXPECT_EQ(SetMachineDefault(base, "M", "A"), DefaultChange::kSet);
  SetDefaultKey("M", "INIFile2", "B.ini");
  EXPECT_EQ(DefaultKey("M", "INIFile"), "A.ini");
  EXPECT_EQ(SetMachineDefault(base, "M", "a"), DefaultChange::kCleared);
  EXPECT_EQ(DefaultKey("M", "INIFile"), "");
  EXPECT_EQ(DefaultKey("M", "INIFile2"), "B.ini");
  EXPECT_EQ(MachineDefaultConfig(base, "M", true), "B.ini");
}

TEST_F(ConfigFolder, BigPictureDefaultTogglesItsKey) {
  AddConfig("M", "A");
  AddConfig("M", "B");
  EXPECT_EQ(SetBigPictureDefault(base, "M", "A"), DefaultChange::kSet);  // no default yet
  EXPECT_EQ(DefaultKey("M", "INIFile"), "A.ini");
  EXPECT_EQ(DefaultKey("M", "INIFile2"), "");
  EXPECT_EQ(SetBigPictureDefault(base, "M", "A"), DefaultChange::kAlreadyDefault);
  EXPECT_EQ(SetBigPictureDefault(base, "M", "B"), DefaultChange::kSet);
  EXPECT_EQ(DefaultKey("M", "INIFile2"), "B.ini");
  EXPECT_EQ(SetBigPictureDefault(base, "M", "B"), DefaultChange::kCleared);
  EXPECT_EQ(DefaultKey("M", "INIFile2"), "");
  EXPECT_EQ(DefaultKey("M", "INIFile"), "A.ini");
  EXPECT_EQ(SetBigPictureDefault(base, "M", "..\\x"), DefaultChange::kFailed);
  EXPECT_EQ(SetMachineDefault(base, "..", "A"), DefaultChange::kFailed);
}

// Configurations bound in a real library: items of machine M and N.
class BoundConfigs : public ConfigFolder {
 protected:
  void SetUp() override {
    ConfigFolder::SetUp();
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(CreateItemView(db));
    ASSERT_FALSE(db.Query(
        "INSERT INTO main_table(file_name,machine_name,title,version,ply) VALUES"
        "('m1','M','T1','v1',0),('m2','M','T2','',0),('m3','M','T3','',0),('n1','N','U1','',0);"
        "INSERT INTO use_emuset_table VALUES('m1','It''s'),('m2','It''s'),('m3','B'),('n1','It''s');"));
    itS = AddConfig("M", "It's");
    AddConfig("M", "B");
  }
  std::string Bindings() {
    EXPECT_FALSE(db.Query("SELECT pfile_ue || '=' || emuset_name FROM use_emuset_table ORDER BY pfile_ue;"));
    std::string text;
    for (int row = 1; row <= db.RowCount(); ++row) text += db.Cell(row, 0) + " ";
    return text;
  }
  LibraryConnection db;
  std::string itS;
};

TEST_F(BoundConfigs, DeleteRemovesFilesDefaultKeyAndTheMachinesBindings) {
  SetDefaultKey("M", "INIFile", "it's.ini");
  SetDefaultKey("M", "INIFile2", "B.ini");
  ConfigChange change = DeleteConfig(base, "M", "It's", db);
  ASSERT_TRUE(change.ok) << change.message;
  EXPECT_EQ(change.changedBindings, 2);
  EXPECT_EQ(Bindings(), "m3=B n1=It's ");
  for (int kind = -1; kind <= 2; ++kind) EXPECT_FALSE(FileExists(CompanionPath(itS, kind))) << kind;
  EXPECT_EQ(DefaultKey("M", "INIFile"), "");
  EXPECT_EQ(DefaultKey("M", "INIFile2"), "B.ini");
}

TEST_F(BoundConfigs, FailedDeleteStatementLeavesTheFiles) {
  ASSERT_FALSE(db.Query("DROP TABLE use_emuset_table;"));
  ConfigChange change = DeleteConfig(base, "M", "B", db);
  EXPECT_FALSE(change.ok);
  EXPECT_EQ(change.caption, Jp("DBエラー"));
  EXPECT_EQ(change.message.rfind(Jp("db設定名削除エラー"), 0), 0u) << change.message;
  EXPECT_TRUE(FileExists(ConfigFilePath(base, "M", "B")));
}

TEST_F(BoundConfigs, RenameMovesFilesDefaultsAndBindings) {
  SetDefaultKey("M", "INIFile", "It's.ini");
  SetDefaultKey("M", "INIFile2", "IT'S.ini");
  EXPECT_TRUE(RenameTargetExists(base, "M", "It's", "M", "B"));
  EXPECT_FALSE(RenameTargetExists(base, "M", "It's", "M", "it's"));
  for (const auto& [oldName, newName] : {std::pair<std::string, std::string>{"B", "a.b"},
                                         {"B", "con"}, {"..\\M\\B", "C"}, {"B", "..\\C"}}) {
    ConfigChange change = RenameOrMoveConfig(base, "M", oldName, "M", newName, true, db);
    EXPECT_FALSE(change.ok) << newName;
    EXPECT_EQ(change.message, UnusableConfigNameMessage());
  }
  EXPECT_TRUE(FileExists(ConfigFilePath(base, "M", "B")));
  ConfigChange refused = RenameOrMoveConfig(base, "M", "It's", "M", "B", false, db);
  EXPECT_FALSE(refused.ok);
  EXPECT_EQ(ProfileText("Emulator", "Exec", "", ConfigFilePath(base, "M", "B")), "B.exe");

  ConfigChange change = RenameOrMoveConfig(base, "M", "It's", "M", Jp("表"), false, db);
  ASSERT_TRUE(change.ok) << change.message;
  EXPECT_EQ(change.changedBindings, 2);
  const std::string renamed = ConfigFilePath(base, "M", Jp("表"));
  EXPECT_EQ(ReadCompanionFile(renamed, 2), "It's script 2");
  EXPECT_FALSE(FileExists(itS));
  EXPECT_EQ(DefaultKey("M", "INIFile"), Jp("表") + ".ini");
  EXPECT_EQ(DefaultKey("M", "INIFile2"), Jp("表") + ".ini");
  EXPECT_EQ(Bindings(), "m1=" + Jp("表") + " m2=" + Jp("表") + " m3=B n1=It's ");

  // A change of case only is a rename too.
  ASSERT_TRUE(RenameOrMoveConfig(base, "M", "B", "M", "b", false, db).ok);
  EXPECT_EQ(Bindings(), "m1=" + Jp("表") + " m2=" + Jp("表") + " m3=b n1=It's ");
  std::vector<EmulatorMenuEntry> entries = EmulatorMenuEntries(base, "M", "", false);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_TRUE(entries[0].name == "b" || entries[1].name == "b");
}

TEST_F(BoundConfigs, MoveToAnotherMachineDropsBindingsAndOnlyItsDefaultKeys) {
  SetDefaultKey("M", "INIFile", "B.ini");
  SetDefaultKey("M", "INIFile2", "It's.ini");
  // N has a configuration of that name already: only an agreed overwrite replaces it.
  const std::string target = ConfigFilePath(base, "N", "It's");
  ASSERT_TRUE(WriteProfileText("Emulator", "Exec", "n.exe", target));
  ASSERT_TRUE(WriteCompanionFile(target, 2, "N exit"));
  EXPECT_TRUE(RenameTargetExists(base, "M", "It's", "N", "It's"));
  EXPECT_FALSE(RenameOrMoveConfig(base, "M", "It's", "N", "It's", false, db).ok);
  EXPECT_EQ(ReadCompanionFile(target, 2), "N exit");
  ConfigChange change = RenameOrMoveConfig(base, "M", "It's", "N", "It's", true, db);
  ASSERT_TRUE(change.ok) << change.message;
  EXPECT_EQ(Bindings(), "m3=B n1=It's ");
  EXPECT_EQ(ProfileText("Emulator", "Exec", "", target), "It's.exe");
  EXPECT_EQ(ReadCompanionFile(target, 0), "It's script 0");
  EXPECT_EQ(ReadCompanionFile(target, 2), "It's script 2");
  EXPECT_FALSE(FileExists(target + ".replaced"));
  EXPECT_FALSE(FileExists(itS));
  EXPECT_EQ(DefaultKey("M", "INIFile"), "B.ini");
  EXPECT_EQ(DefaultKey("M", "INIFile2"), "");
}

TEST_F(BoundConfigs, FailedRenameStatementPutsEveryFileBack) {
  ASSERT_FALSE(db.Query("DROP TABLE use_emuset_table;"));
  SetDefaultKey("M", "INIFile", "B.ini");
  for (const char* target : {"C", "It's"}) {  // a free name, and one being overwritten
    ConfigChange change = RenameOrMoveConfig(base, "M", "B", "M", target, true, db);
    EXPECT_FALSE(change.ok);
    EXPECT_EQ(change.message.rfind(Jp("db設定名変更エラー"), 0), 0u) << change.message;
    EXPECT_EQ(ReadCompanionFile(ConfigFilePath(base, "M", "B"), 1), "B script 1");
    EXPECT_EQ(DefaultKey("M", "INIFile"), "B.ini");
  }
  EXPECT_FALSE(FileExists(ConfigFilePath(base, "M", "C")));
  EXPECT_EQ(ReadCompanionFile(itS, 1), "It's script 1");
  EXPECT_EQ(ProfileText("Emulator", "Exec", "", itS), "It's.exe");
}

TEST_F(BoundConfigs, ListRowsMarksAndTheQueriesOfTheList) {
  SetDefaultKey("M", "INIFile", "B.ini");
  SetDefaultKey("M", "INIFile2", "It's.ini");
  AddConfig("N", "Free");
  std::vector<ConfigListRow> rows = ConfigListRows(base, {"M", "N"}, db);
  ASSERT_EQ(rows.size(), 3u);
  std::string marks;
  std::sort(rows.begin(), rows.end(), [](const auto& x, const auto& y) { return x.name < y.name; });
  for (const ConfigListRow& row : rows) marks += row.name + DefaultMark(row) + UsageMark(row) + "|";
  EXPECT_EQ(marks, "B :-->:" + Jp(":使用中") + "|Free : :: |It's :B->:" + Jp(":使用中") + "|");

  ASSERT_FALSE(db.Query(UsageListSql("M", "It's")));
  ASSERT_EQ(db.RowCount(), 2);
  EXPECT_EQ(db.Cell(1, 0) + db.Cell(1, 1), "T1v1");
  EXPECT_EQ(UsageListHeading("M", "It's", 2), "M > It's : Total( 2 )");
  ASSERT_FALSE(db.Query("CREATE TEMP VIEW list_view AS SELECT * FROM all_item_view;"));
  ASSERT_FALSE(db.Query(QuickFilterSql("M", "It's")));
  EXPECT_EQ(db.RowCount(), 2);
  ASSERT_FALSE(db.Query(
      "INSERT INTO main_table(file_name,file_title,file_arc_title,ply,ply_file_name) VALUES"
      "('d2','two','',2,'m1'),('d1','one','arc one',1,'m1');"));
  ASSERT_FALSE(db.Query(DiskMenuQuery("m1")));
  ASSERT_EQ(db.RowCount(), 2);
  EXPECT_EQ(DiskMenuEntryText(db.Cell(1, 0), db.Cell(1, 1)), "arc one");
  EXPECT_EQ(DiskMenuEntryText(db.Cell(2, 0), db.Cell(2, 1)), "two");
}

}  // namespace
}  // namespace vel
