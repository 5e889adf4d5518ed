#pragma once
// The saved-query editor's wizard: a statement over the list from one
// column, a keyword, how it matches and a sort.
#include <string>

namespace vel {

inline constexpr int kWizardTargetCount = 11;
// The targets in the order of the editor's "検索対象" list (UTF-8).
const char* WizardTargetLabel(int target);

// The wizard sorts are the first 18 sort columns, in the order of the list's headers.
inline constexpr int kWizardSortCount = 18;

struct WizardChoice {
  int target = 0;        // index of WizardTargetLabel
  std::string keyword;   // CP932, as typed
  bool contains = false;  // "含む" (else "一致")
  int sort = 0;          // sort column index, below kWizardSortCount
  bool descending = false;
};

// "SELECT * FROM list_view WHERE <condition> ORDER BY <column>[ DESC];".
// The keyword is quoted; a "contains" match takes its LIKE wildcards
// literally. The memo target looks the keyword up in the memos.
std::string WizardStatement(const WizardChoice& choice);

}  // namespace vel
