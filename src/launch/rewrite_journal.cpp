#include "launch/rewrite_journal.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "core/cp932_text.h"
#include "platform/directory.h"
#include "platform/input_file.h"
#include "platform/system.h"

namespace vel {
namespace {

// One line per record; texts and data are written as hexadecimal digits
// after an "x", so that no byte of them can be taken for a separator.
//   I <id> x<file> x<backup> <owns backup> .
//   R <id> x<key path> x<value name> <type> x<data> <owns backup> .
//   D <id> .                                 (the entry is put back)
// A record counts only when it is complete up to its closing ".": a line cut
// short by a crash was being written before its change, so the change was
// not made.
constexpr const char* kHeader = "VELMAROOK REWRITE JOURNAL 1\n";
constexpr int kMostJournalFiles = 100000;

std::string Hex(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out = "x";
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

bool Unhex(const std::string& field, std::string& bytes) {
  if (field.empty() || field[0] != 'x' || field.size() % 2 != 1) return false;
  bytes.clear();
  for (size_t i = 1; i < field.size(); i += 2) {
    int high = HexDigit(field[i]), low = HexDigit(field[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes += static_cast<char>(high * 16 + low);
  }
  return true;
}

bool Number(const std::string& field, long long& value) {
  if (field.empty() || field.size() > 18 ||
      !std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  value = std::atoll(field.c_str());
  return true;
}

std::string EntryLine(const JournalEntry& entry) {
  std::string id = std::to_string(entry.id);
  std::string owns = entry.ownsBackup ? "1" : "0";
  if (entry.kind == JournalEntry::Kind::kIniFile)
    return "I " + id + " " + Hex(entry.file) + " " + Hex(entry.backup) + " " + owns + " .\n";
  return "R " + id + " " + Hex(entry.keyPath) + " " + Hex(entry.valueName) + " " +
         std::to_string(entry.old.type) + " " + Hex(entry.old.data) + " " + owns + " .\n";
}

std::vector<std::string> Fields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  std::string field;
  while (in >> field) fields.push_back(field);
  return fields;
}

// Reads one complete record into `entries`; anything else is passed over.
void ReadRecord(const std::string& line, std::vector<JournalEntry>& entries) {
  std::vector<std::string> f = Fields(line);
  long long id = 0, type = 0, owns = 0;
  if (f.size() < 3 || f.back() != "." || !Number(f[1], id)) return;
  f.pop_back();
  JournalEntry entry;
  entry.id = static_cast<int>(id);
  if (f[0] == "D" && f.size() == 2) {
    for (JournalEntry& e : entries)
      if (e.id == entry.id) e.restored = true;
    return;
  }
  if (f[0] == "I" && f.size() == 5 && Unhex(f[2], entry.file) && Unhex(f[3], entry.backup) &&
      Number(f[4], owns)) {
    entry.kind = JournalEntry::Kind::kIniFile;
  } else if (f[0] == "R" && f.size() == 7 && Unhex(f[2], entry.keyPath) &&
             Unhex(f[3], entry.valueName) && Number(f[4], type) && Unhex(f[5], entry.old.data) &&
             Number(f[6], owns)) {
    entry.kind = JournalEntry::Kind::kRegistryValue;
    entry.old.type = static_cast<std::uint32_t>(type);
  } else {
    return;
  }
  entry.ownsBackup = owns == 1;
  entries.push_back(std::move(entry));
}

bool IsJournalName(const std::string& name) {
  std::string prefix = kJournalPrefix, extension = kJournalExtension;
  return name.size() > prefix.size() + extension.size() &&
         EqualsIgnoringCase(name.substr(0, prefix.size()), prefix) &&
         EqualsIgnoringCase(name.substr(name.size() - extension.size()), extension);
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
  size_t start = 0;
  for (size_t end = bytes.find('\n'); end != std::string::npos; end = bytes.find('\n', start)) {
    ReadRecord(bytes.substr(start, end - start), entries);
    start = end + 1;
  }
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
  std::vector<std::string> paths;
  for (const FolderEntry& entry : ListFolder(folder).entries)
    if (!entry.isFolder && IsJournalName(entry.name)) paths.push_back(folder + "\\" + entry.name);
  std::sort(paths.begin(), paths.end());
  return paths;
}

}  // namespace vel
