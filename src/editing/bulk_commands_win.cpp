#include "editing/bulk_commands_win.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "db/database_dialogs_win.h"
#include "db/library_connection.h"
#include "editing/bulk_assignment.h"
#include "launch/emulator_config.h"
#include "launch/emulator_menu.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/popup_menu.h"
#include "search/item_list_query.h"
#include "search/item_list_win.h"

namespace vel {
namespace {

const char* kChangeFailed = "選択したアイテムを変更できませんでした。変更は取り消されました。\n";

// The focused row (1-based), 0 when none.
int FocusedRow(AppState& app) {
  if (!app.itemList) return 0;
  int focused = ListView_GetNextItem(app.itemList, -1, LVNI_FOCUSED);
  return focused >= 0 && focused < app.mainDb.RowCount() ? focused + 1 : 0;
}

std::string FocusedKey(AppState& app) {
  int row = FocusedRow(app);
  return row ? app.mainDb.Cell(row, kPosFileName) : std::string();
}

bool AskYesNo(AppState& app, const std::string& question, bool noIsDefault) {
  unsigned flags = kMbYesNo | kMbIconQuestion | (noIsDefault ? kMbDefaultButton2 : 0);
  return ShowMessage(question, Jp("確認"), flags, app.mainWindow) == kIdYes;
}

void AssignFromMenu(AppState& app, int id) {
  struct Range {
    int first;
    AssignField field;
  } ranges[] = {{kCmdGenreFirst, AssignField::Genre},
                {kCmdAdultexFirst, AssignField::Adultex},
                {kCmdMediaFirst, AssignField::Media},
                {kCmdMachineFirst, AssignField::Machine}};
  const Range* range = nullptr;
  for (const Range& r : ranges)
    if (id >= r.first && id < r.first + kDynamicRangeSize) range = &r;
  if (!range) return;
  std::vector<std::string> keys = SelectedItemKeys(app);
  if (keys.empty()) return;
  // The value by its position in the list the menu was built from (a menu
  // text changes "&" and could not be read back as typed).
  std::vector<std::string> names;
  {
    LibraryConnection db;
    db.Open(app.databasePath, app.regexExtensionPath);
    if (auto error = LoadAssignmentNames(db, range->field, names)) {
      ShowMessage(Jp("管理テーブルを参照できません。\n") + Utf8ToAnsi(*error), Jp("DBエラー"),
                  kMbOk | kMbIconError, app.mainWindow);
      return;
    }
  }
  size_t index = static_cast<size_t>(id - range->first);
  if (index >= names.size()) return;
  const std::string value = names[index];
  const AssignField field = range->field;
  if (field == AssignField::Machine && !AskYesNo(app, MachineAssignQuestion(), true)) return;
  std::string focusedKey = FocusedKey(app);
  bool applied = RunOnSelection(
      app, keys,
      [&](LibraryConnection& db, const std::vector<std::string>& k) { return AssignToItems(db, field, k, value); },
      Jp(kChangeFailed));
  if (!applied) return;
  if (field == AssignField::Machine)
    RefreshItemList(app, 0, focusedKey, false, 2, 1);  // the machine groups change as well
  else if (app.reloadItemList)
    app.reloadItemList(focusedKey);
}

std::string FocusedMachine(AppState& app) {
  int row = FocusedRow(app);
  return row ? app.mainDb.Cell(row, kPosMachine) : std::string();
}

void FillEmulatorSettingMenu(AppState& app, HMENU menu) {
  std::vector<PopupMenuLine> lines;
  std::vector<std::string> names = EmulatorSettingNames(app.paths.base, FocusedMachine(app));
  for (size_t i = 0; i < names.size() && i < static_cast<size_t>(kDynamicRangeSize); ++i) {
    PopupMenuLine line;
    line.text = MenuText(names[i]);
    line.id = kCmdEmulatorSettingFirst + static_cast<int>(i);
    lines.push_back(line);
  }
  if (lines.empty()) {
    PopupMenuLine none;
    none.text = NoEmulatorConfigText();
    none.enabled = false;
    lines.push_back(none);
  }
  FillPopupMenu(menu, lines);
}

void BindEmulatorSettingFromMenu(AppState& app, int id) {
  std::vector<int> rows = SelectedItemRows(app);
  if (rows.empty() || !FocusedRow(app)) return;
  const std::string machine = FocusedMachine(app);
  std::vector<std::string> names = EmulatorSettingNames(app.paths.base, machine);
  size_t index = static_cast<size_t>(id - kCmdEmulatorSettingFirst);
  if (index >= names.size()) return;
  std::vector<SelectedItem> items;
  for (int row : rows) items.push_back({app.mainDb.Cell(row, kPosFileName), app.mainDb.Cell(row, kPosMachine)});
  MachineItems split = ItemsOfMachine(items, machine);
  std::string focusedKey = FocusedKey(app);
  const std::string name = names[index];
  bool applied = RunOnSelection(
      app, split.keys,
      [&](LibraryConnection& db, const std::vector<std::string>& k) {
        return BindEmulatorSetting(db, k, machine, name);
      },
      Jp(kChangeFailed));
  if (!applied) return;
  if (app.reloadItemList) app.reloadItemList(focusedKey);
  std::string skipped = SkippedItemsMessage(split.skipped);
  if (!skipped.empty()) ShowMessage(skipped, Jp("確認"), kMbOk | kMbIconInformation, app.mainWindow);
}

void RemoveFromLibrary(AppState& app) {
  std::vector<std::string> keys = SelectedItemKeys(app);
  if (keys.empty()) return;
  if (!AskYesNo(app, RemovalQuestion(), false)) return;
  bool applied = RunOnSelection(
      app, keys, [](LibraryConnection& db, const std::vector<std::string>& k) { return RemoveItems(db, k); },
      Jp("選択したアイテムを削除できませんでした。変更は取り消されました。\n"));
  if (applied && app.reloadItemList) app.reloadItemList("");
}

void ResetLaunchInformation(AppState& app) {
  std::vector<std::string> keys = SelectedItemKeys(app);
  if (keys.empty()) return;
  std::string focusedKey = FocusedKey(app);
  bool applied = RunOnSelection(
      app, keys, [](LibraryConnection& db, const std::vector<std::string>& k) { return ResetLaunchInfo(db, k); },
      LaunchResetFailedMessage());
  if (applied && app.reloadItemList) app.reloadItemList(focusedKey);
}

}  // namespace

void RegisterBulkCommands() {
  for (int first : {kCmdGenreFirst, kCmdAdultexFirst, kCmdMediaFirst, kCmdMachineFirst})
    RegisterCommandRange(first, first + kDynamicRangeSize - 1, AssignFromMenu);
  RegisterCommandRange(kCmdEmulatorSettingFirst, kCmdEmulatorSettingFirst + kDynamicRangeSize - 1,
                       BindEmulatorSettingFromMenu);
  RegisterDynamicMenuFiller(DynamicList::EmulatorSettings, FillEmulatorSettingMenu);
  RegisterCommand(kCmdRemoveFromLibrary, RemoveFromLibrary);
  RegisterCommand(kCmdResetLaunchInfo, ResetLaunchInformation);
}

}  // namespace vel
