// Changes to the selection through the running program's menus: a genre
// and a machine assigned from their submenus, a release date changed in its
// dialog, and a set removed from the library.
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

bool WaitFor(const std::function<bool()>& done) {
  for (int i = 0; i < 300; ++i) {
    if (done()) return true;
    SleepMs(50);
  }
  return done();
}

std::string Query(LibraryConnection& db, const std::string& sql) {
  if (db.Query(sql)) return "error";
  std::string out;
  for (int row = 1; row <= db.RowCount(); ++row) out += db.Cell(row, 0) + ";";
  return out;
}

TEST(BulkChangesE2E, AssignmentsTextChangesAndTheRemovalOfASet) {
  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query(
      "INSERT INTO genre_info_table VALUES(1,'ACT',''),(2,'__PRIMARY_KEY__','');"
      "INSERT INTO machine_info_table(machine_num, machine) VALUES(1,'MSX');"
      "INSERT INTO main_table(file_name,machine_name,title,file_title,file_ext,genre_name,ply,ply_file_name) VALUES"
      "('C:\\p.d88','FC','Zyxset','p','d88','ACT',1,'C:\\p.d88'),"
      "('C:\\c2.d88','FC','Disk 2','c2','d88','ACT',2,'C:\\p.d88'),"
      "('C:\\c3.d88','FC','Disk 3','c3','d88','ACT',3,'C:\\p.d88'),"
      "('C:\\other.d88','FC','Other','other','d88','ACT',0,'');"
      "INSERT INTO tmp_maxdisk VALUES('C:\\p.d88',3);"));
  HWND edit = FindControl(main, kSearchTextId);
  ASSERT_TRUE(edit);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Zyxset"));
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
  HWND list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));

  // The second genre by name: stored as its name, the marker text included.
  PostMessageA(main, WM_COMMAND, kCmdGenreFirst + 1, 0);
  EXPECT_TRUE(WaitFor([&] {
    return Query(db, "SELECT genre_name FROM main_table WHERE file_name='C:\\p.d88';") == "__PRIMARY_KEY__;";
  }));
  EXPECT_EQ(Query(db, "SELECT genre_name FROM main_table WHERE file_name<>'C:\\p.d88' ORDER BY file_name;"),
            "ACT;ACT;ACT;");

  // The machine is changed only after the question, whose default is No.
  for (int answer : {IDNO, IDYES}) {
    PostMessageA(main, WM_COMMAND, kCmdMachineFirst, 0);
    HWND question = program.WaitForWindow("#32770", Jp("確認"));
    ASSERT_TRUE(question);
    EXPECT_EQ(MessageBoxText(question), Jp("機種を一括変更しようとしています。\n本当に実行しますか？"));
    EXPECT_TRUE(GetWindowLongA(GetDlgItem(question, IDNO), GWL_STYLE) & BS_DEFPUSHBUTTON);
    EXPECT_FALSE(GetWindowLongA(GetDlgItem(question, IDYES), GWL_STYLE) & BS_DEFPUSHBUTTON);
    PressButton(question, answer);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(question); }));
    const char* expected = answer == IDYES ? "MSX;" : "FC;";
    EXPECT_TRUE(WaitFor([&] {
      return Query(db, "SELECT machine_name FROM main_table WHERE file_name='C:\\p.d88';") == expected;
    }));
  }
  EXPECT_EQ(Query(db, "SELECT machine_name FROM main_table WHERE file_name='C:\\c2.d88';"), "FC;");

  // A typed date that is none is refused with the dialog left open; a
  // valid one is stored in its normal form.
  PostMessageA(main, WM_COMMAND, kCmdBulkCreator - 1, 0);
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("発売日の一括変更"));
  ASSERT_TRUE(dialog);
  HWND value = FindControl(dialog, 3101);
  ASSERT_TRUE(value);
  SendMessageA(value, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("98"));
  PressButton(dialog, IDOK);
  HWND refusal = program.WaitForWindow("#32770", Jp("エラー"));
  ASSERT_TRUE(refusal);
  EXPECT_EQ(MessageBoxText(refusal), Jp("発売日の指定に不備があります。\nyyyy-mm-dd形式で指定してください。\n"
                                        "例) 1980-5-25 ※月以降または日は省略可"));
  PressButton(refusal, IDOK);
  EXPECT_TRUE(IsWindow(dialog));
  SendMessageA(value, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Jp("1980年5月").c_str()));
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(WaitFor([&] {
    return Query(db, "SELECT sale_year FROM main_table WHERE file_name='C:\\p.d88';") == "1980-05-00;";
  }));
  EXPECT_EQ(Query(db, "SELECT ifnull(sale_year,'-') FROM main_table WHERE file_name='C:\\c2.d88';"), "-;");

  // The title comes with its reading and a smart title.
  PostMessageA(main, WM_COMMAND, kCmdBulkTitle, 0);
  dialog = program.WaitForWindow("NORMALDLG", Jp("タイトルの一括変更"));
  ASSERT_TRUE(dialog);
  SendMessageA(GetDlgItem(dialog, 3101), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Zyxset Two"));
  SendMessageA(GetDlgItem(dialog, 3102), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Jp("じくせっと").c_str()));
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(WaitFor([&] {
    return Query(db, "SELECT title||','||kana||','||(smart_title<>'') FROM main_table WHERE file_name='C:\\p.d88';") ==
           Jp("Zyxset Two,じくせっと,1;");
  }));

  PostMessageA(main, WM_COMMAND, kCmdRemoveFromLibrary, 0);
  HWND box = program.WaitForWindow("#32770", Jp("確認"));
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageBoxText(box),
            Jp("選択された項目をライブラリから削除します\n（実際のファイルは削除されません）\nよろしいですか？"));
  PressButton(box, IDYES);
  EXPECT_TRUE(WaitFor([&] { return Query(db, "SELECT file_name FROM main_table;") == "C:\\other.d88;"; }));
  EXPECT_EQ(Query(db, "SELECT count(*) FROM tmp_maxdisk;"), "0;");
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
