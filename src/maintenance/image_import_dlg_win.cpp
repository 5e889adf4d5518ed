// DirAddDlg with its pages DirAdd1Dlg and DirAdd2Dlg, and DirAddProcDlg.
#include "maintenance/image_import_dlg_win.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "core/app_state_win.h"
#include "core/cp932_text.h"
#include "core/dialog_window_win.h"
#include "core/shell_services_win.h"
#include "editing/release_date.h"
#include "maintenance/crc_library_win.h"
#include "maintenance/image_sets.h"
#include "maintenance/import_options.h"
#include "maintenance/import_rules.h"
#include "maintenance/import_run_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {
namespace {

enum : int {
  // bottom row
  kStartId = 3001,
  kHelpId = 3003,
  kOverwriteId = 3040,
  kKeepFavouritesId = 3041,
  kTabId = 3050,
  // page 1
  kPathId = 3101,
  kBrowseId,
  kSubFoldersId,
  kArchivesId,
  kTitleRuleId,
  kMakerRuleId,
  kVersionRuleId,
  kMachineId,
  kExtensionLineId,
  kMediaId,
  kGenreId,
  kAdultId,
  kYearId,
  kYearFromPathId,
  kCountryMarksId,
  kCountryFromPathId,
  kDefaultCountryId,
  kStripBracketsId,
  // page 2
  kArchiveSetsId = 3201,
  kMemberInTitleId,
  kFolderSetsId,
  kCrc32Id,
  kCrc16Id,
  kCrcStartId,
  kCrcLengthId,
};

struct ImportDialog {
  AppState* app = nullptr;
  HWND dialog = nullptr;
  HWND tab = nullptr;
  HWND pages[2] = {};
  bool settingsLoaded = false;  // only what was read is written back
  bool noSearchExtensions = false;  // the chosen machine has none (the import is refused)
};

HWND Page(ImportDialog& d, int id) { return id >= kArchiveSetsId ? d.pages[1] : d.pages[0]; }
HWND Item(ImportDialog& d, int id) {
  return id >= kPathId ? GetDlgItem(Page(d, id), id) : GetDlgItem(d.dialog, id);
}
bool Ticked(ImportDialog& d, int id) { return SendMessageA(Item(d, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Tick(ImportDialog& d, int id, int on) {
  SendMessageA(Item(d, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}
int Selection(ImportDialog& d, int id) {
  return static_cast<int>(SendMessageA(Item(d, id), CB_GETCURSEL, 0, 0));
}
std::string Text(ImportDialog& d, int id) { return WindowText(Item(d, id)); }
std::string ListText(ImportDialog& d, int id) { return ChosenComboEntry(Item(d, id)); }

void AddStrings(HWND list, const std::vector<std::string>& items) {
  for (const std::string& item : items) SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

HWND Check(HWND page, int id, const char* label, int x, int y, int width) {
  return AddControl(page, "BUTTON", Jp(label), BS_AUTOCHECKBOX | WS_TABSTOP, x, y, width, 20, id);
}
HWND Label(HWND page, const char* label, int x, int y, int width) {
  return AddControl(page, "STATIC", Jp(label), SS_LEFT, x, y, width, 20, -1);
}
HWND Group(HWND page, const char* label, int x, int y, int width, int height) {
  return AddControl(page, "BUTTON", Jp(label), BS_GROUPBOX, x, y, width, height, -1);
}
HWND List(HWND page, int id, int x, int y, int width) {
  return AddControl(page, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, x, y, width, 240, id);
}
HWND Edit(HWND page, int id, const std::string& text, DWORD style, int x, int y, int width, int limit) {
  HWND edit = AddControl(page, "EDIT", text, WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP | style, x, y, width, 22, id);
  SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
  return edit;
}

void BuildFirstPage(HWND page) {
  Group(page, "イメージファイル（ROMやDISK）、または検索するフォルダ", 8, 4, 528, 84);
  Edit(page, kPathId, "", 0, 16, 26, 466, static_cast<int>(kDirAddTextCapacity[kTextPath]) - 1);
  AddControl(page, "BUTTON", ". .", BS_PUSHBUTTON | WS_TABSTOP, 488, 26, 40, 22, kBrowseId);
  Check(page, kSubFoldersId, "サブディレクトリも検索する", 16, 56, 240);
  Check(page, kArchivesId, "アーカイブされたイメージも検索する", 264, 56, 264);
  Group(page, "データベースへ格納する項目名", 8, 92, 528, 200);
  Label(page, "タイトル", 16, 114, 80);
  List(page, kTitleRuleId, 100, 110, 428);
  Label(page, "メーカー", 16, 142, 80);
  List(page, kMakerRuleId, 100, 138, 428);
  Label(page, "バージョン", 16, 170, 80);
  List(page, kVersionRuleId, 100, 166, 428);
  Label(page, "機種 （検索する拡張子にも影響します）", 16, 198, 230);
  List(page, kMachineId, 250, 194, 278);
  AddControl(page, "STATIC", "", SS_LEFT, 250, 222, 278, 20, kExtensionLineId);
  Label(page, "メディアタイプ", 16, 252, 84);
  List(page, kMediaId, 100, 248, 170);
  Label(page, "ジャンル", 284, 252, 60);
  List(page, kGenreId, 350, 248, 178);
  Group(page, "R指定", 8, 296, 160, 50);
  Check(page, kAdultId, "R指定に設定する", 16, 318, 144);
  Group(page, "発売年", 176, 296, 360, 50);
  Edit(page, kYearId, "", ES_NUMBER, 184, 316, 56, 4);
  Check(page, kYearFromPathId, "ファイルパスに年号らしき数字4ケタが見つかれば発売年とする", 246, 318, 284);
  Group(page, "国", 8, 350, 528, 118);
  Edit(page, kCountryMarksId, "", 0, 16, 370, 320, static_cast<int>(kDirAddTextCapacity[kTextCountryMarks]) - 1);
  Label(page, "（  ; 区切りで複数指定可 ）", 342, 374, 186);
  Check(page, kCountryFromPathId,
        "ファイルパスに上記文字列が見つかれば国情報として格納する（チェックOFFで文字列全てを国情報として格納）", 16, 398, 512);
  Check(page, kDefaultCountryId,
        "見つからない場合、上記1番目の文字列をデフォルト国情報とする（チェックOFFで国を指定しない）", 16, 420, 512);
  Check(page, kStripBracketsId, "格納する際は ( ) [ ] を除去する", 16, 442, 512);
}

void BuildSecondPage(HWND page) {
  Group(page, "自動複数枚組イメージ（Disk1,Disk2など）", 8, 4, 528, 98);
  Check(page, kArchiveSetsId, "アーカイブ内の複数イメージを、同じタイトルの複数枚組イメージにする", 16, 26, 512);
  Check(page, kMemberInTitleId, "タイトルに[拡張子]---[内部ファイル名]を付加する", 36, 50, 492);
  Check(page, kFolderSetsId, "同じフォルダ内にある非アーカイブのイメージを、同じタイトルの複数枚組イメージにする", 16, 74, 512);
  Group(page,
        "ファイルCRC （ZIP,RAR,7zのCRC32以外はチェックを外すと取り込み速度が上がります。CRCは取り込み後も再計算できます。）",
        8, 110, 528, 130);
  Check(page, kCrc32Id, "CRC32を計算する", 16, 148, 180);
  Check(page, kCrc16Id, "CRC16を計算する", 204, 148, 180);
  Label(page, "開始位置", 16, 182, 64);
  Edit(page, kCrcStartId, "0", ES_NUMBER, 84, 178, 90, 10);
  Label(page, "バイト目から", 180, 182, 84);
  Edit(page, kCrcLengthId, "0", ES_NUMBER, 268, 178, 90, 10);
  Label(page, "バイト（長）", 364, 182, 90);
  Label(page, "※ 0 でファイル全てを対象に計算します", 16, 210, 400);
}

void UpdateDependentControls(ImportDialog& d) {
  EnableWindow(Item(d, kKeepFavouritesId), Ticked(d, kOverwriteId));
  EnableWindow(Item(d, kMemberInTitleId), Ticked(d, kArchiveSetsId));
  bool crc = Ticked(d, kCrc32Id) || Ticked(d, kCrc16Id);
  EnableWindow(Item(d, kCrcStartId), crc);
  EnableWindow(Item(d, kCrcLengthId), crc);
}

void ReportQueryFailure(ImportDialog& d, const char* text, const std::string& error) {
  ShowMessage(Jp(text) + Utf8ToAnsi(error), Jp("DBエラー"), kMbOk | kMbIconError, d.dialog);
}

void OnMachineChange(ImportDialog& d) {
  AppState& app = *d.app;
  std::string machine = ListText(d, kMachineId);
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  std::string extensions;
  d.noSearchExtensions = false;
  if (auto error = db.Query("SELECT default_media, search_ext FROM machine_info_table WHERE machine='" +
                            Quote(machine) + "' ;")) {
    ReportQueryFailure(d, "機種管理テーブルを参照できませんでした。\n", *error);
  } else if (db.RowCount() >= 1) {
    std::string media = db.Cell(1, 0);
    extensions = db.Cell(1, 1);
    HWND list = Item(d, kMediaId);
    LRESULT at = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                              reinterpret_cast<LPARAM>(media.c_str()));
    if (!media.empty() && at != CB_ERR) SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(at), 0);
  }
  SetWindowTextA(Item(d, kExtensionLineId), SearchExtensionLine(extensions).c_str());
  d.noSearchExtensions = db.RowCount() >= 1 && ParseSearchExtensions(extensions).empty();
}

// Fills the lists; false when a list could not be read (the stored settings are then not loaded).
bool FillLists(ImportDialog& d) {
  const char* titles[] = {"ファイル名をタイトルとする", "ファイル名の ( , [ より前をタイトルとする",
                          "+-- 更に先頭の数値記号は除去する", "ファイルの親フォルダ名をタイトルとする",
                          "+-- 更に ( , [ より前をタイトルとする"};
  const char* makers[] = {"指定しない", "ファイルの親フォルダ名をメーカーとする",
                          "ファイルの2つ上のフォルダ名をメーカーとする"};
  const char* versions[] = {"指定しない", "ファイル名の ( , [ 以降をバーションとする",
                            "+-- 更に下記国指定と年号らしきは除去", "ファイルの親フォルダ名の ( , [ 以降"};
  auto fill = [&d](int id, auto& texts) {
    for (const char* t : texts) SendMessageA(Item(d, id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Jp(t).c_str()));
    SendMessageA(Item(d, id), CB_SETCURSEL, 0, 0);
  };
  fill(kTitleRuleId, titles);
  fill(kMakerRuleId, makers);
  fill(kVersionRuleId, versions);
  LibraryConnection db;
  db.Open(d.app->databasePath, d.app->regexExtensionPath);
  struct Source {
    int id;
    const char* sql;
    const char* failure;
    bool none;
  } sources[] = {
      {kMachineId, "SELECT machine FROM machine_info_table ORDER BY machine_num;",
       "機種管理テーブルを参照できませんでした\n", false},
      {kMediaId, "SELECT media FROM media_info_table ORDER BY media_num;",
       "メディア管理テーブルを参照できませんでした\n", true},
      {kGenreId, "SELECT genre FROM genre_info_table ORDER BY genre_num;",
       "ジャンル管理テーブルを参照できませんでした\n", true},
  };
  for (const Source& s : sources) {
    if (auto error = db.Query(s.sql)) {
      ReportQueryFailure(d, s.failure, *error);
      return false;
    }
    std::vector<std::string> items;
    if (s.none) items.push_back(Jp("指定なし"));
    for (int r = 1; r <= db.RowCount(); ++r) items.push_back(db.Cell(r, 0));
    AddStrings(Item(d, s.id), items);
    SendMessageA(Item(d, s.id), CB_SETCURSEL, 0, 0);
  }
  return true;
}

void LoadSettings(ImportDialog& d) {
  ImportDialogSettings s = ReadImportDialogSettings(d.app->paths.settingsFile);
  Tick(d, kSubFoldersId, s.searchSubDir);
  Tick(d, kArchivesId, s.searchArcImg);
  Tick(d, kCountryFromPathId, s.cCheck1);
  Tick(d, kDefaultCountryId, s.cCheck2);
  Tick(d, kStripBracketsId, s.cCheck3);
  SetWindowTextA(Item(d, kCountryMarksId), s.countryMarks.c_str());
  Tick(d, kArchiveSetsId, s.autoArcGroup);
  Tick(d, kMemberInTitleId, s.addTitleArc);
  Tick(d, kFolderSetsId, s.autoDirGroup);
  Tick(d, kCrc32Id, s.calcCrc32);
  Tick(d, kCrc16Id, s.calcCrc16);
  d.settingsLoaded = true;
}

void SaveSettings(ImportDialog& d) {
  if (!d.settingsLoaded) return;
  ImportDialogSettings s;
  s.searchSubDir = Ticked(d, kSubFoldersId);
  s.searchArcImg = Ticked(d, kArchivesId);
  s.cCheck1 = Ticked(d, kCountryFromPathId);
  s.cCheck2 = Ticked(d, kDefaultCountryId);
  s.cCheck3 = Ticked(d, kStripBracketsId);
  s.countryMarks = Text(d, kCountryMarksId);
  s.autoArcGroup = Ticked(d, kArchiveSetsId);
  s.addTitleArc = Ticked(d, kMemberInTitleId);
  s.autoDirGroup = Ticked(d, kFolderSetsId);
  s.calcCrc32 = Ticked(d, kCrc32Id);
  s.calcCrc16 = Ticked(d, kCrc16Id);
  if (!WriteImportDialogSettings(s, d.app->paths.settingsFile))
    ShowMessage(Jp("設定を保存できませんでした。\n") + d.app->paths.settingsFile, Jp("エラー"),
                kMbOk | kMbIconError, d.dialog);
}

DirAddOptions CollectOptions(ImportDialog& d) {
  DirAddOptions o;
  auto& n = o.integers;
  n[kSlotSearchSubFolders] = Ticked(d, kSubFoldersId);
  n[kSlotSearchArchives] = Ticked(d, kArchivesId);
  n[kSlotTitleRule] = Selection(d, kTitleRuleId);
  n[kSlotMakerRule] = Selection(d, kMakerRuleId);
  n[kSlotVersionRule] = Selection(d, kVersionRuleId);
  n[kSlotAdult] = Ticked(d, kAdultId);
  n[kSlotYearFromPath] = Ticked(d, kYearFromPathId);
  n[kSlotCountryFromPath] = Ticked(d, kCountryFromPathId);
  n[kSlotDefaultCountry] = Ticked(d, kDefaultCountryId);
  n[kSlotStripCountryBrackets] = Ticked(d, kStripBracketsId);
  n[kSlotArchiveSets] = Ticked(d, kArchiveSetsId);
  n[kSlotMemberInTitle] = Ticked(d, kMemberInTitleId);
  n[kSlotFolderSets] = Ticked(d, kFolderSetsId);
  n[kSlotCrc32] = Ticked(d, kCrc32Id);
  n[kSlotCrc16] = Ticked(d, kCrc16Id);
  n[kSlotOverwrite] = Ticked(d, kOverwriteId);
  n[kSlotKeepFavourites] = Ticked(d, kKeepFavouritesId);
  o.texts[kTextPath] = Text(d, kPathId);
  o.texts[kTextMachine] = ListText(d, kMachineId);
  // "指定なし" (the first entry) is sent as no value.
  if (Selection(d, kMediaId) >= 1) o.texts[kTextMedia] = ListText(d, kMediaId);
  if (Selection(d, kGenreId) >= 1) o.texts[kTextGenre] = ListText(d, kGenreId);
  o.texts[kTextYear] = Text(d, kYearId);
  o.texts[kTextCountryMarks] = Text(d, kCountryMarksId);
  // Start has refused what these boxes cannot carry.
  o.numbers[0] = CrcNumberFromBox(Text(d, kCrcStartId)).value_or(0);
  o.numbers[1] = CrcNumberFromBox(Text(d, kCrcLengthId)).value_or(0);
  return o;
}

void Browse(ImportDialog& d) {
  AppState& app = *d.app;
  std::string start = Text(d, kPathId);
  if (start.empty()) start = SettingText(app.settings, "FolderPath", "RomDiskImage");
  std::string chosen = PickFolderOrFile({Jp("フォルダまたはファイルの選択"), start}, d.dialog);
  if (chosen.empty()) return;
  while (chosen.size() > 3 && EndsWithSeparator(chosen)) chosen.pop_back();
  SetWindowTextA(Item(d, kPathId), chosen.c_str());
  SetSetting(app.settings, "FolderPath", "RomDiskImage", chosen);
}

void Start(ImportDialog& d) {
  AppState& app = *d.app;
  std::string path = Text(d, kPathId);
  if (path.empty()) {
    ShowMessage(Jp("イメージファイルまたはフォルダを指定してください。"), "", kMbOk | kMbIconInformation, d.dialog);
    return;
  }
  if (d.noSearchExtensions) {
    ShowMessage(EmptySearchExtensionText(ListText(d, kMachineId)), Jp("中止"), kMbOk | kMbIconInformation, d.dialog);
    return;
  }
  std::string question =
      ImportQuestionText(ListText(d, kMachineId), path, Ticked(d, kOverwriteId), Ticked(d, kKeepFavouritesId));
  if (!CrcNumberFromBox(Text(d, kCrcStartId)) || !CrcNumberFromBox(Text(d, kCrcLengthId))) {
    ShowMessage(CrcNumberRefusedText(), "", kMbOk | kMbIconWarning, d.dialog);
    return;
  }
  if (ShowMessage(question, Jp("確認"), kMbYesNo | kMbIconQuestion, d.dialog) != kIdYes) return;
  std::string year = Text(d, kYearId);
  if (!year.empty() && !NormaliseReleaseDate(year)) {
    ShowMessage(Jp("発売日の指定に不備があります。\nyyyy-mm-dd形式で指定してください。\n例) 1980-5-25 ※月以降または日は省略可"),
                "", kMbOk | kMbIconInformation, d.dialog);
    return;
  }
  RunImport(app, d.dialog, CollectOptions(d));
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  RebuildMaxDiskTable(db);
  SetWindowPos(d.dialog, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  SetForegroundWindow(d.dialog);
}

void ShowPage(ImportDialog& d) {
  int selected = TabCtrl_GetCurSel(d.tab);
  ShowWindow(d.pages[0], selected == 0 ? SW_SHOW : SW_HIDE);
  ShowWindow(d.pages[1], selected == 1 ? SW_SHOW : SW_HIDE);
}

void OnControl(ImportDialog& d, int id, int code) {
  switch (id) {
    case kStartId: Start(d); break;
    case IDCANCEL: DestroyWindow(d.dialog); break;
    case kHelpId: OpenHelpTopic(*d.app, d.dialog, "DirAddDlg"); break;
    case kBrowseId: Browse(d); break;
    case kMachineId:
      if (code == CBN_SELCHANGE) OnMachineChange(d);
      break;
    case kOverwriteId:
    case kArchiveSetsId:
    case kCrc32Id:
    case kCrc16Id: UpdateDependentControls(d); break;
  }
}

LRESULT CALLBACK PageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    if (auto* d = DialogData<ImportDialog>(page)) OnControl(*d, LOWORD(wParam), HIWORD(wParam));
    return 0;
  }
  if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN)
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  return DefWindowProcA(page, message, wParam, lParam);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  ImportDialog* d = DialogData<ImportDialog>(dialog);
  switch (message) {
    case WM_COMMAND:
      if (d) OnControl(*d, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      if (d && reinterpret_cast<NMHDR*>(lParam)->code == TCN_SELCHANGE) ShowPage(*d);
      return 0;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return 0;
    case WM_DESTROY:
      if (d) SaveSettings(*d);
      break;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

HWND CreatePage(ImportDialog& d, const RECT& area) {
  HWND page = CreateWindowExA(WS_EX_CONTROLPARENT, kDialogClassName, "", WS_CHILD, area.left, area.top,
                              area.right - area.left, area.bottom - area.top, d.dialog, nullptr,
                              d.app->instance, nullptr);
  SetWindowLongPtrA(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&d));
  SetWindowLongPtrA(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PageProcedure));
  return page;
}

// At least one machine must exist before images can be added.
bool HasMachines(AppState& app, HWND owner) {
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  std::string count = "0";
  if (auto error = db.Query("SELECT COUNT(*) FROM machine_info_table;"))
    ShowMessage(Jp("機種管理レコードを参照できませんでした。\n") + Utf8ToAnsi(*error), Jp("DBエラー"),
                kMbOk | kMbIconError, owner);
  else
    count = db.Cell(1, 0);
  if (count != "0") return true;
  ShowMessage(Jp("イメージを追加するには、最低１つの機種登録が必要です。\n\nメニューの[管理]→[機種]から機種を追加できます。\n"),
              Jp("ファイル追加"), kMbOk | kMbIconInformation, owner);
  return false;
}

}  // namespace

void ShowImageImportDialog(AppState& app) {
  if (!HasMachines(app, app.mainWindow)) return;
  ImportDialog d;
  d.app = &app;
  d.dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp("イメージファイルの追加"), 560, 560,
                                Procedure, &d);
  if (!d.dialog) return;
  SetWindowLongPtrA(d.dialog, GWL_EXSTYLE, GetWindowLongPtrA(d.dialog, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  d.tab = AddControl(d.dialog, WC_TABCONTROLA, "", WS_CLIPSIBLINGS | WS_TABSTOP, 8, 8, 544, 500, kTabId);
  const char* tabs[] = {"基本設定", "高度な設定"};
  for (int i = 0; i < 2; ++i) {
    std::string caption = Jp(tabs[i]);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    TabCtrl_InsertItem(d.tab, i, &item);
  }
  RECT area{8, 8, 552, 508};
  TabCtrl_AdjustRect(d.tab, FALSE, &area);
  d.pages[0] = CreatePage(d, area);
  d.pages[1] = CreatePage(d, area);
  BuildFirstPage(d.pages[0]);
  BuildSecondPage(d.pages[1]);
  AddControl(d.dialog, "BUTTON", Jp("ライブラリ登録済イメージも新しい設定で上書き"), BS_AUTOCHECKBOX | WS_TABSTOP,
             12, 514, 300, 20, kOverwriteId);
  AddControl(d.dialog, "BUTTON", Jp("お気に入りは上書きしない"), BS_AUTOCHECKBOX | WS_TABSTOP, 12, 536, 300,
             20, kKeepFavouritesId);
  AddControl(d.dialog, "BUTTON", Jp("取り込み開始"), BS_DEFPUSHBUTTON | WS_TABSTOP, 318, 520, 96, 30, kStartId);
  AddControl(d.dialog, "BUTTON", Jp("閉じる"), BS_PUSHBUTTON | WS_TABSTOP, 418, 520, 64, 30, IDCANCEL);
  AddControl(d.dialog, "BUTTON", Jp("ヘルプ"), BS_PUSHBUTTON | WS_TABSTOP, 486, 520, 64, 30, kHelpId);
  if (FillLists(d)) {
    LoadSettings(d);
    OnMachineChange(d);
  }
  UpdateDependentControls(d);
  ShowPage(d);
  RunModal(d.dialog, app.mainWindow);
  ShowTitleCount(app);
}

}  // namespace vel
