#pragma once
// Whether an image file is there, told apart from "cannot tell": a drive
// that is not mapped, a share that is offline, media that is out or access
// that is denied must never read as "missing".
#include <string>

namespace vel {

enum class PathPresence { kPresent, kMissing, kUnknown };

// The file or folder at `path` (CP932, any length). kMissing only when the
// file system says "not found" while the drive or share root is reachable.
PathPresence ProbePath(const std::string& path);

}  // namespace vel
