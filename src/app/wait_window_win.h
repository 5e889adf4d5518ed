#pragma once
// The wait window shown while the start-up finishes, animated by its own thread.
namespace vel {

struct AppState;

inline constexpr int kWaitFrameWidth = 420;
inline constexpr int kWaitFrameHeight = 80;
inline constexpr unsigned kWaitFrameIntervalMs = 67;

void ShowWaitWindow(AppState& app);
// Hides the window; its animation thread ends by itself.
void HideWaitWindow(AppState& app);
void DestroyWaitWindow(AppState& app);

}  // namespace vel
