#pragma once
// The core and layout settings: one table of keys with their defaults, read
// once at start and written back at exit in a fixed order. Settings-file keys
// (S) live in Velmarook2.ini; layout keys (L) in the current layout's file.
#include <array>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/paths.h"

namespace vel {

enum class SettingFile { Settings, Layout };

struct SettingKey {
  std::string section;
  std::string key;
  SettingFile file = SettingFile::Settings;
  std::string defaultValue;  // as written in the file ("0", "-1", text)
  bool isText = false;       // read as a string rather than a number
  bool savedAtExit = false;  // stored by the settings writer at exit
};

struct Settings {
  std::vector<SettingKey> keys;  // the writer's order
  std::vector<std::string> values;
  std::vector<bool> readWhole;  // a text value that could not be read whole is never written
  std::unordered_map<std::string, size_t> index;
};

// The four default faces: `DefaultFont` when set, else the list of the OS class.
using FontList = std::array<std::string, 4>;
FontList DefaultFontList(int osClass, const std::string& defaultFontSetting);

struct SettingsContext {
  int osClass = 4;
  int screenWidth = 1280;
  int screenHeight = 1024;
  FontList fonts;
};

// Every key of the core, the layout and the fonts, in the writer's order.
Settings CoreSettingsTable(const SettingsContext& context);

// Reads `BigPictureMode` (always from the settings file): 0 Normal, 1 BigPicture.
int ReadLayoutMode(const AppPaths& paths);
// Reads `DefaultFont` of the settings file and builds the context's font list.
FontList ReadDefaultFontList(const AppPaths& paths, int osClass);

void ReadSettings(Settings& settings, const AppPaths& paths, int layoutMode);
// Stores every key saved at exit, in order, each file written whole or not at
// all (see settings_file.h). Returns false if a file could not be written; it
// is then left as it was and `failedFile` names it.
bool WriteSettingsAtExit(const Settings& settings, const AppPaths& paths, int layoutMode,
                         std::string* failedFile = nullptr);

int SettingInt(const Settings& settings, const std::string& section, const std::string& key);
const std::string& SettingText(const Settings& settings, const std::string& section,
                               const std::string& key);
void SetSetting(Settings& settings, const std::string& section, const std::string& key,
                const std::string& value);
inline void SetSetting(Settings& settings, const std::string& section, const std::string& key,
                       int value) {
  SetSetting(settings, section, key, std::to_string(value));
}

// Item-list column keys: "clm" + two digits, e.g. ColumnKey("clm_disp", 7) = "clm_disp07".
std::string ColumnKey(const char* prefix, int column);
inline constexpr int kItemListColumns = 19;

// One font group (a prefix in a font section).
struct FontSetting {
  int height = -12;
  int weight = 400;
  int italic = 0;
  std::string face;
};
FontSetting ReadFontSetting(const Settings& settings, const std::string& section,
                            const std::string& prefix);

}  // namespace vel
