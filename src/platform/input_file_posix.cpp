#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/input_file.h"
#include "platform/system.h"

namespace vel {

bool InputFile::Open(const std::string& path) {
  Close();
  int fd = open(NativePath(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st {};
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
    close(fd);
    return false;
  }
  handle_ = fd;
  size_ = static_cast<std::int64_t>(st.st_size);
  return true;
}

void InputFile::Close() {
  if (handle_ != kNoHandle) close(static_cast<int>(handle_));
  handle_ = kNoHandle;
  size_ = 0;
}

std::int64_t InputFile::ReadAt(std::int64_t offset, void* buffer, std::size_t count) {
  if (handle_ == kNoHandle || offset < 0) return -1;
  ssize_t got = pread(static_cast<int>(handle_), buffer, count, static_cast<off_t>(offset));
  return got < 0 ? -1 : got;
}

}  // namespace vel
