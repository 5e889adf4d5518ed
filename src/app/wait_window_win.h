#pragma once
// The wait window shown while the start-up finishes, animated by its own thread.
#include "core/shell_services_win.h"

namespace vel {

struct AppState;

inline constexpr int kWaitFrameWidth = 420;
inline constexpr int kWaitFrameHeight = 80;
inline constexpr unsigned kWaitFrameIntervalMs = 67;

void DestroyWaitWindow(AppState& app);

}  // namespace vel
