#pragma once
// An item's memo as the memo view reads and stores it: in UTF-8 end to end,
// so that any character survives an edit, never cut, and always under the
// key of the item it was read for.
#include <functional>
#include <optional>
#include <string>

namespace vel {

class LibraryConnection;

// The memo of the item keyed `key` (CP932) as UTF-8 ("" when it has none);
// the database's error text on failure.
std::optional<std::string> ReadMemoUtf8(LibraryConnection& db, const std::string& key, std::string& memo);
// Stores the memo (UTF-8) whole; an empty memo removes the item's row.
std::optional<std::string> StoreMemoUtf8(LibraryConnection& db, const std::string& key, const std::string& memo);
// The statement StoreMemoUtf8 runs (UTF-8).
std::string MemoStoreStatementUtf8(const std::string& key, const std::string& memo);

// The question asked before storing (CP932).
std::string MemoSaveQuestion(const std::string& memo);

enum class MemoAnswer { kYes, kNo, kCancel };
enum class MemoLeave { kUnchanged, kStored, kDiscarded, kCancelled, kFailed };

// What the memo view holds: the key its text was read for and whether that
// text may be edited (a combined memo may not).
struct MemoSession {
  std::string loadedKey;
  bool readOnly = false;
};

// Leaving the shown memo (another item, closing, exit): a modified,
// editable memo is offered for storing under the key it was read for. Cancel
// keeps everything as it is; a failed store counts as cancelled for the caller.
MemoLeave LeaveMemo(const MemoSession& session, bool modified, const std::string& text,
                    const std::function<MemoAnswer(const std::string& question)>& ask,
                    const std::function<std::optional<std::string>(const std::string& key, const std::string& text)>& store);

}  // namespace vel
