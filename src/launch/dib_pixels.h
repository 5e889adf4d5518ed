#pragma once
// Pictures handed over as device-independent bitmaps (the clipboard's
// CF_DIB): the header, palette and rows read into 32-bit pixels.
#include <cstdint>
#include <optional>
#include <vector>

#include "launch/snapshot_capture.h"

namespace vel {

// Reads a packed DIB (header, colour table, pixels): info, V4 and V5
// headers; 1, 4, 8 bits with their palette, 16, 24 and 32 bits (also with
// bit-field masks); bottom-up and top-down rows. Nothing for a compressed,
// truncated or oversized DIB.
std::optional<SnapPixels> PixelsFromDib(const std::vector<std::uint8_t>& dib);

}  // namespace vel
