#include "search/incremental_search.h"

#include "platform/codepage.h"

namespace vel {

bool IncrementalLength::ShouldSearch(size_t textLength) const {
  // Only a failure limits: text committed several characters at once (an
  // input method, a paste) is searched as long as nothing has failed.
  return textLength > 0 && (recorded_ >= 0 || textLength <= static_cast<size_t>(-recorded_) + 2);
}

void IncrementalLength::Record(size_t textLength, bool found) {
  if (found) recorded_ = static_cast<int>(textLength);
  else if (recorded_ > 0) recorded_ = -recorded_;
}

namespace {

char Fold(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when `text` occurs at byte `at` of `title` (both at character starts).
bool HoldsAt(const std::string& title, size_t at, const std::string& text) {
  if (title.size() - at < text.size()) return false;
  for (size_t i = 0; i < text.size();) {
    bool lead = IsCp932LeadByte(static_cast<unsigned char>(text[i]));
    if (lead) {  // two-byte characters compare exactly, trail byte included
      if (i + 1 >= text.size() || title[at + i] != text[i] || title[at + i + 1] != text[i + 1]) return false;
      i += 2;
    } else {
      if (Fold(title[at + i]) != Fold(text[i])) return false;
      ++i;
    }
  }
  return true;
}

}  // namespace

bool TitleHolds(const std::string& title, const std::string& text, bool prefix) {
  if (prefix) return HoldsAt(title, 0, text);
  for (size_t at = 0; at < title.size();) {
    if (HoldsAt(title, at, text)) return true;
    at += IsCp932LeadByte(static_cast<unsigned char>(title[at])) ? 2 : 1;
  }
  return false;
}

void ListRowScan::Begin(int rowCount, int start, int step) {
  rowCount_ = rowCount;
  next_ = start;
  step_ = step;
  found_ = -1;
  done_ = false;
}

bool ListRowScan::Continue(int budget, const std::function<bool(int row)>& matches) {
  for (; !done_ && budget > 0 && next_ >= 0 && next_ < rowCount_; --budget) {
    if (matches(next_)) {
      found_ = next_;
      done_ = true;
    } else {
      next_ += step_;
    }
  }
  if (next_ < 0 || next_ >= rowCount_) done_ = true;
  return done_;
}

int FindListRow(int rowCount, int start, int step, const std::function<bool(int row)>& matches) {
  ListRowScan scan;
  scan.Begin(rowCount, start, step);
  scan.Continue(rowCount + 1, matches);
  return scan.Found();
}

}  // namespace vel
