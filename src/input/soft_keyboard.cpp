#include "input/soft_keyboard.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "platform/codepage.h"
#include "platform/profile.h"

namespace vel {
namespace {

constexpr long kMostPixels = 100000;
constexpr size_t kTextLimit = 256;

bool IsLeadByte(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

std::vector<std::string> Fields(const std::string& value) {
  std::vector<std::string> fields;
  std::string field;
  for (char c : value) {
    if (c == ' ' || c == '\t') {
      if (!field.empty()) fields.push_back(field), field.clear();
    } else {
      field += c;
    }
  }
  if (!field.empty()) fields.push_back(field);
  return fields;
}

// Whole pixels: a fraction is cut off, anything unreadable is 0.
int Pixels(const std::string& text) {
  size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  long value = 0;
  size_t digits = 0;
  for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i, ++digits)
    if (value < kMostPixels) value = value * 10 + (text[i] - '0');
  if (digits == 0) return 0;
  if (value > kMostPixels) value = kMostPixels;
  return static_cast<int>(negative ? -value : value);
}

std::string TwoDigits(int n) { return std::string(1, static_cast<char>('0' + n / 10)) + static_cast<char>('0' + n % 10); }

constexpr const char* kAbsent = "?";

}  // namespace

bool ParseSoftKey(const std::string& value, SoftKey& key) {
  std::vector<std::string> fields = Fields(value);
  if (fields.empty() || fields[0] == kAbsent) return false;
  int numbers[4] = {};
  for (size_t i = 0; i < 4; ++i) numbers[i] = i + 1 < fields.size() ? Pixels(fields[i + 1]) : 0;
  key.text = fields[0];
  key.left = numbers[0];
  key.top = numbers[1];
  key.right = numbers[0] + numbers[2];
  key.bottom = numbers[1] + numbers[3];
  return true;
}

std::vector<SoftKey> ReadSoftKeys(const std::string& keyFile) {
  std::vector<SoftKey> keys;
  for (int n = 0; n < 100; ++n) {
    std::string value;
    ReadProfileText("keys", "key" + TwoDigits(n), kAbsent, keyFile, value);
    SoftKey key;
    if (ParseSoftKey(value, key)) keys.push_back(key);
  }
  return keys;
}

SoftKeySets ReadSoftKeySets(const std::string& setFile) {
  SoftKeySets sets;
  for (int s = 0; s < 10; ++s) {
    std::vector<std::string> modes;
    for (int m = 0; m < 10; ++m) {
      std::string name;
      ReadProfileText("set" + std::to_string(s), "mode" + std::to_string(m), kAbsent, setFile, name);
      if (name == kAbsent) break;
      modes.push_back(name);
    }
    if (modes.empty()) break;
    sets.push_back(modes);
  }
  return sets;
}

std::string ReadSoftKeyboardName(const std::string& baseFolder) {
  std::string name;
  ReadProfileText("softkey", "base_set", "default", baseFolder + "\\softkey\\softkey.ini", name);
  return name.empty() ? "default" : name;
}

void StepSoftKeySet(const SoftKeySets& sets, int& set, int& mode) {
  set = sets.empty() ? 0 : (set + 1) % static_cast<int>(sets.size());
  mode = 0;
}

void StepSoftKeyMode(const SoftKeySets& sets, int set, int& mode) {
  if (set < 0 || set >= static_cast<int>(sets.size()) || sets[static_cast<size_t>(set)].empty()) {
    mode = 0;
    return;
  }
  mode = (mode + 1) % static_cast<int>(sets[static_cast<size_t>(set)].size());
}

int NearestSoftKey(const std::vector<SoftKey>& keys, int hovered, SoftKeyDirection direction) {
  SoftKey none;
  const SoftKey& r = hovered >= 0 && hovered < static_cast<int>(keys.size()) ? keys[static_cast<size_t>(hovered)] : none;
  int best = hovered;
  long long bestDistance = 10000;
  for (int i = 0; i < static_cast<int>(keys.size()); ++i) {
    if (i == hovered) continue;
    const SoftKey& k = keys[static_cast<size_t>(i)];
    long long dx = 0, dy = 0;
    bool candidate = false;
    switch (direction) {
      case SoftKeyDirection::kUp:
        candidate = k.top < r.top, dx = k.left - r.left, dy = k.bottom - r.top;
        break;
      case SoftKeyDirection::kDown:
        candidate = k.top > r.top, dx = k.left - r.left, dy = k.top - r.bottom;
        break;
      case SoftKeyDirection::kLeft:
        candidate = k.left < r.left, dx = k.right - r.left, dy = k.top - r.top;
        break;
      case SoftKeyDirection::kRight:
        candidate = k.left > r.left, dx = k.left - r.right, dy = k.top - r.top;
        break;
    }
    if (!candidate) continue;
    long long distance = static_cast<long long>(std::sqrt(static_cast<double>(dx * dx + dy * dy)));
    if (distance < bestDistance) bestDistance = distance, best = i;
  }
  return best;
}

int SoftKeyAt(const std::vector<SoftKey>& keys, int x, int y) {
  for (size_t i = 0; i < keys.size(); ++i)
    if (x >= keys[i].left && x <= keys[i].right && y >= keys[i].top && y <= keys[i].bottom) return static_cast<int>(i);
  return -1;
}

std::string WithoutLastCharacter(const std::string& text) {
  size_t last = 0, i = 0;
  bool any = false;
  while (i < text.size()) {
    last = i;
    any = true;
    i += IsLeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
  }
  return any ? text.substr(0, last) : text;
}

SoftKeyPress PressSoftKey(const std::string& keyText, const std::string& text) {
  SoftKeyPress press;
  press.text = text;
  if (keyText.size() < 3) {
    if (text.size() + keyText.size() < kTextLimit) press.text += keyText, press.textChanged = true;
    return press;
  }
  if (keyText == "BACK") return press.text = WithoutLastCharacter(text), press.textChanged = true, press;
  if (keyText == "SPACE") {
    if (text.size() < kTextLimit - 1) press.text += ' ', press.textChanged = true;
    return press;
  }
  if (keyText == "CLEAR") return press.text.clear(), press.textChanged = true, press;
  if (keyText == "RETURN") press.command = SoftKeyCommand::kReturn;
  if (keyText == "LISTUP") press.command = SoftKeyCommand::kListUp;
  if (keyText == "LISTDN") press.command = SoftKeyCommand::kListDown;
  if (keyText == "CHGSET") press.command = SoftKeyCommand::kNextSet;
  if (keyText == "CHGMOD") press.command = SoftKeyCommand::kNextMode;
  if (keyText.rfind("LISTSEEK:", 0) == 0) press.command = SoftKeyCommand::kListSeek;
  return press;
}

bool ParseListSeek(const std::string& keyText, ListSeekKey& seek) {
  const std::string prefix = "LISTSEEK:";
  if (keyText.rfind(prefix, 0) != 0) return false;
  size_t colon = keyText.find(':', prefix.size());
  if (colon == std::string::npos) return false;
  std::string head = keyText.substr(prefix.size(), colon - prefix.size());
  seek.pattern = keyText.substr(colon + 1);
  // The label may be a double-byte text: "@" is looked for by character.
  size_t at = std::string::npos;
  for (size_t i = 0; i < head.size(); i += IsLeadByte(static_cast<unsigned char>(head[i])) ? 2 : 1)
    if (head[i] == '@') at = i;
  seek.label = at == std::string::npos ? "" : head.substr(0, at);
  seek.column = at == std::string::npos ? head : head.substr(at + 1);
  return true;
}

SoftKeyboardPlace ClampSoftKeyboardOffset(int offsetX, int offsetY, int clientWidth, int clientHeight, int width,
                                          int height) {
  auto clamp = [](int value, int most) {
    if (value > most) value = most;
    return value < 0 ? 0 : value;
  };
  return {clamp(offsetX, clientWidth - width), clamp(offsetY, clientHeight - height)};
}

}  // namespace vel
