#include "launch/demo_mode.h"

#include <algorithm>

namespace vel {

DemoSettings ClampDemoSettings(int triggerTime, int waitTime, int emuTermTime, int animate, int size, int mediaMax) {
  DemoSettings s;
  s.triggerMinutes = std::clamp(triggerTime, 0, 1440);
  s.waitSeconds = std::clamp(waitTime, 1, 3600);
  s.exitMinutes = std::clamp(emuTermTime, 1, 1440);
  s.animate = std::clamp(animate, 0, 5);
  s.size = std::clamp(size, 1, 4);
  s.mediaMax = mediaMax != 0;
  return s;
}

std::uint32_t TriggerPeriodMs(int triggerMinutes) {
  if (triggerMinutes <= 0) return 0;
  return static_cast<std::uint32_t>(std::min(triggerMinutes, 1440)) * 60000u;
}

std::uint32_t ExitPeriodMs(int exitMinutes) { return static_cast<std::uint32_t>(std::clamp(exitMinutes, 1, 1440)) * 60000u; }

DemoStep DecideDemoLaunch(const DemoSituation& s) {
  if (!s.next) {
    // Started by the timer or the menu: only from an idle program in front.
    if (s.demoFlag || !s.mainInFront || s.launchInProgress) return DemoStep::kNothing;
    return s.selectedRow >= 1 && s.selectedRow <= s.rowCount ? DemoStep::kAnnounce : DemoStep::kNothing;
  }
  if (!s.demoFlag) return DemoStep::kNothing;  // cancelled meanwhile
  if (s.launchInProgress) return DemoStep::kNothing;  // the previous one is not done yet
  if (s.selectedRow < 1 || s.selectedRow >= s.rowCount) return DemoStep::kEnd;  // no selection or the last item
  return DemoStep::kAnnounce;
}

int DemoRow(const DemoSituation& s) { return s.next ? std::min(s.selectedRow + 1, s.rowCount) : s.selectedRow; }

int AnnouncementPercent(std::int64_t elapsedMs, int waitSeconds) {
  std::int64_t total = static_cast<std::int64_t>(std::clamp(waitSeconds, 1, 3600)) * 1000;
  return static_cast<int>(std::clamp<std::int64_t>(elapsedMs * 100 / total, 0, 100));
}

int AnnouncedDiskCount(bool multiDiskHead, int setCount, bool mediaMax) {
  if (mediaMax) return 0;
  return multiDiskHead ? std::max(setCount, 1) : 1;
}

bool DemoCycle::Announce() {
  if (state_ != DemoState::kIdle && state_ != DemoState::kEnded) return false;
  state_ = DemoState::kAnnouncing;
  return true;
}

void DemoCycle::AnnouncementEnded(bool go) {
  if (state_ != DemoState::kAnnouncing) return;
  state_ = go ? DemoState::kLaunching : DemoState::kIdle;
}

void DemoCycle::LaunchStarted() {
  if (state_ == DemoState::kLaunching) state_ = DemoState::kRunning;
}

void DemoCycle::LaunchEnded() {
  if (state_ == DemoState::kLaunching || state_ == DemoState::kRunning) state_ = DemoState::kEnded;
}

}  // namespace vel
