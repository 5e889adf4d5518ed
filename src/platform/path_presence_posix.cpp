#include "platform/path_presence.h"

#include <sys/stat.h>

#include <cerrno>

#include "platform/system.h"

namespace vel {

PathPresence ProbePath(const std::string& path) {
  if (path.empty()) return PathPresence::kMissing;
  struct stat st {};
  if (stat(NativePath(path).c_str(), &st) == 0) return PathPresence::kPresent;
  return errno == ENOENT || errno == ENOTDIR ? PathPresence::kMissing : PathPresence::kUnknown;
}

}  // namespace vel
