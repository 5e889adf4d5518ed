// The devices in use and the connected-joystick query over them.
#include <cstdlib>

#include "platform/joystick.h"
#include "platform/pad.h"
#include "platform/scripted_pad.h"

namespace vel {

std::string PadFileFromEnvironment() {
  const char* file = std::getenv("VELMAROOK2_PAD_FILE");
  return file ? file : "";
}

PadDevices& ActivePads() {
  static std::unique_ptr<PadDevices> pads = [] {
    std::string file = PadFileFromEnvironment();
    return file.empty() ? CreateSystemPads() : std::unique_ptr<PadDevices>(new PadFile(file));
  }();
  return *pads;
}

std::vector<int> ConnectedJoystickIds() {
  PadDevices& pads = ActivePads();
  std::vector<int> connected;
  int devices = pads.DeviceCount();
  for (int id = 0; id < devices; ++id) {
    JoystickReading reading;
    if (pads.ReadJoystick(id, reading)) connected.push_back(id);
  }
  return connected;
}

}  // namespace vel
