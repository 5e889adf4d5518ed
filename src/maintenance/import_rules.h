#pragma once
// How an import derives the columns of a library row from an image's path:
// the key's name parts, title, maker, version, release year and country, and
// the order of the disks of a set. All text is CP932, walked by character.
#include <cstddef>
#include <string>
#include <vector>

#include "core/cp932_text.h"
#include "maintenance/import_job.h"

namespace vel {

// Byte limits: the program's edit fields hold 255 bytes of a column and a
// launch copies at most 528 bytes of a key.
inline constexpr std::size_t kColumnByteLimit = 255;
inline constexpr std::size_t kKeyByteLimit = 528;

// The four name columns of a key: for "folder\a.zip*sub\DISK1.D88" the member
// title "DISK1" and extension "D88", the file title "a" and extension "zip".
struct KeyParts {
  std::string memberTitle, memberExt, fileTitle, fileExt;
};
KeyParts SplitItemKey(const std::string& key);

// The file (or archive) path of a key and its member path ("" for a plain file).
std::string KeyFilePath(const std::string& key);
std::string KeyMember(const std::string& key);

// The name after the last '\' and its extension (after the last '.', "" when
// there is none).
std::string NameOf(const std::string& path);
std::string ExtensionOf(const std::string& path);
std::string LowerAscii(const std::string& text);

// Search extensions of a machine ("d88;.D77;*.fdi") as lower-case extensions
// without the dot; empty means every file.
std::vector<std::string> ParseSearchExtensions(const std::string& searchExt);
bool MatchesExtensions(const std::string& name, const std::vector<std::string>& extensions);

// Orders names as a person would: letters without regard to case, digit runs
// by their value ("DISK2" before "DISK10"). Negative, 0 or positive.
int NaturalCompare(const std::string& a, const std::string& b);

// The columns an import derives from the key (empty when a rule finds nothing).
struct DerivedText {
  std::string title;  // never empty
  std::string maker;
  std::string version;
  std::string saleYear;
  std::string country;
};
DerivedText DeriveText(const std::string& key, const ImportJob& options);

// The title of an archive member with its extension and name appended, as
// "Title[D88]---[DISK1]".
std::string TitleWithMember(const std::string& title, const std::string& key);

}  // namespace vel
