#pragma once
// Copying the image files of selected items to a folder the user names:
// which files go, which archive members are extracted first (each into a
// numbered folder of its own under the work folder), the names they get at
// the destination, the checks of the destination, and the run itself with
// the copy and the clean-up. The copy is handed to a BackupCopier (the
// shell's copy on Windows).
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "maintenance/maintenance_run.h"

namespace vel {

class ArchiverSet;
class LibraryConnection;

// One selected item, taken from the item list on the GUI thread.
struct BackupItem {
  std::string key;
  bool setHead = false;  // heads a multi-image set: its children go too
};

// "1.50 GByte", "12.00 MByte", "3.25 KByte" (units of 1024).
std::string BackupSizeText(std::uint64_t bytes);

// The work folder of a backup: TEMP\RomCopyTemp under the base folder.
std::string BackupTempFolder(const std::string& baseFolder);

// True when `path` is `folder` or lies inside it, compared by character
// without regard to the case of single-byte letters, "\" and "/" alike,
// "." and ".." resolved.
bool IsInsideFolder(const std::string& path, const std::string& folder);

// The message that refuses a destination, or nullopt when it can be used:
// empty, inside the work folder, or not an existing folder.
std::optional<std::string> BackupDestinationRefusal(const std::string& destination, const std::string& tempFolder);

// Gives every file a name at the destination that no earlier one has
// (by character, ignoring case): "name.ext", then "name (2).ext", ...
class BackupTargetNames {
 public:
  std::string Take(const std::string& name);

 private:
  std::vector<std::string> taken_;
};

// The keys of the items and, for the head of a set, of its children, each
// once, in list order. False with `error` (the database's text) when the
// children of a set cannot be read.
bool ExpandBackupKeys(LibraryConnection& db, const std::vector<BackupItem>& items, std::vector<std::string>& keys,
                      std::string& error);

// What the window shows of the source while it is open.
struct BackupSummary {
  std::string firstName;     // the first file's own name
  std::size_t fileCount = 0;  // distinct files on disk (an archive once)
  std::uint64_t totalBytes = 0;
  bool complete = false;  // false when stopped or the set query failed
  std::string error;      // the database's text when it failed
};
BackupSummary SummariseBackupSources(LibraryConnection& db, const std::vector<BackupItem>& items,
                                     const StopFlag& stop);
// The own name of an item's file: a member's name after its last folder,
// else the file's name.
std::string BackupItemName(const std::string& key);
// "first.d88 ほか 3" (or only the name for one file).
std::string BackupSourceText(const BackupSummary& summary);

// One file of the copy: where it is and the name it gets at the destination.
struct BackupFile {
  std::string source;
  std::string targetName;
};

enum class BackupCopyResult { kCopied, kCancelled, kFailed };

class BackupCopier {
 public:
  virtual ~BackupCopier() = default;
  // Copies every file into the destination folder under its target name.
  virtual BackupCopyResult Copy(const std::vector<BackupFile>& files, const std::string& destination) = 0;
  // The space free to this user at the destination; false when unknown.
  virtual bool FreeSpace(const std::string& destination, std::uint64_t& available);
};

struct BackupJob {
  std::vector<BackupItem> items;  // in list order
  std::string destination;        // an existing folder, checked before
  std::string tempFolder;         // BackupTempFolder(base)
  bool extractMembers = false;
  void* owner = nullptr;          // passed to the archiver libraries
};

enum class BackupEnd {
  kCompleted,
  kNothingToCopy,   // every file was skipped, or none was selected
  kStopped,         // the stop button, before the copy began
  kCancelled,       // the copy was cancelled
  kCopyFailed,
  kNoSpace,         // the files do not fit into the destination's free space
  kTempFolderFailed,
  kSetQueryFailed,
};

struct BackupOutcome {
  BackupEnd end = BackupEnd::kNothingToCopy;
  std::vector<BackupFile> files;      // what was handed to the copy
  std::vector<std::string> skipped;   // one line per left-out member
  std::vector<std::string> notRemoved;  // copies of a failed run that could not be taken back
  std::uint64_t bytes = 0;            // of the files handed to the copy
  std::uint64_t available = 0;        // at the destination, for kNoSpace
  std::string error;                  // the database's text for kSetQueryFailed
  bool tempRemoved = true;
};

// The whole run on the worker: fills and copies the list, then empties and
// removes the work folder (never entering a link). A copy that fails or is
// cancelled takes back the files it newly created at the destination.
// `status` is told each step's text.
BackupOutcome RunImageBackup(LibraryConnection& db, ArchiverSet& archivers, const BackupJob& job,
                             BackupCopier& copier, const StopFlag& stop,
                             const std::function<void(const std::string&)>& status);

// The result for the user: the text and whether it reports success.
struct BackupReport {
  std::string text;
  bool success = false;
  bool databaseError = false;
};
BackupReport BackupResultText(const BackupOutcome& outcome, const std::string& tempFolder);

}  // namespace vel
