#pragma once
// Title candidates for the text being typed in the search window: the
// statement over main_table (parent images only) and the rule for which
// results are still wanted.
#include <atomic>
#include <cstdint>
#include <string>

namespace vel {

// Only texts of 2 to 99 bytes are looked up; others hide the candidates.
bool CandidateTextWanted(const std::string& text);

struct CandidateRequest {
  std::string text;           // as typed (CP932)
  std::string migemoPattern;  // adapted pattern; "" = LIKE on the title
  int regexEngine = 0;        // the engine the pattern is for
  int lastLimit = 50;         // at most this many; 0 (or less) = no limit
  bool titleStems = false;    // FuzzyLap: one candidate per series
};
std::string CandidateStatement(const CandidateRequest& request);

// The text for a regular expression over kana: ASCII letters upper-cased and
// every metacharacter escaped, by character (a trail byte is never escaped).
std::string EscapeRegexText(const std::string& text);

// Which look-up is current: the GUI thread starts one per text change, the
// worker delivers a result only while its number is still the newest.
class CandidateSequence {
 public:
  uint64_t Next() { return ++latest_; }
  bool IsCurrent(uint64_t number) const { return latest_.load() == number; }

 private:
  std::atomic<uint64_t> latest_{0};
};

}  // namespace vel
