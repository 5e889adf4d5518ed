// The query history, the list as it was left and the item marks in the
// running program.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kSearchTargetId = 2101, kSearchTextId = 2102, kItemListId = 1001;
constexpr int kTargetMaker = 3;

LRESULT Rows(HWND list) { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); }
LRESULT Selected(HWND list) {
  return SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED);
}

std::string EditText(HWND edit) {
  char text[300] = {};
  SendMessageA(edit, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// One library of three fruits and three vegetables, the program running on it.
class HistoryAndMarksE2E : public testing::Test {
 protected:
  void SetUp() override {
    // A saved query two folders down.
    ASSERT_TRUE(CreateDirectoryA(base.File("query").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(base.File("query\\A").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(base.File("query\\A\\B").c_str(), nullptr));
    WriteWholeFile(base.File("query\\A\\B\\q1.txt"),
                   "[query]\r\nsql=SELECT * FROM list_view WHERE maker='veg' ;\r\nicon=\r\n");
    Start();
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title,maker) VALUES"
                          "('k1','Apple','fruit'),('k2','Banana','fruit'),('k3','Cherry','fruit'),"
                          "('k4','Kale','veg'),('k5','Leek','veg'),('k6','Mint','veg');"));
  }
  void Start() {
    program = std::make_unique<RunningProgram>(base.Path(), "-nosplash");
    main = program->WaitUntilReady();
    if (!main)
      for (HWND box : WindowsOfProcess(program->ProcessId(), "#32770")) ADD_FAILURE() << MessageBoxText(box);
    ASSERT_TRUE(main);
    list = FindControl(main, kItemListId);
    ASSERT_TRUE(list);
  }
  void Search(const std::string& text, int target) { SearchInBox(main, text, target); }
  void PressKey(WPARAM key) {
    PostMessageA(list, WM_KEYDOWN, key, 0);
    PostMessageA(list, WM_KEYUP, key, 0xC0000000);
  }
  // Selects a row as a user does, with Home and Down.
  bool Select(int row) {
    PressKey(VK_HOME);
    if (!WaitFor([&] { return Selected(list) == 0; })) return false;
    for (int r = 1; r <= row; ++r) {
      PressKey(VK_DOWN);
      if (!WaitFor([&] { return Selected(list) == r; })) return false;
    }
    return true;
  }
  std::string Stored(const std::string& sql) {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    if (db.Query(sql) || db.RowCount() < 1) return "<none>";
    return db.Cell(1, 0);
  }
  void TearDown() override {
    if (program) EXPECT_TRUE(program->Close());
  }

  BaseFolder base;
  std::unique_ptr<RunningProgram> program;
  HWND main = nullptr, list = nullptr;
};

TEST_F(HistoryAndMarksE2E, BackAndForwardStepThroughTheSearches) {
  Search("fruit", kTargetMaker);
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 3; }));
  Search("Kale", 0);
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 1; }));
  PostMessageA(main, WM_COMMAND, 11250, 0);  // Back
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 3 && Selected(list) == 0; }));
  EXPECT_EQ(EditText(FindControl(main, kSearchTextId)), "fruit");
  EXPECT_EQ(SendMessageA(FindControl(main, kSearchTargetId), CB_GETCURSEL, 0, 0), kTargetMaker);
  PostMessageA(main, WM_COMMAND, 11251, 0);  // Forward
  EXPECT_TRUE(WaitFor([&] { return Rows(list) == 1; }));
  EXPECT_EQ(EditText(FindControl(main, kSearchTextId)), "Kale");
}

TEST_F(HistoryAndMarksE2E, ASavedQueryRunsFromTheTreeAndIsRecorded) {
  HWND tree = FindControl(main, 1000);
  ASSERT_TRUE(tree);
  auto child = [&](HTREEITEM parent) {
    return reinterpret_cast<HTREEITEM>(
        SendMessageA(tree, TVM_GETNEXTITEM, parent ? TVGN_CHILD : TVGN_ROOT, reinterpret_cast<LPARAM>(parent)));
  };
  HTREEITEM a = nullptr, b = nullptr, q1 = nullptr;
  ASSERT_TRUE(WaitFor([&] { return (a = child(nullptr)) != nullptr; }));
  b = child(a);
  ASSERT_TRUE(b);
  q1 = child(b);
  ASSERT_TRUE(q1);
  SendMessageA(tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(q1));
  EXPECT_EQ(Rows(list), 0) << "selecting without a click does not run it";
  SetFocus(tree);
  PostMessageA(tree, WM_KEYDOWN, VK_RETURN, 0);
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 3; }));
  EXPECT_NE(Stored("SELECT query FROM tmp_hist_table WHERE current=1;").find("/*q1*/"), std::string::npos);
}

// The editor's wizard writes the statement, the column names open over the
// editor, and OK saves the query in the current folder.
TEST_F(HistoryAndMarksE2E, TheQueryWizardWritesAStatementThatIsSaved) {
  constexpr int kNameId = 3201, kSqlId = 3203, kTargetId = 3205, kKeywordId = 3206, kMethodId = 3207,
                kSortId = 3208, kDescendingId = 3209, kMakeId = 3210, kColumnNamesId = 3211;
  PostMessageA(main, WM_COMMAND, 1228, 0);
  HWND editor = program->WaitForWindow("NORMALDLG", Jp("クエリ作成"));
  ASSERT_TRUE(editor);
  ASSERT_TRUE(WaitFor([&] { return GetDlgItem(editor, kMakeId) != nullptr && IsWindowVisible(editor); }));
  EXPECT_EQ(SendDlgItemMessageA(editor, kTargetId, CB_GETCOUNT, 0, 0), 11);
  EXPECT_EQ(SendDlgItemMessageA(editor, kSortId, CB_GETCOUNT, 0, 0), 18);
  SendDlgItemMessageA(editor, kTargetId, CB_SETCURSEL, 2, 0);  // メーカー
  SendDlgItemMessageA(editor, kMethodId, CB_SETCURSEL, 0, 0);  // 一致
  SendDlgItemMessageA(editor, kSortId, CB_SETCURSEL, 2, 0);    // 機種/ジャンル
  SendDlgItemMessageA(editor, kDescendingId, BM_SETCHECK, BST_CHECKED, 0);
  SendMessageA(GetDlgItem(editor, kKeywordId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("veg's"));
  PressButton(editor, kMakeId);
  const std::string statement = "SELECT * FROM list_view WHERE maker = 'veg''s' ORDER BY machine_name DESC;";
  EXPECT_TRUE(WaitFor([&] { return EditText(GetDlgItem(editor, kSqlId)) == statement; }))
      << EditText(GetDlgItem(editor, kSqlId));

  PressButton(editor, kColumnNamesId);
  HWND names = program->WaitForWindow("NORMALDLG", Jp("DBカラム名一覧"));
  ASSERT_TRUE(names);
  EXPECT_EQ(GetWindow(names, GW_OWNER), editor);
  EXPECT_FALSE(IsWindowEnabled(editor));
  PressButton(names, IDOK);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(names) && IsWindowEnabled(editor); }));
  EXPECT_FALSE(IsWindowEnabled(main)) << "the editor is still open over the main window";

  SendMessageA(GetDlgItem(editor, kNameId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Veg"));
  PressButton(editor, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(editor); }));
  EXPECT_NE(ReadWholeFile(base.File("query\\Veg.txt")).find("sql=" + statement), std::string::npos)
      << ReadWholeFile(base.File("query\\Veg.txt"));
}

TEST_F(HistoryAndMarksE2E, KeysMarkTheSelectedItem) {
  Search("fruit", kTargetMaker);
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 3; }));
  ASSERT_TRUE(Select(1));  // Banana, the list being in title order
  PressKey('3');
  EXPECT_TRUE(WaitFor([&] { return Stored("SELECT fave FROM favorite_table WHERE pfile_fv='k2';") == "3"; }));
  PressKey('A');
  EXPECT_TRUE(WaitFor([&] { return Stored("SELECT adult FROM main_table WHERE file_name='k2';") == "1"; }));
  SleepMs(600);  // the adult key pauses and drops keys typed meanwhile
  PressKey('3');
  EXPECT_TRUE(WaitFor([&] { return Stored("SELECT fave FROM favorite_table WHERE pfile_fv='k2';") == "<none>"; }))
      << "a second press takes the mark off again";
  EXPECT_EQ(Stored("SELECT COUNT(*) FROM favorite_table;"), "0") << "only the selected item was marked";
}

TEST_F(HistoryAndMarksE2E, TheProgramComesBackWhereItWasLeft) {
  Search("fruit", kTargetMaker);
  ASSERT_TRUE(WaitFor([&] { return Rows(list) == 3; }));
  ASSERT_TRUE(Select(1));
  ASSERT_TRUE(program->Close());
  program.reset();
  Start();
  EXPECT_TRUE(WaitFor([&] { return Rows(list) == 3 && Selected(list) == 1; }))
      << Rows(list) << " rows, row " << Selected(list) << " selected";
}

}  // namespace
}  // namespace vel::test
