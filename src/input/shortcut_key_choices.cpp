#include "input/shortcut_key_choices.h"

#include "platform/codepage.h"
#include "platform/file_operations.h"
#include "platform/profile.h"
#include "platform/system.h"

namespace vel {

std::vector<ShortcutAction> ShortcutDialogActions() {
  // The menu labels of entries 0-13.
  static const char* const kMenuLabels[14] = {"レコード編集", "エミュレータで起動", "タイトル", "メーカー",
                                              "開発元", "国名", "クリエイター", "ジャンル", "R指定 設定/解除 (Adult)",
                                              "拡張R指定", "バージョン/コメント", "発売年月日", "メディア", "機種"};
  static const char* const kOthers[] = {
      "アイテムリスト内サーチ",           "アイテムリスト全選択/解除",        "移動：アイテムリスト→クエリビュー",
      "移動：クエリビュー→グループビュー", "移動：グループビュー→アイテムリスト", "移動：アイテムリスト→検索窓",
      "移動：検索窓→アイテムリスト",      "移動：検索窓→グループビュー",      "リストビュードラッグ（複数枚指定）"};
  std::vector<ShortcutAction> actions;
  for (int i = 0; i < 14; ++i) {
    // The record editor and the emulator menu are no bulk changes.
    std::string label = kMenuLabels[i];
    if (i >= kKeyBulkTitle) label += " 一括変更";
    actions.push_back({i, Jp(label)});
  }
  for (int i = 0; i < 9; ++i) actions.push_back({kKeyItemListSearch + i, Jp(kOthers[i])});
  for (int i = 0; i < 10; ++i) actions.push_back({kKeyFavourite0 + i, Jp("お気に入り") + std::to_string(i)});
  for (int i = 0; i < 3; ++i)
    actions.push_back({kKeySnapView1 + i, Jp("スナップビュー：スナップショット") + std::to_string(i + 1)});
  return actions;
}

std::vector<KeyChoice> KeyChoicesFor(int entry) {
  if (entry == kKeyListDrag) return {{"LvDrag", 0}, {"SHIFT", 0x10}, {"CTRL", 0x11}, {"ALT", 0x12}};
  std::vector<KeyChoice> choices{{Jp("（なし）"), 0}};
  for (char c = 'A'; c <= 'Z'; ++c) choices.push_back({std::string(1, c), c});
  for (char c = '0'; c <= '9'; ++c) choices.push_back({std::string(1, c), c});
  for (int f = 1; f <= 12; ++f) choices.push_back({"F" + std::to_string(f), 0x6F + f});
  choices.push_back({"TAB", 9});
  return choices;
}

int KeyChoiceIndex(const std::vector<KeyChoice>& choices, int code) {
  for (size_t i = 0; i < choices.size(); ++i)
    if (choices[i].virtualKey == (code & 0xFFF)) return static_cast<int>(i);
  return -1;
}

void ShortcutEditing::Assign(int entry, int virtualKey, bool shift, bool ctrl) {
  if (entry < 0 || entry >= kAssignableShortcuts) return;
  int code = 0;
  // The drag modifier is a bare key; no key takes no modifiers.
  if (virtualKey > 0 && virtualKey < 255)
    code = entry == kKeyListDrag ? virtualKey : MakeKeyCode(virtualKey, {shift, ctrl, false});
  table_[static_cast<size_t>(entry)] = code;
  touched_[static_cast<size_t>(entry)] = true;
}

bool ShortcutEditing::Save(const std::string& keyFile) const {
  if (FileExists(keyFile) && IsReadOnlyFile(keyFile)) return false;
  const std::string copy = keyFile + ".new";
  RemoveFile(copy);
  if (FileExists(keyFile) && !CopyOneFile(keyFile, copy, CopyMode::kOverwrite)) return false;
  bool ok = true;
  for (int i = 0; i < kAssignableShortcuts && ok; ++i)
    if (touched_[static_cast<size_t>(i)])
      ok = WriteProfileText("KeyConfig", ShortcutKeyName(i), std::to_string(table_[static_cast<size_t>(i)]), copy);
  // Nothing touched: the file stays as it is.
  if (ok && !FileExists(copy)) return true;
  if (!ok || !ReplaceWithFile(copy, keyFile)) {
    RemoveFile(copy);
    return false;
  }
  return true;
}

}  // namespace vel
