#pragma once
// An item's related files and URLs (associate_file_table): each entry is
// "[label]" (optional), a target and, after "-->", an optional application.
#include <optional>
#include <string>
#include <vector>

namespace vel {

class LibraryConnection;

struct RelatedFileEntry {
  std::string label;        // the text in the brackets, "" without one
  std::string target;       // trimmed
  std::string application;  // trimmed, "" for the shell's own choice
};

// Splits an entry (CP932). "[" without its "]" is no label: the whole entry
// is then the target.
RelatedFileEntry ParseRelatedFileEntry(const std::string& entry);

// What the submenu shows: the label, or else the whole entry.
std::string RelatedFileMenuText(const std::string& entry);

enum class RelatedFileKind { kWeb, kImage, kPdf, kProgram, kText, kSheet, kDocument, kOther };
RelatedFileKind RelatedFileKindOf(const std::string& target);

// True for "http://" or "https://" in any case.
bool IsWebTarget(const std::string& target);

// The item's entries in the order of their text; the database's error text on failure.
std::optional<std::string> ReadRelatedFiles(LibraryConnection& db, const std::string& key,
                                            std::vector<std::string>& entries);

// The target as one parameter of a command line: in double quotes when it
// holds a space or a tab, a final backslash doubled so that it does not
// escape the closing quote.
std::string QuotedParameter(const std::string& target);

// How an entry is opened.
struct RelatedFileOpening {
  enum class Way { kShellOpen, kApplication, kNotFound } way = Way::kNotFound;
  std::string file;        // what the shell is given
  std::string parameters;  // the application's command line
};
RelatedFileOpening PlanRelatedFileOpening(const RelatedFileEntry& entry, bool targetExists);

// The submenu of an item's entries (in the order read): entry k gets the
// command kCmdRelatedFileFirst + k. Entries beyond the block of identifiers
// are not dropped silently: a disabled "…" line says there are more.
struct RelatedFileMenuLine {
  std::string text;  // shown as it is ("&" doubled)
  int id = 0;        // 0 for the disabled lines
  RelatedFileKind kind = RelatedFileKind::kOther;
};
std::vector<RelatedFileMenuLine> RelatedFileMenuLines(const std::vector<std::string>& entries);

// Messages (CP932).
std::string RelatedFileNotFoundMessage(const std::string& target);
std::string RelatedFileApplicationFailedMessage(const RelatedFileEntry& entry);
std::string RelatedFileShellFailedMessage(const std::string& target);
inline constexpr const char* kRelatedFileQueryFailed = "関連ファイルテーブルを参照できませんでした。\n";  // UTF-8

}  // namespace vel
