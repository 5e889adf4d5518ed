#include "core/menu_tree.h"

#include <string>

#include "core/command_ids.h"

namespace vel {
namespace {

MenuEntry Item(int id, const char* text, bool grey = false) {
  return {MenuEntryKind::Item, id, text, grey, DynamicList::None, {}};
}
MenuEntry Separator() { return {MenuEntryKind::Separator, 0, "", false, DynamicList::None, {}}; }
MenuEntry Popup(const char* text, std::vector<MenuEntry> children) {
  return {MenuEntryKind::Popup, 0, text, false, DynamicList::None, std::move(children)};
}
MenuEntry Dynamic(int id, const char* text, DynamicList list) {
  return {MenuEntryKind::Popup, id, text, false, list, {}};
}

std::vector<MenuEntry> FavouriteItems() {
  static const char* digits[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
  std::vector<MenuEntry> items;
  for (int i = 0; i < 10; ++i) items.push_back(Item(kCmdFavourite0 + i, digits[i]));
  return items;
}

std::vector<MenuEntry> OpacityItems() {
  static const char* texts[] = {"100%", "90%", "80%", "70%", "60%", "50%", "40%", "30%", "20%", "10%"};
  std::vector<MenuEntry> items;
  for (int i = 0; i < 10; ++i) items.push_back(Item(1251 + i, texts[i]));
  return items;
}

}  // namespace

const std::vector<MenuEntry>& MainMenus() {
  static const std::vector<MenuEntry> menus = {
      Popup("ファイル",
            {Popup("インポート", {Item(kCmdImportCsv, "CSV(カンマ区切り)"), Item(kCmdImportXml, "XML", true)}),
             Popup("エクスポート", {Item(kCmdExportCsv, "CSV(カンマ区切り)"), Item(kCmdExportXml, "XML", true)}),
             Popup("バックアップ", {Item(kCmdBackupDatabase, "データベースファイルをバックアップ")}),
             Item(kCmdExit, "終了")}),
      Popup("編集",
            {Item(kCmdEditRecord, "レコード編集\tE"), Separator(),
             Popup("一括変更",
                   {Item(1171, "タイトル\tR"), Item(1172, "メーカー\tM"), Item(1173, "開発元\tD"),
                    Item(1174, "国名\tL"), Item(1175, "バージョン/コメント\tV"), Item(1176, "発売年月日\tS"),
                    Item(1177, "クリエイター\tC"), Separator(), Item(kCmdToggleAdult, "R指定 設定/解除 (Adult)\tA"),
                    Separator(), Dynamic(kCmdBulkAdultex, "拡張R指定\tShift+A", DynamicList::Adultex),
                    Dynamic(kCmdBulkGenre, "ジャンル\tG", DynamicList::Genres),
                    Dynamic(kCmdBulkMedia, "メディア\t", DynamicList::Media),
                    Dynamic(kCmdBulkMachine, "機種\t", DynamicList::Machines),
                    Dynamic(kCmdBulkEmulatorSetting, "個別エミュレータ設定", DynamicList::EmulatorSettings)}),
             Popup("お気に入りに登録・解除", FavouriteItems()), Separator(),
             Item(kCmdReleaseImageSet, "複数イメージを解除"),
             Item(kCmdReleaseEmulatorSetting, "個別エミュレータ設定を解除"),
             Item(kCmdClearSnapshotPaths, "スナップ画像の絶対指定をクリア"), Separator(),
             Item(kCmdImageBackup, "イメージファイルのバックアップ"),
             Item(kCmdOpenImageFolder, "イメージファイルのフォルダを開く"), Item(kCmdAlterEgo, "分身の作成"),
             Separator(),
             Popup("ライブラリ", {Item(kCmdRemoveFromLibrary, "ライブラリから削除"),
                                  Item(kCmdResetLaunchInfo, "起動情報リセット")})}),
      Popup("管理", {Item(kCmdMasterMachine, "機種"), Item(kCmdMasterMedia, "メディア"),
                     Item(kCmdMasterGenre, "ジャンル"), Item(kCmdMasterAdultex, "拡張R指定")}),
      Popup("エミュレータ", {Item(kCmdLaunchDefault, "デフォルトエミュで起動\tEnter"),
                             Dynamic(0, "エミュレータで起動\tX", DynamicList::Emulators), Separator(),
                             Item(kCmdEmulatorSettings, "エミュレータ設定")}),
      Popup("データベース",
            {Item(kCmdAddImages, "イメージファイルの追加"), Separator(),
             Item(kCmdRecalculateCrc, "ライブラリのCRCを再計算"),
             Item(kCmdRenameData, "リネームデータを拝借してライブラリ更新"), Separator(),
             Popup("ライブラリの整理", {Item(kCmdRemoveMissing, "不在イメージをライブラリから削除"),
                                        Item(kCmdReadings, "「読み仮名」超適当生成"),
                                        Item(kCmdSmartTitles, "スマートタイトルの再構築"),
                                        Item(kCmdReplaceColumnValue, "カラム値の置換")}),
             Separator(), Item(kCmdDatabaseProperties, "プロパティ")}),
      Popup("オプション",
            {Item(kCmdSettings, "全体設定"), Separator(), Item(kCmdShortcutKeys, "ショートカットキーの設定"),
             Item(kCmdJoystick, "ジョイスティックの設定"), Item(kCmdWebSearchSettings, "Web検索の設定"), Separator(),
             Item(kCmdOpenSnapView, "スナップビューウィンドウを開く"),
             Item(kCmdOpenMemoView, "メモビューウィンドウを開く"), Separator(),
             Item(kCmdDemoNow, "一時的にデモモードを発動"), Separator(), Item(kCmdLockToolbars, "ツールバー固定")}),
      Popup("ヘルプ", {Item(kCmdHelp, "ヘルプ"), Item(kCmdColumnNames, "DBカラム名一覧"), Item(kCmdVersion, "バージョン")}),
  };
  return menus;
}

const MenuEntry& ContextMenuTree(ContextMenu which) {
  static const MenuEntry query = Popup("クエリ", {Item(1227, "フォルダ作成"), Separator(), Item(1228, "クエリ作成"),
                                                 Item(1229, "クエリ編集"), Separator(), Item(1230, "大きいアイコン"),
                                                 Separator(), Item(1231, "削除")});
  static const MenuEntry information =
      Popup("インフォメーション内メニュー",
            {Dynamic(0, "エミュレータで起動", DynamicList::Emulators), Separator(),
             Dynamic(0, "Webで検索", DynamicList::WebSites), Dynamic(0, "関連ファイル/URL", DynamicList::RelatedFiles),
             Separator(), Item(kCmdAbsoluteSnapshot, "スナップショット画像の絶対指定…"),
             Item(kCmdOpenMemoView, "メモビューウィンドウを開く")});
  static const MenuEntry header =
      Popup("アイテムリストカラムメニュー", {Item(kCmdResetSortDirections, "全カラムソート方向リセット")});
  static const MenuEntry snap = Popup(
      "スナップビュー",
      {Item(1233, "スナップショット1"), Item(1234, "スナップショット2"), Item(1235, "スナップショット3"), Separator(),
       Item(1236, "代替なし"), Item(1237, "NO SNAP を代替（ 1 > 2 > 3 ）"), Item(1238, "NO SNAP を代替（ 3 > 2 > 1 ）"),
       Separator(), Item(1239, "画像をウィンドウに合わせる(元比率)"), Item(1240, "画像をウィンドウに合わせる(4:3)"),
       Item(1241, "画像をウィンドウに合わせる(16:10)"), Item(1242, "画像をウィンドウに合わせる(フル)"),
       Item(1243, "ウィンドウを画像に合わせる(実寸表示)"), Separator(),
       Popup("ウィンドウ基点", {Item(1244, "左上"), Item(1245, "右上"), Item(1246, "左下"), Item(1247, "右下")})});
  static const MenuEntry memo =
      Popup("メモビュー", {Item(1248, "ウィンドウフレームを非表示"), Item(1249, "メインウィンドウに追従"),
                           Item(1250, "3Shotモードで非表示"), Separator(), Popup("不透明度", OpacityItems()),
                           Separator(), Item(1261, "編集モード")});
  static const MenuEntry emulator =
      Popup("エミュレータ設定", {Item(1262, "使用中のアイテムを確認"), Item(1263, "使用中をアイテムリストに抽出")});
  static const MenuEntry tray = Popup("トレイメニュー", {Item(kCmdTrayStopWaiting, "エミュ起動待機を中止"), Separator()});
  switch (which) {
    case ContextMenu::Query: return query;
    case ContextMenu::Information: return information;
    case ContextMenu::ItemListHeader: return header;
    case ContextMenu::SnapView: return snap;
    case ContextMenu::MemoView: return memo;
    case ContextMenu::EmulatorSettings: return emulator;
    case ContextMenu::Tray: return tray;
  }
  return tray;
}

int DynamicListFirstId(DynamicList list) {
  switch (list) {
    case DynamicList::Machines: return kCmdMachineFirst;
    case DynamicList::Media: return kCmdMediaFirst;
    case DynamicList::Genres: return kCmdGenreFirst;
    case DynamicList::Adultex: return kCmdAdultexFirst;
    case DynamicList::EmulatorSettings: return kCmdEmulatorSettingFirst;
    case DynamicList::Emulators: return kCmdLaunchWithFirst;
    case DynamicList::WebSites: return kCmdWebSiteFirst;
    case DynamicList::RelatedFiles: return kCmdRelatedFileFirst;
    case DynamicList::None: break;
  }
  return 0;
}

const std::vector<CommandIdRange>& DynamicCommandRanges() {
  auto whole = [](const char* name, int first) { return CommandIdRange{name, first, first + kDynamicRangeSize - 1}; };
  static const std::vector<CommandIdRange> ranges = {
      whole("genres", kCmdGenreFirst),
      whole("extended ratings", kCmdAdultexFirst),
      whole("media", kCmdMediaFirst),
      whole("machines", kCmdMachineFirst),
      whole("emulator settings", kCmdEmulatorSettingFirst),
      {"web sites", kCmdWebSiteFirst, kCmdWebSiteFirst + kWebSiteIdCount - 1},
      {"related files", kCmdRelatedFileFirst, kCmdRelatedFileFirst + kRelatedFileIdCount - 1},
      whole("emulators", kCmdLaunchWithFirst),
      whole("disks", kCmdLaunchDiskFirst),
  };
  return ranges;
}

}  // namespace vel
