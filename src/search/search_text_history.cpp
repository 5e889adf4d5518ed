#include "search/search_text_history.h"

#include "core/settings_file.h"
#include "platform/profile.h"
#include "search/search_items.h"

namespace vel {
namespace {

// The profile reader trims spaces around a value and takes a value in
// quotes as the text between them: such a text is written in double quotes.
std::string StoredForm(const std::string& text) {
  if (text.empty()) return text;
  const char first = text.front(), last = text.back();
  if (first == ' ' || last == ' ' || first == '"' || first == '\'') return "\"" + text + "\"";
  return text;
}

}  // namespace

std::optional<std::string> SearchTextSection(int target) {
  if (target == kTargetGenre) return std::nullopt;
  return std::string(target == kTargetSql ? "SearchHistorySQL" : "SearchHistoryTXT");
}

std::vector<std::string> ReadSearchTexts(const std::string& settingsFile, int target) {
  std::vector<std::string> entries(kSearchTextEntries);
  std::optional<std::string> section = SearchTextSection(target);
  if (!section) return entries;
  for (int i = 0; i < kSearchTextEntries; ++i) entries[i] = ProfileText(*section, std::to_string(i), "", settingsFile);
  return entries;
}

std::vector<std::string> PushSearchText(std::vector<std::string> entries, const std::string& text) {
  // The entries above the text's old place (or all) move down one; an empty
  // entry holds no place, so moving down never copies an entry twice.
  std::vector<std::string> pushed{text};
  for (std::string& entry : entries)
    if (!entry.empty() && entry != text && pushed.size() < kSearchTextEntries) pushed.push_back(std::move(entry));
  pushed.resize(kSearchTextEntries);
  return pushed;
}

std::vector<std::string> ShownSearchTexts(const std::vector<std::string>& entries) {
  std::vector<std::string> shown;
  for (const std::string& entry : entries)
    if (!entry.empty()) shown.push_back(entry);
  return shown;
}

std::optional<std::vector<std::string>> AddSearchText(const std::string& settingsFile, const std::string& text,
                                                      int target) {
  std::optional<std::string> section = SearchTextSection(target);
  if (!section || text.empty() || text.size() > kSearchTextMaxBytes) return std::nullopt;
  std::vector<std::string> entries = PushSearchText(ReadSearchTexts(settingsFile, target), text);
  std::vector<ProfileEntry> written;
  for (int i = 0; i < kSearchTextEntries; ++i) written.push_back({*section, std::to_string(i), StoredForm(entries[i])});
  if (!WriteSettingsFile(settingsFile, written)) return std::nullopt;
  return ShownSearchTexts(entries);
}

}  // namespace vel
