#include "maintenance/maintenance_commands_win.h"

#include "core/command_ids.h"
#include "core/commands_win.h"
#include "core/focused_item_win.h"
#include "maintenance/crc_recalc_dlg_win.h"
#include "maintenance/image_import_dlg_win.h"
#include "maintenance/image_sets_win.h"
#include "maintenance/maintenance_dlg_win.h"
#include "maintenance/rename_data_dlg_win.h"

namespace vel {

void RegisterMaintenanceCommands() {
  RegisterCommand(kCmdAddImages, ShowImageImportDialog);
  RegisterCommand(kCmdRecalculateCrc, ShowCrcRecalculationDialog);
  RegisterCommand(kCmdReadings, ShowReadingGenerationDialog);
  RegisterCommand(kCmdSmartTitles, ShowSmartTitleRebuildDialog);
  RegisterCommand(kCmdRemoveMissing,
                  [](AppState& app) { ShowMaintenanceDialog(app, MaintenanceOperation::RemoveMissingImages); });
  RegisterCommand(kCmdReplaceColumnValue,
                  [](AppState& app) { ShowMaintenanceDialog(app, MaintenanceOperation::ReplaceColumnValue); });
  RegisterCommand(kCmdExportCsv, [](AppState& app) { ShowMaintenanceDialog(app, MaintenanceOperation::ExportCsv); });
  RegisterCommand(kCmdImportCsv, [](AppState& app) { ShowMaintenanceDialog(app, MaintenanceOperation::ImportCsv); });
  RegisterCommand(kCmdRenameData, ShowRenameDataDialog);
  RegisterCommand(kCmdReleaseImageSet, [](AppState& app) { SplitImageSetCommand(app, FocusedItemKey(app)); });
  RegisterCommand(kCmdAlterEgo, [](AppState& app) { ShowAlterEgoDialog(app, FocusedItemKey(app)); });
}

}  // namespace vel
