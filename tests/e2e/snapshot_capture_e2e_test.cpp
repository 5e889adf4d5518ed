// Snapshots taken during a run: the stand-in emulator shows a known picture
// in front of everything, the program captures its window at each interval,
// and after the run the chosen capture is filed under the item's names in
// the machine's snapshot folder, where the snapshot lookup looks for it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "launch/png_reader.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kSearchTextId = 2102;
constexpr int kCaptureListId = 200, kFolder1ComboId = 210;

void SearchAndLaunchFirst(HWND main, const std::string& text) {
  HWND edit = FindControl(main, kSearchTextId);
  HWND list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
  ASSERT_TRUE(edit && list);
  // Enter runs the search; on a loaded machine it is pressed again until rows come.
  ASSERT_TRUE(WaitFor(
      [&] {
        SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
        PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
        return WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) >= 1; }, 5000);
      },
      60000));
  PostMessageA(list, WM_KEYDOWN, VK_HOME, 0);
  PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
}

// Clicks the capture icon (status-bar part 8, the last one) `times` times.
void ClickCaptureIcon(HWND main, int times) {
  HWND bar = FindWindowExA(main, nullptr, STATUSCLASSNAMEA, nullptr);
  ASSERT_TRUE(bar);
  RECT client;
  GetClientRect(bar, &client);
  LPARAM at = MAKELPARAM(client.right - 14, client.bottom / 2);
  for (int i = 0; i < times; ++i) {
    SendMessageA(bar, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(bar, WM_LBUTTONUP, 0, at);
  }
}

std::optional<PngImage> ReadPngFile(const std::string& path) {
  std::string bytes = ReadWholeFile(path);
  return ReadPng(std::vector<std::uint8_t>(bytes.begin(), bytes.end()));
}

// Mode 2 captures the stand-in's window (quadrants, saved at 80x60); mode 1
// the whole screen, cut to a region around the window and trimmed to the
// red field inside its black frame.
TEST(SnapshotCaptureE2E, CapturesAreFiledUnderTheItemsNames) {
  struct Check {
    int x, y;
    std::uint32_t colour;
  };
  struct Case {
    const char* what;
    int clicks;  // from off: 1 full screen, 2 active window
    const char* picture;
    int width, height;
    std::string clipToPng;
    int savedWidth, savedHeight;
    std::vector<Check> checks;
  } cases[] = {
      {"active window", 2, "quadrants", 160, 120, "SaveWidth=80\r\nSaveHeight=60\r\n", 80, 60,
       {{20, 15, 0xFF0000}, {60, 15, 0x00FF00}, {20, 45, 0x0000FF}, {60, 45, 0xFFFFFF}}},
      {"full screen, region and trim", 1, "field", 320, 120,
       "ClipTopX2=200\r\nClipTopY2=150\r\nClipWidth2=320\r\nClipHeight2=120\r\nColorTrim=1\r\n", 160, 60,
       {{0, 0, 0xFF0000}, {80, 30, 0xFF0000}, {159, 59, 0xFF0000}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BaseFolder base;
    for (const char* folder : {"emu", "emuconf", "emuconf\\MSX", "extract", "snap"}) CreateFolder(base.File(folder));
    ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("emu\\fake_emulator.exe").c_str(), FALSE));
    const std::string log = base.File("emu.log");
    WriteWholeFile(base.File("emu\\fake_emulator.ini"),
                   "[FakeEmulator]\r\nLog=" + log + "\r\nRunMs=4500\r\nPicture=" + c.picture +
                       "\r\nTopmost=1\r\nX=200\r\nY=150\r\nWidth=" + std::to_string(c.width) +
                       "\r\nHeight=" + std::to_string(c.height) + "\r\n");
    WriteWholeFile(base.File("emuconf\\MSX.ini"), "[DefaultEmulator]\r\nINIFile=A.ini\r\n");
    WriteWholeFile(base.File("emuconf\\MSX\\A.ini"),
                   "[Emulator]\r\nExec=emu\\fake_emulator.exe\r\nOption=$image\r\n[ImageFile]\r\nExtractPath=" +
                       base.File("extract") + "\r\n[ClipToPNG]\r\n" + c.clipToPng);
    WriteWholeFile(base.File("Velmarook2.ini"),
                   "[AutoSnap]\r\nInterval=1\r\nCheckSound=0\r\n[SnapShot]\r\nCRC32Name=2\r\nSaveExPicToSnap=0\r\n");
    const std::string sentinel = base.File("extract\\AutoSnap9999.png");
    WriteWholeFile(sentinel, "the user's own file");

    RunningProgram program(base.Path(), "-nosplash -dontshrink");
    HWND main = program.WaitUntilReady();
    ASSERT_TRUE(main);
    {
      LibraryConnection db;
      db.Open(base.File("Velmarook.db"), "");
      ASSERT_FALSE(db.Query("INSERT OR IGNORE INTO machine_info_table(machine_num, machine) VALUES(1,'MSX');"
                            "UPDATE machine_info_table SET snap_path='" + base.File("snap") + "' WHERE machine='MSX';"
                            "INSERT INTO main_table(file_name,machine_name,title,ply,ply_file_name,file_title,file_ext,crc32)"
                            " VALUES('C:\\games\\quest 1.d88','MSX','Quest',1,'','quest 1','d88','0A1B2C3D');"));
    }
    ClickCaptureIcon(main, c.clicks);
    SearchAndLaunchFirst(main, "Quest");

    HWND dialog = program.WaitForWindow("NORMALDLG", Jp("スナップショットに使う画像の選択"), 60000);
    ASSERT_TRUE(dialog) << ReadWholeFile(log);
    HWND list = FindControl(dialog, kCaptureListId);
    ASSERT_TRUE(list);
    LRESULT captures = SendMessageA(list, LB_GETCOUNT, 0, 0);
    EXPECT_GE(captures, 2);
    // Folder 1 takes the last capture but one: the stand-in is surely in front
    // and painted by then, however slowly the machine starts it.
    HWND folder1 = FindControl(dialog, kFolder1ComboId);
    ASSERT_TRUE(folder1);
    SendMessageA(folder1, CB_SETCURSEL, static_cast<WPARAM>(std::max<LRESULT>(1, captures - 1)), 0);
    PressButton(dialog, IDOK);

    const std::string byTitle = base.File("snap\\quest 1.png"), byCrc = base.File("snap\\0A1B2C3D.png");
    WaitFor([&] { return !(!(FileExists(byTitle) && FileExists(byCrc))); });
    for (const std::string& path : {byTitle, byCrc}) {
      std::optional<PngImage> image = ReadPngFile(path);
      ASSERT_TRUE(image) << path;
      EXPECT_EQ(image->width, c.savedWidth);
      EXPECT_EQ(image->height, c.savedHeight);
      if (image->width != c.savedWidth || image->height != c.savedHeight) continue;
      for (const Check& check : c.checks) EXPECT_EQ(image->At(check.x, check.y), check.colour) << path << " " << check.x;
    }
    // The session's captures are gone; the file that was there before stays.
    WaitFor([&] { return !(FileExists(base.File("extract\\AutoSnap0000.png"))); });
    EXPECT_FALSE(FileExists(base.File("extract\\AutoSnap0000.png")));
    EXPECT_FALSE(FileExists(base.File("extract\\AutoSnap0001.png")));
    EXPECT_EQ(ReadWholeFile(sentinel), "the user's own file");
    EXPECT_TRUE(program.Close());
  }
}

}  // namespace
}  // namespace vel::test

namespace vel::test {
namespace {

constexpr int kDemoNowCommand = 1222;
constexpr UINT_PTR kDemoTriggerTimer = 10, kDemoExitTimer = 11;

int CountOf(const std::string& text, const std::string& word) {
  int count = 0;
  for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++count;
  return count;
}

// Waits until the log holds `count` launches (or ends), returning it.
std::string WaitForLaunches(const std::string& log, const std::string& word, int count, int timeoutMs) {
  std::string content;
  for (int waited = 0; waited < timeoutMs; waited += 100) {
    content = ReadWholeFile(log);
    if (CountOf(content, word) >= count) break;
    SleepMs(100);
  }
  return content;
}

class DemoModeE2E : public ::testing::Test {
 protected:
  void Prepare(const std::string& demoSettings) {
    for (const char* folder : {"emu", "emuconf", "emuconf\\MSX"}) CreateFolder(base.File(folder));
    ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("emu\\fake_emulator.exe").c_str(), FALSE));
    WriteWholeFile(base.File("emu\\fake_emulator.ini"), "[FakeEmulator]\r\nLog=" + log + "\r\nRunMs=60000\r\n");
    WriteWholeFile(base.File("emuconf\\MSX.ini"), "[DefaultEmulator]\r\nINIFile=A.ini\r\n");
    WriteWholeFile(base.File("emuconf\\MSX\\A.ini"),
                   "[Emulator]\r\nExec=emu\\fake_emulator.exe\r\nOption=$title\r\n[JoyEmuExit]\r\nUseTerminateProcess=1\r\n");
    WriteWholeFile(base.File("Velmarook2.ini"), "[AutoSnap]\r\nInterval=1\r\nCheckSound=0\r\n[DemoMode]\r\n" + demoSettings);
    program = std::make_unique<RunningProgram>(base.Path(), "-nosplash -dontshrink");
    main = program->WaitUntilReady();
    ASSERT_TRUE(main);
    {
      LibraryConnection db;
      db.Open(base.File("Velmarook.db"), "");
      ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,machine_name,title,ply,ply_file_name,file_title,file_ext,boot_count)"
                            " VALUES('C:\\games\\demo1.d88','MSX','DemoFirst',1,'','demo1','d88',0),"
                            "('C:\\games\\demo2.d88','MSX','DemoSecond',1,'','demo2','d88',0);"));
    }
    HWND edit = FindControl(main, kSearchTextId);
    list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
    ASSERT_TRUE(edit && list);
    SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Demo"));
    PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    WaitFor([&] { return !(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) < 2); });
    ASSERT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    SetForegroundWindow(main);
    PostMessageA(list, WM_KEYDOWN, VK_HOME, 0);
    for (int i = 0; i < 100 && SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED) != 0; ++i)
      SleepMs(50);
  }

  int BootCounts() {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    if (db.Query("SELECT SUM(boot_count) FROM main_table;") || db.RowCount() != 1) return -1;
    return db.CellInt(1, 0);
  }

  BaseFolder base;
  std::string log = base.File("emu.log");
  std::unique_ptr<RunningProgram> program;
  HWND main = nullptr, list = nullptr;
};

TEST_F(DemoModeE2E, TheCycleLaunchesEachItemInTurnAndEndsAfterTheLast) {
  Prepare("WaitTime=1\r\nTriggerTime=0\r\n");
  PostMessageA(main, WM_COMMAND, kDemoNowCommand, 0);
  std::string content = WaitForLaunches(log, "command line", 1, 30000);
  ASSERT_EQ(CountOf(content, "command line"), 1) << content;
  EXPECT_NE(content.find("DemoFirst"), std::string::npos) << content;
  SleepMs(1500);  // the emulator is being waited on
  PostMessageA(main, WM_TIMER, kDemoExitTimer, 0);
  content = WaitForLaunches(log, "command line", 2, 30000);
  ASSERT_EQ(CountOf(content, "command line"), 2) << content;
  EXPECT_NE(content.find("DemoSecond"), std::string::npos) << content;
  SleepMs(1500);
  PostMessageA(main, WM_TIMER, kDemoExitTimer, 0);
  // The last item ends the cycle: nothing more starts by itself. (The exit
  // request terminates the stand-in, so it logs no end of its own.)
  WaitFor([&] { return !(FindWindowA("FakeEmulatorWindow", nullptr)); });
  EXPECT_FALSE(FindWindowA("FakeEmulatorWindow", nullptr));
  SleepMs(4000);
  content = ReadWholeFile(log);
  EXPECT_EQ(CountOf(content, "command line"), 2) << content;
  EXPECT_EQ(BootCounts(), 0);
  // The flag is clear again: Enter launches as usual.
  SetForegroundWindow(main);
  for (int attempt = 0; attempt < 5 && CountOf(content, "command line") < 3; ++attempt) {
    PostMessageA(list, WM_KEYDOWN, VK_RETURN, 0);
    content = WaitForLaunches(log, "command line", 3, 5000);
  }
  EXPECT_EQ(CountOf(content, "command line"), 3) << content;
  SleepMs(1000);
  PostMessageA(main, WM_TIMER, kDemoExitTimer, 0);  // not in demo: no exit request is sent
  SleepMs(1500);
  HWND emulator = FindWindowA("FakeEmulatorWindow", nullptr);
  EXPECT_TRUE(emulator);
  if (emulator) PostMessageA(emulator, WM_CLOSE, 0, 0);
  EXPECT_EQ(CountOf(WaitForLaunches(log, "ended", 1, 10000), "ended"), 1);
  EXPECT_TRUE(program->Close());
}

TEST_F(DemoModeE2E, AKeyDuringTheAnnouncementCancelsIt) {
  Prepare("WaitTime=5\r\nTriggerTime=1\r\n");
  PostMessageA(main, WM_TIMER, kDemoTriggerTimer, 0);
  HWND announcement = nullptr;
  for (int i = 0; i < 100 && !announcement; ++i) {
    SleepMs(50);
    std::vector<HWND> windows = WindowsOfProcess(program->ProcessId(), "DemoLaunchDlg");
    if (!windows.empty()) announcement = windows.front();
  }
  ASSERT_TRUE(announcement);
  PostMessageA(announcement, WM_KEYDOWN, VK_SPACE, 0);
  SleepMs(7000);
  EXPECT_FALSE(FileExists(log)) << ReadWholeFile(log);
  EXPECT_TRUE(WindowsOfProcess(program->ProcessId(), "DemoLaunchDlg").empty());
  EXPECT_TRUE(program->Close());
}

}  // namespace
}  // namespace vel::test

namespace vel::test {
namespace {

// After-run filing without captures: a picture the stand-in wrote into the
// extraction folder (flag 1, beside a stale one from before the launch), the
// clipboard's picture (256), and a negative setting that files nothing.
TEST(SnapshotFilingE2E, PicturesOfTheRunAreFiledAsTheSettingSays) {
  struct Case {
    const char* what;
    int saveExPicToSnap;
    bool writePicture, clipboard;
    std::vector<std::string> filed;  // names in the snapshot folder afterwards
  } cases[] = {
      {"new picture of the extraction folder", 1, true, false, {"quest 1.bmp"}},
      {"clipboard picture", 257, false, true, {"quest 1.png"}},
      {"negative: nothing", -1, true, true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    BaseFolder base;
    for (const char* folder : {"emu", "emuconf", "emuconf\\MSX", "extract", "snap"}) CreateFolder(base.File(folder));
    ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("emu\\fake_emulator.exe").c_str(), FALSE));
    const std::string log = base.File("emu.log"), shot = base.File("extract\\shot.bmp");
    WriteWholeFile(base.File("emu\\fake_emulator.ini"),
                   "[FakeEmulator]\r\nLog=" + log + "\r\nRunMs=1500\r\nPicture=quadrants\r\nTopmost=1\r\nX=10\r\nY=10\r\n"
                   "Width=160\r\nHeight=120\r\n" + (c.writePicture ? "WritePicture=" + shot + "\r\n" : "") +
                   (c.clipboard ? "ClipboardDib=1\r\n" : ""));
    WriteWholeFile(base.File("emuconf\\MSX.ini"), "[DefaultEmulator]\r\nINIFile=A.ini\r\n");
    WriteWholeFile(base.File("emuconf\\MSX\\A.ini"), "[Emulator]\r\nExec=emu\\fake_emulator.exe\r\nOption=$image\r\n"
                                                      "[ImageFile]\r\nExtractPath=" + base.File("extract") + "\r\n");
    WriteWholeFile(base.File("Velmarook2.ini"), "[SnapShot]\r\nCRC32Name=0\r\nSaveExPicToSnap=" +
                                                    std::to_string(c.saveExPicToSnap) + "\r\n");
    WriteWholeFile(base.File("extract\\stale.png"), "a picture of an earlier run");
    RunningProgram program(base.Path(), "-nosplash -dontshrink");
    HWND main = program.WaitUntilReady();
    ASSERT_TRUE(main);
    {
      LibraryConnection db;
      db.Open(base.File("Velmarook.db"), "");
      ASSERT_FALSE(db.Query("INSERT OR IGNORE INTO machine_info_table(machine_num, machine) VALUES(1,'MSX');"
                            "UPDATE machine_info_table SET snap_path='" + base.File("snap") + "' WHERE machine='MSX';"
                            "INSERT INTO main_table(file_name,machine_name,title,ply,ply_file_name,file_title,file_ext)"
                            " VALUES('C:\\games\\quest 1.d88','MSX','Quest',1,'','quest 1','d88');"));
    }
    SearchAndLaunchFirst(main, "Quest");
    std::string content;
    for (int i = 0; i < 300 && content.find("ended") == std::string::npos; ++i) {
      SleepMs(100);
      content = ReadWholeFile(log);
    }
    ASSERT_NE(content.find("ended"), std::string::npos) << content;
    std::vector<std::string> filed;
    for (int i = 0; i < 60; ++i) {
      SleepMs(100);
      filed.clear();
      for (const char* name : {"quest 1.bmp", "quest 1.png", "stale.png"})
        if (FileExists(base.File(std::string("snap\\") + name))) filed.push_back(name);
      if (filed.size() >= c.filed.size() && i > 30) break;
    }
    EXPECT_EQ(filed, c.filed);
    if (c.saveExPicToSnap == 1) {
      EXPECT_EQ(ReadWholeFile(base.File("snap\\quest 1.bmp")), ReadWholeFile(shot));  // byte for byte
    }
    if (c.saveExPicToSnap == 257) {
      std::optional<PngImage> image = ReadPngFile(base.File("snap\\quest 1.png"));
      ASSERT_TRUE(image);
      EXPECT_EQ(image->width, 160);
      EXPECT_EQ(image->height, 120);
      EXPECT_EQ(image->At(120, 90), 0xFFFFFFu);
    }
    EXPECT_TRUE(program.Close());
  }
}

}  // namespace
}  // namespace vel::test

namespace vel::test {
namespace {

// A stand-in that shows `picture` at 160x120 and writes it into the
// extraction folder as shot.bmp; the run files it with SaveExPicToSnap=1.
// `configuration` is added to the emulator configuration's sections.
struct FilingRun {
  BaseFolder base;
  std::string log = base.File("emu.log"), shot = base.File("extract\\shot.bmp");
  std::unique_ptr<RunningProgram> program;
  HWND main = nullptr;

  void Start(const std::string& picture, const std::string& configuration) {
    for (const char* folder : {"emu", "emuconf", "emuconf\\MSX", "extract", "snap", "snap2"}) CreateFolder(base.File(folder));
    ASSERT_TRUE(CopyFileA(VEL_FAKE_EMULATOR, base.File("emu\\fake_emulator.exe").c_str(), FALSE));
    WriteWholeFile(base.File("emu\\fake_emulator.ini"),
                   "[FakeEmulator]\r\nLog=" + log + "\r\nRunMs=1500\r\nPicture=" + picture +
                       "\r\nTopmost=1\r\nX=10\r\nY=10\r\nWidth=160\r\nHeight=120\r\nWritePicture=" + shot + "\r\n");
    WriteWholeFile(base.File("emuconf\\MSX.ini"), "[DefaultEmulator]\r\nINIFile=A.ini\r\n");
    WriteWholeFile(base.File("emuconf\\MSX\\A.ini"), "[Emulator]\r\nExec=emu\\fake_emulator.exe\r\nOption=$image\r\n"
                                                      "[ImageFile]\r\nExtractPath=" + base.File("extract") + "\r\n" +
                                                      configuration);
    WriteWholeFile(base.File("Velmarook2.ini"), "[SnapShot]\r\nCRC32Name=0\r\nSaveExPicToSnap=1\r\n");
    program = std::make_unique<RunningProgram>(base.Path(), "-nosplash -dontshrink");
    main = program->WaitUntilReady();
    ASSERT_TRUE(main);
    {
      // Folders 1 and 2 are set, folder 3 is not.
      LibraryConnection db;
      db.Open(base.File("Velmarook.db"), "");
      ASSERT_FALSE(db.Query("INSERT OR IGNORE INTO machine_info_table(machine_num, machine) VALUES(1,'MSX');"
                            "UPDATE machine_info_table SET snap_path='" + base.File("snap") + "', snap_path2='" +
                            base.File("snap2") + "' WHERE machine='MSX';"
                            "INSERT INTO main_table(file_name,machine_name,title,ply,ply_file_name,file_title,file_ext)"
                            " VALUES('C:\\games\\quest 1.d88','MSX','Quest',1,'','quest 1','d88');"));
    }
    SearchAndLaunchFirst(main, "Quest");
    ASSERT_TRUE(WaitFor([&] { return ReadWholeFile(log).find("ended") != std::string::npos; })) << ReadWholeFile(log);
  }

  // The names in a folder of the base folder, sorted.
  std::vector<std::string> NamesIn(const std::string& folder) const {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(base.File(folder), error))
      names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
  }
};

// [SnapCopy] adjusts a picture of the extraction folder as it is filed:
// ReSize scales it to the configuration's save size, Trim cuts the border of
// its top-left colour; an adjusted picture is filed as PNG.
TEST(SnapshotFilingE2E, SnapCopyResizesAndTrimsThePictureItFiles) {
  struct Check {
    int x, y;
    std::uint32_t colour;
  };
  struct Case {
    const char* what;
    const char* picture;
    std::string configuration;
    int width, height;
    std::vector<Check> checks;
  } cases[] = {
      {"resize", "quadrants", "[ClipToPNG]\r\nSaveWidth=80\r\nSaveHeight=60\r\n[SnapCopy]\r\nReSize=1\r\n", 80, 60,
       {{20, 15, 0xFF0000}, {60, 15, 0x00FF00}, {20, 45, 0x0000FF}, {60, 45, 0xFFFFFF}}},
      // Without ReSize the save size is left alone: the trimmed field keeps its size.
      {"trim", "field", "[ClipToPNG]\r\nSaveWidth=40\r\nSaveHeight=30\r\n[SnapCopy]\r\nTrim=1\r\n", 80, 60,
       {{0, 0, 0xFF0000}, {79, 0, 0xFF0000}, {0, 59, 0xFF0000}, {79, 59, 0xFF0000}}},
      {"trim and resize", "field", "[ClipToPNG]\r\nSaveWidth=40\r\nSaveHeight=30\r\n[SnapCopy]\r\nReSize=1\r\nTrim=1\r\n",
       40, 30, {{0, 0, 0xFF0000}, {39, 0, 0xFF0000}, {0, 29, 0xFF0000}, {39, 29, 0xFF0000}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FilingRun run;
    run.Start(c.picture, c.configuration);
    if (HasFatalFailure()) return;
    const std::string filed = run.base.File("snap\\quest 1.png");
    EXPECT_TRUE(WaitFor([&] { return FileExists(filed); })) << ReadWholeFile(run.log);
    std::optional<PngImage> image = ReadPngFile(filed);
    ASSERT_TRUE(image) << filed;
    EXPECT_EQ(image->width, c.width);
    EXPECT_EQ(image->height, c.height);
    if (image->width == c.width && image->height == c.height) {
      for (const Check& check : c.checks) EXPECT_EQ(image->At(check.x, check.y), check.colour) << check.x << "," << check.y;
    }
    EXPECT_TRUE(run.program->Close());
    // Only the PNG is filed; the stand-in's own picture stays where it wrote it.
    EXPECT_EQ(run.NamesIn("snap"), std::vector<std::string>{"quest 1.png"});
    EXPECT_TRUE(FileExists(run.shot));
  }
}

// The size of a file, read without opening it; -1 when there is none.
std::int64_t SizeOf(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return -1;
  return (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// A picture whose target exists already: "ChooseSnapDlg" asks. Discarding
// keeps the old snapshot, folder 1 overwrites it, folder 2 saves there
// instead; the unset folder 3 cannot be chosen.
TEST(SnapshotFilingE2E, AnExistingTargetIsOnlyReplacedWhereTheUserSays) {
  constexpr int kDiscard = 100, kFolder1 = 101, kFolder2 = 102, kFolder3 = 103;
  const std::string old = "the snapshot filed before";
  struct Case {
    const char* what;
    int button;
    bool folder1Replaced, folder2Filed;
  } cases[] = {
      {"discard", kDiscard, false, false},
      {"overwrite in folder 1", kFolder1, true, false},
      {"save in folder 2", kFolder2, false, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    FilingRun run;
    const std::string target1 = run.base.File("snap\\quest 1.bmp"), target2 = run.base.File("snap2\\quest 1.bmp");
    CreateFolder(run.base.File("snap"));
    WriteWholeFile(target1, old);
    run.Start("quadrants", "");
    if (HasFatalFailure()) return;
    HWND dialog = run.program->WaitForWindow("NORMALDLG", Jp("スナップショット保存先の選択"));
    ASSERT_TRUE(dialog) << ReadWholeFile(run.log);
    ASSERT_TRUE(WaitFor([&] { return GetDlgItem(dialog, kFolder3) != nullptr; }));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kDiscard)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kFolder1)));
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(dialog, kFolder2)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, kFolder3)));
    // Nothing is filed while the question is open.
    EXPECT_EQ(ReadWholeFile(target1), old);
    PressButton(dialog, c.button);
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    const std::string picture = ReadWholeFile(run.shot);
    ASSERT_FALSE(picture.empty());
    ASSERT_NE(picture.size(), old.size());
    // Awaited by the size alone: a file the test holds open could not be
    // replaced. The bytes are compared once the program has ended.
    if (c.folder1Replaced) {
      EXPECT_TRUE(WaitFor([&] { return SizeOf(target1) == static_cast<std::int64_t>(picture.size()); }));
    }
    if (c.folder2Filed) {
      EXPECT_TRUE(WaitFor([&] { return SizeOf(target2) == static_cast<std::int64_t>(picture.size()); }));
    }
    EXPECT_TRUE(run.program->Close());
    EXPECT_TRUE(ReadWholeFile(target1) == (c.folder1Replaced ? picture : old)) << ReadWholeFile(target1).size();
    EXPECT_EQ(run.NamesIn("snap"), std::vector<std::string>{"quest 1.bmp"});
    EXPECT_EQ(run.NamesIn("snap2"), c.folder2Filed ? std::vector<std::string>{"quest 1.bmp"} : std::vector<std::string>{});
    if (c.folder2Filed) {
      EXPECT_TRUE(ReadWholeFile(target2) == picture) << ReadWholeFile(target2).size();
    }
  }
}

}  // namespace
}  // namespace vel::test
