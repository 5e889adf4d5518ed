#include "launch/key_script.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>

#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {

// Records what a script does as short tokens: "d65"/"u65" key down/up,
// "s150" sleep, "clip:TEXT", "move:X,Y", "bdown:L"/"bup:L" mouse buttons,
// "show:ID", "fg:ID", "draw". The clock moves with every sleep and by 1 ms at
// every reading, so that even a loop without waits reaches its question.
class RecordingHost : public InputHost {
 public:
  std::vector<std::string> events;
  std::uint64_t now = 5000;
  std::vector<TopLevelWindow> windows;
  std::map<WindowId, ScreenRect> windowRects;
  std::vector<ScreenRect> monitors{{0, 0, 1920, 1080}, {1920, 0, 3200, 1024}};
  // The samples handed out, one per call; the last one repeats.
  std::vector<ScreenSample> samples;
  size_t samplesTaken = 0;
  bool clipboardWorks = true;

  void KeyDown(int key) override { events.push_back("d" + std::to_string(key)); }
  void KeyUp(int key) override { events.push_back("u" + std::to_string(key)); }
  void Sleep(unsigned ms) override {
    now += ms;
    events.push_back("s" + std::to_string(ms));
  }
  std::uint64_t TickCount() override { return now++; }
  bool SetClipboardText(const std::string& text) override {
    if (!clipboardWorks) return false;
    events.push_back("clip:" + text);
    return true;
  }
  std::vector<TopLevelWindow> TopLevelWindows() override { return windows; }
  void ShowNormally(WindowId window) override { events.push_back("show:" + std::to_string(window)); }
  void BringToForeground(WindowId window) override { events.push_back("fg:" + std::to_string(window)); }
  bool WindowRectangle(WindowId window, ScreenRect& rect) override {
    auto found = windowRects.find(window);
    if (found == windowRects.end()) return false;
    rect = found->second;
    return true;
  }
  std::vector<ScreenRect> Monitors() override { return monitors; }
  bool SampleScreen(const ScreenRect&, ScreenSample& sample) override {
    if (samples.empty()) return false;
    sample = samples[std::min(samplesTaken++, samples.size() - 1)];
    return true;
  }
  void ShowSample(const ScreenSample&, const ScreenRect& monitor) override {
    events.push_back("draw:" + std::to_string(monitor.left));
  }
  void MoveCursor(int x, int y) override {
    events.push_back("move:" + std::to_string(x) + "," + std::to_string(y));
  }
  void MouseButtonDown(MouseButton button) override { events.push_back("bdown:" + Name(button)); }
  void MouseButtonUp(MouseButton button) override { events.push_back("bup:" + Name(button)); }

  std::string Joined() const {
    std::string joined;
    for (const std::string& event : events) joined += (joined.empty() ? "" : " ") + event;
    return joined;
  }

 private:
  static std::string Name(MouseButton button) {
    switch (button) {
      case MouseButton::kLeft: return "L";
      case MouseButton::kRight: return "R";
      case MouseButton::kMiddle: return "C";
      default: return "-";
    }
  }
};

std::string Tap(int key, int delay) {
  std::string d = " s" + std::to_string(delay);
  return "d" + std::to_string(key) + d + " u" + std::to_string(key) + d + " ";
}

// Every run begins with a short pause and ends by letting go of Alt, Shift and Ctrl.
std::string Framed(const std::string& body) { return "s100 " + body + "u165 s200 u16 s200 u162 s200"; }

std::string RunScript(const std::string& script, const KeyScriptLaunch* launch, RecordingHost& host) {
  RunKeyScript(script, launch, host);
  return host.Joined();
}

std::string RunScript(const std::string& script, const KeyScriptLaunch* launch = nullptr) {
  RecordingHost host;
  return RunScript(script, launch, host);
}

// The paste of a value: clipboard, one key delay, Ctrl down, V, Ctrl up.
std::string Paste(const std::string& text, int delay) {
  std::string d = " s" + std::to_string(delay);
  return "clip:" + text + d + " d162" + d + " " + Tap('V', delay) + "u162" + d + " ";
}

TEST(KeyScript, KeysOfAnExitScriptTapWith150Milliseconds) {
  struct Case {
    std::string script, body;
  } cases[] = {
      {"f12", Tap(123, 150)},
      {"F25", ""},
      {"F1;F24;F0;FA;F;F1A", Tap(112, 150) + Tap(135, 150) + Tap('F', 150)},
      {"a;7;z", Tap('A', 150) + Tap('7', 150) + Tap('Z', 150)},
      {"*;+;,;-;.;/", Tap(106, 150) + Tap(107, 150) + Tap(108, 150) + Tap(109, 150) + Tap(110, 150) +
                          Tap(111, 150)},
      {"[;\\;];^;:;!", Tap(219, 150) + Tap(220, 150) + Tap(221, 150) + Tap(222, 150) + Tap(186, 150)},
      {"wait1000;enter", "s1000 " + Tap(13, 150)},
      {"WAIT 20;WAIT-5;WAIT;WAITX", "s20 "},
      {"apps;Home;END;alt;TAB;UP;DOWN;LEFT;RIGHT;SPACE;ESC",
       Tap(93, 150) + Tap(36, 150) + Tap(35, 150) + Tap(165, 150) + Tap(9, 150) + Tap(38, 150) +
           Tap(40, 150) + Tap(37, 150) + Tap(39, 150) + Tap(32, 150) + Tap(27, 150)},
      {"ALTDOWN;SHIFTDOWN;CTRLDOWN", "d165 s150 d16 s150 d162 s150 "},
      {"ALTUP;SHIFTUP;CTRLUP", "u165 s150 u16 s150 u162 s150 "},
      // Separators, line ends, tabs and spaces around commands.
      {"\r\n;;a\r\nb\tc;  d  ;\te\t", Tap('A', 150) + Tap('D', 150) + Tap('E', 150)},
      {"", ""},
      {"ENTERX;PRESS;<:LABEL>;</IF_APP>", ""},
      // WL sets the key delay to its number + 50 for every later key.
      {"WL100;A;wl0;B;WL-80;C", Tap('A', 150) + Tap('B', 50) + "d67 s0 u67 s0 "},
  };
  for (const Case& c : cases) EXPECT_EQ(RunScript(c.script), Framed(c.body)) << c.script;
}

// A wait or key delay that a script cannot mean (a week, 24 days) is cut to
// ten minutes, so that the launch goes on to its end.
TEST(KeyScript, WaitsAndKeyDelaysAreCappedAtTenMinutes) {
  const std::string cap = std::to_string(kLongestScriptWaitMs);
  struct Case {
    std::string script, body;
  } cases[] = {
      {"WAIT 604800000;enter", "s" + cap + " " + Tap(13, 150)},
      {"WAIT99999999999999", "s" + cap + " "},
      {"WAIT600000", "s600000 "},
      {"WL2147483647;A", "d65 s" + cap + " u65 s" + cap + " "},
  };
  for (const Case& c : cases) EXPECT_EQ(RunScript(c.script), Framed(c.body)) << c.script;
  // A start script sleeps as long, in steps.
  KeyScriptLaunch launch;
  RecordingHost host;
  RunScript("WAIT 604800000", &launch, host);
  std::uint64_t slept = 0;
  for (const std::string& event : host.events)
    if (event[0] == 's') slept += std::stoull(event.substr(1));
  EXPECT_EQ(slept, 100u + kLongestScriptWaitMs + 600u);
}

// The tray menu's stop ends a start script within a step of its wait and
// lets no key stay pressed; an exit script is not a launch's and runs on.
TEST(KeyScript, AStopRequestEndsAStartScriptInItsWait) {
  class StoppingHost : public RecordingHost {
   public:
    void Sleep(unsigned ms) override {
      RecordingHost::Sleep(ms);
      if (++sleeps == 3) StopRunningStartScripts();
    }
    int sleeps = 0;
  };
  KeyScriptLaunch launch;
  StoppingHost start;
  EXPECT_EQ(RunScript("CTRLDOWN;WAIT 600000;A", &launch, start),
            "s100 d162 s50 s500 u165 s200 u16 s200 u162 s200");
  StoppingHost exit;
  EXPECT_EQ(RunScript("WAIT 2000;A", nullptr, exit), Framed("s2000 " + Tap('A', 150)));
}

TEST(KeyScript, ALaunchTapsWith50MillisecondsAndPastesValues) {
  std::vector<std::string> asked;
  KeyScriptLaunch launch;
  launch.expandLaunchValue = [&](const std::string& command) {
    asked.push_back(command);
    return command == "$TITLE" ? Jp("ソフト表示\\版") : std::string("value");
  };
  EXPECT_EQ(RunScript("A;$title;ENTER", &launch),
            Framed(Tap('A', 50) + Paste(Jp("ソフト表示\\版"), 50) + Tap(13, 50)));
  EXPECT_EQ(RunScript("WL100;$iniload(c:\\a.ini,s,k);$BOOT_DISK;$NOW_TIME", &launch),
            Framed(Paste("value", 150) + Paste("value", 150) + Paste("value", 150)));
  EXPECT_EQ(asked, (std::vector<std::string>{"$TITLE", "$INILOAD(C:\\A.INI,S,K)", "$BOOT_DISK", "$NOW_TIME"}));

  // An exit request knows no item: the value commands do nothing.
  EXPECT_EQ(RunScript("$TITLE;A"), Framed(Tap('A', 150)));
  // Unknown words of the same look, and a clipboard that cannot be set, paste nothing.
  RecordingHost host;
  host.clipboardWorks = false;
  EXPECT_EQ(RunScript("$TITLE;$UNKNOWN;B", &launch, host), Framed(Tap('B', 50)));
}

TEST(KeyScript, JapaneseTextIsNeverReadAsKeysOrSeparators) {
  // "ソ" and "表" end in 0x5C, the backslash key; "ポ" (0x83 0x7C) in "|".
  KeyScriptLaunch launch;
  launch.expandLaunchValue = [](const std::string& command) { return command; };
  EXPECT_EQ(RunScript(Jp("ソ;表;ポ;\\"), &launch), Framed(Tap(220, 50)));
  // A two-byte character whose trail byte is a small letter stays as written
  // when the command is upper-cased.
  std::string katakana = std::string("\x83") + "a";
  EXPECT_EQ(RunScript("$body" + katakana + Jp("ソ"), &launch),
            Framed(Paste("$BODY" + katakana + Jp("ソ"), 50)));
  EXPECT_EQ(RunScript(Jp("<GOTO:ソ>;A;<:ソ>;B"), &launch), Framed(Tap('B', 50)));
}

TEST(KeyScript, MultiDiskBlocksRunOnlyForMultiDiskItems) {
  const std::string script = "A;<multiple_disks>;B;WAIT5;</MULTIPLE_DISKS>;C";
  KeyScriptLaunch single, multi;
  multi.multiDiskItem = true;
  EXPECT_EQ(RunScript(script), Framed(Tap('A', 150) + Tap('C', 150)));
  EXPECT_EQ(RunScript(script, &single), Framed(Tap('A', 50) + Tap('C', 50)));
  EXPECT_EQ(RunScript(script, &multi), Framed(Tap('A', 50) + Tap('B', 50) + "s5 " + Tap('C', 50)));
}

TEST(KeyScript, JumpsGoToLabelsWrittenInUpperCase) {
  struct Case {
    std::string script, body;
  } cases[] = {
      {"A;<\x81\xA8LOOP>;B;<:LOOP>;C", Tap('A', 150) + Tap('C', 150)},
      {"A;<goto:END>;B;<:END>;C", Tap('A', 150) + Tap('C', 150)},
      // The jump text is upper-cased, the label is searched as written.
      {"<GOTO:loop>;B;<:loop>;C", ""},
      {"A;<GOTO:MISSING>;B", Tap('A', 150)},
      // A jump backwards runs the commands again.
      {"A;<:X>;B;<GOTO:Y>;<:Z>;C;<GOTO:END>;<:Y>;<GOTO:Z>;<:END>", Tap('A', 150) + Tap('B', 150) + Tap('C', 150)},
      // "<GOTO" inside a command is no jump.
      {"X<GOTO:E>;A;<:E>", Tap('A', 150)},
  };
  for (const Case& c : cases) EXPECT_EQ(RunScript(c.script), Framed(c.body)) << c.script;
}

TEST(KeyScript, ALongLoopAsksEvery90SecondsAndNoEndsIt) {
  test::ScriptedAnswers answers({kIdYes, kIdNo});
  RecordingHost host;
  RunScript("ALTDOWN;<:L>;WAIT 9000;<GOTO:L>", nullptr, host);
  ASSERT_EQ(answers.Asked().size(), 2u);
  for (const MessageRequest& request : answers.Asked()) {
    EXPECT_EQ(request.text, "<:L>" + Jp(" 宛て GOTO でループしています。\n継続しますか？"));
    EXPECT_EQ(request.caption, "Velmarook2");
    EXPECT_EQ(request.flags, kMbYesNo | kMbIconQuestion | kMbSystemModal);
  }
  // Asked after the tenth wait (more than 90 s), again ten waits after Yes.
  EXPECT_EQ(std::count(host.events.begin(), host.events.end(), "s9000"), 20);
  // No ended the script, and Alt was let go.
  std::vector<std::string> tail(host.events.end() - 6, host.events.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"u165", "s200", "u16", "s200", "u162", "s200"}));
}

TEST(KeyScript, WindowConditionsSkipToTheirEndMarker) {
  RecordingHost host;
  host.windows = {
      {1, "Velmarook2", true, false, true},
      {2, "Hidden Tool", false, false, false},
      {3, "Notepad - memo.txt", true, false, false},
      {4, "Palette", true, true, false},
  };
  struct Case {
    std::string script, body;
  } cases[] = {
      {"<IF_APP:NOTEPAD>;A;</IF_APP>;B", Tap('A', 150) + Tap('B', 150)},
      {"<IF_APP:WORDPAD>;A;</IF_APP>;B", Tap('B', 150)},
      {"<IF_APP=notepad - memo.txt>;A;</IF_APP>;B", Tap('A', 150) + Tap('B', 150)},
      {"<IF_APP=Notepad>;A;</IF_APP>;B", Tap('B', 150)},
      // The word search leaves out hidden, tool and own windows; the exact title does not.
      {"<IF_APP:HIDDEN>;A;</IF_APP>;<IF_APP:VELMAROOK>;B;</IF_APP>;<IF_APP:PALETTE>;C;</IF_APP>", ""},
      {"<IF_APP=HIDDEN TOOL>;A;</IF_APP>", Tap('A', 150)},
      // Without an end marker the script ends; the first end marker closes the block.
      {"<IF_APP:NONE>;A;B", ""},
      {"<IF_APP:NONE>;<IF_APP:NOTEPAD>;A;</IF_APP>;B;</IF_APP>;C", Tap('B', 150) + Tap('C', 150)},
      {"<IF_APP:>;A;</IF_APP>;<IF_APP=>;B;</IF_APP>", ""},
      // A title containing the word MOUSE is still a condition.
      {"<IF_APP:MOUSEPAD>;A;</IF_APP>", ""},
      {"<SET_FOREGROUND:notepad>;<SET_FOREGROUND=Palette>;<SET_FOREGROUND:NONE>", "fg:3 fg:4 "},
  };
  for (const Case& c : cases) {
    host.events.clear();
    EXPECT_EQ(RunScript(c.script, nullptr, host), Framed(c.body)) << c.script;
  }
}

TEST(KeyScript, MouseClicksAtMonitorOrWindowPositions) {
  RecordingHost host;
  host.windows = {{7, "Emulator Window", true, false, false}};
  host.windowRects[7] = {100, 200, 740, 680};
  auto click = [](int x, int y, const std::string& button) {
    std::string at = "move:" + std::to_string(x) + "," + std::to_string(y);
    return at + " bdown:" + button + " s10 " + at + " bup:" + button + " ";
  };
  struct Case {
    std::string script, body;
  } cases[] = {
      {"MOUSE_L,50%,50%", click(960, 540, "L")},
      {"mouse_r, 10 , 20 , 2", click(1930, 20, "R")},
      {"MOUSE_C,33%,99%,2", click(1920 + 422, 1013, "C")},
      {"MOUSE_X,5,5", click(5, 5, "-")},
      {"MOUSE_L,1,1,3;MOUSE_L,1,1,0;MOUSE_L,1,1,A;MOUSE_L,1;MOUSE_L", ""},
      // Far-off positions stay within the screen coordinates' range.
      {"MOUSE_L,99999999999,-50%,2", click(2147483647, -512, "L")},
      {"MOUSE_L,-1%,-99999999999%", click(-20, -2147483648LL, "L")},
      {"MOUSE_L,50%,10,=emulator window", "show:7 fg:7 " + click(420, 210, "L")},
      {"MOUSE_L,0,0,:EMULATOR", "show:7 fg:7 " + click(100, 200, "L")},
      {"MOUSE_L,0,0,Emulator Window", "show:7 fg:7 " + click(100, 200, "L")},
      {"MOUSE_L,0,0,:NONE;MOUSE_L,0,0,=EMULATOR;MOUSE_L,0,0,", ""},
  };
  for (const Case& c : cases) {
    host.events.clear();
    EXPECT_EQ(RunScript(c.script, nullptr, host), Framed(c.body)) << c.script;
  }
}

TEST(KeyScript, ScreenChangeComparesWithTheMemorizedSample) {
  auto sample = [](int changed) {
    ScreenSample s;
    s.pixels.assign(kSampleSide * kSampleSide, 0x102030);
    for (int i = 0; i < changed; ++i) s.pixels[i] = 0xFFFFFF;
    return s;
  };
  struct Case {
    std::string script;
    int changedPixels;
    std::string body;
  } cases[] = {
      // 250 of 2500 pixels are 10 %, not more than 10.
      {"<MEM_SCREEN>;<IF_SCREENCHG:10%>;A;</IF_SCREENCHG>;B", 250, Tap('B', 150)},
      // 263 pixels are 10.52 %, rounded 11.
      {"<MEM_SCREEN:1>;<IF_SCREENCHG: 10 %>;A;</IF_SCREENCHG>;B", 263, Tap('A', 150) + Tap('B', 150)},
      {"<MEM_SCREEN:2>;<IF_SCREENCHG:10,2>;A;</IF_SCREENCHG>;B", 263, Tap('A', 150) + Tap('B', 150)},
      // Without a memorized sample the first comparison memorizes one.
      {"<IF_SCREENCHG:1>;A;</IF_SCREENCHG>;B", 2500, Tap('A', 150) + Tap('B', 150)},
      // A monitor or threshold out of range counts as changed.
      {"<IF_SCREENCHG:10,3>;A;</IF_SCREENCHG>", 0, Tap('A', 150)},
      {"<IF_SCREENCHG:0>;A;</IF_SCREENCHG>", 0, Tap('A', 150)},
      {"<IF_SCREENCHG:101>;A;</IF_SCREENCHG>", 0, Tap('A', 150)},
      {"<MEM_SCREEN>;<IF_SCREENCHG:50>;A", 0, ""},
  };
  for (const Case& c : cases) {
    RecordingHost host;
    host.samples = {sample(0), sample(c.changedPixels)};
    EXPECT_EQ(RunScript(c.script, nullptr, host), Framed(c.body)) << c.script;
  }

  // Step mode draws each sample on the last monitor.
  RecordingHost host;
  host.samples = {sample(0)};
  KeyScriptLaunch launch;
  launch.stepMode = true;
  EXPECT_EQ(RunScript("<MEM_SCREEN>;<IF_SCREENCHG:5>;A;</IF_SCREENCHG>", &launch, host),
            Framed("draw:1920 draw:1920 "));
  // A screen that cannot be sampled counts as changed.
  RecordingHost blind;
  EXPECT_EQ(RunScript("<IF_SCREENCHG:5>;A;</IF_SCREENCHG>", nullptr, blind), Framed(Tap('A', 150)));
}

TEST(KeyScript, PreparationKeepsTwoByteCharactersWhole) {
  struct Case {
    std::string script, prepared;
  } cases[] = {
      {"a\r\nb", "a;;b;"},
      {";;\ta\t;", "a;;"},
      {"<\x81\xA8X>", "<GOTO:X>;"},
      {Jp("ソ\r表"), Jp("ソ;表;")},
      // A lone lead byte at the end takes the added separator with it.
      {"a\x81", "a\x81;;"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(PrepareKeyScript(c.script), c.prepared) << c.script;
}

// Scripts made of random pieces, broken ones included, never crash and never
// leave a key pressed.
TEST(KeyScript, BrokenScriptsLeaveNoKeyPressed) {
  const std::vector<std::string> pieces = {
      "A", ";", "\r\n", "<", ">", "<GOTO:", "<\x81\xA8", "<:", "L", "</IF_APP>", "<IF_APP:", "<IF_APP=",
      "<IF_SCREENCHG:", "</IF_SCREENCHG>", "<MEM_SCREEN", ":", ",", "%", "MOUSE_L", "99", "-7", "WAIT",
      "WL", "ALTDOWN", "SHIFTDOWN", "CTRLDOWN", "ALTUP", "$TITLE", "$INILOAD(", "<MULTIPLE_DISKS>",
      "F", "\x81", "\x83\x5C", "\xE0", "\t", " ", "<SET_FOREGROUND:", "=", "\\", "2147483647",
      "-99999999999"};
  std::mt19937 random(20261210);
  KeyScriptLaunch launch;
  launch.expandLaunchValue = [](const std::string& command) { return command; };
  test::ScriptedAnswers answers;  // a loop question ends the script
  for (int round = 0; round < 2000; ++round) {
    std::string script;
    for (int n = random() % 12; n > 0; --n) script += pieces[random() % pieces.size()];
    RecordingHost host;
    host.windows = {{1, "L", true, false, false}};
    host.samples = {ScreenSample{std::vector<std::uint32_t>(kSampleSide * kSampleSide)}};
    RunKeyScript(script, round % 2 ? &launch : nullptr, host);
    std::set<std::string> pressed;
    for (const std::string& event : host.events) {
      if (event[0] == 'd') pressed.insert(event.substr(1));
      if (event[0] == 'u') pressed.erase(event.substr(1));
    }
    EXPECT_TRUE(pressed.empty()) << script;
  }
}

}  // namespace
}  // namespace vel
