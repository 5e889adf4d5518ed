// A new user fills the master tables through the management window and then
// imports images for the machine just made: no SQL by hand anywhere.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "core/command_ids.h"
#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kTabId = 3701, kListId = 3702, kAddId = 3703, kNameId = 3801, kSearchExtId = 3804;
constexpr int kImportPathId = 3101, kImportStartId = 3001, kProgressCloseId = 3304;

std::string ControlText(HWND control) {
  char text[512] = {};
  SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// The names a list box of the program shows, read in wide text: under Wine
// an ANSI item text read from another process comes back cut short.
std::vector<std::string> ListedNames(HWND list) {
  std::vector<std::string> names;
  int count = static_cast<int>(SendMessageW(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    wchar_t wide[512] = {};
    SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(wide));
    char text[1024] = {};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    names.push_back(text);
  }
  return names;
}

class MasterAdmin {
 public:
  MasterAdmin(RunningProgram& program, HWND main, int command) : program_(program) {
    PostMessageA(main, WM_COMMAND, static_cast<WPARAM>(command), 0);
    window = program.WaitForWindow("NORMALDLG", Jp("マスタ管理"));
    if (window) list = GetDlgItem(window, kListId);
  }
  int Tab() const { return static_cast<int>(SendMessageA(GetDlgItem(window, kTabId), TCM_GETCURSEL, 0, 0)); }
  // Opens the editor of a new record with the kind's caption.
  HWND Add(const std::string& caption) {
    PressButton(window, kAddId);
    return program_.WaitForWindow("NORMALDLG", caption);
  }
  bool Close() {
    PressButton(window, IDCANCEL);
    return WaitFor([&] { return !IsWindow(window); });
  }
  HWND window = nullptr;
  HWND list = nullptr;

 private:
  RunningProgram& program_;
};

void Type(HWND editor, int id, const std::string& text) {
  SendMessageA(FindControl(editor, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

TEST(MasterTablesE2E, AGenreAndAMachineAreAddedAndImagesImportedForTheMachine) {
  BaseFolder base;
  const std::string images = base.File("images");
  ASSERT_TRUE(CreateDirectoryA(images.c_str(), nullptr));
  WriteWholeFile(images + "\\Sample Adventure (1987).d88", std::string(2048, 'a'));
  WriteWholeFile(images + "\\readme.txt", "not an image");

  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);

  {
    MasterAdmin genres(program, main, kCmdMasterGenre);
    ASSERT_TRUE(genres.window);
    EXPECT_EQ(genres.Tab(), 2);
    HWND editor = genres.Add(Jp("ジャンルの設定"));
    ASSERT_TRUE(editor);
    Type(editor, kNameId, "ADV");
    PressButton(editor, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(editor); }));
    EXPECT_TRUE(WaitFor([&] { return ListedNames(genres.list) == std::vector<std::string>{"ADV"}; }));

    // The same name again is refused and the editor stays open.
    editor = genres.Add(Jp("ジャンルの設定"));
    ASSERT_TRUE(editor);
    Type(editor, kNameId, "ADV");
    PressButton(editor, IDOK);
    HWND refusal = program.WaitForWindow("#32770", Jp("中止"));
    ASSERT_TRUE(refusal);
    EXPECT_EQ(MessageBoxText(refusal), Jp("指定されたジャンル名は既に作成されています。\n別なジャンル名を指定してください。"));
    PressButton(refusal, IDOK);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(refusal); }));
    EXPECT_TRUE(IsWindow(editor));
    PressButton(editor, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(editor); }));
    EXPECT_TRUE(genres.Close());
  }
  {
    MasterAdmin machines(program, main, kCmdMasterMachine);
    ASSERT_TRUE(machines.window);
    EXPECT_EQ(machines.Tab(), 0);
    HWND editor = machines.Add(Jp("機種の設定"));
    ASSERT_TRUE(editor);
    Type(editor, kNameId, "PC88");
    Type(editor, kSearchExtId, "d88");
    PressButton(editor, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(editor); }));
    EXPECT_TRUE(WaitFor([&] { return ListedNames(machines.list) == std::vector<std::string>{"PC88"}; }));
    EXPECT_TRUE(machines.Close());
  }

  // イメージファイルの追加 now has a machine to import for.
  PostMessageA(main, WM_COMMAND, kCmdAddImages, 0);
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("イメージファイルの追加"));
  ASSERT_TRUE(dialog);
  SendMessageA(FindControl(dialog, kImportPathId), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(images.c_str()));
  PressButton(dialog, kImportStartId);
  HWND question = program.WaitForWindow("#32770", Jp("確認"));
  ASSERT_TRUE(question);
  EXPECT_NE(MessageBoxText(question).find(Jp("【機種】\nPC88")), std::string::npos);
  PressButton(question, IDYES);
  HWND progress = program.WaitForWindow("NORMALDLG", Jp("イメージの検索と追加"));
  ASSERT_TRUE(progress);
  HWND stop = GetDlgItem(progress, kProgressCloseId);
  ASSERT_TRUE(WaitFor([&] { return ControlText(stop) == Jp("終了"); }));
  PressButton(progress, kProgressCloseId);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(progress); }));
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(program.Close());

  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query("SELECT genre_num || ':' || genre FROM genre_info_table;"));
  ASSERT_EQ(db.RowCount(), 1);
  EXPECT_EQ(db.Cell(1, 0), "1:ADV");
  ASSERT_FALSE(db.Query("SELECT machine_num || ':' || machine || ':' || search_ext FROM machine_info_table;"));
  ASSERT_EQ(db.RowCount(), 1);
  EXPECT_EQ(db.Cell(1, 0), "1:PC88:d88");
  ASSERT_FALSE(db.Query("SELECT file_name, machine_name FROM main_table;"));
  ASSERT_EQ(db.RowCount(), 1);
  EXPECT_EQ(db.Cell(1, 0), images + "\\Sample Adventure (1987).d88");
  EXPECT_EQ(db.Cell(1, 1), "PC88");
}

}  // namespace
}  // namespace vel::test
