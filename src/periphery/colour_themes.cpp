#include "periphery/colour_themes.h"

#include <algorithm>

#include "core/settings_file.h"
#include "platform/file_operations.h"
#include "platform/codepage.h"
#include "platform/directory.h"
#include "platform/system.h"
#include "search/saved_queries.h"

namespace vel {
namespace {

constexpr const char* kExtension = ".col";
constexpr const char* kNewSuffix = ".new";

bool EndsWithExtension(const std::string& name) {
  const std::string ext = kExtension;
  if (name.size() <= ext.size()) return false;
  for (size_t i = 0; i < ext.size(); ++i) {
    char c = name[name.size() - ext.size() + i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != ext[i]) return false;
  }
  return true;
}

}  // namespace

std::vector<std::string> ThemeNamesOf(const std::vector<std::string>& fileNames) {
  std::vector<std::string> names;
  for (const std::string& file : fileNames)
    if (EndsWithExtension(file)) names.push_back(file.substr(0, file.size() - 4));
  std::sort(names.begin(), names.end());
  return names;
}

std::vector<std::string> ListColourThemes(const std::string& themeFolder) {
  std::vector<std::string> files;
  for (const FolderEntry& entry : ListFolder(themeFolder).entries)
    if (!entry.isFolder) files.push_back(entry.name);
  return ThemeNamesOf(files);
}

std::string ColourThemePath(const std::string& themeFolder, const std::string& name) {
  return themeFolder + "\\" + name + kExtension;
}

std::string ThemeProblemMessage(ThemeProblem problem, const std::string& path) {
  switch (problem) {
    case ThemeProblem::None: return {};
    case ThemeProblem::BadName:
      return Jp("カラーテーマ名に使用できない文字が含まれているか、使用できない文字列です。");
    case ThemeProblem::TooLong: return Jp("カラーテーマ名が長すぎます。");
    case ThemeProblem::WriteFailed: return Jp("カラーテーマを保存できませんでした。\n") + path;
  }
  return {};
}

ThemeProblem CheckColourThemeName(const std::string& themeFolder, const std::string& name) {
  // The name is used as it stands: spaces a query name would lose are refused
  // rather than changed behind the user's back.
  if (name.empty() || !IsValidQueryName(name) || name.front() == ' ' || name.back() == ' ')
    return ThemeProblem::BadName;
  // The temporary file's name is longer by its suffix.
  if (ColourThemePath(themeFolder, name).size() + std::string(kNewSuffix).size() >= 261)
    return ThemeProblem::TooLong;
  return ThemeProblem::None;
}

ThemeProblem SaveColourTheme(const std::string& themeFolder, const std::string& name, const ColourSet& set,
                             const std::vector<ProfileEntry>& alsoWritten) {
  ThemeProblem problem = CheckColourThemeName(themeFolder, name);
  if (problem != ThemeProblem::None) return problem;
  if (!FileExists(themeFolder)) CreateFolder(themeFolder);
  const std::string path = ColourThemePath(themeFolder, name);
  const std::string fresh = path + kNewSuffix;
  if (FileExists(fresh)) RemoveFile(fresh);
  // A fresh file holds exactly the theme's keys; it replaces the old one whole.
  std::vector<ProfileEntry> entries = ColourEntries(set);
  entries.insert(entries.end(), alsoWritten.begin(), alsoWritten.end());
  if (!WriteSettingsFile(fresh, entries)) return ThemeProblem::WriteFailed;
  if (!ReplaceWithFile(fresh, path)) {
    RemoveFile(fresh);
    return ThemeProblem::WriteFailed;
  }
  return ThemeProblem::None;
}

ColourSet LoadColourTheme(const std::string& themeFolder, const std::string& name, const SystemColours& system) {
  return ReadColourKeys(ColourThemePath(themeFolder, name), system);
}

bool DeleteColourTheme(const std::string& themeFolder, const std::string& name) {
  std::vector<std::string> listed = ListColourThemes(themeFolder);
  if (std::find(listed.begin(), listed.end(), name) == listed.end()) return true;
  const std::string path = ColourThemePath(themeFolder, name);
  return RemoveFile(path) || !FileExists(path);
}

}  // namespace vel
