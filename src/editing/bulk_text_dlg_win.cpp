#include "editing/bulk_text_dlg_win.h"

#include <windows.h>
#include <commctrl.h>

#include <memory>
#include <string>
#include <vector>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "core/dialog_window_win.h"
#include "core/settings.h"
#include "core/focused_item_win.h"
#include "db/database_dialogs_win.h"
#include "db/library_connection.h"
#include "editing/bulk_text_change.h"
#include "editing/snapshot_rename.h"
#include "editing/title_reading_win.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "search/field_completion_win.h"

namespace vel {
namespace {

constexpr int kValueId = 3101;
constexpr int kKanaId = 3102;

struct FieldTexts {
  BulkTextField field;
  const char* caption;
  const char* prompt;
  const char* column;          // completed from the library's values; null: typed freely
  const char* completionKey;   // the EditUICheckBoxs key that turns completion on
};

const FieldTexts kFields[] = {
    {BulkTextField::Title, "タイトルの一括変更", "選択アイテムのタイトルを一括変更", "title", "TitleIncrSrch"},
    {BulkTextField::Maker, "メーカー名の一括変更", "選択アイテムのメーカー名を一括変更", "maker", "MakerIncrSrch"},
    {BulkTextField::Developer, "開発元の一括変更", "選択アイテムの開発元を一括変更", "developer",
     "DeveloperIncrSrch"},
    {BulkTextField::Country, "国の一括変更", "選択アイテムの国を一括変更", "country", "CountryIncrSrch"},
    {BulkTextField::Version, "バージョンの一括変更", "選択アイテムのバージョンを一括変更", nullptr, nullptr},
    {BulkTextField::ReleaseDate, "発売日の一括変更", "選択アイテムの発売日を一括変更", nullptr, nullptr},
    {BulkTextField::Creators, "クリエイターの一括変更", "選択アイテムのクリエイターを一括変更（１行に１名）", nullptr,
     nullptr},
};

struct Change {
  AppState* app = nullptr;
  BulkTextField field = BulkTextField::Maker;
  std::vector<std::string> keys;
  std::string focusedKey;
  HWND dialog = nullptr;
  LibraryConnection db;  // its own: the main connection's result is the item list
  bool completing = false;
  FieldCompleter completer;
  std::unique_ptr<TitleReading> reading;  // null unless the reading follows the title
};

// Snapshot files named after the old titles follow the new one, once the
// titles are saved. The plan is made before the titles change.
void RenameSnapshotsAfterTitles(Change& c, const std::vector<SnapshotRename>& plan) {
  if (plan.empty()) return;
  if (ShowMessage(SnapshotRenameQuestion(plan.size()), Jp("確認"), kMbYesNo | kMbIconQuestion, c.dialog) != kIdYes)
    return;
  std::vector<std::string> failed = RenameSnapshots(plan);
  if (!failed.empty()) ShowMessage(SnapshotRenameFailures(failed), Jp("エラー"), kMbOk | kMbIconWarning, c.dialog);
}

void Apply(Change& c) {
  BulkTextValue typed;
  typed.value = WindowText(GetDlgItem(c.dialog, kValueId));
  if (c.field == BulkTextField::Title) {
    typed.kana = WindowText(GetDlgItem(c.dialog, kKanaId));
    TitleConverter converter(ReadSymbolTables(c.app->paths.settingsFile));
    typed.smartTitle = SmartTitle(converter, typed.value);
  }
  PreparedBulkText prepared = PrepareBulkText(c.field, typed);
  if (!prepared.value) {
    ShowMessage(prepared.refusal, Jp("エラー"), kMbOk | kMbIconWarning, c.dialog);
    return;  // the dialog stays open with the typed text
  }
  const BulkTextValue value = *prepared.value;
  const BulkTextField field = c.field;
  std::vector<SnapshotRename> renames;
  if (field == BulkTextField::Title &&
      PlanBulkSnapshotRenames(c.db, c.keys, value.value, c.app->paths.base, renames))
    renames.clear();  // the titles are still changed; only the files stay as they are
  bool applied = RunOnSelection(
      *c.app, c.keys,
      [&](LibraryConnection& db, const std::vector<std::string>& k) { return ChangeTextOfItems(db, field, k, value); },
      Jp("選択したアイテムを変更できませんでした。変更は取り消されました。\n"));
  if (!applied) {
    EnableWindow(c.app->mainWindow, FALSE);  // the dialog stays modal over it
    return;
  }
  RenameSnapshotsAfterTitles(c, renames);
  DestroyWindow(c.dialog);
  if (c.app->reloadItemList) c.app->reloadItemList(c.focusedKey);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Change* c = DialogData<Change>(dialog);
  switch (message) {
    case WM_COMMAND:
      if (!c) return 0;
      if (LOWORD(wParam) == kValueId && c->field == BulkTextField::Title) {
        HWND combo = reinterpret_cast<HWND>(lParam);
        HWND reading = GetDlgItem(dialog, kKanaId);
        if (HIWORD(wParam) == CBN_EDITCHANGE) FollowTitle(c->reading.get(), WindowText(combo), reading);
        if (HIWORD(wParam) == CBN_SELCHANGE)
          FollowTitle(c->reading.get(), ChosenComboEntry(combo), reading);
      }
      if (LOWORD(wParam) == kValueId && HIWORD(wParam) == CBN_EDITCHANGE && c->completing)
        CompleteField(*c->app, c->db, reinterpret_cast<HWND>(lParam), c->completer);
      if (LOWORD(wParam) == IDOK) Apply(*c);
      if (LOWORD(wParam) == IDCANCEL) DestroyWindow(dialog);
      return 0;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

void FillValueList(Change& c, HWND combo) {
  std::vector<std::string> values;
  if (auto error = LoadBulkTextValues(c.db, c.field, values)) {
    ShowMessage(Jp("値の一覧を参照できません。\n") + Utf8ToAnsi(*error), Jp("DBエラー"), kMbOk | kMbIconError,
                c.app->mainWindow);
    return;
  }
  if (values.empty()) return;
  SendMessageA(combo, CB_INITSTORAGE, static_cast<WPARAM>(values.size()), 0);
  for (const std::string& value : values) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(value.c_str()));
}

void ShowBulkTextChange(AppState& app, const FieldTexts& texts) {
  Change c;
  c.app = &app;
  c.field = texts.field;
  c.keys = SelectedItemKeys(app);
  if (c.keys.empty()) return;
  c.focusedKey = FocusedItemKey(app);
  c.db.Open(app.databasePath, app.regexExtensionPath);
  // With completion on, the list offers what begins with the typed text;
  // otherwise it holds every value there is.
  c.completing = texts.column && SettingInt(app.settings, "EditUICheckBoxs", texts.completionKey) == 1;
  if (c.completing) {
    c.completer.column = texts.column;
    // Read now, so that each keystroke only matches in memory.
    c.completer.values.Load(c.db, c.completer.column);
  }
  if (texts.field == BulkTextField::Title) c.reading = ProgramTitleReading(app);
  const bool creators = texts.field == BulkTextField::Creators;
  const bool listed = !BulkTextValuesQuery(texts.field).empty();
  const int valueHeight = creators ? 140 : (listed ? 220 : 24);
  const bool title = texts.field == BulkTextField::Title;
  const int shownHeight = creators ? 140 : (title ? 60 : 24);
  c.dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp(texts.caption), 420, 88 + shownHeight, Procedure, &c);
  if (!c.dialog) return;
  AddControl(c.dialog, "STATIC", Jp(texts.prompt), SS_LEFT, 12, 12, 396, 20, -1);
  HWND value = nullptr;
  if (creators)
    value = AddControl(c.dialog, "EDIT", "", ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_BORDER |
                                                 WS_TABSTOP, 12, 38, 396, valueHeight, kValueId);
  else if (listed)
    value = AddControl(c.dialog, "COMBOBOX", "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, 12, 38, 396,
                       valueHeight, kValueId);
  else
    value = AddControl(c.dialog, "EDIT", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 12, 38, 396, valueHeight,
                       kValueId);
  if (listed && !c.completing) FillValueList(c, value);
  if (title) {
    AddControl(c.dialog, "STATIC", Jp("読み仮名"), SS_LEFT, 12, 72, 80, 20, -1);
    AddControl(c.dialog, "EDIT", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 96, 70, 312, 24, kKanaId);
  }
  const int buttonsY = 50 + shownHeight;
  AddControl(c.dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 224, buttonsY, 88, 28, IDOK);
  AddControl(c.dialog, "BUTTON", Jp("キャンセル"), BS_PUSHBUTTON | WS_TABSTOP, 320, buttonsY, 88, 28, IDCANCEL);
  SetFocus(value);
  RunModal(c.dialog, app.mainWindow);
}

}  // namespace

void RegisterBulkTextCommands() {
  RegisterCommandRange(kCmdBulkTitle, kCmdBulkCreator, [](AppState& app, int id) {
    ShowBulkTextChange(app, kFields[id - kCmdBulkTitle]);
  });
}

}  // namespace vel
