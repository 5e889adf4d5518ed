#pragma once
// Progress of an import or a recalculation, shown in the windows the program
// gives, and the run itself on a worker thread while the caller's thread
// keeps its windows responsive.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

#include "maintenance/import_progress.h"

namespace vel {

// The stop flag shared with the program: 0 running, 1 stop requested, 2 ended.
inline constexpr short kRunRunning = 0;
inline constexpr short kRunStopRequested = 1;
inline constexpr short kRunEnded = 2;

struct ProgressWindows {
  HWND owner = nullptr;    // a list box inside it, if any, receives every log line
  HWND status = nullptr;   // what the run does (and, without a list box, each problem)
  HWND item = nullptr;     // the file at hand
  HWND counter = nullptr;  // "done / total", may be null
  HWND marker = nullptr;   // blinks while the run works
  HWND bar = nullptr;      // progress bar
};

class WindowProgress : public ImportProgress {
 public:
  WindowProgress(const ProgressWindows& windows, const std::atomic<short>& stop);
  void Status(const std::string& text) override;
  void Item(const std::string& text) override;
  void Log(const std::string& line) override;
  void Range(int total) override;
  void Step(int done) override;
  bool StopRequested() override { return stop_.load() == kRunStopRequested; }
  // The closing texts: the summary in the status line, the last problem (if
  // any, no list box holds it and the item line is not the status line) in
  // the item line, the bar and counter at their final place.
  void Finish(const std::string& summary);

 private:
  bool Due();  // throttles the per-file updates
  ProgressWindows w_;
  HWND logList_ = nullptr;
  int logWidth_ = 0;  // widest line, in pixels
  const std::atomic<short>& stop_;
  std::string lastProblem_;
  ULONGLONG lastUpdate_ = 0;
  int total_ = 0;
  int done_ = 0;
  bool markerOn_ = true;
};

// Runs `work` on a worker thread and returns when it has ended, dispatching
// this thread's messages meanwhile. A quit message met on the way asks the
// work to stop (through `stop`) and is posted again afterwards.
void RunWhilePumping(const std::function<void()>& work, std::atomic<short>& stop);

}  // namespace vel
