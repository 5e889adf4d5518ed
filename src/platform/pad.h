#pragma once
// Game controllers as the program reads them: the multimedia joystick
// devices (axes, hat and buttons) and the XInput controllers (button word).
// The polls read only through this interface, so that tests and the virtual
// pad file can stand in for the system's devices.
#include <cstdint>
#include <memory>
#include <string>

namespace vel {

// Axis order of a reading: X, Y, Z, R, U, V.
constexpr int kPadAxes = 6;
// The hat's reading when it is centred.
constexpr std::uint32_t kHatCentred = 0xFFFF;
// Devices looked at, at most.
constexpr int kMostPadDevices = 20;

struct JoystickReading {
  std::uint32_t axes[kPadAxes] = {32767, 32767, 32767, 32767, 32767, 32767};
  std::uint32_t hat = kHatCentred;  // hundredths of a degree
  std::uint32_t buttons = 0;        // 1 = button 1, 2 = button 2, ...
};

class PadDevices {
 public:
  virtual ~PadDevices() = default;
  // Devices the system reports, at most kMostPadDevices.
  virtual int DeviceCount() = 0;
  // False when the device does not answer.
  virtual bool ReadJoystick(int id, JoystickReading& reading) = 0;
  // The XInput controller's button word; false when it is not connected.
  virtual bool ReadXInput(int id, std::uint16_t& buttons) = 0;
};

// The system's devices (none off Windows). XInput comes from the system
// folder's xinput9_1_0.dll, loaded on first use; without it no XInput
// controller answers.
std::unique_ptr<PadDevices> CreateSystemPads();

// The devices the program uses: the pad-state file named by the environment
// variable VELMAROOK2_PAD_FILE when it is set at the first call, otherwise the
// system's. Lives as long as the process.
PadDevices& ActivePads();
// The file named by VELMAROOK2_PAD_FILE ("" when unset).
std::string PadFileFromEnvironment();

}  // namespace vel
