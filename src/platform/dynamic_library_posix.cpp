#include <dlfcn.h>

#include "platform/dynamic_library.h"
#include "platform/system.h"

namespace vel {

void* OpenDynamicLibrary(const std::string& path) {
  return dlopen(NativePath(path).c_str(), RTLD_NOW | RTLD_LOCAL);
}

void* DynamicLibraryFunction(void* library, const char* name) { return dlsym(library, name); }

void CloseDynamicLibrary(void* library) {
  if (library) dlclose(library);
}

}  // namespace vel
