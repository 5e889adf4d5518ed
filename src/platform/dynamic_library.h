#pragma once
// Libraries loaded at run time by path, and their functions by name.
#include <string>

namespace vel {

// The loaded library, or null when it is missing or cannot be loaded.
void* OpenDynamicLibrary(const std::string& path);
// The named function, or null.
void* DynamicLibraryFunction(void* library, const char* name);
void CloseDynamicLibrary(void* library);

}  // namespace vel
