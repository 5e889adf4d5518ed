#include "display/snapshot_choice_panel_win.h"

#include <shellapi.h>

#include <array>
#include <vector>

#include "core/dialog_window_win.h"
#include "display/dropped_names_win.h"
#include "display/snapshot_drop.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {
namespace {

constexpr int kRowHeight = 28;

HWND Control(HWND parent, int firstId, int offset) { return GetDlgItem(parent, firstId + offset); }
bool Checked(HWND parent, int firstId, int offset) {
  return SendMessageA(Control(parent, firstId, offset), BM_GETCHECK, 0, 0) == BST_CHECKED;
}
void Check(HWND parent, int firstId, int offset, bool on) {
  SendMessageA(Control(parent, firstId, offset), BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
}
int Choice(HWND parent, int firstId, int offset) {
  return static_cast<int>(SendMessageA(Control(parent, firstId, offset), CB_GETCURSEL, 0, 0));
}

void Label(HWND parent, const std::string& text, int x, int y, int width, int height = 18, DWORD extra = 0) {
  AddControl(parent, "STATIC", text, SS_LEFT | SS_NOPREFIX | extra, x, y + 3, width, height, -1);
}

HWND Edit(HWND parent, int id, int x, int y, int width, const std::string& text) {
  HWND edit = AddControl(parent, "EDIT", "", WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, x, y, width, 22, id);
  // Read whole and refused when too long, never cut by the control.
  SendMessageA(edit, EM_SETLIMITTEXT, 0x7FFFFFFE, 0);
  SetWindowTextA(edit, text.c_str());
  return edit;
}

HWND ChoiceBox(HWND parent, int id, int x, int y, int width, const char* prefix, int count, int selected) {
  HWND combo = AddControl(parent, "COMBOBOX", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, x, y, width, 240, id);
  for (int i = 0; i < count; ++i)
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(TransformChoiceLabel(prefix, i).c_str()));
  SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
  return combo;
}

void EnableDisplayControls(HWND parent, int firstId) {
  const bool own = !Checked(parent, firstId, kSnapChoiceNoOwn);
  const bool transform = Checked(parent, firstId, kSnapChoiceTransform);
  EnableWindow(Control(parent, firstId, kSnapChoiceFit), own);
  EnableWindow(Control(parent, firstId, kSnapChoiceTransform), own);
  EnableWindow(Control(parent, firstId, kSnapChoiceAspect), own && !transform);
  for (int offset : {kSnapChoiceRotation, kSnapChoiceRatio, kSnapChoiceEnlarge, kSnapChoiceReduce})
    EnableWindow(Control(parent, firstId, offset), own && transform);
}

bool IsFolderPath(const std::string& path) {
  DWORD attributes = GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void RefuseUnheldName(HWND parent) {
  ShowMessage(Jp("この名前はファイル名として扱えないため登録できませんでした。\n（Shift-JIS で表せない文字を含んでいます）"),
              Jp("中止"), kMbOk | kMbIconWarning, GetAncestor(parent, GA_ROOT));
}

void RefuseNotPicture(HWND parent) {
  ShowMessage(Jp("画像ファイル（PNG/BMP/GIF/JPG）またはフォルダを指定してください。"), Jp("中止"),
              kMbOk | kMbIconInformation, GetAncestor(parent, GA_ROOT));
}

// ". .": a picture file or a folder. The picker answers in Shift-JIS, in
// which a character it cannot hold arrives as "?", never part of a real name.
void Browse(HWND parent, int firstId, int slot) {
  HWND edit = Control(parent, firstId, kSnapChoicePath + slot);
  std::string path = PickFolderOrFile({Jp("スナップショットの画像ファイルまたはフォルダを選択してください"), WindowText(edit)},
                                      GetAncestor(parent, GA_ROOT));
  if (path.empty()) return;
  if (path.find('?') != std::string::npos) return RefuseUnheldName(parent);
  if (AcceptedDropEntries({path}, IsFolderPath).empty()) return RefuseNotPicture(parent);
  SetWindowTextA(edit, path.c_str());
}

// The slot whose row is nearest to y (client coordinates of `parent`).
int SlotAt(HWND parent, int firstId, int y) {
  int best = 0, bestDistance = 1 << 30;
  for (int slot = 0; slot < 3; ++slot) {
    RECT r{};
    HWND edit = Control(parent, firstId, kSnapChoicePath + slot);
    GetWindowRect(edit, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    const int middle = (r.top + r.bottom) / 2, distance = middle > y ? middle - y : y - middle;
    if (distance < bestDistance) {
      bestDistance = distance;
      best = slot;
    }
  }
  return best;
}

}  // namespace

int BuildSnapChoicePanel(HWND parent, int firstId, int x, int y, const SnapshotChoice& choice) {
  const char* names[] = {"スナップ１", "スナップ２", "スナップ３"};
  for (int i = 0; i < 3; ++i) {
    Label(parent, Jp(names[i]), x, y, 80);
    Edit(parent, firstId + kSnapChoicePath + i, x + 82, y, 420, choice.paths[static_cast<size_t>(i)]);
    AddControl(parent, "BUTTON", ". .", BS_PUSHBUTTON | WS_TABSTOP, x + 508, y, 34, 22, firstId + kSnapChoiceBrowse + i);
    AddControl(parent, "BUTTON", Jp("クリア"), BS_PUSHBUTTON | WS_TABSTOP, x + 546, y, 48, 22,
               firstId + kSnapChoiceClear + i);
    y += kRowHeight;
  }
  Label(parent, Jp("※ ファイルまたはフォルダを、このタイトル専用に絶対指定できます。フォルダを指定した場合はフォルダ内を検索します。"),
        x, y, kSnapChoicePanelWidth, 32);
  y += 34;
  Label(parent, Jp("※ それぞれ無指定にしておけば、「機種管理」で設定したスナップフォルダより検索します。（デフォルト）"), x, y,
        kSnapChoicePanelWidth, 32);
  y += 40;

  SnapshotDisplayInput display = DisplayInputOf(choice.display);
  AddControl(parent, "BUTTON", Jp("スナップショットの個別表示設定"), BS_GROUPBOX, x, y, kSnapChoicePanelWidth, 128, -1);
  y += 20;
  AddControl(parent, "BUTTON", Jp("個別設定を使用しない"), BS_AUTOCHECKBOX | WS_TABSTOP, x + 12, y, 400, 20,
             firstId + kSnapChoiceNoOwn);
  Check(parent, firstId, kSnapChoiceNoOwn, !display.useOwn);
  y += 26;
  AddControl(parent, "BUTTON", Jp("領域全体に表示"), BS_RADIOBUTTON | WS_TABSTOP, x + 12, y, 140, 20,
             firstId + kSnapChoiceTransform);
  ChoiceBox(parent, firstId + kSnapChoiceRotation, x + 162, y - 2, 420, "rt_", kRotationChoices,
            display.choices.rotation);
  y += 26;
  Edit(parent, firstId + kSnapChoiceRatio, x + 32, y, 50, display.ratioText);
  Label(parent, Jp("％ 以上は"), x + 86, y, 64);
  ChoiceBox(parent, firstId + kSnapChoiceEnlarge, x + 152, y, 220, "up_", kEnlargeChoices, display.choices.enlarge);
  Label(parent, Jp("未満は"), x + 382, y, 48);
  ChoiceBox(parent, firstId + kSnapChoiceReduce, x + 432, y, 150, "dn_", kReduceChoices, display.choices.reduce);
  y += 28;
  AddControl(parent, "BUTTON", Jp("内側からフィット"), BS_RADIOBUTTON | WS_TABSTOP, x + 12, y, 140, 20,
             firstId + kSnapChoiceFit);
  Label(parent, Jp("強制アスペクト比"), x + 162, y - 2, 110);
  Edit(parent, firstId + kSnapChoiceAspect, x + 272, y - 2, 90, display.aspectText);
  Check(parent, firstId, display.transform ? kSnapChoiceTransform : kSnapChoiceFit, true);
  EnableDisplayControls(parent, firstId);
  return y + 34;
}

bool SnapChoicePanelCommand(HWND parent, int firstId, int id) {
  const int offset = id - firstId;
  if (offset < 0 || offset >= kSnapChoiceControls) return false;
  if (offset >= kSnapChoiceBrowse && offset < kSnapChoiceBrowse + 3) {
    Browse(parent, firstId, offset - kSnapChoiceBrowse);
  } else if (offset >= kSnapChoiceClear && offset < kSnapChoiceClear + 3) {
    SetWindowTextA(Control(parent, firstId, kSnapChoicePath + offset - kSnapChoiceClear), "");
  } else if (offset == kSnapChoiceTransform || offset == kSnapChoiceFit) {
    Check(parent, firstId, kSnapChoiceTransform, offset == kSnapChoiceTransform);
    Check(parent, firstId, kSnapChoiceFit, offset == kSnapChoiceFit);
    EnableDisplayControls(parent, firstId);
  } else if (offset == kSnapChoiceNoOwn) {
    EnableDisplayControls(parent, firstId);
  }
  return true;
}

void SnapChoicePanelDrop(HWND parent, int firstId, HDROP drop) {
  POINT at{};
  if (!DroppedPoint(drop, at)) return;
  std::vector<std::string> names;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  bool unheld = false;
  for (UINT i = 0; i < count && !unheld; ++i) {
    std::optional<std::string> name = DroppedName(drop, i);
    if (name) names.push_back(*name);
    else unheld = true;
  }
  DragFinish(drop);
  if (unheld) return RefuseUnheldName(parent);
  std::vector<std::string> entries = AcceptedDropEntries(names, IsFolderPath);
  if (entries.empty()) return;
  const int first = entries.size() == 1 ? SlotAt(parent, firstId, at.y) : 0;
  for (size_t i = 0; i < entries.size() && first + static_cast<int>(i) < 3; ++i)
    SetWindowTextA(Control(parent, firstId, kSnapChoicePath + first + static_cast<int>(i)), entries[i].c_str());
}

std::optional<std::string> SnapChoiceOfPanel(HWND parent, int firstId, SnapshotChoice& choice) {
  for (int i = 0; i < 3; ++i)
    choice.paths[static_cast<size_t>(i)] = WindowText(Control(parent, firstId, kSnapChoicePath + i));
  SnapshotDisplayInput display;
  display.useOwn = !Checked(parent, firstId, kSnapChoiceNoOwn);
  display.transform = Checked(parent, firstId, kSnapChoiceTransform);
  display.aspectText = WindowText(Control(parent, firstId, kSnapChoiceAspect));
  display.ratioText = WindowText(Control(parent, firstId, kSnapChoiceRatio));
  display.choices = {Choice(parent, firstId, kSnapChoiceRotation), Choice(parent, firstId, kSnapChoiceEnlarge),
                     Choice(parent, firstId, kSnapChoiceReduce)};
  return StoreDisplayInput(display, choice.display);
}

}  // namespace vel
