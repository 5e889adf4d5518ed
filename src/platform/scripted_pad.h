#pragma once
// A pad that is told its readings: by tests reading by reading, or by a
// pad-state text with one line per device, such as
//   0: y=65535 buttons=3 xinput=0x3000
// (keys x y z r u v for the axes, pov for the hat, buttons for the mask,
// xinput for the XInput button word; numbers decimal or 0x hexadecimal).
// A device without a line does not answer; keys left out read as resting.
#include <cstdint>
#include <map>
#include <string>

#include "platform/pad.h"

namespace vel {

struct ScriptedDevice {
  JoystickReading joystick;
  bool hasXInput = false;
  std::uint16_t xinput = 0;
};

class ScriptedPad : public PadDevices {
 public:
  std::map<int, ScriptedDevice> devices;
  int reportedDevices = 16;

  int DeviceCount() override;
  bool ReadJoystick(int id, JoystickReading& reading) override;
  bool ReadXInput(int id, std::uint16_t& buttons) override;

  // Replaces the devices with those of a pad-state text; lines it cannot
  // read are skipped.
  void LoadText(const std::string& text);
};

// A scripted pad fed from a pad-state file, read again whenever the file's
// time or size changes (tests replace it by renaming a new one over it).
// A missing file leaves no device answering.
class PadFile : public PadDevices {
 public:
  explicit PadFile(std::string path) : path_(std::move(path)) {}
  int DeviceCount() override;
  bool ReadJoystick(int id, JoystickReading& reading) override;
  bool ReadXInput(int id, std::uint16_t& buttons) override;

 private:
  void Refresh();
  std::string path_;
  std::int64_t stamp_ = -1, size_ = -1;
  ScriptedPad pad_;
};

}  // namespace vel
