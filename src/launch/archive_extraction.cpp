#include "launch/archive_extraction.h"

#include <vector>

#include "core/cp932_text.h"
#include "db/library_connection.h"
#include "launch/archive_names.h"
#include "launch/zip_extractor.h"
#include "maintenance/import_rules.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/file_operations.h"
#include "platform/system.h"

namespace vel {
namespace {

struct Format {
  const char* extension;
  ArchiverId library;
  const char* switches;
  const char* skipSwitch;
};

constexpr Format kFormats[] = {
    {"lzh", ArchiverId::kUnlha, "e -+", " -jn1"},
    {"zip", ArchiverId::kUnZip, "-x -j -qUdee", " -n"},
    {"rar", ArchiverId::kUnrar, "-e", " -o-"},
    {"7z", ArchiverId::kSevenZip, "e", " -aos"},
};

const Format* FormatOf(const std::string& extension) {
  const std::string lower = LowerAscii(extension);
  for (const Format& format : kFormats)
    if (lower == format.extension) return &format;
  return nullptr;
}

bool HoldsQuote(const std::string& text) { return text.find('"') != std::string::npos; }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

std::optional<ArchiverId> ArchiverForExtension(const std::string& extension, bool crcWork,
                                               bool sevenZipLoaded) {
  const Format* format = FormatOf(extension);
  if (!format) return std::nullopt;
  if (format->library == ArchiverId::kUnZip && crcWork && sevenZipLoaded) return ArchiverId::kSevenZip;
  return format->library;
}

Archiver* SelectArchiver(ArchiverSet& archivers, const std::string& extension, bool crcWork) {
  auto id = ArchiverForExtension(extension, crcWork, archivers.Loaded(ArchiverId::kSevenZip) != nullptr);
  return id ? archivers.Loaded(*id) : nullptr;
}

std::optional<std::string> FindStoredName(Archiver& archiver, const std::string& archivePath,
                                          const std::string& memberName, void* owner, bool& opened) {
  std::vector<ListedMember> members;
  opened = ListMembers(archiver, archivePath, owner, members);
  for (const ListedMember& member : members)
    // A name that fills the record's whole field was cut by it: it names no member.
    if (member.name.size() < kArchiverNameBytes && EqualsIgnoringCase(member.name, memberName)) return member.name;
  return std::nullopt;
}

std::optional<std::string> ExtractionCommandLine(const std::string& extension, bool skipIfExists,
                                                 const std::string& archivePath, const std::string& folder,
                                                 const std::string& storedName) {
  const Format* format = FormatOf(extension);
  if (!format || HoldsQuote(archivePath) || HoldsQuote(folder) || HoldsQuote(storedName)) return std::nullopt;
  std::string switches = std::string(format->switches) + (skipIfExists ? format->skipSwitch : "");
  std::string destination = EndsWithSeparator(folder) ? folder : folder + "\\";
  return switches + " " + Quoted(archivePath) + " " + Quoted(destination) + " " + Quoted(storedName);
}

std::mutex& ArchiverCallLock() {
  static std::mutex lock;
  return lock;
}

int ExtractMember(ArchiverSet& archivers, const std::string& archivePath, const std::string& memberName,
                  const std::string& folder, bool skipIfExists, void* owner) {
  const std::string extension = LowerAscii(ExtensionOf(archivePath));
  Archiver* archiver = SelectArchiver(archivers, extension, false);
  if (!archiver) {
    if (extension != "zip") return kNoArchiver;
    return ExtractZipMember(archivePath, memberName, folder, skipIfExists) == ZipExtractStatus::kOk ? kExtracted
                                                                                                   : kOwnZipFailed;
  }
  std::lock_guard<std::mutex> serialised(ArchiverCallLock());
  bool opened = false;
  std::optional<std::string> stored = FindStoredName(*archiver, archivePath, memberName, owner, opened);
  if (!opened) return kArchiveNotOpened;
  if (!stored) return kMemberNotFound;
  std::optional<std::string> line = ExtractionCommandLine(extension, skipIfExists, archivePath, folder, *stored);
  if (!line) return kUnusableCommandText;
  int result = archiver->Command(owner, line->c_str());
  // The RAR library reports a kept file as an error; it counts as extracted
  // only when the file is really there.
  if (result != 0 && skipIfExists && extension == "rar" && FileExists(JoinFolder(folder, OwnFileName(*stored))))
    return kExtracted;
  return result;
}

int PlaceImage(ArchiverSet& archivers, const std::string& key, const std::string& folder, bool copyPlain,
               bool skipIfExists, void* owner) {
  if (key.find('*') != std::string::npos)
    return ExtractMember(archivers, KeyFilePath(key), KeyMember(key), folder, skipIfExists, owner);
  if (!copyPlain) return kExtracted;
  const std::string target = JoinFolder(folder, NameOf(key));
  if (FileExists(target)) return kExtracted;
  return CopyOneFile(key, target, CopyMode::kKeepExisting) ? kExtracted : kCopyFailed;
}

namespace {

// Announces the file a key is placed as, then places it.
int PlaceAnnounced(ArchiverSet& archivers, const std::string& key, const LaunchImages& launch) {
  const bool copyPlain = launch.extract == 2;
  const bool member = key.find('*') != std::string::npos;
  if (launch.placing && (member || copyPlain)) launch.placing(member ? OwnFileName(KeyMember(key)) : NameOf(key));
  return PlaceImage(archivers, key, launch.extractPath, copyPlain, launch.skipIfExists, launch.owner);
}

}  // namespace

int PrepareLaunchImages(ArchiverSet& archivers, LibraryConnection& db, const LaunchImages& launch) {
  if (launch.extract <= 0) return kExtracted;
  int result = PlaceAnnounced(archivers, launch.fileName, launch);
  if (result != kExtracted || !launch.setHead) return result;
  if (auto error = db.Query("SELECT file_name, ply FROM main_table WHERE ply_file_name='" +
                            Quote(launch.fileName) + "' ORDER BY ply, file_name ;")) {
    ShowMessage(Jp("子イメージが取得できませんでした") + "\n" + Utf8ToAnsi(*error), Jp("DBエラー"),
                kMbOk | kMbIconError, launch.owner);
    return kSetQueryFailed;
  }
  // The grid is the connection's: take the keys before extracting.
  std::vector<std::string> members;
  for (int row = 1; row <= db.RowCount(); ++row) members.push_back(db.Cell(row, 0));
  for (const std::string& member : members) {
    result = PlaceAnnounced(archivers, member, launch);
    if (result != kExtracted) return result;
  }
  return kExtracted;
}

}  // namespace vel
