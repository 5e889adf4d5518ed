// Multi-disk sets and alter egos through the running program's edit menu.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>

#include "core/command_ids.h"
#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kSearchTextId = 2102;
constexpr int kBaseId = 2101, kSubId = 2103, kActionId = 2105;

// Lists the items whose title holds the word; the first one gets the focus.
void Search(HWND main, const char* word) {
  HWND edit = FindControl(main, kSearchTextId);
  ASSERT_TRUE(edit);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(word));
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
  HWND list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
}

// A control's text as the control itself gives it (WM_GETTEXT is carried
// across processes; the window caption of an edit box is not its text).
std::string ControlText(HWND control) {
  char text[512] = {};
  SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

std::string Query(LibraryConnection& db, const std::string& sql) {
  if (db.Query(sql)) return "error";
  std::string out;
  for (int row = 1; row <= db.RowCount(); ++row) out += db.Cell(row, 0) + ";";
  return out;
}

TEST(ImageSetsE2E, AnAlterEgoIsMadeAndReleasedAndTheSetThenSplit) {
  BaseFolder base;
  const std::string images = base.File("images");
  ASSERT_TRUE(CreateFolder(images));
  WriteWholeFile(images + "\\disk1.d88", "one");
  WriteWholeFile(images + "\\disk2.d88", "two");
  ASSERT_TRUE(CreateFolder(base.File("copies")));
  const std::string parent = images + "\\disk1.d88", child = images + "\\disk2.d88";

  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,machine_name,title,file_title,file_ext,ply,ply_file_name) "
                        "VALUES('" + Quote(parent) + "','FC','Zyxset','disk1','d88',1,''),('" + Quote(child) +
                        "','FC','Other disk','disk2','d88',2,'" + Quote(parent) + "');"
                        "DELETE FROM tmp_maxdisk;"
                        "INSERT INTO tmp_maxdisk  SELECT ply_file_name, max(ply) FROM main_table WHERE ply>1 "
                        "GROUP BY ply_file_name;"));
  ASSERT_NO_FATAL_FAILURE(Search(main, "Zyxset"));

  PostMessageA(main, WM_COMMAND, kCmdAlterEgo, 0);
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("分身の作成・解除"));
  ASSERT_TRUE(dialog);
  EXPECT_EQ(ControlText(GetDlgItem(dialog, kSubId)), "FC_disk1");
  EXPECT_EQ(WindowCaption(GetDlgItem(dialog, kActionId)), Jp("作成"));
  SendMessageA(GetDlgItem(dialog, kBaseId), WM_SETTEXT, 0,
               reinterpret_cast<LPARAM>((base.File("copies") + "\\").c_str()));
  PressButton(dialog, kActionId);
  HWND box = program.WaitForWindow("#32770", "");
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageBoxText(box), Jp("分身を作成しました。"));
  PressButton(box, IDOK);
  const std::string copies = base.File("copies") + "\\FC_disk1\\";
  EXPECT_EQ(ReadWholeFile(copies + "disk1.d88"), "one");
  EXPECT_EQ(ReadWholeFile(copies + "disk2.d88"), "two");
  EXPECT_EQ(Query(db, "SELECT alter_ego FROM alter_ego_table ORDER BY alter_ego;"), "1;2;");
  EXPECT_EQ(WindowCaption(GetDlgItem(dialog, kActionId)), Jp("解除"));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kSubId)));

  // A set with an alter ego stays a set.
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  PostMessageA(main, WM_COMMAND, kCmdReleaseImageSet, 0);
  box = program.WaitForWindow("#32770", Jp("中止"));
  ASSERT_TRUE(box);
  PressButton(box, IDOK);
  EXPECT_EQ(Query(db, "SELECT ply FROM main_table WHERE file_name='" + Quote(child) + "';"), "2;");

  PostMessageA(main, WM_COMMAND, kCmdAlterEgo, 0);
  dialog = program.WaitForWindow("NORMALDLG", Jp("分身の作成・解除"));
  ASSERT_TRUE(dialog);
  PressButton(dialog, kActionId);
  box = program.WaitForWindow("#32770", "");
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageBoxText(box), Jp("分身を解除しました。"));
  PressButton(box, IDOK);
  EXPECT_FALSE(DirectoryExists(copies));
  EXPECT_EQ(Query(db, "SELECT count(*) FROM alter_ego_table;"), "0;");
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));

  PostMessageA(main, WM_COMMAND, kCmdReleaseImageSet, 0);
  EXPECT_TRUE(WaitFor([&] {
    return Query(db, "SELECT ply||'/'||ply_file_name FROM main_table ORDER BY file_name;") == "0/;0/;";
  }));
  EXPECT_EQ(Query(db, "SELECT count(*) FROM tmp_maxdisk;"), "0;");
  EXPECT_EQ(ReadWholeFile(parent), "one");
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
