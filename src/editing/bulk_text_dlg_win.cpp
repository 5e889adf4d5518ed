#include "editing/bulk_text_dlg_win.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "core/dialog_window_win.h"
#include "core/focused_item_win.h"
#include "db/database_dialogs_win.h"
#include "db/library_connection.h"
#include "editing/bulk_text_change.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {
namespace {

constexpr int kValueId = 3101;
constexpr int kKanaId = 3102;

struct FieldTexts {
  BulkTextField field;
  const char* caption;
  const char* prompt;
};

const FieldTexts kFields[] = {
    {BulkTextField::Title, "タイトルの一括変更", "選択アイテムのタイトルを一括変更"},
    {BulkTextField::Maker, "メーカー名の一括変更", "選択アイテムのメーカー名を一括変更"},
    {BulkTextField::Developer, "開発元の一括変更", "選択アイテムの開発元を一括変更"},
    {BulkTextField::Country, "国の一括変更", "選択アイテムの国を一括変更"},
    {BulkTextField::Version, "バージョンの一括変更", "選択アイテムのバージョンを一括変更"},
    {BulkTextField::ReleaseDate, "発売日の一括変更", "選択アイテムの発売日を一括変更"},
    {BulkTextField::Creators, "クリエイターの一括変更", "選択アイテムのクリエイターを一括変更（１行に１名）"},
};

struct Change {
  AppState* app = nullptr;
  BulkTextField field = BulkTextField::Maker;
  std::vector<std::string> keys;
  std::string focusedKey;
  HWND dialog = nullptr;
};

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
  bool applied = RunOnSelection(
      *c.app, c.keys,
      [&](LibraryConnection& db, const std::vector<std::string>& k) { return ChangeTextOfItems(db, field, k, value); },
      Jp("選択したアイテムを変更できませんでした。変更は取り消されました。\n"));
  if (!applied) {
    EnableWindow(c.app->mainWindow, FALSE);  // the dialog stays modal over it
    return;
  }
  DestroyWindow(c.dialog);
  if (c.app->reloadItemList) c.app->reloadItemList(c.focusedKey);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Change* c = DialogData<Change>(dialog);
  switch (message) {
    case WM_COMMAND:
      if (!c) return 0;
      if (LOWORD(wParam) == IDOK) Apply(*c);
      if (LOWORD(wParam) == IDCANCEL) DestroyWindow(dialog);
      return 0;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

void FillValueList(AppState& app, HWND combo, BulkTextField field) {
  const std::string query = BulkTextValuesQuery(field);
  if (query.empty()) return;
  // A connection of its own: the main connection's result is the item list.
  LibraryConnection db;
  db.Open(app.databasePath, app.regexExtensionPath);
  if (auto error = db.Query(query)) {
    ShowMessage(Jp("値の一覧を参照できません。\n") + Utf8ToAnsi(*error), Jp("DBエラー"), kMbOk | kMbIconError,
                app.mainWindow);
    return;
  }
  for (int r = 1; r <= db.RowCount(); ++r)
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(db.Cell(r, 0).c_str()));
}

void ShowBulkTextChange(AppState& app, const FieldTexts& texts) {
  Change c;
  c.app = &app;
  c.field = texts.field;
  c.keys = SelectedItemKeys(app);
  if (c.keys.empty()) return;
  c.focusedKey = FocusedItemKey(app);
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
  if (listed) FillValueList(app, value, texts.field);
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
