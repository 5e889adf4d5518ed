#pragma once
// Saved queries: named SQL statements kept one per file under the program's
// "query" folder, in sub-folders, and the rule for their names.
#include <optional>
#include <string>
#include <vector>

namespace vel {

// A folder or query name is refused when it holds any of \ / < > : | ? * . "
// or a line feed, carriage return or tab (by character: a trail byte is
// never one of them), or when it is a device name (AUX, CLOCK$, COM1..COM9,
// CON, CONFIG$, LPT1..LPT9, NUL, PRN) in any case. The name is taken with
// surrounding spaces trimmed.
bool IsValidQueryName(const std::string& name);
std::string TrimQueryName(const std::string& name);

// The `sql` value as a one-line INI value: line breaks become spaces ("--"
// comments become /* */ first, so the rest of the statement is kept), and a
// value that begins with a double quote is wrapped so that the profile
// reader gives it back unchanged.
std::string SqlForQueryFile(const std::string& sql);

// One node of the query tree.
struct QueryNode {
  std::string name;  // the folder name, or the query name (file name without its extension)
  std::string path;  // the real path of the folder or file
  bool isFolder = false;
  std::vector<QueryNode> children;  // folders' contents, in listing order
};
// The tree under a folder: sub-folders and files whose extension contains
// "txt" (any case). Links are not followed.
std::vector<QueryNode> ListQueryTree(const std::string& folder);

// Saving a query from the editor. `oldPath` is the edited file ("" for a new
// query in `folder`). The file is written whole under a temporary name and
// moved into place, so a failure leaves the old file as it was.
struct QuerySave {
  std::string folder;
  std::string oldPath;
  std::string name;  // as typed
  std::string sql;   // as typed (several lines allowed)
  std::string icon;
};
struct QuerySaveResult {
  bool saved = false;
  std::string refusal;  // CP932 message when not saved
  std::string path;     // the file written
  bool changed = false;  // new, renamed or another icon: the tree is rebuilt
};
QuerySaveResult SaveQueryFile(const QuerySave& save);

// Reads `sql` of a query file ("" when missing or unreadable).
std::string ReadQuerySql(const std::string& path);
std::string ReadQueryIcon(const std::string& path);

// Deletes a folder of queries: query files, "0.bmp" and the folders left
// empty, never other files and never through links. True when the folder
// itself is gone.
bool DeleteQueryFolder(const std::string& folder);

}  // namespace vel
