#pragma once
// The options of an image import or CRC recalculation as the import library
// takes them: 51 integers, 6 texts, 2 numbers, in fixed slots.
#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace vel {

struct DirAddOptions {
  std::array<std::int32_t, 51> integers{};
  std::array<std::string, 6> texts;
  std::array<std::int32_t, 2> numbers{};
};

// Slots of the integer array.
enum DirAddSlot : int {
  kSlotSearchSubFolders = 0,
  kSlotSearchArchives = 1,
  kSlotTitleRule = 2,
  kSlotMakerRule = 3,
  kSlotVersionRule = 4,
  kSlotAdult = 5,
  kSlotYearFromPath = 6,
  kSlotCountryFromPath = 7,
  kSlotDefaultCountry = 8,
  kSlotStripCountryBrackets = 9,
  kSlotArchiveSets = 20,
  kSlotMemberInTitle = 21,
  kSlotFolderSets = 22,
  kSlotCrc32 = 23,
  kSlotCrc16 = 24,
  kSlotOverwrite = 40,
  kSlotKeepFavourites = 41,
  kSlotParentsOnly = 0,  // CRC recalculation: in sets only the parents
};

// Slots of the text array and the characters each holds at most.
enum DirAddText : int { kTextPath = 0, kTextMachine, kTextMedia, kTextGenre, kTextYear, kTextCountryMarks };
inline constexpr std::array<size_t, 6> kDirAddTextCapacity = {260, 256, 256, 256, 256, 256};

// The numeric value of a box's text, cut towards zero ("" and non-numbers are 0).
std::int32_t NumberFromBox(const std::string& text);

// The CRC offset or length in a box: digits only ("" is 0), read whole and
// refused (nothing) when they are not a number the option slot can carry.
std::optional<std::int32_t> CrcNumberFromBox(const std::string& text);
// Why a CRC offset or length was refused (CP932).
std::string CrcNumberRefusedText();

// "(検索拡張子:d88;fdi)" for a machine's search extensions, "指定なし" for none.
std::string SearchExtensionLine(const std::string& searchExtensions);

// Why an import for a machine without search extensions is refused (CP932):
// its images cannot be told from other files.
std::string EmptySearchExtensionText(const std::string& machine);

// The question before an import starts (CP932). An overwrite that does not
// keep the favourites says that it clears them.
std::string ImportQuestionText(const std::string& machine, const std::string& path, bool overwrite,
                               bool keepFavourites);

// The check boxes and marks the import dialog keeps between openings.
struct ImportDialogSettings {
  int searchSubDir = 0;
  int searchArcImg = 0;
  int cCheck1 = 1;
  int cCheck2 = 1;
  int cCheck3 = 1;
  std::string countryMarks = "(JP);[JP];(J);[J];(US);[US];(U);[U];(EU);[EU];(E);[E];(U);[U]";
  int autoArcGroup = 1;
  int addTitleArc = 1;
  int autoDirGroup = 0;
  int calcCrc32 = 1;
  int calcCrc16 = 0;
};

inline constexpr size_t kCountryMarksCapacity = 1023;

ImportDialogSettings ReadImportDialogSettings(const std::string& settingsFile);
// Writes them and removes the retired `etcSetting`/`Country` key. False when a write failed.
bool WriteImportDialogSettings(const ImportDialogSettings& settings, const std::string& settingsFile);

}  // namespace vel
