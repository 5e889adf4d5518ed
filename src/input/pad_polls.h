#pragma once
// The two polls over the controller slots, as step functions of an injected
// clock, so that the timers of the main window only route to them:
//  - the UI poll (every 25 ms) turns held inputs into keys and list actions;
//  - the exit poll (every 300 ms while an emulator runs) ends the emulator
//    when the exit buttons have been held long enough.
#include <cstdint>

#include "input/pad_settings.h"
#include "platform/pad.h"
#include "platform/synthetic_input.h"

namespace vel {

// Which slots answer: a slot in use is probed while it is marked
// disconnected, and marked disconnected once it stops answering. A slot on
// the same device as an earlier slot is never connected, so that one device
// does not act twice.
class PadConnections {
 public:
  void Update(const PadSettings& settings, PadDevices& pads);
  bool Connected(int slot) const { return connected_[slot]; }
  bool Any() const { return connected_[0] || connected_[1]; }

 private:
  bool connected_[kPadSlotCount] = {};
};

// The exit combination's reading of a slot, or none when the slot can never
// end an emulator (emuexit unassigned, a mask without XInput counterpart).
struct PadExitTarget {
  bool valid = false;
  bool byXInput = false;
  std::uint16_t xinputWord = 0;
  PadInput first, second;  // second unassigned when only emuexit is set
};
PadExitTarget ExitTargetOf(const PadSlot& slot);
// Whether the slot's reading shows exactly the exit combination.
bool ExitCombinationHeld(const PadExitTarget& target, const JoystickReading& reading);

class PadExitPoll {
 public:
  // Arms the poll for a new exit request.
  void Start();
  // One poll, 300 ms after the last: true exactly once per Start, when a
  // connected slot has held its combination for more than `long_press`
  // seconds; the poll is spent from then on.
  bool Step(const PadSettings& settings, PadDevices& pads, const PadConnections& connections);
  bool Armed() const { return armed_; }

 private:
  bool armed_ = false;
  int counts_[kPadSlotCount] = {};
};

// What the UI poll does besides keys.
enum class PadCommand {
  kIndexUp, kIndexDown, kEmulatorMenu, kFocusNext, kOpenSoftKeyboard,
  // While the software keyboard is open:
  kKeyboardCursorUp, kKeyboardCursorDown, kKeyboardCursorLeft, kKeyboardCursorRight,
  kKeyboardMoveUp, kKeyboardMoveDown, kKeyboardMoveLeft, kKeyboardMoveRight,
  kKeyboardBack, kKeyboardSet, kKeyboardMode, kKeyboardListUp, kKeyboardListDown,
  kKeyboardEnter, kKeyboardSearch, kKeyboardClose, kKeyboardResetPosition,
};

class PadCommandSink {
 public:
  virtual ~PadCommandSink() = default;
  virtual void Command(PadCommand command) = 0;
};

// What the UI poll needs to know of the program at a step.
struct PadUiScene {
  bool ownWindowInFront = false;  // the main window or a window it owns
  bool settingsDialogOpen = false;
  bool launchInProgress = false;
  bool itemListFocused = false;
  bool softKeyboardOpen = false;
};

class PadUiPoll {
 public:
  // Pause after an Enter from the pad before a launch that has not shown up
  // counts as none.
  static constexpr std::uint64_t kLaunchGraceMs = 2000;
  static constexpr std::uint64_t kSlowExtraMs = 150;
  static constexpr std::uint64_t kKeyboardIdleMs = 120;

  // One step at `now` (milliseconds): keys go to `keys` (each key-down with
  // its key-up at once), other actions to `sink`.
  void Step(std::uint64_t now, const PadSettings& settings, PadDevices& pads, PadConnections& connections,
            const PadUiScene& scene, InputHost& keys, PadCommandSink& sink);
  // From a pad Enter in the item list until that launch has ended (or none
  // started within the grace time).
  bool SuspendedByEnter() const { return suspendedByEnter_; }

 private:
  bool ListSlot(const PadSlot& slot, const JoystickReading& reading, const PadUiScene& scene, InputHost& keys,
                PadCommandSink& sink, std::uint64_t now, bool softKeyFresh, bool& slow);
  bool KeyboardSlot(const PadSlot& slot, const JoystickReading& reading, PadCommandSink& sink, bool softKeyFresh,
                    bool& slow);

  // The keyboard button opens and closes the keyboard once per press, so
  // that holding it does not toggle the keyboard at the repeat rate.
  bool softKeyHeld_[kPadSlotCount] = {};

  std::uint64_t resumeAt_ = 0;
  bool suspendedByEnter_ = false;
  bool launchSeen_ = false;
  std::uint64_t enterAt_ = 0;
};

}  // namespace vel
