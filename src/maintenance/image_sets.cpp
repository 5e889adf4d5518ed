#include "maintenance/image_sets.h"

#include <algorithm>

#include "core/cp932_text.h"
#include "db/library_connection.h"
#include "launch/archive_names.h"
#include "maintenance/import_rules.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/file_operations.h"
#include "platform/folder_tree.h"
#include "platform/system.h"

namespace vel {
namespace {

const char* const kModifiedNow = "modify=datetime('now','localtime')";

void ShowDatabaseError(const char* text, const std::string& error, void* owner,
                       unsigned icon = kMbIconError) {
  ShowMessage(Jp(text) + Utf8ToAnsi(error), Jp("DBエラー"), kMbOk | icon, owner);
}

void Refuse(const char* text, void* owner, unsigned icon = kMbIconError) {
  ShowMessage(Jp(text), Jp("中止"), kMbOk | icon, owner);
}

struct ItemFacts {
  int ply = 0;
  std::string machine;
};

// The disk number and machine of an item; nullopt when it is not in the
// library or the lookup failed (then shown).
std::optional<ItemFacts> ReadItemFacts(LibraryConnection& db, const std::string& key, void* owner) {
  if (auto error = db.Query("SELECT ply, machine_name FROM main_table WHERE file_name='" + Quote(key) + "';")) {
    ShowDatabaseError("メインテーブルを参照できませんでした。\n", *error, owner);
    return std::nullopt;
  }
  if (db.RowCount() < 1) return std::nullopt;
  return ItemFacts{DiskNumber(db.Cell(1, 0)), db.Cell(1, 1)};
}

// Whether the image has a copy; nullopt when the lookup failed (shown).
std::optional<bool> HasAlterEgo(LibraryConnection& db, const std::string& key, void* owner) {
  if (auto error = db.Query("SELECT 1 FROM alter_ego_table WHERE pfile_ae ='" + Quote(key) + "' LIMIT 1;")) {
    ShowDatabaseError("分身テーブルを参照できませんでした。\n", *error, owner);
    return std::nullopt;
  }
  return db.RowCount() > 0;
}

// Runs the statements between "BEGIN;" and "COMMIT;"; the first failure is
// shown with `failureText`, rolls everything back and ends the run.
bool RunInTransaction(LibraryConnection& db, const std::vector<std::string>& statements,
                      const char* failureText, void* owner) {
  if (auto error = db.Query("BEGIN;")) {
    ShowDatabaseError(failureText, *error, owner);
    return false;
  }
  for (const std::string& sql : statements) {
    if (auto error = db.Query(sql)) {
      ShowDatabaseError(failureText, *error, owner);
      db.Query("ROLLBACK;");
      return false;
    }
  }
  if (auto error = db.Query("COMMIT;")) {
    ShowDatabaseError(failureText, *error, owner);
    db.Query("ROLLBACK;");
    return false;
  }
  return true;
}

void RebuildAndReport(LibraryConnection& db, void* owner) {
  if (auto error = RebuildMaxDiskTable(db)) ShowDatabaseError("メインテーブルを更新できませんでした。\n", *error, owner);
}

// Moves a renamed copy back to its own name. True when the copy has its own
// name afterwards (also when it never lost it).
bool PutBack(const std::string& renamed, const std::string& own, bool& moved) {
  moved = false;
  if (renamed.empty() || renamed == own) return true;
  if (RenameFile(renamed, own)) {
    moved = true;
    return true;
  }
  return !FileExists(renamed) && FileExists(own);
}

std::string FolderWithoutSeparator(const std::string& path) {
  std::string folder = path;
  while (EndsWithSeparator(folder)) folder.pop_back();
  return folder;
}

bool IsDeviceName(const std::string& name) {
  for (const char* device : {"AUX", "CLOCK$", "CON", "CONFIG$", "NUL", "PRN"})
    if (EqualsIgnoringCase(name, device)) return true;
  for (const char* prefix : {"COM", "LPT"})
    for (char digit = '1'; digit <= '9'; ++digit)
      if (EqualsIgnoringCase(name, std::string(prefix) + digit)) return true;
  return false;
}

bool IsForbiddenInName(char c) {
  return std::string_view("\\/<>:|?*\"\n\r\t").find(c) != std::string_view::npos;
}

// The text without the single-byte characters for which `drop` is true.
template <typename Predicate>
std::string WithoutCharacters(const std::string& text, Predicate drop) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    size_t length = CharacterLength(text, i);
    if (length != 1 || !drop(text[i])) out.append(text, i, length);
    i += length;
  }
  return out;
}

// The file an image is copied or extracted to inside `folder` (which ends
// in a backslash).
std::string CopyName(const std::string& key, const std::string& title, const std::string& ext) {
  if (KeyMember(key).empty()) return ext.empty() ? title : title + "." + ext;
  return OwnFileName(KeyMember(key));
}

// Copies a plain image or extracts an archive member into the new folder,
// never over a file that is there (two images of one name in a set).
// The copy's path, or nullopt when it could not be placed.
std::optional<std::string> PlaceCopy(const std::string& key, const std::string& title, const std::string& ext,
                                     const std::string& folder, const MemberExtractor& extract) {
  std::string name = CopyName(key, title, ext);
  std::string target = folder + name;
  if (name.empty() || FileExists(target)) return std::nullopt;
  if (KeyMember(key).empty()) {
    if (!CopyOneFile(key, target, CopyMode::kKeepExisting)) return std::nullopt;
  } else if (!extract || extract(KeyFilePath(key), KeyMember(key), folder) != 0 || !FileExists(target)) {
    return std::nullopt;
  }
  return target;
}

struct SetImage {
  std::string key, title, ext;
  int ply = 0;
};

}  // namespace

std::optional<std::string> RebuildMaxDiskTable(LibraryConnection& db) {
  if (auto error = db.Query("DELETE FROM tmp_maxdisk;")) return error;
  return db.Query(
      "INSERT INTO tmp_maxdisk  SELECT ply_file_name, max(ply) FROM main_table WHERE ply>1 GROUP BY ply_file_name;");
}

bool JoinImages(LibraryConnection& db, const std::string& target, const std::vector<std::string>& dragged,
                void* owner) {
  if (dragged.empty()) return false;
  std::optional<bool> marked = HasAlterEgo(db, target, owner);
  if (!marked) return false;
  if (*marked) {
    Refuse("分身起動アイテムへはドロップできません。", owner, kMbIconInformation);
    return false;
  }
  if (std::find(dragged.begin(), dragged.end(), target) != dragged.end()) return false;
  std::optional<ItemFacts> head = ReadItemFacts(db, target, owner);
  if (!head) return false;
  if (head->ply >= 2) {
    Refuse("子イメージへは結合できません", owner);
    return false;
  }
  std::vector<std::string> members;
  bool otherMachine = false;
  for (const std::string& key : dragged) {
    std::optional<ItemFacts> item = ReadItemFacts(db, key, owner);
    if (!item) continue;  // no longer in the library
    if (item->ply != 0) {
      Refuse("複数イメージ状態のアイテムは、他と結合できません。\n複数イメージ状態を解除してから結合してください。",
             owner);
      return false;
    }
    otherMachine = otherMachine || item->machine != head->machine;
    members.push_back(key);
  }
  if (members.empty()) return false;
  if (otherMachine &&
      ShowMessage(Jp("異なる機種のイメージを複数イメージにしようとしています。\n複数イメージに設定しますか？"),
                  Jp("確認"), kMbYesNo | kMbIconQuestion, owner) != kIdYes)
    return false;

  int next = 2;
  if (head->ply != 0) {
    if (auto error = db.Query("SELECT ply FROM main_table WHERE ply_file_name='" + Quote(target) +
                              "' ORDER BY ply DESC LIMIT 1;")) {
      ShowDatabaseError("メインテーブルを参照できませんでした。\n", *error, owner);
      return false;
    }
    // A parent whose children are gone still numbers its new ones from 2.
    if (db.RowCount() > 0) next = std::max(next, DiskNumber(db.Cell(1, 0)) + 1);
  }
  std::vector<std::string> statements = {"UPDATE main_table SET ply=1," + std::string(kModifiedNow) +
                                         " WHERE file_name='" + Quote(target) + "' ;"};
  for (const std::string& key : members)
    statements.push_back("UPDATE main_table SET ply=" + std::to_string(next++) + ", ply_file_name='" +
                         Quote(target) + "', " + kModifiedNow + " WHERE file_name='" + Quote(key) + "' ;");
  bool joined = RunInTransaction(db, statements, "メインテーブルを更新できませんでした。\n", owner);
  RebuildAndReport(db, owner);
  return joined;
}

bool SplitImageSet(LibraryConnection& db, const std::string& parent, void* owner) {
  std::optional<ItemFacts> head = ReadItemFacts(db, parent, owner);
  if (!head || head->ply != 1) return false;
  std::optional<bool> marked = HasAlterEgo(db, parent, owner);
  if (!marked) return false;
  if (*marked) {
    Refuse("分身起動アイテムは複数ディスク状態を解除できません。\n分身を解除してから再度複数ディスク状態を解除して下さい。",
           owner, kMbIconInformation);
    return false;
  }
  if (auto error = db.Query("UPDATE main_table SET ply=0, ply_file_name='' ," + std::string(kModifiedNow) +
                            " WHERE file_name='" + Quote(parent) + "' OR ply_file_name='" + Quote(parent) +
                            "' ;")) {
    ShowDatabaseError("メインテーブルを更新できませんでした。\n", *error, owner);
    return false;
  }
  RebuildAndReport(db, owner);
  return true;
}

std::optional<std::string> AlterEgoPath(LibraryConnection& db, const std::string& key, void* owner) {
  if (auto error = db.Query("SELECT ae_file FROM alter_ego_table WHERE pfile_ae ='" + Quote(key) + "';")) {
    ShowDatabaseError("getAlterFilePath:分身作成先フォルダの格納エラー\n", *error, owner);
    return std::nullopt;
  }
  return db.RowCount() > 0 ? db.Cell(1, 0) : std::string();
}

bool RestoreAlterEgoNames(LibraryConnection& db, const std::string& key, void* owner) {
  const std::string ofItem = "pfile_ae ='" + Quote(key) + "' OR ply_pfile_ae ='" + Quote(key) + "'";
  if (auto error = db.Query("SELECT ae_file, ren_file_name FROM alter_ego_table WHERE " + ofItem + ";")) {
    ShowDatabaseError("backReNameAlterName:対象選出エラー\n", *error, owner, kMbIconWarning);
    return false;
  }
  std::vector<std::pair<std::string, std::string>> copies;  // own name, temporary name
  for (int row = 1; row <= db.RowCount(); ++row) copies.emplace_back(db.Cell(row, 0), db.Cell(row, 1));
  std::vector<std::string> clears;
  std::string stuck;
  for (const auto& [own, renamed] : copies) {
    bool moved = false;
    if (PutBack(renamed, own, moved)) {
      clears.push_back(own);
    } else {
      stuck += "\n" + renamed + " -> " + own;
    }
    if (moved) SleepMs(100);
  }
  std::string clear = "UPDATE alter_ego_table SET ren_file_name = '' WHERE " + ofItem + ";";
  if (!stuck.empty()) {
    // Only the copies that have their names back forget the temporary one.
    clear = "BEGIN;";
    for (const std::string& own : clears)
      clear += "UPDATE alter_ego_table SET ren_file_name = '' WHERE (" + ofItem + ") AND ae_file ='" +
               Quote(own) + "';";
    clear += "COMMIT;";
  }
  if (auto error = db.Query(clear)) {
    if (!stuck.empty()) db.Query("ROLLBACK;");
    ShowDatabaseError("backReNameAlterName:リネーム情報消去エラー\n", *error, owner, kMbIconWarning);
    return false;
  }
  if (stuck.empty()) return true;
  ShowMessage(Jp("分身のファイル名を元に戻せませんでした。") + stuck, Jp("エラー"), kMbOk | kMbIconWarning, owner);
  return false;
}

int RecoverAlterEgoNames(LibraryConnection& db, void* owner) {
  if (auto error = db.Query("SELECT pfile_ae, ae_file, ren_file_name FROM alter_ego_table "
                            "WHERE ren_file_name IS NOT NULL AND ren_file_name <> '';")) {
    ShowDatabaseError("分身テーブルを参照できませんでした。\n", *error, owner, kMbIconWarning);
    return 0;
  }
  struct Left {
    std::string item, own, renamed;
  };
  std::vector<Left> left;
  for (int row = 1; row <= db.RowCount(); ++row) left.push_back({db.Cell(row, 0), db.Cell(row, 1), db.Cell(row, 2)});
  int restored = 0;
  std::string done, stuck;
  for (const Left& copy : left) {
    bool moved = false;
    if (!PutBack(copy.renamed, copy.own, moved)) {
      stuck += "\n" + copy.renamed + " -> " + copy.own;
      continue;
    }
    if (auto error = db.Query("UPDATE alter_ego_table SET ren_file_name = '' WHERE pfile_ae ='" + Quote(copy.item) +
                              "' AND ae_file ='" + Quote(copy.own) + "';")) {
      ShowDatabaseError("backReNameAlterName:リネーム情報消去エラー\n", *error, owner, kMbIconWarning);
      return restored;
    }
    ++restored;
    if (moved) done += "\n" + copy.renamed + " -> " + copy.own;
  }
  if (!done.empty())
    ShowMessage(Jp("前回エミュレータの実行中に終了したため、名前が変わったままの分身を元の名前に戻しました。") + done,
                "", kMbOk | kMbIconInformation, owner);
  if (!stuck.empty())
    ShowMessage(Jp("分身のファイル名を元に戻せませんでした。") + stuck, Jp("エラー"), kMbOk | kMbIconWarning, owner);
  return restored;
}

bool IsValidFolderName(const std::string& name) {
  if (name.empty() || IsDeviceName(name)) return false;
  if (name.find_first_not_of('.') == std::string::npos) return false;  // "." and ".." name other folders
  return WithoutCharacters(name, IsForbiddenInName) == name;
}

std::string AlterEgoSubfolderName(const std::string& machine, const std::string& fileTitle) {
  std::string name = WithoutCharacters(machine + "_" + fileTitle, [](char c) { return c == ' '; });
  if (IsValidFolderName(name)) return name;
  return WithoutCharacters(name, [](char c) { return c == '.' || IsForbiddenInName(c); });
}

AlterEgoFolder AlterEgoFolderOf(const std::string& copyPath) {
  std::string folder = copyPath.substr(0, copyPath.size() - NameOf(copyPath).size());
  folder = FolderWithoutSeparator(folder);
  std::string sub = NameOf(folder);
  return {folder.substr(0, folder.size() - sub.size()), sub};
}

bool CreateAlterEgo(LibraryConnection& db, const std::string& key, const std::string& base, const std::string& sub,
                    const MemberExtractor& extract, void* owner) {
  if (CharacterCount(base) <= 2) {
    Refuse("ベースフォルダを指定してください。", owner);
    return false;
  }
  if (sub.empty()) {
    Refuse("サブフォルダ名を入力してください。", owner);
    return false;
  }
  if (!IsValidFolderName(sub)) {
    Refuse("サブフォルダに使用不可な文字が含まれています。", owner);
    return false;
  }
  const std::string folder = base + (EndsWithSeparator(base) ? "" : "\\") + sub + "\\";
  if (folder.size() > kAlterEgoFolderBytes) {
    Refuse("フォルダパスが長すぎます。", owner);
    return false;
  }
  if (auto error = db.Query("SELECT file_title, file_ext, ply FROM main_table WHERE file_name='" + Quote(key) + "';")) {
    ShowDatabaseError("メインテーブルを参照できませんでした。\n", *error, owner);
    return false;
  }
  if (db.RowCount() < 1) return false;
  const SetImage item{key, db.Cell(1, 0), db.Cell(1, 1), DiskNumber(db.Cell(1, 2))};

  switch (CreateNewFolder(folder)) {
    case NewFolderResult::kCreated: break;
    case NewFolderResult::kAlreadyExists: Refuse("既に同名のフォルダが存在しているようです。", owner); return false;
    case NewFolderResult::kFailed: Refuse("フォルダを作成出来ませんでした。", owner); return false;
  }
  bool begun = false;
  // Every failure takes the transaction and the new folder back; database
  // failures carry the database's own text after the fixed one.
  auto fail = [&](const char* text, const std::string& error = std::string()) {
    if (begun) db.Query("ROLLBACK;");
    RemoveFolderTree(folder);
    ShowMessage(Jp(text) + Utf8ToAnsi(error), Jp("中止"), kMbOk | kMbIconError, owner);
    return false;
  };

  std::optional<std::string> copy = PlaceCopy(item.key, item.title, item.ext, folder, extract);
  if (!copy) return fail("イメージファイルのコピー又は解凍に失敗しました。");
  if (auto error = db.Query("BEGIN TRANSACTION;")) return fail("分身テーブルに格納できませんでした。\n", *error);
  begun = true;
  if (auto error = db.Query("INSERT INTO alter_ego_table( pfile_ae, ae_file, alter_ego ) VALUES( '" + Quote(key) +
                            "','" + Quote(*copy) + "','1' );"))
    return fail("分身テーブルに格納できませんでした。\n", *error);
  if (item.ply == 1) {
    if (auto error = db.Query("SELECT file_name, file_title, file_ext, file_arc_title, file_arc_ext, ply FROM main_table "
                              "WHERE ply_file_name ='" + Quote(key) + "' AND ply > 1 ORDER BY ply;"))
      return fail("子イメージを選出できませんでした。\n", *error);
    std::vector<SetImage> children;
    for (int row = 1; row <= db.RowCount(); ++row)
      children.push_back({db.Cell(row, 0), db.Cell(row, 1), db.Cell(row, 2), DiskNumber(db.Cell(row, 5))});
    for (size_t i = 0; i < children.size(); ++i) {
      std::optional<std::string> childCopy = PlaceCopy(children[i].key, children[i].title, children[i].ext, folder, extract);
      if (!childCopy) return fail("子イメージのコピー又は解凍が出来ませんでした。");
      if (auto error = db.Query("INSERT INTO alter_ego_table( pfile_ae, ae_file, alter_ego, ply_pfile_ae ) VALUES( '" +
                                Quote(children[i].key) + "','" + Quote(*childCopy) + "','" + std::to_string(i + 2) +
                                "','" + Quote(key) + "' );"))
        return fail("分身テーブルに格納できませんでした。\n", *error);
    }
  }
  if (auto error = db.Query("COMMIT;")) return fail("分身テーブルに格納できませんでした。\n", *error);
  return true;
}

bool ReleaseAlterEgo(LibraryConnection& db, const std::string& key, void* owner) {
  std::optional<std::string> copy = AlterEgoPath(db, key, owner);
  if (!copy || copy->empty()) return false;
  AlterEgoFolder parts = AlterEgoFolderOf(*copy);
  // Only a subfolder of a base folder is ever deleted, never a drive or a root.
  if (parts.sub.empty() || !IsValidFolderName(parts.sub) || CharacterCount(parts.base) <= 2) {
    ShowMessage(Jp("分身作成先フォルダを削除できませんでした。\n") + *copy, Jp("中止"), kMbOk | kMbIconError, owner);
    return false;
  }
  const std::string folder = parts.base + parts.sub;
  if (!RemoveFolderTree(folder)) {
    if (DirectoryExists(folder)) {
      Refuse("分身作成先フォルダを削除できませんでした。\nファイルが使用中の可能性があります。", owner);
      return false;
    }
    if (ShowMessage(Jp("分身作成先フォルダを削除できませんでした。\n既に削除されている可能性があります。\n\n"
                       "データベースの分身情報も削除しますか？"),
                    Jp("確認"), kMbYesNo | kMbIconQuestion, owner) != kIdYes)
      return false;
  }
  if (auto error = db.Query("DELETE FROM alter_ego_table WHERE pfile_ae = '" + Quote(key) + "' OR ply_pfile_ae = '" +
                            Quote(key) + "';")) {
    ShowMessage(Jp("分身テーブルから情報を削除できませんでした。\n") + Utf8ToAnsi(*error), Jp("エラー"),
                kMbOk | kMbIconError, owner);
    return false;
  }
  return true;
}

int DiskNumber(const std::string& text) {
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = std::min(value * 10 + (c - '0'), 1000000);
  }
  return value;
}

}  // namespace vel
