#include <windows.h>

#include <mmsystem.h>

#include "platform/joystick.h"

namespace vel {

std::vector<int> ConnectedJoystickIds() {
  constexpr UINT kMostDevices = 20;
  UINT devices = joyGetNumDevs();
  if (devices > kMostDevices) devices = kMostDevices;
  std::vector<int> connected;
  for (UINT id = 0; id < devices; ++id) {
    JOYINFOEX info{};
    info.dwSize = sizeof(info);
    info.dwFlags = JOY_RETURNALL;
    if (joyGetPosEx(id, &info) == JOYERR_NOERROR) connected.push_back(static_cast<int>(id));
  }
  return connected;
}

}  // namespace vel
