// Web search and related files in the running program: the pane's buttons
// open the submenus built from the site file and the library, a chosen site
// opens its filled URL through the shell (recorded, not browsed), other
// schemes are refused, a related file starts its application with the target
// as one argument, a missing one is reported; the pane's own menu opens the
// memo view; the settings window registers, refuses, moves and deletes sites.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <sstream>

#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kPaneId = 1002, kItemListId = 1001;
constexpr int kWebSettingsCommand = 1219;
constexpr int kSiteListId = 2301, kSiteNameId = 2302, kSiteUrlId = 2303, kRegisterId = 2304, kDeleteId = 2305,
              kUpId = 2306, kDownId = 2307;

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The shell's requests of the started program go to a file while this lives.
class ShellLog {
 public:
  explicit ShellLog(std::string path) : path_(std::move(path)) {
    SetEnvironmentVariableA("VELMAROOK2_SHELL_LOG", path_.c_str());
  }
  ~ShellLog() { SetEnvironmentVariableA("VELMAROOK2_SHELL_LOG", nullptr); }
  std::string Text() const { return ReadWhole(path_); }

 private:
  std::string path_;
};

// A point of the pane whose link names `text`, found by sweeping the pane
// with pointer moves from the bottom (the pane shows the link's name).
std::optional<POINT> FindLink(HWND pane, const std::string& text) {
  std::optional<POINT> found;
  WaitFor([&] {
    RECT client{};
    GetClientRect(pane, &client);
    for (int y = static_cast<int>(client.bottom) - 2; y > 0 && !found; y -= 4)
      for (int x = static_cast<int>(client.right) - 2; x > 0 && !found; x -= 8) {
        SendMessageA(pane, WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
        char shown[512] = {};
        SendMessageA(pane, WM_GETTEXT, sizeof shown, reinterpret_cast<LPARAM>(shown));
        if (text == shown) found = POINT{x, y};
      }
    return found.has_value();
  });
  return found;
}

// The pane acts on the button press itself.
void Press(HWND pane, POINT at) { PostMessageA(pane, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(at.x, at.y)); }

HWND OpenMenuWindow(RunningProgram& program) {
  HWND menu = nullptr;
  WaitFor([&] {
    for (HWND window : WindowsOfProcess(program.ProcessId(), "#32768"))
      if (IsWindowVisible(window)) menu = window;
    return menu != nullptr;
  });
  return menu;
}

// Chooses the first (Home) or last (End) item of the open menu.
void Choose(HWND menu, UINT key) {
  PostMessageA(menu, WM_KEYDOWN, key, 0);
  PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
}

HWND ShowItem(RunningProgram& program, const std::string& base, const std::string& insertUtf8) {
  HWND main = program.WaitUntilReady();
  if (!main) return nullptr;
  LibraryConnection db;
  db.Open(base + "\\Velmarook.db", "");
  if (db.QueryUtf8(insertUtf8)) return nullptr;
  HWND list = FindControl(main, kItemListId);
  SearchInBox(main, "SELECT * FROM list_view;", 9);
  if (!WaitFor([&] {
        return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1 &&
               SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED) == 0;
      }))
    return nullptr;
  return main;
}

TEST(ItemExtrasE2E, WebSearchListsTheSitesEncodesTheTitleAndRefusesOtherSchemes) {
  BaseFolder base;
  // Key 3 is missing: key 4 is not listed.
  std::ofstream(base.File("Velmarook2_Web.ini"), std::ios::binary)
      << "[SiteName]\r\n1=Encode\r\n2=Ftp\r\n4=Four\r\n[SiteURL]\r\n1=https://s/?q=%title&m=$maker\r\n"
         "2=ftp://x\r\n4=https://four/\r\n";
  ShellLog shell(base.File("shell.log"));
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = ShowItem(program, base.Path(),
                       "INSERT INTO main_table(file_name,title,machine_name,maker) "
                       "VALUES('C:\\p.d88','Pok\xC3\xA9mon','PC','A B');");
  ASSERT_TRUE(main);
  HWND pane = FindControl(main, kPaneId);
  std::optional<POINT> button = FindLink(pane, Jp("Webで検索"));
  ASSERT_TRUE(button);

  // The last of the two listed sites is the ftp one.
  Press(pane, *button);
  HWND menu = OpenMenuWindow(program);
  ASSERT_TRUE(menu);
  Choose(menu, VK_END);
  HWND refusal = program.WaitForWindow("#32770", Jp("エラー"));
  ASSERT_TRUE(refusal);
  EXPECT_EQ(MessageBoxText(refusal), Jp("http(s):以外は未対応です。") + "\n\"ftp://x\"");
  PressButton(refusal, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(refusal); }));
  EXPECT_EQ(shell.Text(), "");  // nothing was opened

  Press(pane, *button);
  menu = OpenMenuWindow(program);
  ASSERT_TRUE(menu);
  Choose(menu, VK_HOME);
  EXPECT_TRUE(WaitFor([&] { return !shell.Text().empty(); }));
  EXPECT_EQ(shell.Text(), "open\thttps://s/?q=Pok%C3%A9mon&m=A B\t\n");
  EXPECT_TRUE(program.Close());
}

TEST(ItemExtrasE2E, RelatedFilesStartTheirApplicationOrSayTheFileIsMissing) {
  BaseFolder base;
  namespace fs = std::filesystem;
  fs::create_directories(base.File("docs"));
  fs::create_directories(base.File("tools"));
  std::ofstream(base.File("docs\\manual one.txt")) << "manual";
  fs::copy_file(VEL_ARG_RECORDER, base.File("tools\\app.exe"));
  const std::string manual = base.File("docs\\manual one.txt"), app = base.File("tools\\app.exe");
  const std::string gone = base.File("gone.pdf");
  ShellLog shell(base.File("shell.log"));
  RunningProgram program(base.Path(), "-nosplash");
  auto quoted = [](const std::string& s) {
    std::string q;
    for (char c : s) q += c == '\'' ? std::string("''") : std::string(1, c);
    return q;
  };
  // The entries are listed by their text: 取説 before 無い.
  HWND main = ShowItem(program, base.Path(),
                       "INSERT INTO main_table(file_name,title,machine_name,associate) VALUES('C:\\r.d88','R','PC',2);"
                       "INSERT INTO associate_file_table VALUES('C:\\r.d88','[無い]" + AnsiToUtf8(quoted(gone)) +
                           "'),('C:\\r.d88','[取説]" + AnsiToUtf8(quoted(manual)) + " --> " + AnsiToUtf8(quoted(app)) +
                           "');");
  ASSERT_TRUE(main);
  HWND pane = FindControl(main, kPaneId);
  std::optional<POINT> button = FindLink(pane, Jp("関連ファイル/URL"));
  ASSERT_TRUE(button);

  Press(pane, *button);
  HWND menu = OpenMenuWindow(program);
  ASSERT_TRUE(menu);
  Choose(menu, VK_HOME);
  const std::string log = app + ".log";
  ASSERT_TRUE(WaitFor([&] { return fs::exists(log); }));
  EXPECT_EQ(ReadWhole(log), "1\n" + manual + "\n");  // one argument, spaces and all

  Press(pane, *button);
  menu = OpenMenuWindow(program);
  ASSERT_TRUE(menu);
  Choose(menu, VK_END);
  HWND missing = program.WaitForWindow("#32770", Jp("エラー"));
  ASSERT_TRUE(missing);
  EXPECT_EQ(MessageBoxText(missing), Jp("関連ファイルが見つかりませんでした。\n") + "\"" + gone + "\"");
  PressButton(missing, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(missing); }));

  // The pane's own menu ends with the memo view.
  PostMessageA(pane, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(pane), MAKELPARAM(10, 10));
  menu = OpenMenuWindow(program);
  ASSERT_TRUE(menu);
  Choose(menu, VK_END);
  EXPECT_TRUE(WaitFor([&] {
    for (HWND window : WindowsOfProcess(program.ProcessId(), "NORMALDLG"))
      if (IsWindowVisible(window) && WindowCaption(window) == Jp("メモビュー")) return true;
    return false;
  }));
  // The application was handed the target in quotes; the missing file was never handed on.
  EXPECT_EQ(shell.Text(), "\t" + app + "\t\"" + manual + "\"\n");
  EXPECT_TRUE(program.Close());
}

// Texts of another process's controls are asked for by message (the wide
// form: the narrow reply of a list box is not converted across processes).
std::string ListText(HWND list, int index) {
  wchar_t text[1024] = {};
  SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(text));
  char narrow[2048] = {};
  WideCharToMultiByte(932, 0, text, -1, narrow, sizeof narrow, nullptr, nullptr);
  return narrow;
}

std::string Field(HWND dialog, int id) {
  char text[1024] = {};
  SendMessageA(FindControl(dialog, id), WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
  return text;
}

void SetField(HWND dialog, int id, const std::string& text) {
  SendMessageA(FindControl(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// A value of the site file as it stands on disk ("-" when missing), read
// from the file itself: a profile cache of this process could lag behind.
std::string Site(const std::string& file, const char* section, int key) {
  std::istringstream lines(ReadWhole(file));
  std::string line, current;
  const std::string wanted = std::to_string(key) + "=";
  while (std::getline(lines, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line[0] == '[') current = line.substr(1, line.find(']') - 1);
    else if (current == section && line.rfind(wanted, 0) == 0) return line.substr(wanted.size());
  }
  return "-";
}

TEST(ItemExtrasE2E, SettingsWindowRegistersMovesAndDeletesSites) {
  BaseFolder base;
  const std::string file = base.File("Velmarook2_Web.ini");
  std::ofstream(file, std::ios::binary) << "[SiteName]\r\n1=A\r\n2=B\r\n[SiteURL]\r\n1=http://a/\r\n2=http://b/\r\n";
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  PostMessageA(main, WM_COMMAND, kWebSettingsCommand, 0);
  HWND dialog = program.WaitForWindow("NORMALDLG", Jp("Web検索の設定"));
  ASSERT_TRUE(dialog);
  HWND list = FindControl(dialog, kSiteListId);
  ASSERT_EQ(SendMessageA(list, LB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(ListText(list, 0), "A  :  http://a/");

  // Refusals keep what was typed.
  struct Refusal {
    std::string name, url, message;
  } refusals[] = {{"", "http://c/", Jp("名前またはURLの指定がありません")},
                  {"C", "ftp://c/", Jp("http: または https: で始まるURLを指定して下さい")}};
  for (const Refusal& r : refusals) {
    SetField(dialog, kSiteNameId, r.name);
    SetField(dialog, kSiteUrlId, r.url);
    PressButton(dialog, kRegisterId);
    HWND box = program.WaitForWindow("#32770", Jp("中止"));
    ASSERT_TRUE(box) << r.url;
    EXPECT_EQ(MessageBoxText(box), r.message);
    PressButton(box, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    EXPECT_EQ(Field(dialog, kSiteUrlId), r.url);
  }
  SetField(dialog, kSiteNameId, Jp("検索"));
  SetField(dialog, kSiteUrlId, "https://c/?q=%title");
  PressButton(dialog, kRegisterId);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 3; }));
  EXPECT_EQ(Site(file, "SiteName", 3), Jp("検索"));
  EXPECT_EQ(Site(file, "SiteURL", 3), "https://c/?q=%title");
  EXPECT_EQ(Field(dialog, kSiteNameId), "");
  EXPECT_EQ(Field(dialog, kSiteUrlId), "");

  // The first cannot go up; going down swaps it with the second and keeps it selected.
  SendMessageA(list, LB_SETCURSEL, 0, 0);
  PressButton(dialog, kUpId);
  PressButton(dialog, kDownId);
  ASSERT_TRUE(WaitFor([&] { return Site(file, "SiteName", 1) == "B"; }));
  EXPECT_EQ(Site(file, "SiteName", 2), "A");
  EXPECT_EQ(Site(file, "SiteURL", 2), "http://a/");
  EXPECT_EQ(SendMessageA(list, LB_GETCURSEL, 0, 0), 1);

  PressButton(dialog, kDeleteId);
  HWND question = program.WaitForWindow("#32770", Jp("確認"));
  ASSERT_TRUE(question);
  EXPECT_EQ(MessageBoxText(question), Jp("選択した登録を削除しますか？"));
  PressButton(question, IDYES);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LB_GETCOUNT, 0, 0) == 2; }));
  EXPECT_EQ(Site(file, "SiteName", 2), Jp("検索"));
  EXPECT_EQ(Site(file, "SiteName", 3), "-");

  // With 99 sites a 100th is refused.
  for (int key = 1; key <= 99; ++key) {
    WritePrivateProfileStringA("SiteName", std::to_string(key).c_str(), ("s" + std::to_string(key)).c_str(), file.c_str());
    WritePrivateProfileStringA("SiteURL", std::to_string(key).c_str(), "http://s/", file.c_str());
  }
  SetField(dialog, kSiteNameId, "Hundredth");
  SetField(dialog, kSiteUrlId, "http://h/");
  PressButton(dialog, kRegisterId);
  HWND full = program.WaitForWindow("#32770", Jp("中止"));
  ASSERT_TRUE(full);
  EXPECT_EQ(MessageBoxText(full), Jp("これ以上登録できません"));
  PressButton(full, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(full); }));
  EXPECT_EQ(Site(file, "SiteName", 100), "-");
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
