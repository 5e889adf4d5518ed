#pragma once
// "イメージファイルの追加": the import dialog and its progress window.
namespace vel {

struct AppState;

void ShowImageImportDialog(AppState& app);

}  // namespace vel
