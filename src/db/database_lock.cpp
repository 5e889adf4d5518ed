#include "db/database_lock.h"

#include "db/library_connection.h"
#include "db/schema.h"
#include "db/sql_error_report.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {

LockOutcome AcquireDatabaseLock(const std::string& databasePath, const std::string& extensionPath,
                                const std::string& computerName, void* owner) {
  LibraryConnection db;
  db.Open(databasePath, extensionPath);
  std::string holder;
  if (!db.Query("SELECT str FROM vel_table WHERE key='db_open_client';") && db.RowCount() >= 1)
    holder = db.Cell(1, 0);
  if (!holder.empty()) {
    if (holder == computerName) return LockOutcome::AlreadyOurs;
    std::string text = Jp("既に ") + holder + Jp(" がDB(") + databasePath +
                       Jp(")を開いているようです。\n\n終了します。\n※「いいえ」で強制的に ") +
                       computerName + Jp(" がDBを開きます。");
    if (ShowMessage(text, Jp("外部DB参照の競合"), kMbYesNo | kMbIconWarning, owner) != kIdNo)
      return LockOutcome::Refused;
  }
  // A new shared library has no tables yet; the lock row needs its table.
  EnsureVelTable(db);
  std::string sql = "INSERT OR REPLACE INTO vel_table(key,str) VALUES('db_open_client','" +
                    Quote(computerName) + "');";
  if (auto error = db.Query(sql))
    ReportSqlError("SetPCname", Jp("クライアントPC名称の格納に失敗しました"), *error, sql);
  return LockOutcome::Taken;
}

void ReleaseDatabaseLock(const std::string& databasePath, const std::string& extensionPath) {
  LibraryConnection db;
  db.Open(databasePath, extensionPath);
  db.Query("DELETE FROM vel_table WHERE key='db_open_client';");
}

}  // namespace vel
