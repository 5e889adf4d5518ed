#pragma once
// DBLiquidationDlg: the maintenance dialog. One window for the library's
// maintenance runs, each on a worker thread with its own connection, with a
// log list, a progress bar and "実行" / "中止".
#include "maintenance/maintenance_run.h"

namespace vel {

struct AppState;

// Opens the dialog modal over the main window for the operation; operations
// this dialog does not offer open nothing.
void ShowMaintenanceDialog(AppState& app, MaintenanceOperation operation);

// Menu commands "「読み仮名」超適当生成" and "スマートタイトルの再構築".
void ShowReadingGenerationDialog(AppState& app);
void ShowSmartTitleRebuildDialog(AppState& app);

// At start: when rows wait for their smart title (an older import, or a fill
// stopped before), "データベース更新" opens to fill them.
void FillSmartTitlesAtStart(AppState& app);

// Shows the focused item's stored smart title ("スマートタイトルの確認").
void ShowSmartTitleOfFocusedItem(AppState& app);

}  // namespace vel
