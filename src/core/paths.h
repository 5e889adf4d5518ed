#pragma once
// Every file and folder the program uses, joined from the base folder (the
// current directory at start, not the program's own folder).
#include <string>

namespace vel {

inline constexpr const char* kDefaultDatabaseName = "Velmarook.db";
inline constexpr const char* kProgramFileName = "Velmarook2.exe";
inline constexpr const char* kCompanionLibraryName = "Velmarook2_Lib.DLL";
inline constexpr const char* kPreferredRegexExtension = "SQLite_RegEx_Extension.dll";
inline constexpr const char* kFallbackRegexExtension = "sqlite3-onig.dll";

struct AppPaths {
  std::string base;          // without a trailing backslash
  std::string settingsFile;  // base\Velmarook2.ini
  std::string bigPictureLayoutFile;
  std::string popHelpFile;
  std::string companionLibrary;
  std::string programFile;
  std::string tempFolder;
  std::string colorThemeFolder;
  std::string waitAnimation;
  std::string helpFile;      // joined with a forward slash, as help expects
  std::string DefaultDatabase() const { return base + "\\" + kDefaultDatabaseName; }
};

AppPaths BuildPaths(const std::string& base);

// The layout file of a layout mode: the BigPicture file when non-zero.
inline const std::string& LayoutFile(const AppPaths& paths, int layoutMode) {
  return layoutMode != 0 ? paths.bigPictureLayoutFile : paths.settingsFile;
}

// The regular-expression extension in use: 2 preferred, 1 fallback, 0 none.
struct RegexExtension {
  int mode = 0;
  std::string path;
};
RegexExtension ChooseRegexExtension(const std::string& base,
                                    bool (*fileExists)(const std::string&));

// The OS class that picks the default font list, from the Windows version.
int OsClassFromVersion(bool queried, unsigned major, unsigned minor);

}  // namespace vel
