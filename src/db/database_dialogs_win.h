#pragma once
// The database's own windows and commands: properties, SQL error report,
// backup, and applying a statement to the selected items.
#include <string>

namespace vel {

struct AppState;

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

}  // namespace vel
