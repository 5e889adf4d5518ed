// Launching an item in the running program: the stand-in emulator logs what
// it was started with, the settings rewrite is seen during the run and undone
// after it, and the boot count and play time are recorded.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <cstdlib>

#include "core/app_state_win.h"
#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "launch/zip_extractor.h"
#include "maintenance/image_sets.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"
#include "zip_fixture.h"

namespace vel::test {
namespace {

constexpr int kSearchTextId = 2102;

// Lists the items whose title holds `text` and presses Enter on the first.
void SearchAndLaunchFirst(HWND main, const std::string& text) {
  HWND edit = FindControl(main, kSearchTextId);
  ASSERT_TRUE(edit);
  HWND list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
  ASSERT_TRUE(edit && list);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
  LRESULT rows = 0;
  for (int i = 0; i < 200 && rows < 1; ++i) {
    SleepMs(50);
    rows = SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
  }
  ASSERT_GE(rows, 1);
  PostMessageA(list, WM_KEYDOWN, VK_HOME, 0);
  PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
}

std::string WaitForLogLine(const std::string& log, const std::string& line, int timeoutMs) {
  std::string content;
  for (int waited = 0; waited < timeoutMs; waited += 100) {
    content = ReadWholeFile(log);
    if (content.find(line) != std::string::npos) break;
    SleepMs(100);
  }
  return content;
}

TEST(LaunchE2E, ATwoDiskSetStartsWithItsCommandLineAndIsUndoneAndCounted) {
  BaseFolder base;
  CreateFolder(base.File("emu"));
  CreateFolder(base.File("emuconf"));
  CreateFolder(base.File("emuconf\\MSX"));
  ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("emu\\fake_emulator.exe").c_str(), FALSE));
  const std::string log = base.File("emu.log");
  const std::string emulatorIni = base.File("emu\\emu.ini");
  const std::string settingsBefore = "[Video]\r\nMode=window\r\n";
  WriteWholeFile(emulatorIni, settingsBefore);
  WriteWholeFile(base.File("emu\\fake_emulator.ini"),
                 "[FakeEmulator]\r\nLog=" + log + "\r\nRunMs=7000\r\nWatchIni=" + emulatorIni +
                     "\r\nWatchSection=Video\r\nWatchKey=Mode\r\n");
  WriteWholeFile(base.File("emuconf\\MSX.ini"), "[DefaultEmulator]\r\nINIFile=A.ini\r\n");
  WriteWholeFile(base.File("emuconf\\MSX\\A.ini"),
                 "[Emulator]\r\nExec=emu\\fake_emulator.exe\r\nOption=-a $image -b $image2 -p $path -n $body_noext\r\n"
                 "double_quart=1\r\n");
  WriteWholeFile(base.File("emuconf\\MSX\\A.rew"),
                 "INI-OPENFILE=$emu_path\\emu.ini\r\nINI-SETSECTION=Video\r\nINI-SETKEY=Mode\r\nINI-REWRITE=full\r\n");

  RunningProgram program(base.Path(), "-nosplash -dontshrink");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query(
        "INSERT INTO main_table(file_name,machine_name,title,ply,ply_file_name,file_title,file_ext,boot_count,play_time)"
        " VALUES('C:\\my games\\quest 1.d88','MSX','Quest',1,'','quest 1','d88',2,'012:05''09\"'),"
        "('C:\\my games\\quest 2.d88','MSX','Second disk',2,'C:\\my games\\quest 1.d88','quest 2','d88',0,'');"
        "DELETE FROM tmp_maxdisk; INSERT INTO tmp_maxdisk  SELECT ply_file_name, max(ply) FROM main_table "
        "WHERE ply>1 GROUP BY ply_file_name;"));
  }
  SearchAndLaunchFirst(main, "Quest");

  std::string content = WaitForLogLine(log, "watched value", 30000);
  EXPECT_NE(content.find("command line: \"" + base.File("emu\\fake_emulator.exe") +
                         "\" -a \"C:\\my games\\quest 1.d88\" -b \"C:\\my games\\quest 2.d88\" -p C:\\my games\\ -n quest 1"),
            std::string::npos)
      << content;
  EXPECT_NE(content.find("working folder: " + base.File("emu")), std::string::npos) << content;
  EXPECT_NE(content.find("watched value: full"), std::string::npos) << content;

  content = WaitForLogLine(log, "ended", 30000);
  ASSERT_NE(content.find("ended"), std::string::npos);
  // Restored byte for byte, then counted.
  std::string counted;
  for (int i = 0; i < 200; ++i) {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    if (!db.Query("SELECT boot_count, play_time, last_boot FROM main_table WHERE ply=1;") && db.RowCount() == 1 &&
        db.Cell(1, 0) == "3") {
      counted = db.Cell(1, 1);
      EXPECT_FALSE(db.Cell(1, 2).empty());
      break;
    }
    SleepMs(100);
  }
  EXPECT_EQ(ReadWholeFile(emulatorIni), settingsBefore);
  ASSERT_FALSE(counted.empty()) << "boot count not raised";
  // About seven seconds more than 012:05'09".
  EXPECT_GE(counted, "012:05'15\"");
  EXPECT_LE(counted, "012:05'20\"");
  EXPECT_TRUE(program.Close());
}

// A start program that fails (exit code 1): with appprocwait1 3 the launch
// stops before the emulator and undoes the rewrite; with 2 it goes on.
TEST(LaunchE2E, AFailingStartProgramStopsTheLaunchOnlyWhenItsCodeCounts) {
  for (int waitMode : {3, 2}) {
    SCOPED_TRACE(waitMode);
    BaseFolder base;
    for (const char* folder : {"emu", "start", "emuconf", "emuconf\\MSX"}) CreateFolder(base.File(folder));
    ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("emu\\fake_emulator.exe").c_str(), FALSE));
    ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("start\\fake_emulator.exe").c_str(), FALSE));
    const std::string emulatorLog = base.File("emu.log"), startLog = base.File("start.log");
    const std::string emulatorIni = base.File("emu\\emu.ini"), settingsBefore = "[Video]\r\nMode=window\r\n";
    WriteWholeFile(emulatorIni, settingsBefore);
    WriteWholeFile(base.File("emu\\fake_emulator.ini"), "[FakeEmulator]\r\nLog=" + emulatorLog + "\r\nRunMs=500\r\n");
    WriteWholeFile(base.File("start\\fake_emulator.ini"),
                   "[FakeEmulator]\r\nLog=" + startLog + "\r\nRunMs=10\r\nExitCode=1\r\n");
    WriteWholeFile(base.File("emuconf\\MSX.ini"), "[DefaultEmulator]\r\nINIFile=A.ini\r\n");
    WriteWholeFile(base.File("emuconf\\MSX\\A.ini"),
                   "[Emulator]\r\nExec=emu\\fake_emulator.exe\r\nOption=$image\r\n[StartCommand]\r\ncmd1=" +
                       base.File("start\\fake_emulator.exe") + "\r\nopt1=start $title\r\nappprocwait1=" +
                       std::to_string(waitMode) + "\r\n");
    WriteWholeFile(base.File("emuconf\\MSX\\A.rew"),
                   "INI-OPENFILE=$emu_path\\emu.ini\r\nINI-SETSECTION=Video\r\nINI-SETKEY=Mode\r\nINI-REWRITE=full\r\n");
    RunningProgram program(base.Path(), "-nosplash -dontshrink");
    HWND main = program.WaitUntilReady();
    ASSERT_TRUE(main);
    {
      LibraryConnection db;
      db.Open(base.File("Velmarook.db"), "");
      ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,machine_name,title) VALUES('C:\\a.d88','MSX','Quest');"));
    }
    SearchAndLaunchFirst(main, "Quest");
    if (waitMode == 3) {
      HWND box = program.WaitForWindow("#32770", Jp("エミュレータが起動できませんでした"));
      ASSERT_TRUE(box);
      EXPECT_NE(MessageBoxText(box).find(Jp("（終了コード 1 ）")), std::string::npos) << MessageBoxText(box);
      PressButton(box, IDOK);
      EXPECT_NE(ReadWholeFile(startLog).find("start Quest"), std::string::npos) << ReadWholeFile(startLog);
      EXPECT_EQ(ReadWholeFile(emulatorLog), "");  // never started
    } else {
      EXPECT_NE(WaitForLogLine(emulatorLog, "ended", 30000).find("ended"), std::string::npos);
    }
    WaitFor([&] { return !(ReadWholeFile(emulatorIni) != settingsBefore); });
    EXPECT_EQ(ReadWholeFile(emulatorIni), settingsBefore);
    EXPECT_TRUE(program.Close());
  }
}

// Two launches overlapping: the first prepares (its start program runs), the
// last to end cleans up (the terminate program runs once, what either put in
// the extraction folder goes only then); a file that was in that folder
// before both, and one outside it, are never touched.
TEST(LaunchE2E, OverlappingLaunchesShareTheStartTheEndAndTheCleaning) {
  BaseFolder base;
  for (const char* folder : {"emu", "helper", "roms", "extract", "emuconf", "emuconf\\MSX"})
    CreateFolder(base.File(folder));
  ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("emu\\fake_emulator.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("helper\\fake_emulator.exe").c_str(), FALSE));
  const std::string log = base.File("emu.log"), helperLog = base.File("helper.log");
  // Each run lasts as long as its first argument says (the emulator's
  // settings file gives the default).
  WriteWholeFile(base.File("emu\\fake_emulator.ini"), "[FakeEmulator]\r\nLog=" + log + "\r\nRunMs=9000\r\n");
  WriteWholeFile(base.File("helper\\fake_emulator.ini"), "[FakeEmulator]\r\nLog=" + helperLog + "\r\nRunMs=10\r\n");
  WriteWholeFile(base.File("roms\\one.d88"), "1");
  WriteWholeFile(base.File("roms\\two.d88"), "2");
  WriteWholeFile(base.File("sentinel.txt"), "keep");
  WriteWholeFile(base.File("extract\\before.txt"), "there before both");
  WriteWholeFile(base.File("emuconf\\MSX.ini"), "[DefaultEmulator]\r\nINIFile=A.ini\r\n");
  const std::string helper = base.File("helper\\fake_emulator.exe");
  WriteWholeFile(base.File("emuconf\\MSX\\A.ini"),
                 "[ImageFile]\r\nExtract=2\r\nExtractPath=extract\r\nExtractAllDelete=1\r\n"
                 "[Emulator]\r\nExec=emu\\fake_emulator.exe\r\nOption=$image\r\n"
                 "[StartCommand]\r\ncmd1=" + helper + "\r\nopt1=before $title\r\nappprocwait1=2\r\n"
                 "[TerminateCommand]\r\ncmd1=" + helper + "\r\nopt1=after $title\r\n");
  RunningProgram program(base.Path(), "-nosplash -dontshrink");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,machine_name,title,file_title,file_ext) VALUES('" +
                          base.File("roms\\one.d88") + "','MSX','First','one','d88'),('" +
                          base.File("roms\\two.d88") + "','MSX','Second','two','d88');"));
  }
  SearchAndLaunchFirst(main, "First");
  ASSERT_NE(WaitForLogLine(log, "one.d88", 30000).find("one.d88"), std::string::npos);
  SearchAndLaunchFirst(main, "Second");
  ASSERT_NE(WaitForLogLine(log, "two.d88", 30000).find("two.d88"), std::string::npos);
  // Both copies are in place while the emulators run.
  EXPECT_EQ(ReadWholeFile(base.File("extract\\one.d88")), "1");
  EXPECT_EQ(ReadWholeFile(base.File("extract\\two.d88")), "2");

  // Wait for both ends and then for the last clean-up.
  std::string content;
  for (int i = 0; i < 600; ++i) {
    content = ReadWholeFile(log);
    size_t first = content.find("ended"), second = first == std::string::npos ? first : content.find("ended", first + 1);
    if (second != std::string::npos && ReadWholeFile(helperLog).find("after") != std::string::npos) break;
    SleepMs(100);
  }
  WaitFor([&] { return !(FileExists(base.File("extract\\one.d88"))); });
  std::string helperRuns = ReadWholeFile(helperLog);
  auto count = [&](const std::string& what) {
    size_t n = 0;
    for (size_t at = helperRuns.find(what); at != std::string::npos; at = helperRuns.find(what, at + 1)) ++n;
    return n;
  };
  EXPECT_EQ(count(" before "), 1u) << helperRuns;
  EXPECT_EQ(count(" after "), 1u) << helperRuns;
  EXPECT_FALSE(FileExists(base.File("extract\\one.d88")));
  EXPECT_FALSE(FileExists(base.File("extract\\two.d88")));
  EXPECT_TRUE(DirectoryExists(base.File("extract")));
  EXPECT_EQ(ReadWholeFile(base.File("sentinel.txt")), "keep");
  EXPECT_EQ(ReadWholeFile(base.File("extract\\before.txt")), "there before both");
  EXPECT_EQ(ReadWholeFile(base.File("roms\\one.d88")), "1");
  EXPECT_TRUE(program.Close());
}

// Two launches rewrite the same emulator settings file, and each emulator
// saves the settings it ran with when it ends: the launch that ends first
// leaves the restore to the other, and the file ends as it was before both.
TEST(LaunchE2E, OverlappingLaunchesOnOneIniEndWithItsOriginalBytes) {
  BaseFolder base;
  for (const char* folder : {"emu", "emu2", "emuconf", "emuconf\\MSX"}) CreateFolder(base.File(folder));
  const std::string log = base.File("emu.log");
  const std::string emulatorIni = base.File("emu\\emu.ini");
  const std::string settingsBefore = "; the user's own\r\n[Video]\r\nMode=window\r\n";
  WriteWholeFile(emulatorIni, settingsBefore);
  // The first item's emulator runs 4 s, the second's (an individual
  // configuration) 12 s: the first ends and restores while the second runs.
  const char* runs[][2] = {{"emu", "4000"}, {"emu2", "12000"}};
  for (const auto& [folder, runMs] : runs) {
    ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File(std::string(folder) + "\\fake_emulator.exe").c_str(), FALSE));
    WriteWholeFile(base.File(std::string(folder) + "\\fake_emulator.ini"),
                   "[FakeEmulator]\r\nLog=" + log + "\r\nRunMs=" + runMs + "\r\nWatchIni=" + emulatorIni +
                       "\r\nWatchSection=Video\r\nWatchKey=Mode\r\nSaveAtExit=1\r\n");
  }
  WriteWholeFile(base.File("emuconf\\MSX.ini"), "[DefaultEmulator]\r\nINIFile=A.ini\r\n");
  WriteWholeFile(base.File("emuconf\\MSX\\A.ini"), "[Emulator]\r\nExec=emu\\fake_emulator.exe\r\nOption=$image\r\n");
  WriteWholeFile(base.File("emuconf\\MSX\\B.ini"), "[Emulator]\r\nExec=emu2\\fake_emulator.exe\r\nOption=$image\r\n");
  const std::string rewrite = "INI-OPENFILE=" + emulatorIni + "\r\nINI-SETSECTION=Video\r\nINI-SETKEY=Mode\r\n";
  WriteWholeFile(base.File("emuconf\\MSX\\A.rew"), rewrite + "INI-REWRITE=full\r\n");
  WriteWholeFile(base.File("emuconf\\MSX\\B.rew"), rewrite + "INI-REWRITE=double\r\n");
  RunningProgram program(base.Path(), "-nosplash -dontshrink");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,machine_name,title,file_title,file_ext) VALUES"
                          "('C:\\games\\one.d88','MSX','First','one','d88'),"
                          "('C:\\games\\two.d88','MSX','Second','two','d88');"
                          "INSERT INTO use_emuset_table VALUES('C:\\games\\two.d88','B');"));
  }
  SearchAndLaunchFirst(main, "First");
  ASSERT_NE(WaitForLogLine(log, "one.d88", 30000).find("one.d88"), std::string::npos);
  SearchAndLaunchFirst(main, "Second");
  std::string content = WaitForLogLine(log, "two.d88", 30000);
  ASSERT_NE(content.find("two.d88"), std::string::npos);
  ASSERT_EQ(content.find("ended"), std::string::npos) << "the runs did not overlap:\n" << content;
  for (int i = 0; i < 600; ++i) {
    content = ReadWholeFile(log);
    size_t first = content.find("ended");
    if (first != std::string::npos && content.find("ended", first + 1) != std::string::npos) break;
    SleepMs(100);
  }
  // The second emulator saved its settings after the first launch had ended.
  EXPECT_NE(content.find("saved value: double"), std::string::npos) << content;
  WaitFor([&] { return !(ReadWholeFile(emulatorIni) != settingsBefore); });
  EXPECT_EQ(ReadWholeFile(emulatorIni), settingsBefore);
  EXPECT_FALSE(FileExists(emulatorIni + ".velmarook_bak"));
  EXPECT_TRUE(program.Close());
}

// The alter ego of a two-image ZIP item, its copies in ae\copies, launched
// with every space of the images' names replaced for the run.
struct AlterEgoLaunch {
  std::string log, copies;
};

AlterEgoLaunch PrepareAlterEgoLaunch(const BaseFolder& base) {
  for (const char* folder : {"emu", "roms", "ae", "emuconf", "emuconf\\MSX"}) CreateFolder(base.File(folder));
  EXPECT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("emu\\fake_emulator.exe").c_str(), FALSE));
  AlterEgoLaunch launch{base.File("emu.log"), base.File("ae\\copies")};
  WriteWholeFile(base.File("emu\\fake_emulator.ini"), "[FakeEmulator]\r\nLog=" + launch.log + "\r\nRunMs=1500\r\n");
  WriteWholeFile(base.File("roms\\set.zip"), MakeZip({{"DISK 1.D88", "one"}, {"DISK 2.D88", "two", true}}));
  WriteWholeFile(base.File("emuconf\\MSX.ini"), "[DefaultEmulator]\r\nINIFile=A.ini\r\n");
  WriteWholeFile(base.File("emuconf\\MSX\\A.ini"),
                 "[ImageFile]\r\nExtract=1\r\nExtractPath=nowhere\r\n"
                 "[Emulator]\r\nExec=emu\\fake_emulator.exe\r\nOption=$image $image2\r\nImageFnReplace=1\r\n");
  return launch;
}

// Adds the item and makes its alter ego (once the program has made the library).
void AddAlterEgoItem(const BaseFolder& base) {
  const std::string parent = base.File("roms\\set.zip") + "*DISK 1.D88";
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  ASSERT_FALSE(db.Query(
      "INSERT INTO main_table(file_name,machine_name,title,ply,ply_file_name,file_title,file_ext,file_arc_title,"
      "file_arc_ext) VALUES('" + parent + "','MSX','Zipped',1,'','set','zip','DISK 1','D88'),('" +
      base.File("roms\\set.zip") + "*DISK 2.D88','MSX','Other',2,'" + parent +
      "','set','zip','DISK 2','D88'); DELETE FROM tmp_maxdisk; INSERT INTO tmp_maxdisk  SELECT ply_file_name, "
      "max(ply) FROM main_table WHERE ply>1 GROUP BY ply_file_name;"));
  ScriptedAnswers answers;
  auto extract = [](const std::string& archive, const std::string& member, const std::string& folder) {
    return ExtractZipMember(archive, member, folder, false) == ZipExtractStatus::kOk ? 0 : 1;
  };
  ASSERT_TRUE(CreateAlterEgo(db, parent, base.File("ae") + "\\", "copies", extract, nullptr));
}

int RecordedRenames(const BaseFolder& base) {
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  if (db.Query("SELECT count(*) FROM alter_ego_table WHERE ren_file_name<>'';")) return -1;
  return std::atoi(db.Cell(1, 0).c_str());
}

// The launch takes the copies, renamed for the run, and gives them their
// names back afterwards.
TEST(LaunchE2E, AnAlterEgoLaunchesFromItsRenamedCopiesAndRenamesThemBack) {
  BaseFolder base;
  const AlterEgoLaunch launch = PrepareAlterEgoLaunch(base);
  RunningProgram program(base.Path(), "-nosplash -dontshrink");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  AddAlterEgoItem(base);
  const std::string& copies = launch.copies;
  ASSERT_EQ(ReadWholeFile(copies + "\\DISK 2.D88"), "two");
  SearchAndLaunchFirst(main, "Zipped");
  std::string content = WaitForLogLine(launch.log, "ended", 30000);
  EXPECT_NE(content.find("\" " + copies + "\\DISK_1.D88 " + copies + "\\DISK_2.D88"), std::string::npos) << content;
  // Back under their names once the emulator has ended, and nothing extracted.
  WaitFor([&] { return FileExists(copies + "\\DISK 2.D88"); });
  EXPECT_EQ(ReadWholeFile(copies + "\\DISK 1.D88"), "one");
  EXPECT_EQ(ReadWholeFile(copies + "\\DISK 2.D88"), "two");
  EXPECT_FALSE(FileExists(copies + "\\DISK_1.D88"));
  EXPECT_FALSE(DirectoryExists(base.File("nowhere")));
  EXPECT_TRUE(WaitFor([&] { return RecordedRenames(base) == 0; }));  // the temporary names are forgotten
  EXPECT_TRUE(program.Close());
}

// A temporary name the library refuses to record stops the launch, and that
// copy gets its name back as well as those recorded before it.
TEST(LaunchE2E, AnAlterEgoRenameTheLibraryCannotRecordIsUndone) {
  BaseFolder base;
  const AlterEgoLaunch launch = PrepareAlterEgoLaunch(base);
  RunningProgram program(base.Path(), "-nosplash -dontshrink");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  AddAlterEgoItem(base);
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query("CREATE TRIGGER refuse_second BEFORE UPDATE OF ren_file_name ON alter_ego_table "
                          "WHEN NEW.alter_ego=2 AND NEW.ren_file_name<>'' BEGIN SELECT RAISE(ABORT,'refused'); END;"));
  }
  SearchAndLaunchFirst(main, "Zipped");
  HWND box = nullptr;
  ASSERT_TRUE(WaitFor([&] {
    for (HWND window : WindowsOfProcess(program.ProcessId(), "#32770"))
      if (IsWindowVisible(window)) box = window;
    return box != nullptr;
  }));
  EXPECT_EQ(WindowCaption(box), Jp("DBエラー"));
  EXPECT_EQ(MessageBoxText(box).rfind(Jp("分身リネーム結果格納エラー"), 0), 0u) << MessageBoxText(box);
  PressButton(box, IDOK);
  const std::string& copies = launch.copies;
  EXPECT_TRUE(WaitFor([&] { return FileExists(copies + "\\DISK 1.D88") && FileExists(copies + "\\DISK 2.D88"); }));
  EXPECT_FALSE(FileExists(copies + "\\DISK_1.D88"));
  EXPECT_FALSE(FileExists(copies + "\\DISK_2.D88"));
  EXPECT_EQ(RecordedRenames(base), 0);
  EXPECT_FALSE(FileExists(launch.log));  // the emulator never started
  EXPECT_TRUE(program.Close());
}

LRESULT CALLBACK DecoyProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcA(window, message, wParam, lParam);
}

// Window-title detection through a stub that ends at once: the launch waits
// for the emulator's own window and for its end; a window whose title holds
// an exclusion word is never taken for it.
TEST(LaunchE2E, WindowTitleDetectionWaitsForTheEmulatorsWindowAndIgnoresADecoy) {
  BaseFolder base;
  for (const char* folder : {"emu", "stub", "emuconf", "emuconf\\MSX"}) CreateFolder(base.File(folder));
  ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("emu\\fake_emulator.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("stub\\fake_emulator.exe").c_str(), FALSE));
  const std::string log = base.File("emu.log");
  WriteWholeFile(base.File("emu\\fake_emulator.ini"),
                 "[FakeEmulator]\r\nLog=" + log + "\r\nRunMs=7000\r\nTitle=quest 1 - running\r\n");
  WriteWholeFile(base.File("stub\\fake_emulator.ini"), "[FakeEmulator]\r\nLog=" + log + "\r\nLaunch=\"" +
                                                            base.File("emu\\fake_emulator.exe") + "\"\r\n");
  WriteWholeFile(base.File("emuconf\\MSX.ini"), "[DefaultEmulator]\r\nINIFile=A.ini\r\n");
  WriteWholeFile(base.File("emuconf\\MSX\\A.ini"),
                 "[Emulator]\r\nExec=stub\\fake_emulator.exe\r\nOption=$image\r\n"
                 "[TerminationDetective]\r\nChekType=1\r\nTTSrch_ChekInterval=1\r\nTTSrch_NoTimeout=1\r\n"
                 "TTSrch_ExclusionText=DECOY\r\n");
  RunningProgram program(base.Path(), "-nosplash -dontshrink");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,machine_name,title,file_title,file_ext,boot_count) "
                          "VALUES('C:\\games\\quest 1.d88','MSX','Quest','quest 1','d88',0);"));
  }
  SearchAndLaunchFirst(main, "Quest");
  ASSERT_NE(WaitForLogLine(log, "stub ended", 30000).find("stub ended"), std::string::npos);
  // A window that appears during the run and would match but for its
  // exclusion word: it stays open, and the launch must end all the same.
  WNDCLASSA type{};
  type.lpfnWndProc = DecoyProcedure;
  type.hInstance = GetModuleHandleA(nullptr);
  type.lpszClassName = "LaunchDecoyWindow";
  RegisterClassA(&type);
  HWND decoy = CreateWindowExA(0, type.lpszClassName, "quest 1 DECOY", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 100,
                               60, nullptr, nullptr, type.hInstance, nullptr);
  ASSERT_TRUE(decoy);
  std::string content = WaitForLogLine(log, "\r\nended", 40000);
  ASSERT_NE(content.find("\r\nended"), std::string::npos) << content;
  // The emulator ran for seven seconds: counted only when the launch waited
  // for its window to go, not for the stub.
  std::string count;
  for (int i = 0; i < 150 && count != "1"; ++i) {
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&message);
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    if (!db.Query("SELECT boot_count FROM main_table;") && db.RowCount() == 1) count = db.Cell(1, 0);
    SleepMs(100);
  }
  EXPECT_EQ(count, "1");
  DestroyWindow(decoy);
  EXPECT_TRUE(program.Close());
}

// The tray menu's "エミュ起動待機を中止" ends a wait for a window that never
// comes: the launch goes on to its end (the terminate program runs) while the
// emulator still runs.
TEST(LaunchE2E, TheTrayCommandStopsAWaitForAWindowThatNeverComes) {
  BaseFolder base;
  for (const char* folder : {"emu", "helper", "roms", "emuconf", "emuconf\\MSX"}) CreateFolder(base.File(folder));
  ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("emu\\fake_emulator.exe").c_str(), FALSE));
  ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("helper\\fake_emulator.exe").c_str(), FALSE));
  const std::string log = base.File("emu.log"), helperLog = base.File("helper.log");
  WriteWholeFile(base.File("emu\\fake_emulator.ini"), "[FakeEmulator]\r\nLog=" + log + "\r\nRunMs=60000\r\n");
  WriteWholeFile(base.File("helper\\fake_emulator.ini"), "[FakeEmulator]\r\nLog=" + helperLog + "\r\nRunMs=10\r\n");
  WriteWholeFile(base.File("roms\\one.d88"), "1");
  WriteWholeFile(base.File("emuconf\\MSX.ini"), "[DefaultEmulator]\r\nINIFile=A.ini\r\n");
  WriteWholeFile(base.File("emuconf\\MSX\\A.ini"),
                 "[Emulator]\r\nExec=emu\\fake_emulator.exe\r\nOption=$image\r\n"
                 "[TerminateCommand]\r\ncmd1=" + base.File("helper\\fake_emulator.exe") + "\r\nopt1=after\r\n"
                 "[TerminationDetective]\r\nChekType=1\r\nTTSrch_ChekInterval=1\r\nTTSrch_NoTimeout=1\r\n");
  RunningProgram program(base.Path(), "-nosplash -dontshrink");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,machine_name,title,file_title,file_ext) VALUES('" +
                          base.File("roms\\one.d88") + "','MSX','First','one','d88');"));
  }
  SearchAndLaunchFirst(main, "First");
  ASSERT_NE(WaitForLogLine(log, "command line", 30000).find("command line"), std::string::npos);
  SleepMs(2000);  // the launch waits for a window titled with the image's name
  EXPECT_EQ(ReadWholeFile(helperLog).find("after"), std::string::npos);
  PostMessageA(main, kTrayCallbackMessage, kTrayIconId, WM_RBUTTONUP);
  HWND menu = nullptr;
  for (int i = 0; i < 100 && !menu; ++i) {
    SleepMs(100);
    menu = FindWindowA("#32768", nullptr);
  }
  ASSERT_TRUE(menu);
  PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_NE(WaitForLogLine(helperLog, "after", 20000).find("after"), std::string::npos);
  HWND emulator = FindWindowA("FakeEmulatorWindow", nullptr);
  EXPECT_TRUE(emulator);  // still running: only the wait was given up
  if (emulator) PostMessageA(emulator, WM_CLOSE, 0, 0);
  WaitForLogLine(log, "ended", 10000);
  EXPECT_TRUE(program.Close());
}

// A user who keeps ZIP images in the folder the configuration extracts into
// and empties after a run: only the extracted member and the emulator's own
// save file go; the launched ZIP, another image of the library and the
// user's file stay byte for byte. Killed during a run, the program deletes
// the member it left at its next start and nothing else.
TEST(LaunchE2E, TheExtractionFolderCleanUpNeverDeletesTheUsersFiles) {
  BaseFolder base;
  for (const char* folder : {"emu", "roms", "emuconf", "emuconf\\MSX"}) CreateFolder(base.File(folder));
  ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("emu\\fake_emulator.exe").c_str(), FALSE));
  const std::string log = base.File("emu.log"), roms = base.File("roms");
  auto emulatorRuns = [&](int ms) {
    WriteWholeFile(base.File("emu\\fake_emulator.ini"), "[FakeEmulator]\r\nLog=" + log + "\r\nRunMs=" +
                                                            std::to_string(ms) + "\r\nSaveFile=" + roms +
                                                            "\\game.sav\r\n");
  };
  emulatorRuns(1500);
  const std::string zip = MakeZip({{"GAME.D88", "member"}});
  WriteWholeFile(roms + "\\game.zip", zip);
  WriteWholeFile(roms + "\\other.d88", "other image");
  WriteWholeFile(roms + "\\notes.txt", "the user's notes");
  WriteWholeFile(base.File("emuconf\\MSX.ini"), "[DefaultEmulator]\r\nINIFile=A.ini\r\n");
  WriteWholeFile(base.File("emuconf\\MSX\\A.ini"),
                 "[ImageFile]\r\nExtract=1\r\nExtractPath=" + roms + "\r\nExtractAllDelete=1\r\n"
                 "[Emulator]\r\nExec=emu\\fake_emulator.exe\r\nOption=$image\r\n");
  auto untouched = [&] {
    EXPECT_EQ(ReadWholeFile(roms + "\\game.zip"), zip);
    EXPECT_EQ(ReadWholeFile(roms + "\\other.d88"), "other image");
    EXPECT_EQ(ReadWholeFile(roms + "\\notes.txt"), "the user's notes");
  };
  auto journals = [&] {
    int n = 0;
    WIN32_FIND_DATAA found{};
    HANDLE search = FindFirstFileA(base.File("Velmarook2_extract_*.journal").c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      do ++n;
      while (FindNextFileA(search, &found));
      FindClose(search);
    }
    return n;
  };
  {
    RunningProgram program(base.Path(), "-nosplash -dontshrink");
    HWND main = program.WaitUntilReady();
    ASSERT_TRUE(main);
    {
      LibraryConnection db;
      db.Open(base.File("Velmarook.db"), "");
      ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,machine_name,title,file_title,file_ext,file_arc_title,"
                            "file_arc_ext) VALUES('" + roms + "\\game.zip*GAME.D88','MSX','Zipped','game','zip',"
                            "'GAME','D88'),('" + roms + "\\other.d88','MSX','Other','other','d88','','');"));
    }
    SearchAndLaunchFirst(main, "Zipped");
    std::string content = WaitForLogLine(log, "ended", 30000);
    ASSERT_NE(content.find(roms + "\\GAME.D88"), std::string::npos) << content;
    WaitFor([&] { return !((FileExists(roms + "\\GAME.D88") || journals() > 0)); });
    EXPECT_FALSE(FileExists(roms + "\\GAME.D88"));
    EXPECT_FALSE(FileExists(roms + "\\game.sav"));
    untouched();
    EXPECT_EQ(journals(), 0);
    EXPECT_TRUE(program.Close());
  }
  // Killed while the emulator runs: the member and the journal stay behind.
  emulatorRuns(60000);
  {
    RunningProgram program(base.Path(), "-nosplash -dontshrink");
    HWND main = program.WaitUntilReady();
    ASSERT_TRUE(main);
    SearchAndLaunchFirst(main, "Zipped");
    WaitFor([&] { return !(!FileExists(roms + "\\game.sav")); });
    ASSERT_TRUE(FileExists(roms + "\\GAME.D88"));
    HANDLE process = OpenProcess(PROCESS_TERMINATE, FALSE, program.ProcessId());
    ASSERT_TRUE(process);
    TerminateProcess(process, 1);
    CloseHandle(process);
    ASSERT_TRUE(program.WaitForExit(30000));
  }
  for (HWND emulator = FindWindowA("FakeEmulatorWindow", nullptr); emulator;
       emulator = FindWindowA("FakeEmulatorWindow", nullptr)) {
    PostMessageA(emulator, WM_CLOSE, 0, 0);
    SleepMs(200);
  }
  EXPECT_EQ(journals(), 1);
  WriteWholeFile(roms + "\\later.txt", "put there after the crash");
  {
    RunningProgram program(base.Path(), "-nosplash -dontshrink");
    ASSERT_TRUE(program.WaitUntilReady());
    WaitFor([&] { return !(journals() > 0); });
    EXPECT_EQ(journals(), 0);
    EXPECT_FALSE(FileExists(roms + "\\GAME.D88"));
    // What the emulator made while nobody watched is not known to be ours.
    EXPECT_EQ(ReadWholeFile(roms + "\\game.sav"), "saved\r\n");
    EXPECT_EQ(ReadWholeFile(roms + "\\later.txt"), "put there after the crash");
    untouched();
    EXPECT_TRUE(program.Close());
  }
}

}  // namespace
}  // namespace vel::test
