#include "db/database_lock.h"

#include "db/library_connection.h"
#include "db/schema.h"
#include "db/sql_error_report.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {
namespace {

// How often the row may change under a question before this start takes what
// it finds (another computer taking and giving back the lock meanwhile).
constexpr int kMostQuestions = 5;

void ReportLockFailure(const std::string& error, const std::string& sql) {
  ReportSqlError("SetPCname", Jp("クライアントPC名称の格納に失敗しました"), error, sql);
}

std::string ConflictText(const std::string& holder, const std::string& databasePath,
                         const std::string& computerName) {
  return Jp("既に ") + holder + Jp(" がDB(") + databasePath +
         Jp(")を開いているようです。\n\n終了します。\n※「いいえ」で強制的に ") + computerName +
         Jp(" がDBを開きます。");
}

}  // namespace

LockOutcome AcquireDatabaseLock(const std::string& databasePath, const std::string& extensionPath,
                                const std::string& computerName, void* owner) {
  LibraryConnection db;
  db.Open(databasePath, extensionPath);
  // The holder the user agreed to take the lock from.
  std::string takenOver;
  for (int questions = 0;; ++questions) {
    // Reading, deciding and writing happen in one write transaction, so that
    // two computers starting at once cannot both find the lock free; the
    // second waits for the first and then sees its name.
    const std::string begin = "BEGIN IMMEDIATE;";
    if (auto error = db.Query(begin)) {
      ReportLockFailure(*error, begin);
      return LockOutcome::Taken;
    }
    // A new shared library has no tables yet; the lock row needs its table.
    EnsureVelTable(db);
    std::string holder;
    if (!db.Query("SELECT str FROM vel_table WHERE key='db_open_client';") && db.RowCount() >= 1)
      holder = db.Cell(1, 0);
    if (holder == computerName) {
      db.Query("COMMIT;");
      return LockOutcome::AlreadyOurs;
    }
    if (holder.empty() || holder == takenOver || questions >= kMostQuestions) {
      std::string sql = "INSERT OR REPLACE INTO vel_table(key,str) VALUES('db_open_client','" +
                        Quote(computerName) + "');";
      auto error = db.Query(sql);
      if (!error) error = db.Query("COMMIT;");
      if (error) {
        std::string text = *error;
        db.Query("ROLLBACK;");
        ReportLockFailure(text, sql);
      }
      return LockOutcome::Taken;
    }
    // The library is not held while the user decides.
    db.Query("ROLLBACK;");
    if (ShowMessage(ConflictText(holder, databasePath, computerName), Jp("外部DB参照の競合"),
                    kMbYesNo | kMbIconWarning, owner) != kIdNo)
      return LockOutcome::Refused;
    takenOver = holder;
  }
}

void ReleaseDatabaseLock(const std::string& databasePath, const std::string& extensionPath,
                         const std::string& computerName) {
  LibraryConnection db;
  db.Open(databasePath, extensionPath);
  // A row naming another computer is that computer's lock, taken over from
  // this one: it stays.
  db.Query("DELETE FROM vel_table WHERE key='db_open_client' AND str='" + Quote(computerName) + "';");
}

}  // namespace vel
