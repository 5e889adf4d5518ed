// Title candidates: the statement for each kind of text, the stems of a
// series, parent images only, and which results are still wanted.
#include "search/candidates.h"

#include <gtest/gtest.h>

#include <set>

#include "db/library_connection.h"
#include "db/schema.h"
#include "search/migemo.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(CandidateStatement, LikeStatementForEachText) {
  struct Case {
    const char* text;
    int lastLimit;
    const char* sql;
  } cases[] = {
      {"ab", 50, "SELECT DISTINCT title FROM main_table WHERE (title LIKE '%ab%') AND ply<=1 LIMIT 50;"},
      {"ab", 0, "SELECT DISTINCT title FROM main_table WHERE (title LIKE '%ab%') AND ply<=1;"},
      {"ab", -3, "SELECT DISTINCT title FROM main_table WHERE (title LIKE '%ab%') AND ply<=1;"},
      {"a'b", 5, "SELECT DISTINCT title FROM main_table WHERE (title LIKE '%a''b%') AND ply<=1 LIMIT 5;"},
      {"10%", 5,
       "SELECT DISTINCT title FROM main_table WHERE (title LIKE '%10`%%' ESCAPE '`') AND ply<=1 LIMIT 5;"},
      {"\x83\x5C", 5, "SELECT DISTINCT title FROM main_table WHERE (title LIKE '%\x83\x5C%') AND ply<=1 LIMIT 5;"},
  };
  for (const Case& c : cases) {
    CandidateRequest request;
    request.text = c.text;
    request.lastLimit = c.lastLimit;
    EXPECT_EQ(CandidateStatement(request), c.sql) << c.text;
  }
}

TEST(CandidateStatement, MigemoStatementQuotesAndEscapesTheKanaText) {
  CandidateRequest request;
  request.text = "a'b.c";
  request.migemoPattern = "(a|b)";
  request.regexEngine = kRegexOperator;
  request.lastLimit = 0;
  EXPECT_EQ(CandidateStatement(request),
            "SELECT DISTINCT title FROM main_table WHERE (kana REGEXP 'A''B\\.C' OR title REGEXP '(a|b)' ) AND "
            "ply<=1;");
}

TEST(CandidateText, LengthAndEscapes) {
  struct Case {
    std::string text;
    bool wanted;
  } lengths[] = {{"a", false}, {"ab", true}, {std::string(99, 'a'), true}, {std::string(100, 'a'), false},
                 {"", false}};
  for (const Case& c : lengths) EXPECT_EQ(CandidateTextWanted(c.text), c.wanted) << c.text.size();
  EXPECT_EQ(EscapeRegexText("a.b*c^d$e\\f|g(h)"), "A\\.B\\*C\\^D\\$E\\\\F\\|G\\(H\\)");
  EXPECT_EQ(EscapeRegexText("\x83\x5C" "x"), "\x83\x5C" "X") << "a trail byte 0x5C is no backslash";
}

class CandidateLookupTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title,ply) VALUES"
                          "('1','Dragon Quest (J)',0),('2','Dragon Quest [b1]',1),('3','Dragon_Quest',0),"
                          "('4','Dragon Slayer',0),('5','Dragon Disk Two',2),('6','Other',0);"));
  }
  std::set<std::string> Candidates(bool stems) {
    CandidateRequest request;
    request.text = "dragon";
    request.titleStems = stems;
    request.lastLimit = 0;
    std::set<std::string> titles;
    EXPECT_FALSE(db.Query(CandidateStatement(request)));
    for (int r = 1; r <= db.RowCount(); ++r) titles.insert(db.Cell(r, 0));
    return titles;
  }
  test::TempFolder folder;
  LibraryConnection db;
};

TEST_F(CandidateLookupTest, StemsCollapseASeriesAndDiskTwoIsNeverOffered) {
  EXPECT_EQ(Candidates(true), (std::set<std::string>{"Dragon"}));
  EXPECT_EQ(Candidates(false),
            (std::set<std::string>{"Dragon Quest (J)", "Dragon Quest [b1]", "Dragon_Quest", "Dragon Slayer"}));
}

TEST(CandidateSequence, OnlyTheNewestLookUpIsDelivered) {
  CandidateSequence sequence;
  uint64_t ab = sequence.Next();
  EXPECT_TRUE(sequence.IsCurrent(ab));
  uint64_t abc = sequence.Next();  // the text became "abc" while "ab" was looked up
  EXPECT_FALSE(sequence.IsCurrent(ab));
  EXPECT_TRUE(sequence.IsCurrent(abc));
}

}  // namespace
}  // namespace vel
