#pragma once
// AdminDlg, the management window of the four master tables, and
// AdPropertyDlg, the editor of one record.
#include <windows.h>

#include <optional>
#include <string>

#include "editing/master_tables.h"

namespace vel {

struct AppState;
class LibraryConnection;

// Opens the management window on the tab of `kind`.
void ShowMasterAdmin(AppState& app, MasterKind kind);

// Edits the record named `name` (nothing: a new record) over `owner`;
// returns the saved name, or nothing when the editor was left without saving.
std::optional<std::string> EditMasterRecord(AppState& app, HWND owner, LibraryConnection& db, MasterKind kind,
                                            const std::optional<std::string>& name);

// After a change of the kind's table: the master lists, the kind's icons,
// the group list and the item list, with the focused item `focusedKey`
// selected again.
void ReloadAfterMasterChange(AppState& app, MasterKind kind, const std::string& focusedKey);

}  // namespace vel
