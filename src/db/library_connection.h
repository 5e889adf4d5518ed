#pragma once
// The program's only road to the library database: one open SQLite handle
// that runs one SQL text at a time and keeps its whole result as a grid.
// SQL is built in CP932 and converted to UTF-8 here; cells come back as CP932.
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;

namespace vel {

// Doubles every single quote, for use between single quotes in SQL.
std::string Quote(const std::string& text);

// How long a statement waits for another connection's write before failing.
inline constexpr int kBusyTimeoutMs = 10000;

// How a connection reads the library file. Every page read from the file is a
// system call, and under Wine a costly one; SQLite's default page cache
// (2 MB) holds a small part of a large library, so a search over it would read
// the file again for every statement. The page cache holds the library up to
// a bound (each connection has its own), and a memory map serves the rest of
// the reads without system calls (one map per file, shared by the system).
struct ReadSizing {
  std::int64_t cacheKibibytes = 0;  // PRAGMA cache_size, as a negative KiB count
  std::int64_t mapBytes = 0;        // PRAGMA mmap_size; 0 = no map
};
// `onNetwork`: a library on a network share is never mapped, since a map may
// not see another computer's writes.
ReadSizing ChooseReadSizing(std::int64_t libraryBytes, bool onNetwork);

// The storage class a result cell had in the database.
enum class CellType : std::uint8_t { kNull = 0, kInteger = 1, kReal = 2, kText = 3 };

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
  // The same for a text already in UTF-8, so that values CP932 cannot hold
  // (a memo typed in a wide edit control) reach the library as they are.
  std::optional<std::string> QueryUtf8(const std::string& utf8);

  int RowCount() const { return rows_; }
  int ColumnCount() const { return columns_; }
  // Data rows are 1..RowCount(), columns 0..ColumnCount()-1. NULL and any cell
  // outside the grid read as ""; outside the grid also sets CellReadFailed().
  std::string Cell(int row, int column);
  int CellInt(int row, int column);
  bool CellReadFailed() const { return cellReadFailed_; }
  // The cell's UTF-8 text as stored, without conversion; "" for NULL and
  // outside the grid. Valid until the next statement or change of the cell. Does not touch
  // CellReadFailed().
  std::string_view CellUtf8(int row, int column) const;
  // Changes a cell of the current result (CP932), so that a list shows a
  // value just written without reading it again. Kept until the next
  // statement; false outside the grid.
  bool SetCell(int row, int column, const std::string& value);
  // Bytes held by the current result (text arena and cell table).
  size_t ResultBytes() const { return grid_.HeldBytes(); }
  // The storage class of a cell (kNull outside the grid); a BLOB reads as kText.
  CellType TypeOf(int row, int column) const;
  // The name SQLite gave a column of the current result; "" outside.
  std::string_view ColumnName(int column) const;
  // Whether each cell's type and text give its value exactly: no BLOB, and
  // the text of every REAL reads back as the same number.
  bool ResultValuesExact() const { return grid_.ValuesExact(); }
  // Whether a cell of the current result was changed with SetCell.
  bool HasChangedCells() const { return !changedCells_.empty(); }
  // Names the current result: a new statement gives a new number, a result
  // held and put back keeps its own.
  std::uint64_t ResultSerial() const { return grid_.Serial(); }
  // Puts the rows of the current result in a new order: row i + 1 shows what
  // row order[i] + 1 showed. False (nothing changed) unless `order` holds
  // each row once.
  bool ReorderRows(const std::vector<std::uint32_t>& order);
  // Runs a statement on the side and gives the first column of its first row
  // (UTF-8; "" for no row), leaving the current result as it is. Nothing
  // when it fails.
  std::optional<std::string> SideValue(const std::string& utf8);

  // The error text of the last failed statement (UTF-8), or nothing.
  std::optional<std::string> LastError() const;

  std::string Quote(const std::string& text) { return vel::Quote(text); }

  sqlite3* Handle() const { return handle_; }

  // Called every few thousand steps of a running statement while set; when it
  // returns true the statement is interrupted and fails with "interrupted".
  // Unset it (an empty function) when the work it watches is done.
  void SetProgressCheck(std::function<bool()> check);
  // Whether the last failed statement was interrupted (by the check).
  bool LastWasInterrupted() const { return lastInterrupted_; }

  // Sets the current result aside, so that a long statement that may be
  // stopped can be run without losing it: PutBackHeldResult makes it the
  // current result again, DropHeldResult frees it. Holding again replaces it.
  void HoldResult();
  void PutBackHeldResult();
  void DropHeldResult();
  const std::string& DatabasePathUtf8() const { return databasePathUtf8_; }

 private:
  // The result: the UTF-8 text of each row packed into blocks of whole
  // slots (a row never straddles two blocks, so a position maps to its bytes
  // by slot), and for each cell the end of its text relative to its row's
  // start. NULL and "" take no text.
  class Grid {
   public:
    void Clear();
    // Adds a row; false when the result is too large.
    bool AddRow(const char* const* texts, const size_t* lengths, const CellType* types, int count);
    // The row in the order the rows were added (rows may be reordered since).
    size_t Stored(size_t row) const { return order_.empty() ? row : order_[row]; }
    std::string_view At(size_t row, int column, int columns) const;  // row 0-based, as shown
    CellType TypeAt(size_t row, int column, int columns) const;
    size_t HeldBytes() const;
    void SetNames(std::vector<std::string> names) { names_ = std::move(names); }
    const std::vector<std::string>& Names() const { return names_; }
    void MarkInexact() { exact_ = false; }
    bool ValuesExact() const { return exact_; }
    void SetSerial(std::uint64_t serial) { serial_ = serial; }
    std::uint64_t Serial() const { return serial_; }
    void SetOrder(std::vector<std::uint32_t> order) { order_ = std::move(order); }

   private:
    static constexpr int kSlotShift = 20;
    static constexpr size_t kSlotBytes = size_t{1} << kSlotShift;
    static constexpr int kChunkShift = 16;
    static constexpr size_t kChunkCells = size_t{1} << kChunkShift;
    uint32_t CellEnd(size_t row, size_t cell, int column) const;
    std::vector<std::unique_ptr<char[]>> blocks_;
    size_t blockBytes_ = 0;
    std::vector<char*> slots_;
    uint64_t next_ = 0;  // position of the next free byte
    uint64_t end_ = 0;   // end of the last block
    std::vector<uint32_t> rowStarts_;
    std::vector<std::unique_ptr<uint16_t[]>> endChunks_;
    size_t cells_ = 0;
    // Rows whose text does not fit 16-bit offsets keep full ones here.
    std::vector<std::pair<size_t, std::vector<uint32_t>>> wideRows_;
    // Two bits of storage class per cell, four cells to a byte.
    std::vector<uint8_t> types_;
    std::vector<std::string> names_;
    bool exact_ = true;
    std::uint64_t serial_ = 0;
    // Shown row -> stored row; empty while the rows stand as they were added.
    std::vector<std::uint32_t> order_;
    // The first one-slot block and cell chunk of the last result, kept for
    // the next: a connection running many small statements does not
    // allocate and free a megabyte for each.
    std::unique_ptr<char[]> spareBlock_;
    std::unique_ptr<uint16_t[]> spareChunk_;
    bool firstBlockIsOneSlot_ = false;
  };

  void ReleaseResult();
  std::optional<std::string> Fail(std::string text);
  std::optional<std::string> RunStatements(const std::string& utf8);

  sqlite3* handle_ = nullptr;
  std::string databasePathUtf8_;
  std::string extensionStatement_;
  Grid grid_;
  int rows_ = 0;
  int columns_ = 0;
  Grid heldGrid_;
  int heldRows_ = 0;
  int heldColumns_ = 0;
  std::function<bool()> progressCheck_;
  bool lastInterrupted_ = false;
  std::uint64_t lastSerial_ = 0;
  // By stored row * columns + column, UTF-8: a changed cell moves with its row.
  std::unordered_map<uint64_t, std::string> changedCells_;
  std::unordered_map<uint64_t, std::string> heldChangedCells_;
  std::optional<std::string> lastError_;
  bool cellReadFailed_ = false;
};

}  // namespace vel
