#include "platform/input_file.h"

namespace vel {

InputFile::~InputFile() { Close(); }

bool InputFile::ReadExactly(std::int64_t offset, void* buffer, std::size_t count) {
  auto* out = static_cast<unsigned char*>(buffer);
  while (count > 0) {
    std::int64_t got = ReadAt(offset, out, count);
    if (got <= 0) return false;
    out += got;
    offset += got;
    count -= static_cast<std::size_t>(got);
  }
  return true;
}

}  // namespace vel
