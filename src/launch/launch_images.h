#pragma once
// The image list of a launch: which files the emulator gets (the item's own
// or its set's, extracted, copied or alter-ego copies), the boot slot, the
// renaming plan and the quotes.
#include <string>
#include <utility>
#include <vector>

#include "launch/placeholders.h"

namespace vel {

// One image of the item's set as the library has it (for an alter ego only
// `fileName`, the copy's path).
struct ImageRow {
  std::string fileName;  // archive path, "*" and member for an archive member
  std::string arcTitle, arcExt, fileTitle, fileExt;
};

// The query of the set's images, in launch order. `diskCount` is the item's
// disk-count column (0 means 1).
std::string ImageListStatement(const std::string& key, int diskCount, bool alterEgo);
std::vector<ImageRow> ImageRowsFromResult(LibraryConnection& db, bool alterEgo);

struct ImageListSettings {
  int extract = 0;            // Extract (0 for an alter ego)
  std::string extractPath;    // without trailing backslash
  int imageFnReplace = 0;
  bool doubleQuote = false;   // double_quart
  bool alterEgo = false;
  int bootDisk = 0;           // 0 = none chosen
};

struct ImagePlan {
  ImageList images{};  // slot 0 the boot image, 1..count the set
  int count = 0;
  // Renames to make before the launch, only of images whose name changes.
  struct Rename {
    int image = 0;  // the image's own number, 1..n
    std::string from, to;
  };
  std::vector<Rename> renames;
  // Not empty when an image path is too long for the emulator's command line
  // buffers: the launch is refused with this text (CP932).
  std::string error;
};

// Slots with the renaming applied (renaming applies when ImageFnReplace > 0
// and Extract is 2 or the item is an alter ego) and, with double_quart, each
// non-empty slot in double quotes.
ImagePlan PlanImages(const std::vector<ImageRow>& rows, const ImageListSettings& settings);

// Remembers the name a launch gave alter-ego image `index` (1-based).
std::string AlterEgoRenameStatement(const std::string& key, int index, const std::string& name);

}  // namespace vel
