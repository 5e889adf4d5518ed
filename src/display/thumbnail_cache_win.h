#pragma once
// Small pictures of snapshot files for drawing list rows: each file is read
// and scaled once, then kept (the most recently used few hundred) while its
// size and last-write time stay the same.
#include <windows.h>

#include <string>

namespace vel {

// Draws the picture of `path` scaled to fit `box` (aspect kept, centred).
// False when the file cannot be read as a picture.
bool DrawThumbnail(HDC dc, const std::string& path, const RECT& box);
// Forgets every kept picture (files may have changed).
void ForgetThumbnails();
// Forgets the files that could not be read, so that they are tried again.
void ForgetFailedThumbnails();

}  // namespace vel
