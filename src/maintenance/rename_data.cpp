#include "maintenance/rename_data.h"

#include <sqlite3.h>

#include <utility>

#include "core/cp932_text.h"
#include "db/library_connection.h"
#include "editing/release_date.h"
#include "maintenance/title_converter.h"
#include "maintenance/zip_directory.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/input_file.h"

namespace vel {
namespace {

const RenameKeyChoice kKeyChoices[kRenameKeyChoiceCount] = {
    {"CRC16", kKeyCrc16},
    {"CRC32", kKeyCrc32},
    {"ファイル名（プライマリキー 本体）", kKeyFileTitle},
    {"ファイル名（プライマリキー 本体＋拡張子）", kKeyFileName},
};

std::string Q(const std::string& value) { return "'" + Quote(value) + "'"; }

std::string TooLarge() { return Jp("リストデータが大きすぎます（1GB まで読み込めます）"); }

// The member's extension, found by character (a trail byte may be a '.').
bool HasXmlExtension(const std::string& name) {
  size_t dot = std::string::npos;
  for (size_t i = 0; i < name.size(); i += CharacterLength(name, i))
    if (name[i] == '.') dot = i;
  return dot != std::string::npos && EqualsIgnoringCase(name.substr(dot + 1), "xml");
}

bool IsZipPath(const std::string& path) {
  size_t dot = std::string::npos;
  for (size_t i = 0; i < path.size(); i += CharacterLength(path, i)) {
    if (path[i] == '.') dot = i;
    if (path[i] == '\\' || path[i] == '/') dot = std::string::npos;
  }
  return dot != std::string::npos && EqualsIgnoringCase(path.substr(dot + 1), "zip");
}

std::optional<std::string> LoadZipListData(InputFile& file, std::vector<char>& data) {
  ZipDirectory directory = ReadZipDirectory(file);
  if (directory.status != ZipStatus::kOk) return Jp("zip から xml 検索に失敗しました");
  const ZipMember* found = nullptr;
  for (const ZipMember& member : directory.members)
    if (HasXmlExtension(member.name)) {
      found = &member;
      break;
    }
  if (!found) return Jp("リストデータに指定された zip は xml を含みません");
  if (found->size >= static_cast<std::uint64_t>(kListDataLimit)) return TooLarge();
  data.reserve(static_cast<size_t>(found->size) + 1);
  ZipDataStatus status = ReadZipMemberData(file, *found, [&](const unsigned char* bytes, std::size_t size) {
    if (data.size() + size > found->size) return false;
    data.insert(data.end(), bytes, bytes + size);
    return true;
  });
  if (status != ZipDataStatus::kOk || data.size() != found->size) {
    data.clear();
    return Jp("zip から xml をメモリ上に展開できませんでした");
  }
  if (data.empty()) return Jp("リストデータが空です");
  data.push_back('\0');
  return std::nullopt;
}

std::string FieldNumberText(int value) { return value < 0 ? "" : std::to_string(value); }

struct KeyQuery {
  std::string countSql;  // rows lacking the key (CRC keys only)
  std::string rowsSql;
};

KeyQuery KeyQueryOf(RenameKeyType type, const std::string& machine) {
  const std::string m = Q(machine);
  switch (type) {
    case kKeyCrc16:
      return {"SELECT COUNT(*) FROM main_table WHERE machine_name=" + m + " AND crc='';",
              "SELECT crc, file_name FROM main_table WHERE machine_name=" + m + " AND crc<>'' ;"};
    case kKeyCrc32:
      return {"SELECT COUNT(*) FROM main_table WHERE machine_name=" + m + " AND crc32='';",
              "SELECT crc32, file_name FROM main_table WHERE machine_name=" + m + " AND crc32<>'' ;"};
    case kKeyFileTitle:
      return {"", "SELECT file_title, file_name FROM main_table WHERE machine_name=" + m + " ;"};
    case kKeyFileName:
      return {"", "SELECT file_title||'.'||file_ext, file_name FROM main_table WHERE machine_name=" + m + " ;"};
  }
  return {};
}

RunMessage DatabaseError(const std::string& error) {
  return RunMessage{Jp("メインテーブルを選択できませんでした。\n") + Utf8ToAnsi(error), Jp("エラー"),
                    kMbOk | kMbIconError};
}

const int kMainFields[] = {kRnTitle, kRnMaker, kRnCountry, kRnVersion, kRnYear, kRnImageNumber,
                           kRnGenre, kRnAdult, kRnKana, kRnDeveloper, kRnSaleDate};
const int kSpecFields[] = {kRnModel, kRnPrice, kRnMedia, kRnDevice, kRnPlayers, kRnSaveData, kRnSound, kRnRating};
const char* SpecColumn(int field) {
  switch (field) {
    case kRnModel: return "breed";
    case kRnPrice: return "price";
    case kRnMedia: return "media_detail";
    case kRnDevice: return "device";
    case kRnPlayers: return "players";
    case kRnSaveData: return "savedat_detail";
    case kRnSound: return "sound_detail";
    default: return "adultex_name";
  }
}

}  // namespace

const RenameKeyChoice& RenameKeyChoiceAt(int index) { return kKeyChoices[index]; }

std::optional<std::string> LoadListData(const std::string& path, std::vector<char>& data) {
  data.clear();
  InputFile file;
  if (path.empty() || !file.Open(path)) return Jp("リストデータファイルが開けませんでした");
  if (IsZipPath(path)) return LoadZipListData(file, data);
  if (file.Size() == 0) return Jp("リストデータが空です");
  if (file.Size() >= kListDataLimit) return TooLarge();
  data.assign(static_cast<size_t>(file.Size()) + 1, '\0');
  if (!file.ReadExactly(0, data.data(), data.size() - 1)) {
    data.clear();
    return Jp("リストデータファイルが開けませんでした");
  }
  return std::nullopt;
}

std::optional<std::string> PluginSaleDate(const std::string& text) {
  const size_t n = text.size();
  if (n != 4 && n != 7 && n != 10) return std::nullopt;
  for (size_t i = 0; i < n; ++i) {
    bool dash = i == 4 || i == 7;
    if (dash ? text[i] != '-' : (text[i] < '0' || text[i] > '9')) return std::nullopt;
  }
  return NormaliseReleaseDate(text);
}

RenameValues LookUpKey(const RenamePlugin& plugin, const char* list, const std::string& key, std::int16_t keyType,
                       const std::array<bool, kRenameFieldCount>& ticked) {
  RenameValues values;
  values.number.fill(-1);
  for (int f = 0; f < kRenameFieldCount; ++f) {
    if (!ticked[static_cast<size_t>(f)] || !plugin.HasField(f)) continue;
    if (RenameFieldOf(f).number) {
      int n = plugin.Number(f, list, key, keyType);
      values.number[static_cast<size_t>(f)] = n;
      // A year or an image number of 0 is as good as none; an R of 0 means "none".
      values.found = values.found || n >= (f == kRnAdult ? 0 : 1);
    } else if (auto text = plugin.Text(f, list, key, keyType)) {
      if (f == kRnSaleDate) text = PluginSaleDate(*text);
      values.found = values.found || text.has_value();
      if (text && !text->empty()) values.text[static_cast<size_t>(f)] = std::move(text);
    }
  }
  return values;
}

std::string RenameRowSql(const std::string& image, const RenameValues& values, const TitleConverter* converter) {
  auto text = [&](int f) -> const std::optional<std::string>& { return values.text[static_cast<size_t>(f)]; };
  auto number = [&](int f) { return values.number[static_cast<size_t>(f)]; };
  const std::string key = Q(image);
  std::string sql;

  std::string set;
  auto assign = [&](const char* column, const std::string& value) { set += std::string(",") + column + "=" + Q(value); };
  if (text(kRnTitle)) {
    assign("title", *text(kRnTitle));
    if (converter) assign("smart_title", SmartTitle(*converter, *text(kRnTitle)));
  }
  if (text(kRnMaker)) assign("maker", *text(kRnMaker));
  if (text(kRnCountry)) assign("country", *text(kRnCountry));
  if (text(kRnVersion)) assign("version", *text(kRnVersion));
  // A full sale date wins over the year alone.
  std::optional<std::string> saleYear = text(kRnSaleDate);
  if (!saleYear && number(kRnYear) >= 1) saleYear = NormaliseReleaseDate(std::to_string(number(kRnYear)));
  if (saleYear) assign("sale_year", *saleYear);
  if (number(kRnImageNumber) >= 1) assign("rom_num", std::to_string(number(kRnImageNumber)));
  if (text(kRnGenre)) assign("genre_name", *text(kRnGenre));
  if (number(kRnAdult) >= 0) assign("adult", std::to_string(number(kRnAdult)));
  if (text(kRnKana)) assign("kana", *text(kRnKana));
  if (text(kRnDeveloper)) assign("developer", *text(kRnDeveloper));
  if (!set.empty())
    sql += "UPDATE main_table SET modify=datetime('now','localtime')" + set + " WHERE file_name=" + key + ";";

  // Only the spec_table columns found change; the others (device, say) stay.
  std::string names, inserted, updates;
  for (int f : kSpecFields) {
    if (!text(f)) continue;
    names += std::string(",") + SpecColumn(f);
    inserted += "," + Q(*text(f));
    updates += std::string(updates.empty() ? "" : ",") + SpecColumn(f) + "=excluded." + SpecColumn(f);
  }
  if (!names.empty())
    sql += "INSERT INTO spec_table(pfile_sc" + names + ") VALUES(" + key + inserted +
           ") ON CONFLICT(pfile_sc) DO UPDATE SET " + updates + ";";
  if (text(kRnCreator))
    sql += "INSERT INTO creator_table(pfile_cr,creator) VALUES(" + key + "," + Q(*text(kRnCreator)) +
           ") ON CONFLICT(pfile_cr) DO UPDATE SET creator=excluded.creator;";
  if (text(kRnMemo))
    sql += "INSERT INTO memo_table(pfile_mm,memo) VALUES(" + key + "," + Q(*text(kRnMemo)) +
           ") ON CONFLICT(pfile_mm) DO UPDATE SET memo=excluded.memo;";
  return sql;
}

std::vector<std::string> RenameTestCells(const std::string& key, const RenameValues& values) {
  std::vector<std::string> cells{key};
  for (int f = 0; f < kRenameFieldCount; ++f) {
    const int n = values.number[static_cast<size_t>(f)];
    if (f == kRnAdult)
      cells.push_back(n == 0 ? Jp("なし") : n == 1 ? Jp("あり") : "");
    else if (RenameFieldOf(f).number)
      cells.push_back(FieldNumberText(n));
    else
      cells.push_back(values.text[static_cast<size_t>(f)].value_or(""));
  }
  return cells;
}

RenameResult RunRenameData(LibraryConnection& db, const RenamePlugin& plugin, const TitleConverter* converter,
                           const RenameRequest& request, StopFlag& stop, RenameReport& report, int rowsPerCommit,
                           int commitWaitMs) {
  RenameResult result;
  auto ended = [&](RunEnd end, const std::string& status) {
    result.end = end;
    report.Status(status);
    return result;
  };
  std::vector<char> list;
  if (auto problem = LoadListData(request.listPath, list)) return ended(RunEnd::SelectFailed, *problem);
  if (request.machine.empty()) return ended(RunEnd::SelectFailed, Jp("選択された機種が特定できませんでした"));
  const RenameKeyType keyType = kKeyChoices[request.keyChoice].type;
  const KeyQuery query = KeyQueryOf(keyType, request.machine);
  const bool crcKey = keyType == kKeyCrc16 || keyType == kKeyCrc32;
  const std::string crcName = keyType == kKeyCrc16 ? "CRC16" : "CRC32";

  if (crcKey) {
    if (auto error = db.Query(query.countSql)) {
      result.message = DatabaseError(*error);
      return ended(RunEnd::SelectFailed, Jp("メインテーブルを選択できませんでした。"));
    }
    const std::string count = db.Cell(1, 0);
    if (count != "0") {
      std::string question = Jp("ライブラリ中の ") + request.machine + Jp(" には、") + crcName +
                             Jp("の値が無いアイテムが ") + count +
                             Jp(" 件存在します。\nこのまま続けますか？\n\n※ CRC値の再取得はメニュー[データベース]→[ライブラリのCRCを再計算]で行えます。");
      if (report.Ask(question, Jp("確認"), kMbYesNo | kMbIconQuestion) != kIdYes)
        return ended(RunEnd::Stopped, Jp("中止しました"));
    }
  }
  if (auto error = db.Query(query.rowsSql)) {
    result.message = DatabaseError(*error);
    return ended(RunEnd::SelectFailed, Jp("メインテーブルを選択できませんでした。"));
  }
  std::vector<std::pair<std::string, std::string>> rows;
  rows.reserve(static_cast<size_t>(db.RowCount()));
  for (int row = 1; row <= db.RowCount(); ++row) rows.emplace_back(db.Cell(row, 0), db.Cell(row, 1));
  result.rows = static_cast<int>(rows.size());
  if (rows.empty()) {
    if (crcKey) {
      result.message = RunMessage{request.machine + Jp("に ") + crcName +
                                      Jp(" の情報を持つアイテムがありません。\n\nメニュー[データベース]→[ライブラリのCRCを再計算]をお試しください。"),
                                  Jp("情報"), kMbOk | kMbIconInformation};
      return ended(RunEnd::NoRows, Jp("ライブラリにCRC情報がありませんでした。"));
    }
    result.message = RunMessage{request.machine + Jp("ではファイル名をキーにすることはできません。"), Jp("情報"),
                                kMbOk | kMbIconInformation};
    return ended(RunEnd::NoRows, Jp("ファイル名をキーにできませんでした。"));
  }

  const bool test = request.testOnly;
  report.StartProgress(test ? 0 : result.rows);
  if (test) report.Status(Jp("テスト中"));
  int inBatch = 0;  // rows written into the open batch
  bool open = false;
  std::string writeError;
  auto commit = [&]() -> bool {
    open = false;
    if (auto error = CommitWithRetry(db, commitWaitMs)) {
      db.Query("ROLLBACK;");
      result.matches -= inBatch;
      writeError = *error;
      return false;
    }
    inBatch = 0;
    return true;
  };
  bool stopped = false;
  for (size_t i = 0; i < rows.size(); ++i) {
    const auto& [key, image] = rows[i];
    if (!test) report.StepProgress();
    report.Key(key);
    RenameValues values = LookUpKey(plugin, list.data(), key, keyType, request.ticked);
    if (values.found && test) {
      report.TestRow(RenameTestCells(key, values));
      if (++result.matches == kRenameTestMatches) break;
    } else if (values.found) {
      const std::string sql = RenameRowSql(image, values, converter);
      if (!open) {
        // The write lock up front: a locked library fails before any change.
        if (auto error = db.Query("BEGIN IMMEDIATE;")) {
          writeError = *error;
          break;
        }
        open = true;
      }
      const int changesBefore = sqlite3_total_changes(db.Handle());
      if (auto error = db.Query("SAVEPOINT rename_row;" + sql + "RELEASE rename_row;")) {
        ++result.rowsFailed;
        if (sqlite3_get_autocommit(db.Handle())) {
          // The database undid the whole batch itself.
          result.matches -= inBatch;
          open = false;
          writeError = *error;
          break;
        }
        db.Query("ROLLBACK TO rename_row; RELEASE rename_row;");
      } else if (sqlite3_total_changes(db.Handle()) > changesBefore) {
        ++result.matches;
        ++inBatch;
      }
      report.Status(std::to_string(result.matches) + Jp(" 件のアイテムを更新しました ( ") + std::to_string(i + 1) +
                    " / " + std::to_string(result.rows) + " )");
      if (inBatch == rowsPerCommit && !commit()) break;
    }
    if (stop.load() == kRunStopRequested) {
      stopped = true;
      break;
    }
  }
  if (open) commit();
  result.libraryChanged = !test && result.matches > 0;
  if (!writeError.empty()) {
    result.message = RunMessage{Jp("ライブラリに書き込めませんでした。\n") + Utf8ToAnsi(writeError), Jp("DBエラー"),
                                kMbOk | kMbIconError};
    return ended(RunEnd::WriteFailed, Jp("ライブラリに書き込めないため処理を中止しました ( ") +
                                          std::to_string(result.rows) + Jp(" 件中 ") +
                                          std::to_string(result.matches) + Jp(" 件のキーが該当し更新されました )"));
  }
  if (test)
    return ended(stopped ? RunEnd::Stopped : RunEnd::Finished,
                 stopped ? Jp("ユーザーからの要求でテストを中止しました") : Jp("テストが終了しました"));
  return ended(stopped ? RunEnd::Stopped : RunEnd::Finished,
               Jp(stopped ? "処理を中止しました ( " : "処理を終了しました ( ") + std::to_string(result.rows) +
                   Jp(" 件中 ") + std::to_string(result.matches) + Jp(" 件のキーが該当し更新されました )"));
}

}  // namespace vel
