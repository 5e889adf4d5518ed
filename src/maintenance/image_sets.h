#pragma once
// Multi-disk sets (a parent image and its children, numbered in launch
// order) and alter egos (private copies of an item's images, and of its
// set's children, in a folder of the user's choice, used by launches
// instead of the originals). Every refusal, question and failure is shown at
// once through ShowMessage over `owner`. Texts and paths are CP932.
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vel {

class LibraryConnection;

// Longest alter-ego folder path (with its trailing backslash), in bytes.
inline constexpr std::size_t kAlterEgoFolderBytes = 210;

// Rebuilds the table of each set's highest disk number. The database's
// error text on failure.
std::optional<std::string> RebuildMaxDiskTable(LibraryConnection& db);

// A disk number as stored ("" and other non-numbers read as 0).
int DiskNumber(const std::string& text);

// Joins the dragged items (in list order) to `target` as its next disks.
// True when the library changed; the list is then reloaded with the target
// selected.
bool JoinImages(LibraryConnection& db, const std::string& target,
                const std::vector<std::string>& dragged, void* owner);

// Splits the set headed by `parent` (nothing for an item that heads no
// set). True when the library changed.
bool SplitImageSet(LibraryConnection& db, const std::string& parent, void* owner);

// The copy that stands for an image: "" when it has none, nullopt when the
// lookup failed (shown as a database error).
std::optional<std::string> AlterEgoPath(LibraryConnection& db, const std::string& key, void* owner);

// After a launch of `key`: moves every copy of the item and its set that a
// launch renamed back to its own name and forgets the temporary names. A
// copy that cannot be moved back keeps its temporary name in the library
// (so that the start-up recovery can try again) and is reported. False when
// anything failed.
bool RestoreAlterEgoNames(LibraryConnection& db, const std::string& key, void* owner);

// At start-up: copies left under a launch's temporary name (the program
// ended while an emulator ran) get their own names back; what was done is
// reported. Returns the number of copies put back.
int RecoverAlterEgoNames(LibraryConnection& db, void* owner);

// A folder name without \ / < > : | ? * " line feed, carriage return and
// tab, not a device name (AUX, CON, COM1...) and not made of dots only.
bool IsValidFolderName(const std::string& name);

// The subfolder proposed for a new alter ego: machine + "_" + the file
// title without blanks; when that is no valid name, also without the
// characters a name cannot hold and without dots.
std::string AlterEgoSubfolderName(const std::string& machine, const std::string& fileTitle);

// The base folder (with its trailing backslash) and the subfolder of a copy.
struct AlterEgoFolder {
  std::string base;
  std::string sub;
};
AlterEgoFolder AlterEgoFolderOf(const std::string& copyPath);

// Extracts one member of an archive into a folder under the member's own
// name; 0 on success.
using MemberExtractor = std::function<int(const std::string& archivePath, const std::string& memberName,
                                          const std::string& folder)>;

// Creates the alter ego of `key` (and of the children of the set it heads)
// in base + sub. On any failure nothing is left behind: the new folder goes
// with its contents and the library is unchanged. True when created.
bool CreateAlterEgo(LibraryConnection& db, const std::string& key, const std::string& base,
                    const std::string& sub, const MemberExtractor& extract, void* owner);

// Deletes the alter-ego folder of `key` (never following a link out of it)
// and the library's rows for it and its set. True when released.
bool ReleaseAlterEgo(LibraryConnection& db, const std::string& key, void* owner);

}  // namespace vel
