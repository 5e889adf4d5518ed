#pragma once
// Menu command identifiers.
namespace vel {

enum CommandId : int {
  kCmdBackupDatabase = 1168,  // ファイル ▸ バックアップ ▸ データベースファイルをバックアップ
  kCmdExit = 1169,            // ファイル ▸ 終了
  kCmdDatabaseProperties = 1215,  // データベース ▸ プロパティ
};

}  // namespace vel
