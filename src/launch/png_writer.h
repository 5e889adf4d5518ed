#pragma once
// PNG files of converted pictures: encoding (8-bit RGB, zlib) and saving
// beside the target before moving into place, so that a failed save never
// destroys the snapshot that was there.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "launch/snapshot_capture.h"

namespace vel {

// The PNG bytes of the picture; nothing when it cannot be encoded.
std::optional<std::vector<std::uint8_t>> EncodePng(const SnapPixels& picture);

// Writes `bytes` to `path` whole or not at all: kSnapSaved, or
// kSnapWriteFailed with the old file (if any) unchanged and no partial file
// left. An empty path (too long) fails as well.
int SaveFileWhole(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Encodes and saves: kSnapSaved, kSnapEncodeFailed or kSnapWriteFailed.
int SavePng(const SnapPixels& picture, const std::string& path);

}  // namespace vel
