#include "maintenance/rename_data.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"
#include "zip_fixture.h"

namespace vel {
namespace {

std::string PluginPath(const std::string& name) {
#ifdef _WIN32
  return std::string(VEL_RENAME_PLUGIN_DIR) + "\\" + name;
#else
  return std::string(VEL_RENAME_PLUGIN_DIR) + "/" + name;
#endif
}

class RecordedRenameReport : public RenameReport {
 public:
  void Status(const std::string& text) override { statuses.push_back(text); }
  void Key(const std::string& key) override { keys.push_back(key); }
  void StartProgress(int total) override { progressTotal = total; }
  void StepProgress() override { ++steps; }
  void TestRow(const std::vector<std::string>& cells) override { rows.push_back(cells); }
  int Ask(const std::string& text, const std::string&, unsigned) override {
    asked.push_back(text);
    return answer;
  }
  std::vector<std::string> statuses, keys, asked;
  std::vector<std::vector<std::string>> rows;
  int progressTotal = -1, steps = 0, answer = kIdYes;
};

TEST(RenamePluginTest, LoadsTheStandInAndTellsAnInformationOnlyPluginApart) {
  RenamePlugin full;
  ASSERT_TRUE(full.Load(PluginPath("standin.nya")));
  EXPECT_TRUE(full.Usable());
  for (int f = 0; f < kRenameFieldCount; ++f) EXPECT_TRUE(full.HasField(f)) << RenameFieldOf(f).exportName;
  EXPECT_EQ(full.Author(), "Velmarook tests");
  EXPECT_EQ(full.VersionText(), "0.05");
  EXPECT_EQ(full.Info(), "tab-separated test list");

  RenamePlugin infoOnly;
  ASSERT_TRUE(infoOnly.Load(PluginPath("infoonly.nya")));
  EXPECT_FALSE(infoOnly.Usable());
  EXPECT_EQ(infoOnly.Info(), "information only");

  test::TempFolder folder;
  test::WriteWholeFile(folder / "broken.nya", "MZ but not a library");
  RenamePlugin broken;
  EXPECT_FALSE(broken.Load(folder / "broken.nya"));
  EXPECT_FALSE(broken.Usable());
}

TEST(RenamePluginTest, ListsOnlyPluginFilesOfTheFolderItself) {
  test::TempFolder folder;
  test::WriteWholeFile(folder / "b.NYA", "");
  test::WriteWholeFile(folder / "a.nya", "");
  test::WriteWholeFile(folder / "notes.txt", "");
  ASSERT_TRUE(CreateFolder(folder / "sub.nya"));
  EXPECT_EQ(ListPluginFiles(folder.Path()), (std::vector<std::string>{"a.nya", "b.NYA"}));
}

TEST(RenamePluginTest, TextsOfMisbehavingKeysStayWithinTheirBuffer) {
  RenamePlugin plugin;
  ASSERT_TRUE(plugin.Load(PluginPath("standin.nya")));
  const char* list = "K1\tGetTitle=Title one\tGetCreator=a;b;\n";
  struct Case {
    const char* key;
    std::optional<std::string> title;
  } cases[] = {
      {"K1", std::string("Title one")},
      // 255 bytes, then a two-byte character across the cap: it goes whole.
      {"@OVERLONG", std::string(255, 'A')},
      {"@UNTERMINATED", std::string("abcde")},
      {"@LENGTH1", std::nullopt},
      {"@FAILSECOND", std::nullopt},
      {"unknown", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(plugin.Text(kRnTitle, list, c.key, kKeyCrc32), c.title) << c.key;
  // A creator list too long is cut after its last whole name.
  std::string names;
  while (names.size() < 5000) names += "name" + std::to_string(names.size()) + ";";
  std::string longList = std::string("K2\tGetCreator=") + names + "\n";
  auto creators = plugin.Text(kRnCreator, longList.c_str(), "K2", kKeyCrc32);
  ASSERT_TRUE(creators);
  EXPECT_LE(creators->size(), 4095u);
  EXPECT_EQ(creators->back(), ';');
  EXPECT_EQ(names.compare(0, creators->size(), *creators), 0);
  EXPECT_EQ(plugin.Number(kRnYear, "K1\tGetYear=1987\n", "K1", kKeyCrc32), 1987);
  EXPECT_EQ(plugin.Number(kRnYear, "K1\tGetYear=1987\n", "K9", kKeyCrc32), -1);
}

TEST(RenamePluginTest, VersionsAndSaleDatesAsShownAndStored) {
  for (auto [version, text] : std::vector<std::pair<int, std::string>>{{123, "1.23"}, {5, "0.05"}, {0, "0.00"}, {1000, "1.000"}})
    EXPECT_EQ(PluginVersionText(version), text) << version;
  struct Case {
    const char* text;
    std::optional<std::string> stored;
  } dates[] = {
      {"1987", std::string("1987-00-00")},       {"1987-03", std::string("1987-03-00")},
      {"1987-03-01", std::string("1987-03-01")}, {"1987/03/01", std::nullopt},
      {"19x7", std::nullopt},                    {"1987-13", std::nullopt},
      {"1987-03-4x", std::nullopt},              {"87", std::nullopt},
      {"1700", std::nullopt},
  };
  for (const Case& c : dates) EXPECT_EQ(PluginSaleDate(c.text), c.stored) << c.text;
}

TEST(RenameListDataTest, LoadsPlainFilesAndTheFirstXmlOfAZip) {
  test::TempFolder folder;
  std::vector<char> data;
  EXPECT_EQ(LoadListData(folder / "missing.dat", data), Jp("リストデータファイルが開けませんでした"));
  test::WriteWholeFile(folder / "empty.dat", "");
  EXPECT_EQ(LoadListData(folder / "empty.dat", data), Jp("リストデータが空です"));
  test::WriteWholeFile(folder / "list.dat", "abc");
  EXPECT_EQ(LoadListData(folder / "list.dat", data), std::nullopt);
  EXPECT_EQ(std::string(data.data()), "abc");
  EXPECT_EQ(data.size(), 4u);

  test::WriteWholeFile(folder / "list.ZIP", test::MakeZip({{"readme.txt", "no"},
                                                           {"sub/list.xml", "<xml>list</xml>", true},
                                                           {"other.xml", "second"}}));
  EXPECT_EQ(LoadListData(folder / "list.ZIP", data), std::nullopt);
  EXPECT_EQ(std::string(data.data()), "<xml>list</xml>");
  test::WriteWholeFile(folder / "noxml.zip", test::MakeZip({{"list.dat", "x"}, {"xml", "y"}}));
  EXPECT_EQ(LoadListData(folder / "noxml.zip", data), Jp("リストデータに指定された zip は xml を含みません"));
  EXPECT_TRUE(data.empty());
  test::WriteWholeFile(folder / "broken.zip", "PK\x03\x04 cut off");
  EXPECT_EQ(LoadListData(folder / "broken.zip", data), Jp("zip から xml 検索に失敗しました"));
}

class RenameRunTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(plugin.Load(PluginPath("standin.nya")));
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(db.Query(
        "INSERT INTO main_table(file_name,file_title,file_ext,machine_name,title,crc32,crc,adult,sale_year) VALUES"
        "('C:\\a.d88','a','d88','PC','old a','AAAA0001','A1','0','0'),"
        "('C:\\b.d88','b','d88','PC','old b','BBBB0002','B2','0','0'),"
        "('C:\\c.d88','c','d88','MSX','old c','AAAA0001','C3','0','0');"
        "INSERT INTO spec_table(pfile_sc,breed,price,device) VALUES('C:\\a.d88','OLD-1','100','mouse');"));
    test::WriteWholeFile(folder / "list.dat",
                         "AAAA0001\tGetTitle=New A\tGetPrice=4800\tGetYear=1987\tGetR=2\tGetCreator=X;Y;\n"
                         "ZZZZ9999\tGetTitle=nobody\n");
    request.machine = "PC";
    request.listPath = folder / "list.dat";
  }
  std::string Dump() {
    std::string out;
    for (const char* table : {"main_table", "spec_table", "creator_table", "memo_table"}) {
      EXPECT_FALSE(db.Query(std::string("SELECT * FROM ") + table + " ORDER BY 1;"));
      for (int row = 1; row <= db.RowCount(); ++row) {
        out += table;
        for (int column = 0; column < db.ColumnCount(); ++column) out += "|" + db.Cell(row, column);
        out += "\n";
      }
    }
    return out;
  }
  std::string Column(const std::string& sql) {
    EXPECT_FALSE(db.Query(sql));
    return db.Cell(1, 0);
  }
  void Tick(std::initializer_list<int> fields) {
    for (int f : fields) request.ticked[static_cast<size_t>(f)] = true;
  }
  test::TempFolder folder;
  LibraryConnection db;
  RenamePlugin plugin;
  TitleConverter converter{DefaultSymbolTables()};
  RenameRequest request;
  StopFlag stop{kRunRunning};
  RecordedRenameReport report;
};

TEST_F(RenameRunTest, UpdateWritesOnlyTheTickedFieldsFoundAndKeepsTheRest) {
  Tick({kRnTitle, kRnPrice, kRnYear, kRnAdult, kRnMaker});
  RenameResult result = RunRenameData(db, plugin, &converter, request, stop, report);
  EXPECT_EQ(result.end, RunEnd::Finished);
  EXPECT_EQ(result.rows, 2);
  EXPECT_EQ(result.matches, 1);
  EXPECT_TRUE(result.libraryChanged);
  EXPECT_EQ(report.statuses.back(), Jp("処理を終了しました ( 2 件中 1 件のキーが該当し更新されました )"));
  EXPECT_EQ(report.progressTotal, 2);
  EXPECT_EQ(report.steps, 2);
  EXPECT_EQ(Column("SELECT title||'|'||smart_title||'|'||sale_year||'|'||adult||'|'||IFNULL(maker,'') FROM main_table "
                   "WHERE file_name='C:\\a.d88';"),
            "New A|" + SmartTitle(converter, "New A") + "|1987-00-00|2|");
  // The price changes; the model and the device stay.
  EXPECT_EQ(Column("SELECT breed||'|'||price||'|'||device FROM spec_table WHERE pfile_sc='C:\\a.d88';"),
            "OLD-1|4800|mouse");
  // Not ticked: the creator stays out; the other machine's item with the same CRC is untouched.
  EXPECT_EQ(Column("SELECT count(*) FROM creator_table;"), "0");
  EXPECT_EQ(Column("SELECT title FROM main_table WHERE file_name='C:\\c.d88';"), "old c");
  EXPECT_EQ(Column("SELECT title FROM main_table WHERE file_name='C:\\b.d88';"), "old b");
}

TEST_F(RenameRunTest, TheMissingCrcQuestionAnsweredNoChangesNothing) {
  ASSERT_FALSE(db.Query("UPDATE main_table SET crc32='' WHERE file_name='C:\\b.d88';"));
  const std::string before = Dump();
  Tick({kRnTitle});
  report.answer = kIdNo;
  RenameResult result = RunRenameData(db, plugin, &converter, request, stop, report);
  EXPECT_EQ(result.end, RunEnd::Stopped);
  ASSERT_EQ(report.asked.size(), 1u);
  EXPECT_EQ(report.asked[0], Jp("ライブラリ中の PC には、CRC32の値が無いアイテムが 1 件存在します。\nこのまま続けますか？\n\n"
                                "※ CRC値の再取得はメニュー[データベース]→[ライブラリのCRCを再計算]で行えます。"));
  EXPECT_EQ(report.statuses.back(), Jp("中止しました"));
  EXPECT_EQ(Dump(), before);
}

TEST_F(RenameRunTest, TestModeListsAtMostAHundredMatchesAndWritesNothing) {
  std::string list;
  std::string rows;
  for (int i = 0; i < 150; ++i) {
    std::string crc = "C" + std::to_string(10000 + i);
    list += crc + "\tGetTitle=t" + std::to_string(i) + "\tGetR=" + std::to_string(i % 3) + "\n";
    rows += std::string(rows.empty() ? "" : ",") + "('C:\\x" + std::to_string(i) + ".rom','X','" + crc + "')";
  }
  ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,machine_name,crc32) VALUES" + rows + ";"));
  test::WriteWholeFile(folder / "list.dat", list);
  const std::string before = Dump();
  request.machine = "X";
  request.testOnly = true;
  Tick({kRnTitle, kRnAdult});
  RenameResult result = RunRenameData(db, plugin, &converter, request, stop, report);
  EXPECT_EQ(result.end, RunEnd::Finished);
  EXPECT_FALSE(result.libraryChanged);
  EXPECT_EQ(report.rows.size(), 100u);
  EXPECT_EQ(report.progressTotal, 0);  // the running bar
  EXPECT_EQ(report.statuses.front(), Jp("テスト中"));
  EXPECT_EQ(report.statuses.back(), Jp("テストが終了しました"));
  ASSERT_EQ(report.rows[0].size(), 22u);
  // R: 0 "なし", 1 "あり", 2 empty.
  for (size_t i = 0; i < 3; ++i) {
    const std::string& key = report.rows[i][0];
    int n = std::atoi(key.c_str() + 1) - 10000;
    EXPECT_EQ(report.rows[i][1], "t" + std::to_string(n));
    EXPECT_EQ(report.rows[i][1 + kRnAdult], n % 3 == 0 ? Jp("なし") : n % 3 == 1 ? Jp("あり") : "");
  }
  EXPECT_EQ(Dump(), before);
}

TEST_F(RenameRunTest, RowsWhereEveryGetterFailsAreNotMatches) {
  test::WriteWholeFile(folder / "list.dat", "AAAA0001\tGetMaker=M\n");
  Tick({kRnTitle, kRnYear});
  const std::string before = Dump();
  RenameResult result = RunRenameData(db, plugin, &converter, request, stop, report);
  EXPECT_EQ(result.matches, 0);
  EXPECT_FALSE(result.libraryChanged);
  EXPECT_EQ(Dump(), before);
  EXPECT_EQ(report.statuses.back(), Jp("処理を終了しました ( 2 件中 0 件のキーが該当し更新されました )"));
}

TEST_F(RenameRunTest, CreatorMemoAndSpecRowsAreUpsertedByFileNameKeys) {
  test::WriteWholeFile(folder / "list.dat",
                       "b.d88\tGetCreator=X;Y;\tGetMemo=line\tGetModel=M-2\tGetSaleDate=1990-05\n"
                       "a.d88\tGetSaleDate=1990/05/01\tGetModel=M-1\n");
  request.keyChoice = 3;  // file title and extension
  Tick({kRnCreator, kRnMemo, kRnModel, kRnSaleDate});
  RenameResult result = RunRenameData(db, plugin, &converter, request, stop, report);
  EXPECT_EQ(result.matches, 2);
  EXPECT_EQ(Column("SELECT creator FROM creator_table WHERE pfile_cr='C:\\b.d88';"), "X;Y;");
  EXPECT_EQ(Column("SELECT memo FROM memo_table WHERE pfile_mm='C:\\b.d88';"), "line");
  EXPECT_EQ(Column("SELECT sale_year FROM main_table WHERE file_name='C:\\b.d88';"), "1990-05-00");
  // A date written with slashes is dropped; the model still goes in, the device stays.
  EXPECT_EQ(Column("SELECT sale_year FROM main_table WHERE file_name='C:\\a.d88';"), "0");
  EXPECT_EQ(Column("SELECT breed||'|'||device FROM spec_table WHERE pfile_sc='C:\\a.d88';"), "M-1|mouse");
  EXPECT_EQ(Column("SELECT breed FROM spec_table WHERE pfile_sc='C:\\b.d88';"), "M-2");
}

TEST_F(RenameRunTest, EndsWithItsStatusWhenNothingCanBeLookedUp) {
  Tick({kRnTitle});
  struct Case {
    std::string machine, listPath;
    int key;
    std::string status;
  } cases[] = {
      {"PC", folder / "missing.dat", 1, Jp("リストデータファイルが開けませんでした")},
      {"", folder / "list.dat", 1, Jp("選択された機種が特定できませんでした")},
      {"NONE", folder / "list.dat", 1, Jp("ライブラリにCRC情報がありませんでした。")},
      {"NONE", folder / "list.dat", 2, Jp("ファイル名をキーにできませんでした。")},
  };
  const std::string before = Dump();
  for (const Case& c : cases) {
    request.machine = c.machine;
    request.listPath = c.listPath;
    request.keyChoice = c.key;
    RunRenameData(db, plugin, &converter, request, stop, report);
    EXPECT_EQ(report.statuses.back(), c.status) << c.machine;
  }
  EXPECT_EQ(Dump(), before);
}

TEST_F(RenameRunTest, ALockedLibraryIsReportedAndKeepsEveryRow) {
  LibraryConnection other;
  other.Open(folder / "Velmarook.db", "");
  ASSERT_FALSE(other.Query("BEGIN IMMEDIATE;"));
  ASSERT_FALSE(db.Query("PRAGMA busy_timeout=0;"));
  Tick({kRnTitle});
  RenameResult result = RunRenameData(db, plugin, &converter, request, stop, report, kRowsPerCommit, 0);
  EXPECT_EQ(result.end, RunEnd::WriteFailed);
  EXPECT_EQ(result.matches, 0);
  EXPECT_TRUE(result.message);
  ASSERT_FALSE(other.Query("ROLLBACK;"));
  EXPECT_EQ(Column("SELECT title FROM main_table WHERE file_name='C:\\a.d88';"), "old a");
}

}  // namespace
}  // namespace vel
