#pragma once
// CRC recalculation: recomputes crc32 and crc of one machine's images and
// writes them in batches, one transaction per batch.
#include <string>

namespace vel {

class ArchiveLister;
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

// Members of LZH, RAR and 7z archives take the CRC their listing through
// `archives` gives; without it they are logged as not computed.
RecalcSummary RecalculateCrcs(LibraryConnection& db, const RecalcJob& options, ImportProgress& progress,
                              ArchiveLister* archives = nullptr);

std::string RecalcSummaryText(const RecalcSummary& summary);

}  // namespace vel
