// Adding images as a user does: the import dialog, its progress window and
// the import library shipped in the base folder.
#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel::test {
namespace {

std::string ControlText(HWND control) {
  char text[512] = {};
  SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

TEST(ImportDialog, AddsTheImagesOfAFolderForAMachine) {
  BaseFolder base;
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(db.Query("INSERT INTO machine_info_table(machine_num,machine,search_ext) VALUES(1,'PC88','d88');"));
  }
  std::string images = base.File("images");
  ASSERT_TRUE(CreateDirectoryA(images.c_str(), nullptr));
  WriteWholeFile(images + "\\Sample Adventure (1987).d88", std::string(2048, 'a'));
  WriteWholeFile(images + "\\Puzzle's Tower.d88", std::string(1024, 'b'));
  WriteWholeFile(images + "\\readme.txt", "not an image");

  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  PostMessageA(main, WM_COMMAND, 1208, 0);
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("イメージファイルの追加"));
  ASSERT_TRUE(dialog);
  HWND path = FindControl(dialog, 3101);
  ASSERT_TRUE(path);
  SendMessageA(path, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(images.c_str()));
  PressButton(dialog, 3001);  // 取り込み開始
  HWND question = program.WaitForWindow("#32770", Jp("確認"));
  ASSERT_TRUE(question);
  EXPECT_NE(MessageBoxText(question).find(Jp("【機種】\nPC88")), std::string::npos);
  PressButton(question, IDYES);
  HWND progress = program.WaitForWindow("NORMALDLG", Jp("イメージの検索と追加"));
  ASSERT_TRUE(progress);
  HWND stop = GetDlgItem(progress, 3304);
  for (int i = 0; i < 300 && ControlText(stop) != Jp("終了"); ++i) Sleep(100);
  ASSERT_EQ(ControlText(stop), Jp("終了"));
  PressButton(progress, 3304);
  for (int i = 0; i < 50 && IsWindow(progress); ++i) Sleep(100);
  EXPECT_FALSE(IsWindow(progress));
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  for (int i = 0; i < 50 && IsWindow(dialog); ++i) Sleep(100);
  EXPECT_TRUE(program.Close());

  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query("SELECT file_name, machine_name, kana FROM main_table ORDER BY file_name;"));
  ASSERT_EQ(db.RowCount(), 2);
  EXPECT_EQ(db.Cell(1, 0), images + "\\Puzzle's Tower.d88");
  EXPECT_EQ(db.Cell(2, 0), images + "\\Sample Adventure (1987).d88");
  EXPECT_EQ(db.Cell(1, 1), "PC88");
  EXPECT_EQ(db.Cell(1, 2), "");
  // The import dialog kept its settings.
  EXPECT_EQ(GetPrivateProfileIntA("AddImgDir", "CalcCRC32", -1, base.File("Velmarook2.ini").c_str()), 1);
}

}  // namespace
}  // namespace vel::test
