#pragma once
// A file opened for reading by its program path (CP932), read at offsets.
#include <cstddef>
#include <cstdint>
#include <string>

namespace vel {

class InputFile {
 public:
  InputFile() = default;
  ~InputFile();
  InputFile(const InputFile&) = delete;
  InputFile& operator=(const InputFile&) = delete;

  // Opens for reading, sharing with writers; false when it cannot be opened.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return handle_ != kNoHandle; }
  std::int64_t Size() const { return size_; }
  // Reads up to `count` bytes from `offset`: the number read (0 at the end of
  // the file), or -1 on a read error.
  std::int64_t ReadAt(std::int64_t offset, void* buffer, std::size_t count);
  // Reads exactly `count` bytes from `offset`; false when fewer are there.
  bool ReadExactly(std::int64_t offset, void* buffer, std::size_t count);

 private:
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;
  std::int64_t size_ = 0;
};

}  // namespace vel
