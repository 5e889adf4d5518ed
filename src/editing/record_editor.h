#pragma once
// Everything the library holds about one item, as the record editor shows
// and writes it: loaded from seven tables, checked, and written back in one
// transaction. Texts are CP932.
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vel {

class LibraryConnection;

inline constexpr size_t kRecordTextLimit = 255;      // bytes of a name or short text
inline constexpr size_t kRecordPathLimit = 259;      // bytes of a path or URL
inline constexpr size_t kRecordCreatorsLimit = 4095;  // bytes of the typed creators
inline constexpr size_t kRomNumberDigits = 9;

inline constexpr int kDetailFields = 8;
// breed, price, media_detail, device, players, savedat_detail, sound_detail, adultex_name
using RecordDetails = std::array<std::string, kDetailFields>;

// The editor's fields. Dates, creators and ROM numbers as the editor shows
// them; the rest as stored.
struct RecordFields {
  std::string title, smartTitle, maker, developer, version, kana, tag, romNumber, releaseDate, country;
  bool adult = false;
  std::string machine, media, genre;
  std::string creators;  // one name per line ("\r\n")
  std::string memo;
  std::vector<std::string> relatedFiles;
  std::array<std::string, 3> snapshots;
  std::string snapDisplay;  // the item's own display setting as stored ("" = the machine's)
  RecordDetails details;
  std::string emulatorSetting;  // "" = none of its own
  // The images of the set the item heads, the item first; empty when it
  // heads none. The first entry is the parent when saved.
  std::vector<std::string> imageSet;
};

struct LoadedRecord {
  RecordFields fields;
  int ownPly = 0;            // the item's disk number (a child of a set has 2 or more)
  std::string storedCreators;  // the creator text as stored, kept when the field is left alone
  // The message of the load step that failed (its text and the database's);
  // the fields after it stay empty and the record must not be saved.
  std::optional<std::string> failure;
};

// Loads the item in the editor's steps, stopping at the first failure.
LoadedRecord LoadRecord(LibraryConnection& db, const std::string& key);

// The stored date as the editor shows it: "" for "0", a trailing "-00-00"
// or "-00" cut off.
std::string ReleaseDateForDisplay(const std::string& stored);
// The stored creators one per line.
std::string CreatorsForDisplay(const std::string& stored);

// What is written: the values in their stored forms.
struct PreparedRecord {
  RecordFields fields;  // releaseDate, romNumber and creators in stored form
};

// Checks the fields in the editor's order (title, creators when edited,
// date, ROM number, then lengths). The refusal message, or the values to store.
struct RecordCheck {
  std::optional<PreparedRecord> record;
  std::string refusal;
};
RecordCheck CheckRecord(const RecordFields& fields, const LoadedRecord& loaded);

// The statements of one save in their order, without BEGIN and COMMIT. The
// main record's update (at `mainUpdate`) and those of the set's images must
// each change exactly one row.
struct SaveStatements {
  std::vector<std::string> sql;
  std::vector<std::string> oneRowOf;  // the key a statement must change, or ""
  size_t mainUpdate = 0;
  std::string key;      // the key everything is written under
  bool rebuildSets = false;  // the set order is written: tmp_maxdisk is rebuilt
};
SaveStatements BuildSaveStatements(const std::string& openedKey, const LoadedRecord& loaded,
                                   const PreparedRecord& record);

struct SaveResult {
  bool saved = false;
  std::string selectKey;  // the item to select afterwards
  std::string oldTitle;   // the title before the save
  // On failure: "データベースを更新出来ませんでした。\n" and the database's text.
  std::string failure;
};
// Runs the statements in one transaction: the first failure rolls
// everything back. The main update must change exactly one row.
SaveResult SaveRecord(LibraryConnection& db, const std::string& openedKey, const LoadedRecord& loaded,
                      const PreparedRecord& record);

}  // namespace vel
