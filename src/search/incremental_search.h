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

// A search for the first row from `start` in steps of `step` (+1 or -1)
// within 0..rowCount-1 for which a test is true, done a slice of rows at a
// time so that the window can answer between slices.
class ListRowScan {
 public:
  void Begin(int rowCount, int start, int step);
  // Tests at most `budget` more rows; true once the scan is over.
  bool Continue(int budget, const std::function<bool(int row)>& matches);
  bool Done() const { return done_; }
  int Found() const { return found_; }  // -1: no row
  int RowCount() const { return rowCount_; }

 private:
  int rowCount_ = 0, next_ = 0, step_ = 1, found_ = -1;
  bool done_ = true;
};

// The whole scan at once: the first matching row, or -1.
int FindListRow(int rowCount, int start, int step, const std::function<bool(int row)>& matches);

}  // namespace vel
