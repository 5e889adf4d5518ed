#pragma once
// The statements that write one checked CSV record over its row: the
// main_table columns (the row first inserted when its key is new), upserts of
// its spec_table and creator rows (so a spec_table row keeps its device), and
// deletion of those rows when the record leaves them empty. The writer parses
// them once per run and binds each record's values; the text form is the
// same statements with the values quoted in.
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "db/prepared_statement.h"
#include "maintenance/csv_format.h"

namespace vel {

class LibraryConnection;
class TitleConverter;

// The main_table columns a record sets, with their values as stored.
std::vector<std::pair<const char*, std::string>> CsvMainAssignments(const CsvRecord& record,
                                                                    const TitleConverter& converter);

// The statements as one SQL text (CP932), for a record over its existing row
// (first inserting the row when `insertRow`).
std::string CsvRecordSql(const CsvRecord& record, const TitleConverter& converter, bool insertRow);

class CsvRecordWriter {
 public:
  // Parses the statements on the connection; the error text on failure.
  std::optional<std::string> Prepare(LibraryConnection& db);
  // Writes one record inside a savepoint of its own, released when every
  // statement succeeded. On failure the savepoint is left open for the
  // caller to undo (ROLLBACK TO csv_record) and the error text is returned.
  std::optional<std::string> Write(const CsvRecord& record, const TitleConverter& converter, bool insertRow);

 private:
  PreparedStatement savepoint_, release_, insert_, update_, specUpsert_, specClear_, specDelete_, creatorUpsert_,
      creatorDelete_;
};

}  // namespace vel
