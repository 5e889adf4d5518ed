#pragma once
// Removal of missing images: the rows of a machine (or of every machine)
// whose image file is gone, or on request all of its rows. Files are checked
// first, then the deletions run in one short transaction, so the library's
// write lock is held only while rows actually go. Under it a path found
// missing is checked again only where its folder has changed since the check
// (an image put back changes its folder), so an image that came back stays.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "maintenance/maintenance_run.h"
#include "platform/path_presence.h"

namespace vel {

using PresenceProbe = std::function<PathPresence(const std::string& path)>;
// A folder's last-write stamp, 0 when it cannot be read (see LastWriteStamp).
using FolderStamp = std::function<std::int64_t(const std::string& folder)>;

// The file that stands for an item: its key up to the first "*" (an image
// inside an archive is there while its archive is).
std::string ImagePathOfKey(const std::string& key);

// Deletes the rows whose image is missing; an image that cannot be checked
// stays and is logged. Children left without their parent become standalone
// items, and the table of highest disk numbers is rebuilt in the same
// transaction. `folderStamp` (none: the file system's) tells which folders
// changed between the check and the lock.
RunResult RunRemoveMissingImages(LibraryConnection& db, const std::optional<std::string>& machine,
                                 const PresenceProbe& probe, StopFlag& stop, RunReport& report,
                                 int commitWaitMs = kCommitWaitMs, const FolderStamp& folderStamp = {});

// Deletes every row of the machine (or of the library); `machineText` is
// what the machine list shows, for the log.
RunResult RunRemoveAllImages(LibraryConnection& db, const std::optional<std::string>& machine,
                             const std::string& machineText, RunReport& report,
                             int commitWaitMs = kCommitWaitMs);

// The question before everything of a machine goes (CP932).
std::string RemoveAllQuestion(const std::string& machineText);

}  // namespace vel
