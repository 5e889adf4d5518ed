#pragma once
// Where a long import or CRC run reports what it does, and asks whether it
// should stop. The library's windows implement it; tests record it.
#include <string>

namespace vel {

class ImportProgress {
 public:
  virtual ~ImportProgress() = default;
  virtual void Status(const std::string& text) = 0;  // what the run is doing (CP932)
  virtual void Item(const std::string& text) = 0;    // the file at hand (CP932)
  virtual void Log(const std::string& line) = 0;     // a problem worth keeping (CP932)
  virtual void Range(int total) = 0;
  virtual void Step(int done) = 0;
  virtual bool StopRequested() = 0;
};

}  // namespace vel
