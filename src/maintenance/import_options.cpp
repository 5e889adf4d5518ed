#include "maintenance/import_options.h"

#include <climits>
#include <cmath>
#include <cstdlib>

#include "core/settings_file.h"
#include "platform/codepage.h"
#include "platform/profile.h"

namespace vel {

std::int32_t NumberFromBox(const std::string& text) {
  double value = std::strtod(text.c_str(), nullptr);
  if (!std::isfinite(value)) return 0;
  value = std::trunc(value);
  if (value >= INT32_MAX) return INT32_MAX;
  if (value <= INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(value);
}

std::optional<std::int32_t> CrcNumberFromBox(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  size_t last = text.find_last_not_of(' ');
  if (first == std::string::npos) return 0;
  std::int64_t value = 0;
  for (size_t i = first; i <= last; ++i) {
    unsigned char c = static_cast<unsigned char>(text[i]);
    if (c < '0' || c > '9') return std::nullopt;
    value = value * 10 + (c - '0');
    if (value > INT32_MAX) return std::nullopt;  // never clamped: it would be another range
  }
  return static_cast<std::int32_t>(value);
}

std::string CrcNumberRefusedText() {
  return Jp("CRCの計算開始位置と長さは 0 から 2147483647 までの数で指定してください。");
}

std::string SearchExtensionLine(const std::string& searchExtensions) {
  if (searchExtensions.empty()) return Jp("指定なし");
  return Jp("(検索拡張子:") + searchExtensions + ")";
}

std::string EmptySearchExtensionText(const std::string& machine) {
  return Jp("機種「") + machine +
         Jp("」には検索する拡張子が設定されていないため、イメージを見分けられません。\n"
            "メニューの[管理]→[機種]で検索拡張子を設定してから取り込んでください。");
}

std::string ImportQuestionText(const std::string& machine, const std::string& path, bool overwrite,
                               bool keepFavourites) {
  std::string text = Jp("【機種】\n") + machine + Jp("\n\n【イメージファイルまたは検索フォルダ】\n") + path;
  if (overwrite && !keepFavourites)
    text += Jp("\n\n※「お気に入りは上書きしない」がオフのため、上書きするイメージのお気に入りは解除されます。");
  return text + Jp("\n\nライブラリに取り込みを開始します。\nよろしいですか？");
}

namespace {
constexpr const char* kSection = "AddImgDir";

struct IntKey {
  const char* key;
  int ImportDialogSettings::*field;
};
constexpr IntKey kIntKeys[] = {
    {"SearchSubDir", &ImportDialogSettings::searchSubDir},
    {"SearchArcImg", &ImportDialogSettings::searchArcImg},
    {"CCheck1", &ImportDialogSettings::cCheck1},
    {"CCheck2", &ImportDialogSettings::cCheck2},
    {"CCheck3", &ImportDialogSettings::cCheck3},
    {"AutoArcGroup", &ImportDialogSettings::autoArcGroup},
    {"AddTitleArc", &ImportDialogSettings::addTitleArc},
    {"AutoDirGroup", &ImportDialogSettings::autoDirGroup},
    {"CalcCRC32", &ImportDialogSettings::calcCrc32},
    {"CalcCRC16", &ImportDialogSettings::calcCrc16},
};
}  // namespace

ImportDialogSettings ReadImportDialogSettings(const std::string& settingsFile) {
  ImportDialogSettings s;
  for (const IntKey& k : kIntKeys) s.*k.field = ReadProfileInt(kSection, k.key, s.*k.field, settingsFile);
  s.countryMarks = ProfileText(kSection, "CountryMarks", s.countryMarks, settingsFile);
  return s;
}

bool WriteImportDialogSettings(const ImportDialogSettings& s, const std::string& settingsFile) {
  std::vector<ProfileEntry> entries;
  for (const IntKey& k : kIntKeys) entries.push_back({kSection, k.key, std::to_string(s.*k.field)});
  entries.push_back({kSection, "CountryMarks", s.countryMarks});
  entries.push_back({"etcSetting", "Country", "", true});
  return WriteSettingsFile(settingsFile, entries);
}

}  // namespace vel
