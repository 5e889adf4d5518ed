#pragma once
// The benchmarks' generated library (Japanese and English titles, makers,
// genres, creators, memos, multi-disk sets) and the ceiling they time an
// operation against: every statement a connection starts while recording is
// on, replayed with prepare/step only.
#include <sqlite3.h>

#include <chrono>
#include <string>
#include <vector>

namespace vel::bench {

using Clock = std::chrono::steady_clock;

inline double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }
double Median(std::vector<double> values);

// Ends the program with the database's message when `rc` is an error.
void Check(int rc, sqlite3* db, const char* what);
// Runs SQL text (UTF-8); ends the program on failure.
void Exec(sqlite3* db, const std::string& sql);

struct LibraryShape {
  int items = 100000;
  // Every parent item gets a title of its own (a number after the words).
  bool distinctTitles = false;
};
// Fills an empty library (schema in place) with the machines, genres and
// items; the same shape gives the same library.
void GenerateLibrary(sqlite3* db, const LibraryShape& shape);

// SQL texts kept end to end in one buffer: recording a long run adds no
// allocation per statement, which would slow the timed program down (the
// Windows heap under Wine grows slower with every block kept).
class StatementList {
 public:
  void Add(const char* sql);
  void clear() {
    text_.clear();
    starts_.clear();
  }
  size_t size() const { return starts_.size(); }
  bool empty() const { return starts_.empty(); }
  const char* operator[](size_t i) const { return text_.c_str() + starts_[i]; }

 private:
  std::string text_;
  std::vector<size_t> starts_;
};

// Every statement a connection starts while `on` is set; a statement run
// with bound values is kept with those values written in.
struct Recorder {
  bool on = false;
  StatementList statements;
};
// Records the connection's statements into `recorder` (SQLITE_TRACE_STMT).
void RecordStatements(sqlite3* db, Recorder& recorder);

// Runs the statements with prepare/step only.
void Replay(sqlite3* db, const StatementList& statements);
// The statements without their transaction control, in one transaction.
void ReplayInOneTransaction(sqlite3* db, const StatementList& statements);

}  // namespace vel::bench
