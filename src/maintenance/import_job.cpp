#include "maintenance/import_job.h"

#include "core/cp932_text.h"
#include "maintenance/import_options.h"

namespace vel {
namespace {

std::string Text(const char* const* texts, int slot) {
  return texts && texts[slot] ? std::string(texts[slot]) : std::string();
}

bool Flag(const std::int32_t* integers, int slot) { return integers && integers[slot] != 0; }

// A rule index outside its list counts as the list's first entry.
int Rule(const std::int32_t* integers, int slot, int count) {
  int value = integers ? integers[slot] : 0;
  return value >= 0 && value < count ? value : 0;
}

CrcRange Range(const std::int32_t* numbers) {
  CrcRange range;
  if (numbers) {
    range.offset = numbers[0];
    range.length = numbers[1];
  }
  return range;
}

}  // namespace

ImportJob ImportJobFromArrays(const std::int32_t* integers, const char* const* texts,
                              const std::int32_t* numbers) {
  ImportJob job;
  job.path = Text(texts, kTextPath);
  while (job.path.size() > 1 && EndsWithSeparator(job.path)) job.path.pop_back();
  job.machine = Text(texts, kTextMachine);
  job.media = Text(texts, kTextMedia);
  job.genre = Text(texts, kTextGenre);
  job.year = Text(texts, kTextYear);
  job.countryMarks = Text(texts, kTextCountryMarks);
  job.searchSubFolders = Flag(integers, kSlotSearchSubFolders);
  job.searchArchives = Flag(integers, kSlotSearchArchives);
  job.titleRule = Rule(integers, kSlotTitleRule, 5);
  job.makerRule = Rule(integers, kSlotMakerRule, 3);
  job.versionRule = Rule(integers, kSlotVersionRule, 4);
  job.adult = Flag(integers, kSlotAdult);
  job.yearFromPath = Flag(integers, kSlotYearFromPath);
  job.countryFromPath = Flag(integers, kSlotCountryFromPath);
  job.countryDefaultFirst = Flag(integers, kSlotDefaultCountry);
  job.countryWithoutBrackets = Flag(integers, kSlotStripCountryBrackets);
  job.groupArchiveMembers = Flag(integers, kSlotArchiveSets);
  job.memberInTitle = job.groupArchiveMembers && Flag(integers, kSlotMemberInTitle);
  job.groupFolderImages = Flag(integers, kSlotFolderSets);
  job.crc.crc32 = Flag(integers, kSlotCrc32);
  job.crc.crc16 = Flag(integers, kSlotCrc16);
  job.crcRange = Range(numbers);
  job.overwrite = Flag(integers, kSlotOverwrite);
  job.keepFavourites = job.overwrite && Flag(integers, kSlotKeepFavourites);
  return job;
}

RecalcJob RecalcJobFromArrays(const std::int32_t* integers, const char* const* texts,
                              const std::int32_t* numbers) {
  RecalcJob job;
  job.machine = Text(texts, kTextMachine);
  job.parentsOnly = Flag(integers, kSlotParentsOnly);
  job.crc.crc32 = Flag(integers, kSlotCrc32);
  job.crc.crc16 = Flag(integers, kSlotCrc16);
  job.crcRange = Range(numbers);
  return job;
}

}  // namespace vel
