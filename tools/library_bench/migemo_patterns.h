#pragma once
// Migemo's patterns for the benchmark's romaji searches. Natively they are
// asked of the real library where the set-up installed it and written to a
// file; the Windows build under Wine, which has no Migemo, reads them from
// that file, so that both search with the same real patterns.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "search/migemo.h"

namespace vel::bench {

// The texts searched with Migemo: two words (the library holds titles of the
// second) and a two-letter text whose pattern is a long alternation.
const std::vector<std::string>& MigemoBenchTexts();

// Patterns by the text Migemo was asked (PrepareMigemoQuery of a search text).
class StoredMigemo : public MigemoSource {
 public:
  bool IsEnabled() override { return !patterns_.empty(); }
  std::optional<std::string> Query(const std::string& text) override;

  // Reads "text<TAB>pattern" lines; false when the file cannot be read.
  bool Read(const std::string& file);
  size_t PatternBytes(const std::string& text) const;

 private:
  std::map<std::string, std::string> patterns_;
};

// Asks the real Migemo library for the patterns of MigemoBenchTexts() and
// writes them in the form StoredMigemo reads. False (and the reason on
// stderr) when the library or its dictionary is missing or the file cannot
// be written.
bool WriteRealMigemoPatterns(const std::string& file);

}  // namespace vel::bench
