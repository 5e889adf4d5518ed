#include "maintenance/csv_format.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "platform/codepage.h"

namespace vel {
namespace {

// A record of 24 fields: the given ones, then empty ones.
std::string Record(std::vector<std::string> fields) {
  fields.resize(kCsvFieldCount);
  return CsvLine(fields);
}

std::string Problem(const std::optional<CsvProblem>& problem) {
  return problem ? AnsiToUtf8(problem->log) : "none";
}

TEST(CsvFormat, FieldsAreQuotedWhenTheyMustBe) {
  struct Case {
    std::string value, written;
  } cases[] = {
      {"plain", "plain"},
      {"", ""},
      {"Say \"Hi\", 2", "\"Say \"\"Hi\"\", 2\""},
      {"\x83\x5C,\x95\x5C", "\"\x83\x5C,\x95\x5C\""},  // ソ,表: their 0x5C bytes stay
      {"\"", "\"\"\"\""},
      {"a\r\nb", "\"a\r\nb\""},
      {"a\nb", "\"a\nb\""},
  };
  for (const Case& c : cases) EXPECT_EQ(CsvFieldText(c.value), c.written) << c.value;
  EXPECT_EQ(CsvShortDate("1985-00-00"), "1985");
  EXPECT_EQ(CsvShortDate("1985-05-00"), "1985-05");
  EXPECT_EQ(CsvShortDate("1985-05-03"), "1985-05-03");
  EXPECT_EQ(CsvShortDate("0"), "");
  const std::string header = CsvHeaderLine();
  EXPECT_EQ(std::count(header.begin(), header.end(), ','), 23);
  EXPECT_EQ(AnsiToUtf8(header.substr(0, header.find(','))), "プライマリキー");
  EXPECT_EQ(header.substr(header.size() - 2), "\r\n");
}

TEST(CsvFormat, WrittenFieldsReadBackUnchanged) {
  std::vector<std::string> values = {"C:\\a.zip*\x83\x5C.nes", "Say \"Hi\", 2", "\"", "a\r\nb", "\x83\x5C,\x95\x5C",
                                     "", ",", "x\"\"y"};
  values.resize(kCsvFieldCount, "z");
  values.back() = "last, with a comma";
  std::vector<std::string> written;
  for (const std::string& value : values) written.push_back(CsvFieldText(value));
  std::string file = CsvLine(written) + CsvLine(written);
  std::vector<CsvRecord> records;
  ASSERT_EQ(Problem(ReadCsvRecords(file, records)), "none");
  ASSERT_EQ(records.size(), 2u);
  EXPECT_EQ(records[0].fields, values);
  EXPECT_EQ(records[1].fields, values);
  EXPECT_EQ(records[0].line, 1);
  EXPECT_EQ(records[1].line, 3);  // the CRLF inside a value is a line of its own
}

TEST(CsvFormat, RecordsOfTheReader) {
  const std::string ok = Record({"k", "FC", "", "t"});
  struct Case {
    const char* name;
    std::string file;
    const char* problem;
    size_t records;
  } cases[] = {
      {"LF ends a record too", Record({"k"}).substr(0, 24) + "\n" + ok, "none", 2},
      {"empty lines are skipped", "\r\n\n" + ok + "\r\n", "none", 1},
      {"no line end at the end", ok.substr(0, ok.size() - 2), "none", 1},
      {"unterminated quote on line 2", ok + "\"k,FC,\r\n" + ok, "ダブルクオートが不正です。(Line:2)", 0},
      {"text after a closing quote", "\"k\"x" + ok.substr(1), "ダブルクオートが不正です。(Line:1)", 0},
      {"a quote inside an unquoted field", "k\"x" + ok.substr(1), "ダブルクオートが不正です。(Line:1)", 0},
      {"too few fields", ok + "a,b\r\n", "項目数が足りません。(Line:2)", 0},
      {"a record over 64 KiB", Record({"k", std::string(70000, 'x')}), "1件のレコードが長すぎます。(Line:1)", 0},
  };
  for (const Case& c : cases) {
    std::vector<CsvRecord> records;
    EXPECT_EQ(Problem(ReadCsvRecords(c.file, records)), c.problem) << c.name;
    if (std::string(c.problem) == "none") EXPECT_EQ(records.size(), c.records) << c.name;
  }
}

TEST(CsvFormat, TheLastFieldTakesTheRestAndLongRecordsStayWhole) {
  std::string file = std::string(23, ',') + "a,b,c\r\n" + Record({"k", std::string(9000, 'x')}) + Record({"next"});
  std::vector<CsvRecord> records;
  ASSERT_EQ(Problem(ReadCsvRecords(file, records)), "none");
  ASSERT_EQ(records.size(), 3u);
  EXPECT_EQ(records[0].fields[23], "a,b,c");
  EXPECT_EQ(records[1].fields[1].size(), 9000u);
  EXPECT_EQ(records[2].fields[0], "next");
}

TEST(CsvFormat, OnlyShiftJisTextIsTaken) {
  struct Case {
    const char* name;
    std::string bytes;
    const char* problem;
  } cases[] = {
      {"Shift-JIS text", "\x83\x5C,\x95\x5C,\xB1\xB2\r\nabc\r\n", "none"},
      {"UTF-8 BOM", "\xEF\xBB\xBFk,t\r\n", "Shift-JIS のCSVファイルではありません。(Line:1)"},
      {"UTF-16", std::string("\xFF\xFEk\0,\0", 6), "Shift-JIS のCSVファイルではありません。(Line:1)"},
      {"PNG bytes", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), "Shift-JIS のCSVファイルではありません。(Line:3)"},
      {"UTF-8 text", "abc\r\n\xE3\x82\xBF\xE3\x82\xA4\r\n", "Shift-JIS のCSVファイルではありません。(Line:2)"},
      {"a field ending in a lead byte", "a\r\nb\r\nk\x82,t\r\n", "Shift-JIS のCSVファイルではありません。(Line:3)"},
      {"a lead byte at the end", "k\x82", "Shift-JIS のCSVファイルではありません。(Line:1)"},
  };
  for (const Case& c : cases) EXPECT_EQ(Problem(CheckShiftJis(c.bytes)), c.problem) << c.name;
}

TEST(CsvFormat, LimitsAndRequiredFields) {
  struct Case {
    int field;
    std::string value;
    const char* problem;
    const char* message;
  } cases[] = {
      {kCsvTitle, std::string(256, 't'), "none", ""},
      {kCsvTitle, std::string(257, 't'), "文字列が長すぎます。(Line:7)",
       "タイトル の文字列が長すぎます。\n中止します。\n--> "},
      {kCsvFileName, std::string(530, 'k'), "none", ""},
      {kCsvFileName, std::string(531, 'k'), "文字列が長すぎます。(Line:7)", "プライマリキー の文字列が長すぎます。"},
      {kCsvAdult, "1234", "文字列が長すぎます。(Line:7)", "R指定(ONは1、OFFは0か空欄) の文字列が長すぎます。"},
      {kCsvCreator, std::string(4095, 'c'), "none", ""},
      {kCsvCreator, std::string(4096, 'c'), "文字列が長すぎます。(Line:7)", "クリエイター の"},
      {kCsvTitle, "", "必須項目が空欄です。(Line:7)", "タイトルは必須です。\n中止します。\nLine: 7"},
      {kCsvFileName, "", "必須項目が空欄です。(Line:7)", "プライマリキーは必須です。\n中止します。\nLine: 7"},
  };
  for (const Case& c : cases) {
    CsvRecord record{7, std::vector<std::string>(kCsvFieldCount)};
    record.fields[kCsvFileName] = "k";
    record.fields[kCsvTitle] = "t";
    record.fields[static_cast<size_t>(c.field)] = c.value;
    auto problem = CheckCsvRecord(record);
    EXPECT_EQ(Problem(problem), c.problem) << c.field;
    if (problem) {
      EXPECT_EQ(AnsiToUtf8(problem->message).substr(0, std::string(c.message).size()), c.message);
      EXPECT_EQ(AnsiToUtf8(problem->caption), "確認");
    }
  }
}

}  // namespace
}  // namespace vel
