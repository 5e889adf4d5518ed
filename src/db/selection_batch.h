#pragma once
// One SQL template run for each selected item inside one transaction.
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vel {

class LibraryConnection;

inline constexpr const char* kPrimaryKeyMarker = "__PRIMARY_KEY__";

// The template with every marker replaced by the quoted key. Only for
// templates written in the program: a template holding a user's value would
// have that value scanned for the marker too (use a KeyStatement then).
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

// The whole statement for one key, built by the caller with every value
// quoted where it stands.
using KeyStatement = std::function<std::string(const std::string& key)>;
// Runs inside the batch's transaction after the last key (a table derived
// from the changed rows is rebuilt there). The error text on failure.
using BatchFinish = std::function<std::optional<std::string>(LibraryConnection& db)>;

// As RunSelectionBatch, with a statement built per key, then `finish`; a
// failure anywhere rolls everything back.
std::optional<BatchFailure> RunSelectionStatements(LibraryConnection& db,
                                                   const std::vector<std::string>& keys,
                                                   const KeyStatement& statementFor,
                                                   const BatchFinish& finish = {});

// As RunSelectionStatements, with one statement parsed once and run for
// every key: `sql` holds ?1 for the key and ?2, ?3, ... for `values`
// (CP932, stored exactly as quoted text would store them). A failure names
// the statement `statementFor` gives for the key that failed, the same text
// RunSelectionStatements would have run.
struct KeyedStatement {
  std::string sql;
  std::vector<std::string> values;
  KeyStatement statementFor;
};
std::optional<BatchFailure> RunKeyedStatement(LibraryConnection& db, const std::vector<std::string>& keys,
                                              const KeyedStatement& statement, const BatchFinish& finish = {});

}  // namespace vel
