#pragma once
// Picture loading through GDI+, started once for the life of the program.
namespace vel {

struct AppState;

void StartImageSupport(AppState& app);
void ShutdownImageSupport(AppState& app);

}  // namespace vel
