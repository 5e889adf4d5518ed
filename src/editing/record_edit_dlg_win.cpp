// RecordEditBaseDlg: a tab control over four page windows. The pages only
// hold controls; loading, checking and saving are the record editor's.
#include "editing/record_edit_dlg_win.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "core/focused_item_win.h"
#include "core/settings.h"
#include "db/library_connection.h"
#include "display/snapshot_choice_panel_win.h"
#include "editing/bulk_assignment.h"
#include "editing/record_editor.h"
#include "editing/snapshot_rename.h"
#include "editing/title_reading_win.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "search/field_completion_win.h"

namespace vel {
namespace {

constexpr int kPages = 4;
constexpr int kWidth = 640, kHeight = 520;
constexpr int kPageX = 14, kPageY = 36, kPageWidth = 612, kPageHeight = 430;

struct Editor {
  AppState* app = nullptr;
  std::string key;  // copied at opening: the focus may move meanwhile
  LoadedRecord loaded;
  LibraryConnection db;  // its own: the main connection's result is the item list
  HWND dialog = nullptr;
  HWND tab = nullptr;
  std::array<HWND, kPages> pages{};
  HFONT memoFont = nullptr;
  std::vector<std::string> machines, media, genres, adultex, settings;
  std::map<int, FieldCompleter> completers;  // the fields completed from the library, by control id
  std::unique_ptr<TitleReading> reading;     // null unless the reading follows the title
};

HWND Item(Editor& e, int id) {
  for (HWND page : e.pages)
    if (HWND control = GetDlgItem(page, id)) return control;
  return GetDlgItem(e.dialog, id);
}
std::string Text(Editor& e, int id) { return WindowText(Item(e, id)); }
void SetText(Editor& e, int id, const std::string& text) { SetWindowTextA(Item(e, id), text.c_str()); }
bool Checked(Editor& e, int id) { return SendMessageA(Item(e, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Check(Editor& e, int id, bool on) { SendMessageA(Item(e, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
int Choice(Editor& e, int id) { return static_cast<int>(SendMessageA(Item(e, id), CB_GETCURSEL, 0, 0)); }

void Label(HWND page, const std::string& text, int x, int y, int width) {
  AddControl(page, "STATIC", text, SS_LEFT | SS_NOPREFIX, x, y + 3, width, 18, -1);
}
HWND Edit(HWND page, int id, int x, int y, int width, const std::string& text, DWORD extra = 0) {
  HWND edit = AddControl(page, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP | extra, x, y, width, 22, id);
  // Read whole and refused when too long, never cut by the control.
  SendMessageA(edit, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  SetWindowTextA(edit, text.c_str());
  return edit;
}
// A field completed from the library's values when its setting asks for it
// (an editable list then), otherwise a plain edit.
void CompletedField(Editor& e, HWND page, int id, int x, int y, int width, const std::string& text,
                    const char* column, const char* completionKey) {
  if (SettingInt(e.app->settings, "EditUICheckBoxs", completionKey) != 1) {
    Edit(page, id, x, y, width, text);
    return;
  }
  HWND combo = AddControl(page, "COMBOBOX", "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, x, y, width,
                          300, id);
  SendMessageA(combo, CB_LIMITTEXT, 0, 0);  // read whole and refused when too long
  SetWindowTextA(combo, text.c_str());
  e.completers[id].column = column;
}
HWND TextArea(HWND page, int id, int x, int y, int width, int height, const std::string& text) {
  HWND edit = AddControl(page, "EDIT", "", WS_BORDER | ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL |
                                               WS_TABSTOP, x, y, width, height, id);
  SendMessageA(edit, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  SetWindowTextA(edit, text.c_str());
  return edit;
}
// A list of names with "" (nothing chosen) first; the current value is
// chosen, and kept as an entry of its own when the list lacks it.
HWND ChoiceList(HWND page, int id, int x, int y, int width, std::vector<std::string>& names, const std::string& value) {
  HWND combo = AddControl(page, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, x, y, width, 300, id);
  names.insert(names.begin(), "");
  bool known = false;
  for (const std::string& n : names) known = known || n == value;
  if (!known) names.push_back(value);
  int selected = 0;
  for (size_t i = 0; i < names.size(); ++i) {
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(names[i].c_str()));
    if (names[i] == value) selected = static_cast<int>(i);
  }
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  return combo;
}
std::string Chosen(Editor& e, int id, const std::vector<std::string>& names) {
  int i = Choice(e, id);
  return i >= 0 && i < static_cast<int>(names.size()) ? names[static_cast<size_t>(i)] : "";
}

std::vector<std::string> ListEntries(HWND list) {
  std::vector<std::string> entries;
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  for (int i = 0; i < count; ++i) {
    const int length = static_cast<int>(SendMessageA(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0));
    std::string text(static_cast<size_t>(length < 0 ? 0 : length) + 1, '\0');
    SendMessageA(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<size_t>(length < 0 ? 0 : length));
    entries.push_back(text);
  }
  return entries;
}
void AddEntry(HWND list, const std::string& text) {
  SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

// The emulator settings of the chosen machine. After a change of machine a
// binding the new machine has no configuration of is cleared; the stored
// binding is kept as it is while the machine stays.
void FillEmulatorSettings(Editor& e, const std::string& machine, const std::string& keep, bool keepUnlisted) {
  HWND combo = Item(e, kRecEmulatorSettingId);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  e.settings = EmulatorSettingNames(e.app->paths.base, machine);
  e.settings.insert(e.settings.begin(), "");
  bool listed = false;
  for (const std::string& name : e.settings) listed = listed || name == keep;
  if (!listed && keepUnlisted && !keep.empty()) e.settings.push_back(keep);
  int selected = 0;
  for (size_t i = 0; i < e.settings.size(); ++i) {
    SendMessageA(combo, CB_ADDSTRING, 0,
                 reinterpret_cast<LPARAM>(i == 0 ? Jp("（機種のデフォルト）").c_str() : e.settings[i].c_str()));
    if (i > 0 && e.settings[i] == keep) selected = static_cast<int>(i);
  }
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

static_assert(kRecDetailFirstId - kRecSnapFirstId == kSnapChoiceControls);
constexpr int kFilesPage = 2;  // holds the snapshot choice panel

void BuildMainPage(Editor& e, HWND p, const RecordFields& f) {
  int y = 8;
  Label(p, Jp("ROM/DISKイメージのファイルパス（複数イメージの時は現在の親イメージ）"), 8, y, 590);
  y += 20;
  Edit(p, kRecKeyId, 8, y, 594, e.key, ES_READONLY);
  y += 32;
  Label(p, Jp("タイトル"), 8, y, 130);
  CompletedField(e, p, kRecTitleId, 140, y, 462, f.title, "title", "TitleIncrSrch");
  y += 28;
  Label(p, Jp("読み仮名"), 8, y, 130);
  Edit(p, kRecKanaId, 140, y, 462, f.kana);
  y += 28;
  Label(p, Jp("メーカー"), 8, y, 130);
  CompletedField(e, p, kRecMakerId, 140, y, 462, f.maker, "maker", "MakerIncrSrch");
  y += 28;
  Label(p, Jp("開発元"), 8, y, 130);
  CompletedField(e, p, kRecDeveloperId, 140, y, 462, f.developer, "developer", "DeveloperIncrSrch");
  y += 28;
  Label(p, Jp("バージョン・コメント"), 8, y, 130);
  Edit(p, kRecVersionId, 140, y, 462, f.version);
  y += 28;
  Label(p, Jp("タグ ( ; で区切って複数指定できます）"), 8, y, 300);
  y += 20;
  Edit(p, kRecTagId, 8, y, 400, f.tag);
  HWND tags = AddControl(p, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 414, y, 188, 300, kRecTagListId);
  SendMessageA(tags, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Jp("（既存のタグを追加）").c_str()));
  if (!e.db.Query("SELECT DISTINCT tag FROM main_table WHERE tag != '';"))
    for (int r = 1; r <= e.db.RowCount(); ++r)
      SendMessageA(tags, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.db.Cell(r, 0).c_str()));
  SendMessageA(tags, CB_SETCURSEL, 0, 0);
  y += 34;
  Label(p, Jp("ROM No."), 8, y, 130);
  Edit(p, kRecRomId, 140, y, 120, f.romNumber);
  Label(p, Jp("発売日 YYYY[-mm[-dd]]"), 280, y, 160);
  Edit(p, kRecDateId, 442, y, 160, f.releaseDate);
  y += 28;
  Label(p, Jp("国名"), 8, y, 130);
  CompletedField(e, p, kRecCountryId, 140, y, 240, f.country, "country", "CountryIncrSrch");
  AddControl(p, "BUTTON", Jp("R指定"), BS_AUTOCHECKBOX | WS_TABSTOP, 442, y, 160, 22, kRecAdultId);
  Check(e, kRecAdultId, f.adult);
  y += 34;
  Label(p, Jp("機種"), 8, y, 60);
  ChoiceList(p, kRecMachineId, 70, y, 150, e.machines, f.machine);
  Label(p, Jp("メディア"), 230, y, 60);
  ChoiceList(p, kRecMediaId, 292, y, 130, e.media, f.media);
  Label(p, Jp("ジャンル"), 432, y, 56);
  ChoiceList(p, kRecGenreId, 490, y, 112, e.genres, f.genre);
}

void BuildTextPage(Editor& e, HWND p, const RecordFields& f) {
  Label(p, Jp("クリエイター（１行に１名）"), 8, 8, 300);
  TextArea(p, kRecCreatorsId, 8, 28, 594, 120, f.creators);
  Label(p, Jp("メモ"), 8, 158, 300);
  HWND memo = TextArea(p, kRecMemoId, 8, 178, 594, 244, f.memo);
  const Settings& s = e.app->settings;
  if (SettingInt(s, "EditUICheckBoxs", "UserMemoFont") == 1) {
    // The memo font's height is kept in tenths of a point.
    HDC screen = GetDC(nullptr);
    const int height = -MulDiv(SettingInt(s, "MemoFont", "Height"), GetDeviceCaps(screen, LOGPIXELSY), 720);
    ReleaseDC(nullptr, screen);
    e.memoFont = CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, SettingText(s, "MemoFont", "Face").c_str());
    if (e.memoFont) SendMessageA(memo, WM_SETFONT, reinterpret_cast<WPARAM>(e.memoFont), TRUE);
  }
}

void BuildFilesPage(Editor&, HWND p, const RecordFields& f) {
  int y = 8;
  Label(p, Jp("関連ファイル/URL"), 8, y, 300);
  y += 20;
  HWND list = AddControl(p, "LISTBOX", "", WS_BORDER | WS_VSCROLL | LBS_NOTIFY | WS_TABSTOP, 8, y, 594, 64,
                         kRecRelatedListId);
  for (const std::string& file : f.relatedFiles) AddEntry(list, file);
  y += 66;
  Edit(p, kRecRelatedTextId, 8, y, 340, "");
  AddControl(p, "BUTTON", ". .", BS_PUSHBUTTON | WS_TABSTOP, 352, y, 34, 22, kRecRelatedBrowseId);
  AddControl(p, "BUTTON", Jp("追加"), BS_PUSHBUTTON | WS_TABSTOP, 392, y, 100, 22, kRecRelatedAddId);
  AddControl(p, "BUTTON", Jp("削除"), BS_PUSHBUTTON | WS_TABSTOP, 502, y, 100, 22, kRecRelatedRemoveId);
  y += 34;
  BuildSnapChoicePanel(p, kRecSnapFirstId, 8, y, {f.snapshots, f.snapDisplay});
  DragAcceptFiles(p, TRUE);
}

void BuildDetailPage(Editor& e, HWND p, const RecordFields& f) {
  const char* labels[kDetailFields] = {"型番", "価格", "メディア情報", "対応機器",
                                       "プレイ人数", "セーブデータ", "サウンド情報", "拡張R指定"};
  int y = 8;
  for (int i = 0; i < kDetailFields; ++i) {
    Label(p, Jp(labels[i]), 8, y, 120);
    if (i == kDetailFields - 1)
      ChoiceList(p, kRecDetailFirstId + i, 130, y, 240, e.adultex, f.details[static_cast<size_t>(i)]);
    else
      Edit(p, kRecDetailFirstId + i, 130, y, 472, f.details[static_cast<size_t>(i)]);
    y += 28;
  }
  y += 6;
  Label(p, Jp("使用するエミュレータ設定"), 8, y, 160);
  AddControl(p, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 170, y, 300, 300, kRecEmulatorSettingId);
  FillEmulatorSettings(e, f.machine, f.emulatorSetting, true);
  y += 34;
  Label(p, Jp("複数イメージセット"), 8, y, 160);
  Label(p, Jp("先頭が親イメージになります"), 170, y, 300);
  y += 22;
  HWND set = AddControl(p, "LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | WS_TABSTOP, 8, y, 540,
                        110, kRecSetListId);
  for (const std::string& image : f.imageSet) AddEntry(set, image);
  SendMessageA(set, LB_SETHORIZONTALEXTENT, 2000, 0);
  const bool hasSet = f.imageSet.size() >= 2;
  HWND up = AddControl(p, "BUTTON", Jp("▲"), BS_PUSHBUTTON | WS_TABSTOP, 556, y, 46, 40, kRecSetUpId);
  HWND down = AddControl(p, "BUTTON", Jp("▼"), BS_PUSHBUTTON | WS_TABSTOP, 556, y + 48, 46, 40, kRecSetDownId);
  EnableWindow(set, hasSet);
  EnableWindow(up, hasSet);
  EnableWindow(down, hasSet);
}

// ▲▼: the chosen image one place up or down.
void MoveSetEntry(Editor& e, int step) {
  HWND list = Item(e, kRecSetListId);
  const int at = static_cast<int>(SendMessageA(list, LB_GETCURSEL, 0, 0));
  const int count = static_cast<int>(SendMessageA(list, LB_GETCOUNT, 0, 0));
  const int to = at + step;
  if (at < 0 || to < 0 || to >= count) return;
  std::vector<std::string> entries = ListEntries(list);
  std::swap(entries[static_cast<size_t>(at)], entries[static_cast<size_t>(to)]);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const std::string& entry : entries) AddEntry(list, entry);
  SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(to), 0);
}

RecordFields Collect(Editor& e) {
  RecordFields f;
  f.title = Text(e, kRecTitleId);
  f.kana = Text(e, kRecKanaId);
  f.maker = Text(e, kRecMakerId);
  f.developer = Text(e, kRecDeveloperId);
  f.version = Text(e, kRecVersionId);
  f.tag = Text(e, kRecTagId);
  f.romNumber = Text(e, kRecRomId);
  f.releaseDate = Text(e, kRecDateId);
  f.country = Text(e, kRecCountryId);
  f.adult = Checked(e, kRecAdultId);
  f.machine = Chosen(e, kRecMachineId, e.machines);
  f.media = Chosen(e, kRecMediaId, e.media);
  f.genre = Chosen(e, kRecGenreId, e.genres);
  f.creators = Text(e, kRecCreatorsId);
  f.memo = Text(e, kRecMemoId);
  f.relatedFiles = ListEntries(Item(e, kRecRelatedListId));
  for (int i = 0; i < 3; ++i) f.snapshots[static_cast<size_t>(i)] = Text(e, kRecSnapFirstId + i);
  for (int i = 0; i < kDetailFields - 1; ++i) f.details[static_cast<size_t>(i)] = Text(e, kRecDetailFirstId + i);
  f.details[kDetailFields - 1] = Chosen(e, kRecDetailFirstId + kDetailFields - 1, e.adultex);
  f.emulatorSetting = Chosen(e, kRecEmulatorSettingId, e.settings);
  f.imageSet = ListEntries(Item(e, kRecSetListId));
  return f;
}

void OfferSnapshotRename(Editor& e, const std::string& machine, const std::string& oldTitle,
                         const std::string& newTitle) {
  if (!ShouldOfferSnapshotRename(oldTitle, newTitle)) return;
  std::vector<std::string> folders;
  if (MachineSnapshotFolders(e.db, machine, e.app->paths.base, folders)) return;
  std::vector<SnapshotRename> plan = PlanSnapshotRenames(folders, oldTitle, newTitle);
  if (plan.empty()) return;
  if (ShowMessage(SnapshotRenameQuestion(plan.size()), Jp("確認"), kMbYesNo | kMbIconQuestion, e.dialog) != kIdYes)
    return;
  std::vector<std::string> failed = RenameSnapshots(plan);
  if (!failed.empty()) ShowMessage(SnapshotRenameFailures(failed), Jp("エラー"), kMbOk | kMbIconWarning, e.dialog);
}

void Save(Editor& e) {
  if (e.loaded.failure) return;  // never write what could not be loaded
  RecordFields fields = Collect(e);
  SnapshotChoice choice;
  if (auto refusal = SnapChoiceOfPanel(e.pages[kFilesPage], kRecSnapFirstId, choice)) {
    ShowMessage(*refusal, Jp("中止"), kMbOk | kMbIconInformation, e.dialog);
    return;
  }
  fields.snapshots = choice.paths;
  fields.snapDisplay = choice.display;
  TitleConverter converter(ReadSymbolTables(e.app->paths.settingsFile));
  fields.smartTitle = SmartTitle(converter, fields.title);
  RecordCheck check = CheckRecord(fields, e.loaded);
  if (!check.record) {
    ShowMessage(check.refusal, Jp("中止"), kMbOk | kMbIconInformation, e.dialog);
    return;
  }
  SaveResult result = SaveRecord(e.db, e.key, e.loaded, *check.record);
  if (!result.saved) {
    ShowMessage(result.failure, Jp("DBエラー"), kMbOk | kMbIconError, e.dialog);
    return;  // the editor stays open with what was typed
  }
  OfferSnapshotRename(e, fields.machine, result.oldTitle, fields.title);
  DestroyWindow(e.dialog);
  if (e.app->reloadItemList) e.app->reloadItemList(result.selectKey);
}

void Command(Editor& e, int id, int code) {
  if (SnapChoicePanelCommand(e.pages[kFilesPage], kRecSnapFirstId, id)) return;
  switch (id) {
    case IDOK: Save(e); return;
    case IDCANCEL: DestroyWindow(e.dialog); return;
    case kRecMachineId:
      if (code == CBN_SELCHANGE)
        FillEmulatorSettings(e, Chosen(e, kRecMachineId, e.machines), Chosen(e, kRecEmulatorSettingId, e.settings),
                             Chosen(e, kRecMachineId, e.machines) == e.loaded.fields.machine);
      return;
    case kRecTitleId:
    case kRecMakerId:
    case kRecDeveloperId:
    case kRecCountryId:
      if (code == CBN_EDITCHANGE)
        if (auto completer = e.completers.find(id); completer != e.completers.end())
          CompleteField(*e.app, e.db, Item(e, id), completer->second);
      if (id == kRecTitleId && (code == EN_CHANGE || code == CBN_EDITCHANGE))
        FollowTitle(e.reading.get(), Text(e, id), Item(e, kRecKanaId));
      if (id == kRecTitleId && code == CBN_SELCHANGE)
        FollowTitle(e.reading.get(), ChosenComboEntry(Item(e, id)), Item(e, kRecKanaId));
      return;
    case kRecTagListId: {
      const int chosen = Choice(e, kRecTagListId);
      if (code != CBN_SELCHANGE || chosen <= 0) return;
      const std::string tag = ComboEntryText(Item(e, id), chosen);
      std::string tags = Text(e, kRecTagId);
      if (!tags.empty() && tags.back() != ';') tags += ";";
      SetText(e, kRecTagId, tags + tag);
      SendMessageA(Item(e, id), CB_SETCURSEL, 0, 0);
      return;
    }
    case kRecRelatedAddId: {
      std::string entry = Text(e, kRecRelatedTextId);
      if (entry.empty()) return;
      AddEntry(Item(e, kRecRelatedListId), entry);
      SetText(e, kRecRelatedTextId, "");
      return;
    }
    case kRecRelatedRemoveId: {
      HWND list = Item(e, kRecRelatedListId);
      const LRESULT at = SendMessageA(list, LB_GETCURSEL, 0, 0);
      if (at != LB_ERR) SendMessageA(list, LB_DELETESTRING, static_cast<WPARAM>(at), 0);
      return;
    }
    case kRecRelatedBrowseId: {
      std::string path = PickFileToOpen({Jp("すべてのファイル"), "*.*", ""}, e.dialog);
      if (!path.empty()) SetText(e, kRecRelatedTextId, path);
      return;
    }
    case kRecSetUpId: MoveSetEntry(e, -1); return;
    case kRecSetDownId: MoveSetEntry(e, 1); return;
    default: break;
  }
}

void ShowPage(Editor& e, int page) {
  for (int i = 0; i < kPages; ++i) ShowWindow(e.pages[static_cast<size_t>(i)], i == page ? SW_SHOW : SW_HIDE);
}

// A page passes its controls' commands to the editor window.
LRESULT CALLBACK PageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) return SendMessageA(GetParent(page), message, wParam, lParam);
  // Pictures and folders dropped on the snapshot page fill its slots.
  if (message == WM_DROPFILES) {
    SnapChoicePanelDrop(page, kRecSnapFirstId, reinterpret_cast<HDROP>(wParam));
    return 0;
  }
  return DefWindowProcA(page, message, wParam, lParam);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Editor* e = DialogData<Editor>(dialog);
  switch (message) {
    case WM_COMMAND:
      if (e) Command(*e, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY: {
      const NMHDR& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (e && header.idFrom == kRecTabId && header.code == TCN_SELCHANGE) ShowPage(*e, TabCtrl_GetCurSel(e->tab));
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(dialog);
      return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

HWND CreatePage(Editor& e, int index) {
  const std::string name = "RecordEdit" + std::to_string(index + 1) + "Dlg";
  HWND page = CreateWindowExA(WS_EX_CONTROLPARENT, kDialogClassName, name.c_str(), WS_CHILD | WS_CLIPSIBLINGS, kPageX,
                              kPageY, kPageWidth, kPageHeight, e.dialog, nullptr, e.app->instance, nullptr);
  if (!page) return nullptr;
  SetWindowLongPtrA(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PageProcedure));
  // Above the tab control, which was created first and so lies on top.
  SetWindowPos(page, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  return page;
}

}  // namespace

void ShowRecordEditor(AppState& app) {
  Editor e;
  e.app = &app;
  e.key = FocusedItemKey(app);
  if (e.key.empty()) return;
  e.db.Open(app.databasePath, app.regexExtensionPath);
  e.loaded = LoadRecord(e.db, e.key);
  if (e.loaded.failure) ShowMessage(*e.loaded.failure, Jp("DBエラー"), kMbOk | kMbIconError, app.mainWindow);
  e.machines = app.masters.machines;
  e.media = app.masters.media;
  e.genres = app.masters.genres;
  e.adultex = app.masters.adultex;

  e.dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp("イメージ情報の編集"), kWidth, kHeight, Procedure, &e);
  if (!e.dialog) return;
  SetWindowTextA(e.dialog, Jp("イメージ情報の編集").c_str());
  e.tab = AddControl(e.dialog, WC_TABCONTROLA, "", WS_CLIPSIBLINGS | WS_TABSTOP, 8, 8, kWidth - 16, kHeight - 56,
                     kRecTabId);
  const char* tabs[kPages] = {"基本情報", "クリエイター・メモ", "関連ファイル・スナップ", "詳細情報・その他"};
  for (int i = 0; i < kPages; ++i) {
    std::string text = Jp(tabs[i]);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = text.data();
    SendMessageA(e.tab, TCM_INSERTITEMA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&item));
    e.pages[static_cast<size_t>(i)] = CreatePage(e, i);
  }
  // Every page is filled before the window is shown; after a failed load
  // step the fields past it stay empty.
  const RecordFields& f = e.loaded.fields;
  BuildMainPage(e, e.pages[0], f);
  BuildTextPage(e, e.pages[1], f);
  BuildFilesPage(e, e.pages[2], f);
  BuildDetailPage(e, e.pages[3], f);
  // Made after the pages are filled: the loaded title is no edit of the user's.
  e.reading = ProgramTitleReading(app);
  ShowPage(e, 0);
  HWND ok = AddControl(e.dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, kWidth - 200, kHeight - 40, 90, 28, IDOK);
  AddControl(e.dialog, "BUTTON", Jp("キャンセル"), BS_PUSHBUTTON | WS_TABSTOP, kWidth - 102, kHeight - 40, 90, 28,
             IDCANCEL);
  // A record that could not be read whole is never written back.
  EnableWindow(ok, !e.loaded.failure);
  SetFocus(Item(e, kRecTitleId));
  RunModal(e.dialog, app.mainWindow);
  if (e.memoFont) DeleteObject(e.memoFont);
}

}  // namespace vel
