#include "core/paths.h"

#include "core/cp932_text.h"

namespace vel {

AppPaths BuildPaths(const std::string& base) {
  AppPaths p;
  p.base = base;
  // A root such as "C:\\" keeps no trailing backslash either.
  while (p.base.size() > 1 && EndsWithSeparator(p.base)) p.base.pop_back();
  p.settingsFile = p.base + "\\Velmarook2.ini";
  p.bigPictureLayoutFile = p.base + "\\BigPictureLayout.ini";
  p.popHelpFile = p.base + "\\resource\\pophelp.txt";
  p.companionLibrary = p.base + "\\" + kCompanionLibraryName;
  p.programFile = p.base + "\\" + kProgramFileName;
  p.tempFolder = p.base + "\\TEMP";
  p.colorThemeFolder = p.base + "\\color_theme";
  p.waitAnimation = p.base + "\\resource\\wait_anime.bmp";
  p.helpFile = p.base + "/Velmarook2.chm";
  return p;
}

RegexExtension ChooseRegexExtension(const std::string& base,
                                    bool (*fileExists)(const std::string&)) {
  std::string preferred = base + "\\" + kPreferredRegexExtension;
  if (fileExists(preferred)) return {2, preferred};
  std::string fallback = base + "\\" + kFallbackRegexExtension;
  if (fileExists(fallback)) return {1, fallback};
  return {0, ""};
}

int OsClassFromVersion(bool queried, unsigned major, unsigned minor) {
  if (!queried) return 0;
  if (major == 5) return minor != 0 ? 1 : 0;
  if (major == 6) return minor != 0 ? 3 : 2;
  if (major == 10) return 4;
  return 0;
}

}  // namespace vel
