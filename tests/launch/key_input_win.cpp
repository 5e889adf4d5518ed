// Key-input scripts through the system's own input: a window of the test, on
// a thread of its own, logs the keys it receives and holds an edit box that
// the script types into.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

#include "launch/key_script.h"
#include "launch/window_search.h"
#include "platform/codepage.h"
#include "platform/synthetic_input.h"

namespace vel {
namespace {

// "ソ" and "表" end in the byte of the backslash.
std::string Title() { return Jp("Velmarook key input test ソ表"); }

struct KeyEvent {
  int key;
  bool up;
  bool operator==(const KeyEvent&) const = default;
};

// The keys seen by a low-level keyboard hook (as injected) and by the edit box
// (as messages), shared with the test thread.
std::mutex gLogLock;
std::vector<KeyEvent> gInjected;
std::vector<KeyEvent> gReceived;
WNDPROC gEditProcedure = nullptr;

LRESULT CALLBACK KeyboardHook(int code, WPARAM message, LPARAM data) {
  if (code == HC_ACTION) {
    const auto* key = reinterpret_cast<const KBDLLHOOKSTRUCT*>(data);
    std::lock_guard<std::mutex> guard(gLogLock);
    gInjected.push_back({static_cast<int>(key->vkCode), message == WM_KEYUP || message == WM_SYSKEYUP});
  }
  return CallNextHookEx(nullptr, code, message, data);
}

LRESULT CALLBACK EditProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN || message == WM_SYSKEYDOWN || message == WM_KEYUP || message == WM_SYSKEYUP) {
    std::lock_guard<std::mutex> guard(gLogLock);
    gReceived.push_back({static_cast<int>(wParam), message == WM_KEYUP || message == WM_SYSKEYUP});
  }
  return CallWindowProcA(gEditProcedure, window, message, wParam, lParam);
}

LRESULT CALLBACK FrameProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  // A lone Alt would open the window menu and take the keys that follow.
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_KEYMENU) return 0;
  if (message == WM_DESTROY) PostQuitMessage(0);
  return DefWindowProcA(window, message, wParam, lParam);
}

// The window lives on its own thread, as another program's window would.
class TestWindow {
 public:
  TestWindow() {
    thread_ = std::thread([this] { Loop(); });
    std::unique_lock<std::mutex> lock(readyLock_);
    readyChanged_.wait(lock, [this] { return ready_; });
  }
  ~TestWindow() {
    if (frame_) PostMessageA(frame_, WM_CLOSE, 0, 0);
    thread_.join();
  }
  HWND Frame() const { return frame_; }
  HWND Edit() const { return edit_; }

  std::wstring Text() const {
    std::wstring text(static_cast<size_t>(GetWindowTextLengthW(edit_)) + 1, L'\0');
    text.resize(static_cast<size_t>(GetWindowTextW(edit_, text.data(), static_cast<int>(text.size()))));
    return text;
  }

  // Makes the window the foreground window with the focus in the edit box.
  bool TakeFocus() {
    for (int attempt = 0; attempt < 100; ++attempt) {
      SendMessageA(frame_, WM_APP, 0, 0);
      if (GetForegroundWindow() == frame_) return true;
      Sleep(20);
    }
    return false;
  }

 private:
  static LRESULT CALLBACK FocusingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) {
      SetForegroundWindow(window);
      SetFocus(GetWindow(window, GW_CHILD));
      return 0;
    }
    return FrameProcedure(window, message, wParam, lParam);
  }

  void Loop() {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = FocusingProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "VelKeyInputTest";
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&windowClass);
    frame_ = CreateWindowExA(0, windowClass.lpszClassName, Title().c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                             100, 100, 500, 300, nullptr, nullptr, windowClass.hInstance, nullptr);
    edit_ = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_WANTRETURN, 0, 0, 480,
                            250, frame_, nullptr, windowClass.hInstance, nullptr);
    gEditProcedure = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(edit_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(EditProcedure)));
    HHOOK hook = SetWindowsHookExA(WH_KEYBOARD_LL, KeyboardHook, GetModuleHandleA(nullptr), 0);
    {
      std::lock_guard<std::mutex> guard(readyLock_);
      ready_ = true;
    }
    readyChanged_.notify_all();
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0) {
      TranslateMessage(&message);
      DispatchMessageA(&message);
    }
    if (hook) UnhookWindowsHookEx(hook);
    UnregisterClassA(windowClass.lpszClassName, windowClass.hInstance);
  }

  std::thread thread_;
  std::mutex readyLock_;
  std::condition_variable readyChanged_;
  bool ready_ = false;
  HWND frame_ = nullptr;
  HWND edit_ = nullptr;
};

// Waits (at most two seconds) until `done` holds for the logs.
bool WaitForLogs(const std::function<bool()>& done) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    {
      std::lock_guard<std::mutex> guard(gLogLock);
      if (done()) return true;
    }
    Sleep(20);
  }
  return false;
}

std::vector<KeyEvent> Ups(const std::vector<KeyEvent>& events) {
  std::vector<KeyEvent> ups;
  std::copy_if(events.begin(), events.end(), std::back_inserter(ups), [](const KeyEvent& e) { return e.up; });
  return ups;
}

// One window serves every test: closing a window under Wine without a window
// manager takes two seconds.
class KeyInput : public testing::Test {
 protected:
  static void SetUpTestSuite() { window_ = new TestWindow; }
  static void TearDownTestSuite() {
    delete window_;
    window_ = nullptr;
  }
  void SetUp() override {
    SetWindowTextA(window_->Edit(), "");
    std::lock_guard<std::mutex> guard(gLogLock);
    gInjected.clear();
    gReceived.clear();
  }
  static TestWindow* window_;
};
TestWindow* KeyInput::window_ = nullptr;

TEST_F(KeyInput, ModifiersHeldDownAreReleasedAtTheEnd) {
  TestWindow& window = *window_;
  ASSERT_TRUE(window.TakeFocus()) << "the test window did not become the foreground window";
  std::unique_ptr<InputHost> host = CreateSystemInputHost();
  RunKeyScript("ALTDOWN;SHIFTDOWN;CTRLDOWN", nullptr, *host);

  const std::vector<KeyEvent> injected = {{165, false}, {16, false}, {162, false},
                                          {165, true},  {16, true},  {162, true}};
  EXPECT_TRUE(WaitForLogs([&] { return gInjected.size() >= injected.size(); }));
  // The window sees the generic Alt (18), Shift (16) and Ctrl (17) keys let go.
  const std::vector<KeyEvent> released = {{18, true}, {16, true}, {17, true}};
  EXPECT_TRUE(WaitForLogs([&] { return Ups(gReceived).size() >= released.size(); }));
  std::lock_guard<std::mutex> guard(gLogLock);
  EXPECT_EQ(gInjected, injected);
  EXPECT_EQ(Ups(gReceived), released);
  for (int key : {VK_RMENU, VK_SHIFT, VK_LCONTROL}) EXPECT_EQ(GetAsyncKeyState(key) & 0x8000, 0) << key;
}

TEST_F(KeyInput, StartScriptTypesPastesTheTitleAndPressesEnter) {
  TestWindow& window = *window_;
  ASSERT_TRUE(window.TakeFocus()) << "the test window did not become the foreground window";
  // "ソ" and "表" end in the byte of the backslash.
  const std::string title = Jp("ドラゴン物語 ソ表\\版");
  std::vector<std::string> expanded;
  KeyScriptLaunch launch;
  launch.expandLaunchValue = [&](const std::string& command) {
    expanded.push_back(command);
    return title;
  };
  std::unique_ptr<InputHost> host = CreateSystemInputHost();
  RunKeyScript("a;$TITLE;ENTER", &launch, *host);

  const std::wstring expected = L"a" + [&] {
    std::wstring wide(title.size() + 1, L'\0');
    wide.resize(static_cast<size_t>(
        MultiByteToWideChar(932, 0, title.data(), static_cast<int>(title.size()), wide.data(),
                            static_cast<int>(wide.size()))));
    return wide;
  }() + L"\r\n";
  for (int attempt = 0; attempt < 100 && window.Text() != expected; ++attempt) Sleep(20);
  EXPECT_EQ(window.Text(), expected);
  EXPECT_EQ(expanded, std::vector<std::string>{"$TITLE"});
  const std::vector<KeyEvent> injected = {{'A', false}, {'A', true},  {162, false}, {'V', false}, {'V', true},
                                          {162, true},  {13, false},  {13, true},   {165, true},  {16, true},
                                          {162, true}};
  EXPECT_TRUE(WaitForLogs([&] { return gInjected.size() >= injected.size(); }));
  std::lock_guard<std::mutex> guard(gLogLock);
  EXPECT_EQ(gInjected, injected);
}

TEST_F(KeyInput, TheSystemHostSeesWindowsMonitorsAndTheScreen) {
  TestWindow& window = *window_;
  std::unique_ptr<InputHost> host = CreateSystemInputHost();

  std::vector<TopLevelWindow> windows = host->TopLevelWindows();
  WindowId found = FindWindowByTitle(windows, Jp("VELMAROOK KEY INPUT TEST ソ表"));
  EXPECT_EQ(found, reinterpret_cast<WindowId>(window.Frame()));
  auto entry = std::find_if(windows.begin(), windows.end(), [&](const TopLevelWindow& w) { return w.id == found; });
  ASSERT_NE(entry, windows.end());
  EXPECT_TRUE(entry->visible);
  EXPECT_TRUE(entry->ownWindow);
  // The program's own windows are never taken for another program's.
  EXPECT_EQ(FindSearchedWindow(windows, MakeWindowSearch("key input test", "")), 0u);

  ScreenRect rect;
  ASSERT_TRUE(host->WindowRectangle(found, rect));
  EXPECT_EQ(rect.Width(), 500);

  std::vector<ScreenRect> monitors = host->Monitors();
  ASSERT_FALSE(monitors.empty());
  EXPECT_GT(monitors[0].Width(), 0);
  ScreenSample sample;
  ASSERT_TRUE(host->SampleScreen(monitors[0], sample));
  EXPECT_EQ(sample.pixels.size(), static_cast<size_t>(kSampleSide * kSampleSide));
  // A sample of the empty edit box is (nearly) all white.
  ASSERT_TRUE(window.TakeFocus());
  RedrawWindow(window.Frame(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  RECT edit;
  ASSERT_TRUE(GetWindowRect(window.Edit(), &edit));
  ASSERT_TRUE(host->SampleScreen({edit.left, edit.top, edit.right, edit.bottom}, sample));
  EXPECT_GT(std::count(sample.pixels.begin(), sample.pixels.end(), 0xFFFFFFu), 2400);

  // A click at the middle of monitor 1 leaves the cursor there.
  RunKeyScript("MOUSE_L,50%,50%", nullptr, *host);
  POINT cursor;
  ASSERT_TRUE(GetCursorPos(&cursor));
  EXPECT_EQ(cursor.x, monitors[0].left + monitors[0].Width() / 2);
  EXPECT_EQ(cursor.y, monitors[0].top + monitors[0].Height() / 2);
}

}  // namespace
}  // namespace vel
