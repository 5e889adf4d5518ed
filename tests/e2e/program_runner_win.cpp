#include "e2e/program_runner_win.h"

#include <filesystem>

namespace vel::test {
namespace fs = std::filesystem;

BaseFolder::BaseFolder() {
  static int counter = 0;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  path_ = std::string(temp) + "vel_e2e_" + std::to_string(GetCurrentProcessId()) + "_" +
          std::to_string(counter++);
  fs::remove_all(path_);
  fs::create_directories(path_);
  fs::copy(VEL_DIST_DIR, path_, fs::copy_options::recursive | fs::copy_options::overwrite_existing);
}

BaseFolder::~BaseFolder() {
  std::error_code ec;
  fs::remove_all(path_, ec);
}

RunningProgram::RunningProgram(const std::string& baseFolder, const std::string& options,
                               const std::string& programName) {
  std::string commandLine = "\"" + baseFolder + "\\" + programName + "\" " + options;
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                 baseFolder.c_str(), &startup, &info_);
}

RunningProgram::~RunningProgram() {
  if (info_.hProcess) {
    if (!HasExited()) TerminateProcess(info_.hProcess, 1);
    WaitForSingleObject(info_.hProcess, 10000);
    CloseHandle(info_.hProcess);
    CloseHandle(info_.hThread);
  }
}

std::vector<HWND> WindowsOfProcess(DWORD processId, const char* windowClass) {
  struct Search {
    DWORD processId;
    const char* windowClass;
    std::vector<HWND> found;
  } search{processId, windowClass, {}};
  EnumWindows(
      [](HWND window, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        char name[64] = {};
        GetClassNameA(window, name, sizeof name);
        if (owner == s.processId && std::string(name) == s.windowClass) s.found.push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string WindowCaption(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

HWND RunningProgram::WaitForWindow(const char* windowClass, const std::string& caption,
                                   DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
    for (HWND window : WindowsOfProcess(info_.dwProcessId, windowClass))
      if (IsWindowVisible(window) && WindowCaption(window) == caption) return window;
    if (HasExited()) return nullptr;
    Sleep(100);
  }
  return nullptr;
}

HWND RunningProgram::WaitUntilReady(DWORD timeoutMs) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 100) {
    for (HWND window : WindowsOfProcess(info_.dwProcessId, "NORMAL0")) {
      GUITHREADINFO gui{};
      gui.cbSize = sizeof gui;
      DWORD thread = GetWindowThreadProcessId(window, nullptr);
      if (GetGUIThreadInfo(thread, &gui) && gui.hwndFocus && GetDlgCtrlID(gui.hwndFocus) == 1001)
        return window;
    }
    if (HasExited()) return nullptr;
    Sleep(100);
  }
  return nullptr;
}

bool RunningProgram::Close(DWORD timeoutMs) {
  for (HWND window : WindowsOfProcess(info_.dwProcessId, "NORMAL0"))
    PostMessageA(window, WM_CLOSE, 0, 0);
  return WaitForExit(timeoutMs);
}

bool RunningProgram::WaitForExit(DWORD timeoutMs) {
  return info_.hProcess && WaitForSingleObject(info_.hProcess, timeoutMs) == WAIT_OBJECT_0;
}

bool RunningProgram::HasExited() const {
  return !info_.hProcess || WaitForSingleObject(info_.hProcess, 0) == WAIT_OBJECT_0;
}

DWORD RunningProgram::ExitCode() const {
  DWORD code = STILL_ACTIVE;
  GetExitCodeProcess(info_.hProcess, &code);
  return code;
}

std::string MessageBoxText(HWND box) {
  char text[2048] = {};
  GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
  return text;
}

bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs) {
  const ULONGLONG end = GetTickCount64() + timeoutMs;
  while (GetTickCount64() < end) {
    if (done()) return true;
    Sleep(50);
  }
  return done();
}

HWND FocusedWindowOf(HWND window) {
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info)) return nullptr;
  return info.hwndFocus;
}

void PressButton(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void SearchInBox(HWND main, const std::string& text, int target) {
  constexpr int kSearchTargetId = 2101, kSearchTextId = 2102;
  SendMessageA(FindControl(main, kSearchTargetId), CB_SETCURSEL, static_cast<WPARAM>(target), 0);
  HWND edit = FindControl(main, kSearchTextId);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
}

HWND FindControl(HWND window, int id) {
  struct Search {
    int id;
    HWND found;
  } search{id, nullptr};
  EnumChildWindows(
      window,
      [](HWND child, LPARAM data) -> BOOL {
        auto& s = *reinterpret_cast<Search*>(data);
        if (GetDlgCtrlID(child) != s.id) return TRUE;
        s.found = child;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace vel::test
