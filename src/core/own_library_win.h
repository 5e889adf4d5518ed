#pragma once
// Shared by the loaders of the libraries we ship beside the program.
#include <windows.h>

#include <string>

namespace vel {

struct AppState;

// A library the program cannot run without is missing or wrong: says so
// ("強制終了") and ends the process through the final exit.
[[noreturn]] void EndForMissingLibrary(AppState& app, const std::string& text);

template <typename Fn>
Fn ResolveExport(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace vel
