#include <windows.h>

#include <mmsystem.h>

#include "platform/pad.h"

namespace vel {
namespace {

// The parts of XINPUT_STATE the program reads.
struct XInputGamepad {
  WORD buttons;
  BYTE leftTrigger, rightTrigger;
  SHORT thumbLX, thumbLY, thumbRX, thumbRY;
};
struct XInputState {
  DWORD packetNumber;
  XInputGamepad gamepad;
};
using XInputGetStateFunction = DWORD(WINAPI*)(DWORD, XInputState*);

// Axes, buttons, the hat in hundredths, centred readings and the dead zone.
constexpr DWORD kJoystickFlags = 3839;

class SystemPads : public PadDevices {
 public:
  ~SystemPads() override {
    if (xinput_) FreeLibrary(xinput_);
  }

  int DeviceCount() override {
    UINT devices = joyGetNumDevs();
    return devices > static_cast<UINT>(kMostPadDevices) ? kMostPadDevices : static_cast<int>(devices);
  }

  bool ReadJoystick(int id, JoystickReading& reading) override {
    JOYINFOEX info{};
    info.dwSize = sizeof(info);  // 52
    info.dwFlags = kJoystickFlags;
    if (id < 0 || joyGetPosEx(static_cast<UINT>(id), &info) != JOYERR_NOERROR) return false;
    reading.axes[0] = info.dwXpos;
    reading.axes[1] = info.dwYpos;
    reading.axes[2] = info.dwZpos;
    reading.axes[3] = info.dwRpos;
    reading.axes[4] = info.dwUpos;
    reading.axes[5] = info.dwVpos;
    reading.hat = info.dwPOV;
    reading.buttons = info.dwButtons;
    return true;
  }

  bool ReadXInput(int id, std::uint16_t& buttons) override {
    XInputGetStateFunction getState = XInputGetState();
    XInputState state{};
    if (!getState || id < 0 || getState(static_cast<DWORD>(id), &state) != ERROR_SUCCESS) return false;
    buttons = state.gamepad.buttons;
    return true;
  }

 private:
  // Loaded from the system folder only, never from the program's or the
  // current folder.
  XInputGetStateFunction XInputGetState() {
    if (!triedXInput_) {
      triedXInput_ = true;
      char folder[MAX_PATH] = {};
      UINT length = GetSystemDirectoryA(folder, MAX_PATH);
      if (length > 0 && length < MAX_PATH - 20) {
        std::string path = std::string(folder, length) + "\\xinput9_1_0.dll";
        xinput_ = LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
      }
      if (xinput_)
        getState_ = reinterpret_cast<XInputGetStateFunction>(
            reinterpret_cast<void*>(GetProcAddress(xinput_, "XInputGetState")));
    }
    return getState_;
  }

  bool triedXInput_ = false;
  HMODULE xinput_ = nullptr;
  XInputGetStateFunction getState_ = nullptr;
};

}  // namespace

std::unique_ptr<PadDevices> CreateSystemPads() { return std::make_unique<SystemPads>(); }

}  // namespace vel
