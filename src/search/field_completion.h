#pragma once
// Completion of a typed field (title, maker, developer, country) from the
// values already in the library: when to look up and the statement that
// finds the values. Texts are CP932.
#include <optional>
#include <string>
#include <vector>

namespace vel {

class LibraryConnection;

inline constexpr size_t kCompletionReadBytes = 520;  // the most of a field read for a look-up
inline constexpr size_t kCompletionMaxBytes = 16;    // longer texts are not looked up
inline constexpr int kCompletionRows = 40;

enum class CompletionStep {
  Close,   // the text got shorter or is empty: close the drop-down
  Keep,    // too long to look up: leave the drop-down as it is
  LookUp,  // run the look-up
};

// What an edit of the field leads to, given the length of the text at the
// previous edit.
CompletionStep NextCompletionStep(size_t previousLength, const std::string& text);

struct CompletionRequest {
  std::string column;         // title, maker, developer or country
  std::string text;           // as typed
  std::string migemoPattern;  // adapted pattern; "" = prefix match
  int regexEngine = 0;        // the engine the pattern is for
};
// The distinct values of parent images beginning with the text (or, with
// a pattern, matching it), in value order, at most kCompletionRows.
std::string CompletionStatement(const CompletionRequest& request);
// Those values read on `db` (a connection of the caller's own, never the
// main one: its result is replaced). The error text (UTF-8) on failure.
std::optional<std::string> LookUpCompletions(LibraryConnection& db, const CompletionRequest& request,
                                             std::vector<std::string>& values);

// The values a field completes from without a pattern, read once and then
// matched in memory at each keystroke: the values CompletionStatement finds
// for a prefix (ASCII letters in either case, every other character as it
// is), in the same order, at most kCompletionRows.
class CompletionValues {
 public:
  // Reads the distinct values of parent images (`db` is the caller's own
  // connection). The error text (UTF-8) on failure; nothing is held then.
  std::optional<std::string> Load(LibraryConnection& db, const std::string& column);
  bool Loaded() const { return loaded_; }
  std::vector<std::string> Matching(const std::string& text) const;  // CP932 in and out

 private:
  bool loaded_ = false;
  std::vector<std::string> values_;  // UTF-8, in value order
};

// Whether the completion uses Migemo for this text: InclOn, a usable Migemo
// and at least two bytes.
inline bool CompletionWantsMigemo(bool inclOn, int migemoUsability, const std::string& text) {
  return inclOn && migemoUsability == 0 && text.size() >= 2;
}

}  // namespace vel
