#pragma once
// The joysticks connected now, as the multimedia joystick interface sees them.
#include <vector>

namespace vel {

// Device identifiers (ascending) whose position can be read, among the first
// devices the system reports (at most 20).
std::vector<int> ConnectedJoystickIds();

}  // namespace vel
