// Romaji searches with the real Migemo library and its CP932 dictionary, as
// the Linux set-up installs them, through the same loader as migemo.dll and
// our regular-expression extension. Skipped (with the reason) where the
// shared library or its dictionary is absent.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "db/sql_error_report.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "search/migemo.h"
#include "search/search_items.h"
#include "test_support.h"

#ifndef _WIN32

namespace vel {
namespace {

constexpr const char* kRealMigemoLibrary = "libmigemo.so.1";
constexpr const char* kRealMigemoDictionary = "/usr/share/cmigemo/cp932/migemo-dict";

class RealMigemoTest : public testing::Test {
 protected:
  void SetUp() override {
    if (!FileExists(kRealMigemoDictionary) || !migemo.Load(kRealMigemoLibrary, kRealMigemoDictionary))
      GTEST_SKIP() << "real Migemo (libmigemo1 and cmigemo-common) is not installed; tools/setup.sh installs it";
    ASSERT_TRUE(migemo.IsEnabled()) << "the dictionary did not load";
    SetSqlErrorPresenter([this](const SqlErrorReport& report) { reports.push_back(report); });
    db.Open(folder / "Velmarook.db", VEL_REGEX_EXTENSION);
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(CreateItemView(db));
    const char* titles[][2] = {
        {"k1", "ドラゴンの伝説"}, {"k2", "ﾄﾞﾗｺﾞﾝ ｽﾚｲﾔｰ"},   {"k3", "Doragon Spirit"},
        {"k4", "魔法の国"},       {"k5", "まほうつかい"},     {"k6", "ときめきの放課後"},
        {"k7", "トキメキ学園"},   {"k8", "宇宙戦艦"},         {"k9", "風の谷"},
        {"k10", "川下り"},        {"k11", "海の歌"}};
    for (auto& t : titles) {
      auto error = db.Query(std::string("INSERT INTO main_table(file_name,title) VALUES('") + t[0] +
                            "','" + Jp(t[1]) + "');");
      ASSERT_FALSE(error) << *error;
    }
    env.db = &db;
    env.regexEngine = kRegexFunction;
    env.migemo = &migemo;
  }
  void TearDown() override { SetSqlErrorPresenter(nullptr); }

  std::vector<std::string> Search(const std::string& text, int target) {
    SearchItems(env, state, text, target, kMatchContains, false);
    std::vector<std::string> keys;
    for (int r = 1; r <= db.RowCount(); ++r) keys.push_back(db.Cell(r, kPosFileName));
    std::sort(keys.begin(), keys.end());
    return keys;
  }

  MigemoLibrary migemo;
  test::TempFolder folder;
  LibraryConnection db;
  SearchEnvironment env;
  ListQueryState state;
  std::vector<SqlErrorReport> reports;
};

TEST_F(RealMigemoTest, RomajiFindsJapaneseTitles) {
  using Keys = std::vector<std::string>;
  struct Case {
    const char* text;
    int target;
    Keys keys;
  } cases[] = {
      {"doragon", kTargetTitle, {"k1", "k2", "k3"}},  // katakana, half-width kana and the romaji itself
      {"mahou", kTargetTitle, {"k4", "k5"}},          // the kanji from the dictionary and the hiragana
      {"tokimeki", kTargetFuzzy, {"k6", "k7"}},
      {"kaze", kTargetTitle, {"k9"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Search(c.text, c.target), c.keys) << c.text;
  EXPECT_TRUE(reports.empty()) << (reports.empty() ? "" : reports.front().error);
}

TEST_F(RealMigemoTest, LongAlternationsAreAcceptedByTheExtension) {
  // One syllable gives a pattern of kilobytes: thousands of kanji in classes and groups.
  std::optional<std::string> pattern = migemo.Query("ka");
  ASSERT_TRUE(pattern);
  EXPECT_GT(pattern->size(), 1000u);
  std::vector<std::string> keys = Search("ka", kTargetTitle);
  EXPECT_TRUE(std::find(keys.begin(), keys.end(), "k9") != keys.end()) << "風 is read ka";
  EXPECT_TRUE(std::find(keys.begin(), keys.end(), "k10") != keys.end()) << "川 is read kawa";
  EXPECT_TRUE(std::find(keys.begin(), keys.end(), "k1") == keys.end()) << "nothing in it is read ka";
  EXPECT_TRUE(reports.empty()) << (reports.empty() ? "" : reports.front().error);
}

}  // namespace
}  // namespace vel

#endif
