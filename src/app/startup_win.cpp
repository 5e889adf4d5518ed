#include "app/startup_win.h"

#include <commctrl.h>

#include "app/app_commands_win.h"
#include "app/main_window_win.h"
#include "app/menus_win.h"
#include "app/shutdown_win.h"
#include "core/app_state_win.h"
#include "core/command_line.h"
#include "core/dialog_window_win.h"
#include "db/database_dialogs_win.h"
#include "db/database_lock.h"
#include "db/library_file.h"
#include "display/image_loader_win.h"
#include "launch/launch_run_win.h"
#include "launch/settings_rewrite.h"
#include "maintenance/image_sets_win.h"
#include "maintenance/maintenance_dlg_win.h"
#include "platform/archivers_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/profile.h"
#include "platform/system.h"

namespace vel {

AppState& App() {
  static AppState state;
  return state;
}

namespace {

constexpr int kMinimumPopHelpVersion = 104;

void PrepareProcess(AppState& app) {
  INITCOMMONCONTROLSEX controls{sizeof controls, 255};
  InitCommonControlsEx(&controls);
  app.defaultGuiFont = CreateFontA(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET,
                                   OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                   DEFAULT_PITCH | FF_DONTCARE, "Yu Gothic UI");
  app.buttonFaceBrush = CreateSolidBrush(GetSysColor(COLOR_BTNFACE));
}

void RegisterDialogClass(AppState& app) {
  WNDCLASSEXA dialogClass{};
  dialogClass.cbSize = sizeof dialogClass;
  dialogClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  dialogClass.lpfnWndProc = DefWindowProcA;
  dialogClass.hInstance = app.instance;
  dialogClass.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
  dialogClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  dialogClass.hbrBackground = app.buttonFaceBrush;
  dialogClass.lpszClassName = kDialogClassName;
  RegisterClassExA(&dialogClass);
}

int DetermineOsClass() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
  BOOL queried = GetVersionExA(&version);
#pragma GCC diagnostic pop
  return OsClassFromVersion(queried != FALSE, version.dwMajorVersion, version.dwMinorVersion);
}

bool CreateMainWindow(AppState& app) {
  app.programIcon = static_cast<HICON>(LoadImageA(app.instance, MAKEINTRESOURCEA(kProgramIconResource),
                                                  IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
  WNDCLASSEXA mainClass{};
  mainClass.cbSize = sizeof mainClass;
  mainClass.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  mainClass.lpfnWndProc = MainWindowProcedure;
  mainClass.hInstance = app.instance;
  mainClass.hIcon = app.programIcon;
  mainClass.hIconSm = app.programIcon;
  mainClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
  mainClass.hbrBackground = app.buttonFaceBrush;
  mainClass.lpszClassName = kMainWindowClassName;
  RegisterClassExA(&mainClass);
  HWND window = CreateWindowExA(0, kMainWindowClassName, kMainWindowCaption,
                                WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, 472,
                                284, nullptr, nullptr, app.instance, nullptr);
  return window != nullptr;
}

// Only the configured location can be replaced by the default library.
bool IsConfiguredLibrary(const AppState& app) { return app.databasePath != app.paths.DefaultDatabase(); }

void RunMessageLoop() {
  MSG message;
  for (;;) {
    BOOL got = GetMessageA(&message, nullptr, 0, 0);
    if (got == 0 || got == -1) break;
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
}

}  // namespace

bool OfferDefaultLibrary(AppState& app) {
  if (!IsConfiguredLibrary(app)) return false;
  const std::string fallback = app.paths.DefaultDatabase();
  std::string text = Jp("ライブラリのデータベースを開けませんでした。\n") + app.databasePath +
                     Jp("\n\n既定のライブラリを開きますか？\n") + fallback +
                     Jp("\n\n「いいえ」で終了します。設定されたデータベースの参照先は変わりません。");
  if (ShowMessage(text, Jp("確認"), kMbYesNo | kMbIconWarning, app.mainWindow) != kIdYes) return false;
  app.databasePath = fallback;
  app.mainDb.Close();
  app.groupDb.Close();
  app.mainDb.Open(app.databasePath, app.regexExtensionPath);
  app.groupDb.Open(app.databasePath, app.regexExtensionPath);
  return true;
}

int RunProgram(HINSTANCE instance) {
  AppState& app = App();
  app.instance = instance;
  app.commandLine = GetCommandLineA();
  PrepareProcess(app);
  RegisterAllCommands();
  BuildMenus(app);
  RegisterDialogClass(app);
  SetDllDirectoryW(L"");

  if (!CmdLineOption(app.commandLine, 0)) {
    app.instanceMutex = CreateMutexA(nullptr, FALSE, "Velmarook2-mutexcheck");
    if (GetLastError() == ERROR_ALREADY_EXISTS) return 0;  // another instance runs: end silently
  }

  std::string popHelp = BuildPaths(CurrentDirectory()).popHelpFile;
  if (ReadProfileInt("pophelp", "version", 0, popHelp) < kMinimumPopHelpVersion) {
    ShowMessage(popHelp + Jp(" が古いか見つかりません"), Jp("エラー"), kMbOk | kMbIconError);
    return 0;
  }

  app.osClass = DetermineOsClass();
  app.paths = BuildPaths(CurrentDirectory());
  RegexExtension extension = ChooseRegexExtension(app.paths.base, FileExists);
  app.regexMode = static_cast<unsigned short>(extension.mode);
  app.regexExtensionPath = extension.path;

  std::string location;
  if (!ReadProfileText("dbfile", "distination", "", app.paths.settingsFile, location)) {
    ShowMessage(Jp("設定ファイルのデータベースの参照先を読み込めませんでした。\n") + app.paths.settingsFile,
                Jp("エラー"), kMbOk | kMbIconError);
    return 0;
  }
  InstallSqlErrorDialog(app);
  if (location.empty()) {
    app.databasePath = app.paths.DefaultDatabase();
  } else {
    app.databasePath = location;
    // A file that is no library is never taken for one: the user may open
    // the default library instead.
    if (!CanHoldLibrary(CheckLibraryFile(location))) {
      if (!OfferDefaultLibrary(app)) return 0;
    } else if (AcquireDatabaseLock(app.databasePath, app.regexExtensionPath, ComputerName()) ==
               LockOutcome::Refused) {
      return 0;
    }
  }

  app.mainDb.Open(app.databasePath, app.regexExtensionPath);
  app.groupDb.Open(app.databasePath, app.regexExtensionPath);
  StartImageSupport(app);

  CreateMainWindow(app);
  // Alter-ego copies a launch left under temporary names get theirs back.
  if (!app.startupFailed) RecoverAlterEgoNamesAtStart(app);
  // Emulator settings that a launch rewrote and never restored (the program
  // was ended while an emulator ran) are put back now; the message takes the
  // focus from the item list, which gets it back.
  if (RecoverAndReport(app.paths.base, app.mainWindow) && app.itemList) SetFocus(app.itemList);
  // So are the images they left in their extraction folders.
  if (!app.startupFailed) CleanUpAfterEndedLaunches(app);
  if (!app.startupFailed)
    app.archivers = LoadArchivers(SystemFolder(), SettingInt(app.settings, "etcSetting", "DLLSafeLoad") != 0);
  // Smart titles an older import left empty are filled before the first search by them.
  if (!app.startupFailed) {
    FillSmartTitlesAtStart(app);
    if (app.itemList) SetFocus(app.itemList);
  }
  RunMessageLoop();
  FinalExit(app);
}

}  // namespace vel
