#pragma once
// The line format the launch journals share: one record per line, fields
// separated by spaces, texts and data written as hexadecimal digits after an
// "x" so that no byte of them can be taken for a separator, and a closing "."
// so that a line cut short by a crash is recognised and passed over.
#include <string>
#include <vector>

namespace vel {

// The value of a hexadecimal digit of either case, or -1.
int HexDigitValue(char c);
std::string HexField(const std::string& bytes);
// False when the field is not an "x" followed by pairs of hexadecimal digits.
bool UnhexField(const std::string& field, std::string& bytes);
// False when the field is not a decimal number of at most 18 digits.
bool NumberField(const std::string& field, long long& value);
// The fields of a complete record without its closing "."; empty when the
// line is not complete.
std::vector<std::string> RecordFields(const std::string& line);
// The complete lines of a journal's content (a cut-short last line is left out).
std::vector<std::string> JournalLines(const std::string& bytes);

// The journal files in `folder` whose names are `prefix` + something +
// `extension` (any case), oldest name first.
std::vector<std::string> JournalFilesIn(const std::string& folder, const std::string& prefix,
                                        const std::string& extension);

}  // namespace vel
