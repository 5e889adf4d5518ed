#pragma once
// The library's CSV file: 24 fields per record in a fixed order, Shift-JIS
// text, CRLF line ends. Writing quotes what needs it; reading checks the
// whole file before anything is taken from it.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vel {

struct CsvColumn {
  const char* column;  // column of its table
  const char* header;  // UTF-8
  std::size_t limit;   // an imported value of this many bytes or more is refused
};
inline constexpr int kCsvFieldCount = 24;
extern const CsvColumn kCsvColumns[kCsvFieldCount];
enum CsvField : int {
  kCsvFileName = 0, kCsvMachine, kCsvMedia, kCsvTitle, kCsvKana, kCsvMaker, kCsvDeveloper, kCsvCountry,
  kCsvVersion, kCsvAdult, kCsvSaleYear, kCsvGenre, kCsvRomNum, kCsvCreator, kCsvTag, kCsvCrc32, kCsvCrc16,
  kCsvBreed, kCsvPrice, kCsvMediaDetail, kCsvPlayers, kCsvAdultEx, kCsvSaveData, kCsvSound,
};
inline constexpr int kCsvFirstSpecField = kCsvBreed;
// Longest record the reader takes, in bytes.
inline constexpr std::size_t kCsvRecordLimit = 64 * 1024;

// One field as written: inside double quotes, each doubled, when it holds a
// double quote, a comma, a CR or a LF.
std::string CsvFieldText(std::string_view value);
// `adult` and `sale_year` as written: cut before "-00", "0" written empty.
std::string CsvShortDate(std::string value);
// The 24 fields joined by commas, ended by CRLF.
std::string CsvLine(const std::vector<std::string>& fields);
std::string CsvHeaderLine();  // CP932

struct CsvRecord {
  int line = 0;  // where the record starts, from 1
  std::vector<std::string> fields;
};

struct CsvProblem {
  int line = 0;
  std::string log;      // the log line (CP932)
  std::string message;  // the message box text (CP932)
  std::string caption;  // CP932
};

// Checks that the bytes are Shift-JIS text: no byte-order mark, no NUL, no
// broken two-byte pair, and not UTF-8 text with characters beyond ASCII.
std::optional<CsvProblem> CheckShiftJis(std::string_view bytes);

// Splits the whole file into records (empty lines skipped). Records end at
// LF or CRLF outside quotes; "" inside quotes is one double quote; the last
// field takes the rest of the record.
std::optional<CsvProblem> ReadCsvRecords(std::string_view bytes, std::vector<CsvRecord>& records);

// The import's limits on one record: lengths and the required fields.
std::optional<CsvProblem> CheckCsvRecord(const CsvRecord& record);

}  // namespace vel
