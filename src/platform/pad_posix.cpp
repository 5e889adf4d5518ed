// Off Windows no device is ever reported.
#include "platform/pad.h"

namespace vel {
namespace {

class NoPads : public PadDevices {
 public:
  int DeviceCount() override { return 0; }
  bool ReadJoystick(int, JoystickReading&) override { return false; }
  bool ReadXInput(int, std::uint16_t&) override { return false; }
};

}  // namespace

std::unique_ptr<PadDevices> CreateSystemPads() { return std::make_unique<NoPads>(); }

}  // namespace vel
