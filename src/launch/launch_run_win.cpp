#include "launch/launch_run_win.h"

#include <commctrl.h>
#include <shellapi.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/command_line.h"
#include "core/shell_services_win.h"
#include "db/library_connection.h"
#include "launch/archive_extraction.h"
#include "launch/extraction_journal.h"
#include "display/thumbnail_cache_win.h"
#include "launch/key_script.h"
#include "launch/demo_mode_win.h"
#include "launch/launch_capture_win.h"
#include "launch/launch_plan.h"
#include "launch/library_images.h"
#include "launch/play_time.h"
#include "launch/settings_rewrite.h"
#include "launch/window_search.h"
#include "maintenance/image_sets.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/file_operations.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "platform/thread_message_answerer.h"
#include "search/item_list_query.h"

namespace vel {
namespace {

constexpr UINT kGuiPrepare = WM_APP + 1;   // stop the periodic work, disable, wait cursor
constexpr UINT kGuiMinimize = WM_APP + 2;
constexpr UINT kGuiEnable = WM_APP + 3;    // wParam: 1 enable with the arrow, 0 disable with the wait cursor
constexpr UINT kGuiRestore = WM_APP + 4;   // lParam: the launch; restore, enable, focus the list
constexpr UINT kGuiReload = WM_APP + 5;    // lParam: the key to select
constexpr UINT kGuiBalloon = WM_APP + 6;   // wParam: the BalloonIcon; lParam: the text
constexpr UINT kGuiWaitDialog = WM_APP + 7;  // wParam: show (1) or hide (0) the wait dialog
constexpr UINT kGuiWindowWaitNote = WM_APP + 8;  // wParam: show (1) or hide (0) the window-wait note
constexpr UINT kGuiSnapsFiled = WM_APP + 9;  // lParam: the key of the item whose snapshots changed
constexpr UINT kGuiDemoRunning = WM_APP + 10;  // a demo emulator runs: the GUI arms its exit timer
constexpr UINT_PTR kMainTimer = 1;

// What the GUI and the launch threads share. The count and the flags are
// atomic; the waited handle and the exit request change under the lock so
// that an exit request never terminates a handle that was closed meanwhile.
struct SharedLaunchState {
  std::atomic<int> running{0};  // emulators started and not ended
  // Launches from their start programs to their clean-up: the first of them
  // runs the start programs, the last the terminate programs and the
  // cleaning, also when one is still preparing while another runs.
  std::atomic<int> active{0};
  std::atomic<bool> abortWindowWait{false};
  std::atomic<int> inProgress{0};  // requested launches that have not given the main window back
  // The extraction journals of the launches that overlap, kept held until
  // the last of them cleans up; the lock also makes leaving and the clean-up
  // decision one step, so that two launches ending together never both leave
  // the cleaning to the other.
  std::mutex cleanupLock;
  std::vector<std::unique_ptr<ExtractionJournal>> extractionJournals;
  std::mutex exitLock;
  HANDLE waitedProcess = nullptr;  // owned by the launch that waits on it
  std::string exitRequest;
  unsigned exitOwner = 0;  // which publication holds the slot
  HWND gui = nullptr;  // receives the launch threads' requests on the GUI thread
};

SharedLaunchState& Shared() {
  static SharedLaunchState state;
  return state;
}

struct Launch {
  AppState* app = nullptr;
  LaunchRequest request;
  std::string playTime;  // as stored before the run
  bool stepMode = false;
  RECT savedRect{};
  LaunchPlan plan;
  std::unique_ptr<RewriteJournal> journal;
  bool rewritten = false;
  std::vector<std::pair<std::string, std::string>> renamed;  // made renames, to undo
  ExtractionJournal* extractionJournal = nullptr;  // owned by SharedLaunchState
  bool scrollLockWasOn = false;
  bool active = false;  // counted in SharedLaunchState::active
  std::unique_ptr<LaunchCapture> capture;  // the run's snapshots; none in demo mode
};

bool OthersActive(const Launch& launch) {
  int active = Shared().active.load();
  return launch.active ? active > 1 : active > 0;
}

void Join(Launch& launch) {
  if (!launch.active) Shared().active.fetch_add(1);
  launch.active = true;
}

void Leave(Launch& launch) {
  if (launch.active) Shared().active.fetch_sub(1);
  launch.active = false;
}

void ToGui(UINT message, WPARAM w = 0, LPARAM l = 0) {
  if (Shared().gui) SendMessageA(Shared().gui, message, w, l);
}

void StepMessage(const Launch& launch, const std::string& text, const std::string& title) {
  if (launch.stepMode) ShowMessage(text, title, kMbOk | kMbIconInformation, launch.app->mainWindow);
}

bool DontShrink(const AppState& app) { return HasOption(app.commandLine, Option::DontShrink); }

// Copies of windows that existed before the emulator started.
std::set<WindowId> RecordWindows(InputHost& host) {
  std::set<WindowId> recorded;
  for (const TopLevelWindow& window : host.TopLevelWindows()) recorded.insert(window.id);
  return recorded;
}

bool EmulatorWindowPresent(const WindowSearch& search, InputHost& host, const std::set<WindowId>& recorded) {
  return FindSearchedWindow(host.TopLevelWindows(), search, recorded) != 0;
}

// --- undo steps -----------------------------------------------------------

void RestoreRewrittenSettings(Launch& launch) {
  if (!launch.rewritten || !launch.journal) return;
  RestoreSettings(*launch.journal);
  launch.journal->Finish();
  launch.rewritten = false;
}

// Puts renamed images back under their names, newest first. Alter-ego
// copies are put back from the names the library recorded, so that a crash
// in between leaves nothing the next start cannot undo.
void RenameBack(Launch& launch) {
  if (launch.plan.alterEgo) {
    if (!launch.renamed.empty()) {
      LibraryConnection db;
      db.Open(launch.app->databasePath, launch.app->regexExtensionPath);
      RestoreAlterEgoNames(db, launch.request.item.fileName, launch.app->mainWindow);
    }
  } else {
    for (auto it = launch.renamed.rbegin(); it != launch.renamed.rend(); ++it) {
      RenameFile(it->second, it->first);
      Sleep(100);
    }
  }
  launch.renamed.clear();
}

// The balloon after a clean-up: deletions that failed, and what was left
// because it was there before the run or is an image of the library.
std::string CleanupOutcomeText(const CleanupOutcome& outcome) {
  std::string text;
  if (outcome.failed > 0)
    text = Jp("展開先フォルダ内削除で、いくつかのファイル削除に失敗しました。\nファイルが使用中の可能性があります。");
  if (outcome.kept > 0)
    text += (text.empty() ? "" : "\n") + Jp("展開先フォルダ内の ") + std::to_string(outcome.kept) +
            Jp(" 個のファイルは起動前からあったため削除しませんでした。");
  return text;
}

void ShowCleanupOutcome(const CleanupOutcome& outcome) {
  static std::string text;  // read by the GUI thread before ToGui returns
  text = CleanupOutcomeText(outcome);
  if (!text.empty()) ToGui(kGuiBalloon, outcome.failed > 0 ? 1 : 0, reinterpret_cast<LPARAM>(&text));
}

// Journals of runs that ended without their clean-up; held ones belong to
// running launches and are not taken.
std::vector<std::unique_ptr<ExtractionJournal>> TakeLeftBehindJournals(const std::string& baseFolder) {
  std::vector<std::unique_ptr<ExtractionJournal>> journals;
  for (const std::string& path : ExtractionJournalFilesIn(baseFolder)) {
    auto journal = std::make_unique<ExtractionJournal>();
    if (journal->TakeLeftBehind(path)) journals.push_back(std::move(journal));
  }
  return journals;
}

std::vector<ExtractionJournal*> Pointers(const std::vector<std::unique_ptr<ExtractionJournal>>& journals) {
  std::vector<ExtractionJournal*> pointers;
  for (const auto& journal : journals) pointers.push_back(journal.get());
  return pointers;
}

CleanupOutcome CleanWithJournals(const std::vector<std::unique_ptr<ExtractionJournal>>& running,
                                 const std::string& baseFolder, const std::string& databasePath,
                                 const std::string& regexExtensionPath) {
  std::vector<std::unique_ptr<ExtractionJournal>> leftBehind = TakeLeftBehindJournals(baseFolder);
  if (running.empty() && leftBehind.empty()) return {};
  LibraryConnection db;
  db.Open(databasePath, regexExtensionPath);
  return CleanExtractionFolders(Pointers(running), Pointers(leftBehind), baseFolder, LibraryImageTest(db));
}

// Before a launch places anything: a run that ended without its clean-up
// is cleaned first (only when no other launch is under way), then the
// folder's present names are recorded.
void BeginExtractionJournal(Launch& launch) {
  const EmulatorConfig& c = launch.plan.config;
  if (c.extractAllDelete != 1) return;
  CleanupOutcome recovered;
  {
    std::lock_guard<std::mutex> lock(Shared().cleanupLock);
    const std::string& base = launch.request.baseFolder;
    // Another launch under way may be using what a crashed run left.
    if (Shared().active.load() == 1)
      recovered = CleanWithJournals({}, base, launch.app->databasePath, launch.app->regexExtensionPath);
    auto journal = std::make_unique<ExtractionJournal>(base);
    journal->Begin(c.extractPath);  // a journal that fails leaves the folder alone
    launch.extractionJournal = journal.get();
    Shared().extractionJournals.push_back(std::move(journal));
  }
  ShowCleanupOutcome(recovered);
}

// Ends the launch's part in the overlapping launches. The last one to end
// cleans every extraction folder they used, deleting only what they placed
// or what appeared while they ran (see ExtractionJournal).
void CleanExtractionFolder(Launch& launch) {
  CleanupOutcome outcome;
  {
    // A launch starting meanwhile lists its folder only after the cleaning.
    std::lock_guard<std::mutex> lock(Shared().cleanupLock);
    Leave(launch);
    if (Shared().active.load() > 0) return;
    std::vector<std::unique_ptr<ExtractionJournal>> running;
    running.swap(Shared().extractionJournals);
    if (running.empty()) return;
    outcome = CleanWithJournals(running, launch.request.baseFolder, launch.app->databasePath,
                                launch.app->regexExtensionPath);
  }
  ShowCleanupOutcome(outcome);
}

// --- programs before and after the emulator --------------------------------

// Runs [StartCommand] (start) or [TerminateCommand]; 0 or the failing
// program's code. Skipped while another launch runs.
DWORD RunHelperPrograms(Launch& launch, bool start) {
  if (OthersActive(launch)) return 0;
  const HelperProgram* programs = start ? launch.plan.config.start : launch.plan.config.terminate;
  DWORD result = 0;
  for (int i = 0; i < 2 && result == 0; ++i) {
    const HelperProgram& program = programs[i];
    if (program.cmd.empty()) continue;
    if (!start) Sleep(1000);
    std::string arguments = HelperProgramArguments(program.opt, launch.plan.values);
    int waitMode = start ? program.appProcWait : 0;
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = waitMode >= 2 ? SEE_MASK_NOCLOSEPROCESS : 0;
    info.hwnd = launch.app->mainWindow;
    info.lpVerb = "open";
    info.lpFile = program.cmd.c_str();
    info.lpParameters = arguments.c_str();
    info.nShow = SW_SHOWNORMAL;
    BOOL started = ShellExecuteExA(&info);
    if (waitMode >= 2) {
      if (!started || !info.hProcess) {
        result = 666;
      } else {
        DWORD wait = WaitForSingleObject(info.hProcess, INFINITE);
        DWORD code = 0;
        if (wait == WAIT_OBJECT_0) result = GetExitCodeProcess(info.hProcess, &code) ? code : 999;
        else result = wait == WAIT_ABANDONED ? 777 : wait == WAIT_TIMEOUT ? 888 : 999;
        CloseHandle(info.hProcess);
      }
      if (waitMode == 2) result = 0;
    }
    Sleep(static_cast<DWORD>(program.wait) * 1000 + 500);
  }
  return result;
}

// --- the launch ------------------------------------------------------------

// Undoes what was done, tells the user and gives the main window back.
void Abort(Launch& launch, const std::string& text,
           const std::string& caption = Jp("エミュレータが起動できませんでした")) {
  AppState& app = *launch.app;
  if (launch.request.demoMode) {
    ToGui(kGuiBalloon, 1, reinterpret_cast<LPARAM>(&text));
    Sleep(1000);
  } else {
    ShowMessage(text, caption, kMbOk | kMbIconWarning, app.mainWindow);
  }
  Leave(launch);
  ToGui(kGuiRestore, 0, reinterpret_cast<LPARAM>(&launch));
}

// Takes the emulator's process handle for the exit request; the returned
// token gives it back.
unsigned PublishWaitedProcess(HANDLE process, const std::string& exitRequest) {
  std::lock_guard<std::mutex> lock(Shared().exitLock);
  Shared().waitedProcess = process;
  Shared().exitRequest = exitRequest;
  return ++Shared().exitOwner;
}

// Gives the slot back only while this launch still holds it, so that an
// overlapping launch's newer request stays.
void WithdrawWaitedProcess(unsigned owner) {
  std::lock_guard<std::mutex> lock(Shared().exitLock);
  if (Shared().exitOwner != owner) return;
  Shared().waitedProcess = nullptr;
  Shared().exitRequest.clear();
}

void RecordRun(Launch& launch, DWORD elapsed) {
  if (elapsed <= kShortestCountedRunMs) return;
  LibraryConnection db;
  db.Open(launch.app->databasePath, launch.app->regexExtensionPath);
  std::string played = AddPlayTime(launch.playTime, elapsed / 1000);
  if (auto error = db.Query(BootRecordStatement(launch.request.item.fileName, played))) {
    ShowMessage(Jp("起動回数と最終起動日の格納に失敗しました\n") + Utf8ToAnsi(*error), Jp("DBエラー"),
                kMbOk | kMbIconError, launch.app->mainWindow);
    return;
  }
  if (Shared().running.load() == 0)
    ToGui(kGuiReload, 0, reinterpret_cast<LPARAM>(&launch.request.item.fileName));
}

// Files the run's pictures, tells the result and has the item redrawn.
void FileSnapshots(Launch& launch) {
  if (!launch.capture) return;
  static ResultBalloon balloon;  // read by the GUI thread before ToGui returns
  int code = launch.capture->File(launch.app->mainWindow, launch.app->instance, balloon);
  if (!balloon.text.empty())
    ToGui(kGuiBalloon, static_cast<WPARAM>(balloon.icon), reinterpret_cast<LPARAM>(&balloon.text));
  if (code == kSnapSaved || code == kSnapFiledFromFolder || code == kSnapFiledByChoice)
    ToGui(kGuiSnapsFiled, 0, reinterpret_cast<LPARAM>(&launch.request.item.fileName));
}

// In a demo launch nobody is there to answer: messages become warning
// balloons and questions get their refusing answer.
void AnswerUnattended(Launch& launch) {
  if (!launch.request.demoMode) return;
  launch.stepMode = false;
  SetThreadMessageAnswerer([](const MessageRequest& request) {
    std::string text = request.text;
    ToGui(kGuiBalloon, 1, reinterpret_cast<LPARAM>(&text));
    unsigned buttons = request.flags & 0xF;
    return static_cast<int>(buttons == kMbYesNo ? kIdNo : buttons == kMbOkCancel ? kIdCancel : kIdOk);
  });
}

void RunLaunch(Launch& launch) {
  AppState& app = *launch.app;
  AnswerUnattended(launch);
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  ToGui(kGuiPrepare, 0, reinterpret_cast<LPARAM>(&launch));
  std::string refusal = PlanLaunch(launch.request, db, launch.plan);
  if (!refusal.empty()) return Abort(launch, refusal);
  LaunchPlan& plan = launch.plan;
  const EmulatorConfig& config = plan.config;
  StepMessage(launch, plan.configPath, "EmuBootConfigFile");
  if (!DontShrink(app)) ToGui(kGuiMinimize);
  if (launch.stepMode) {
    std::string slots;
    for (int i = 0; i <= plan.images.count; ++i)
      slots += std::to_string(i) + ") " + plan.images.images[static_cast<size_t>(i)] + "\n";
    StepMessage(launch, std::to_string(launch.request.bootDisk), "BootDiskNumber (0 = No specified.)");
    StepMessage(launch, slots, "Array of all images (Final form)");
    StepMessage(launch, config.option, "CMD Option : before");
    StepMessage(launch, plan.option, "CMD Option : after");
  }

  // Emulator settings, recorded in a journal before the first change.
  if (!plan.rewriteScript.empty()) {
    StepMessage(launch, plan.rewriteScript, "Rewrite EmuConfig");
    RecoverAndReport(launch.request.baseFolder, app.mainWindow);
    launch.journal = std::make_unique<RewriteJournal>(launch.request.baseFolder);
    RewriteContext context;
    context.baseFolder = launch.request.baseFolder;
    context.machineFolder = MachineConfigFolder(launch.request.baseFolder, launch.request.item.machineName);
    const LaunchValues& values = plan.values;
    context.expand = [&values](const std::string& text) { return Expand(text, values, true, false); };
    context.owner = app.mainWindow;
    RewriteSettings(plan.rewriteScript, context, config.backupAndRestore == 1, *launch.journal);
    launch.rewritten = config.backupAndRestore == 1;
  }
  StepMessage(launch, plan.emulatorFolder, "WorkDir");

  if (config.extract > 0) {
    // Active from here on, so that another launch's clean-up never takes
    // the images this one is placing.
    Join(launch);
    BeginExtractionJournal(launch);
    LaunchImages images;
    images.fileName = launch.request.item.fileName;
    images.setHead = launch.request.item.multiDisk == "1";
    images.extract = config.extract;
    images.extractPath = config.extractPath;
    images.skipIfExists = config.skipExtractIfExist == 1;
    images.owner = app.mainWindow;
    if (ExtractionJournal* journal = launch.extractionJournal)
      images.placing = [journal](const std::string& name) { journal->RecordPlaced(name); };
    int result = app.archivers ? PrepareLaunchImages(*app.archivers, db, images) : kNoArchiver;
    if (result != 0) {
      RestoreRewrittenSettings(launch);
      CleanExtractionFolder(launch);
      return Abort(launch, Jp("イメージファイルを解凍出来ません。\n解凍に必要なDLL又はイメージファイル自体が存在しない可能性があります。"));
    }
    StepMessage(launch, "Unzip and copy was. (If specified)", "-PAUSE-");
  }

  // Renaming; a failed rename puts back what was renamed and stops.
  for (const ImagePlan::Rename& rename : plan.images.renames) {
    const std::string &from = rename.from, &to = rename.to;
    StepMessage(launch, from + Jp("\n→") + to,
                "Actual files renaming. " + std::to_string(plan.images.renames.size()) + " file(s)");
    if (!RenameFile(from, to)) {
      RenameBack(launch);
      RestoreRewrittenSettings(launch);
      CleanExtractionFolder(launch);
      return Abort(launch, Jp("イメージファイルの名前を変更できませんでした。\n") + from + Jp("\n→") + to);
    }
    launch.renamed.push_back({from, to});
    // The new name is recorded under the image's own number, so that a crash
    // in between leaves nothing the next start cannot rename back.
    if (plan.alterEgo) {
      if (auto error = db.Query(AlterEgoRenameStatement(launch.request.item.fileName, rename.image, to))) {
        // The library does not know this name, so the rename back from the
        // library would leave the file under it: it goes back here.
        RenameFile(to, from);
        launch.renamed.pop_back();
        RenameBack(launch);
        RestoreRewrittenSettings(launch);
        CleanExtractionFolder(launch);
        return Abort(launch, Jp("分身リネーム結果格納エラー\n") + Utf8ToAnsi(*error), Jp("DBエラー"));
      }
    }
    Sleep(100);
  }
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }

  bool throughShell = config.chekType != 0;
  StepMessage(launch, throughShell ? plan.option : plan.commandLine,
              throughShell ? "Launch preparation to 'ShellExecute'" : "Launch preparation to 'CreateProcess'");
  launch.scrollLockWasOn = (GetKeyState(VK_SCROLL) & 1) != 0;
  if (launch.scrollLockWasOn) {
    keybd_event(VK_SCROLL, 0, 0, 0);
    Sleep(100);
    keybd_event(VK_SCROLL, 0, KEYEVENTF_KEYUP, 0);
  }
  ToGui(kGuiEnable, 1);

  auto undoBeforeRun = [&](bool runTerminatePrograms) {
    RestoreRewrittenSettings(launch);
    RenameBack(launch);
    if (runTerminatePrograms) RunHelperPrograms(launch, false);
    CleanExtractionFolder(launch);
  };
  Join(launch);
  if (DWORD code = RunHelperPrograms(launch, true)) {
    undoBeforeRun(false);
    return Abort(launch, Jp("起動時に実行する他のアプリケーションが異常終了しました。\n（終了コード ") +
                             std::to_string(code) + Jp(" ）\nエミュレータの起動を中止します。"));
  }

  if (launch.capture) launch.capture->BeforeStart(config);
  DWORD startTick = GetTickCount();
  HANDLE process = nullptr;
  if (throughShell) {
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.hwnd = app.mainWindow;
    info.lpVerb = "open";
    info.lpFile = plan.exec.c_str();
    info.lpParameters = plan.option.c_str();
    info.lpDirectory = plan.emulatorFolder.c_str();
    info.nShow = SW_SHOWDEFAULT;
    if (!ShellExecuteExA(&info)) {
      undoBeforeRun(true);
      return Abort(launch, Jp("プロセスの作成に失敗しました。"));
    }
    process = info.hProcess;
  } else {
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION created{};
    std::string commandLine = plan.commandLine;
    if (!CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        plan.emulatorFolder.c_str(), &startup, &created)) {
      undoBeforeRun(true);
      return Abort(launch, Jp("プロセスの作成に失敗しました。"));
    }
    CloseHandle(created.hThread);
    process = created.hProcess;
  }

  std::unique_ptr<InputHost> host = CreateSystemInputHost();
  std::set<WindowId> recorded;
  bool waitForWindow = config.chekType == 1;
  const WindowSearch search =
      MakeWindowSearch(plan.searchText, plan.exclusionText, config.ttSrchThresholdOfIgnore);
  if (waitForWindow) recorded = RecordWindows(*host);
  // Readiness: the created process (or the shell's) idle for input.
  bool needHandle = config.chekType == 2 || (waitForWindow && config.ttSrchNoTimeout != 1);
  if (!process && needHandle) {
    undoBeforeRun(true);
    return Abort(launch, Jp("プロセスハンドルの取得に失敗しました。"));
  }
  if (process && config.chekType != 2 && !(waitForWindow && config.ttSrchNoTimeout == 1)) {
    DWORD idle = WaitForInputIdle(process, 30000);
    if (idle != 0) {
      CloseHandle(process);
      undoBeforeRun(true);
      return Abort(launch, Jp(idle == WAIT_TIMEOUT ? "タイムアウトされました。" : "プロセスハンドルの取得に失敗しました。"));
    }
  }
  Sleep(100);
  Shared().running.fetch_add(1);

  // The start key script.
  bool multiImage = launch.request.item.multiDisk == "1";
  if (!plan.keyScript.empty() && !(config.enable2ImgOver == 1 && !multiImage)) {
    std::string script = ExpandScriptIniLoad(plan.keyScript, &plan.values, launch.request.baseFolder);
    StepMessage(launch, script, "Start Key Emulation");
    KeyScriptLaunch scriptLaunch;
    const LaunchValues& values = plan.values;
    scriptLaunch.expandLaunchValue = [&values](const std::string& text) { return ExpandLaunchValue(text, values); };
    scriptLaunch.multiDiskItem = multiImage;
    scriptLaunch.stepMode = launch.stepMode;
    RunKeyScript(script, &scriptLaunch, *host);
  }

  bool aborted = false;
  DWORD endTick = 0;  // when the emulator's end was seen
  int interval = WindowSearchIntervalSeconds(config);
  if (waitForWindow && config.ttSrchNoTimeout == 1) {
    StepMessage(launch, "Does not time out until it finds \n\n" + plan.searchText + "\n\nExcept for \n\n" +
                            plan.exclusionText, "-PAUSE-");
    Shared().abortWindowWait = false;
    ToGui(kGuiWindowWaitNote, 1);
    // Seconds waited; it never wraps, so that any interval is honoured.
    for (long long waited = 1;; ++waited) {
      Sleep(1000);
      if (Shared().abortWindowWait.load()) {
        aborted = true;
        break;
      }
      if (waited % interval == 0 && EmulatorWindowPresent(search, *host, recorded)) break;
      if (waited % 40 == 0) {
        static std::string text =
            Jp("ウィンドウを検知するまで待機中…\n中止する場合はタスクトレイアイコンを右クリック");
        ToGui(kGuiBalloon, 0, reinterpret_cast<LPARAM>(&text));
      }
    }
    ToGui(kGuiWindowWaitNote, 0);
    StepMessage(launch, "Find loop end", "-PAUSE-");
    if (aborted) {
      static std::string text = Jp("ユーザーにより Windowタイトル検知までの待機が中止されました。");
      ToGui(kGuiBalloon, 0, reinterpret_cast<LPARAM>(&text));
    }
  }

  if (!aborted) {
    SetPriorityClass(GetCurrentProcess(), BELOW_NORMAL_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_LOWEST);
    unsigned exitOwner = PublishWaitedProcess(process, ExitRequestText(plan));
    if (launch.request.demoMode && !ExitRequestText(plan).empty()) ToGui(kGuiDemoRunning);
    if (launch.capture) launch.capture->StartSession();
    if (waitForWindow) {
      do Sleep(static_cast<DWORD>(interval) * 1000);
      while (EmulatorWindowPresent(search, *host, recorded));
    } else if (process) {
      WaitForSingleObject(process, INFINITE);
    }
    WithdrawWaitedProcess(exitOwner);
    endTick = GetTickCount();
    if (launch.capture) launch.capture->StopSession();
    SetPriorityClass(GetCurrentProcess(), NORMAL_PRIORITY_CLASS);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);
  }
  if (process) CloseHandle(process);
  // Lowered exactly once per launch, also after an aborted window wait.
  Shared().running.fetch_sub(1);
  if (!aborted) Sleep(1500);

  ToGui(kGuiEnable, 0);
  RestoreRewrittenSettings(launch);
  RenameBack(launch);
  RunHelperPrograms(launch, false);
  if (!aborted) FileSnapshots(launch);
  ToGui(kGuiWaitDialog, 1);
  // The run lasts from the emulator's start to the sight of its end, the
  // program's own clean-up not included.
  if (!launch.request.demoMode && !aborted) RecordRun(launch, endTick - startTick);
  CleanExtractionFolder(launch);
  ToGui(kGuiWaitDialog, 0);
  Leave(launch);
  ToGui(kGuiRestore, 0, reinterpret_cast<LPARAM>(&launch));
}

LRESULT CALLBACK GuiProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  AppState& app = App();
  switch (message) {
    case kGuiPrepare: {
      auto* launch = reinterpret_cast<Launch*>(lParam);
      KillTimer(app.mainWindow, kMainTimer);
      KillTimer(app.mainWindow, kDemoTriggerTimer);
      GetWindowRect(app.mainWindow, &launch->savedRect);
      EnableWindow(app.mainWindow, FALSE);
      SetCursor(LoadCursor(nullptr, IDC_WAIT));
      return 0;
    }
    case kGuiMinimize: ShowWindow(app.mainWindow, SW_MINIMIZE); return 0;
    case kGuiEnable:
      EnableWindow(app.mainWindow, wParam ? TRUE : FALSE);
      SetCursor(LoadCursor(nullptr, wParam ? IDC_ARROW : IDC_WAIT));
      return 0;
    case kGuiRestore: {
      auto* launch = reinterpret_cast<Launch*>(lParam);
      if (!DontShrink(app)) {
        ShowWindow(app.mainWindow, SW_RESTORE);
        const RECT& r = launch->savedRect;
        if (r.right > r.left)
          SetWindowPos(app.mainWindow, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER);
      }
      EnableWindow(app.mainWindow, TRUE);
      SetCursor(LoadCursor(nullptr, IDC_ARROW));
      if (launch->scrollLockWasOn && (GetKeyState(VK_SCROLL) & 1) == 0) {
        keybd_event(VK_SCROLL, 0, 0, 0);
        keybd_event(VK_SCROLL, 0, KEYEVENTF_KEYUP, 0);
      }
      SetFocus(app.itemList);
      if (Shared().running.load() == 0) SetTimer(app.mainWindow, kMainTimer, 300, nullptr);
      Shared().inProgress.fetch_sub(1);
      if (launch->request.demoMode) DemoLaunchEnded(app);
      else ArmDemoTrigger(app);
      return 0;
    }
    case kGuiReload:
      if (app.reloadItemList) app.reloadItemList(*reinterpret_cast<const std::string*>(lParam));
      return 0;
    case kGuiWaitDialog:
      if (wParam == 0) HideWaitWindow(app);
      else if (!HasOption(app.commandLine, Option::NoSplash)) ShowWaitWindow(app);
      return 0;
    case kGuiWindowWaitNote: {
      static HWND note = nullptr;
      if (note) DestroyWindow(note);
      note = nullptr;
      if (wParam == 0) return 0;
      std::string text = Jp("ウィンドウを検知するまで待機中…");
      note = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "STATIC", text.c_str(),
                             WS_POPUP | WS_BORDER | SS_CENTER | SS_CENTERIMAGE, GetSystemMetrics(SM_CXSCREEN) / 2 - 140,
                             GetSystemMetrics(SM_CYSCREEN) / 2 - 24, 280, 48, nullptr, nullptr, app.instance, nullptr);
      if (note) {
        SendMessageA(note, WM_SETFONT, reinterpret_cast<WPARAM>(app.uiFonts[0]), TRUE);
        ShowWindow(note, SW_SHOWNOACTIVATE);
      }
      return 0;
    }
    case kGuiDemoRunning: DemoEmulatorRunning(app); return 0;
    case kGuiSnapsFiled:
      ForgetThumbnails();
      if (app.reloadItemList) app.reloadItemList(*reinterpret_cast<const std::string*>(lParam));
      return 0;
    case kGuiBalloon:
      ShowTrayBalloon(app, *reinterpret_cast<const std::string*>(lParam), static_cast<BalloonIcon>(wParam));
      return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

void EnsureGuiWindow(AppState& app) {
  if (Shared().gui) return;
  WNDCLASSA type{};
  type.lpfnWndProc = GuiProcedure;
  type.hInstance = app.instance;
  type.lpszClassName = "VelmarookLaunchGui";
  RegisterClassA(&type);
  Shared().gui = CreateWindowExA(0, type.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, app.instance, nullptr);
}

}  // namespace

void RequestLaunch(AppState& app, int row, const std::string& chosenConfig, int bootDisk, bool force) {
  if (row < 1 || row > app.mainDb.RowCount()) return;
  if (app.demoMode && !force) return;
  EnsureGuiWindow(app);
  auto launch = std::make_unique<Launch>();
  launch->app = &app;
  LaunchRequest& request = launch->request;
  request.baseFolder = app.paths.base;
  request.programFolder = app.paths.programFile.substr(0, app.paths.programFile.find_last_of('\\') + 1);
  request.item = ItemFieldsFromListRow(app.mainDb, row);
  request.diskCount = app.mainDb.CellInt(row, kPosImages);
  request.chosenConfig = chosenConfig;
  request.bootDisk = bootDisk;
  request.bigPicture = app.layoutMode == 1;
  request.demoMode = app.demoMode;
  launch->capture = std::make_unique<LaunchCapture>(app, row, request.demoMode);
  request.bootTime = NowLocal();
  request.owner = app.mainWindow;
  launch->playTime = app.mainDb.Cell(row, kPosPlayTime);
  launch->stepMode = ReadProfileInt("Debug", "EmuStepBoot", 0, app.paths.settingsFile) == 1;
  if (app.mainDb.Cell(row, kPosAlterEgo) == "1") {
    LibraryConnection db;
    db.Open(app.databasePath, app.regexExtensionPath);
    request.alterEgoFile = AlterEgoPath(db, request.item.fileName, app.mainWindow).value_or("");
  }
  Shared().inProgress.fetch_add(1);
  std::thread([launch = std::move(launch)] { RunLaunch(*launch); }).detach();
}

void LaunchFocusedItem(AppState& app) {
  int row = ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED) + 1;
  if (row < 1) return;
  RequestLaunch(app, row, app.mainDb.Cell(row, kPosEmuset), 0);
}

bool IsLaunchMenuCommand(int id) {
  return (id >= kCmdLaunchWithFirst && id < kCmdLaunchWithFirst + kDynamicRangeSize) ||
         (id >= kCmdLaunchDiskFirst && id < kCmdLaunchDiskFirst + kDynamicRangeSize);
}

void LaunchFromMenu(AppState& app, int id) {
  int row = ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED) + 1;
  if (row < 1) return;
  if (id >= kCmdLaunchDiskFirst) return RequestLaunch(app, row, "", id - kCmdLaunchDiskFirst + 1);
  // The entry by its position among the machine's configurations, as the
  // menu listed them (a name may hold "&", which a menu text changes).
  std::vector<EmulatorMenuEntry> entries =
      EmulatorMenuEntries(app.paths.base, app.mainDb.Cell(row, kPosMachine), app.mainDb.Cell(row, kPosEmuset),
                          app.layoutMode == 1);
  size_t index = static_cast<size_t>(id - kCmdLaunchWithFirst);
  if (index < entries.size()) RequestLaunch(app, row, entries[index].name, 0);
}

void SendExitRequest(AppState& app) {
  std::string request;
  {
    std::lock_guard<std::mutex> lock(Shared().exitLock);
    request = Shared().exitRequest;
    if (request == kTerminateProcessRequest) {
      if (Shared().waitedProcess) TerminateProcess(Shared().waitedProcess, 0);
      return;
    }
  }
  if (request.empty()) return;
  std::unique_ptr<InputHost> host = CreateSystemInputHost();
  RunKeyScript(request, nullptr, *host);
  (void)app;
}

void AbortWindowWait() { Shared().abortWindowWait = true; }

bool WindowWaitAborted() { return Shared().abortWindowWait.load(); }

int RunningEmulators() { return Shared().running.load(); }

bool LaunchInProgress() { return Shared().inProgress.load() > 0 || Shared().running.load() > 0; }
int LaunchesUnderWay() { return Shared().active.load(); }

bool ExitRequestPending() {
  std::lock_guard<std::mutex> lock(Shared().exitLock);
  return !Shared().exitRequest.empty();
}

void CleanUpAfterEndedLaunches(AppState& app) {
  std::lock_guard<std::mutex> lock(Shared().cleanupLock);
  if (Shared().active.load() > 0) return;
  std::string text = CleanupOutcomeText(CleanWithJournals({}, app.paths.base, app.databasePath, app.regexExtensionPath));
  if (!text.empty()) ShowTrayBalloon(app, text, true);
}

}  // namespace vel
