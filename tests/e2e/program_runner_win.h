#pragma once
// Starts the real program in a base folder and watches its windows.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vel::test {

// A fresh base folder holding the program, its library and resource folder.
class BaseFolder {
 public:
  BaseFolder();
  ~BaseFolder();
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "\\" + name; }

 private:
  std::string path_;
};

class RunningProgram {
 public:
  RunningProgram(const std::string& baseFolder, const std::string& options,
                 const std::string& programName = "Velmarook2.exe");
  ~RunningProgram();
  DWORD ProcessId() const { return info_.dwProcessId; }
  // The main window once the start-up has finished (the item list has the focus).
  HWND WaitUntilReady(DWORD timeoutMs = 60000);
  // A top-level window of this process with the class and caption, or null.
  HWND WaitForWindow(const char* windowClass, const std::string& caption, DWORD timeoutMs = 30000);
  // Closes the main window as a user does and waits for the process to end.
  bool Close(DWORD timeoutMs = 60000);
  bool WaitForExit(DWORD timeoutMs);
  bool HasExited() const;
  DWORD ExitCode() const;

 private:
  PROCESS_INFORMATION info_{};
};

// Polls until the condition holds or the time is up; true when it held. The
// generous default leaves room for a loaded machine: a passing test never waits it out.
bool WaitFor(const std::function<bool()>& done, DWORD timeoutMs = 30000);

// The window with the keyboard focus in the thread of `window` (another process's).
HWND FocusedWindowOf(HWND window);

// The text of a message box (its static text) and a press of one of its buttons.
std::string MessageBoxText(HWND box);
void PressButton(HWND dialog, int id);
// A control of a window or of one of its child windows (pages), by identifier.
HWND FindControl(HWND window, int id);
std::string WindowCaption(HWND window);
// Puts `text` into the main window's search box with search target `target`
// (9: an SQL statement) and presses Enter there.
void SearchInBox(HWND main, const std::string& text, int target);
std::vector<HWND> WindowsOfProcess(DWORD processId, const char* windowClass);

}  // namespace vel::test
