#include "db/selection_batch.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(BindPrimaryKey, QuotesTheKeyInEveryMarker) {
  struct Case {
    std::string sqlTemplate, key, sql;
  } cases[] = {
      {"DELETE FROM use_emuset_table WHERE pfile_ue='__PRIMARY_KEY__';", "C:\\roms\\a.zip",
       "DELETE FROM use_emuset_table WHERE pfile_ue='C:\\roms\\a.zip';"},
      {"DELETE FROM main_table WHERE file_name='__PRIMARY_KEY__' OR ply_file_name='__PRIMARY_KEY__';",
       "it's", "DELETE FROM main_table WHERE file_name='it''s' OR ply_file_name='it''s';"},
      {"__PRIMARY_KEY____PRIMARY_KEY__", "k", "kk"},
      {"SELECT 1;", "unused", "SELECT 1;"},
      {"'__PRIMARY_KEY__'", "", "''"},
      // A key that looks like the marker is not replaced again.
      {"x='__PRIMARY_KEY__' y='__PRIMARY_KEY__'", "__PRIMARY_KEY__",
       "x='__PRIMARY_KEY__' y='__PRIMARY_KEY__'"},
      {"'__PRIMARY_KEY__'", Jp("ソフト'表示"), Jp("'ソフト''表示'")},
      {"__PRIMARY_KEY_", "k", "__PRIMARY_KEY_"},
  };
  for (const Case& c : cases) EXPECT_EQ(BindPrimaryKey(c.sqlTemplate, c.key), c.sql) << c.sqlTemplate;
}

class SelectionBatchTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "lib.db", "");
    ASSERT_FALSE(db.Query("CREATE TABLE t(k TEXT PRIMARY KEY, n INTEGER CHECK(n < 3));"
                          "INSERT INTO t VALUES('a',0),('b''s',0),('c',2);"));
  }
  std::string Values() {
    EXPECT_FALSE(db.Query("SELECT group_concat(k||'='||n, ',') FROM (SELECT * FROM t ORDER BY k);"));
    return db.Cell(1, 0);
  }
  test::TempFolder folder;
  LibraryConnection db;
};

TEST_F(SelectionBatchTest, AllStatementsApplyOnSuccess) {
  EXPECT_FALSE(RunSelectionBatch(db, {"a", "b's"}, "UPDATE t SET n=n+1 WHERE k='__PRIMARY_KEY__';"));
  EXPECT_EQ(Values(), "a=1,b's=1,c=2");
  // No transaction is left open.
  EXPECT_FALSE(db.Query("BEGIN; COMMIT;"));
  EXPECT_FALSE(RunSelectionBatch(db, {}, "UPDATE t SET n=9;"));
  EXPECT_EQ(Values(), "a=1,b's=1,c=2");
}

TEST_F(SelectionBatchTest, FirstFailureRollsEverythingBack) {
  struct Case {
    std::vector<std::string> keys;
    std::string failedSql;
    const char* errorPart;
  } cases[] = {
      // The second key breaks the check; the first key's change is undone.
      {{"a", "c", "b's"}, "UPDATE t SET n=n+1 WHERE k='c';", "CHECK constraint failed"},
      {{"b's", "a", "c"}, "UPDATE t SET n=n+1 WHERE k='c';", "CHECK constraint failed"},
  };
  for (const Case& c : cases) {
    auto failure = RunSelectionBatch(db, c.keys, "UPDATE t SET n=n+1 WHERE k='__PRIMARY_KEY__';");
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->sql, c.failedSql);
    EXPECT_NE(failure->error.find(c.errorPart), std::string::npos) << failure->error;
    EXPECT_EQ(Values(), "a=0,b's=0,c=2");
  }
  // A statement that cannot run at all fails the same way.
  auto failure = RunSelectionBatch(db, {"a", "b's"}, "UPDATE t SET n=1 WHERE k='__PRIMARY_KEY__'; "
                                                     "UPDATE missing SET x=1;");
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->error, "no such table: missing");
  EXPECT_EQ(failure->sql, "UPDATE t SET n=1 WHERE k='a'; UPDATE missing SET x=1;");
  EXPECT_EQ(Values(), "a=0,b's=0,c=2");
  // The connection is usable afterwards, outside any transaction.
  EXPECT_FALSE(db.Query("BEGIN; COMMIT;"));
}

TEST_F(SelectionBatchTest, AnOpenTransactionIsNotJoined) {
  ASSERT_FALSE(db.Query("BEGIN;"));
  auto failure = RunSelectionBatch(db, {"a"}, "UPDATE t SET n=1 WHERE k='__PRIMARY_KEY__';");
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->sql, "BEGIN;");
  EXPECT_EQ(Values(), "a=0,b's=0,c=2");
}

TEST_F(SelectionBatchTest, StatementsPerKeyAndTheFinishShareOneTransaction) {
  auto bump = [](const std::string& key) { return "UPDATE t SET n=n+1 WHERE k='" + Quote(key) + "';"; };
  auto mark = [](LibraryConnection& c) { return c.Query("INSERT INTO t VALUES('done', 1);"); };
  EXPECT_FALSE(RunSelectionStatements(db, {"a", "b's"}, bump, mark));
  EXPECT_EQ(Values(), "a=1,b's=1,c=2,done=1");
  // A failing finish undoes the keys' statements as well.
  auto failure = RunSelectionStatements(db, {"a"}, bump, mark);
  ASSERT_TRUE(failure);
  EXPECT_NE(failure->error.find("UNIQUE constraint failed"), std::string::npos) << failure->error;
  EXPECT_EQ(Values(), "a=1,b's=1,c=2,done=1");
  EXPECT_FALSE(db.Query("BEGIN; COMMIT;"));
}

TEST_F(SelectionBatchTest, AKeyedStatementStoresWhatTheQuotedStatementsWould) {
  ASSERT_FALSE(db.Query("CREATE TABLE s(k TEXT PRIMARY KEY, v TEXT, w TEXT);"));
  const std::string japanese = Jp("ソフト'表示");
  auto quoted = [](const std::string& key, const std::string& v, const std::string& w) {
    return "INSERT INTO s VALUES('" + Quote(key) + "','" + Quote(v) + "','" + Quote(w) + "');";
  };
  struct Case {
    std::vector<std::string> keys;
    std::string v, w;
  } cases[] = {
      {{"a", "b's"}, "plain", ""},
      {{japanese, "__PRIMARY_KEY__"}, "it's '__PRIMARY_KEY__'", japanese},
      {{"c:\\x\\" + japanese}, "?1", "?2"},
  };
  for (const Case& c : cases) {
    ASSERT_FALSE(db.Query("DELETE FROM s;"));
    ASSERT_FALSE(RunKeyedStatement(db, c.keys, {"INSERT INTO s VALUES(?1, ?2, ?3);", {c.v, c.w}, {}}));
    ASSERT_FALSE(db.Query("SELECT k, v, w FROM s ORDER BY rowid;"));
    std::vector<std::string> bound;
    for (int r = 1; r <= db.RowCount(); ++r) bound.push_back(db.Cell(r, 0) + "|" + db.Cell(r, 1) + "|" + db.Cell(r, 2));
    ASSERT_FALSE(db.Query("DELETE FROM s;"));
    for (const std::string& key : c.keys) ASSERT_FALSE(db.Query(quoted(key, c.v, c.w)));
    ASSERT_FALSE(db.Query("SELECT k, v, w FROM s ORDER BY rowid;"));
    std::vector<std::string> written;
    for (int r = 1; r <= db.RowCount(); ++r) written.push_back(db.Cell(r, 0) + "|" + db.Cell(r, 1) + "|" + db.Cell(r, 2));
    EXPECT_EQ(bound, written) << c.v;
    EXPECT_EQ(bound.size(), c.keys.size());
  }
}

TEST_F(SelectionBatchTest, AKeyedStatementFailsAsTheStatementOfItsKey) {
  auto text = [](const std::string& key) { return "UPDATE t SET n=n+1 WHERE k='" + Quote(key) + "';"; };
  auto mark = [](LibraryConnection& c) { return c.Query("INSERT INTO t VALUES('done', 1);"); };
  const KeyedStatement bump{"UPDATE t SET n=n+1 WHERE k=?1;", {}, text};
  struct Case {
    std::vector<std::string> keys;
    KeyedStatement statement;
    std::string failedSql;
    const char* errorPart;
  } cases[] = {
      // The second key breaks the check; the first key's change is undone.
      {{"a", "c", "b's"}, bump, "UPDATE t SET n=n+1 WHERE k='c';", "CHECK constraint failed"},
      // A statement that cannot be parsed fails at the first key.
      {{"b's", "a"}, {"UPDATE missing SET n=1 WHERE k=?1;", {}, text}, "UPDATE t SET n=n+1 WHERE k='b''s';",
       "no such table: missing"},
      // More values than the statement has places.
      {{"a"}, {"UPDATE t SET n=1 WHERE k=?1;", {"x"}, text}, "UPDATE t SET n=n+1 WHERE k='a';", "out of range"},
  };
  for (const Case& c : cases) {
    auto failure = RunKeyedStatement(db, c.keys, c.statement);
    ASSERT_TRUE(failure) << c.failedSql;
    EXPECT_EQ(failure->sql, c.failedSql);
    EXPECT_NE(failure->error.find(c.errorPart), std::string::npos) << failure->error;
    EXPECT_EQ(Values(), "a=0,b's=0,c=2");
    EXPECT_FALSE(db.Query("BEGIN; COMMIT;"));
  }
  // The finish shares the transaction: applied together, or undone together.
  EXPECT_FALSE(RunKeyedStatement(db, {"a", "b's"}, bump, mark));
  EXPECT_EQ(Values(), "a=1,b's=1,c=2,done=1");
  auto failure = RunKeyedStatement(db, {"a"}, bump, mark);
  ASSERT_TRUE(failure);
  EXPECT_NE(failure->error.find("UNIQUE constraint failed"), std::string::npos) << failure->error;
  EXPECT_EQ(Values(), "a=1,b's=1,c=2,done=1");
  EXPECT_FALSE(RunKeyedStatement(db, {}, bump));
  EXPECT_FALSE(db.Query("BEGIN; COMMIT;"));
}

}  // namespace
}  // namespace vel
