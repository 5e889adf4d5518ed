// The maintenance dialog in the running program: a reading run for one machine.
#include <windows.h>

#include <gtest/gtest.h>

#include "core/command_ids.h"
#include "db/library_connection.h"
#include "db/schema.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kMachinesId = 2203, kWideLabelId = 2205, kRunId = 2209;

TEST(MaintenanceDialogE2E, ReadingRunForOneMachineFromTheMenu) {
  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query(Jp("INSERT INTO machine_info_table(machine_num,machine) VALUES(1,'FC'),(2,'PCE');"
                           "INSERT INTO main_table(file_name,machine_name,title,kana) VALUES"
                           "('a','FC','ゲーム',''),('b','FC','ﾊﾟｽﾞﾙ',''),('c','PCE','ゲーム','');")));

  PostMessageA(main, WM_COMMAND, kCmdReadings, 0);
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("なんちゃって清音ソート用「読み仮名」超適当生成"));
  ASSERT_TRUE(dialog);
  // "全ての機種", then the machines in order: FC is the second entry.
  SendMessageA(GetDlgItem(dialog, kMachinesId), CB_SETCURSEL, 1, 0);
  PressButton(dialog, kRunId);
  std::string kana;
  WaitFor([&] {
    if (db.Query("SELECT group_concat(file_name||'='||kana,',') FROM (SELECT * FROM main_table WHERE file_name IN ('a','b','c') ORDER BY file_name);"))
      return false;
    kana = AnsiToUtf8(db.Cell(1, 0));
    return kana == "a=げーむ,b=ぱずる,c=" && WindowCaption(GetDlgItem(dialog, kRunId)) == Jp("実行");
  });
  EXPECT_EQ(kana, "a=げーむ,b=ぱずる,c=");
  EXPECT_EQ(WindowCaption(GetDlgItem(dialog, kRunId)), Jp("実行"));
  PressButton(dialog, IDCANCEL);
  EXPECT_TRUE(program.Close());
}

TEST(MaintenanceDialogE2E, SmartTitlesLeftEmptyAreFilledFromTheStart) {
  BaseFolder base;
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    // Rows as an older import left them; a row without a title never asks.
    ASSERT_FALSE(db.Query(Jp("INSERT INTO main_table(file_name,machine_name,title,smart_title) VALUES"
                             "('s1','FC','ヴァンパイア',''),('s2','FC','ゲームⅡ',''),('s3','FC','','');")));
  }
  RunningProgram program(base.Path(), "-nosplash");
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("データベース更新"));
  ASSERT_TRUE(dialog);
  // The window is found as soon as it exists; its controls follow.
  ASSERT_TRUE(WaitFor([&] { return GetDlgItem(dialog, kRunId) != nullptr && IsWindowVisible(dialog); }));
  ASSERT_TRUE(GetDlgItem(dialog, IDCANCEL));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, IDCANCEL)));  // left only by the run
  PressButton(dialog, kRunId);
  const std::string done = Jp("処理が終了しました。\n閉じるボタンをクリックして下さい。");
  WaitFor([&] { return WindowCaption(GetDlgItem(dialog, kWideLabelId)) == done; }, 120000);
  EXPECT_EQ(WindowCaption(GetDlgItem(dialog, kWideLabelId)), done);
  for (HWND box : WindowsOfProcess(program.ProcessId(), "#32770"))
    ADD_FAILURE() << "a message box is open: " << AnsiToUtf8(MessageBoxText(box));
  PressButton(dialog, IDCANCEL);
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query("SELECT group_concat(file_name||'='||smart_title,',') FROM "
                        "(SELECT * FROM main_table WHERE file_name IN ('s1','s2','s3') ORDER BY file_name);"));
  EXPECT_EQ(AnsiToUtf8(db.Cell(1, 0)), "s1=バンパイア,s2=ゲーム2,s3=");
  EXPECT_TRUE(program.Close());

  // Nothing waits any more: the next start opens the list at once.
  RunningProgram again(base.Path(), "-nosplash");
  EXPECT_TRUE(again.WaitUntilReady());
  EXPECT_FALSE(again.WaitForWindow("NORMALDLG", Jp("データベース更新"), 1000));
  EXPECT_TRUE(again.Close());
}

}  // namespace
}  // namespace vel::test
