#pragma once
// "CRCの再取得": recalculates the CRCs stored for one machine's images.
namespace vel {

struct AppState;

void ShowCrcRecalculationDialog(AppState& app);

}  // namespace vel
