#include "input/pad_polls.h"

namespace vel {
namespace {

constexpr int kKeyEnter = 0x0D, kKeyPageUp = 0x21, kKeyPageDown = 0x22;
constexpr int kKeyLeft = 0x25, kKeyUp = 0x26, kKeyRight = 0x27, kKeyDown = 0x28;

const PadInput& Pair(const PadSlot& slot, int pair) { return slot.pairs[static_cast<size_t>(pair)]; }

bool Held(const PadSlot& slot, int pair, const JoystickReading& reading, bool& slow) {
  bool halfTilt = false;
  bool held = PadInputHeld(Pair(slot, pair), reading, true, &halfTilt);
  if (held && halfTilt) slow = true;
  return held;
}

bool EitherHeld(const PadSlot& slot, int pair, int pair2, const JoystickReading& reading, bool& slow) {
  return Held(slot, pair, reading, slow) || Held(slot, pair2, reading, slow);
}

void Tap(InputHost& keys, int key) {
  keys.KeyDown(key);
  keys.KeyUp(key);
}

}  // namespace

void PadConnections::Update(const PadSettings& settings, PadDevices& pads) {
  for (int s = 0; s < kPadSlotCount; ++s) {
    int id = settings.slots[static_cast<size_t>(s)].deviceId;
    bool shared = s > 0 && id == settings.slots[0].deviceId;
    JoystickReading reading;
    connected_[s] = id >= 0 && !shared && pads.ReadJoystick(id, reading);
  }
}

PadExitTarget ExitTargetOf(const PadSlot& slot) {
  PadExitTarget target;
  target.first = Pair(slot, kPairEmuExit);
  target.second = Pair(slot, kPairEmuExit2);
  if (!target.first.Assigned()) return target;
  // Two button pairs make one mask: both buttons held together.
  if (target.first.type == kPadButtons && target.second.type == kPadButtons) {
    target.first.value |= target.second.value;
    target.second = {};
  }
  if (slot.exitByXInput) {
    if (target.first.type != kPadButtons || target.second.Assigned()) return target;
    if (!XInputButtons(target.first.value, target.xinputWord)) return target;
    target.byXInput = true;
  }
  target.valid = true;
  return target;
}

bool ExitCombinationHeld(const PadExitTarget& target, const JoystickReading& reading) {
  if (!target.valid || target.byXInput) return false;
  // A half tilt never counts towards ending an emulator.
  if (!PadInputHeld(target.first, reading, false)) return false;
  return !target.second.Assigned() || PadInputHeld(target.second, reading, false);
}

void PadExitPoll::Start() {
  armed_ = true;
  for (int& count : counts_) count = 0;
}

bool PadExitPoll::Step(const PadSettings& settings, PadDevices& pads, const PadConnections& connections) {
  if (!armed_) return false;
  for (int s = 0; s < kPadSlotCount; ++s) {
    const PadSlot& slot = settings.slots[static_cast<size_t>(s)];
    PadExitTarget target = ExitTargetOf(slot);
    bool held = false;
    if (target.valid && connections.Connected(s)) {
      if (target.byXInput) {
        std::uint16_t word = 0;
        held = pads.ReadXInput(slot.deviceId, word) && word == target.xinputWord;
      } else {
        JoystickReading reading;
        held = pads.ReadJoystick(slot.deviceId, reading) && ExitCombinationHeld(target, reading);
      }
    }
    counts_[s] = held ? counts_[s] + 1 : 0;
    // More than long_press seconds of polls 300 ms apart.
    if (held && counts_[s] * 300 > settings.longPressS * 1000) {
      armed_ = false;
      return true;
    }
  }
  return false;
}

bool PadUiPoll::ListSlot(const PadSlot& slot, const JoystickReading& reading, const PadUiScene& scene,
                         InputHost& keys, PadCommandSink& sink, std::uint64_t now, bool softKeyFresh,
                         bool& slow) {
  if (EitherHeld(slot, kPairUp, kPairUp2, reading, slow)) return Tap(keys, kKeyUp), true;
  if (EitherHeld(slot, kPairDown, kPairDown2, reading, slow)) return Tap(keys, kKeyDown), true;
  if (EitherHeld(slot, kPairLeft, kPairLeft2, reading, slow)) return Tap(keys, kKeyLeft), true;
  if (EitherHeld(slot, kPairRight, kPairRight2, reading, slow)) return Tap(keys, kKeyRight), true;
  if (Held(slot, kPairPageUp, reading, slow)) return Tap(keys, kKeyPageUp), true;
  if (Held(slot, kPairPageDown, reading, slow)) return Tap(keys, kKeyPageDown), true;
  if (Held(slot, kPairIndexUp, reading, slow)) return sink.Command(PadCommand::kIndexUp), true;
  if (Held(slot, kPairIndexDown, reading, slow)) return sink.Command(PadCommand::kIndexDown), true;
  if (Held(slot, kPairEmulatorMenu, reading, slow)) return sink.Command(PadCommand::kEmulatorMenu), true;
  if (Held(slot, kPairEnter, reading, slow)) {
    if (scene.itemListFocused) {
      suspendedByEnter_ = true;
      launchSeen_ = false;
      enterAt_ = now;
    }
    keys.KeyDown(kKeyEnter);
    keys.Sleep(10);
    keys.KeyUp(kKeyEnter);
    return true;
  }
  if (Held(slot, kPairFocus, reading, slow)) return sink.Command(PadCommand::kFocusNext), true;
  if (softKeyFresh && Held(slot, kPairSoftKey, reading, slow))
    return sink.Command(PadCommand::kOpenSoftKeyboard), true;
  return false;
}

bool PadUiPoll::KeyboardSlot(const PadSlot& slot, const JoystickReading& reading, PadCommandSink& sink,
                             bool softKeyFresh, bool& slow) {
  bool moving = Held(slot, kPairSoftKeyMove, reading, slow);
  struct Direction {
    int pair;
    PadCommand cursor, move;
  };
  static const Direction kDirections[] = {
      {kPairUp, PadCommand::kKeyboardCursorUp, PadCommand::kKeyboardMoveUp},
      {kPairDown, PadCommand::kKeyboardCursorDown, PadCommand::kKeyboardMoveDown},
      {kPairLeft, PadCommand::kKeyboardCursorLeft, PadCommand::kKeyboardMoveLeft},
      {kPairRight, PadCommand::kKeyboardCursorRight, PadCommand::kKeyboardMoveRight}};
  // With the move button held, the back button puts the window back in its place.
  if (moving && Held(slot, kPairSoftKeyBack, reading, slow)) return sink.Command(PadCommand::kKeyboardResetPosition), true;
  for (const Direction& direction : kDirections)
    if (Held(slot, direction.pair, reading, slow)) return sink.Command(moving ? direction.move : direction.cursor), true;
  struct Plain {
    int pair;
    PadCommand command;
  };
  static const Plain kPlain[] = {{kPairSoftKeyBack, PadCommand::kKeyboardBack},
                                 {kPairSoftKeySet, PadCommand::kKeyboardSet},
                                 {kPairSoftKeyMode, PadCommand::kKeyboardMode},
                                 {kPairUp2, PadCommand::kKeyboardListUp},
                                 {kPairDown2, PadCommand::kKeyboardListDown},
                                 {kPairEnter, PadCommand::kKeyboardEnter},
                                 {kPairSoftKeySearch, PadCommand::kKeyboardSearch},
                                 {kPairSoftKey, PadCommand::kKeyboardClose}};
  for (const Plain& plain : kPlain) {
    if (plain.pair == kPairSoftKey && !softKeyFresh) continue;
    if (Held(slot, plain.pair, reading, slow)) return sink.Command(plain.command), true;
  }
  return false;
}

void PadUiPoll::Step(std::uint64_t now, const PadSettings& settings, PadDevices& pads, PadConnections& connections,
                     const PadUiScene& scene, InputHost& keys, PadCommandSink& sink) {
  if (suspendedByEnter_) {
    if (scene.launchInProgress) launchSeen_ = true;
    // Resumed when the launch has ended, or when none showed up at all (an
    // empty list, a refusal before the launch began).
    bool ended = launchSeen_ && !scene.launchInProgress;
    bool none = !launchSeen_ && !scene.launchInProgress && now - enterAt_ >= kLaunchGraceMs;
    if (!ended && !none) return;
    suspendedByEnter_ = false;
  }
  if (!settings.enable || scene.settingsDialogOpen || !scene.ownWindowInFront) return;
  if (now < resumeAt_) return;
  connections.Update(settings, pads);
  bool acted = false, slow = false;
  for (int s = 0; s < kPadSlotCount; ++s) {
    if (!connections.Connected(s)) continue;
    const PadSlot& slot = settings.slots[static_cast<size_t>(s)];
    JoystickReading reading;
    if (!pads.ReadJoystick(slot.deviceId, reading)) continue;
    if (Held(slot, kPairSlow, reading, slow)) slow = true;
    bool ignored = false;
    bool softKey = PadInputHeld(slot.pairs[kPairSoftKey], reading, true, &ignored);
    bool softKeyFresh = softKey && !softKeyHeld_[s];
    softKeyHeld_[s] = softKey;
    bool slotActed = scene.softKeyboardOpen ? KeyboardSlot(slot, reading, sink, softKeyFresh, slow)
                                            : ListSlot(slot, reading, scene, keys, sink, now, softKeyFresh, slow);
    acted = acted || slotActed;
  }
  if (acted)
    resumeAt_ = now + static_cast<std::uint64_t>(settings.repeatMs) + (slow ? kSlowExtraMs : 0);
  else if (scene.softKeyboardOpen)
    resumeAt_ = now + kKeyboardIdleMs;
}

}  // namespace vel
