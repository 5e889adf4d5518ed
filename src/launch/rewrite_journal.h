#pragma once
// One launch's record of the emulator settings its rewrite changed and how to
// put them back. Each entry reaches the disk before its change is made, and
// is marked put back only after the restoring write succeeded, so a launch
// that never got to restore (the program crashed or was killed) leaves a
// journal from which the next start puts everything back.
//
// Each launch has a journal file of its own in the base folder, held open
// while the launch lives: a journal that can be taken belongs to no running
// launch, and a launch's restore never touches another launch's entries.
#include <string>
#include <vector>

#include "platform/held_file.h"
#include "platform/registry.h"

namespace vel {

inline constexpr const char* kJournalPrefix = "Velmarook2_rewrite_";
inline constexpr const char* kJournalExtension = ".journal";

struct JournalEntry {
  enum class Kind { kIniFile, kRegistryValue };
  Kind kind = Kind::kIniFile;
  int id = 0;
  // An INI file and the copy it is put back from.
  std::string file;
  std::string backup;
  // A registry value ("ROOT\subkey" and the value name) with its type and
  // data (stored form) before the change.
  std::string keyPath;
  std::string valueName;
  RegistryValue old;
  // True when this launch made the backup (it did not exist before).
  bool ownsBackup = false;
  bool restored = false;
};

class RewriteJournal {
 public:
  // `folder`: where a new journal file is made (the base folder).
  explicit RewriteJournal(std::string folder = "");
  ~RewriteJournal();  // lets go of the file, leaving it for the recovery
  RewriteJournal(const RewriteJournal&) = delete;
  RewriteJournal& operator=(const RewriteJournal&) = delete;

  // Writes the entry to the disk (making the journal file at the first) and
  // gives it its id. False when it could not be written: the change it
  // describes must then not be made. After one failed write the journal takes
  // no more entries.
  bool Record(JournalEntry& entry);
  // The entry already recorded for an INI file or a registry value, or null.
  const JournalEntry* FindIniFile(const std::string& file) const;
  const JournalEntry* FindRegistryValue(const std::string& keyPath, const std::string& valueName) const;
  // Marks an entry put back, on the disk first; false when that failed.
  bool MarkRestored(int id);

  // Takes a journal file that no running launch holds and reads its
  // entries; false when it is missing or held.
  bool TakeLeftBehind(const std::string& path);
  // Lets go of the file; removes it when no entry is left to put back.
  void Finish();

  std::vector<JournalEntry>& Entries() { return entries_; }
  const std::string& Path() const { return path_; }
  // The folder of the journal file (its path without the name).
  std::string Folder() const;
  bool HasPendingEntries() const;

 private:
  bool Append(const std::string& line);

  std::string folder_;
  std::string path_;
  HeldFile file_;
  std::vector<JournalEntry> entries_;
  int nextId_ = 1;
  bool broken_ = false;
};

// The journal files in `folder` (held or not), oldest name first.
std::vector<std::string> JournalFilesIn(const std::string& folder);

// True when a running launch holds the journal file.
bool IsJournalHeld(const std::string& path);
// The entries of a journal as it stands on the disk, read without taking it
// (another launch may be writing it).
std::vector<JournalEntry> PeekJournal(const std::string& path);

// One rewrite, restore or recovery at a time among the launches of every
// running instance: a held file in the base folder. Waits for it a while,
// then goes on without it rather than leave settings rewritten.
class RewriteLock {
 public:
  explicit RewriteLock(const std::string& folder);
  RewriteLock(const RewriteLock&) = delete;
  RewriteLock& operator=(const RewriteLock&) = delete;

 private:
  HeldFile file_;
};
inline constexpr const char* kRewriteLockName = "Velmarook2_rewrite.lock";

}  // namespace vel
