#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cctype>
#include <chrono>
#include <cstdlib>
#include <ctime>
#include <fstream>
#include <thread>

#include "platform/codepage.h"
#include "platform/system.h"

namespace vel {

// The program's paths are CP932 text joined with backslashes; this file system
// names files in UTF-8 with slashes. After conversion every 0x5C is a separator.
std::string NativePath(const std::string& path) {
  std::string native = AnsiToUtf8(path);
  for (char& c : native)
    if (c == '\\') c = '/';
  return native;
}
static std::string Native(const std::string& path) { return NativePath(path); }

bool FileExists(const std::string& path) {
  struct stat st {};
  return stat(Native(path).c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool DirectoryExists(const std::string& path) {
  struct stat st {};
  return stat(Native(path).c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::int64_t LastWriteStamp(const std::string& path) {
  struct stat st {};
  if (stat(Native(path).c_str(), &st) != 0) return 0;
  return static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
}

bool CreateFolder(const std::string& path) {
  return mkdir(Native(path).c_str(), 0777) == 0 || DirectoryExists(path);
}

bool FileSize(const std::string& path, std::int64_t& size) {
  struct stat st {};
  if (stat(Native(path).c_str(), &st) != 0 || !S_ISREG(st.st_mode) || access(Native(path).c_str(), R_OK) != 0)
    return false;
  size = static_cast<std::int64_t>(st.st_size);
  return true;
}

bool DriveSpace(const std::string& folder, std::uint64_t& total, std::uint64_t& available) {
  struct statvfs st {};
  if (statvfs(Native(folder).c_str(), &st) != 0) return false;
  total = static_cast<std::uint64_t>(st.f_blocks) * st.f_frsize;
  available = static_cast<std::uint64_t>(st.f_bavail) * st.f_frsize;
  return true;
}

bool RemoveFile(const std::string& path) { return unlink(Native(path).c_str()) == 0; }
bool RemoveEmptyFolder(const std::string& path) { return rmdir(Native(path).c_str()) == 0; }

std::string CurrentDirectory() {
  char buffer[4096];
  return getcwd(buffer, sizeof buffer) ? Utf8ToAnsi(buffer) : std::string();
}

std::string ComputerName() {
  char buffer[256] = {};
  gethostname(buffer, sizeof buffer - 1);
  std::string name(buffer);
  for (char& c : name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return name.substr(0, 15);
}

void SleepMs(unsigned milliseconds) {
  std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

LocalTime NowLocal() {
  std::time_t now = std::time(nullptr);
  std::tm tm {};
  localtime_r(&now, &tm);
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

std::int64_t PeakResidentBytes() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line))
    if (line.rfind("VmHWM:", 0) == 0) return std::atoll(line.c_str() + 6) * 1024;
  return 0;
}

}  // namespace vel
