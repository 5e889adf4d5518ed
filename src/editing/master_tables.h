#pragma once
// The four master tables of categories: machine, media, genre, adultex.
// Records are found by their unique name; the number is only the position.
#include <array>
#include <optional>
#include <string>
#include <vector>

namespace vel {

class LibraryConnection;

enum class MasterKind { Machine = 0, Media = 1, Genre = 2, Adultex = 3 };
inline constexpr MasterKind kMasterKinds[] = {MasterKind::Machine, MasterKind::Media, MasterKind::Genre,
                                              MasterKind::Adultex};

// Stems in the order the program loads and renumbers them.
inline constexpr const char* kMasterStems[] = {"machine", "media", "genre", "adultex"};

inline constexpr int kMasterRecordLimit = 299;  // an addition is refused at this count
inline constexpr size_t kMasterNameLimit = 255;  // bytes
inline constexpr size_t kMasterPathLimit = 259;  // bytes, as the Windows path functions take them
inline constexpr size_t kSearchExtLimit = 255;   // bytes

const char* MasterStem(MasterKind kind);
// The folder under default_icon holding the kind's shipped icons ("cero" for ratings).
const char* MasterIconFolder(MasterKind kind);

// The texts of a kind (CP932).
struct MasterKindTexts {
  std::string tab;          // "機種管理" ...
  std::string description;  // the tab's explanation
  std::string nameLabel;    // "機種名" ...
  std::string caption;      // the record editor's title
};
MasterKindTexts MasterTexts(MasterKind kind);

// One record as the editor shows it. The machine-only fields stay empty for
// the other kinds.
struct MasterRecord {
  std::string name, icon;
  std::string searchExt;
  std::array<std::string, 3> snapPaths;
  std::string snapDisplay;  // the stored display setting text
  std::string defaultMedia;
  bool operator==(const MasterRecord&) const = default;
};

// Names of a kind in the order of their numbers. Returns the error text on failure.
std::optional<std::string> LoadMasterNames(LibraryConnection& db, const std::string& stem,
                                           std::vector<std::string>& names);
// Names and numbers of a kind in number order.
struct MasterEntry {
  std::string name;
  int number = 0;
};
std::optional<std::string> LoadMasterEntries(LibraryConnection& db, MasterKind kind, std::vector<MasterEntry>& entries);
// Names of a kind in name order, as other windows list them.
std::optional<std::string> LoadMasterNamesByName(LibraryConnection& db, MasterKind kind, std::vector<std::string>& names);

// The record with the name. The error text (UTF-8) on failure, also when no
// record has the name.
std::optional<std::string> LoadMasterRecord(LibraryConnection& db, MasterKind kind, const std::string& name,
                                            MasterRecord& record);

// "d88; *.D77 ;;.fdi" -> "d88;D77;fdi": marks and empty parts dropped, the
// order and case kept, repeats (ignoring case) dropped.
std::string NormaliseSearchExtensions(const std::string& searchExt);

// The refusal (CP932) of a record that cannot be saved as it stands: a
// missing name, the reserved "指定なし" for media, genres and ratings, and
// names, paths and extensions too long to keep whole.
std::optional<std::string> MasterRecordProblem(MasterKind kind, const MasterRecord& record);

// The statements of a save.
std::string MasterInsertSql(MasterKind kind, const MasterRecord& record);
std::string MasterUpdateSql(MasterKind kind, const std::string& oldName, const MasterRecord& record);
std::string MasterDeleteSql(MasterKind kind, const std::string& name);
// True when the database refused a name that another record holds, in the
// wording of older ("column genre is not unique") and newer SQLite
// ("UNIQUE constraint failed: genre_info_table.genre").
bool IsDuplicateNameError(MasterKind kind, const std::string& errorUtf8);

// Steps of the management window. Each shows its own messages over `owner`
// and returns whether the table changed.
//
// Whether one more record may be added (fewer than 299).
bool MayAddMasterRecord(LibraryConnection& db, MasterKind kind, void* owner);
// Saves a new record (`oldName` empty) or the record named `oldName`: the
// checks, for a machine whose default media changed the question whether the
// items of the machine take it (asked before anything is written), the
// record and the items in one transaction, for a renamed machine its
// configuration folder and file under emuconf of `baseFolder`, and the
// renumbering. False when nothing was saved (the editor stays open).
bool SaveMasterRecord(LibraryConnection& db, MasterKind kind, const std::optional<std::string>& oldName,
                      const MasterRecord& record, const std::string& baseFolder, void* owner);
// Asks, deletes the record with the name and renumbers. Items keep the name.
bool DeleteMasterRecord(LibraryConnection& db, MasterKind kind, const std::string& name, void* owner);

// For a renamed machine: moves emuconf\<old> to emuconf\<new> and
// emuconf\<old>.ini to emuconf\<new>.ini. Only names that stay one folder or
// file inside emuconf are moved, and an existing target is never replaced.
// Returns one line per move that could not be made ("from -> to").
std::vector<std::string> MoveMachineConfigs(const std::string& baseFolder, const std::string& oldName,
                                            const std::string& newName);

// Gives every record its 1-based position in name order, in one transaction.
// On failure returns the message to show (CP932) and leaves the old numbers.
struct RenumberFailure {
  std::string text;     // message text, with the database's message appended
  std::string caption;  // message title
};
std::optional<RenumberFailure> RenumberMasterTable(LibraryConnection& db, const std::string& stem);

// An icon path of the kind's shipped icons after the program folder moved:
// the part from the last "\default_icon\<folder>\" (compared by character,
// ignoring case) under `programFolder`. Nothing for a path outside it or one
// that is already there.
std::optional<std::string> MovedIconPath(MasterKind kind, const std::string& path, const std::string& programFolder);
// Rewrites the kind's icon paths under default_icon that name a missing file
// to the program folder, in one transaction; failures are shown and the
// rest goes on.
void RepairMasterIconPaths(LibraryConnection& db, MasterKind kind, const std::string& programFolder, void* owner);

}  // namespace vel
