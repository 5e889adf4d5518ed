#include "launch/rewrite_journal.h"

#include <algorithm>

#include "core/cp932_text.h"
#include "launch/journal_records.h"
#include "platform/input_file.h"
#include "platform/system.h"

namespace vel {
namespace {

// One record per line (see journal_records.h):
//   I <id> x<file> x<backup> <owns backup> .
//   R <id> x<key path> x<value name> <type> x<data> <owns backup> .
//   D <id> .                                 (the entry is put back)
// A line cut short by a crash was being written before its change, so the
// change was not made.
constexpr const char* kHeader = "VELMAROOK REWRITE JOURNAL 1\n";
constexpr int kMostJournalFiles = 100000;

std::string EntryLine(const JournalEntry& entry) {
  std::string id = std::to_string(entry.id);
  std::string owns = entry.ownsBackup ? "1" : "0";
  if (entry.kind == JournalEntry::Kind::kIniFile)
    return "I " + id + " " + HexField(entry.file) + " " + HexField(entry.backup) + " " + owns + " .\n";
  return "R " + id + " " + HexField(entry.keyPath) + " " + HexField(entry.valueName) + " " +
         std::to_string(entry.old.type) + " " + HexField(entry.old.data) + " " + owns + " .\n";
}

// Reads one complete record into `entries`; anything else is passed over.
void ReadRecord(const std::string& line, std::vector<JournalEntry>& entries) {
  std::vector<std::string> f = RecordFields(line);
  long long id = 0, type = 0, owns = 0;
  if (f.size() < 2 || !NumberField(f[1], id)) return;
  JournalEntry entry;
  entry.id = static_cast<int>(id);
  if (f[0] == "D" && f.size() == 2) {
    for (JournalEntry& e : entries)
      if (e.id == entry.id) e.restored = true;
    return;
  }
  if (f[0] == "I" && f.size() == 5 && UnhexField(f[2], entry.file) && UnhexField(f[3], entry.backup) &&
      NumberField(f[4], owns)) {
    entry.kind = JournalEntry::Kind::kIniFile;
  } else if (f[0] == "R" && f.size() == 7 && UnhexField(f[2], entry.keyPath) &&
             UnhexField(f[3], entry.valueName) && NumberField(f[4], type) && UnhexField(f[5], entry.old.data) &&
             NumberField(f[6], owns)) {
    entry.kind = JournalEntry::Kind::kRegistryValue;
    entry.old.type = static_cast<std::uint32_t>(type);
  } else {
    return;
  }
  entry.ownsBackup = owns == 1;
  entries.push_back(std::move(entry));
}

}  // namespace

RewriteJournal::RewriteJournal(std::string folder) : folder_(std::move(folder)) {}

RewriteJournal::~RewriteJournal() { file_.Release(); }

bool RewriteJournal::Append(const std::string& line) {
  if (broken_ || !file_.IsHeld() || !file_.Append(line)) {
    broken_ = true;
    return false;
  }
  return true;
}

bool RewriteJournal::Record(JournalEntry& entry) {
  if (broken_) return false;
  if (!file_.IsHeld()) {
    if (!path_.empty()) return false;  // a taken journal that was let go
    for (int n = 1; n <= kMostJournalFiles && !file_.IsHeld(); ++n) {
      std::string candidate = folder_ + "\\" + kJournalPrefix + std::to_string(n) + kJournalExtension;
      if (file_.Create(candidate)) {
        path_ = candidate;
      } else if (!FileExists(candidate)) {
        break;
      }
    }
    if (!file_.IsHeld() || !Append(kHeader)) {
      broken_ = true;
      return false;
    }
  }
  entry.id = nextId_;
  entry.restored = false;
  if (!Append(EntryLine(entry))) return false;
  ++nextId_;
  entries_.push_back(entry);
  return true;
}

const JournalEntry* RewriteJournal::FindIniFile(const std::string& file) const {
  for (const JournalEntry& e : entries_)
    if (e.kind == JournalEntry::Kind::kIniFile && EqualsIgnoringCase(e.file, file)) return &e;
  return nullptr;
}

const JournalEntry* RewriteJournal::FindRegistryValue(const std::string& keyPath,
                                                      const std::string& valueName) const {
  for (const JournalEntry& e : entries_)
    if (e.kind == JournalEntry::Kind::kRegistryValue && EqualsIgnoringCase(e.keyPath, keyPath) &&
        EqualsIgnoringCase(e.valueName, valueName))
      return &e;
  return nullptr;
}

bool RewriteJournal::MarkRestored(int id) {
  auto entry = std::find_if(entries_.begin(), entries_.end(),
                            [id](const JournalEntry& e) { return e.id == id; });
  if (entry == entries_.end()) return false;
  // A journal that cannot take the mark keeps the entry open; putting it back
  // again later does no harm.
  if (broken_ || !file_.IsHeld() || !file_.Append("D " + std::to_string(id) + " .\n")) return false;
  entry->restored = true;
  return true;
}

bool RewriteJournal::TakeLeftBehind(const std::string& path) {
  file_.Release();
  entries_.clear();
  broken_ = false;
  path_ = path;
  std::string bytes;
  if (!file_.Take(path) || !file_.ReadAll(bytes)) {
    file_.Release();
    return false;
  }
  size_t start = 0;
  for (size_t end = bytes.find('\n'); end != std::string::npos; end = bytes.find('\n', start)) {
    ReadRecord(bytes.substr(start, end - start), entries_);
    start = end + 1;
  }
  for (const JournalEntry& e : entries_) nextId_ = std::max(nextId_, e.id + 1);
  // Whatever follows the last line feed was cut short: end it, so that a
  // mark written now starts on a line of its own.
  if (start < bytes.size() && !file_.Append("\n")) broken_ = true;
  return true;
}

bool RewriteJournal::HasPendingEntries() const {
  return std::any_of(entries_.begin(), entries_.end(), [](const JournalEntry& e) { return !e.restored; });
}

void RewriteJournal::Finish() {
  bool held = file_.IsHeld();
  file_.Release();
  if (held && !HasPendingEntries()) RemoveFile(path_);
}

std::string RewriteJournal::Folder() const {
  if (!folder_.empty() || path_.empty()) return folder_;
  size_t cut = path_.find_last_of("\\/");
  return cut == std::string::npos ? std::string() : path_.substr(0, cut);
}

bool IsJournalHeld(const std::string& path) {
  HeldFile probe;
  if (probe.Take(path)) return false;
  return FileExists(path);
}

std::vector<JournalEntry> PeekJournal(const std::string& path) {
  std::vector<JournalEntry> entries;
  InputFile file;
  if (!file.Open(path) || file.Size() <= 0) return entries;
  std::string bytes(static_cast<size_t>(file.Size()), '\0');
  if (!file.ReadExactly(0, bytes.data(), bytes.size())) return entries;
  for (const std::string& line : JournalLines(bytes)) ReadRecord(line, entries);
  return entries;
}

RewriteLock::RewriteLock(const std::string& folder) {
  if (folder.empty()) return;
  const std::string path = folder + "\\" + kRewriteLockName;
  constexpr int kTries = 1500;  // 30 seconds
  for (int i = 0; i < kTries; ++i) {
    if (file_.Create(path) || file_.Take(path)) return;
    if (!FileExists(path)) return;  // it cannot be made at all: nobody holds it
    SleepMs(20);
  }
}

std::vector<std::string> JournalFilesIn(const std::string& folder) {
  return JournalFilesIn(folder, kJournalPrefix, kJournalExtension);
}

}  // namespace vel
