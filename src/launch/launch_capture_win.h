#pragma once
// The snapshot part of one launch: what the extraction folder held when the
// emulator started, the capture session while it runs and the filing after
// it. Everything is copied at the request, so that the user changing the
// capture mode meanwhile touches no running launch.
#include <windows.h>

#include <memory>
#include <string>

#include "launch/emulator_config.h"
#include "launch/snapshot_capture_win.h"
#include "launch/snapshot_filing_win.h"

namespace vel {

struct AppState;

class LaunchCapture {
 public:
  // On the GUI thread at the request: the mode, the settings and the row's
  // names and folders. Nothing is captured or filed in a demo launch.
  LaunchCapture(AppState& app, int row, bool demo);
  ~LaunchCapture();

  // Before the emulator starts: notes the extraction folder's pictures.
  void BeforeStart(const EmulatorConfig& config);
  // While the emulator runs (from the wait's start to its end).
  void StartSession();
  void StopSession();
  // After the run: files, deletes the captures and gives the result code
  // and the balloon (an empty text when none is to be shown).
  int File(HWND owner, HINSTANCE instance, ResultBalloon& balloon);
  bool Demo() const { return demo_; }

 private:
  bool demo_ = false;
  int mode_ = 0;
  int intervalSeconds_ = 5;
  bool beep_ = true;
  bool resultBalloon_ = false;
  std::string baseFolder_;
  AfterRunFiling filing_;
  std::string captureFolder_;
  bool temporaryFolder_ = false;
  std::unique_ptr<CaptureSession> session_;
};

}  // namespace vel
