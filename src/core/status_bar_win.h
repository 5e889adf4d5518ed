#pragma once
// Texts of the main window's status bar.
namespace vel {

struct AppState;

// " 全タイトル数: n" from the library.
void ShowTitleCount(AppState& app);

}  // namespace vel
