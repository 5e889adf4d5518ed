#pragma once
// Snapshot files named after an item's title follow the title when it
// changes: in the machine's snapshot folders, a picture whose name is the
// old title gets the new one. Paths and titles are CP932.
#include <optional>
#include <string>
#include <vector>

namespace vel {

class LibraryConnection;

// True when the title changed (ignoring the case of letters) and the new
// one can name a file.
bool ShouldOfferSnapshotRename(const std::string& oldTitle, const std::string& newTitle);

struct SnapshotRename {
  std::string from, to;
};

// The pictures (.png, .gif, .jpg, .jpeg, .bmp) in the folders whose name
// before the extension is the old title, ignoring the case of letters,
// with the path each would get.
std::vector<SnapshotRename> PlanSnapshotRenames(const std::vector<std::string>& folders,
                                                const std::string& oldTitle, const std::string& newTitle);

// The renames for items whose titles all become `newTitle`: each item's
// title as stored now, in its machine's folders, each file once. Read
// before the titles are written; the error text when the library cannot
// be read.
std::optional<std::string> PlanBulkSnapshotRenames(LibraryConnection& db, const std::vector<std::string>& keys,
                                                   const std::string& newTitle, const std::string& baseFolder,
                                                   std::vector<SnapshotRename>& renames);

// The snapshot folders of a machine (relative ones taken from the base
// folder), those that are set; the error text when they cannot be read.
std::optional<std::string> MachineSnapshotFolders(LibraryConnection& db, const std::string& machine, const std::string& baseFolder,
                                   std::vector<std::string>& folders);

// Renames each file, never over an existing one; the failed renames, one
// "from -> to" line each.
std::vector<std::string> RenameSnapshots(const std::vector<SnapshotRename>& renames);

// The question that offers the renames, with their count.
std::string SnapshotRenameQuestion(size_t count);
// The failures as one message.
std::string SnapshotRenameFailures(const std::vector<std::string>& failed);

}  // namespace vel
