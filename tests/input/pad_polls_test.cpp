// The UI poll and the emulator-exit poll, stepped over a scripted pad.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/pad_polls.h"
#include "platform/scripted_pad.h"

namespace vel {
namespace {

// Records keys as "d40" / "u40" and pauses as "s10".
class RecordingKeys : public InputHost {
 public:
  std::vector<std::string> events;
  void KeyDown(int key) override { events.push_back("d" + std::to_string(key)); }
  void KeyUp(int key) override { events.push_back("u" + std::to_string(key)); }
  void Sleep(unsigned ms) override { events.push_back("s" + std::to_string(ms)); }
  std::uint64_t TickCount() override { return 0; }
  bool SetClipboardText(const std::string&) override { return false; }
  std::vector<TopLevelWindow> TopLevelWindows() override { return {}; }
  void ShowNormally(WindowId) override {}
  void BringToForeground(WindowId) override {}
  bool WindowRectangle(WindowId, ScreenRect&) override { return false; }
  std::vector<ScreenRect> Monitors() override { return {}; }
  bool SampleScreen(const ScreenRect&, ScreenSample&) override { return false; }
  void ShowSample(const ScreenSample&, const ScreenRect&) override {}
  void MoveCursor(int, int) override {}
  void MouseButtonDown(MouseButton) override {}
  void MouseButtonUp(MouseButton) override {}
};

class RecordingSink : public PadCommandSink {
 public:
  std::vector<PadCommand> commands;
  void Command(PadCommand command) override { commands.push_back(command); }
};

PadSettings Assigned() {
  PadSettings settings;
  settings.enable = true;
  settings.repeatMs = 100;
  settings.slots[0].deviceId = 0;
  auto& pairs = settings.slots[0].pairs;
  pairs[kPairUp] = {kPadAxisY, 0};
  pairs[kPairDown] = {kPadAxisY, 65535};
  pairs[kPairEnter] = {kPadButtons, 1};
  pairs[kPairIndexDown] = {kPadButtons, 2};
  pairs[kPairSlow] = {kPadButtons, 4};
  pairs[kPairSoftKey] = {kPadButtons, 16};
  pairs[kPairSoftKeyBack] = {kPadButtons, 32};
  pairs[kPairEmuExit] = {kPadButtons, 1};
  pairs[kPairEmuExit2] = {kPadButtons, 2};
  return settings;
}

struct UiRig {
  PadSettings settings = Assigned();
  ScriptedPad pad;
  PadConnections connections;
  PadUiPoll poll;
  PadUiScene scene{true, false, false, true, false};
  RecordingKeys keys;
  RecordingSink sink;

  void Hold(const std::string& line) { pad.LoadText("0: " + line); }
  // Steps every 25 ms over [from, to).
  void Run(std::uint64_t from, std::uint64_t to) {
    for (std::uint64_t now = from; now < to; now += 25)
      poll.Step(now, settings, pad, connections, scene, keys, sink);
  }
};

TEST(PadUiPoll, AHeldStickGivesKeyPairsAtTheRepeatInterval) {
  UiRig rig;
  rig.Hold("y=65535");
  rig.Run(0, 250);  // acts at 0, 100 and 200
  EXPECT_EQ(rig.keys.events, (std::vector<std::string>{"d40", "u40", "d40", "u40", "d40", "u40"}));

  // A half tilt is a slow match: 150 ms more.
  rig.keys.events.clear();
  rig.Hold("y=50000");
  rig.Run(300, 800);  // acts at 300 and 550
  EXPECT_EQ(rig.keys.events, (std::vector<std::string>{"d40", "u40", "d40", "u40"}));

  // Nothing while another program is in front, or the settings dialog is open.
  rig.keys.events.clear();
  rig.Hold("y=0");
  rig.scene.ownWindowInFront = false;
  rig.Run(1000, 1500);
  rig.scene.ownWindowInFront = true;
  rig.scene.settingsDialogOpen = true;
  rig.Run(1500, 2000);
  EXPECT_TRUE(rig.keys.events.empty());
  rig.scene.settingsDialogOpen = false;
  rig.Run(2000, 2025);
  EXPECT_EQ(rig.keys.events, (std::vector<std::string>{"d38", "u38"}));
}

TEST(PadUiPoll, TheSlowButtonLengthensThePause) {
  UiRig rig;
  rig.Hold("y=65535 buttons=4");
  rig.Run(0, 500);  // acts at 0 and 250
  EXPECT_EQ(rig.keys.events.size(), 4u);
}

TEST(PadUiPoll, EnterSuspendsUntilTheLaunchEndsOrNoneComes) {
  UiRig rig;
  rig.Hold("buttons=1");
  rig.Run(0, 25);
  EXPECT_EQ(rig.keys.events, (std::vector<std::string>{"d13", "s10", "u13"}));
  EXPECT_TRUE(rig.poll.SuspendedByEnter());
  rig.scene.launchInProgress = true;
  rig.Run(25, 5000);
  EXPECT_EQ(rig.keys.events.size(), 3u);
  rig.scene.launchInProgress = false;
  rig.Hold("y=0");
  rig.Run(5000, 5025);
  EXPECT_FALSE(rig.poll.SuspendedByEnter());
  EXPECT_EQ(rig.keys.events, (std::vector<std::string>{"d13", "s10", "u13", "d38", "u38"}));

  // An Enter that starts nothing resumes after the grace time.
  UiRig idle;
  idle.Hold("buttons=1");
  idle.Run(0, 25);
  idle.Hold("x=32767");
  idle.Run(25, PadUiPoll::kLaunchGraceMs);
  EXPECT_TRUE(idle.poll.SuspendedByEnter());
  idle.Run(PadUiPoll::kLaunchGraceMs, PadUiPoll::kLaunchGraceMs + 25);
  EXPECT_FALSE(idle.poll.SuspendedByEnter());

  // Enter outside the item list does not suspend.
  UiRig tree;
  tree.scene.itemListFocused = false;
  tree.Hold("buttons=1");
  tree.Run(0, 25);
  EXPECT_FALSE(tree.poll.SuspendedByEnter());
}

TEST(PadUiPoll, CommandsAndTheKeyboardMode) {
  UiRig rig;
  rig.Hold("buttons=2");
  rig.Run(0, 25);
  rig.Hold("buttons=16");
  rig.Run(100, 125);
  EXPECT_EQ(rig.sink.commands, (std::vector<PadCommand>{PadCommand::kIndexDown, PadCommand::kOpenSoftKeyboard}));

  // With the keyboard open the pad drives it: the stick moves its cursor,
  // the back button deletes, and nothing reaches the keys.
  rig.sink.commands.clear();
  rig.scene.softKeyboardOpen = true;
  rig.Hold("y=65535");
  rig.Run(200, 225);
  rig.Hold("buttons=32");
  rig.Run(300, 325);
  rig.Hold("buttons=16");
  rig.Run(400, 425);
  EXPECT_EQ(rig.sink.commands, (std::vector<PadCommand>{PadCommand::kKeyboardCursorDown, PadCommand::kKeyboardBack,
                                                        PadCommand::kKeyboardClose}));
  EXPECT_TRUE(rig.keys.events.empty());

  // Held on, the keyboard button acts once: it does not close what it opened.
  rig.sink.commands.clear();
  rig.scene.softKeyboardOpen = false;
  rig.Hold("x=32767");
  rig.Run(500, 525);
  rig.Hold("buttons=16");
  rig.Run(600, 625);
  rig.scene.softKeyboardOpen = true;
  rig.Run(700, 1100);
  EXPECT_EQ(rig.sink.commands, (std::vector<PadCommand>{PadCommand::kOpenSoftKeyboard}));
}

TEST(PadUiPoll, ASlotMissingOrSharingADeviceDoesNothing) {
  UiRig rig;
  rig.settings.slots[1] = rig.settings.slots[0];  // both slots on device 0: it acts once
  rig.Hold("y=65535");
  rig.Run(0, 25);
  EXPECT_EQ(rig.keys.events.size(), 2u);
  rig.pad.LoadText("1: y=65535");  // device 0 gone
  rig.Run(100, 200);
  EXPECT_EQ(rig.keys.events.size(), 2u);
}

struct ExitRig {
  PadSettings settings = Assigned();
  ScriptedPad pad;
  PadConnections connections;
  PadExitPoll poll;

  // The poll numbers (from 1) at which the emulator is ended.
  std::vector<int> Run(int polls, const std::vector<std::string>& lines = {}) {
    std::vector<int> fired;
    poll.Start();
    for (int n = 1; n <= polls; ++n) {
      if (!lines.empty()) pad.LoadText(lines[static_cast<size_t>(n - 1) % lines.size()]);
      connections.Update(settings, pad);
      if (poll.Step(settings, pad, connections)) fired.push_back(n);
    }
    return fired;
  }
};

TEST(PadExitPoll, FiresOnceAfterTheLongPress) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;  // one per poll, repeating
    std::vector<int> fired;
  };
  const Case cases[] = {
      {"buttons 1 and 2 held", {"0: buttons=3"}, {7}},
      {"only one of them", {"0: buttons=1"}, {}},
      {"a third button as well", {"0: buttons=7"}, {}},
      {"released every fifth poll",
       {"0: buttons=3", "0: buttons=3", "0: buttons=3", "0: buttons=3", "0: buttons=0"}, {}},
      {"an idle pad", {"0: x=32767"}, {}},
  };
  for (const Case& c : cases) {
    ExitRig rig;
    EXPECT_EQ(rig.Run(40, c.lines), c.fired) << c.what;
  }
}

TEST(PadExitPoll, PairsThatCanNeverEndAnEmulator) {
  ExitRig unassigned;
  unassigned.settings.slots[0].pairs[kPairEmuExit] = {};
  unassigned.settings.slots[0].pairs[kPairEmuExit2] = {};
  unassigned.pad.LoadText("0: x=32767");
  EXPECT_TRUE(unassigned.Run(40).empty());

  // Pairs of different types each match their own reading.
  ExitRig mixed;
  mixed.settings.slots[0].pairs[kPairEmuExit] = {kPadButtons, 8};
  mixed.settings.slots[0].pairs[kPairEmuExit2] = {kPadHat, 18000};
  mixed.pad.LoadText("0: buttons=8 pov=18000");
  EXPECT_EQ(mixed.Run(10), (std::vector<int>{7}));
  mixed.pad.LoadText("0: buttons=8");
  EXPECT_TRUE(mixed.Run(20).empty());
  mixed.pad.LoadText("0: buttons=8 y=50000");  // half tilts never count
  mixed.settings.slots[0].pairs[kPairEmuExit2] = {kPadAxisY, 65535};
  EXPECT_TRUE(mixed.Run(20).empty());

  // No long press at all ends at the first poll.
  ExitRig at0;
  at0.settings.longPressS = 0;
  at0.pad.LoadText("0: buttons=3");
  EXPECT_EQ(at0.Run(5), (std::vector<int>{1}));
}

TEST(PadExitPoll, XInputTranslatesTheButtons) {
  struct Case {
    const char* line;
    std::vector<int> fired;
  };
  const Case cases[] = {{"0: xinput=0x3000", {7}}, {"0: xinput=0x3001", {}}, {"0: xinput=0x1000", {}},
                        {"0: buttons=3", {}}};
  for (const Case& c : cases) {
    ExitRig rig;
    rig.settings.slots[0].exitByXInput = true;
    rig.pad.LoadText(c.line);
    EXPECT_EQ(rig.Run(40), c.fired) << c.line;
  }
  ExitRig untranslatable;
  untranslatable.settings.slots[0].exitByXInput = true;
  untranslatable.settings.slots[0].pairs[kPairEmuExit2] = {kPadButtons, 2048};
  untranslatable.pad.LoadText("0: xinput=0");
  EXPECT_TRUE(untranslatable.Run(40).empty());
}

}  // namespace
}  // namespace vel
