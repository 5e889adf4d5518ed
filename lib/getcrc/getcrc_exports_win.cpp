// The import and CRC library: image imports and CRC recalculation for the
// program, which loads it while its import progress window or its CRC dialog
// is open.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <string>

#include "archiver_libraries_win.h"
#include "db/library_connection.h"
#include "maintenance/crc_recalc.h"
#include "maintenance/image_crc.h"
#include "maintenance/image_import.h"
#include "maintenance/import_job.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "window_progress_win.h"

namespace {

constexpr LONG kInterfaceVersion = 10;

struct LibrarySettings {
  std::string databasePath;
  std::string extensionPath;
  std::string settingsFile;
  std::string systemFolder;  // where the archiver libraries are, with DLLSafeLoad
  bool archiversFromSystemFolder = true;
  std::string tempFolder;  // the program's TEMP folder
};

LibrarySettings gSettings;
std::atomic<short> gStop{vel::kRunEnded};

std::string Text(const char* text) { return text ? text : ""; }

// The archiver libraries, extracting the members whose CRCs the listings do
// not give into a folder of the program's TEMP folder.
vel::ArchiverLibraries Archivers() {
  if (!gSettings.tempFolder.empty()) vel::CreateFolder(gSettings.tempFolder);
  return vel::ArchiverLibraries(gSettings.systemFolder, gSettings.archiversFromSystemFolder,
                                gSettings.tempFolder.empty() ? "" : gSettings.tempFolder + "\\CrcTemp");
}

const std::int32_t* Slots(const LONG* values) { return reinterpret_cast<const std::int32_t*>(values); }

// The recalculation dialog's handles, in the order the program passes them.
enum RecalcHandle {
  kDialog, kCrcStatus, kRecordStatus, kMarker, kStartButton, kProgressBar,
  kMachineList, kOffsetBox, kLengthBox, kCloseButton, kCrc32Box, kCrc16Box
};

void EnableInputs(HWND* handles, bool enable) {
  for (int i : {kMachineList, kOffsetBox, kLengthBox, kCloseButton, kCrc32Box, kCrc16Box})
    if (handles[i]) EnableWindow(handles[i], enable ? TRUE : FALSE);
}

LONG FileCrcExport(const char* key, LONG offset, LONG length, char* out, bool crc32) {
  if (out) out[0] = '\0';
  if (!key) return -1;
  vel::ArchiverLibraries archivers = Archivers();
  vel::ImageCrcReader reader(&archivers);
  vel::CrcResult r = reader.Compute(key, {offset, length}, {crc32, !crc32});
  if (!r.Ok()) return -1;
  const std::string& text = crc32 ? r.crc32 : r.crc16;
  if (out) std::memcpy(out, text.c_str(), text.size() + 1);
  return 0;
}

}  // namespace

extern "C" {

__declspec(dllexport) LONG WINAPI getLibVersionCRC() { return kInterfaceVersion; }

// The paths the library works with; called every time the program loads it.
__declspec(dllexport) void WINAPI setGValCRC(const char* databasePath, const char* extensionPath,
                                            const char* settingsFile, const char* programFolder,
                                            const char* systemFolder, LONG dllSafeLoad,
                                            HFONT /*dialogFont*/) {
  gSettings.databasePath = Text(databasePath);
  gSettings.extensionPath = Text(extensionPath);
  gSettings.settingsFile = Text(settingsFile);
  gSettings.systemFolder = Text(systemFolder);
  gSettings.archiversFromSystemFolder = dllSafeLoad != 0;
  gSettings.tempFolder = programFolder && *programFolder ? Text(programFolder) + "\\TEMP" : "";
}

// Runs an import and returns when it has ended; the program's windows stay
// responsive meanwhile. At the end the stop button reads "終了".
__declspec(dllexport) void WINAPI dirAddImg(HWND window, HWND status, HWND title, HWND marker, HWND stop,
                                           HWND progressBar, LONG* integers, char** texts, LONG* numbers) {
  vel::ImportJob job = vel::ImportJobFromArrays(Slots(integers), texts, Slots(numbers));
  if (!gSettings.settingsFile.empty()) job.symbols = vel::ReadSymbolTables(gSettings.settingsFile);
  gStop = vel::kRunRunning;
  vel::WindowProgress progress({window, status, title, nullptr, marker, progressBar}, gStop);
  vel::ImportSummary summary;
  vel::RunWhilePumping(
      [&] {
        vel::LibraryConnection db;
        db.Open(gSettings.databasePath, gSettings.extensionPath);
        vel::ArchiverLibraries archivers = Archivers();
        summary = vel::ImportImages(db, job, &archivers, progress);
      },
      gStop);
  progress.Finish(vel::ImportSummaryText(summary));
  gStop = vel::kRunEnded;
  if (stop) SetWindowTextA(stop, vel::Jp("終了").c_str());
}

// Recomputes the CRCs of one machine's images. While it runs the start
// button reads "中止" and the dialog's other inputs are disabled.
__declspec(dllexport) void WINAPI reCalcCRC(HWND* handles, LONG* integers, char** texts, LONG* numbers) {
  if (!handles) return;
  vel::RecalcJob job = vel::RecalcJobFromArrays(Slots(integers), texts, Slots(numbers));
  if (job.machine.empty() || !job.crc.Any()) return;
  gStop = vel::kRunRunning;
  EnableInputs(handles, false);
  if (handles[kStartButton]) SetWindowTextA(handles[kStartButton], vel::Jp("中止").c_str());
  vel::WindowProgress progress({handles[kDialog], handles[kCrcStatus], handles[kCrcStatus],
                                handles[kRecordStatus], handles[kMarker], handles[kProgressBar]},
                               gStop);
  vel::RecalcSummary summary;
  vel::RunWhilePumping(
      [&] {
        vel::LibraryConnection db;
        db.Open(gSettings.databasePath, gSettings.extensionPath);
        vel::ArchiverLibraries archivers = Archivers();
        summary = vel::RecalculateCrcs(db, job, progress, &archivers);
      },
      gStop);
  progress.Finish(vel::RecalcSummaryText(summary));
  gStop = vel::kRunEnded;
  if (handles[kStartButton]) SetWindowTextA(handles[kStartButton], vel::Jp("開始").c_str());
  EnableInputs(handles, true);
}

__declspec(dllexport) void WINAPI setDirAddThreadESC(SHORT flag) {
  // Only a running import or recalculation can be asked to stop.
  short running = vel::kRunRunning;
  gStop.compare_exchange_strong(running, static_cast<short>(flag));
}

__declspec(dllexport) LONG WINAPI getDirAddThreadESC() { return gStop.load(); }

// CRC32 (8 hexadecimal digits) or CRC16 (4) of an image file or of a ZIP
// member ("archive*member"), over `length` bytes from `offset` (0: to the
// end), written to `out` (at least 9 bytes). 0 on success, -1 (and "" in
// `out`) when it cannot be computed.
__declspec(dllexport) LONG WINAPI GetFileCRC32(const char* path, LONG offset, LONG length, char* out) {
  return FileCrcExport(path, offset, length, out, true);
}

__declspec(dllexport) LONG WINAPI GetFileCRC16(const char* path, LONG offset, LONG length, char* out) {
  return FileCrcExport(path, offset, length, out, false);
}

}  // extern "C"
