#pragma once
// Menu command identifiers.
namespace vel {

enum CommandId : int {
  kCmdBackupDatabase = 1168,  // ファイル ▸ バックアップ ▸ データベースファイルをバックアップ
  kCmdExit = 1169,            // ファイル ▸ 終了
  kCmdAddImages = 1208,           // データベース ▸ イメージファイルの追加
  kCmdRecalculateCrc = 1209,      // データベース ▸ ライブラリのCRCを再計算
  kCmdDatabaseProperties = 1215,  // データベース ▸ プロパティ
};

}  // namespace vel
