#pragma once
// One SQL template run for each selected item inside one transaction.
#include <optional>
#include <string>
#include <vector>

namespace vel {

class LibraryConnection;

inline constexpr const char* kPrimaryKeyMarker = "__PRIMARY_KEY__";

// The template with every marker replaced by the quoted key.
std::string BindPrimaryKey(const std::string& sqlTemplate, const std::string& key);

// Runs the template once per key between "BEGIN;" and "COMMIT;". The first
// failing statement rolls the whole batch back and its error text is returned
// (nothing is half-applied).
struct BatchFailure {
  std::string error;  // UTF-8, as the database gives it
  std::string sql;    // the statement that failed (CP932)
};
std::optional<BatchFailure> RunSelectionBatch(LibraryConnection& db,
                                              const std::vector<std::string>& keys,
                                              const std::string& sqlTemplate);

}  // namespace vel
