// Pad inputs, their settings file and the two polls over a scripted pad.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "input/pad_inputs.h"
#include "input/pad_polls.h"
#include "input/pad_settings.h"
#include "platform/file_operations.h"
#include "platform/scripted_pad.h"
#include "platform/system.h"
#include "test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#endif

namespace vel {
namespace {

bool SetReadOnlyForTest(const std::string& file) {
#ifdef _WIN32
  return SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY) != 0;
#else
  return chmod(file.c_str(), 0444) == 0;
#endif
}

JoystickReading Resting() { return {}; }

JoystickReading WithAxis(int axis, std::uint32_t value) {
  JoystickReading reading;
  reading.axes[axis] = value;
  return reading;
}

TEST(PadInputs, QuantisingAndMatchingFollowTheFiveLevels) {
  struct Case {
    std::uint32_t reading, level;
  };
  const Case cases[] = {{0, 0},         {4915, 0},          {4916, 16384},      {26366, 16384},
                        {26367, 32767}, {39167, 32767},     {39168, 49152},     {60618, 49152},
                        {60619, 65535}, {65535, 65535}};
  for (const Case& c : cases) EXPECT_EQ(QuantiseAxis(c.reading), c.level) << c.reading;

  struct Match {
    PadInput input;
    JoystickReading reading;
    bool held, heldSlowly, slow;
  };
  JoystickReading hat9000, hat4500, buttons3, buttons1;
  hat9000.hat = 9000;
  hat4500.hat = 4500;
  buttons3.buttons = 3;
  buttons1.buttons = 1;
  const Match matches[] = {
      {{kPadAxisY, 65535}, WithAxis(1, 65535), true, true, false},
      {{kPadAxisY, 65535}, WithAxis(1, 50000), false, true, true},   // half tilt: a slow match only
      {{kPadAxisX, 0}, WithAxis(0, 20000), false, true, true},
      {{kPadAxisX, 16384}, WithAxis(0, 0), false, false, false},     // a half assignment takes no full tilt
      {{kPadAxisX, 0}, WithAxis(0, 30000), false, false, false},     // neutral
      {{kPadAxisZ, 49152}, WithAxis(2, 50000), true, true, false},
      {{kPadHat, 9000}, hat9000, true, true, false},
      {{kPadHat, 9000}, hat4500, false, false, false},
      {{kPadHat, 0}, Resting(), false, false, false},                // centred hat
      {{kPadButtons, 3}, buttons3, true, true, false},
      {{kPadButtons, 1}, buttons3, false, false, false},             // the whole mask counts
      {{kPadButtons, 3}, buttons1, false, false, false},
      {{kPadButtons, 0}, Resting(), false, false, false},            // a zero mask never matches
      {{kPadUnassigned, 0}, Resting(), false, false, false},
  };
  for (const Match& m : matches) {
    bool slow = true;
    EXPECT_EQ(PadInputHeld(m.input, m.reading, false, &slow), m.held) << m.input.type << "/" << m.input.value;
    EXPECT_FALSE(slow);
    EXPECT_EQ(PadInputHeld(m.input, m.reading, true, &slow), m.heldSlowly) << m.input.type << "/" << m.input.value;
    EXPECT_EQ(slow, m.slow);
  }
}

TEST(PadInputs, NamesAndValidAssignments) {
  const std::pair<PadInput, std::string> names[] = {
      {{kPadAxisX, 0}, "Stick:Left"},     {{kPadAxisX, 49152}, "Stick:Right"}, {{kPadAxisY, 16384}, "Stick:Up"},
      {{kPadAxisY, 65535}, "Stick:Down"}, {{kPadAxisZ, 65535}, "AxisZ:+"},     {{kPadAxisV, 0}, "AxisV:-"},
      {{kPadHat, 0}, "POV:Up"},           {{kPadHat, 27000}, "POV:Left"},      {{kPadButtons, 1}, "Button:1"},
      {{kPadButtons, 3}, "Button:1+2"},   {{kPadButtons, 0x88}, "Button:4+8"}, {{kPadUnassigned, 0}, ""}};
  for (const auto& [input, name] : names) EXPECT_EQ(PadInputName(input), name);

  EXPECT_EQ(ValidPadInput(3, 0), PadInput{});          // no such type
  EXPECT_EQ(ValidPadInput(1, 30000), PadInput{});      // not one of the four tilts
  EXPECT_EQ(ValidPadInput(64, 4500), PadInput{});
  EXPECT_EQ(ValidPadInput(128, 0), PadInput{});
  EXPECT_EQ(ValidPadInput(128, -1), PadInput{});
  EXPECT_EQ(ValidPadInput(2, 65535), (PadInput{kPadAxisY, 65535}));
  EXPECT_EQ(ValidPadInput(128, 12), (PadInput{kPadButtons, 12}));

  std::uint16_t word = 0;
  EXPECT_TRUE(XInputButtons(3, word));
  EXPECT_EQ(word, 0x3000);
  EXPECT_TRUE(XInputButtons(512 | 16, word));
  EXPECT_EQ(word, 0x0180);
  EXPECT_FALSE(XInputButtons(0, word));
  EXPECT_FALSE(XInputButtons(1024 | 1, word));
}

TEST(ScriptedPad, ReadsAPadStateTextLineByLine) {
  ScriptedPad pad;
  pad.LoadText("0: y=65535 buttons=3 xinput=0x3000\r\n\n1:x=0\tpov=9000\nbad line\n25: x=1\n2: x=99999 buttons=zz\n");
  JoystickReading reading;
  ASSERT_TRUE(pad.ReadJoystick(0, reading));
  EXPECT_EQ(reading.axes[1], 65535u);
  EXPECT_EQ(reading.axes[0], 32767u);
  EXPECT_EQ(reading.buttons, 3u);
  std::uint16_t word = 0;
  ASSERT_TRUE(pad.ReadXInput(0, word));
  EXPECT_EQ(word, 0x3000);
  ASSERT_TRUE(pad.ReadJoystick(1, reading));
  EXPECT_EQ(reading.axes[0], 0u);
  EXPECT_EQ(reading.hat, 9000u);
  EXPECT_FALSE(pad.ReadXInput(1, word));
  ASSERT_TRUE(pad.ReadJoystick(2, reading));  // values out of range stay resting
  EXPECT_EQ(reading.axes[0], 32767u);
  EXPECT_EQ(reading.buttons, 0u);
  EXPECT_FALSE(pad.ReadJoystick(3, reading));
  EXPECT_FALSE(pad.ReadJoystick(25, reading));
}

TEST(ScriptedPad, APadFileIsReadAgainWhenReplaced) {
  test::TempFolder folder;
  const std::string file = folder / "pad.txt";
  PadFile pad(file);
  JoystickReading reading;
  EXPECT_FALSE(pad.ReadJoystick(0, reading));  // no file yet
  test::WriteWholeFile(folder / "next.txt", "0: buttons=1\n");
  ASSERT_TRUE(ReplaceWithFile(folder / "next.txt", file));
  ASSERT_TRUE(pad.ReadJoystick(0, reading));
  EXPECT_EQ(reading.buttons, 1u);
  test::WriteWholeFile(folder / "next.txt", "0: buttons=12\n");
  ASSERT_TRUE(ReplaceWithFile(folder / "next.txt", file));
  ASSERT_TRUE(pad.ReadJoystick(0, reading));
  EXPECT_EQ(reading.buttons, 12u);
}

TEST(PadSettings, ReadsClampsAndRoundTrips) {
  test::TempFolder folder;
  const std::string file = folder / "Velmarook2_Joy.ini";
  test::WriteWholeFile(file,
                       "[JoyStick]\r\nenable=1\r\nrepeat=999\r\nlong_press=-4\r\nflash=x\r\nid=3\r\n"
                       "[JoyStick0]\r\nup_type=3\r\nup_val=0\r\ndown_type=2\r\ndown_val=65535\r\n"
                       "enter_type=128\r\nenter_val=1\r\nemuexit_type=128\r\nemuexit_val=abc\r\n"
                       "[JoyStick1]\r\nsid=abc\r\nemuexit_xinput=1\r\n");
  PadSettings read = ReadPadSettings(file);
  EXPECT_TRUE(read.enable);
  EXPECT_EQ(read.repeatMs, 300);
  EXPECT_EQ(read.longPressS, 0);
  EXPECT_FALSE(read.flash);
  EXPECT_EQ(read.flashColour, 0x80ffff);
  EXPECT_EQ(read.slots[0].deviceId, 3);  // from the older key
  EXPECT_EQ(read.slots[1].deviceId, -1);  // "abc" is no device
  EXPECT_EQ(read.slots[0].pairs[kPairUp], PadInput{});
  EXPECT_EQ(read.slots[0].pairs[kPairDown], (PadInput{kPadAxisY, 65535}));
  EXPECT_EQ(read.slots[0].pairs[kPairEnter], (PadInput{kPadButtons, 1}));
  EXPECT_EQ(read.slots[0].pairs[kPairEmuExit], PadInput{});
  EXPECT_TRUE(read.slots[1].exitByXInput);

  read.slots[1].deviceId = 1;
  read.slots[1].pairs[kPairEmuExit2] = {kPadHat, 18000};
  ASSERT_TRUE(WritePadSettings(read, file));
  std::string written = test::ReadWholeFile(file);
  EXPECT_EQ(written.find("\nid="), std::string::npos) << written;  // the older key is gone
  EXPECT_NE(written.find("sid=3"), std::string::npos);
  EXPECT_FALSE(FileExists(file + ".new"));
  EXPECT_EQ(ReadPadSettings(file), read);
}

TEST(PadSettings, AReadOnlyFileStaysByteIdentical) {
  test::TempFolder folder;
  const std::string file = folder / "Velmarook2_Joy.ini";
  const std::string bytes = "[JoyStick]\r\nenable=0\r\n";
  test::WriteWholeFile(file, bytes);
  ASSERT_TRUE(SetReadOnlyForTest(file));
  PadSettings settings;
  settings.enable = true;
  EXPECT_FALSE(WritePadSettings(settings, file));
  EXPECT_EQ(test::ReadWholeFile(file), bytes);
  ClearFileAttributes(file);
}

}  // namespace
}  // namespace vel

namespace vel {
namespace {

TEST(PadSettingsDialog, CaptureTakesTheLastActiveInput) {
  JoystickReading resting;
  resting.axes[2] = 0;  // an absent Z axis reads 0 and is never taken
  struct Case {
    const char* what;
    JoystickReading reading;
    PadInput captured;
  };
  auto reading = [](std::initializer_list<std::pair<int, std::uint32_t>> axes, std::uint32_t buttons, std::uint32_t hat) {
    JoystickReading r;
    for (auto [axis, value] : axes) r.axes[axis] = value;
    r.buttons = buttons;
    r.hat = hat;
    return r;
  };
  const Case cases[] = {
      {"nothing", reading({}, 0, kHatCentred), {}},
      {"half tilt", reading({{0, 20000}}, 0, kHatCentred), {}},
      {"left", reading({{0, 0}}, 0, kHatCentred), {kPadAxisX, 0}},
      {"X and Y: Y is later", reading({{0, 0}, {1, 65535}}, 0, kHatCentred), {kPadAxisY, 65535}},
      {"absent Z", reading({{2, 0}}, 0, kHatCentred), {}},
      {"buttons over an axis", reading({{1, 0}}, 6, kHatCentred), {kPadButtons, 6}},
      {"the hat last", reading({}, 1, 27000), {kPadHat, 27000}},
  };
  for (const Case& c : cases) EXPECT_EQ(CaptureInput(c.reading, resting), c.captured) << c.what;
}

TEST(PadSettingsDialog, DeviceChoicesMarkAMissingDevice) {
  auto texts = [](const std::vector<PadDeviceChoice>& choices) {
    std::string all;
    for (const auto& c : choices) all += c.text + "|";
    return all;
  };
  EXPECT_EQ(texts(PadDeviceChoices({0, 2}, -1)), "Unused|0|2|");
  EXPECT_EQ(texts(PadDeviceChoices({0, 2}, 2)), "Unused|0|2|");
  EXPECT_EQ(texts(PadDeviceChoices({0}, 3)), "Unused|0|3 <!>|");
}

}  // namespace
}  // namespace vel
