#pragma once
// The search of the disk for an import: which files are candidates (the
// machine's extensions, and archives when asked), folder by folder, and the
// images inside an archive.
#include <string>
#include <vector>

namespace vel {

class ImageCrcReader;
class ImportProgress;
struct ImportJob;

// Archives whose members an import can list: zip (read by us), lzh, rar, 7z.
bool IsArchiveName(const std::string& name);

struct FolderFiles {
  std::string folder;
  std::vector<std::string> files;  // full paths, in natural name order
};

// The candidate files under the options' path (a single file is its own
// candidate). Names CP932 cannot hold and folders that cannot be read are
// logged, left out and counted in `skipped`; `stopped` is set when a stop
// was requested during the walk.
std::vector<FolderFiles> FindCandidateFiles(const ImportJob& options,
                                            const std::vector<std::string>& extensions,
                                            ImportProgress& progress, bool& stopped, int& skipped);

// The library keys of the images inside an archive, in natural name order
// (members of other extensions left out). A ZIP's directory, or another
// archive's listing, is read through `archives`, which keeps it for the
// members' CRCs. Problems are logged and
// counted in `skipped`: an archive that cannot be read (once; it gives no
// images) and each image whose name cannot be held.
std::vector<std::string> ArchiveImages(const std::string& archivePath,
                                       const std::vector<std::string>& extensions,
                                       ImageCrcReader& archives, ImportProgress& progress, int& skipped);

}  // namespace vel
