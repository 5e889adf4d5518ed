#pragma once
// The stored form of an item's creators: each name followed by ";".
#include <string>

namespace vel {

// One name per line (CP932) to the stored text: line breaks become ";",
// blanks (also the ideographic space) beside a ";" and empty names go, a
// final ";" is added; nothing but ";" gives "". Walked by character, so a
// trail byte is never read as a blank or a separator.
std::string NormaliseCreators(const std::string& typed);

}  // namespace vel
