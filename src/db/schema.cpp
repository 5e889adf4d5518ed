#include "db/schema.h"

#include <utility>
#include <vector>

#include "db/library_connection.h"

namespace vel {
namespace {

struct ColumnDef {
  const char* name;
  const char* declaration;  // type and constraints
};

struct TableDef {
  const char* name;
  std::vector<ColumnDef> columns;
  // A work table holds only our columns; a permanent table keeps columns of
  // its own that an older library added.
  bool work = false;
};

// Declared types: TEXT keeps values such as CRCs, dates and titles exactly as
// written ("0012" stays "0012"); NUMERIC turns digit strings into numbers so
// that comparisons like adult=1, rating=30 and ply < 2 (with disks past 9)
// hold whether the value was written as '1' or 1.
const std::vector<TableDef>& PermanentTables() {
  static const std::vector<TableDef> tables = {
      {"main_table",
       {{"file_name", "TEXT PRIMARY KEY"}, {"file_arc_title", "TEXT"}, {"file_arc_ext", "TEXT"},
        {"file_title", "TEXT"},  {"file_ext", "TEXT"},   {"machine_name", "TEXT"},
        {"title", "TEXT"},       {"smart_title", "TEXT"}, {"kana", "TEXT"},
        {"maker", "TEXT"},       {"sale_year", "TEXT"},  {"developer", "TEXT"},
        {"country", "TEXT"},     {"rom_num", "NUMERIC"}, {"adult", "NUMERIC"},
        {"rating", "NUMERIC"},   {"version", "TEXT"},    {"genre_name", "TEXT"},
        {"media_name", "TEXT"},  {"tag", "TEXT"},        {"boot_count", "NUMERIC"},
        {"last_boot", "TEXT"},   {"ply", "NUMERIC"},     {"ply_file_name", "TEXT"},
        {"crc32", "TEXT"},       {"crc", "TEXT"},        {"play_time", "TEXT"},
        {"modify", "TEXT"},      {"associate", "NUMERIC"}}},
      {"spec_table",
       {{"pfile_sc", "TEXT PRIMARY KEY"}, {"breed", "TEXT"}, {"price", "NUMERIC"},
        {"media_detail", "TEXT"}, {"device", "TEXT"}, {"players", "TEXT"},
        {"savedat_detail", "TEXT"}, {"sound_detail", "TEXT"}, {"adultex_name", "TEXT"}}},
      {"creator_table", {{"pfile_cr", "TEXT PRIMARY KEY"}, {"creator", "TEXT"}}},
      {"memo_table", {{"pfile_mm", "TEXT PRIMARY KEY"}, {"memo", "TEXT"}}},
      {"favorite_table", {{"pfile_fv", "TEXT PRIMARY KEY"}, {"fave", "TEXT"}}},
      {"use_emuset_table", {{"pfile_ue", "TEXT PRIMARY KEY"}, {"emuset_name", "TEXT"}}},
      {"snap_path_table",
       {{"pfile_sp", "TEXT PRIMARY KEY"}, {"snap1", "TEXT"}, {"snap2", "TEXT"},
        {"snap3", "TEXT"}, {"snap_dtt", "TEXT"}}},
      {"associate_file_table", {{"pfile_as", "TEXT"}, {"as_file_name", "TEXT"}}},
      {"alter_ego_table",
       {{"pfile_ae", "TEXT"}, {"ae_file", "TEXT"}, {"alter_ego", "NUMERIC"},
        {"ply_pfile_ae", "TEXT"}, {"ren_file_name", "TEXT"}}},
      {"machine_info_table",
       {{"machine_num", "NUMERIC"}, {"machine", "TEXT UNIQUE"}, {"machine_icon", "TEXT"},
        {"search_ext", "TEXT"}, {"snap_path", "TEXT"}, {"snap_path2", "TEXT"},
        {"snap_path3", "TEXT"}, {"snap_dtm", "TEXT"}, {"default_media", "TEXT"}}},
      {"media_info_table",
       {{"media_num", "NUMERIC"}, {"media", "TEXT UNIQUE"}, {"media_icon", "TEXT"}}},
      {"genre_info_table",
       {{"genre_num", "NUMERIC"}, {"genre", "TEXT UNIQUE"}, {"genre_icon", "TEXT"}}},
      {"adultex_info_table",
       {{"adultex_num", "NUMERIC"}, {"adultex", "TEXT UNIQUE"}, {"adultex_icon", "TEXT"}}},
      {"vel_table", {{"key", "TEXT PRIMARY KEY"}, {"str", "TEXT"}, {"ver", "TEXT"}}},
      // Work tables the searches and set handling expect to exist.
      {"tmp_hist_table",
       {{"id", "INTEGER PRIMARY KEY"}, {"current", "NUMERIC DEFAULT 1"}, {"sbject", "TEXT"},
        {"query", "TEXT"}, {"srch_locate", "NUMERIC"}},
       true},
      {"tmp_maxdisk", {{"ply_file_name", "TEXT PRIMARY KEY"}, {"max_ply", "NUMERIC"}}, true},
  };
  return tables;
}

const char* const kIndexes[] = {
    "CREATE INDEX IF NOT EXISTS main_ply_file_name_idx ON main_table(ply_file_name);",
    "CREATE INDEX IF NOT EXISTS main_machine_name_idx ON main_table(machine_name);",
    "CREATE INDEX IF NOT EXISTS associate_file_pfile_idx ON associate_file_table(pfile_as);",
    "CREATE INDEX IF NOT EXISTS alter_ego_pfile_idx ON alter_ego_table(pfile_ae);",
    // The current history entry is found without reading the whole history.
    "CREATE INDEX IF NOT EXISTS tmp_hist_current_idx ON tmp_hist_table(current);",
};

// A blank disk number means a single image. Stored as 0 so that numeric
// comparisons ("ply < 2") treat it like 0 and 1, as every statement intends.
const char* const kBlankPlyTriggers[] = {
    "CREATE TRIGGER IF NOT EXISTS main_blank_ply_insert AFTER INSERT ON main_table "
    "WHEN new.ply='' BEGIN UPDATE main_table SET ply=0 WHERE rowid=new.rowid; END;",
    "CREATE TRIGGER IF NOT EXISTS main_blank_ply_update AFTER UPDATE OF ply ON main_table "
    "WHEN new.ply='' BEGIN UPDATE main_table SET ply=0 WHERE rowid=new.rowid; END;",
};

const char* const kRefillMaxDisk =
    "DELETE FROM tmp_maxdisk;"
    "INSERT INTO tmp_maxdisk  SELECT ply_file_name, max(ply) FROM main_table WHERE ply>1 GROUP BY "
    "ply_file_name;";

// An identifier between double quotes, for the names an older library chose.
std::string Name(const std::string& name) {
  std::string quoted = "\"";
  for (char c : name) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
  return quoted + "\"";
}

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

// Column names are ASCII; SQLite compares them without regard to case.
bool SameName(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

struct Declared {
  std::string type;
  bool key = false;
  bool unique = false;
  std::string defaultValue;  // "" for none
};

Declared Parse(const char* declaration) {
  std::string d = declaration;
  Declared result;
  result.key = d.find("PRIMARY KEY") != std::string::npos;
  result.unique = d.find("UNIQUE") != std::string::npos;
  size_t dflt = d.find("DEFAULT ");
  if (dflt != std::string::npos) result.defaultValue = d.substr(dflt + 8);
  result.type = d.substr(0, d.find(' '));
  return result;
}

std::string CreateTableSql(const TableDef& table, const std::vector<std::string>& extraColumns = {}) {
  std::string sql = std::string("CREATE TABLE IF NOT EXISTS ") + table.name + "(";
  for (size_t i = 0; i < table.columns.size(); ++i) {
    if (i) sql += ", ";
    sql += std::string(table.columns[i].name) + " " + table.columns[i].declaration;
  }
  for (const std::string& extra : extraColumns) sql += ", " + extra;
  return sql + ");";
}

// A column of the table as the library has it.
struct Existing {
  std::string name;
  std::string type;
  bool notNull = false;
  std::string defaultValue;
  int keyPart = 0;  // position in the primary key, 0 outside it
};

std::optional<std::string> ReadColumns(LibraryConnection& db, const char* table,
                                       std::vector<Existing>& columns) {
  columns.clear();
  if (auto error = db.Query(std::string("PRAGMA table_info(") + table + ");")) return error;
  for (int r = 1; r <= db.RowCount(); ++r)
    columns.push_back({db.Cell(r, 1), db.Cell(r, 2), db.CellInt(r, 3) != 0, db.Cell(r, 4), db.CellInt(r, 5)});
  return std::nullopt;
}

// The single columns that unique indexes of the table hold ("" for an index
// over several columns or a partial one).
std::optional<std::string> ReadUniqueColumns(LibraryConnection& db, const char* table,
                                             std::vector<std::string>& columns) {
  columns.clear();
  if (auto error = db.Query(std::string("PRAGMA index_list(") + table + ");")) return error;
  std::vector<std::pair<std::string, bool>> indexes;  // name, partial
  for (int r = 1; r <= db.RowCount(); ++r)
    if (db.CellInt(r, 2) == 1) indexes.push_back({db.Cell(r, 1), db.CellInt(r, 4) != 0});
  for (const auto& [index, partial] : indexes) {
    if (auto error = db.Query("PRAGMA index_info(" + Name(index) + ");")) return error;
    columns.push_back(db.RowCount() == 1 && !partial ? db.Cell(1, 2) : std::string());
  }
  return std::nullopt;
}

const Existing* FindColumn(const std::vector<Existing>& columns, const char* name) {
  for (const Existing& c : columns)
    if (SameName(c.name, name)) return &c;
  return nullptr;
}

const ColumnDef* FindOurs(const TableDef& table, const std::string& name) {
  for (const ColumnDef& c : table.columns)
    if (SameName(c.name, name)) return &c;
  return nullptr;
}

// True when the table must be made anew to match our declaration; false
// when adding missing columns is enough.
bool NeedsRebuild(const TableDef& table, const std::vector<Existing>& existing,
                  const std::vector<std::string>& uniqueColumns) {
  for (const Existing& column : existing) {
    const ColumnDef* ours = FindOurs(table, column.name);
    if (column.notNull || (!ours && (table.work || column.keyPart > 0))) return true;
    if (ours && (column.keyPart > 0) != Parse(ours->declaration).key) return true;
  }
  for (const ColumnDef& column : table.columns) {
    Declared declared = Parse(column.declaration);
    const Existing* found = FindColumn(existing, column.name);
    if (!found) {
      if (declared.key || declared.unique) return true;
      continue;
    }
    if (Upper(found->type) != declared.type || found->defaultValue != declared.defaultValue) return true;
  }
  // Every unique index is one of ours, and each of ours is there.
  for (const std::string& unique : uniqueColumns) {
    const ColumnDef* ours = unique.empty() ? nullptr : FindOurs(table, unique);
    if (!ours || !(Parse(ours->declaration).unique || Parse(ours->declaration).key)) return true;
  }
  for (const ColumnDef& column : table.columns) {
    if (!Parse(column.declaration).unique) continue;
    bool present = false;
    for (const std::string& unique : uniqueColumns) present = present || SameName(unique, column.name);
    if (!present) return true;
  }
  // Whole rows of main_table are inserted by position: its first seven
  // columns are fixed.
  if (std::string(table.name) == "main_table")
    for (size_t i = 0; i < 7 && i < existing.size(); ++i)
      if (!SameName(existing[i].name, table.columns[i].name)) return true;
  return false;
}

// Makes the table anew with our declaration and copies every row into it, in
// the order of the rows: of rows with the same key the last one stays.
std::optional<std::string> RebuildTable(LibraryConnection& db, const TableDef& table,
                                        const std::vector<Existing>& existing) {
  std::vector<std::string> extras, targets, sources;
  for (const ColumnDef& column : table.columns)
    if (const Existing* found = FindColumn(existing, column.name)) {
      targets.push_back(column.name);
      sources.push_back(Name(found->name));
    }
  if (!table.work)
    for (const Existing& column : existing)
      if (!FindOurs(table, column.name)) {
        extras.push_back(Name(column.name) + (column.type.empty() ? "" : " " + column.type));
        targets.push_back(Name(column.name));
        sources.push_back(Name(column.name));
      }
  std::string copy = "temp.vel_upgrade_copy";
  std::string sql = "DROP TABLE IF EXISTS " + copy + ";CREATE TABLE " + copy + " AS SELECT * FROM " +
                    table.name + " ORDER BY rowid;DROP TABLE " + table.name + ";" +
                    CreateTableSql(table, extras);
  if (!targets.empty()) {
    std::string into, from;
    for (size_t i = 0; i < targets.size(); ++i) {
      into += (i ? "," : "") + targets[i];
      from += (i ? "," : "") + sources[i];
    }
    sql += std::string("INSERT OR REPLACE INTO ") + table.name + "(" + into + ") SELECT " + from + " FROM " +
           copy + " ORDER BY rowid;";
  }
  return db.Query(sql + "DROP TABLE " + copy + ";");
}

std::optional<std::string> AddMissingColumns(LibraryConnection& db, const TableDef& table,
                                             const std::vector<Existing>& existing) {
  for (const ColumnDef& column : table.columns) {
    if (FindColumn(existing, column.name)) continue;
    Declared declared = Parse(column.declaration);
    std::string sql = std::string("ALTER TABLE ") + table.name + " ADD COLUMN " + column.name + " " +
                      declared.type +
                      (declared.defaultValue.empty() ? "" : " DEFAULT " + declared.defaultValue) + ";";
    if (auto error = db.Query(sql)) return error;
  }
  return std::nullopt;
}

// Creates the table, or brings an existing one to our declaration without
// losing a row. `rebuilt` tells whether it was made anew.
std::optional<std::string> EnsureTable(LibraryConnection& db, const TableDef& table, bool& rebuilt) {
  rebuilt = false;
  std::vector<Existing> existing;
  if (auto error = ReadColumns(db, table.name, existing)) return error;
  if (existing.empty()) return db.Query(CreateTableSql(table));
  std::vector<std::string> uniqueColumns;
  if (auto error = ReadUniqueColumns(db, table.name, uniqueColumns)) return error;
  if (!NeedsRebuild(table, existing, uniqueColumns)) return AddMissingColumns(db, table, existing);
  rebuilt = true;
  return RebuildTable(db, table, existing);
}

// The version row comes first so that "SELECT ver FROM vel_table" finds it.
std::optional<std::string> AddVersionRow(LibraryConnection& db) {
  if (auto error = db.Query("SELECT key FROM vel_table WHERE ver IS NOT NULL AND ver<>'';"))
    return error;
  if (db.RowCount() > 0) return std::nullopt;
  return db.Query(std::string("INSERT OR REPLACE INTO vel_table(key,str,ver) "
                              "VALUES('db_version','','") +
                  kSchemaVersion + "');");
}

const TableDef& VelTable() {
  for (const TableDef& table : PermanentTables())
    if (std::string(table.name) == "vel_table") return table;
  return PermanentTables().front();
}

// A statement as sqlite_master keeps it: without the closing ";".
std::string StoredForm(std::string sql) {
  while (!sql.empty() && (sql.back() == ';' || sql.back() == ' ')) sql.pop_back();
  return sql;
}

std::optional<std::string> EnsureMainKeyTrigger(LibraryConnection& db) {
  if (auto error = db.Query(
          "SELECT sql FROM sqlite_master WHERE type='trigger' AND name='update_main_pkey';"))
    return error;
  if (db.RowCount() == 1 && StoredForm(db.Cell(1, 0)) == StoredForm(MainKeyTriggerSql()))
    return std::nullopt;
  // An older trigger may miss tables: it is made again in our form.
  if (db.RowCount() > 0)
    if (auto error = db.Query("DROP TRIGGER update_main_pkey;")) return error;
  return db.Query(MainKeyTriggerSql());
}

std::optional<std::string> ApplySchema(LibraryConnection& db) {
  // Without the blank-disk triggers, rows may hold a blank disk number.
  if (auto error = db.Query("SELECT name FROM sqlite_master WHERE type='trigger' AND "
                            "name='main_blank_ply_insert';"))
    return error;
  bool blankPlyPossible = db.RowCount() == 0;
  for (const TableDef& table : PermanentTables()) {
    bool rebuilt = false;
    if (auto error = EnsureTable(db, table, rebuilt)) return error;
    if (rebuilt && std::string(table.name) == "main_table") blankPlyPossible = true;
    // The highest disk numbers follow from main_table.
    if (rebuilt && std::string(table.name) == "tmp_maxdisk")
      if (auto error = db.Query(kRefillMaxDisk)) return error;
  }
  for (const char* sql : kIndexes)
    if (auto error = db.Query(sql)) return error;
  if (auto error = EnsureMainKeyTrigger(db)) return error;
  for (const char* sql : kBlankPlyTriggers)
    if (auto error = db.Query(sql)) return error;
  if (blankPlyPossible)
    if (auto error = db.Query("UPDATE main_table SET ply=0 WHERE ply='';")) return error;
  return AddVersionRow(db);
}

const char* const kItemViewSql =
    "CREATE VIEW all_item_view AS SELECT "
    "m.file_name AS file_name, m.machine_name AS machine_name, m.title AS title, "
    "m.version AS version, m.maker AS maker, m.developer AS developer, "
    "m.genre_name AS genre_name, m.adult AS adult, m.media_name AS media_name, "
    "m.country AS country, m.sale_year AS sale_year, m.rating AS rating, "
    "m.boot_count AS boot_count, m.last_boot AS last_boot, "
    "mi.machine_num AS machine_num, md.media_num AS media_num, g.genre_num AS genre_num, "
    "CASE WHEN t.ply_file_name IS NULL THEN '' ELSE '1' END AS multi_disk, "
    "mi.snap_path AS snap_path, m.file_title AS file_title, m.file_ext AS file_ext, "
    "m.file_arc_title AS file_arc_title, m.file_arc_ext AS file_arc_ext, "
    "cr.creator AS creator, IFNULL(mm.memo,'') AS memo, "
    "CASE WHEN m.associate IS NULL OR m.associate='' THEN '0' ELSE m.associate END AS associate, "
    "m.crc AS crc, m.crc32 AS crc32, m.rom_num AS rom_num, "
    "sp.snap1 AS snap1, sp.snap2 AS snap2, sp.snap3 AS snap3, sp.snap_dtt AS snap_dtt, "
    "mi.snap_path2 AS snap_path2, mi.snap_path3 AS snap_path3, mi.snap_dtm AS snap_dtm, "
    "sc.breed AS breed, sc.price AS price, sc.media_detail AS media_detail, "
    "sc.device AS device, sc.players AS players, sc.adultex_name AS adultex_name, "
    "ax.adultex_num AS adultex_num, "
    "sc.savedat_detail AS savedat_detail, sc.sound_detail AS sound_detail, "
    "CASE WHEN EXISTS(SELECT 1 FROM alter_ego_table ae WHERE ae.pfile_ae = m.file_name) "
    "THEN '1' ELSE '' END AS alter_ego, "
    "m.play_time AS play_time, m.kana AS kana, fv.fave AS fave, "
    "IFNULL(t.max_ply,0) AS images, ue.emuset_name AS emuset_name, "
    "m.smart_title AS smart_title, m.tag AS tag, m.ply AS ply, "
    "m.ply_file_name AS ply_file_name, m.modify AS modify "
    "FROM main_table m "
    // The creators right after the items: a fuzzy search looks through them,
    // so its condition is tested before the other tables are joined.
    "LEFT JOIN creator_table cr ON cr.pfile_cr = m.file_name "
    "LEFT JOIN machine_info_table mi ON mi.machine = m.machine_name "
    "LEFT JOIN media_info_table md ON md.media = m.media_name "
    "LEFT JOIN genre_info_table g ON g.genre = m.genre_name "
    "LEFT JOIN tmp_maxdisk t ON t.ply_file_name = m.file_name "
    "LEFT JOIN memo_table mm ON mm.pfile_mm = m.file_name "
    "LEFT JOIN snap_path_table sp ON sp.pfile_sp = m.file_name "
    "LEFT JOIN spec_table sc ON sc.pfile_sc = m.file_name "
    "LEFT JOIN adultex_info_table ax ON ax.adultex = sc.adultex_name "
    "LEFT JOIN favorite_table fv ON fv.pfile_fv = m.file_name "
    "LEFT JOIN use_emuset_table ue ON ue.pfile_ue = m.file_name";

}  // namespace

const std::string& MainKeyTriggerSql() {
  static const std::string sql =
      "CREATE TRIGGER update_main_pkey AFTER UPDATE OF file_name ON main_table BEGIN "
      "UPDATE spec_table           SET pfile_sc = new.file_name WHERE pfile_sc = old.file_name ;"
      "UPDATE use_emuset_table     SET pfile_ue = new.file_name WHERE pfile_ue = old.file_name ;"
      "UPDATE alter_ego_table      SET pfile_ae = new.file_name WHERE pfile_ae = old.file_name ;"
      "UPDATE snap_path_table      SET pfile_sp = new.file_name WHERE pfile_sp = old.file_name ;"
      "UPDATE associate_file_table SET pfile_as = new.file_name WHERE pfile_as = old.file_name ;"
      "UPDATE memo_table           SET pfile_mm = new.file_name WHERE pfile_mm = old.file_name ;"
      "UPDATE creator_table        SET pfile_cr = new.file_name WHERE pfile_cr = old.file_name ;"
      "UPDATE favorite_table       SET pfile_fv = new.file_name WHERE pfile_fv = old.file_name ;"
      "END ;";
  return sql;
}

std::optional<std::string> CreateOrUpgradeSchema(LibraryConnection& db) {
  // Taking the write lock first lets a second start preparing the same
  // library wait for this one instead of failing as a deadlock.
  if (auto error = db.Query("BEGIN IMMEDIATE;")) return error;
  if (auto error = ApplySchema(db)) {
    std::string text = *error;
    db.Query("ROLLBACK;");
    return text;
  }
  if (auto error = db.Query("COMMIT;")) {
    std::string text = *error;
    db.Query("ROLLBACK;");
    return text;
  }
  return std::nullopt;
}

std::optional<std::string> EnsureVelTable(LibraryConnection& db) {
  if (auto error = db.Query(CreateTableSql(VelTable()))) return error;
  return AddVersionRow(db);
}

std::optional<std::string> CreateItemView(LibraryConnection& db) {
  if (auto error = db.Query("SELECT sql FROM sqlite_master WHERE type='view' AND "
                            "name='all_item_view';"))
    return error;
  if (db.RowCount() == 1 && db.Cell(1, 0) == kItemViewSql) return std::nullopt;
  if (auto error = db.Query(std::string("BEGIN IMMEDIATE; DROP VIEW IF EXISTS all_item_view; ") +
                            kItemViewSql + "; COMMIT;")) {
    std::string text = *error;
    db.Query("ROLLBACK;");
    return text;
  }
  return std::nullopt;
}

}  // namespace vel
