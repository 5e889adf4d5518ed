#pragma once
// CRC recalculation: recomputes crc32 and crc of one machine's images and
// writes them in batches, one transaction per batch.
#include <string>

namespace vel {

class ImportProgress;
class LibraryConnection;
struct RecalcJob;

struct RecalcSummary {
  int updated = 0;
  int notComputed = 0;  // kept as they were (logged)
  bool stopped = false;
  bool failed = false;  // could not read or write the library (logged)
};

inline constexpr int kRecalcBatchRows = 200;

RecalcSummary RecalculateCrcs(LibraryConnection& db, const RecalcJob& options,
                                  ImportProgress& progress);

std::string RecalcSummaryText(const RecalcSummary& summary);

}  // namespace vel
