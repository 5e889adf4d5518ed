#pragma once
// Extraction of images that live inside archives, and the copies of plain
// images, into a launch's extraction folder. Archive members are keyed as
// the archive path, "*", and the member name.
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "platform/archivers.h"

namespace vel {

class LibraryConnection;

// Results: 0 on success; an archiver's own error code (positive), or one of these.
enum ExtractionResult : int {
  kExtracted = 0,
  kNoArchiver = -1,         // no library for the extension, or it is not loaded
  kArchiveNotOpened = -2,
  kMemberNotFound = -3,     // no stored name matches; the archiver is not called
  kUnusableCommandText = -4,  // a path or name holds a double quote
  kCopyFailed = -5,
  kSetQueryFailed = -6,     // the members of a set could not be read
  kOwnZipFailed = -7,       // our own ZIP extraction failed
};

// The library for an archive extension (any case): lzh, zip, rar, 7z. A ZIP
// goes to 7-zip32 instead when the caller does CRC work and that library is loaded.
std::optional<ArchiverId> ArchiverForExtension(const std::string& extension, bool crcWork,
                                               bool sevenZipLoaded);
// The loaded archiver for the extension, or null (the selection fails).
Archiver* SelectArchiver(ArchiverSet& archivers, const std::string& extension, bool crcWork);

// The stored name of the member whose name equals `memberName` without
// regard to case, walking every entry with "*.*"; nullopt when the archive
// cannot be opened (`opened` false) or no entry matches.
std::optional<std::string> FindStoredName(Archiver& archiver, const std::string& archivePath,
                                          const std::string& memberName, void* owner, bool& opened);

// The extraction command line for an archive extension (any case): the
// switches, the archive in quotes, the folder with a trailing backslash in
// quotes and the stored name in quotes. nullopt when one of them holds a
// double quote (the line could not say what it means).
std::optional<std::string> ExtractionCommandLine(const std::string& extension, bool skipIfExists,
                                                 const std::string& archivePath, const std::string& folder,
                                                 const std::string& storedName);

// The archiver libraries keep state of their own between calls and are not
// made for several threads: every call through them (launches, set handling,
// backups) holds this lock from the listing to the end of the command.
std::mutex& ArchiverCallLock();

// Extracts one member into `folder` under its own name. With `skipIfExists`
// a file already there is not extracted again. A ZIP is extracted by our
// own reader when UnZip32 is not loaded. Holds ArchiverCallLock() while a
// library is used.
int ExtractMember(ArchiverSet& archivers, const std::string& archivePath, const std::string& memberName,
                  const std::string& folder, bool skipIfExists, void* owner);

// Puts one image into `folder`: an archive member (a key with "*") is
// extracted; a plain image is copied under its file name when `copyPlain`
// (never replacing a copy that is there already); otherwise nothing happens.
int PlaceImage(ArchiverSet& archivers, const std::string& key, const std::string& folder, bool copyPlain,
               bool skipIfExists, void* owner);

// What a launch needs to prepare its images.
struct LaunchImages {
  std::string fileName;     // the item's key
  bool setHead = false;     // the item heads a multi-disk set
  int extract = 0;          // 1 extract archive members, 2 also copy plain images
  std::string extractPath;  // the extraction folder
  bool skipIfExists = false;
  void* owner = nullptr;    // the main window
  // Told the name of each file about to be placed in the folder, before it is.
  std::function<void(const std::string& name)> placing;
};

// Extracts or copies the item's image and, for the head of a set, every
// member's, stopping at the first failure. A failing query of the set is
// shown as a database error. 0 when everything is in place.
int PrepareLaunchImages(ArchiverSet& archivers, LibraryConnection& db, const LaunchImages& launch);

}  // namespace vel
