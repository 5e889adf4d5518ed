// Related-file entries: label, target and application taken apart by
// character, the kind of each target, the quoting of a target handed to an
// application, how each entry is opened, and the entries of an item read
// from a real library with quoted keys.
#include "extras/related_files.h"

#include <gtest/gtest.h>

#include "core/command_ids.h"
#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(RelatedFiles, EntriesSplitIntoLabelTargetAndApplication) {
  struct Case {
    std::string entry, label, target, application, menu;
  } cases[] = {
      {"C:\\doc\\manual.pdf", "", "C:\\doc\\manual.pdf", "", "C:\\doc\\manual.pdf"},
      {Jp("[取説]C:\\doc\\manual.pdf"), Jp("取説"), "C:\\doc\\manual.pdf", "", Jp("取説")},
      {Jp("[取説] C:\\doc\\manual one.txt --> C:\\bin\\app.exe"), Jp("取説"), "C:\\doc\\manual one.txt",
       "C:\\bin\\app.exe", Jp("取説")},
      {"  a.txt-->notepad.exe  ", "", "a.txt", "notepad.exe", "  a.txt-->notepad.exe  "},
      // ゾ ends in the byte of "]": the label ends at the real bracket.
      {Jp("[ゾイド取説]C:\\z.pdf"), Jp("ゾイド取説"), "C:\\z.pdf", "", Jp("ゾイド取説")},
      // A bracket that never closes is no label.
      {"[label C:\\x.txt", "", "[label C:\\x.txt", "", "[label C:\\x.txt"},
      {"a.txt -->", "", "a.txt", "", "a.txt -->"},
      {"[only]", "only", "", "", "only"},
      {Jp("C:\\ソフト\\表.txt"), "", Jp("C:\\ソフト\\表.txt"), "", Jp("C:\\ソフト\\表.txt")},
      {"", "", "", "", ""},
  };
  for (const Case& c : cases) {
    RelatedFileEntry e = ParseRelatedFileEntry(c.entry);
    EXPECT_EQ(e.label, c.label) << c.entry;
    EXPECT_EQ(e.target, c.target) << c.entry;
    EXPECT_EQ(e.application, c.application) << c.entry;
    EXPECT_EQ(RelatedFileMenuText(c.entry), c.menu) << c.entry;
  }
}

TEST(RelatedFiles, TheKindFollowsTheSchemeOrTheExtension) {
  using K = RelatedFileKind;
  struct Case {
    std::string target;
    K kind;
  } cases[] = {
      {"http://x/a.pdf", K::kWeb}, {"HTTP://X/", K::kWeb},     {"https://x", K::kWeb},
      {"a.JPG", K::kImage},        {"a.jpeg", K::kImage},      {"a.gif", K::kImage},
      {"a.bmp", K::kImage},        {"a.png", K::kImage},       {"a.pdf", K::kPdf},
      {"a.exe", K::kProgram},      {"a.txt", K::kText},        {"a.xls", K::kSheet},
      {"a.xlsx", K::kSheet},       {"a.csv", K::kSheet},       {"a.doc", K::kDocument},
      {"a.docx", K::kDocument},    {"a.zip", K::kOther},       {"", K::kOther},
      {"ftp://x/a.zip", K::kOther},
  };
  for (const Case& c : cases) EXPECT_EQ(RelatedFileKindOf(c.target), c.kind) << c.target;
}

TEST(RelatedFiles, TargetsWithSpacesAreQuotedForTheApplication) {
  struct Case {
    std::string target, parameter;
  } cases[] = {
      {"C:\\a.txt", "C:\\a.txt"},
      {"C:\\manual one.txt", "\"C:\\manual one.txt\""},
      {"C:\\my dir\\", "\"C:\\my dir\\\\\""},
      // ソ ends in 0x5C: it is no backslash to double.
      {Jp("C:\\a b\\ソ"), "\"" + Jp("C:\\a b\\ソ") + "\""},
      {"\"C:\\already quoted.txt\"", "\"C:\\already quoted.txt\""},
  };
  for (const Case& c : cases) EXPECT_EQ(QuotedParameter(c.target), c.parameter) << c.target;
}

TEST(RelatedFiles, EachEntryIsOpenedOneOfThreeWays) {
  using W = RelatedFileOpening::Way;
  struct Case {
    std::string entry;
    bool exists;
    W way;
    std::string file, parameters;
  } cases[] = {
      {"http://example.com/", false, W::kShellOpen, "http://example.com/", ""},
      {"HTTP://EXAMPLE.COM/", false, W::kShellOpen, "HTTP://EXAMPLE.COM/", ""},
      {"[m]C:\\m.pdf", true, W::kShellOpen, "C:\\m.pdf", ""},
      {"[m]C:\\gone.pdf", false, W::kNotFound, "", ""},
      {"C:\\d\\manual one.txt --> C:\\app.exe", false, W::kApplication, "C:\\app.exe", "\"C:\\d\\manual one.txt\""},
      {"C:\\x.txt -->", true, W::kShellOpen, "C:\\x.txt", ""},
      {"[label", false, W::kNotFound, "", ""},
      {"[only]", true, W::kNotFound, "", ""},
  };
  for (const Case& c : cases) {
    RelatedFileOpening o = PlanRelatedFileOpening(ParseRelatedFileEntry(c.entry), c.exists);
    EXPECT_EQ(o.way, c.way) << c.entry;
    EXPECT_EQ(o.file, c.file) << c.entry;
    EXPECT_EQ(o.parameters, c.parameters) << c.entry;
  }
  EXPECT_EQ(RelatedFileNotFoundMessage("C:\\gone.pdf"), Jp("関連ファイルが見つかりませんでした。\n") + "\"C:\\gone.pdf\"");
  EXPECT_EQ(RelatedFileApplicationFailedMessage(ParseRelatedFileEntry("a.txt-->b.exe")),
            Jp("指定したアプリでファイルを開けませんでした。\n") + "\"a.txt\"\n-->\"b.exe\"");
}

TEST(RelatedFiles, TheSubmenuStaysInItsBlockAndSaysWhenEntriesAreLeftOut) {
  std::vector<std::string> entries;
  for (int i = 0; i < 1500; ++i) entries.push_back("[" + std::to_string(i) + "]C:\\f" + std::to_string(i) + ".pdf");
  std::vector<RelatedFileMenuLine> lines = RelatedFileMenuLines(entries);
  ASSERT_EQ(lines.size(), static_cast<size_t>(kRelatedFileIdCount) + 1);
  for (size_t k = 0; k + 1 < lines.size(); ++k) {
    EXPECT_EQ(lines[k].id, kCmdRelatedFileFirst + static_cast<int>(k));
    EXPECT_EQ(lines[k].text, std::to_string(k));
    EXPECT_EQ(lines[k].kind, RelatedFileKind::kPdf);
  }
  EXPECT_EQ(lines.back().id, 0);  // disabled
  EXPECT_EQ(lines.back().text, Jp("…"));
  EXPECT_LT(lines[lines.size() - 2].id, kCmdLaunchWithFirst);

  lines = RelatedFileMenuLines({"[R&D]http://x/", "a.txt"});
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[0].text, "R&&D");
  EXPECT_EQ(lines[0].kind, RelatedFileKind::kWeb);
  EXPECT_EQ(lines[1].text, "a.txt");
  EXPECT_EQ(lines[1].id, kCmdRelatedFileFirst + 1);
  lines = RelatedFileMenuLines({});
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].id, 0);
}

TEST(RelatedFiles, AnItemsEntriesAreReadInTheOrderOfTheirText) {
  test::TempFolder folder;
  LibraryConnection db;
  db.Open(folder / "Velmarook.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  const std::string key = Jp("C:\\ソフト\\Let's.d88");
  ASSERT_FALSE(db.Query("INSERT INTO associate_file_table VALUES('" + Quote(key) + "','b.txt'),('" + Quote(key) +
                        "','[a]z.pdf'),('other','a.txt'),('" + Quote(key) + "','It''s.txt');"));
  std::vector<std::string> entries;
  ASSERT_FALSE(ReadRelatedFiles(db, key, entries));
  EXPECT_EQ(entries, (std::vector<std::string>{"It's.txt", "[a]z.pdf", "b.txt"}));
  ASSERT_FALSE(ReadRelatedFiles(db, "none", entries));
  EXPECT_TRUE(entries.empty());
  ASSERT_FALSE(db.Query("DROP TABLE associate_file_table;"));
  EXPECT_TRUE(ReadRelatedFiles(db, key, entries).has_value());
}

}  // namespace
}  // namespace vel
