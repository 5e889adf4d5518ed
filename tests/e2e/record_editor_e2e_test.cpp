// The record editor opened on the focused item through its command: a
// refusal keeps it open, OK stores the date and creators in their forms and
// the snapshot choice as its panel shows it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>

#include "core/command_ids.h"
#include "db/library_connection.h"
#include "display/snapshot_choice_panel_win.h"
#include "e2e/program_runner_win.h"
#include "editing/record_edit_dlg_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kSearchTextId = 2102;

std::string One(LibraryConnection& db, const std::string& sql) {
  if (db.Query(sql)) return "error";
  return db.RowCount() > 0 ? db.Cell(1, 0) : "none";
}

// A control's text as the program holds it (asked by message: the caption
// of another process's control is not its text).
std::string ControlText(HWND dialog, int id) {
  char text[1024] = {};
  SendMessageA(FindControl(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

void Type(HWND dialog, int id, const std::string& text) {
  HWND control = FindControl(dialog, id);
  ASSERT_TRUE(control) << id;
  SendMessageA(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

TEST(RecordEditorE2E, TheEditorStoresTheDateAndCreatorsInTheirForms) {
  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query(
      "INSERT INTO main_table(file_name,machine_name,title,file_title,file_ext,sale_year,ply,ply_file_name) VALUES"
      "('C:\\rec.d88','FC','Receditem','rec','d88','0',0,'');"
      "INSERT INTO memo_table VALUES('C:\\rec.d88','kept memo');"
      // A binding whose configuration file is gone stays while the machine does.
      "INSERT INTO use_emuset_table VALUES('C:\\rec.d88','Gone Setting');"));
  HWND edit = FindControl(main, kSearchTextId);
  ASSERT_TRUE(edit);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Receditem"));
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
  HWND list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
  ASSERT_TRUE(WaitFor([&] { return ListView_GetNextItem(list, -1, LVNI_FOCUSED) == 0; }));

  PostMessageA(main, WM_COMMAND, kCmdEditRecord, 0);
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("イメージ情報の編集"));
  ASSERT_TRUE(dialog);
  // Shown once every page is filled.
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(dialog) != FALSE; }));
  EXPECT_EQ(ControlText(dialog, kRecKeyId), "C:\\rec.d88");
  EXPECT_EQ(ControlText(dialog, kRecTitleId), "Receditem");
  EXPECT_EQ(ControlText(dialog, kRecMemoId), "kept memo");
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, IDOK)));

  Type(dialog, kRecDateId, "1980/5");
  Type(dialog, kRecCreatorsId, "A\r\n B\r\nC ");
  Type(dialog, kRecRomId, "12a");
  PressButton(dialog, IDOK);
  HWND refusal = program.WaitForWindow("#32770", Jp("中止"));
  ASSERT_TRUE(refusal);
  EXPECT_EQ(MessageBoxText(refusal), Jp("ROM番号は半角数字のみです。"));
  PressButton(refusal, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(refusal); }));
  EXPECT_TRUE(IsWindow(dialog));
  EXPECT_EQ(One(db, "SELECT sale_year FROM main_table WHERE file_name='C:\\rec.d88';"), "0");

  Type(dialog, kRecRomId, Jp("１２"));
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(One(db, "SELECT sale_year||','||rom_num||','||machine_name FROM main_table WHERE file_name='C:\\rec.d88';"),
            "1980-05-00,12,FC");
  EXPECT_EQ(One(db, "SELECT creator FROM creator_table WHERE pfile_cr='C:\\rec.d88';"), "A;B;C;");
  EXPECT_EQ(One(db, "SELECT memo FROM memo_table WHERE pfile_mm='C:\\rec.d88';"), "kept memo");
  EXPECT_EQ(One(db, "SELECT emuset_name FROM use_emuset_table WHERE pfile_ue='C:\\rec.d88';"), "Gone Setting");
  EXPECT_TRUE(program.Close());
}

bool IsChecked(HWND dialog, int id) { return SendMessageA(FindControl(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }

TEST(RecordEditorE2E, TheSnapshotPanelShowsAndStoresTheChoice) {
  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query(
      "INSERT INTO main_table(file_name,machine_name,title,file_title,file_ext,sale_year,ply,ply_file_name) VALUES"
      "('C:\\snap.d88','FC','Snapitem','snap','d88','0',0,'');"
      "INSERT INTO snap_path_table VALUES('C:\\snap.d88','C:\\one.png','C:\\two.png','','A1504113');"));
  HWND edit = FindControl(main, kSearchTextId);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Snapitem"));
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
  HWND list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
  ASSERT_TRUE(WaitFor([&] { return ListView_GetNextItem(list, -1, LVNI_FOCUSED) == 0; }));
  PostMessageA(main, WM_COMMAND, kCmdEditRecord, 0);
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("イメージ情報の編集"));
  ASSERT_TRUE(dialog);
  ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(dialog) != FALSE; }));

  const int panel = kRecSnapFirstId;
  EXPECT_EQ(ControlText(dialog, panel + kSnapChoicePath), "C:\\one.png");
  EXPECT_EQ(ControlText(dialog, panel + kSnapChoicePath + 1), "C:\\two.png");
  EXPECT_FALSE(IsChecked(dialog, panel + kSnapChoiceNoOwn));
  EXPECT_TRUE(IsChecked(dialog, panel + kSnapChoiceTransform));
  EXPECT_FALSE(IsWindowEnabled(FindControl(dialog, panel + kSnapChoiceAspect)));

  // クリア empties slot 2; slot 3 typed; the fit with a forced aspect chosen.
  PressButton(dialog, panel + kSnapChoiceClear + 1);
  ASSERT_TRUE(WaitFor([&] { return ControlText(dialog, panel + kSnapChoicePath + 1).empty(); }));
  Type(dialog, panel + kSnapChoicePath + 2, "C:\\Let's.png");
  PressButton(dialog, panel + kSnapChoiceFit);
  ASSERT_TRUE(WaitFor([&] { return IsChecked(dialog, panel + kSnapChoiceFit); }));
  EXPECT_FALSE(IsChecked(dialog, panel + kSnapChoiceTransform));
  EXPECT_TRUE(IsWindowEnabled(FindControl(dialog, panel + kSnapChoiceAspect)));
  Type(dialog, panel + kSnapChoiceAspect, "0.75");
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(One(db, "SELECT snap1||'|'||snap2||'|'||snap3||'|'||snap_dtt FROM snap_path_table WHERE "
                    "pfile_sp='C:\\snap.d88';"),
            "C:\\one.png||C:\\Let's.png|F0.75@0.75000");
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
