#include "maintenance/csv_format.h"

#include "platform/codepage.h"

namespace vel {

const CsvColumn kCsvColumns[kCsvFieldCount] = {
    {"file_name", "プライマリキー", 531},
    {"machine_name", "機種名", 257},
    {"media_name", "メディア", 257},
    {"title", "タイトル", 257},
    {"kana", "読み仮名", 257},
    {"maker", "メーカー", 257},
    {"developer", "開発元", 257},
    {"country", "国名", 257},
    {"version", "バージョン", 257},
    {"adult", "R指定(ONは1、OFFは0か空欄)", 4},
    {"sale_year", "発売日Y-m-d(Y年m月d日 Y/m/dも可)", 16},
    {"genre_name", "ジャンル", 257},
    {"rom_num", "ロム番号", 257},
    {"creator", "クリエイター", 4096},
    {"tag", "タグ", 257},
    {"crc32", "crc32", 16},
    {"crc", "crc16", 16},
    {"breed", "型番", 257},
    {"price", "価格", 257},
    {"media_detail", "メディア情報", 257},
    {"players", "プレイヤー数", 257},
    {"adultex_name", "拡張R指定", 257},
    {"savedat_detail", "セーブデータ情報", 257},
    {"sound_detail", "サウンド情報", 257},
};

namespace {

CsvProblem Problem(int line, const char* log, std::string message = {}, const char* caption = "") {
  CsvProblem problem;
  problem.line = line;
  problem.log = Jp(log) + "(Line:" + std::to_string(line) + ")";
  problem.message = message.empty() ? problem.log : std::move(message);
  problem.caption = Jp(caption);
  return problem;
}

// Whether the bytes form UTF-8 text that uses more than ASCII.
bool IsUtf8BeyondAscii(std::string_view bytes) {
  bool beyond = false;
  for (size_t i = 0; i < bytes.size();) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    size_t length = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
    if (length == 0 || (length == 2 && c < 0xC2) || i + length > bytes.size()) return false;
    for (size_t k = 1; k < length; ++k)
      if ((static_cast<unsigned char>(bytes[i + k]) & 0xC0) != 0x80) return false;
    beyond |= length > 1;
    i += length;
  }
  return beyond;
}

int LineAt(std::string_view bytes, size_t position) {
  int line = 1;
  for (size_t i = 0; i < position && i < bytes.size(); ++i) line += bytes[i] == '\n';
  return line;
}

// The line that starts at `start`, as the message about it shows it.
std::string LineText(std::string_view bytes, size_t start) {
  std::string_view line = bytes.substr(start, bytes.find('\n', start) - start);
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  if (line.size() > 300) line = line.substr(0, 300);
  return WithWholeCharacters(line);
}

}  // namespace

std::string CsvFieldText(std::string_view value) {
  if (value.find_first_of("\",\r\n") == std::string_view::npos) return std::string(value);
  std::string quoted = "\"";
  for (char c : value) {
    if (c == '"') quoted += '"';
    quoted += c;
  }
  return quoted + '"';
}

std::string CsvShortDate(std::string value) {
  value = value.substr(0, value.find("-00"));
  return value == "0" ? std::string() : value;
}

std::string CsvLine(const std::vector<std::string>& fields) {
  std::string line;
  for (size_t i = 0; i < fields.size(); ++i) {
    if (i) line += ',';
    line += fields[i];
  }
  return line + "\r\n";
}

std::string CsvHeaderLine() {
  std::vector<std::string> headers;
  for (const CsvColumn& column : kCsvColumns) headers.push_back(Jp(column.header));
  return CsvLine(headers);
}

std::optional<CsvProblem> CheckShiftJis(std::string_view bytes) {
  const char* notShiftJis = "Shift-JIS のCSVファイルではありません。";
  auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  if (starts("\xEF\xBB\xBF") || starts("\xFF\xFE") || starts("\xFE\xFF")) return Problem(1, notShiftJis);
  for (size_t i = 0; i < bytes.size(); ++i) {
    unsigned char c = static_cast<unsigned char>(bytes[i]);
    if (c == 0 || c == 0x80 || c == 0xA0 || c >= 0xFD) return Problem(LineAt(bytes, i), notShiftJis);
    if (IsCp932LeadByte(c)) {
      if (i + 1 >= bytes.size() || !IsCp932TrailByte(static_cast<unsigned char>(bytes[i + 1])))
        return Problem(LineAt(bytes, i), notShiftJis);
      ++i;
    }
  }
  if (IsUtf8BeyondAscii(bytes)) {
    size_t first = 0;
    while (first < bytes.size() && static_cast<unsigned char>(bytes[first]) < 0x80) ++first;
    return Problem(LineAt(bytes, first), notShiftJis);
  }
  return std::nullopt;
}

std::optional<CsvProblem> ReadCsvRecords(std::string_view bytes, std::vector<CsvRecord>& records) {
  records.clear();
  const char* badQuote = "ダブルクオートが不正です。";
  int line = 1;
  size_t i = 0;
  while (i < bytes.size()) {
    const size_t start = i;
    const int startLine = line;
    CsvRecord record;
    record.line = startLine;
    std::string field;
    bool ended = false;
    while (!ended) {
      const bool last = record.fields.size() + 1 == kCsvFieldCount;
      if (i < bytes.size() && bytes[i] == '"') {
        // A quoted field: up to the quote that is not one of a pair.
        ++i;
        bool closed = false;
        while (i < bytes.size()) {
          char c = bytes[i];
          if (c == '"') {
            if (i + 1 < bytes.size() && bytes[i + 1] == '"') {
              field += '"';
              i += 2;
              continue;
            }
            ++i;
            closed = true;
            break;
          }
          if (c == '\n') ++line;
          // Two-byte characters are taken whole (a trail byte may be '\\').
          size_t length = CharacterLength(bytes, i);
          field.append(bytes.substr(i, length));
          i += length;
        }
        if (!closed) return Problem(startLine, badQuote, LineText(bytes, start), "ダブルクオートが不正です");
        // After the closing quote: the next field or the record's end.
        if (i < bytes.size() && bytes[i] == ',' && !last) {
          ++i;
        } else if (i >= bytes.size() || bytes[i] == '\n' || (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')) {
          ended = true;
        } else {
          return Problem(startLine, badQuote, LineText(bytes, start), "ダブルクオートが不正です");
        }
      } else {
        // Unquoted: up to the next comma (the last field: the record's end).
        while (i < bytes.size() && bytes[i] != '\n' && !(bytes[i] == ',' && !last)) {
          if (bytes[i] == '"') return Problem(startLine, badQuote, LineText(bytes, start), "ダブルクオートが不正です");
          size_t length = CharacterLength(bytes, i);
          field.append(bytes.substr(i, length));
          i += length;
        }
        if (i < bytes.size() && bytes[i] == ',') {
          ++i;
        } else {
          if (!field.empty() && field.back() == '\r') field.pop_back();
          ended = true;
        }
      }
      record.fields.push_back(std::move(field));
      field.clear();
      if (i - start > kCsvRecordLimit)
        return Problem(startLine, "1件のレコードが長すぎます。");
    }
    // The record's end: CRLF or LF.
    if (i < bytes.size() && bytes[i] == '\r') ++i;
    if (i < bytes.size() && bytes[i] == '\n') {
      ++i;
      ++line;
    }
    if (i - start > kCsvRecordLimit) return Problem(startLine, "1件のレコードが長すぎます。");
    if (record.fields.size() == 1 && record.fields[0].empty()) continue;  // an empty line
    if (record.fields.size() < kCsvFieldCount) return Problem(startLine, "項目数が足りません。");
    records.push_back(std::move(record));
  }
  return std::nullopt;
}

std::optional<CsvProblem> CheckCsvRecord(const CsvRecord& record) {
  for (int f = 0; f < kCsvFieldCount; ++f) {
    const std::string& value = record.fields[static_cast<size_t>(f)];
    if (value.size() >= kCsvColumns[f].limit)
      return Problem(record.line, "文字列が長すぎます。",
                     Jp(kCsvColumns[f].header) + Jp(" の文字列が長すぎます。\n中止します。\n--> ") + value, "確認");
  }
  for (int f : {kCsvFileName, kCsvTitle})
    if (record.fields[static_cast<size_t>(f)].empty())
      return Problem(record.line, "必須項目が空欄です。",
                     Jp(kCsvColumns[f].header) + Jp("は必須です。\n中止します。\nLine: ") + std::to_string(record.line),
                     "確認");
  return std::nullopt;
}

}  // namespace vel
