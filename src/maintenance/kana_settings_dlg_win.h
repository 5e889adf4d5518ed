#pragma once
// YomiEnvDlg, "かな設定": the reading options and the symbol tables.
#include <windows.h>

#include "maintenance/title_converter.h"

namespace vel {

struct AppState;

// The reading options in force: the stored five and the unstored narrowing
// switch, which is off at every start.
ReadingSettings CurrentReadingSettings(const AppState& app);

// Modal over `owner`. Returns true when the settings were accepted.
bool ShowKanaSettingsDialog(AppState& app, HWND owner);

}  // namespace vel
