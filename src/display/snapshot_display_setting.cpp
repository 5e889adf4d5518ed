#include "display/snapshot_display_setting.h"

#include <algorithm>
#include <utility>
#include <charconv>
#include <cmath>

#include "core/cp932_text.h"
#include "platform/codepage.h"

namespace vel {
namespace {

int InRange(int value, int count) { return value >= 0 && value < count ? value : 0; }

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  while (!text.empty() && text.back() == ' ') text.remove_suffix(1);
  return text;
}

// A whole decimal number, nothing before or after it.
bool ReadNumber(std::string_view text, double& value) {
  text = Trimmed(text);
  if (text.empty()) return false;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
  return error == std::errc() && stop == end && std::isfinite(value);
}

// The leading decimal digits of the text as a number; `fallback` when there are none.
long long LeadingDigits(std::string_view text, long long fallback) {
  long long value = 0;
  auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || stop == text.data() || value < 0) return fallback;
  return value;
}

// The value after "@" as printed there: its leading number, 0 when none.
double StoredRatio(std::string_view text) {
  double value = 0;
  auto [stop, error] = std::from_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed);
  return error == std::errc() && stop != text.data() && std::isfinite(value) && value > 0 ? value : 0;
}

std::string PrintedRatio(double value) {
  char text[64];
  auto [end, error] = std::to_chars(text, text + sizeof text, value, std::chars_format::fixed, 6);
  std::string printed = error == std::errc() ? std::string(text, end) : std::string("0");
  return printed.substr(0, 7);
}

}  // namespace

int EncodeTransformCode(const SnapshotTransform& transform) {
  return 4096 + InRange(transform.rotation, kRotationChoices) * 256 +
         InRange(transform.enlarge, kEnlargeChoices) * 16 + InRange(transform.reduce, kReduceChoices);
}

SnapshotTransform DecodeTransformCode(long long code) {
  SnapshotTransform transform;
  if (code < 0) return transform;
  if (code < 999) {
    if (code >= 100) {
      transform.reduce = 1;
      code -= 100;
    }
    if (code >= 50) {
      transform.rotation = 1;
      code -= 50;
    }
    transform.enlarge = InRange(static_cast<int>(code), kEnlargeChoices);
    return transform;
  }
  transform.rotation = InRange(static_cast<int>((code >> 8) & 15), kRotationChoices);
  transform.enlarge = InRange(static_cast<int>((code >> 4) & 15), kEnlargeChoices);
  transform.reduce = InRange(static_cast<int>(code & 15), kReduceChoices);
  return transform;
}

double EvaluateAspectText(const std::string& text, bool* ok) {
  double value = 0;
  bool readable = false;
  size_t colon = FindByCharacter(text, ":"), slash = FindByCharacter(text, "/");
  size_t split = colon != std::string::npos ? colon : slash;
  if (split == std::string::npos) {
    readable = ReadNumber(text, value);
  } else {
    double over = 0, under = 0;
    std::string_view all(text);
    readable = ReadNumber(all.substr(0, split), over) && ReadNumber(all.substr(split + 1), under);
    // "4:3" names width to height, the ratio is height to width; "3/4" is the ratio itself.
    const bool sides = colon != std::string::npos;
    if (sides) std::swap(over, under);
    readable = readable && under != 0 && (!sides || over != 0);  // a side of no length names no shape
    if (readable) value = over / under;
  }
  if (readable && (!std::isfinite(value) || value < 0)) readable = false;
  if (ok) *ok = readable;
  return readable ? value : 0;
}

bool IsStorableAspectText(const std::string& text) {
  if (CharacterCount(text) > kMaxAspectCharacters || FindByCharacter(text, "@") != std::string::npos) return false;
  bool readable = false;
  EvaluateAspectText(text, &readable);
  return readable || Trimmed(text).empty();
}

std::string EncodeSnapshotDisplay(const SnapshotDisplaySetting& setting) {
  switch (setting.form) {
    case SnapshotDisplayForm::kNone: return {};
    case SnapshotDisplayForm::kFixedAspect:
      return "F" + setting.aspectText + "@" + PrintedRatio(EvaluateAspectText(setting.aspectText));
    case SnapshotDisplayForm::kTransform: {
      int ratio = setting.ratio < 0 ? 0 : setting.ratio > kMaxTransformRatio ? kMaxTransformRatio : setting.ratio;
      std::string digits = std::to_string(ratio);
      return "A" + std::string(3 - digits.size(), '0') + digits + std::to_string(EncodeTransformCode(setting.transform));
    }
  }
  return {};
}

SnapshotDisplaySetting DecodeSnapshotDisplay(std::string_view stored) {
  SnapshotDisplaySetting setting;
  if (stored.empty()) return setting;
  std::string text(stored);
  if (text[0] == 'A') {
    setting.form = SnapshotDisplayForm::kTransform;
    std::string_view rest(text);
    rest.remove_prefix(1);
    std::string_view ratio = rest.substr(0, 3);
    setting.ratio = static_cast<int>(std::min<long long>(LeadingDigits(ratio, kDefaultTransformRatio), kMaxTransformRatio));
    std::string_view code = rest.size() > 3 ? rest.substr(3) : std::string_view();
    setting.transform = DecodeTransformCode(LeadingDigits(code, 0));
    return setting;
  }
  setting.form = SnapshotDisplayForm::kFixedAspect;
  size_t start = CharacterLength(text, 0);
  size_t at = FindByCharacter(text, "@", start);
  if (at == std::string::npos) {
    setting.aspectText = text.substr(start);
  } else {
    setting.aspectText = text.substr(start, at - start);
    setting.forcedRatio = StoredRatio(std::string_view(text).substr(at + 1));
  }
  return setting;
}

std::optional<std::string> StoreDisplayInput(const SnapshotDisplayInput& input, std::string& stored) {
  stored.clear();
  if (!input.useOwn) return std::nullopt;
  SnapshotDisplaySetting setting;
  if (!input.transform) {
    if (!IsStorableAspectText(input.aspectText))
      return Jp("強制アスペクト比には8文字以内の数値（例: 0.75 や 3:4）を入力してください。");
    setting.form = SnapshotDisplayForm::kFixedAspect;
    setting.aspectText = input.aspectText;
  } else {
    std::string_view digits = Trimmed(input.ratioText);
    bool allDigits = !digits.empty();
    for (char c : digits) allDigits = allDigits && c >= '0' && c <= '9';
    if (!allDigits) return Jp("割合（％）には0以上の整数を入力してください。");
    while (digits.size() > 1 && digits.front() == '0') digits.remove_prefix(1);
    setting.form = SnapshotDisplayForm::kTransform;
    setting.ratio = digits.size() > 3 ? kMaxTransformRatio : static_cast<int>(LeadingDigits(digits, 0));
    setting.transform = input.choices;
  }
  stored = EncodeSnapshotDisplay(setting);
  return std::nullopt;
}

SnapshotDisplayInput DisplayInputOf(std::string_view stored) {
  SnapshotDisplaySetting setting = DecodeSnapshotDisplay(stored);
  SnapshotDisplayInput input;
  input.useOwn = setting.form != SnapshotDisplayForm::kNone;
  input.transform = setting.form == SnapshotDisplayForm::kTransform;
  input.aspectText = setting.aspectText;
  input.ratioText = std::to_string(setting.ratio);
  input.choices = setting.transform;
  return input;
}

std::string TransformChoiceLabel(const char* prefix, int index) {
  static const char* const kRotation[] = {"領域全体に引き伸ばす", "縦に並んだ２画面を分ける",
                                          "横に並んだ２画面を分ける", "長い辺の向きで分ける"};
  static const char* const kEnlarge[] = {"内側からフィット",
                                         "前半をフィット",
                                         "後半をフィット",
                                         "全体を引き伸ばす",
                                         "前半を引き伸ばす",
                                         "後半を引き伸ばす",
                                         "両方（前半を大きく左上に）",
                                         "両方（後半を大きく右下に）",
                                         "両方（前半を大きく・比率なし）",
                                         "両方（後半を大きく・比率なし）"};
  static const char* const kReduce[] = {"内側からフィット", "全体を引き伸ばす"};
  std::string_view p(prefix);
  if (p == "rt_" && index >= 0 && index < kRotationChoices) return Jp(kRotation[index]);
  if (p == "up_" && index >= 0 && index < kEnlargeChoices) return Jp(kEnlarge[index]);
  if (p == "dn_" && index >= 0 && index < kReduceChoices) return Jp(kReduce[index]);
  return {};
}

}  // namespace vel
