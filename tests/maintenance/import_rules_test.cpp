#include "maintenance/import_rules.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace vel {
namespace {

TEST(ImportRules, KeysSplitIntoMemberAndFileParts) {
  struct Case {
    std::string key, memberTitle, memberExt, fileTitle, fileExt;
  } cases[] = {
      {"C:\\g\\a.zip*DISK1.D88", "DISK1", "D88", "a", "zip"},
      {"C:\\g\\a.zip*sub\\DISK2.D88", "DISK2", "D88", "a", "zip"},
      {"C:\\g\\Game (1987).d88", "", "", "Game (1987)", "d88"},
      {"C:\\g.v2\\README", "", "", "README", ""},
      {"C:\\g\\x.tar.gz", "", "", "x.tar", "gz"},
      // 0x5C as the trail byte of "ソ" and "表" is no separator.
      {Jp("C:\\ソフト\\表示.d88"), "", "", Jp("表示"), "d88"},
      {Jp("C:\\g\\ソフト.lzh*表示.D77"), Jp("表示"), "D77", Jp("ソフト"), "lzh"},
  };
  for (const Case& c : cases) {
    KeyParts p = SplitItemKey(c.key);
    EXPECT_EQ(p.memberTitle, c.memberTitle) << c.key;
    EXPECT_EQ(p.memberExt, c.memberExt) << c.key;
    EXPECT_EQ(p.fileTitle, c.fileTitle) << c.key;
    EXPECT_EQ(p.fileExt, c.fileExt) << c.key;
  }
}

TEST(ImportRules, CutsBackOffToACharacterBoundary) {
  std::string text = "ab" + Jp("表示");  // 2 + 2 + 2 bytes
  EXPECT_EQ(CutToBytes(text, 6), text);
  EXPECT_EQ(CutToBytes(text, 5), "ab" + Jp("表"));
  EXPECT_EQ(CutToBytes(text, 3), "ab");
  EXPECT_EQ(CutToBytes(text, 0), "");
}

TEST(ImportRules, SearchExtensionsAndNaturalOrder) {
  std::vector<std::string> exts = ParseSearchExtensions(" d88; .D77;*.fdi;;");
  EXPECT_EQ(exts, (std::vector<std::string>{"d88", "d77", "fdi"}));
  EXPECT_TRUE(MatchesExtensions("GAME.D88", exts));
  EXPECT_TRUE(MatchesExtensions("x.fdi", exts));
  EXPECT_FALSE(MatchesExtensions("x.d880", exts));
  EXPECT_FALSE(MatchesExtensions("d88", exts));
  EXPECT_TRUE(MatchesExtensions("anything.txt", {}));

  EXPECT_LT(NaturalCompare("DISK2.D88", "disk10.d88"), 0);
  EXPECT_GT(NaturalCompare("Disk 10", "Disk 9"), 0);
  EXPECT_LT(NaturalCompare("a", "B"), 0);
  EXPECT_EQ(NaturalCompare("same", "same"), 0);
}

ImportJob Rules(int title, int maker, int version) {
  ImportJob job;
  job.titleRule = title;
  job.makerRule = maker;
  job.versionRule = version;
  job.countryMarks = "(JP);[JP];(J);[J];(US);[US]";
  return job;
}

TEST(ImportRules, TitleMakerAndVersionRules) {
  const std::string key = "C:\\roms\\Enix\\Dragon (Disk) [v1.1]\\01 Wizard (1987)(J)[a].d88";
  struct Case {
    int title, maker, version;
    std::string wantTitle, wantMaker, wantVersion;
  } cases[] = {
      {0, 0, 0, "01 Wizard (1987)(J)[a]", "", ""},
      {1, 1, 1, "01 Wizard", "Dragon (Disk) [v1.1]", "(1987)(J)[a]"},
      {2, 2, 2, "Wizard", "Enix", "[a]"},
      {3, 0, 3, "Dragon (Disk) [v1.1]", "", "(Disk) [v1.1]"},
      {4, 0, 0, "Dragon", "", ""},
  };
  for (const Case& c : cases) {
    DerivedText d = DeriveText(key, Rules(c.title, c.maker, c.version));
    EXPECT_EQ(d.title, c.wantTitle) << c.title;
    EXPECT_EQ(d.maker, c.wantMaker) << c.maker;
    EXPECT_EQ(d.version, c.wantVersion) << c.version;
  }
  // A member of an archive takes its names from the archive.
  DerivedText m = DeriveText("C:\\roms\\Enix\\Game (1990).zip*DISK1.D88", Rules(1, 1, 1));
  EXPECT_EQ(m.title, "Game");
  EXPECT_EQ(m.maker, "Enix");
  EXPECT_EQ(m.version, "(1990)");
  EXPECT_EQ(TitleWithMember(m.title, "C:\\roms\\Enix\\Game (1990).zip*DISK1.D88"), "Game[D88]---[DISK1]");
}

TEST(ImportRules, TheTitleIsNeverEmptyNorLongerThanAColumn) {
  struct Case {
    std::string key;
    int rule;
    std::string want;
  } cases[] = {
      {"C:\\roms\\(Proto) Game.d88", 1, "(Proto) Game"},  // nothing before the bracket
      {"C:\\roms\\123 .d88", 2, "123"},                    // nothing after the number
      {"C:\\Game.d88", 3, "Game"},                         // no parent folder at a drive root
      {"C:\\roms\\.d88", 0, ".d88"},
      {"C:\\roms\\1942.d88", 2, "1942"},
      {"C:\\roms\\3D Golf.d88", 2, "3D Golf"},
  };
  for (const Case& c : cases) EXPECT_EQ(DeriveText(c.key, Rules(c.rule, 0, 0)).title, c.want) << c.key;
  std::string longName;
  for (int i = 0; i < 200; ++i) longName += Jp("表");
  std::string title = DeriveText("C:\\" + longName + ".d88", Rules(0, 0, 0)).title;
  EXPECT_EQ(title.size(), 254u);  // 255 would split a character
}

TEST(ImportRules, TitlesLoseFullWidthSpacesAtTheirEndsByCharacter) {
  struct Case {
    std::string name;
    int rule;
    std::string want;
  } cases[] = {
      {Jp("ザナドゥ　(1985)(J)"), 1, Jp("ザナドゥ")},
      {Jp("　ザナドゥ　 [a]"), 1, Jp("ザナドゥ")},
      {Jp("01 ザナドゥ　(1985)"), 2, Jp("ザナドゥ")},
      {Jp("ヴァ　(1990)"), 1, Jp("ヴァ")},  // ァ ends in the byte 0x40
      {Jp("メ@ (1990)"), 1, Jp("メ@")},      // メ ends in 0x81: with @ the bytes of a full-width space, but no space
      {Jp("ザナドゥ　"), 0, Jp("ザナドゥ　")},  // the file name rule keeps the name as it is
  };
  for (const Case& c : cases)
    EXPECT_EQ(DeriveText("C:\\roms\\" + c.name + ".d88", Rules(c.rule, 0, 0)).title, c.want) << AnsiToUtf8(c.name);
}

TEST(ImportRules, YearAndCountryFromThePath) {
  ImportJob job = Rules(0, 0, 0);
  job.yearFromPath = true;
  job.countryFromPath = true;
  struct Case {
    std::string key, year, country;
  } cases[] = {
      {"C:\\r\\Game 1942 (1984)(J).d88", "1984", "(J)"},
      {"C:\\r\\Game 2001 v2.d88", "2001", ""},
      {"C:\\r\\1987\\Game [us].zip*DISK1.D88", "1987", "[US]"},
      {"C:\\r\\Game (12345)(JP).d88", "", "(JP)"},
  };
  for (const Case& c : cases) {
    DerivedText d = DeriveText(c.key, job);
    EXPECT_EQ(d.saleYear, c.year) << c.key;
    EXPECT_EQ(d.country, c.country) << c.key;
  }
  job.countryDefaultFirst = true;
  job.countryWithoutBrackets = true;
  job.year = "1990";
  DerivedText d = DeriveText("C:\\r\\Game.d88", job);
  EXPECT_EQ(d.country, "JP");
  EXPECT_EQ(d.saleYear, "1990");  // the typed year when the path has none
  job.countryFromPath = false;
  EXPECT_EQ(DeriveText("C:\\r\\Game (J).d88", job).country, "JP;JP;J;J;US;US");
}

TEST(ImportRules, VersionWithoutCountryAndYear) {
  ImportJob job = Rules(0, 0, 2);
  EXPECT_EQ(DeriveText("C:\\r\\Game (1987)(J)(Rev A).d88", job).version, "(Rev A)");
  EXPECT_EQ(DeriveText("C:\\r\\Game [1987][JP].d88", job).version, "");
}

}  // namespace
}  // namespace vel
