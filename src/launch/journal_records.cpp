#include "launch/journal_records.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "core/cp932_text.h"
#include "platform/directory.h"

namespace vel {

int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::string HexField(const std::string& bytes) {
  static const char digits[] = "0123456789ABCDEF";
  std::string out = "x";
  for (unsigned char c : bytes) {
    out += digits[c >> 4];
    out += digits[c & 15];
  }
  return out;
}

bool UnhexField(const std::string& field, std::string& bytes) {
  if (field.empty() || field[0] != 'x' || field.size() % 2 != 1) return false;
  bytes.clear();
  for (size_t i = 1; i < field.size(); i += 2) {
    int high = HexDigitValue(field[i]), low = HexDigitValue(field[i + 1]);
    if (high < 0 || low < 0) return false;
    bytes += static_cast<char>(high * 16 + low);
  }
  return true;
}

bool NumberField(const std::string& field, long long& value) {
  if (field.empty() || field.size() > 18 ||
      !std::all_of(field.begin(), field.end(), [](char c) { return c >= '0' && c <= '9'; }))
    return false;
  value = std::atoll(field.c_str());
  return true;
}

std::vector<std::string> RecordFields(const std::string& line) {
  std::vector<std::string> fields;
  std::istringstream in(line);
  std::string field;
  while (in >> field) fields.push_back(field);
  if (fields.size() < 2 || fields.back() != ".") return {};
  fields.pop_back();
  return fields;
}

std::vector<std::string> JournalLines(const std::string& bytes) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t end = bytes.find('\n'); end != std::string::npos; end = bytes.find('\n', start)) {
    lines.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  return lines;
}

std::vector<std::string> JournalFilesIn(const std::string& folder, const std::string& prefix,
                                        const std::string& extension) {
  std::vector<std::string> paths;
  for (const FolderEntry& entry : ListFolder(folder).entries) {
    const std::string& name = entry.name;
    if (entry.isFolder || name.size() <= prefix.size() + extension.size()) continue;
    if (EqualsIgnoringCase(name.substr(0, prefix.size()), prefix) &&
        EqualsIgnoringCase(name.substr(name.size() - extension.size()), extension))
      paths.push_back(folder + "\\" + name);
  }
  std::sort(paths.begin(), paths.end());
  return paths;
}

}  // namespace vel
