#include "extras/web_search.h"

#include <gtest/gtest.h>

#include <fstream>

#include "platform/codepage.h"
#include "platform/profile.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(WebSearch, PercentEncodingKeepsOnlyTheUnreservedSet) {
  struct Case {
    std::string utf8, encoded;
  } cases[] = {
      {"A B", "A%20B"},
      {"Pok\xC3\xA9mon", "Pok%C3%A9mon"},
      {"\n", "%0A"},
      {"'.-*()_", "'.-*()_"},
      {"az09AZ", "az09AZ"},
      {"a~b+c&d=e/f?g%h#", "a%7Eb%2Bc%26d%3De%2Ff%3Fg%25h%23"},
      {"日本", "%E6%97%A5%E6%9C%AC"},
      {std::string("a\0b", 3), "a%00b"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(PercentEncodeUtf8(c.utf8), c.encoded) << c.utf8;
}

TEST(WebSearch, PlaceholdersAreReplacedInOnePass) {
  WebSearchItem item{"PC-8801", "Star Cruiser", "50%maker $title", "ダンジョン"};
  struct Case {
    std::string templateText, url;
  } cases[] = {
      {"https://example.com/", "https://example.com/"},
      {"https://s/?q=$title", "https://s/?q=Star Cruiser"},
      {"https://s/?q=%title", "https://s/?q=Star%20Cruiser"},
      {"https://s/?q=%title+%title", "https://s/?q=Star%20Cruiser+Star%20Cruiser"},
      // Text a value brings in stays as it is.
      {"https://s/?m=$maker", "https://s/?m=50%maker $title"},
      {"https://s/?m=%maker", "https://s/?m=50%25maker%20%24title"},
      {"$machine/%machine", "PC-8801/PC-8801"},
      {"https://s/?d=$developer&e=%developer", "https://s/?d=" + Jp("ダンジョン") + "&e=%E3%83%80%E3%83%B3%E3%82%B8%E3%83%A7%E3%83%B3"},
      {"%titles $tit", "Star%20Cruisers $tit"},
      {Jp("検索") + "=%maker", Jp("検索") + "=50%25maker%20%24title"},
  };
  for (const Case& c : cases) EXPECT_EQ(ExpandSiteUrl(c.templateText, item), c.url) << c.templateText;
}

TEST(WebSearch, OnlyHttpAndHttpsAreOpened) {
  struct Case {
    const char* url;
    bool opened;
  } cases[] = {{"http://x", true},      {"https://x", true},    {"HTTPS://x", true},
               {"ftp://x", false},      {"javascript:alert(1)", false}, {"file:///C:/x.txt", false},
               {"", false},             {" http://x", false},   {"httpx://x", false}};
  for (const Case& c : cases) EXPECT_EQ(IsWebUrl(c.url), c.opened) << c.url;
  EXPECT_EQ(UnsupportedUrlMessage("ftp://x"), Jp("http(s):以外は未対応です。") + "\n\"ftp://x\"");
}

class WebSiteFileTest : public testing::Test {
 protected:
  void Write(const std::string& text) { std::ofstream(file, std::ios::binary) << text; }
  std::vector<std::string> Names() {
    std::vector<std::string> names;
    for (const WebSite& site : ReadWebSites(file)) names.push_back(site.name + "=" + site.url);
    return names;
  }
  void WriteSites(int count) {
    std::string text = "[SiteName]\n";
    for (int i = 1; i <= count; ++i) text += std::to_string(i) + "=s" + std::to_string(i) + "\n";
    text += "[SiteURL]\n";
    for (int i = 1; i <= count; ++i) text += std::to_string(i) + "=http://u/" + std::to_string(i) + "\n";
    Write(text);
  }
  test::TempFolder folder;
  std::string file = folder / kWebSiteFileName;
};

TEST_F(WebSiteFileTest, ReadingStopsAtTheFirstEmptyNameOrAfterKey99) {
  using List = std::vector<std::string>;
  EXPECT_EQ(Names(), List{});  // no file
  Write("[SiteName]\n1=A\n2=B\n4=D\n[SiteURL]\n1=http://a/\n2=http://b/\n4=http://d/\n");
  EXPECT_EQ(Names(), (List{"A=http://a/", "B=http://b/"}));
  Write("[SiteName]\n1=A\n2=NoUrl\n[SiteURL]\n1=http://a/\n");
  EXPECT_EQ(Names(), (List{"A=http://a/", "NoUrl="}));
  WriteSites(120);
  EXPECT_EQ(ReadWebSites(file).size(), 99u);
  // Long values are read whole.
  const std::string name(400, 'n'), url = "http://x/" + std::string(900, 'u');
  Write("[SiteName]\n1=" + name + "\n[SiteURL]\n1=" + url + "\n");
  ASSERT_EQ(ReadWebSites(file).size(), 1u);
  EXPECT_EQ(ReadWebSites(file)[0].name, name);
  EXPECT_EQ(ReadWebSites(file)[0].url, url);
  EXPECT_EQ(WebSiteListText({"A", "http://a/"}), "A  :  http://a/");
}

TEST_F(WebSiteFileTest, RegisteringChecksTheFieldsTheSchemeAndTheRoom) {
  struct Case {
    std::string name, url;
    WebSiteChange change;
  } refused[] = {{"", "http://x/", WebSiteChange::kMissingField},
                 {"X", "", WebSiteChange::kMissingField},
                 {"X", "ftp://x/", WebSiteChange::kNotHttp},
                 {"X", "javascript:alert(1)", WebSiteChange::kNotHttp}};
  for (const Case& c : refused) EXPECT_EQ(RegisterWebSite(file, c.name, c.url), c.change) << c.url;
  EXPECT_TRUE(ReadWebSites(file).empty());
  EXPECT_EQ(RegisterWebSite(file, Jp("検索"), "https://s/?q=%title"), WebSiteChange::kDone);
  EXPECT_EQ(RegisterWebSite(file, "Two", "http://t/"), WebSiteChange::kDone);
  EXPECT_EQ(Names(), (std::vector<std::string>{Jp("検索") + "=https://s/?q=%title", "Two=http://t/"}));

  WriteSites(99);
  EXPECT_EQ(RegisterWebSite(file, "Hundredth", "http://h/"), WebSiteChange::kFull);
  EXPECT_EQ(ProfileText("SiteName", "100", "none", file), "none");
  EXPECT_EQ(WebSiteChangeMessage(WebSiteChange::kFull, file), Jp("これ以上登録できません"));
  EXPECT_EQ(WebSiteChangeMessage(WebSiteChange::kMissingField, file), Jp("名前またはURLの指定がありません"));
  EXPECT_EQ(WebSiteChangeMessage(WebSiteChange::kNotHttp, file), Jp("http: または https: で始まるURLを指定して下さい"));

  // A file that cannot be written is reported, never taken as done.
  const std::string unwritable = folder / "missing-folder" + "/" + kWebSiteFileName;
  EXPECT_EQ(RegisterWebSite(unwritable, "X", "http://x/"), WebSiteChange::kWriteFailed);
  EXPECT_NE(WebSiteChangeMessage(WebSiteChange::kWriteFailed, unwritable).find(unwritable), std::string::npos);
}

TEST_F(WebSiteFileTest, DeletingMovesTheLaterSitesDown) {
  WriteSites(4);
  EXPECT_EQ(DeleteWebSite(file, 1), WebSiteChange::kDone);
  EXPECT_EQ(Names(), (std::vector<std::string>{"s1=http://u/1", "s3=http://u/3", "s4=http://u/4"}));
  EXPECT_EQ(ProfileText("SiteName", "4", "gone", file), "gone");
  EXPECT_EQ(ProfileText("SiteURL", "4", "gone", file), "gone");
  EXPECT_EQ(DeleteWebSite(file, 2), WebSiteChange::kDone);  // the last
  EXPECT_EQ(Names(), (std::vector<std::string>{"s1=http://u/1", "s3=http://u/3"}));
  EXPECT_EQ(DeleteWebSite(file, 2), WebSiteChange::kNoSuchSite);
  EXPECT_EQ(DeleteWebSite(file, -1), WebSiteChange::kNoSuchSite);
}

TEST_F(WebSiteFileTest, MovingSwapsNeighboursAndStopsAtTheEnds) {
  WriteSites(3);
  EXPECT_EQ(MoveWebSite(file, 2, true), WebSiteChange::kDone);
  EXPECT_EQ(Names(), (std::vector<std::string>{"s1=http://u/1", "s3=http://u/3", "s2=http://u/2"}));
  EXPECT_EQ(MoveWebSite(file, 0, false), WebSiteChange::kDone);
  EXPECT_EQ(Names(), (std::vector<std::string>{"s3=http://u/3", "s1=http://u/1", "s2=http://u/2"}));
  EXPECT_EQ(MoveWebSite(file, 0, true), WebSiteChange::kUnchanged);
  EXPECT_EQ(MoveWebSite(file, 2, false), WebSiteChange::kUnchanged);
  EXPECT_EQ(MoveWebSite(file, 3, true), WebSiteChange::kNoSuchSite);
  EXPECT_EQ(Names(), (std::vector<std::string>{"s3=http://u/3", "s1=http://u/1", "s2=http://u/2"}));
  EXPECT_EQ(WebSiteChangeMessage(WebSiteChange::kUnchanged, file), "");
}

}  // namespace
}  // namespace vel
