#include "migemo_patterns.h"

#include <cstdio>

#include "platform/system.h"

namespace vel::bench {

const std::vector<std::string>& MigemoBenchTexts() {
  static const std::vector<std::string> texts = {"doragon", "mahou", "ka"};
  return texts;
}

std::optional<std::string> StoredMigemo::Query(const std::string& text) {
  auto found = patterns_.find(text);
  if (found == patterns_.end()) return std::nullopt;
  return found->second;
}

bool StoredMigemo::Read(const std::string& file) {
  std::FILE* in = std::fopen(file.c_str(), "rb");
  if (!in) return false;
  std::string bytes;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, in)) > 0;) bytes.append(buffer, n);
  std::fclose(in);
  for (size_t at = 0; at < bytes.size();) {
    size_t end = bytes.find('\n', at);
    if (end == std::string::npos) end = bytes.size();
    const std::string line = bytes.substr(at, end - at);
    if (size_t tab = line.find('\t'); tab != std::string::npos) patterns_[line.substr(0, tab)] = line.substr(tab + 1);
    at = end + 1;
  }
  return true;
}

size_t StoredMigemo::PatternBytes(const std::string& text) const {
  auto found = patterns_.find(text);
  return found == patterns_.end() ? 0 : found->second.size();
}

bool WriteRealMigemoPatterns(const std::string& file) {
#ifdef _WIN32
  (void)file;
  std::fprintf(stderr, "the real Migemo library is asked only in the native build\n");
  return false;
#else
  constexpr const char* kLibrary = "libmigemo.so.1";
  constexpr const char* kDictionary = "/usr/share/cmigemo/cp932/migemo-dict";
  MigemoLibrary migemo;
  if (!FileExists(kDictionary) || !migemo.Load(kLibrary, kDictionary) || !migemo.IsEnabled()) {
    std::fprintf(stderr, "real Migemo (%s, %s) is not installed: no Migemo rows\n", kLibrary, kDictionary);
    return false;
  }
  std::string lines;
  for (const std::string& text : MigemoBenchTexts()) {
    const std::string asked = PrepareMigemoQuery(text);
    std::optional<std::string> pattern = migemo.Query(asked);
    if (!pattern || pattern->find_first_of("\t\n") != std::string::npos) {
      std::fprintf(stderr, "Migemo gave no usable pattern for \"%s\"\n", text.c_str());
      return false;
    }
    lines += asked + "\t" + *pattern + "\n";
  }
  std::FILE* out = std::fopen(file.c_str(), "wb");
  if (!out) return false;
  const bool written = std::fwrite(lines.data(), 1, lines.size(), out) == lines.size();
  return std::fclose(out) == 0 && written;
#endif
}

}  // namespace vel::bench
