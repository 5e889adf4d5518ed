// A typed value written to one text field of every selected item: the
// creators' stored form, the refusals, and the statements as they run.
#include "editing/bulk_text_change.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "editing/creator_text.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(NormaliseCreators, OneNamePerLineBecomesTheStoredText) {
  struct Case {
    std::string typed, stored;
  } cases[] = {
      {"A\r\n B\r\nC ", "A;B;C;"},
      {"A;B;", "A;B;"},
      {"", ""},
      {";", ""},
      {"\r\n\r\n", ""},
      {" ; ;", ""},
      {";;A;;;B", "A;B;"},
      {"A\nB\rC", "A;B;C;"},
      {Jp("山田　\r\n　佐藤"), Jp("山田;佐藤;")},
      {" A", " A;"},
      {"A B", "A B;"},
      // The trail byte 0x81 followed by "@;" is no ideographic space.
      {"\x88\x81@;", "\x88\x81@;"},
      // Ideographic spaces alone name nobody.
      {"\x81\x40\x81\x40", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(NormaliseCreators(c.typed), c.stored) << c.typed;
}

TEST(PrepareBulkText, RefusesWhatCannotBeStoredAsTyped) {
  struct Case {
    BulkTextField field;
    std::string typed, stored, refusal;
  } cases[] = {
      {BulkTextField::ReleaseDate, Jp("1980年5月"), "1980-05-00", ""},
      {BulkTextField::ReleaseDate, "", "0", ""},
      {BulkTextField::ReleaseDate, "98", "",
       Jp("発売日の指定に不備があります。\nyyyy-mm-dd形式で指定してください。\n例) 1980-5-25 ※月以降または日は省略可")},
      {BulkTextField::Maker, std::string(255, 'm'), std::string(255, 'm'), ""},
      {BulkTextField::Maker, std::string(256, 'm'), "", Jp("メーカー名が長すぎます。\n255バイトに納めてください。")},
      {BulkTextField::Creators, "A\r\nB", "A;B;", ""},
      {BulkTextField::Creators, std::string(4096, 'c'), "",
       Jp("クリエイター情報が長すぎます。\n4095バイトに納めてください。")},
      // The limit is the typed text's: the final ";" is added beyond it.
      {BulkTextField::Creators, std::string(4095, 'c'), std::string(4095, 'c') + ";", ""},
      {BulkTextField::Version, "__PRIMARY_KEY__", "__PRIMARY_KEY__", ""},
  };
  for (const Case& c : cases) {
    PreparedBulkText prepared = PrepareBulkText(c.field, {c.typed, "", ""});
    EXPECT_EQ(prepared.refusal, c.refusal) << c.typed;
    EXPECT_EQ(prepared.value ? prepared.value->value : "", c.stored) << c.typed;
    EXPECT_EQ(prepared.value.has_value(), c.refusal.empty()) << c.typed;
  }
  EXPECT_EQ(PrepareBulkText(BulkTextField::Title, {"T", std::string(256, 'k'), ""}).refusal,
            Jp("読み仮名が長すぎます。\n255バイトに納めてください。"));
}

class BulkTextChangeTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name, title, kana, smart_title, maker, sale_year) VALUES"
                          "('a','Old','o','old','M1','1990-00-00'),('b''s','B','b','b','M2','0'),"
                          "('z','Z','z','z','M3','0');"
                          "INSERT INTO creator_table VALUES('a','X;'),('z','Y;');"));
  }
  std::string Rows(const std::string& sql) {
    if (auto error = db.Query("SELECT group_concat(r, '|') FROM (" + sql + ");")) return "error " + *error;
    return db.Cell(1, 0);
  }
  test::TempFolder folder;
  LibraryConnection db;
};

TEST_F(BulkTextChangeTest, EveryFieldIsWrittenForTheSelectedItemsOnly) {
  ASSERT_FALSE(ChangeTextOfItems(db, BulkTextField::Title, {"a", "b's"}, {"N'ew __PRIMARY_KEY__", "nyu", "new"}));
  ASSERT_FALSE(ChangeTextOfItems(db, BulkTextField::ReleaseDate, {"a", "b's"}, {"1980-05-00", "", ""}));
  ASSERT_FALSE(ChangeTextOfItems(db, BulkTextField::Maker, {"b's"}, {"", "", ""}));
  EXPECT_EQ(Rows("SELECT file_name||':'||title||','||kana||','||smart_title||','||maker||','||sale_year AS r "
                 "FROM main_table ORDER BY file_name"),
            "a:N'ew __PRIMARY_KEY__,nyu,new,M1,1980-05-00|b's:N'ew __PRIMARY_KEY__,nyu,new,,1980-05-00|"
            "z:Z,z,z,M3,0");
  ASSERT_FALSE(ChangeTextOfItems(db, BulkTextField::Creators, {"b's", "z"}, {"A;B;", "", ""}));
  ASSERT_FALSE(ChangeTextOfItems(db, BulkTextField::Creators, {"a"}, {"", "", ""}));
  EXPECT_EQ(Rows("SELECT pfile_cr||'='||creator AS r FROM creator_table ORDER BY pfile_cr"), "b's=A;B;|z=A;B;");
}

TEST_F(BulkTextChangeTest, ValueListsOfferTheExistingValues) {
  ASSERT_FALSE(db.Query("UPDATE main_table SET maker='M1' WHERE file_name='z';"));
  ASSERT_FALSE(db.Query(BulkTextValuesQuery(BulkTextField::Maker)));
  ASSERT_EQ(db.RowCount(), 2);
  EXPECT_EQ(db.Cell(1, 0) + "," + db.Cell(2, 0), "M1,M2");
  EXPECT_EQ(BulkTextValuesQuery(BulkTextField::Version), "");
  EXPECT_EQ(BulkTextValuesQuery(BulkTextField::Creators), "");
}

TEST_F(BulkTextChangeTest, AFailingItemLeavesEveryItemUnchanged) {
  ASSERT_FALSE(db.Query("CREATE TRIGGER refuse BEFORE UPDATE ON main_table WHEN old.file_name='z' "
                        "BEGIN SELECT RAISE(ABORT, 'locked'); END;"));
  auto failure = ChangeTextOfItems(db, BulkTextField::Country, {"a", "z"}, {"JP", "", ""});
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->error, "locked");
  EXPECT_EQ(Rows("SELECT ifnull(country,'-') AS r FROM main_table ORDER BY file_name"), "-|-|-");
}

}  // namespace
}  // namespace vel
