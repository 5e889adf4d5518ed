// The information pane's links against a real library: the searches its
// values run (quoted names, spaces kept inside values, the cleaned title),
// the creator entries, the memo statements and the hit map.
#include "display/info_links.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "db/library_connection.h"
#include "db/schema.h"
#include "db/sql_error_report.h"
#include "platform/codepage.h"
#include "search/search_items.h"
#include "test_support.h"

namespace vel {
namespace {

class InfoLinksTest : public testing::Test {
 protected:
  void SetUp() override {
    SetSqlErrorPresenter([this](const SqlErrorReport& report) { reports.push_back(report.description); });
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(CreateItemView(db));
    env.db = &db;
    Run("INSERT INTO main_table(file_name,title,machine_name,genre_name,maker,developer) VALUES"
        "('C:\\a.d88','" + Quote(Jp("ダンジョン_マスター２")) + "','Let''s PC','Action  RPG','Zeta','Omega'),"
        "('C:\\b.d88','" + Quote(Jp("ダンジョン")) + "','X68','Action  RPG','Omega',''),"
        "('C:\\c.d88','" + Quote(Jp("マスター")) + "','Let''s PC','Action RPG','Kappa',''),"
        "('C:\\d.d88','1942','X68',NULL,'Kappa',''),"
        "('C:\\e.d88','Other','X68','ACT','Kappa','');"
        "INSERT INTO favorite_table VALUES('C:\\e.d88','37');");
  }
  void TearDown() override { SetSqlErrorPresenter(nullptr); }
  void Run(const std::string& sql) {
    auto error = db.Query(sql);
    ASSERT_FALSE(error) << *error;
  }
  std::vector<std::string> Search(const InfoSearch& search) {
    SearchItems(env, state, search.text, search.target, search.subMode, search.orOnly);
    std::vector<std::string> keys;
    for (int r = 1; r <= db.RowCount(); ++r) keys.push_back(db.Cell(r, 0));
    std::sort(keys.begin(), keys.end());
    return keys;
  }

  test::TempFolder folder;
  test::ScriptedAnswers answers;
  LibraryConnection db;
  SearchEnvironment env;
  ListQueryState state;
  std::vector<std::string> reports;
};

TEST_F(InfoLinksTest, EachLinkListsTheItemsSharingItsValue) {
  struct Case {
    const char* name;
    InfoSearch search;
    std::vector<std::string> keys;
  } cases[] = {
      {"machine with a quote", CategorySearch("machine_name", "Let's PC"), {"C:\\a.d88", "C:\\c.d88"}},
      {"genre with two spaces", CategorySearch("genre_name", "Action  RPG"), {"C:\\a.d88", "C:\\b.d88"}},
      {"cleaned title, OR", TitleSearch(Jp("ダンジョン_マスター２")), {"C:\\a.d88", "C:\\b.d88", "C:\\c.d88"}},
      {"title cleaning to nothing", TitleSearch("1942"), {"C:\\d.d88"}},
      {"maker equals", MakerSearch("Omega"), {"C:\\a.d88", "C:\\b.d88"}},
      {"developer: maker or developer", DeveloperSearch("Omega"), {"C:\\a.d88", "C:\\b.d88"}},
      {"favourite digit", FavouriteSearch('7'), {"C:\\e.d88"}},
  };
  for (const Case& c : cases) EXPECT_EQ(Search(c.search), c.keys) << c.name;
  EXPECT_TRUE(reports.empty());
}

TEST_F(InfoLinksTest, MemoStatementsQuoteAndCombineInKeyOrder) {
  Run("INSERT INTO main_table(file_name,title,machine_name) VALUES('C:\\Let''s\\z.d88','Same','M'),"
      "('C:\\Let''s\\y.d88','Same','M');"
      "INSERT INTO memo_table VALUES('C:\\Let''s\\z.d88','second'),('C:\\Let''s\\y.d88','first');");
  Run(MemoStatement("C:\\Let's\\z.d88"));
  ASSERT_EQ(db.RowCount(), 1);
  EXPECT_EQ(db.Cell(1, 0), "second");
  // Genre is NULL for both: it is compared as "".
  Run(ConcatMemoStatement("M", "", "Same"));
  ASSERT_EQ(db.RowCount(), 1);
  EXPECT_EQ(db.Cell(1, 0), "first-@<br>@-second");
  EXPECT_EQ(ShownConcatMemo(db.Cell(1, 0)), "first\n---\nsecond");
  Run(ConcatMemoStatement("Let's", "", "Same"));
  EXPECT_EQ(db.RowCount(), 0);
}

TEST(InfoLinksTextTest, TitlesAreCleanedByCharacter) {
  struct Case {
    std::string title, cleaned;
  } cases[] = {
      {Jp("ダンジョン_マスター２"), Jp("ダンジョン マスター")},
      {"1942", ""},
      {Jp("ソーサリアンⅡ－続編／外伝！"), Jp("ソーサリアン 続編 外伝")},
      {"Abc-Def/Ghi!  9", "Abc Def Ghi"},
      // ダ is 0x83 0x5F: its trail byte is not an underscore.
      {Jp("ダダ"), Jp("ダダ")},
  };
  for (const Case& c : cases) EXPECT_EQ(CleanTitleForSearch(c.title), c.cleaned) << c.title;
  InfoSearch search = TitleSearch(Jp("ダダ"));
  EXPECT_EQ(search.target, kTargetFuzzy);
  EXPECT_TRUE(search.orOnly);
}

TEST(InfoLinksTextTest, CreatorEntriesAndTheirNames) {
  EXPECT_EQ(CreatorEntries(Jp(";[作曲]山田;ソニー;;鈴木;")),
            (std::vector<std::string>{Jp("[作曲]山田"), Jp("ソニー"), Jp("鈴木")}));
  EXPECT_TRUE(CreatorEntries(";;").empty());
  struct Case {
    std::string entry, name;
  } cases[] = {
      {Jp("[作曲]山田"), Jp("山田")},
      {Jp("[ゾイド]田中"), Jp("田中")},  // ゾ ends in 0x5D, the byte of "]"
      {Jp("【原作】 佐藤"), Jp("佐藤")},
      {Jp("[役割 佐藤"), Jp("[役割 佐藤")},
      {"[only]", "[only]"},
      {Jp("山田"), Jp("山田")},
  };
  for (const Case& c : cases) EXPECT_EQ(CreatorName(c.entry), c.name) << c.entry;
  std::string many = "ab;";
  for (int i = 0; i < 1000; ++i) many += Jp("名前") + ";";  // 5 bytes each
  std::vector<std::string> cut = CreatorEntries(many);
  EXPECT_EQ(cut.size(), 820u);  // 4096 bytes: "ab", 818 whole names and one cut on a character
  EXPECT_EQ(cut.back(), Jp("名"));
}

TEST(InfoLinksTextTest, HitMapGivesTheLastLinkUnderThePoint) {
  InfoHitMap map;
  map.Add({InfoLinkKind::kTitle, {0, 0, 100, 20}, 0, "title", {}});
  map.Add({InfoLinkKind::kCreator, {50, 10, 80, 30}, 2, "creator", {}});
  EXPECT_EQ(map.At(10, 5)->kind, InfoLinkKind::kTitle);
  EXPECT_EQ(map.At(60, 15)->kind, InfoLinkKind::kCreator);
  EXPECT_EQ(map.At(79, 29)->index, 2);
  EXPECT_EQ(map.At(80, 29), nullptr);
  EXPECT_EQ(map.At(100, 5), nullptr);
  map.Clear();
  EXPECT_EQ(map.At(10, 5), nullptr);
}

}  // namespace
}  // namespace vel
