#pragma once
// Where the snapshots of an item come from: its absolute choices (snap1..3),
// else a search of its machine's snapshot folders by naming rules, with the
// results remembered per row and slot until the list is reloaded. Folder
// listings are kept while the folder's last-write time is unchanged, so a
// caller may ask while drawing rows.
// The lookup never touches the library: it is given the row's fields.
// Not thread-safe: the GUI thread owns it.
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace vel {

class LibraryConnection;
struct Settings;

inline constexpr int kSnapMethodCount = 11;  // naming rules 0..10
inline constexpr int kSnapSlots = 3;

// Source kinds of a slot; kSnapReused is added when the remembered result is
// given again.
inline constexpr int kSnapAbsolute = 1;
inline constexpr int kSnapSearched = 2;
inline constexpr int kSnapNoSource = 4;
inline constexpr int kSnapReused = 128;

struct SnapshotSettings {
  std::array<bool, kSnapMethodCount> enabled{};  // FindMode0..10
  std::array<int, kSnapMethodCount> order{};     // FindOrder0..10, without repeats
  bool searchSubdir = false;
  bool skipLoaded = false;
  bool relativeToBase = false;  // FolderPath opp2fix
  std::string baseFolder;       // without a trailing backslash
};

// Methods 1 to 4 enabled, each method at its own position.
SnapshotSettings DefaultSnapshotSettings(const std::string& baseFolder);
// From the settings table (section SnapShot, FolderPath opp2fix).
SnapshotSettings SnapshotSettingsFrom(const Settings& settings, const std::string& baseFolder);

// Order values with the later of repeated values renumbered from 110 upwards
// (skipping values in use), so that every method has a place of its own.
std::array<int, kSnapMethodCount> RenumberFindOrder(const std::array<int, kSnapMethodCount>& order);
// The enabled methods, in search order.
std::vector<int> SearchSequence(const SnapshotSettings& settings);

// A folder path containing "..\" and neither a drive nor a leading "\" taken
// relative to `base` (".." steps resolved); other paths come back unchanged.
std::string ResolveRelativeFolder(const std::string& folder, const std::string& base);

// The fields of one list row the lookup reads (CP932).
struct SnapRow {
  std::array<std::string, kSnapSlots> absolute;  // snap1..3
  std::array<std::string, kSnapSlots> folder;    // snap_path, snap_path2, snap_path3
  std::string fileTitle, fileArcTitle, title, crc32, romNum, breed;
};
// The row's fields from the loaded list result (1-based row); reads cells only.
SnapRow SnapRowFromList(LibraryConnection& list, int row);

enum class SnapOutcome {
  kPicture,     // `path` is the picture file to show
  kNoSource,    // no absolute choice and no folder: the slot shows "NO SNAP"
  kNotFound,    // the search found nothing; `path` is the folder searched
  kMissing,     // the absolute file does not exist; `path` as given
  kNotPicture,  // the absolute file is not a PNG, GIF, JPG or BMP; `path` as given
};

struct SnapFind {
  int kind = kSnapNoSource;  // 1, 2 or 4; + kSnapReused when remembered
  SnapOutcome outcome = SnapOutcome::kNoSource;
  std::string path;
  int method = -1;  // naming rule that found the picture; -1 for none
};

// "[絶対指定]", "[自動検索]", "[検索指定なし]", or "[キャッシュ]" for a reused kind.
std::string SnapLabel(int kind);
// The name of a naming rule shown in the hover text ("" for -1).
std::string SnapMethodName(int method);
// Label, ">", the rule's name, a line break and the path.
std::string SnapHoverText(const SnapFind& find);

class SnapshotLookup {
 public:
  explicit SnapshotLookup(SnapshotSettings settings);
  ~SnapshotLookup();
  SnapshotLookup(const SnapshotLookup&) = delete;
  SnapshotLookup& operator=(const SnapshotLookup&) = delete;

  // New settings; forgets everything remembered.
  void SetSettings(SnapshotSettings settings);
  const SnapshotSettings& CurrentSettings() const { return settings_; }

  // Forgets the remembered results and folder listings: call when the list
  // is reloaded (rows change meaning, files may have been added).
  void Invalidate();

  // Slot 1..3 (any other value means 1) of the 1-based list row. `fields` is
  // called only when the row and slot are not remembered yet.
  SnapFind SnapSource(int row, int slot, const std::function<SnapRow()>& fields);
  SnapFind SnapSource(int row, int slot, const SnapRow& fields);

 private:
  struct FolderIndex;
  struct Candidate;

  std::vector<Candidate> Candidates(const SnapRow& fields) const;
  const SnapFind& Remember(int row, int index, const SnapRow& fields);
  SnapFind Decide(int index, const SnapRow& fields, const std::vector<std::string>& shown);
  SnapFind Search(const std::string& folder, int kind, const SnapRow& fields,
                  const std::vector<std::string>& shown);
  bool SearchOneFolder(const std::string& folder, const std::vector<Candidate>& candidates,
                       const std::vector<std::string>& shown, SnapFind& find);
  const FolderIndex& Listing(const std::string& folder);
  // The folder's listing is missing or older than the folder.
  bool ListingStale(const std::string& folder) const;
  // As ListingStale, and for its subfolders when they are searched too.
  bool FolderChanged(const std::string& folder) const;

  SnapshotSettings settings_;
  std::vector<int> sequence_;
  std::unordered_map<int, std::array<std::optional<SnapFind>, kSnapSlots>> rows_;
  std::unordered_map<std::string, std::unique_ptr<FolderIndex>> folders_;
};

}  // namespace vel
