#include "periphery/config_pages.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

#include "core/settings_file.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "search/sort_model.h"

namespace vel {
namespace {

constexpr SettingFile S = SettingFile::Settings;
constexpr SettingFile L = SettingFile::Layout;

class FieldList {
 public:
  explicit FieldList(std::vector<ConfigField>& fields) : f_(fields) {}
  FieldList& Page(int page) {
    page_ = page;
    return *this;
  }
  FieldList& Flag(const char* label, const char* section, const std::string& key, SettingFile file, int def = 0,
                  bool restart = false) {
    return Add({page_, Jp(label), section, key, file, FieldKind::Flag, std::to_string(def), 0, 1, {}, restart});
  }
  FieldList& Number(const char* label, const char* section, const std::string& key, SettingFile file, int def,
                    int minimum, int maximum) {
    return Add({page_, Jp(label), section, key, file, FieldKind::Number, std::to_string(def), minimum, maximum, {}, false});
  }
  FieldList& Choice(const char* label, const char* section, const std::string& key, SettingFile file, int def,
                    std::vector<const char*> choices, int first = 0) {
    std::vector<std::string> texts;
    for (const char* c : choices) texts.push_back(Jp(c));
    int last = first + static_cast<int>(texts.size()) - 1;
    return Add({page_, Jp(label), section, key, file, FieldKind::Choice, std::to_string(def), first, last,
                std::move(texts), false});
  }
  FieldList& Text(const char* label, const char* section, const char* key, SettingFile file, int maximum,
                  bool restart = false) {
    return Add({page_, Jp(label), section, key, file, FieldKind::Text, "", 0, maximum, {}, restart});
  }
  FieldList& Font(const char* label, const char* section, const char* prefix) {
    return Add({page_, Jp(label), section, prefix, L, FieldKind::Font, "", 0, 0, {}, false});
  }
  // The label as the program built it (already CP932).
  FieldList& Raw(ConfigField field) { return Add(std::move(field)); }

 private:
  FieldList& Add(ConfigField field) {
    if (field.restart) field.label += RestartMark();
    f_.push_back(std::move(field));
    return *this;
  }
  std::vector<ConfigField>& f_;
  int page_ = 0;
};

std::vector<ConfigField> BuildFields() {
  std::vector<ConfigField> fields;
  FieldList t(fields);
  t.Page(kPageGeneral)
      .Flag("マウスカーソルを隠す", "etcSetting", "HideMouseCursor", L)
      .Number("情報欄の追従待ち時間 (ms)", "ItemList", "infoDelay", S, 300, 0, 10000)
      .Flag("同じ機種・ジャンル・タイトルのメモをまとめて表示", "ItemList", "isConcatMemo", S)
      .Flag("次回起動時にソート順をリセット", "etcSetting", "RebootSortReset", S)
      .Number("クリエイター欄の幅 (%)", "Window", "InfoViewSplitPer", L, 33, 0, 100)
      .Number("情報欄の機種アイコンの大きさ", "Window", "InfoViewMcnIcoWH", L, 32, 0, 256)
      .Text("情報欄のテンプレート", "etcSetting", "InfoTemplate", S, 255)
      .Text("既定のフォント (4つをカンマ区切り)", "etcSetting", "DefaultFont", S, 255, true);
  t.Page(kPageItemList)
      .Number("アイテムリストの行の高さ", "etcSetting", "ItemListHeight", L, 35, 8, 400)
      .Number("グループリストの行の高さ", "etcSetting", "GroupListHeight", L, 15, 8, 200)
      .Choice("タイトル欄の追加情報", "etcSetting", "TitleClmExInfo", L, 0,
              {"なし", "1行目", "2行目", "1行目と2行目"})
      .Flag("タイトルを読み仮名でソート", "ItemList", "yomiSort", S)
      .Flag("カーソルをリストに追従させない", "ItemList", "noCursorAdulation", S)
      .Flag("インデックス検索の文字をポップアップ表示", "ItemList", "IsPopIdxSrchStr", S, 1);
  t.Page(kPageColumns);
  for (int c = 1; c <= kItemListColumns; ++c) {
    std::string name = SortHeaderLabel(c - 1, 0);
    t.Raw({kPageColumns, name + Jp(" 表示"), "ItemList", ColumnKey("clm_disp", c), L, FieldKind::Flag,
           c <= 7 ? "1" : "0", 0, 1, {}, false});
    t.Raw({kPageColumns, name + Jp(" 幅"), "ItemList", ColumnKey("clm", c), L, FieldKind::Number, "150", 0, 2000,
           {}, false});
  }
  t.Page(kPageSearch)
      .Flag("検索にMigemoの条件を加える", "Migemo", "SearchOn", S, 1)
      .Number("検索のMigemo文字クラス上限 (0=無制限)", "Migemo", "SearchClassLimit", S, 0, 0, 255)
      .Flag("リスト内検索のMigemoを最初から入れる", "Migemo", "ListOn", S, 1)
      .Flag("項目入力の補完でMigemoを使う", "Migemo", "InclOn", S, 1)
      .Number("補完のMigemo文字クラス上限 (0=無制限)", "Migemo", "InclClassLimit", S, 12, 0, 255)
      .Number("検索窓の文字の高さ (0=標準)", "etcSetting", "SearchFontHeight", L, 0, 0, 72);
  t.Page(kPageCandidates)
      .Flag("候補検索でMigemoを使う", "Migemo", "FuzzyOn", S, 1)
      .Number("候補のMigemo文字クラス上限 (0=無制限)", "Migemo", "FuzzyClassLimit", S, 12, 0, 255)
      .Flag("候補をタイトルの語幹にする", "Migemo", "FuzzyLap", S)
      .Number("候補の最大件数 (0=無制限)", "SearchWindow", "LastLimit", S, 50, 0, 10000)
      .Number("候補リストの最大行数", "SearchWindow", "MaxHeight", S, 30, 1, 100)
      .Choice("候補リストの開き方", "SearchWindow", "DropType", S, 1, {"上に開く", "下に開く"})
      .Flag("候補をインデントして表示", "SearchWindow", "Indent", S, 1)
      .Flag("候補リストをスライドして開く", "SearchWindow", "Animate", S);
  t.Page(kPageReadings)
      .Choice("かな部分変換形式", "EditUICheckBoxs", "YomiCnvMode", S, 0, {"ひらがなへ統一変換", "カタカナへ統一変換"})
      .Flag("濁音を清音に変換", "EditUICheckBoxs", "DakuonToSeion", S)
      .Flag("スペースを除去", "EditUICheckBoxs", "YomiSpcRmv", S, 1)
      .Flag("記号を除去", "EditUICheckBoxs", "YomiMrkRmv", S, 1)
      .Flag("ローマ数字を半角数字に変換", "EditUICheckBoxs", "YomiRmaCnv", S, 1)
      .Flag("タイトル入力で読み仮名も入力", "EditUICheckBoxs", "TitleToKana", S)
      .Flag("タイトルのインクリメンタル検索", "EditUICheckBoxs", "TitleIncrSrch", S)
      .Flag("メーカーのインクリメンタル検索", "EditUICheckBoxs", "MakerIncrSrch", S, 1)
      .Flag("開発元のインクリメンタル検索", "EditUICheckBoxs", "DeveloperIncrSrch", S, 1)
      .Flag("国名のインクリメンタル検索", "EditUICheckBoxs", "CountryIncrSrch", S, 1)
      .Flag("編集画面のメモにメモのフォントを使う", "EditUICheckBoxs", "UserMemoFont", S, 1);
  t.Page(kPageLaunch)
      .Flag("DLLはWindowsシステムフォルダからだけ読み込む", "etcSetting", "DLLSafeLoad", S, 1, true)
      .Flag("起動の各段階でメッセージを表示", "Debug", "EmuStepBoot", S)
      .Flag("相対フォルダをプログラムのフォルダから見る", "FolderPath", "opp2fix", S);
  t.Page(kPageSnapshots);
  for (int n = 0; n <= 10; ++n) {
    std::string number = std::to_string(n);
    t.Raw({kPageSnapshots, Jp("探索方法 ") + number + Jp(" を使う"), "SnapShot", "FindMode" + number, S,
           FieldKind::Flag, (n >= 1 && n <= 4) ? "1" : "0", 0, 1, {}, false});
    t.Raw({kPageSnapshots, Jp("探索方法 ") + number + Jp(" の順番"), "SnapShot", "FindOrder" + number, S,
           FieldKind::Number, number, 0, 10, {}, false});
  }
  t.Flag("見つからないときはサブフォルダも探す", "SnapShot", "searchSubdir", S)
      .Flag("前の枠で表示した画像は使わない", "SnapShot", "skipLoaded", S)
      .Number("情報欄のスナップの幅 (0以下で非表示)", "SnapShot", "Width", L, 320, -1, 4000)
      .Choice("スナップの変形", "SnapShot", "Transform", L, 0, {"なし", "拡大縮小", "縦横比を固定"})
      .Number("変形の倍率 (%)", "SnapShot", "TransformRatio", S, 150, 1, 1000)
      .Choice("補間方法", "SnapShot", "InterpolationMode", S, 0, {"標準", "低品質", "高品質", "双線形", "双三次", "最近傍"})
      .Flag("元の比率を保つ", "SnapShot", "Proportion", S)
      .Flag("余白を黒く塗る", "SnapShot", "Blackly", S)
      .Flag("Vista以降の大きさで表示", "SnapShot", "VistaSize", S);
  t.Page(kPageCapture)
      .Number("撮影の間隔 (秒)", "AutoSnap", "Interval", S, 5, 1, 3600)
      .Flag("撮影ごとに音を鳴らす", "AutoSnap", "CheckSound", S, 1)
      .Choice("スナップのファイル名", "SnapShot", "CRC32Name", S, 0,
              {"ファイル名", "CRC32", "ファイル名とCRC32", "タイトル"})
      .Flag("保存後に結果をバルーン表示", "SnapShot", "CaptureResultMonitor", S)
      .Number("展開フォルダの画像の扱い (ビット: 1,4,256)", "SnapShot", "SaveExPicToSnap", S, -1, -1, 65535);
  t.Page(kPageDemo)
      .Number("デモモードまでの無操作時間 (分, 0=しない)", "DemoMode", "TriggerTime", L, 0, 0, 1440)
      .Number("起動までの待ち時間 (秒)", "DemoMode", "WaitTime", L, 7, 1, 600)
      .Number("エミュレータを終了するまでの時間 (分)", "DemoMode", "EmuTermTime", L, 2, 1, 1440)
      .Choice("告知のアニメーション", "DemoMode", "Animate", L, 0, {"なし", "1", "2", "3", "4", "5"})
      .Number("告知の大きさ", "DemoMode", "Size", L, 1, 1, 8)
      .Flag("枚数を表示しない", "DemoMode", "MediaMax", L);
  t.Page(kPageFonts)
      .Font("情報欄: メーカー", "InfoViewFont", "Maker")
      .Font("情報欄: タイトル", "InfoViewFont", "Title")
      .Font("情報欄: 本文", "InfoViewFont", "Normal")
      .Font("情報欄: 小さい文字", "InfoViewFont", "Mini")
      .Font("情報欄: タブ", "InfoViewFont", "Tab")
      .Font("アイテムリスト", "ItemListFont", "Normal")
      .Font("アイテムリスト: 2枚目以降", "ItemListFont", "Ply")
      .Font("アイテムリスト: 小さい文字", "ItemListFont", "Mini")
      .Font("アイテムリスト: 個別エミュ名", "ItemListFont", "Emuset")
      .Font("クエリ", "QueryViewFont", "Normal")
      .Font("グループリスト", "GroupListFont", "Normal")
      .Number("メモ: 文字の大きさ (1/10ポイント)", "MemoFont", "Height", L, 200, 60, 1000)
      .Text("メモ: フォント名", "MemoFont", "Face", L, 31)
      .Number("メモ: タブ幅", "MemoFont", "TabStop", L, 16, 1, 64)
      .Number("メモ: 文字飾り", "MemoFont", "Effect", L, 0, 0, 15);
  return fields;
}

bool IsWholeNumber(const std::string& text) {
  size_t i = (!text.empty() && text[0] == '-') ? 1 : 0;
  if (i == text.size() || text.size() - i > 9) return false;  // nine digits never overflow an int
  for (; i < text.size(); ++i)
    if (text[i] < '0' || text[i] > '9') return false;
  return true;
}

const std::string& FileOf(const ConfigField& f, const AppPaths& paths, int layoutMode) {
  return f.file == SettingFile::Layout ? LayoutFile(paths, layoutMode) : paths.settingsFile;
}

bool InTable(const Settings& s, const std::string& section, const std::string& key) {
  return s.index.count(section + '\n' + key) != 0;
}

size_t TableIndex(const Settings& s, const std::string& section, const std::string& key) {
  return s.index.at(section + '\n' + key);
}

}  // namespace

std::string ConfigPageLabel(int page) {
  static const char* const kLabels[kConfigPageCount] = {"全般", "アイテムリスト", "カラム", "検索",
                                                        "候補", "読み仮名", "起動", "スナップ表示",
                                                        "自動スナップ", "デモモード", "フォント", "カラー"};
  return page >= 0 && page < kConfigPageCount ? Jp(kLabels[page]) : std::string();
}

std::string RestartMark() { return Jp(" (再起動後に有効)"); }

const std::vector<ConfigField>& ConfigFields() {
  static const std::vector<ConfigField> fields = BuildFields();
  return fields;
}

ConfigValues LoadConfigValues(const Settings& settings, const AppPaths& paths, int layoutMode,
                              const ColourSet& colours) {
  const auto& fields = ConfigFields();
  ConfigValues v;
  v.values.resize(fields.size());
  v.whole.assign(fields.size(), true);
  v.fonts.resize(fields.size());
  v.colours = colours;
  for (size_t i = 0; i < fields.size(); ++i) {
    const ConfigField& f = fields[i];
    if (f.kind == FieldKind::Font) {
      v.fonts[i] = ReadFontSetting(settings, f.section, f.key);
      v.whole[i] = settings.readWhole[TableIndex(settings, f.section, f.key + "Face")];
      continue;
    }
    if (InTable(settings, f.section, f.key)) {
      size_t at = TableIndex(settings, f.section, f.key);
      v.values[i] = settings.values[at];
      v.whole[i] = settings.readWhole[at];
      continue;
    }
    const std::string& file = FileOf(f, paths, layoutMode);
    if (f.kind == FieldKind::Text) {
      v.whole[i] = ReadProfileText(f.section, f.key, f.defaultValue, file, v.values[i]);
    } else {
      v.values[i] = std::to_string(ReadProfileInt(f.section, f.key, std::atoi(f.defaultValue.c_str()), file));
    }
  }
  return v;
}

FavouriteMarks PageFavouriteColours(const ConfigValues& values, const AppPaths& paths, int layoutMode) {
  FavouriteMarks marks;
  ReadFavouriteColours(marks, values.favouriteColourFile.empty() ? LayoutFile(paths, layoutMode) : values.favouriteColourFile,
                       FavouriteFallbackFile(paths.base));
  return marks;
}

std::string CheckFieldValue(const ConfigField& f, const std::string& typed, std::string& value) {
  switch (f.kind) {
    case FieldKind::Flag:
    case FieldKind::Choice:
    case FieldKind::Number: {
      std::string text = typed;
      while (!text.empty() && text.front() == ' ') text.erase(text.begin());
      while (!text.empty() && text.back() == ' ') text.pop_back();
      if (IsWholeNumber(text)) {
        int n = std::atoi(text.c_str());
        if (n >= f.minimum && n <= f.maximum) {
          value = std::to_string(n);  // no leading zeros
          return {};
        }
      }
      return Jp("「") + f.label + Jp("」には ") + std::to_string(f.minimum) + Jp(" から ") +
             std::to_string(f.maximum) + Jp(" までの数値を入力してください。");
    }
    case FieldKind::Text:
      if (typed.size() > static_cast<size_t>(f.maximum))
        return Jp("「") + f.label + Jp("」が長すぎます。") + std::to_string(f.maximum) + Jp("バイトまでです。");
      if (typed.find_first_of("\r\n") != std::string::npos)
        return Jp("「") + f.label + Jp("」に改行は使えません。");
      value = typed;
      return {};
    case FieldKind::Font:
      value.clear();
      return {};
  }
  return {};
}

ConfigSaveResult SaveConfigValues(const ConfigValues& before, const ConfigValues& after, Settings& settings,
                                  const AppPaths& paths, int layoutMode) {
  const auto& fields = ConfigFields();
  ConfigSaveResult result;
  const std::string& layoutFile = LayoutFile(paths, layoutMode);
  // Entries by file, the layout file first; in the normal layout both are one file.
  std::vector<std::pair<std::string, std::vector<ProfileEntry>>> files{{layoutFile, {}}};
  if (paths.settingsFile != layoutFile) files.push_back({paths.settingsFile, {}});
  auto entriesOf = [&](const std::string& file) -> std::vector<ProfileEntry>& {
    return files[file == layoutFile ? 0 : 1].second;
  };
  for (size_t i = 0; i < fields.size(); ++i) {
    const ConfigField& f = fields[i];
    if (!before.whole[i]) continue;  // never written back
    const std::string& file = FileOf(f, paths, layoutMode);
    if (f.kind == FieldKind::Font) {
      const FontSetting& now = after.fonts[i];
      if (before.fonts[i] == now) continue;
      auto& entries = entriesOf(file);
      entries.push_back({f.section, f.key + "Height", std::to_string(now.height)});
      entries.push_back({f.section, f.key + "Weight", std::to_string(now.weight)});
      entries.push_back({f.section, f.key + "Italic", std::to_string(now.italic)});
      entries.push_back({f.section, f.key + "Face", now.face});
      result.fontsChanged = true;
      continue;
    }
    if (before.values[i] == after.values[i]) continue;
    entriesOf(file).push_back({f.section, f.key, after.values[i]});
    if (f.page == kPageColumns) result.columnsChanged = true;
    if (f.key == "ItemListHeight" || f.key == "GroupListHeight") result.heightsChanged = true;
    if (f.page == kPageFonts) result.fontsChanged = true;
  }
  if (!(before.colours == after.colours)) {
    auto colourEntries = ColourEntries(after.colours);
    auto& entries = entriesOf(layoutFile);
    entries.insert(entries.end(), colourEntries.begin(), colourEntries.end());
    result.coloursChanged = true;
  }
  if (!after.favouriteColourFile.empty()) {
    ReadFavouriteColours(result.favourites, after.favouriteColourFile, FavouriteFallbackFile(paths.base));
    auto favouriteEntries = FavouriteColourEntries(result.favourites);
    auto& entries = entriesOf(layoutFile);
    entries.insert(entries.end(), favouriteEntries.begin(), favouriteEntries.end());
    result.favouritesChanged = true;
  }
  for (const auto& [file, entries] : files) {
    if (entries.empty()) continue;
    if (!WriteSettingsFile(file, entries)) {
      result.ok = false;
      result.failedFile = file;
      return result;
    }
    // Written: the program takes the values, so that the exit writer keeps them.
    for (const ProfileEntry& e : entries) SetSetting(settings, e.section, e.key, e.value);
  }
  return result;
}

}  // namespace vel
