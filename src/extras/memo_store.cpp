#include "extras/memo_store.h"

#include "db/library_connection.h"
#include "platform/codepage.h"

namespace vel {

std::optional<std::string> ReadMemoUtf8(LibraryConnection& db, const std::string& key, std::string& memo) {
  memo.clear();
  if (auto error = db.Query("SELECT memo FROM memo_table WHERE pfile_mm='" + Quote(key) + "';")) return error;
  if (db.RowCount() >= 1) memo = std::string(db.CellUtf8(1, 0));
  return std::nullopt;
}

std::string MemoStoreStatementUtf8(const std::string& key, const std::string& memo) {
  const std::string name = Quote(AnsiToUtf8(key));
  if (memo.empty()) return "DELETE FROM memo_table WHERE pfile_mm='" + name + "' ;";
  return "INSERT OR REPLACE INTO memo_table( pfile_mm, memo ) VALUES('" + name + "','" + Quote(memo) + "') ;";
}

std::optional<std::string> StoreMemoUtf8(LibraryConnection& db, const std::string& key, const std::string& memo) {
  return db.QueryUtf8(MemoStoreStatementUtf8(key, memo));
}

std::string MemoSaveQuestion(const std::string& memo) {
  return memo.empty() ? Jp("メモを削除します。\nよろしいですか？") : Jp("メモを保存します。\nよろしいですか？");
}

MemoLeave LeaveMemo(const MemoSession& session, bool modified, const std::string& text,
                    const std::function<MemoAnswer(const std::string& question)>& ask,
                    const std::function<std::optional<std::string>(const std::string& key, const std::string& text)>& store) {
  if (!modified || session.readOnly || session.loadedKey.empty()) return MemoLeave::kUnchanged;
  switch (ask(MemoSaveQuestion(text))) {
    case MemoAnswer::kYes: return store(session.loadedKey, text) ? MemoLeave::kFailed : MemoLeave::kStored;
    case MemoAnswer::kNo: return MemoLeave::kDiscarded;
    default: return MemoLeave::kCancelled;
  }
}

}  // namespace vel
