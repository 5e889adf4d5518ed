#include <windows.h>

#include "platform/dynamic_library.h"

namespace vel {

void* OpenDynamicLibrary(const std::string& path) {
  // Dependencies are looked up beside the library, not along the search path.
  return LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

void* DynamicLibraryFunction(void* library, const char* name) {
  return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}

void CloseDynamicLibrary(void* library) {
  if (library) FreeLibrary(static_cast<HMODULE>(library));
}

}  // namespace vel
