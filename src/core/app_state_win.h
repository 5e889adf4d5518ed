#pragma once
// The process-wide state record, owned by the GUI thread.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/paths.h"
#include "core/settings.h"
#include "db/library_connection.h"
#include "platform/archivers.h"

namespace vel {

// Identifiers of the main window's child controls.
enum ControlId : int {
  kQueryTreeId = 1000,
  kItemListId = 1001,
  kSnapPaneId = 1002,
  kGroupListId = 1003,
  kSeparatorButtonId = 1004,
  kStatusBarId = 70,
};

// Tray icon.
inline constexpr UINT kTrayIconId = 123;
inline constexpr UINT kTrayCallbackMessage = 456;

// Layout mode while a restart has already saved the settings.
inline constexpr unsigned short kLayoutSavedForRestart = 65535;

// First-paint stages.
enum FirstPaintStage : unsigned short {
  kBeforeFirstPaint = 0,
  kFirstPaintFinishing = 99,
  kFirstPaintDone = 999,
  kBroughtToFront = 1,
};

struct MasterLists {
  std::vector<std::string> machines, genres, media, adultex;
};

struct AppState {
  HINSTANCE instance = nullptr;
  std::string commandLine;

  // Windows and controls.
  HWND mainWindow = nullptr;
  HWND queryTree = nullptr;
  HWND itemList = nullptr;
  HWND snapPane = nullptr;
  HWND groupList = nullptr;
  HWND separatorButton = nullptr;
  HWND statusBar = nullptr;
  HWND waitWindow = nullptr;
  HWND rebar = nullptr;
  HWND menuToolbar = nullptr;
  HWND searchBox = nullptr;   // the search window "SearchDlgBar" in the rebar
  HWND searchText = nullptr;  // its text box
  HWND searchTarget = nullptr;  // its list of search targets
  HWND historyToolbar = nullptr;  // Back and Forward
  HMENU mainMenu = nullptr;  // the seven menus of the menu toolbar
  HMENU queryContextMenu = nullptr;
  HMENU infoContextMenu = nullptr;
  HMENU headerContextMenu = nullptr;
  HMENU snapContextMenu = nullptr;
  HMENU memoContextMenu = nullptr;
  HMENU emulatorContextMenu = nullptr;
  HMENU trayMenu = nullptr;

  // GDI objects.
  HFONT defaultGuiFont = nullptr;
  HFONT uiFonts[6] = {};
  HBRUSH buttonFaceBrush = nullptr;
  HICON programIcon = nullptr;

  // Paths and modes.
  AppPaths paths;
  std::string databasePath;
  std::string regexExtensionPath;
  unsigned short regexMode = 0;
  int osClass = 0;
  unsigned short layoutMode = 0;
  bool demoMode = false;  // demo mode runs: launches report by balloon
  unsigned short firstPaintStage = kBeforeFirstPaint;
  bool visualStyles = false;

  // The two long-lived connections.
  LibraryConnection mainDb;
  LibraryConnection groupDb;

  Settings settings;
  // The archiver libraries, loaded once the settings are read.
  std::unique_ptr<ArchiverSet> archivers;
  SHORT noSaveFlag = 0;  // set by the companion library: settings are not written at exit
  MasterLists masters;
  std::vector<RECT> monitors;

  HANDLE instanceMutex = nullptr;
  HHOOK messageHook = nullptr;
  bool trayIconAdded = false;
  bool helpInitialised = false;
  DWORD_PTR helpCookie = 0;
  ULONG_PTR gdiplusToken = 0;
  int autoSnapMode = 0;           // 0 off, 1 full screen, 2 active window, 3 manual
  bool startupFailed = false;     // the library could not be prepared

  // Reloads the item list and selects the item with the key ("" = none);
  // set by the item list once it exists.
  std::function<void(const std::string&)> reloadItemList;
  // Runs a search typed in the search box (text, target); set by the search.
  std::function<int(const std::string&, int)> runSearch;  // the rows found, -1 on failure
  // Opens the per-item snapshot choice ("スナップショット画像の絶対指定") for the
  // focused item; set by the dialog once it exists.
  std::function<void()> showAbsoluteSnapshotDialog;
};

AppState& App();

}  // namespace vel
