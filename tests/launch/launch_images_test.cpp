#include "launch/launch_images.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {

const std::vector<ImageRow> kSet = {
    {"C:\\games\\a b.zip*DISK 1.d88", "DISK 1", "d88", "a b", "zip"},
    {"C:\\games\\disk two.d88", "", "", "disk two", "d88"},
};

TEST(LaunchImages, SlotsByExtractionBootDiskRenamingAndQuotes) {
  struct Case {
    const char* name;
    ImageListSettings settings;
    std::vector<std::string> slots;  // 0..n
    size_t renames;
  } cases[] = {
      {"passed from their places", {0, "D:\\x", 0, false, false, 0},
       {"C:\\games\\a b.zip", "C:\\games\\a b.zip", "C:\\games\\disk two.d88"}, 0},
      {"members extracted", {1, "D:\\x", 0, false, false, 0},
       {"D:\\x\\DISK 1.d88", "D:\\x\\DISK 1.d88", "C:\\games\\disk two.d88"}, 0},
      {"copied, booting disk 2", {2, "D:\\x", 0, false, false, 2},
       {"D:\\x\\disk two.d88", "D:\\x\\DISK 1.d88", "D:\\x\\disk two.d88"}, 0},
      {"a boot disk beyond the set boots the first", {0, "", 0, false, false, 5},
       {"C:\\games\\a b.zip", "C:\\games\\a b.zip", "C:\\games\\disk two.d88"}, 0},
      {"spaces replaced in copies", {2, "D:\\x", 1, false, false, 0},
       {"D:\\x\\DISK_1.d88", "D:\\x\\DISK_1.d88", "D:\\x\\disk_two.d88"}, 2},
      {"numbered copies, quoted", {2, "D:\\x", 2, true, false, 2},
       {"\"D:\\x\\00000002.d88\"", "\"D:\\x\\00000001.d88\"", "\"D:\\x\\00000002.d88\""}, 2},
      {"no renaming without copies", {1, "D:\\x", 2, false, false, 0},
       {"D:\\x\\DISK 1.d88", "D:\\x\\DISK 1.d88", "C:\\games\\disk two.d88"}, 0},
  };
  for (const Case& c : cases) {
    ImagePlan plan = PlanImages(kSet, c.settings);
    EXPECT_TRUE(plan.error.empty()) << c.name;
    ASSERT_EQ(plan.count, 2) << c.name;
    for (size_t i = 0; i < c.slots.size(); ++i) EXPECT_EQ(plan.images[i], c.slots[i]) << c.name << " slot " << i;
    EXPECT_EQ(plan.images[3], "") << c.name;
    EXPECT_EQ(plan.renames.size(), c.renames) << c.name;
  }
}

TEST(LaunchImages, AlterEgoCopiesAreRenamedInPlaceAndJapaneseNamesStayWhole) {
  // "表" and "ソ" end in 0x5C: the folder is not cut inside them.
  const std::string folder = Jp("D:\\分身\\表ソ");
  std::vector<ImageRow> rows = {{folder + Jp("\\ソフト 1.d88")}, {folder + Jp("\\ソフト 2.d88")}};
  ImagePlan plan = PlanImages(rows, {0, folder, 1, false, true, 0});
  ASSERT_EQ(plan.renames.size(), 2u);
  EXPECT_EQ(plan.renames[0].from, folder + Jp("\\ソフト 1.d88"));
  EXPECT_EQ(plan.renames[0].to, folder + Jp("\\ソフト_1.d88"));
  EXPECT_EQ(plan.images[0], folder + Jp("\\ソフト_1.d88"));
}

// Only the second image's name changes: its rename carries its own number.
TEST(LaunchImages, ARenameKnowsTheNumberOfItsImage) {
  std::vector<ImageRow> rows = {{"D:\\ae\\plain.d88"}, {"D:\\ae\\with space.d88"}};
  ImagePlan plan = PlanImages(rows, {0, "D:\\ae", 1, false, true, 0});
  ASSERT_EQ(plan.renames.size(), 1u);
  EXPECT_EQ(plan.renames[0].image, 2);
  EXPECT_EQ(plan.renames[0].to, "D:\\ae\\with_space.d88");
}

TEST(LaunchImages, OverlongPathsAreRefusedNotCut) {
  std::vector<ImageRow> rows = {{"C:\\" + std::string(300, 'a') + ".d88"}};
  ImagePlan plan = PlanImages(rows, {});
  EXPECT_FALSE(plan.error.empty());
  std::vector<ImageRow> many(100, ImageRow{"C:\\a.d88"});
  EXPECT_FALSE(PlanImages(many, {}).error.empty());
}

TEST(LaunchImages, QueriesReadTheSetInLaunchOrder) {
  test::TempFolder temp;
  LibraryConnection db;
  db.Open(temp / "lib.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,ply,ply_file_name,file_title,file_ext) VALUES"
                        "('C:\\it''s.d88',1,'','it''s','d88'),('C:\\b.d88',3,'C:\\it''s.d88','b','d88'),"
                        "('C:\\a.d88',2,'C:\\it''s.d88','a','d88'),('C:\\other.d88',0,'','other','d88');"));
  ASSERT_FALSE(db.Query(ImageListStatement("C:\\it's.d88", 3, false)));
  std::vector<ImageRow> rows = ImageRowsFromResult(db, false);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].fileName, "C:\\it's.d88");
  EXPECT_EQ(rows[1].fileName, "C:\\a.d88");
  EXPECT_EQ(rows[2].fileTitle, "b");
  ASSERT_FALSE(db.Query("INSERT INTO alter_ego_table(pfile_ae,ae_file,alter_ego,ply_pfile_ae) VALUES"
                        "('C:\\a.d88','D:\\ae\\a.d88',2,'C:\\it''s.d88'),('C:\\it''s.d88','D:\\ae\\it''s.d88',1,NULL);"));
  ASSERT_FALSE(db.Query(ImageListStatement("C:\\it's.d88", 0, true)));
  EXPECT_EQ(ImageRowsFromResult(db, true).size(), 1u);  // a count of 0 means one image
  ASSERT_FALSE(db.Query(ImageListStatement("C:\\it's.d88", 2, true)));
  rows = ImageRowsFromResult(db, true);
  ASSERT_EQ(rows.size(), 2u);
  EXPECT_EQ(rows[0].fileName, "D:\\ae\\it's.d88");
  ASSERT_FALSE(db.Query(AlterEgoRenameStatement("C:\\it's.d88", 2, "D:\\ae\\0'2.d88")));
  ASSERT_FALSE(db.Query("SELECT ren_file_name FROM alter_ego_table WHERE alter_ego=2;"));
  EXPECT_EQ(db.Cell(1, 0), "D:\\ae\\0'2.d88");
}

}  // namespace
}  // namespace vel
