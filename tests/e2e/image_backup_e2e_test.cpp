// "イメージファイルのバックアップ" in the running program: the destinations it
// refuses, then a set of a plain file and a ZIP member copied with
// extraction on.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <functional>

#include "core/command_ids.h"
#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"
#include "zip_fixture.h"

namespace vel::test {
namespace {

constexpr int kSearchTextId = 2102;
constexpr int kSourceNameId = 3201, kSourceSizeId = 3202, kDestinationId = 3203, kExtractId = 3206,
              kStatusId = 3209, kStartId = 3210;

std::string ControlText(HWND dialog, int id) {
  char text[1024] = {};
  SendMessageA(GetDlgItem(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

void SetText(HWND dialog, int id, const std::string& text) {
  SendMessageA(GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

TEST(ImageBackupE2E, RefusesBadDestinationsThenCopiesASetOfAPlainFileAndAnExtractedMember) {
  BaseFolder base;
  const std::string images = base.File("images"), out = base.File("out");
  ASSERT_TRUE(CreateFolder(images) && CreateFolder(out));
  WriteWholeFile(images + "\\plain.d88", "plain disk");
  WriteWholeFile(images + "\\pack.zip", MakeZip({{"sub/game.d88", "zipped game", true}}));
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  LibraryConnection db;
  db.Open(base.File("Velmarook.db"), "");
  // The ZIP member is the second disk of a set headed by the plain file: the
  // set's child goes with the selected parent.
  const std::string parent = Quote(images + "\\plain.d88");
  ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,machine_name,title,file_title,file_ext,ply,ply_file_name) "
                        "VALUES('" + parent + "','FC','Bkup plain','plain','d88',1,'" + parent + "'),"
                        "('" + Quote(images + "\\pack.zip*sub\\game.d88") + "','FC','Disk two','game','d88',2,'" +
                        parent + "');"
                        "INSERT INTO tmp_maxdisk VALUES('" + parent + "',2);"));
  db.Close();
  HWND edit = FindControl(main, kSearchTextId);
  ASSERT_TRUE(edit);
  SendMessageA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>("Bkup"));
  PostMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
  HWND list = FindWindowExA(main, nullptr, WC_LISTVIEWA, nullptr);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0) == 1; }));

  PostMessageA(main, WM_COMMAND, kCmdImageBackup, 0);
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("イメージファイルのバックアップ"));
  ASSERT_TRUE(dialog);
  // The sizes come from the worker; the window is there before them.
  EXPECT_TRUE(WaitFor([&] { return ControlText(dialog, kSourceSizeId).rfind(Jp("合計: "), 0) == 0 &&
                                   ControlText(dialog, kSourceSizeId).find("KByte") != std::string::npos; }));
  EXPECT_NE(ControlText(dialog, kSourceNameId).find(Jp(" ほか 1")), std::string::npos);

  const std::string temp = base.File("TEMP\\RomCopyTemp");
  struct Refusal {
    std::string destination, text;
  } refusals[] = {
      {"", Jp("バックアップ先のフォルダを指定してください。")},
      {base.File("missing"), Jp("バックアップ先のフォルダが見つかりません。\n") + base.File("missing")},
      {temp + "\\x", Jp("作業用のフォルダにはバックアップできません。\n") + temp + "\\x"},
  };
  for (const Refusal& r : refusals) {
    SetText(dialog, kDestinationId, r.destination);
    PressButton(dialog, kStartId);
    HWND box = program.WaitForWindow("#32770", Jp("中止"));
    ASSERT_TRUE(box) << r.destination;
    EXPECT_EQ(MessageBoxText(box), r.text);
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
  }

  SetText(dialog, kDestinationId, out);
  SendMessageA(GetDlgItem(dialog, kExtractId), BM_SETCHECK, BST_CHECKED, 0);
  PressButton(dialog, kStartId);
  EXPECT_TRUE(WaitFor([&] { return ControlText(dialog, kStatusId) == Jp("バックアップが完了しました"); }))
      << ControlText(dialog, kStatusId);
  EXPECT_EQ(ReadWholeFile(out + "\\plain.d88"), "plain disk");
  EXPECT_EQ(ReadWholeFile(out + "\\game.d88"), "zipped game");
  EXPECT_FALSE(FileExists(out + "\\pack.zip"));
  EXPECT_FALSE(DirectoryExists(temp));
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(program.Close());
  // The destination is remembered.
  char remembered[512] = {};
  GetPrivateProfileStringA("ImageCopy", "FolderPath", "", remembered, sizeof remembered,
                           base.File("Velmarook2.ini").c_str());
  EXPECT_EQ(std::string(remembered), out);
}

}  // namespace
}  // namespace vel::test
