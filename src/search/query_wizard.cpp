#include "search/query_wizard.h"

#include "db/library_connection.h"
#include "search/search_items.h"
#include "search/sort_model.h"

namespace vel {
namespace {

struct Target {
  const char* label;
  const char* column;
};
constexpr Target kTargets[kWizardTargetCount] = {
    {"機種", "machine_name"}, {"タイトル", "title"},   {"メーカー", "maker"},       {"バージョン/コメント", "version"},
    {"ジャンル", "genre_name"}, {"メディア", "media_name"}, {"クリエイター", "creator"}, {"メモ", "memo"},
    {"国", "country"},        {"発売年月日", "sale_year"}, {"評価", "rating"},
};
constexpr int kMemoTarget = 7;

std::string Matching(const std::string& column, const WizardChoice& choice) {
  return choice.contains ? LikeContains(column, choice.keyword) : column + " = '" + Quote(choice.keyword) + "'";
}

}  // namespace

const char* WizardTargetLabel(int target) {
  return target >= 0 && target < kWizardTargetCount ? kTargets[target].label : "";
}

std::string WizardStatement(const WizardChoice& choice) {
  const int target = choice.target >= 0 && choice.target < kWizardTargetCount ? choice.target : 0;
  std::string condition = target == kMemoTarget
                              ? "file_name IN (SELECT pfile_mm FROM memo_table WHERE " + Matching("memo", choice) + ")"
                              : Matching(kTargets[target].column, choice);
  const int sort = choice.sort >= 0 && choice.sort < kWizardSortCount ? choice.sort : 0;
  return "SELECT * FROM list_view WHERE " + condition + " ORDER BY " + PlainSortColumnName(sort) +
         (choice.descending ? " DESC" : "") + ";";
}

}  // namespace vel
