#include "search/query_tree_win.h"

#include <commctrl.h>

#include <string>
#include <vector>

#include "core/app_state_win.h"
#include "core/command_ids.h"
#include "core/commands_win.h"
#include "core/dialog_window_win.h"
#include "core/settings.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/system.h"
#include "search/column_names_win.h"
#include "search/query_tree_icons_win.h"
#include "search/query_wizard.h"
#include "search/saved_queries.h"
#include "search/search_items.h"
#include "search/sort_model.h"

namespace vel {
namespace {

constexpr int kNameId = 3201, kIconId = 3202, kSqlId = 3203, kIconBrowseId = 3204, kWizardTargetId = 3205,
              kWizardKeywordId = 3206, kWizardMethodId = 3207, kWizardSortId = 3208, kWizardDescendingId = 3209,
              kWizardMakeId = 3210, kColumnNamesId = 3211;

struct TreeNode {
  std::string name, path;
  bool isFolder = false;
};

struct QueryTreeState {
  std::vector<TreeNode> nodes;  // by the tree item's lParam
  TreeNode current;             // the current query path
};
QueryTreeState gTree;

std::string QueryRoot(AppState& app) { return app.paths.base + "\\query"; }

void InsertNodes(AppState& app, HTREEITEM parent, const std::vector<QueryNode>& nodes) {
  for (const QueryNode& node : nodes) {
    gTree.nodes.push_back({node.name, node.path, node.isFolder});
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    // A folder shows its "0.bmp", a query its own bitmap, else the default pictures.
    const int image = node.isFolder ? AddQueryTreeImage(node.path + "\\0.bmp", kQueryFolderImage)
                                    : AddQueryTreeImage(ReadQueryIcon(node.path), kQueryImage);
    insert.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE;
    insert.item.pszText = const_cast<char*>(node.name.c_str());
    insert.item.iImage = image;
    insert.item.iSelectedImage = image;
    insert.item.lParam = static_cast<LPARAM>(gTree.nodes.size() - 1);
    HTREEITEM item = reinterpret_cast<HTREEITEM>(
        SendMessageA(app.queryTree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
    if (node.isFolder && item) InsertNodes(app, item, node.children);
  }
}

const TreeNode* NodeOf(AppState& app, HTREEITEM item) {
  if (!item) return nullptr;
  TVITEMA data{};
  data.mask = TVIF_PARAM;
  data.hItem = item;
  if (!TreeView_GetItem(app.queryTree, &data)) return nullptr;
  size_t index = static_cast<size_t>(data.lParam);
  return index < gTree.nodes.size() ? &gTree.nodes[index] : nullptr;
}

void ResetCurrent(AppState& app) { gTree.current = {"", QueryRoot(app), true}; }

// The folder new entries go into: the current folder, or the current query's folder.
std::string CurrentFolder() {
  const TreeNode& c = gTree.current;
  return c.isFolder ? c.path : c.path.substr(0, c.path.rfind('\\'));
}

void Tell(AppState& app, HWND owner, const std::string& text) {
  ShowMessage(text, "", kMbOk | kMbIconInformation, owner ? owner : app.mainWindow);
}

// ---- The folder-name dialog.
struct FolderDialog {
  AppState* app = nullptr;
  HWND dialog = nullptr;
};

void CreateFolderFromDialog(FolderDialog& d) {
  std::string name = TrimQueryName(WindowText(GetDlgItem(d.dialog, kNameId)));
  if (name.empty()) {
    DestroyWindow(d.dialog);
    return;
  }
  if (!IsValidQueryName(name)) {
    Tell(*d.app, d.dialog, Jp("フォルダ名に使用できない文字が含まれているか、使用できない文字列です。"));
    return;
  }
  std::string path = CurrentFolder() + "\\" + name;
  if (path.size() >= 260) {
    Tell(*d.app, d.dialog, Jp("フォルダ名が長すぎます。"));
    return;
  }
  if (!CreateFolder(path)) {
    Tell(*d.app, d.dialog, Jp("フォルダを作成できませんでした。\n") + path);
    return;
  }
  DestroyWindow(d.dialog);
  FillQueryTree(*d.app);
}

LRESULT CALLBACK FolderProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  FolderDialog* d = DialogData<FolderDialog>(dialog);
  if (message == WM_COMMAND && d) {
    if (LOWORD(wParam) == IDOK) CreateFolderFromDialog(*d);
    if (LOWORD(wParam) == IDCANCEL) DestroyWindow(dialog);
    return 0;
  }
  if (message == WM_CLOSE) {
    DestroyWindow(dialog);
    return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

void CreateQueryFolder(AppState& app) {
  FolderDialog d{&app, nullptr};
  d.dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp("フォルダ作成"), 320, 96, FolderProcedure, &d);
  if (!d.dialog) return;
  AddControl(d.dialog, "STATIC", Jp("フォルダ名"), SS_LEFT, 12, 14, 80, 20, -1);
  HWND edit = AddControl(d.dialog, "EDIT", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 96, 12, 212, 24, kNameId);
  SendMessageA(edit, EM_LIMITTEXT, 260, 0);
  AddControl(d.dialog, "BUTTON", Jp("作成"), BS_DEFPUSHBUTTON | WS_TABSTOP, 124, 56, 88, 28, IDOK);
  AddControl(d.dialog, "BUTTON", Jp("キャンセル"), BS_PUSHBUTTON | WS_TABSTOP, 220, 56, 88, 28, IDCANCEL);
  SetFocus(edit);
  RunModal(d.dialog, app.mainWindow);
}

// ---- The query editor.
struct EditDialog {
  AppState* app = nullptr;
  HWND dialog = nullptr;
  std::string folder, oldPath;
};

void SaveFromDialog(EditDialog& d) {
  QuerySave save{d.folder, d.oldPath, WindowText(GetDlgItem(d.dialog, kNameId)),
                 WindowText(GetDlgItem(d.dialog, kSqlId)), WindowText(GetDlgItem(d.dialog, kIconId))};
  QuerySaveResult result = SaveQueryFile(save);
  if (!result.saved) {
    Tell(*d.app, d.dialog, result.refusal);  // the dialog stays open with what was typed
    return;
  }
  DestroyWindow(d.dialog);
  if (result.changed) FillQueryTree(*d.app);
}

int ChosenIndex(HWND dialog, int id) {
  const LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
  return index < 0 ? 0 : static_cast<int>(index);
}

// "↓クエリ作成↓": the wizard's statement replaces the query box.
void MakeWizardStatement(HWND dialog) {
  WizardChoice choice;
  choice.target = ChosenIndex(dialog, kWizardTargetId);
  choice.keyword = WindowText(GetDlgItem(dialog, kWizardKeywordId));
  choice.contains = ChosenIndex(dialog, kWizardMethodId) == 1;
  choice.sort = ChosenIndex(dialog, kWizardSortId);
  choice.descending = IsDlgButtonChecked(dialog, kWizardDescendingId) == BST_CHECKED;
  SetDlgItemTextA(dialog, kSqlId, WizardStatement(choice).c_str());
}

void BrowseIcon(HWND dialog) {
  FileRequest request{Jp("ビットマップ画像 (*.bmp)"), "*.bmp", WindowText(GetDlgItem(dialog, kIconId))};
  const std::string path = PickFileToOpen(request, dialog);
  if (!path.empty()) SetDlgItemTextA(dialog, kIconId, path.c_str());
}

LRESULT CALLBACK EditProcedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  EditDialog* d = DialogData<EditDialog>(dialog);
  if (message == WM_COMMAND && d) {
    switch (LOWORD(wParam)) {
      case IDOK: SaveFromDialog(*d); break;
      case IDCANCEL: DestroyWindow(dialog); break;
      case kIconBrowseId: BrowseIcon(dialog); break;
      case kWizardMakeId: MakeWizardStatement(dialog); break;
      case kColumnNamesId: ShowColumnNamesWindow(*d->app, dialog); break;
    }
    return 0;
  }
  if (message == WM_CLOSE) {
    DestroyWindow(dialog);
    return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

HWND AddChoices(HWND dialog, int id, int x, int y, int width, const std::vector<std::string>& entries) {
  HWND combo = AddControl(dialog, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, x, y, width, 300, id);
  for (const std::string& entry : entries)
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(entry.c_str()));
  SendMessageA(combo, CB_SETCURSEL, 0, 0);  // every list starts at its first entry
  return combo;
}

void AddWizard(HWND dialog, int top) {
  AddControl(dialog, "BUTTON", Jp("簡易ウィザード"), BS_GROUPBOX, 8, top, 504, 112, -1);
  std::vector<std::string> targets, sorts;
  for (int t = 0; t < kWizardTargetCount; ++t) targets.push_back(Jp(WizardTargetLabel(t)));
  for (int c = 0; c < kWizardSortCount; ++c) sorts.push_back(SortHeaderLabel(c, 0));
  AddControl(dialog, "STATIC", Jp("検索対象"), SS_LEFT, 18, top + 24, 80, 20, -1);
  AddChoices(dialog, kWizardTargetId, 104, top + 20, 150, targets);
  AddControl(dialog, "STATIC", Jp("キーワード"), SS_LEFT, 266, top + 24, 70, 20, -1);
  HWND keyword = AddControl(dialog, "EDIT", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 338, top + 20, 164, 24,
                            kWizardKeywordId);
  SendMessageA(keyword, EM_LIMITTEXT, 256, 0);
  AddControl(dialog, "STATIC", Jp("検索方法"), SS_LEFT, 18, top + 54, 80, 20, -1);
  AddChoices(dialog, kWizardMethodId, 104, top + 50, 220,
             {Jp("「一致」アイテムを検索"), Jp("「含む」アイテムを検索")});
  AddControl(dialog, "BUTTON", Jp("降順ソート"), BS_AUTOCHECKBOX | WS_TABSTOP, 338, top + 52, 164, 22,
             kWizardDescendingId);
  AddControl(dialog, "STATIC", Jp("ソート方法"), SS_LEFT, 18, top + 84, 80, 20, -1);
  AddChoices(dialog, kWizardSortId, 104, top + 80, 220, sorts);
  AddControl(dialog, "BUTTON", Jp("↓クエリ作成↓"), BS_PUSHBUTTON | WS_TABSTOP, 338, top + 78, 164, 26, kWizardMakeId);
}

void QueryEditDlg(AppState& app, bool editing) {
  if (editing && gTree.current.isFolder) return;
  EditDialog d{&app, nullptr, CurrentFolder(), editing ? gTree.current.path : ""};
  d.dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp(editing ? "クエリ編集" : "クエリ作成"), 520, 448,
                                EditProcedure, &d);
  if (!d.dialog) return;
  AddControl(d.dialog, "BUTTON", Jp("表示設定"), BS_GROUPBOX, 8, 4, 504, 86, -1);
  AddControl(d.dialog, "STATIC", Jp("クエリ名"), SS_LEFT, 18, 26, 80, 20, -1);
  HWND name = AddControl(d.dialog, "EDIT", editing ? gTree.current.name : "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP,
                         104, 24, 398, 24, kNameId);
  SendMessageA(name, EM_LIMITTEXT, 260, 0);
  AddControl(d.dialog, "STATIC", Jp("アイコン ( BMP 32x32 : RGB0,0,0 = 透明色 )"), SS_LEFT, 18, 56, 240, 20, -1);
  AddControl(d.dialog, "EDIT", editing ? ReadQueryIcon(d.oldPath) : "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 262,
             54, 190, 24, kIconId);
  AddControl(d.dialog, "BUTTON", ". .", BS_PUSHBUTTON | WS_TABSTOP, 456, 53, 46, 26, kIconBrowseId);
  AddWizard(d.dialog, 96);
  AddControl(d.dialog, "BUTTON", Jp("クエリ"), BS_GROUPBOX, 8, 214, 504, 190, -1);
  std::string sql = editing ? ReadQuerySql(d.oldPath) : "";
  if (sql.empty()) sql = "SELECT * FROM list_view ;";
  HWND query = AddControl(d.dialog, "EDIT", sql,
                          ES_MULTILINE | ES_AUTOVSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_BORDER | WS_TABSTOP, 18,
                          234, 484, 160, kSqlId);
  SendMessageA(query, EM_LIMITTEXT, 20480, 0);
  AddControl(d.dialog, "BUTTON", Jp("カラム名一覧を表示"), BS_PUSHBUTTON | WS_TABSTOP, 8, 412, 160, 28, kColumnNamesId);
  AddControl(d.dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 324, 412, 88, 28, IDOK);
  AddControl(d.dialog, "BUTTON", Jp("キャンセル"), BS_PUSHBUTTON | WS_TABSTOP, 420, 412, 88, 28, IDCANCEL);
  SetFocus(name);
  RunModal(d.dialog, app.mainWindow);
}

void DeleteCurrent(AppState& app) {
  const TreeNode c = gTree.current;
  if (c.path == QueryRoot(app)) return;  // the query folder itself stays
  if (c.isFolder) {
    if (ShowMessage(Jp("フォルダとフォルダに含まれるクエリ全てを削除します。よろしいですか？"), Jp("確認"),
                    kMbYesNo | kMbIconQuestion, app.mainWindow) != kIdYes)
      return;
    if (!DeleteQueryFolder(c.path))
      Tell(app, nullptr, Jp("クエリ以外のファイルがあるため、フォルダを削除できませんでした。\n") + c.path);
  } else {
    if (ShowMessage(Jp("クエリを削除します。よろしいですか？"), Jp("確認"), kMbYesNo | kMbIconQuestion,
                    app.mainWindow) != kIdYes)
      return;
    if (!RemoveFile(c.path)) Tell(app, nullptr, Jp("クエリを削除できませんでした。\n") + c.path);
  }
  FillQueryTree(app);
}

void MakeCurrent(const TreeNode* node) {
  if (node) gTree.current = *node;
}

int IconSize(AppState& app) { return SettingInt(app.settings, "QueryTree", "IconSize") == 32 ? 32 : 16; }

// The tree takes the list of its icon size; "大きいアイコン" is checked at 32.
void ShowIconSize(AppState& app) {
  const int size = IconSize(app);
  TreeView_SetImageList(app.queryTree, QueryTreeImages(size), TVSIL_NORMAL);
  if (app.queryContextMenu)
    CheckMenuItem(app.queryContextMenu, kCmdQueryLargeIcons, MF_BYCOMMAND | (size == 32 ? MF_CHECKED : MF_UNCHECKED));
}

void ToggleLargeIcons(AppState& app) {
  SetSetting(app.settings, "QueryTree", "IconSize", IconSize(app) == 32 ? 16 : 32);
  if (app.queryTree) ShowIconSize(app);
}

}  // namespace

void FillQueryTree(AppState& app) {
  if (!app.queryTree) return;
  const std::string root = QueryRoot(app);
  CreateFolder(root);
  SendMessageA(app.queryTree, WM_SETREDRAW, FALSE, 0);
  TreeView_DeleteAllItems(app.queryTree);
  gTree.nodes.clear();
  ResetCurrent(app);
  ResetQueryTreeImages(app.paths.base + "\\resource");
  InsertNodes(app, TVI_ROOT, ListQueryTree(root));
  ShowIconSize(app);
  SendMessageA(app.queryTree, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(app.queryTree, nullptr, TRUE);
}

void RunSavedQuery(AppState& app) {
  const TreeNode c = gTree.current;
  if (c.isFolder) return;
  std::string sql = ReadQuerySql(c.path);
  if (sql.empty() || !app.runSearch) return;
  // The name travels as the statement's leading comment, into the view and the history.
  app.runSearch("/*" + c.name + "*/" + sql, kTargetSql);
}

bool HandleQueryTreeNotify(AppState& app, const NMHDR& header) {
  if (header.hwndFrom != app.queryTree) return false;
  switch (header.code) {
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW: {
      const auto& change = reinterpret_cast<const NMTREEVIEWA&>(header);
      MakeCurrent(NodeOf(app, change.itemNew.hItem));
      // Arrow keys only move the current path; a click runs the query.
      if (change.action == TVC_BYMOUSE) RunSavedQuery(app);
      return true;
    }
    case NM_CLICK:
    case NM_RCLICK: {
      TVHITTESTINFO hit{};
      GetCursorPos(&hit.pt);
      ScreenToClient(app.queryTree, &hit.pt);
      HTREEITEM item = TreeView_HitTest(app.queryTree, &hit);
      if (!item || !(hit.flags & TVHT_ONITEM)) {
        if (header.code == NM_RCLICK) ResetCurrent(app);
        return header.code == NM_CLICK;
      }
      bool reselect = item == TreeView_GetSelection(app.queryTree);
      MakeCurrent(NodeOf(app, item));
      if (header.code == NM_RCLICK) {
        TreeView_SelectItem(app.queryTree, item);
        return false;  // the caller opens the menu
      }
      // A click on the query already selected runs it again.
      if (reselect) RunSavedQuery(app);
      return true;
    }
    case TVN_KEYDOWN:
      if (reinterpret_cast<const NMTVKEYDOWN&>(header).wVKey == VK_RETURN) RunSavedQuery(app);
      return true;
  }
  return false;
}

void RegisterQueryTreeCommands() {
  RegisterCommand(kCmdQueryFolderCreate, CreateQueryFolder);
  RegisterCommand(kCmdQueryCreate, [](AppState& app) { QueryEditDlg(app, false); });
  RegisterCommand(kCmdQueryEdit, [](AppState& app) { QueryEditDlg(app, true); });
  RegisterCommand(kCmdQueryDelete, DeleteCurrent);
  RegisterCommand(kCmdQueryLargeIcons, ToggleLargeIcons);
}

}  // namespace vel
