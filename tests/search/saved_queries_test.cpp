// Saved queries: the name rule, the one-line form of a statement read back
// through the profile reader, and the tree of a query folder.
#include "search/saved_queries.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>

#include "platform/codepage.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(QueryName, AcceptedAndRefusedNames) {
  struct Case {
    const char* name;
    bool valid;
  } cases[] = {
      {"\x83\x5C\x83\x74\x83\x67", true},  // ソフト: a trail byte 0x5C is no backslash
      {"\x95\x5C\x8E\xA6", true},          // 表示
      {"\x94\x5C\x97\xCD", true},          // 能力
      {"\x81\x7C", true},                  // －
      {"COM10", true}, {"LPT0", true}, {"  query  ", true}, {"CONSOLE", true},
      {"CON", false}, {"Aux", false}, {"CLOCK$", false}, {"COM1", false}, {"lpt9", false}, {" nul ", false},
      {"config$", false}, {"PRN", false}, {"a.b", false}, {"a/b", false}, {"a\\b", false}, {"a|b", false},
      {"a\"b", false}, {"a?b", false}, {"a\tb", false}, {"a\nb", false}, {"a\rb", false}, {"a<b", false},
      {"a>b", false}, {"a:b", false}, {"a*b", false}, {"", false}, {"   ", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsValidQueryName(c.name), c.valid) << c.name;
  EXPECT_EQ(TrimQueryName("  a b  "), "a b");
}

TEST(QueryFileSql, OneLineValueReadsBackAsWritten) {
  struct Case {
    const char* typed;
    const char* stored;  // what reading the value back gives
  } cases[] = {
      {"SELECT * FROM list_view ;", "SELECT * FROM list_view ;"},
      {"SELECT *\r\nFROM list_view\nWHERE 1", "SELECT *  FROM list_view WHERE 1"},
      {"SELECT * -- all\nFROM list_view", "SELECT * /* all */ FROM list_view"},
      {"SELECT 'a--b' FROM list_view", "SELECT 'a--b' FROM list_view"},
      {"\"x\" = title \"", "\"x\" = title \""},
      {"  SELECT 1  ", "SELECT 1"},
      {"SELECT 1 -- c */ d", "SELECT 1 /* c * / d */"},
  };
  test::TempFolder folder;
  const std::string file = folder / "q.txt";
  for (const Case& c : cases) {
    ASSERT_TRUE(WriteProfileText("query", "sql", SqlForQueryFile(c.typed), file));
    EXPECT_EQ(ProfileText("query", "sql", "", file), c.stored) << c.typed;
  }
}

TEST(QueryTree, FoldersAndQueryFilesInTheirTree) {
  test::TempFolder folder;
  const std::string sep = (folder / "").substr(folder.Path().size(), 1);
  ASSERT_TRUE(CreateFolder(folder / "A"));
  ASSERT_TRUE(CreateFolder(folder / ("A" + sep + "B")));
  test::WriteWholeFile(folder / ("A" + sep + "B" + sep + "q1.txt"), "[query]\r\nsql=SELECT 1;\r\n");
  test::WriteWholeFile(folder / "top.TXT", "");
  test::WriteWholeFile(folder / "a.txt~", "");
  test::WriteWholeFile(folder / ("A" + sep + "0.bmp"), "");
  std::vector<QueryNode> tree = ListQueryTree(folder.Path());
  std::function<std::string(const std::vector<QueryNode>&)> shape = [&](const std::vector<QueryNode>& nodes) {
    std::vector<std::string> parts;
    for (const QueryNode& n : nodes) parts.push_back(n.isFolder ? n.name + "[" + shape(n.children) + "]" : n.name);
    std::sort(parts.begin(), parts.end());
    std::string text;
    for (const std::string& p : parts) text += (text.empty() ? "" : ",") + p;
    return text;
  };
  // "a.txt~" is a query file of its own ("txt" in its extension), with its real path.
  EXPECT_EQ(shape(tree), "A[B[q1]],a,top");
  for (const QueryNode& n : tree)
    if (n.name == "a") EXPECT_EQ(n.path, folder.Path() + "\\a.txt~");
}

}  // namespace
}  // namespace vel

namespace vel {
namespace {

class QuerySaveTest : public testing::Test {
 protected:
  QuerySaveResult Save(const std::string& oldPath, const std::string& name, const std::string& sql) {
    return SaveQueryFile({folder.Path(), oldPath, name, sql, ""});
  }
  std::string At(const std::string& name) { return folder.Path() + "\\" + name + ".txt"; }
  test::TempFolder folder;
};

TEST_F(QuerySaveTest, NewQueriesAreWrittenAndNamesRefused) {
  QuerySaveResult saved = Save("", "\x83\x5C\x83\x74\x83\x67", "\"x\" = title \"");
  ASSERT_TRUE(saved.saved) << saved.refusal;
  EXPECT_EQ(saved.path, At("\x83\x5C\x83\x74\x83\x67"));
  EXPECT_TRUE(saved.changed);
  EXPECT_EQ(ReadQuerySql(saved.path), "\"x\" = title \"") << "kept byte for byte";
  struct Case {
    std::string name;
    const char* refusal;
  } cases[] = {
      {"", "クエリ名は必須です"},
      {"CON", "クエリ名に使用できない文字が含まれているか、使用できない文字列です。"},
      {"\x83\x5C\x83\x74\x83\x67", "クエリ名は既に作成されています\n別のクエリ名を指定して下さい。"},
      {std::string(300, 'a'), "クエリ名が長すぎます。"},
  };
  for (const Case& c : cases) {
    QuerySaveResult refused = Save("", c.name, "SELECT 1");
    EXPECT_FALSE(refused.saved) << c.name;
    EXPECT_EQ(refused.refusal, Jp(c.refusal)) << c.name;
  }
  EXPECT_EQ(ReadQuerySql(saved.path), "\"x\" = title \"") << "a refused save touches no file";
}

TEST_F(QuerySaveTest, RenamesKeepOtherFilesAndMoveTheEditedOne) {
  ASSERT_TRUE(Save("", "one", "SELECT 1").saved);
  ASSERT_TRUE(Save("", "two", "SELECT 2").saved);
  const std::string one = test::ReadWholeFile(At("one")), two = test::ReadWholeFile(At("two"));
  QuerySaveResult onto = Save(At("one"), "two", "SELECT 3");
  EXPECT_FALSE(onto.saved);
  EXPECT_EQ(test::ReadWholeFile(At("one")), one) << "both files stay byte-identical";
  EXPECT_EQ(test::ReadWholeFile(At("two")), two);

  QuerySaveResult renamed = Save(At("one"), "three", "SELECT 3");
  ASSERT_TRUE(renamed.saved) << renamed.refusal;
  EXPECT_TRUE(renamed.changed);
  EXPECT_FALSE(FileExists(At("one")));
  EXPECT_EQ(ReadQuerySql(At("three")), "SELECT 3");

  QuerySaveResult same = Save(At("three"), "three", "SELECT 4");
  ASSERT_TRUE(same.saved);
  EXPECT_FALSE(same.changed) << "same name, same icon";
  EXPECT_EQ(ReadQuerySql(At("three")), "SELECT 4");
}

TEST_F(QuerySaveTest, DeletingAFolderRemovesOnlyQueriesAndTheirIcon) {
  const std::string sep = (folder / "").substr(folder.Path().size(), 1);
  ASSERT_TRUE(CreateFolder(folder / "A"));
  ASSERT_TRUE(CreateFolder(folder / ("A" + sep + "B")));
  ASSERT_TRUE(CreateFolder(folder / ("K")));
  test::WriteWholeFile(folder / ("A" + sep + "B" + sep + "q.txt"), "");
  test::WriteWholeFile(folder / ("A" + sep + "0.bmp"), "");
  test::WriteWholeFile(folder / ("K" + sep + "keep.doc"), "x");
  test::WriteWholeFile(folder / ("K" + sep + "q.txt"), "");
  EXPECT_TRUE(DeleteQueryFolder(folder.Path() + "\\A"));
  EXPECT_FALSE(DirectoryExists(folder / "A"));
  EXPECT_FALSE(DeleteQueryFolder(folder.Path() + "\\K")) << "another file keeps its folder";
  EXPECT_TRUE(FileExists(folder / ("K" + sep + "keep.doc")));
  EXPECT_FALSE(FileExists(folder / ("K" + sep + "q.txt")));
}

}  // namespace
}  // namespace vel
