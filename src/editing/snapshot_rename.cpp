#include "editing/snapshot_rename.h"

#include <map>
#include <set>

#include "core/cp932_text.h"
#include "db/library_connection.h"
#include "display/snapshot_lookup.h"
#include "launch/emulator_config.h"
#include "platform/codepage.h"
#include "platform/directory.h"
#include "platform/file_operations.h"
#include "platform/system.h"

namespace vel {
namespace {

const char* const kPictureExtensions[] = {".png", ".gif", ".jpg", ".jpeg", ".bmp"};

// Position of the last single-byte "." (a trail byte is never one), or npos.
size_t LastDot(const std::string& name) {
  size_t dot = std::string::npos;
  for (size_t i = 0; i < name.size(); i += CharacterLength(name, i))
    if (name[i] == '.' && CharacterLength(name, i) == 1) dot = i;
  return dot;
}

std::string InFolder(const std::string& folder, const std::string& name) {
  return EndsWithSeparator(folder) ? folder + name : folder + "\\" + name;
}

}  // namespace

bool ShouldOfferSnapshotRename(const std::string& oldTitle, const std::string& newTitle) {
  return !oldTitle.empty() && !EqualsIgnoringCase(oldTitle, newTitle) && IsUsableConfigName(newTitle);
}

namespace {

// The pictures in the folders named (before the extension) after one of the
// old titles, the titles keyed by their upper-case form; each file once.
void PlanRenamesInFolders(const std::vector<std::string>& folders, const std::set<std::string>& upperOldTitles,
                          const std::string& newTitle, std::vector<SnapshotRename>& renames) {
  std::set<std::string> planned;
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    for (const FolderEntry& entry : ListFolder(folder).entries) {
      if (entry.isFolder) continue;
      const size_t dot = LastDot(entry.name);
      if (dot == std::string::npos) continue;
      const std::string extension = entry.name.substr(dot);
      bool picture = false;
      for (const char* known : kPictureExtensions) picture = picture || EqualsIgnoringCase(extension, known);
      if (!picture || !upperOldTitles.count(ToUpperByCharacter(entry.name.substr(0, dot)))) continue;
      SnapshotRename rename{InFolder(folder, entry.name), InFolder(folder, newTitle + extension)};
      if (planned.insert(ToUpperByCharacter(rename.from)).second) renames.push_back(std::move(rename));
    }
  }
}

}  // namespace

std::vector<SnapshotRename> PlanSnapshotRenames(const std::vector<std::string>& folders,
                                                const std::string& oldTitle, const std::string& newTitle) {
  std::vector<SnapshotRename> renames;
  if (!ShouldOfferSnapshotRename(oldTitle, newTitle)) return renames;
  PlanRenamesInFolders(folders, {ToUpperByCharacter(oldTitle)}, newTitle, renames);
  return renames;
}

std::optional<std::string> PlanBulkSnapshotRenames(LibraryConnection& db, const std::vector<std::string>& keys,
                                                   const std::string& newTitle, const std::string& baseFolder,
                                                   std::vector<SnapshotRename>& renames) {
  renames.clear();
  // The old titles that change, by machine: each machine's folders are listed once.
  std::map<std::string, std::set<std::string>> oldTitlesByMachine;
  for (const std::string& key : keys) {
    if (auto error = db.Query("SELECT title,machine_name FROM main_table WHERE file_name='" + Quote(key) + "' LIMIT 1;"))
      return error;
    if (db.RowCount() < 1) continue;
    const std::string oldTitle = db.Cell(1, 0);
    if (ShouldOfferSnapshotRename(oldTitle, newTitle))
      oldTitlesByMachine[db.Cell(1, 1)].insert(ToUpperByCharacter(oldTitle));
  }
  for (const auto& [machine, oldTitles] : oldTitlesByMachine) {
    std::vector<std::string> folders;
    if (auto error = MachineSnapshotFolders(db, machine, baseFolder, folders)) return error;
    PlanRenamesInFolders(folders, oldTitles, newTitle, renames);
  }
  return std::nullopt;
}

std::optional<std::string> MachineSnapshotFolders(LibraryConnection& db, const std::string& machine,
                                                  const std::string& baseFolder, std::vector<std::string>& folders) {
  folders.clear();
  if (auto error = db.Query("SELECT snap_path,snap_path2,snap_path3 FROM machine_info_table WHERE machine='" +
                            Quote(machine) + "' LIMIT 1;"))
    return error;
  for (int r = 1; r <= db.RowCount(); ++r)
    for (int c = 0; c < 3; ++c)
      if (!db.Cell(r, c).empty()) folders.push_back(ResolveRelativeFolder(db.Cell(r, c), baseFolder));
  return std::nullopt;
}

std::vector<std::string> RenameSnapshots(const std::vector<SnapshotRename>& renames) {
  std::vector<std::string> failed;
  for (const SnapshotRename& r : renames) {
    // An existing picture of the new name is never replaced.
    if (FileExists(r.to) || !RenameFile(r.from, r.to)) failed.push_back(r.from + " -> " + r.to);
  }
  return failed;
}

std::string SnapshotRenameQuestion(size_t count) {
  return Jp("タイトルが変更されました。\n旧タイトル名のスナップショットファイル（") + std::to_string(count) +
         Jp("個）を新しいタイトル名に変更しますか？");
}

std::string SnapshotRenameFailures(const std::vector<std::string>& failed) {
  std::string text = Jp("次のスナップショットファイルの名前を変更出来ませんでした。\n");
  for (const std::string& line : failed) text += line + "\n";
  return text;
}

}  // namespace vel
