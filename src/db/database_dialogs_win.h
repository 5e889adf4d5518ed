#pragma once
// The database's own windows and commands: properties, SQL error report,
// backup, and applying a statement to the selected items.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "db/selection_batch.h"

namespace vel {

struct AppState;
class LibraryConnection;

// "データベースのプロパティ", modal over the main window.
void ShowDatabasePropertiesDialog(AppState& app);

// Makes the SQL error reports appear in "SQLクエリエラー" over the main window.
void InstallSqlErrorDialog(AppState& app);
void CloseSqlErrorDialog();

// Menu "データベースファイルをバックアップ".
void BackupDatabaseCommand(AppState& app);

// Registers the database commands (backup, properties) with the command table.
void RegisterDatabaseCommands();

// Runs the template once per selected item in one transaction; on failure
// nothing is applied and the error is shown. `selectNone` leaves no item
// selected afterwards (removal from the library).
void ApplyToSelectedItems(AppState& app, const std::string& sqlTemplate, bool selectNone);

// The selected rows of the item list (1-based, list order).
std::vector<int> SelectedItemRows(AppState& app);
// The keys of those rows.
std::vector<std::string> SelectedItemKeys(AppState& app);

// Runs a batch over the keys on a connection of its own with the busy cursor
// shown; on failure nothing is applied and `failureText` is shown with the
// database's message. True when the batch was applied. The list is not reloaded.
using SelectionBatch =
    std::function<std::optional<BatchFailure>(LibraryConnection& db, const std::vector<std::string>& keys)>;
bool RunOnSelection(AppState& app, const std::vector<std::string>& keys, const SelectionBatch& batch,
                    const std::string& failureText);

}  // namespace vel
