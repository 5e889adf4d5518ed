#pragma once
// A file that one holder appends records to and keeps to itself while it
// lives. Nobody else can take it until the holder lets go, which happens too
// when the holder's process ends without doing so: a file that can be taken
// was left behind.
#include <cstdint>
#include <string>

namespace vel {

class HeldFile {
 public:
  HeldFile() = default;
  ~HeldFile();  // lets go, leaving the file
  HeldFile(const HeldFile&) = delete;
  HeldFile& operator=(const HeldFile&) = delete;

  // Creates a new file and holds it; false when one exists or it cannot be made.
  bool Create(const std::string& path);
  // Holds an existing file; false when it is missing or someone holds it.
  bool Take(const std::string& path);
  bool IsHeld() const { return handle_ != kNoHandle; }
  // The whole content; false when it cannot be read.
  bool ReadAll(std::string& bytes);
  // Appends the bytes and pushes them to the disk before returning; false
  // when not all of them could be written.
  bool Append(const std::string& bytes);
  // Lets go of the file, leaving it on disk.
  void Release();

 private:
  static constexpr std::intptr_t kNoHandle = -1;
  std::intptr_t handle_ = kNoHandle;
};

}  // namespace vel
