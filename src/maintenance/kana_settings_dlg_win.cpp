// YomiEnvDlg, "かな設定".
#include "maintenance/kana_settings_dlg_win.h"

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "maintenance/kakasi.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {
namespace {

bool gNarrowSymbols = false;  // "全角記号を半角に変換": not stored

constexpr const char* kSection = "EditUICheckBoxs";
constexpr int kNarrowWidth = 400, kWideWidth = 650, kHeight = 300;

enum : int {
  kHiraganaId = 2101,
  kKatakanaId,
  kRemoveSpacesId,
  kKeepSpacesId,
  kUnvoicedId,
  kNarrowId,
  kRemoveSymbolsId,
  kRomanId,
  kAdvancedId,
  kNarrowFromId,
  kNarrowToId,
  kRemoveFullId,
  kRemoveHalfId,
  kResetFullId,
  kResetHalfId,
  kOkId = IDOK,
  kCancelId = IDCANCEL,
};

struct KanaDialog {
  AppState* app = nullptr;
  bool accepted = false;
};

void Check(HWND dialog, int id, bool on) { CheckDlgButton(dialog, id, on ? BST_CHECKED : BST_UNCHECKED); }
bool Checked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }
std::string Text(HWND dialog, int id) { return WindowText(GetDlgItem(dialog, id)); }

void SetWidth(HWND dialog, int clientWidth) {
  RECT frame{0, 0, clientWidth, kHeight};
  AdjustWindowRectEx(&frame, static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongPtrA(dialog, GWL_EXSTYLE)));
  SetWindowPos(dialog, nullptr, 0, 0, frame.right - frame.left, frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER);
}

void ShowAdvanced(HWND dialog, bool show) {
  SetWidth(dialog, show ? kWideWidth : kNarrowWidth);
  for (int id : {kNarrowFromId, kNarrowToId, kRemoveFullId, kRemoveHalfId, kResetFullId, kResetHalfId})
    EnableWindow(GetDlgItem(dialog, id), show);
  SetDlgItemTextA(dialog, kAdvancedId, show ? Jp("高度な設定 <<").c_str() : Jp("高度な設定 >>").c_str());
}

bool AdvancedShown(HWND dialog) {
  RECT client{};
  GetClientRect(dialog, &client);
  return client.right >= kWideWidth;
}

HWND Edit(HWND dialog, int x, int y, int id, int limit) {
  HWND edit = AddControl(dialog, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, x, y, 225, 22, id);
  SendMessageA(edit, EM_LIMITTEXT, static_cast<WPARAM>(limit), 0);
  return edit;
}

void Build(HWND dialog) {
  AddControl(dialog, "STATIC",
             Jp("タイトルから読み仮名を超適当に生成する設定です。\nなんちゃって静音ソートを簡単にサポートするのが目的です。"),
             SS_LEFT, 12, 10, 380, 34, -1);
  AddControl(dialog, "BUTTON", Jp("かな部分変換形式"), BS_GROUPBOX, 10, 50, 185, 70, -1);
  AddControl(dialog, "BUTTON", Jp("ひらがなへ統一変換"), BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 20, 70, 170, 20, kHiraganaId);
  AddControl(dialog, "BUTTON", Jp("カタカナへ統一変換"), BS_AUTORADIOBUTTON, 20, 92, 170, 20, kKatakanaId);
  AddControl(dialog, "BUTTON", Jp("スペース"), BS_GROUPBOX, 205, 50, 185, 70, -1);
  AddControl(dialog, "BUTTON", Jp("全て除去"), BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, 215, 70, 170, 20, kRemoveSpacesId);
  AddControl(dialog, "BUTTON", Jp("残す（全角は半角に変換）"), BS_AUTORADIOBUTTON, 215, 92, 170, 20, kKeepSpacesId);
  const char* boxes[] = {"濁音を清音に変換", "全角記号を半角に変換", "記号を除去",
                         "ローマ数字（機種依存文字）を半角数字に変換"};
  for (int i = 0; i < 4; ++i)
    AddControl(dialog, "BUTTON", Jp(boxes[i]), BS_AUTOCHECKBOX | WS_TABSTOP | (i == 0 ? WS_GROUP : 0), 20,
               132 + i * 24, 360, 20, kUnvoicedId + i);
  AddControl(dialog, "BUTTON", Jp("高度な設定 >>"), BS_PUSHBUTTON | WS_TABSTOP, 10, 260, 120, 28, kAdvancedId);
  AddControl(dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 188, 260, 96, 28, kOkId);
  AddControl(dialog, "BUTTON", Jp("キャンセル"), BS_PUSHBUTTON | WS_TABSTOP, 292, 260, 96, 28, kCancelId);

  AddControl(dialog, "BUTTON", Jp("半角化記号"), BS_GROUPBOX, 405, 6, 238, 112, -1);
  AddControl(dialog, "STATIC", Jp("変換前全角キャラクタ"), SS_LEFT, 412, 24, 225, 16, -1);
  Edit(dialog, 412, 40, kNarrowFromId, 244);
  AddControl(dialog, "STATIC", Jp("↓"), SS_CENTER, 412, 63, 225, 14, -1);
  AddControl(dialog, "STATIC", Jp("変換後半角キャラクタ"), SS_LEFT, 412, 76, 225, 16, -1);
  Edit(dialog, 412, 92, kNarrowToId, 122);
  AddControl(dialog, "BUTTON", Jp("除去記号"), BS_GROUPBOX, 405, 122, 238, 118, -1);
  AddControl(dialog, "STATIC", Jp("全角キャラクタ"), SS_LEFT, 412, 140, 160, 16, -1);
  AddControl(dialog, "BUTTON", "Reset", BS_PUSHBUTTON | WS_TABSTOP, 577, 136, 60, 20, kResetFullId);
  Edit(dialog, 412, 158, kRemoveFullId, 244);
  AddControl(dialog, "STATIC", Jp("半角キャラクタ"), SS_LEFT, 412, 186, 160, 16, -1);
  AddControl(dialog, "BUTTON", "Reset", BS_PUSHBUTTON | WS_TABSTOP, 577, 182, 60, 20, kResetHalfId);
  Edit(dialog, 412, 204, kRemoveHalfId, 244);
  AddControl(dialog, "STATIC",
             Jp("全角244バイトまで。全角欄に半角文字を入力しないでください。入力するとライブラリが壊れる恐れもあります。"),
             SS_LEFT, 408, 244, 235, 48, -1);
}

void Fill(HWND dialog, const AppState& app) {
  ReadingSettings s = CurrentReadingSettings(app);
  Check(dialog, s.kanaMode == kKanaKatakana ? kKatakanaId : kHiraganaId, true);
  Check(dialog, s.removeSpaces ? kRemoveSpacesId : kKeepSpacesId, true);
  Check(dialog, kUnvoicedId, s.toUnvoiced);
  Check(dialog, kNarrowId, s.narrowSymbols);
  Check(dialog, kRemoveSymbolsId, s.removeSymbols);
  Check(dialog, kRomanId, s.romanToDigits);
  SymbolTables t = ReadSymbolTables(app.paths.settingsFile);
  SetDlgItemTextA(dialog, kNarrowFromId, t.narrowFrom.c_str());
  SetDlgItemTextA(dialog, kNarrowToId, t.narrowTo.c_str());
  SetDlgItemTextA(dialog, kRemoveFullId, t.removeFull.c_str());
  SetDlgItemTextA(dialog, kRemoveHalfId, t.removeHalf.c_str());
  ShowAdvanced(dialog, false);
}

// Everything is checked before anything is stored: a refused table changes nothing.
void Accept(HWND dialog, KanaDialog& d) {
  AppState& app = *d.app;
  ReadingSettings s;
  s.kanaMode = Checked(dialog, kKatakanaId) ? kKanaKatakana : kKanaHiragana;
  s.removeSpaces = Checked(dialog, kRemoveSpacesId);
  s.toUnvoiced = Checked(dialog, kUnvoicedId);
  s.narrowSymbols = Checked(dialog, kNarrowId);
  s.removeSymbols = Checked(dialog, kRemoveSymbolsId);
  s.romanToDigits = Checked(dialog, kRomanId);
  SymbolTables t{Text(dialog, kNarrowFromId), Text(dialog, kNarrowToId), Text(dialog, kRemoveFullId),
                 Text(dialog, kRemoveHalfId)};
  TableProblem problem = CheckSymbolTables(t, s.narrowSymbols);
  if (problem != TableProblem::None) {
    ShowMessage(TableProblemMessage(problem), Jp("エラー"), kMbOk | kMbIconWarning, dialog);
    SetForegroundWindow(dialog);
    return;
  }
  if (!WriteSymbolTables(t, app.paths.settingsFile)) {
    ShowMessage(Jp("設定ファイルに書き込めませんでした。\n") + app.paths.settingsFile, Jp("エラー"),
                kMbOk | kMbIconError, dialog);
    SetForegroundWindow(dialog);
    return;
  }
  SetSetting(app.settings, kSection, "YomiCnvMode", s.kanaMode);
  SetSetting(app.settings, kSection, "DakuonToSeion", s.toUnvoiced ? 1 : 0);
  SetSetting(app.settings, kSection, "YomiSpcRmv", s.removeSpaces ? 1 : 0);
  SetSetting(app.settings, kSection, "YomiMrkRmv", s.removeSymbols ? 1 : 0);
  SetSetting(app.settings, kSection, "YomiRmaCnv", s.romanToDigits ? 1 : 0);
  gNarrowSymbols = s.narrowSymbols;
  ProgramKakasi(app.paths.base, s.kanaMode != kKanaHiragana).SetOptionsAgain(s.kanaMode != kKanaHiragana);
  d.accepted = true;
  DestroyWindow(dialog);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  KanaDialog* d = DialogData<KanaDialog>(dialog);
  switch (message) {
    case WM_COMMAND:
      if (!d) break;
      switch (LOWORD(wParam)) {
        case kAdvancedId: ShowAdvanced(dialog, !AdvancedShown(dialog)); return 0;
        case kResetFullId:
          SetDlgItemTextA(dialog, kRemoveFullId, DefaultSymbolTables().removeFull.c_str());
          return 0;
        case kResetHalfId:
          SetDlgItemTextA(dialog, kRemoveHalfId, DefaultSymbolTables().removeHalf.c_str());
          return 0;
        case kOkId: Accept(dialog, *d); return 0;
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

ReadingSettings CurrentReadingSettings(const AppState& app) {
  ReadingSettings s;
  // Any value but 1 (katakana) is taken as the default, hiragana.
  s.kanaMode = SettingInt(app.settings, kSection, "YomiCnvMode") == 1 ? kKanaKatakana : kKanaHiragana;
  s.toUnvoiced = SettingInt(app.settings, kSection, "DakuonToSeion") == 1;
  s.removeSpaces = SettingInt(app.settings, kSection, "YomiSpcRmv") == 1;
  s.removeSymbols = SettingInt(app.settings, kSection, "YomiMrkRmv") == 1;
  s.romanToDigits = SettingInt(app.settings, kSection, "YomiRmaCnv") == 1;
  s.narrowSymbols = gNarrowSymbols;
  return s;
}

bool ShowKanaSettingsDialog(AppState& app, HWND owner) {
  KanaDialog data{&app};
  HWND dialog = CreateDialogWindow(app.instance, owner, Jp("かな設定"), kNarrowWidth, kHeight, Procedure, &data);
  if (!dialog) return false;
  Build(dialog);
  Fill(dialog, app);
  RunModal(dialog, owner);
  return data.accepted;
}

}  // namespace vel
