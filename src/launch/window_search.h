#pragma once
// Finding a top-level window by its title: the exact-title form and the word
// search that the launch uses to recognise an emulator's window.
#include <set>
#include <string>
#include <vector>

#include "platform/synthetic_input.h"

namespace vel {

// Search words and exclusion words, each list taken from a ";"-separated text.
struct WindowSearch {
  std::vector<std::string> words;       // CP932
  std::vector<std::string> exclusions;  // CP932
};

// The non-empty ";"-separated parts of each text (at most kMaxSearchWords of
// each); search words shorter than `minimumLength` characters are left out.
constexpr size_t kMaxSearchWords = 30;
WindowSearch MakeWindowSearch(const std::string& searchText, const std::string& exclusionText,
                              int minimumLength = 0);

// True when the title contains one of the words and none of the exclusions,
// compared without regard to case, character by character.
bool TitleMatches(const std::string& title, const WindowSearch& search);

// The first window of the search: visible, no tool window, none of the
// program's own, not among `recordedBefore`, with a non-empty title other than
// the program's help window, whose title matches. 0 when there is none.
WindowId FindSearchedWindow(const std::vector<TopLevelWindow>& windows, const WindowSearch& search,
                            const std::set<WindowId>& recordedBefore = {});

// The first window whose title equals `title` without regard to case; 0 when
// none (an empty title names no window).
WindowId FindWindowByTitle(const std::vector<TopLevelWindow>& windows, const std::string& title);

}  // namespace vel
