#include "editing/image_backup.h"

#include <cstdio>
#include <set>

#include "core/cp932_text.h"
#include "db/library_connection.h"
#include "launch/archive_extraction.h"
#include "launch/archive_names.h"
#include "maintenance/import_rules.h"
#include "platform/codepage.h"
#include "platform/folder_tree.h"
#include "platform/system.h"

namespace vel {
namespace {

bool IsSeparatorAt(const std::string& text, size_t i) {
  return CharacterLength(text, i) == 1 && (text[i] == '\\' || text[i] == '/');
}

// The parts of a path between separators, "." dropped and ".." taking back
// the part before it; a leading separator (a UNC or root path) is kept as
// an empty first part.
std::vector<std::string> PathParts(const std::string& path) {
  std::vector<std::string> parts;
  std::string part;
  bool leading = !path.empty() && IsSeparatorAt(path, 0);
  auto flush = [&] {
    if (part == "..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != ".") {
      parts.push_back(ToUpperByCharacter(part));
    }
    part.clear();
  };
  for (size_t i = 0; i < path.size(); i += CharacterLength(path, i)) {
    if (IsSeparatorAt(path, i))
      flush();
    else
      part.append(path, i, CharacterLength(path, i));
  }
  flush();
  if (leading) parts.insert(parts.begin(), std::string());
  return parts;
}

// The position of the last '.' of a name, by character; npos when none
// (or when the name begins with its only dot).
size_t ExtensionDot(const std::string& name) {
  size_t dot = std::string::npos;
  for (size_t i = 0; i < name.size(); i += CharacterLength(name, i))
    if (name[i] == '.' && CharacterLength(name, i) == 1) dot = i;
  return dot == 0 ? std::string::npos : dot;
}

// Keys of the distinct files on disk, compared like Windows names.
class SeenPaths {
 public:
  bool Add(const std::string& path) { return seen_.insert(ToUpperByCharacter(path)).second; }

 private:
  std::set<std::string> seen_;
};

bool Stopping(const StopFlag& stop) { return stop.load() == kRunStopRequested; }

std::string Sized(const char* format, double value, const char* unit) {
  char buffer[64];
  std::snprintf(buffer, sizeof buffer, format, value);
  return std::string(buffer) + " " + unit;
}

}  // namespace

std::string BackupSizeText(std::uint64_t bytes) {
  const double kilo = 1024.0, mega = kilo * 1024.0, giga = mega * 1024.0;
  const double value = static_cast<double>(bytes);
  if (value >= giga) return Sized("%.2f", value / giga, "GByte");
  if (value >= mega) return Sized("%.2f", value / mega, "MByte");
  return Sized("%.2f", value / kilo, "KByte");
}

std::string BackupTempFolder(const std::string& baseFolder) { return JoinFolder(baseFolder, "TEMP\\RomCopyTemp"); }

bool IsInsideFolder(const std::string& path, const std::string& folder) {
  std::vector<std::string> p = PathParts(path), f = PathParts(folder);
  if (f.empty() || p.size() < f.size()) return false;
  for (size_t i = 0; i < f.size(); ++i)
    if (p[i] != f[i]) return false;
  return true;
}

std::optional<std::string> BackupDestinationRefusal(const std::string& destination, const std::string& tempFolder) {
  if (destination.empty()) return Jp("バックアップ先のフォルダを指定してください。");
  if (IsInsideFolder(destination, tempFolder))
    return Jp("作業用のフォルダにはバックアップできません。\n") + destination;
  if (!DirectoryExists(destination)) return Jp("バックアップ先のフォルダが見つかりません。\n") + destination;
  return std::nullopt;
}

std::string BackupTargetNames::Take(const std::string& name) {
  auto isTaken = [&](const std::string& candidate) {
    for (const std::string& t : taken_)
      if (EqualsIgnoringCase(t, candidate)) return true;
    return false;
  };
  std::string chosen = name;
  const size_t dot = ExtensionDot(name);
  const std::string stem = dot == std::string::npos ? name : name.substr(0, dot);
  const std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
  for (int n = 2; isTaken(chosen); ++n) chosen = stem + " (" + std::to_string(n) + ")" + extension;
  taken_.push_back(chosen);
  return chosen;
}

bool ExpandBackupKeys(LibraryConnection& db, const std::vector<BackupItem>& items, std::vector<std::string>& keys,
                      std::string& error) {
  std::set<std::string> seen;
  auto add = [&](const std::string& key) {
    if (seen.insert(key).second) keys.push_back(key);
  };
  for (const BackupItem& item : items) {
    add(item.key);
    if (!item.setHead) continue;
    if (auto failure = db.Query("SELECT file_name FROM main_table WHERE ply_file_name ='" + Quote(item.key) +
                                "' AND file_name<>'" + Quote(item.key) + "' ORDER BY ply, file_name ;")) {
      error = *failure;
      return false;
    }
    for (int row = 1; row <= db.RowCount(); ++row) add(db.Cell(row, 0));
  }
  return true;
}

BackupSummary SummariseBackupSources(LibraryConnection& db, const std::vector<BackupItem>& items,
                                     const StopFlag& stop) {
  BackupSummary summary;
  std::vector<std::string> keys;
  if (!ExpandBackupKeys(db, items, keys, summary.error)) return summary;
  if (!keys.empty()) summary.firstName = BackupItemName(keys.front());
  SeenPaths seen;
  for (const std::string& key : keys) {
    if (Stopping(stop)) return summary;
    const std::string path = KeyFilePath(key);
    if (!seen.Add(path)) continue;
    ++summary.fileCount;
    std::int64_t size = 0;
    if (FileSize(path, size) && size > 0) summary.totalBytes += static_cast<std::uint64_t>(size);
  }
  summary.complete = true;
  return summary;
}

std::string BackupItemName(const std::string& key) {
  const std::string member = KeyMember(key);
  return member.empty() ? NameOf(key) : OwnFileName(member);
}

std::string BackupSourceText(const BackupSummary& summary) {
  if (summary.fileCount <= 1) return summary.firstName;
  return summary.firstName + Jp(" ほか ") + std::to_string(summary.fileCount - 1);
}

bool BackupCopier::FreeSpace(const std::string& destination, std::uint64_t& available) {
  std::uint64_t total = 0;
  return DriveSpace(destination, total, available);
}

namespace {

// Fills the list of files to copy; false when the run cannot go on.
bool FillBackupList(LibraryConnection& db, ArchiverSet& archivers, const BackupJob& job, const StopFlag& stop,
                    const std::function<void(const std::string&)>& status, BackupOutcome& outcome) {
  std::vector<std::string> keys;
  if (!ExpandBackupKeys(db, job.items, keys, outcome.error)) {
    outcome.end = BackupEnd::kSetQueryFailed;
    return false;
  }
  SeenPaths seen;
  BackupTargetNames names;
  int extraction = 0;
  for (const std::string& key : keys) {
    if (Stopping(stop)) {
      outcome.end = BackupEnd::kStopped;
      return false;
    }
    const std::string archive = KeyFilePath(key), member = KeyMember(key);
    if (member.empty() || !job.extractMembers) {
      if (seen.Add(archive)) outcome.files.push_back({archive, names.Take(NameOf(archive))});
      continue;
    }
    // Each extraction has a folder of its own, so that members of the same
    // name from different archives never meet.
    const std::string folder = JoinFolder(job.tempFolder, std::to_string(++extraction));
    const std::string own = OwnFileName(member);
    int result = kMemberNotFound;
    if (UsableFileName(own) && CreateNewFolder(folder) == NewFolderResult::kCreated) {
      if (status) status(Jp("展開中: ") + own);
      result = ExtractMember(archivers, archive, member, folder, false, job.owner);
    }
    const std::string extracted = JoinFolder(folder, own);
    if (result != kExtracted || !FileExists(extracted)) {
      std::string line = archive + Jp(" スキップ");
      if (result == kNoArchiver) line += Jp("\n解凍に必要なDLLが見つかりません。");
      outcome.skipped.push_back(line);
      if (status) status(line);
      continue;
    }
    outcome.files.push_back({extracted, names.Take(own)});
  }
  return true;
}

// Removes the copies a failed run made where no file had been before.
void TakeBackNewCopies(const std::vector<std::string>& newTargets, BackupOutcome& outcome) {
  for (const std::string& target : newTargets)
    if (FileExists(target) && !RemoveFile(target)) outcome.notRemoved.push_back(target);
}

}  // namespace

BackupOutcome RunImageBackup(LibraryConnection& db, ArchiverSet& archivers, const BackupJob& job,
                             BackupCopier& copier, const StopFlag& stop,
                             const std::function<void(const std::string&)>& status) {
  BackupOutcome outcome;
  if (status) status(Jp("バックアップ中です・・"));
  // What a run that ended without its clean-up left goes first.
  if (DirectoryExists(job.tempFolder)) RemoveFolderTree(job.tempFolder);
  const std::string parent = job.tempFolder.substr(0, job.tempFolder.size() - NameOf(job.tempFolder).size());
  if (!parent.empty()) CreateFolder(parent.substr(0, parent.size() - 1));  // TEMP itself
  if (CreateNewFolder(job.tempFolder) != NewFolderResult::kCreated) {
    outcome.end = BackupEnd::kTempFolderFailed;
    return outcome;
  }
  if (FillBackupList(db, archivers, job, stop, status, outcome)) {
    for (const BackupFile& file : outcome.files) {
      std::int64_t size = 0;
      if (FileSize(file.source, size) && size > 0) outcome.bytes += static_cast<std::uint64_t>(size);
    }
    if (outcome.files.empty()) {
      outcome.end = BackupEnd::kNothingToCopy;
    } else if (copier.FreeSpace(job.destination, outcome.available) && outcome.bytes > outcome.available) {
      outcome.end = BackupEnd::kNoSpace;
    } else if (Stopping(stop)) {
      outcome.end = BackupEnd::kStopped;
    } else {
      std::vector<std::string> newTargets;
      for (const BackupFile& file : outcome.files) {
        const std::string target = JoinFolder(job.destination, file.targetName);
        if (!FileExists(target) && !DirectoryExists(target)) newTargets.push_back(target);
      }
      if (status) status(Jp("バックアップ中です・・"));
      BackupCopyResult copied = copier.Copy(outcome.files, job.destination);
      outcome.end = copied == BackupCopyResult::kCopied      ? BackupEnd::kCompleted
                    : copied == BackupCopyResult::kCancelled ? BackupEnd::kCancelled
                                                             : BackupEnd::kCopyFailed;
      if (copied != BackupCopyResult::kCopied) TakeBackNewCopies(newTargets, outcome);
    }
  }
  outcome.tempRemoved = RemoveFolderTree(job.tempFolder);
  return outcome;
}

BackupReport BackupResultText(const BackupOutcome& outcome, const std::string& tempFolder) {
  BackupReport report;
  const std::string failed = Jp("バックアップできませんでした");
  switch (outcome.end) {
    case BackupEnd::kCompleted:
      report.text = Jp("バックアップが完了しました");
      report.success = true;
      break;
    case BackupEnd::kNothingToCopy:
      report.text = failed + Jp("\nバックアップするファイルがありません。");
      break;
    case BackupEnd::kStopped:
      report.text = Jp("バックアップを中止しました。");
      break;
    case BackupEnd::kCancelled:
      report.text = failed + Jp("\nコピーが取り消されました。");
      break;
    case BackupEnd::kCopyFailed:
      report.text = failed;
      break;
    case BackupEnd::kNoSpace:
      report.text = failed + Jp("\nバックアップ先の空き容量が足りません。\n必要: ") + BackupSizeText(outcome.bytes) +
                    Jp("\n空き容量: ") + BackupSizeText(outcome.available);
      break;
    case BackupEnd::kTempFolderFailed:
      report.text = failed + Jp("\n作業用のフォルダを作成できません。\n") + tempFolder;
      break;
    case BackupEnd::kSetQueryFailed:
      report.text = Jp("子イメージが取得できませんでした\n") + Utf8ToAnsi(outcome.error);
      report.databaseError = true;
      break;
  }
  if (!outcome.notRemoved.empty()) {
    report.text += Jp("\n次のファイルはバックアップ先に残っています。");
    for (const std::string& path : outcome.notRemoved) report.text += "\n" + path;
  }
  if (!outcome.skipped.empty()) {
    report.text += Jp("\n\nバックアップしなかったファイル:");
    for (const std::string& line : outcome.skipped) report.text += "\n" + line;
  }
  if (!outcome.tempRemoved) report.text += Jp("\n\n作業用のフォルダを削除できませんでした。\n") + tempFolder;
  return report;
}

}  // namespace vel
