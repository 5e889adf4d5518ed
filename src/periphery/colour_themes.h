#pragma once
// Named colour themes: files base\color_theme\<name>.col holding the colour
// keys in the same sections and notation as the layout file.
#include <string>
#include <vector>

#include "periphery/colours.h"

namespace vel {

// The theme names of the folder, without ".col", sorted. Only names that end
// in ".col" count: a short-name match such as "x.colour" is left out.
std::vector<std::string> ListColourThemes(const std::string& themeFolder);
// The names among `fileNames` that are themes (the rule of the list above).
std::vector<std::string> ThemeNamesOf(const std::vector<std::string>& fileNames);

std::string ColourThemePath(const std::string& themeFolder, const std::string& name);

enum class ThemeProblem { None, BadName, TooLong, WriteFailed };
// The program's message for a refused or failed save.
std::string ThemeProblemMessage(ThemeProblem problem, const std::string& path);

// The checks made before asking to save: the name rule of saved queries
// (checked by character) and the length of the path.
ThemeProblem CheckColourThemeName(const std::string& themeFolder, const std::string& name);

// Writes the theme whole into a new file and moves it into place, so that a
// failed write leaves any theme of that name as it was. `alsoWritten` are
// further keys of the theme (the favourite marks' colours).
ThemeProblem SaveColourTheme(const std::string& themeFolder, const std::string& name, const ColourSet& set,
                             const std::vector<ProfileEntry>& alsoWritten = {});

// Reads a theme; keys it lacks give their defaults.
ColourSet LoadColourTheme(const std::string& themeFolder, const std::string& name, const SystemColours& system);

// Deletes a listed theme; a name that is not listed changes nothing. False
// when the file stayed.
bool DeleteColourTheme(const std::string& themeFolder, const std::string& name);

}  // namespace vel
