#pragma once
// "イメージファイルのバックアップ" (RomCopyDlg) over the selected items.

namespace vel {

struct AppState;

// Modal over the main window; the selected items' keys are taken at once.
void ShowImageBackupDialog(AppState& app);

}  // namespace vel
