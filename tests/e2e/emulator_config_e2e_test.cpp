// The emulator configuration list in the running program: the quick filter,
// the hidden check box, duplicate, delete with its question, and the editor:
// its name rule, the rewrite script's test and saving a new configuration.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "core/command_ids.h"
#include "db/library_connection.h"
#include "db/schema.h"
#include "e2e/program_runner_win.h"
#include "launch/emulator_config.h"
#include "platform/codepage.h"
#include "platform/file_operations.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kListId = 3501, kAddId = 3502, kDuplicateId = 3504, kDeleteId = 3505, kQuickFilterId = 3508,
              kNameId = 4003,
              kRewriteScriptId = 4006, kRewriteTestId = 4008;

TEST(EmulatorConfigListE2E, HideDuplicateDeleteAndEdit) {
  BaseFolder base;
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(CreateItemView(db));
    ASSERT_FALSE(db.Query("INSERT INTO machine_info_table(machine_num,machine) VALUES(1,'FC');"
                          "INSERT INTO main_table(file_name,machine_name,title,ply) VALUES"
                          "('k1','FC','Bound',0),('k2','FC','Free',0);"
                          "INSERT INTO use_emuset_table VALUES('k1','Emu');"
                          "CREATE VIEW list_view AS SELECT * FROM all_item_view;"));
  }
  const std::string emu = ConfigFilePath(base.Path(), "FC", "Emu");
  ASSERT_TRUE(CreateFolder(EmuConfFolder(base.Path())));
  ASSERT_TRUE(CreateFolder(MachineConfigFolder(base.Path(), "FC")));
  WriteWholeFile(emu, "[Emulator]\r\nExec=emu.exe\r\n");
  WriteWholeFile(CompanionPath(emu, 0), "key script");

  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  const std::string caption = Jp("機種に対するエミュレータの設定を行います");
  HWND dialog = nullptr, list = nullptr;
  auto selected = [&] {
    return static_cast<int>(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
  };
  // Opens the list and selects the configuration below the machine's row.
  auto openList = [&] {
    PostMessageA(main, WM_COMMAND, kCmdEmulatorSettings, 0);
    dialog = program.WaitForWindow("NORMALDLG", caption);
    list = GetDlgItem(dialog, kListId);
    PostMessageA(list, WM_KEYDOWN, VK_DOWN, 0);
    return dialog && list && WaitFor([&] { return selected() == 1; });
  };
  ASSERT_TRUE(openList());
  EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);

  // The quick filter lists the bound item and closes the dialog.
  HWND items = FindControl(main, 1001);
  ASSERT_TRUE(items);
  PressButton(dialog, kQuickFilterId);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(WaitFor([&] { return SendMessageA(items, LVM_GETITEMCOUNT, 0, 0) == 1; }));
  ASSERT_TRUE(openList());

  // The check box hides the file from the emulator menu, and shows it again.
  PostMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(WaitFor([&] { return IsHiddenFile(emu); }));
  PostMessageA(list, WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsHiddenFile(emu); }));

  const std::string copy = ConfigFilePath(base.Path(), "FC", Jp("Emuのコピー"));
  PressButton(dialog, kDuplicateId);
  ASSERT_TRUE(WaitFor([&] { return FileExists(copy) && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; }));
  EXPECT_EQ(ReadWholeFile(CompanionPath(copy, 0)), "key script");
  EXPECT_EQ(ReadWholeFile(emu), ReadWholeFile(copy));

  // The copy is selected: deleting it asks first.
  PressButton(dialog, kDeleteId);
  HWND question = program.WaitForWindow("#32770", Jp("確認"));
  ASSERT_TRUE(question);
  EXPECT_EQ(MessageBoxText(question), Jp("Emuのコピーを削除します。よろしいですか？"));
  PressButton(question, IDYES);
  EXPECT_TRUE(WaitFor([&] { return !FileExists(copy) && !FileExists(CompanionPath(copy, 0)); }));
  EXPECT_TRUE(FileExists(emu));
  EXPECT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 2; }));

  // A new configuration under a name the file system cannot take.
  PressButton(dialog, kAddId);
  HWND editor = program.WaitForWindow("NORMALDLG", Jp("エミュレータ設定"));
  ASSERT_TRUE(editor);
  HWND name = FindControl(editor, kNameId);
  ASSERT_TRUE(name);
  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("a:b"));
  PressButton(editor, IDOK);
  HWND refusal = program.WaitForWindow("#32770", Jp("中止"));
  ASSERT_TRUE(refusal);
  EXPECT_EQ(MessageBoxText(refusal), Jp("設定名に使用できない文字が含まれているか、使用できない文字列です。"));
  PressButton(refusal, IDOK);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(refusal); }));
  EXPECT_TRUE(IsWindow(editor));

  // The rewrite script's test reports a missing INI file; No ends it.
  const std::string script = "INI-OPENFILE=missing.ini\r\nINI-SETSECTION=S\r\nINI-SETKEY=K\r\nINI-REWRITE=v\r\n";
  SendMessageA(FindControl(editor, kRewriteScriptId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(script.c_str()));
  PressButton(editor, kRewriteTestId);
  HWND report = program.WaitForWindow("#32770", "ini-OpenFile");
  ASSERT_TRUE(report);
  EXPECT_NE(MessageBoxText(report).find(Jp("設定ファイルが見つかりません。")), std::string::npos);
  PressButton(report, IDNO);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(report); }));

  SendMessageA(name, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("New"));
  PressButton(editor, IDOK);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(editor); }));
  const std::string saved = ConfigFilePath(base.Path(), "FC", "New");
  EXPECT_EQ(ReadWholeFile(CompanionPath(saved, 1)), script);
  EXPECT_EQ(GetPrivateProfileIntA("TerminationDetective", "TTSrch_ChekInterval", -1, saved.c_str()), 5);
  EXPECT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 3; }));
  PressButton(dialog, IDCANCEL);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
