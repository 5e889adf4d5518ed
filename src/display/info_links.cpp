#include "display/info_links.h"

#include "core/cp932_text.h"
#include "db/library_connection.h"
#include "platform/codepage.h"
#include "search/search_items.h"

namespace vel {
namespace {

constexpr size_t kCreatorsLimit = 4096;

// The two-byte characters that separate the words of a title (CP932, made once).
const std::vector<std::string>& TitleBreakCharacters() {
  static const std::vector<std::string> characters = [] {
    std::vector<std::string> list;
    for (const char* text : {"～", "－", "／", "！", "Ⅰ", "Ⅱ", "Ⅲ", "Ⅳ", "Ⅴ", "Ⅵ", "Ⅶ", "Ⅷ", "Ⅸ", "Ⅹ", "０", "１",
                             "２", "３", "４", "５", "６", "７", "８", "９"})
      list.push_back(Jp(text));
    return list;
  }();
  return characters;
}

bool IsTitleBreak(std::string_view ch) {
  if (ch.size() == 1) {
    char c = ch[0];
    return c == '_' || c == '-' || c == '/' || c == '!' || (c >= '0' && c <= '9');
  }
  for (const std::string& b : TitleBreakCharacters())
    if (ch == b) return true;
  return false;
}

}  // namespace

InfoSearch MakerSearch(const std::string& maker) { return {maker, kTargetMaker, kMatchEquals, false}; }

InfoSearch DeveloperSearch(const std::string& developer) {
  return {developer, kTargetMakerOfItem, kMatchEquals, false};
}

std::string CleanTitleForSearch(const std::string& title) {
  std::string out;
  for (size_t i = 0; i < title.size();) {
    size_t n = CharacterLength(title, i);
    std::string_view ch(title.data() + i, n);
    i += n;
    if (IsTitleBreak(ch) || ch == " ") {
      if (!out.empty() && out.back() != ' ') out += ' ';
      continue;
    }
    out += ch;
  }
  while (!out.empty() && out.back() == ' ') out.pop_back();
  return out;
}

InfoSearch TitleSearch(const std::string& title) {
  std::string cleaned = CleanTitleForSearch(title);
  return {cleaned.empty() ? title : cleaned, kTargetFuzzy, kMatchContains, true};
}

std::vector<std::string> CreatorEntries(const std::string& creators) {
  std::vector<std::string> entries;
  for (std::string& part : SplitByCharacter(CutToBytes(creators, kCreatorsLimit), ';'))
    if (!part.empty()) entries.push_back(std::move(part));
  return entries;
}

std::string CreatorName(const std::string& entry) {
  static const std::string open = Jp("【"), close = Jp("】");
  size_t end = std::string::npos;
  if (entry.rfind("[", 0) == 0) {
    end = FindByCharacter(entry, "]", 1);
    if (end != std::string::npos) end += 1;
  } else if (entry.rfind(open, 0) == 0) {
    end = FindByCharacter(entry, close, open.size());
    if (end != std::string::npos) end += close.size();
  }
  // "[label" without its end is a name, not a role.
  std::string name = end == std::string::npos ? entry : entry.substr(end);
  size_t first = name.find_first_not_of(' ');
  return first == std::string::npos ? entry : name.substr(first);
}

InfoSearch CreatorSearch(const std::string& entry) {
  return {CreatorName(entry), kTargetCreator, kMatchContains, false};
}

InfoSearch CategorySearch(const std::string& column, const std::string& name) {
  return {"SELECT * FROM list_view WHERE " + column + "='" + Quote(name) + "' ORDER BY title;", kTargetSql,
          kMatchContains, false};
}

InfoSearch FavouriteSearch(char digit) {
  if (digit < '0' || digit > '9') digit = '0';
  return {std::string("SELECT * FROM list_view WHERE fave LIKE '%") + digit + "%' ORDER BY fave DESC;", kTargetSql,
          kMatchContains, false};
}

std::string MemoStatement(const std::string& key) {
  return "SELECT memo FROM memo_table WHERE pfile_mm = '" + Quote(key) + "';";
}

std::string ConcatMemoStatement(const std::string& machine, const std::string& genre, const std::string& title) {
  return "SELECT group_concat(memo,'" + std::string(kConcatMemoJoint) +
         "') AS memo, 'a' AS dmy FROM (SELECT memo FROM memo_table WHERE pfile_mm IN ("
         "SELECT file_name FROM all_item_view WHERE IFNULL(machine_name,'')='" + Quote(machine) +
         "' AND IFNULL(genre_name,'')='" + Quote(genre) + "' AND IFNULL(title,'')='" + Quote(title) +
         "') ORDER BY pfile_mm) GROUP BY dmy;";
}

std::string ShownConcatMemo(const std::string& memo) {
  const std::string joint = kConcatMemoJoint;
  std::string out;
  for (size_t i = 0; i < memo.size();) {
    if (memo.compare(i, joint.size(), joint) == 0) {
      out += "\n---\n";
      i += joint.size();
      continue;
    }
    size_t n = CharacterLength(memo, i);
    out.append(memo, i, n);
    i += n;
  }
  return out;
}

const InfoLink* InfoHitMap::At(int x, int y) const {
  for (size_t i = links_.size(); i-- > 0;)
    if (links_[i].area.Contains(x, y)) return &links_[i];
  return nullptr;
}

}  // namespace vel
