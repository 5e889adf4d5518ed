#pragma once
// A file written from the start by its program path (CP932).
#include <cstddef>
#include <cstdint>
#include <string>

namespace vel {

class OutputFile {
 public:
  OutputFile() = default;
  ~OutputFile();  // closes without reporting; call Close() to learn the outcome
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // Creates the file, emptying one that exists; false when it cannot be.
  bool Create(const std::string& path);
  // Appends the bytes; false when not all of them could be written.
  bool Write(const void* data, std::size_t count);
  // Closes the file; false when it was not open or its data could not be kept.
  bool Close();

 private:
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;
};

}  // namespace vel
