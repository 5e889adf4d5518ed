#include "launch/emulator_menu.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(EmulatorMenuLines, ConfigurationsThenDisksWithTheirIdentifiersAndMarks) {
  std::vector<EmulatorMenuEntry> entries = {{"Emu&Go", true, false}, {"Other", false, true}};
  auto onlyDisks = [](int id) { return id >= 19000; };
  std::vector<PopupMenuLine> lines = EmulatorMenuLines(entries, {"Disk&A", "Disk B"}, onlyDisks);
  ASSERT_EQ(lines.size(), 5u);
  struct Expected {
    const char* text;
    int id;
    bool separator, enabled, isDefault, checked;
  } expected[] = {// Names as they are (the launch reads them back); disk texts show "&".
                  {"Emu&Go", 18000, false, false, true, false},
                  {"Other", 18001, false, false, false, true},
                  {"", 0, true, true, false, false},
                  {"Disk&&A", 19000, false, true, false, false},
                  {"Disk B", 19001, false, true, false, false}};
  for (size_t i = 0; i < lines.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(lines[i].text, expected[i].text);
    EXPECT_EQ(lines[i].id, expected[i].id);
    EXPECT_EQ(lines[i].separator, expected[i].separator);
    EXPECT_EQ(lines[i].enabled, expected[i].enabled);
    EXPECT_EQ(lines[i].isDefault, expected[i].isDefault);
    EXPECT_EQ(lines[i].checked, expected[i].checked);
  }
}

TEST(EmulatorMenuLines, NoConfigurationIsOneDisabledLine) {
  std::vector<PopupMenuLine> lines = EmulatorMenuLines({}, {}, [](int) { return true; });
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].text, Jp("エミュレータの設定がありません"));
  EXPECT_FALSE(lines[0].enabled);
  EXPECT_FALSE(lines[0].separator);
}

TEST(EmulatorMenuLines, AmpersandsAreDoubledCharacterByCharacter) {
  // The second byte of 表 is a backslash; Japanese text passes unchanged.
  EXPECT_EQ(MenuText(Jp("表&ソフト&")), Jp("表&&ソフト&&"));
  EXPECT_EQ(MenuText("plain"), "plain");
}

TEST(DiskMenuTexts, TheHeadThenItsMembersInDiskOrder) {
  test::TempFolder folder;
  LibraryConnection db;
  db.Open(folder / "Velmarook.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  ASSERT_FALSE(db.Query(
      "INSERT INTO main_table(file_name,file_title,file_arc_title,ply,ply_file_name) VALUES"
      "('h''s','Head','',1,''),('z','z title','',2,'h''s'),('y','y title','Disk 3',3,'h''s'),"
      "('other','Other','',2,'x');"));
  std::vector<std::string> texts;
  ASSERT_FALSE(ReadDiskMenuTexts(db, "h's", texts));
  EXPECT_EQ(texts, (std::vector<std::string>{"Head", "z title", "Disk 3"}));

  ASSERT_FALSE(db.Query("DROP TABLE main_table;"));
  EXPECT_TRUE(ReadDiskMenuTexts(db, "h's", texts));
  EXPECT_TRUE(texts.empty());
}

}  // namespace
}  // namespace vel
