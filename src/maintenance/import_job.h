#pragma once
// An image import or a CRC recalculation as the import library runs it,
// read from the three arrays the program passes (slots in import_options.h).
#include <cstdint>
#include <string>

#include "maintenance/crc.h"
#include "maintenance/title_converter.h"

namespace vel {

// Title rules: 0 file name, 1 file name before "(" or "[", 2 as 1 without a
// leading number, 3 parent folder name, 4 parent folder name before "(" or "[".
// Maker rules: 0 none, 1 parent folder name, 2 the folder two levels up.
// Version rules: 0 none, 1 file name from "(" or "[" on, 2 as 1 without
// country marks and years, 3 parent folder name from "(" or "[" on.
struct ImportJob {
  std::string path;     // the image file or the folder to search
  std::string machine;
  std::string media;    // "" for none
  std::string genre;    // "" for none
  std::string year;     // release year as typed, may be empty
  std::string countryMarks;  // ';'-separated
  bool searchSubFolders = false;
  bool searchArchives = false;
  int titleRule = 0;
  int makerRule = 0;
  int versionRule = 0;
  bool adult = false;
  bool yearFromPath = false;
  bool countryFromPath = false;       // off: the whole mark list is the country
  bool countryDefaultFirst = false;   // no mark found: the first mark
  bool countryWithoutBrackets = false;
  bool groupArchiveMembers = false;
  bool memberInTitle = false;         // only with groupArchiveMembers
  bool groupFolderImages = false;
  CrcWanted crc;
  CrcRange crcRange;
  bool overwrite = false;
  bool keepFavourites = false;  // only with overwrite: else overwritten items lose their favourite marks
  // The removal tables of the settings: an overwrite that changes a title
  // gives it the smart title of the new one.
  SymbolTables symbols = DefaultSymbolTables();
};

ImportJob ImportJobFromArrays(const std::int32_t* integers, const char* const* texts,
                              const std::int32_t* numbers);

struct RecalcJob {
  std::string machine;
  bool parentsOnly = false;  // in multi-disk sets, the first disk only
  CrcWanted crc;
  CrcRange crcRange;
};

RecalcJob RecalcJobFromArrays(const std::int32_t* integers, const char* const* texts,
                              const std::int32_t* numbers);

}  // namespace vel
