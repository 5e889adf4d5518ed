#pragma once
// The in-list incremental search: which row of the loaded list a typed text
// finds, and when typing stops searching after a text found nothing.
#include <functional>
#include <string>

namespace vel {

// The length rule: once a text has found nothing, a longer text is searched
// only while it is at most two bytes longer than the last text that found
// something. Emptying the text resets it.
class IncrementalLength {
 public:
  bool ShouldSearch(size_t textLength) const;
  // After a search from the edit box: found → the text's length is recorded;
  // not found → the recorded length stays, marked as failed.
  void Record(size_t textLength, bool found);
  void Reset() { recorded_ = 0; }
  int Recorded() const { return recorded_; }

 private:
  int recorded_ = 0;  // negative: the last search found nothing
};

// True when `title` holds `text` (ASCII case ignored, compared by CP932
// character); with `prefix` only at its start.
bool TitleHolds(const std::string& title, const std::string& text, bool prefix);

// The first row from `start` in steps of `step` (+1 or -1) within 0..rowCount-1
// for which `matches` is true; -1 when none.
int FindListRow(int rowCount, int start, int step, const std::function<bool(int row)>& matches);

}  // namespace vel
