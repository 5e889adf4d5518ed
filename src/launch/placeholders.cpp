#include "launch/placeholders.h"

namespace vel {

ItemFields ItemFieldsFromListRow(LibraryConnection&, int) { return {}; }
std::string Expand(const std::string& text, const LaunchValues&, bool, bool) { return text; }
std::string ExpandLaunchValue(const std::string& text, const LaunchValues&) { return text; }
std::string ExpandScriptIniLoad(const std::string& text, const LaunchValues*, const std::string&) {
  return text;
}
PathForms SplitPath(const std::string&) { return {}; }
std::string ResolveFromBase(const std::string& path, const std::string&) { return path; }
std::string WindowSearchText(const EmulatorConfig&, const LaunchValues&) { return {}; }

}  // namespace vel
