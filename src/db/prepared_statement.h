#pragma once
// One statement of the library connection, parsed once and run many times
// with new values: for long runs that write the same statements for every
// record. Texts are bound exactly as the quoted SQL text would store them
// (CP932 converted to UTF-8, a lead byte without its trail byte as '?'), so a
// row written either way holds the same bytes.
#include <cstdint>
#include <optional>
#include <string>

struct sqlite3_stmt;

namespace vel {

class LibraryConnection;

enum class StepOutcome { kRow, kDone, kFailed };

class PreparedStatement {
 public:
  PreparedStatement() = default;
  ~PreparedStatement();
  PreparedStatement(const PreparedStatement&) = delete;
  PreparedStatement& operator=(const PreparedStatement&) = delete;
  PreparedStatement(PreparedStatement&& other) noexcept;
  PreparedStatement& operator=(PreparedStatement&& other) noexcept;

  // Parses one statement (CP932) on the connection. Returns the error text
  // (UTF-8, as the database gives it) on failure. The connection must stay
  // open while the statement lives.
  std::optional<std::string> Prepare(LibraryConnection& db, const std::string& sql);
  bool IsPrepared() const { return statement_ != nullptr; }

  // Values for the `?NNN` parameters, numbered from 1. False when the
  // number is out of range or the statement is not prepared.
  bool BindText(int index, const std::string& text);  // CP932
  bool BindInt(int index, std::int64_t value);
  bool BindNull(int index);

  // One step. kFailed leaves the reason in Error().
  StepOutcome Step();
  // Steps until the statement is done; the error text on failure.
  std::optional<std::string> Run();
  // Makes the statement ready to run again; bound values stay until rebound.
  void Reset();
  void Finalize();

  // The error text of the last failed step (UTF-8).
  const std::string& Error() const { return error_; }
  // A column of the current row (CP932); "" for NULL.
  std::string ColumnText(int column) const;

 private:
  sqlite3_stmt* statement_ = nullptr;
  std::string error_;
};

}  // namespace vel
