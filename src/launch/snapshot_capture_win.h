#pragma once
// Taking pictures while an emulator runs: a capture session per launch,
// copying the screen, the foreground window or the clipboard's picture at
// each interval and saving it as "AutoSnap%04d.png" in the launch's folder.
#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "launch/emulator_config.h"
#include "launch/snapshot_capture.h"

namespace vel {

struct CaptureSettings {
  int mode = kCaptureOff;  // 1..3
  EmulatorConfig config;   // its [ClipToPNG] keys
  std::string folder;      // where captures are saved
  int intervalSeconds = 5;
  bool beep = true;
};

class CaptureSession {
 public:
  explicit CaptureSession(CaptureSettings settings);
  ~CaptureSession();  // stops and joins
  CaptureSession(const CaptureSession&) = delete;
  CaptureSession& operator=(const CaptureSession&) = delete;

  // Signals the thread and waits until it has ended, so that nothing is
  // written while the captures are filed.
  void Stop();
  // The pictures this session saved; call after Stop.
  const std::vector<std::string>& Captures() const { return log_.Paths(); }
  const CaptureSettings& Settings() const { return settings_; }

 private:
  void Run();
  CaptureSettings settings_;
  CaptureLog log_;
  HANDLE stop_ = nullptr;
  std::thread thread_;
};

// The monitors in screen coordinates, in enumeration order.
std::vector<MonitorRect> CurrentMonitors();
// Copies a screen rectangle; nothing when it cannot be copied.
std::optional<SnapPixels> CopyScreen(const RECT& rect);
// The foreground window's frame: the extended frame bounds with desktop
// composition on, else its window rectangle.
std::optional<RECT> ForegroundFrame();
// The clipboard's picture (CF_DIB copied while the clipboard is open);
// `sequence` gets the clipboard's sequence number at that moment.
std::optional<SnapPixels> ClipboardPicture(DWORD* sequence = nullptr);
// Empties the clipboard, only when its sequence number is still `sequence`
// (a key script may have put text there meanwhile).
void EmptyClipboardIfUnchanged(DWORD sequence);

// Converts by [ClipToPNG] and saves as PNG at `path`: a result code.
int ConvertAndSave(const SnapPixels& picture, const EmulatorConfig& config, const std::string& path, bool noCrop);

// The launch's folder for captures: the configuration's extraction folder
// when it is an existing absolute folder, else a folder of its own under the
// temporary folder (created). Empty when neither can be had.
std::string CaptureFolderFor(const EmulatorConfig& config, bool* temporary);

}  // namespace vel
