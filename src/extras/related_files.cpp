#include "extras/related_files.h"

#include <algorithm>
#include <cctype>

#include "core/command_ids.h"
#include "db/library_connection.h"
#include "launch/emulator_menu.h"
#include "platform/codepage.h"

namespace vel {
namespace {

std::string Trim(const std::string& text) {
  size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return "";
  size_t last = text.find_last_not_of(" \t");  // space and tab are never trail bytes
  return text.substr(first, last - first + 1);
}

// Byte position of `what` at a character start, from `from`, or npos.
size_t FindByCharacter(const std::string& text, const std::string& what, size_t from = 0) {
  for (size_t i = from; i < text.size(); i += CharacterLength(text, i))
    if (text.compare(i, what.size(), what) == 0) return i;
  return std::string::npos;
}

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  return text;
}

// True when the text ends in `tail` (ASCII, lower case) starting at a
// character of its own, compared without case.
bool EndsWithNoCase(const std::string& text, const char* tail) {
  std::string t(tail);
  if (text.size() < t.size()) return false;
  size_t start = text.size() - t.size();
  size_t i = 0;
  while (i < start) i += CharacterLength(text, i);
  return i == start && Lower(text.substr(start)) == t;
}

// True when the last character of the text is a backslash of its own (not
// the trail byte of a two-byte character).
bool EndsWithBackslash(const std::string& text) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < text.size(); i += CharacterLength(text, i)) last = i;
  return last != std::string::npos && last == text.size() - 1 && text[last] == '\\';
}

}  // namespace

RelatedFileEntry ParseRelatedFileEntry(const std::string& entry) {
  RelatedFileEntry parsed;
  std::string rest = Trim(entry);
  if (!rest.empty() && rest[0] == '[') {
    size_t close = FindByCharacter(rest, "]", 1);
    if (close != std::string::npos) {
      parsed.label = rest.substr(1, close - 1);
      rest = rest.substr(close + 1);
    }
  }
  size_t arrow = FindByCharacter(rest, "-->");
  if (arrow != std::string::npos) {
    parsed.application = Trim(rest.substr(arrow + 3));
    rest = rest.substr(0, arrow);
  }
  parsed.target = Trim(rest);
  return parsed;
}

std::string RelatedFileMenuText(const std::string& entry) {
  RelatedFileEntry parsed = ParseRelatedFileEntry(entry);
  return parsed.label.empty() ? entry : parsed.label;
}

bool IsWebTarget(const std::string& target) {
  std::string head = Lower(target.substr(0, 8));
  return head.rfind("http://", 0) == 0 || head.rfind("https://", 0) == 0;
}

RelatedFileKind RelatedFileKindOf(const std::string& target) {
  if (IsWebTarget(target)) return RelatedFileKind::kWeb;
  struct Tail {
    const char* tail;
    RelatedFileKind kind;
  } tails[] = {{".jpg", RelatedFileKind::kImage},  {"jpeg", RelatedFileKind::kImage},
               {".gif", RelatedFileKind::kImage},  {".bmp", RelatedFileKind::kImage},
               {".png", RelatedFileKind::kImage},  {".pdf", RelatedFileKind::kPdf},
               {".exe", RelatedFileKind::kProgram}, {".txt", RelatedFileKind::kText},
               {".xls", RelatedFileKind::kSheet},  {"xlsx", RelatedFileKind::kSheet},
               {".csv", RelatedFileKind::kSheet},  {".doc", RelatedFileKind::kDocument},
               {"docx", RelatedFileKind::kDocument}};
  for (const Tail& tail : tails)
    if (EndsWithNoCase(target, tail.tail)) return tail.kind;
  return RelatedFileKind::kOther;
}

std::optional<std::string> ReadRelatedFiles(LibraryConnection& db, const std::string& key,
                                            std::vector<std::string>& entries) {
  entries.clear();
  if (auto error = db.Query("SELECT as_file_name FROM associate_file_table WHERE pfile_as='" + Quote(key) +
                            "' ORDER BY as_file_name;"))
    return error;
  for (int row = 1; row <= db.RowCount(); ++row) entries.push_back(db.Cell(row, 0));
  return std::nullopt;
}

std::string QuotedParameter(const std::string& target) {
  if (target.find_first_of(" \t") == std::string::npos || (target.size() >= 2 && target.front() == '"'))
    return target;
  return "\"" + target + (EndsWithBackslash(target) ? "\\" : "") + "\"";
}

RelatedFileOpening PlanRelatedFileOpening(const RelatedFileEntry& entry, bool targetExists) {
  RelatedFileOpening opening;
  if (entry.target.empty()) return opening;
  if (!entry.application.empty()) {
    opening.way = RelatedFileOpening::Way::kApplication;
    opening.file = entry.application;
    opening.parameters = QuotedParameter(entry.target);
    return opening;
  }
  if (IsWebTarget(entry.target) || targetExists) {
    opening.way = RelatedFileOpening::Way::kShellOpen;
    opening.file = entry.target;
  }
  return opening;
}

std::vector<RelatedFileMenuLine> RelatedFileMenuLines(const std::vector<std::string>& entries) {
  std::vector<RelatedFileMenuLine> lines;
  const size_t shown = std::min(entries.size(), static_cast<size_t>(kRelatedFileIdCount));
  for (size_t k = 0; k < shown; ++k)
    lines.push_back({MenuText(RelatedFileMenuText(entries[k])), kCmdRelatedFileFirst + static_cast<int>(k),
                     RelatedFileKindOf(ParseRelatedFileEntry(entries[k]).target)});
  if (entries.size() > shown) lines.push_back({Jp("…"), 0, RelatedFileKind::kOther});
  if (entries.empty()) lines.push_back({Jp("（関連ファイルがありません）"), 0, RelatedFileKind::kOther});
  return lines;
}

std::string RelatedFileNotFoundMessage(const std::string& target) {
  return Jp("関連ファイルが見つかりませんでした。\n") + "\"" + target + "\"";
}

std::string RelatedFileApplicationFailedMessage(const RelatedFileEntry& entry) {
  return Jp("指定したアプリでファイルを開けませんでした。\n") + "\"" + entry.target + "\"\n-->\"" +
         entry.application + "\"";
}

std::string RelatedFileShellFailedMessage(const std::string& target) {
  return Jp("関連ファイルを開けませんでした。\n") + "\"" + target + "\"";
}

}  // namespace vel
