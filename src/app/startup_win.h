#pragma once
#include <windows.h>

namespace vel {

// Start-up, message loop and final exit of the program.
int RunProgram(HINSTANCE instance);

}  // namespace vel
