#include "editing/master_tables.h"

#include "core/cp932_text.h"
#include "db/library_connection.h"
#include "launch/emulator_config.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/file_operations.h"
#include "platform/system.h"

namespace vel {
namespace {

int Index(MasterKind kind) { return static_cast<int>(kind); }

// The texts of each kind that the save and the delete show (UTF-8 literals).
struct KindMessages {
  const char* required;
  const char* reserved;  // null: the kind may use "指定なし"
  const char* duplicate;
  const char* insertFailed;
  const char* updateFailed;
};
const KindMessages kMessages[] = {
    {"機種名の入力は必須です。", nullptr,
     "指定された機種名は既に作成されています。\n別な機種名を指定してください。",
     "機種管理レコードを挿入できませんでした。\n", "機種管理レコードをアップデートできませんでした。\n"},
    {"メディアタイプ名の入力は必須です。", "そのメディアタイプ名は使用できません。",
     "指定されたメディアタイプ名は既に作成されています。\n別なメディアタイプ名を指定してください。",
     "メディア管理レコードを挿入できませんでした。\n", "メディア管理レコードアップデートできませんでした。\n"},
    {"ジャンル名の入力は必須です。", "そのジャンル名は使用できません。",
     "指定されたジャンル名は既に作成されています。\n別なジャンル名を指定してください。",
     "ジャンル管理レコードを挿入できませんでした。\n", "ジャンル管理レコードアップデートできませんでした。\n"},
    {"レーティング名の入力は必須です。", "そのレーティング名は使用できません。",
     "指定されたレーティング名は既に作成されています。\n別なレーティング名を指定してください。",
     "拡張R指定管理レコードを挿入できませんでした。\n", "拡張R指定管理レコードアップデートできませんでした。\n"},
};

const KindMessages& Messages(MasterKind kind) { return kMessages[Index(kind)]; }

std::string Table(MasterKind kind) { return std::string(MasterStem(kind)) + "_info_table"; }

std::string Q(const std::string& text) { return "'" + Quote(text) + "'"; }

void ShowDbError(const std::string& text, const std::string& errorUtf8, void* owner) {
  ShowMessage(text + Utf8ToAnsi(errorUtf8), Jp("DBエラー"), kMbOk | kMbIconError, owner);
}

void Refuse(const std::string& text, void* owner, unsigned icon = kMbIconWarning) {
  ShowMessage(text, Jp("中止"), kMbOk | icon, owner);
}

std::string StripMarks(std::string part) {
  while (!part.empty() && part.front() == ' ') part.erase(0, 1);
  while (!part.empty() && part.back() == ' ') part.pop_back();
  while (!part.empty() && (part.front() == '*' || part.front() == '.')) part.erase(0, 1);
  return part;
}

// Runs the statements of a save in one transaction; the first failure rolls
// it back and is returned (UTF-8).
std::optional<std::string> RunInTransaction(LibraryConnection& db, const std::vector<std::string>& statements,
                                            bool firstMustChangeOneRow) {
  if (auto error = db.Query("BEGIN;")) return error;
  for (size_t i = 0; i < statements.size(); ++i) {
    std::optional<std::string> error = db.Query(statements[i]);
    if (!error && i == 0 && firstMustChangeOneRow) {
      // The record may have been renamed or removed since it was loaded.
      error = db.Query("SELECT changes();");
      if (!error && db.Cell(1, 0) != "1") error = AnsiToUtf8(Jp("対象のレコードが見つかりませんでした。"));
    }
    if (error) {
      db.Query("ROLLBACK;");
      return error;
    }
  }
  if (auto error = db.Query("COMMIT;")) {
    db.Query("ROLLBACK;");
    return error;
  }
  return std::nullopt;
}

void Renumber(LibraryConnection& db, MasterKind kind, void* owner) {
  if (auto failure = RenumberMasterTable(db, MasterStem(kind)))
    ShowMessage(failure->text, failure->caption, kMbOk | kMbIconError, owner);
}

}  // namespace

const char* MasterStem(MasterKind kind) { return kMasterStems[Index(kind)]; }

const char* MasterIconFolder(MasterKind kind) { return kind == MasterKind::Adultex ? "cero" : MasterStem(kind); }

MasterKindTexts MasterTexts(MasterKind kind) {
  struct Texts {
    const char *tab, *description, *nameLabel, *caption;
  } static const kTexts[] = {
      {"機種管理",
       "機種の名称やアイコン、ディレクトリ追加時の検索拡張子、スナップショットフォルダ、\nデフォルトのメディアタイプを管理できます。",
       "機種名", "機種の設定"},
      {"メディア管理",
       "メディアタイプの名称とアイコンの設定を行います。\nソフトの配給メディア（ディスクやROMカートリッジなど）を管理できます。",
       "メディアタイプ名", "メディアタイプの設定"},
      {"ジャンル管理",
       "ジャンルの名称とアイコンの設定を行います。\nソフトの種別（シューティングやアドベンチャーなど）を管理できます。",
       "ジャンル名", "ジャンルの設定"},
      {"拡張R指定管理",
       "拡張R指定の名称とアイコンの設定を行います。\nレーティング種別（CEROレーティングなど）を管理できます。",
       "レーティング名", "拡張R指定の設定"},
  };
  const Texts& t = kTexts[Index(kind)];
  return {Jp(t.tab), Jp(t.description), Jp(t.nameLabel), Jp(t.caption)};
}

std::optional<std::string> LoadMasterNames(LibraryConnection& db, const std::string& stem,
                                           std::vector<std::string>& names) {
  names.clear();
  if (auto error = db.Query("SELECT " + stem + " FROM " + stem + "_info_table ORDER BY " + stem +
                            "_num;"))
    return error;
  for (int r = 1; r <= db.RowCount(); ++r) names.push_back(db.Cell(r, 0));
  return std::nullopt;
}

std::optional<std::string> LoadMasterEntries(LibraryConnection& db, MasterKind kind, std::vector<MasterEntry>& entries) {
  entries.clear();
  const std::string stem = MasterStem(kind);
  if (auto error = db.Query("SELECT " + stem + ", " + stem + "_num FROM " + Table(kind) + " ORDER BY " + stem +
                            "_num;"))
    return error;
  for (int r = 1; r <= db.RowCount(); ++r) entries.push_back({db.Cell(r, 0), db.CellInt(r, 1)});
  return std::nullopt;
}

std::optional<std::string> LoadMasterNamesByName(LibraryConnection& db, MasterKind kind, std::vector<std::string>& names) {
  names.clear();
  const std::string stem = MasterStem(kind);
  if (auto error = db.Query("SELECT " + stem + " FROM " + Table(kind) + " ORDER BY " + stem + ";")) return error;
  for (int r = 1; r <= db.RowCount(); ++r) names.push_back(db.Cell(r, 0));
  return std::nullopt;
}

std::optional<std::string> LoadMasterRecord(LibraryConnection& db, MasterKind kind, const std::string& name,
                                            MasterRecord& record) {
  record = MasterRecord{};
  const std::string stem = MasterStem(kind);
  std::string columns = stem + ", " + stem + "_icon";
  if (kind == MasterKind::Machine) columns += ", search_ext, snap_path, snap_path2, snap_path3, snap_dtm, default_media";
  if (auto error = db.Query("SELECT " + columns + " FROM " + Table(kind) + " WHERE " + stem + "=" + Q(name) + ";"))
    return error;
  if (db.RowCount() != 1) return AnsiToUtf8(Jp("「") + name + Jp("」のレコードが見つかりませんでした。"));
  record.name = db.Cell(1, 0);
  record.icon = db.Cell(1, 1);
  if (kind == MasterKind::Machine) {
    record.searchExt = db.Cell(1, 2);
    for (int i = 0; i < 3; ++i) record.snapPaths[static_cast<size_t>(i)] = db.Cell(1, 3 + i);
    record.snapDisplay = db.Cell(1, 6);
    record.defaultMedia = db.Cell(1, 7);
  }
  return std::nullopt;
}

std::string NormaliseSearchExtensions(const std::string& searchExt) {
  std::string joined;
  std::vector<std::string> kept;
  for (const std::string& raw : SplitByCharacter(searchExt, ';')) {
    std::string part = StripMarks(raw);
    if (part.empty()) continue;
    bool repeated = false;
    for (const std::string& k : kept) repeated = repeated || EqualsIgnoringCase(k, part);
    if (repeated) continue;
    kept.push_back(part);
    joined += (joined.empty() ? "" : ";") + part;
  }
  return joined;
}

std::optional<std::string> MasterRecordProblem(MasterKind kind, const MasterRecord& record) {
  const KindMessages& m = Messages(kind);
  const std::string label = MasterTexts(kind).nameLabel;
  if (record.name.empty()) return Jp(m.required);
  if (m.reserved && record.name == Jp("指定なし")) return Jp(m.reserved);
  if (record.name.size() > kMasterNameLimit)
    return label + Jp("は") + std::to_string(kMasterNameLimit) + Jp("バイト以内で入力してください。");
  auto tooLong = [](const char* what) {
    return Jp(what) + Jp("のパスが長すぎます。") + std::to_string(kMasterPathLimit) + Jp("バイト以内で指定してください。");
  };
  if (record.icon.size() > kMasterPathLimit) return tooLong("アイコンファイル");
  if (kind != MasterKind::Machine) return std::nullopt;
  if (record.searchExt.size() > kSearchExtLimit)
    return Jp("検索拡張子は") + std::to_string(kSearchExtLimit) + Jp("バイト以内で入力してください。");
  const char* folders[] = {"スナップショットフォルダ１", "スナップショットフォルダ２", "スナップショットフォルダ３"};
  for (size_t i = 0; i < 3; ++i)
    if (record.snapPaths[i].size() > kMasterPathLimit) return tooLong(folders[i]);
  if (record.defaultMedia.size() > kMasterNameLimit)
    return Jp("デフォルトのメディアタイプ名は") + std::to_string(kMasterNameLimit) + Jp("バイト以内で指定してください。");
  return std::nullopt;
}

std::string MasterInsertSql(MasterKind kind, const MasterRecord& r) {
  if (kind == MasterKind::Machine)
    return "INSERT INTO machine_info_table( machine, machine_icon, search_ext, snap_path, snap_path2, snap_path3, "
           "snap_dtm, default_media ) VALUES( " +
           Q(r.name) + "," + Q(r.icon) + "," + Q(r.searchExt) + "," + Q(r.snapPaths[0]) + "," + Q(r.snapPaths[1]) + "," +
           Q(r.snapPaths[2]) + "," + Q(r.snapDisplay) + "," + Q(r.defaultMedia) + " );";
  const std::string stem = MasterStem(kind);
  return "INSERT INTO " + Table(kind) + "( " + stem + ", " + stem + "_icon ) VALUES( " + Q(r.name) + "," + Q(r.icon) +
         " );";
}

std::string MasterUpdateSql(MasterKind kind, const std::string& oldName, const MasterRecord& r) {
  const std::string stem = MasterStem(kind);
  std::string sql = "UPDATE " + Table(kind) + " SET " + stem + "=" + Q(r.name) + ", " + stem + "_icon=" + Q(r.icon);
  if (kind == MasterKind::Machine)
    sql += ", search_ext=" + Q(r.searchExt) + ", snap_path=" + Q(r.snapPaths[0]) + ", snap_path2=" + Q(r.snapPaths[1]) +
           ", snap_path3=" + Q(r.snapPaths[2]) + ", snap_dtm=" + Q(r.snapDisplay) + ", default_media=" + Q(r.defaultMedia);
  return sql + " WHERE " + stem + "=" + Q(oldName) + ";";
}

std::string MasterDeleteSql(MasterKind kind, const std::string& name) {
  return "DELETE FROM " + Table(kind) + " WHERE " + MasterStem(kind) + "=" + Q(name) + ";";
}

bool IsDuplicateNameError(MasterKind kind, const std::string& errorUtf8) {
  const std::string stem = MasterStem(kind);
  return errorUtf8 == "column " + stem + " is not unique" ||
         errorUtf8 == "UNIQUE constraint failed: " + Table(kind) + "." + stem;
}

bool MayAddMasterRecord(LibraryConnection& db, MasterKind kind, void* owner) {
  if (auto error = db.Query("SELECT COUNT(*) FROM " + Table(kind) + ";")) {
    ShowDbError(Jp("管理テーブルを参照できませんでした。\n"), *error, owner);
    return false;
  }
  if (db.CellInt(1, 0) < kMasterRecordLimit) return true;
  Refuse(Jp("これ以上追加できません。"), owner);
  return false;
}

bool SaveMasterRecord(LibraryConnection& db, MasterKind kind, const std::optional<std::string>& oldName,
                      const MasterRecord& input, const std::string& baseFolder, void* owner) {
  MasterRecord record = input;
  if (kind == MasterKind::Machine) record.searchExt = NormaliseSearchExtensions(record.searchExt);
  if (auto problem = MasterRecordProblem(kind, record)) {
    Refuse(*problem, owner);
    return false;
  }
  const KindMessages& m = Messages(kind);
  std::vector<std::string> statements;
  statements.push_back(oldName ? MasterUpdateSql(kind, *oldName, record) : MasterInsertSql(kind, record));
  if (kind == MasterKind::Machine && oldName) {
    // Asked before anything is written, so that the record and the items
    // change together or not at all.
    if (auto error = db.Query("SELECT default_media FROM machine_info_table WHERE machine=" + Q(*oldName) + ";")) {
      ShowDbError(Jp(m.updateFailed), *error, owner);
      return false;
    }
    if (db.RowCount() == 1 && db.Cell(1, 0) != record.defaultMedia &&
        ShowMessage(Jp("ライブラリ中の「") + *oldName + Jp("」のメディア情報も\n「") + record.defaultMedia +
                        Jp("」に更新しますか？"),
                    Jp("確認"), kMbYesNo | kMbIconQuestion, owner) == kIdYes)
      // The items carry the name they had before this save.
      statements.push_back("UPDATE main_table SET media_name=" + Q(record.defaultMedia) +
                           " WHERE machine_name=" + Q(*oldName) + " ;");
  }
  if (auto error = RunInTransaction(db, statements, oldName.has_value())) {
    if (IsDuplicateNameError(kind, *error))
      ShowMessage(Jp(m.duplicate), Jp("中止"), kMbOk | kMbIconInformation, owner);
    else
      ShowDbError(Jp(oldName ? m.updateFailed : m.insertFailed), *error, owner);
    return false;
  }
  if (kind == MasterKind::Machine && oldName && *oldName != record.name) {
    std::vector<std::string> failed = MoveMachineConfigs(baseFolder, *oldName, record.name);
    if (!failed.empty()) {
      std::string lines;
      for (const std::string& line : failed) lines += "\n" + line;
      ShowMessage(Jp("エミュレータ設定のフォルダまたはファイルの名前を変更できませんでした。") + lines, Jp("エラー"),
                  kMbOk | kMbIconWarning, owner);
    }
  }
  Renumber(db, kind, owner);
  return true;
}

bool DeleteMasterRecord(LibraryConnection& db, MasterKind kind, const std::string& name, void* owner) {
  if (ShowMessage(Jp("「") + name + Jp("」を削除します。\nよろしいですか？"), Jp("削除確認"),
                  kMbYesNo | kMbIconQuestion, owner) != kIdYes)
    return false;
  if (auto error = db.Query(MasterDeleteSql(kind, name))) {
    ShowDbError(Jp("削除エラー\n"), *error, owner);
    return false;
  }
  Renumber(db, kind, owner);
  return true;
}

std::vector<std::string> MoveMachineConfigs(const std::string& baseFolder, const std::string& oldName,
                                            const std::string& newName) {
  std::vector<std::string> failed;
  // A name leading out of emuconf never named a configuration folder.
  if (!IsPlainName(oldName)) return failed;
  const std::string folder = EmuConfFolder(baseFolder) + "\\";
  struct Move {
    std::string from, to;
    bool isFolder;
  } moves[] = {{folder + oldName, folder + newName, true}, {folder + oldName + ".ini", folder + newName + ".ini", false}};
  for (const Move& move : moves) {
    if (move.isFolder ? !DirectoryExists(move.from) : !FileExists(move.from)) continue;
    bool targetTaken = FileExists(move.to) || DirectoryExists(move.to);
    if (!IsPlainName(newName) || targetTaken || !RenameFile(move.from, move.to))
      failed.push_back(move.from + " -> " + move.to);
  }
  return failed;
}

std::optional<RenumberFailure> RenumberMasterTable(LibraryConnection& db, const std::string& stem) {
  if (auto error = db.Query("SELECT " + stem + " FROM " + stem + "_info_table ORDER BY " + stem + ";"))
    return RenumberFailure{Jp("管理テーブルを参照できませんでした。（管理番号ソート）\n") + Utf8ToAnsi(*error),
                           stem};
  std::vector<std::string> names;
  for (int r = 1; r <= db.RowCount(); ++r) names.push_back(db.Cell(r, 0));
  auto updateFailed = [&](const std::string& error) {
    RenumberFailure failure{
        Jp("管理テーブルをアップデートできませんでした。（管理番号ソート）\n") + Utf8ToAnsi(error), stem};
    db.Query("ROLLBACK;");
    return failure;
  };
  if (auto error = db.Query("BEGIN;")) return updateFailed(*error);
  for (size_t i = 0; i < names.size(); ++i) {
    std::string sql = "UPDATE " + stem + "_info_table SET " + stem + "_num=" + std::to_string(i + 1) +
                      " WHERE " + stem + "='" + Quote(names[i]) + "';";
    if (auto error = db.Query(sql)) return updateFailed(*error);
  }
  if (auto error = db.Query("COMMIT;")) return updateFailed(*error);
  return std::nullopt;
}

std::optional<std::string> MovedIconPath(MasterKind kind, const std::string& path, const std::string& programFolder) {
  const std::string marker = std::string("\\default_icon\\") + MasterIconFolder(kind) + "\\";
  size_t found = std::string::npos;
  for (size_t at = FindIgnoringCase(path, marker); at != std::string::npos; at = FindIgnoringCase(path, marker, at + 1))
    found = at;
  if (found == std::string::npos) return std::nullopt;
  std::string base = programFolder;
  if (EndsWithSeparator(base)) base.pop_back();
  std::string moved = base + path.substr(found);
  if (moved == path) return std::nullopt;
  return moved;
}

void RepairMasterIconPaths(LibraryConnection& db, MasterKind kind, const std::string& programFolder, void* owner) {
  const std::string stem = MasterStem(kind);
  const std::string column = stem + "_icon";
  if (auto error = db.Query("SELECT DISTINCT " + column + " FROM " + Table(kind) + " WHERE " + column + "<>'';")) {
    ShowMessage(Jp("アイコンパス修復失敗:") + Utf8ToAnsi(*error), Jp("エラー"), kMbOk | kMbIconError, owner);
    return;
  }
  std::vector<std::pair<std::string, std::string>> repairs;
  for (int r = 1; r <= db.RowCount(); ++r) {
    std::string path = db.Cell(r, 0);
    if (FileExists(path)) continue;
    if (auto moved = MovedIconPath(kind, path, programFolder)) repairs.emplace_back(path, *moved);
  }
  if (repairs.empty()) return;
  auto report = [&](const std::string& error) {
    ShowMessage(Jp("アイコンパス修復失敗:") + Utf8ToAnsi(error), Jp("エラー"), kMbOk | kMbIconError, owner);
  };
  if (auto error = db.Query("BEGIN;")) return report(*error);
  for (const auto& [from, to] : repairs)
    if (auto error = db.Query("UPDATE " + Table(kind) + " SET " + column + " = " + Q(to) + " WHERE " + column + " = " +
                              Q(from) + ";"))
      report(*error);
  if (auto error = db.Query("COMMIT;")) {
    report(*error);
    db.Query("ROLLBACK;");
  }
}

}  // namespace vel
