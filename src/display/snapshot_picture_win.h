#pragma once
// Snapshot pictures for the information pane and the snapshot view: read
// through memory (the file is never held open, so a capture or a rename can
// replace it), kept while the file's size and last-write time stay, and drawn
// by the pieces of their scaling from a scaled bitmap kept per path, size and mode.
#include <windows.h>

#include <string>

#include "display/snapshot_geometry.h"

namespace vel {

// The picture's size; false when the file cannot be read as a picture.
bool SnapshotPictureSize(const std::string& path, int& width, int& height);

// Draws the picture into `area` by `scaling`; false when it cannot be read.
bool DrawSnapshotPicture(HDC dc, const std::string& path, const RECT& area, const SnapScaling& scaling);

// Draws the picture at its own size with its top-left corner at (x, y).
bool DrawSnapshotActualSize(HDC dc, const std::string& path, int x, int y);

}  // namespace vel
