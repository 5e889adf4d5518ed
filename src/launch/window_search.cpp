#include "launch/window_search.h"

#include "core/cp932_text.h"

namespace vel {
namespace {

// The non-empty parts of a ";"-separated text, at most kMaxSearchWords.
std::vector<std::string> SplitWords(const std::string& text) {
  std::vector<std::string> words;
  for (std::string& part : SplitByCharacter(text, ';'))
    if (!part.empty() && words.size() < kMaxSearchWords) words.push_back(std::move(part));
  return words;
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
