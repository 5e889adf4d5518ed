#include "input/pad_settings.h"

#include <cctype>

#include "platform/file_operations.h"
#include "platform/profile.h"
#include "platform/system.h"

namespace vel {
namespace {

constexpr const char* kCommon = "JoyStick";
const char* const kSlotSections[kPadSlotCount] = {"JoyStick0", "JoyStick1"};
const char* const kPairNames[kPadPairCount] = {
    "up",     "down",    "left",   "right",  "up2",    "down2",  "left2",  "right2",
    "pgup",   "pgdown",  "idxup",  "idxdown", "enter", "emumenu", "softkey", "skSet",
    "skMode", "skBack",  "skSrch", "skMove", "focus",  "slow",   "emuexit", "emuexi2"};

// A value absent from the file reads as this text.
constexpr const char* kAbsent = "\x01";

bool ReadNumber(const char* section, const std::string& key, const std::string& file, long long& value) {
  std::string text;
  ReadProfileText(section, key, kAbsent, file, text);
  return text != kAbsent && ParseWholeNumber(text, value);
}

int ReadInt(const char* section, const std::string& key, int defaultValue, long long low, long long high,
            const std::string& file) {
  long long value = 0;
  if (!ReadNumber(section, key, file, value)) return defaultValue;
  if (value < low) value = low;
  if (value > high) value = high;
  return static_cast<int>(value);
}

bool HasKey(const char* section, const std::string& key, const std::string& file) {
  std::string text;
  ReadProfileText(section, key, kAbsent, file, text);
  return text != kAbsent;
}

// A device id: a number from 0 up, anything else means no device.
int ReadDeviceId(const char* section, const std::string& key, const std::string& file) {
  long long value = 0;
  if (!ReadNumber(section, key, file, value) || value < 0 || value >= kMostPadDevices) return -1;
  return static_cast<int>(value);
}

}  // namespace

bool ParseWholeNumber(const std::string& text, long long& value) {
  size_t start = 0, end = text.size();
  while (start < end && (text[start] == ' ' || text[start] == '\t')) ++start;
  while (end > start && (text[end - 1] == ' ' || text[end - 1] == '\t')) --end;
  bool negative = false;
  if (start < end && (text[start] == '-' || text[start] == '+')) negative = text[start++] == '-';
  if (start == end || end - start > 12) return false;
  long long parsed = 0;
  for (size_t i = start; i < end; ++i) {
    if (!std::isdigit(static_cast<unsigned char>(text[i]))) return false;
    parsed = parsed * 10 + (text[i] - '0');
  }
  value = negative ? -parsed : parsed;
  return true;
}

const char* PadPairName(int pair) { return pair >= 0 && pair < kPadPairCount ? kPairNames[pair] : ""; }

PadSettings ReadPadSettings(const std::string& joyFile) {
  PadSettings settings;
  settings.enable = ReadInt(kCommon, "enable", 0, -1, 1, joyFile) == 1;
  settings.repeatMs = ReadInt(kCommon, "repeat", 25, 0, 300, joyFile);
  settings.longPressS = ReadInt(kCommon, "long_press", 2, 0, 10, joyFile);
  settings.flash = ReadInt(kCommon, "flash", 0, -1, 1, joyFile) == 1;
  settings.flashColour = ReadInt(kCommon, "fcolor", 0x80ffff, 0, 0xFFFFFF, joyFile);
  for (int s = 0; s < kPadSlotCount; ++s) {
    PadSlot& slot = settings.slots[static_cast<size_t>(s)];
    const char* section = kSlotSections[s];
    slot.deviceId = ReadDeviceId(section, "sid", joyFile);
    if (s == 0 && !HasKey(section, "sid", joyFile)) slot.deviceId = ReadDeviceId(kCommon, "id", joyFile);
    for (int p = 0; p < kPadPairCount; ++p) {
      long long type = 0, value = 0;
      std::string name = kPairNames[p];
      if (ReadNumber(section, name + "_type", joyFile, type) && ReadNumber(section, name + "_val", joyFile, value))
        slot.pairs[static_cast<size_t>(p)] = ValidPadInput(type, value);
    }
    slot.exitByXInput = ReadInt(section, "emuexit_xinput", 0, -1, 1, joyFile) == 1;
  }
  return settings;
}

bool WritePadSettings(const PadSettings& settings, const std::string& joyFile) {
  if (FileExists(joyFile) && IsReadOnlyFile(joyFile)) return false;
  const std::string copy = joyFile + ".new";
  RemoveFile(copy);
  if (FileExists(joyFile) && !CopyOneFile(joyFile, copy, CopyMode::kOverwrite)) return false;
  bool ok = true;
  auto put = [&](const char* section, const std::string& key, long long value) {
    ok = ok && WriteProfileText(section, key, std::to_string(value), copy);
  };
  // The older place of slot 0's device goes once the slot has its own.
  if (!HasKey(kSlotSections[0], "sid", copy)) ok = ok && DeleteProfileKey(kCommon, "id", copy);
  put(kCommon, "enable", settings.enable ? 1 : 0);
  put(kCommon, "repeat", settings.repeatMs);
  put(kCommon, "long_press", settings.longPressS);
  put(kCommon, "flash", settings.flash ? 1 : 0);
  put(kCommon, "fcolor", settings.flashColour);
  for (int s = 0; s < kPadSlotCount; ++s) {
    const PadSlot& slot = settings.slots[static_cast<size_t>(s)];
    const char* section = kSlotSections[s];
    put(section, "sid", slot.deviceId);
    for (int p = 0; p < kPadPairCount; ++p) {
      const PadInput& input = slot.pairs[static_cast<size_t>(p)];
      put(section, std::string(kPairNames[p]) + "_type", input.type);
      put(section, std::string(kPairNames[p]) + "_val", input.value);
    }
    put(section, "emuexit_xinput", slot.exitByXInput ? 1 : 0);
  }
  if (!ok || !ReplaceWithFile(copy, joyFile)) {
    RemoveFile(copy);
    return false;
  }
  return true;
}

}  // namespace vel

namespace vel {

std::vector<PadDeviceChoice> PadDeviceChoices(const std::vector<int>& connected, int configured) {
  std::vector<PadDeviceChoice> choices{{"Unused", -1}};
  bool present = configured < 0;
  for (int id : connected) {
    choices.push_back({std::to_string(id), id});
    present = present || id == configured;
  }
  if (!present) choices.push_back({std::to_string(configured) + " <!>", configured});
  return choices;
}

}  // namespace vel
