#pragma once
// What a launch found in its extraction folder and what it put there, so
// that the clean-up after the run deletes only the program's own files and
// what appeared while the emulators ran, never what a user kept there.
//
// Each launch that will clean its folder has a journal file of its own in the
// base folder, held open while the launch lives and written to the disk
// before the first file is placed. A journal that can be taken belongs to no
// running launch: it was left by a crash, and the next clean-up deletes what
// it says the program put there.
#include <functional>
#include <string>
#include <vector>

#include "platform/held_file.h"

namespace vel {

inline constexpr const char* kExtractionJournalPrefix = "Velmarook2_extract_";
inline constexpr const char* kExtractionJournalExtension = ".journal";

class ExtractionJournal {
 public:
  // `baseFolder`: where a new journal file is made.
  explicit ExtractionJournal(std::string baseFolder = "");
  ~ExtractionJournal();  // lets go of the file, leaving it for the next clean-up
  ExtractionJournal(const ExtractionJournal&) = delete;
  ExtractionJournal& operator=(const ExtractionJournal&) = delete;

  // Makes the journal file and records the folder and every name in it.
  // False when the journal could not be written or the folder not be read:
  // then it cannot tell what is new, and the clean-up leaves the folder alone
  // as far as this journal goes.
  bool Begin(const std::string& extractionFolder);
  // Records a name the launch is about to place in the folder (written to
  // the disk first). Names that were there before are not recorded: they
  // stay. False when the record could not be written.
  bool RecordPlaced(const std::string& name);
  // Takes a journal file that no running launch holds and reads it; false
  // when it is missing, held or not a journal.
  bool TakeLeftBehind(const std::string& path);
  // Lets go of the journal and removes its file: its clean-up has run.
  void Finish();

  const std::string& Folder() const { return folder_; }
  // True when the names before were all recorded.
  bool HasListing() const { return listed_; }
  const std::vector<std::string>& NamesBefore() const { return before_; }
  const std::vector<std::string>& PlacedNames() const { return placed_; }
  const std::string& Path() const { return path_; }

 private:
  bool Append(const std::string& line);

  std::string baseFolder_;
  std::string path_;
  HeldFile file_;
  std::string folder_;
  std::vector<std::string> before_;
  std::vector<std::string> placed_;
  bool listed_ = false;
  bool broken_ = false;
};

// The journal files in the base folder, held or not.
std::vector<std::string> ExtractionJournalFilesIn(const std::string& baseFolder);

// True when a folder may be cleaned at all: an existing absolute folder (or
// a network path) that is neither a drive root nor the base folder or one of
// its parents.
bool IsCleanableExtractionFolder(const std::string& folder, const std::string& baseFolder);

// Tells whether a path in an extraction folder must stay: for a file, it is
// an image of the library; for a folder, it holds one.
using KeptImageTest = std::function<bool(const std::string& path, bool isFolder)>;

struct CleanupOutcome {
  int failed = 0;  // deletions that did not succeed
  int kept = 0;    // entries left because they were there before or are images
};

// Cleans the folders of the journals after the last launch using them ended.
// `running` are the journals of the launches that overlapped up to now: in
// each folder they delete what any of them placed and what is new since the
// first of them listed it. `leftBehind` are journals of crashed runs: only
// what they placed is deleted. Never deleted: what `keep` names, and what
// lies behind a link. Every journal is finished.
CleanupOutcome CleanExtractionFolders(const std::vector<ExtractionJournal*>& running,
                                      const std::vector<ExtractionJournal*>& leftBehind,
                                      const std::string& baseFolder, const KeptImageTest& keep);

}  // namespace vel
