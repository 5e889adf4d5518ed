#include "scratch_library.h"

#include <cstdio>
#include <cstdlib>
#include <vector>

#include "db/schema.h"
#include "platform/file_operations.h"

namespace vel::bench {

ScratchLibrary::ScratchLibrary(std::string path, int runs)
    : path_(std::move(path)), pristine_(path_ + ".pristine"), runs_(runs) {}

bool ScratchLibrary::Generate(const LibraryShape& shape, const std::function<void(sqlite3*)>& prepare) {
  std::remove(path_.c_str());
  LibraryConnection db;
  db.Open(path_, "");
  if (auto error = CreateOrUpgradeSchema(db); error || (error = CreateItemView(db))) {
    std::fprintf(stderr, "schema: %s\n", error->c_str());
    return false;
  }
  auto started = Clock::now();
  GenerateLibrary(db.Handle(), shape);
  if (prepare) prepare(db.Handle());
  std::printf("generated %d items in %.0f ms (%s)\n", shape.items, Ms(Clock::now() - started), path_.c_str());
  db.Close();
  return CopyOneFile(path_, pristine_, CopyMode::kOverwrite);
}

void ScratchLibrary::Restore() {
  if (!CopyOneFile(pristine_, path_, CopyMode::kOverwrite)) {
    std::fprintf(stderr, "cannot restore %s\n", path_.c_str());
    std::exit(1);
  }
}

void ScratchLibrary::RemoveFiles() {
  std::remove(path_.c_str());
  std::remove(pristine_.c_str());
}

TargetRow ScratchLibrary::Change(const std::string& name, double target,
                                 const std::function<int(LibraryConnection&)>& run, StatementList* recorded) {
  std::vector<double> program, ceiling;
  TargetRow row{name};
  row.target = target;
  for (int r = 0; r < runs_; ++r) {
    Restore();
    Recorder recorder;
    {
      LibraryConnection db;
      db.Open(path_, "");
      RecordStatements(db.Handle(), recorder);
      recorder.on = true;
      row.rows = run(db);
      recorder.on = false;
    }
    Restore();
    {
      LibraryConnection db;
      db.Open(path_, "");
      auto t0 = Clock::now();
      run(db);
      program.push_back(Ms(Clock::now() - t0));
    }
    Restore();
    {
      LibraryConnection db;
      db.Open(path_, "");
      auto t0 = Clock::now();
      Replay(db.Handle(), recorder.statements);
      ceiling.push_back(Ms(Clock::now() - t0));
    }
    if (recorded) *recorded = std::move(recorder.statements);
  }
  row.program = Median(program);
  row.ceiling = Median(ceiling);
  return row;
}

}  // namespace vel::bench
