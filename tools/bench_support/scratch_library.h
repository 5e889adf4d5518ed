#pragma once
// A generated library kept aside so that every timing starts from the same
// state, and a change timed against SQLite replaying its statements.
#include <functional>
#include <string>

#include "db/library_connection.h"
#include "library_fixture.h"
#include "target_table.h"

namespace vel::bench {

class ScratchLibrary {
 public:
  ScratchLibrary(std::string path, int runs);

  // Creates the library of this shape, `prepare` adding what a benchmark
  // needs beside it, and keeps a copy aside. False when the schema fails.
  bool Generate(const LibraryShape& shape, const std::function<void(sqlite3*)>& prepare = {});
  // Puts the kept copy back (ends the program when it cannot).
  void Restore();
  void RemoveFiles();

  // A change (`run` returns the rows it changed, -1 on failure), each run
  // from the generated library: recorded in a run of its own (writing out
  // bound values is no cost of the program's), timed, then its statements
  // replayed as the ceiling. The last recording is left in `recorded`.
  TargetRow Change(const std::string& name, double target, const std::function<int(LibraryConnection&)>& run,
                   StatementList* recorded = nullptr);

  const std::string& Path() const { return path_; }
  int Runs() const { return runs_; }

 private:
  std::string path_, pristine_;
  int runs_;
};

}  // namespace vel::bench
