// Completion of record fields from the library's values: when a look-up
// runs, its statement, and what it finds in a real library.
#include "search/field_completion.h"

#include <gtest/gtest.h>

#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "search/migemo.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(FieldCompletion, StepForEachEdit) {
  struct Case {
    size_t previous;
    std::string text;
    CompletionStep step;
  } cases[] = {
      {0, "a", CompletionStep::LookUp},
      {1, "ab", CompletionStep::LookUp},
      {2, "ab", CompletionStep::LookUp},  // the same length (a character replaced)
      {3, "ab", CompletionStep::Close},   // shorter: a deletion
      {2, "", CompletionStep::Close},
      {0, "", CompletionStep::Close},
      {15, std::string(16, 'a'), CompletionStep::LookUp},
      {16, std::string(17, 'a'), CompletionStep::Keep},
  };
  for (const Case& c : cases)
    EXPECT_EQ(NextCompletionStep(c.previous, c.text), c.step) << c.previous << " -> " << c.text;
  EXPECT_FALSE(CompletionWantsMigemo(true, 0, "a"));
  EXPECT_FALSE(CompletionWantsMigemo(false, 0, "ab"));
  EXPECT_FALSE(CompletionWantsMigemo(true, 2, "ab"));
  EXPECT_TRUE(CompletionWantsMigemo(true, 0, "ab"));
}

TEST(FieldCompletion, Statements) {
  CompletionRequest request;
  request.column = "maker";
  request.text = "Let's";
  EXPECT_EQ(CompletionStatement(request),
            "SELECT DISTINCT maker FROM main_table WHERE maker LIKE 'Let''s%' AND ply <= 1 ORDER BY maker LIMIT 40;");
  request.text = "10%";
  EXPECT_EQ(CompletionStatement(request), "SELECT DISTINCT maker FROM main_table WHERE maker LIKE '10`%%' ESCAPE '`' "
                                          "AND ply <= 1 ORDER BY maker LIMIT 40;");
  request.column = "title";
  request.migemoPattern = "(ab|AB)";
  request.regexEngine = kRegexOperator;
  EXPECT_EQ(CompletionStatement(request),
            "SELECT DISTINCT title FROM main_table WHERE title REGEXP '(ab|AB)' AND ply <= 1 ORDER BY title LIMIT 40;");
}

TEST(FieldCompletion, FindsParentValuesByPrefixInOrder) {
  test::TempFolder folder;
  LibraryConnection db;
  db.Open(folder / "Velmarook.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  // "ダ" ends in 0x5F, the LIKE wildcard "_" as a single byte.
  auto inserted = db.Query("INSERT INTO main_table(file_name,title,maker,ply) VALUES"
                        "('1','t','Let''s Soft',0),('2','t','Let''s Go',1),('3','t','Let us',0),"
                        "('4','t','Lets',0),('5','t','Let''s Disk',2),('6','t','\x83\x5F" "X',0),"
                        "('7','t','\x83" "AX',0),('8','t','Let''s Soft',0);");
  ASSERT_FALSE(inserted) << *inserted;
  auto values = [&](const std::string& text) {
    CompletionRequest request;
    request.column = "maker";
    request.text = text;
    std::vector<std::string> found;
    EXPECT_FALSE(db.Query(CompletionStatement(request)));
    for (int r = 1; r <= db.RowCount(); ++r) found.push_back(db.Cell(r, 0));
    return found;
  };
  EXPECT_EQ(values("Let's"), (std::vector<std::string>{"Let's Go", "Let's Soft"})) << "children never offered";
  EXPECT_EQ(values("\x83\x5F"), (std::vector<std::string>{"\x83\x5F" "X"}));
  std::string many;
  for (int i = 0; i < 45; ++i) many += "('m" + std::to_string(i) + "','t','M" + std::to_string(100 + i) + "',0),";
  many.back() = ';';
  ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title,maker,ply) VALUES" + many));
  const std::vector<std::string> limited = values("M");
  ASSERT_EQ(limited.size(), static_cast<size_t>(kCompletionRows));
  EXPECT_EQ(limited.front(), "M100");
  EXPECT_EQ(limited.back(), "M139");
}

// The values held in memory offer, for every prefix, what the statement
// finds: letters in either case, wildcards and quotes as they are, double-byte
// characters whole, children and empty values never, at most 40 in order.
TEST(FieldCompletion, ValuesInMemoryMatchWhatTheStatementFinds) {
  test::TempFolder folder;
  LibraryConnection db;
  db.Open(folder / "Velmarook.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  std::string rows =
      "('1','Let''s Soft',0),('2','let''s go',1),('3','LET US',0),('4','Lets',0),('5','Let''s Disk',2),"
      "('6','\x83\x5F" "X',0),('7','\x83" "AX',0),('8','50% off',0),('9','50 off',0),('10','A_B',0),"
      "('11','AxB',0),('12',NULL,0),('13','',0),('14','\x95\x5C" "\x8E\xA6',0),('15','\x95\x5C" "a',0),"
      "('16','\x95" "a',0),('17','`q',0),('18','Zebra',0),('19','zeta',0),";
  for (int i = 0; i < 45; ++i) rows += "('m" + std::to_string(i) + "','M" + std::to_string(100 + i) + "',0),";
  rows.back() = ';';
  auto inserted = db.Query("INSERT INTO main_table(file_name,maker,ply) VALUES" + rows);
  ASSERT_FALSE(inserted) << *inserted;
  CompletionValues held;
  ASSERT_FALSE(held.Load(db, "maker"));
  ASSERT_TRUE(held.Loaded());
  const std::string texts[] = {"l", "L", "let's", "LET'S", "lets", "Let us", "\x83\x5F", "\x83" "A",
                               "5", "50%", "50_", "A_", "a", "\x95\x5C", "\x95\x5C" "A", "`", "z",
                               "Z", "m", "M1", "M14", "x", "Let's Soft and more"};
  for (const std::string& text : texts) {
    CompletionRequest request;
    request.column = "maker";
    request.text = text;
    std::vector<std::string> found;
    ASSERT_FALSE(LookUpCompletions(db, request, found)) << text;
    EXPECT_EQ(held.Matching(text), found) << text;
  }
  EXPECT_EQ(held.Matching("le"), (std::vector<std::string>{"LET US", "Let's Soft", "Lets", "let's go"}));
  EXPECT_EQ(held.Matching("M").size(), static_cast<size_t>(kCompletionRows));
  // Nothing is offered before the values are read.
  EXPECT_TRUE(CompletionValues().Matching("L").empty());
}

}  // namespace
}  // namespace vel
