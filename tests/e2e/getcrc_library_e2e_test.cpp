// The shipped import library, loaded and called as the program calls it.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include "db/library_connection.h"
#include "db/schema.h"
#include "maintenance/crc.h"
#include "platform/codepage.h"
#include "test_support.h"
#include "zip_fixture.h"

namespace vel::test {
namespace {

using SetGValFn = void(WINAPI*)(const char*, const char*, const char*, const char*, const char*, LONG, HFONT);
using DirAddImgFn = void(WINAPI*)(HWND, HWND, HWND, HWND, HWND, HWND, LONG*, char**, LONG*);
using ReCalcFn = void(WINAPI*)(HWND*, LONG*, char**, LONG*);
using SetEscFn = void(WINAPI*)(SHORT);
using GetEscFn = LONG(WINAPI*)();
using FileCrcFn = LONG(WINAPI*)(const char*, LONG, LONG, char*);

std::string Text(HWND window) {
  char buffer[1024] = {};
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

SetEscFn gSetEsc = nullptr;

class GetCrcLibraryTest : public testing::Test {
 protected:
  void SetUp() override {
    module = LoadLibraryA((std::string(VEL_DIST_DIR) + "\\Velmarook2_GetCRC.DLL").c_str());
    ASSERT_TRUE(module);
    setGVal = Export<SetGValFn>("setGValCRC");
    dirAddImg = Export<DirAddImgFn>("dirAddImg");
    reCalc = Export<ReCalcFn>("reCalcCRC");
    gSetEsc = setEsc = Export<SetEscFn>("setDirAddThreadESC");
    getEsc = Export<GetEscFn>("getDirAddThreadESC");
    fileCrc32 = Export<FileCrcFn>("GetFileCRC32");
    fileCrc16 = Export<FileCrcFn>("GetFileCRC16");
    ASSERT_TRUE(setGVal && dirAddImg && reCalc && setEsc && getEsc && fileCrc32 && fileCrc16);

    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_PROGRESS_CLASS};
    InitCommonControlsEx(&icc);
    window = CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 480, 300, nullptr, nullptr, nullptr, nullptr);
    auto child = [&](const char* cls, const char* text) {
      return CreateWindowExA(0, cls, text, WS_CHILD | WS_VISIBLE, 0, 0, 100, 20, window, nullptr, nullptr, nullptr);
    };
    status = child("STATIC", "--");
    title = child("STATIC", "--");
    marker = child("STATIC", Jp("■").c_str());
    stop = child("BUTTON", Jp("中止").c_str());
    bar = child(PROGRESS_CLASSA, "");
    log = child("LISTBOX", "");

    roms = folder / "roms";
    CreateDirectoryA(roms.c_str(), nullptr);
    database = folder / "library.db";
    LibraryConnection db;
    db.Open(database, "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_FALSE(db.Query("INSERT INTO machine_info_table(machine_num, machine, search_ext) VALUES(1,'PC-8801','d88');"));
    setGVal(database.c_str(), "", (folder / "Velmarook2.ini").c_str(), folder.Path().c_str(), VEL_ARCHIVER_STANDIN_DIR, 1,
            nullptr);
    integers[0] = 1;   // sub-folders
    integers[1] = 1;   // archives
    integers[20] = 1;  // archive members make sets
    integers[23] = 1;  // CRC32
  }
  void TearDown() override {
    if (window) DestroyWindow(window);
    if (module) FreeLibrary(module);
  }
  template <typename Fn>
  Fn Export(const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module, name)));
  }
  void Import() {
    std::string machine = "PC-8801", empty, marks = "(J)";
    std::vector<char> buffers[6];
    const std::string* texts[6] = {&roms, &machine, &empty, &empty, &empty, &marks};
    char* pointers[6];
    for (int i = 0; i < 6; ++i) {
      buffers[i].assign(texts[i]->begin(), texts[i]->end());
      buffers[i].resize(261, '\0');
      pointers[i] = buffers[i].data();
    }
    dirAddImg(window, status, title, marker, stop, bar, integers, pointers, numbers);
  }
  std::string Scalar(const std::string& sql) {
    LibraryConnection db;
    db.Open(database, "");
    EXPECT_FALSE(db.Query(sql));
    return db.Cell(1, 0);
  }

  HMODULE module = nullptr;
  SetGValFn setGVal = nullptr;
  DirAddImgFn dirAddImg = nullptr;
  ReCalcFn reCalc = nullptr;
  SetEscFn setEsc = nullptr;
  GetEscFn getEsc = nullptr;
  FileCrcFn fileCrc32 = nullptr;
  FileCrcFn fileCrc16 = nullptr;
  HWND window = nullptr, status = nullptr, title = nullptr, marker = nullptr, stop = nullptr, bar = nullptr,
       log = nullptr;
  TempFolder folder;
  std::string roms, database;
  LONG integers[51] = {};
  LONG numbers[2] = {};
};

TEST_F(GetCrcLibraryTest, InterfaceVersion) {
  auto version = Export<LONG(WINAPI*)()>("getLibVersionCRC");
  ASSERT_TRUE(version);
  EXPECT_EQ(version(), 10);
}

TEST_F(GetCrcLibraryTest, ImportsThroughTheWindowsItIsGivenAndEndsWithTheFinishedCaption) {
  WriteWholeFile(roms + "\\Game (1987)(J).d88", "game");
  WriteWholeFile(roms + "\\set.zip", MakeZip({{"DISK1.D88", "one"}, {"DISK2.D88", "two", true}}));
  WriteWholeFile(roms + "\\list.7z", "DISK1.D88\tfirst disk\nDISK2.D88\tsecond disk\nreadme.txt\n");
  WriteWholeFile(roms + "\\other.rar", "no archiver library for this one");
  Import();
  EXPECT_EQ(Text(stop), Jp("終了"));
  EXPECT_NE(getEsc() & 0xFFFF, 1);
  setEsc(1);  // a stop request after the end changes nothing
  EXPECT_NE(getEsc() & 0xFFFF, 1);
  EXPECT_EQ(Text(status).rfind(Jp("完了しました"), 0), 0u) << AnsiToUtf8(Text(status));
  EXPECT_EQ(SendMessageA(bar, PBM_GETPOS, 0, 0), 4);
  // The log: only the RAR skipped for want of its library; the 7z members
  // take their CRCs from the listing.
  ASSERT_EQ(SendMessageA(log, LB_GETCOUNT, 0, 0), 1);
  std::string lines;
  for (int i = 0; i < 1; ++i) {
    char line[1024] = {};
    SendMessageA(log, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
    lines += std::string(line) + "\n";
  }
  EXPECT_NE(lines.find("UNRAR32.dll"), std::string::npos) << AnsiToUtf8(lines);
  EXPECT_NE(lines.find(roms + "\\other.rar"), std::string::npos) << AnsiToUtf8(lines);
  EXPECT_EQ(Scalar("SELECT COUNT(*) FROM main_table;"), "5");
  EXPECT_EQ(Scalar("SELECT crc32 FROM main_table WHERE file_name='" + roms + "\\set.zip*DISK2.D88';"),
            Crc32Text(ZlibCrc("two")));
  EXPECT_EQ(Scalar("SELECT ply_file_name FROM main_table WHERE file_name='" + roms + "\\list.7z*DISK2.D88';"),
            roms + "\\list.7z*DISK1.D88");
  EXPECT_EQ(Scalar("SELECT crc32 FROM main_table WHERE file_name='" + roms + "\\list.7z*DISK1.D88';"),
            Crc32Text(ZlibCrc("first disk")));
  EXPECT_EQ(Scalar("SELECT crc32 FROM main_table WHERE file_name='" + roms + "\\list.7z*DISK2.D88';"),
            Crc32Text(ZlibCrc("second disk")));
}

TEST_F(GetCrcLibraryTest, AStopRequestDuringTheImportEndsIt) {
  for (int i = 0; i < 3000; ++i) WriteWholeFile(roms + "\\" + std::to_string(i) + ".d88", std::string(4096, 'x'));
  // The press of the stop button, while the library keeps this thread's windows going.
  SetTimer(nullptr, 0, 10, [](HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    gSetEsc(1);
  });
  Import();
  EXPECT_EQ(Text(status).rfind(Jp("中止しました"), 0), 0u) << AnsiToUtf8(Text(status));
  EXPECT_EQ(Text(stop), Jp("終了"));
  EXPECT_EQ(getEsc() & 0xFFFF, 2);
  EXPECT_LT(std::stoi(Scalar("SELECT COUNT(*) FROM main_table;")), 3000);
}

TEST_F(GetCrcLibraryTest, RecalculatesThroughTheTwelveHandlesAndGivesTheStartButtonBack) {
  WriteWholeFile(roms + "\\a.d88", "0123456789abcdefPAYLOAD");
  integers[23] = 0;
  Import();
  ASSERT_EQ(Scalar("SELECT crc FROM main_table;"), "");
  HWND start = CreateWindowExA(0, "BUTTON", Jp("開始").c_str(), WS_CHILD, 0, 0, 10, 10, window, nullptr, nullptr, nullptr);
  HWND machineList = CreateWindowExA(0, "COMBOBOX", "", WS_CHILD, 0, 0, 10, 10, window, nullptr, nullptr, nullptr);
  HWND handles[12] = {window, status, title, marker, start, bar, machineList, nullptr, nullptr, nullptr, nullptr, nullptr};
  LONG recalc[51] = {};
  recalc[23] = 1;
  recalc[24] = 1;
  LONG range[2] = {16, 0};
  char machine[257] = "PC-8801", empty[257] = "";
  char* texts[6] = {empty, machine, empty, empty, empty, empty};
  reCalc(handles, recalc, texts, range);
  EXPECT_EQ(Text(start), Jp("開始"));
  EXPECT_TRUE(IsWindowEnabled(machineList));
  EXPECT_EQ(Text(title), "1 / 1");
  EXPECT_EQ(Scalar("SELECT crc32 FROM main_table;"), Crc32Text(ZlibCrc("PAYLOAD")));
  EXPECT_EQ(Scalar("SELECT crc FROM main_table;"), Crc16Text(Crc16(0, "PAYLOAD", 7)));
}

TEST_F(GetCrcLibraryTest, RecalculationSummaryKeepsItsLineAndEveryProblemStaysListed) {
  for (const char* name : {"a.d88", "b.d88", "c.d88"}) WriteWholeFile(roms + "\\" + name, "data");
  integers[23] = 0;
  Import();
  DeleteFileA((roms + "\\b.d88").c_str());
  DeleteFileA((roms + "\\c.d88").c_str());
  HWND start = CreateWindowExA(0, "BUTTON", Jp("開始").c_str(), WS_CHILD, 0, 0, 10, 10, window, nullptr, nullptr, nullptr);
  HWND handles[12] = {window, status, title, marker, start, bar, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  LONG recalc[51] = {};
  recalc[23] = 1;
  LONG range[2] = {0, 0};
  char machine[257] = "PC-8801", empty[257] = "";
  char* texts[6] = {empty, machine, empty, empty, empty, empty};
  const std::string summary = Jp("完了しました（更新 1 件、計算できず 2 件）");
  struct Case {
    const char* what;
    bool withList;
  } cases[] = {{"problems in the window's list", true}, {"a window without a list", false}};
  for (const Case& c : cases) {
    if (!c.withList && log) {
      DestroyWindow(log);
      log = nullptr;
    }
    if (log) SendMessageA(log, LB_RESETCONTENT, 0, 0);
    reCalc(handles, recalc, texts, range);
    // The last problem line never takes the summary's place.
    EXPECT_EQ(Text(status), summary) << c.what;
    if (!log) continue;
    ASSERT_EQ(SendMessageA(log, LB_GETCOUNT, 0, 0), 2) << c.what;
    for (int i = 0; i < 2; ++i) {
      char line[1024] = {};
      SendMessageA(log, LB_GETTEXT, i, reinterpret_cast<LPARAM>(line));
      EXPECT_NE(std::string(line).find(roms + (i == 0 ? "\\b.d88" : "\\c.d88")), std::string::npos)
          << AnsiToUtf8(line);
    }
  }
}

TEST_F(GetCrcLibraryTest, FileCrcExportsOfFilesAndZipMembers) {
  WriteWholeFile(roms + "\\f.bin", "123456789");
  WriteWholeFile(roms + "\\z.zip", MakeZip({{"M.BIN", "123456789", true}}));
  char out[16];
  EXPECT_EQ(fileCrc32((roms + "\\f.bin").c_str(), 0, 0, out), 0);
  EXPECT_STREQ(out, "CBF43926");
  EXPECT_EQ(fileCrc16((roms + "\\z.zip*M.BIN").c_str(), 0, 0, out), 0);
  EXPECT_STREQ(out, "BB3D");
  EXPECT_EQ(fileCrc32((roms + "\\f.bin").c_str(), 2, 3, out), 0);
  EXPECT_EQ(std::string(out), Crc32Text(ZlibCrc("345")));
  EXPECT_EQ(fileCrc32((roms + "\\missing.bin").c_str(), 0, 0, out), -1);
  EXPECT_STREQ(out, "");
}

TEST_F(GetCrcLibraryTest, RangesOfArchiveMembersAreComputedOverTheMemberExtracted) {
  WriteWholeFile(roms + "\\set.7z", "DISK1.D88\t0123456789abcdefPAYLOAD\n");
  integers[23] = 0;
  Import();
  const std::string key = roms + "\\set.7z*DISK1.D88";
  ASSERT_EQ(Scalar("SELECT count(*) FROM main_table WHERE file_name='" + key + "';"), "1");
  HWND start = CreateWindowExA(0, "BUTTON", Jp("開始").c_str(), WS_CHILD, 0, 0, 10, 10, window, nullptr, nullptr, nullptr);
  HWND handles[12] = {window, status, title, marker, start, bar, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr};
  LONG recalc[51] = {};
  recalc[23] = 1;
  recalc[24] = 1;
  LONG range[2] = {16, 0};
  char machine[257] = "PC-8801", empty[257] = "";
  char* texts[6] = {empty, machine, empty, empty, empty, empty};
  reCalc(handles, recalc, texts, range);
  EXPECT_EQ(Text(status), Jp("完了しました（更新 1 件、計算できず 0 件）"));
  EXPECT_EQ(Scalar("SELECT crc32 FROM main_table;"), Crc32Text(ZlibCrc("PAYLOAD")));
  EXPECT_EQ(Scalar("SELECT crc FROM main_table;"), Crc16Text(Crc16(0, "PAYLOAD", 7)));
  // A 7z listing holds no CRC-16 of the whole member: it is computed too.
  char out[16];
  ASSERT_EQ(fileCrc16(key.c_str(), 0, 0, out), 0);
  EXPECT_EQ(std::string(out), Crc16Text(Crc16(0, "0123456789abcdefPAYLOAD", 23)));
  // Nothing extracted is left behind.
  EXPECT_EQ(GetFileAttributesA((folder / "TEMP\\CrcTemp").c_str()), INVALID_FILE_ATTRIBUTES);
}

}  // namespace
}  // namespace vel::test
