#include "launch/launch_capture_win.h"

#include "core/app_state_win.h"
#include <algorithm>

#include "core/settings.h"
#include "display/snapshot_lookup.h"
#include "platform/system.h"

namespace vel {

LaunchCapture::LaunchCapture(AppState& app, int row, bool demo) : demo_(demo) {
  mode_ = demo ? kCaptureOff : std::clamp(app.autoSnapMode, 0, kCaptureModeCount - 1);
  intervalSeconds_ = CaptureIntervalSeconds(SettingInt(app.settings, "AutoSnap", "Interval"));
  beep_ = SettingInt(app.settings, "AutoSnap", "CheckSound") != 0;
  resultBalloon_ = SettingInt(app.settings, "SnapShot", "CaptureResultMonitor") != 0;
  baseFolder_ = app.paths.base;
  filing_.mode = mode_;
  filing_.flags = demo ? 0 : SnapFilingFlags(SettingInt(app.settings, "SnapShot", "SaveExPicToSnap"));
  filing_.crc32Name = SettingInt(app.settings, "SnapShot", "CRC32Name");
  SnapRow fields = SnapRowFromList(app.mainDb, row);
  filing_.fileTitle = fields.fileTitle;
  filing_.crc32 = fields.crc32;
  filing_.title = fields.title;
  const std::string columns[3] = {fields.folder[0], fields.folder[1], fields.folder[2]};
  filing_.folders = ResolveSnapFolders(columns, SnapshotSettingsFrom(app.settings, app.paths.base));
}

LaunchCapture::~LaunchCapture() {
  StopSession();
  // A run that ended without filing (an aborted wait) leaves no captures behind.
  for (const std::string& capture : filing_.captures) RemoveFile(capture);
  if (temporaryFolder_) RemoveEmptyFolder(captureFolder_);
}

void LaunchCapture::BeforeStart(const EmulatorConfig& config) {
  filing_.config = config;
  if (demo_) return;
  filing_.extractFolder = config.extractPath;
  if ((filing_.flags & kFileExtractedPictures) && !config.extractPath.empty())
    filing_.before = RecordPictures(config.extractPath);
}

void LaunchCapture::StartSession() {
  if (demo_ || mode_ == kCaptureOff || session_) return;
  captureFolder_ = CaptureFolderFor(filing_.config, &temporaryFolder_);
  if (captureFolder_.empty()) return;
  CaptureSettings settings;
  settings.mode = mode_;
  settings.config = filing_.config;
  settings.folder = captureFolder_;
  settings.intervalSeconds = intervalSeconds_;
  settings.beep = beep_;
  session_ = std::make_unique<CaptureSession>(std::move(settings));
}

void LaunchCapture::StopSession() {
  if (!session_) return;
  session_->Stop();
  filing_.captures = session_->Captures();
}

int LaunchCapture::File(HWND owner, HINSTANCE instance, ResultBalloon& balloon) {
  balloon = {};
  if (demo_) return 0;
  StopSession();
  int code = FileAfterRun(filing_, owner, instance);
  filing_.captures.clear();
  if (resultBalloon_ && code != 0) balloon = SnapResultBalloon(baseFolder_, code);
  return code;
}

}  // namespace vel
