// Snapshot lookup over a temporary folder of one-byte picture files: naming
// rules, their order and enablement, extensions, case, sub-folders, slots
// that skip earlier pictures, remembered results and absolute choices.
#include "display/snapshot_lookup.h"

#include <gtest/gtest.h>

#include "core/settings.h"
#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "platform/file_operations.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

// Settings with exactly the given methods enabled, each at its own position.
SnapshotSettings Only(std::vector<int> methods) {
  SnapshotSettings s = DefaultSnapshotSettings("");
  s.enabled.fill(false);
  for (int m : methods) s.enabled[m] = true;
  return s;
}

class SnapshotLookupTest : public testing::Test {
 protected:
  // Creates empty files (CP932 names, "sub\\name" for a sub-folder); a
  // copy of an ASCII-named seed gives Japanese names on every platform.
  void Files(const std::vector<std::string>& names) {
    std::string seed = dir / "seed.bin";  // written by its raw name
    test::WriteWholeFile(seed, "x");
    for (const std::string& name : names) {
      for (size_t cut = name.find('\\'); cut != std::string::npos; cut = name.find('\\', cut + 1))
        CreateFolder(In(name.substr(0, cut)));  // test names are ASCII where they hold folders
      ASSERT_TRUE(CopyOneFile(seed, In(name), CopyMode::kOverwrite))
          << AnsiToUtf8(name);
    }
    RemoveFile(seed);
  }
  // A path inside the temporary folder.
  std::string In(const std::string& name) { return dir.Path() + "\\" + name; }
  // A row whose three slots search the temporary folder (or a folder in it).
  SnapRow Row(const std::string& sub = "") {
    SnapRow row;
    std::string folder = sub.empty() ? dir.Path() : In(sub);
    row.folder = {folder, folder, folder};
    return row;
  }
  // The found file's path relative to the folder ("" when nothing was found).
  std::string Found(const SnapFind& find) {
    if (find.outcome != SnapOutcome::kPicture) return "";
    std::string prefix = dir.Path() + "\\";
    return find.path.compare(0, prefix.size(), prefix) == 0 ? find.path.substr(prefix.size())
                                                            : "outside:" + find.path;
  }
  std::string Lookup(const SnapshotSettings& settings, const SnapRow& row, int slot = 1) {
    SnapshotLookup lookup(settings);
    return Found(lookup.SnapSource(1, slot, row));
  }
  test::TempFolder dir;
};

TEST_F(SnapshotLookupTest, EachNamingRuleFindsItsName) {
  Files({"1A2B3C4D.png", "0B2C3D4E.png", "c3d4.jpg", "0000c3d4.png", "0e5f.gif", "e5f.png",
         "Game (J).bmp",
         "Game (J) [a].png", "Other (v2).png", "(J) Quest 2.png", "inner.jpg", "inner (b).png",
         "Fight (J).gif", "Title Name.png", "123.png", "123B.png", "123A.gif", "HC-77.png"});
  struct Case {
    const char* what;
    int method;
    SnapRow row;
    std::string expected;
  };
  auto row = [&](auto fill) {
    SnapRow r = Row();
    fill(r);
    return r;
  };
  Case cases[] = {
      {"crc as it is, without regard to case", 0, row([](SnapRow& r) { r.crc32 = "1a2b3c4d"; }),
       "1A2B3C4D.png"},
      {"crc shorter than 8 padded with zeros", 0, row([](SnapRow& r) { r.crc32 = "B2C3D4E"; }),
       "0B2C3D4E.png"},
      {"crc: each name with all extensions before the next name", 0,
       row([](SnapRow& r) { r.crc32 = "c3d4"; }), "c3d4.jpg"},
      {"crc padded before stripped", 0, row([](SnapRow& r) { r.crc32 = "0c3d4"; }), "0000c3d4.png"},
      {"crc leading zeros stripped one at a time", 0, row([](SnapRow& r) { r.crc32 = "000e5f"; }),
       "0e5f.gif"},
      {"crc not there", 0, row([](SnapRow& r) { r.crc32 = "ffffffff"; }), ""},
      {"file title exactly", 1, row([](SnapRow& r) { r.fileTitle = "Game (J)"; }), "Game (J).bmp"},
      {"file title exactly, nothing more", 1, row([](SnapRow& r) { r.fileTitle = "Game"; }), ""},
      {"file title and more (or nothing more)", 2, row([](SnapRow& r) { r.fileTitle = "Game (J)"; }),
       "Game (J) [a].png"},
      {"file title and more, in extension order", 2, row([](SnapRow& r) { r.fileTitle = "Gam"; }),
       "Game (J) [a].png"},
      {"file title cut before the bracket", 3, row([](SnapRow& r) { r.fileTitle = "Other [b] (x)"; }),
       "Other (v2).png"},
      {"a bracket at the start is kept", 3, row([](SnapRow& r) { r.fileTitle = "(J) Quest (v1)"; }),
       "(J) Quest 2.png"},
      {"archive title exactly", 4, row([](SnapRow& r) { r.fileArcTitle = "inner"; }), "inner.jpg"},
      {"archive title and more", 5, row([](SnapRow& r) { r.fileArcTitle = "inner"; }),
       "inner (b).png"},
      {"archive title cut", 6, row([](SnapRow& r) { r.fileArcTitle = "Fight [x]"; }),
       "Fight (J).gif"},
      {"title", 7, row([](SnapRow& r) { r.title = "title name"; }), "Title Name.png"},
      {"rom number", 8, row([](SnapRow& r) { r.romNum = "123"; }), "123.png"},
      {"rom number and a letter, A first whatever the extension", 9,
       row([](SnapRow& r) { r.romNum = "123"; }), "123A.gif"},
      {"breed", 10, row([](SnapRow& r) { r.breed = "hc-77"; }), "HC-77.png"},
  };
  for (const Case& c : cases) EXPECT_EQ(Lookup(Only({c.method}), c.row), c.expected) << c.what;
}

TEST_F(SnapshotLookupTest, EmptyNamesMatchNothing) {
  Files({"anything.png", ".png", "A.png"});
  // Every rule enabled, every name empty: neither "" nor "" followed by any
  // characters may take a picture.
  SnapshotSettings all = Only({0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  EXPECT_EQ(Lookup(all, Row()), "");
  SnapRow row = Row();
  row.fileTitle = "zzz";
  // The archive forms are skipped when the archive title is empty.
  EXPECT_EQ(Lookup(Only({4, 5, 6}), row), "");
}

TEST_F(SnapshotLookupTest, ExtensionsInOrderAndOnlyPictures) {
  struct Case {
    std::vector<std::string> files;
    std::string expected;
  } cases[] = {
      {{"x.jpg", "x.gif", "x.bmp", "x.png"}, "x.png"},
      {{"x.jpg", "x.gif", "x.BMP"}, "x.BMP"},
      {{"x.JPG", "x.Gif"}, "x.Gif"},
      {{"x.txt", "x.jpg"}, "x.jpg"},
      {{"x.jpeg", "x.txt", "x.png.bak", "x"}, ""},
  };
  int n = 0;
  for (const Case& c : cases) {
    std::string sub = "case" + std::to_string(n++);
    for (const std::string& file : c.files) Files({sub + "\\" + file});
    SnapRow row = Row(sub);
    row.fileTitle = "x";
    EXPECT_EQ(Lookup(Only({1}), row), c.expected.empty() ? "" : sub + "\\" + c.expected) << sub;
  }
}

TEST_F(SnapshotLookupTest, RulesRunInTheConfiguredOrderWhenEnabled) {
  Files({"Game (J) [a].png", "SLPS-1.png", "Game.bmp", "Game Title.jpg"});
  SnapRow row = Row();
  row.fileTitle = "Game (J)";
  row.breed = "SLPS-1";
  row.title = "Game Title";
  row.fileArcTitle = "Game";
  SnapshotSettings breedFirst = Only({1, 2, 10});
  breedFirst.order[10] = -1;
  SnapshotSettings titleBeforeCut = Only({3, 7});
  titleBeforeCut.order[7] = -2;
  SnapshotSettings titleRepeatsTwo = Only({3, 7});
  titleRepeatsTwo.order[7] = 2;  // method 2's position (enabled or not): renumbered to 110
  SnapshotSettings swapped = Only({4, 7});
  std::swap(swapped.order[4], swapped.order[7]);
  struct Case {
    const char* what;
    SnapshotSettings settings;
    std::string expected;
    int method;
  } cases[] = {
      {"method 1 fails, method 2 takes the bracketed suffix", Only({1, 2}), "Game (J) [a].png", 2},
      {"a method moved to the front", breedFirst, "SLPS-1.png", 10},
      {"the cut file title (3) before the title (7)", Only({3, 7}), "Game (J) [a].png", 3},
      {"the title placed before the cut", titleBeforeCut, "Game Title.jpg", 7},
      {"the title at a repeated position goes last", titleRepeatsTwo, "Game (J) [a].png", 3},
      {"swapped positions", swapped, "Game Title.jpg", 7},
      {"a disabled method is not tried", Only({8, 9}), "", -1},
      {"the defaults: methods 1 to 4", DefaultSnapshotSettings(""), "Game (J) [a].png", 2},
  };
  for (const Case& c : cases) {
    SnapshotLookup lookup(c.settings);
    SnapFind find = lookup.SnapSource(1, 1, row);
    EXPECT_EQ(Found(find), c.expected) << c.what;
    EXPECT_EQ(find.method, c.method) << c.what;
  }
}

TEST(SnapshotSettingsOrder, RepeatedPositionsRenumberedFrom110) {
  using Order = std::array<int, kSnapMethodCount>;
  struct Case {
    Order given, expected;
  } cases[] = {
      {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10}},
      {{0, 0, 0, 3, 4, 5, 6, 7, 8, 9, 10}, {0, 110, 111, 3, 4, 5, 6, 7, 8, 9, 10}},
      {{5, 5, 110, 3, 4, 0, 6, 7, 8, 9, 1}, {5, 111, 110, 3, 4, 0, 6, 7, 8, 9, 1}},
      {{2, 1, 2, 1, 4, 5, 6, 7, 8, 9, 10}, {2, 1, 110, 111, 4, 5, 6, 7, 8, 9, 10}},
  };
  for (const Case& c : cases) EXPECT_EQ(RenumberFindOrder(c.given), c.expected);

  // From the settings table: defaults, then a repeated position.
  Settings table = CoreSettingsTable(SettingsContext{});
  SnapshotSettings defaults = SnapshotSettingsFrom(table, "C:\\base");
  EXPECT_EQ(SearchSequence(defaults), (std::vector<int>{1, 2, 3, 4}));
  EXPECT_FALSE(defaults.searchSubdir || defaults.skipLoaded || defaults.relativeToBase);
  SetSetting(table, "SnapShot", "FindOrder4", 1);  // 4 repeats 1's position and goes last
  SetSetting(table, "SnapShot", "FindMode10", 1);
  SetSetting(table, "SnapShot", "FindMode2", 0);
  SetSetting(table, "SnapShot", "searchSubdir", 1);
  SetSetting(table, "SnapShot", "skipLoaded", 1);
  SetSetting(table, "FolderPath", "opp2fix", 1);
  SnapshotSettings read = SnapshotSettingsFrom(table, "C:\\base");
  EXPECT_EQ(read.order[4], 110);
  EXPECT_EQ(SearchSequence(read), (std::vector<int>{1, 3, 10, 4}));
  EXPECT_TRUE(read.searchSubdir && read.skipLoaded && read.relativeToBase);
  EXPECT_EQ(read.baseFolder, "C:\\base");
}

TEST_F(SnapshotLookupTest, NamesCompareWithoutCaseCharacterByCharacter) {
  Files({Jp("表ABC.png"), Jp("ソフトＡＢＣ.png"), Jp("ヂ.png"), Jp("能力 (J).PNG"), Jp("ゲ　x.png"),
         Jp("ωmega.png"), Jp("жук (J).png"), Jp("ロマンⅱ.png")});
  struct Case {
    const char* what;
    int method;
    std::string title;
    std::string expected;
  } cases[] = {
      {"single-byte letters after a 0x5C trail byte", 7, Jp("表abc"), Jp("表ABC.png")},
      {"full-width letters", 7, Jp("ソフトａｂｃ"), Jp("ソフトＡＢＣ.png")},
      {"Greek letters", 7, Jp("Ωmega"), Jp("ωmega.png")},
      {"Cyrillic letters in a prefix", 2, Jp("ЖУК"), Jp("жук (J).png")},
      {"Roman numerals", 7, Jp("ロマンⅡ"), Jp("ロマンⅱ.png")},
      // 0x83 0x41 must not fold into 0x83 0x61: a trail byte is no letter.
      {"a trail byte that looks like a letter", 7, Jp("ア"), ""},
      {"cut before a bracket after a 0x5C trail byte", 3, Jp("能力 (J) [b]"), Jp("能力 (J).PNG")},
      // The long vowel mark ends in 0x5B ("["): cutting there would leave a
      // lone lead byte that starts the full-width space's name as well.
      {"no cut at a trail byte that looks like a bracket", 3, Jp("ゲーム(J)"), ""},
  };
  for (const Case& c : cases) {
    SnapRow row = Row();
    row.title = c.title;
    row.fileTitle = c.title;
    EXPECT_EQ(Lookup(Only({c.method}), row), c.expected) << c.what;
  }
}

TEST_F(SnapshotLookupTest, SubfoldersSearchedOnlyWhenAskedAndWhenTheFolderHasNoMatch) {
  Files({"deep\\x.png", "deep\\y.png", "y (J).png", "a\\b\\z.png"});
  SnapshotSettings settings = Only({1, 2});
  SnapRow row = Row();
  row.fileTitle = "x";
  EXPECT_EQ(Lookup(settings, row), "");
  settings.searchSubdir = true;
  EXPECT_EQ(Lookup(settings, row), "deep\\x.png");
  // The folder's own match by a later rule wins over a sub-folder's exact name.
  row.fileTitle = "y";
  EXPECT_EQ(Lookup(settings, row), "y (J).png");
  row.fileTitle = "z";  // one level of sub-folders only
  EXPECT_EQ(Lookup(settings, row), "");
}

TEST_F(SnapshotLookupTest, SkipLoadedGivesLaterSlotsOtherPictures) {
  Files({"x.png", "x (2).bmp", "x (3).gif"});
  SnapRow row = Row();
  row.fileTitle = "x";
  for (bool skip : {false, true}) {
    SnapshotSettings settings = Only({1, 2});
    settings.skipLoaded = skip;
    SnapshotLookup lookup(settings);
    // Slot 3 first: the earlier slots are decided on the way.
    EXPECT_EQ(Found(lookup.SnapSource(1, 3, row)), skip ? "x (3).gif" : "x.png");
    EXPECT_EQ(Found(lookup.SnapSource(1, 2, row)), skip ? "x (2).bmp" : "x.png");
    EXPECT_EQ(Found(lookup.SnapSource(1, 1, row)), "x.png");
  }
  // An absolute picture in slot 1 is skipped by the search of slot 2.
  SnapshotSettings settings = Only({1, 2});
  settings.skipLoaded = true;
  row.absolute[0] = In("x.png");
  EXPECT_EQ(Lookup(settings, row, 2), "x (2).bmp");
}

TEST_F(SnapshotLookupTest, ResultsRememberedPerRowAndSlotUntilInvalidated) {
  Files({"a.png"});
  SnapshotLookup lookup(Only({1}));
  int asked = 0;
  auto fields = [&] {
    ++asked;
    SnapRow row = Row();
    row.fileTitle = "a";
    row.absolute[1] = In("a.png");
    return row;
  };
  SnapFind first = lookup.SnapSource(7, 1, fields);
  EXPECT_EQ(first.kind, kSnapSearched);
  EXPECT_EQ(SnapLabel(first.kind), Jp("[自動検索]"));
  EXPECT_EQ(SnapHoverText(first), Jp("[自動検索]>ファイル名\r\n") + In("a.png"));
  SnapFind again = lookup.SnapSource(7, 1, fields);
  EXPECT_EQ(asked, 1);
  EXPECT_EQ(again.kind, kSnapSearched + kSnapReused);
  EXPECT_EQ(again.path, first.path);
  EXPECT_EQ(again.method, 1);
  EXPECT_EQ(SnapHoverText(again), Jp("[キャッシュ]>ファイル名\r\n") + In("a.png"));
  // Another slot of the same row is decided on its own.
  SnapFind absolute = lookup.SnapSource(7, 2, fields);
  EXPECT_EQ(asked, 2);
  EXPECT_EQ(absolute.kind, kSnapAbsolute);
  EXPECT_EQ(SnapHoverText(absolute), Jp("[絶対指定]>\r\n") + In("a.png"));
  EXPECT_EQ(lookup.SnapSource(7, 2, fields).kind, kSnapAbsolute + kSnapReused);

  // After Invalidate the rows are asked again.
  auto other = [&] {
    ++asked;
    SnapRow row = Row();
    row.fileTitle = "b";
    return row;
  };
  lookup.Invalidate();
  EXPECT_EQ(Found(lookup.SnapSource(7, 1, other)), "");
  EXPECT_EQ(asked, 3);
}

TEST_F(SnapshotLookupTest, FolderListedAgainWhenItChanges) {
  Files({"a.png"});
  SnapshotLookup lookup(Only({1}));
  int asked = 0;
  auto b = [&] {
    ++asked;
    SnapRow row = Row();
    row.fileTitle = "b";
    return row;
  };
  SnapFind missing = lookup.SnapSource(8, 1, b);
  EXPECT_EQ(missing.outcome, SnapOutcome::kNotFound);
  // A search that found nothing keeps its own label when given again.
  SnapFind missingAgain = lookup.SnapSource(8, 1, b);
  EXPECT_EQ(missingAgain.kind, kSnapSearched);
  EXPECT_EQ(SnapLabel(missingAgain.kind), Jp("[自動検索]"));
  EXPECT_EQ(asked, 1);  // the folder is unchanged: nothing is searched again

  // A picture added to the folder is found at the next lookup, by a new row
  // and by the row remembered as not found.
  SleepMs(20);  // a later last-write time on coarse clocks
  Files({"b.png"});
  EXPECT_EQ(Found(lookup.SnapSource(8, 1, b)), "b.png");
  EXPECT_EQ(Found(lookup.SnapSource(9, 1, b)), "b.png");
  EXPECT_EQ(lookup.SnapSource(8, 1, b).kind, kSnapSearched + kSnapReused);
  EXPECT_EQ(asked, 3);
}

TEST_F(SnapshotLookupTest, SubfolderListedAgainWhenItChanges) {
  Files({"shots\\a.png"});
  SnapshotSettings settings = Only({1});
  settings.searchSubdir = true;
  SnapshotLookup lookup(settings);
  SnapRow row = Row();
  row.fileTitle = "b";
  EXPECT_EQ(lookup.SnapSource(8, 1, row).outcome, SnapOutcome::kNotFound);
  // A picture added to the subfolder changes the time of that folder only
  // (copied from elsewhere: the seed of Files would touch the top folder).
  SleepMs(20);
  test::TempFolder elsewhere;
  const std::string seed = elsewhere / "seed.bin";
  test::WriteWholeFile(seed, "x");
  ASSERT_TRUE(CopyOneFile(seed, In("shots\\b.png"), CopyMode::kOverwrite));
  EXPECT_EQ(Found(lookup.SnapSource(8, 1, row)), "shots\\b.png");
}

TEST_F(SnapshotLookupTest, AbsoluteChoicesAndSourceKinds) {
  Files({"shot.PNG", "notes.txt", "own\\a.gif", "a.png"});
  struct Case {
    const char* what;
    std::string absolute, folder;
    int kind;
    SnapOutcome outcome;
    std::string path;
    std::string fileTitle = "a";
  } cases[] = {
      {"a picture file", In("shot.PNG"), dir.Path(), kSnapAbsolute, SnapOutcome::kPicture,
       In("shot.PNG")},
      {"a missing file", In("gone.png"), dir.Path(), kSnapAbsolute, SnapOutcome::kMissing,
       In("gone.png")},
      {"not a picture", In("notes.txt"), "", kSnapAbsolute, SnapOutcome::kNotPicture, In("notes.txt")},
      {"the no-file text", "File Not Found.", dir.Path(), kSnapAbsolute, SnapOutcome::kNoSource,
       "File Not Found."},
      {"a folder is searched by the rules", In("own"), dir.Path(), kSnapAbsolute,
       SnapOutcome::kPicture, In("own") + "\\a.gif"},
      {"a folder without a match", In("own"), "", kSnapAbsolute, SnapOutcome::kNotFound, In("own"),
       "zz"},
      {"the machine's folder", "", dir.Path(), kSnapSearched, SnapOutcome::kPicture, In("a.png")},
      {"a missing machine folder", "", In("none"), kSnapSearched, SnapOutcome::kNotFound, In("none")},
      {"neither", "", "", kSnapNoSource, SnapOutcome::kNoSource, ""},
  };
  for (const Case& c : cases) {
    SnapRow row;
    row.absolute[2] = c.absolute;
    row.folder[2] = c.folder;
    row.fileTitle = c.fileTitle;
    SnapshotLookup lookup(Only({1}));
    SnapFind find = lookup.SnapSource(1, 3, row);
    EXPECT_EQ(find.kind, c.kind) << c.what;
    EXPECT_EQ(find.outcome, c.outcome) << c.what;
    EXPECT_EQ(find.path, c.path) << c.what;
  }
  EXPECT_EQ(SnapLabel(kSnapNoSource), Jp("[検索指定なし]"));
  // Any slot number other than 1 to 3 means slot 1.
  SnapRow row;
  row.absolute[0] = In("shot.PNG");
  for (int slot : {0, 4, -1}) {
    SnapshotLookup lookup(Only({1}));
    EXPECT_EQ(lookup.SnapSource(1, slot, row).path, In("shot.PNG")) << slot;
  }
}

TEST(SnapshotRelativeFolder, ParentStepsTakenFromTheBaseFolder) {
  const std::string base = "C:\\a\\b";
  struct Case {
    std::string folder, base, expected;
  } cases[] = {
      {"..\\snap", base, "C:\\a\\snap"},
      {"..\\..\\snap\\x", base, "C:\\snap\\x"},
      {"snap\\..\\x", base, "C:\\a\\b\\x"},
      {"snap", base, "snap"},                      // no parent step: as it is
      {".\\snap", base, ".\\snap"},
      {"C:\\..\\x", base, "C:\\..\\x"},            // a drive
      {"\\\\server\\..\\x", base, "\\\\server\\..\\x"},  // a leading backslash
      {Jp("..\\ソ\\表"), base, Jp("C:\\a\\ソ\\表")},      // 0x5C trail bytes are no separators
      {Jp("..\\表\\..\\y"), base, "C:\\a\\y"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ResolveRelativeFolder(c.folder, c.base), c.expected) << AnsiToUtf8(c.folder);
}

TEST_F(SnapshotLookupTest, RelativeMachineFolderResolvedAgainstTheBaseOnlyWhenSet) {
  Files({"base\\keep.txt", "snaps\\a.png"});
  SnapRow row;
  row.folder[0] = "..\\snaps";
  row.fileTitle = "a";
  SnapshotSettings settings = Only({1});
  settings.baseFolder = In("base");
  settings.relativeToBase = true;
  EXPECT_EQ(Lookup(settings, row), "snaps\\a.png");
  settings.relativeToBase = false;
  SnapshotLookup lookup(settings);
  SnapFind find = lookup.SnapSource(1, 1, row);
  EXPECT_EQ(find.outcome, SnapOutcome::kNotFound);
  EXPECT_EQ(find.path, "..\\snaps");
}

TEST_F(SnapshotLookupTest, RowFieldsReadFromTheListPositions) {
  LibraryConnection db;
  db.Open(In("Velmarook.db"), "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  ASSERT_FALSE(CreateItemView(db));
  auto error = db.Query(
      "INSERT INTO main_table(file_name, machine_name, title, file_title, file_arc_title, crc32, "
      "rom_num) VALUES('k', 'M', 'T', 'FT', 'AT', '0012abcd', '77');"
      "INSERT INTO machine_info_table(machine, snap_path, snap_path2, snap_path3) "
      "VALUES('M', 'P1', 'P2', 'P3');"
      "INSERT INTO snap_path_table(pfile_sp, snap1, snap2, snap3) VALUES('k', 'S1', 'S2', 'S3');"
      "INSERT INTO spec_table(pfile_sc, breed) VALUES('k', 'B');");
  ASSERT_FALSE(error) << *error;
  ASSERT_FALSE(db.Query("SELECT * FROM all_item_view;"));
  SnapRow row = SnapRowFromList(db, 1);
  EXPECT_EQ(row.absolute, (std::array<std::string, kSnapSlots>{"S1", "S2", "S3"}));
  EXPECT_EQ(row.folder, (std::array<std::string, kSnapSlots>{"P1", "P2", "P3"}));
  EXPECT_EQ(row.fileTitle, "FT");
  EXPECT_EQ(row.fileArcTitle, "AT");
  EXPECT_EQ(row.title, "T");
  EXPECT_EQ(row.crc32, "0012abcd");
  EXPECT_EQ(row.romNum, "77");
  EXPECT_EQ(row.breed, "B");
}

}  // namespace
}  // namespace vel
