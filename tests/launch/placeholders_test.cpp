#include "launch/placeholders.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "launch/emulator_config.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "test_support.h"

namespace vel {
namespace {

const std::string kFirst = "C:\\games\\disk\\a b.d88";
const std::string kSecond = "C:\\games\\disk\\second.d88";

std::string Quoted(const std::string& path) { return "\"" + path + "\""; }

// Two images; with `doubleQuart` they carry quotes as the launch adds them.
LaunchValues TwoImages(bool doubleQuart, int bootDisk) {
  LaunchValues launch;
  auto slot = [&](const std::string& path) { return doubleQuart ? Quoted(path) : path; };
  launch.images[1] = slot(kFirst);
  launch.images[2] = slot(kSecond);
  if (bootDisk > 0) launch.images[0] = launch.images[static_cast<size_t>(bootDisk)];
  launch.imageCount = 2;
  launch.bootDisk = bootDisk;
  launch.item.fileName = "D:\\game.d88";
  launch.item.machineName = "PC-8801";
  launch.item.title = "Title $machine $image";
  launch.item.maker = "Maker";
  launch.item.developer = "Dev";
  launch.item.crc32 = "0012ABCD";
  launch.item.fileTitle = "game";
  launch.executable = "..\\emu\\x.exe";
  launch.baseFolder = "C:\\app\\bin";
  launch.programFolder = "C:\\app\\bin\\";
  launch.bootTime = {2026, 1, 2, 3, 4, 5};
  launch.now = [] { return LocalTime{2027, 11, 12, 13, 14, 15}; };
  launch.joysticks = [] { return std::vector<int>{}; };
  return launch;
}

TEST(Placeholders, ExpandsEveryPlaceholderOfTheTable) {
  struct Case {
    std::string text;
    bool doubleQuart;
    int bootDisk;
    bool strip;
    bool skip;
    std::string expected;
  };
  const Case cases[] = {
      {"$image", false, 0, false, false, kFirst},
      {"$image", true, 0, false, false, Quoted(kFirst)},
      {"$image", true, 0, true, false, kFirst},
      {"$image $image1 $image0", false, 2, false, false, kSecond + " " + kSecond + " " + kFirst},
      {"$image2|$image3|$image12|$image10", false, 0, false, false, kSecond + "|||"},
      {"$PATH2 $path", true, 0, false, false, "C:\\games\\disk\\ C:\\games\\disk\\"},
      {"$Body_NoExt|$body|$BODY_NOEXT2|$body0", true, 0, false, false,
       "a b|a b.d88|second|a b.d88"},
      {"$image0x $image05", false, 0, false, false, kFirst + "x " + kFirst + "5"},
      {"$machine/$title/$maker/$developer/$crc32/$file_body/$pfolder", false, 0, false, false,
       "PC-8801/Title $machine $image/Maker/Dev/0012ABCD/game/"},
      {"$VEL_PATH|$emu_path", false, 0, false, false, "C:\\app\\bin\\|C:\\app\\emu\\"},
      {"$bootYr-$bootMo-$bootDay $bootHr:$bootMin:$bootSec", false, 0, false, false,
       "2026-01-02 03:04:05"},
      {"$nowYr-$nowMo-$nowDay $nowHr:$nowMin:$nowSec", false, 0, false, false,
       "2027-11-12 13:14:15"},
      {"[$joy_plugedId][$joy_pluged]", false, 0, false, false, "[][0]"},
      // The skip flag leaves image and item placeholders and the INI lookup.
      {"$image $body_noext $title $iniload(\"a\",\"b\",\"c\") $VEL_PATH $bootYr", false, 0,
       false, true, "$image $body_noext $title $iniload(\"a\",\"b\",\"c\") C:\\app\\bin\\ 2026"},
      {"$imagex $imagin $ $", false, 0, false, false, kFirst + "x $imagin $ $"},
  };
  for (const Case& c : cases) {
    LaunchValues launch = TwoImages(c.doubleQuart, c.bootDisk);
    EXPECT_EQ(Expand(c.text, launch, c.strip, c.skip), c.expected)
        << c.text << " quart=" << c.doubleQuart << " boot=" << c.bootDisk;
  }
}

TEST(Placeholders, ConnectedJoysticksAreJoinedAndCounted) {
  LaunchValues launch = TwoImages(false, 0);
  launch.joysticks = [] { return std::vector<int>{0, 3, 7}; };
  EXPECT_EQ(ExpandLaunchValue("$joy_plugedId $JOY_PLUGED", launch), "0/3/7 3");
}

TEST(Placeholders, ShiftJisPathsSplitOnlyAtRealBackslashes) {
  // 表 and ソ end in the byte 0x5C.
  const std::string folder = "C:\\" + Jp("表") + "\\" + Jp("ソフト表") + "\\";
  LaunchValues launch = TwoImages(false, 0);
  launch.images[1] = folder + Jp("ソ表.d88");
  launch.item.fileName = launch.images[1];
  EXPECT_EQ(ExpandLaunchValue("$path|$body_noext|$body|$pfolder", launch),
            folder + "|" + Jp("ソ表") + "|" + Jp("ソ表.d88") + "|" + Jp("ソフト表"));
  PathForms forms = SplitPath("\"" + folder + Jp("ソ表.d88") + "\"");
  EXPECT_EQ(forms.extension, "d88");
  EXPECT_EQ(SplitPath("C:\\" + Jp("表") + "\\x").parentName, Jp("表"));
  EXPECT_EQ(SplitPath("D:\\game.d88").parentName, "");
  EXPECT_EQ(SplitPath("noext").withoutExtension, "noext");
}

TEST(Placeholders, InsertedValuesAreNeverExpandedAgain) {
  LaunchValues launch = TwoImages(false, 0);
  launch.images[1] = "C:\\x\\$title.d88";
  launch.item.title = "$image $nowYr";
  EXPECT_EQ(ExpandLaunchValue("$title|$image|$body_noext", launch),
            "$image $nowYr|C:\\x\\$title.d88|$title");
}

TEST(Placeholders, TextsCutAnywhereAreHandledWithoutReadingPastTheirEnd) {
  const std::string text = "$image12$Body_NoExt$pfolder$iniload(\"x.ini\",\"S\",\"K\")" + Jp("表") + "\x83";
  const LaunchValues launch = TwoImages(true, 2);
  for (size_t cut = 0; cut <= text.size(); ++cut) {
    const std::string part = text.substr(0, cut);
    // With the skip flag nothing of this text is expanded.
    EXPECT_EQ(Expand(part, launch, false, true), part) << cut;
    const bool lookupComplete = part.find(')') != std::string::npos;
    const bool lookupStarted = part.find("$iniload(") != std::string::npos;
    EXPECT_EQ(ExpandLaunchValue(part, launch).find("$iniload(") != std::string::npos,
              lookupStarted && !lookupComplete) << cut;
    EXPECT_EQ(ExpandScriptIniLoad(part, &launch, launch.baseFolder), part) << cut;
  }
}

class IniLoadTest : public testing::Test {
 protected:
  void SetUp() override {
    ini = folder / "x.ini";
    ASSERT_TRUE(WriteProfileText("S", "K", "value", ini));
    ASSERT_TRUE(WriteProfileText("S", "Self", "[$iniload(\"x.ini\",\"S\",\"Self\")]", ini));
    ASSERT_TRUE(WriteProfileText("PC-8801", "K", "machine value", ini));
    launch = TwoImages(false, 0);
    launch.baseFolder = folder.Path();
  }
  test::TempFolder folder;
  std::string ini;
  LaunchValues launch;
};

TEST_F(IniLoadTest, LooksUpRelativeFilesInTheBaseFolderAndAlwaysEnds) {
  const std::pair<std::string, std::string> cases[] = {
      {"a$INILOAD(\"x.ini\",\"S\",\"K\")b", "avalueb"},
      {"$iniload(\"x.ini\",\"$machine\",\"K\")", "machine value"},
      {"$iniload(\"" + ini + "\",\"S\",\"K\")", "value"},
      {"$iniload(\"x.ini\",\"S\",\"Missing\")|", "|"},
      {"$iniload(\"x.ini\",\"S\",\"Self\")", "[$iniload(\"x.ini\",\"S\",\"Self\")]"},
      // Four quotes: this and every later opener stay; other placeholders go on.
      {"$iniload(\"x.ini\",\"S\") $machine $iniload(\"x.ini\",\"S\",\"K\")",
       "$iniload(\"x.ini\",\"S\") PC-8801 $iniload(\"x.ini\",\"S\",\"K\")"},
  };
  for (const auto& [text, expected] : cases) EXPECT_EQ(ExpandLaunchValue(text, launch), expected) << text;
}

TEST_F(IniLoadTest, ScriptFormExpandsItsPartsAsLaunchValues) {
  EXPECT_EQ(ExpandScriptIniLoad("<iniload:\"x.ini\",\"$machine\",\"K\">!", &launch, folder.Path()),
            "machine value!");
  EXPECT_EQ(ExpandScriptIniLoad("<INILOAD:\"x.ini\",\"S\",\"Self\">", nullptr, folder.Path()),
            "[$iniload(\"x.ini\",\"S\",\"Self\")]");
  EXPECT_EQ(ExpandScriptIniLoad("<iniload:\"x.ini\",\"S\",\"K\"> <iniload:\"x.ini\",\"S\">",
                                nullptr, folder.Path()),
            "value <iniload:\"x.ini\",\"S\">");
  // Without a launch the parts stay as written.
  EXPECT_EQ(ExpandScriptIniLoad("<iniload:\"x.ini\",\"$machine\",\"K\">", nullptr, folder.Path()), "");
}

TEST(Placeholders, RelativePathsAreTakenFromTheBaseFolder) {
  const std::string base = "C:\\app\\bin";
  const std::pair<std::string, std::string> cases[] = {
      {"..\\emu\\x.exe", "C:\\app\\emu\\x.exe"},
      {"emu\\x.exe", "C:\\app\\bin\\emu\\x.exe"},
      {".\\emu\\..\\x.exe", "C:\\app\\bin\\x.exe"},
      {"..\\..\\..\\..\\x.exe", "C:\\x.exe"},
      {"D:\\emu\\x.exe", "D:\\emu\\x.exe"},
      {"\\\\server\\share\\x.exe", "\\\\server\\share\\x.exe"},
      {Jp("表") + "\\x.exe", "C:\\app\\bin\\" + Jp("表") + "\\x.exe"},
      {"", ""},
  };
  for (const auto& [path, expected] : cases) EXPECT_EQ(ResolveFromBase(path, base), expected) << path;
  EXPECT_EQ(ResolveFromBase("..\\x.exe", "\\\\server\\share"), "\\\\server\\share\\x.exe");
  EXPECT_EQ(ResolveFromBase("..\\x.exe", "C:\\app\\bin\\"), "C:\\app\\x.exe");

  LaunchValues launch = TwoImages(false, 0);
  launch.executable = "D:\\other\\old.exe";
  EXPECT_EQ(ExpandExecutable("..\\emu\\$machine.exe", launch), "C:\\app\\emu\\PC-8801.exe");
  EXPECT_EQ(ExpandExecutable("$emu_pathx.exe", launch), "C:\\app\\bin\\x.exe");
}

TEST(Placeholders, WindowSearchTextOfALaunch) {
  struct Case {
    int checkImage, checkText, onlyKeywords, spaceSeparated;
    std::string keywords, expected;
  };
  const Case cases[] = {
      {1, 0, 0, 0, "ignored", "a b;"},
      {1, 0, 0, 1, "", "a;b;"},
      {1, 1, 0, 0, "$machine;KW", "a b;PC-8801;KW"},
      {1, 1, 1, 0, "kw", "kw"},
      {1, 1, 1, 0, "", "a b;"},
      {0, 1, 0, 0, "kw", "kw"},
      {0, 0, 0, 0, "kw", ""},
  };
  for (const Case& c : cases) {
    EmulatorConfig config;
    config.ttSrchCheckImage = c.checkImage;
    config.ttSrchCheckText = c.checkText;
    config.ttSrchUseOonlyKeywords = c.onlyKeywords;
    config.ttSrchSpaceSeparated = c.spaceSeparated;
    config.ttSrchText = c.keywords;
    EXPECT_EQ(WindowSearchText(config, TwoImages(true, 2)), c.expected) << c.expected;
  }
}

TEST(Placeholders, ItemFieldsAreReadFromTheListRowByName) {
  test::TempFolder folder;
  LibraryConnection db;
  db.Open(folder / "Velmarook.db", "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  ASSERT_FALSE(CreateItemView(db));
  ASSERT_FALSE(db.Query(
      "INSERT INTO main_table(file_name,file_title,machine_name,title,maker,developer,crc32,ply) "
      "VALUES('C:\\g\\a.d88','a','PC-8801','T','M','D','0012ABCD',0);"
      "INSERT INTO use_emuset_table VALUES('C:\\g\\a.d88','Fast');"));
  ASSERT_FALSE(db.Query("SELECT * FROM all_item_view;"));
  ItemFields item = ItemFieldsFromListRow(db, 1);
  EXPECT_EQ(item.fileName, "C:\\g\\a.d88");
  EXPECT_EQ(item.machineName, "PC-8801");
  EXPECT_EQ(item.title, "T");
  EXPECT_EQ(item.maker, "M");
  EXPECT_EQ(item.developer, "D");
  EXPECT_EQ(item.crc32, "0012ABCD");
  EXPECT_EQ(item.fileTitle, "a");
  EXPECT_EQ(item.emusetName, "Fast");
}

}  // namespace
}  // namespace vel
