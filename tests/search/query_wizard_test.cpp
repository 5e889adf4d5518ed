// The query wizard's statements, as text and run against a real library.
#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "search/query_wizard.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(QueryWizard, StatementsQuoteTheKeywordAndSortByThePlainColumn) {
  struct Case {
    WizardChoice choice;
    const char* statement;
  } cases[] = {
      {{1, "Tom's", false, 0, false}, "SELECT * FROM list_view WHERE title = 'Tom''s' ORDER BY title;"},
      {{2, "50%", true, 2, true},
       "SELECT * FROM list_view WHERE maker LIKE '%50`%%' ESCAPE '`' ORDER BY machine_name DESC;"},
      {{7, "clear", true, 17, false},
       "SELECT * FROM list_view WHERE file_name IN (SELECT pfile_mm FROM memo_table WHERE memo LIKE '%clear%') "
       "ORDER BY kana;"},
      {{10, "5", false, 3, false}, "SELECT * FROM list_view WHERE rating = '5' ORDER BY rating;"},
  };
  for (const Case& c : cases) EXPECT_EQ(WizardStatement(c.choice), c.statement) << c.choice.keyword;
  EXPECT_STREQ(WizardTargetLabel(3), "バージョン/コメント");
  EXPECT_STREQ(WizardTargetLabel(kWizardTargetCount), "");
}

TEST(QueryWizard, StatementsFindExactlyTheItemsTheyName) {
  test::TempFolder folder;
  LibraryConnection db;
  db.Open(folder / "Velmarook.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  ASSERT_FALSE(CreateItemView(db));
  ASSERT_FALSE(db.Query("CREATE VIEW list_view AS SELECT * FROM all_item_view WHERE ( 1 );"));
  ASSERT_FALSE(db.Query(Jp("INSERT INTO main_table(file_name,title,maker,ply) VALUES"
                           "('a','Tom''s Quest','100% Soft',1),('b','Toms Quest','1000 Soft',1),"
                           "('c','ソフト','表示',1);"
                           "INSERT INTO memo_table(pfile_mm,memo) VALUES('b','the 2nd clear');")));
  auto keys = [&](const WizardChoice& choice) {
    std::string statement = WizardStatement(choice);
    if (auto error = db.Query(statement)) return "error: " + *error;
    std::string found;
    for (int r = 1; r <= db.RowCount(); ++r) found += db.Cell(r, 0) + ";";
    return found;
  };
  EXPECT_EQ(keys({1, "Tom's Quest", false, 0, false}), "a;");
  EXPECT_EQ(keys({1, "'s", true, 0, false}), "a;");
  EXPECT_EQ(keys({2, "0%", true, 0, false}), "a;");  // the % is the text, not a wildcard
  EXPECT_EQ(keys({2, Jp("表"), true, 0, false}), "c;");  // a trail byte 0x5C is no escape
  EXPECT_EQ(keys({7, "clear", true, 0, false}), "b;");
  EXPECT_EQ(keys({1, "Quest", true, 0, true}), "b;a;");
}

}  // namespace
}  // namespace vel
