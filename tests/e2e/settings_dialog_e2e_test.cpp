// The settings dialog as a user meets it: colour themes saved, loaded and
// deleted on the colour page, OK and キャンセル, and a column shown at once
// and after a restart.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <vector>

#include "core/command_ids.h"
#include "db/library_connection.h"
#include "e2e/program_runner_win.h"
#include "periphery/colour_themes.h"
#include "periphery/colours.h"
#include "input/pad_settings.h"
#include "periphery/config_pages.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr int kThemeComboId = 1032, kThemeSaveId = 1033, kThemeDeleteId = 1034, kColourButtonFirstId = 3100;
constexpr int kListBackIndex = 15;  // ItemListColor BackColor among the colour keys

std::wstring Wide(const std::string& text) {
  wchar_t wide[1024] = {};
  MultiByteToWideChar(CP_ACP, 0, text.c_str(), -1, wide, 1024);
  return wide;
}

void SetText(HWND control, const std::string& text) {
  SendMessageW(control, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Wide(text).c_str()));
}

std::string Text(HWND control) {
  wchar_t wide[1024] = {};
  SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(wide));
  char text[2048] = {};
  WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

HWND OpenSettings(RunningProgram& program, HWND main) {
  // The first command can race the start-up focus: ask again until the dialog shows.
  for (int attempt = 0; attempt < 5; ++attempt) {
    PostMessageA(main, WM_COMMAND, kCmdSettings, 0);
    if (HWND dialog = program.WaitForWindow("NORMALDLG", Jp("全体設定"), 6000)) return dialog;
  }
  return nullptr;
}

// Answers the message box that must come with `text`.
bool Answer(RunningProgram& program, const std::string& text, int button) {
  HWND box = program.WaitForWindow("#32770", "");
  if (!box) return false;
  std::string shown = MessageBoxText(box);
  PressButton(box, button);
  EXPECT_EQ(shown, text);
  return shown == text;
}

// The colour of a pixel near the lower right of the window's client area,
// where an empty list shows its background.
COLORREF BackgroundPixel(HWND window) {
  RECT r{};
  GetClientRect(window, &r);
  POINT p{r.right - 30, r.bottom - 30};
  ClientToScreen(window, &p);
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return c;
}

void LoadTheme(HWND dialog, const std::string& name) {
  HWND combo = GetDlgItem(dialog, kThemeComboId);
  LRESULT at = SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Wide(name).c_str()));
  ASSERT_GE(at, 0) << name;
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
  SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(kThemeComboId, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

int FieldId(const std::string& key) {
  const auto& fields = ConfigFields();
  for (size_t i = 0; i < fields.size(); ++i)
    if (fields[i].key == key) return 2000 + static_cast<int>(i);
  return -1;
}

TEST(SettingsDialogE2E, ColourThemesAreSavedLoadedAndDeletedAndOnlyOkAppliesThem) {
  BaseFolder base;
  // The two shipped themes: the light one is the defaults.
  ColourSet light = ReadColourKeys(base.File("color_theme\\Light.col"), {});
  EXPECT_EQ(light, DefaultColourSet({0xFFFFFF, 0xD77800}));
  EXPECT_EQ(ReadColourKeys(base.File("color_theme\\Dark.col"), {}).Get("ItemListColor", "BackColor"), 0x202020u);
  const std::string layout = base.File("Velmarook2.ini");
  const std::string theme = base.File("color_theme\\" + Jp("ソフト青") + ".col");
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND list = FindControl(main, 1001);
  ASSERT_TRUE(list);
  ASSERT_TRUE(WaitFor([&] { return BackgroundPixel(list) == RGB(255, 255, 255); }));

  HWND dialog = OpenSettings(program, main);
  ASSERT_TRUE(dialog);
  HWND combo = GetDlgItem(dialog, kThemeComboId);
  SetText(combo, "CON");
  PressButton(dialog, kThemeSaveId);
  ASSERT_TRUE(Answer(program, Jp("カラーテーマ名に使用できない文字が含まれているか、使用できない文字列です。"), IDOK));
  // (A path naming the device CON always "exists": the folder's listing tells.)
  EXPECT_EQ(ListColourThemes(base.File("color_theme")), (std::vector<std::string>{"Dark", "Light"}));

  SetText(combo, Jp("ソフト青"));
  PressButton(dialog, kThemeSaveId);
  ASSERT_TRUE(Answer(program, Jp("カラーテーマを保存します。\nよろしいですか？"), IDOK));
  ASSERT_TRUE(WaitFor([&] { return FileExists(theme); }));
  for (const ColourKey& k : ColourKeys()) EXPECT_EQ(ProfileText(k.section, k.key, "", theme).size(), 7u) << k.key;
  for (const char* option : {"RuleMarkType", "RuleMarkTypeH", "CursorType", "SelLineUseSysColor"})
    EXPECT_NE(ProfileText("ItemListColor", option, "", theme), "") << option;
  EXPECT_EQ(ProfileText("ItemListColor", "BackColor", "", theme), "#FFFFFF");

  // Loaded and cancelled: the layout file and the list stay as they were.
  const bool layoutExisted = FileExists(layout);
  const std::string layoutBefore = layoutExisted ? ReadWholeFile(layout) : "";
  LoadTheme(dialog, "Dark");
  EXPECT_EQ(Text(GetDlgItem(dialog, kColourButtonFirstId + kListBackIndex)), "#202020");
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(FileExists(layout), layoutExisted);
  if (layoutExisted) {
    EXPECT_EQ(ReadWholeFile(layout), layoutBefore);
  }
  Sleep(300);
  EXPECT_EQ(BackgroundPixel(list), RGB(255, 255, 255));

  // Loaded and confirmed: the list takes the colour, the layout file the keys.
  dialog = OpenSettings(program, main);
  ASSERT_TRUE(dialog);
  LoadTheme(dialog, "Dark");
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(ProfileText("ItemListColor", "BackColor", "", layout), "#202020");
  EXPECT_EQ(ProfileText("ItemListFont", "NormalColor", "", layout), "#DCDCDC");
  EXPECT_TRUE(WaitFor([&] { return BackgroundPixel(list) == RGB(0x20, 0x20, 0x20); }));

  // Deleted: the file goes.
  dialog = OpenSettings(program, main);
  ASSERT_TRUE(dialog);
  SetText(GetDlgItem(dialog, kThemeComboId), Jp("ソフト青"));
  PressButton(dialog, kThemeDeleteId);
  ASSERT_TRUE(Answer(program, Jp("保存されているカラーテーマ ソフト青 を削除します。\nよろしいですか？"), IDOK));
  EXPECT_TRUE(WaitFor([&] { return !FileExists(theme); }));
  EXPECT_TRUE(FileExists(base.File("color_theme\\Dark.col")));
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_TRUE(program.Close());
}

int FieldIdOf(const std::string& section, const std::string& key) {
  const auto& fields = ConfigFields();
  for (size_t i = 0; i < fields.size(); ++i)
    if (fields[i].section == section && fields[i].key == key) return 2000 + static_cast<int>(i);
  return -1;
}

// The common font dialog of the process (the one with a size box).
HWND FontDialog(RunningProgram& program) {
  for (int i = 0; i < 100; ++i) {
    for (HWND window : WindowsOfProcess(program.ProcessId(), "#32770"))
      if (IsWindowVisible(window) && GetDlgItem(window, 1138)) return window;
    Sleep(100);
  }
  return nullptr;
}

TEST(SettingsDialogE2E, TheItemListFontChosenInTheFontDialogIsWrittenAndKept) {
  BaseFolder base;
  const std::string settings = base.File("Velmarook2.ini");
  const int fontButton = FieldIdOf("ItemListFont", "Normal");
  ASSERT_GT(fontButton, 0);
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND dialog = OpenSettings(program, main);
  ASSERT_TRUE(dialog);
  HWND description = GetDlgItem(dialog, 4000 + (fontButton - 2000));
  const std::string described = Text(description);
  EXPECT_NE(described.find("15"), std::string::npos) << described;
  PressButton(dialog, fontButton);
  HWND fonts = FontDialog(program);
  ASSERT_TRUE(fonts);
  // The size chosen from the dialog's list, as a click does.
  HWND sizes = GetDlgItem(fonts, 1138);
  LRESULT at = SendMessageW(sizes, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(L"20"));
  ASSERT_GE(at, 0);
  SendMessageW(sizes, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
  SendMessageW(fonts, WM_COMMAND, MAKEWPARAM(1138, CBN_SELCHANGE), reinterpret_cast<LPARAM>(sizes));
  PressButton(fonts, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(fonts); }));
  EXPECT_NE(Text(description), described);
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  const int height = ReadProfileInt("ItemListFont", "NormalHeight", 0, settings);
  EXPECT_LT(height, -15) << "a 20-point font is taller than the default";
  EXPECT_TRUE(program.Close());
  EXPECT_EQ(ReadProfileInt("ItemListFont", "NormalHeight", 0, settings), height);
}

// Which page of the settings dialog shows: the page whose first control is visible.
std::string ShownSettingsPage(HWND dialog) {
  const auto& fields = ConfigFields();
  for (int page = 0; page < kConfigPageCount; ++page) {
    int id = kThemeComboId;  // the colour page has no fields of the table
    for (size_t i = 0; i < fields.size(); ++i)
      if (fields[i].page == page) {
        id = 2000 + static_cast<int>(i);
        break;
      }
    if (IsWindowVisible(GetDlgItem(dialog, id))) return std::to_string(page);
  }
  return "none";
}

// What the joystick dialog shows of a slot: the texts of its assignment boxes.
std::string ShownPadSlot(HWND dialog) {
  std::string shown;
  for (int pair = 0; pair < kPadPairCount; ++pair) shown += Text(GetDlgItem(dialog, 2350 + pair)) + "|";
  return shown;
}

struct TabbedDialog {
  const char* name;
  int command;
  const char* caption;  // UTF-8
  int tabsId;
  const char* joyFile;  // Velmarook2_Joy.ini, or null
  std::string (*shown)(HWND dialog);
};

const TabbedDialog kTabbedDialogs[] = {
    {"settings", kCmdSettings, "全体設定", 1100, nullptr, ShownSettingsPage},
    // Slot 1 assigns a direction and a button, slot 2 nothing: the boxes tell the slots apart.
    {"joystick", kCmdJoystick, "ジョイスティック設定", 2301,
     "[JoyStick]\r\nenable=0\r\n[JoyStick0]\r\nsid=0\r\ndown_type=2\r\ndown_val=65535\r\n"
     "enter_type=128\r\nenter_val=1\r\n",
     ShownPadSlot},
};

void PressCtrlTab(bool shift) {
  keybd_event(VK_CONTROL, 0, 0, 0);
  if (shift) keybd_event(VK_SHIFT, 0, 0, 0);
  keybd_event(VK_TAB, 0, 0, 0);
  keybd_event(VK_TAB, 0, KEYEVENTF_KEYUP, 0);
  if (shift) keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
  keybd_event(VK_CONTROL, 0, KEYEVENTF_KEYUP, 0);
}

// Ctrl+Tab and Ctrl+Shift+Tab step every tabbed dialog through all its pages, wrapping
// at both ends, and each step shows the page's own controls, not only the tab.
TEST(SettingsDialogE2E, CtrlTabStepsThroughThePagesOfEveryTabbedDialog) {
  for (const TabbedDialog& tabbed : kTabbedDialogs) {
    SCOPED_TRACE(tabbed.name);
    BaseFolder base;
    if (tabbed.joyFile) WriteWholeFile(base.File("Velmarook2_Joy.ini"), tabbed.joyFile);
    RunningProgram program(base.Path(), "-nosplash");
    HWND main = program.WaitUntilReady();
    ASSERT_TRUE(main);
    HWND dialog = nullptr;
    for (int attempt = 0; attempt < 5 && !dialog; ++attempt) {
      PostMessageA(main, WM_COMMAND, static_cast<WPARAM>(tabbed.command), 0);
      dialog = program.WaitForWindow("NORMALDLG", Jp(tabbed.caption), 6000);
    }
    ASSERT_TRUE(dialog);
    HWND tabs = GetDlgItem(dialog, tabbed.tabsId);
    auto page = [&] { return static_cast<int>(SendMessageA(tabs, TCM_GETCURSEL, 0, 0)); };
    const int count = static_cast<int>(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0));
    ASSERT_GE(count, 2);
    ASSERT_EQ(page(), 0);
    std::vector<std::string> shown{tabbed.shown(dialog)};
    // Each step: the dialog brought to the front and Ctrl+Tab pressed, again
    // only when the page has not moved within two seconds (the start-up or
    // the main window can take the keyboard back meanwhile). A press that
    // never steps still fails, and a step too far lands on the wrong page.
    auto step = [&](bool back, int expected) {
      const int from = page();
      for (int press = 0; press < 3 && page() == from; ++press) {
        WaitFor([&] {
          if (GetForegroundWindow() != dialog) SetForegroundWindow(dialog);
          return GetForegroundWindow() == dialog;
        }, 2000);
        PressCtrlTab(back);
        WaitFor([&] { return page() != from; }, 2000);
      }
      return page() == expected;
    };
    ASSERT_TRUE(step(false, 1)) << "forwards to page 1";
    shown.push_back(tabbed.shown(dialog));
    EXPECT_NE(shown[1], shown[0]) << "the tab moved but the page stayed";
    for (int next = 2; next <= count; ++next) {
      ASSERT_TRUE(step(false, next % count)) << "forwards to page " << next % count;
      if (next < count) shown.push_back(tabbed.shown(dialog));
    }
    EXPECT_EQ(tabbed.shown(dialog), shown[0]) << "forwards past the last page";
    ASSERT_TRUE(step(true, count - 1)) << "backwards past the first page";
    EXPECT_EQ(tabbed.shown(dialog), shown[static_cast<size_t>(count - 1)]);
    ASSERT_TRUE(step(true, count - 2));
    EXPECT_EQ(tabbed.shown(dialog), shown[static_cast<size_t>(count - 2)]);
    PressButton(dialog, IDCANCEL);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(program.Close());
  }
}

int HeaderColumns(HWND list) {
  HWND header = reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0));
  return static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
}

TEST(SettingsDialogE2E, AColumnShownInTheDialogAppearsAtOnceAndAfterARestart) {
  BaseFolder base;
  const std::string settings = base.File("Velmarook2.ini");
  const int showDeveloper = FieldId("clm_disp08");
  const int delay = FieldId("infoDelay");
  ASSERT_GT(showDeveloper, 0);
  {
    RunningProgram program(base.Path(), "-nosplash");
    HWND main = program.WaitUntilReady();
    ASSERT_TRUE(main);
    HWND list = FindControl(main, 1001);
    EXPECT_EQ(HeaderColumns(list), 7);
    HWND dialog = OpenSettings(program, main);
    ASSERT_TRUE(dialog);
    // A value out of range is refused with the field named; the dialog stays with the values.
    SetText(GetDlgItem(dialog, delay), "20000");
    SendMessageA(GetDlgItem(dialog, showDeveloper), BM_SETCHECK, BST_CHECKED, 0);
    PressButton(dialog, IDOK);
    HWND refusal = program.WaitForWindow("#32770", Jp("中止"));
    ASSERT_TRUE(refusal);
    EXPECT_NE(MessageBoxText(refusal).find(Jp("情報欄の追従待ち時間")), std::string::npos);
    PressButton(refusal, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(refusal); }));
    EXPECT_TRUE(IsWindow(dialog));
    EXPECT_EQ(HeaderColumns(list), 7);
    SetText(GetDlgItem(dialog, delay), "250");
    PressButton(dialog, IDOK);
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
    EXPECT_TRUE(WaitFor([&] { return HeaderColumns(list) == 8; }));
    EXPECT_EQ(ReadProfileInt("ItemList", "clm_disp08", 0, settings), 1);
    EXPECT_EQ(ReadProfileInt("ItemList", "infoDelay", 0, settings), 250);
    EXPECT_TRUE(program.Close());
  }
  EXPECT_EQ(ReadProfileInt("ItemList", "clm_disp08", 0, settings), 1);
  EXPECT_EQ(ReadProfileInt("ItemList", "infoDelay", 0, settings), 250);
  RunningProgram again(base.Path(), "-nosplash");
  HWND main = again.WaitUntilReady();
  ASSERT_TRUE(main);
  EXPECT_EQ(HeaderColumns(FindControl(main, 1001)), 8);
  EXPECT_TRUE(again.Close());
}

// How many pixels of the window's area on the screen have the colour.
int PixelsOfColour(HWND window, COLORREF colour) {
  RECT area{};
  GetWindowRect(window, &area);
  int width = area.right - area.left, height = area.bottom - area.top;
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<unsigned char> pixels(static_cast<size_t>(width) * height * 4);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, old);
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(height), pixels.data(), &info, DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  int count = 0;
  for (size_t i = 0; i + 3 < pixels.size(); i += 4)
    if (RGB(pixels[i + 2], pixels[i + 1], pixels[i]) == colour) ++count;
  return count;
}

// The colours of each 16-pixel cell of a button strip, most frequent first,
// the mask colour left out.
std::vector<std::vector<COLORREF>> StripColours(const std::string& path) {
  std::vector<std::vector<COLORREF>> cells;
  HBITMAP strip = static_cast<HBITMAP>(LoadImageA(nullptr, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
  if (!strip) return cells;
  BITMAP shape{};
  GetObjectA(strip, sizeof shape, &shape);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = shape.bmWidth;
  info.bmiHeader.biHeight = -shape.bmHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  std::vector<unsigned char> pixels(static_cast<size_t>(shape.bmWidth) * shape.bmHeight * 4);
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, strip, 0, static_cast<UINT>(shape.bmHeight), pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  DeleteObject(strip);
  for (int cell = 0; cell < shape.bmWidth / 16; ++cell) {
    std::map<COLORREF, int> counts;
    for (int y = 0; y < shape.bmHeight; ++y)
      for (int x = cell * 16; x < cell * 16 + 16; ++x) {
        const unsigned char* p = &pixels[(static_cast<size_t>(y) * shape.bmWidth + x) * 4];
        COLORREF colour = RGB(p[2], p[1], p[0]);
        if (colour != RGB(255, 0, 255)) ++counts[colour];
      }
    std::vector<COLORREF> colours;
    for (const auto& [colour, count] : counts) colours.push_back(colour);
    std::stable_sort(colours.begin(), colours.end(), [&](COLORREF a, COLORREF b) { return counts[a] > counts[b]; });
    cells.push_back(colours);
  }
  return cells;
}

bool IsGrey(COLORREF c) { return GetRValue(c) == GetGValue(c) && GetGValue(c) == GetBValue(c); }

// The toolbars show the pictures of their strips: the launch, media and add
// images buttons in colour (not a grey stand-in), the history arrows greyed at
// start (nothing to go back to), and never the mask colour.
TEST(ToolbarGlyphsE2E, TheToolbarsShowTheirGlyphs) {
  BaseFolder base;
  auto toolbar = StripColours(base.File("resource\\toolbar.bmp"));
  auto history = StripColours(base.File("resource\\HistBar.bmp"));
  ASSERT_EQ(toolbar.size(), 7u);
  ASSERT_EQ(history.size(), 4u);
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  HWND rebar = FindControl(main, 80);
  ASSERT_TRUE(rebar);
  Sleep(500);
  for (auto [cell, name] : {std::pair{0, "launch"}, {3, "media"}, {6, "add images"}}) {
    ASSERT_GE(toolbar[cell].size(), 4u) << name;
    // The picture has colours of its own, the most frequent not grey.
    EXPECT_FALSE(IsGrey(toolbar[cell][0])) << name;
    EXPECT_GT(PixelsOfColour(rebar, toolbar[cell][0]), 8) << name;
  }
  ASSERT_FALSE(history[0].empty());
  EXPECT_TRUE(IsGrey(history[0][0]));
  EXPECT_GT(PixelsOfColour(rebar, history[0][0]), 8) << "history arrows, unavailable";
  // The available arrow's own colour (one no other button has) does not show.
  for (COLORREF colour : history[2]) {
    bool elsewhere = false;
    for (const auto& cell : toolbar) elsewhere = elsewhere || std::find(cell.begin(), cell.end(), colour) != cell.end();
    for (int other : {0, 1}) elsewhere = elsewhere || std::find(history[other].begin(), history[other].end(), colour) != history[other].end();
    if (elsewhere || IsGrey(colour)) continue;
    EXPECT_EQ(PixelsOfColour(rebar, colour), 0) << "history arrows, available";
    break;
  }
  EXPECT_EQ(PixelsOfColour(rebar, RGB(255, 0, 255)), 0) << "the mask colour never shows";
  EXPECT_TRUE(program.Close());
}

// The favourite colours of a theme loaded on the colour page show in the item
// list's markers and the information pane's boxes once OK is pressed; a
// theme loaded and then cancelled changes nothing.
TEST(SettingsDialogE2E, ALoadedThemesFavouriteColoursShowAfterOkOnly) {
  BaseFolder base;
  WriteWholeFile(base.File("color_theme\\Marks.col"), "[FavoriteIgctrBGColor]\r\n0=#00C000\r\n1=#00C000\r\n");
  const COLORREF green = RGB(0, 192, 0);
  RunningProgram program(base.Path(), "-nosplash");
  HWND main = program.WaitUntilReady();
  ASSERT_TRUE(main);
  {
    LibraryConnection db;
    db.Open(base.File("Velmarook.db"), "");
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name,title,machine_name) VALUES('C:\\a.d88','Alpha','X68');"
                          "INSERT INTO favorite_table(pfile_fv,fave) VALUES('C:\\a.d88','1');"));
  }
  HWND list = FindControl(main, 1001), pane = FindControl(main, 1002);
  ASSERT_TRUE(list && pane);
  SearchInBox(main, "SELECT * FROM list_view ORDER BY title;", 9);
  ASSERT_TRUE(WaitFor([&] { return SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) == 1; }));
  auto shown = [&](HWND window) {
    SetForegroundWindow(main);
    Sleep(1500);  // the pane follows the selection on its pacing timer
    RedrawWindow(main, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    Sleep(300);
    return PixelsOfColour(window, green);
  };
  EXPECT_EQ(shown(list), 0);
  EXPECT_EQ(shown(pane), 0);

  HWND dialog = OpenSettings(program, main);
  ASSERT_TRUE(dialog);
  LoadTheme(dialog, "Marks");
  PressButton(dialog, IDCANCEL);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  EXPECT_EQ(shown(list), 0) << "cancelled";
  EXPECT_EQ(shown(pane), 0) << "cancelled";

  dialog = OpenSettings(program, main);
  ASSERT_TRUE(dialog);
  LoadTheme(dialog, "Marks");
  PressButton(dialog, IDOK);
  ASSERT_TRUE(WaitFor([&] { return !IsWindow(dialog); }));
  // A loaded machine may take a while to draw both anew.
  EXPECT_TRUE(WaitFor([&] { return shown(list) >= 30; })) << "the list's marker: " << shown(list);
  EXPECT_TRUE(WaitFor([&] { return shown(pane) >= 60; })) << "the pane's box: " << shown(pane);
  EXPECT_EQ(ProfileText("FavoriteIgctrBGColor", "1", "", base.File("Velmarook2.ini")), "#00C000");
  EXPECT_TRUE(program.Close());
}

}  // namespace
}  // namespace vel::test
