#include "maintenance/crc_library_win.h"

#include "core/app_state_win.h"
#include "core/shutdown_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {
namespace {

CrcLibrary gLibrary;

[[noreturn]] void Fatal(AppState& app, const std::string& text) {
  ShowMessage(text, Jp("強制終了"), kMbOk | kMbIconError, app.mainWindow);
  FinalExit(app);
}

template <typename Fn>
Fn Resolve(HMODULE module, const char* name) {
  return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

}  // namespace

CrcLibrary& LoadCrcLibrary(AppState& app) {
  if (!gLibrary.module) {
    HMODULE module = LoadLibraryA((app.paths.base + "\\Velmarook2_GetCRC.DLL").c_str());
    if (!module) Fatal(app, Jp("Velmarook2_GetCRC.DLL が読み込めませんでした"));
    CrcLibrary library;
    library.module = module;
    library.getLibVersionCRC = Resolve<GetLibVersionCrcFn>(module, "getLibVersionCRC");
    library.setGValCRC = Resolve<SetGValCrcFn>(module, "setGValCRC");
    library.dirAddImg = Resolve<DirAddImgFn>(module, "dirAddImg");
    library.reCalcCRC = Resolve<ReCalcCrcFn>(module, "reCalcCRC");
    library.setDirAddThreadESC = Resolve<SetDirAddThreadEscFn>(module, "setDirAddThreadESC");
    library.getDirAddThreadESC = Resolve<GetDirAddThreadEscFn>(module, "getDirAddThreadESC");
    library.getFileCRC32 = GetProcAddress(module, "GetFileCRC32");
    library.getFileCRC16 = GetProcAddress(module, "GetFileCRC16");
    // A library without every export is as unusable as one of another version.
    bool complete = library.getLibVersionCRC && library.setGValCRC && library.dirAddImg &&
                    library.reCalcCRC && library.setDirAddThreadESC && library.getDirAddThreadESC &&
                    library.getFileCRC32 && library.getFileCRC16;
    if (!complete || library.getLibVersionCRC() != kCrcLibraryVersion) {
      FreeLibrary(module);
      Fatal(app, Jp("Velmarook2_GetCRC.DLL が対応するバージョンと異なります"));
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
