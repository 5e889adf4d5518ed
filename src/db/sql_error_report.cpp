#include "db/sql_error_report.h"

#include "platform/codepage.h"

namespace vel {
namespace {
SqlErrorReport gLastReport;
SqlErrorPresenter gPresenter;
}  // namespace

void SetSqlErrorPresenter(SqlErrorPresenter presenter) { gPresenter = std::move(presenter); }

bool ReportSqlError(const std::string& tag, const std::string& description,
                    const std::string& error, const std::string& sql) {
  gLastReport = {tag, description, error, sql};
  // Expected while the item list has never been built.
  if (error == "no such table: list_view") return false;
  // A statement the user stopped is no fault to show.
  if (error == "interrupted") return false;
  if (gPresenter) gPresenter(gLastReport);
  return true;
}

const SqlErrorReport& LastSqlErrorReport() { return gLastReport; }

std::string SqlErrorDialogText(const SqlErrorReport& report) {
  return report.description + "\r\n" + Utf8ToAnsi(report.error) + "\r\n\r\n" + report.sql;
}

}  // namespace vel
