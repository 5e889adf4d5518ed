#pragma once
// The pages of the settings dialog: which keys each page edits, with their
// files, defaults, ranges and notation; reading them for the dialog, checking
// what the user typed, and writing what changed through the whole-file
// writer of the settings files.
#include <string>
#include <vector>

#include "core/paths.h"
#include "core/settings.h"
#include "periphery/colours.h"
#include "search/item_flags.h"

namespace vel {

enum ConfigPage : int {
  kPageGeneral,
  kPageItemList,
  kPageColumns,
  kPageSearch,
  kPageCandidates,
  kPageReadings,
  kPageLaunch,
  kPageSnapshots,
  kPageCapture,
  kPageDemo,
  kPageFonts,
  kPageColours,
  kConfigPageCount
};
// The tab labels (CP932).
std::string ConfigPageLabel(int page);

enum class FieldKind {
  Flag,    // a check box, 0 or 1
  Number,  // a whole number within [minimum, maximum]
  Choice,  // one of `choices`, stored as minimum + its position
  Text,    // free text of at most `maximum` bytes
  Font,    // a font group: key is the prefix of its Height, Weight, Italic and Face keys
};

struct ConfigField {
  int page = kPageGeneral;
  std::string label;  // CP932
  std::string section;
  std::string key;
  SettingFile file = SettingFile::Settings;
  FieldKind kind = FieldKind::Flag;
  std::string defaultValue;  // for keys the core settings table does not hold
  int minimum = 0;
  int maximum = 1;
  std::vector<std::string> choices;  // CP932
  bool restart = false;  // read only at start: takes effect after a restart
};

// Every field of every page, in page order.
const std::vector<ConfigField>& ConfigFields();

// The suffix of the labels of fields that take effect after a restart.
std::string RestartMark();

inline bool operator==(const FontSetting& a, const FontSetting& b) {
  return a.height == b.height && a.weight == b.weight && a.italic == b.italic && a.face == b.face;
}

struct ConfigValues {
  std::vector<std::string> values;  // per field, in the key's own notation ("0", "-1", text)
  std::vector<bool> whole;          // false: the value could not be read whole and is never written
  std::vector<FontSetting> fonts;   // per field, for font fields
  ColourSet colours;
  // A colour theme loaded on the page: its favourite colours (or the shipped
  // ones, when it has none) replace those in use when the dialog is confirmed.
  std::string favouriteColourFile;

  bool operator==(const ConfigValues&) const = default;
};

// The values as the program holds them now: keys of the core table from
// `settings` (which has what changed while running), the rest from the files.
ConfigValues LoadConfigValues(const Settings& settings, const AppPaths& paths, int layoutMode,
                              const ColourSet& colours);

// The favourite marks' colours the page stands for: those of a theme loaded
// on it, else those of the layout file (each falling back to the shipped file).
FavouriteMarks PageFavouriteColours(const ConfigValues& values, const AppPaths& paths, int layoutMode);

// Checks and normalises what was typed for a field. An empty result is
// accepted (`value` then holds the stored form); otherwise it is the message
// naming the field.
std::string CheckFieldValue(const ConfigField& field, const std::string& typed, std::string& value);

struct ConfigSaveResult {
  bool ok = true;
  std::string failedFile;  // the file that could not be written
  bool fontsChanged = false, coloursChanged = false, columnsChanged = false, heightsChanged = false;
  bool favouritesChanged = false;
  FavouriteMarks favourites;  // the colours written, when favouritesChanged
};

// Writes every key whose value differs from `before`, one whole write per
// file (the layout file first), and only then takes the values into
// `settings`. On a failure nothing of that file was written and `settings`
// is left as it was.
ConfigSaveResult SaveConfigValues(const ConfigValues& before, const ConfigValues& after, Settings& settings,
                                  const AppPaths& paths, int layoutMode);

}  // namespace vel
