// Held by an exclusive advisory lock on the open file, which ends with the
// descriptor (and so with the process).
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "platform/held_file.h"
#include "platform/system.h"

namespace vel {
namespace {

// The descriptor of the opened and locked file, or -1.
int OpenLocked(const std::string& path, int flags) {
  int fd = open(NativePath(path).c_str(), flags | O_RDWR | O_CLOEXEC, 0666);
  if (fd >= 0 && flock(fd, LOCK_EX | LOCK_NB) != 0) {
    close(fd);
    fd = -1;
  }
  return fd;
}

}  // namespace

HeldFile::~HeldFile() { Release(); }

void HeldFile::Release() {
  if (handle_ != kNoHandle) close(static_cast<int>(handle_));
  handle_ = kNoHandle;
}

bool HeldFile::Create(const std::string& path) {
  Release();
  handle_ = OpenLocked(path, O_CREAT | O_EXCL);
  return handle_ != kNoHandle;
}

bool HeldFile::Take(const std::string& path) {
  Release();
  handle_ = OpenLocked(path, 0);
  return handle_ != kNoHandle;
}

bool HeldFile::ReadAll(std::string& bytes) {
  bytes.clear();
  if (handle_ == kNoHandle) return false;
  int fd = static_cast<int>(handle_);
  if (lseek(fd, 0, SEEK_SET) != 0) return false;
  char buffer[4096];
  for (;;) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0) return false;
    if (n == 0) return true;
    bytes.append(buffer, static_cast<size_t>(n));
  }
}

bool HeldFile::Append(const std::string& bytes) {
  if (handle_ == kNoHandle) return false;
  int fd = static_cast<int>(handle_);
  if (lseek(fd, 0, SEEK_END) < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) return false;
    done += static_cast<size_t>(n);
  }
  return fsync(fd) == 0;
}

}  // namespace vel
