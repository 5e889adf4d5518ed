// Off Windows no joystick is ever reported.
#include "platform/joystick.h"

namespace vel {

std::vector<int> ConnectedJoystickIds() { return {}; }

}  // namespace vel
