#pragma once
// The snapshot display setting of a machine (`snap_dtm`) or of an item
// (`snap_dtt`) as stored text, read and written in one place for the
// information pane, the master editor and the record editor.
//
//   ""                   no setting of its own: the global settings apply
//   "F" aspect "@" ratio  a fixed display aspect (the aspect as typed, then
//                         its value printed and cut to 7 characters)
//   "A" nnn code          transform mode: the ratio in percent as three
//                         digits, then the transform code in decimal
#include <optional>
#include <string>
#include <string_view>

namespace vel {

// The three choices packed into a transform code: rotation (pairing rule)
// 0-3, the mode at or above the ratio 0-9 and the mode below it 0-1.
struct SnapshotTransform {
  int rotation = 0;
  int enlarge = 0;
  int reduce = 0;
  bool operator==(const SnapshotTransform&) const = default;
};

inline constexpr int kRotationChoices = 4, kEnlargeChoices = 10, kReduceChoices = 2;

// 4096 + rotation x 256 + enlarge x 16 + reduce; a choice outside its range counts as 0.
int EncodeTransformCode(const SnapshotTransform& transform);
// The choices of a stored code. A code below 999 is the older form (100 for
// reduce, 50 for rotation 1, the rest the enlarge mode); anything out of
// range reads as 0.
SnapshotTransform DecodeTransformCode(long long code);

enum class SnapshotDisplayForm { kNone, kFixedAspect, kTransform };

inline constexpr int kDefaultTransformRatio = 150;
inline constexpr int kMaxTransformRatio = 999;
inline constexpr size_t kMaxAspectCharacters = 8;

struct SnapshotDisplaySetting {
  SnapshotDisplayForm form = SnapshotDisplayForm::kNone;
  std::string aspectText;   // fixed: the aspect as typed (CP932)
  double forcedRatio = 0;   // fixed: the number stored after "@" (0 = none)
  int ratio = kDefaultTransformRatio;  // transform: percent, 0-999
  SnapshotTransform transform;
};

// The height-to-width ratio an aspect text names: a decimal number, two of
// them joined by "/" (their quotient), or width and height joined by ":"
// ("4:3" is 0.75); spaces around them are ignored. A text that does not read
// so, or a negative value, gives 0 and sets `ok` false.
double EvaluateAspectText(const std::string& text, bool* ok = nullptr);
// True when the aspect text can be stored and read back as typed: at most 8
// characters, no "@", and empty or readable.
bool IsStorableAspectText(const std::string& text);

// The stored text. Fixed form: the ratio is evaluated from aspectText.
// Transform form: the ratio is capped to 0-999.
std::string EncodeSnapshotDisplay(const SnapshotDisplaySetting& setting);
// Reads any stored text without failing; malformed parts read as their
// defaults (ratio 150, code 0, aspect value 0).
SnapshotDisplaySetting DecodeSnapshotDisplay(std::string_view stored);

// What an editor offers for the setting: no setting of its own, or the
// fixed aspect, or the transform mode with its ratio as typed.
struct SnapshotDisplayInput {
  bool useOwn = false;
  bool transform = false;
  std::string aspectText;
  std::string ratioText;
  SnapshotTransform choices;
};
// The stored text for the input in `stored`; a refusal message (CP932) when
// the aspect or the ratio cannot be stored as typed. A ratio above 999 is 999.
std::optional<std::string> StoreDisplayInput(const SnapshotDisplayInput& input, std::string& stored);
// The input an editor shows for a stored text.
SnapshotDisplayInput DisplayInputOf(std::string_view stored);

// The labels of the transform choices: "rt_0".."rt_3", "up_0".."up_9", "dn_0", "dn_1".
std::string TransformChoiceLabel(const char* prefix, int index);

}  // namespace vel
