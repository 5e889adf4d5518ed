#include "launch/demo_mode.h"

#include <gtest/gtest.h>

namespace vel {
namespace {

TEST(DemoMode, DecidesWhetherADemoLaunchGoesOn) {
  struct Case {
    const char* what;
    DemoSituation s;
    DemoStep step;
    int row;
  } cases[] = {
      // next, flag, in front, launch in progress, selected, rows
      {"idle program in front", {false, false, true, false, 2, 5}, DemoStep::kAnnounce, 2},
      {"window behind others", {false, false, false, false, 2, 5}, DemoStep::kNothing, 2},
      {"already in demo", {false, true, true, false, 2, 5}, DemoStep::kNothing, 2},
      {"a launch is being prepared", {false, false, true, true, 2, 5}, DemoStep::kNothing, 2},
      {"no selection", {false, false, true, false, 0, 5}, DemoStep::kNothing, 0},
      {"empty list", {false, false, true, false, 0, 0}, DemoStep::kNothing, 0},
      {"next item", {true, true, false, false, 2, 5}, DemoStep::kAnnounce, 3},
      {"next from the last item", {true, true, false, false, 5, 5}, DemoStep::kEnd, 5},
      {"next without selection", {true, true, false, false, 0, 5}, DemoStep::kEnd, 1},
      {"next on an empty list", {true, true, false, false, 0, 0}, DemoStep::kEnd, 0},
      {"next after a cancel", {true, false, false, false, 2, 5}, DemoStep::kNothing, 3},
      {"next while another launch runs", {true, true, false, true, 2, 5}, DemoStep::kNothing, 3},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecideDemoLaunch(c.s), c.step) << c.what;
    EXPECT_EQ(DemoRow(c.s), c.row) << c.what;
  }
}

TEST(DemoMode, SettingsPeriodsAndAnnouncement) {
  EXPECT_EQ(TriggerPeriodMs(0), 0u);   // off
  EXPECT_EQ(TriggerPeriodMs(-4), 0u);  // off
  EXPECT_EQ(TriggerPeriodMs(1), 60000u);
  EXPECT_EQ(TriggerPeriodMs(2147483647), 1440u * 60000u);  // no overflow
  EXPECT_EQ(ExitPeriodMs(2), 120000u);
  EXPECT_EQ(ExitPeriodMs(0), 60000u);
  DemoSettings s = ClampDemoSettings(-1, 0, 0, 9, 0, 3);
  EXPECT_EQ(s.triggerMinutes, 0);
  EXPECT_EQ(s.waitSeconds, 1);  // 0 would divide by zero
  EXPECT_EQ(s.exitMinutes, 1);
  EXPECT_EQ(s.animate, 5);
  EXPECT_EQ(s.size, 1);
  EXPECT_TRUE(s.mediaMax);
  struct Progress {
    long long elapsed;
    int wait, percent;
  } progress[] = {{3500, 7, 50}, {0, 7, 0}, {7000, 7, 100}, {9000, 7, 100}, {-5, 7, 0}, {500, 0, 50}};
  for (const Progress& p : progress) EXPECT_EQ(AnnouncementPercent(p.elapsed, p.wait), p.percent) << p.elapsed;
  EXPECT_EQ(AnnouncedDiskCount(true, 3, false), 3);
  EXPECT_EQ(AnnouncedDiskCount(false, 3, false), 1);
  EXPECT_EQ(AnnouncedDiskCount(true, 3, true), 0);
}

TEST(DemoMode, TheCycleMovesThroughItsStates) {
  DemoCycle cycle;
  EXPECT_FALSE(cycle.Active());
  EXPECT_TRUE(cycle.Announce());
  EXPECT_FALSE(cycle.Announce());  // a second request during the announcement is ignored
  cycle.AnnouncementEnded(true);
  EXPECT_EQ(cycle.State(), DemoState::kLaunching);
  EXPECT_FALSE(cycle.Announce());
  cycle.LaunchStarted();
  EXPECT_EQ(cycle.State(), DemoState::kRunning);
  cycle.LaunchEnded();
  EXPECT_EQ(cycle.State(), DemoState::kEnded);
  EXPECT_TRUE(cycle.Active());
  EXPECT_TRUE(cycle.Announce());  // the next item
  cycle.AnnouncementEnded(false);  // a key cancels
  EXPECT_EQ(cycle.State(), DemoState::kIdle);
  cycle.LaunchEnded();  // a late report changes nothing
  EXPECT_EQ(cycle.State(), DemoState::kIdle);
}

}  // namespace
}  // namespace vel
