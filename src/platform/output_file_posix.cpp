#include <fcntl.h>
#include <unistd.h>

#include "platform/output_file.h"
#include "platform/system.h"

namespace vel {

OutputFile::~OutputFile() { Close(); }

bool OutputFile::Create(const std::string& path) {
  Close();
  int fd = open(NativePath(path).c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
  if (fd < 0) return false;
  handle_ = fd;
  return true;
}

bool OutputFile::Write(const void* data, std::size_t count) {
  if (handle_ == kNoHandle) return false;
  const char* p = static_cast<const char*>(data);
  while (count > 0) {
    ssize_t n = write(static_cast<int>(handle_), p, count);
    if (n <= 0) return false;
    p += n;
    count -= static_cast<std::size_t>(n);
  }
  return true;
}

bool OutputFile::Close() {
  if (handle_ == kNoHandle) return false;
  int rc = close(static_cast<int>(handle_));
  handle_ = kNoHandle;
  return rc == 0;
}

}  // namespace vel
