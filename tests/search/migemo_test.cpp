// Migemo: when a condition can be built, how the text and the pattern are
// prepared, and the whole road through the stand-in migemo.dll and our
// regular-expression extension.
#include "search/migemo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "db/sql_error_report.h"
#include "platform/codepage.h"
#include "search/search_items.h"
#include "test_support.h"

namespace vel {
namespace {

class FixedMigemo : public MigemoSource {
 public:
  bool enabled = true;
  bool IsEnabled() override { return enabled; }
  std::optional<std::string> Query(const std::string& text) override { return text; }
};

TEST(MigemoTest, UsabilityInOrderOfPrecedence) {
  FixedMigemo enabled, disabled;
  disabled.enabled = false;
  struct Case {
    MigemoSource* migemo;
    int engine;
    std::string text;
    int usability;
  } cases[] = {
      {nullptr, kRegexFunction, "abc", 4},
      {&disabled, kRegexNone, "a|b", 3},
      {&enabled, kRegexNone, "a|b", 2},
      {&enabled, kRegexFunction, "a|b", 1},
      {&enabled, kRegexOperator, "(ab", 1},
      {&enabled, kRegexFunction, "x]", 1},
      {&enabled, kRegexFunction, "abc", 0},
      // "ポ" and "ー" end in the bytes of "|" and "[": they are no regex characters.
      {&enabled, kRegexFunction, Jp("ポーズ"), 0},
  };
  for (const Case& c : cases)
    EXPECT_EQ(MigemoUsability(c.migemo, c.engine, c.text), c.usability) << AnsiToUtf8(c.text);
}

TEST(MigemoTest, QueryTextMarksWordsWithCapitals) {
  struct Case {
    std::string text, query;
  } cases[] = {
      {"abc def", "abcDef"},
      {"  hoshi   sora ", "hoshiSora"},
      {"ABC def", "ABCdef"},  // the word before already ends in a capital
      {"abc 1x", "abc1x"},
      {Jp("ア def"), Jp("アDef")},  // "ア" ends in the byte of "A": not a capital letter
      {Jp("キャラ"), Jp("キゃラ")},
  };
  for (const Case& c : cases) EXPECT_EQ(PrepareMigemoQuery(c.text), c.query) << AnsiToUtf8(c.text);
}

TEST(MigemoTest, PatternsAreAdaptedToTheEngine) {
  struct Case {
    std::string pattern;
    int classLimit;
    int engine;
    std::string adapted;
  } cases[] = {
      {"(a|b'c)", 0, kRegexFunction, "(a|b''c)"},
      {"([abcd]|x[abcd])", 2, kRegexFunction, "([ab]|x[abcd])"},  // only a class opening a group
      {Jp("([あいう]|x)"), 1, kRegexFunction, Jp("([あう]|x)")},   // its last two-byte member kept
      {"([ab]|x)", 0, kRegexOperator, "(a|b|x)"},
      {"(xy[ab]|z)", 0, kRegexOperator, "(xya|xyb|z)"},
      {Jp("(zポ[ab])"), 0, kRegexOperator, Jp("(zポa|zポb)")},  // a trail byte is no "|"
      {"(a+b", 0, kRegexOperator, "(a\\+b)"},
      {"it's a", 0, kRegexOperator, "it''s a"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AdaptMigemoPattern(c.pattern, c.classLimit, c.engine), c.adapted) << AnsiToUtf8(c.pattern);
  EXPECT_EQ(RegexCondition(kRegexFunction, "title", "p"), "REGEX(title,'p') ");
  EXPECT_EQ(RegexCondition(kRegexOperator, "title", "p"), "title REGEXP 'p' ");
  EXPECT_EQ(RegexCondition(kRegexNone, "title", "p"), "");
}

class MigemoSearchTest : public testing::Test {
 protected:
  void SetUp() override {
    SetSqlErrorPresenter([this](const SqlErrorReport& report) { reports.push_back(report); });
    WriteDictionary();
    db.Open(folder / "Velmarook.db", VEL_REGEX_EXTENSION);
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(CreateItemView(db));
    const char* titles[][2] = {{"k1", "桜の森"}, {"k2", "さくら日和"}, {"k3", "Sakura Wars"},
                               {"k4", "山の歌"}, {"k5", "やまびこ"},  {"k6", "星空の旅"},
                               {"k7", "Broken Arrow"}, {"k8", "川の歌"}};
    for (auto& t : titles) {
      auto error = db.Query(std::string("INSERT INTO main_table(file_name,title) VALUES('") + t[0] +
                            "','" + Jp(t[1]) + "');");
      ASSERT_FALSE(error) << *error;
    }
    env.db = &db;
    env.regexEngine = kRegexFunction;
  }
  void TearDown() override { SetSqlErrorPresenter(nullptr); }
  void WriteDictionary() { test::WriteWholeFile(dictionary, "dictionary"); }
  std::vector<std::string> Search(const std::string& text, int target) {
    SearchItems(env, state, text, target, kMatchContains, false);
    std::vector<std::string> keys;
    for (int r = 1; r <= db.RowCount(); ++r) keys.push_back(db.Cell(r, kPosFileName));
    std::sort(keys.begin(), keys.end());
    return keys;
  }

  test::TempFolder folder;
  test::ScriptedAnswers answers;
  std::string dictionary = folder / "migemo-dict";
  LibraryConnection db;
  SearchEnvironment env;
  ListQueryState state;
  std::vector<SqlErrorReport> reports;
};

TEST_F(MigemoSearchTest, RomajiFindsJapaneseTitlesThroughTheExtension) {
  MigemoLibrary migemo;
  ASSERT_TRUE(migemo.Load(VEL_MIGEMO_STANDIN, dictionary));
  env.migemo = &migemo;
  using Keys = std::vector<std::string>;
  struct Case {
    const char* text;
    int target;
    Keys keys;
  } cases[] = {
      {"sakura", kTargetFuzzy, {"k1", "k2", "k3"}},
      {"sakura", kTargetTitle, {"k1", "k2", "k3"}},
      {"yama", kTargetTitle, {"k4", "k5"}},          // a character class of two-byte members
      {"hoshi sora", kTargetFuzzy, {"k6"}},          // word mode: AND finds nothing, OR with Migemo
      {"broken", kTargetTitle, {"k7"}},              // a rejected pattern: searched again without it
      {"sakura", kTargetFilePath, {}},               // Migemo on file_name only
  };
  for (const Case& c : cases) EXPECT_EQ(Search(c.text, c.target), c.keys) << c.text;
  EXPECT_TRUE(reports.empty());

  env.migemoSearchOn = false;
  EXPECT_EQ(Search("sakura", kTargetTitle), Keys{"k3"});
}

TEST_F(MigemoSearchTest, WithoutMigemoTheSearchRunsWithoutItsCondition) {
  MigemoLibrary missing;
  EXPECT_FALSE(missing.Load(folder / "migemo.dll", dictionary));
  EXPECT_FALSE(missing.Loaded());

  MigemoLibrary noDictionary;
  ASSERT_TRUE(noDictionary.Load(VEL_MIGEMO_STANDIN, folder / "no-such-dict"));
  EXPECT_EQ(MigemoUsability(&noDictionary, kRegexFunction, "sakura"), 3);

  for (MigemoSource* migemo : {static_cast<MigemoSource*>(nullptr), static_cast<MigemoSource*>(&noDictionary)}) {
    env.migemo = migemo;
    EXPECT_EQ(Search("sakura", kTargetFuzzy), std::vector<std::string>{"k3"});
  }
  EXPECT_TRUE(reports.empty());
}

TEST_F(MigemoSearchTest, ExtensionMatchesByCharacter) {
  struct Case {
    std::string sql;
    std::string result;
  } cases[] = {
      {"SELECT REGEX('" + Jp("あい") + "', '^..$');", "1"},
      {"SELECT REGEX('" + Jp("あい") + "', '^.{6}$');", "0"},
      {"SELECT REGEX('" + Jp("い") + "', '^[" + Jp("あ-う") + "]$');", "1"},
      {"SELECT '" + Jp("山の歌") + "' REGEXP '" + Jp("(やま|山)の.$") + "';", "1"},
      {"SELECT REGEX('Sakura Wars', 'sakura');", "1"},
      {"SELECT REGEX('a+b', 'a\\+b');", "1"},
      {"SELECT REGEX(NULL, 'a') IS NULL;", "1"},
      {"SELECT count(*) FROM (SELECT 'x' AS t UNION ALL SELECT 'y') WHERE REGEX(t, '[xy]');", "2"},
  };
  for (const Case& c : cases) {
    auto error = db.Query(c.sql);
    ASSERT_FALSE(error) << *error << " in " << AnsiToUtf8(c.sql);
    EXPECT_EQ(db.Cell(1, 0), c.result) << AnsiToUtf8(c.sql);
  }
  auto error = db.Query("SELECT REGEX('a', '(a|[');");
  ASSERT_TRUE(error);
  EXPECT_NE(error->find("regular expression"), std::string::npos) << *error;
}

}  // namespace
}  // namespace vel
