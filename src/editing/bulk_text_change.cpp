#include "editing/bulk_text_change.h"

#include "db/library_connection.h"
#include "editing/creator_text.h"
#include "editing/release_date.h"
#include "platform/codepage.h"

namespace vel {
namespace {

const char* Column(BulkTextField field) {
  switch (field) {
    case BulkTextField::Title: return "title";
    case BulkTextField::Maker: return "maker";
    case BulkTextField::Developer: return "developer";
    case BulkTextField::Country: return "country";
    case BulkTextField::Version: return "version";
    case BulkTextField::ReleaseDate: return "sale_year";
    case BulkTextField::Creators: break;
  }
  return "";
}

const char* Label(BulkTextField field) {
  switch (field) {
    case BulkTextField::Title: return "タイトル";
    case BulkTextField::Maker: return "メーカー名";
    case BulkTextField::Developer: return "開発元";
    case BulkTextField::Country: return "国";
    case BulkTextField::Version: return "バージョン";
    case BulkTextField::ReleaseDate: return "発売日";
    case BulkTextField::Creators: break;
  }
  return "クリエイター情報";
}

std::string TooLong(const std::string& label, size_t limit) {
  return Jp(label) + Jp("が長すぎます。\n") + std::to_string(limit) + Jp("バイトに納めてください。");
}

}  // namespace

PreparedBulkText PrepareBulkText(BulkTextField field, const BulkTextValue& typed) {
  PreparedBulkText prepared;
  const size_t limit = field == BulkTextField::Creators ? kBulkCreatorsLimit : kBulkTextLimit;
  // The typed text is refused whole, never cut.
  if (typed.value.size() > limit) {
    prepared.refusal = TooLong(Label(field), limit);
    return prepared;
  }
  if (field == BulkTextField::Title && typed.kana.size() > kBulkTextLimit) {
    prepared.refusal = TooLong("読み仮名", kBulkTextLimit);
    return prepared;
  }
  BulkTextValue value = typed;
  if (field == BulkTextField::ReleaseDate) {
    std::optional<std::string> date = NormaliseReleaseDate(typed.value);
    if (!date) {
      prepared.refusal = Jp("発売日の指定に不備があります。\nyyyy-mm-dd形式で指定してください。\n"
                            "例) 1980-5-25 ※月以降または日は省略可");
      return prepared;
    }
    value.value = *date;
  } else if (field == BulkTextField::Creators) {
    value.value = NormaliseCreators(typed.value);
  }
  prepared.value = value;
  return prepared;
}

std::string BulkTextValuesQuery(BulkTextField field) {
  switch (field) {
    case BulkTextField::Title:
    case BulkTextField::Maker:
    case BulkTextField::Developer:
    case BulkTextField::Country: {
      const std::string column = Column(field);
      return "SELECT DISTINCT " + column + " FROM main_table WHERE " + column + "<>'' ORDER BY " + column + ";";
    }
    default: return "";
  }
}

std::optional<std::string> LoadBulkTextValues(LibraryConnection& db, BulkTextField field,
                                              std::vector<std::string>& values) {
  values.clear();
  const std::string query = BulkTextValuesQuery(field);
  if (query.empty()) return std::nullopt;
  if (auto error = db.Query(query)) return error;
  values.reserve(static_cast<size_t>(db.RowCount()));
  for (int r = 1; r <= db.RowCount(); ++r) values.push_back(db.Cell(r, 0));
  return std::nullopt;
}

std::string BulkTextStatement(BulkTextField field, const std::string& key, const BulkTextValue& value) {
  const std::string quotedKey = Quote(key);
  if (field == BulkTextField::Creators) {
    if (value.value.empty()) return "DELETE FROM creator_table WHERE pfile_cr='" + quotedKey + "';";
    return "INSERT OR REPLACE INTO creator_table( pfile_cr, creator ) VALUES('" + quotedKey + "','" +
           Quote(value.value) + "');";
  }
  std::string sql = std::string("UPDATE main_table SET ") + Column(field) + "='" + Quote(value.value);
  if (field == BulkTextField::Title)
    sql += "',kana='" + Quote(value.kana) + "',smart_title='" + Quote(value.smartTitle);
  return sql + "' WHERE file_name='" + quotedKey + "' ;";
}

std::optional<BatchFailure> ChangeTextOfItems(LibraryConnection& db, BulkTextField field,
                                              const std::vector<std::string>& keys, const BulkTextValue& value) {
  return RunSelectionStatements(db, keys,
                                [&](const std::string& key) { return BulkTextStatement(field, key, value); });
}

}  // namespace vel
