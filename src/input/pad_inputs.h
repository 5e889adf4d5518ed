#pragma once
// A pad input as the assignments hold it: a type (which axis, the hat or the
// buttons) and a value (the tilt, the hat direction or the button mask),
// type 0 meaning unassigned. Matching a reading against an input, and the
// names the settings dialog shows.
#include <cstdint>
#include <string>

#include "platform/pad.h"

namespace vel {

enum PadInputType : int {
  kPadUnassigned = 0,
  kPadAxisX = 1,
  kPadAxisY = 2,
  kPadAxisZ = 4,
  kPadAxisR = 8,
  kPadAxisU = 16,
  kPadAxisV = 32,
  kPadHat = 64,
  kPadButtons = 128,
};

// The four tilts an axis input can hold.
constexpr std::uint32_t kTiltLowFull = 0, kTiltLowHalf = 16384, kTiltHighHalf = 49152, kTiltHighFull = 65535;
// An axis reading that is no input.
constexpr std::uint32_t kTiltNeutral = 32767;

struct PadInput {
  int type = kPadUnassigned;
  std::uint32_t value = 0;
  bool operator==(const PadInput&) const = default;
  bool Assigned() const { return type != kPadUnassigned; }
};

// A type and value pair that an assignment may hold; anything else (an
// unknown type, a tilt or hat direction that is none of the four, a button
// mask of 0) reads as unassigned.
PadInput ValidPadInput(long long type, long long value);

// An axis reading in five levels: 0, 16384, neutral, 49152, 65535.
std::uint32_t QuantiseAxis(std::uint32_t reading);

// Whether `input` is held in `reading`. With `allowSlow`, an input at full
// tilt also takes a half tilt on its side, and `slow` tells that it did.
// Buttons match on the whole mask; an unassigned input never matches.
bool PadInputHeld(const PadInput& input, const JoystickReading& reading, bool allowSlow, bool* slow = nullptr);

// "Stick:Left", "AxisZ:+", "POV:Up", "Button:1+2", or "" when unassigned.
std::string PadInputName(const PadInput& input);

// The XInput button word of a button mask (1 -> 0x1000 ... 512 -> 0x0080);
// false when a button of the mask has no XInput counterpart or the mask is 0.
bool XInputButtons(std::uint32_t mask, std::uint16_t& word);

}  // namespace vel

namespace vel {

// The input a settings box takes from a reading: the last active of the X,
// Y, Z, R, U and V axes at full tilt (only axes whose resting reading was not
// 0: an absent axis reads 0), the pressed buttons, the hat. Unassigned when
// nothing is active.
PadInput CaptureInput(const JoystickReading& reading, const JoystickReading& resting);

}  // namespace vel
