// Adding images as a user does: the import dialog, its progress window and
// the import library shipped in the base folder.
#include <gtest/gtest.h>

#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "test_support.h"
#include "zip_fixture.h"

namespace vel::test {
namespace {

constexpr int kImportCommand = 1208;
constexpr int kStartId = 3001, kPathId = 3101, kArchivesId = 3104;
constexpr int kStatusId = 3301, kStopId = 3304;

std::string ControlText(HWND control) {
  char text[512] = {};
  SendMessageA(control, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

// A line of another process's list box (CP932). Wine hands the text of a
// list box across processes in UTF-16 even to the ANSI message: both are read.
std::string ListBoxLine(HWND list, int index) {
  LRESULT length = SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(index), 0);
  if (length < 0) return {};
  std::vector<char> buffer(static_cast<size_t>(length) * 2 + 2, '\0');
  LRESULT got = SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data()));
  if (got <= 0) return {};
  if (got > 1 && buffer[1] == '\0') {
    std::wstring wide(reinterpret_cast<const wchar_t*>(buffer.data()), static_cast<size_t>(got));
    int bytes = WideCharToMultiByte(932, 0, wide.c_str(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(bytes), '\0');
    WideCharToMultiByte(932, 0, wide.c_str(), static_cast<int>(wide.size()), text.data(), bytes, nullptr, nullptr);
    return text;
  }
  return std::string(buffer.data(), static_cast<size_t>(got));
}

class ImportDialogTest : public testing::Test {
 protected:
  void SetUp() override {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(db.Query("INSERT INTO machine_info_table(machine_num,machine,search_ext) VALUES(1,'PC88','d88');"));
    images = base.File("images");
    ASSERT_TRUE(CreateDirectoryA(images.c_str(), nullptr));
  }

  HWND OpenDialog(RunningProgram& program, HWND main) {
    PostMessageA(main, WM_COMMAND, kImportCommand, 0);
    return program.WaitForWindow("NORMALDLG", Jp("イメージファイルの追加"));
  }

  // Starts the import of the images folder and waits for its end; the
  // progress window, still open, or null.
  HWND RunImport(RunningProgram& program, HWND dialog) {
    HWND path = FindControl(dialog, kPathId);
    if (!path) return nullptr;
    SendMessageA(path, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(images.c_str()));
    PressButton(dialog, kStartId);
    HWND question = program.WaitForWindow("#32770", Jp("確認"));
    if (!question) return nullptr;
    EXPECT_NE(MessageBoxText(question).find(Jp("【機種】\nPC88")), std::string::npos);
    PressButton(question, IDYES);
    HWND progress = program.WaitForWindow("NORMALDLG", Jp("イメージの検索と追加"));
    if (!progress) return nullptr;
    HWND stop = GetDlgItem(progress, kStopId);
    for (int i = 0; i < 300 && ControlText(stop) != Jp("終了"); ++i) Sleep(100);
    EXPECT_EQ(ControlText(stop), Jp("終了"));
    return progress;
  }

  void CloseAll(RunningProgram& program, HWND dialog, HWND progress) {
    PressButton(progress, kStopId);
    for (int i = 0; i < 50 && IsWindow(progress); ++i) Sleep(100);
    EXPECT_FALSE(IsWindow(progress));
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    for (int i = 0; i < 50 && IsWindow(dialog); ++i) Sleep(100);
    EXPECT_TRUE(program.Close());
  }

  BaseFolder base;
  std::string images;
};

TEST_F(ImportDialogTest, AddsTheImagesOfAFolderForAMachine) {
  WriteWholeFile(images + "\\Sample Adventure (1987).d88", std::string(2048, 'a'));
  WriteWholeFile(images + "\\Puzzle's Tower.d88", std::string(1024, 'b'));
  WriteWholeFile(images + "\\readme.txt", "not an image");

  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND dialog = OpenDialog(program, main);
  ASSERT_TRUE(dialog);
  HWND progress = RunImport(program, dialog);
  ASSERT_TRUE(progress);
  CloseAll(program, dialog, progress);

  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query("SELECT file_name, machine_name, kana FROM main_table ORDER BY file_name;"));
  ASSERT_EQ(db.RowCount(), 2);
  EXPECT_EQ(db.Cell(1, 0), images + "\\Puzzle's Tower.d88");
  EXPECT_EQ(db.Cell(2, 0), images + "\\Sample Adventure (1987).d88");
  EXPECT_EQ(db.Cell(1, 1), "PC88");
  EXPECT_EQ(db.Cell(1, 2), "");
  // The import dialog kept its settings.
  EXPECT_EQ(GetPrivateProfileIntA("AddImgDir", "CalcCRC32", -1, base.File("Velmarook2.ini").c_str()), 1);
}

TEST_F(ImportDialogTest, ArchivesThatCannotBeReadAreCountedAndListedToTheEnd) {
  WriteWholeFile(images + "\\fine.d88", "fine");
  WriteWholeFile(images + "\\cut.zip", MakeZip({{"X.D88", "x"}}).substr(0, 40));
  WriteWholeFile(images + "\\fake.zip", "only text, not a zip");

  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND dialog = OpenDialog(program, main);
  ASSERT_TRUE(dialog);
  SendMessageA(FindControl(dialog, kArchivesId), BM_SETCHECK, BST_CHECKED, 0);
  HWND progress = RunImport(program, dialog);
  ASSERT_TRUE(progress);
  std::string status = ControlText(GetDlgItem(progress, kStatusId));
  EXPECT_NE(status.find(Jp("追加 1 件")), std::string::npos) << AnsiToUtf8(status);
  EXPECT_NE(status.find(Jp("スキップ 2 件")), std::string::npos) << AnsiToUtf8(status);
  HWND problems = FindWindowExA(progress, nullptr, "LISTBOX", nullptr);
  ASSERT_TRUE(problems);
  ASSERT_EQ(SendMessageA(problems, LB_GETCOUNT, 0, 0), 2);
  std::string lines;
  for (int i = 0; i < 2; ++i) lines += ListBoxLine(problems, i) + "\n";
  EXPECT_NE(lines.find(images + "\\cut.zip"), std::string::npos) << AnsiToUtf8(lines);
  EXPECT_NE(lines.find(images + "\\fake.zip"), std::string::npos) << AnsiToUtf8(lines);
  CloseAll(program, dialog, progress);
}

TEST_F(ImportDialogTest, SettingsThatCouldNotBeLoadedAreNotWrittenBack) {
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  const std::string ini = base.File("Velmarook2.ini");
  ASSERT_TRUE(WritePrivateProfileStringA("AddImgDir", "CountryMarks", "(X);(Y)", ini.c_str()));
  ASSERT_TRUE(WritePrivateProfileStringA("AddImgDir", "AutoArcGroup", "1", ini.c_str()));
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query("DROP TABLE media_info_table;"));
  }
  PostMessageA(main, WM_COMMAND, kImportCommand, 0);
  HWND error = program.WaitForWindow("#32770", Jp("DBエラー"));
  ASSERT_TRUE(error);
  EXPECT_EQ(MessageBoxText(error).rfind(Jp("メディア管理テーブルを参照できませんでした"), 0), 0u);
  PressButton(error, IDOK);
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("イメージファイルの追加"));
  ASSERT_TRUE(dialog);
  PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
  for (int i = 0; i < 50 && IsWindow(dialog); ++i) Sleep(100);
  EXPECT_FALSE(IsWindow(dialog));
  EXPECT_TRUE(program.Close());
  char marks[256] = {};
  GetPrivateProfileStringA("AddImgDir", "CountryMarks", "", marks, sizeof marks, ini.c_str());
  EXPECT_STREQ(marks, "(X);(Y)");
  EXPECT_EQ(GetPrivateProfileIntA("AddImgDir", "AutoArcGroup", -1, ini.c_str()), 1);
}

}  // namespace
}  // namespace vel::test
