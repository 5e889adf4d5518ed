#pragma once
// CRCs of a library item by its key: a plain file, or a member of a ZIP file
// (the directory of the last ZIP read is kept for the next member).
#include <string>

#include "maintenance/crc.h"
#include "maintenance/zip_directory.h"
#include "platform/input_file.h"

namespace vel {

class ImageCrcReader {
 public:
  CrcResult Compute(const std::string& key, CrcRange range, CrcWanted wanted);
  // The directory of a ZIP file, read once and kept until another is asked for.
  const ZipDirectory& Zip(const std::string& path);

 private:
  std::string zipPath_;
  InputFile zipFile_;
  ZipDirectory zip_;
};

}  // namespace vel
