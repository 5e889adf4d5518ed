#include "db/prepared_statement.h"

#include <gtest/gtest.h>

#include <string>

#include "db/library_connection.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {

class PreparedStatementTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "t.db", "");
    ASSERT_FALSE(db.Query("CREATE TABLE t(k INTEGER PRIMARY KEY, v, w TEXT UNIQUE);"));
  }
  test::TempFolder folder;
  LibraryConnection db;
};

TEST_F(PreparedStatementTest, BoundTextIsStoredAsTheQuotedLiteralWouldBe) {
  // Each value written once bound and once quoted into the SQL text; the two
  // rows must hold the same bytes and the same type.
  const std::string values[] = {
      "", "plain", "Let's", "''", "a\"b,c\r\nd", Jp("表示ソフト"), Jp("能'ソ"),
      std::string("end\x82"),      // a lead byte without its trail byte
      std::string("\x82'x"),       // a lead byte before a quote
      std::string("half\xa0kana"), std::string("\x80\xfd\xff"),
  };
  PreparedStatement insert;
  ASSERT_FALSE(insert.Prepare(db, "INSERT INTO t(k,v) VALUES(?1,?2);"));
  int key = 0;
  for (const std::string& value : values) {
    ASSERT_TRUE(insert.BindInt(1, ++key));
    ASSERT_TRUE(insert.BindText(2, value));
    ASSERT_FALSE(insert.Run()) << insert.Error();
    insert.Reset();
    ASSERT_FALSE(db.Query("INSERT INTO t(k,v) VALUES(" + std::to_string(1000 + key) + ",'" + Quote(value) + "');"));
  }
  ASSERT_FALSE(db.Query("SELECT count(*) FROM t a JOIN t b ON b.k=a.k+1000 "
                        "WHERE a.v IS b.v AND typeof(a.v)=typeof(b.v) AND typeof(a.v)='text';"));
  EXPECT_EQ(db.Cell(1, 0), std::to_string(std::size(values)));
  ASSERT_FALSE(db.Query("SELECT v FROM t WHERE k=6;"));
  EXPECT_EQ(db.Cell(1, 0), Jp("表示ソフト"));
}

TEST_F(PreparedStatementTest, NumbersNullRowsAndReuse) {
  PreparedStatement insert;
  ASSERT_FALSE(insert.Prepare(db, "INSERT INTO t(k,v,w) VALUES(?1,?2,?3);"));
  ASSERT_TRUE(insert.BindInt(1, 1));
  ASSERT_TRUE(insert.BindNull(2));
  ASSERT_TRUE(insert.BindText(3, "one"));
  ASSERT_FALSE(insert.Run());
  insert.Reset();
  // Bound values stay until rebound.
  ASSERT_TRUE(insert.BindInt(1, 2));
  ASSERT_TRUE(insert.BindText(3, "two"));
  ASSERT_FALSE(insert.Run());
  insert.Reset();
  EXPECT_FALSE(insert.BindText(4, "no such parameter"));
  EXPECT_FALSE(insert.BindInt(0, 1));

  PreparedStatement select;
  ASSERT_FALSE(select.Prepare(db, "SELECT k, typeof(v), w FROM t WHERE k>=?1 ORDER BY k;"));
  for (int from : {1, 2}) {
    ASSERT_TRUE(select.BindInt(1, from));
    std::string rows;
    while (select.Step() == StepOutcome::kRow)
      rows += select.ColumnText(0) + ":" + select.ColumnText(1) + ":" + select.ColumnText(2) + ";";
    select.Reset();
    EXPECT_EQ(rows, from == 1 ? "1:null:one;2:null:two;" : "2:null:two;");
  }
}

TEST_F(PreparedStatementTest, FailuresAreReportedWithTheDatabaseText) {
  PreparedStatement bad;
  auto error = bad.Prepare(db, "SELEKT 1;");
  ASSERT_TRUE(error);
  EXPECT_NE(error->find("syntax error"), std::string::npos);
  EXPECT_FALSE(bad.IsPrepared());
  EXPECT_EQ(bad.Step(), StepOutcome::kFailed);
  EXPECT_FALSE(bad.BindText(1, "x"));

  PreparedStatement insert;
  ASSERT_FALSE(insert.Prepare(db, "INSERT INTO t(w) VALUES(?1);"));
  ASSERT_TRUE(insert.BindText(1, "same"));
  ASSERT_FALSE(insert.Run());
  insert.Reset();
  // The second run breaks the UNIQUE constraint; after a reset the statement
  // runs again with a new value.
  auto failed = insert.Run();
  ASSERT_TRUE(failed);
  EXPECT_NE(failed->find("UNIQUE"), std::string::npos);
  EXPECT_EQ(insert.Error(), *failed);
  insert.Reset();
  ASSERT_TRUE(insert.BindText(1, "other"));
  EXPECT_FALSE(insert.Run());
  insert.Reset();
  ASSERT_FALSE(db.Query("SELECT count(*) FROM t;"));
  EXPECT_EQ(db.Cell(1, 0), "2");

  LibraryConnection closed;
  PreparedStatement none;
  EXPECT_TRUE(none.Prepare(closed, "SELECT 1;"));
}

}  // namespace
}  // namespace vel
