#pragma once
// Picture files and folders dropped on the snapshot area become the item's
// absolute snapshot choices in snap_path_table.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vel {

class LibraryConnection;

inline constexpr int kMaxDroppedEntries = 3;

// The dropped entries that count, at most three in their order: folders and
// files ending in .png, .bmp, .gif or .jpg (any case); others are passed over.
std::vector<std::string> AcceptedDropEntries(const std::vector<std::string>& dropped,
                                             const std::function<bool(const std::string&)>& isFolder);

struct DropFailure {
  std::string tag;          // "DropSnapFiles" or "DropSnapFile"
  std::string description;  // what could not be done
  std::string error;        // the database's text (UTF-8)
  std::string sql;
};

// Stores the entries for the item keyed `key`: with `oneSlot` 1..3 the single
// entry goes to that slot, else the entries go to snap1, snap2, snap3 in order.
// Nothing happens (and nothing is reported) without a key or an entry.
// Returns true when something was stored.
bool StoreDroppedSnapshots(LibraryConnection& db, const std::string& key, const std::vector<std::string>& entries,
                           int oneSlot, std::optional<DropFailure>& failure);

// The slot of the "3Shots" tab under x in a pane `width` wide (three equal columns).
int ThreeShotsSlotAt(int x, int width);

}  // namespace vel
