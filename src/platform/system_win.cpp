#include <windows.h>
#include <psapi.h>

#include "platform/system.h"
#include "platform/wide_text_win.h"

namespace vel {

bool FileExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
}

bool DirectoryExists(const std::string& path) {
  DWORD a = GetFileAttributesA(path.c_str());
  return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

std::int64_t LastWriteStamp(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::int64_t>(data.ftLastWriteTime.dwHighDateTime) << 32) | data.ftLastWriteTime.dwLowDateTime;
}

bool CreateFolder(const std::string& path) {
  return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool FileSize(const std::string& path, std::int64_t& size) {
  HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER li {};
  BOOL ok = GetFileSizeEx(h, &li);
  CloseHandle(h);
  if (!ok) return false;
  size = li.QuadPart;
  return true;
}

bool DriveSpace(const std::string& folder, std::uint64_t& total, std::uint64_t& available) {
  ULARGE_INTEGER free{}, size{};
  if (!GetDiskFreeSpaceExW(WideFromAnsi(folder).c_str(), &free, &size, nullptr)) return false;
  total = size.QuadPart;
  available = free.QuadPart;
  return true;
}

bool RemoveFile(const std::string& path) { return DeleteFileA(path.c_str()) != FALSE; }
bool RemoveEmptyFolder(const std::string& path) { return RemoveDirectoryA(path.c_str()) != FALSE; }

std::string CurrentDirectory() {
  DWORD n = GetCurrentDirectoryA(0, nullptr);
  std::string dir(n, '\0');
  n = GetCurrentDirectoryA(n, dir.data());
  dir.resize(n);
  return dir;
}

std::string ComputerName() {
  char buffer[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof buffer;
  if (!GetComputerNameA(buffer, &size)) return {};
  return std::string(buffer, size);
}

void SleepMs(unsigned milliseconds) { Sleep(milliseconds); }

LocalTime NowLocal() {
  SYSTEMTIME st {};
  GetLocalTime(&st);
  return {st.wYear, st.wMonth, st.wDay, st.wHour, st.wMinute, st.wSecond};
}

std::int64_t PeakResidentBytes() {
  PROCESS_MEMORY_COUNTERS counters{};
  counters.cb = sizeof(counters);
  if (!K32GetProcessMemoryInfo(GetCurrentProcess(), &counters, sizeof(counters))) return 0;
  return static_cast<std::int64_t>(counters.PeakWorkingSetSize);
}

}  // namespace vel
