// The item marks: star geometry and hit test, the adult and favourite rules,
// their statements against a real library, names and colours.
#include "search/item_flags.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(RatingStars, ClickPointsAgainstTheDrawnStars) {
  StarGeometry stars = StarsInCell(100, 0, 20);  // 14 px stars, 15 px apart, centre y 10
  ASSERT_EQ(stars.size, 14);
  ASSERT_EQ(stars.step, 15);
  auto centre = [&](int k) { return stars.left + (k - 1) * stars.step + stars.size / 2; };
  struct Case {
    const char* name;
    int x, y;
    std::optional<int> value;
  } cases[] = {
      {"far left of the stars", 90, 10, std::nullopt},
      {"just left of the first star", 97, 10, 0},
      {"first star's centre", centre(1), 10, 10},
      {"second star's centre", centre(2), 10, 20},
      {"third star's centre", centre(3), 10, 30},
      {"fourth star's centre", centre(4), 10, 40},
      {"fifth star's centre", centre(5), 10, 50},
      {"the gap after the fifth star", 100 + 5 * 15 + 2, 10, 50},
      {"past the stars", 100 + 5 * 15 + 5, 10, std::nullopt},
      {"above the row's centre band", centre(3), 1, std::nullopt},
      {"inside the band", centre(3), 18, 30},
  };
  for (const Case& c : cases) EXPECT_EQ(RatingAtPoint(stars, c.x, c.y), c.value) << c.name;
  // In a short row the stars are smaller and closer: every drawn star centre
  // still sets its own value.
  StarGeometry small = StarsInCell(0, 0, 12);
  for (int k = 1; k <= 5; ++k)
    EXPECT_EQ(RatingAtPoint(small, small.left + (k - 1) * small.step + small.size / 2, 6), k * 10) << k;
}

TEST(AdultFlag, NewValueIsOneUnlessTheFocusedRowIsMarked) {
  struct Case {
    const char* focused;
    const char* value;
  } cases[] = {{"1", "0"}, {"0", "1"}, {"", "1"}, {"2", "1"}};
  for (const Case& c : cases) EXPECT_EQ(NewAdultValue(c.focused), c.value) << c.focused;
}

TEST(Favourites, ModeAndChangedMarks) {
  EXPECT_FALSE(FavouriteAdds("13", '3'));
  EXPECT_TRUE(FavouriteAdds("1", '3'));
  struct Case {
    const char* fave;
    bool add;
    const char* result;
  } cases[] = {
      {"13", false, "1"}, {"3", false, ""}, {"", false, ""}, {"323", false, "2"},
      {"1", true, "13"}, {"", true, "3"}, {"33", true, "33"}, {"x3", true, "x3"},
  };
  for (const Case& c : cases) EXPECT_EQ(ChangedFave(c.fave, '3', c.add), c.result) << c.fave << c.add;
  EXPECT_EQ(FavouriteDigit(7), '7');
  EXPECT_EQ(FavouriteDigit(10), '0');
  EXPECT_EQ(FavouriteDigit(-1), '0');
}

class FavouriteWriteTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title) VALUES('a','A'),('b','B'),('c','C'),('d','D'),"
                          "('C:\\r\\Tom''s.zip','T');"
                          "INSERT INTO favorite_table VALUES('a','13'),('b','3'),('c','');"));
  }
  std::string Fave(const std::string& key) {
    EXPECT_FALSE(db.Query("SELECT ifnull(fave,'<null>') FROM favorite_table WHERE pfile_fv='" + Quote(key) + "';"));
    return db.RowCount() == 0 ? "<no row>" : db.Cell(1, 0);
  }
  // Toggles the digit over the rows as the command does, the first row focused.
  std::optional<BatchFailure> Toggle(const std::vector<FlagRow>& rows, char digit) {
    bool add = FavouriteAdds(rows.front().value, digit);
    std::vector<std::string> next;
    for (const FlagRow& row : rows) next.push_back(ChangedFave(row.value, digit, add));
    return WriteFavourites(db, rows, next);
  }
  test::TempFolder folder;
  LibraryConnection db;
};

TEST_F(FavouriteWriteTest, RemovingTheFocusedMarkFromASelection) {
  ASSERT_FALSE(Toggle({{"a", "13"}, {"b", "3"}, {"c", ""}, {"d", ""}}, '3'));
  EXPECT_EQ(Fave("a"), "1");
  EXPECT_EQ(Fave("b"), "<no row>") << "an item without marks has no row";
  EXPECT_EQ(Fave("c"), "") << "unchanged";
  EXPECT_EQ(Fave("d"), "<no row>") << "unchanged";
}

TEST_F(FavouriteWriteTest, AddingAppendsOnlyWhereAbsentAndQuotesTheKey) {
  ASSERT_FALSE(Toggle({{"d", ""}, {"b", "3"}, {"C:\\r\\Tom's.zip", ""}}, '3'));
  EXPECT_EQ(Fave("d"), "3");
  EXPECT_EQ(Fave("b"), "3");
  EXPECT_EQ(Fave("C:\\r\\Tom's.zip"), "3");
}

TEST_F(FavouriteWriteTest, AFailureOnOneKeyLeavesEveryRowUnchanged) {
  ASSERT_FALSE(db.Query("CREATE TRIGGER refuse_d BEFORE INSERT ON favorite_table WHEN new.pfile_fv='d' "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
  auto failure = Toggle({{"c", ""}, {"a", "13"}, {"d", ""}}, '5');
  ASSERT_TRUE(failure);
  EXPECT_NE(failure->error.find("refused"), std::string::npos);
  EXPECT_EQ(Fave("a"), "13");
  EXPECT_EQ(Fave("c"), "");
  EXPECT_EQ(Fave("d"), "<no row>");
}

TEST_F(FavouriteWriteTest, AdultAndRatingStatementsQuoteTheKey) {
  ASSERT_FALSE(db.Query(AdultStatement("C:\\r\\Tom's.zip", NewAdultValue(""))));
  ASSERT_FALSE(db.Query(RatingStatement("C:\\r\\Tom's.zip", 30)));
  ASSERT_FALSE(db.Query("SELECT adult, rating FROM main_table WHERE title='T';"));
  EXPECT_EQ(db.Cell(1, 0), "1");
  EXPECT_EQ(db.CellInt(1, 1), 30);
}

TEST_F(FavouriteWriteTest, AdultValueStoredForEveryKeyOrForNone) {
  ASSERT_FALSE(WriteAdult(db, {"a", "C:\\r\\Tom's.zip"}, NewAdultValue("")));
  ASSERT_FALSE(db.Query("SELECT file_name, typeof(adult) FROM main_table WHERE adult=1 ORDER BY file_name;"));
  ASSERT_EQ(db.RowCount(), 2);
  EXPECT_EQ(db.Cell(1, 0), "C:\\r\\Tom's.zip");
  EXPECT_EQ(db.Cell(2, 0), "a");
  EXPECT_EQ(db.Cell(1, 1), "integer") << "stored as the unquoted statement stores it";
  ASSERT_FALSE(db.Query("CREATE TRIGGER refuse_c BEFORE UPDATE ON main_table WHEN new.file_name='c' "
                        "BEGIN SELECT RAISE(ABORT, 'refused'); END;"));
  auto failure = WriteAdult(db, {"b", "c"}, "1");
  ASSERT_TRUE(failure);
  EXPECT_EQ(failure->sql, AdultStatement("c", "1"));
  ASSERT_FALSE(db.Query("SELECT COUNT(*) FROM main_table WHERE adult=1;"));
  EXPECT_EQ(db.CellInt(1, 0), 2) << "b rolled back with c";
}

TEST(FavouriteNames, MenuTextAndLength) {
  EXPECT_EQ(FavouriteMenuText(3, ""), "3");
  EXPECT_EQ(FavouriteMenuText(3, "R&B"), "3: R&&B");
  EXPECT_EQ(FavouriteMenuText(12, "x"), "0: x");
  EXPECT_EQ(FavouriteName(std::string(40, 'a')), std::string(30, 'a'));
  // 29 bytes and a two-byte character: the character is not split.
  EXPECT_EQ(FavouriteName(std::string(29, 'a') + "\x83\x5C"), std::string(29, 'a'));
  EXPECT_EQ(FavouriteName(std::string(28, 'a') + "\x83\x5C"), std::string(28, 'a') + "\x83\x5C");
}

}  // namespace
}  // namespace vel

namespace vel {
namespace {

TEST(FavouriteColours, ReadFromTheLayoutOrTheShippedFile) {
  test::TempFolder folder;
  const std::string layout = folder / "layout.ini", shipped = folder / "favorite.ini";
  // The pane colours' notation: Windows order, "#12" black, decimal masked, absent the default.
  test::WriteWholeFile(shipped,
                       "[FavoriteIgctrBGColor]\r\n0=#010203\r\n3=#12\r\n4=#F80\r\n5=-1\r\n"
                       "[FavoriteIgctrTxtColor]\r\n3=255\r\n");
  FavouriteMarks fromShipped;
  ReadFavouriteColours(fromShipped, layout, shipped);  // the layout file does not exist
  EXPECT_EQ(fromShipped[0].boxColour, 0x030201u);
  EXPECT_EQ(fromShipped[3].boxColour, 0u) << "\"#12\" reads as black";
  EXPECT_EQ(fromShipped[3].textColour, 0x0000FFu) << "decimal 255 is red";
  EXPECT_EQ(fromShipped[4].boxColour, 0x0088FFu);
  EXPECT_EQ(fromShipped[5].boxColour, 0xFFFFFFu) << "-1 is masked, never an invalid colour";
  EXPECT_EQ(fromShipped[9].boxColour, kFavouriteBoxColour);
  EXPECT_EQ(fromShipped[9].textColour, kFavouriteTextColour);

  test::WriteWholeFile(layout, "[FavoriteIgctrBGColor]\r\n0=#A0B0C0\r\n");
  FavouriteMarks fromLayout;
  ReadFavouriteColours(fromLayout, layout, shipped);
  EXPECT_EQ(fromLayout[0].boxColour, 0xC0B0A0u);
  EXPECT_EQ(fromLayout[3].textColour, kFavouriteTextColour) << "nothing is taken from the shipped file then";
}

// The entries written for the marks read back as the same colours, and the
// colours in use are read once and then follow a replacement.
TEST(FavouriteColours, WrittenEntriesReadBackAndTheColoursInUseFollowAReplacement) {
  test::TempFolder folder;
  FavouriteMarks marks;
  for (size_t d = 0; d < marks.size(); ++d) {
    marks[d].boxColour = 0x010203u * static_cast<uint32_t>(d + 1);
    marks[d].textColour = 0xFFFFFFu - static_cast<uint32_t>(d);
  }
  const std::string file = folder / "layout.ini";
  ASSERT_TRUE(WriteSettingsFile(file, FavouriteColourEntries(marks)));
  FavouriteMarks back;
  ReadFavouriteColours(back, file, folder / "none.ini");
  for (size_t d = 0; d < marks.size(); ++d) {
    EXPECT_EQ(back[d].boxColour, marks[d].boxColour) << d;
    EXPECT_EQ(back[d].textColour, marks[d].textColour) << d;
  }
  const FavouriteMarks& inUse = CurrentFavouriteColours(file, folder / "none.ini");
  FavouriteMarks theme = marks;
  theme[4].boxColour = 0x00FF00;
  theme[4].textColour = 0x0000FF;
  ReplaceFavouriteColours(theme);
  const FavouriteMarks& now = CurrentFavouriteColours(file, folder / "none.ini");
  EXPECT_EQ(&now, &inUse);
  EXPECT_EQ(now[4].boxColour, 0x00FF00u);
  EXPECT_EQ(now[4].textColour, 0x0000FFu);
  EXPECT_EQ(now[5].boxColour, marks[5].boxColour);
  EXPECT_EQ(FavouriteFallbackFile("C:\\base"), "C:\\base\\resource\\favorite.ini");
}

}  // namespace
}  // namespace vel

namespace vel {
namespace {

TEST(FavouriteBoxes, LaidOutFromTheRightAndShrunkWhenTheyDoNotFit) {
  struct Case {
    const char* name;
    std::vector<int> widths;
    int available, hovered;
    std::vector<int> lefts, sized;
  } cases[] = {
      {"all fit", {30, 12, 40}, 100, -1, {118, 148, 160}, {30, 12, 40}},
      {"others shrink, the hovered keeps its width", {30, 50, 40}, 80, 1, {126, 138, 188}, {12, 50, 12}},
      {"still too wide: equal shares", {30, 50, 40}, 30, 1, {170, 180, 190}, {10, 10, 10}},
      {"narrow boxes are not widened", {5, 50}, 40, -1, {183, 188}, {5, 12}},
  };
  for (const Case& c : cases) {
    std::vector<BoxPlace> places = LayoutFavouriteBoxes(c.widths, 200, c.available, c.hovered);
    ASSERT_EQ(places.size(), c.widths.size()) << c.name;
    for (size_t i = 0; i < places.size(); ++i) {
      EXPECT_EQ(places[i].left, c.lefts[i]) << c.name << " box " << i;
      EXPECT_EQ(places[i].width, c.sized[i]) << c.name << " box " << i;
    }
  }
}

TEST(PaneRating, StarsSixteenPixelsApart) {
  struct Case {
    int x, value;
  } cases[] = {{9, 0}, {10, 10}, {25, 10}, {26, 20}, {74, 50}, {89, 50}, {90, 0}};
  for (const Case& c : cases) EXPECT_EQ(PaneRatingAtPoint(10, c.x), c.value) << c.x;
}

}  // namespace
}  // namespace vel
