#include "editing/snapshot_rename.h"

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

std::vector<SnapshotRename> PlanSnapshotRenames(const std::vector<std::string>& folders,
                                                const std::string& oldTitle, const std::string& newTitle) {
  std::vector<SnapshotRename> renames;
  if (!ShouldOfferSnapshotRename(oldTitle, newTitle)) return renames;
  for (const std::string& folder : folders) {
    if (folder.empty()) continue;
    for (const FolderEntry& entry : ListFolder(folder).entries) {
      if (entry.isFolder) continue;
      const size_t dot = LastDot(entry.name);
      if (dot == std::string::npos) continue;
      const std::string extension = entry.name.substr(dot);
      bool picture = false;
      for (const char* known : kPictureExtensions) picture = picture || EqualsIgnoringCase(extension, known);
      if (!picture || !EqualsIgnoringCase(entry.name.substr(0, dot), oldTitle)) continue;
      renames.push_back({InFolder(folder, entry.name), InFolder(folder, newTitle + extension)});
    }
  }
  return renames;
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
