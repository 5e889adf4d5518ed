#pragma once
// One typed value written to a text field of every selected item (title,
// maker, developer, country, version, release date, creators), all or
// nothing. Texts are CP932.
#include <optional>
#include <string>
#include <vector>

#include "db/selection_batch.h"

namespace vel {

class LibraryConnection;

enum class BulkTextField { Title, Maker, Developer, Country, Version, ReleaseDate, Creators };

inline constexpr size_t kBulkTextLimit = 255;      // bytes
inline constexpr size_t kBulkCreatorsLimit = 4095;  // bytes

// What is written: the value as stored (a normalised date or creator text)
// and, for a title, its reading and smart title.
struct BulkTextValue {
  std::string value, kana, smartTitle;
};

// The value as the field stores it, or the message that refuses it (too
// long for the field, or a date that is not one).
struct PreparedBulkText {
  std::optional<BulkTextValue> value;
  std::string refusal;
};
PreparedBulkText PrepareBulkText(BulkTextField field, const BulkTextValue& typed);

// The existing values offered for a field (title, maker, developer and
// country), in name order; "" for a field typed without a list.
std::string BulkTextValuesQuery(BulkTextField field);
// Those values read on `db` (a connection of the caller's own: its result
// is replaced). The error text (UTF-8) on failure.
std::optional<std::string> LoadBulkTextValues(LibraryConnection& db, BulkTextField field,
                                              std::vector<std::string>& values);

// The statement for one item: a creator text replaced or, when empty,
// removed; any other field updated in main_table.
std::string BulkTextStatement(BulkTextField field, const std::string& key, const BulkTextValue& value);
std::optional<BatchFailure> ChangeTextOfItems(LibraryConnection& db, BulkTextField field,
                                              const std::vector<std::string>& keys, const BulkTextValue& value);

}  // namespace vel
