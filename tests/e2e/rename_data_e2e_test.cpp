// Rename data in the running program: the stand-in plug-in in the base
// folder's "plugin", list data as an XML member in a ZIP sub-folder.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "core/command_ids.h"
#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"
#include "zip_fixture.h"

namespace vel::test {
namespace {

constexpr int kMachinesId = 2301, kListFileId = 2302, kPluginsId = 2305, kInfoId = 2308, kTestId = 2310,
              kRunId = 2311, kFirstFieldId = 2340;
constexpr int kStatusId = 2402, kStopId = 2404, kResultsId = 2405;
constexpr int kTitleBox = kFirstFieldId + 0, kPriceBox = kFirstFieldId + 13;

// An edit box's text, asked of its window (another process's edit keeps its
// text apart from the window caption).
std::string EditText(HWND edit) {
  char text[1024] = {};
  SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

void Tick(HWND dialog, int id) { SendMessageA(GetDlgItem(dialog, id), BM_SETCHECK, BST_CHECKED, 0); }

void ChoosePlugin(HWND dialog, const char* name) {
  HWND list = GetDlgItem(dialog, kPluginsId);
  LRESULT index = SendMessageA(list, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(name));
  ASSERT_GE(index, 0) << name;
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(index), 0);
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(kPluginsId, LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

class RenameDataE2E : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateFolder(base.File("plugin")));
    for (const char* name : {"standin.nya", "infoonly.nya"})
      ASSERT_TRUE(CopyFileA((std::string(VEL_RENAME_PLUGIN_DIR) + "\\" + name).c_str(),
                            base.File(std::string("plugin\\") + name).c_str(), FALSE));
    program = std::make_unique<RunningProgram>(base.Path(), "-nosplash");
    main = program->WaitUntilReady();
    ASSERT_TRUE(main);
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query(
        "DELETE FROM main_table; DELETE FROM spec_table; DELETE FROM machine_info_table;"
        "INSERT INTO machine_info_table(machine_num,machine) VALUES(1,'PC');"
        "INSERT INTO main_table(file_name,file_title,file_ext,machine_name,title,crc32,adult,sale_year) VALUES"
        "('C:\\a.d88','a','d88','PC','old a','AAAA0001','0','0'),('C:\\b.d88','b','d88','PC','old b','BBBB0002','0','0'),"
        "('C:\\c.d88','c','d88','PC','old c','','0','0');"
        "INSERT INTO spec_table(pfile_sc,breed,price,device) VALUES('C:\\a.d88','OLD-1','100','mouse');"));
    db.Close();
    WriteWholeFile(base.File("list.zip"),
                   MakeZip({{"readme.txt", "not this"},
                            {"data/list.xml", "AAAA0001\tGetTitle=New A\tGetPrice=4800\tGetModel=NEW-1\n", true}}));
  }
  void TearDown() override {
    if (program) EXPECT_TRUE(program->Close());
  }
  HWND OpenSettings() {
    PostMessageA(main, WM_COMMAND, kCmdRenameData, 0);
    return program->WaitForWindow("NORMALDLG", Jp("リネームデータからライブラリ更新の設定"));
  }
  HWND Progress() { return program->WaitForWindow("NORMALDLG", Jp("リネームデータからライブラリ更新")); }
  bool Ended(HWND progress) {
    return WaitFor([&] { return WindowCaption(GetDlgItem(progress, kStopId)) == Jp("終了"); });
  }
  std::string Rows(const std::string& sql) {
    LibraryConnection reader;
    reader.Open(base.File("Velmarook.db"), "");
    if (auto error = reader.Query(sql)) return "error: " + *error;
    std::string out;
    for (int row = 1; row <= reader.RowCount(); ++row) {
      for (int column = 0; column < reader.ColumnCount(); ++column)
        out += (column ? "," : "") + reader.Cell(row, column);
      out += ";";
    }
    return AnsiToUtf8(out);
  }
  BaseFolder base;
  std::unique_ptr<RunningProgram> program;
  HWND main = nullptr;
  LibraryConnection db;
};

TEST_F(RenameDataE2E, UpdatesFromAZipAfterTheMissingCrcQuestion) {
  HWND dialog = OpenSettings();
  ASSERT_TRUE(dialog);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kRunId)));
  // A plug-in with only its information exports cannot be run.
  ChoosePlugin(dialog, "infoonly.nya");
  ASSERT_TRUE(WaitFor([&] { return EditText(GetDlgItem(dialog, kInfoId)) == Jp("使用できないプラグインぽいです"); }));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kRunId)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kTitleBox)));
  ChoosePlugin(dialog, "standin.nya");
  ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(dialog, kRunId)) != FALSE; }));
  SendMessageA(GetDlgItem(dialog, kListFileId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(base.File("list.zip").c_str()));
  Tick(dialog, kTitleBox);
  Tick(dialog, kPriceBox);

  // "No" to the missing CRC: the library file stays byte for byte.
  const std::string before = ReadWholeFile(base.File("Velmarook.db"));
  PressButton(dialog, kRunId);
  HWND progress = Progress();
  ASSERT_TRUE(progress);
  HWND question = program->WaitForWindow("#32770", Jp("確認"));
  ASSERT_TRUE(question);
  EXPECT_EQ(MessageBoxText(question), Jp("ライブラリ中の PC には、CRC32の値が無いアイテムが 1 件存在します。\n"
                                         "このまま続けますか？\n\n※ CRC値の再取得はメニュー[データベース]→[ライブラリのCRCを再計算]で行えます。"));
  PressButton(question, IDNO);
  ASSERT_TRUE(Ended(progress));
  EXPECT_EQ(WindowCaption(GetDlgItem(progress, kStatusId)), Jp("中止しました"));
  PressButton(progress, kStopId);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(progress); }));
  EXPECT_EQ(ReadWholeFile(base.File("Velmarook.db")), before);

  // "Yes": the title and the price go in; the model and the device stay.
  PressButton(dialog, kRunId);
  progress = Progress();
  ASSERT_TRUE(progress);
  question = program->WaitForWindow("#32770", Jp("確認"));
  ASSERT_TRUE(question);
  PressButton(question, IDYES);
  ASSERT_TRUE(Ended(progress));
  EXPECT_EQ(WindowCaption(GetDlgItem(progress, kStatusId)),
            Jp("処理を終了しました ( 2 件中 1 件のキーが該当し更新されました )"));
  PressButton(progress, kStopId);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(progress); }));
  EXPECT_EQ(Rows("SELECT m.title,s.breed,s.price,s.device FROM main_table m JOIN spec_table s ON s.pfile_sc=m.file_name;"),
            "New A,OLD-1,4800,mouse;");
  EXPECT_EQ(Rows("SELECT title FROM main_table WHERE file_name<>'C:\\a.d88' ORDER BY 1;"), "old b;old c;");

  // The test lists the match and writes nothing.
  const std::string afterUpdate = Rows("SELECT * FROM main_table ORDER BY 1;") + Rows("SELECT * FROM spec_table;");
  PressButton(dialog, kTestId);
  progress = Progress();
  ASSERT_TRUE(progress);
  question = program->WaitForWindow("#32770", Jp("確認"));
  ASSERT_TRUE(question);
  PressButton(question, IDYES);
  ASSERT_TRUE(Ended(progress));
  EXPECT_EQ(WindowCaption(GetDlgItem(progress, kStatusId)), Jp("テストが終了しました"));
  EXPECT_EQ(ListView_GetItemCount(GetDlgItem(progress, kResultsId)), 1);
  PressButton(progress, kStopId);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(progress); }));
  EXPECT_EQ(Rows("SELECT * FROM main_table ORDER BY 1;") + Rows("SELECT * FROM spec_table;"), afterUpdate);
  PressButton(dialog, IDCANCEL);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
}

}  // namespace
}  // namespace vel::test
