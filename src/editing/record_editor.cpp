#include "editing/record_editor.h"

#include "db/library_connection.h"
#include "display/snapshot_choice.h"
#include "editing/creator_text.h"
#include "editing/release_date.h"
#include "maintenance/image_sets.h"  // DiskNumber
#include "platform/codepage.h"

namespace vel {
namespace {

std::string DbFailure(const char* text, const std::string& errorUtf8) { return Jp(text) + Utf8ToAnsi(errorUtf8); }

std::string TooLong(const char* label, size_t limit) {
  return Jp(label) + Jp("が長すぎます。\n") + std::to_string(limit) + Jp("バイトに納めてください。");
}

// The ROM number with full-width digits made half-width, or nothing when
// anything else is in it.
std::optional<std::string> RomDigits(const std::string& typed) {
  std::string digits;
  for (size_t i = 0; i < typed.size();) {
    const size_t width = CharacterLength(typed, i);
    const unsigned char first = static_cast<unsigned char>(typed[i]);
    if (width == 1 && first >= '0' && first <= '9') {
      digits += typed[i];
    } else if (width == 2 && first == 0x82 && static_cast<unsigned char>(typed[i + 1]) >= 0x4F &&
               static_cast<unsigned char>(typed[i + 1]) <= 0x58) {
      digits += static_cast<char>('0' + (static_cast<unsigned char>(typed[i + 1]) - 0x4F));
    } else {
      return std::nullopt;
    }
    i += width;
  }
  return digits;
}

struct Limit {
  const std::string* value;
  const char* label;
  size_t bytes;
};

const char* const kDetailLabels[kDetailFields] = {"型番", "価格", "メディア情報", "対応機器",
                                                  "プレイ人数", "セーブデータ", "サウンド情報", "拡張R指定"};

bool AllEmpty(const RecordDetails& details) {
  for (const std::string& d : details)
    if (!d.empty()) return false;
  return true;
}

}  // namespace

std::string ReleaseDateForDisplay(const std::string& stored) {
  if (stored == "0") return "";
  auto endsWith = [&stored](const char* tail) {
    const std::string t = tail;
    return stored.size() > t.size() && stored.compare(stored.size() - t.size(), t.size(), t) == 0;
  };
  if (endsWith("-00-00")) return stored.substr(0, stored.size() - 6);
  if (endsWith("-00")) return stored.substr(0, stored.size() - 3);
  return stored;
}

std::string CreatorsForDisplay(const std::string& stored) {
  std::string shown;
  for (size_t i = 0; i < stored.size();) {
    const size_t width = CharacterLength(stored, i);
    if (width == 1 && stored[i] == ';')
      shown += "\r\n";
    else
      shown.append(stored, i, width);
    i += width;
  }
  return shown;
}

LoadedRecord LoadRecord(LibraryConnection& db, const std::string& key) {
  LoadedRecord loaded;
  RecordFields& f = loaded.fields;
  const std::string k = Quote(key);
  if (auto error = db.Query("SELECT title,maker,developer,version,kana,tag,rom_num,sale_year,country,adult,"
                            "machine_name,media_name,genre_name,ply,smart_title FROM main_table WHERE file_name='" +
                            k + "';")) {
    loaded.failure = DbFailure("メインテーブルを参照できませんでした。\n", *error);
    return loaded;
  }
  if (db.RowCount() != 1) {
    loaded.failure = Jp("メインテーブルを参照できませんでした。\n") + Jp("ライブラリにこの項目がありません。");
    return loaded;
  }
  f.title = db.Cell(1, 0);
  f.maker = db.Cell(1, 1);
  f.developer = db.Cell(1, 2);
  f.version = db.Cell(1, 3);
  f.kana = db.Cell(1, 4);
  f.tag = db.Cell(1, 5);
  f.romNumber = db.Cell(1, 6) == "0" ? "" : db.Cell(1, 6);
  f.releaseDate = ReleaseDateForDisplay(db.Cell(1, 7));
  f.country = db.Cell(1, 8);
  f.adult = db.CellInt(1, 9) == 1;
  f.machine = db.Cell(1, 10);
  f.media = db.Cell(1, 11);
  f.genre = db.Cell(1, 12);
  loaded.ownPly = DiskNumber(db.Cell(1, 13));
  f.smartTitle = db.Cell(1, 14);

  if (auto error = db.Query("SELECT creator FROM creator_table WHERE pfile_cr='" + k + "';")) {
    loaded.failure = DbFailure("クリエイターテーブルを参照できませんでした。\n", *error);
    return loaded;
  }
  loaded.storedCreators = db.RowCount() > 0 ? db.Cell(1, 0) : "";
  f.creators = CreatorsForDisplay(loaded.storedCreators);

  // A child of a set heads none: its own set is never offered.
  if (loaded.ownPly <= 1) {
    if (auto error = db.Query("SELECT file_name FROM main_table WHERE ply_file_name='" + k + "' AND file_name<>'" + k +
                              "' ORDER BY ply, file_name ;")) {
      loaded.failure = DbFailure("メインテーブルを参照できませんでした。\n", *error);
      return loaded;
    }
    if (db.RowCount() > 0) {
      f.imageSet.push_back(key);
      for (int r = 1; r <= db.RowCount(); ++r) f.imageSet.push_back(db.Cell(r, 0));
    }
  }

  if (auto error = db.Query("SELECT memo FROM memo_table WHERE pfile_mm='" + k + "';")) {
    loaded.failure = DbFailure("メモテーブルを参照できませんでした。\n", *error);
    return loaded;
  }
  if (db.RowCount() > 0) f.memo = db.Cell(1, 0);

  if (auto error = db.Query("SELECT as_file_name FROM associate_file_table WHERE pfile_as='" + k + "' ORDER BY rowid;")) {
    loaded.failure = DbFailure("関連ファイルテーブルを参照できませんでした。\n", *error);
    return loaded;
  }
  for (int r = 1; r <= db.RowCount(); ++r) f.relatedFiles.push_back(db.Cell(r, 0));

  if (auto error = db.Query("SELECT snap1,snap2,snap3,snap_dtt FROM snap_path_table WHERE pfile_sp='" + k + "';")) {
    loaded.failure = DbFailure("スナップパステーブルを参照できませんでした。\n", *error);
    return loaded;
  }
  if (db.RowCount() > 0) {
    for (int i = 0; i < 3; ++i) f.snapshots[static_cast<size_t>(i)] = db.Cell(1, i);
    f.snapDisplay = db.Cell(1, 3);
  }

  if (auto error = db.Query("SELECT breed,price,media_detail,device,players,savedat_detail,sound_detail,adultex_name "
                            "FROM spec_table WHERE pfile_sc='" + k + "' LIMIT 1;")) {
    loaded.failure = DbFailure("詳細情報テーブルを参照できませんでした。\n", *error);
    return loaded;
  }
  if (db.RowCount() > 0)
    for (int i = 0; i < kDetailFields; ++i) f.details[static_cast<size_t>(i)] = db.Cell(1, i);

  if (auto error = db.Query("SELECT emuset_name FROM use_emuset_table WHERE pfile_ue='" + k + "' LIMIT 1;")) {
    loaded.failure = DbFailure("個別エミュレータ指定テーブルを参照できませんでした。\n", *error);
    return loaded;
  }
  if (db.RowCount() > 0) f.emulatorSetting = db.Cell(1, 0);
  return loaded;
}

RecordCheck CheckRecord(const RecordFields& fields, const LoadedRecord& loaded) {
  RecordCheck check;
  if (fields.title.empty()) {
    check.refusal = Jp("タイトルを入力してください。");
    return check;
  }
  // The creators as loaded are kept whole; only a text typed anew is bounded.
  const bool creatorsEdited = fields.creators != loaded.fields.creators;
  if (creatorsEdited && fields.creators.size() > kRecordCreatorsLimit) {
    check.refusal = Jp("クリエイター情報が長すぎます。\n") + std::to_string(kRecordCreatorsLimit) +
                    Jp("バイトに納めてください。");
    return check;
  }
  std::optional<std::string> date = NormaliseReleaseDate(fields.releaseDate);
  if (!date) {
    check.refusal = Jp("発売日の指定に不備があります。\nyyyy-mm-dd形式で指定してください。\n"
                       "例) 1980-5-25 ※月以降または日は省略可");
    return check;
  }
  std::optional<std::string> digits = RomDigits(fields.romNumber);
  if (!digits) {
    check.refusal = Jp("ROM番号は半角数字のみです。");
    return check;
  }
  const size_t significant = digits->find_first_not_of('0');
  const std::string rom = significant == std::string::npos ? "" : digits->substr(significant);
  if (rom.size() > kRomNumberDigits) {
    check.refusal = Jp("ROM番号は") + std::to_string(kRomNumberDigits) + Jp("桁以内で指定してください。");
    return check;
  }

  std::vector<Limit> limits = {
      {&fields.title, "タイトル", kRecordTextLimit},      {&fields.maker, "メーカー", kRecordTextLimit},
      {&fields.developer, "開発元", kRecordTextLimit},    {&fields.version, "バージョン・コメント", kRecordTextLimit},
      {&fields.kana, "読み仮名", kRecordTextLimit},       {&fields.tag, "タグ", kRecordTextLimit},
      {&fields.country, "国名", kRecordTextLimit},        {&fields.smartTitle, "スマートタイトル", kRecordTextLimit},
      {&fields.emulatorSetting, "エミュレータ設定", kRecordTextLimit},
  };
  for (int i = 0; i < kDetailFields; ++i)
    limits.push_back({&fields.details[static_cast<size_t>(i)], kDetailLabels[i], kRecordTextLimit});
  for (const std::string& snap : fields.snapshots) limits.push_back({&snap, "スナップショットのパス", kRecordPathLimit});
  for (const std::string& file : fields.relatedFiles) limits.push_back({&file, "関連ファイル/URL", kRecordPathLimit});
  for (const Limit& limit : limits) {
    if (limit.value->size() > limit.bytes) {
      check.refusal = TooLong(limit.label, limit.bytes);
      return check;
    }
  }

  PreparedRecord prepared{fields};
  prepared.fields.releaseDate = *date;
  prepared.fields.romNumber = rom;
  prepared.fields.creators = creatorsEdited ? NormaliseCreators(fields.creators) : loaded.storedCreators;
  std::vector<std::string> related;
  for (const std::string& file : fields.relatedFiles)
    if (!file.empty()) related.push_back(file);
  prepared.fields.relatedFiles = related;
  check.record = prepared;
  return check;
}

SaveStatements BuildSaveStatements(const std::string& openedKey, const LoadedRecord& loaded,
                                   const PreparedRecord& record) {
  const RecordFields& f = record.fields;
  SaveStatements out;
  // Only a set of two or more images, headed by this item, is reordered.
  const bool writeSet = f.imageSet.size() >= 2 && loaded.ownPly <= 1;
  out.key = writeSet ? f.imageSet.front() : openedKey;
  out.rebuildSets = writeSet;
  const std::string k = Quote(out.key);
  auto add = [&out](std::string sql, std::string oneRowOf = "") {
    out.sql.push_back(std::move(sql));
    out.oneRowOf.push_back(std::move(oneRowOf));
  };

  if (AllEmpty(f.details)) {
    add("DELETE FROM spec_table WHERE pfile_sc='" + k + "';");
  } else {
    std::string sql = "INSERT OR REPLACE INTO spec_table( pfile_sc, breed, price, media_detail, device, players, "
                      "savedat_detail, sound_detail, adultex_name ) VALUES('" + k;
    for (const std::string& d : f.details) sql += "','" + Quote(d);
    add(sql + "');");
  }

  add(SnapshotChoiceStatement(out.key, {f.snapshots, f.snapDisplay}));

  add("DELETE FROM associate_file_table WHERE pfile_as='" + k + "';");
  for (const std::string& file : f.relatedFiles)
    add("INSERT INTO associate_file_table(pfile_as,as_file_name) VALUES('" + k + "','" + Quote(file) + "');");

  const std::string romValue = f.romNumber.empty() ? "''" : f.romNumber;  // digits only, checked
  out.mainUpdate = out.sql.size();
  add("UPDATE main_table SET title='" + Quote(f.title) + "',smart_title='" + Quote(f.smartTitle) + "',version='" +
          Quote(f.version) + "',maker='" + Quote(f.maker) + "',developer='" + Quote(f.developer) +
          "',machine_name='" + Quote(f.machine) + "',genre_name='" + Quote(f.genre) + "',media_name='" +
          Quote(f.media) + "',rom_num=" + romValue + ",adult=" + (f.adult ? "1" : "0") + ",country='" +
          Quote(f.country) + "',sale_year='" + Quote(f.releaseDate) + "',associate='" +
          std::to_string(f.relatedFiles.size()) + "',kana='" + Quote(f.kana) + "',tag='" + Quote(f.tag) +
          "',modify=datetime('now','localtime')  WHERE file_name='" + k + "';",
      out.key);

  if (f.creators.empty())
    add("DELETE FROM creator_table WHERE pfile_cr='" + k + "' ;");
  else
    add("INSERT OR REPLACE INTO creator_table( pfile_cr, creator ) VALUES( '" + k + "','" + Quote(f.creators) + "' );");

  if (f.memo.empty())
    add("DELETE FROM memo_table WHERE pfile_mm='" + k + "' ;");
  else
    add("INSERT OR REPLACE INTO memo_table( pfile_mm, memo ) VALUES('" + k + "','" + Quote(f.memo) + "') ;");

  if (f.emulatorSetting.empty())
    add("DELETE FROM use_emuset_table WHERE pfile_ue='" + k + "' ;");
  else
    add("INSERT OR REPLACE INTO use_emuset_table( pfile_ue, emuset_name ) VALUES('" + k + "','" +
        Quote(f.emulatorSetting) + "') ;");

  if (writeSet) {
    add("UPDATE main_table SET ply=1,ply_file_name='' WHERE file_name='" + k + "' ;", out.key);
    for (size_t i = 1; i < f.imageSet.size(); ++i)
      add("UPDATE main_table SET ply='" + std::to_string(i + 1) + "',ply_file_name='" + k + "',maker='" +
              Quote(f.maker) + "',developer='" + Quote(f.developer) + "',machine_name='" + Quote(f.machine) +
              "',genre_name='" + Quote(f.genre) + "',media_name='" + Quote(f.media) + "',adult=" +
              (f.adult ? "1" : "0") + ",country='" + Quote(f.country) + "',sale_year='" + Quote(f.releaseDate) +
              "',associate=0,modify=datetime('now','localtime')  WHERE file_name='" + Quote(f.imageSet[i]) + "' ;",
          f.imageSet[i]);
  }
  return out;
}

SaveResult SaveRecord(LibraryConnection& db, const std::string& openedKey, const LoadedRecord& loaded,
                      const PreparedRecord& record) {
  SaveResult result;
  const SaveStatements statements = BuildSaveStatements(openedKey, loaded, record);
  auto fail = [&](const std::string& errorUtf8) {
    db.Query("ROLLBACK;");
    result.failure = Jp("データベースを更新出来ませんでした。\n") + Utf8ToAnsi(errorUtf8);
    return result;
  };
  if (auto error = db.Query("SELECT title FROM main_table WHERE file_name='" + Quote(statements.key) + "' LIMIT 1;")) {
    result.failure = Jp("データベースを更新出来ませんでした。\n") + Utf8ToAnsi(*error);
    return result;
  }
  result.oldTitle = db.RowCount() > 0 ? db.Cell(1, 0) : "";
  if (auto error = db.Query("BEGIN;")) {
    result.failure = Jp("データベースを更新出来ませんでした。\n") + Utf8ToAnsi(*error);
    return result;
  }
  // The first failure ends the save: after some failures SQLite has already
  // ended the transaction, and the statements after it would run alone.
  for (size_t i = 0; i < statements.sql.size(); ++i) {
    if (auto error = db.Query(statements.sql[i])) return fail(*error);
    if (statements.oneRowOf[i].empty()) continue;
    if (auto error = db.Query("SELECT changes();")) return fail(*error);
    if (db.CellInt(1, 0) != 1) return fail(AnsiToUtf8(Jp("ライブラリにない項目です。\n") + statements.oneRowOf[i]));
  }
  if (statements.rebuildSets) {
    // Only the rows of this set change: its old and its new parent's, found
    // through the index on ply_file_name instead of a scan of every item.
    const std::string sets = "('" + Quote(openedKey) + "','" + Quote(statements.key) + "')";
    if (auto error = db.Query("DELETE FROM tmp_maxdisk WHERE ply_file_name IN " + sets +
                              ";INSERT INTO tmp_maxdisk SELECT ply_file_name, max(ply) FROM main_table "
                              "WHERE ply_file_name IN " + sets + " AND ply>1 GROUP BY ply_file_name;"))
      return fail(*error);
  }
  if (auto error = db.Query("COMMIT;")) return fail(*error);
  result.saved = true;
  result.selectKey = statements.key;
  return result;
}

}  // namespace vel
