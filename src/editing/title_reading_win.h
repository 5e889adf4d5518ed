#pragma once
// The program's title reading: the symbol tables of the settings file, KAKASI
// when it is ready and the reading settings; null when TitleToKana is off.
#include <windows.h>

#include <memory>
#include <string>

#include "editing/title_reading.h"

namespace vel {

struct AppState;

std::unique_ptr<TitleReading> ProgramTitleReading(AppState& app);

// Puts the reading of the edited title into the reading box, unless the
// box holds a reading the user typed. Does nothing without a reading.
void FollowTitle(TitleReading* reading, const std::string& title, HWND readingBox);

}  // namespace vel
