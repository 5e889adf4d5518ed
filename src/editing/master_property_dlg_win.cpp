// AdPropertyDlg: the name and icon of a record and, for a machine, its image
// extensions, snapshot folders, default media and snapshot display setting.
#include <windows.h>

#include <array>
#include <vector>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "core/settings.h"
#include "db/library_connection.h"
#include "display/snapshot_display_setting.h"
#include "editing/master_dialogs_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {
namespace {

enum : int {
  kNameId = 3801,
  kIconId,
  kIconBrowseId,
  kSearchExtId,
  kSnapPathFirstId,                    // 3805-3807
  kSnapBrowseFirstId = kSnapPathFirstId + 3,  // 3808-3810
  kDefaultMediaId = kSnapBrowseFirstId + 3,   // 3811
  kNoOwnDisplayId,
  kFitId,
  kAspectId,
  kTransformId,
  kRotationId,
  kRatioId,
  kEnlargeId,
  kReduceId,
};

struct Editor {
  AppState* app = nullptr;
  LibraryConnection* db = nullptr;
  HWND dialog = nullptr;
  MasterKind kind = MasterKind::Machine;
  std::optional<std::string> oldName;  // the record being edited; nothing for a new one
  std::vector<std::string> media;      // the default-media choices, "" first
  std::optional<std::string> saved;
};

HWND Item(Editor& e, int id) { return GetDlgItem(e.dialog, id); }
bool Checked(Editor& e, int id) { return SendMessageA(Item(e, id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
void Check(Editor& e, int id, bool on) { SendMessageA(Item(e, id), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0); }
int Choice(Editor& e, int id) { return static_cast<int>(SendMessageA(Item(e, id), CB_GETCURSEL, 0, 0)); }

void FillChoices(Editor& e, int id, const char* prefix, int count, int selected) {
  for (int i = 0; i < count; ++i)
    SendMessageA(Item(e, id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(TransformChoiceLabel(prefix, i).c_str()));
  SendMessageA(Item(e, id), CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

// The display controls follow the check box and the two modes.
void EnableDisplayControls(Editor& e) {
  bool own = !Checked(e, kNoOwnDisplayId);
  bool transform = Checked(e, kTransformId);
  EnableWindow(Item(e, kFitId), own);
  EnableWindow(Item(e, kTransformId), own);
  EnableWindow(Item(e, kAspectId), own && !transform);
  for (int id : {kRotationId, kRatioId, kEnlargeId, kReduceId}) EnableWindow(Item(e, id), own && transform);
}

void Label(Editor& e, const std::string& text, int x, int y, int width) {
  AddControl(e.dialog, "STATIC", text, SS_LEFT | SS_NOPREFIX, x, y + 3, width, 18, -1);
}

HWND Edit(Editor& e, int id, int x, int y, int width) {
  HWND edit = AddControl(e.dialog, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, x, y, width, 22, id);
  // Read whole and refused when too long, never cut by the control.
  SendMessageA(edit, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  return edit;
}

void Build(Editor& e, const MasterRecord& record) {
  const MasterKindTexts texts = MasterTexts(e.kind);
  int y = 12;
  Label(e, texts.nameLabel, 12, y, 150);
  SetWindowTextA(Edit(e, kNameId, 170, y, 380), record.name.c_str());
  y += 32;
  Label(e, Jp("アイコン"), 12, y, 150);
  SetWindowTextA(Edit(e, kIconId, 170, y, 340), record.icon.c_str());
  AddControl(e.dialog, "BUTTON", ". .", BS_PUSHBUTTON | WS_TABSTOP, 516, y, 34, 22, kIconBrowseId);
  y += 24;
  Label(e, Jp("BMP形式32x32、RGB（0,0,0）は透明色になります"), 170, y, 380);
  y += 30;
  if (e.kind == MasterKind::Machine) {
    Label(e, Jp("検索拡張子"), 12, y, 150);
    SetWindowTextA(Edit(e, kSearchExtId, 170, y, 380), record.searchExt.c_str());
    y += 24;
    Label(e, Jp("セミコロン( ; )で区切って複数設定できます"), 170, y, 380);
    y += 30;
    const char* folders[] = {"スナップショットフォルダ１", "スナップショットフォルダ２", "スナップショットフォルダ３"};
    for (int i = 0; i < 3; ++i) {
      Label(e, Jp(folders[i]), 12, y, 156);
      SetWindowTextA(Edit(e, kSnapPathFirstId + i, 170, y, 340), record.snapPaths[static_cast<size_t>(i)].c_str());
      AddControl(e.dialog, "BUTTON", ". .", BS_PUSHBUTTON | WS_TABSTOP, 516, y, 34, 22, kSnapBrowseFirstId + i);
      y += 30;
    }
    Label(e, Jp("デフォルトのメディア"), 12, y, 150);
    HWND media = AddControl(e.dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 170, y, 200, 300,
                            kDefaultMediaId);
    int selected = 0;
    for (size_t i = 0; i < e.media.size(); ++i) {
      SendMessageA(media, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(e.media[i].c_str()));
      if (e.media[i] == record.defaultMedia) selected = static_cast<int>(i);
    }
    SendMessageA(media, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    y += 24;
    Label(e, Jp("[メディア管理]からメディアタイプを追加できます"), 170, y, 380);
    y += 32;

    SnapshotDisplayInput display = DisplayInputOf(record.snapDisplay);
    AddControl(e.dialog, "BUTTON", Jp("スナップショットの機種別表示設定"), BS_GROUPBOX, 12, y, 538, 136, -1);
    y += 20;
    AddControl(e.dialog, "BUTTON", Jp("この機種の個別設定を使用しない"), BS_AUTOCHECKBOX | WS_TABSTOP, 24, y, 300, 20,
               kNoOwnDisplayId);
    Check(e, kNoOwnDisplayId, !display.useOwn);
    y += 26;
    AddControl(e.dialog, "BUTTON", Jp("内側からフィット"), BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 24, y, 140, 20,
               kFitId);
    Label(e, Jp("強制アスペクト比"), 170, y - 2, 110);
    SetWindowTextA(Edit(e, kAspectId, 280, y - 2, 90), display.aspectText.c_str());
    y += 28;
    AddControl(e.dialog, "BUTTON", Jp("領域全体に表示"), BS_AUTORADIOBUTTON, 24, y, 140, 20, kTransformId);
    Check(e, display.transform ? kTransformId : kFitId, true);
    AddControl(e.dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 170, y - 2, 370, 200, kRotationId);
    FillChoices(e, kRotationId, "rt_", kRotationChoices, display.choices.rotation);
    y += 28;
    SetWindowTextA(Edit(e, kRatioId, 44, y, 50), display.ratioText.c_str());
    Label(e, Jp("％ 以上は"), 98, y, 64);
    AddControl(e.dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 164, y, 190, 300, kEnlargeId);
    FillChoices(e, kEnlargeId, "up_", kEnlargeChoices, display.choices.enlarge);
    Label(e, Jp("未満は"), 360, y, 48);
    AddControl(e.dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 410, y, 130, 200, kReduceId);
    FillChoices(e, kReduceId, "dn_", kReduceChoices, display.choices.reduce);
    y += 46;
    EnableDisplayControls(e);
  }
  AddControl(e.dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 370, y, 86, 28, IDOK);
  AddControl(e.dialog, "BUTTON", Jp("キャンセル"), BS_PUSHBUTTON | WS_TABSTOP, 464, y, 86, 28, IDCANCEL);
}

// The record as the controls hold it; nothing (after a message) when the
// display setting cannot be stored as typed.
std::optional<MasterRecord> Collect(Editor& e) {
  MasterRecord record;
  record.name = WindowText(Item(e, kNameId));
  record.icon = WindowText(Item(e, kIconId));
  if (e.kind != MasterKind::Machine) return record;
  record.searchExt = WindowText(Item(e, kSearchExtId));
  for (int i = 0; i < 3; ++i) record.snapPaths[static_cast<size_t>(i)] = WindowText(Item(e, kSnapPathFirstId + i));
  int media = Choice(e, kDefaultMediaId);
  if (media >= 0 && media < static_cast<int>(e.media.size())) record.defaultMedia = e.media[static_cast<size_t>(media)];
  SnapshotDisplayInput display;
  display.useOwn = !Checked(e, kNoOwnDisplayId);
  display.transform = Checked(e, kTransformId);
  display.aspectText = WindowText(Item(e, kAspectId));
  display.ratioText = WindowText(Item(e, kRatioId));
  display.choices = {Choice(e, kRotationId), Choice(e, kEnlargeId), Choice(e, kReduceId)};
  if (auto refusal = StoreDisplayInput(display, record.snapDisplay)) {
    ShowMessage(*refusal, Jp("中止"), kMbOk | kMbIconWarning, e.dialog);
    SetFocus(Item(e, display.transform ? kRatioId : kAspectId));
    return std::nullopt;
  }
  return record;
}

void Save(Editor& e) {
  std::optional<MasterRecord> record = Collect(e);
  if (!record) return;
  if (!SaveMasterRecord(*e.db, e.kind, e.oldName, *record, e.app->paths.base, e.dialog)) return;
  e.saved = record->name;
  DestroyWindow(e.dialog);
}

std::string FolderOf(const std::string& path) {
  size_t end = 0;
  for (size_t i = 0; i < path.size(); i += CharacterLength(path, i))
    if (path[i] == '\\') end = i;
  return path.substr(0, end);
}

void BrowseIcon(Editor& e) {
  AppState& app = *e.app;
  std::string initial = WindowText(Item(e, kIconId));
  const std::string& remembered = SettingText(app.settings, "FolderPath", "Icon");
  if (initial.empty())
    initial = !remembered.empty() ? remembered + "\\"
                                  : app.paths.base + "\\default_icon\\" + MasterIconFolder(e.kind) + "\\";
  FileRequest request{Jp("BMPファイル(*.bmp)"), "*.bmp", initial};
  std::string chosen = PickFileToOpen(request, e.dialog);
  if (chosen.empty()) return;
  SetWindowTextA(Item(e, kIconId), chosen.c_str());
  SetSetting(app.settings, "FolderPath", "Icon", FolderOf(chosen));
}

void BrowseSnapFolder(Editor& e, int index) {
  HWND edit = Item(e, kSnapPathFirstId + index);
  FolderRequest request{Jp("スナップショットフォルダを選択してください"), WindowText(edit)};
  std::string chosen = PickFolderOrFile(request, e.dialog);
  if (!chosen.empty()) SetWindowTextA(edit, chosen.c_str());
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Editor* e = DialogData<Editor>(dialog);
  switch (message) {
    case WM_COMMAND: {
      if (!e) return 0;
      int id = LOWORD(wParam);
      if (id == IDOK) Save(*e);
      else if (id == IDCANCEL) DestroyWindow(dialog);
      else if (id == kIconBrowseId) BrowseIcon(*e);
      else if (id >= kSnapBrowseFirstId && id < kSnapBrowseFirstId + 3) BrowseSnapFolder(*e, id - kSnapBrowseFirstId);
      else if ((id == kNoOwnDisplayId || id == kFitId || id == kTransformId) && HIWORD(wParam) == BN_CLICKED)
        EnableDisplayControls(*e);
      return 0;
    }
    case WM_CLOSE:
      DestroyWindow(dialog);
      return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

// The media types offered as default media: none, every existing one, and a
// stored one that no longer exists (kept unless the user picks another).
std::vector<std::string> MediaChoices(Editor& e, const std::string& stored) {
  std::vector<std::string> names;
  if (auto error = LoadMasterNamesByName(*e.db, MasterKind::Media, names))
    ShowMessage(Jp(" 管理テーブルを参照できません。\n") + Utf8ToAnsi(*error), Jp("DBエラー"), kMbOk | kMbIconError,
                e.dialog);
  names.insert(names.begin(), std::string());
  bool listed = false;
  for (const std::string& n : names) listed = listed || n == stored;
  if (!listed) names.push_back(stored);
  return names;
}

}  // namespace

std::optional<std::string> EditMasterRecord(AppState& app, HWND owner, LibraryConnection& db, MasterKind kind,
                                            const std::optional<std::string>& name) {
  Editor e;
  e.app = &app;
  e.db = &db;
  e.kind = kind;
  MasterRecord record;
  if (name) {
    if (auto error = LoadMasterRecord(db, kind, *name, record)) {
      ShowMessage(Jp("既存情報を読み込めませんでした。\n新規追加扱いになります。\n") + Utf8ToAnsi(*error),
                  Jp("DBエラー"), kMbOk | kMbIconError, owner);
      record = MasterRecord{};
    } else {
      e.oldName = name;
    }
  }
  if (kind == MasterKind::Machine) e.media = MediaChoices(e, record.defaultMedia);
  int height = kind == MasterKind::Machine ? 486 : 138;
  e.dialog = CreateDialogWindow(app.instance, owner, MasterTexts(kind).caption, 562, height, Procedure, &e);
  if (!e.dialog) return std::nullopt;
  // A group box paints only its frame: the dialog's background has to show
  // through it, which clipping the children away would prevent.
  SetWindowLongPtrA(e.dialog, GWL_STYLE, GetWindowLongPtrA(e.dialog, GWL_STYLE) & ~static_cast<LONG_PTR>(WS_CLIPCHILDREN));
  Build(e, record);
  RunModal(e.dialog, owner);
  return e.saved;
}

}  // namespace vel
