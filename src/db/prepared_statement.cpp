#include "db/prepared_statement.h"

#include <sqlite3.h>

#include <utility>

#include "db/library_connection.h"
#include "platform/codepage.h"

namespace vel {

PreparedStatement::~PreparedStatement() { Finalize(); }

PreparedStatement::PreparedStatement(PreparedStatement&& other) noexcept
    : statement_(std::exchange(other.statement_, nullptr)), error_(std::move(other.error_)) {}

PreparedStatement& PreparedStatement::operator=(PreparedStatement&& other) noexcept {
  if (this != &other) {
    Finalize();
    statement_ = std::exchange(other.statement_, nullptr);
    error_ = std::move(other.error_);
  }
  return *this;
}

std::optional<std::string> PreparedStatement::Prepare(LibraryConnection& db, const std::string& sql) {
  Finalize();
  error_.clear();
  if (db.Handle() == nullptr) return error_ = "unable to open database file";
  const std::string utf8 = AnsiToUtf8(sql);
  if (sqlite3_prepare_v2(db.Handle(), utf8.c_str(), static_cast<int>(utf8.size()), &statement_, nullptr) !=
      SQLITE_OK) {
    error_ = sqlite3_errmsg(db.Handle());
    sqlite3_finalize(statement_);
    statement_ = nullptr;
    return error_;
  }
  if (statement_ == nullptr) return error_ = "no statement";
  return std::nullopt;
}

bool PreparedStatement::BindText(int index, const std::string& text) {
  if (!statement_) return false;
  // The same conversion the quoted literal goes through inside its SQL text.
  const std::string utf8 = AnsiToUtf8(WithWholeCharacters(text));
  return sqlite3_bind_text(statement_, index, utf8.data(), static_cast<int>(utf8.size()), SQLITE_TRANSIENT) ==
         SQLITE_OK;
}

bool PreparedStatement::BindInt(int index, std::int64_t value) {
  return statement_ && sqlite3_bind_int64(statement_, index, value) == SQLITE_OK;
}

bool PreparedStatement::BindNull(int index) { return statement_ && sqlite3_bind_null(statement_, index) == SQLITE_OK; }

StepOutcome PreparedStatement::Step() {
  if (!statement_) {
    error_ = "statement not prepared";
    return StepOutcome::kFailed;
  }
  switch (sqlite3_step(statement_)) {
    case SQLITE_ROW:
      return StepOutcome::kRow;
    case SQLITE_DONE:
      return StepOutcome::kDone;
    default:
      error_ = sqlite3_errmsg(sqlite3_db_handle(statement_));
      return StepOutcome::kFailed;
  }
}

std::optional<std::string> PreparedStatement::Run() {
  StepOutcome outcome;
  while ((outcome = Step()) == StepOutcome::kRow) {
  }
  if (outcome == StepOutcome::kFailed) return error_;
  return std::nullopt;
}

void PreparedStatement::Reset() {
  if (statement_) sqlite3_reset(statement_);
}

void PreparedStatement::Finalize() {
  if (statement_) sqlite3_finalize(statement_);
  statement_ = nullptr;
}

std::string PreparedStatement::ColumnText(int column) const {
  if (!statement_) return {};
  const unsigned char* text = sqlite3_column_text(statement_, column);
  if (!text) return {};
  return Utf8ToAnsi(std::string_view(reinterpret_cast<const char*>(text),
                                     static_cast<size_t>(sqlite3_column_bytes(statement_, column))));
}

}  // namespace vel
