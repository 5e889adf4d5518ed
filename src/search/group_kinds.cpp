#include "search/group_kinds.h"

#include <set>
#include <string_view>

#include "db/library_connection.h"
#include "platform/codepage.h"
#include "search/item_list_query.h"

namespace vel {
namespace {

struct GroupKindDef {
  const char* column;
  const char* label;  // UTF-8
};

const GroupKindDef kKinds[kGroupKindCount] = {
    {"maker", "メーカー"},      {"genre_name", "ジャンル"}, {"adult", "R指定"},
    {"machine_name", "機種"},   {"media_name", "メディア"}, {"rating", "評価"},
    {"creator", "クリエイター"}, {"sale_year", "発売年"},
};

bool ValidKind(int kind) { return kind >= 0 && kind < kGroupKindCount; }

std::string Literal(const std::string& value) { return "'" + Quote(value) + "'"; }

}  // namespace

std::string GroupTabLabel(int kind) { return ValidKind(kind) ? Jp(kKinds[kind].label) : ""; }

std::string GroupValueQuery(int kind) {
  switch (kind) {
    case kGroupAdult: return "SELECT DISTINCT adult FROM list_view ;";
    case kGroupRating: return "SELECT DISTINCT rating FROM list_view ;";
    case kGroupCreator: return "SELECT DISTINCT name FROM tmp_creator_one_table ORDER BY name;";
    case kGroupSaleYear:
      return "SELECT DISTINCT CASE sale_year WHEN 0 THEN '' WHEN '' THEN '' ELSE "
             "substr(sale_year,1,4)||' " + Jp("年代") + "' END FROM list_view ORDER BY sale_year;";
    default: {
      // A missing value and an empty one are the same group.
      std::string column = kKinds[ValidKind(kind) ? kind : 0].column;
      return "SELECT DISTINCT ifnull(" + column + ",'') FROM list_view ORDER BY 1;";
    }
  }
}

int GroupRowCount(int kind, int values) {
  if (values <= 0) return 0;
  if (kind == kGroupAdult) return 3;
  if (kind == kGroupRating) return 7;
  return values + 1;
}

std::string GroupRowText(int kind, int row, const std::string& value) {
  if (row == 0) return Jp("<全て>");
  if (kind == kGroupAdult) return row == 1 ? Jp("あり") : Jp("なし");
  if (kind == kGroupRating) return "";
  return value.empty() ? Jp("指定なし") : value;
}

std::string GroupCondition(int kind, int row, const std::string& value) {
  if (row <= 0 || !ValidKind(kind)) return "";
  switch (kind) {
    case kGroupAdult:
      return row == 1 ? "adult=1" : "(adult=0 OR adult='' OR adult IS NULL)";
    case kGroupRating: return "rating=" + std::to_string((row - 1) * 10);
    case kGroupCreator: {
      // Entries end in ";"; a last entry without one counts the same (as the group list reads it).
      const std::string entries = "(rtrim(creator,';')||';')";
      if (value.empty())
        // No creator, or an entry without a name (a role alone or an empty entry).
        return "(creator IS NULL OR creator='' OR instr(';'||creator,';;')>0 OR instr(" + entries + ",'];')>0)";
      // The whole name as an entry of its own or after a role, never inside a longer name.
      return "(instr(';'||" + entries + "," + Literal(";" + value + ";") + ")>0 OR instr(" + entries + "," +
             Literal("]" + value + ";") + ")>0)";
    }
    case kGroupSaleYear:
      if (value.size() > 3) return "substr(sale_year,1,4)=" + Literal(value.substr(0, 4));
      return "(sale_year='0' OR sale_year='' OR sale_year IS NULL)";
    default: {
      std::string column = kKinds[kind].column;
      if (value.empty()) return "(" + column + "='' OR " + column + " IS NULL)";
      return column + "=" + Literal(value);
    }
  }
}

std::vector<std::string> SplitCreatorNames(const std::string& creators) {
  std::vector<std::string> names;
  size_t start = 0;
  while (start < creators.size()) {
    // Entries end in ";"; a last entry without one still counts.
    size_t end = start;
    while (end < creators.size() && creators[end] != ';')
      end += IsCp932LeadByte(static_cast<unsigned char>(creators[end])) ? 2 : 1;
    std::string entry = creators.substr(start, end - start);
    if (!entry.empty() && entry[0] == '[') {
      size_t close = 0;
      while (close < entry.size() && entry[close] != ']')
        close += IsCp932LeadByte(static_cast<unsigned char>(entry[close])) ? 2 : 1;
      entry = close < entry.size() ? entry.substr(close + 1) : std::string();
    }
    names.push_back(entry);
    start = end + 1;
  }
  return names;
}

std::optional<GroupFailure> RebuildCreatorTable(LibraryConnection& db) {
  const std::string select = "SELECT DISTINCT creator FROM list_view WHERE creator<>'';";
  if (auto error = db.Query(select))
    return GroupFailure{"DispGroupSeat()", Jp("クリエイター抽出失敗"), *error, select};
  std::string sql =
      "BEGIN; DROP TABLE IF EXISTS tmp_creator_one_table; "
      "CREATE TABLE IF NOT EXISTS tmp_creator_one_table(name TEXT);";
  // Each name once: the values are read back DISTINCT.
  std::set<std::string> names;
  for (int r = 1; r <= db.RowCount(); ++r)
    for (std::string& name : SplitCreatorNames(db.Cell(r, 0))) names.insert(std::move(name));
  for (const std::string& name : names)
    sql += "INSERT INTO tmp_creator_one_table VALUES(" + Literal(name) + ");";
  sql += "COMMIT;";
  if (auto error = db.Query(sql)) {
    GroupFailure failure{"DispGroupSeat()", Jp("クリエイター一時テーブル作成or格納 失敗"), *error, sql};
    db.Query("ROLLBACK;");
    return failure;
  }
  return std::nullopt;
}

std::optional<GroupFailure> ReadGroupValues(LibraryConnection& db, int kind,
                                            std::vector<std::string>& values) {
  values.clear();
  if (kind == kGroupCreator)
    if (auto failure = RebuildCreatorTable(db)) return failure;
  std::string sql = GroupValueQuery(kind);
  if (auto error = db.Query(sql))
    return GroupFailure{"DispGroupSeat():SQL", Jp("グループ切替失敗:Normal"), *error, sql};
  values.reserve(static_cast<size_t>(db.RowCount()));
  for (int r = 1; r <= db.RowCount(); ++r) values.push_back(db.Cell(r, 0));
  return std::nullopt;
}

bool GroupValuesOfLoadedList(const LibraryConnection& list, int kind, std::vector<std::string>& values) {
  values.clear();
  static const int kPositions[kGroupKindCount] = {kPosMaker, kPosGenre, kPosAdult, kPosMachine,
                                                  kPosMedia, kPosRating, kPosCreator, kPosSaleYear};
  if (!ValidKind(kind) || kind == kGroupSaleYear) return false;
  if (kind == kGroupAdult || kind == kGroupRating) {
    // Their rows are fixed: only whether the list has values counts.
    if (list.RowCount() > 0) values.emplace_back();
    return true;
  }
  // A missing value and an empty one are the same group; the statements
  // order UTF-8 text byte by byte (BINARY), as std::string compares.
  std::set<std::string_view> distinct;
  const int position = kPositions[kind];
  for (int r = 1; r <= list.RowCount(); ++r) distinct.insert(list.CellUtf8(r, position));
  if (kind == kGroupCreator) {
    std::set<std::string> names;
    for (std::string_view creators : distinct)
      if (!creators.empty())
        for (const std::string& name : SplitCreatorNames(Utf8ToAnsi(creators))) names.insert(AnsiToUtf8(name));
    for (const std::string& name : names) values.push_back(Utf8ToAnsi(name));
    return true;
  }
  for (std::string_view value : distinct) values.push_back(value.empty() ? std::string() : Utf8ToAnsi(value));
  return true;
}

std::vector<int> TabKinds(const int (&tabValues)[kGroupTabCount]) {
  std::vector<int> kinds;
  for (int value : tabValues)
    if (value >= 1 && value <= kGroupKindCount) kinds.push_back(value - 1);
  return kinds;
}

}  // namespace vel
