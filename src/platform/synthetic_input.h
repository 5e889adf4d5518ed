#pragma once
// What a key-input script needs of the system: synthetic keys and mouse
// clicks, the clipboard, the clock, top-level windows and monitors. The
// interpreter talks only to this interface, so that it can be tested against a
// recording host.
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace vel {

// A window handle as a number (0 = none).
using WindowId = std::uintptr_t;

struct ScreenRect {
  int left = 0, top = 0, right = 0, bottom = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool operator==(const ScreenRect&) const = default;
};

// One top-level window as the window searches see it.
struct TopLevelWindow {
  WindowId id = 0;
  std::string title;  // CP932
  bool visible = false;
  bool toolWindow = false;
  bool ownWindow = false;  // belongs to this program
};

// A monitor's whole area stretched to kSampleSide x kSampleSide pixels.
constexpr int kSampleSide = 50;
struct ScreenSample {
  std::vector<std::uint32_t> pixels;  // kSampleSide * kSampleSide RGB values, row by row
  bool operator==(const ScreenSample&) const = default;
};

enum class MouseButton { kNone, kLeft, kRight, kMiddle };

class InputHost {
 public:
  virtual ~InputHost() = default;

  // Key down / up of a virtual-key code (scan code 0).
  virtual void KeyDown(int virtualKey) = 0;
  virtual void KeyUp(int virtualKey) = 0;
  virtual void Sleep(unsigned milliseconds) = 0;
  // Milliseconds since some fixed start.
  virtual std::uint64_t TickCount() = 0;
  // Puts CP932 text on the clipboard; false when the clipboard was not available.
  virtual bool SetClipboardText(const std::string& text) = 0;

  // Every top-level window, in the system's order.
  virtual std::vector<TopLevelWindow> TopLevelWindows() = 0;
  virtual void ShowNormally(WindowId window) = 0;
  virtual void BringToForeground(WindowId window) = 0;
  // The window's rectangle on the screen; false when it is gone.
  virtual bool WindowRectangle(WindowId window, ScreenRect& rect) = 0;

  // Monitor areas, numbered from 1 in this order.
  virtual std::vector<ScreenRect> Monitors() = 0;
  // Stretches `area` of the screen into a sample (halftone); false on failure.
  virtual bool SampleScreen(const ScreenRect& area, ScreenSample& sample) = 0;
  // Draws a sample at the top-left corner of `monitor` (step mode).
  virtual void ShowSample(const ScreenSample& sample, const ScreenRect& monitor) = 0;

  virtual void MoveCursor(int x, int y) = 0;
  // A mouse event with a (null) move; kNone sends the move only.
  virtual void MouseButtonDown(MouseButton button) = 0;
  virtual void MouseButtonUp(MouseButton button) = 0;
};

#ifdef _WIN32
// The host of the running system: keybd_event, mouse_event, the clipboard,
// EnumWindows, EnumDisplayMonitors and screen copies.
std::unique_ptr<InputHost> CreateSystemInputHost();
#endif

}  // namespace vel
