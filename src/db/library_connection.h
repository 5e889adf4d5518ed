#pragma once
// The program's only road to the library database: one open SQLite handle
// that runs one SQL text at a time and keeps its whole result as a grid.
// SQL is built in CP932 and converted to UTF-8 here; cells come back as CP932.
#include <optional>
#include <string>

struct sqlite3;

namespace vel {

// Doubles every single quote, for use between single quotes in SQL.
std::string Quote(const std::string& text);

// How long a statement waits for another connection's write before failing.
inline constexpr int kBusyTimeoutMs = 10000;

class LibraryConnection {
 public:
  LibraryConnection() = default;
  ~LibraryConnection();
  LibraryConnection(const LibraryConnection&) = delete;
  LibraryConnection& operator=(const LibraryConnection&) = delete;

  // Opens (creating a missing file). A failed open shows up as failing statements.
  void Open(const std::string& databasePath, const std::string& extensionPath);
  void Close();
  bool IsOpen() const { return handle_ != nullptr; }

  // Runs one SQL text (it may hold several statements). Returns the error text
  // (UTF-8, as the database gives it) on failure, nothing on success.
  std::optional<std::string> Query(const std::string& sql);

  int RowCount() const { return rows_; }
  int ColumnCount() const { return columns_; }
  // Data rows are 1..RowCount(), columns 0..ColumnCount()-1. NULL and any cell
  // outside the grid read as ""; outside the grid also sets CellReadFailed().
  std::string Cell(int row, int column);
  int CellInt(int row, int column);
  bool CellReadFailed() const { return cellReadFailed_; }

  // The error text of the last failed statement (UTF-8), or nothing.
  std::optional<std::string> LastError() const;

  std::string Quote(const std::string& text) { return vel::Quote(text); }

  sqlite3* Handle() const { return handle_; }
  const std::string& DatabasePathUtf8() const { return databasePathUtf8_; }

 private:
  void ReleaseResult();

  sqlite3* handle_ = nullptr;
  std::string databasePathUtf8_;
  std::string extensionStatement_;
  char** grid_ = nullptr;
  int rows_ = 0;
  int columns_ = 0;
  char* lastError_ = nullptr;
  bool cellReadFailed_ = false;
};

}  // namespace vel
