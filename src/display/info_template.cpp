#include "display/info_template.h"

#include "core/cp932_text.h"
#include "db/library_connection.h"
#include "platform/codepage.h"
#include "search/item_list_query.h"

namespace vel {
namespace {

constexpr std::array<const char*, kInfoTokenCount> kTokens = {
    "_country", "_release", "_crc16", "_crc32", "_rom", "_model",
    "_price",   "_media",   "_device", "_players", "_save", "_sound"};
constexpr int kReleaseToken = 1;

// The token starting at `at` (case-insensitive), or -1.
int TokenAt(const std::string& text, size_t at) {
  for (int t = 0; t < kInfoTokenCount; ++t) {
    const std::string token = kTokens[static_cast<size_t>(t)];
    if (text.size() - at >= token.size() && EqualsIgnoringCase(text.substr(at, token.size()), token)) return t;
  }
  return -1;
}

// One pass over the group's own text: a value put in is never scanned again.
std::string ExpandGroup(const std::string& group, const InfoTokenValues& values) {
  std::string out;
  for (size_t i = 0; i < group.size();) {
    int t = TokenAt(group, i);
    if (t < 0) {
      size_t n = CharacterLength(group, i);
      out.append(group, i, n);
      i += n;
      continue;
    }
    std::string value = values[static_cast<size_t>(t)];
    if (value.empty() || value == "0") return "";
    out += t == kReleaseToken ? ShortReleaseDate(value) : value;
    i += std::string(kTokens[static_cast<size_t>(t)]).size();
  }
  return out;
}

// The position of the single-byte `c` at or after `from` on a character start.
size_t FindChar(const std::string& text, char c, size_t from) {
  return FindByCharacter(text, std::string(1, c), from);
}

// The start of the last character of a non-empty text.
size_t LastCharacterStart(const std::string& text) {
  size_t last = 0;
  for (size_t i = 0; i < text.size(); i += CharacterLength(text, i)) last = i;
  return last;
}

void StripTrailing(std::string& text, const std::string& separator) {
  while (!text.empty()) {
    size_t last = LastCharacterStart(text);
    std::string tail = text.substr(last);
    if (tail != " " && (separator.empty() || tail != separator)) break;
    text.erase(last);
  }
}

}  // namespace

std::string ShortReleaseDate(const std::string& date) {
  std::string out = date;
  for (size_t at = FindByCharacter(out, "-00"); at != std::string::npos; at = FindByCharacter(out, "-00", at))
    out.erase(at, 3);
  return out;
}

InfoLine ExpandInfoTemplate(const std::string& templateText, const InfoTokenValues& values) {
  InfoLine result;
  std::string body = templateText;
  std::string separator;
  size_t space = FindChar(templateText, ' ', 0);
  if (space != std::string::npos) {
    result.caption = templateText.substr(0, space + 1);
    size_t after = space + 1;
    if (after < templateText.size()) {
      separator = templateText.substr(after, CharacterLength(templateText, after));
      body = templateText.substr(after + separator.size());
    } else {
      body.clear();
    }
  }
  // Groups are expanded left to right; the scan resumes after each result, so
  // a value holding braces is shown as it is.
  size_t from = 0;
  while (true) {
    size_t open = FindChar(body, '{', from);
    if (open == std::string::npos) break;
    size_t close = FindChar(body, '}', open + 1);
    if (close == std::string::npos) break;
    std::string expanded = ExpandGroup(body.substr(open + 1, close - open - 1), values);
    body.replace(open, close - open + 1, expanded);
    from = open + expanded.size();
  }
  // Spaces, then separators, twice: " / " left by a dropped last group goes.
  for (int pass = 0; pass < 2; ++pass) {
    StripTrailing(body, "");
    StripTrailing(body, separator);
  }
  result.line = body;
  return result;
}

InfoTokenValues InfoTokenValuesFromList(LibraryConnection& list, int row) {
  const int positions[kInfoTokenCount] = {kPosCountry, kPosSaleYear, kPosCrc16,    kPosCrc32,
                                          kPosRomNum,  kPosBreed,    kPosPrice,    kPosMediaDetail,
                                          kPosDevice,  kPosPlayers,  kPosSavedat, kPosSound};
  InfoTokenValues values;
  for (int t = 0; t < kInfoTokenCount; ++t) values[static_cast<size_t>(t)] = list.Cell(row, positions[t]);
  return values;
}

}  // namespace vel
