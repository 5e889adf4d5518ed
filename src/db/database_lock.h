#pragma once
// The lock that keeps two computers from using one shared library file at
// once: a row of vel_table naming the computer that has it open.
#include <string>

namespace vel {

enum class LockOutcome {
  Taken,        // the lock was free, or the user chose to take it over
  AlreadyOurs,  // this computer already holds it
  Refused,      // another computer holds it and the user left it there
};

// Asks the user (through the message seam) when another computer holds it.
// The row is read and written in one write transaction; the question is
// asked outside it, and the row is read again after the answer.
LockOutcome AcquireDatabaseLock(const std::string& databasePath, const std::string& extensionPath,
                                const std::string& computerName, void* owner = nullptr);

// Removes the lock row when it still names this computer; failure is ignored.
void ReleaseDatabaseLock(const std::string& databasePath, const std::string& extensionPath,
                         const std::string& computerName);

}  // namespace vel
