#include "db/library_connection.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <fstream>
#include <thread>

#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(Quote, DoublesSingleQuotesOnly) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"", ""},
      {"plain", "plain"},
      {"'", "''"},
      {"it's", "it''s"},
      {"''", "''''"},
      {"a'b'c", "a''b''c"},
      {"\"%_\\;", "\"%_\\;"},
      // CP932 characters whose trail byte is 0x5C (the backslash) pass unchanged.
      {Jp("ソフト表示"), Jp("ソフト表示")},
      {Jp("能'ソ"), Jp("能''ソ")},
      // A lead byte without its trail byte never takes the quote after it.
      {"Z\x82' OR 1=1 --", "Z?'' OR 1=1 --"},
      {"end\x82", "end?"},
      {"\x82\x82'", "\x82\x82''"},  // a whole character whose trail byte is itself a lead byte
      {"\x81\x27\x81", "?''?"},
  };
  for (const Case& c : cases) EXPECT_EQ(Quote(c.in), c.out) << c.in;
}

class ConnectionTest : public testing::Test {
 protected:
  void SetUp() override { db.Open(folder / "lib.db", ""); }
  test::TempFolder folder;
  LibraryConnection db;
};

// A value from a file that ends in a broken character deletes no row, and
// the statement's text reaches the library with every character whole.
TEST_F(ConnectionTest, ABrokenCharacterBeforeAQuoteNeverEndsTheLiteral) {
  ASSERT_FALSE(db.Query("CREATE TABLE t(v TEXT); INSERT INTO t VALUES('a'),('b'),('c');"));
  const std::string value = "Z\x82' OR 1=1 --";
  EXPECT_FALSE(db.Query("DELETE FROM t WHERE v='" + Quote(value) + "';"));
  ASSERT_FALSE(db.Query("SELECT count(*) FROM t;"));
  EXPECT_EQ(db.Cell(1, 0), "3");
  // Unquoted, the broken character still stays apart from the quote.
  ASSERT_FALSE(db.Query("INSERT INTO t VALUES('x\x82'); SELECT v FROM t WHERE v LIKE 'x%';"));
  EXPECT_EQ(db.Cell(1, 0), "x?");
}

TEST_F(ConnectionTest, CellReadsInsideAndOutsideTheGrid) {
  ASSERT_FALSE(db.Query("CREATE TABLE t(a,b); INSERT INTO t VALUES('x',NULL),('12.9','-7.5xyz');"));
  ASSERT_FALSE(db.Query("SELECT a,b FROM t ORDER BY rowid;"));
  ASSERT_EQ(db.RowCount(), 2);
  struct Case {
    int row, column;
    std::string text;
    int number;
    bool failed;
  } cases[] = {
      {1, 0, "x", 0, false},      {1, 1, "", 0, false},       {2, 0, "12.9", 12, false},
      {2, 1, "-7.5xyz", -7, false}, {0, 0, "", 0, true},      {3, 0, "", 0, true},
      {1, 2, "", 0, true},        {2, -1, "", 0, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(db.Cell(c.row, c.column), c.text) << c.row << "," << c.column;
    EXPECT_EQ(db.CellReadFailed(), c.failed) << c.row << "," << c.column;
    EXPECT_EQ(db.CellInt(c.row, c.column), c.number) << c.row << "," << c.column;
  }
  // A cell read does not touch the error text.
  EXPECT_FALSE(db.LastError());
}

TEST_F(ConnectionTest, NoRowsMeansEveryCellFails) {
  ASSERT_FALSE(db.Query("CREATE TABLE t(a);"));
  ASSERT_FALSE(db.Query("SELECT a FROM t;"));
  EXPECT_EQ(db.RowCount(), 0);
  EXPECT_EQ(db.Cell(1, 0), "");
  EXPECT_TRUE(db.CellReadFailed());
}

TEST_F(ConnectionTest, FailureKeepsErrorUntilNextStatement) {
  auto error = db.Query("SELECT * FROM missing_table;");
  ASSERT_TRUE(error);
  EXPECT_EQ(*error, "no such table: missing_table");
  EXPECT_EQ(db.LastError(), error);
  EXPECT_EQ(db.RowCount(), 0);
  EXPECT_FALSE(db.Query("SELECT 1;"));
  EXPECT_FALSE(db.LastError());
}

TEST_F(ConnectionTest, StatementsRunInOrderIntoOneResult) {
  ASSERT_FALSE(db.Query("CREATE TABLE t(a,b); INSERT INTO t VALUES(1,'x'); SELECT a,b FROM t; "
                        "INSERT INTO t VALUES(2,NULL); SELECT a,b FROM t WHERE a=2;"));
  ASSERT_EQ(db.RowCount(), 2);
  EXPECT_EQ(db.ColumnCount(), 2);
  EXPECT_EQ(db.Cell(1, 1), "x");
  EXPECT_EQ(db.Cell(2, 0), "2");
  EXPECT_EQ(db.Cell(2, 1), "");
  // Rows of different widths cannot share the result; earlier statements stay done.
  auto error = db.Query("INSERT INTO t VALUES(3,'y'); SELECT a FROM t; SELECT a,b FROM t;");
  ASSERT_TRUE(error);
  EXPECT_EQ(db.RowCount(), 0);
  ASSERT_FALSE(db.Query("SELECT COUNT(*) FROM t;"));
  EXPECT_EQ(db.Cell(1, 0), "3");
}

TEST_F(ConnectionTest, LongCellsAndRowsReadWhole) {
  // Rows longer than 64 KiB and a cell longer than a storage slot (1 MiB).
  std::string small(70000, 'a'), big(1500000, 'b');
  ASSERT_FALSE(db.Query("CREATE TABLE t(k,a,b,c); INSERT INTO t VALUES(1,'s','" + small + "','e'),"
                        "(2,'','','e2'),(3,'" + big + "','m','e3'),(4,NULL,'','');"));
  ASSERT_FALSE(db.Query("SELECT k,a,b,c FROM t ORDER BY k;"));
  ASSERT_EQ(db.RowCount(), 4);
  struct Case {
    int row, column;
    std::string text;
  } cases[] = {{1, 1, "s"}, {1, 2, small}, {1, 3, "e"}, {2, 1, ""}, {2, 3, "e2"},
               {3, 1, big},  {3, 2, "m"},   {3, 3, "e3"}, {4, 0, "4"}, {4, 1, ""}, {4, 3, ""}};
  for (const Case& c : cases) EXPECT_EQ(db.Cell(c.row, c.column), c.text) << c.row << "," << c.column;
  EXPECT_LT(db.ResultBytes(), 2 * (small.size() + big.size()) + (1u << 22));
}

TEST_F(ConnectionTest, JapaneseTextIsUtf8InTheFileAndCp932InCells) {
  const std::string title = Jp("ソフト表示『ダメ』能力");  // trail bytes 0x5C among them
  ASSERT_NE(title.find('\\'), std::string::npos);
  ASSERT_FALSE(db.Query("CREATE TABLE t(a TEXT); INSERT INTO t VALUES('" + Quote(title) + "');"));
  ASSERT_FALSE(db.Query("SELECT a, hex(a) FROM t;"));
  EXPECT_EQ(db.Cell(1, 0), title);
  // The stored bytes are the UTF-8 form.
  std::string utf8 = AnsiToUtf8(title);
  std::string hex;
  for (unsigned char c : utf8) {
    static const char* digits = "0123456789ABCDEF";
    hex += digits[c >> 4];
    hex += digits[c & 15];
  }
  EXPECT_EQ(db.Cell(1, 1), hex);
}

TEST_F(ConnectionTest, JapaneseDatabasePath) {
  LibraryConnection other;
  std::string path = folder / Jp("表示ライブラリ.db");
  other.Open(path, "");
  ASSERT_FALSE(other.Query("CREATE TABLE t(a);"));
  other.Close();
  LibraryConnection again;
  again.Open(path, "");
  ASSERT_FALSE(again.Query("SELECT name FROM sqlite_master WHERE name='t';"));
  EXPECT_EQ(again.RowCount(), 1);
}

TEST_F(ConnectionTest, MissingExtensionOnlyFailsStatementsThatNeedIt) {
  LibraryConnection withExtension;
  withExtension.Open(folder / "lib.db", folder / "no'such-extension.dll");
  EXPECT_FALSE(withExtension.Query("SELECT 1;"));
  EXPECT_EQ(withExtension.Cell(1, 0), "1");
  EXPECT_TRUE(withExtension.Query("SELECT 'a' REGEXP 'a';"));
}

TEST_F(ConnectionTest, ExtensionPathIsQuotedInItsLoadStatement) {
  // A path that would end the literal early and run a statement of its own.
  LibraryConnection withExtension;
  withExtension.Open(folder / "lib.db", "x') WHERE 0; CREATE TABLE injected(a); SELECT ('");
  EXPECT_FALSE(withExtension.Query("SELECT 1;"));
  ASSERT_FALSE(withExtension.Query("SELECT COUNT(*) FROM sqlite_master WHERE name='injected';"));
  EXPECT_EQ(withExtension.Cell(1, 0), "0");
}

TEST_F(ConnectionTest, WaitsForAnotherConnectionsWrite) {
  ASSERT_FALSE(db.Query("CREATE TABLE t(a);"));
  LibraryConnection writer;
  writer.Open(folder / "lib.db", "");
  ASSERT_FALSE(writer.Query("BEGIN IMMEDIATE; INSERT INTO t VALUES(1);"));
  std::thread release([&] {
    SleepMs(300);
    writer.Query("COMMIT;");
  });
  // Without a busy timeout this write would fail at once with "database is locked".
  EXPECT_FALSE(db.Query("INSERT INTO t VALUES(2);"));
  release.join();
  ASSERT_FALSE(db.Query("SELECT COUNT(*) FROM t;"));
  EXPECT_EQ(db.CellInt(1, 0), 2);
}

TEST(ReadSizing, CacheAndMapFollowTheLibrarySize) {
  constexpr std::int64_t MiB = 1024 * 1024;
  struct Case {
    std::int64_t bytes;
    bool network;
    std::int64_t cacheKiB, mapBytes;
  } cases[] = {
      {0, false, 8 * 1024, 64 * MiB},                   // a new library: the smallest cache
      {54 * MiB, false, 54 * 1024, 118 * MiB},          // the whole library in the cache and the map
      {54 * MiB, true, 54 * 1024, 0},                   // never mapped on a share
      {5000 * MiB, false, 64 * 1024, sizeof(void*) >= 8 ? 1024 * MiB : 256 * MiB},  // bounded
      {-1, false, 8 * 1024, 64 * MiB},                  // an unknown size counts as empty
  };
  for (const Case& c : cases) {
    ReadSizing sizing = ChooseReadSizing(c.bytes, c.network);
    EXPECT_EQ(sizing.cacheKibibytes, c.cacheKiB) << c.bytes;
    EXPECT_EQ(sizing.mapBytes, c.mapBytes) << c.bytes << " " << c.network;
  }
}

TEST_F(ConnectionTest, OpenSizesTheReadsForTheLibrary) {
  ASSERT_FALSE(db.Query("PRAGMA cache_size;"));
  EXPECT_EQ(db.CellInt(1, 0), -ChooseReadSizing(0, false).cacheKibibytes);
  ASSERT_FALSE(db.Query("PRAGMA mmap_size;"));
  EXPECT_EQ(db.Cell(1, 0), std::to_string(ChooseReadSizing(0, false).mapBytes));
}

}  // namespace
}  // namespace vel

namespace vel {
namespace {

TEST(ChangedCells, ReadInPlaceOfTheResultUntilTheNextStatement) {
  test::TempFolder folder;
  LibraryConnection db;
  db.Open(folder / "c.db", "");
  ASSERT_FALSE(db.Query("CREATE TABLE t(a,b); INSERT INTO t VALUES('k1',1),('k2',2);"));
  ASSERT_FALSE(db.Query("SELECT a,b FROM t ORDER BY a;"));
  struct Case {
    int row, column;
    std::string value;
    bool inside;
  } cases[] = {{1, 1, "30", true}, {2, 0, "\x83\x5C", true}, {3, 0, "x", false}, {1, 2, "x", false},
               {0, 0, "x", false}};
  for (const Case& c : cases) EXPECT_EQ(db.SetCell(c.row, c.column, c.value), c.inside) << c.row << c.column;
  EXPECT_EQ(db.Cell(1, 1), "30");
  EXPECT_EQ(db.CellInt(1, 1), 30);
  EXPECT_EQ(db.Cell(2, 0), "\x83\x5C");
  EXPECT_EQ(db.CellUtf8(2, 0), "\xE3\x82\xBD");
  EXPECT_EQ(db.Cell(1, 0), "k1") << "other cells as read";
  EXPECT_EQ(db.RowCount(), 2);
  ASSERT_FALSE(db.Query("SELECT a,b FROM t ORDER BY a;"));
  EXPECT_EQ(db.Cell(1, 1), "1") << "the next statement's result is as stored";
}

}  // namespace
}  // namespace vel
