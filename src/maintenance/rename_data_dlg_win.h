#pragma once
// RenDatDlg: updating the library from rename data through a plug-in, and
// its progress window RenDatProcDlg.

namespace vel {

struct AppState;

void ShowRenameDataDialog(AppState& app);

}  // namespace vel
