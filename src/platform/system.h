#pragma once
// Files, folders, time and the machine, as the portable core needs them.
#include <cstdint>
#include <string>

namespace vel {

bool FileExists(const std::string& path);
bool DirectoryExists(const std::string& path);
// Creates one folder; an existing folder is no error. Returns false on failure.
bool CreateFolder(const std::string& path);
// Size of a file in bytes, or false when it cannot be opened.
bool FileSize(const std::string& path, std::int64_t& size);
// The last-write time of a file or folder, in the file system's own units
// (only compared for change); 0 when it cannot be read.
std::int64_t LastWriteStamp(const std::string& path);
// The total size and the space free to this user of the drive that holds
// `folder`, in bytes; false when the folder cannot be asked.
bool DriveSpace(const std::string& folder, std::uint64_t& total, std::uint64_t& available);
// Removes a file; false when it could not be removed.
bool RemoveFile(const std::string& path);
// Removes a folder that is empty; false when it is not empty or could not be removed.
bool RemoveEmptyFolder(const std::string& path);
std::string CurrentDirectory();
// This computer's name (at most 15 characters on Windows).
std::string ComputerName();
void SleepMs(unsigned milliseconds);
// The most memory this process has held resident so far, in bytes (0 when unknown).
std::int64_t PeakResidentBytes();

#ifndef _WIN32
// A program path as this (non-Windows) file system names it.
std::string NativePath(const std::string& path);
#endif

struct LocalTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};
LocalTime NowLocal();

}  // namespace vel
