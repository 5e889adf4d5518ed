// The program driven by a virtual pad: the pad-state file named by
// VELMAROOK2_PAD_FILE stands in for the system's controllers.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "e2e/program_runner_win.h"
#include "input/soft_keyboard.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

// Sets the pad file for the programs started while it lives.
class VirtualPad {
 public:
  explicit VirtualPad(const BaseFolder& base) : file_(base.File("pad.txt")), next_(base.File("pad.next")) {
    Hold("x=32767");
    SetEnvironmentVariableA("VELMAROOK2_PAD_FILE", file_.c_str());
  }
  ~VirtualPad() { SetEnvironmentVariableA("VELMAROOK2_PAD_FILE", nullptr); }
  // Device 0 reads `state` from now on (the file is replaced in one step).
  void Hold(const std::string& state) {
    WriteWholeFile(next_, "0: " + state + "\r\n");
    MoveFileExA(next_.c_str(), file_.c_str(), MOVEFILE_REPLACE_EXISTING);
  }

 private:
  std::string file_, next_;
};

void PrepareLibrary(const BaseFolder& base, const std::string& rows) {
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  ASSERT_FALSE(CreateItemView(db));
  ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,machine_name,title,ply,file_title,file_ext,boot_count) VALUES " +
                        rows + "; CREATE VIEW list_view AS SELECT * FROM all_item_view WHERE ( 1 );"));
}

constexpr const char* kJoyFile =
    "[JoyStick]\r\nenable=1\r\nrepeat=25\r\nlong_press=1\r\n"
    "[JoyStick0]\r\nsid=0\r\ndown_type=2\r\ndown_val=65535\r\nenter_type=128\r\nenter_val=1\r\n"
    "emuexit_type=128\r\nemuexit_val=8\r\nemuexi2_type=128\r\nemuexi2_val=128\r\n";

HWND ItemList(HWND main) { return FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr); }

LRESULT FocusedRow(HWND list) { return SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED); }

// The pad's keys go to the control with the keyboard focus: the list, which
// the start-up leaves focused (a click gives it back if anything took it).
bool ListHasTheKeys(HWND main, HWND list) {
  return WaitFor([&] {
    if (FocusedWindowOf(main) == list) return true;
    PostMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(4, 4));
    PostMessageA(list, WM_LBUTTONUP, 0, MAKELPARAM(4, 4));
    SleepMs(200);
    return false;
  });
}

TEST(PadE2E, HoldingDownWalksTheListToItsEndAndLeavesNoKeyHeld) {
  BaseFolder base;
  PrepareLibrary(base, "('a','MSX','A',0,'a','d88',0),('b','MSX','B',0,'b','d88',0),('c','MSX','C',0,'c','d88',0)");
  WriteWholeFile(base.File("Velmarook2_Joy.ini"), kJoyFile);
  VirtualPad pad(base);
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND list = ItemList(main);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; }));
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == main; }));
  ASSERT_TRUE(ListHasTheKeys(main, list)) << FocusedWindowOf(main);
  pad.Hold("y=65535");
  EXPECT_TRUE(WaitFor([&] { return FocusedRow(list) == 2; }))
      << FocusedRow(list) << " focus " << FocusedWindowOf(main) << " list " << list << " front "
      << GetForegroundWindow() << " main " << main;
  SleepMs(500);
  EXPECT_EQ(FocusedRow(list), 2);
  pad.Hold("y=32767");
  SleepMs(200);
  EXPECT_EQ(GetAsyncKeyState(VK_DOWN) & 0x8000, 0);
  EXPECT_TRUE(program.Close());
}

// The stand-in emulator as the machine's default configuration A.ini:
// `emulatorKeys` go into its own settings, `configTail` after the
// configuration's Exec and Option lines.
void InstallStandIn(const BaseFolder& base, const std::string& emulatorKeys, const std::string& configTail = "") {
  CreateFolder(base.File("emu"));
  CreateFolder(base.File("emuconf"));
  CreateFolder(base.File("emuconf\\MSX"));
  ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("emu\\fake_emulator.exe").c_str(), FALSE));
  WriteWholeFile(base.File("emu\\fake_emulator.ini"), "[FakeEmulator]\r\nLog=" + base.File("emu.log") + "\r\n" + emulatorKeys);
  WriteWholeFile(base.File("emuconf\\MSX.ini"), "[DefaultEmulator]\r\nINIFile=A.ini\r\n");
  WriteWholeFile(base.File("emuconf\\MSX\\A.ini"),
                 "[Emulator]\r\nExec=emu\\fake_emulator.exe\r\nOption=$image\r\n" + configTail);
}

TEST(PadE2E, ButtonOneLaunchesAndHeldExitButtonsEndTheEmulatorOnce) {
  BaseFolder base;
  ASSERT_NO_FATAL_FAILURE(InstallStandIn(base, "RunMs=120000\r\n", "[JoyEmuExit]\r\nUseTerminateProcess=1\r\n"));
  const std::string log = base.File("emu.log");
  PrepareLibrary(base, "('C:\\games\\quest.d88','MSX','Quest',0,'quest','d88',4)");
  WriteWholeFile(base.File("Velmarook2_Joy.ini"), kJoyFile);
  VirtualPad pad(base);
  RunningProgram program(base.Path(), "-nosplash -dontshrink");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND list = ItemList(main);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == main; }));
  ASSERT_TRUE(ListHasTheKeys(main, list));

  // Down gives the item the focus, then button 1 presses Enter on it.
  pad.Hold("y=65535");
  ASSERT_TRUE(WaitFor([&] { return FocusedRow(list) == 0; }));
  pad.Hold("x=32767");
  SleepMs(200);
  pad.Hold("buttons=1");
  EXPECT_TRUE(WaitFor([&] { return ReadWholeFile(log).find("command line:") != std::string::npos; }))
      << "the pad's Enter launched nothing; message boxes: " << [&] {
           std::string texts;
           for (HWND box : WindowsOfProcess(program.ProcessId(), "#32770")) texts += MessageBoxText(box) + " | ";
           return texts;
         }();
  pad.Hold("x=32767");
  // Counted runs last more than five seconds.
  SleepMs(6000);
  pad.Hold("buttons=136");
  auto bootCount = [&] {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    return !db.Query("SELECT boot_count FROM main_table;") && db.RowCount() == 1 ? db.Cell(1, 0) : std::string();
  };
  EXPECT_TRUE(WaitFor([&] { return bootCount() == "5"; })) << bootCount();
  pad.Hold("x=32767");
  EXPECT_TRUE(program.Close());
}

// The text of a control of another process (asked of the control itself).
std::string TextOf(HWND window) {
  char text[512] = {};
  SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// A click of the mouse as the system delivers it, at a point of the screen.
void ClickAt(POINT at) {
  SetCursorPos(at.x, at.y);
  mouse_event(MOUSEEVENTF_LEFTDOWN, 0, 0, 0, 0);
  mouse_event(MOUSEEVENTF_LEFTUP, 0, 0, 0, 0);
}

// With an exit key script the held exit buttons send its key to the emulator
// in front once, however long they stay held: the stand-in logs every key it
// gets and ends a few seconds after the first.
TEST(PadE2E, HeldExitButtonsSendTheExitScriptsKeyOnce) {
  BaseFolder base;
  ASSERT_NO_FATAL_FAILURE(InstallStandIn(base,
                                         "RunMs=120000\r\nTopmost=1\r\nX=40\r\nY=40\r\nWidth=200\r\nHeight=150\r\n"
                                         "LogKeys=1\r\nEndOnKey=1\r\nEndAfterKeyMs=4000\r\n"));
  const std::string log = base.File("emu.log");
  WriteWholeFile(base.File("emuconf\\MSX\\A.jed"), "Q\r\n");
  PrepareLibrary(base, "('C:\\games\\quest.d88','MSX','Quest',0,'quest','d88',0)");
  WriteWholeFile(base.File("Velmarook2_Joy.ini"), kJoyFile);
  VirtualPad pad(base);
  RunningProgram program(base.Path(), "-nosplash -dontshrink");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND list = ItemList(main);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
  PostMessageA(list, WM_KEYDOWN, VK_HOME, 0);
  PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(WaitFor([&] { return ReadWholeFile(log).find("command line:") != std::string::npos; }));
  // The stand-in is in front, so that the script's key reaches it.
  HWND emulator = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (emulator = FindWindowA("FakeEmulatorWindow", nullptr)) != nullptr; }));
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == emulator; })) << GetForegroundWindow();

  // Held from now until the stand-in has ended: a second request would land
  // in the stand-in while it still runs.
  pad.Hold("buttons=136");
  EXPECT_TRUE(WaitFor([&] { return ReadWholeFile(log).find("key: ") != std::string::npos; })) << ReadWholeFile(log);
  EXPECT_TRUE(WaitFor([&] { return ReadWholeFile(log).find("ended") != std::string::npos; })) << ReadWholeFile(log);
  pad.Hold("x=32767");
  const std::string content = ReadWholeFile(log);
  size_t first = content.find("key: ");
  EXPECT_NE(first, std::string::npos) << content;
  EXPECT_EQ(content.find("key: ", first + 1), std::string::npos) << content;
  EXPECT_NE(content.find("key: 81\r\n"), std::string::npos) << content;
  EXPECT_TRUE(program.Close());
}

// The pad's keyboard button opens the shipped software keyboard under the
// search box, and a held button does not close it again. Clicks on its keys,
// found where the kana mode's key file places them, type into the search box.
TEST(PadE2E, ThePadOpensTheSoftwareKeyboardUnderTheSearchBox) {
  BaseFolder base;
  WriteWholeFile(base.File("Velmarook2_Joy.ini"),
                 "[JoyStick]\r\nenable=1\r\n[JoyStick0]\r\nsid=0\r\nsoftkey_type=128\r\nsoftkey_val=16\r\n");
  VirtualPad pad(base);
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == main; }));
  pad.Hold("buttons=16");
  HWND keyboard = program.WaitForWindow("NORMALDLG", "SoftKeyDlg", 10000);
  pad.Hold("x=32767");
  ASSERT_TRUE(keyboard);
  HWND edit = FindControl(main, 2102);
  ASSERT_TRUE(edit);
  RECT box{}, placed{};
  GetWindowRect(edit, &box);
  GetWindowRect(keyboard, &placed);
  EXPECT_EQ(placed.top, box.bottom);
  // As large as the shipped kana keys reach (it has no pictures).
  EXPECT_LT(placed.right - placed.left, 480) << placed.left << "," << placed.top << "," << placed.right << "," << placed.bottom;

  const std::vector<SoftKey> keys = ReadSoftKeys(base.File("softkey\\default\\kana.ini"));
  auto centreOf = [&](const std::string& text) {
    for (const SoftKey& key : keys)
      if (key.text == text) return POINT{placed.left + (key.left + key.right) / 2, placed.top + (key.top + key.bottom) / 2};
    ADD_FAILURE() << "no key " << text;
    return POINT{placed.left, placed.top};
  };
  const std::string a = Jp("あ");
  ClickAt(centreOf(a));
  EXPECT_TRUE(WaitFor([&] { return TextOf(edit) == a; })) << TextOf(edit);
  ClickAt(centreOf(a));
  EXPECT_TRUE(WaitFor([&] { return TextOf(edit) == a + a; })) << TextOf(edit);
  // BACK takes off the last character, both of its bytes.
  ClickAt(centreOf("BACK"));
  EXPECT_TRUE(WaitFor([&] { return TextOf(edit) == a; })) << TextOf(edit);
  ClickAt(centreOf("BACK"));
  EXPECT_TRUE(WaitFor([&] { return TextOf(edit).empty(); })) << TextOf(edit);
  // The keyboard takes no activation: the main window stays in front.
  EXPECT_EQ(GetForegroundWindow(), main);
  EXPECT_TRUE(IsWindow(keyboard));

  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
