#include "maintenance/image_scanner.h"

#include <algorithm>

#include "maintenance/archive_lister.h"
#include "maintenance/image_crc.h"
#include "maintenance/import_job.h"
#include "maintenance/import_progress.h"
#include "maintenance/import_rules.h"
#include "maintenance/zip_directory.h"
#include "platform/codepage.h"
#include "platform/directory.h"
#include "platform/system.h"

namespace vel {
namespace {

bool IsCandidate(const std::string& name, const ImportJob& options,
                 const std::vector<std::string>& extensions) {
  return MatchesExtensions(name, extensions) || (options.searchArchives && IsArchiveName(name));
}

void Walk(const std::string& folder, const ImportJob& options,
          const std::vector<std::string>& extensions, ImportProgress& progress,
          std::vector<FolderFiles>& out, bool& stopped, int& skipped) {
  if (progress.StopRequested()) {
    stopped = true;
    return;
  }
  progress.Item(folder);
  FolderListing listing = ListFolder(folder);
  if (!listing.opened) {
    progress.Log(Jp("フォルダを読み込めません: ") + folder);
    ++skipped;
    return;
  }
  for (const FolderEntry& entry : listing.unrepresentable)
    if (entry.isFolder ? options.searchSubFolders : IsCandidate(entry.name, options, extensions)) {
      progress.Log(Jp("Shift_JIS で表せない文字を含む名前のためスキップしました: ") + folder + "\\" +
                   entry.name);
      ++skipped;
    }
  FolderFiles here{folder, {}};
  std::vector<std::string> subFolders;
  for (const FolderEntry& entry : listing.entries) {
    if (entry.isFolder)
      subFolders.push_back(entry.name);
    else if (IsCandidate(entry.name, options, extensions))
      here.files.push_back(entry.name);
  }
  auto natural = [](const std::string& a, const std::string& b) { return NaturalCompare(a, b) < 0; };
  std::sort(here.files.begin(), here.files.end(), natural);
  for (std::string& name : here.files) name = folder + "\\" + name;
  if (!here.files.empty()) out.push_back(std::move(here));
  if (!options.searchSubFolders) return;
  std::sort(subFolders.begin(), subFolders.end(), natural);
  for (const std::string& name : subFolders) {
    Walk(folder + "\\" + name, options, extensions, progress, out, stopped, skipped);
    if (stopped) return;
  }
}

}  // namespace

bool IsArchiveName(const std::string& name) {
  std::string ext = LowerAscii(ExtensionOf(name));
  return ext == "zip" || ext == "lzh" || ext == "rar" || ext == "7z";
}

std::vector<FolderFiles> FindCandidateFiles(const ImportJob& options,
                                            const std::vector<std::string>& extensions,
                                            ImportProgress& progress, bool& stopped, int& skipped) {
  std::vector<FolderFiles> out;
  stopped = false;
  if (FileExists(options.path)) {
    std::string folder = options.path.substr(0, options.path.size() - NameOf(options.path).size());
    if (!folder.empty()) folder.pop_back();  // the separator
    out.push_back({folder, {options.path}});
    return out;
  }
  Walk(options.path, options, extensions, progress, out, stopped, skipped);
  return out;
}

std::vector<std::string> ArchiveImages(const std::string& archivePath,
                                       const std::vector<std::string>& extensions,
                                       ImageCrcReader& archives, ImportProgress& progress, int& skipped) {
  std::vector<std::string> images;
  auto logSkipped = [&](const std::string& why) {
    progress.Log(why + ": " + archivePath);
    ++skipped;
  };
  if (LowerAscii(ExtensionOf(archivePath)) == "zip") {
    const ZipDirectory& zip = archives.Zip(archivePath);
    if (zip.status != ZipStatus::kOk) {
      logSkipped(ZipStatusText(zip.status));
      return images;
    }
    for (const std::string& name : zip.skippedNames)
      if (MatchesExtensions(name, extensions)) {
        progress.Log(Jp("Shift_JIS で表せない文字を含む名前のためスキップしました: ") + archivePath + "*" +
                     name);
        ++skipped;
      }
    for (const ZipMember& member : zip.members)
      if (MatchesExtensions(member.name, extensions))
        images.push_back(archivePath + "*" + member.name);
  } else {
    // Listed once: the listing also gives the members' CRCs.
    const ListedArchive& listed = archives.Listed(archivePath);
    if (!listed.ok) {
      logSkipped(listed.problem.empty() ? Jp("アーカイブを読み込めません") : listed.problem);
      return images;
    }
    for (const ArchiveMember& member : listed.members) {
      const std::string& name = member.name;
      if (name.empty() || name.find('*') != std::string::npos) continue;
      if (MatchesExtensions(name, extensions)) images.push_back(archivePath + "*" + name);
    }
  }
  std::sort(images.begin(), images.end(), [](const std::string& a, const std::string& b) {
    return NaturalCompare(KeyMember(a), KeyMember(b)) < 0;
  });
  return images;
}

}  // namespace vel
