#pragma once
// After a run: the captures and pictures of the run filed as the item's
// snapshots, with the two choice dialogs and the result balloon.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "launch/emulator_config.h"
#include "launch/snapshot_capture.h"
#include "launch/snapshot_filing.h"

namespace vel {

struct AppState;

struct AfterRunFiling {
  int mode = 0;                       // the session's capture mode; 0 when none ran
  int flags = 0;                      // SaveExPicToSnap as flags
  int crc32Name = 0;
  EmulatorConfig config;
  std::string extractFolder;          // the configuration's extraction folder ("" when none)
  PictureRecord before;               // its pictures when the emulator started
  std::vector<std::string> captures;  // what the session wrote
  SnapFolders folders;                // the item's snapshot folders
  std::string fileTitle, crc32, title;
};

// Files as the settings say, deletes the session's captures and returns the
// result code of the run (0 when nothing happened).
int FileAfterRun(const AfterRunFiling& filing, HWND owner, HINSTANCE instance);

// The result balloon's text and icon for a code, from the "SnapSaveNotify"
// table shipped in the resource folder.
ResultBalloon SnapResultBalloon(const std::string& baseFolder, int code);

// Reads a picture file (any format GDI+ reads) into pixels.
std::optional<SnapPixels> LoadPicturePixels(const std::string& path);

// "ChooseSnapDlg": 0 discard, else the folder (1..3) to save into; folders
// that are unset are not offered.
int ChooseSnapFolder(HWND owner, HINSTANCE instance, const std::string& existing, const SnapFolders& folders);

}  // namespace vel
