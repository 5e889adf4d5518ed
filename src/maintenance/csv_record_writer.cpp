#include "maintenance/csv_record_writer.h"

#include <algorithm>

#include "db/library_connection.h"
#include "editing/release_date.h"
#include "maintenance/import_rules.h"
#include "maintenance/title_converter.h"

namespace vel {
namespace {

std::string Q(const std::string& value) { return "'" + Quote(value) + "'"; }

const std::string& Field(const CsvRecord& record, int f) { return record.fields[static_cast<size_t>(f)]; }

// The parts of a new key its row is inserted with, double quotes removed.
std::vector<std::string> NewRowParts(const std::string& key) {
  KeyParts parts = SplitItemKey(key);
  std::vector<std::string> values{parts.memberTitle, parts.memberExt, parts.fileTitle, parts.fileExt};
  for (std::string& text : values) text.erase(std::remove(text.begin(), text.end(), '"'), text.end());
  return values;
}

bool SpecEmpty(const CsvRecord& record) {
  for (int f = kCsvFirstSpecField; f < kCsvFieldCount; ++f)
    if (!Field(record, f).empty()) return false;
  return true;
}

constexpr const char* kInsertColumns =
    "INSERT INTO main_table(file_name,file_arc_title,file_arc_ext,file_title,file_ext,machine_name,title,"
    "smart_title,kana,maker,sale_year,developer,country,rom_num,adult,rating,version,genre_name,media_name,"
    "tag,boot_count,last_boot,ply,ply_file_name,crc32,crc,play_time,modify,associate) VALUES(";
constexpr const char* kInsertDefaults =
    ",'new machine name','new title','','','','0','','','0','0','0','','','','','0','','0','','','','','','');";

}  // namespace

std::vector<std::pair<const char*, std::string>> CsvMainAssignments(const CsvRecord& record,
                                                                    const TitleConverter& converter) {
  std::vector<std::pair<const char*, std::string>> assignments;
  for (int f = kCsvMachine; f < kCsvFirstSpecField; ++f) {
    if (f == kCsvCreator) continue;
    std::string value = Field(record, f);
    if (f == kCsvAdult) value = value == "1" ? "1" : "0";
    if (f == kCsvSaleYear) value = NormaliseReleaseDate(value).value_or("0");
    assignments.emplace_back(kCsvColumns[f].column, value);
    if (f == kCsvTitle) assignments.emplace_back("smart_title", SmartTitle(converter, value));
  }
  return assignments;
}

std::string CsvRecordSql(const CsvRecord& record, const TitleConverter& converter, bool insertRow) {
  const std::string key = Q(Field(record, kCsvFileName));
  std::string sql;
  if (insertRow) {
    sql += kInsertColumns + key;
    for (const std::string& part : NewRowParts(Field(record, kCsvFileName))) sql += "," + Q(part);
    sql += kInsertDefaults;
  }
  std::string set;
  for (const auto& [column, value] : CsvMainAssignments(record, converter))
    set += std::string(set.empty() ? "" : ",") + column + "=" + Q(value);
  sql += "UPDATE main_table SET " + set + " WHERE file_name=" + key + ";";

  std::string names, values, updates, cleared;
  for (int f = kCsvFirstSpecField; f < kCsvFieldCount; ++f) {
    const std::string column = kCsvColumns[f].column;
    names += "," + column;
    values += "," + Q(Field(record, f));
    updates += (updates.empty() ? "" : ",") + column + "=excluded." + column;
    cleared += (cleared.empty() ? "" : ",") + column + "=''";
  }
  if (SpecEmpty(record)) {
    sql += "UPDATE spec_table SET " + cleared + " WHERE pfile_sc=" + key + ";";
    sql += "DELETE FROM spec_table WHERE pfile_sc=" + key + " AND IFNULL(device,'')='';";
  } else {
    sql += "INSERT INTO spec_table(pfile_sc" + names + ") VALUES(" + key + values +
           ") ON CONFLICT(pfile_sc) DO UPDATE SET " + updates + ";";
  }
  if (Field(record, kCsvCreator).empty())
    sql += "DELETE FROM creator_table WHERE pfile_cr=" + key + ";";
  else
    sql += "INSERT INTO creator_table(pfile_cr,creator) VALUES(" + key + "," + Q(Field(record, kCsvCreator)) +
           ") ON CONFLICT(pfile_cr) DO UPDATE SET creator=excluded.creator;";
  return sql;
}

std::optional<std::string> CsvRecordWriter::Prepare(LibraryConnection& db) {
  // The key is ?1 in every statement; the other values follow in order.
  std::string insert = std::string(kInsertColumns) + "?1,?2,?3,?4,?5" + kInsertDefaults;
  std::string set;
  int parameter = 2;
  for (int f = kCsvMachine; f < kCsvFirstSpecField; ++f) {
    if (f == kCsvCreator) continue;
    set += std::string(set.empty() ? "" : ",") + kCsvColumns[f].column + "=?" + std::to_string(parameter++);
    if (f == kCsvTitle) set += ",smart_title=?" + std::to_string(parameter++);
  }
  std::string names, values, updates, cleared;
  parameter = 2;
  for (int f = kCsvFirstSpecField; f < kCsvFieldCount; ++f) {
    const std::string column = kCsvColumns[f].column;
    names += "," + column;
    values += ",?" + std::to_string(parameter++);
    updates += (updates.empty() ? "" : ",") + column + "=excluded." + column;
    cleared += (cleared.empty() ? "" : ",") + column + "=''";
  }
  const std::pair<PreparedStatement*, std::string> statements[] = {
      {&savepoint_, "SAVEPOINT csv_record;"},
      {&release_, "RELEASE csv_record;"},
      {&insert_, insert},
      {&update_, "UPDATE main_table SET " + set + " WHERE file_name=?1;"},
      {&specUpsert_, "INSERT INTO spec_table(pfile_sc" + names + ") VALUES(?1" + values +
                         ") ON CONFLICT(pfile_sc) DO UPDATE SET " + updates + ";"},
      {&specClear_, "UPDATE spec_table SET " + cleared + " WHERE pfile_sc=?1;"},
      {&specDelete_, "DELETE FROM spec_table WHERE pfile_sc=?1 AND IFNULL(device,'')='';"},
      {&creatorUpsert_, "INSERT INTO creator_table(pfile_cr,creator) VALUES(?1,?2) "
                        "ON CONFLICT(pfile_cr) DO UPDATE SET creator=excluded.creator;"},
      {&creatorDelete_, "DELETE FROM creator_table WHERE pfile_cr=?1;"},
  };
  for (const auto& [statement, sql] : statements)
    if (auto error = statement->Prepare(db, sql)) return error;
  return std::nullopt;
}

namespace {

// Binds the key and the values after it, runs the statement to its end and
// makes it ready for the next record.
std::optional<std::string> RunWith(PreparedStatement& statement, const std::string& key,
                                   const std::vector<const std::string*>& values = {}) {
  bool bound = statement.BindText(1, key);
  for (size_t i = 0; i < values.size() && bound; ++i) bound = statement.BindText(static_cast<int>(i) + 2, *values[i]);
  std::optional<std::string> error = bound ? statement.Run() : std::optional<std::string>("a value could not be bound");
  statement.Reset();
  return error;
}

std::optional<std::string> RunPlain(PreparedStatement& statement) {
  std::optional<std::string> error = statement.Run();
  statement.Reset();
  return error;
}

}  // namespace

std::optional<std::string> CsvRecordWriter::Write(const CsvRecord& record, const TitleConverter& converter,
                                                  bool insertRow) {
  const std::string& key = Field(record, kCsvFileName);
  if (auto error = RunPlain(savepoint_)) return error;
  if (insertRow) {
    const std::vector<std::string> parts = NewRowParts(key);
    if (auto error = RunWith(insert_, key, {&parts[0], &parts[1], &parts[2], &parts[3]})) return error;
  }
  const auto assignments = CsvMainAssignments(record, converter);
  std::vector<const std::string*> values;
  for (const auto& assignment : assignments) values.push_back(&assignment.second);
  if (auto error = RunWith(update_, key, values)) return error;
  if (SpecEmpty(record)) {
    if (auto error = RunWith(specClear_, key)) return error;
    if (auto error = RunWith(specDelete_, key)) return error;
  } else {
    values.clear();
    for (int f = kCsvFirstSpecField; f < kCsvFieldCount; ++f) values.push_back(&Field(record, f));
    if (auto error = RunWith(specUpsert_, key, values)) return error;
  }
  if (Field(record, kCsvCreator).empty()) {
    if (auto error = RunWith(creatorDelete_, key)) return error;
  } else if (auto error = RunWith(creatorUpsert_, key, {&Field(record, kCsvCreator)})) {
    return error;
  }
  return RunPlain(release_);
}

}  // namespace vel
