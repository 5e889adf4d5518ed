#pragma once
// The picture files the program loads for snapshots and icons.
#include <string>

namespace vel {

// True for ".PNG", ".BMP", ".GIF" and ".JPG" in any case.
bool IsLoadableImageExtension(const std::string& extension);

}  // namespace vel
