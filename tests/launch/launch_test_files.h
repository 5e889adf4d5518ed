#pragma once
// Program paths (CP932, '\' between folders) for the launch tests, and files
// written and read through them on either build.
#include <string>

#include "platform/system.h"
#include "test_support.h"

namespace vel::test {

inline std::string ProgramPath(const TempFolder& folder, const std::string& name) {
  return folder.Path() + "\\" + name;
}

inline std::string OnDisk(const std::string& programPath) {
#ifdef _WIN32
  return programPath;
#else
  return NativePath(programPath);
#endif
}

inline void PutFile(const std::string& programPath, const std::string& bytes) {
  WriteWholeFile(OnDisk(programPath), bytes);
}

inline std::string FileText(const std::string& programPath) { return ReadWholeFile(OnDisk(programPath)); }

}  // namespace vel::test
