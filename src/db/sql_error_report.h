#pragma once
// The report of a failed search or query statement: kept, and shown in the
// SQL error dialog unless it is the expected "no list yet" error.
#include <functional>
#include <string>

namespace vel {

struct SqlErrorReport {
  std::string tag;          // where it failed, e.g. "SetPCname"
  std::string description;  // CP932
  std::string error;        // the database's text, UTF-8
  std::string sql;          // CP932
};

using SqlErrorPresenter = std::function<void(const SqlErrorReport&)>;

// Installs what shows a report (the dialog in the program, a recorder in tests).
void SetSqlErrorPresenter(SqlErrorPresenter presenter);

// Keeps the report and shows it. Returns false when it is not shown.
bool ReportSqlError(const std::string& tag, const std::string& description,
                    const std::string& error, const std::string& sql);

const SqlErrorReport& LastSqlErrorReport();

// The dialog's text: description, the error (as CP932), a blank line, the SQL.
std::string SqlErrorDialogText(const SqlErrorReport& report);

}  // namespace vel
