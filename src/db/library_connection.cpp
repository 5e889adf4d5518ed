#include "db/library_connection.h"

#include <sqlite3.h>

#include <climits>
#include <cmath>
#include <cstdlib>

#include "platform/codepage.h"
#include "platform/system.h"

namespace vel {

std::string Quote(const std::string& text) {
  std::string quoted;
  quoted.reserve(text.size() + 8);
  for (char c : text) {
    quoted += c;
    if (c == '\'') quoted += '\'';
  }
  return quoted;
}

LibraryConnection::~LibraryConnection() { Close(); }

void LibraryConnection::Open(const std::string& databasePath, const std::string& extensionPath) {
  Close();
#ifdef _WIN32
  databasePathUtf8_ = AnsiToUtf8(databasePath);
#else
  // Backslash-joined program paths name the same file here as in the file functions.
  databasePathUtf8_ = NativePath(databasePath);
#endif
  extensionStatement_.clear();
  if (!extensionPath.empty())
    extensionStatement_ = "SELECT load_extension('" + vel::Quote(AnsiToUtf8(extensionPath)) + "');";
  if (sqlite3_open(databasePathUtf8_.c_str(), &handle_) != SQLITE_OK) {
    // Keep the handle: statements on it fail with the open's reason.
    if (handle_ == nullptr) return;
  }
  sqlite3_busy_timeout(handle_, kBusyTimeoutMs);
}

void LibraryConnection::ReleaseResult() {
  if (lastError_) sqlite3_free(lastError_);
  lastError_ = nullptr;
  if (grid_) sqlite3_free_table(grid_);
  grid_ = nullptr;
  rows_ = columns_ = 0;
}

void LibraryConnection::Close() {
  ReleaseResult();
  if (handle_) sqlite3_close(handle_);
  handle_ = nullptr;
  databasePathUtf8_.clear();
  extensionStatement_.clear();
}

std::optional<std::string> LibraryConnection::Query(const std::string& sql) {
  ReleaseResult();
  if (handle_ == nullptr) {
    lastError_ = sqlite3_mprintf("%s", "unable to open database file");
    return std::string(lastError_);
  }
  if (!extensionStatement_.empty() && sqlite3_enable_load_extension(handle_, 1) == SQLITE_OK) {
    // Loaded before every statement; a failure only shows in statements that need it.
    char** g = nullptr;
    char* e = nullptr;
    int r = 0, c = 0;
    sqlite3_get_table(handle_, extensionStatement_.c_str(), &g, &r, &c, &e);
    if (g) sqlite3_free_table(g);
    if (e) sqlite3_free(e);
  }
  std::string utf8 = AnsiToUtf8(sql);
  int rc = sqlite3_get_table(handle_, utf8.c_str(), &grid_, &rows_, &columns_, &lastError_);
  if (rc == SQLITE_OK) return std::nullopt;
  if (lastError_ == nullptr) lastError_ = sqlite3_mprintf("%s", sqlite3_errstr(rc));
  if (grid_) sqlite3_free_table(grid_);
  grid_ = nullptr;
  rows_ = columns_ = 0;
  return std::string(lastError_);
}

std::string LibraryConnection::Cell(int row, int column) {
  if (grid_ == nullptr || row < 1 || row > rows_ || column < 0 || column >= columns_) {
    cellReadFailed_ = true;
    return {};
  }
  cellReadFailed_ = false;
  const char* cell = grid_[static_cast<size_t>(row) * static_cast<size_t>(columns_) +
                           static_cast<size_t>(column)];
  return cell ? Utf8ToAnsi(cell) : std::string();
}

int LibraryConnection::CellInt(int row, int column) {
  std::string cell = Cell(row, column);
  double value = std::strtod(cell.c_str(), nullptr);
  if (std::isnan(value)) return 0;
  value = std::trunc(value);
  if (value >= static_cast<double>(INT_MAX)) return INT_MAX;
  if (value <= static_cast<double>(INT_MIN)) return INT_MIN;
  return static_cast<int>(value);
}

std::optional<std::string> LibraryConnection::LastError() const {
  if (lastError_ == nullptr) return std::nullopt;
  return std::string(lastError_);
}

}  // namespace vel
