#pragma once
// An image import: searches the disk as the options say, derives each
// image's row, computes its CRCs and writes main_table in batches, one
// transaction per batch.
#include <string>

namespace vel {

class ArchiveLister;
class ImportProgress;
class LibraryConnection;
struct ImportJob;

struct ImportSummary {
  int added = 0;
  int overwritten = 0;
  int alreadyPresent = 0;  // in the library already, left as they were
  int skipped = 0;         // images that could not be taken (logged)
  int titlesChanged = 0;   // overwritten items whose title changed (their readings stay)
  bool stopped = false;
  bool failed = false;     // the import could not run or a batch could not be written (logged)
};

// Rows per transaction.
inline constexpr int kImportBatchRows = 500;

ImportSummary ImportImages(LibraryConnection& db, const ImportJob& options,
                        ArchiveLister* archives, ImportProgress& progress);

// The closing line of an import for the progress window (CP932).
std::string ImportSummaryText(const ImportSummary& summary);

}  // namespace vel
