#include "launch/library_images.h"

#include <algorithm>
#include <memory>
#include <vector>

#include "core/cp932_text.h"
#include "db/library_connection.h"
#include "launch/placeholders.h"
#include "maintenance/import_rules.h"

namespace vel {

KeptImageTest LibraryImageTest(LibraryConnection& db) {
  if (db.Query("SELECT file_name FROM main_table ;"))
    return [](const std::string&, bool) { return true; };
  // Upper-cased by character and sorted, so that the files of a folder
  // follow one another.
  auto images = std::make_shared<std::vector<std::string>>();
  images->reserve(static_cast<size_t>(db.RowCount()));
  for (int row = 1; row <= db.RowCount(); ++row) images->push_back(ToUpperByCharacter(KeyFilePath(db.Cell(row, 0))));
  std::sort(images->begin(), images->end());
  return [images](const std::string& path, bool isFolder) {
    std::string upper = ToUpperByCharacter(path);
    if (!isFolder) return std::binary_search(images->begin(), images->end(), upper);
    if (!EndsWithSeparator(upper)) upper += '\\';
    auto first = std::lower_bound(images->begin(), images->end(), upper);
    return first != images->end() && first->rfind(upper, 0) == 0;
  };
}

bool HoldsUsersFiles(LibraryConnection& db, const std::string& folder, const std::string& baseFolder) {
  auto bare = [&](const std::string& path) {
    std::string resolved = ResolveFromBase(path, baseFolder);
    while (resolved.size() > 1 && EndsWithSeparator(resolved)) resolved.pop_back();
    return resolved;
  };
  const std::string target = bare(folder);
  if (target.empty()) return false;
  if (LibraryImageTest(db)(target, true)) return true;
  if (db.Query("SELECT snap_path, snap_path2, snap_path3 FROM machine_info_table ;")) return true;
  for (int row = 1; row <= db.RowCount(); ++row)
    for (int column = 0; column < 3; ++column) {
      std::string snapshots = db.Cell(row, column);
      if (!snapshots.empty() && EqualsIgnoringCase(bare(snapshots), target)) return true;
    }
  return false;
}

}  // namespace vel
