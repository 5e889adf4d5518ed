#pragma once
// Command identifiers of the menus, toolbars and dynamic submenus.
namespace vel {

enum CommandId : int {
  kCmdImportCsv = 1164,
  kCmdImportXml = 1165,
  kCmdExportCsv = 1166,
  kCmdExportXml = 1167,
  kCmdBackupDatabase = 1168,
  kCmdExit = 1169,
  kCmdEditRecord = 1170,
  kCmdBulkTitle = 1171,
  kCmdBulkCreator = 1177,
  kCmdToggleAdult = 1178,
  kCmdBulkAdultex = 1179,
  kCmdBulkGenre = 1180,
  kCmdBulkMedia = 1181,
  kCmdBulkMachine = 1182,
  kCmdBulkEmulatorSetting = 1183,
  kCmdFavourite0 = 1184,
  kCmdFavourite9 = 1193,
  kCmdReleaseImageSet = 1194,
  kCmdReleaseEmulatorSetting = 1195,
  kCmdClearSnapshotPaths = 1196,
  kCmdImageBackup = 1197,
  kCmdOpenImageFolder = 1198,
  kCmdAlterEgo = 1199,
  kCmdRemoveFromLibrary = 1200,
  kCmdResetLaunchInfo = 1201,
  kCmdMasterMachine = 1202,
  kCmdMasterMedia = 1203,
  kCmdMasterGenre = 1204,
  kCmdMasterAdultex = 1205,
  kCmdLaunchDefault = 1206,
  kCmdEmulatorSettings = 1207,
  kCmdAddImages = 1208,
  kCmdRecalculateCrc = 1209,
  kCmdRenameData = 1210,
  kCmdRemoveMissing = 1211,
  kCmdReadings = 1212,
  kCmdSmartTitles = 1213,
  kCmdReplaceColumnValue = 1214,
  kCmdDatabaseProperties = 1215,
  kCmdSettings = 1216,
  kCmdShortcutKeys = 1217,
  kCmdJoystick = 1218,
  kCmdWebSearchSettings = 1219,
  kCmdOpenSnapView = 1220,
  kCmdOpenMemoView = 1221,
  kCmdDemoNow = 1222,
  kCmdLockToolbars = 1223,
  kCmdHelp = 1224,
  kCmdColumnNames = 1225,
  kCmdVersion = 1226,
  kCmdQueryFolderCreate = 1227,
  kCmdQueryCreate = 1228,
  kCmdQueryEdit = 1229,
  kCmdQueryLargeIcons = 1230,
  kCmdQueryDelete = 1231,
  kCmdResetSortDirections = 1232,
  kCmdTrayStopWaiting = 1264,
  kCmdAbsoluteSnapshot = 1265,  // the information pane's menu: the item's own snapshot choice

  kCmdMenuButtonFirst = 11201,  // the seven top-level menus on the menu toolbar
  kCmdMenuButtonLast = 11207,
  kCmdHistoryBack = 11250,
  kCmdHistoryForward = 11251,

  // Dynamic submenus: first identifier of each range; each range holds 1000.
  kCmdGenreFirst = 12000,
  kCmdAdultexFirst = 13000,
  kCmdMediaFirst = 14000,
  kCmdMachineFirst = 15000,
  kCmdEmulatorSettingFirst = 16000,
  // 17000-17999 is shared: the web search sites, then the related files.
  kCmdWebSiteFirst = 17000,
  kCmdRelatedFileFirst = 17100,
  kCmdLaunchWithFirst = 18000,
  kCmdLaunchDiskFirst = 19000,
};

inline constexpr int kDynamicRangeSize = 1000;
// Sites 1-99 of the site file; entries of an item's related files shown.
inline constexpr int kWebSiteIdCount = 100;
inline constexpr int kRelatedFileIdCount = 900;

}  // namespace vel
