#include "launch/key_script.h"

#include <algorithm>
#include <climits>
#include <optional>
#include <string_view>
#include <vector>

#include "core/cp932_text.h"
#include "launch/window_search.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {
namespace {

constexpr int kVkAlt = 165;    // right Alt
constexpr int kVkShift = 16;
constexpr int kVkCtrl = 162;   // left Ctrl
constexpr unsigned kReleaseDelayMs = 200;
constexpr std::uint64_t kLoopQuestionAfterMs = 90000;
constexpr std::string_view kArrow = "\x81\xA8";  // "→" in CP932
// A start script sleeps in steps of this length, so that a stop request ends
// even a long wait soon.
constexpr unsigned kWaitStepMs = 500;

// Raised by every stop request; a start script ends when it changes.
std::atomic<unsigned>& StopGeneration() {
  static std::atomic<unsigned> generation{0};
  return generation;
}

struct KeyWord {
  std::string_view name;
  int key;
  enum Kind { kTap, kDown, kUp } kind;
};
constexpr KeyWord kKeyWords[] = {
    {"APPS", 93, KeyWord::kTap},      {"HOME", 36, KeyWord::kTap},
    {"END", 35, KeyWord::kTap},       {"ALT", kVkAlt, KeyWord::kTap},
    {"ALTDOWN", kVkAlt, KeyWord::kDown}, {"ALTUP", kVkAlt, KeyWord::kUp},
    {"SHIFTDOWN", kVkShift, KeyWord::kDown}, {"SHIFTUP", kVkShift, KeyWord::kUp},
    {"TAB", 9, KeyWord::kTap},        {"UP", 38, KeyWord::kTap},
    {"DOWN", 40, KeyWord::kTap},      {"LEFT", 37, KeyWord::kTap},
    {"RIGHT", 39, KeyWord::kTap},     {"CTRLDOWN", kVkCtrl, KeyWord::kDown},
    {"CTRLUP", kVkCtrl, KeyWord::kUp}, {"ENTER", 13, KeyWord::kTap},
    {"SPACE", 32, KeyWord::kTap},     {"ESC", 27, KeyWord::kTap},
};

// Placeholder commands typed out as the item's values.
constexpr std::string_view kValueCommands[] = {"$MACHINE", "$TITLE",   "$MAKER",    "$DEVELOPER", "$CRC32",
                                               "$FILE_BODY", "$PFOLDER", "$VEL_PATH", "$EMU_PATH"};
constexpr std::string_view kValuePrefixes[] = {"$INILOAD(", "$IMAGE", "$PATH", "$BODY",
                                               "$JOY_PLUGED", "$BOOT", "$NOW"};

bool StartsWith(std::string_view text, std::string_view prefix) {
  return text.substr(0, prefix.size()) == prefix;
}

bool IsSingleByte(const std::string& text, size_t position) {
  return CharacterLength(text, position) == 1;
}

// The number at the start of `text` after spaces (sign allowed, anything after
// the digits ignored), kept within the int range; 0 without digits.
long long LeadingNumber(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = std::min<long long>(value * 10 + (text[i] - '0'), 2147483647LL);
  return negative ? -value : value;
}

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string TrimSpaces(const std::string& text) {
  size_t begin = text.find_first_not_of(' ');
  if (begin == std::string::npos) return {};
  size_t end = text.find_last_not_of(' ');
  return text.substr(begin, end - begin + 1);
}

// The text without one closing ">" at its end.
std::string WithoutClosingBracket(std::string text) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < text.size(); i += CharacterLength(text, i)) last = i;
  if (last != std::string::npos && text[last] == '>' && IsSingleByte(text, last)) text.pop_back();
  return text;
}

// Parts of a command between commas, each trimmed of spaces.
std::vector<std::string> SplitAtCommas(const std::string& command) {
  std::vector<std::string> parts = SplitByCharacter(command, ',');
  for (std::string& part : parts) part = TrimSpaces(part);
  return parts;
}

std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
  std::string result;
  size_t position = 0;
  for (size_t found; (found = FindByCharacter(text, from, position)) != std::string::npos;
       position = found + from.size())
    result += text.substr(position, found - position) + to;
  return result + text.substr(position);
}

class Interpreter {
 public:
  Interpreter(const std::string& script, const KeyScriptLaunch* launch, InputHost& host)
      : text_(PrepareKeyScript(script)),
        launch_(launch),
        host_(host),
        keyDelay_(launch ? 50 : 150),
        stopGeneration_(StopGeneration().load()) {}

  ~Interpreter() {
    // Runs on every way out, so that no modifier stays pressed.
    for (int key : {kVkAlt, kVkShift, kVkCtrl}) {
      host_.KeyUp(key);
      host_.Sleep(kReleaseDelayMs);
    }
  }

  void Run() {
    host_.Sleep(100);
    loopTimer_ = host_.TickCount();
    while (position_ < text_.size()) {
      size_t end = position_;
      while (end < text_.size() && !(text_[end] == ';' && IsSingleByte(text_, end)))
        end += CharacterLength(text_, end);
      std::string command = TrimSpaces(ToUpperByCharacter(text_.substr(position_, end - position_)));
      position_ = end + 1;
      if (command.empty()) continue;
      bool blockMarker = command == "<MULTIPLE_DISKS>" || command == "</MULTIPLE_DISKS>";
      if (multiDiskBlock_ && !blockMarker && !(launch_ && launch_->multiDiskItem)) continue;
      if (Stopped() || !Execute(command) || Stopped()) return;
    }
  }

 private:
  // Runs one command; false ends the script.
  bool Execute(const std::string& command) {
    if (command.size() == 1) {
      TapCharacter(command[0]);
      return true;
    }
    if (command[0] == 'F' && command.size() <= 3 && AllDigits(std::string_view(command).substr(1))) {
      long long number = LeadingNumber(std::string_view(command).substr(1));
      if (number >= 1 && number <= 24) Tap(111 + static_cast<int>(number));
      return true;
    }
    if (StartsWith(command, "WAIT")) {
      long long wait = LeadingNumber(std::string_view(command).substr(4));
      if (wait > 0) Wait(static_cast<unsigned>(std::min<long long>(wait, kLongestScriptWaitMs)));
      return true;
    }
    if (StartsWith(command, "WL")) {
      long long delay = LeadingNumber(std::string_view(command).substr(2)) + 50;
      keyDelay_ = static_cast<unsigned>(std::clamp<long long>(delay, 0, kLongestScriptWaitMs));
      return true;
    }
    for (const KeyWord& word : kKeyWords) {
      if (command != word.name) continue;
      if (word.kind != KeyWord::kUp) Down(word.key);
      if (word.kind != KeyWord::kDown) Up(word.key);
      return true;
    }
    // Commands that begin with "<" or "$" are never clicks, even when a
    // window title or file name in them contains the word.
    if (command.find("MOUSE") != std::string::npos && command[0] != '<' && command[0] != '$') {
      Click(command);
      return true;
    }
    if (IsValueCommand(command)) {
      PasteValue(command);
      return true;
    }
    if (command == "<MULTIPLE_DISKS>" || command == "</MULTIPLE_DISKS>") {
      multiDiskBlock_ = command[1] != '/';
      return true;
    }
    if (StartsWith(command, "<GOTO")) return Jump(command);
    if (StartsWith(command, "<IF_APP=") || StartsWith(command, "<IF_APP:")) {
      if (FindNamedWindow(WithoutClosingBracket(command.substr(7)))) return true;
      return SkipTo("</IF_APP>");
    }
    if (StartsWith(command, "<MEM_SCREEN")) {
      std::string rest = WithoutClosingBracket(command.substr(11));
      Memorize(rest.empty() ? 1 : rest[0] == ':' ? LeadingNumber(std::string_view(rest).substr(1)) : 0);
      return true;
    }
    if (StartsWith(command, "<IF_SCREENCHG:")) {
      if (ScreenChanged(WithoutClosingBracket(command.substr(14)))) return true;
      return SkipTo("</IF_SCREENCHG>");
    }
    if (StartsWith(command, "<SET_FOREGROUND=") || StartsWith(command, "<SET_FOREGROUND:")) {
      if (WindowId window = FindNamedWindow(WithoutClosingBracket(command.substr(15))))
        host_.BringToForeground(window);
      return true;
    }
    return true;  // labels, end markers and unknown words
  }

  void TapCharacter(char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9'))
      Tap(c);
    else if (std::string_view("*+,-./").find(c) != std::string_view::npos)
      Tap(c + 64);
    else if (std::string_view("[\\]^").find(c) != std::string_view::npos)
      Tap(c + 128);
    else if (c == ':')
      Tap(186);
  }

  // A stop request reaches only scripts that a launch runs.
  bool Stopped() const { return launch_ && StopGeneration().load() != stopGeneration_; }

  // Sleeps; a start script sleeps in steps and stops sleeping at a stop
  // request (the script then ends after its current command).
  void Wait(unsigned ms) {
    if (!launch_) return host_.Sleep(ms);
    while (ms > kWaitStepMs && !Stopped()) {
      host_.Sleep(kWaitStepMs);
      ms -= kWaitStepMs;
    }
    if (!Stopped()) host_.Sleep(ms);
  }

  void Down(int key) {
    host_.KeyDown(key);
    Wait(keyDelay_);
  }
  void Up(int key) {
    host_.KeyUp(key);
    Wait(keyDelay_);
  }
  void Tap(int key) {
    Down(key);
    Up(key);
  }

  static bool IsValueCommand(const std::string& command) {
    for (std::string_view name : kValueCommands)
      if (command == name) return true;
    for (std::string_view prefix : kValuePrefixes)
      if (StartsWith(command, prefix)) return true;
    return false;
  }

  // Types an item value by pasting it; only a launch knows the values. When
  // the clipboard cannot be set, nothing is pasted (not what it held before).
  void PasteValue(const std::string& command) {
    if (!launch_ || !launch_->expandLaunchValue) return;
    if (!host_.SetClipboardText(launch_->expandLaunchValue(command))) return;
    Wait(keyDelay_);
    Down(kVkCtrl);
    Tap('V');
    Up(kVkCtrl);
  }

  // Moves to the label that the jump names (found with exact case in the
  // script as written); asks whether to go on once a loop has run long.
  bool Jump(const std::string& command) {
    std::string label = ReplaceAll(command, "<GOTO", "<");
    size_t target = FindByCharacter(text_, label);
    if (target == std::string::npos) return false;
    position_ = target;
    if (host_.TickCount() - loopTimer_ <= kLoopQuestionAfterMs) return true;
    int answer = ShowMessage(label + Jp(" 宛て GOTO でループしています。\n継続しますか？"), "Velmarook2",
                             kMbYesNo | kMbIconQuestion | kMbSystemModal);
    if (answer != kIdYes) return false;
    loopTimer_ = host_.TickCount();
    return true;
  }

  // Continues at the next end marker; false (end) when there is none.
  bool SkipTo(const std::string& marker) {
    size_t target = FindByCharacter(text_, marker, position_);
    if (target == std::string::npos) return false;
    position_ = target;
    return true;
  }

  // "=TITLE" names a window by its whole title, ":WORD" by a word of it;
  // anything else is a whole title.
  WindowId FindNamedWindow(const std::string& name) {
    std::vector<TopLevelWindow> windows = host_.TopLevelWindows();
    if (StartsWith(name, ":")) return FindSearchedWindow(windows, MakeWindowSearch(name.substr(1), ""));
    return FindWindowByTitle(windows, StartsWith(name, "=") ? name.substr(1) : name);
  }

  std::optional<ScreenRect> MonitorArea(long long number) {
    std::vector<ScreenRect> monitors = host_.Monitors();
    if (number < 1 || number > static_cast<long long>(monitors.size())) return std::nullopt;
    return monitors[static_cast<size_t>(number - 1)];
  }

  bool Sample(long long monitor, ScreenSample& sample) {
    std::vector<ScreenRect> monitors = host_.Monitors();
    if (monitor < 1 || monitor > static_cast<long long>(monitors.size())) return false;
    if (!host_.SampleScreen(monitors[static_cast<size_t>(monitor - 1)], sample) ||
        sample.pixels.size() != static_cast<size_t>(kSampleSide * kSampleSide))
      return false;
    if (launch_ && launch_->stepMode) host_.ShowSample(sample, monitors.back());
    return true;
  }

  void Memorize(long long monitor) {
    ScreenSample sample;
    if (Sample(monitor, sample)) memorized_ = std::move(sample);
  }

  // "T[%][,M]": true when more than T percent of the sample's pixels differ
  // from the memorized sample. A monitor or threshold out of range, or a
  // screen that cannot be sampled, counts as changed.
  bool ScreenChanged(const std::string& arguments) {
    std::vector<std::string> parts = SplitAtCommas(arguments);
    long long threshold = LeadingNumber(parts[0]);
    long long monitor = parts.size() > 1 ? LeadingNumber(parts[1]) : 1;
    if (threshold < 1 || threshold > 100 || !MonitorArea(monitor)) return true;
    if (!memorized_) Memorize(monitor);
    ScreenSample now;
    if (!memorized_ || !Sample(monitor, now)) return true;
    long long differing = 0;
    for (size_t i = 0; i < now.pixels.size(); ++i) differing += now.pixels[i] != memorized_->pixels[i];
    const long long total = kSampleSide * kSampleSide;
    long long change = (differing * 100 * 2 + total) / (total * 2);  // rounded percentage
    return change > threshold;
  }

  // "MOUSE_L,X,Y[,TARGET]": a click at X, Y (pixels or "%") from the corner of
  // a monitor (a one-character target) or of a window.
  void Click(const std::string& command) {
    std::vector<std::string> parts = SplitAtCommas(command);
    if (parts.size() < 3) return;
    MouseButton button = parts[0] == "MOUSE_L"   ? MouseButton::kLeft
                         : parts[0] == "MOUSE_R" ? MouseButton::kRight
                         : parts[0] == "MOUSE_C" ? MouseButton::kMiddle
                                                 : MouseButton::kNone;
    std::string target = parts.size() > 3 ? parts[3] : "1";
    ScreenRect reference;
    if (CharacterCount(target) == 1) {
      std::optional<ScreenRect> monitor = MonitorArea(AllDigits(target) ? LeadingNumber(target) : 0);
      if (!monitor) return;
      reference = *monitor;
    } else {
      WindowId window = FindNamedWindow(target);
      if (!window) return;
      host_.ShowNormally(window);
      host_.BringToForeground(window);
      if (!host_.WindowRectangle(window, reference)) return;
    }
    int x = ClampToInt(reference.left + Offset(parts[1], reference.Width()));
    int y = ClampToInt(reference.top + Offset(parts[2], reference.Height()));
    host_.MoveCursor(x, y);
    host_.MouseButtonDown(button);
    host_.Sleep(10);
    host_.MoveCursor(x, y);
    host_.MouseButtonUp(button);
  }

  // Pixels, or with "%" a percentage of `extent` rounded down.
  static long long Offset(const std::string& value, int extent) {
    long long number = LeadingNumber(value);
    if (value.find('%') == std::string::npos) return number;
    long long scaled = extent * number;
    return scaled >= 0 ? scaled / 100 : -((-scaled + 99) / 100);
  }

  static int ClampToInt(long long value) {
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
  }

  const std::string text_;
  const KeyScriptLaunch* launch_;
  InputHost& host_;
  unsigned keyDelay_;
  size_t position_ = 0;
  bool multiDiskBlock_ = false;
  std::uint64_t loopTimer_ = 0;
  std::optional<ScreenSample> memorized_;
  unsigned stopGeneration_;
};

}  // namespace

std::string PrepareKeyScript(const std::string& script) {
  std::string source = script + ";";
  std::string text;
  text.reserve(source.size() + 16);
  bool endsWithSeparator = false;
  for (size_t i = 0; i < source.size();) {
    size_t length = CharacterLength(source, i);
    char c = source[i];
    if (length == 2) {
      text.append(source, i, 2);
    } else if (c == '\t') {
      i += 1;
      continue;
    } else if (c == '<' && std::string_view(source).substr(i + 1, kArrow.size()) == kArrow) {
      text += "<GOTO:";
      length += kArrow.size();
    } else {
      text += c == '\r' || c == '\n' ? ';' : c;
    }
    endsWithSeparator = length == 1 && text.back() == ';';
    i += length;
  }
  if (!endsWithSeparator) text += ';';
  size_t start = text.find_first_not_of(';');
  return start == std::string::npos ? std::string() : text.substr(start);
}

void RunKeyScript(const std::string& script, const KeyScriptLaunch* launch, InputHost& host) {
  Interpreter(script, launch, host).Run();
}

void StopRunningStartScripts() { StopGeneration().fetch_add(1); }

}  // namespace vel
