#pragma once
// The four master tables of categories: machine, media, genre, adultex.
#include <optional>
#include <string>
#include <vector>

namespace vel {

class LibraryConnection;

// Stems in the order the program loads and renumbers them.
inline constexpr const char* kMasterStems[] = {"machine", "media", "genre", "adultex"};

// Names of a kind in the order of their numbers. Returns the error text on failure.
std::optional<std::string> LoadMasterNames(LibraryConnection& db, const std::string& stem,
                                           std::vector<std::string>& names);

// Gives every record its 1-based position in name order, in one transaction.
// On failure returns the message to show (CP932) and leaves the old numbers.
struct RenumberFailure {
  std::string text;     // message text, with the database's message appended
  std::string caption;  // message title
};
std::optional<RenumberFailure> RenumberMasterTable(LibraryConnection& db, const std::string& stem);

}  // namespace vel
