// Held by the sharing mode of the open handle: others may read it, nobody
// may open it for writing while the handle lives.
#include <windows.h>

#include "platform/held_file.h"
#include "platform/wide_text_win.h"

namespace vel {
namespace {

std::intptr_t OpenHeld(const std::string& path, DWORD disposition) {
  HANDLE file = CreateFileW(WideFromAnsi(path).c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ,
                            nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
  return file == INVALID_HANDLE_VALUE ? -1 : reinterpret_cast<std::intptr_t>(file);
}

HANDLE AsHandle(std::intptr_t handle) { return reinterpret_cast<HANDLE>(handle); }

}  // namespace

HeldFile::~HeldFile() { Release(); }

void HeldFile::Release() {
  if (handle_ != kNoHandle) CloseHandle(AsHandle(handle_));
  handle_ = kNoHandle;
}

bool HeldFile::Create(const std::string& path) {
  Release();
  handle_ = OpenHeld(path, CREATE_NEW);
  return handle_ != kNoHandle;
}

bool HeldFile::Take(const std::string& path) {
  Release();
  handle_ = OpenHeld(path, OPEN_EXISTING);
  return handle_ != kNoHandle;
}

bool HeldFile::ReadAll(std::string& bytes) {
  bytes.clear();
  if (handle_ == kNoHandle) return false;
  HANDLE file = AsHandle(handle_);
  if (SetFilePointer(file, 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER) return false;
  char buffer[4096];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) return false;
    if (n == 0) return true;
    bytes.append(buffer, n);
  }
}

bool HeldFile::Append(const std::string& bytes) {
  if (handle_ == kNoHandle) return false;
  HANDLE file = AsHandle(handle_);
  LARGE_INTEGER zero{};
  if (!SetFilePointerEx(file, zero, nullptr, FILE_END)) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    DWORD n = 0;
    if (!WriteFile(file, bytes.data() + done, static_cast<DWORD>(bytes.size() - done), &n, nullptr) ||
        n == 0)
      return false;
    done += n;
  }
  return FlushFileBuffers(file) != FALSE;
}

}  // namespace vel
