#include "search/list_sort.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "db/library_connection.h"
#include "platform/codepage.h"

namespace vel {
namespace {

// A cell's value as ORDER BY compares it.
struct SortValue {
  const char* text = nullptr;
  std::uint32_t size = 0;
  std::uint8_t rank = 0;  // 0 NULL, 1 number, 2 text
  bool integer = false;
  union {
    std::int64_t i = 0;
    double r;
  };
};

// An integer against a real, exactly (neither side rounded).
int CompareIntegerReal(std::int64_t i, double r) {
  if (r < -9223372036854775808.0) return 1;
  if (r >= 9223372036854775808.0) return -1;
  auto y = static_cast<std::int64_t>(r);
  if (i < y) return -1;
  if (i > y) return 1;
  // Equal integer parts: beyond 2^53 r is whole, below it i converts exactly.
  double s = static_cast<double>(i);
  return s < r ? -1 : s > r ? 1 : 0;
}

int Compare(const SortValue& a, const SortValue& b) {
  if (a.rank != b.rank) return a.rank < b.rank ? -1 : 1;
  if (a.rank == 0) return 0;
  if (a.rank == 2) {
    size_t n = std::min(a.size, b.size);
    int c = n ? std::memcmp(a.text, b.text, n) : 0;
    if (c != 0) return c < 0 ? -1 : 1;
    return a.size < b.size ? -1 : a.size > b.size ? 1 : 0;
  }
  if (a.integer && b.integer) return a.i < b.i ? -1 : a.i > b.i ? 1 : 0;
  if (!a.integer && !b.integer) return a.r < b.r ? -1 : a.r > b.r ? 1 : 0;
  return a.integer ? CompareIntegerReal(a.i, b.r) : -CompareIntegerReal(b.i, a.r);
}

bool ReadNumber(std::string_view text, bool integer, SortValue& value) {
  value.rank = 1;
  value.integer = integer;
  const char* end = text.data() + text.size();
  auto result = integer ? std::from_chars(text.data(), end, value.i) : std::from_chars(text.data(), end, value.r);
  return result.ec == std::errc() && result.ptr == end;
}

// The number SQLite makes of a text in "text+0", asked of SQLite itself, so
// that every form it accepts (spaces, signs, exponents, a numeric prefix) is
// read as it reads it.
class TextToNumber {
 public:
  explicit TextToNumber(sqlite3* handle) {
    if (handle) sqlite3_prepare_v2(handle, "SELECT ?1+0", -1, &statement_, nullptr);
  }
  ~TextToNumber() { sqlite3_finalize(statement_); }
  TextToNumber(const TextToNumber&) = delete;
  TextToNumber& operator=(const TextToNumber&) = delete;

  bool Convert(std::string_view text, SortValue& value) {
    if (auto known = known_.find(text); known != known_.end()) {
      value = known->second;
      return true;
    }
    if (!statement_) return false;
    // An empty cell may have no bytes at all: bound as such it would be NULL.
    sqlite3_bind_text(statement_, 1, text.empty() ? "" : text.data(), static_cast<int>(text.size()), SQLITE_STATIC);
    bool done = sqlite3_step(statement_) == SQLITE_ROW;
    if (done) {
      int type = sqlite3_column_type(statement_, 0);
      value.rank = type == SQLITE_NULL ? 0 : 1;
      value.integer = type == SQLITE_INTEGER;
      if (value.integer)
        value.i = sqlite3_column_int64(statement_, 0);
      else
        value.r = sqlite3_column_double(statement_, 0);
      done = type == SQLITE_NULL || type == SQLITE_INTEGER || type == SQLITE_FLOAT;
    }
    sqlite3_reset(statement_);
    sqlite3_clear_bindings(statement_);
    if (done) known_.emplace(text, value);
    return done;
  }

 private:
  sqlite3_stmt* statement_ = nullptr;
  std::unordered_map<std::string_view, SortValue> known_;
};

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

// The result column an ORDER BY name picks; -1 when none or more than one.
int ColumnNamed(const LibraryConnection& db, std::string_view name) {
  int found = -1;
  for (int c = 0; c < db.ColumnCount(); ++c)
    if (SameName(db.ColumnName(c), name)) {
      if (found >= 0) return -1;
      found = c;
    }
  return found;
}

// The library compares text as this code does: UTF-8 and BINARY throughout.
bool PlainTextOrder(LibraryConnection& db) {
  return db.SideValue("PRAGMA encoding") == std::optional<std::string>("UTF-8") &&
         db.SideValue("SELECT count(*) FROM sqlite_master WHERE sql LIKE '%collate%'") ==
             std::optional<std::string>("0") &&
         db.SideValue("SELECT count(*) FROM sqlite_temp_master WHERE sql LIKE '%collate%'") ==
             std::optional<std::string>("0");
}

// The query plan, one line per step, each marked as standing at the top (0)
// or inside another (1).
std::string PlanOf(LibraryConnection& db, const std::string& utf8) {
  sqlite3_stmt* statement = nullptr;
  std::string plan = "\n";
  if (sqlite3_prepare_v2(db.Handle(), ("EXPLAIN QUERY PLAN " + utf8).c_str(), -1, &statement, nullptr) != SQLITE_OK) {
    sqlite3_finalize(statement);
    return {};
  }
  int rc;
  while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
    const char* detail = reinterpret_cast<const char*>(sqlite3_column_text(statement, 3));
    // The parent's id is a place in the program and differs between
    // statements: only whether a line stands at the top is kept.
    plan += std::string(sqlite3_column_int(statement, 1) == 0 ? "0:" : "1:") + (detail ? detail : "") + "\n";
  }
  sqlite3_finalize(statement);
  return rc == SQLITE_DONE ? plan : std::string();
}

bool Replace(std::string& text, const std::string& from, const std::string& to) {
  size_t at = text.find(from);
  if (at == std::string::npos) return false;
  text.replace(at, from.size(), to);
  return true;
}

}  // namespace

void NoteListScan(LibraryConnection& db, const std::string& statement, const SortState& sort,
                  LoadedListStamp& stamp) {
  stamp.scan.clear();
  stamp.backwards = false;
  std::string plan = PlanOf(db, AnsiToUtf8(statement));
  const std::vector<OrderTerm> terms = OrderTerms(sort);
  if (terms.empty()) return;
  const bool leadingMachine = std::string_view(terms.front().column) == "machine_name";
  // Rows sorted in blocks of what the scan already orders: a machine read
  // through its index, or columns the condition fixes (a single block).
  // Either meets the rows in the order of the whole scan, only backwards
  // when the machine index is read from its end for a descending
  // machine_name. Other ways of reading in order are not known here.
  if (Replace(plan, "\n0:USE TEMP B-TREE FOR RIGHT PART OF ORDER BY\n", "\n0:USE TEMP B-TREE FOR ORDER BY\n")) {
    if (Replace(plan, "\n0:SCAN m USING INDEX main_machine_name_idx\n", "\n0:SCAN m\n")) {
      if (!leadingMachine) return;
      stamp.backwards = terms.front().descending;
    } else if (plan.find("\n0:SEARCH m USING INDEX main_machine_name_idx (machine_name=?)\n") != std::string::npos) {
      // One machine (or a list of them, which a descending order may visit backwards).
      if (leadingMachine && terms.front().descending) return;
    } else if (plan.find("\n0:SCAN m\n") == std::string::npos) {
      return;
    }
  }
  // The rows sorted after the scan: rows that tie stay in the scan's order.
  if (plan.find("\n0:USE TEMP B-TREE FOR ORDER BY\n") == std::string::npos) {
    stamp.backwards = false;
    return;
  }
  stamp.scan = plan;
}

std::string LibraryVersions(LibraryConnection& db) {
  if (!db.Handle()) return {};
  auto data = db.SideValue("PRAGMA data_version");
  auto schema = db.SideValue("PRAGMA schema_version");
  if (!data || !schema || data->empty() || schema->empty()) return {};
  return *data + "/" + *schema + "/" + std::to_string(sqlite3_total_changes64(db.Handle()));
}

bool SortLoadedList(LibraryConnection& db, LoadedListStamp& stamp, const std::string& rowsStatement,
                    const SortState& sort) {
  if (stamp.result == 0 || stamp.result != db.ResultSerial() || stamp.rows != rowsStatement) return false;
  if (stamp.scan.empty()) return false;
  if (db.HasChangedCells() || !db.ResultValuesExact()) return false;
  if (stamp.versions.empty() || LibraryVersions(db) != stamp.versions) return false;

  struct Term {
    int column;
    bool numeric;
    bool descending;
    std::vector<SortValue> values;  // by row, when `read`, filled when the term is first needed
    bool read = false;
  };
  std::vector<Term> terms;
  for (const OrderTerm& term : OrderTerms(sort)) {
    int column = ColumnNamed(db, term.column);
    if (column < 0) return false;
    terms.push_back({column, term.numeric, term.descending, {}, false});
  }
  if (!PlainTextOrder(db)) return false;
  LoadedListStamp sorted = stamp;
  NoteListScan(db, rowsStatement.substr(0, rowsStatement.size() - 2) + " ORDER BY " + OrderByList(sort) + " ;", sort,
               sorted);
  if (sorted.scan.empty() || sorted.scan != stamp.scan) return false;

  const int rows = db.RowCount();
  TextToNumber toNumber(db.Handle());
  bool exact = true;
  auto valueOf = [&](const Term& term, std::uint32_t row) {
    SortValue value;
    const int r = static_cast<int>(row) + 1;
    std::string_view text = db.CellUtf8(r, term.column);
    switch (db.TypeOf(r, term.column)) {
      case CellType::kNull: break;
      case CellType::kInteger: exact = ReadNumber(text, true, value) && exact; break;
      case CellType::kReal: exact = ReadNumber(text, false, value) && exact; break;
      case CellType::kText:
        if (term.numeric) {
          exact = toNumber.Convert(text, value) && exact;
        } else {
          value.rank = 2;
          value.text = text.data();
          value.size = static_cast<std::uint32_t>(text.size());
        }
        break;
    }
    return value;
  };
  // The leading terms decide most comparisons: their values are read once
  // for every row; the rest only for the rows that tie up to them.
  constexpr size_t kTermsReadAhead = 3;
  for (size_t t = 0; t < terms.size() && t < kTermsReadAhead; ++t) terms[t].read = true;
  std::vector<std::uint32_t> order(static_cast<size_t>(rows));
  for (size_t r = 0; r < order.size(); ++r) order[r] = static_cast<std::uint32_t>(r);
  auto before = [&](std::uint32_t a, std::uint32_t b) {
    for (Term& term : terms) {
      int c;
      if (term.read) {
        if (term.values.empty()) {
          term.values.resize(order.size());
          for (std::uint32_t r = 0; r < order.size(); ++r) term.values[r] = valueOf(term, r);
        }
        c = Compare(term.values[a], term.values[b]);
      } else {
        c = Compare(valueOf(term, a), valueOf(term, b));
      }
      if (c != 0) return term.descending ? c > 0 : c < 0;
    }
    return false;
  };
  std::stable_sort(order.begin(), order.end(), before);
  if (sorted.backwards != stamp.backwards)
    for (size_t first = 0; first < order.size();) {
      size_t end = first + 1;
      while (end < order.size() && !before(order[first], order[end])) ++end;
      std::reverse(order.begin() + static_cast<std::ptrdiff_t>(first), order.begin() + static_cast<std::ptrdiff_t>(end));
      first = end;
    }
  if (!exact || !db.ReorderRows(order)) return false;
  stamp = sorted;
  return true;
}

}  // namespace vel
