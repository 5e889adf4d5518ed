#include "platform/scripted_pad.h"

#include <cctype>
#include <cstdlib>
#include <vector>

#include "platform/input_file.h"
#include "platform/system.h"

namespace vel {
namespace {

// A whole decimal or 0x-hexadecimal number within 0..limit; false otherwise.
bool ParseNumber(const std::string& text, std::uint32_t limit, std::uint32_t& value) {
  if (text.empty()) return false;
  bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
  std::string digits = hex ? text.substr(2) : text;
  if (digits.empty() || digits.size() > 10) return false;
  for (char c : digits)
    if (!(hex ? std::isxdigit(static_cast<unsigned char>(c)) : std::isdigit(static_cast<unsigned char>(c))))
      return false;
  unsigned long long parsed = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
  if (parsed > limit) return false;
  value = static_cast<std::uint32_t>(parsed);
  return true;
}

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  for (char c : line) {
    if (c == ' ' || c == '\t' || c == '\r') {
      if (!word.empty()) words.push_back(word), word.clear();
    } else {
      word += c;
    }
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

void ApplyKey(const std::string& key, std::uint32_t value, ScriptedDevice& device) {
  static const char* const kAxisKeys[kPadAxes] = {"x", "y", "z", "r", "u", "v"};
  for (int axis = 0; axis < kPadAxes; ++axis)
    if (key == kAxisKeys[axis]) device.joystick.axes[axis] = value;
  if (key == "pov") device.joystick.hat = value;
  if (key == "buttons") device.joystick.buttons = value;
  if (key == "xinput") device.hasXInput = true, device.xinput = static_cast<std::uint16_t>(value);
}

// "N:" followed by key=value words; false when the line names no device.
bool ParseLine(const std::string& line, int& id, ScriptedDevice& device) {
  std::vector<std::string> words = Words(line);
  if (words.empty()) return false;
  std::string head = words[0];
  std::string rest;
  size_t colon = head.find(':');
  if (colon == std::string::npos) return false;
  rest = head.substr(colon + 1);
  std::uint32_t number = 0;
  if (!ParseNumber(head.substr(0, colon), kMostPadDevices - 1, number)) return false;
  id = static_cast<int>(number);
  if (!rest.empty()) words[0] = rest; else words.erase(words.begin());
  for (const std::string& word : words) {
    size_t equals = word.find('=');
    if (equals == std::string::npos) continue;
    std::string key = word.substr(0, equals);
    std::uint32_t limit = key == "xinput" ? 0xFFFF : key == "buttons" ? 0xFFFFFFFFu : 65535;
    std::uint32_t value = 0;
    if (ParseNumber(word.substr(equals + 1), limit, value)) ApplyKey(key, value, device);
  }
  return true;
}

}  // namespace

int ScriptedPad::DeviceCount() { return reportedDevices < kMostPadDevices ? reportedDevices : kMostPadDevices; }

bool ScriptedPad::ReadJoystick(int id, JoystickReading& reading) {
  auto found = devices.find(id);
  if (found == devices.end() || id >= DeviceCount()) return false;
  reading = found->second.joystick;
  return true;
}

bool ScriptedPad::ReadXInput(int id, std::uint16_t& buttons) {
  auto found = devices.find(id);
  if (found == devices.end() || !found->second.hasXInput) return false;
  buttons = found->second.xinput;
  return true;
}

void ScriptedPad::LoadText(const std::string& text) {
  devices.clear();
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    int id = 0;
    ScriptedDevice device;
    if (ParseLine(text.substr(start, end - start), id, device)) devices[id] = device;
    start = end + 1;
  }
}

void PadFile::Refresh() {
  std::int64_t size = -1;
  if (!FileSize(path_, size)) size = -1;
  std::int64_t stamp = size < 0 ? -1 : LastWriteStamp(path_);
  if (stamp == stamp_ && size == size_) return;
  stamp_ = stamp;
  size_ = size;
  std::string text;
  InputFile file;
  // A file being replaced may not open for a moment: it is read at the next change.
  if (size > 0 && size < (1 << 20) && file.Open(path_)) {
    text.resize(static_cast<size_t>(file.Size()));
    if (!file.ReadExactly(0, text.data(), text.size())) text.clear(), stamp_ = -1;
  }
  pad_.LoadText(text);
}

int PadFile::DeviceCount() {
  Refresh();
  return pad_.DeviceCount();
}

bool PadFile::ReadJoystick(int id, JoystickReading& reading) {
  Refresh();
  return pad_.ReadJoystick(id, reading);
}

bool PadFile::ReadXInput(int id, std::uint16_t& buttons) {
  Refresh();
  return pad_.ReadXInput(id, buttons);
}

}  // namespace vel
