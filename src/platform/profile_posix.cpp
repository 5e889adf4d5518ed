#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <strings.h>
#include <vector>

#include "platform/codepage.h"
#include "platform/profile.h"
#include "platform/system.h"

namespace vel {
namespace {

std::string Trim(const std::string& s) {
  size_t b = s.find_first_not_of(" \t\r");
  if (b == std::string::npos) return {};
  size_t e = s.find_last_not_of(" \t\r");
  return s.substr(b, e - b + 1);
}

bool SameName(const std::string& a, const std::string& b) {
  return a.size() == b.size() && strncasecmp(a.c_str(), b.c_str(), a.size()) == 0;
}

std::vector<std::string> ReadLines(const std::string& file, bool& exists) {
  std::ifstream in(NativePath(file), std::ios::binary);
  exists = static_cast<bool>(in);
  std::vector<std::string> lines;
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

// The section a line opens, or false when it opens none.
bool SectionOf(const std::string& line, std::string& name) {
  std::string t = Trim(line);
  if (t.size() < 2 || t.front() != '[') return false;
  size_t close = t.find(']');
  if (close == std::string::npos) return false;
  name = Trim(t.substr(1, close - 1));
  return true;
}

bool KeyOf(const std::string& line, std::string& key, std::string& value) {
  size_t eq = line.find('=');
  if (eq == std::string::npos) return false;
  key = Trim(line.substr(0, eq));
  value = Trim(line.substr(eq + 1));
  return !key.empty() && key[0] != ';';
}

bool Lookup(const std::string& section, const std::string& key, const std::string& file,
            std::string& value) {
  bool exists = false;
  std::vector<std::string> lines = ReadLines(file, exists);
  bool inSection = false;
  for (const std::string& line : lines) {
    std::string name;
    if (SectionOf(line, name)) {
      inSection = SameName(name, section);
      continue;
    }
    std::string k, v;
    if (inSection && KeyOf(line, k, v) && SameName(k, key)) {
      // Matching quotes around a value are dropped, as the Windows reader does.
      if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
        v = v.substr(1, v.size() - 2);
      value = v;
      return true;
    }
  }
  return false;
}

}  // namespace

int ReadProfileInt(const std::string& section, const std::string& key, int defaultValue,
                   const std::string& file) {
  std::string value;
  if (!Lookup(section, key, file, value)) return defaultValue;
  return static_cast<int>(std::strtol(value.c_str(), nullptr, 10));
}

bool ReadProfileText(const std::string& section, const std::string& key,
                       const std::string& defaultValue, const std::string& file,
                       std::string& value) {
  if (!Lookup(section, key, file, value)) value = defaultValue;
  return true;
}

namespace {

// Written beside the file and renamed over it, so a failed write loses nothing.
bool SaveLines(const std::vector<std::string>& lines, const std::string& file) {
  std::string target = NativePath(file);
  std::string temp = target + ".tmp";
  {
    std::ofstream out(temp, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    for (const std::string& line : lines) out << line << "\r\n";
    if (!out.flush()) return false;
  }
  return std::rename(temp.c_str(), target.c_str()) == 0;
}

}  // namespace

bool WriteProfileText(const std::string& section, const std::string& key,
                        const std::string& value, const std::string& file) {
  bool exists = false;
  std::vector<std::string> lines = ReadLines(file, exists);
  std::string entry = key + "=" + value;
  int sectionLine = -1;
  int lastKeyLine = -1;
  bool replaced = false;
  for (size_t i = 0; i < lines.size() && !replaced; ++i) {
    std::string name;
    if (SectionOf(lines[i], name)) {
      if (sectionLine >= 0) break;  // past the end of our section
      if (SameName(name, section)) sectionLine = lastKeyLine = static_cast<int>(i);
      continue;
    }
    if (sectionLine < 0) continue;
    std::string k, v;
    if (KeyOf(lines[i], k, v)) {
      lastKeyLine = static_cast<int>(i);
      if (SameName(k, key)) {
        lines[i] = entry;
        replaced = true;
      }
    }
  }
  if (!replaced) {
    if (sectionLine >= 0) {
      lines.insert(lines.begin() + lastKeyLine + 1, entry);
    } else {
      lines.push_back("[" + section + "]");
      lines.push_back(entry);
    }
  }
  return SaveLines(lines, file);
}

bool DeleteProfileKey(const std::string& section, const std::string& key, const std::string& file) {
  bool exists = false;
  std::vector<std::string> lines = ReadLines(file, exists);
  if (!exists) return true;
  bool inSection = false;
  for (size_t i = 0; i < lines.size(); ++i) {
    std::string name, k, v;
    if (SectionOf(lines[i], name)) {
      inSection = SameName(name, section);
    } else if (inSection && KeyOf(lines[i], k, v) && SameName(k, key)) {
      lines.erase(lines.begin() + static_cast<long>(i));
      return SaveLines(lines, file);
    }
  }
  return true;
}

}  // namespace vel
