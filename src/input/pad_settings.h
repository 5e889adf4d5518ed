#pragma once
// The controller assignments of the file Velmarook2_Joy.ini in the base
// folder: the common switches of section "JoyStick" and one section per
// controller slot ("JoyStick0", "JoyStick1").
#include <array>
#include <string>
#include <vector>

#include "input/pad_inputs.h"

namespace vel {

// The assignable actions of a slot, in the file's and the dialog's order.
enum PadPair : int {
  kPairUp, kPairDown, kPairLeft, kPairRight,
  kPairUp2, kPairDown2, kPairLeft2, kPairRight2,
  kPairPageUp, kPairPageDown, kPairIndexUp, kPairIndexDown,
  kPairEnter, kPairEmulatorMenu, kPairSoftKey, kPairSoftKeySet,
  kPairSoftKeyMode, kPairSoftKeyBack, kPairSoftKeySearch, kPairSoftKeyMove,
  kPairFocus, kPairSlow, kPairEmuExit, kPairEmuExit2,
};
constexpr int kPadPairCount = 24;
constexpr int kPadSlotCount = 2;

// "up", "down", ... as the keys "<name>_type" and "<name>_val" spell them.
const char* PadPairName(int pair);

struct PadSlot {
  int deviceId = -1;  // -1: the slot is not in use
  std::array<PadInput, kPadPairCount> pairs{};
  bool exitByXInput = false;  // "emuexit_xinput"
  bool operator==(const PadSlot&) const = default;
};

struct PadSettings {
  bool enable = false;
  int repeatMs = 25;     // 0-300
  int longPressS = 2;    // 0-10
  bool flash = false;
  int flashColour = 0x80ffff;
  std::array<PadSlot, kPadSlotCount> slots{};
  bool operator==(const PadSettings&) const = default;
};

// The file's settings over the defaults. Values that are not whole numbers
// keep their defaults, `repeat` and `long_press` are clamped into their
// ranges, invalid assignments read as unassigned, and a device id that is no
// number means no device. Slot 0 takes the older key `id` of "JoyStick" when
// its own section has no `sid`.
PadSettings ReadPadSettings(const std::string& joyFile);

// Writes every setting through a copy beside the file that replaces it only
// when all was written; the old key `id` goes with its section. False (the
// file unchanged) when it could not be written.
bool WritePadSettings(const PadSettings& settings, const std::string& joyFile);

// The text of a whole decimal number (a sign allowed), or false.
bool ParseWholeNumber(const std::string& text, long long& value);

}  // namespace vel

namespace vel {

// An entry of the dialog's device list: "Unused", a connected id, or the
// configured id followed by " <!>" when that device is not present.
struct PadDeviceChoice {
  std::string text;
  int deviceId;
};
std::vector<PadDeviceChoice> PadDeviceChoices(const std::vector<int>& connected, int configured);

}  // namespace vel
