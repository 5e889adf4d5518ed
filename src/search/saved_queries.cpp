#include "search/saved_queries.h"

#include <string_view>

#include "platform/codepage.h"
#include "platform/directory.h"
#include "platform/file_operations.h"
#include "platform/profile.h"
#include "platform/system.h"

namespace vel {
namespace {

std::string Upper(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

bool SameNoCase(const std::string& a, const std::string& b) { return Upper(a) == Upper(b); }

bool IsQueryFileName(const std::string& name) {
  size_t dot = name.rfind('.');
  return dot != std::string::npos && Upper(name.substr(dot + 1)).find("TXT") != std::string::npos;
}

}  // namespace

std::string TrimQueryName(const std::string& name) {
  size_t first = name.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

bool IsValidQueryName(const std::string& raw) {
  const std::string name = TrimQueryName(raw);
  if (name.empty()) return false;
  constexpr std::string_view kRefused = "\\/<>:|?*.\"\n\r\t";
  for (size_t i = 0; i < name.size();) {
    if (IsCp932LeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) {
      i += 2;
      continue;
    }
    if (kRefused.find(name[i]) != std::string_view::npos) return false;
    ++i;
  }
  const std::string upper = Upper(name);
  for (const char* device : {"AUX", "CLOCK$", "CON", "CONFIG$", "NUL", "PRN"})
    if (upper == device) return false;
  if (upper.size() == 4 && (upper.rfind("COM", 0) == 0 || upper.rfind("LPT", 0) == 0) && upper[3] >= '1' &&
      upper[3] <= '9')
    return false;
  return true;
}

std::string SqlForQueryFile(const std::string& sql) {
  std::string out;
  bool inLineComment = false;
  char quote = 0;
  for (size_t i = 0; i < sql.size(); ++i) {
    char c = sql[i];
    if (IsCp932LeadByte(static_cast<unsigned char>(c)) && i + 1 < sql.size()) {
      out.append(sql, i, 2);
      ++i;
      continue;
    }
    const bool lineBreak = c == '\r' || c == '\n';
    if (inLineComment) {
      if (lineBreak) {
        out += " */ ";
        inLineComment = false;
      } else if (c == '*' && i + 1 < sql.size() && sql[i + 1] == '/') {
        out += "* /";  // the comment's own text must not close it early
        ++i;
      } else {
        out += c;
      }
      continue;
    }
    if (quote) {
      if (c == quote) quote = 0;
      out += lineBreak || c == '\t' ? ' ' : c;
      continue;
    }
    if (c == '\'' || c == '"') quote = c;
    if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
      out += "/*";
      inLineComment = true;
      ++i;
      continue;
    }
    out += lineBreak || c == '\t' ? ' ' : c;
  }
  if (inLineComment) out += " */";
  size_t first = out.find_first_not_of(' ');
  if (first == std::string::npos) return "";
  out = out.substr(first, out.find_last_not_of(' ') - first + 1);
  // The profile reader takes a value in double quotes as the text between them.
  if (!out.empty() && out.front() == '"' && out.size() > 1 && out.find('"', 1) != std::string::npos)
    out = "\"" + out + "\"";
  return out;
}

std::vector<QueryNode> ListQueryTree(const std::string& folder) {
  std::vector<QueryNode> nodes;
  FolderListing listing = ListFolder(folder);
  for (const FolderEntry& entry : listing.entries) {
    QueryNode node;
    node.path = folder + "\\" + entry.name;
    node.isFolder = entry.isFolder;
    if (entry.isFolder) {
      node.name = entry.name;
      node.children = ListQueryTree(node.path);
    } else {
      if (!IsQueryFileName(entry.name)) continue;
      node.name = entry.name.substr(0, entry.name.rfind('.'));
    }
    nodes.push_back(std::move(node));
  }
  return nodes;
}

std::string ReadQuerySql(const std::string& path) { return ProfileText("query", "sql", "", path); }
std::string ReadQueryIcon(const std::string& path) { return ProfileText("query", "icon", "", path); }

QuerySaveResult SaveQueryFile(const QuerySave& save) {
  QuerySaveResult result;
  const std::string name = TrimQueryName(save.name);
  if (name.empty()) {
    result.refusal = Jp("クエリ名は必須です");
    return result;
  }
  if (!IsValidQueryName(name)) {
    result.refusal = Jp("クエリ名に使用できない文字が含まれているか、使用できない文字列です。");
    return result;
  }
  std::string folder = save.folder;
  if (!save.oldPath.empty()) folder = save.oldPath.substr(0, save.oldPath.rfind('\\'));
  const std::string path = folder + "\\" + name + ".txt";
  if (path.size() + 4 >= 260) {  // the temporary name is 4 bytes longer
    result.refusal = Jp("クエリ名が長すぎます。");
    return result;
  }
  const bool isNew = save.oldPath.empty();
  const bool renamed = !isNew && path != save.oldPath;
  if ((isNew || (renamed && !SameNoCase(path, save.oldPath))) && FileExists(path)) {
    result.refusal = Jp("クエリ名は既に作成されています\n別のクエリ名を指定して下さい。");
    return result;
  }
  const std::string oldIcon = isNew ? "" : ReadQueryIcon(save.oldPath);
  const std::string temporary = path + ".new";
  RemoveFile(temporary);
  bool written = WriteProfileText("query", "sql", SqlForQueryFile(save.sql), temporary) &&
                 WriteProfileText("query", "icon", save.icon, temporary);
  bool placed = false;
  if (written) {
    if (isNew) placed = RenameFile(temporary, path);
    else if (!renamed) placed = ReplaceWithFile(temporary, path);
    // The edited file takes the new text, then moves to its new name in one step.
    else placed = ReplaceWithFile(temporary, save.oldPath) && RenameFile(save.oldPath, path);
  }
  if (!placed) {
    RemoveFile(temporary);
    result.refusal = Jp("クエリを保存できませんでした。\n") + path;
    return result;
  }
  result.saved = true;
  result.path = path;
  result.changed = isNew || renamed || oldIcon != save.icon;
  return result;
}

bool DeleteQueryFolder(const std::string& folder) {
  FolderListing listing = ListFolder(folder);
  for (const FolderEntry& entry : listing.entries) {
    const std::string path = folder + "\\" + entry.name;
    if (entry.isFolder) DeleteQueryFolder(path);
    else if (IsQueryFileName(entry.name) || SameNoCase(entry.name, "0.bmp")) RemoveFile(path);
  }
  return RemoveEmptyFolder(folder);
}

}  // namespace vel
