#include "launch/window_search.h"

#include "core/cp932_text.h"
#include "platform/codepage.h"

namespace vel {
namespace {

// The non-empty parts of a ";"-separated text, by character (a trail byte is
// never a separator).
std::vector<std::string> SplitWords(const std::string& text) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t i = 0;; i += CharacterLength(text, i)) {
    bool end = i >= text.size();
    if (end || (text[i] == ';' && CharacterLength(text, i) == 1)) {
      if (i > start && parts.size() < kMaxSearchWords) parts.push_back(text.substr(start, i - start));
      if (end) break;
      start = i + 1;
    }
  }
  return parts;
}

bool ContainsAny(const std::string& title, const std::vector<std::string>& words) {
  for (const std::string& word : words)
    if (FindIgnoringCase(title, word) != std::string::npos) return true;
  return false;
}

}  // namespace

WindowSearch MakeWindowSearch(const std::string& searchText, const std::string& exclusionText,
                              int minimumLength) {
  WindowSearch search;
  for (std::string& word : SplitWords(searchText))
    if (minimumLength <= 0 || CharacterCount(word) >= static_cast<size_t>(minimumLength))
      search.words.push_back(std::move(word));
  search.exclusions = SplitWords(exclusionText);
  return search;
}

bool TitleMatches(const std::string& title, const WindowSearch& search) {
  return ContainsAny(title, search.words) && !ContainsAny(title, search.exclusions);
}

WindowId FindSearchedWindow(const std::vector<TopLevelWindow>& windows, const WindowSearch& search,
                            const std::set<WindowId>& recordedBefore) {
  for (const TopLevelWindow& window : windows) {
    if (!window.visible || window.toolWindow || window.ownWindow) continue;
    if (window.title.empty() || window.title == "Velmarook2 Help") continue;
    if (recordedBefore.count(window.id)) continue;
    if (TitleMatches(window.title, search)) return window.id;
  }
  return 0;
}

WindowId FindWindowByTitle(const std::vector<TopLevelWindow>& windows, const std::string& title) {
  if (title.empty()) return 0;
  for (const TopLevelWindow& window : windows)
    if (EqualsIgnoringCase(window.title, title)) return window.id;
  return 0;
}

}  // namespace vel
