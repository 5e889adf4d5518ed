#pragma once
// The import and CRC library, loaded while the import progress window or the
// CRC dialog is open.
#include <windows.h>

namespace vel {

struct AppState;

inline constexpr LONG kCrcLibraryVersion = 10;

using GetLibVersionCrcFn = LONG(WINAPI*)();
using SetGValCrcFn = void(WINAPI*)(const char* databasePath, const char* extensionPath,
                                   const char* settingsFile, const char* programFolder,
                                   const char* systemFolder, LONG dllSafeLoad, HFONT dialogFont);
using DirAddImgFn = void(WINAPI*)(HWND window, HWND status, HWND title, HWND marker, HWND stop,
                                  HWND progress, LONG* integers, char** texts, LONG* numbers);
using ReCalcCrcFn = void(WINAPI*)(HWND* handles, LONG* integers, char** texts, LONG* numbers);
using SetDirAddThreadEscFn = void(WINAPI*)(SHORT flag);
using GetDirAddThreadEscFn = LONG(WINAPI*)();

struct CrcLibrary {
  HMODULE module = nullptr;
  GetLibVersionCrcFn getLibVersionCRC = nullptr;
  SetGValCrcFn setGValCRC = nullptr;
  DirAddImgFn dirAddImg = nullptr;
  ReCalcCrcFn reCalcCRC = nullptr;
  SetDirAddThreadEscFn setDirAddThreadESC = nullptr;
  GetDirAddThreadEscFn getDirAddThreadESC = nullptr;
  FARPROC getFileCRC32 = nullptr;  // resolved with the others, not called
  FARPROC getFileCRC16 = nullptr;
};

// Loads (once), checks the version and hands over the paths. A missing or
// wrong library ends the program after its message.
CrcLibrary& LoadCrcLibrary(AppState& app);
void ReleaseCrcLibrary();

}  // namespace vel
