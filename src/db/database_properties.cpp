#include "db/database_properties.h"

#include <sqlite3.h>

#include <cmath>

#include "db/library_connection.h"
#include "platform/codepage.h"
#include "platform/system.h"

namespace vel {

std::string WithThousands(std::int64_t value) {
  std::uint64_t magnitude = value < 0 ? 0 - static_cast<std::uint64_t>(value)
                                      : static_cast<std::uint64_t>(value);
  std::string digits = std::to_string(magnitude);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return value < 0 ? "-" + out : out;
}

std::string FormatTotalPlayTime(double hours, double minutes, double seconds) {
  auto whole = [](double v) { return std::isfinite(v) ? static_cast<std::int64_t>(std::llround(v)) : 0; };
  std::int64_t h = whole(hours), m = whole(minutes), s = whole(seconds);
  m += s / 60;
  s %= 60;
  h += m / 60;
  m %= 60;
  std::int64_t d = h / 24;
  h %= 24;
  return std::to_string(d) + Jp("日") + std::to_string(h) + Jp("時間") + std::to_string(m) +
         Jp("分") + std::to_string(s) + Jp("秒");
}

DatabaseStatistics ReadDatabaseStatistics(const std::string& databasePath,
                                          const std::string& extensionPath) {
  DatabaseStatistics stats;
  stats.sqliteVersion = sqlite3_libversion();
  std::int64_t size = 0;
  if (!FileSize(databasePath, size)) {
    // Opening would create an empty file in its place.
    stats.playTime = FormatTotalPlayTime(0, 0, 0);
    stats.fileSize = Jp("DBが作成されていません");
    return stats;
  }
  LibraryConnection db;
  db.Open(databasePath, extensionPath);
  auto count = [&db](const char* sql, std::string& out) {
    if (!db.Query(sql) && db.RowCount() >= 1) {
      std::string cell = db.Cell(1, 0);
      out = WithThousands(std::strtoll(cell.c_str(), nullptr, 10));
    }
  };
  count("SELECT COUNT(*) FROM main_table WHERE ply < 2 ;", stats.titles);
  count("SELECT COUNT(*) FROM main_table ;", stats.images);
  count("SELECT COUNT(DISTINCT maker) FROM main_table ;", stats.makers);
  double h = 0, m = 0, s = 0;
  if (!db.Query("SELECT SUM( substr(play_time,1,3) )AS h, SUM( substr(play_time,5,2) )AS m, "
                "SUM(substr(play_time,8,2))AS s FROM main_table WHERE play_time <>'';") &&
      db.RowCount() >= 1) {
    h = std::strtod(db.Cell(1, 0).c_str(), nullptr);
    m = std::strtod(db.Cell(1, 1).c_str(), nullptr);
    s = std::strtod(db.Cell(1, 2).c_str(), nullptr);
  }
  stats.playTime = FormatTotalPlayTime(h, m, s);
  stats.fileSize = WithThousands(size) + " byte";
  if (!db.Query("SELECT ver FROM vel_table;") && db.RowCount() >= 1) stats.dbVersion = db.Cell(1, 0);
  return stats;
}

std::string OptimiseDatabase(const std::string& databasePath, const std::string& extensionPath) {
  LibraryConnection db;
  db.Open(databasePath, extensionPath);
  auto error = db.Query("VACUUM;");
  return error ? *error : std::string();
}

}  // namespace vel
