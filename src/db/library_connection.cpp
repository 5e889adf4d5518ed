#include "db/library_connection.h"

#include <sqlite3.h>

#include <algorithm>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/codepage.h"
#include "platform/system.h"

namespace vel {

std::string Quote(const std::string& text) {
  // Whole characters first: a lead byte left without its trail byte would
  // take the quote after it for one and end the literal early.
  std::string quoted;
  const std::string whole = WithWholeCharacters(text);
  quoted.reserve(whole.size() + 8);
  for (size_t i = 0; i < whole.size(); i += CharacterLength(whole, i)) {
    quoted.append(whole, i, CharacterLength(whole, i));
    if (whole[i] == '\'') quoted += '\'';
  }
  return quoted;
}

ReadSizing ChooseReadSizing(std::int64_t libraryBytes, bool onNetwork) {
  constexpr std::int64_t kMiB = 1024 * 1024;
  constexpr std::int64_t kMinCache = 8 * kMiB, kMaxCache = 64 * kMiB;
  // Room for the library to grow while the connection is open.
  constexpr std::int64_t kGrowth = 64 * kMiB;
  // A 32-bit process keeps its address space for everything else.
  constexpr std::int64_t kMaxMap = sizeof(void*) >= 8 ? 1024 * kMiB : 256 * kMiB;
  libraryBytes = std::max<std::int64_t>(libraryBytes, 0);
  ReadSizing sizing;
  sizing.cacheKibibytes = std::clamp(libraryBytes, kMinCache, kMaxCache) / 1024;
  sizing.mapBytes = onNetwork ? 0 : std::min(libraryBytes + kGrowth, kMaxMap);
  return sizing;
}

namespace {

bool IsNetworkPath(const std::string& path) {
  return path.size() >= 2 && (path[0] == '\\' || path[0] == '/') && (path[1] == '\\' || path[1] == '/');
}

}  // namespace

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
  std::int64_t bytes = 0;
  if (!FileSize(databasePath, bytes)) bytes = 0;
  ReadSizing sizing = ChooseReadSizing(bytes, IsNetworkPath(databasePath));
  std::string pragmas = "PRAGMA cache_size=-" + std::to_string(sizing.cacheKibibytes) +
                        ";PRAGMA mmap_size=" + std::to_string(sizing.mapBytes) + ";";
  sqlite3_exec(handle_, pragmas.c_str(), nullptr, nullptr, nullptr);
}

void LibraryConnection::Grid::Clear() {
  if (!blocks_.empty() && firstBlockIsOneSlot_) spareBlock_ = std::move(blocks_.front());
  if (!endChunks_.empty()) spareChunk_ = std::move(endChunks_.front());
  firstBlockIsOneSlot_ = false;
  blocks_.clear();
  slots_.clear();
  rowStarts_.clear();
  endChunks_.clear();
  wideRows_.clear();
  types_.clear();
  names_.clear();
  exact_ = true;
  order_.clear();
  blockBytes_ = 0;
  next_ = end_ = 0;
  cells_ = 0;
}

bool LibraryConnection::Grid::AddRow(const char* const* texts, const size_t* lengths, const CellType* types,
                                     int count) {
  uint64_t rowBytes = 0;
  for (int c = 0; c < count; ++c) rowBytes += lengths[c];
  if (end_ - next_ < rowBytes) {
    // A new block of whole slots, large enough for this row.
    uint64_t slotCount = std::max<uint64_t>((rowBytes + kSlotBytes - 1) / kSlotBytes, 1);
    if (end_ + slotCount * kSlotBytes > UINT32_MAX) return false;
    std::unique_ptr<char[]> block;
    if (slotCount == 1 && spareBlock_)
      block = std::move(spareBlock_);
    else
      block = std::make_unique_for_overwrite<char[]>(slotCount * kSlotBytes);
    if (blocks_.empty()) firstBlockIsOneSlot_ = slotCount == 1;
    for (uint64_t s = 0; s < slotCount; ++s) slots_.push_back(block.get() + s * kSlotBytes);
    blockBytes_ += slotCount * kSlotBytes;
    blocks_.push_back(std::move(block));
    next_ = end_;
    end_ += slotCount * kSlotBytes;
  }
  char* at = rowBytes ? slots_[next_ >> kSlotShift] + (next_ & (kSlotBytes - 1)) : nullptr;
  bool wide = rowBytes > UINT16_MAX;
  if (wide) wideRows_.push_back({rowStarts_.size(), {}});
  rowStarts_.push_back(static_cast<uint32_t>(next_));
  uint32_t offset = 0;
  for (int c = 0; c < count; ++c) {
    if (lengths[c]) std::memcpy(at + offset, texts[c], lengths[c]);
    offset += static_cast<uint32_t>(lengths[c]);
    if ((cells_ & (kChunkCells - 1)) == 0)
      endChunks_.push_back(spareChunk_ ? std::move(spareChunk_) : std::make_unique_for_overwrite<uint16_t[]>(kChunkCells));
    endChunks_.back()[cells_ & (kChunkCells - 1)] = static_cast<uint16_t>(offset);
    if ((cells_ & 3) == 0) types_.push_back(0);
    types_.back() |= static_cast<uint8_t>(static_cast<uint8_t>(types[c]) << ((cells_ & 3) * 2));
    ++cells_;
    if (wide) wideRows_.back().second.push_back(offset);
  }
  next_ += rowBytes;
  return true;
}

uint32_t LibraryConnection::Grid::CellEnd(size_t row, size_t cell, int column) const {
  if (!wideRows_.empty()) {
    auto wide = std::lower_bound(wideRows_.begin(), wideRows_.end(), row,
                                 [](const auto& entry, size_t r) { return entry.first < r; });
    if (wide != wideRows_.end() && wide->first == row) return wide->second[static_cast<size_t>(column)];
  }
  return endChunks_[cell >> kChunkShift][cell & (kChunkCells - 1)];
}

std::string_view LibraryConnection::Grid::At(size_t shown, int column, int columns) const {
  size_t row = Stored(shown);
  size_t cell = row * static_cast<size_t>(columns) + static_cast<size_t>(column);
  uint32_t start = column == 0 ? 0 : CellEnd(row, cell - 1, column - 1);
  uint32_t end = CellEnd(row, cell, column);
  if (end == start) return {};
  uint32_t position = rowStarts_[row] + start;
  return std::string_view(slots_[position >> kSlotShift] + (position & (kSlotBytes - 1)), end - start);
}

CellType LibraryConnection::Grid::TypeAt(size_t shown, int column, int columns) const {
  size_t cell = Stored(shown) * static_cast<size_t>(columns) + static_cast<size_t>(column);
  return static_cast<CellType>((types_[cell >> 2] >> ((cell & 3) * 2)) & 3);
}

size_t LibraryConnection::Grid::HeldBytes() const {
  size_t wide = 0;
  for (const auto& entry : wideRows_) wide += entry.second.capacity() * sizeof(uint32_t);
  return blockBytes_ + endChunks_.size() * kChunkCells * sizeof(uint16_t) +
         rowStarts_.capacity() * sizeof(uint32_t) + slots_.capacity() * sizeof(char*) + wide +
         types_.capacity() + order_.capacity() * sizeof(uint32_t);
}

void LibraryConnection::ReleaseResult() {
  lastError_.reset();
  lastInterrupted_ = false;
  changedCells_.clear();
  grid_.Clear();
  grid_.SetSerial(++lastSerial_);
  rows_ = columns_ = 0;
}

void LibraryConnection::Close() {
  ReleaseResult();
  if (handle_) sqlite3_close(handle_);
  handle_ = nullptr;
  databasePathUtf8_.clear();
  extensionStatement_.clear();
}

std::optional<std::string> LibraryConnection::Fail(std::string text) {
  grid_.Clear();
  grid_.SetSerial(++lastSerial_);
  rows_ = columns_ = 0;
  lastInterrupted_ = handle_ && sqlite3_errcode(handle_) == SQLITE_INTERRUPT;
  lastError_ = std::move(text);
  return lastError_;
}

// Runs the statements of the text in order, stepping every row into the
// grid. Rows of all statements go into one result; statements whose rows
// differ in width cannot share it.
std::optional<std::string> LibraryConnection::RunStatements(const std::string& utf8) {
  const char* tail = utf8.c_str();
  while (*tail) {
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(handle_, tail, -1, &statement, &tail) != SQLITE_OK)
      return Fail(sqlite3_errmsg(handle_));
    if (statement == nullptr) continue;  // only white space or a comment
    int rc;
    std::vector<const char*> texts;
    std::vector<size_t> lengths;
    std::vector<CellType> types;
    while ((rc = sqlite3_step(statement)) == SQLITE_ROW) {
      int width = sqlite3_column_count(statement);
      if (rows_ == 0) {
        columns_ = width;
        std::vector<std::string> names;
        for (int c = 0; c < width; ++c) {
          const char* name = sqlite3_column_name(statement, c);
          names.emplace_back(name ? name : "");
        }
        grid_.SetNames(std::move(names));
      } else if (width != columns_) {
        sqlite3_finalize(statement);
        return Fail("sqlite3_get_table() called with two or more incompatible queries");
      }
      texts.resize(static_cast<size_t>(width));
      lengths.resize(static_cast<size_t>(width));
      types.resize(static_cast<size_t>(width));
      for (int c = 0; c < width; ++c) {
        // The class first: reading the text may convert the value.
        int type = sqlite3_column_type(statement, c);
        texts[c] = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
        lengths[c] = texts[c] ? static_cast<size_t>(sqlite3_column_bytes(statement, c)) : 0;
        switch (type) {
          case SQLITE_NULL: types[c] = CellType::kNull; break;
          case SQLITE_INTEGER: types[c] = CellType::kInteger; break;
          case SQLITE_FLOAT: {
            types[c] = CellType::kReal;
            double read = 0;
            auto [end, failure] = std::from_chars(texts[c], texts[c] + lengths[c], read);
            if (failure != std::errc() || end != texts[c] + lengths[c] || read != sqlite3_column_double(statement, c))
              grid_.MarkInexact();
            break;
          }
          case SQLITE_BLOB: types[c] = CellType::kText; grid_.MarkInexact(); break;
          default: types[c] = CellType::kText; break;
        }
      }
      if (rows_ == INT_MAX || !grid_.AddRow(texts.data(), lengths.data(), types.data(), width)) {
        sqlite3_finalize(statement);
        return Fail("result too large");
      }
      ++rows_;
    }
    if (rc != SQLITE_DONE) {
      std::string error = sqlite3_errmsg(handle_);
      sqlite3_finalize(statement);
      return Fail(error);
    }
    sqlite3_finalize(statement);
  }
  if (rows_ == 0) columns_ = 0;
  return std::nullopt;
}

std::optional<std::string> LibraryConnection::Query(const std::string& sql) {
  ReleaseResult();
  if (handle_ == nullptr) return Fail("unable to open database file");
  if (!extensionStatement_.empty() && sqlite3_enable_load_extension(handle_, 1) == SQLITE_OK) {
    // Tried before each statement until it loads; a failure only shows in
    // statements that need it. Once loaded it stays for the connection's life:
    // loading it again would add it to the connection's list of extensions
    // every time, a copy that grows with each statement of a long run.
    if (sqlite3_exec(handle_, extensionStatement_.c_str(), nullptr, nullptr, nullptr) == SQLITE_OK)
      extensionStatement_.clear();
  }
  return RunStatements(AnsiToUtf8(sql));
}

std::optional<std::string> LibraryConnection::QueryUtf8(const std::string& utf8) {
  ReleaseResult();
  if (handle_ == nullptr) return Fail("unable to open database file");
  return RunStatements(utf8);
}

void LibraryConnection::SetProgressCheck(std::function<bool()> check) {
  progressCheck_ = std::move(check);
  if (!handle_) return;
  if (!progressCheck_) {
    sqlite3_progress_handler(handle_, 0, nullptr, nullptr);
    return;
  }
  // About a millisecond of work between checks.
  sqlite3_progress_handler(handle_, 4000, [](void* self) -> int {
    LibraryConnection* connection = static_cast<LibraryConnection*>(self);
    // Non-zero interrupts the running statement (SQLITE_INTERRUPT).
    return connection->progressCheck_ && connection->progressCheck_() ? 1 : 0;
  }, this);
}

void LibraryConnection::HoldResult() {
  heldGrid_ = std::move(grid_);
  heldRows_ = rows_;
  heldColumns_ = columns_;
  heldChangedCells_ = std::move(changedCells_);
  changedCells_.clear();
  grid_ = Grid();
  grid_.SetSerial(++lastSerial_);
  rows_ = columns_ = 0;
}

void LibraryConnection::PutBackHeldResult() {
  grid_ = std::move(heldGrid_);
  rows_ = heldRows_;
  columns_ = heldColumns_;
  changedCells_ = std::move(heldChangedCells_);
  DropHeldResult();
}

void LibraryConnection::DropHeldResult() {
  heldGrid_ = Grid();
  heldRows_ = heldColumns_ = 0;
  heldChangedCells_.clear();
}

std::string_view LibraryConnection::CellUtf8(int row, int column) const {
  if (row < 1 || row > rows_ || column < 0 || column >= columns_) return {};
  if (!changedCells_.empty()) {
    auto changed = changedCells_.find(grid_.Stored(static_cast<size_t>(row - 1)) * static_cast<uint64_t>(columns_) +
                                      static_cast<uint64_t>(column));
    if (changed != changedCells_.end()) return changed->second;
  }
  return grid_.At(static_cast<size_t>(row - 1), column, columns_);
}

std::string LibraryConnection::Cell(int row, int column) {
  if (row < 1 || row > rows_ || column < 0 || column >= columns_) {
    cellReadFailed_ = true;
    return {};
  }
  cellReadFailed_ = false;
  std::string_view cell = CellUtf8(row, column);
  return cell.empty() ? std::string() : Utf8ToAnsi(cell);
}

bool LibraryConnection::SetCell(int row, int column, const std::string& value) {
  if (row < 1 || row > rows_ || column < 0 || column >= columns_) return false;
  changedCells_[grid_.Stored(static_cast<size_t>(row - 1)) * static_cast<uint64_t>(columns_) +
                static_cast<uint64_t>(column)] = AnsiToUtf8(value);
  return true;
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

std::optional<std::string> LibraryConnection::LastError() const { return lastError_; }

CellType LibraryConnection::TypeOf(int row, int column) const {
  if (row < 1 || row > rows_ || column < 0 || column >= columns_) return CellType::kNull;
  return grid_.TypeAt(static_cast<size_t>(row - 1), column, columns_);
}

std::string_view LibraryConnection::ColumnName(int column) const {
  const std::vector<std::string>& names = grid_.Names();
  if (column < 0 || static_cast<size_t>(column) >= names.size()) return {};
  return names[static_cast<size_t>(column)];
}

bool LibraryConnection::ReorderRows(const std::vector<std::uint32_t>& order) {
  if (order.size() != static_cast<size_t>(rows_)) return false;
  std::vector<bool> seen(order.size());
  std::vector<std::uint32_t> stored(order.size());
  for (size_t i = 0; i < order.size(); ++i) {
    if (order[i] >= order.size() || seen[order[i]]) return false;
    seen[order[i]] = true;
    stored[i] = static_cast<std::uint32_t>(grid_.Stored(order[i]));
  }
  grid_.SetOrder(std::move(stored));
  return true;
}

std::optional<std::string> LibraryConnection::SideValue(const std::string& utf8) {
  if (!handle_) return std::nullopt;
  sqlite3_stmt* statement = nullptr;
  if (sqlite3_prepare_v2(handle_, utf8.c_str(), -1, &statement, nullptr) != SQLITE_OK || !statement) {
    sqlite3_finalize(statement);
    return std::nullopt;
  }
  std::optional<std::string> value;
  int rc = sqlite3_step(statement);
  if (rc == SQLITE_ROW) {
    const char* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
    value = text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(statement, 0))) : std::string();
  } else if (rc == SQLITE_DONE) {
    value = std::string();
  }
  sqlite3_finalize(statement);
  return value;
}

}  // namespace vel
