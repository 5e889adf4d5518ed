#include <windows.h>

#include "platform/input_file.h"

namespace vel {

bool InputFile::Open(const std::string& path) {
  Close();
  int n = MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, path.data(), static_cast<int>(path.size()), wide.data(), n);
  HANDLE h = CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                         OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  LARGE_INTEGER size {};
  if (!GetFileSizeEx(h, &size)) {
    CloseHandle(h);
    return false;
  }
  handle_ = reinterpret_cast<std::intptr_t>(h);
  size_ = size.QuadPart;
  return true;
}

void InputFile::Close() {
  if (handle_ != kNoHandle) CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = kNoHandle;
  size_ = 0;
}

std::int64_t InputFile::ReadAt(std::int64_t offset, void* buffer, std::size_t count) {
  if (handle_ == kNoHandle || offset < 0) return -1;
  OVERLAPPED at {};
  at.Offset = static_cast<DWORD>(offset & 0xFFFFFFFF);
  at.OffsetHigh = static_cast<DWORD>(static_cast<std::uint64_t>(offset) >> 32);
  DWORD want = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
  DWORD got = 0;
  if (!ReadFile(reinterpret_cast<HANDLE>(handle_), buffer, want, &got, &at))
    return GetLastError() == ERROR_HANDLE_EOF ? 0 : -1;
  return got;
}

}  // namespace vel
