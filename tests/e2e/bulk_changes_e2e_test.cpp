// Changes to the selection through the running program's menus: a genre
// and a machine assigned from their submenus, a release date changed in its
// dialog, and a set removed from the library.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>

#include "core/command_ids.h"
#include "db/library_connection.h"
#include "db/schema.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kSearchTextId = 2102;

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


// The title dialog with completion and the following reading turned on:
// typing offers the parents' titles that begin with the text, the reading
// follows the title until the user types one, and the snapshot named after
// the old title is renamed.
TEST(BulkChangesE2E, TheTitleDialogCompletesFollowsAndRenamesSnapshots) {
  BaseFolder base;
  CreateDirectoryA(base.File("snap").c_str(), nullptr);
  WriteWholeFile(base.File("snap") + "\\Zyxion.png", "picture");
  WriteWholeFile(base.File("Velmarook2.ini"), "[EditUICheckBoxs]\r\nTitleIncrSrch=1\r\nTitleToKana=1\r\n");
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(CreateItemView(db));
    auto stored = db.Query(
        "INSERT INTO machine_info_table(machine_num,machine,snap_path) VALUES(1,'FC','" + Quote(base.File("snap")) +
        "');"
        "INSERT INTO main_table(file_name,machine_name,title,ply,ply_file_name) VALUES"
        "('C:\\z.nes','FC','Zyxion',0,''),('C:\\z2.nes','FC','Zyx 2',2,'C:\\z.nes'),('C:\\o.nes','FC','Other',0,'');");
    ASSERT_FALSE(stored) << *stored;
  }
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND edit = FindControl(main, kSearchTextId);
  ASSERT_TRUE(edit);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Zyxion"));
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
  HWND list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));

  PostMessageA(main, WM_COMMAND, kCmdBulkTitle, 0);
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("タイトルの一括変更"));
  ASSERT_TRUE(dialog);
  HWND combo = GetDlgItem(dialog, 3101);
  HWND typed = FindWindowExA(combo, nullptr, "Edit", nullptr);
  HWND reading = GetDlgItem(dialog, 3102);
  ASSERT_TRUE(typed && reading);
  EXPECT_EQ(SendMessageA(combo, CB_GETCOUNT, 0, 0), 0) << "with completion the list is not filled up front";
  auto text = [](HWND window) {
    char buffer[256] = {};
    SendMessageA(window, WM_GETTEXT, sizeof buffer, reinterpret_cast<LPARAM>(buffer));
    return std::string(buffer);
  };
  auto type = [&](const std::string& keys) {
    for (char key : keys) SendMessageA(typed, WM_CHAR, static_cast<unsigned char>(key), 1);
  };
  // Typed: the text itself and the one parent title beginning with it.
  type("Zyx");
  EXPECT_TRUE(WaitFor([&] { return SendMessageA(combo, CB_GETCOUNT, 0, 0) == 2; }));
  EXPECT_EQ(SendMessageA(combo, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>("Zyxion")), 1);
  EXPECT_TRUE(SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0));
  EXPECT_EQ(text(typed), "Zyx") << "the typed text is kept";
  const std::string followed = text(reading);
  EXPECT_FALSE(followed.empty());
  type("\b");  // shorter: the drop-down closes
  EXPECT_TRUE(WaitFor([&] { return !SendMessageA(combo, CB_GETDROPPEDSTATE, 0, 0); }));
  EXPECT_TRUE(WaitFor([&] { return !text(reading).empty() && text(reading) != followed; }));
  // A reading of the user's own is never replaced.
  SendMessageA(reading, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Jp("よみ").c_str()));
  type("q");
  EXPECT_EQ(text(reading), Jp("よみ"));

  SendMessageA(combo, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Jp("ゼクスNew").c_str()));
  PressButton(dialog, IDOK);
  HWND question = program.WaitForWindow("#32770", Jp("確認"));
  ASSERT_TRUE(question);
  EXPECT_NE(MessageBoxText(question).find(Jp("（1個）")), std::string::npos) << MessageBoxText(question);
  PressButton(question, IDYES);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(FileExists(base.File("snap") + "\\" + Jp("ゼクスNew.png")));
  EXPECT_FALSE(FileExists(base.File("snap") + "\\Zyxion.png"));
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  EXPECT_EQ(Query(db, "SELECT title||','||kana FROM main_table WHERE file_name='C:\\z.nes';"), Jp("ゼクスNew,よみ;"));
  EXPECT_EQ(Query(db, "SELECT title FROM main_table WHERE file_name='C:\\z2.nes';"), "Zyx 2;");
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
