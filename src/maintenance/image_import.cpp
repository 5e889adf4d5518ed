#include "maintenance/image_import.h"

#include <algorithm>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "core/cp932_text.h"
#include "db/library_connection.h"
#include "maintenance/image_crc.h"
#include "maintenance/image_sets.h"
#include "maintenance/image_scanner.h"
#include "maintenance/import_job.h"
#include "maintenance/import_options.h"
#include "maintenance/import_progress.h"
#include "maintenance/import_rules.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"
#include "platform/system.h"

namespace vel {
namespace {

struct ItemRow {
  std::string key;
  DerivedText text;
  std::string crc32;  // "" when not computed
  std::string crc16;
  int ply = 0;
  std::string plyParent;
};

// The images of one archive or one folder, in launch order; a set when asked
// and there are several.
struct ImportGroup {
  std::vector<ItemRow> rows;
  bool asSet = false;
};

// A row as the library holds it.
struct StoredItem {
  std::string key;
  int ply = 0;
  std::string parent;  // ply_file_name
  std::string title;
};

const char* const kModifiedNow = "datetime('now','localtime')";

std::string Q(const std::string& text) { return "'" + Quote(text) + "'"; }

std::string InList(const std::vector<std::string>& keys) {
  std::string list;
  for (size_t i = 0; i < keys.size(); ++i) list += (i ? "," : "") + Q(keys[i]);
  return list;
}

// The set a row belongs to: its parent's key, "" for a single image.
std::string SetOf(const StoredItem& item) {
  if (item.ply == 1) return item.key;
  return item.ply >= 2 ? item.parent : std::string();
}

// Disks are launched in the order of their image names, as an import lists them.
bool LaunchOrderLess(const std::string& a, const std::string& b) {
  auto name = [](const std::string& key) {
    std::string member = KeyMember(key);
    return member.empty() ? NameOf(key) : member;
  };
  int byName = NaturalCompare(name(a), name(b));
  return byName != 0 ? byName < 0 : NaturalCompare(a, b) < 0;
}

class RowWriter {
 public:
  RowWriter(LibraryConnection& db, const ImportJob& options, ImportSummary& summary,
            ImportProgress& progress)
      : db_(db), options_(options), summary_(summary), progress_(progress), converter_(options.symbols) {}

  // False once a batch could not be written. A set is never split between
  // batches; other images go in batches of their own size.
  bool Add(ImportGroup group) {
    if (!group.asSet && group.rows.size() > 1) {
      for (ItemRow& row : group.rows)
        if (!Add(ImportGroup{{std::move(row)}, false})) return false;
      return true;
    }
    pendingRows_ += group.rows.size();
    pending_.push_back(std::move(group));
    return pendingRows_ < static_cast<size_t>(kImportBatchRows) || Flush();
  }

  bool Flush() {
    if (pending_.empty()) return true;
    std::vector<std::string> keys;
    for (const ImportGroup& group : pending_)
      for (const ItemRow& row : group.rows) keys.push_back(row.key);
    std::map<std::string, StoredItem> stored;
    if (auto error = LookUp(keys, stored)) return Fail(*error);

    int added = 0, overwritten = 0, present = 0, titlesChanged = 0;
    // The batch is one transaction. Its statements run in pieces: a set is
    // planned from the library as the batch's earlier statements left it.
    bool began = false;
    std::string sql;
    auto run = [&]() -> std::optional<std::string> {
      if (sql.empty()) return std::nullopt;
      if (!began) sql = "BEGIN;\n" + sql;
      began = true;
      auto error = db_.Query(sql);
      sql.clear();
      return error;
    };
    auto fail = [&](const std::string& error) {
      if (began) db_.Query("ROLLBACK;");
      return Fail(error);
    };
    for (ImportGroup& group : pending_) {
      std::string setSql;
      if (group.asSet && group.rows.size() > 1) {
        bool holdsAny = std::any_of(group.rows.begin(), group.rows.end(),
                                    [&stored](const ItemRow& row) { return stored.count(row.key) > 0; });
        if (holdsAny)
          if (auto error = run()) return fail(*error);
        if (auto error = PlanSet(group, stored, setSql)) return fail(*error);
      }
      for (const ItemRow& row : group.rows) {
        auto found = stored.find(row.key);
        if (found == stored.end()) {
          sql += InsertSql(row);
          ++added;
        } else if (options_.overwrite) {
          sql += UpdateSql(row, found->second);
          if (!options_.keepFavourites)
            sql += "DELETE FROM favorite_table WHERE pfile_fv=" + Q(found->second.key) + ";\n";
          ++overwritten;
          if (found->second.title != row.text.title) ++titlesChanged;
        } else {
          ++present;
        }
      }
      sql += setSql;
    }
    if (auto error = run()) return fail(*error);
    if (began)
      if (auto error = db_.Query("COMMIT;")) return fail(*error);
    summary_.added += added;
    summary_.overwritten += overwritten;
    summary_.alreadyPresent += present;
    summary_.titlesChanged += titlesChanged;
    pending_.clear();
    pendingRows_ = 0;
    return true;
  }

 private:
  bool Fail(const std::string& error) {
    progress_.Log(Jp("メインテーブルに格納できませんでした。") + Utf8ToAnsi(error));
    summary_.failed = true;
    summary_.skipped += static_cast<int>(pendingRows_);
    pending_.clear();
    pendingRows_ = 0;
    return false;
  }

  // The rows of `keys` that the library holds, by the import's key. A key
  // is the same image when it differs only in the case of its letters, as
  // the file system sees it (the stored key is the one kept); the library
  // holds UTF-8, where a letter is always a character of its own.
  std::optional<std::string> LookUp(const std::vector<std::string>& keys, std::map<std::string, StoredItem>& found) {
    auto read = [this](int r) {
      return StoredItem{db_.Cell(r, 0), DiskNumber(db_.Cell(r, 1)), db_.Cell(r, 2), db_.Cell(r, 3)};
    };
    if (auto error = db_.Query("SELECT file_name, ply, ply_file_name, title FROM main_table WHERE file_name IN (" +
                               InList(keys) + ");"))
      return error;
    std::set<std::string> claimed;
    for (int r = 1; r <= db_.RowCount(); ++r) {
      found[db_.Cell(r, 0)] = read(r);
      claimed.insert(db_.Cell(r, 0));
    }
    std::vector<std::string> rest;
    for (const std::string& key : keys)
      if (!found.count(key)) rest.push_back(key);
    if (rest.empty()) return std::nullopt;
    if (auto error = db_.Query("SELECT file_name, ply, ply_file_name, title FROM main_table WHERE file_name COLLATE NOCASE IN (" +
                               InList(rest) + ") ORDER BY file_name;"))
      return error;
    for (const std::string& key : rest)
      for (int r = 1; r <= db_.RowCount(); ++r) {
        std::string storedKey = db_.Cell(r, 0);
        if (claimed.count(storedKey) || !EqualsIgnoringCase(storedKey, key)) continue;
        found[key] = read(r);
        claimed.insert(storedKey);
        break;
      }
    return std::nullopt;
  }

  // Numbers a set in launch order: a new set, or one the library already
  // holds that this import adds images to (the whole set is numbered again:
  // parent 1, children 2..n, each child naming the parent). New rows get
  // their numbers here; rows the library holds get an UPDATE in `sql`. An
  // image of another set, or one with an alter ego, stays as it is (logged).
  std::optional<std::string> PlanSet(ImportGroup& group, const std::map<std::string, StoredItem>& stored,
                                     std::string& sql) {
    struct Member {
      StoredItem item;
      bool exists = false;
      ItemRow* row = nullptr;
    };
    std::vector<Member> members;
    bool anyNew = false;
    std::vector<std::string> existing;
    for (ItemRow& row : group.rows) {
      auto found = stored.find(row.key);
      Member m;
      m.row = &row;
      m.exists = found != stored.end();
      m.item = m.exists ? found->second : StoredItem{row.key, 0, ""};
      if (m.exists) existing.push_back(m.item.key);
      anyNew = anyNew || !m.exists;
      members.push_back(m);
    }
    // Without new images and without overwrite, registered images stay as they were.
    if (!anyNew && !options_.overwrite) return std::nullopt;
    // Their sets as they are now (an earlier set of this batch may have changed them).
    if (!existing.empty()) {
      if (auto error = db_.Query("SELECT file_name, ply, ply_file_name FROM main_table WHERE file_name IN (" +
                                 InList(existing) + ");"))
        return error;
      for (int r = 1; r <= db_.RowCount(); ++r)
        for (Member& m : members)
          if (m.exists && m.item.key == db_.Cell(r, 0)) {
            m.item.ply = DiskNumber(db_.Cell(r, 1));
            m.item.parent = db_.Cell(r, 2);
          }
    }

    std::string target;
    for (const Member& m : members)
      if (m.exists && !SetOf(m.item).empty()) {
        target = SetOf(m.item);
        break;
      }
    std::vector<Member> set;
    if (!target.empty()) {
      if (auto error = db_.Query("SELECT file_name, ply, ply_file_name FROM main_table WHERE file_name=" + Q(target) +
                                 " OR ply_file_name=" + Q(target) + ";"))
        return error;
      for (int r = 1; r <= db_.RowCount(); ++r) {
        Member m;
        m.item = StoredItem{db_.Cell(r, 0), DiskNumber(db_.Cell(r, 1)), db_.Cell(r, 2)};
        m.exists = true;
        set.push_back(m);
      }
      existing.push_back(target);
    }
    std::set<std::string> withCopies;
    if (!existing.empty()) {
      std::string list = InList(existing);
      if (auto error = db_.Query("SELECT pfile_ae, ifnull(ply_pfile_ae,'') FROM alter_ego_table WHERE pfile_ae IN (" +
                                 list + ") OR ply_pfile_ae IN (" + list + ");"))
        return error;
      for (int r = 1; r <= db_.RowCount(); ++r)
        for (int c = 0; c < 2; ++c)
          if (!db_.Cell(r, c).empty()) withCopies.insert(db_.Cell(r, c));
    }
    if (!target.empty() && withCopies.count(target)) {
      progress_.Log(Jp("分身のある複数イメージのため、イメージを加えませんでした: ") + target);
      return std::nullopt;
    }

    auto inSet = [&set](const std::string& key) {
      return std::any_of(set.begin(), set.end(), [&key](const Member& m) { return m.item.key == key; });
    };
    for (Member& m : members) {
      if (inSet(m.item.key)) {
        for (Member& s : set)
          if (s.item.key == m.item.key) s.row = m.row;
        continue;
      }
      if (m.exists && !SetOf(m.item).empty()) {
        progress_.Log(Jp("別の複数イメージに含まれているため、複数イメージに加えませんでした: ") + m.item.key);
        continue;
      }
      if (m.exists && withCopies.count(m.item.key)) {
        progress_.Log(Jp("分身のあるイメージのため、複数イメージに加えませんでした: ") + m.item.key);
        continue;
      }
      set.push_back(m);
    }
    const size_t joining = set.size() - std::count_if(set.begin(), set.end(), [&](const Member& m) {
                             return !target.empty() && SetOf(m.item) == target;
                           });
    if (joining == 0 || set.size() < 2) return std::nullopt;

    std::stable_sort(set.begin(), set.end(),
                     [](const Member& a, const Member& b) { return LaunchOrderLess(a.item.key, b.item.key); });
    const std::string& parent = set.front().item.key;
    if (!target.empty() && parent != target)
      progress_.Log(Jp("複数イメージの親イメージが変わりました: ") + target + " -> " + parent);
    for (size_t i = 0; i < set.size(); ++i) {
      const int ply = static_cast<int>(i) + 1;
      const std::string plyParent = i == 0 ? std::string() : parent;
      Member& m = set[i];
      if (!m.exists) {
        m.row->ply = ply;
        m.row->plyParent = plyParent;
      } else if (m.item.ply != ply || m.item.parent != plyParent) {
        sql += "UPDATE main_table SET ply=" + std::to_string(ply) + ", ply_file_name=" + Q(plyParent) +
               ", modify=" + kModifiedNow + " WHERE file_name=" + Q(m.item.key) + ";\n";
      }
    }
    return std::nullopt;
  }

  std::string InsertSql(const ItemRow& row) const {
    KeyParts parts = SplitItemKey(row.key);
    const DerivedText& t = row.text;
    return "INSERT INTO main_table(file_name, file_arc_title, file_arc_ext, file_title, file_ext, "
           "machine_name, title, smart_title, kana, maker, sale_year, developer, country, rom_num, "
           "adult, rating, version, genre_name, media_name, tag, boot_count, last_boot, ply, "
           "ply_file_name, crc32, crc, play_time, modify, associate) VALUES(" +
           Q(row.key) + "," + Q(parts.memberTitle) + "," + Q(parts.memberExt) + "," + Q(parts.fileTitle) +
           "," + Q(parts.fileExt) + "," + Q(options_.machine) + "," + Q(t.title) + "," +
           // The smart-form search finds a new item at once.
           Q(SmartTitle(converter_, t.title)) + ",''," +
           Q(t.maker) + "," + Q(t.saleYear.empty() ? "0" : t.saleYear) + ",''," + Q(t.country) +
           ",'0'," + (options_.adult ? "'1'" : "'0'") + ",'0'," + Q(t.version) + "," +
           Q(options_.genre) + "," + Q(options_.media) + ",'','0',''," + Q(std::to_string(row.ply)) +
           "," + Q(row.plyParent) + "," + Q(row.crc32) + "," + Q(row.crc16) + ",''," + kModifiedNow +
           ",'');\n";
  }

  // An overwrite writes what this import derives and nothing else: the
  // reading, rating, launches, play time, the memo and the other tables stay,
  // a rule that found nothing leaves the column as it was, and the disk
  // numbers are the set's (PlanSet).
  std::string UpdateSql(const ItemRow& row, const StoredItem& stored) const {
    KeyParts parts = SplitItemKey(stored.key);
    const DerivedText& t = row.text;
    std::string set = "file_arc_title=" + Q(parts.memberTitle) + ", file_arc_ext=" + Q(parts.memberExt) +
                      ", file_title=" + Q(parts.fileTitle) + ", file_ext=" + Q(parts.fileExt) +
                      ", machine_name=" + Q(options_.machine) + ", title=" + Q(t.title);
    // The smart title follows a new title; the reading may be the user's and stays.
    if (stored.title != t.title) set += ", smart_title=" + Q(SmartTitle(converter_, t.title));
    auto optional = [&set](const char* column, const std::string& value) {
      if (!value.empty()) set += std::string(", ") + column + "=" + Q(value);
    };
    optional("maker", t.maker);
    optional("sale_year", t.saleYear);
    optional("country", t.country);
    optional("version", t.version);
    optional("genre_name", options_.genre);
    optional("media_name", options_.media);
    optional("crc32", row.crc32);
    optional("crc", row.crc16);
    if (options_.adult) set += ", adult='1'";
    return "UPDATE main_table SET " + set + ", modify=" + kModifiedNow + " WHERE file_name=" + Q(stored.key) +
           ";\n";
  }

  LibraryConnection& db_;
  const ImportJob& options_;
  ImportSummary& summary_;
  ImportProgress& progress_;
  std::vector<ImportGroup> pending_;
  size_t pendingRows_ = 0;
  TitleConverter converter_;
};

class Importer {
 public:
  Importer(LibraryConnection& db, const ImportJob& options, std::vector<std::string> extensions,
           ArchiveLister* archives, ImportProgress& progress, ImportSummary& summary)
      : options_(options), progress_(progress), summary_(summary),
        writer_(db, options, summary, progress), crcReader_(archives), extensions_(std::move(extensions)) {}

  void Run(const std::vector<FolderFiles>& folders) {
    int total = 0;
    for (const FolderFiles& f : folders) total += static_cast<int>(f.files.size());
    progress_.Range(total);
    int done = 0;
    for (const FolderFiles& folder : folders) {
      std::vector<std::string> plain;
      for (const std::string& path : folder.files) {
        if (progress_.StopRequested()) {
          summary_.stopped = true;
          break;
        }
        progress_.Item(path);
        progress_.Step(++done);
        if (IsArchiveName(path) && options_.searchArchives && !MatchesExtensions(path, extensions_)) {
          std::vector<std::string> members = ArchiveImages(path, extensions_, crcReader_, progress_,
                                                                 summary_.skipped);
          if (!AddImages(std::move(members), options_.groupArchiveMembers, true)) return;
        } else {
          plain.push_back(path);
        }
      }
      // A folder cut short by a stop is left out whole, so that no set is half made.
      if (summary_.stopped) break;
      if (!AddImages(std::move(plain), options_.groupFolderImages, false)) return;
    }
    writer_.Flush();
  }

 private:
  // Derives and queues the rows of one archive's or one folder's images;
  // false once the library could not be written.
  bool AddImages(std::vector<std::string> keys, bool asSet, bool fromArchive) {
    std::vector<std::string> usable;
    for (std::string& key : keys) {
      if (key.size() > kKeyByteLimit) {
        progress_.Log(Jp("パスが長すぎるためスキップしました: ") + key);
        ++summary_.skipped;
      } else if (!seen_.insert(key).second) {
        progress_.Log(Jp("同じ名前のイメージが重複しているためスキップしました: ") + key);
        ++summary_.skipped;
      } else {
        usable.push_back(std::move(key));
      }
    }
    ImportGroup group;
    group.asSet = asSet && usable.size() > 1;
    DerivedText setText;
    for (size_t i = 0; i < usable.size(); ++i) {
      ItemRow row;
      row.key = usable[i];
      row.text = DeriveText(row.key, options_);
      // The disks of a set carry the first disk's title.
      if (group.asSet) {
        if (i == 0) setText = row.text;
        row.text.title = setText.title;
      }
      // The member's name tells the images of one archive apart; a single image needs none.
      if (fromArchive && options_.memberInTitle && usable.size() > 1)
        row.text.title = TitleWithMember(row.text.title, row.key);
      if (options_.crc.Any()) ComputeCrc(row.key, row);
      group.rows.push_back(std::move(row));
    }
    return group.rows.empty() || writer_.Add(std::move(group));
  }

  // A CRC that cannot be computed is logged and left empty; the image is still taken.
  void ComputeCrc(const std::string& key, ItemRow& row) {
    CrcResult crc = crcReader_.Compute(key, options_.crcRange, options_.crc);
    if (!crc.Ok()) progress_.Log(Jp("CRCを計算できませんでした（") + crc.problem + "）: " + key);
    row.crc32 = crc.crc32;
    row.crc16 = crc.crc16;
  }

  const ImportJob& options_;
  ImportProgress& progress_;
  ImportSummary& summary_;
  RowWriter writer_;
  ImageCrcReader crcReader_;
  std::vector<std::string> extensions_;
  std::set<std::string> seen_;
};

}  // namespace

ImportSummary ImportImages(LibraryConnection& db, const ImportJob& options, ArchiveLister* archives,
                        ImportProgress& progress) {
  ImportSummary summary;
  auto fail = [&](const std::string& line) {
    progress.Log(line);
    summary.failed = true;
    return summary;
  };
  if (options.path.empty()) return fail(Jp("イメージファイルまたはフォルダが指定されていません"));
  if (!FileExists(options.path) && !DirectoryExists(options.path))
    return fail(Jp("イメージファイルまたはフォルダが見つかりません: ") + options.path);
  if (auto error = db.Query("SELECT search_ext FROM machine_info_table WHERE machine=" + Q(options.machine) + ";"))
    return fail(Jp("機種管理テーブルを参照できませんでした。") + Utf8ToAnsi(*error));
  if (db.RowCount() == 0) return fail(Jp("機種が登録されていません: ") + options.machine);
  std::vector<std::string> extensions = ParseSearchExtensions(db.Cell(1, 0));
  if (extensions.empty()) return fail(EmptySearchExtensionText(options.machine));

  ImportJob effective = options;
  if (effective.crc.Any() && !effective.crcRange.Valid()) {
    progress.Log(Jp("CRCの計算範囲が正しくないため、CRCは計算しません"));
    effective.crc = CrcWanted{};
  }
  progress.Status(Jp("イメージを検索しています"));
  bool stopped = false;
  std::vector<FolderFiles> folders = FindCandidateFiles(effective, extensions, progress, stopped, summary.skipped);
  if (stopped) {
    summary.stopped = true;
    return summary;
  }
  progress.Status(Jp("イメージを追加しています"));
  Importer(db, effective, extensions, archives, progress, summary).Run(folders);
  if (summary.titlesChanged > 0)
    progress.Log(Jp("タイトルが変わったアイテム: ") + std::to_string(summary.titlesChanged) +
                 Jp(" 件（読み仮名はそのままです。必要なら読み仮名の生成を実行してください）"));
  // The list shows a set's disk count from this table: it follows the new sets before anyone reads it.
  if (auto error = RebuildMaxDiskTable(db)) {
    progress.Log(Jp("複数イメージの枚数を更新できませんでした。") + Utf8ToAnsi(*error));
    summary.failed = true;
  }
  return summary;
}

std::string ImportSummaryText(const ImportSummary& s) {
  std::string head = s.failed ? Jp("エラーで終了しました") : s.stopped ? Jp("中止しました") : Jp("完了しました");
  return head + Jp("（追加 ") + std::to_string(s.added) + Jp(" 件、上書き ") + std::to_string(s.overwritten) +
         Jp(" 件、登録済み ") + std::to_string(s.alreadyPresent) + Jp(" 件、スキップ ") +
         std::to_string(s.skipped) + Jp(" 件）");
}

}  // namespace vel
