#include "display/snapshot_drop.h"

#include <algorithm>

#include "core/cp932_text.h"
#include "db/library_connection.h"

namespace vel {

std::vector<std::string> AcceptedDropEntries(const std::vector<std::string>& dropped,
                                             const std::function<bool(const std::string&)>& isFolder) {
  std::vector<std::string> accepted;
  for (const std::string& path : dropped) {
    if (static_cast<int>(accepted.size()) == kMaxDroppedEntries) break;
    std::string upper = ToUpperByCharacter(path);
    bool picture = false;
    for (const char* ext : {".PNG", ".BMP", ".GIF", ".JPG"})
      if (upper.size() > 4 && upper.compare(upper.size() - 4, 4, ext) == 0) picture = true;
    if (picture || isFolder(path)) accepted.push_back(path);
  }
  return accepted;
}

bool StoreDroppedSnapshots(LibraryConnection& db, const std::string& key, const std::vector<std::string>& entries,
                           int oneSlot, std::optional<DropFailure>& failure) {
  failure.reset();
  if (key.empty() || entries.empty()) return false;
  const bool single = oneSlot >= 1 && oneSlot <= 3;
  const std::string tag = single ? "DropSnapFile" : "DropSnapFiles";
  const std::string name = Quote(key);
  std::string sql = "SELECT pfile_sp FROM snap_path_table WHERE pfile_sp='" + name + "';";
  if (auto error = db.Query(sql)) {
    failure = DropFailure{tag, "check snap_path_table failed.", *error, sql};
    return false;
  }
  const bool exists = db.RowCount() > 0;
  if (single) {
    const std::string column = "snap" + std::to_string(oneSlot);
    sql = exists ? "UPDATE snap_path_table SET " + column + "='" + Quote(entries.front()) + "' WHERE pfile_sp='" +
                       name + "';"
                 : "INSERT INTO snap_path_table(pfile_sp, " + column + ") VALUES('" + name + "','" +
                       Quote(entries.front()) + "');";
  } else if (exists) {
    std::string sets;
    for (size_t i = 0; i < entries.size() && i < kMaxDroppedEntries; ++i)
      if (!entries[i].empty()) sets += (sets.empty() ? " snap" : ", snap") + std::to_string(i + 1) + "='" + Quote(entries[i]) + "'";
    if (sets.empty()) return false;
    sql = "UPDATE snap_path_table SET" + sets + " WHERE pfile_sp='" + name + "';";
  } else {
    std::string values[kMaxDroppedEntries];
    for (size_t i = 0; i < entries.size() && i < kMaxDroppedEntries; ++i) values[i] = Quote(entries[i]);
    sql = "INSERT INTO snap_path_table(pfile_sp, snap1, snap2, snap3) VALUES('" + name + "','" + values[0] + "','" +
          values[1] + "','" + values[2] + "');";
  }
  if (auto error = db.Query(sql)) {
    failure = DropFailure{tag, "insert/update snap_path_table failed.", *error, sql};
    return false;
  }
  return true;
}

int ThreeShotsSlotAt(int x, int width) {
  if (width <= 0) return 1;
  return std::clamp(x * 3 / width + 1, 1, 3);
}

}  // namespace vel
