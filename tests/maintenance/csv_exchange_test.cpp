#include "maintenance/csv_exchange.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "maintenance/recorded_report.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

using test::RecordedReport;

// A single item with every exported column, a set parent with a child (not
// exported) and an item of another machine.
std::optional<std::string> FillFixture(LibraryConnection& library) {
  if (auto error = CreateOrUpgradeSchema(library)) return error;
  return library.Query(Jp(
      "INSERT INTO main_table(file_name,machine_name,media_name,title,kana,maker,developer,country,version,adult,"
      "sale_year,genre_name,rom_num,tag,crc32,crc,ply,ply_file_name) VALUES"
      "('C:\\ソ.zip*a.nes','FC','ROM','Say \"Hi\", 2','せい','M','D','JP','1.0','1','1985-00-00','ACT','12','t',"
      "'ABCD1234','12AB',0,''),"
      "('C:\\p.d88','PC','FD','表,ソ','','','','','','0','1990-05-00','','','','','',1,'C:\\p.d88'),"
      "('C:\\c.d88','PC','FD','child','','','','','','0','0','','','','','',2,'C:\\p.d88'),"
      "('C:\\m.rom','MSX','','x','','','','','','0','0','','','','','',0,'');"
      "INSERT INTO spec_table VALUES('C:\\ソ.zip*a.nes','B-1','4800','2DD','pad','2','S','','FM');"
      "INSERT INTO creator_table VALUES('C:\\ソ.zip*a.nes','A;B;');"));
}

class CsvExchangeTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(FillFixture(db));
  }
  std::string Dump() {
    std::string out;
    for (const char* table : {"main_table", "spec_table", "creator_table"}) {
      EXPECT_FALSE(db.Query(std::string("SELECT * FROM ") + table + " ORDER BY 1;"));
      for (int row = 1; row <= db.RowCount(); ++row) {
        out += table;
        for (int column = 0; column < db.ColumnCount(); ++column) out += "|" + db.Cell(row, column);
        out += "\n";
      }
    }
    return out;
  }
  RunResult Import(const std::string& bytes, bool skipHeader = false) {
    test::WriteWholeFile(folder / "in.csv", bytes);
    return RunCsvImport(db, converter, {folder / "in.csv", skipHeader}, stop, report, 2, kCommitWaitMs, 0);
  }
  std::string Line(std::vector<std::string> fields) {
    fields.resize(kCsvFieldCount);
    return CsvLine(fields);
  }
  test::TempFolder folder;
  LibraryConnection db;
  TitleConverter converter{DefaultSymbolTables()};
  StopFlag stop{kRunRunning};
  RecordedReport report;
};

TEST_F(CsvExchangeTest, ExportWritesTitlesInOrder) {
  test::WriteWholeFile(folder / "out.csv", "an earlier export");
  RunResult result = RunCsvExport(db, {std::nullopt, true, folder / "out.csv"}, stop, report);
  EXPECT_EQ(result.end, RunEnd::Finished);
  EXPECT_EQ(result.rowsWritten, 3);
  EXPECT_FALSE(result.libraryChanged);
  std::string file = test::ReadWholeFile(folder / "out.csv");
  EXPECT_EQ(file,
            CsvHeaderLine() +
                Jp("C:\\ソ.zip*a.nes,FC,ROM,\"Say \"\"Hi\"\", 2\",せい,M,D,JP,1.0,1,1985,ACT,12,A;B;,t,ABCD1234,12AB,"
                   "B-1,4800,2DD,2,FM,S,\r\n"
                   "C:\\m.rom,MSX,,x,,,,,,,,,,,,,,,,,,,,\r\n"
                   "C:\\p.d88,PC,FD,\"表,ソ\",,,,,,,1990-05,,,,,,,,,,,,,\r\n"));
  EXPECT_FALSE(FileExists(folder / "out.csv.part"));
  EXPECT_EQ(report.lines.back(), "処理を終了しました。");

  RunResult one = RunCsvExport(db, {std::string("PC"), false, folder / "pc.csv"}, stop, report);
  EXPECT_EQ(one.rowsWritten, 1);
  EXPECT_EQ(test::ReadWholeFile(folder / "pc.csv").substr(0, 10), "C:\\p.d88,P");
}

TEST_F(CsvExchangeTest, ExportThatCannotWriteKeepsTheEarlierFile) {
  ASSERT_TRUE(CreateFolder(folder / "dir.csv"));
  RunResult result = RunCsvExport(db, {std::nullopt, true, folder / "dir.csv"}, stop, report);
  EXPECT_EQ(result.end, RunEnd::WriteFailed);
  ASSERT_TRUE(result.message);
  EXPECT_EQ(AnsiToUtf8(result.message->text), "ファイルオープンに失敗しました。\nCSVファイルパスの指定を確認してください。");
  EXPECT_TRUE(report.Logged("CSVファイルパスの指定を確認してください。"));
}

TEST_F(CsvExchangeTest, ACharacterWithoutShiftJisFormIsWrittenAsAQuestionMark) {
  ASSERT_EQ(sqlite3_exec(db.Handle(), "UPDATE main_table SET title='한?' WHERE file_name='C:\\m.rom';", nullptr, nullptr,
                         nullptr),
            SQLITE_OK);
  RunResult result = RunCsvExport(db, {std::string("MSX"), false, folder / "out.csv"}, stop, report);
  EXPECT_EQ(result.end, RunEnd::Finished);
  EXPECT_EQ(test::ReadWholeFile(folder / "out.csv"), "C:\\m.rom,MSX,,??,,,,,,,,,,,,,,,,,,,,\r\n");
  EXPECT_TRUE(report.Logged("Shift-JIS にない文字を ? で書き出しました：C:\\m.rom"));
}

TEST_F(CsvExchangeTest, RoundTripKeepsEveryColumnTheDeviceIncluded) {
  ASSERT_EQ(RunCsvExport(db, {std::nullopt, true, folder / "out.csv"}, stop, report).end, RunEnd::Finished);
  const std::string before = Dump();
  ASSERT_FALSE(db.Query("UPDATE main_table SET maker='changed' WHERE ply<>2; UPDATE spec_table SET breed='changed';"
                        "UPDATE creator_table SET creator='changed';"));
  RunResult result = RunCsvImport(db, converter, {folder / "out.csv", true}, stop, report);
  EXPECT_EQ(result.end, RunEnd::Finished);
  EXPECT_EQ(result.rowsWritten, 3);
  EXPECT_TRUE(report.questions.empty());
  // smart_title is written from the title; everything else is as before.
  ASSERT_FALSE(db.Query("UPDATE main_table SET smart_title=NULL;"));
  std::string after = Dump();
  EXPECT_EQ(after.size(), before.size());
  EXPECT_EQ(after, before);
  EXPECT_EQ(report.lines.back(), "全ての処理を終了しました。");
}

TEST_F(CsvExchangeTest, ValuesAreNormalisedAndSpecRowsKeepTheirDevice) {
  RunResult result = Import(Line({Jp("C:\\ソ.zip*a.nes"), "FC", "", Jp("ゲーム"), "", "", "", "", "", "x", "1985"}) +
                            Line({"C:\\p.d88", "PC", "", "p", "", "", "", "", "", "1", "99/99", "", "", "", "", "",
                                  "", "", "100"}));
  ASSERT_EQ(result.end, RunEnd::Finished);
  ASSERT_FALSE(db.Query("SELECT adult,sale_year,smart_title<>'',creator FROM main_table m LEFT JOIN creator_table "
                        "ON pfile_cr=file_name ORDER BY file_name;"));
  // Key order: c.d88, m.rom, p.d88, then ソ.
  EXPECT_EQ(db.Cell(3, 0) + "," + db.Cell(3, 1), "1,0");
  EXPECT_EQ(db.Cell(4, 0) + "," + db.Cell(4, 1) + "," + db.Cell(4, 2) + "," + db.Cell(4, 3), "0,1985-00-00,1,");
  // All seven spec_table fields empty: the row stays for its device, emptied.
  ASSERT_FALSE(db.Query("SELECT * FROM spec_table ORDER BY pfile_sc;"));
  ASSERT_EQ(db.RowCount(), 2);
  EXPECT_EQ(db.Cell(1, 0) + "|" + db.Cell(1, 2) + "|" + db.Cell(1, 4), "C:\\p.d88|100|");
  EXPECT_EQ(AnsiToUtf8(db.Cell(2, 0) + "|" + db.Cell(2, 1) + "|" + db.Cell(2, 4)), "C:\\ソ.zip*a.nes||pad");
  // Without a device an empty spec_table row goes.
  ASSERT_FALSE(Import(Line({"C:\\p.d88", "PC", "", "p"})).message);
  ASSERT_FALSE(db.Query("SELECT count(*) FROM spec_table WHERE pfile_sc='C:\\p.d88';"));
  EXPECT_EQ(db.Cell(1, 0), "0");
}

TEST_F(CsvExchangeTest, RefusedFilesWriteNothing) {
  const std::string good = Line({"C:\\m.rom", "MSX", "", "new title"});
  struct Case {
    const char* name;
    std::string bytes;
    const char* log;
    const char* caption;
  } cases[] = {
      {"unterminated quote on line 2", good + "\"C:\\m.rom,\r\n", "ダブルクオートが不正です。(Line:2)", "ダブルクオートが不正です"},
      {"257-byte title", good + Line({"C:\\m.rom", "", "", std::string(257, 't')}), "文字列が長すぎます。(Line:2)", "確認"},
      {"empty title", good + Line({"C:\\m.rom", "MSX"}), "必須項目が空欄です。(Line:2)", "確認"},
      {"UTF-8 BOM", "\xEF\xBB\xBF" + good, "Shift-JIS のCSVファイルではありません。(Line:1)", "エラー"},
      {"PNG bytes", std::string("\x89PNG\r\n\x1a\n\0\0", 10) + good, "Shift-JIS のCSVファイルではありません。(Line:3)", "エラー"},
      {"field ending in a lead byte", good + Line({"C:\\m.rom", "", "", "t\x82"}),
       "Shift-JIS のCSVファイルではありません。(Line:2)", "エラー"},
      {"fewer fields", good + "C:\\m.rom,MSX\r\n", "項目数が足りません。(Line:2)", "エラー"},
      {"a header not skipped", CsvHeaderLine() + good, "文字列が長すぎます。(Line:1)", "確認"},
  };
  const std::string before = Dump();
  for (const Case& c : cases) {
    report = RecordedReport{};
    RunResult result = Import(c.bytes);
    EXPECT_EQ(result.end, RunEnd::WriteFailed) << c.name;
    ASSERT_TRUE(result.message) << c.name;
    EXPECT_EQ(AnsiToUtf8(result.message->caption), c.caption) << c.name;
    EXPECT_TRUE(report.Logged(c.log)) << c.name << ": " << (report.lines.empty() ? "" : report.lines.front());
    EXPECT_EQ(report.lines.back(), "処理を中止しました。");
    EXPECT_TRUE(report.questions.empty());
    EXPECT_EQ(Dump(), before) << c.name;
  }
}

TEST_F(CsvExchangeTest, ALongRecordImportsWholeAndTheNextStaysIntact) {
  // Every field at its longest; the key is new.
  std::string creator(4095, 'c'), title(256, 't'), key = "C:\\" + std::string(520, 'k') + ".rom";
  std::vector<std::string> fields(kCsvFieldCount, std::string(256, 'v'));
  fields[kCsvFileName] = key;
  fields[kCsvTitle] = title;
  fields[kCsvCreator] = creator;
  fields[kCsvAdult] = "1";
  fields[kCsvSaleYear] = "1990";
  fields[kCsvCrc32] = fields[kCsvCrc16] = "AB";
  std::string file = CsvLine(fields);
  ASSERT_GT(file.size(), 9000u);
  report.answers = {kIdYes};
  RunResult result = Import(file + Line({"C:\\p.d88", "PC", "", "after"}));
  ASSERT_EQ(result.end, RunEnd::Finished);
  EXPECT_EQ(result.rowsWritten, 2);
  ASSERT_FALSE(db.Query("SELECT title,creator FROM main_table LEFT JOIN creator_table ON pfile_cr=file_name "
                        "WHERE file_name IN ('" + key + "','C:\\p.d88') ORDER BY file_name;"));
  EXPECT_EQ(db.Cell(1, 0), title);
  EXPECT_EQ(db.Cell(1, 1), creator);
  EXPECT_EQ(db.Cell(2, 0), "after");
  ASSERT_FALSE(db.Query("SELECT count(*) FROM main_table;"));
  EXPECT_EQ(db.Cell(1, 0), "5");
}

TEST_F(CsvExchangeTest, NewKeysAreAskedForOnce) {
  const std::string file = Line({"C:\\new.zip*d\\g.fds", "FC", "", "one", "", "", "", "", "", "", "", "", "", "cr;",
                                 "", "", "", "b"}) +
                           Line({"C:\\m.rom", "MSX", "", "known"}) + Line({Jp("C:\\ソ\\表.nes"), "FC", "", "two"});
  const std::string before = Dump();
  report.answers = {kIdNo};
  RunResult no = Import(file);
  EXPECT_EQ(no.end, RunEnd::Finished);
  ASSERT_EQ(report.questions.size(), 1u);
  EXPECT_EQ(report.questions[0],
            "新規プライマリキー|新規プライマリキーがインポートされようとしています。\n\n"
            "以降の新規プライマリキーを全てインポートしますか？\n（いいえでスキップ）\n\n--> C:\\new.zip*d\\g.fds");
  EXPECT_EQ(std::count(report.lines.begin(), report.lines.end(), "  ... スキップします。"), 2);
  ASSERT_FALSE(db.Query("SELECT count(*) FROM main_table;"));
  EXPECT_EQ(db.Cell(1, 0), "4");
  ASSERT_FALSE(db.Query("SELECT (SELECT count(*) FROM spec_table)||(SELECT count(*) FROM creator_table);"));
  EXPECT_EQ(db.Cell(1, 0), "11");

  report = RecordedReport{};
  report.answers = {kIdYes};
  RunResult yes = Import(file);
  EXPECT_EQ(yes.rowsWritten, 3);
  EXPECT_EQ(report.questions.size(), 1u);
  ASSERT_FALSE(db.Query("SELECT file_title,file_ext,file_arc_title,file_arc_ext,machine_name,title,ply "
                        "FROM main_table WHERE file_name='C:\\new.zip*d\\g.fds';"));
  ASSERT_EQ(db.RowCount(), 1);
  std::string row;
  for (int column = 0; column < 7; ++column) row += db.Cell(1, column) + ",";
  EXPECT_EQ(row, "new,zip,g,fds,FC,one,0,");
  // Names are split by character: the 0x5C bytes of ソ and 表 are no separators.
  ASSERT_FALSE(db.Query(Jp("SELECT file_title,file_ext FROM main_table WHERE file_name='C:\\ソ\\表.nes';")));
  ASSERT_EQ(db.RowCount(), 1);
  EXPECT_EQ(AnsiToUtf8(db.Cell(1, 0) + "." + db.Cell(1, 1)), "表.nes");
  ASSERT_FALSE(db.Query("SELECT breed FROM spec_table WHERE pfile_sc='C:\\new.zip*d\\g.fds';"));
  EXPECT_EQ(db.Cell(1, 0), "b");
}

// Every column of every table, each value as SQLite quotes it (NULL, text
// bytes as stored, numbers), so that two libraries compare byte for byte.
std::string RawDump(LibraryConnection& library) {
  std::string out;
  for (const char* table : {"main_table", "spec_table", "creator_table"}) {
    EXPECT_FALSE(library.Query(std::string("SELECT name FROM pragma_table_info('") + table + "');"));
    std::string columns;
    for (int row = 1; row <= library.RowCount(); ++row)
      columns += (columns.empty() ? "quote(" : "||'|'||quote(") + library.Cell(row, 0) + ")";
    EXPECT_FALSE(library.Query("SELECT " + columns + " FROM " + table + " ORDER BY 1;"));
    for (int row = 1; row <= library.RowCount(); ++row)
      out += std::string(table) + ":" + std::string(library.CellUtf8(row, 0)) + "\n";
  }
  return out;
}

TEST_F(CsvExchangeTest, BoundRecordsStoreTheSameBytesAsTheQuotedStatements) {
  // Rows with NULL columns, a spec_table row with a NULL device and one that
  // holds only a device.
  const std::string extra = Jp(
      "INSERT INTO main_table(file_name,machine_name,title) VALUES('C:\\null.d88','PC',NULL),"
      "('C:\\only.d88','PC','o');"
      "INSERT INTO spec_table(pfile_sc,breed,device) VALUES('C:\\null.d88','old',NULL),('C:\\only.d88','','joy');");
  ASSERT_FALSE(db.Query(extra));
  LibraryConnection quoted;
  test::TempFolder other;
  quoted.Open(other / "Velmarook.db", "");
  ASSERT_FALSE(FillFixture(quoted));
  ASSERT_FALSE(quoted.Query(extra));
  ASSERT_EQ(RawDump(quoted), RawDump(db));

  const std::vector<std::vector<std::string>> records = {
      {Jp("C:\\ソ.zip*a.nes"), "FC", "", "Let's \"go\", 'now'", Jp("れっつ"), Jp("表示ソフト"), "", "", "", "1",
       "1985/3", "", "", Jp("[原作]能;"), "", "", "", Jp("型ソ"), "", "", "", "", "", "it's"},
      {"C:\\null.d88", "PC", "", Jp("ヌル"), "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "", "",
       ""},
      {"C:\\only.d88", "PC", "", "o", "", "", "", "", "", "0", "", "", "", "", "", "", "", "", "", "", "", "", "", ""},
      {"C:\\m.rom", "MSX", "", "x", "", "", "", "", "", "", "", "", "", "'", "", "", "", "''", "", "", "", "", "", ""},
      {Jp("C:\\新\\ソ's.zip*d\\表.fds"), "FC", "", Jp("新しい"), "", "", "", "", "", "", "", "", "", "", "", "", "",
       "b", "", "", "", "", "", ""},
  };
  std::string file;
  for (const auto& fields : records) {
    std::vector<std::string> written;
    for (const std::string& value : fields) written.push_back(CsvFieldText(value));
    file += CsvLine(written);
  }
  report.answers = {kIdYes};
  RunResult bound = Import(file);
  ASSERT_EQ(bound.end, RunEnd::Finished);
  EXPECT_EQ(bound.rowsWritten, static_cast<int>(records.size()));

  for (size_t i = 0; i < records.size(); ++i) {
    CsvRecord record{static_cast<int>(i) + 1, records[i]};
    ASSERT_FALSE(quoted.Query("SAVEPOINT csv_record;" + CsvRecordSql(record, converter, i + 1 == records.size()) +
                              "RELEASE csv_record;"))
        << i;
  }
  EXPECT_EQ(RawDump(db), RawDump(quoted));
}

TEST_F(CsvExchangeTest, BatchesCloseByRowsOnlyOnceTheyHaveBeenOpenLongEnough) {
  const std::string lines = Line({"C:\\m.rom", "MSX", "", "one"}) + Line({"C:\\p.d88", "PC", "", "two"}) +
                            Line({"C:\\m.rom", "MSX", "", "three"});
  test::WriteWholeFile(folder / "in.csv", lines);
  int commits = 0;
  sqlite3_commit_hook(db.Handle(), [](void* count) { return ++*static_cast<int*>(count), 0; }, &commits);
  struct Case {
    int batchMs, commits;
  } cases[] = {{0, 3}, {60000, 1}};
  for (const Case& c : cases) {
    commits = 0;
    RunResult result = RunCsvImport(db, converter, {folder / "in.csv", false}, stop, report, 1, kCommitWaitMs, c.batchMs);
    EXPECT_EQ(result.rowsWritten, 3);
    EXPECT_EQ(commits, c.commits) << c.batchMs;
  }
  sqlite3_commit_hook(db.Handle(), nullptr, nullptr);
  EXPECT_FALSE(db.Query("SELECT title FROM main_table WHERE file_name='C:\\m.rom';"));
  EXPECT_EQ(db.Cell(1, 0), "three");
}

TEST_F(CsvExchangeTest, AFailingRecordIsUndoneWholeAndTheOnesBeforeStay) {
  ASSERT_FALSE(db.Query("CREATE TRIGGER refuse BEFORE INSERT ON creator_table WHEN new.creator='bad' "
                        "BEGIN SELECT RAISE(ABORT,'refused'); END;"));
  RunResult result = Import(Line({"C:\\m.rom", "MSX", "", "first"}) +
                            Line({"C:\\p.d88", "PC", "", "second", "", "", "", "", "", "", "", "", "", "bad"}) +
                            Line({"C:\\c.d88", "PC", "", "third"}));
  EXPECT_EQ(result.end, RunEnd::WriteFailed);
  EXPECT_EQ(result.rowsWritten, 1);
  ASSERT_TRUE(result.message);
  EXPECT_EQ(AnsiToUtf8(result.message->text), "データベース更新エラー。\nrefused");
  ASSERT_FALSE(db.Query("SELECT group_concat(title,',') FROM (SELECT title FROM main_table ORDER BY file_name);"));
  EXPECT_EQ(AnsiToUtf8(db.Cell(1, 0)), "child,first,表,ソ,Say \"Hi\", 2");
  EXPECT_TRUE(report.Logged("  ... インポートできませんでした。"));
  EXPECT_EQ(report.lines.back(), "処理を中止しました。");
}

}  // namespace
}  // namespace vel
