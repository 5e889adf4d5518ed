#include "launch/launch_plan.h"

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

using test::ScriptedAnswers;

// Writes a file named by the program's path text.
void Write(const std::string& path, const std::string& bytes) {
#ifdef _WIN32
  test::WriteWholeFile(path, bytes);
#else
  test::WriteWholeFile(NativePath(path), bytes);
#endif
}

// A base folder with one machine, its default configuration A and an
// emulator beside the base folder's "emu" folder, and a library holding a
// two-disk set whose folder has a space.
class LaunchPlanTest : public ::testing::Test {
 protected:
  void SetUp() override {
    base = temp.Path();
    for (const char* sub : {"\\emuconf", "\\emuconf\\MSX", "\\emu", "\\extract"}) ASSERT_TRUE(CreateFolder(base + sub));
    Write(base + "\\emu\\x.exe", "MZ");
    Write(base + "\\emuconf\\MSX.ini", "[DefaultEmulator]\r\nINIFile=A.ini\r\n");
    WriteConfig("[Emulator]\r\nExec=emu\\x.exe\r\nOption=-a $image -b $image2 -p $path -n $body_noext\r\n"
                "double_quart=1\r\n");
    db.Open(base + "\\lib.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,machine_name,title,ply,ply_file_name,file_title,file_ext)"
                          " VALUES('C:\\my games\\a 1.d88','MSX','A',1,'','a 1','d88'),"
                          "('C:\\my games\\a 2.d88','MSX','A',2,'C:\\my games\\a 1.d88','a 2','d88');"));
    request.baseFolder = base;
    request.programFolder = base + "\\";
    request.item.fileName = "C:\\my games\\a 1.d88";
    request.item.machineName = "MSX";
    request.item.title = "A";
    request.item.multiDisk = "1";
    request.diskCount = 2;
  }
  void WriteConfig(const std::string& text) { Write(base + "\\emuconf\\MSX\\A.ini", text); }

  test::TempFolder temp;
  std::string base;
  LibraryConnection db;
  LaunchRequest request;
  LaunchPlan plan;
};

TEST_F(LaunchPlanTest, CommandLineOfATwoDiskSetWithASpaceInItsPath) {
  ScriptedAnswers answers;
  ASSERT_EQ(PlanLaunch(request, db, plan), "");
  EXPECT_EQ(plan.exec, base + "\\emu\\x.exe");
  EXPECT_EQ(plan.emulatorFolder, base + "\\emu");
  EXPECT_EQ(plan.option, "-a \"C:\\my games\\a 1.d88\" -b \"C:\\my games\\a 2.d88\" -p C:\\my games\\ -n a 1");
  EXPECT_EQ(plan.commandLine, "\"" + base + "\\emu\\x.exe\" " + plan.option);
  EXPECT_EQ(plan.searchText, "a 1;");  // the image word, then the (absent) keywords
  EXPECT_TRUE(answers.Asked().empty());
}

TEST_F(LaunchPlanTest, RefusalsCarryTheirMessages) {
  {
    ScriptedAnswers answers;
    LaunchRequest unknown = request;
    unknown.item.machineName = "PC";  // no default, no binding: the path names a folder only
    EXPECT_EQ(PlanLaunch(unknown, db, plan), Jp("エミュレータ設定ファイルが見つかりません。"));
  }
  {
    WriteConfig("[Emulator]\r\nExec=emu\\missing.exe\r\n");
    ScriptedAnswers answers;
    EXPECT_EQ(PlanLaunch(request, db, plan),
              Jp("エミュレータのパス又は、解凍・コピー先のフォルダが存在するかを確認して下さい。"));
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(answers.Asked()[0].text, Jp("エミュレータ実行ファイルが見つかりませんでした\n処理を中止します"));
  }
  {
    // Extraction without a folder says why before the launch is refused.
    WriteConfig("[ImageFile]\r\nExtract=1\r\nExtractPath=\r\n[Emulator]\r\nExec=emu\\x.exe\r\n");
    ScriptedAnswers answers;
    EXPECT_EQ(PlanLaunch(request, db, plan),
              Jp("エミュレータのパス又は、解凍・コピー先のフォルダが存在するかを確認して下さい。"));
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(answers.Asked()[0].text, Jp("イメージファイルの解凍先フォルダが見つかりませんでした\n処理を中止します"));
  }
  {
    WriteConfig("[Emulator]\r\nExec=emu\\x.exe\r\n");
    ScriptedAnswers answers;
    LaunchRequest demo = request;
    demo.demoMode = true;  // no exit script, no UseTerminateProcess
    EXPECT_EQ(PlanLaunch(demo, db, plan), Jp("終了コマンドが未設定のエミュレータ設定はデモモードでは起動できません。"));
  }
  {
    WriteConfig("[Emulator]\r\nExec=emu\\x.exe\r\nOption=" + std::string(33000, 'o') + "\r\n");
    ScriptedAnswers answers;
    EXPECT_NE(PlanLaunch(request, db, plan), "");
  }
}

TEST_F(LaunchPlanTest, AMissingExtractionFolderIsCreatedWhenTheUserAgrees) {
  WriteConfig("[ImageFile]\r\nExtract=2\r\nExtractPath=made\\here\r\n[Emulator]\r\nExec=emu\\x.exe\r\nOption=$image\r\n");
  ASSERT_TRUE(CreateFolder(base + "\\made"));
  {
    ScriptedAnswers answers({kIdNo});
    EXPECT_NE(PlanLaunch(request, db, plan), "");
    EXPECT_FALSE(DirectoryExists(base + "\\made\\here"));
    ASSERT_EQ(answers.Asked().size(), 2u);
  }
  ScriptedAnswers answers({kIdYes});
  ASSERT_EQ(PlanLaunch(request, db, plan), "");
  // Relative to the base folder, never to the current folder.
  EXPECT_TRUE(DirectoryExists(base + "\\made\\here"));
  EXPECT_EQ(plan.option, base + "\\made\\here\\a 1.d88");
}

TEST_F(LaunchPlanTest, AnAlterEgoLaunchesFromItsCopiesWithoutExtraction) {
  WriteConfig("[ImageFile]\r\nExtract=1\r\nExtractPath=extract\r\nExtractAllDelete=1\r\n"
              "[Emulator]\r\nExec=emu\\x.exe\r\nOption=$image $image2\r\nImageFnReplace=2\r\n");
  ASSERT_FALSE(db.Query("INSERT INTO alter_ego_table(pfile_ae,ae_file,alter_ego,ply_pfile_ae) VALUES"
                        "('C:\\my games\\a 1.d88','D:\\ae\\a 1.d88',1,NULL),"
                        "('C:\\my games\\a 2.d88','D:\\ae\\a 2.d88',2,'C:\\my games\\a 1.d88');"));
  request.alterEgoFile = "D:\\ae\\a 1.d88";
  ScriptedAnswers answers;
  ASSERT_EQ(PlanLaunch(request, db, plan), "");
  EXPECT_EQ(plan.config.extract, 0);
  EXPECT_EQ(plan.config.extractAllDelete, 0);
  EXPECT_EQ(plan.config.extractPath, "D:\\ae");
  EXPECT_EQ(plan.option, "D:\\ae\\00000001.d88 D:\\ae\\00000002.d88");
  ASSERT_EQ(plan.images.renames.size(), 2u);
  EXPECT_EQ(plan.images.renames[1].from, "D:\\ae\\a 2.d88");
}

TEST(LaunchHelpers, ProgramArgumentsAndTheSearchInterval) {
  LaunchValues values;
  values.imageCount = 1;
  values.images[0] = values.images[1] = "C:\\a.d88";
  EXPECT_EQ(HelperProgramArguments("\"\"$image\"\" -x \"\"\"\"", values), "\"C:\\a.d88\" -x \"\"");
  EmulatorConfig config;
  config.ttSrchChekInterval = 0;
  EXPECT_EQ(WindowSearchIntervalSeconds(config), 1);
  config.ttSrchChekInterval = 7;
  EXPECT_EQ(WindowSearchIntervalSeconds(config), 7);
}

}  // namespace
}  // namespace vel
