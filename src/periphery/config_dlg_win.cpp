// ConfigBaseDlg, "全体設定": one tabbed dialog over the pages of the settings.
// The dialog only shows and collects values; what the pages hold, how values
// are checked and how they are written is in config_pages.h.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "periphery/colour_themes.h"
#include "periphery/config_pages.h"
#include "periphery/pane_style_win.h"
#include "periphery/periphery_commands_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {
namespace {

enum : int {
  kTabsId = 1100,
  kThemeComboId = 1032,
  kThemeSaveId = 1033,
  kThemeDeleteId = 1034,
  kRuleStyleId = 1040,
  kRuleStyleHId = 1041,
  kCursorTypeId = 1042,
  kSysColourId = 1043,
  kFieldFirstId = 2000,
  kSampleFirstId = 3000,
  kColourButtonFirstId = 3100,
  kFontTextFirstId = 4000,
};

constexpr int kClientWidth = 680, kClientHeight = 560, kRow = 24, kMargin = 12;

struct ConfigDialog {
  AppState* app = nullptr;
  ConfigValues before, edit;
  SystemColours system;
  HWND tabs = nullptr;
  std::vector<std::vector<HWND>> pages = std::vector<std::vector<HWND>>(kConfigPageCount);
  HBRUSH samples[kColourKeyCount] = {};
  int page = 0;
  bool accepted = false;
};

int FieldId(size_t i) { return kFieldFirstId + static_cast<int>(i); }

HWND Add(ConfigDialog& d, HWND dialog, int page, const char* cls, const std::string& text, DWORD style, int x, int y,
         int w, int h, int id) {
  HWND control = AddControl(dialog, cls, text, style, x, y, w, h, id);
  d.pages[static_cast<size_t>(page)].push_back(control);
  return control;
}

std::string FontText(const FontSetting& f) {
  std::string text = f.face + "  " + std::to_string(f.height < 0 ? -f.height : f.height);
  if (f.weight >= 700) text += Jp(" 太字");
  if (f.italic) text += Jp(" 斜体");
  return text;
}

RECT PageArea(HWND tabs) {
  RECT r{};
  GetClientRect(tabs, &r);
  TabCtrl_AdjustRect(tabs, FALSE, &r);
  MapWindowPoints(tabs, GetParent(tabs), reinterpret_cast<POINT*>(&r), 2);
  InflateRect(&r, -6, -4);
  return r;
}

void BuildFieldPages(ConfigDialog& d, HWND dialog, const RECT& area) {
  const auto& fields = ConfigFields();
  const int rowsPerColumn = (area.bottom - area.top) / kRow;
  for (int page = 0; page < kConfigPageCount; ++page) {
    int rows = 0;
    for (const ConfigField& f : fields)
      if (f.page == page) rows += f.kind == FieldKind::Text ? 2 : 1;
    if (rows == 0) continue;
    const int columns = (rows + rowsPerColumn - 1) / rowsPerColumn;
    const int width = (area.right - area.left) / columns;
    int row = 0;
    for (size_t i = 0; i < fields.size(); ++i) {
      const ConfigField& f = fields[i];
      if (f.page != page) continue;
      const int need = f.kind == FieldKind::Text ? 2 : 1;
      if (row % rowsPerColumn + need > rowsPerColumn) row += rowsPerColumn - row % rowsPerColumn;
      const int x = area.left + (row / rowsPerColumn) * width, y = area.top + (row % rowsPerColumn) * kRow;
      const int w = width - 10;
      const bool locked = !d.before.whole[i];  // a value that could not be read whole is shown but not edited
      switch (f.kind) {
        case FieldKind::Flag:
          Add(d, dialog, page, "BUTTON", f.label, BS_AUTOCHECKBOX | WS_TABSTOP, x, y, w, 20, FieldId(i));
          CheckDlgButton(dialog, FieldId(i), d.before.values[i] == "1" ? BST_CHECKED : BST_UNCHECKED);
          break;
        case FieldKind::Number:
          Add(d, dialog, page, "STATIC", f.label, SS_LEFT | SS_CENTERIMAGE, x, y, w - 72, 20, -1);
          Add(d, dialog, page, "EDIT", d.before.values[i], WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, x + w - 68, y,
              68, 20, FieldId(i));
          break;
        case FieldKind::Choice: {
          Add(d, dialog, page, "STATIC", f.label, SS_LEFT | SS_CENTERIMAGE, x, y, w - 152, 20, -1);
          HWND combo = Add(d, dialog, page, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, x + w - 148,
                           y, 148, 200, FieldId(i));
          for (const std::string& c : f.choices) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(c.c_str()));
          int at = std::atoi(d.before.values[i].c_str()) - f.minimum;
          // A stored value outside the choices shows as the first; it is written only if the user confirms.
          SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(at >= 0 && at < static_cast<int>(f.choices.size()) ? at : 0), 0);
          break;
        }
        case FieldKind::Text: {
          Add(d, dialog, page, "STATIC", f.label, SS_LEFT | SS_CENTERIMAGE, x, y, w, 20, -1);
          HWND edit = Add(d, dialog, page, "EDIT", d.before.values[i], WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, x,
                          y + kRow, w, 20, FieldId(i));
          if (locked) SendMessageA(edit, EM_SETREADONLY, TRUE, 0);
          break;
        }
        case FieldKind::Font:
          Add(d, dialog, page, "STATIC", f.label, SS_LEFT | SS_CENTERIMAGE, x, y, 190, 20, -1);
          Add(d, dialog, page, "STATIC", FontText(d.before.fonts[i]), SS_LEFT | SS_CENTERIMAGE | SS_SUNKEN, x + 194, y,
              w - 194 - 76, 20, kFontTextFirstId + static_cast<int>(i));
          Add(d, dialog, page, "BUTTON", Jp("変更..."), BS_PUSHBUTTON | WS_TABSTOP, x + w - 72, y, 72, 20, FieldId(i));
          break;
      }
      if (locked) EnableWindow(GetDlgItem(dialog, FieldId(i)), FALSE);
      row += need;
    }
  }
}

void FillChoices(HWND combo, std::initializer_list<const char*> choices, int selected) {
  for (const char* c : choices) SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Jp(c).c_str()));
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void ShowColours(ConfigDialog& d, HWND dialog) {
  const ColourSet& c = d.edit.colours;
  for (int k = 0; k < kColourKeyCount; ++k) {
    if (d.samples[k]) DeleteObject(d.samples[k]);
    d.samples[k] = CreateSolidBrush(c.colours[static_cast<size_t>(k)]);
    SetDlgItemTextA(dialog, kColourButtonFirstId + k, FormatColour(c.colours[static_cast<size_t>(k)]).c_str());
    InvalidateRect(GetDlgItem(dialog, kSampleFirstId + k), nullptr, TRUE);
  }
  SendDlgItemMessageA(dialog, kRuleStyleId, CB_SETCURSEL, static_cast<WPARAM>(c.ruleMarkStyle), 0);
  SendDlgItemMessageA(dialog, kRuleStyleHId, CB_SETCURSEL, static_cast<WPARAM>(c.ruleMarkStyleH), 0);
  SendDlgItemMessageA(dialog, kCursorTypeId, CB_SETCURSEL, static_cast<WPARAM>(c.cursorType == 0 ? 0 : 1), 0);
  CheckDlgButton(dialog, kSysColourId, c.selLineUseSysColor == 1 ? BST_CHECKED : BST_UNCHECKED);
}

void ListThemes(ConfigDialog& d, HWND dialog, const std::string& show) {
  HWND combo = GetDlgItem(dialog, kThemeComboId);
  SendMessageA(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& name : ListColourThemes(d.app->paths.colorThemeFolder))
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
  SetWindowTextA(combo, show.c_str());
}

void BuildColourPage(ConfigDialog& d, HWND dialog, const RECT& area) {
  const int page = kPageColours;
  const int half = (area.right - area.left) / 2;
  const auto& keys = ColourKeys();
  for (int k = 0; k < kColourKeyCount; ++k) {
    int x = area.left + (k / 12) * half, y = area.top + (k % 12) * kRow;
    Add(d, dialog, page, "STATIC", Jp(keys[static_cast<size_t>(k)].label), SS_LEFT | SS_CENTERIMAGE, x, y, half - 140,
        20, -1);
    Add(d, dialog, page, "STATIC", "", SS_NOTIFY | WS_BORDER, x + half - 136, y + 2, 34, 16, kSampleFirstId + k);
    Add(d, dialog, page, "BUTTON", "", BS_PUSHBUTTON | WS_TABSTOP, x + half - 96, y, 84, 20, kColourButtonFirstId + k);
  }
  int y = area.top + 12 * kRow + 8;
  int x = area.left;
  Add(d, dialog, page, "STATIC", Jp("縦罫線"), SS_LEFT | SS_CENTERIMAGE, x, y, 60, 20, -1);
  FillChoices(Add(d, dialog, page, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP, x + 60, y, 90, 120, kRuleStyleId),
              {"なし", "実線", "点線"}, 0);
  Add(d, dialog, page, "STATIC", Jp("横罫線"), SS_LEFT | SS_CENTERIMAGE, x + 160, y, 60, 20, -1);
  FillChoices(Add(d, dialog, page, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP, x + 220, y, 90, 120, kRuleStyleHId),
              {"なし", "実線", "点線"}, 0);
  Add(d, dialog, page, "STATIC", Jp("カーソル"), SS_LEFT | SS_CENTERIMAGE, x + 320, y, 60, 20, -1);
  FillChoices(Add(d, dialog, page, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_TABSTOP, x + 380, y, 90, 120, kCursorTypeId),
              {"枠なし", "枠あり"}, 1);
  Add(d, dialog, page, "BUTTON", Jp("選択行はシステムの色"), BS_AUTOCHECKBOX | WS_TABSTOP, x + 480, y, 170, 20,
      kSysColourId);
  y += kRow + 12;
  Add(d, dialog, page, "STATIC", Jp("カラーテーマ"), SS_LEFT | SS_CENTERIMAGE, x, y, 90, 20, -1);
  Add(d, dialog, page, "COMBOBOX", "", CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL | WS_TABSTOP, x + 90, y, 300, 200,
      kThemeComboId);
  SendDlgItemMessageA(dialog, kThemeComboId, CB_LIMITTEXT, 260, 0);
  Add(d, dialog, page, "BUTTON", Jp("保存"), BS_PUSHBUTTON | WS_TABSTOP, x + 400, y, 80, 22, kThemeSaveId);
  Add(d, dialog, page, "BUTTON", Jp("削除"), BS_PUSHBUTTON | WS_TABSTOP, x + 488, y, 80, 22, kThemeDeleteId);
  ListThemes(d, dialog, "");
  ShowColours(d, dialog);
}

void ShowPage(ConfigDialog& d, int page) {
  d.page = page;
  TabCtrl_SetCurSel(d.tabs, page);
  for (int p = 0; p < kConfigPageCount; ++p)
    for (HWND control : d.pages[static_cast<size_t>(p)]) ShowWindow(control, p == page ? SW_SHOW : SW_HIDE);
}

void Build(ConfigDialog& d, HWND dialog) {
  d.tabs = AddControl(dialog, WC_TABCONTROLA, "", TCS_MULTILINE | WS_CLIPSIBLINGS | WS_TABSTOP, 8, 8,
                      kClientWidth - 16, kClientHeight - 56, kTabsId);
  for (int p = 0; p < kConfigPageCount; ++p) {
    std::string label = ConfigPageLabel(p);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = label.data();
    TabCtrl_InsertItem(d.tabs, p, &item);
  }
  RECT area = PageArea(d.tabs);
  BuildFieldPages(d, dialog, area);
  BuildColourPage(d, dialog, area);
  AddControl(dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, kClientWidth - 216, kClientHeight - 40, 100, 28,
             IDOK);
  AddControl(dialog, "BUTTON", Jp("キャンセル"), BS_PUSHBUTTON | WS_TABSTOP, kClientWidth - 108, kClientHeight - 40,
             100, 28, IDCANCEL);
  SetWindowPos(d.tabs, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  ShowPage(d, 0);
}

// The option controls of the colour page, which a theme holds with the colours.
void CollectColourOptions(HWND dialog, ColourSet& c) {
  c.ruleMarkStyle = static_cast<int>(SendDlgItemMessageA(dialog, kRuleStyleId, CB_GETCURSEL, 0, 0));
  c.ruleMarkStyleH = static_cast<int>(SendDlgItemMessageA(dialog, kRuleStyleHId, CB_GETCURSEL, 0, 0));
  c.cursorType = static_cast<int>(SendDlgItemMessageA(dialog, kCursorTypeId, CB_GETCURSEL, 0, 0));
  c.selLineUseSysColor = IsDlgButtonChecked(dialog, kSysColourId) == BST_CHECKED ? 1 : 0;
}

// The typed values into `values`; false (after the message, with the field
// shown) when one is refused.
bool CollectFields(ConfigDialog& d, HWND dialog, ConfigValues& values) {
  const auto& fields = ConfigFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    const ConfigField& f = fields[i];
    if (!d.before.whole[i]) continue;
    std::string typed;
    switch (f.kind) {
      case FieldKind::Flag: typed = IsDlgButtonChecked(dialog, FieldId(i)) == BST_CHECKED ? "1" : "0"; break;
      case FieldKind::Choice: {
        int at = static_cast<int>(SendDlgItemMessageA(dialog, FieldId(i), CB_GETCURSEL, 0, 0));
        std::string was = d.before.values[i];
        int old = std::atoi(was.c_str()) - f.minimum;
        // Untouched, a value outside the choices stays as it was.
        bool untouched = (old < 0 || old >= static_cast<int>(f.choices.size())) && at == 0;
        typed = untouched ? was : std::to_string(f.minimum + (at < 0 ? 0 : at));
        if (untouched) {
          values.values[i] = was;
          continue;
        }
        break;
      }
      case FieldKind::Number:
      case FieldKind::Text: typed = WindowText(GetDlgItem(dialog, FieldId(i))); break;
      case FieldKind::Font: continue;  // kept in `values` as the font dialog left it
    }
    std::string value;
    std::string problem = CheckFieldValue(f, typed, value);
    if (!problem.empty()) {
      ShowPage(d, f.page);
      ShowMessage(problem, Jp("中止"), kMbOk | kMbIconWarning, dialog);
      SetFocus(GetDlgItem(dialog, FieldId(i)));
      return false;
    }
    values.values[i] = value;
  }
  CollectColourOptions(dialog, values.colours);
  return true;
}

void Accept(ConfigDialog& d, HWND dialog) {
  ConfigValues values = d.edit;
  if (!CollectFields(d, dialog, values)) return;
  AppState& app = *d.app;
  ConfigSaveResult r = SaveConfigValues(d.before, values, app.settings, app.paths, app.layoutMode);
  if (!r.ok) {
    ShowMessage(Jp("設定ファイルに書き込めませんでした。入力した設定はそのままです。\n") + r.failedFile, Jp("エラー"),
                kMbOk | kMbIconError, dialog);
    return;
  }
  CurrentColours() = values.colours;
  if (r.favouritesChanged) ReplaceFavouriteColours(r.favourites);
  d.accepted = true;
  DestroyWindow(dialog);
  ApplyPaneStyle(app);
}

void PickFont(ConfigDialog& d, HWND dialog, size_t i) {
  FontSetting& f = d.edit.fonts[i];
  LOGFONTA font{};
  font.lfHeight = f.height;
  font.lfWeight = f.weight;
  font.lfItalic = static_cast<BYTE>(f.italic != 0);
  font.lfCharSet = DEFAULT_CHARSET;
  lstrcpynA(font.lfFaceName, f.face.c_str(), LF_FACESIZE);
  CHOOSEFONTA choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = dialog;
  choose.lpLogFont = &font;
  choose.Flags = CF_SCREENFONTS | CF_INITTOLOGFONTSTRUCT;
  if (!ChooseFontA(&choose)) return;
  f.height = font.lfHeight;
  f.weight = static_cast<int>(font.lfWeight);
  f.italic = font.lfItalic ? 1 : 0;
  f.face = font.lfFaceName;
  SetDlgItemTextA(dialog, kFontTextFirstId + static_cast<int>(i), FontText(f).c_str());
}

void PickColour(ConfigDialog& d, HWND dialog, int k) {
  static COLORREF custom[16] = {};
  CHOOSECOLORA choose{};
  choose.lStructSize = sizeof choose;
  choose.hwndOwner = dialog;
  choose.rgbResult = d.edit.colours.colours[static_cast<size_t>(k)];
  choose.lpCustColors = custom;
  choose.Flags = CC_RGBINIT | CC_FULLOPEN;
  if (!ChooseColorA(&choose)) return;
  d.edit.colours.colours[static_cast<size_t>(k)] = choose.rgbResult & 0xFFFFFF;
  ShowColours(d, dialog);
}

std::string ThemeText(HWND dialog) { return WindowText(GetDlgItem(dialog, kThemeComboId)); }

void SaveTheme(ConfigDialog& d, HWND dialog) {
  const std::string folder = d.app->paths.colorThemeFolder;
  const std::string name = ThemeText(dialog);
  ThemeProblem problem = CheckColourThemeName(folder, name);
  if (problem == ThemeProblem::BadName) {
    ShowMessage(ThemeProblemMessage(problem, ""), "", kMbOk | kMbIconInformation, dialog);
    return;
  }
  if (ShowMessage(Jp("カラーテーマを保存します。\nよろしいですか？"), "", kMbOkCancel | kMbIconQuestion, dialog) != kIdOk)
    return;
  // The option controls are part of the theme as they stand now.
  CollectColourOptions(dialog, d.edit.colours);
  problem = SaveColourTheme(folder, name, d.edit.colours,
                            FavouriteColourEntries(PageFavouriteColours(d.edit, d.app->paths, d.app->layoutMode)));
  if (problem != ThemeProblem::None) {
    ShowMessage(ThemeProblemMessage(problem, ColourThemePath(folder, name)), problem == ThemeProblem::TooLong ? "" : Jp("エラー"),
                kMbOk | (problem == ThemeProblem::TooLong ? kMbIconInformation : kMbIconError), dialog);
    return;
  }
  Sleep(500);
  ListThemes(d, dialog, name);
}

void LoadTheme(ConfigDialog& d, HWND dialog) {
  HWND combo = GetDlgItem(dialog, kThemeComboId);
  int at = static_cast<int>(SendMessageA(combo, CB_GETCURSEL, 0, 0));
  if (at < 0) return;
  char name[300] = {};
  if (SendMessageA(combo, CB_GETLBTEXTLEN, static_cast<WPARAM>(at), 0) >= static_cast<LRESULT>(sizeof name)) return;
  SendMessageA(combo, CB_GETLBTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(name));
  if (!*name) return;
  // Into the page's copy only: the layout file and the panes change on OK.
  d.edit.colours = LoadColourTheme(d.app->paths.colorThemeFolder, name, d.system);
  d.edit.favouriteColourFile = ColourThemePath(d.app->paths.colorThemeFolder, name);
  ShowColours(d, dialog);
}

void DeleteTheme(ConfigDialog& d, HWND dialog) {
  const std::string folder = d.app->paths.colorThemeFolder;
  const std::string name = ThemeText(dialog);
  std::vector<std::string> listed = ListColourThemes(folder);
  if (std::find(listed.begin(), listed.end(), name) == listed.end()) {
    ListThemes(d, dialog, name);
    return;
  }
  if (ShowMessage(Jp("保存されているカラーテーマ ") + name + Jp(" を削除します。\nよろしいですか？"), "",
                  kMbOkCancel | kMbIconQuestion, dialog) != kIdOk)
    return;
  if (!DeleteColourTheme(folder, name))
    ShowMessage(Jp("カラーテーマを削除できませんでした。\n") + ColourThemePath(folder, name), Jp("エラー"),
                kMbOk | kMbIconError, dialog);
  Sleep(500);
  ListThemes(d, dialog, "");
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  ConfigDialog* d = DialogData<ConfigDialog>(dialog);
  switch (message) {
    case WM_NOTIFY:
      if (d && reinterpret_cast<NMHDR*>(lParam)->idFrom == kTabsId && reinterpret_cast<NMHDR*>(lParam)->code == TCN_SELCHANGE)
        ShowPage(*d, TabCtrl_GetCurSel(d->tabs));
      return 0;
    case WM_CTLCOLORSTATIC: {
      int id = GetDlgCtrlID(reinterpret_cast<HWND>(lParam));
      if (d && id >= kSampleFirstId && id < kSampleFirstId + kColourKeyCount)
        return reinterpret_cast<LRESULT>(d->samples[id - kSampleFirstId]);
      break;
    }
    case WM_COMMAND: {
      if (!d) break;
      const int id = LOWORD(wParam);
      const auto& fields = ConfigFields();
      if (id == IDOK) Accept(*d, dialog);
      else if (id == IDCANCEL) DestroyWindow(dialog);
      else if (id == kThemeSaveId) SaveTheme(*d, dialog);
      else if (id == kThemeDeleteId) DeleteTheme(*d, dialog);
      else if (id == kThemeComboId && HIWORD(wParam) == CBN_SELCHANGE) LoadTheme(*d, dialog);
      else if (id >= kColourButtonFirstId && id < kColourButtonFirstId + kColourKeyCount) PickColour(*d, dialog, id - kColourButtonFirstId);
      else if (id >= kFieldFirstId && id < kFieldFirstId + static_cast<int>(fields.size()) &&
               fields[static_cast<size_t>(id - kFieldFirstId)].kind == FieldKind::Font && HIWORD(wParam) == BN_CLICKED)
        PickFont(*d, dialog, static_cast<size_t>(id - kFieldFirstId));
      return 0;
    }
    case WM_CLOSE: DestroyWindow(dialog); return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

}  // namespace

bool ShowConfigDialog(AppState& app) {
  ConfigDialog d;
  d.app = &app;
  d.system = {GetSysColor(COLOR_HIGHLIGHTTEXT), GetSysColor(COLOR_HIGHLIGHT)};
  d.before = LoadConfigValues(app.settings, app.paths, app.layoutMode, CurrentColours());
  d.edit = d.before;
  HWND dialog = CreateDialogWindow(app.instance, app.mainWindow, Jp("全体設定"), kClientWidth, kClientHeight, Procedure, &d);
  if (!dialog) return false;
  Build(d, dialog);
  RunModal(dialog, app.mainWindow);
  for (HBRUSH brush : d.samples)
    if (brush) DeleteObject(brush);
  return d.accepted;
}

}  // namespace vel
