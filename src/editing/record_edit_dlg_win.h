#pragma once
// "イメージ情報の編集" (RecordEditBaseDlg with the pages RecordEdit1Dlg to
// RecordEdit4Dlg): everything the library holds about the focused item.
namespace vel {

struct AppState;

// Control identifiers the pages use (also driven by the end-to-end tests).
enum RecordEditControl : int {
  kRecTabId = 3901,
  kRecKeyId,
  kRecTitleId,
  kRecKanaId,
  kRecMakerId,
  kRecDeveloperId,
  kRecVersionId,
  kRecTagId,
  kRecTagListId,
  kRecRomId,
  kRecDateId,
  kRecCountryId,
  kRecAdultId,
  kRecMachineId,
  kRecMediaId,
  kRecGenreId,
  kRecCreatorsId,
  kRecMemoId,
  kRecRelatedListId,
  kRecRelatedTextId,
  kRecRelatedAddId,
  kRecRelatedBrowseId,
  kRecRelatedRemoveId,
  kRecSnapFirstId,  // the snapshot choice panel (its three paths first), 17 controls
  kRecDetailFirstId = kRecSnapFirstId + 17,  // eight fields, the last a list
  kRecEmulatorSettingId = kRecDetailFirstId + 8,
  kRecSetListId,
  kRecSetUpId,
  kRecSetDownId,
};

// Command 1170 and the EditRecord key: opens the editor on the focused item.
void ShowRecordEditor(AppState& app);

}  // namespace vel
