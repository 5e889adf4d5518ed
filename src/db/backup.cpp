#include "db/backup.h"

#include <sqlite3.h>

#include "db/library_connection.h"
#include "platform/codepage.h"

namespace vel {
namespace {

std::string TwoDigits(int n) { return (n < 10 ? "0" : "") + std::to_string(n); }

// Copies through the database's online backup, so that a copy taken while
// other connections are open is consistent.
std::string OnlineCopy(sqlite3* source, const std::string& targetUtf8) {
  sqlite3* target = nullptr;
  int rc = sqlite3_open_v2(targetUtf8.c_str(), &target, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE,
                           nullptr);
  std::string error;
  if (rc == SQLITE_OK) {
    sqlite3_backup* backup = sqlite3_backup_init(target, "main", source, "main");
    if (backup) {
      do {
        rc = sqlite3_backup_step(backup, -1);
        if (rc == SQLITE_BUSY || rc == SQLITE_LOCKED) sqlite3_sleep(50);
      } while (rc == SQLITE_OK || rc == SQLITE_BUSY || rc == SQLITE_LOCKED);
      sqlite3_backup_finish(backup);
      if (rc != SQLITE_DONE) error = sqlite3_errstr(rc);
    } else {
      error = sqlite3_errmsg(target);
    }
  } else {
    error = target ? sqlite3_errmsg(target) : sqlite3_errstr(rc);
  }
  sqlite3_close(target);
  return error;
}

}  // namespace

std::string BackupTimePart(const LocalTime& t) {
  return std::to_string(t.year) + "-" + TwoDigits(t.month) + "-" + TwoDigits(t.day) + "_" +
         TwoDigits(t.hour) + "-" + TwoDigits(t.minute) + "-" + TwoDigits(t.second);
}

std::string BackupFileName(const std::string& base, const LocalTime& time,
                           const std::string& versionPart) {
  return base + "\\Velmarook_" + BackupTimePart(time) + "BUP" + versionPart + ".db";
}

BackupResult BackupDatabase(const std::string& databasePath, const std::string& extensionPath,
                            const std::string& base, const LocalTime& time) {
  BackupResult result;
  if (!FileExists(databasePath)) {
    result.status = BackupStatus::NoSource;
    return result;
  }
  LibraryConnection db;
  db.Open(databasePath, extensionPath);
  std::string versionPart;
  if (!db.Query("SELECT ver FROM vel_table ;") && db.RowCount() >= 1)
    versionPart = "_DBver" + db.Cell(1, 0);
  result.target = BackupFileName(base, time, versionPart);
  if (FileExists(result.target)) {
    result.error = result.target + Jp(" は既に存在します");
    return result;
  }
#ifdef _WIN32
  std::string targetUtf8 = AnsiToUtf8(result.target);
#else
  // The same file that FileExists looked at (UTF-8, slashes).
  std::string targetUtf8 = NativePath(result.target);
#endif
  std::string error = OnlineCopy(db.Handle(), targetUtf8);
  if (!error.empty()) {
    RemoveFile(result.target);
    result.error = Utf8ToAnsi(error);
    return result;
  }
  result.status = BackupStatus::Done;
  return result;
}

}  // namespace vel
