#include <windows.h>

#include "app/startup_win.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) { return vel::RunProgram(instance); }
