#pragma once
// Placeholder expansion of configuration values: the images of a launch,
// fields of the item, the program and emulator folders, the launch time and
// the current time, the connected joysticks and values read from INI files.
// Matching ignores the case of ASCII letters and walks CP932 by character.
// The result is built in one left-to-right pass: a value that was inserted
// is never expanded again.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "platform/system.h"

namespace vel {

class LibraryConnection;
struct EmulatorConfig;

// The fields of the item's row that expansion and the launch use.
struct ItemFields {
  std::string fileName;     // file_name (the key)
  std::string machineName;  // machine_name
  std::string title;
  std::string maker;
  std::string developer;
  std::string crc32;        // as stored
  std::string fileTitle;    // file_title: file name without folder and extension
  std::string emusetName;   // the item's bound configuration, "" when unbound
  std::string multiDisk;    // "1" for the head of a multi-disk set
};
// The fields of data row `row` (1-based) of a result read from list_view or
// all_item_view with "SELECT *".
ItemFields ItemFieldsFromListRow(LibraryConnection& db, int row);

// Slot 0 the boot image, slots 1..n the set's images; above n empty.
inline constexpr int kImageSlots = 100;
using ImageList = std::array<std::string, kImageSlots>;

// Everything a launch gives the expander.
struct LaunchValues {
  ImageList images;
  int imageCount = 0;
  ItemFields item;
  std::string executable;     // Exec after its own expansion ("" while expanding Exec itself)
  std::string baseFolder;     // base for relative paths, without trailing backslash
  std::string programFolder;  // folder of the program file, with trailing backslash ($VEL_PATH)
  int bootDisk = 0;           // 0 = none chosen
  LocalTime bootTime;         // taken once when the launch starts
  // Seams for the clock and the joysticks; empty means the platform's.
  std::function<LocalTime()> now;
  std::function<std::vector<int>()> joysticks;
};

// Expands every placeholder of `text`. With `stripQuotes`, double quotes are
// removed from image values; with `skipItem`, image and item placeholders
// and $iniload( are left as they are.
std::string Expand(const std::string& text, const LaunchValues& launch, bool stripQuotes,
                   bool skipItem);
// Both flags clear: Option, opt1/opt2, TTSrch_Text, TTSrch_ExclusionText and
// key-script values.
std::string ExpandLaunchValue(const std::string& text, const LaunchValues& launch);

// The emulator executable of a launch: Exec expanded while no executable is
// known yet, then taken from the base folder when relative. Put the result
// in LaunchValues::executable before expanding anything else.
std::string ExpandExecutable(const std::string& exec, const LaunchValues& launch);

// The INI lookup of key-input scripts: <iniload:"file","section","key">.
// With a launch, each of the three parts is first expanded as a launch value;
// relative files are taken from `baseFolder`. Inserted values are never
// looked up again.
std::string ExpandScriptIniLoad(const std::string& text, const LaunchValues* launch,
                                const std::string& baseFolder);

// The forms of a path (double quotes removed), split at the last backslash
// character.
struct PathForms {
  std::string folder;        // up to and including the last backslash
  std::string fileName;      // after it
  std::string withoutExtension;
  std::string extension;     // without the dot
  std::string parentName;    // the holding folder's name; "" for a drive root
};
PathForms SplitPath(const std::string& path);

// A relative path (no drive, not starting with a backslash or slash)
// joined to `baseFolder`, with ".." steps resolved; others unchanged. Never
// depends on the current directory.
std::string ResolveFromBase(const std::string& path, const std::string& baseFolder);

// The window-search text of a launch: the image word and the keywords,
// separated by ";".
std::string WindowSearchText(const EmulatorConfig& config, const LaunchValues& launch);

}  // namespace vel
