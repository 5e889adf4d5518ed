#pragma once
// An item's absolute snapshot choice: the three paths of snap_path_table and
// its own display setting, read and written in one statement, as the
// per-item dialog and the record editor store them.
#include <array>
#include <optional>
#include <string>

namespace vel {

class LibraryConnection;

struct SnapshotChoice {
  std::array<std::string, 3> paths;  // snap1..snap3 (CP932), "" = searched in the machine's folders
  std::string display;               // snap_dtt as stored, "" = the machine's setting
  bool operator==(const SnapshotChoice&) const = default;
};

inline constexpr size_t kSnapshotPathLimit = 259;  // bytes of one path

// Why the choice cannot be stored as it stands (CP932), or nothing.
std::optional<std::string> SnapshotChoiceRefusal(const SnapshotChoice& choice);

// The statement that stores the choice of the item keyed `key` (CP932): the
// row removed when nothing is chosen, else written whole. Every value quoted.
std::string SnapshotChoiceStatement(const std::string& key, const SnapshotChoice& choice);

// The item's choice ("" everywhere when it has no row); the database's error text on failure.
std::optional<std::string> ReadSnapshotChoice(LibraryConnection& db, const std::string& key, SnapshotChoice& choice);
std::optional<std::string> StoreSnapshotChoice(LibraryConnection& db, const std::string& key,
                                               const SnapshotChoice& choice);

}  // namespace vel
