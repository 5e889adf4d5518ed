#include <windows.h>

#include "platform/output_file.h"

namespace vel {

OutputFile::~OutputFile() { Close(); }

bool OutputFile::Create(const std::string& path) {
  Close();
  HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  handle_ = reinterpret_cast<std::intptr_t>(h);
  return true;
}

bool OutputFile::Write(const void* data, std::size_t count) {
  if (handle_ == kNoHandle) return false;
  const char* p = static_cast<const char*>(data);
  while (count > 0) {
    DWORD chunk = count > 0x40000000 ? 0x40000000 : static_cast<DWORD>(count);
    DWORD written = 0;
    if (!WriteFile(reinterpret_cast<HANDLE>(handle_), p, chunk, &written, nullptr) || written == 0) return false;
    p += written;
    count -= written;
  }
  return true;
}

bool OutputFile::Close() {
  if (handle_ == kNoHandle) return false;
  BOOL closed = CloseHandle(reinterpret_cast<HANDLE>(handle_));
  handle_ = kNoHandle;
  return closed != FALSE;
}

}  // namespace vel
