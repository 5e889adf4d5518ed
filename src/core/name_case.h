#pragma once
// Case-blind comparison of file names as the file system does it: on the wide
// form of the name, each letter taken in its upper case. The table covers the
// letters code page 932 can hold (Latin, full-width Latin, Greek, Cyrillic,
// Roman numerals), so a name read from CP932 folds as it does on disk.
#include <string>

namespace vel {

// The upper case the file system compares a character by.
char32_t FoldedNameCharacter(char32_t c);

// A CP932 name with every character folded, as UTF-8: two names are equal
// ignoring case exactly when their folded forms are equal, and one starts
// with the other's folded form exactly when it does ignoring case.
std::string FoldedName(const std::string& cp932);

}  // namespace vel
