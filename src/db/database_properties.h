#pragma once
// The figures of the database properties dialog.
#include <cstdint>
#include <string>

namespace vel {

// 1234567 -> "1,234,567".
std::string WithThousands(std::int64_t value);

// Sums of hours, minutes and seconds -> "d日h時間m分s秒" (CP932).
std::string FormatTotalPlayTime(double hours, double minutes, double seconds);

struct DatabaseStatistics {
  std::string titles = "0";   // "登録タイトル数："
  std::string images = "0";   // "登録イメージ数："
  std::string makers = "0";   // "登録メーカー数："
  std::string playTime;       // "向こう側に居た時間："
  std::string fileSize;       // "DBファイルサイズ："
  std::string sqliteVersion;  // "SQLite DLL ver："
  std::string dbVersion = "--";  // "DB UPD ver："
};

DatabaseStatistics ReadDatabaseStatistics(const std::string& databasePath,
                                          const std::string& extensionPath);

// Runs VACUUM; returns the database's error text (UTF-8) on failure.
std::string OptimiseDatabase(const std::string& databasePath, const std::string& extensionPath);

}  // namespace vel
