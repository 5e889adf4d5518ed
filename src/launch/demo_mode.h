#pragma once
// Demo mode's decisions without a window: the settings and their periods,
// whether a demo launch may go ahead, the next row, the announcement's
// progress and disk count, and the cycle's state.
#include <cstdint>

namespace vel {

// [DemoMode] of the layout file, clamped where a value would stop the cycle.
struct DemoSettings {
  int triggerMinutes = 0;  // 0 or less: never by itself
  int waitSeconds = 7;     // 1..3600
  int exitMinutes = 2;     // 1..1440
  int animate = 0;         // 0 none, 1..5
  int size = 1;            // drawing scale, 1..4
  bool mediaMax = false;   // no disk count shown
};
DemoSettings ClampDemoSettings(int triggerTime, int waitTime, int emuTermTime, int animate, int size, int mediaMax);

// Timer 10's period in ms; 0 when off. Timer 11's period in ms. Minutes are
// capped so that the product never overflows a 32-bit timer period.
std::uint32_t TriggerPeriodMs(int triggerMinutes);
std::uint32_t ExitPeriodMs(int exitMinutes);

// What a demo launch finds when it is asked to go.
struct DemoSituation {
  bool next = false;         // after a demo emulator ended (or its launch was aborted)
  bool demoFlag = false;     // demo mode runs
  bool mainInFront = false;  // the main window is the foreground window
  bool launchInProgress = false;  // a launch is being prepared or an emulator runs
  int selectedRow = 0;       // 1-based; 0 none
  int rowCount = 0;
};
enum class DemoStep {
  kAnnounce,  // set the flag and announce the (next) item
  kNothing,   // leave everything as it is
  kEnd,       // the cycle is over: clear the flag
};
DemoStep DecideDemoLaunch(const DemoSituation& situation);
// The row announced: the selection, or for `next` the one below it.
int DemoRow(const DemoSituation& situation);

// The announcement's progress bar (0..100) after `elapsedMs` of `waitSeconds`.
int AnnouncementPercent(std::int64_t elapsedMs, int waitSeconds);
// The disk count shown: the set's count for a multi-disk head, else 1; 0
// (none shown) with `MediaMax`.
int AnnouncedDiskCount(bool multiDiskHead, int setCount, bool mediaMax);

// The cycle: idle -> announcing -> launching -> running -> ended -> announcing ...
enum class DemoState { kIdle, kAnnouncing, kLaunching, kRunning, kEnded };
class DemoCycle {
 public:
  DemoState State() const { return state_; }
  bool Active() const { return state_ != DemoState::kIdle; }
  // A demo launch was decided (announce); false when one is already under way.
  bool Announce();
  // The announcement ended: go starts the launch, cancel returns to idle.
  void AnnouncementEnded(bool go);
  void LaunchStarted();  // the emulator runs (timer 11 armed)
  // The emulator ended or the launch was aborted: the next item may follow.
  void LaunchEnded();
  // Any way out of the cycle (cancel, last item, empty list, shutdown).
  void Stop() { state_ = DemoState::kIdle; }

 private:
  DemoState state_ = DemoState::kIdle;
};

}  // namespace vel
