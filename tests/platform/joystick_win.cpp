#include "platform/joystick.h"

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

}  // namespace
}  // namespace vel
