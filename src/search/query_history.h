#pragma once
// The query history: every search's view statement kept in tmp_hist_table,
// and Back and Forward rebuilding the view from a kept statement. The table
// is read and written on a connection of its own; only the rebuilding of the
// view runs on the search's connection.
#include <optional>
#include <string>

namespace vel {

class LibraryConnection;

struct HistoryEntry {
  int id = 0;
  int target = 0;       // srch_locate
  std::string subject;  // sbject: the search text as typed (CP932)
  std::string query;    // the view's statement, or the two-pass marker text
};

enum class HistoryRecord { Recorded, Repeated, NoView, Failed };

// Records the statement of list_view after a search (target, text as typed).
// The new entry becomes the only current one and the entries ahead of the
// old current one are discarded, all in one transaction: a failure keeps the
// history as it was and is reported ("saveHistQuery").
HistoryRecord SaveHistQuery(LibraryConnection& historyDb, int target, const std::string& subject);

// The id of the current entry; several current rows count as the newest of
// them. 0 when none is current.
int CurrentHistoryId(LibraryConnection& historyDb);

// The nearest entry before (direction -1) or after (otherwise) the current one.
std::optional<HistoryEntry> HistoryNeighbour(LibraryConnection& historyDb, int direction);

// Builds list_view on the search's connection from a kept statement: a
// two-pass entry draws its random choice anew. Exactly one statement of the
// kept text runs. The error text on failure (nothing is left half made).
std::optional<std::string> ReplayHistoryView(LibraryConnection& searchDb, const std::string& query);

// Makes the entry the only current one (one transaction). The error text on failure.
std::optional<std::string> MarkHistoryCurrent(LibraryConnection& historyDb, int id);

// One step Back (-1) or Forward: the neighbour's view rebuilt on the search's
// connection and the neighbour made current. A failed rebuild is reported
// ("loadHistQuery") and leaves the current mark where it was.
struct HistoryStep {
  enum Status { NoEntry, ReplayFailed, Moved } status = NoEntry;
  HistoryEntry entry;
};
HistoryStep StepHistory(LibraryConnection& historyDb, LibraryConnection& searchDb, int direction);

// Whether Back and Forward have an entry to go to, read from the table.
struct HistoryButtons {
  bool back = false;
  bool forward = false;
};
HistoryButtons ReadHistoryButtons(LibraryConnection& historyDb);
// The toolbar image of each button: Back 0 unavailable / 2 available,
// Forward 1 unavailable / 3 available.
inline int BackImage(const HistoryButtons& b) { return b.back ? 2 : 0; }
inline int ForwardImage(const HistoryButtons& b) { return b.forward ? 3 : 1; }

// The first complete statement of an SQL text (with its ';'), or the whole
// text when it has no complete one.
std::string FirstStatement(const std::string& sql);

}  // namespace vel
