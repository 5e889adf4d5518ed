#pragma once
// Backup of the library file: a consistent copy of the database in use, made
// while it is open, named after the time and the database version.
#include <string>

#include "platform/system.h"

namespace vel {

// "2026-12-09_07-05-03" for the given time.
std::string BackupTimePart(const LocalTime& time);

// base\Velmarook_<time>BUP<version part>.db, the version part being
// "_DBver" + the version, or empty when the version is unknown.
std::string BackupFileName(const std::string& base, const LocalTime& time,
                           const std::string& versionPart);

enum class BackupStatus { Done, NoSource, Failed };

struct BackupResult {
  BackupStatus status = BackupStatus::Failed;
  std::string target;  // CP932
  std::string error;   // CP932, when Failed
};

// Copies the database at `databasePath` into the base folder. An existing
// target is never overwritten; a failed copy leaves no partial file.
BackupResult BackupDatabase(const std::string& databasePath, const std::string& extensionPath,
                            const std::string& base, const LocalTime& time);

}  // namespace vel
