#include "maintenance/crc_library_win.h"

#include "core/app_state_win.h"
#include "core/own_library_win.h"
#include "platform/codepage.h"

namespace vel {
namespace {

CrcLibrary gLibrary;

}  // namespace

CrcLibrary& LoadCrcLibrary(AppState& app) {
  if (!gLibrary.module) {
    HMODULE module = LoadLibraryA((app.paths.base + "\\Velmarook2_GetCRC.DLL").c_str());
    if (!module) EndForMissingLibrary(app, Jp("Velmarook2_GetCRC.DLL が読み込めませんでした"));
    CrcLibrary library;
    library.module = module;
    library.getLibVersionCRC = ResolveExport<GetLibVersionCrcFn>(module, "getLibVersionCRC");
    library.setGValCRC = ResolveExport<SetGValCrcFn>(module, "setGValCRC");
    library.dirAddImg = ResolveExport<DirAddImgFn>(module, "dirAddImg");
    library.reCalcCRC = ResolveExport<ReCalcCrcFn>(module, "reCalcCRC");
    library.setDirAddThreadESC = ResolveExport<SetDirAddThreadEscFn>(module, "setDirAddThreadESC");
    library.getDirAddThreadESC = ResolveExport<GetDirAddThreadEscFn>(module, "getDirAddThreadESC");
    library.getFileCRC32 = GetProcAddress(module, "GetFileCRC32");
    library.getFileCRC16 = GetProcAddress(module, "GetFileCRC16");
    // A library without every export is as unusable as one of another version.
    bool complete = library.getLibVersionCRC && library.setGValCRC && library.dirAddImg &&
                    library.reCalcCRC && library.setDirAddThreadESC && library.getDirAddThreadESC &&
                    library.getFileCRC32 && library.getFileCRC16;
    if (!complete || library.getLibVersionCRC() != kCrcLibraryVersion) {
      FreeLibrary(module);
      EndForMissingLibrary(app, Jp("Velmarook2_GetCRC.DLL が対応するバージョンと異なります"));
    }
    gLibrary = library;
  }
  char systemFolder[MAX_PATH] = {};
  GetSystemDirectoryA(systemFolder, MAX_PATH);
  gLibrary.setGValCRC(app.databasePath.c_str(), app.regexExtensionPath.c_str(),
                      app.paths.settingsFile.c_str(), app.paths.base.c_str(), systemFolder,
                      SettingInt(app.settings, "etcSetting", "DLLSafeLoad"), app.uiFonts[0]);
  return gLibrary;
}

void ReleaseCrcLibrary() {
  if (gLibrary.module) FreeLibrary(gLibrary.module);
  gLibrary = CrcLibrary{};
}

}  // namespace vel
