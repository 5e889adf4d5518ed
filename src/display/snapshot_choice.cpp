#include "display/snapshot_choice.h"

#include "db/library_connection.h"
#include "platform/codepage.h"

namespace vel {

std::optional<std::string> SnapshotChoiceRefusal(const SnapshotChoice& choice) {
  for (const std::string& path : choice.paths)
    if (path.size() > kSnapshotPathLimit)
      return Jp("スナップショットのパスが長すぎます。\n") + std::to_string(kSnapshotPathLimit) +
             Jp("バイトに納めてください。");
  return std::nullopt;
}

std::string SnapshotChoiceStatement(const std::string& key, const SnapshotChoice& choice) {
  const std::string k = Quote(key);
  const bool noPaths = choice.paths[0].empty() && choice.paths[1].empty() && choice.paths[2].empty();
  if (noPaths && choice.display.empty()) return "DELETE FROM snap_path_table WHERE pfile_sp='" + k + "' ;";
  return "INSERT OR REPLACE INTO snap_path_table( pfile_sp, snap1, snap2, snap3, snap_dtt ) VALUES('" + k + "','" +
         Quote(choice.paths[0]) + "','" + Quote(choice.paths[1]) + "','" + Quote(choice.paths[2]) + "','" +
         Quote(choice.display) + "');";
}

std::optional<std::string> ReadSnapshotChoice(LibraryConnection& db, const std::string& key, SnapshotChoice& choice) {
  choice = {};
  if (auto error = db.Query("SELECT snap1,snap2,snap3,snap_dtt FROM snap_path_table WHERE pfile_sp='" + Quote(key) + "';"))
    return error;
  if (db.RowCount() < 1) return std::nullopt;
  for (int i = 0; i < 3; ++i) choice.paths[static_cast<size_t>(i)] = db.Cell(1, i);
  choice.display = db.Cell(1, 3);
  return std::nullopt;
}

std::optional<std::string> StoreSnapshotChoice(LibraryConnection& db, const std::string& key,
                                               const SnapshotChoice& choice) {
  return db.Query(SnapshotChoiceStatement(key, choice));
}

}  // namespace vel
