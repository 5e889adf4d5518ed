#include "core/companion_library_win.h"

#include "core/app_state_win.h"
#include "core/own_library_win.h"
#include "platform/codepage.h"

namespace vel {
namespace {

CompanionLibrary gLibrary;

}  // namespace

CompanionLibrary& LoadCompanionLibrary(AppState& app) {
  if (gLibrary.module) return gLibrary;
  HMODULE module = LoadLibraryA(app.paths.companionLibrary.c_str());
  if (!module) EndForMissingLibrary(app, Jp("Velmarook2_Lib.DLL が読み込めませんでした"));
  CompanionLibrary library;
  library.module = module;
  library.getLibVersion = ResolveExport<GetLibVersionFn>(module, "getLibVersion");
  library.makeDBandTable = ResolveExport<MakeDBandTableFn>(module, "MakeDBandTable");
  library.setV3views = ResolveExport<SetV3viewsFn>(module, "setV3views");
  library.regexSetPattern = ResolveExport<RegexSetPatternFn>(module, "regexSetPattern");
  library.regexMatch = ResolveExport<RegexMatchFn>(module, "regexMatch");
  // A library without every export is as unusable as one of another version.
  bool complete = library.getLibVersion && library.makeDBandTable && library.setV3views &&
                  library.regexSetPattern && library.regexMatch;
  if (!complete || library.getLibVersion() != kCompanionInterfaceVersion) {
    FreeLibrary(module);
    EndForMissingLibrary(app, Jp("Velmarook2_Lib.DLL が対応するバージョンと異なります"));
  }
  gLibrary = library;
  return gLibrary;
}

void UnloadCompanionLibrary() {
  if (gLibrary.module) FreeLibrary(gLibrary.module);
  gLibrary = CompanionLibrary{};
}

LONG PrepareLibraryDatabase(AppState& app) {
  CompanionLibrary& library = LoadCompanionLibrary(app);
  LONG result = library.makeDBandTable(app.databasePath.c_str(), app.regexExtensionPath.c_str(),
                                       app.mainWindow, &app.noSaveFlag, app.paths.base.c_str(),
                                       kDefaultDatabaseName, app.paths.settingsFile.c_str());
  UnloadCompanionLibrary();
  return result;
}

void PrepareItemView(AppState& app) {
  CompanionLibrary& library = LoadCompanionLibrary(app);
  library.setV3views(app.databasePath.c_str(), app.regexExtensionPath.c_str(), app.mainWindow,
                     SettingInt(app.settings, "ItemList", "infoDelay"));
  UnloadCompanionLibrary();
}

}  // namespace vel
