#pragma once
// CRC recalculation: recomputes crc32 and crc of one machine's images and
// writes them in batches, one transaction per batch.
#include <string>

#include "db/library_connection.h"

namespace vel {

class ArchiveLister;
class ImportProgress;
struct RecalcJob;

struct RecalcSummary {
  int updated = 0;
  int notComputed = 0;  // kept as they were (logged)
  bool stopped = false;
  bool failed = false;  // could not read or write the library (logged)
};

inline constexpr int kRecalcBatchRows = 200;

// Members of LZH, RAR and 7z archives are read through `archives`; without
// it they are logged as not computed. A commit held off by a reader is tried
// again for `commitWaitMs`.
RecalcSummary RecalculateCrcs(LibraryConnection& db, const RecalcJob& options, ImportProgress& progress,
                              ArchiveLister* archives = nullptr, int commitWaitMs = kBusyTimeoutMs);

std::string RecalcSummaryText(const RecalcSummary& summary);

}  // namespace vel
