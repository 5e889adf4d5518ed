#include "maintenance/image_import.h"

#include <set>
#include <vector>

#include "db/library_connection.h"
#include "maintenance/image_crc.h"
#include "maintenance/image_scanner.h"
#include "maintenance/import_job.h"
#include "maintenance/import_progress.h"
#include "maintenance/import_rules.h"
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

const char* const kModifiedNow = "datetime('now','localtime')";

std::string Q(const std::string& text) { return "'" + Quote(text) + "'"; }

class RowWriter {
 public:
  RowWriter(LibraryConnection& db, const ImportJob& options, ImportSummary& summary,
            ImportProgress& progress)
      : db_(db), options_(options), summary_(summary), progress_(progress) {}

  // False once a batch could not be written.
  bool Add(ItemRow row) {
    pending_.push_back(std::move(row));
    return pending_.size() < static_cast<size_t>(kImportBatchRows) || Flush();
  }

  bool Flush() {
    if (pending_.empty()) return true;
    std::set<std::string> existing;
    std::string select = "SELECT file_name FROM main_table WHERE file_name IN (";
    for (size_t i = 0; i < pending_.size(); ++i) select += (i ? "," : "") + Q(pending_[i].key);
    if (auto error = db_.Query(select + ");")) return Fail(*error);
    for (int r = 1; r <= db_.RowCount(); ++r) existing.insert(db_.Cell(r, 0));

    int added = 0, overwritten = 0, present = 0;
    std::string sql = "BEGIN;\n";
    for (const ItemRow& row : pending_) {
      if (!existing.count(row.key)) {
        sql += InsertSql(row);
        ++added;
      } else if (options_.overwrite) {
        sql += UpdateSql(row);
        ++overwritten;
      } else {
        ++present;
      }
    }
    sql += "COMMIT;";
    if (added + overwritten > 0) {
      if (auto error = db_.Query(sql)) {
        db_.Query("ROLLBACK;");
        return Fail(*error);
      }
    }
    summary_.added += added;
    summary_.overwritten += overwritten;
    summary_.alreadyPresent += present;
    pending_.clear();
    return true;
  }

 private:
  bool Fail(const std::string& error) {
    progress_.Log(Jp("メインテーブルに格納できませんでした。") + Utf8ToAnsi(error));
    summary_.failed = true;
    summary_.skipped += static_cast<int>(pending_.size());
    pending_.clear();
    return false;
  }

  std::string InsertSql(const ItemRow& row) const {
    KeyParts parts = SplitItemKey(row.key);
    const DerivedText& t = row.text;
    return "INSERT INTO main_table(file_name, file_arc_title, file_arc_ext, file_title, file_ext, "
           "machine_name, title, smart_title, kana, maker, sale_year, developer, country, rom_num, "
           "adult, rating, version, genre_name, media_name, tag, boot_count, last_boot, ply, "
           "ply_file_name, crc32, crc, play_time, modify, associate) VALUES(" +
           Q(row.key) + "," + Q(parts.memberTitle) + "," + Q(parts.memberExt) + "," + Q(parts.fileTitle) +
           "," + Q(parts.fileExt) + "," + Q(options_.machine) + "," + Q(t.title) + ",'',''," +
           Q(t.maker) + "," + Q(t.saleYear.empty() ? "0" : t.saleYear) + ",''," + Q(t.country) +
           ",'0'," + (options_.adult ? "'1'" : "'0'") + ",'0'," + Q(t.version) + "," +
           Q(options_.genre) + "," + Q(options_.media) + ",'','0',''," + Q(std::to_string(row.ply)) +
           "," + Q(row.plyParent) + "," + Q(row.crc32) + "," + Q(row.crc16) + ",''," + kModifiedNow +
           ",'');\n";
  }

  // An overwrite writes what this import derives and nothing else: the
  // reading, rating, launches, play time, the memo and the other tables stay,
  // and a rule that found nothing leaves the column as it was.
  std::string UpdateSql(const ItemRow& row) const {
    KeyParts parts = SplitItemKey(row.key);
    const DerivedText& t = row.text;
    std::string set = "file_arc_title=" + Q(parts.memberTitle) + ", file_arc_ext=" + Q(parts.memberExt) +
                      ", file_title=" + Q(parts.fileTitle) + ", file_ext=" + Q(parts.fileExt) +
                      ", machine_name=" + Q(options_.machine) + ", title=" + Q(t.title);
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
    if (row.ply > 0) set += ", ply=" + Q(std::to_string(row.ply)) + ", ply_file_name=" + Q(row.plyParent);
    return "UPDATE main_table SET " + set + ", modify=" + kModifiedNow + " WHERE file_name=" + Q(row.key) +
           ";\n";
  }

  LibraryConnection& db_;
  const ImportJob& options_;
  ImportSummary& summary_;
  ImportProgress& progress_;
  std::vector<ItemRow> pending_;
};

class Importer {
 public:
  Importer(LibraryConnection& db, const ImportJob& options, std::vector<std::string> extensions,
           ArchiveLister* archives, ImportProgress& progress, ImportSummary& summary)
      : options_(options), archives_(archives), progress_(progress), summary_(summary),
        writer_(db, options, summary, progress), extensions_(std::move(extensions)) {}

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
          std::vector<std::string> members = ArchiveImages(path, extensions_, archives_, crcReader_, progress_);
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
    asSet = asSet && usable.size() > 1;
    DerivedText setText;
    for (size_t i = 0; i < usable.size(); ++i) {
      ItemRow row;
      row.key = usable[i];
      row.text = DeriveText(row.key, options_);
      if (asSet) {
        // The disks of a set carry the first disk's title.
        if (i == 0) setText = row.text;
        row.text.title = setText.title;
        row.ply = static_cast<int>(i) + 1;
        if (i > 0) row.plyParent = usable[0];
      }
      if (fromArchive && options_.memberInTitle) row.text.title = TitleWithMember(row.text.title, row.key);
      if (options_.crc.Any()) ComputeCrc(row.key, row);
      if (!writer_.Add(std::move(row))) return false;
    }
    return true;
  }

  // A CRC that cannot be computed is logged and left empty; the image is still taken.
  void ComputeCrc(const std::string& key, ItemRow& row) {
    CrcResult crc = crcReader_.Compute(key, options_.crcRange, options_.crc);
    if (!crc.Ok()) progress_.Log(Jp("CRCを計算できませんでした（") + crc.problem + "）: " + key);
    row.crc32 = crc.crc32;
    row.crc16 = crc.crc16;
  }

  const ImportJob& options_;
  ArchiveLister* archives_;
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

  ImportJob effective = options;
  if (effective.crc.Any() && !effective.crcRange.Valid()) {
    progress.Log(Jp("CRCの計算範囲が正しくないため、CRCは計算しません"));
    effective.crc = CrcWanted{};
  }
  progress.Status(Jp("イメージを検索しています"));
  bool stopped = false;
  std::vector<FolderFiles> folders = FindCandidateFiles(effective, extensions, progress, stopped);
  if (stopped) {
    summary.stopped = true;
    return summary;
  }
  progress.Status(Jp("イメージを追加しています"));
  Importer(db, effective, extensions, archives, progress, summary).Run(folders);
  return summary;
}

std::string ImportSummaryText(const ImportSummary& s) {
  std::string head = s.failed ? Jp("エラーで終了しました") : s.stopped ? Jp("中止しました") : Jp("完了しました");
  return head + Jp("（追加 ") + std::to_string(s.added) + Jp(" 件、上書き ") + std::to_string(s.overwritten) +
         Jp(" 件、登録済み ") + std::to_string(s.alreadyPresent) + Jp(" 件、スキップ ") +
         std::to_string(s.skipped) + Jp(" 件）");
}

}  // namespace vel
