// The library's maintenance runs in the running program, all in one started
// program: removal of missing images, column value replacement, CSV export
// and import through the maintenance dialog.
#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <functional>
#include <memory>
#include <vector>

#include "core/command_ids.h"
#include "db/library_connection.h"
#include "db/schema.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "platform/wide_text_win.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kMachinesId = 2203, kOptionBoxId = 2204, kLogId = 2206, kExtraButtonId = 2208, kRunId = 2209,
              kOldTextId = 2211, kNewTextId = 2213, kTargetId = 2215, kFileBoxId = 2216;

// The log lines of the dialog (UTF-8).
std::vector<std::string> LogLines(HWND dialog) {
  HWND list = GetDlgItem(dialog, kLogId);
  std::vector<std::string> lines;
  LRESULT count = SendMessageA(list, LB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    // Read through the wide form with room to spare: the text crosses a
    // process boundary, where the byte count of the narrow form is not
    // what gets copied.
    LRESULT length = SendMessageW(list, LB_GETTEXTLEN, i, 0);
    if (length < 0) continue;
    std::wstring wide(static_cast<size_t>(length) * 2 + 16, L'\0');
    SendMessageW(list, LB_GETTEXT, i, reinterpret_cast<LPARAM>(wide.data()));
    wide.resize(wcslen(wide.c_str()));
    int bytes = WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string line(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.c_str(), static_cast<int>(wide.size()), line.data(), bytes, nullptr, nullptr);
    lines.push_back(line);
  }
  return lines;
}

bool HasLine(HWND dialog, const std::string& utf8) {
  for (const std::string& line : LogLines(dialog))
    if (line == utf8) return true;
  return false;
}

void SetText(HWND dialog, int id, const std::string& text) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// Creates a file, the folders on its way included, through the long-path form.
bool CreateLongFile(const std::string& path) {
  std::wstring wide = L"\\\\?\\" + WideFromAnsi(path);
  for (size_t at = wide.find(L'\\', 7); at != std::wstring::npos; at = wide.find(L'\\', at + 1))
    CreateDirectoryW(wide.substr(0, at).c_str(), nullptr);
  HANDLE file = CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  CloseHandle(file);
  return true;
}

class LibraryRunsE2E : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    base_ = std::make_unique<BaseFolder>();
    program_ = std::make_unique<RunningProgram>(base_->Path(), "-nosplash");
    main_ = program_->WaitUntilReady();
  }
  static void TearDownTestSuite() {
    if (program_) EXPECT_TRUE(program_->Close());
    program_.reset();
    base_.reset();
  }
  void SetUp() override {
    ASSERT_TRUE(main_);
    db.Open(base_->File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query(
        "DELETE FROM main_table; DELETE FROM spec_table; DELETE FROM creator_table; DELETE FROM tmp_maxdisk;"
        "DELETE FROM alter_ego_table; DELETE FROM memo_table; DELETE FROM machine_info_table;"
        "INSERT INTO machine_info_table(machine_num,machine) VALUES(1,'FC'),(2,'PC');"));
  }
  HWND OpenDialog(int command, const char* title) {
    PostMessageA(main_, WM_COMMAND, command, 0);
    return program_->WaitForWindow("NORMALDLG", Jp(title));
  }
  HWND Message(const char* caption) { return program_->WaitForWindow("#32770", Jp(caption)); }
  void CloseDialog(HWND dialog) {
    PressButton(dialog, IDCANCEL);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  }
  std::string Rows(const std::string& sql) {
    if (auto error = db.Query(sql)) return "error: " + *error;
    std::string out;
    for (int row = 1; row <= db.RowCount(); ++row) {
      for (int column = 0; column < db.ColumnCount(); ++column) out += (column ? "," : "") + db.Cell(row, column);
      out += ";";
    }
    return AnsiToUtf8(out);
  }
  std::string Folder() const { return base_->File("roms"); }

  static std::unique_ptr<BaseFolder> base_;
  static std::unique_ptr<RunningProgram> program_;
  static HWND main_;
  LibraryConnection db;
};

std::unique_ptr<BaseFolder> LibraryRunsE2E::base_;
std::unique_ptr<RunningProgram> LibraryRunsE2E::program_;
HWND LibraryRunsE2E::main_ = nullptr;

TEST_F(LibraryRunsE2E, RemovalOfMissingImages) {
  const std::string roms = Folder();
  // A present file, a ZIP whose member is gone, a file at a path over 260
  // bytes, and the present child of a set whose parent is missing.
  const std::string longPath = roms + "\\" + std::string(150, 'd') + "\\" + std::string(150, 'e') + "\\long.nes";
  ASSERT_GT(longPath.size(), 300u);
  for (const std::string& file : {roms + "\\here.nes", roms + "\\a.zip", longPath, roms + "\\child.d88"})
    ASSERT_TRUE(CreateLongFile(file)) << file;
  auto q = [](const std::string& text) { return Quote(text); };
  ASSERT_FALSE(db.Query(
      "INSERT INTO main_table(file_name,machine_name,title,ply,ply_file_name) VALUES"
      "('" + q(roms) + "\\here.nes','FC','here',0,''),('" + q(roms) + "\\gone.nes','FC','gone',0,''),"
      "('" + q(roms) + "\\a.zip*gone.nes','FC','member',0,''),('" + q(roms) + "\\lost.zip*x.nes','FC','lost',0,''),"
      "('Q:\\far\\unmapped.nes','FC','far',0,''),('" + q(longPath) + "','FC','long',0,''),"
      "('" + q(roms) + "\\parent.d88','PC','parent',1,'" + q(roms) + "\\parent.d88'),"
      "('" + q(roms) + "\\child.d88','PC','child',2,'" + q(roms) + "\\parent.d88');"
      "INSERT INTO tmp_maxdisk VALUES('" + q(roms) + "\\parent.d88',2);"));

  HWND dialog = OpenDialog(kCmdRemoveMissing, "不在イメージをライブラリから削除");
  ASSERT_TRUE(dialog);
  EXPECT_EQ(WindowCaption(GetDlgItem(dialog, 2201)), Jp("ライブラリから削除"));
  EXPECT_EQ(WindowCaption(GetDlgItem(dialog, kOptionBoxId)), Jp("ファイルの存在しないアイテムのみライブラリから削除"));
  EXPECT_EQ(SendMessageA(GetDlgItem(dialog, kOptionBoxId), BM_GETCHECK, 0, 0), BST_CHECKED);
  PressButton(dialog, kRunId);
  ASSERT_TRUE(WaitFor([&] { return HasLine(dialog, "処理を終了しました"); }));
  EXPECT_TRUE(WaitFor([&] { return WindowCaption(GetDlgItem(dialog, kRunId)) == Jp("実行"); }));
  const std::string r = AnsiToUtf8(roms);
  EXPECT_EQ(Rows("SELECT title,ply,ply_file_name FROM main_table ORDER BY title;"),
            "child,0,;far,0,;here,0,;long,0,;member,0,;");
  EXPECT_EQ(Rows("SELECT count(*) FROM tmp_maxdisk;"), "0;");
  EXPECT_TRUE(HasLine(dialog, "確認できません：Q:\\far\\unmapped.nes"));
  EXPECT_TRUE(HasLine(dialog, "削除：" + r + "\\gone.nes"));
  EXPECT_TRUE(HasLine(dialog, "削除：" + r + "\\lost.zip"));
  EXPECT_TRUE(HasLine(dialog, "単独のアイテムにしました：" + r + "\\child.d88"));

  // Everything of every machine: "No" changes nothing.
  SendMessageA(GetDlgItem(dialog, kOptionBoxId), BM_SETCHECK, BST_UNCHECKED, 0);
  PressButton(dialog, kRunId);
  HWND question = Message("確認");
  ASSERT_TRUE(question);
  EXPECT_EQ(MessageBoxText(question), Jp("全ての機種 の 全アイテム をライブラリから削除します。\nよろしいですか？"));
  PressButton(question, IDNO);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(question); }));
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(dialog, kMachinesId)) != FALSE; }));
  EXPECT_EQ(Rows("SELECT count(*) FROM main_table;"), "5;");
  // "Yes" for PC only empties PC.
  SendMessageA(GetDlgItem(dialog, kMachinesId), CB_SETCURSEL, 2, 0);
  ASSERT_FALSE(db.Query("UPDATE main_table SET machine_name='PC' WHERE title='far';"));
  PressButton(dialog, kRunId);
  question = Message("確認");
  ASSERT_TRUE(question);
  EXPECT_EQ(MessageBoxText(question), Jp("PC の 全アイテム をライブラリから削除します。\nよろしいですか？"));
  PressButton(question, IDYES);
  ASSERT_TRUE(WaitFor([&] { return HasLine(dialog, "PC の 全アイテム をライブラリから削除しました"); }));
  EXPECT_EQ(Rows("SELECT title FROM main_table ORDER BY title;"), "here;long;member;");
  CloseDialog(dialog);
}

TEST_F(LibraryRunsE2E, ColumnValueReplacement) {
  ASSERT_FALSE(db.Query(
      "INSERT INTO main_table(file_name,machine_name,title,maker,ply,ply_file_name) VALUES"
      "('D:\\roms\\p.d88','FC','p','100%',1,'D:\\roms\\p.d88'),('D:\\roms\\c.d88','PC','c','100x',2,'D:\\roms\\p.d88');"
      "INSERT INTO tmp_maxdisk VALUES('D:\\roms\\p.d88',2);"
      "INSERT INTO memo_table VALUES('D:\\roms\\p.d88','m');"
      "INSERT INTO alter_ego_table VALUES('D:\\roms\\c.d88','X:\\c.d88',1,'D:\\roms\\p.d88','');"));
  ASSERT_FALSE(db.Query("SELECT sql FROM sqlite_master WHERE name='update_main_pkey';"));
  const std::string trigger = db.Cell(1, 0);
  HWND dialog = OpenDialog(kCmdReplaceColumnValue, "カラム値の置換");
  ASSERT_TRUE(dialog);
  EXPECT_EQ(WindowCaption(GetDlgItem(dialog, kExtraButtonId)), Jp("テスト"));
  EXPECT_EQ(SendMessageA(GetDlgItem(dialog, kTargetId), CB_GETCOUNT, 0, 0), 5);

  // Equal texts are refused before anything runs.
  SetText(dialog, kOldTextId, "x");
  SetText(dialog, kNewTextId, "x");
  PressButton(dialog, kRunId);
  HWND refusal = Message("");
  ASSERT_TRUE(refusal);
  EXPECT_EQ(MessageBoxText(refusal), Jp("置換前と置換後の文字列が同じです。\n中止します。"));
  PressButton(refusal, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(refusal); }));

  // The test of the maker: "100%" is taken literally.
  SendMessageA(GetDlgItem(dialog, kTargetId), CB_SETCURSEL, 1, 0);
  SetText(dialog, kOldTextId, "100%");
  SetText(dialog, kNewTextId, "50%");
  PressButton(dialog, kExtraButtonId);
  ASSERT_TRUE(WaitFor([&] { return HasLine(dialog, "1 パターンのマッチがありました。"); }));
  EXPECT_TRUE(HasLine(dialog, "100% -> 50%"));
  EXPECT_EQ(Rows("SELECT maker FROM main_table ORDER BY maker;"), "100%;100x;");

  // The key prefix over all machines, after the question.
  SendMessageA(GetDlgItem(dialog, kTargetId), CB_SETCURSEL, 0, 0);
  SetText(dialog, kOldTextId, "D:\\roms\\");
  SetText(dialog, kNewTextId, "D:\\roms\\fm7\\");
  EXPECT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(dialog, kRunId)) != FALSE; }));
  PressButton(dialog, kRunId);
  HWND question = Message("確認");
  ASSERT_TRUE(question);
  EXPECT_EQ(MessageBoxText(question), Jp("置換は一括実行され途中で中止できません。\n実行しますか？"));
  PressButton(question, IDYES);
  ASSERT_TRUE(WaitFor([&] { return HasLine(dialog, "置換を実行しました。"); }));
  EXPECT_EQ(Rows("SELECT file_name,ply_file_name FROM main_table ORDER BY file_name;"),
            "D:\\roms\\fm7\\c.d88,D:\\roms\\fm7\\p.d88;D:\\roms\\fm7\\p.d88,D:\\roms\\fm7\\p.d88;");
  EXPECT_EQ(Rows("SELECT pfile_mm FROM memo_table;"), "D:\\roms\\fm7\\p.d88;");
  EXPECT_EQ(Rows("SELECT pfile_ae,ply_pfile_ae FROM alter_ego_table;"), "D:\\roms\\fm7\\c.d88,D:\\roms\\fm7\\p.d88;");
  EXPECT_EQ(Rows("SELECT * FROM tmp_maxdisk;"), "D:\\roms\\fm7\\p.d88,2;");
  ASSERT_FALSE(db.Query("SELECT sql FROM sqlite_master WHERE name='update_main_pkey';"));
  EXPECT_EQ(db.Cell(1, 0), trigger);
  EXPECT_TRUE(WaitFor([&] { return WindowCaption(GetDlgItem(dialog, kExtraButtonId)) == Jp("テスト"); }));
  CloseDialog(dialog);
}

TEST_F(LibraryRunsE2E, CsvExportAndImport) {
  ASSERT_FALSE(db.Query(Jp(
      "INSERT INTO main_table(file_name,machine_name,title,maker,adult,sale_year,ply,ply_file_name) VALUES"
      "('C:\\ソ.nes','FC','Say \"Hi\", 2','M','1','1985-00-00',0,''),('C:\\b.nes','PC','b','','0','0',0,'');"
      "INSERT INTO spec_table(pfile_sc,breed,device) VALUES('C:\\ソ.nes','B-1','pad');")));
  const std::string path = base_->File("out.csv");
  HWND dialog = OpenDialog(kCmdExportCsv, "エクスポート");
  ASSERT_TRUE(dialog);
  EXPECT_EQ(WindowCaption(GetDlgItem(dialog, kOptionBoxId)), Jp("1行目に見出しを付加"));
  PressButton(dialog, kRunId);
  HWND refusal = Message("エクスポート");
  ASSERT_TRUE(refusal);
  EXPECT_EQ(MessageBoxText(refusal), Jp("ファイル保存先を指定してください"));
  PressButton(refusal, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(refusal); }));
  SendMessageA(GetDlgItem(dialog, kMachinesId), CB_SETCURSEL, 1, 0);  // FC
  SetText(dialog, kFileBoxId, path);
  PressButton(dialog, kRunId);
  ASSERT_TRUE(WaitFor([&] { return HasLine(dialog, "処理を終了しました。"); }));
  std::string file = ReadWholeFile(path);
  ASSERT_GT(file.find("\r\n"), 0u);
  EXPECT_EQ(file.substr(file.find("\r\n") + 2),
            Jp("C:\\ソ.nes,FC,,\"Say \"\"Hi\"\", 2\",,M,,,,1,1985,,,,,,,B-1,,,,,,\r\n"));
  CloseDialog(dialog);

  // Import: the header skipped, the existing item updated, the new key declined.
  WriteWholeFile(base_->File("in.csv"), file.substr(0, file.find("\r\n") + 2) +
                                             Jp("C:\\ソ.nes,FC,,New,,M2,,,,,1990/5,,,,,,,,,,,,,\r\n") +
                                             "C:\\new.nes,FC,,n,,,,,,,,,,,,,,,,,,,,\r\n");
  dialog = OpenDialog(kCmdImportCsv, "インポート");
  ASSERT_TRUE(dialog);
  EXPECT_EQ(WindowCaption(GetDlgItem(dialog, kOptionBoxId)), Jp("1行目を見出しとしてスキップする"));
  SetText(dialog, kFileBoxId, base_->File("in.csv"));
  PressButton(dialog, kRunId);
  HWND confirm = Message("インポート確認");
  ASSERT_TRUE(confirm);
  EXPECT_EQ(MessageBoxText(confirm), Jp("ライブラリはインポートする情報で上書きされます。\n実行しますか？"));
  PressButton(confirm, IDYES);
  HWND newKey = Message("新規プライマリキー");
  ASSERT_TRUE(newKey);
  PressButton(newKey, IDNO);
  ASSERT_TRUE(WaitFor([&] { return HasLine(dialog, "全ての処理を終了しました。"); }));
  EXPECT_TRUE(HasLine(dialog, "  ... スキップします。"));
  EXPECT_EQ(Rows("SELECT title,maker,adult,sale_year FROM main_table ORDER BY file_name;"),
            "b,,0,0;New,M2,0,1990-05-00;");
  EXPECT_EQ(Rows("SELECT breed,device FROM spec_table;"), ",pad;");

  // A broken file writes nothing.
  WriteWholeFile(base_->File("in.csv"), Jp("C:\\ソ.nes,FC,,Other,,,,,,,,,,,,,,,,,,,,\r\n\"C:\\b.nes,PC\r\n"));
  SendMessageA(GetDlgItem(dialog, kOptionBoxId), BM_SETCHECK, BST_UNCHECKED, 0);
  PressButton(dialog, kRunId);
  confirm = Message("インポート確認");
  ASSERT_TRUE(confirm);
  PressButton(confirm, IDYES);
  HWND broken = Message("ダブルクオートが不正です");
  ASSERT_TRUE(broken);
  PressButton(broken, IDOK);
  EXPECT_TRUE(WaitFor([&] { return HasLine(dialog, "ダブルクオートが不正です。(Line:2)"); }));
  EXPECT_EQ(Rows("SELECT title FROM main_table ORDER BY file_name;"), "b;New;");
  CloseDialog(dialog);
}

}  // namespace
}  // namespace vel::test
