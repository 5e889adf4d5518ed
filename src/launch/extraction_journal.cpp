#include "launch/extraction_journal.h"

#include <algorithm>
#include <unordered_set>

#include "core/cp932_text.h"
#include "launch/journal_records.h"
#include "platform/directory.h"
#include "platform/file_operations.h"
#include "platform/folder_tree.h"
#include "platform/system.h"

namespace vel {
namespace {

// One record per line (see journal_records.h):
//   F x<extraction folder> .
//   B x<name> .        (there before the launch)
//   L .                (every name there before is recorded)
//   P x<name> .        (about to be placed by the launch)
constexpr const char* kHeader = "VELMAROOK EXTRACTION JOURNAL 1\n";
constexpr int kMostJournalFiles = 100000;

bool HoldsName(const std::vector<std::string>& names, const std::string& name) {
  return std::any_of(names.begin(), names.end(), [&](const std::string& n) { return EqualsIgnoringCase(n, name); });
}

std::string WithoutTrailingSeparator(std::string folder) {
  while (folder.size() > 1 && EndsWithSeparator(folder)) folder.pop_back();
  return folder;
}

// The journals of one extraction folder.
struct FolderJournals {
  std::string folder;
  std::vector<ExtractionJournal*> running, leftBehind;
};

// Names as compared: single-byte letters in upper case, as a folder
// compares them. A set of them, so that a folder of thousands of files is
// cleaned in one pass.
using NameSet = std::unordered_set<std::string>;

void AddNames(const std::vector<std::string>& names, NameSet& set) {
  for (const std::string& name : names) set.insert(ToUpperByCharacter(name));
}

// The names of `journals`' before-listings that every complete listing has:
// what was in the folder before the first of them began. False when none of
// them has a complete listing.
bool NamesBeforeAll(const std::vector<ExtractionJournal*>& journals, NameSet& names) {
  bool any = false;
  for (const ExtractionJournal* journal : journals) {
    if (!journal->HasListing()) continue;
    NameSet these;
    AddNames(journal->NamesBefore(), these);
    if (any) std::erase_if(names, [&](const std::string& name) { return !these.count(name); });
    else names = std::move(these);
    any = true;
  }
  return any;
}

bool RemoveEntry(const std::string& path, bool isFolder) {
  if (isFolder) return RemoveFolderTree(path);  // links inside are removed, never followed
  ClearFileAttributes(path);
  return RemoveFile(path);
}

void CleanFolder(const FolderJournals& journals, const std::string& baseFolder, const KeptImageTest& keep,
                 CleanupOutcome& outcome) {
  if (!IsCleanableExtractionFolder(journals.folder, baseFolder)) return;
  NameSet placed;
  for (const auto* list : {&journals.running, &journals.leftBehind})
    for (const ExtractionJournal* journal : *list) AddNames(journal->PlacedNames(), placed);
  NameSet before;
  const bool knowsBefore = NamesBeforeAll(journals.running, before);
  const bool countKept = !journals.running.empty();
  // A link to a folder is not listed: it and what it reaches stay.
  for (const FolderEntry& entry : ListFolder(journals.folder).entries) {
    const std::string name = ToUpperByCharacter(entry.name);
    const bool ours = placed.count(name) || (knowsBefore && !before.count(name));
    const std::string path = journals.folder + "\\" + entry.name;
    if (!ours || keep(path, entry.isFolder)) {
      if (countKept) ++outcome.kept;
      continue;
    }
    if (!RemoveEntry(path, entry.isFolder)) ++outcome.failed;
  }
}

}  // namespace

ExtractionJournal::ExtractionJournal(std::string baseFolder) : baseFolder_(std::move(baseFolder)) {}

ExtractionJournal::~ExtractionJournal() { file_.Release(); }

bool ExtractionJournal::Append(const std::string& line) {
  if (broken_ || !file_.IsHeld() || !file_.Append(line)) {
    broken_ = true;
    return false;
  }
  return true;
}

bool ExtractionJournal::Begin(const std::string& extractionFolder) {
  if (file_.IsHeld() || !path_.empty()) return false;
  for (int n = 1; n <= kMostJournalFiles && !file_.IsHeld(); ++n) {
    std::string candidate = baseFolder_ + "\\" + kExtractionJournalPrefix + std::to_string(n) +
                            kExtractionJournalExtension;
    if (file_.Create(candidate)) path_ = candidate;
    else if (!FileExists(candidate)) break;
  }
  folder_ = WithoutTrailingSeparator(extractionFolder);
  if (!Append(std::string(kHeader) + "F " + HexField(folder_) + " .\n")) return false;
  FolderListing listing = ListFolder(folder_);
  if (!listing.opened) return false;
  std::string lines;
  for (const FolderEntry& entry : listing.entries) {
    before_.push_back(entry.name);
    lines += "B " + HexField(entry.name) + " .\n";
  }
  // Names the program cannot spell are never deleted, so they need no record.
  if (!Append(lines + "L .\n")) return false;
  listed_ = true;
  return true;
}

bool ExtractionJournal::RecordPlaced(const std::string& name) {
  if (!listed_) return false;
  if (HoldsName(before_, name) || HoldsName(placed_, name)) return true;
  if (!Append("P " + HexField(name) + " .\n")) return false;
  placed_.push_back(name);
  return true;
}

bool ExtractionJournal::TakeLeftBehind(const std::string& path) {
  file_.Release();
  path_ = path;
  folder_.clear();
  before_.clear();
  placed_.clear();
  listed_ = false;
  std::string bytes;
  if (!file_.Take(path) || !file_.ReadAll(bytes) || bytes.rfind(kHeader, 0) != 0) {
    file_.Release();
    return false;
  }
  for (const std::string& line : JournalLines(bytes)) {
    std::vector<std::string> f = RecordFields(line);
    std::string text;
    if (f.size() == 1 && f[0] == "L") listed_ = true;
    if (f.size() != 2 || !UnhexField(f[1], text)) continue;
    if (f[0] == "F") folder_ = text;
    else if (f[0] == "B") before_.push_back(text);
    else if (f[0] == "P") placed_.push_back(text);
  }
  broken_ = true;  // a taken journal only tells; it takes no more records
  return true;
}

void ExtractionJournal::Finish() {
  bool held = file_.IsHeld();
  file_.Release();
  if (held) RemoveFile(path_);
}

std::vector<std::string> ExtractionJournalFilesIn(const std::string& baseFolder) {
  return JournalFilesIn(baseFolder, kExtractionJournalPrefix, kExtractionJournalExtension);
}

bool IsCleanableExtractionFolder(const std::string& folder, const std::string& baseFolder) {
  bool absolute = folder.size() > 3 && folder[1] == ':' && (folder[2] == '\\' || folder[2] == '/');
  bool unc = folder.rfind("\\\\", 0) == 0;
#ifndef _WIN32
  absolute = absolute || (folder.size() > 1 && folder[0] == '/');  // the native build's own paths
#endif
  // The folder is the base folder or a parent of it when the base folder's
  // path begins with it.
  // '/' separates folders too ('/' is never the second byte of a character).
  auto comparable = [](std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return WithoutTrailingSeparator(path) + "\\";
  };
  std::string base = comparable(baseFolder);
  std::string candidate = comparable(folder);
  bool containsBase = base.size() >= candidate.size() && EqualsIgnoringCase(base.substr(0, candidate.size()), candidate);
  return (absolute || unc) && !containsBase && DirectoryExists(folder);
}

CleanupOutcome CleanExtractionFolders(const std::vector<ExtractionJournal*>& running,
                                      const std::vector<ExtractionJournal*>& leftBehind,
                                      const std::string& baseFolder, const KeptImageTest& keep) {
  std::vector<FolderJournals> folders;
  auto folderOf = [&](const ExtractionJournal* journal) -> FolderJournals* {
    if (journal->Folder().empty()) return nullptr;
    for (FolderJournals& f : folders)
      if (EqualsIgnoringCase(f.folder, journal->Folder())) return &f;
    folders.push_back({journal->Folder(), {}, {}});
    return &folders.back();
  };
  for (ExtractionJournal* journal : running)
    if (FolderJournals* f = folderOf(journal)) f->running.push_back(journal);
  for (ExtractionJournal* journal : leftBehind)
    if (FolderJournals* f = folderOf(journal)) f->leftBehind.push_back(journal);
  CleanupOutcome outcome;
  for (const FolderJournals& f : folders) CleanFolder(f, baseFolder, keep, outcome);
  for (const auto* list : {&running, &leftBehind})
    for (ExtractionJournal* journal : *list) journal->Finish();
  return outcome;
}

}  // namespace vel
