// The configuration editor: five pages over every key of a configuration
// file and its three scripts, checked and saved on OK.
#include <windows.h>
#include <commctrl.h>

#include <cctype>

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "db/library_connection.h"
#include "launch/emulator_config.h"
#include "launch/emulator_config_dlg_win.h"
#include "launch/library_images.h"
#include "launch/placeholders.h"
#include "launch/settings_rewrite.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/system.h"

namespace vel {
namespace {

enum : int {
  kTabId = 4001,
  kMachineId,
  kNameId,
  kExecBrowseId,
  kKeyScriptId,
  kRewriteScriptId,
  kExitScriptId,
  kRewriteTestId,
  kResetId,
  kOkId = IDOK,
  kCancelId = IDCANCEL,
  kFieldFirstId = 4100,  // field i: 4100 + 4 * i (+ 1, + 2 for the further choices)
};
constexpr int kPageCount = 5;

using IntRef = int& (*)(EmulatorConfig&);
using TextRef = std::string& (*)(EmulatorConfig&);
#define VEL_INT(member) [](EmulatorConfig& c) -> int& { return c.member; }
#define VEL_TEXT(member) [](EmulatorConfig& c) -> std::string& { return c.member; }

enum class Kind { kText, kNumber, kCheck, kChoice3, kList4 };
// Numbers whose text is checked on OK.
enum class Checked { kNo, kProgramDelay, kSearchInterval };

struct Field {
  int page;
  Kind kind;
  const char* label;  // UTF-8; the choices' texts for kChoice3 are in `choices`
  int x, y, width;
  IntRef number;
  TextRef text;
  const char* choices[4];
  int values[4];  // the key's value of each choice
  Checked checked;
};

Field TextField(int page, const char* label, int x, int y, int width, TextRef ref) {
  return {page, Kind::kText, label, x, y, width, nullptr, ref, {}, {}, Checked::kNo};
}
Field NumberField(int page, const char* label, int x, int y, IntRef ref, Checked checked = Checked::kNo) {
  return {page, Kind::kNumber, label, x, y, 60, ref, nullptr, {}, {}, checked};
}
Field CheckField(int page, const char* label, int x, int y, IntRef ref) {
  return {page, Kind::kCheck, label, x, y, 520, ref, nullptr, {}, {}, Checked::kNo};
}

// Every key of a configuration file, page by page.
const std::vector<Field>& Fields() {
  static const std::vector<Field> fields = [] {
    std::vector<Field> f;
    // Page 0: the emulator and the image file.
    f.push_back(TextField(0, "エミュレータ (Exec)", 12, 56, 470, VEL_TEXT(exec)));
    f.push_back(TextField(0, "オプション (Option)", 12, 104, 540, VEL_TEXT(option)));
    f.push_back(CheckField(0, "イメージファイルのパスをダブルクォートで囲む", 12, 150, VEL_INT(doubleQuart)));
    f.push_back({0, Kind::kChoice3, "イメージファイル", 12, 176, 540, VEL_INT(extract), nullptr,
                 {"そのまま渡す", "圧縮ファイルを解凍して渡す", "非圧縮ファイルもコピーして渡す"},
                 {0, 1, 2},
                 Checked::kNo});
    f.push_back(TextField(0, "圧縮ファイルの解凍先フォルダ (ExtractPath)", 12, 266, 540, VEL_TEXT(extractPath)));
    f.push_back(CheckField(0, "エミュレータ終了後に解凍先フォルダの中身を全て削除する", 12, 312, VEL_INT(extractAllDelete)));
    f.push_back(CheckField(0, "解凍先に同名のファイルがあれば解凍・コピーしない", 12, 336, VEL_INT(skipExtractIfExist)));
    f.push_back(NumberField(0, "イメージファイル名の置換 (ImageFnReplace)", 12, 362, VEL_INT(imageFnReplace)));
    // Page 1: how the end of the emulator is detected.
    f.push_back({1, Kind::kChoice3, "起動と終了検知", 12, 8, 540, VEL_INT(chekType), nullptr,
                 {"Type1: プロセスを作成して終了を待つ", "Type2: シェルで起動してプロセスの終了を待つ",
                  "ウィンドウタイトルの検索で終了を検知する"},
                 {0, 2, 1},
                 Checked::kNo});
    f.push_back(NumberField(1, "検索間隔(秒)", 12, 96, VEL_INT(ttSrchChekInterval), Checked::kSearchInterval));
    f.push_back(NumberField(1, "無視する検索語の長さ(未満)", 290, 96, VEL_INT(ttSrchThresholdOfIgnore)));
    f.push_back(CheckField(1, "イメージ名で検索する", 12, 124, VEL_INT(ttSrchCheckImage)));
    f.push_back(CheckField(1, "イメージ名を半角スペースで区切って検索する", 32, 146, VEL_INT(ttSrchSpaceSeparated)));
    f.push_back(CheckField(1, "キーワードで検索する", 12, 168, VEL_INT(ttSrchCheckText)));
    f.push_back(CheckField(1, "キーワードがある時はイメージ名で検索しない", 32, 190, VEL_INT(ttSrchUseOonlyKeywords)));
    f.push_back(TextField(1, "キーワード (;区切り)", 12, 212, 540, VEL_TEXT(ttSrchText)));
    f.push_back(TextField(1, "除外する文字列", 12, 256, 540, VEL_TEXT(ttSrchExclusionText)));
    f.push_back(CheckField(1, "起動後、ウィンドウが見つかるまでタイムアウトせずに待つ", 12, 300, VEL_INT(ttSrchNoTimeout)));
    f.push_back(CheckField(1, "終了要求ではプロセスを強制終了する (UseTerminateProcess)", 12, 322, VEL_INT(useTerminateProcess)));
    // Page 2: programs run before and after the emulator.
    const char* waits[4] = {"0: 待たない", "1: 待たない", "2: 終了を待つ", "3: 終了を待ち、0以外で中止"};
    f.push_back(TextField(2, "起動前のアプリケーション1", 12, 8, 540, VEL_TEXT(start[0].cmd)));
    f.push_back(TextField(2, "引数", 12, 48, 300, VEL_TEXT(start[0].opt)));
    f.push_back(NumberField(2, "遅延(秒)", 330, 48, VEL_INT(start[0].wait), Checked::kProgramDelay));
    f.push_back({2, Kind::kList4, "", 410, 64, 142, VEL_INT(start[0].appProcWait), nullptr,
                 {waits[0], waits[1], waits[2], waits[3]}, {0, 1, 2, 3}, Checked::kNo});
    f.push_back(TextField(2, "起動前のアプリケーション2", 12, 96, 540, VEL_TEXT(start[1].cmd)));
    f.push_back(TextField(2, "引数", 12, 136, 300, VEL_TEXT(start[1].opt)));
    f.push_back(NumberField(2, "遅延(秒)", 330, 136, VEL_INT(start[1].wait), Checked::kProgramDelay));
    f.push_back({2, Kind::kList4, "", 410, 152, 142, VEL_INT(start[1].appProcWait), nullptr,
                 {waits[0], waits[1], waits[2], waits[3]}, {0, 1, 2, 3}, Checked::kNo});
    f.push_back(TextField(2, "終了後のアプリケーション1", 12, 192, 540, VEL_TEXT(terminate[0].cmd)));
    f.push_back(TextField(2, "引数", 12, 232, 300, VEL_TEXT(terminate[0].opt)));
    f.push_back(NumberField(2, "遅延(秒)", 330, 232, VEL_INT(terminate[0].wait), Checked::kProgramDelay));
    f.push_back(TextField(2, "終了後のアプリケーション2", 12, 280, 540, VEL_TEXT(terminate[1].cmd)));
    f.push_back(TextField(2, "引数", 12, 320, 300, VEL_TEXT(terminate[1].opt)));
    f.push_back(NumberField(2, "遅延(秒)", 330, 320, VEL_INT(terminate[1].wait), Checked::kProgramDelay));
    // Page 3: key input and settings rewrite (the scripts sit beside these).
    f.push_back(CheckField(3, "イメージが2つ以上の時だけ起動キースクリプトを実行する", 12, 8, VEL_INT(enable2ImgOver)));
    f.push_back(CheckField(3, "書き換える設定をバックアップし、終了後に元に戻す", 12, 198, VEL_INT(backupAndRestore)));
    // Page 4: snapshot capture.
    struct Snap {
      const char* label;
      IntRef ref;
    } snaps[] = {{"ClipXthreshold", VEL_INT(clipXthreshold)}, {"ClipTopX", VEL_INT(clipTopX)},
                 {"ClipTopY", VEL_INT(clipTopY)},             {"ClipWidth", VEL_INT(clipWidth)},
                 {"ClipHeight", VEL_INT(clipHeight)},         {"ClipTopX2", VEL_INT(clipTopX2)},
                 {"ClipTopY2", VEL_INT(clipTopY2)},           {"ClipWidth2", VEL_INT(clipWidth2)},
                 {"ClipHeight2", VEL_INT(clipHeight2)},       {"Monitor", VEL_INT(monitor)},
                 {"SaveWidth", VEL_INT(saveWidth)},           {"SaveHeight", VEL_INT(saveHeight)},
                 {"HarfTone", VEL_INT(harfTone)},             {"ColorTrim", VEL_INT(colorTrim)},
                 {"ReSize", VEL_INT(reSize)},                 {"Trim", VEL_INT(trim)}};
    for (int i = 0; i < 16; ++i)
      f.push_back(NumberField(4, snaps[i].label, 12 + (i / 8) * 280, 8 + (i % 8) * 40, snaps[i].ref));
    return f;
  }();
  return fields;
}

int FieldId(size_t index, int choice = 0) { return kFieldFirstId + 4 * static_cast<int>(index) + choice; }

struct Editor {
  AppState* app = nullptr;
  HWND dialog = nullptr;
  HWND tab = nullptr;
  HWND pages[kPageCount] = {};
  std::vector<std::string> machines;
  std::string oldMachine, oldName;  // "" name: a new configuration
  EditorResult result;
};

HWND Page(Editor& e, int page) { return e.pages[page]; }
HWND Control(Editor& e, size_t index, int choice = 0) {
  return GetDlgItem(Page(e, Fields()[index].page), FieldId(index, choice));
}

// A leading sign and decimal digits, as the profile functions read
// integers; `fallback` when there are no digits.
int LeadingNumber(const std::string& text, int fallback) {
  size_t i = !text.empty() && text[0] == '-' ? 1 : 0;
  const size_t first = i;
  long long value = 0;
  while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])) && value < 1000000000) {
    value = value * 10 + (text[i] - '0');
    ++i;
  }
  if (i == first) return fallback;
  return static_cast<int>(first == 1 ? -value : value);
}

bool IsNumber(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text)
    if (!std::isdigit(static_cast<unsigned char>(c))) return false;
  return true;
}

// Line feeds as an edit control shows them.
std::string ForEditControl(const std::string& text) {
  std::string shown;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) shown += '\r';
    shown += text[i];
  }
  return shown;
}

void SetChoice(Editor& e, size_t index, int value) {
  const Field& f = Fields()[index];
  if (f.kind == Kind::kList4) {
    int selected = 0;
    for (int k = 0; k < 4; ++k)
      if (f.values[k] == value) selected = k;
    SendMessageA(Control(e, index), CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
    return;
  }
  int selected = 0;
  for (int k = 0; k < 3; ++k)
    if (f.values[k] == value) selected = k;
  for (int k = 0; k < 3; ++k)
    SendMessageA(Control(e, index, k), BM_SETCHECK, k == selected ? BST_CHECKED : BST_UNCHECKED, 0);
}

int GetChoice(Editor& e, size_t index) {
  const Field& f = Fields()[index];
  if (f.kind == Kind::kList4) {
    LRESULT selected = SendMessageA(Control(e, index), CB_GETCURSEL, 0, 0);
    return f.values[selected >= 0 && selected < 4 ? selected : 0];
  }
  for (int k = 0; k < 3; ++k)
    if (SendMessageA(Control(e, index, k), BM_GETCHECK, 0, 0) == BST_CHECKED) return f.values[k];
  return f.values[0];
}

// Puts the record's values into the fields of one page (-1: every page).
void ShowValues(Editor& e, EmulatorConfig config, int page) {
  const std::vector<Field>& fields = Fields();
  for (size_t i = 0; i < fields.size(); ++i) {
    const Field& f = fields[i];
    if (page >= 0 && f.page != page) continue;
    switch (f.kind) {
      case Kind::kText: SetWindowTextA(Control(e, i), f.text(config).c_str()); break;
      case Kind::kNumber: SetWindowTextA(Control(e, i), std::to_string(f.number(config)).c_str()); break;
      case Kind::kCheck:
        SendMessageA(Control(e, i), BM_SETCHECK, f.number(config) == 1 ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
      case Kind::kChoice3:
      case Kind::kList4: SetChoice(e, i, f.number(config)); break;
    }
  }
}

EmulatorConfig CollectValues(Editor& e) {
  EmulatorConfig config = DefaultEmulatorConfig();
  const std::vector<Field>& fields = Fields();
  for (size_t i = 0; i < fields.size(); ++i) {
    const Field& f = fields[i];
    switch (f.kind) {
      case Kind::kText: f.text(config) = WindowText(Control(e, i)); break;
      case Kind::kNumber: f.number(config) = LeadingNumber(WindowText(Control(e, i)), 0); break;
      case Kind::kCheck: f.number(config) = SendMessageA(Control(e, i), BM_GETCHECK, 0, 0) == BST_CHECKED; break;
      case Kind::kChoice3:
      case Kind::kList4: f.number(config) = GetChoice(e, i); break;
    }
  }
  return config;
}

// True when every field checked as a number of this kind holds one.
bool NumbersValid(Editor& e, Checked kind) {
  const std::vector<Field>& fields = Fields();
  for (size_t i = 0; i < fields.size(); ++i)
    if (fields[i].checked == kind && !IsNumber(WindowText(Control(e, i)))) return false;
  return true;
}

std::string Machine(Editor& e) { return WindowText(GetDlgItem(Page(e, 0), kMachineId)); }
std::string Script(Editor& e, int id) { return WindowText(GetDlgItem(Page(e, id == kExitScriptId ? 1 : 3), id)); }

void Inform(Editor& e, const char* text, const char* caption) {
  ShowMessage(Jp(text), Jp(caption), kMbOk | kMbIconInformation, e.dialog);
}

void ReportWriteFailure(Editor& e, const std::string& path) {
  ShowMessage(Jp("設定ファイルに書き込めませんでした。\n") + path, Jp("エラー"), kMbOk | kMbIconError, e.dialog);
}

// The checks of OK in their order, then the save. True when saved.
bool Save(Editor& e) {
  AppState& app = *e.app;
  EmulatorConfig config = CollectValues(e);
  std::string name = WindowText(GetDlgItem(Page(e, 0), kNameId));
  std::string machine = Machine(e);
  if ((config.extract == 1 || config.extract == 2) && config.extractPath.empty()) {
    Inform(e, "圧縮ファイルの解凍先フォルダを指定してください。", "中止");
    return false;
  }
  if (config.extract > 0 && config.extractAllDelete == 1) {
    LibraryConnection db;
    db.Open(app.databasePath, app.regexExtensionPath);
    if (HoldsUsersFiles(db, config.extractPath, app.paths.base) &&
        ShowMessage(Jp("解凍先フォルダ「") + config.extractPath +
                        Jp("」には、ライブラリのイメージファイルまたは機種のスナップショットがあります。\n"
                           "「エミュレータ終了後に解凍先フォルダの中身を全て削除する」が選ばれています"
                           "（起動前からあったファイルは削除しません）。\nこのまま保存しますか？"),
                    Jp("確認"), kMbYesNo | kMbIconWarning | kMbDefaultButton2, e.dialog) != kIdYes)
      return false;
  }
  if (name.empty()) {
    Inform(e, "設定名の入力は必須です。", "中止");
    return false;
  }
  if (!IsUsableConfigName(name)) {
    ShowMessage(UnusableConfigNameMessage(), Jp("中止"), kMbOk | kMbIconInformation, e.dialog);
    return false;
  }
  if (!NumbersValid(e, Checked::kProgramDelay))
    Inform(e, "同時起動アプリケーションのエミュ起動遅延(秒)は半角数値で入力してください。", "警告");
  if (!NumbersValid(e, Checked::kSearchInterval)) {
    Inform(e, "エミュレータ終了検知の検索間隔(秒)は半角数値で入力してください。", "中止");
    return false;
  }
  if (config.chekType == 1 && config.ttSrchCheckText == 1 && config.ttSrchText.empty()) {
    Inform(e, "エミュレータ終了検知の文字列が指定されていません。", "中止");
    return false;
  }
  // A machine must be chosen from the list (it names a folder).
  if (machine.empty()) return false;
  const std::string& base = app.paths.base;
  bool isNew = e.oldName.empty();
  bool renamed = !isNew && (machine != e.oldMachine || name != e.oldName);
  bool taken = isNew ? FileExists(ConfigFilePath(base, machine, name))
                     : renamed && RenameTargetExists(base, e.oldMachine, e.oldName, machine, name);
  if (taken && ShowMessage(Jp("指定された機種に、同じ設定名が存在します。上書きしますか？"), Jp("確認"),
                           kMbYesNo | kMbIconInformation, e.dialog) != kIdYes)
    return false;
  if (renamed) {
    LibraryConnection db;
    db.Open(app.databasePath, app.regexExtensionPath);
    ConfigChange change = RenameOrMoveConfig(base, e.oldMachine, e.oldName, machine, name, taken, db);
    if (!change.ok) {
      ShowMessage(change.message, change.caption, kMbOk | kMbIconError, e.dialog);
      return false;
    }
    if (change.changedBindings > 0) e.result.bindingsChanged = true;
  }
  CreateFolder(EmuConfFolder(base));
  CreateFolder(MachineConfigFolder(base, machine));
  std::string path = ConfigFilePath(base, machine, name);
  if (!WriteEmulatorConfig(path, config)) {
    ReportWriteFailure(e, path);
    return false;
  }
  int scripts[] = {kKeyScriptId, kRewriteScriptId, kExitScriptId};
  for (int kind = 0; kind < 3; ++kind)
    if (!WriteCompanionFile(path, kind, Script(e, scripts[kind]))) {
      ReportWriteFailure(e, CompanionPath(path, kind));
      return false;
    }
  e.result.saved = true;
  e.result.machine = machine;
  e.result.name = name;
  // A later OK in the same dialog saves over what was just written.
  e.oldMachine = machine;
  e.oldName = name;
  return true;
}

// Tries the rewrite script out, changing nothing.
void TestRewrite(Editor& e) {
  AppState& app = *e.app;
  RewriteContext context;
  context.baseFolder = app.paths.base;
  context.machineFolder = EmuConfFolder(app.paths.base) + "\\" + Machine(e);
  LaunchValues launch;
  launch.baseFolder = app.paths.base;
  launch.programFolder = app.paths.base + "\\";
  launch.executable = CollectValues(e).exec;
  context.expand = [launch](const std::string& text) { return Expand(text, launch, true, true); };
  context.owner = e.dialog;
  TestRewriteScript(Script(e, kRewriteScriptId), context);
}

void BrowseExecutable(Editor& e) {
  size_t execIndex = 0;  // the first field is Exec
  FileRequest request{Jp("実行ファイル(*.exe)"), "*.exe", WindowText(Control(e, execIndex))};
  std::string chosen = PickFileToOpen(request, e.dialog);
  if (!chosen.empty()) SetWindowTextA(Control(e, execIndex), chosen.c_str());
}

void OnControl(Editor& e, int id, int code) {
  switch (id) {
    case kOkId:
      if (Save(e)) DestroyWindow(e.dialog);
      return;
    case kCancelId: DestroyWindow(e.dialog); return;
    case kResetId: ShowValues(e, DefaultEmulatorConfig(), TabCtrl_GetCurSel(e.tab)); return;
    case kExecBrowseId: BrowseExecutable(e); return;
    case kRewriteTestId: TestRewrite(e); return;
  }
  if (id < kFieldFirstId || code != BN_CLICKED) return;
  size_t index = static_cast<size_t>((id - kFieldFirstId) / 4);
  if (index < Fields().size() && Fields()[index].kind == Kind::kChoice3)
    SetChoice(e, index, Fields()[index].values[(id - kFieldFirstId) % 4]);
}

void ShowPage(Editor& e) {
  int selected = TabCtrl_GetCurSel(e.tab);
  for (int p = 0; p < kPageCount; ++p) ShowWindow(e.pages[p], p == selected ? SW_SHOW : SW_HIDE);
}

LRESULT CALLBACK PageProcedure(HWND page, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COMMAND) {
    if (auto* e = DialogData<Editor>(page)) OnControl(*e, LOWORD(wParam), HIWORD(wParam));
    return 0;
  }
  if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORBTN)
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
  return DefWindowProcA(page, message, wParam, lParam);
}

LRESULT CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  Editor* e = DialogData<Editor>(dialog);
  switch (message) {
    case WM_COMMAND:
      if (e) OnControl(*e, LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_NOTIFY:
      if (e && reinterpret_cast<NMHDR*>(lParam)->code == TCN_SELCHANGE) ShowPage(*e);
      return 0;
    case WM_CLOSE:
      DestroyWindow(dialog);
      return 0;
  }
  return DefWindowProcA(dialog, message, wParam, lParam);
}

HWND AddEdit(HWND page, int x, int y, int width, int height, int id, DWORD style = ES_AUTOHSCROLL) {
  HWND edit = AddControl(page, "EDIT", "", WS_BORDER | WS_TABSTOP | style, x, y, width, height, id);
  SendMessageA(edit, EM_LIMITTEXT, 0, 0);  // never cut a value
  return edit;
}

HWND AddScript(HWND page, const char* label, int y, int height, int id, const std::string& configPath, int kind) {
  AddControl(page, "STATIC", Jp(label), SS_LEFT, 12, y, 400, 18, -1);
  HWND edit = AddEdit(page, 12, y + 20, 540, height, id,
                      ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL);
  if (!configPath.empty()) SetWindowTextA(edit, ForEditControl(ReadCompanionFile(configPath, kind)).c_str());
  return edit;
}

void BuildFields(Editor& e) {
  const std::vector<Field>& fields = Fields();
  for (size_t i = 0; i < fields.size(); ++i) {
    const Field& f = fields[i];
    HWND page = Page(e, f.page);
    switch (f.kind) {
      case Kind::kText:
        AddControl(page, "STATIC", Jp(f.label), SS_LEFT, f.x, f.y, f.width, 18, -1);
        AddEdit(page, f.x, f.y + 18, f.width, 22, FieldId(i));
        break;
      case Kind::kNumber:
        AddControl(page, "STATIC", Jp(f.label), SS_LEFT, f.x, f.y + 3, 200, 18, -1);
        AddEdit(page, f.x + 204, f.y, f.width, 22, FieldId(i), ES_AUTOHSCROLL);
        break;
      case Kind::kCheck:
        AddControl(page, "BUTTON", Jp(f.label), BS_AUTOCHECKBOX | WS_TABSTOP, f.x, f.y, f.width, 20, FieldId(i));
        break;
      case Kind::kChoice3:
        AddControl(page, "BUTTON", Jp(f.label), BS_GROUPBOX, f.x, f.y, f.width, 82, -1);
        for (int k = 0; k < 3; ++k)
          AddControl(page, "BUTTON", Jp(f.choices[k]), BS_RADIOBUTTON | WS_TABSTOP, f.x + 12, f.y + 18 + k * 20,
                     f.width - 24, 20, FieldId(i, k));
        break;
      case Kind::kList4: {
        HWND list = AddControl(page, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, f.x, f.y,
                               f.width, 120, FieldId(i));
        for (const char* choice : f.choices)
          SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Jp(choice).c_str()));
        break;
      }
    }
  }
}

void Build(Editor& e, const std::string& configPath) {
  e.tab = AddControl(e.dialog, WC_TABCONTROLA, "", WS_CLIPSIBLINGS | WS_TABSTOP, 8, 8, 584, 452, kTabId);
  const char* tabs[kPageCount] = {"基本設定", "終了検知", "同時起動アプリ", "詳細設定", "スナップ"};
  for (int i = 0; i < kPageCount; ++i) {
    std::string caption = Jp(tabs[i]);
    TCITEMA item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    TabCtrl_InsertItem(e.tab, i, &item);
  }
  RECT area{8, 8, 592, 460};
  TabCtrl_AdjustRect(e.tab, FALSE, &area);
  for (HWND& page : e.pages) {
    page = CreateWindowExA(WS_EX_CONTROLPARENT, kDialogClassName, "", WS_CHILD, area.left, area.top,
                           area.right - area.left, area.bottom - area.top, e.dialog, nullptr, e.app->instance,
                           nullptr);
    SetWindowLongPtrA(page, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&e));
    SetWindowLongPtrA(page, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PageProcedure));
  }
  HWND first = Page(e, 0);
  AddControl(first, "STATIC", Jp("機種"), SS_LEFT, 12, 8, 200, 18, -1);
  HWND machine = AddControl(first, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 12, 26, 200, 240,
                            kMachineId);
  for (const std::string& m : e.machines) SendMessageA(machine, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(m.c_str()));
  LRESULT found = SendMessageA(machine, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>(e.oldMachine.c_str()));
  SendMessageA(machine, CB_SETCURSEL, static_cast<WPARAM>(found == CB_ERR ? 0 : found), 0);
  AddControl(first, "STATIC", Jp("設定名"), SS_LEFT, 228, 8, 200, 18, -1);
  SetWindowTextA(AddEdit(first, 228, 26, 324, 22, kNameId), e.oldName.c_str());
  AddControl(first, "BUTTON", "...", BS_PUSHBUTTON | WS_TABSTOP, 488, 73, 64, 24, kExecBrowseId);
  BuildFields(e);
  AddScript(Page(e, 1), "終了キースクリプト (.jed)", 346, 40, kExitScriptId, configPath, 2);
  AddScript(Page(e, 3), "起動キースクリプト (.txt)", 32, 140, kKeyScriptId, configPath, 0);
  AddScript(Page(e, 3), "設定書き換えスクリプト (.rew)", 224, 170, kRewriteScriptId, configPath, 1);
  AddControl(Page(e, 3), "BUTTON", Jp("テスト"), BS_PUSHBUTTON | WS_TABSTOP, 472, 220, 80, 22, kRewriteTestId);
  AddControl(e.dialog, "BUTTON", Jp("デフォルトに戻す"), BS_PUSHBUTTON | WS_TABSTOP, 8, 468, 140, 28, kResetId);
  AddControl(e.dialog, "BUTTON", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 424, 468, 80, 28, kOkId);
  AddControl(e.dialog, "BUTTON", Jp("キャンセル"), BS_PUSHBUTTON | WS_TABSTOP, 512, 468, 80, 28, kCancelId);
}

}  // namespace

EditorResult EditEmulatorConfig(AppState& app, HWND owner, const std::vector<std::string>& machines,
                                const std::string& machine, const std::string& name) {
  Editor e;
  e.app = &app;
  e.machines = machines;
  e.oldMachine = machine;
  e.oldName = name;
  std::string path = name.empty() ? std::string() : ConfigFilePath(app.paths.base, machine, name);
  ConfigReadResult read = name.empty() ? ConfigReadResult{} : ReadEmulatorConfig(path);
  if (!read.readWhole) {
    // Saving what could be read would lose the rest.
    ShowMessage(Jp("設定ファイルを読み込めませんでした。\n") + path, Jp("エラー"), kMbOk | kMbIconError, owner);
    return e.result;
  }
  e.dialog = CreateDialogWindow(app.instance, owner, Jp("エミュレータ設定"), 600, 504, Procedure, &e);
  if (!e.dialog) return e.result;
  SetWindowLongPtrA(e.dialog, GWL_EXSTYLE, GetWindowLongPtrA(e.dialog, GWL_EXSTYLE) | WS_EX_CONTROLPARENT);
  Build(e, path);
  ShowValues(e, read.config, -1);
  ShowPage(e);
  RunModal(e.dialog, owner);
  return e.result;
}

}  // namespace vel
