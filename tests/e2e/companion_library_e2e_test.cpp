// The shipped companion library, loaded and called as the program does.
#include <windows.h>

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

class CompanionLibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryA((std::string(VEL_DIST_DIR) + "\\Velmarook2_Lib.DLL").c_str());
    ASSERT_TRUE(module);
  }
  void TearDown() override {
    if (module) FreeLibrary(module);
  }
  template <typename Fn>
  Fn Export(const char* name) {
    auto fn = reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    EXPECT_TRUE(fn) << name;
    return fn;
  }
  HMODULE module = nullptr;
};

TEST_F(CompanionLibraryTest, ExportsUndecoratedNamesWithTheInterfaceVersion) {
  auto getLibVersion = Export<LONG(WINAPI*)()>("getLibVersion");
  ASSERT_TRUE(getLibVersion);
  EXPECT_EQ(getLibVersion(), 207012);
}

TEST_F(CompanionLibraryTest, CreatesTheSchemaAndTheView) {
  auto make = Export<LONG(WINAPI*)(const char*, const char*, HWND, SHORT*, const char*, const char*,
                                   const char*)>("MakeDBandTable");
  auto views = Export<LONG(WINAPI*)(const char*, const char*, HWND, LONG)>("setV3views");
  ASSERT_TRUE(make && views);
  TempFolder folder;
  std::string path = folder / Jp("ソフト表示.db");
  SHORT noSave = 7;
  EXPECT_EQ(make(path.c_str(), "", nullptr, &noSave, folder.Path().c_str(), "Velmarook.db",
                 (folder / "Velmarook2.ini").c_str()),
            0);
  EXPECT_EQ(noSave, 0);
  views(path.c_str(), "", nullptr, 300);
  LibraryConnection db;
  db.Open(path, "");
  ASSERT_FALSE(db.Query("SELECT COUNT(*) FROM sqlite_master WHERE name IN "
                        "('main_table','all_item_view','update_main_pkey','tmp_hist_table');"));
  EXPECT_EQ(db.Cell(1, 0), "4");
}

TEST_F(CompanionLibraryTest, MatcherLeavesTheMatchedTextInTheCallersBuffer) {
  auto setPattern = Export<void(WINAPI*)(const char*)>("regexSetPattern");
  auto match = Export<LONG(WINAPI*)(const char*, char*)>("regexMatch");
  ASSERT_TRUE(setPattern && match);
  char buffer[257];
  setPattern(Jp("^ソ.*表").c_str());
  EXPECT_NE(match(Jp("ソフト表示").c_str(), buffer), 0);
  EXPECT_EQ(std::string(buffer), Jp("ソフト表"));
  EXPECT_EQ(match(Jp("表ソフト").c_str(), buffer), 0);
  // A match longer than the buffer is cut at a whole character.
  setPattern(".+");
  std::string longText;
  for (int i = 0; i < 200; ++i) longText += Jp("能");
  EXPECT_NE(match(longText.c_str(), buffer), 0);
  EXPECT_EQ(std::string(buffer), longText.substr(0, 256));
  setPattern("([unclosed");
  EXPECT_EQ(match("anything", buffer), 0);
}

TEST(CompanionLibraryMissing, ProgramStopsWithTheFatalMessage) {
  BaseFolder base;
  ASSERT_TRUE(DeleteFileA(base.File("Velmarook2_Lib.DLL").c_str()));
  RunningProgram program(base.Path(), "-nosplash");
  HWND box = program.WaitForWindow("#32770", Jp("強制終了"));
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageBoxText(box), Jp("Velmarook2_Lib.DLL が読み込めませんでした"));
  PressButton(box, IDOK);
  ASSERT_TRUE(program.WaitForExit(30000));
  EXPECT_FALSE(FileExists(base.File("Velmarook2.ini")));
}

TEST(BrokenLibrary, FileThatIsNotADatabaseIsReportedAndKept) {
  BaseFolder base;
  const std::string garbage(8192, 'x');
  WriteWholeFile(base.File("Velmarook.db"), garbage);
  RunningProgram program(base.Path(), "-nosplash");
  HWND box = program.WaitForWindow("#32770", Jp("DBエラー"));
  ASSERT_TRUE(box);
  EXPECT_NE(MessageBoxText(box).find(Jp("データベースを準備できませんでした。")), std::string::npos);
  PressButton(box, IDOK);
  ASSERT_TRUE(program.WaitForExit(30000));
  EXPECT_EQ(ReadWholeFile(base.File("Velmarook.db")), garbage);
  EXPECT_FALSE(FileExists(base.File("Velmarook2.ini")));
}

}  // namespace
}  // namespace vel::test
