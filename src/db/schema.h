#pragma once
// Creates the library's tables, trigger and views, and brings an older
// database up to date without touching its rows.
#include <optional>
#include <string>

namespace vel {

class LibraryConnection;

// The version stored in the first row of vel_table (shown as "DB UPD ver").
inline constexpr const char* kSchemaVersion = "1";

// Number of columns of main_table; whole rows are inserted by position.
inline constexpr int kMainTableColumns = 29;

// Creates every missing permanent table, column, index and trigger and the
// work tables, in one transaction. Returns the database's error text on failure.
std::optional<std::string> CreateOrUpgradeSchema(LibraryConnection& db);

// Creates vel_table with its version row when missing (the lock needs it
// before the rest of the schema exists).
std::optional<std::string> EnsureVelTable(LibraryConnection& db);

// (Re)creates all_item_view in its current form. Returns the error text on failure.
std::optional<std::string> CreateItemView(LibraryConnection& db);

// The statement that creates the key-moving trigger (without a leading DROP).
const std::string& MainKeyTriggerSql();

}  // namespace vel
