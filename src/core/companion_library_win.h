#pragma once
// Loading the companion library and calling its exports.
#include <windows.h>

#include <string>

namespace vel {

struct AppState;

inline constexpr LONG kCompanionInterfaceVersion = 207012;

using GetLibVersionFn = LONG(WINAPI*)();
using MakeDBandTableFn = LONG(WINAPI*)(const char*, const char*, HWND, SHORT*, const char*,
                                       const char*, const char*);
using SetV3viewsFn = LONG(WINAPI*)(const char*, const char*, HWND, LONG);
using RegexSetPatternFn = void(WINAPI*)(const char*);
using RegexMatchFn = LONG(WINAPI*)(const char*, char*);

struct CompanionLibrary {
  HMODULE module = nullptr;
  GetLibVersionFn getLibVersion = nullptr;
  MakeDBandTableFn makeDBandTable = nullptr;
  SetV3viewsFn setV3views = nullptr;
  RegexSetPatternFn regexSetPattern = nullptr;
  RegexMatchFn regexMatch = nullptr;
};

// Loads the library (once) and checks its version. A missing or wrong library
// is fatal: the message is shown and the process ends through the final exit.
CompanionLibrary& LoadCompanionLibrary(AppState& app);
void UnloadCompanionLibrary();

// Creates or upgrades the schema; returns the library's result (-1 = fatal).
LONG PrepareLibraryDatabase(AppState& app);
// Brings all_item_view to its current form.
void PrepareItemView(AppState& app);

}  // namespace vel
