// The texts searched for: their order, their lists by target, and a round
// trip through the settings file of texts the profile reader would change.
#include "search/search_text_history.h"

#include <gtest/gtest.h>

#include "platform/profile.h"
#include "search/search_items.h"
#include "test_support.h"

namespace vel {
namespace {

using Entries = std::vector<std::string>;

Entries Ten(Entries first) {
  first.resize(kSearchTextEntries);
  return first;
}

TEST(SearchTextHistory, ANewTextGoesFirstAndAnEqualOneLeavesItsPlace) {
  const Entries full = {"e0", "e1", "e2", "e3", "e4", "e5", "e6", "e7", "e8", "e9"};
  struct Case {
    const char* what;
    Entries before;
    std::string text;
    Entries after;
  } cases[] = {
      {"into an empty list", Ten({}), "a", Ten({"a"})},
      {"a new text loses entry 9", full, "n", {"n", "e0", "e1", "e2", "e3", "e4", "e5", "e6", "e7", "e8"}},
      {"an equal entry moves up", full, "e4", {"e4", "e0", "e1", "e2", "e3", "e5", "e6", "e7", "e8", "e9"}},
      {"the newest again", full, "e0", full},
      {"empty entries are never copied", Ten({"a", "", "x", "", "c"}), "x", Ten({"x", "a", "c"})},
      {"a new text over a gap keeps every entry", Ten({"a", "", "c"}), "n", Ten({"n", "a", "c"})},
  };
  for (const Case& c : cases) EXPECT_EQ(PushSearchText(c.before, c.text), c.after) << c.what;
}

TEST(SearchTextHistory, ListsByTargetAndTextsKeptWholeThroughTheFile) {
  test::TempFolder folder;
  const std::string file = folder / "Velmarook2.ini";
  WriteProfileText("Other", "kept", "yes", file);
  EXPECT_EQ(AddSearchText(file, "dragon", kTargetFuzzy), Entries{"dragon"});
  EXPECT_EQ(AddSearchText(file, "SELECT * FROM list_view ;", kTargetSql), Entries{"SELECT * FROM list_view ;"});
  // The title target shares the text list; a genre search keeps none.
  EXPECT_EQ(AddSearchText(file, " quest ", kTargetTitle), (Entries{" quest ", "dragon"}));
  EXPECT_EQ(AddSearchText(file, "RPG", kTargetGenre), std::nullopt);
  // Texts the profile reader would trim or unquote come back as they were.
  EXPECT_EQ(AddSearchText(file, "\"a\" b \"c\"", kTargetFuzzy), (Entries{"\"a\" b \"c\"", " quest ", "dragon"}));
  EXPECT_EQ(AddSearchText(file, "'x'", kTargetFuzzy), (Entries{"'x'", "\"a\" b \"c\"", " quest ", "dragon"}));
  EXPECT_EQ(ReadSearchTexts(file, kTargetMemo), Ten({"'x'", "\"a\" b \"c\"", " quest ", "dragon"}));
  EXPECT_EQ(ReadSearchTexts(file, kTargetSql), Ten({"SELECT * FROM list_view ;"}));
  // A text that could not be read back whole is not recorded.
  EXPECT_EQ(AddSearchText(file, std::string(256, 'x'), kTargetFuzzy), std::nullopt);
  EXPECT_TRUE(AddSearchText(file, std::string(255, 'x'), kTargetFuzzy));
  EXPECT_EQ(ProfileText("SearchHistoryTXT", "0", "", file), std::string(255, 'x'));
  EXPECT_EQ(ProfileText("Other", "kept", "", file), "yes");
}

}  // namespace
}  // namespace vel
