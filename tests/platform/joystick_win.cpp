#include "platform/joystick.h"
#include "platform/pad.h"

#include <windows.h>

#include <mmsystem.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace vel {
namespace {

// Whatever devices the system has, the answer names each connected one once,
// in ascending order, among the first twenty reported.
TEST(Joystick, ConnectedIdsAreAscendingWithinTheReportedDevices) {
  std::vector<int> ids = ConnectedJoystickIds();
  const int reported = static_cast<int>(std::min<UINT>(joyGetNumDevs(), 20));
  for (size_t k = 0; k < ids.size(); ++k) {
    EXPECT_GE(ids[k], 0);
    EXPECT_LT(ids[k], reported);
    if (k > 0) EXPECT_LT(ids[k - 1], ids[k]);
  }
}

// The system's pads: at most twenty devices, and devices outside them, like
// XInput controllers beyond the four there are, never answer.
TEST(Joystick, TheSystemPadsAnswerOnlyForTheirDevices) {
  std::unique_ptr<PadDevices> pads = CreateSystemPads();
  int devices = pads->DeviceCount();
  EXPECT_GE(devices, 0);
  EXPECT_LE(devices, kMostPadDevices);
  JoystickReading reading;
  EXPECT_FALSE(pads->ReadJoystick(-1, reading));
  EXPECT_FALSE(pads->ReadJoystick(kMostPadDevices + 5, reading));
  std::uint16_t buttons = 0;
  EXPECT_FALSE(pads->ReadXInput(-1, buttons));
  EXPECT_FALSE(pads->ReadXInput(4, buttons));
  // Without the pad file the program uses the system's pads.
  EXPECT_EQ(ActivePads().DeviceCount(), devices);
}

}  // namespace
}  // namespace vel
