// Start-up and shutdown of the real program, seen from outside.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

std::string One(LibraryConnection& db, const std::string& sql) {
  auto error = db.Query(sql);
  EXPECT_FALSE(error) << (error ? *error : "") << "\n" << sql;
  return db.Cell(1, 0);
}

// A library with a few items, made the way the program makes it.
void MakeLibrary(const std::string& path, const std::string& extraSql = "") {
  LibraryConnection db;
  db.Open(path, "");
  ASSERT_FALSE(CreateOrUpgradeSchema(db));
  ASSERT_FALSE(CreateItemView(db));
  if (!extraSql.empty()) ASSERT_FALSE(db.Query(extraSql));
}

TEST(Startup, FreshBaseFolderGetsLibrarySettingsAndFolders) {
  BaseFolder base;
  {
    RunningProgram program(base.Path(), "");
    ASSERT_TRUE(program.WaitUntilReady());
    ASSERT_TRUE(program.Close());
    EXPECT_EQ(program.ExitCode(), 0u);
  }
  EXPECT_TRUE(DirectoryExists(base.File("TEMP")));
  EXPECT_TRUE(DirectoryExists(base.File("color_theme")));
  EXPECT_FALSE(FileExists(base.File("BigPictureLayout.ini")));
  EXPECT_EQ(ReadProfileInt("Window", "Width", -1, base.File("Velmarook2.ini")), 850);
  EXPECT_EQ(ReadProfileInt("ItemList", "infoDelay", -1, base.File("Velmarook2.ini")), 300);

  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query("PRAGMA table_info(main_table);"));
  ASSERT_EQ(db.RowCount(), 29);
  const char* first[] = {"file_name", "file_arc_title", "file_arc_ext", "file_title",
                         "file_ext",  "machine_name",   "title"};
  for (int i = 0; i < 7; ++i) EXPECT_EQ(db.Cell(i + 1, 1), first[i]);
  EXPECT_EQ(One(db, "SELECT COUNT(*) FROM sqlite_master WHERE type='table' AND name IN ("
                    "'main_table','spec_table','creator_table','memo_table','favorite_table',"
                    "'use_emuset_table','snap_path_table','associate_file_table','alter_ego_table',"
                    "'machine_info_table','media_info_table','genre_info_table','adultex_info_table',"
                    "'vel_table','tmp_hist_table','tmp_maxdisk');"),
            "16");
  EXPECT_EQ(One(db, "SELECT COUNT(*) FROM sqlite_master WHERE name IN ('all_item_view','update_main_pkey');"),
            "2");
  // A normal close gives the library back.
  EXPECT_EQ(One(db, "SELECT COUNT(*) FROM vel_table WHERE key='db_open_client';"), "0");
}

TEST(Startup, SecondInstanceEndsSilentlyUnlessMultiboot) {
  BaseFolder base;
  RunningProgram first(base.Path(), "");
  HWND firstWindow = first.WaitUntilReady();
  ASSERT_TRUE(firstWindow);
  {
    RunningProgram second(base.Path(), "");
    ASSERT_TRUE(second.WaitForExit(30000));
    EXPECT_EQ(second.ExitCode(), 0u);
    EXPECT_TRUE(WindowsOfProcess(second.ProcessId(), "#32770").empty());
  }
  EXPECT_TRUE(IsWindow(firstWindow));
  {
    RunningProgram third(base.Path(), "-multiboot");
    EXPECT_TRUE(third.WaitUntilReady());
    EXPECT_TRUE(IsWindow(firstWindow));
    EXPECT_TRUE(third.Close());
  }
  EXPECT_TRUE(first.Close());
}

TEST(Startup, OldPopupHelpIsReportedAndNothingIsWritten) {
  BaseFolder base;
  WriteWholeFile(base.File("resource\\pophelp.txt"), "[pophelp]\r\nversion=103\r\n");
  RunningProgram program(base.Path(), "");
  HWND box = program.WaitForWindow("#32770", Jp("エラー"));
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageBoxText(box), base.File("resource\\pophelp.txt") + Jp(" が古いか見つかりません"));
  PressButton(box, IDOK);
  ASSERT_TRUE(program.WaitForExit(30000));
  EXPECT_FALSE(FileExists(base.File("Velmarook.db")));
  EXPECT_FALSE(FileExists(base.File("Velmarook2.ini")));
}

class SharedLibrary : public testing::Test {
 protected:
  void SetUp() override {
    shared = folder / "shared.db";
    MakeLibrary(shared, "INSERT OR REPLACE INTO vel_table(key,str) VALUES('db_open_client','OTHER-PC');");
    ASSERT_TRUE(WriteProfileText("dbfile", "distination", shared, base.File("Velmarook2.ini")));
  }
  std::string Holder() {
    LibraryConnection db;
    db.Open(shared, "");
    return db.Query("SELECT str FROM vel_table WHERE key='db_open_client';") ? "?" : db.Cell(1, 0);
  }
  HWND WaitForConflict(RunningProgram& program) {
    HWND box = program.WaitForWindow("#32770", Jp("外部DB参照の競合"));
    EXPECT_TRUE(box);
    if (box) {
      std::string text = MessageBoxText(box);
      EXPECT_NE(text.find(Jp("既に OTHER-PC がDB(") + shared + Jp(")を開いているようです。")),
                std::string::npos)
          << AnsiToUtf8(text);
    }
    return box;
  }
  TempFolder folder;
  BaseFolder base;
  std::string shared;
};

TEST_F(SharedLibrary, YesLeavesItWithTheOtherComputer) {
  RunningProgram program(base.Path(), "");
  HWND box = WaitForConflict(program);
  ASSERT_TRUE(box);
  PressButton(box, IDYES);
  ASSERT_TRUE(program.WaitForExit(30000));
  EXPECT_TRUE(WindowsOfProcess(program.ProcessId(), "NORMAL0").empty());
  EXPECT_EQ(Holder(), "OTHER-PC");
}

TEST_F(SharedLibrary, NoTakesItAndANormalCloseGivesItBack) {
  RunningProgram program(base.Path(), "");
  HWND box = WaitForConflict(program);
  ASSERT_TRUE(box);
  PressButton(box, IDNO);
  ASSERT_TRUE(program.WaitUntilReady());
  EXPECT_EQ(Holder(), ComputerName());
  ASSERT_TRUE(program.Close());
  EXPECT_EQ(Holder(), "");
  // The default library in the base folder was never made.
  EXPECT_FALSE(FileExists(base.File("Velmarook.db")));
}

// A location that names no library (a text file) never ends the start: the
// user may open the default library for this run; the setting stays.
TEST(Startup, AConfiguredFileThatIsNoLibraryOffersTheDefaultOne) {
  TempFolder elsewhere;
  const std::string notes = elsewhere / "notes.txt";
  const std::string noteText = "not a library\r\n";
  for (int answer : {IDNO, IDYES}) {
    SCOPED_TRACE(answer);
    BaseFolder base;
    WriteWholeFile(notes, noteText);
    ASSERT_TRUE(WriteProfileText("dbfile", "distination", notes, base.File("Velmarook2.ini")));
    RunningProgram program(base.Path(), "-nosplash");
    HWND box = program.WaitForWindow("#32770", Jp("確認"));
    ASSERT_TRUE(box);
    std::string text = MessageBoxText(box);
    EXPECT_NE(text.find(notes), std::string::npos) << AnsiToUtf8(text);
    EXPECT_NE(text.find(base.File("Velmarook.db")), std::string::npos) << AnsiToUtf8(text);
    PressButton(box, answer);
    if (answer == IDNO) {
      ASSERT_TRUE(program.WaitForExit(30000));
      EXPECT_FALSE(FileExists(base.File("Velmarook.db")));
    } else {
      ASSERT_TRUE(program.WaitUntilReady());
      ASSERT_TRUE(program.Close());
      EXPECT_TRUE(FileExists(base.File("Velmarook.db")));
    }
    EXPECT_EQ(ReadWholeFile(notes), noteText);
    EXPECT_EQ(ProfileText("dbfile", "distination", "", base.File("Velmarook2.ini")), notes);
  }
}

// Windows ending the session ends the process without WM_DESTROY: the
// settings (with the toolbar bands as this session left them) and the
// shared library's lock are dealt with at WM_ENDSESSION.
TEST(Startup, EndOfTheWindowsSessionSavesTheSettingsAndGivesTheLockBack) {
  BaseFolder base;
  TempFolder elsewhere;
  const std::string shared = elsewhere / "shared.db";
  MakeLibrary(shared);
  ASSERT_TRUE(WriteProfileText("dbfile", "distination", shared, base.File("Velmarook2.ini")));
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  {
    LibraryConnection db;
    db.Open(shared, "");
    EXPECT_EQ(One(db, "SELECT str FROM vel_table WHERE key='db_open_client';"), ComputerName());
  }
  HWND rebar = FindControl(main, 80);
  ASSERT_TRUE(rebar);
  ASSERT_TRUE(SendMessageA(rebar, RB_MOVEBAND, 0, 3));  // the menu band to the end
  EXPECT_EQ(SendMessageA(main, WM_QUERYENDSESSION, 0, 0), TRUE);
  SendMessageA(main, WM_ENDSESSION, TRUE, 0);
  HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, program.ProcessId());
  ASSERT_TRUE(process);
  TerminateProcess(process, 0);
  WaitForSingleObject(process, 30000);
  CloseHandle(process);
  const std::string settings = base.File("Velmarook2.ini");
  EXPECT_EQ(ReadProfileInt("Window", "Width", -1, settings), 850);
  EXPECT_EQ(ReadProfileInt("CoolBar_3", "ID", -1, settings), 0);
  EXPECT_EQ(ProfileText("dbfile", "distination", "", settings), shared);
  LibraryConnection db;
  db.Open(shared, "");
  EXPECT_EQ(One(db, "SELECT COUNT(*) FROM vel_table WHERE key='db_open_client';"), "0");
}

TEST(Startup, ClearLastQueryDropsTheListView) {
  const std::string createView =
      "CREATE VIEW list_view AS SELECT * FROM all_item_view WHERE ( title LIKE '%a%' );";
  const char* listViewQuery = "SELECT COUNT(*) FROM sqlite_master WHERE type='view' AND name='list_view';";
  for (bool clear : {false, true}) {
    BaseFolder base;
    MakeLibrary(base.File("Velmarook.db"), createView);
    RunningProgram program(base.Path(), clear ? "-clearlastquery" : "");
    ASSERT_TRUE(program.WaitUntilReady());
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    // The view goes at the first paint, which may come just after the window is up.
    WaitFor([&] { return !(clear && One(db, listViewQuery) != "0"); });
    EXPECT_EQ(One(db, listViewQuery), clear ? "0" : "1") << clear;
    db.Close();
    ASSERT_TRUE(program.Close());
  }
}

TEST(Startup, LongSettingsValueSurvivesByteForByte) {
  BaseFolder base;
  std::string value = "C:\\" + Jp("ソフト表示能力") + "\\";
  while (value.size() < 400) value += Jp("ソ") + "x";
  ASSERT_TRUE(WriteProfileText("FolderPath", "RomDiskImage", value, base.File("Velmarook2.ini")));
  {
    RunningProgram program(base.Path(), "");
    ASSERT_TRUE(program.WaitUntilReady());
    ASSERT_TRUE(program.Close());
  }
  EXPECT_EQ(ProfileText("FolderPath", "RomDiskImage", "", base.File("Velmarook2.ini")), value);
}

TEST(Startup, BigPictureLayoutKeepsLayoutKeysInItsOwnFile) {
  BaseFolder base;
  ASSERT_TRUE(WriteProfileText("Window", "BigPictureMode", "1", base.File("Velmarook2.ini")));
  {
    RunningProgram program(base.Path(), "");
    ASSERT_TRUE(program.WaitUntilReady());
    ASSERT_TRUE(program.Close());
  }
  EXPECT_EQ(ReadProfileInt("Window", "Width", -1, base.File("BigPictureLayout.ini")), 850);
  EXPECT_EQ(ReadProfileInt("Window", "Width", -1, base.File("Velmarook2.ini")), -1);
  EXPECT_EQ(ReadProfileInt("ItemList", "infoDelay", -1, base.File("Velmarook2.ini")), 300);
}

TEST(Startup, PropertiesDialogShowsTheLibrarysFigures) {
  BaseFolder base;
  std::string rows;
  for (int i = 0; i < 1200; ++i)
    rows += "INSERT INTO main_table(file_name,maker,ply,play_time) VALUES('f" + std::to_string(i) +
            "','m" + std::to_string(i % 3) + "'," + (i % 2 ? "2" : "0") + "," +
            (i < 3 ? "'010:30:40'" : "''") + ");";
  MakeLibrary(base.File("Velmarook.db"), "BEGIN;" + rows + "COMMIT;");
  RunningProgram program(base.Path(), "");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  PostMessageA(main, WM_COMMAND, 1215, 0);
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("データベースのプロパティ"));
  ASSERT_TRUE(dialog);
  auto text = [dialog](int id) {
    char buffer[512] = {};
    GetDlgItemTextA(dialog, id, buffer, sizeof buffer);
    return std::string(buffer);
  };
  EXPECT_EQ(text(2001), "600");    // titles: ply < 2
  EXPECT_EQ(text(2002), "1,200");  // images
  EXPECT_EQ(text(2003), "3");      // makers
  EXPECT_EQ(AnsiToUtf8(text(2004)), "1日7時間32分0秒");  // 3 x 10:30:40
  EXPECT_EQ(text(2005), base.File("Velmarook.db"));
  EXPECT_NE(text(2006).find(" byte"), std::string::npos);
  EXPECT_EQ(text(2008), kSchemaVersion);
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  for (int i = 0; i < 50 && IsWindow(dialog); ++i) Sleep(100);
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test

namespace vel::test {
namespace {

// The program the restart started: a main window of another process.
HWND WaitForRestartedWindow(DWORD oldProcessId, DWORD timeoutMs = 60000) {
  for (DWORD waited = 0; waited < timeoutMs; waited += 200) {
    for (HWND window = FindWindowExA(nullptr, nullptr, "NORMAL0", nullptr); window;
         window = FindWindowExA(nullptr, window, "NORMAL0", nullptr)) {
      DWORD owner = 0;
      GetWindowThreadProcessId(window, &owner);
      if (owner != oldProcessId && IsWindowVisible(window)) return window;
    }
    Sleep(200);
  }
  return nullptr;
}

void CloseRestarted(HWND window) {
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  HANDLE process = OpenProcess(SYNCHRONIZE, FALSE, owner);
  PostMessageA(window, WM_CLOSE, 0, 0);
  if (process) {
    EXPECT_EQ(WaitForSingleObject(process, 60000), WAIT_OBJECT_0);
    CloseHandle(process);
  }
}

// Back to the default library from the properties dialog: the program starts
// itself again (its own file when the usual program file is missing) and the
// shared library's lock is given back.
// Choosing a text file as the new location is refused before anything is
// written or restarted.
TEST(Restart, ARelocationToAFileThatIsNoLibraryIsRefused) {
  BaseFolder base;
  TempFolder elsewhere;
  const std::string notes = elsewhere / "Velmarook.db";  // the dialog's pattern, but text
  WriteWholeFile(notes, "not a library\r\n");
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  PostMessageA(main, WM_COMMAND, 1215, 0);
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("データベースのプロパティ"));
  ASSERT_TRUE(dialog);
  PostMessageA(GetDlgItem(dialog, 2009), BM_CLICK, 0, 0);  // ".."
  HWND picker = nullptr;
  for (int i = 0; i < 150 && !picker; ++i) {
    for (HWND window : WindowsOfProcess(program.ProcessId(), "#32770"))
      if (FindControl(window, 0x47C)) picker = window;  // the file name box
    if (!picker) Sleep(100);
  }
  ASSERT_TRUE(picker);
  SetWindowTextA(FindControl(picker, 0x47C), notes.c_str());
  PressButton(picker, IDOK);
  HWND refusal = program.WaitForWindow("#32770", Jp("中止"));
  ASSERT_TRUE(refusal);
  EXPECT_NE(MessageBoxText(refusal).find(notes), std::string::npos);
  PressButton(refusal, IDOK);
  Sleep(500);
  EXPECT_FALSE(program.HasExited());
  EXPECT_EQ(ProfileText("dbfile", "distination", "", base.File("Velmarook2.ini")), "");
  PostMessageA(dialog, WM_CLOSE, 0, 0);
  for (int i = 0; i < 50 && IsWindow(dialog); ++i) Sleep(100);
  EXPECT_TRUE(program.Close());
  EXPECT_EQ(ReadWholeFile(notes), "not a library\r\n");
}

TEST(Restart, ResetOfTheLocationRestartsAndReleasesTheSharedLibrary) {
  for (const char* programName : {"Velmarook2.exe", "Velmarook2_renamed.exe"}) {
    SCOPED_TRACE(programName);
    BaseFolder base;
    TempFolder elsewhere;
    std::string shared = elsewhere / "shared.db";
    MakeLibrary(shared);
    ASSERT_TRUE(WriteProfileText("dbfile", "distination", shared, base.File("Velmarook2.ini")));
    if (std::string(programName) != "Velmarook2.exe")
      ASSERT_TRUE(MoveFileA(base.File("Velmarook2.exe").c_str(), base.File(programName).c_str()));
    RunningProgram program(base.Path(), "-nosplash", programName);
    HWND main = program.WaitUntilReady();
    ASSERT_TRUE(main);
    PostMessageA(main, WM_COMMAND, 1215, 0);
    HWND dialog = program.WaitForWindow("NORMALDLG", Jp("データベースのプロパティ"));
    ASSERT_TRUE(dialog);
    PressButton(dialog, 2010);  // "Reset"
    HWND question = program.WaitForWindow("#32770", Jp("確認"));
    ASSERT_TRUE(question);
    PressButton(question, IDYES);
    HWND notice = program.WaitForWindow("#32770", "");
    ASSERT_TRUE(notice);
    EXPECT_EQ(MessageBoxText(notice), Jp("データベースファイルの参照先が変更されました。\n再起動します"));
    PressButton(notice, IDOK);
    ASSERT_TRUE(program.WaitForExit(30000));
    LibraryConnection db;
    db.Open(shared, "");
    EXPECT_EQ(One(db, "SELECT COUNT(*) FROM vel_table WHERE key='db_open_client';"), "0");
    db.Close();
    EXPECT_EQ(ProfileText("dbfile", "distination", "?", base.File("Velmarook2.ini")), "");
    HWND restarted = WaitForRestartedWindow(program.ProcessId());
    ASSERT_TRUE(restarted);
    CloseRestarted(restarted);
    EXPECT_TRUE(FileExists(base.File("Velmarook.db")));
  }
}

}  // namespace
}  // namespace vel::test

namespace vel::test {
namespace {

TEST(Backup, MenuCommandCopiesTheLibraryInUseUnderItsDatedName) {
  BaseFolder base;
  MakeLibrary(base.File("Velmarook.db"), "INSERT INTO main_table(file_name,title) VALUES('k','T');");
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  PostMessageA(main, WM_COMMAND, 1168, 0);
  HWND confirm = program.WaitForWindow("#32770", Jp("データベースのバックアップ"));
  ASSERT_TRUE(confirm);
  PressButton(confirm, IDOK);
  std::string copy;
  for (int i = 0; i < 100 && copy.empty(); ++i) {
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(base.File("Velmarook_*BUP_DBver1.db").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      copy = base.File(found.cFileName);
      FindClose(search);
    }
    Sleep(100);
  }
  ASSERT_FALSE(copy.empty());
  // Name: Velmarook_YYYY-MM-DD_hh-mm-ss BUP _DBver1 .db
  std::string name = copy.substr(base.Path().size() + 1);
  EXPECT_EQ(name.size(), std::string("Velmarook_2026-12-09_23-05-00BUP_DBver1.db").size()) << name;
  EXPECT_TRUE(program.Close());
  LibraryConnection db;
  db.Open(copy, "");
  EXPECT_EQ(One(db, "SELECT title FROM main_table WHERE file_name='k';"), "T");
}

}  // namespace
}  // namespace vel::test

namespace vel::test {
namespace {

// The button between the query tree and the group list is dragged to set
// the tree's height; a click without a drag still closes the tree.
TEST(MainWindow, TheQueryTreeSeparatorIsDraggedAndAClickStillToggles) {
  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND button = FindControl(main, 1004);
  ASSERT_TRUE(button);
  auto top = [button] {
    RECT r{};
    GetWindowRect(button, &r);
    return static_cast<int>(r.top);
  };
  const int before = top();
  PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(button, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(5, 65));
  PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  for (int i = 0; i < 50 && top() == before; ++i) Sleep(100);
  EXPECT_EQ(top(), before + 60);
  // A click: the tree closes and keeps its height for the next opening.
  const int dragged = top();
  PostMessageA(button, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
  PostMessageA(button, WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  for (int i = 0; i < 50 && top() == dragged; ++i) Sleep(100);
  EXPECT_LT(top(), before);
  ASSERT_TRUE(program.Close());
  const std::string settings = base.File("Velmarook2.ini");
  EXPECT_EQ(ReadProfileInt("Window", "SeparateClose", -1, settings), 1);
  EXPECT_EQ(ReadProfileInt("Window", "SeparateYtmp", -1, settings), 320);
}

// Scroll Lock toggled from outside: the status bar shows the new state
// without any other action of the user.
TEST(MainWindow, TheScrollLockIconFollowsAToggle) {
  auto toggle = [] {
    keybd_event(VK_SCROLL, 0, 0, 0);
    keybd_event(VK_SCROLL, 0, KEYEVENTF_KEYUP, 0);
  };
  // An earlier test may leave Scroll Lock on; the program would then turn it
  // off at start (the fresh settings say off) while the test toggles it.
  if (GetKeyState(VK_SCROLL) & 1) toggle();
  for (int i = 0; i < 50 && (GetKeyState(VK_SCROLL) & 1); ++i) Sleep(100);
  ASSERT_FALSE(GetKeyState(VK_SCROLL) & 1);
  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND status = FindControl(main, 70);
  ASSERT_TRUE(status);
  auto icon = [status] { return SendMessageA(status, SB_GETICON, 7, 0); };
  LRESULT shown = icon();
  toggle();
  for (int i = 0; i < 50 && icon() == shown; ++i) Sleep(100);
  EXPECT_NE(icon(), shown);
  shown = icon();
  toggle();
  for (int i = 0; i < 50 && icon() == shown; ++i) Sleep(100);
  EXPECT_NE(icon(), shown);
  EXPECT_TRUE(program.Close());
}

TEST(MainWindow, ImportNeedsAMachineFirst) {
  BaseFolder base;
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  PostMessageA(main, WM_COMMAND, 1208, 0);
  HWND box = program.WaitForWindow("#32770", Jp("ファイル追加"));
  ASSERT_TRUE(box);
  EXPECT_EQ(MessageBoxText(box),
            Jp("イメージを追加するには、最低１つの機種登録が必要です。\n\nメニューの[管理]→[機種]から機種を追加できます。\n"));
  PressButton(box, IDOK);
  Sleep(500);
  EXPECT_FALSE(program.WaitForWindow("NORMALDLG", Jp("イメージファイルの追加"), 1000));
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
