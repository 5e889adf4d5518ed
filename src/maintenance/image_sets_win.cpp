// AlterEgoDlg, joining by drag and drop in the item list, the split command
// and the start-up recovery of renamed alter-ego copies.
#include "maintenance/image_sets_win.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>
#include <vector>

#include "core/app_state_win.h"
#include "core/cp932_text.h"
#include "core/dialog_window_win.h"
#include "input/message_hook_win.h"
#include "launch/archive_extraction.h"
#include "maintenance/image_sets.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "search/item_list_query.h"

namespace vel {
namespace {

// A connection of its own: the main connection's result is the item list.
struct Library {
  explicit Library(AppState& app) { db.Open(app.databasePath, app.regexExtensionPath); }
  LibraryConnection db;
};

class WaitCursor {
 public:
  WaitCursor() : old_(SetCursor(LoadCursor(nullptr, IDC_WAIT))) {}
  ~WaitCursor() { SetCursor(old_); }
  WaitCursor(const WaitCursor&) = delete;
  WaitCursor& operator=(const WaitCursor&) = delete;

 private:
  HCURSOR old_;
};

void Reload(AppState& app, const std::string& key) {
  if (app.reloadItemList) app.reloadItemList(key);
}

// ---- Joining by drag and drop -------------------------------------------

struct DragState {
  bool active = false;
  std::vector<std::string> keys;  // the dragged items in list order
};

DragState& Drag() {
  static DragState state;
  return state;
}

constexpr UINT_PTR kDragSubclassId = 0x1194;

void Drop(AppState& app, POINT point, const std::vector<std::string>& dragged) {
  LVHITTESTINFO hit {};
  hit.pt = point;
  int row = static_cast<int>(SendMessageA(app.itemList, LVM_HITTEST, 0, reinterpret_cast<LPARAM>(&hit)));
  if (row < 0 || !(hit.flags & LVHT_ONITEM)) return;
  std::string target = app.mainDb.Cell(row + 1, kPosFileName);
  if (target.empty()) return;
  bool joined = false;
  {
    WaitCursor wait;
    Library library(app);
    joined = JoinImages(library.db, target, dragged, app.mainWindow);
  }
  if (joined) Reload(app, target);
}

LRESULT CALLBACK DragProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR) {
  DragState& drag = Drag();
  if (drag.active) {
    switch (message) {
      case WM_MOUSEMOVE:
        SetCursor(LoadCursor(nullptr, IDC_HAND));
        return 0;
      case WM_LBUTTONUP: {
        std::vector<std::string> dragged = std::move(drag.keys);
        drag.active = false;
        ReleaseCapture();
        Drop(App(), POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}, dragged);
        return 0;
      }
      case WM_KEYDOWN:
        if (wParam != VK_ESCAPE) break;
        drag.active = false;
        ReleaseCapture();
        return 0;
      case WM_CAPTURECHANGED:
        drag.active = false;
        drag.keys.clear();
        break;
    }
  }
  return DefSubclassProc(window, message, wParam, lParam);
}

// ---- AlterEgoDlg ----------------------------------------------------------

enum : int {
  kBaseId = 2101,
  kBrowseId,
  kSubId,
  kExplanationId,
  kActionId,
  kCancelId = IDCANCEL,
};

struct AlterEgoDialog {
  AppState* app = nullptr;
  std::string key;
  bool hasAlterEgo = false;
};

std::string WithSeparator(const std::string& folder) {
  return EndsWithSeparator(folder) ? folder : folder + "\\";
}

void ShowMode(HWND dialog, bool hasAlterEgo) {
  SetDlgItemTextA(dialog, kActionId, Jp(hasAlterEgo ? "解除" : "作成").c_str());
  EnableWindow(GetDlgItem(dialog, kBrowseId), !hasAlterEgo);
  EnableWindow(GetDlgItem(dialog, kSubId), !hasAlterEgo);
  // The folder released is the one the library names, never what is typed.
  SendDlgItemMessageA(dialog, kBaseId, EM_SETREADONLY, hasAlterEgo, 0);
}

void Build(HWND dialog) {
  AddControl(dialog, "BUTTON", Jp("分身作成先フォルダ"), BS_GROUPBOX, 10, 6, 440, 92, -1);
  AddControl(dialog, "STATIC", Jp("ベースフォルダ"), SS_LEFT, 22, 33, 90, 20, -1);
  AddControl(dialog, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 114, 30, 284, 22, kBaseId);
  AddControl(dialog, "BUTTON", ". .", BS_PUSHBUTTON | WS_TABSTOP, 404, 30, 36, 22, kBrowseId);
  AddControl(dialog, "STATIC", Jp("サブフォルダ"), SS_LEFT, 22, 65, 90, 20, -1);
  AddControl(dialog, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 114, 62, 326, 22, kSubId);
  AddControl(dialog, "EDIT",
             Jp("分身を作成すると、分身のイメージファイルを使用してエミュレータを起動するようになります。\r\n\r\n"
                "分身はオリジナルが圧縮ファイルなら展開された状態で作成されます。\r\nまたエミュレータ設定に関わらず、"
                "エミュレータ終了後でも削除されません。\r\n\r\n"
                "分身を解除すると「AlterEgoBoot」マークが消え、分身のイメージファイルは削除されます。"),
             WS_BORDER | ES_MULTILINE | ES_READONLY | WS_VSCROLL, 10, 108, 440, 132, kExplanationId);
  AddControl(dialog, "BUTTON", Jp("作成"), BS_DEFPUSHBUTTON | WS_TABSTOP, 250, 252, 96, 28, kActionId);
  AddControl(dialog, "BUTTON", Jp("キャンセル"), BS_PUSHBUTTON | WS_TABSTOP, 354, 252, 96, 28, kCancelId);
}

void Fill(HWND dialog, AlterEgoDialog& d) {
  AppState& app = *d.app;
  Library library(app);
  std::optional<std::string> copy = AlterEgoPath(library.db, d.key, dialog);
  d.hasAlterEgo = copy && !copy->empty();
  std::string base, sub;
  if (d.hasAlterEgo) {
    AlterEgoFolder parts = AlterEgoFolderOf(*copy);
    base = parts.base;
    sub = parts.sub;
  } else {
    const std::string& saved = SettingText(app.settings, "FolderPath", "AlterEgo");
    if (!saved.empty() && DirectoryExists(saved)) base = WithSeparator(saved);
    if (!library.db.Query("SELECT machine_name, file_title FROM main_table WHERE file_name='" + Quote(d.key) +
                          "';") &&
        library.db.RowCount() > 0)
      sub = AlterEgoSubfolderName(library.db.Cell(1, 0), library.db.Cell(1, 1));
  }
  SetDlgItemTextA(dialog, kBaseId, base.c_str());
  SetDlgItemTextA(dialog, kSubId, sub.c_str());
  ShowMode(dialog, d.hasAlterEgo);
}

void Browse(HWND dialog, AlterEgoDialog& d) {
  std::string start = WindowText(GetDlgItem(dialog, kBaseId));
  if (start.empty() || !DirectoryExists(start)) start = SettingText(d.app->settings, "FolderPath", "AlterEgo");
  std::string chosen = PickFolderOrFile({Jp("分身作成先フォルダ"), start}, dialog);
  if (chosen.empty() || !DirectoryExists(chosen)) return;
  SetSetting(d.app->settings, "FolderPath", "AlterEgo", chosen);
  SetDlgItemTextA(dialog, kBaseId, WithSeparator(chosen).c_str());
}

void Act(HWND dialog, AlterEgoDialog& d) {
  AppState& app = *d.app;
  bool done = false;
  {
    WaitCursor wait;
    Library library(app);
    if (d.hasAlterEgo) {
      done = ReleaseAlterEgo(library.db, d.key, dialog);
    } else {
      MemberExtractor extract = [&app, dialog](const std::string& archive, const std::string& member,
                                               const std::string& folder) {
        return app.archivers ? ExtractMember(*app.archivers, archive, member, folder, false, dialog)
                             : static_cast<int>(kNoArchiver);
      };
      done = CreateAlterEgo(library.db, d.key, WindowText(GetDlgItem(dialog, kBaseId)),
                            WindowText(GetDlgItem(dialog, kSubId)), extract, dialog);
    }
  }
  if (!done) return;
  Reload(app, d.key);
  d.hasAlterEgo = !d.hasAlterEgo;
  ShowMode(dialog, d.hasAlterEgo);
  ShowMessage(Jp(d.hasAlterEgo ? "分身を作成しました。" : "分身を解除しました。"), "", kMbOk | kMbIconInformation,
              dialog);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  AlterEgoDialog* data = DialogData<AlterEgoDialog>(dialog);
  switch (message) {
    case WM_COMMAND:
      if (!data) break;
      switch (LOWORD(wParam)) {
        case kBrowseId: Browse(dialog, *data); return 0;
        case kActionId: Act(dialog, *data); return 0;
        case kCancelId: DestroyWindow(dialog); return 0;
      }
      break;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

}  // namespace

bool HandleImageSetDrag(AppState& app, const NMHDR& header) {
  if (header.hwndFrom != app.itemList || header.code != LVN_BEGINDRAG) return false;
  std::vector<std::string> keys;
  for (int i = ListView_GetNextItem(app.itemList, -1, LVNI_SELECTED); i >= 0;
       i = ListView_GetNextItem(app.itemList, i, LVNI_SELECTED))
    keys.push_back(app.mainDb.Cell(i + 1, kPosFileName));
  if (keys.empty()) return true;
  // With a drag modifier assigned, several items are dragged only while it is held.
  if (keys.size() > 1 && !ListDragModifierHeld()) return true;
  SetWindowSubclass(app.itemList, DragProcedure, kDragSubclassId, 0);
  Drag().keys = std::move(keys);
  Drag().active = true;
  SetCapture(app.itemList);
  SetCursor(LoadCursor(nullptr, IDC_HAND));
  return true;
}

void SplitImageSetCommand(AppState& app, const std::string& key) {
  if (key.empty()) return;
  bool split = false;
  {
    WaitCursor wait;
    Library library(app);
    split = SplitImageSet(library.db, key, app.mainWindow);
  }
  if (split) Reload(app, key);
}

void ShowAlterEgoDialog(AppState& app, const std::string& key) {
  if (key.empty()) return;
  AlterEgoDialog data{&app, key};
  HWND dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp("分身の作成・解除"), 460, 292, Procedure, &data);
  if (!dialog) return;
  Build(dialog);
  Fill(dialog, data);
  RunModal(dialog, app.mainWindow);
}

void RecoverAlterEgoNamesAtStart(AppState& app) {
  Library library(app);
  // A report takes the focus from the item list, which gets it back.
  if (RecoverAlterEgoNames(library.db, app.mainWindow) > 0 && app.itemList) SetFocus(app.itemList);
}

}  // namespace vel
