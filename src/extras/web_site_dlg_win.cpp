#include "extras/web_site_dlg_win.h"

#include <windows.h>

#include <string>
#include <vector>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "extras/web_search.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {
namespace {

enum : int {
  kSiteListId = 2301,
  kSiteNameId,
  kSiteUrlId,
  kRegisterId,
  kDeleteId,
  kUpId,
  kDownId,
  kCloseId = IDCANCEL,
};

struct SiteDialog {
  std::string file;
  std::vector<WebSite> sites;
};

int Selected(HWND dialog) { return static_cast<int>(SendDlgItemMessageA(dialog, kSiteListId, LB_GETCURSEL, 0, 0)); }

void Refresh(HWND dialog, SiteDialog& data, int select) {
  data.sites = ReadWebSites(data.file);
  HWND list = GetDlgItem(dialog, kSiteListId);
  SendMessageA(list, LB_RESETCONTENT, 0, 0);
  for (const WebSite& site : data.sites)
    SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(WebSiteListText(site).c_str()));
  if (select >= 0 && select < static_cast<int>(data.sites.size()))
    SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(select), 0);
}

// Says why a change did not happen; true when it did.
bool Report(HWND dialog, const SiteDialog& data, WebSiteChange change) {
  std::string message = WebSiteChangeMessage(change, data.file);
  if (message.empty()) return change == WebSiteChange::kDone;
  bool failed = change == WebSiteChange::kWriteFailed;
  ShowMessage(message, Jp(failed ? "エラー" : "中止"), kMbOk | (failed ? kMbIconError : kMbIconInformation), dialog);
  return false;
}

void ShowSelected(HWND dialog, const SiteDialog& data) {
  int index = Selected(dialog);
  if (index < 0 || index >= static_cast<int>(data.sites.size())) return;
  SetDlgItemTextA(dialog, kSiteNameId, data.sites[static_cast<size_t>(index)].name.c_str());
  SetDlgItemTextA(dialog, kSiteUrlId, data.sites[static_cast<size_t>(index)].url.c_str());
}

void Register(HWND dialog, SiteDialog& data) {
  const std::string name = WindowText(GetDlgItem(dialog, kSiteNameId));
  const std::string url = WindowText(GetDlgItem(dialog, kSiteUrlId));
  if (!Report(dialog, data, RegisterWebSite(data.file, name, url))) {
    Refresh(dialog, data, Selected(dialog));
    return;
  }
  // The fields are emptied only once the site is written.
  SetDlgItemTextA(dialog, kSiteNameId, "");
  SetDlgItemTextA(dialog, kSiteUrlId, "");
  Refresh(dialog, data, -1);
}

void Delete(HWND dialog, SiteDialog& data) {
  int index = Selected(dialog);
  if (index < 0) return;
  if (ShowMessage(Jp("選択した登録を削除しますか？"), Jp("確認"), kMbYesNo | kMbIconQuestion, dialog) != kIdYes)
    return;
  Report(dialog, data, DeleteWebSite(data.file, index));
  Refresh(dialog, data, -1);
}

void Move(HWND dialog, SiteDialog& data, bool up) {
  int index = Selected(dialog);
  if (index < 0) return;
  WebSiteChange change = MoveWebSite(data.file, index, up);
  bool moved = Report(dialog, data, change);
  Refresh(dialog, data, moved ? (up ? index - 1 : index + 1) : index);
}

void Build(HWND dialog, SiteDialog& data) {
  AddControl(dialog, "LISTBOX", "", WS_BORDER | WS_VSCROLL | WS_HSCROLL | LBS_NOTIFY | WS_TABSTOP, 10, 10, 520, 220,
             kSiteListId);
  AddControl(dialog, "BUTTON", Jp("↑"), BS_PUSHBUTTON | WS_TABSTOP, 540, 10, 60, 28, kUpId);
  AddControl(dialog, "BUTTON", Jp("↓"), BS_PUSHBUTTON | WS_TABSTOP, 540, 44, 60, 28, kDownId);
  AddControl(dialog, "BUTTON", Jp("削除"), BS_PUSHBUTTON | WS_TABSTOP, 540, 90, 60, 28, kDeleteId);
  AddControl(dialog, "STATIC", Jp("名前"), SS_LEFT, 10, 242, 50, 20, -1);
  AddControl(dialog, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 64, 240, 466, 22, kSiteNameId);
  AddControl(dialog, "STATIC", "URL", SS_LEFT, 10, 272, 50, 20, -1);
  AddControl(dialog, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 64, 270, 466, 22, kSiteUrlId);
  AddControl(dialog, "BUTTON", Jp("登録"), BS_PUSHBUTTON | WS_TABSTOP, 540, 254, 60, 28, kRegisterId);
  AddControl(dialog, "STATIC",
             Jp("置き換え: $machine $title $maker $developer（そのまま） %machine %title %maker %developer（URLエンコード）"),
             SS_LEFT, 10, 302, 520, 34, -1);
  AddControl(dialog, "BUTTON", Jp("閉じる"), BS_PUSHBUTTON | WS_TABSTOP, 540, 304, 60, 28, kCloseId);
  Refresh(dialog, data, -1);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  SiteDialog* data = DialogData<SiteDialog>(dialog);
  if (message == WM_COMMAND && data) {
    switch (LOWORD(wParam)) {
      case kSiteListId:
        if (HIWORD(wParam) == LBN_SELCHANGE) ShowSelected(dialog, *data);
        return 0;
      case kRegisterId: Register(dialog, *data); return 0;
      case kDeleteId: Delete(dialog, *data); return 0;
      case kUpId: Move(dialog, *data, true); return 0;
      case kDownId: Move(dialog, *data, false); return 0;
      case kCloseId: DestroyWindow(dialog); return 0;
    }
  }
  if (message == WM_CLOSE) return DestroyWindow(dialog), 0;
  return DefWindowProcA(dialog, message, wParam, lParam);
}

}  // namespace

void ShowWebSiteDialog(AppState& app) {
  SiteDialog data;
  data.file = app.paths.base + "\\" + kWebSiteFileName;
  HWND dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp("Web検索の設定"), 610, 344, Procedure, &data);
  if (!dialog) return;
  Build(dialog, data);
  RunModal(dialog, app.mainWindow);
}

}  // namespace vel
