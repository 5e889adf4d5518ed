#include "input/pad_inputs.h"

namespace vel {
namespace {

int AxisIndex(int type) {
  switch (type) {
    case kPadAxisX: return 0;
    case kPadAxisY: return 1;
    case kPadAxisZ: return 2;
    case kPadAxisR: return 3;
    case kPadAxisU: return 4;
    case kPadAxisV: return 5;
    default: return -1;
  }
}

bool IsTilt(long long value) {
  return value == kTiltLowFull || value == kTiltLowHalf || value == kTiltHighHalf || value == kTiltHighFull;
}

bool IsHatDirection(long long value) { return value == 0 || value == 9000 || value == 18000 || value == 27000; }

}  // namespace

PadInput ValidPadInput(long long type, long long value) {
  bool valid = false;
  if (AxisIndex(static_cast<int>(type)) >= 0 && type == static_cast<int>(type)) valid = IsTilt(value);
  if (type == kPadHat) valid = IsHatDirection(value);
  if (type == kPadButtons) valid = value > 0 && value <= 0xFFFFFFFFLL;
  if (!valid) return {};
  return {static_cast<int>(type), static_cast<std::uint32_t>(value)};
}

std::uint32_t QuantiseAxis(std::uint32_t reading) {
  // The bounds 4915.05 and 60618.95 fall between whole readings.
  if (reading <= 4915) return kTiltLowFull;
  if (reading < 26367) return kTiltLowHalf;
  if (reading < 39168) return kTiltNeutral;
  if (reading <= 60618) return kTiltHighHalf;
  return kTiltHighFull;
}

bool PadInputHeld(const PadInput& input, const JoystickReading& reading, bool allowSlow, bool* slow) {
  if (slow) *slow = false;
  if (input.type == kPadButtons) return input.value != 0 && reading.buttons == input.value;
  if (input.type == kPadHat) return reading.hat == input.value;
  int axis = AxisIndex(input.type);
  if (axis < 0) return false;
  std::uint32_t level = QuantiseAxis(reading.axes[axis]);
  if (level == input.value) return true;
  bool half = (input.value == kTiltLowFull && level == kTiltLowHalf) ||
              (input.value == kTiltHighFull && level == kTiltHighHalf);
  if (!allowSlow || !half) return false;
  if (slow) *slow = true;
  return true;
}

std::string PadInputName(const PadInput& input) {
  static const char* const kAxisNames[][2] = {{"Stick:Left", "Stick:Right"}, {"Stick:Up", "Stick:Down"},
                                              {"AxisZ:-", "AxisZ:+"},       {"AxisR:-", "AxisR:+"},
                                              {"AxisU:-", "AxisU:+"},       {"AxisV:-", "AxisV:+"}};
  int axis = AxisIndex(input.type);
  if (axis >= 0) {
    if (input.value < 26367) return kAxisNames[axis][0];
    if (input.value >= 39168) return kAxisNames[axis][1];
    return "";
  }
  if (input.type == kPadHat) {
    switch (input.value) {
      case 0: return "POV:Up";
      case 9000: return "POV:Right";
      case 18000: return "POV:Down";
      case 27000: return "POV:Left";
      default: return "";
    }
  }
  if (input.type == kPadButtons && input.value != 0) {
    std::string name = "Button:";
    bool first = true;
    for (int bit = 0; bit < 32; ++bit) {
      if (!(input.value & (1u << bit))) continue;
      if (!first) name += "+";
      name += std::to_string(bit + 1);
      first = false;
    }
    return name;
  }
  return "";
}

bool XInputButtons(std::uint32_t mask, std::uint16_t& word) {
  static const std::uint16_t kWords[10] = {0x1000, 0x2000, 0x4000, 0x8000, 0x0100,
                                           0x0200, 0x0020, 0x0010, 0x0040, 0x0080};
  if (mask == 0 || mask >= (1u << 10)) return false;
  word = 0;
  for (int bit = 0; bit < 10; ++bit)
    if (mask & (1u << bit)) word = static_cast<std::uint16_t>(word | kWords[bit]);
  return true;
}

}  // namespace vel

namespace vel {

PadInput CaptureInput(const JoystickReading& reading, const JoystickReading& resting) {
  static const int kAxisTypes[kPadAxes] = {kPadAxisX, kPadAxisY, kPadAxisZ, kPadAxisR, kPadAxisU, kPadAxisV};
  PadInput captured;
  for (int axis = 0; axis < kPadAxes; ++axis) {
    std::uint32_t level = QuantiseAxis(reading.axes[axis]);
    if (resting.axes[axis] != 0 && (level == kTiltLowFull || level == kTiltHighFull))
      captured = {kAxisTypes[axis], level};
  }
  if (reading.buttons != 0) captured = {kPadButtons, reading.buttons};
  if (reading.hat == 0 || reading.hat == 9000 || reading.hat == 18000 || reading.hat == 27000)
    captured = {kPadHat, reading.hat};
  return captured;
}

}  // namespace vel
