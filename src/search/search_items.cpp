#include "search/search_items.h"

#include <chrono>
#include <string_view>
#include <vector>

#include "db/library_connection.h"
#include "db/sql_error_report.h"
#include "platform/codepage.h"
#include "search/migemo.h"
#include "search/sql_order.h"

namespace vel {
namespace {

constexpr std::string_view kFullWidthSpace = "\x81\x40";  // U+3000 in CP932
constexpr const char* kViewPrefix = "CREATE VIEW list_view AS SELECT * FROM all_item_view WHERE ( ";

// Columns searched together by the fuzzy target, each NULL read as "".
constexpr const char* kFuzzyHaystack =
    "file_name||ifnull(title,'')||ifnull(kana,'')||ifnull(machine_name,'')||ifnull(maker,'')"
    "||ifnull(developer,'')||ifnull(tag,'')||ifnull(version,'')||ifnull(creator,'')";
constexpr const char* kWordHaystack =
    "file_name||ifnull(title,'')||ifnull(kana,'')||ifnull(machine_name,'')||ifnull(maker,'')"
    "||ifnull(developer,'')||ifnull(tag,'')||ifnull(creator,'')";

size_t CharLength(const std::string& text, size_t i) {
  return IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
}

// Full-width spaces become spaces, runs of spaces one space, and the ends are trimmed.
std::string NormaliseSpaces(const std::string& text, bool fullWidthToo) {
  std::string out;
  for (size_t i = 0; i < text.size();) {
    size_t n = CharLength(text, i);
    std::string_view ch(text.data() + i, n);
    i += n;
    if (fullWidthToo && ch == kFullWidthSpace) ch = " ";
    if (ch == " " && (out.empty() || out.back() == ' ')) continue;
    out += ch;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

// Runs of spaces become one outside quoted literals; inside them every
// space is part of the value ("Action  RPG").
std::string NormaliseSqlSpaces(const std::string& text) {
  std::string out;
  bool quoted = false;
  for (size_t i = 0; i < text.size();) {
    size_t n = CharLength(text, i);
    std::string_view ch(text.data() + i, n);
    i += n;
    if (ch == "'") quoted = !quoted;
    if (!quoted && ch == " " && (out.empty() || out.back() == ' ')) continue;
    out += ch;
  }
  if (!quoted && !out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

std::string TrimSpaces(const std::string& text) {
  size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// The first occurrence of an ASCII needle, case-insensitive, at a character start.
size_t FindNoCase(const std::string& text, std::string_view needle, size_t from = 0) {
  for (size_t i = from; i < text.size(); i += CharLength(text, i)) {
    if (text.size() - i < needle.size()) break;
    size_t k = 0;
    while (k < needle.size() && Lower(text[i + k]) == Lower(needle[k])) ++k;
    if (k == needle.size()) return i;
  }
  return std::string::npos;
}

bool ContainsSpace(const std::string& text) {
  for (size_t i = 0; i < text.size(); i += CharLength(text, i))
    if (text[i] == ' ') return true;
  return false;
}

std::vector<std::string> SplitWords(const std::string& text) {
  std::vector<std::string> words;
  std::string word;
  for (size_t i = 0; i < text.size();) {
    size_t n = CharLength(text, i);
    if (n == 1 && text[i] == ' ') {
      if (!word.empty()) words.push_back(word);
      word.clear();
    } else {
      word.append(text, i, n);
    }
    i += n;
  }
  if (!word.empty()) words.push_back(word);
  return words;
}

// The fuzzy target's Migemo column, and the others'.
std::string MigemoCondition(int engine, int target, const std::string& pattern) {
  auto r = [&](const char* column) { return RegexCondition(engine, column, pattern); };
  switch (target) {
    case kTargetFuzzy:
    case kTargetTitle: return " OR(" + r("title") + ") ";
    case kTargetFilePath: return " OR(" + r("file_name") + ") ";
    case kTargetMaker:
    case kTargetMakerOfItem: return " OR(" + r("maker") + " OR " + r("developer") + ") ";
    case kTargetGenre: return " OR(" + r("genre_name") + ") ";
    case kTargetVersion: return " OR(" + r("version") + ") ";
    case kTargetSaleYear: return " OR(" + r("sale_year") + ") ";
    case kTargetCreator: return engine == kRegexFunction ? " OR(" + r("creator") + ") " : "";
    case kTargetMemo: return engine == kRegexFunction ? " OR(" + r("memo") + ") " : "";
    default: return "";
  }
}

std::string BuildMigemoCondition(SearchEnvironment& env, int target, const std::string& text) {
  if (!env.migemoSearchOn || text.size() < 2) return "";
  if (MigemoUsability(env.migemo, env.regexEngine, text) != 0) return "";
  std::optional<std::string> pattern = env.migemo->Query(PrepareMigemoQuery(text));
  if (!pattern || pattern->empty()) return "";
  std::string adapted = AdaptMigemoPattern(*pattern, env.migemoClassLimit, env.regexEngine);
  // A pattern the engine rejects would make the statement fail, and only when
  // the view is read: the engine compiles it once here instead, and on failure
  // the search runs without the Migemo condition.
  if (env.db->Query("SELECT " + RegexCondition(env.regexEngine, "''", adapted) + ";")) return "";
  return MigemoCondition(env.regexEngine, target, adapted);
}

std::string SmartForm(SearchEnvironment& env, const std::string& text) {
  return env.smartTitle ? env.smartTitle(text) : text;
}

// Runs a view statement; a failure is reported.
bool CreateView(LibraryConnection& db, const std::string& sql, const char* tag,
                const std::string& description) {
  std::optional<std::string> error = db.Query(sql);
  if (error) ReportSqlError(tag, description, *error, sql);
  return !error;
}

bool BuildWordView(SearchEnvironment& env, const std::string& text, bool orOnly) {
  LibraryConnection& db = *env.db;
  std::string haystack = kWordHaystack;
  if (SmartForm(env, text) != text) haystack += "||ifnull(smart_title,'')";
  std::string andTerms, orTerms;
  for (const std::string& word : SplitWords(text)) {
    std::string term = "(" + LikeContains(haystack, word) + ")";
    andTerms += (andTerms.empty() ? "" : "AND") + term;
    orTerms += (orTerms.empty() ? "" : "OR") + term;
  }
  if (!orOnly) {
    const std::string description = Jp("ビュー作成できませんでした。\n（あいまい検索＋単語含有モード：AND試行）");
    if (!CreateView(db, kViewPrefix + andTerms + " );", "Search:AND", description)) return false;
    const std::string probe = "SELECT title FROM list_view LIMIT 1;";
    if (auto error = db.Query(probe)) {
      ReportSqlError("Search:AND", description, *error, probe);
      return false;
    }
    if (db.RowCount() > 0) return true;
    DropListView(db);
  }
  return CreateView(db, kViewPrefix + orTerms + BuildMigemoCondition(env, kTargetFuzzy, text) + " );",
                    "Search:OR", Jp("ビュー作成できませんでした。\n（あいまい検索＋単語含有モード：OR試行）"));
}

std::string FieldCondition(const char* column, const std::string& text, bool equals) {
  return equals ? std::string(column) + " = '" + Quote(text) + "'" : LikeContains(column, text);
}

// The condition of targets 0 to 8 and 10 in sub-modes 0 and 1 (before the Migemo part).
std::string SimpleCondition(SearchEnvironment& env, int target, const std::string& text, bool equals) {
  const std::string q = Quote(text);
  switch (target) {
    case kTargetFuzzy: {
      std::string smart = SmartForm(env, text);
      if (equals) {
        std::string c;
        for (const char* column : {"file_name", "title", "kana", "machine_name", "maker",
                                   "developer", "tag", "version", "creator"})
          c += std::string(c.empty() ? "" : " OR ") + column + "='" + q + "'";
        if (smart != text) c += " OR smart_title='" + Quote(smart) + "'";
        return c;
      }
      std::string c = "(" + LikeContains(kFuzzyHaystack, text) + ")";
      if (!smart.empty()) c += " OR (" + LikeContains("smart_title", smart) + ")";
      return c;
    }
    case kTargetFilePath: return FieldCondition("file_name", text, equals);
    case kTargetTitle: return FieldCondition("title", text, equals);
    case kTargetGenre: return FieldCondition("genre_name", text, equals);
    case kTargetVersion: return FieldCondition("version", text, equals);
    case kTargetCreator: return FieldCondition("creator", text, equals);
    case kTargetSaleYear: return FieldCondition("sale_year", text, equals);
    case kTargetMaker:
    case kTargetMakerOfItem:
      return FieldCondition("maker", text, equals) + " OR " + FieldCondition("developer", text, equals);
    case kTargetMemo:
      return "file_name IN (SELECT pfile_mm FROM memo_table WHERE " + FieldCondition("memo", text, equals);
    default: return "";
  }
}

bool BuildFieldView(SearchEnvironment& env, int target, const std::string& text, int subMode,
                    bool orOnly) {
  if (target == kTargetFuzzy && subMode == kMatchWords) return BuildWordView(env, text, orOnly);
  std::string sql = kViewPrefix + SimpleCondition(env, target, text, subMode == kMatchEquals) +
                    BuildMigemoCondition(env, target, text) + (target == kTargetMemo ? ") );" : " );");
  return CreateView(*env.db, sql, "Search:Normal", Jp("ビュー作成できませんでした。\n（その他モード）"));
}

// The SQL search: the user's statement against list_view becomes the view.
// A statement that draws RANDOM() is made in two passes so that the random
// choice is fixed once instead of at every read of the view.
bool BuildSqlView(SearchEnvironment& env, const std::string& text) {
  LibraryConnection& db = *env.db;
  std::string statement = NormaliseSqlSpaces(TrimSpaces(text));
  std::string comment;
  if (statement.rfind("/*", 0) == 0) {
    size_t end = statement.find("*/", 2);
    if (end != std::string::npos) {
      comment = statement.substr(0, end + 2);
      statement = TrimSpaces(statement.substr(end + 2));
    }
  }
  size_t at = FindNoCase(statement, "list_view");
  if (at != std::string::npos) statement.replace(at, 9, "all_item_view");

  const std::string viewFailed = Jp("list_view ビュー作成できませんでした。\n（SQL検索）");
  std::string sql;
  if (FindNoCase(statement, "RANDOM(") != std::string::npos) {
    const std::string stockFailed = Jp("rnd_stock_table 作成できませんでした。\n（SQL検索）");
    // The table is made and marked in one transaction: a failed step leaves
    // no view over an old or half-made selection.
    sql = comment + "BEGIN; " + RandomStockStatements(statement) + " COMMIT;";
    if (auto error = db.Query(sql)) {
      db.Query("ROLLBACK;");
      ReportSqlError("Search:SQL", stockFailed, *error, sql);
      return false;
    }
    sql = std::string(kTwoPassViewStatement) + ";";
  } else {
    // The leading comment goes inside the view, where its stored statement keeps it.
    sql = "CREATE VIEW list_view AS " + comment + statement;
  }
  if (auto error = db.Query(sql)) {
    ReportSqlError("Search:SQL", viewFailed, *error, sql);
    return false;
  }
  return true;
}

// The sort column an SQL search asks for: the view's own ORDER BY mapped onto
// the list's sort keys, or the statement's order when it does not map.
int SqlSortColumn(LibraryConnection& db, ListQueryState& state) {
  if (db.Query("SELECT sql FROM sqlite_master WHERE tbl_name='list_view';") || db.RowCount() < 1)
    return kSortKeepKeys;
  SqlOrderMapping mapping = MapSqlOrderBy(db.Cell(1, 0), state.sort);
  if (!mapping.hasOrderBy || mapping.mapped) return kSortKeepKeys;
  state.sort = DefaultSortState();
  state.sqlOrderInForce = true;
  return kSortSqlOrder;
}

int TargetSortColumn(int target) {
  switch (target) {
    case kTargetFilePath:
    case kTargetVersion:
    case kTargetCreator:
    case kTargetMemo: return kSortReset;
    case kTargetTitle:
    case kTargetMaker:
    case kTargetMakerOfItem: return kSortTitle;
    case kTargetGenre: return kSortMachineGenre;
    default: return kSortKeepKeys;
  }
}

// The statement that made list_view, or "" when there is none.
std::string ListViewDefinition(LibraryConnection& db) {
  if (db.Query("SELECT sql FROM sqlite_master WHERE type='view' AND name='list_view';") ||
      db.RowCount() < 1)
    return {};
  return db.Cell(1, 0) + ";";
}

}  // namespace

namespace {
// The text as a LIKE pattern: quoted, its wildcards and the escape character
// taken literally (by character, so a trail byte is never escaped).
std::string LikeLiteral(const std::string& text, bool& escaped) {
  std::string pattern;
  escaped = false;
  for (size_t i = 0; i < text.size();) {
    size_t n = CharLength(text, i);
    if (n == 1 && (text[i] == '%' || text[i] == '_' || text[i] == '`')) {
      pattern += '`';
      escaped = true;
    }
    pattern.append(text, i, n);
    i += n;
  }
  return Quote(pattern);
}
}  // namespace

std::string LikeContains(const std::string& expression, const std::string& text) {
  bool escaped = false;
  const std::string literal = LikeLiteral(text, escaped);
  return expression + " LIKE '%" + literal + "%'" + (escaped ? " ESCAPE '`'" : "");
}

std::string LikePrefix(const std::string& expression, const std::string& text) {
  bool escaped = false;
  const std::string literal = LikeLiteral(text, escaped);
  return expression + " LIKE '" + literal + "%'" + (escaped ? " ESCAPE '`'" : "");
}

std::string RandomStockStatements(const std::string& statement) {
  std::string selection = statement;
  size_t star = selection.find('*');
  if (star != std::string::npos) selection.replace(star, 1, "file_name");
  if (selection.empty() || selection.back() != ';') selection += ';';
  return "DROP TABLE IF EXISTS rnd_stock_table; CREATE TABLE rnd_stock_table AS " + selection +
         " INSERT INTO rnd_stock_table VALUES( '" + kTwoPassMarker + Quote(statement) + "');";
}

void DropListView(LibraryConnection& db) { db.Query("DROP VIEW IF EXISTS list_view;"); }

int LoadSearchResult(LibraryConnection& db, ListQueryState& state, int column, int how) {
  ColumnDisplay display;
  display.fill(1);
  ApplySortRequest(state.sort, column, how, false, display);
  if (auto error = LoadItemList(db, state, true)) {
    ReportSqlError("ItemListClmSort:Normal", Jp("ビュー選択できませんでした。"), *error,
                   ListStatement(state, true));
    return -1;
  }
  return db.RowCount();
}

std::string SearchCountText(int rows) {
  return Jp(" 検索件数: ") + std::to_string(rows) + Jp(" 件");
}

std::string SearchTimeText(long long elapsedMs) {
  long long hundredths = (elapsedMs % 1000) / 10;
  return Jp("検索時間:") + std::to_string(elapsedMs / 1000) + "." + (hundredths < 10 ? "0" : "") +
         std::to_string(hundredths) + Jp("秒");
}

SearchOutcome SearchItems(SearchEnvironment& env, ListQueryState& state, const std::string& text,
                          int target, int subMode, bool orOnly) {
  SearchOutcome outcome;
  if (text.empty() || !env.db) return outcome;
  LibraryConnection& db = *env.db;
  const auto started = std::chrono::steady_clock::now();
  // What is shown now, kept until the new list is loaded, for a stop.
  db.HoldResult();
  const std::string previousView = ListViewDefinition(db);
  const ListQueryState previousState = state;
  bool stopped = false;
  if (env.stopRequested)
    db.SetProgressCheck([&] { return stopped = stopped || env.stopRequested(); });
  struct CheckOff {
    LibraryConnection& db;
    ~CheckOff() { db.SetProgressCheck({}); }
  } checkOff{db};
  auto putBack = [&] {
    db.SetProgressCheck({});
    DropListView(db);
    if (!previousView.empty()) db.Query(previousView);
    state = previousState;
    db.PutBackHeldResult();
    outcome.stopped = true;
    outcome.result = -1;
    outcome.rows = db.RowCount();
    outcome.countText = SearchCountText(outcome.rows);
    outcome.timeText = Jp("検索を中止しました");
  };

  state.sqlOrderInForce = false;
  DropListView(db);
  outcome.result = -1;

  bool built = false;
  if (target == kTargetSql) {
    built = !TrimSpaces(text).empty() && BuildSqlView(env, text);
  } else if (target >= kTargetFuzzy && target <= kTargetMakerOfItem) {
    std::string prepared = TrimSpaces(text);
    if (target == kTargetSaleYear && env.narrowText) prepared = TrimSpaces(env.narrowText(prepared));
    if (target == kTargetFuzzy) prepared = NormaliseSpaces(prepared, true);
    if (!prepared.empty()) {
      if (target != kTargetFuzzy && subMode == kMatchWords) subMode = kMatchContains;
      if (target == kTargetFuzzy && subMode != kMatchEquals && ContainsSpace(prepared))
        subMode = kMatchWords;
      built = BuildFieldView(env, target, prepared, subMode, orOnly);
    }
  }
  auto finish = [&](int rows) {
    outcome.elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(
                            std::chrono::steady_clock::now() - started).count();
    outcome.timeText = SearchTimeText(outcome.elapsedMs);
    outcome.rows = rows < 0 ? 0 : rows;
    // The old list is gone: the status says what is shown now, also after a failure.
    outcome.countText = SearchCountText(outcome.rows);
  };
  if (stopped) {
    putBack();
    return outcome;
  }
  if (!built) {
    db.DropHeldResult();
    state.sqlOrderInForce = false;
    finish(-1);
    return outcome;
  }

  state.groupCondition.clear();
  int column = target == kTargetSql ? SqlSortColumn(db, state) : TargetSortColumn(target);
  int rows = env.loadList ? env.loadList(column, kSortAscending)
                          : LoadSearchResult(db, state, column, kSortAscending);
  if (stopped) {
    putBack();
    return outcome;
  }
  db.DropHeldResult();
  db.SetProgressCheck({});
  if (env.showList) env.showList(rows);
  finish(rows);
  if (rows < 0) return outcome;
  if (env.saveHistory) env.saveHistory(target, text);
  outcome.result = rows > 0 ? 1 : 0;
  return outcome;
}

}  // namespace vel
