#include "launch/snapshot_filing.h"

#include <algorithm>
#include <cctype>

#include "display/snapshot_lookup.h"
#include "launch/snapshot_capture.h"
#include "platform/directory.h"
#include "platform/file_operations.h"
#include "platform/input_file.h"
#include "platform/output_file.h"
#include "platform/system.h"

namespace vel {

std::string LowerExtension(const std::string& name) {
  size_t dot = name.find_last_of('.');
  if (dot == std::string::npos || name.find('\\', dot) != std::string::npos) return "";
  std::string extension = name.substr(dot + 1);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension;
}

namespace {

bool IsPictureName(const std::string& name) {
  std::string e = LowerExtension(name);
  return e == "bmp" || e == "png" || e == "gif" || e == "jpg";
}

std::string Joined(const std::string& folder, const std::string& name) {
  return folder.empty() || folder.back() == '\\' ? folder + name : folder + "\\" + name;
}

}  // namespace

PictureRecord RecordPictures(const std::string& folder) {
  PictureRecord record;
  if (folder.empty()) return record;
  for (const FolderEntry& entry : ListFolder(folder).entries) {
    if (entry.isFolder || !IsPictureName(entry.name)) continue;
    record[entry.name] = {entry.size, LastWriteStamp(Joined(folder, entry.name))};
  }
  return record;
}

std::vector<std::string> NewPictures(const std::string& folder, const PictureRecord& before,
                                     const std::vector<std::string>& skip) {
  std::vector<std::string> found;
  for (const auto& [name, state] : RecordPictures(folder)) {
    std::string path = Joined(folder, name);
    if (std::find(skip.begin(), skip.end(), path) != skip.end()) continue;
    auto old = before.find(name);
    if (old == before.end() || old->second != state) found.push_back(path);
  }
  return found;
}

SnapFolders ResolveSnapFolders(const std::string (&columns)[3], const SnapshotSettings& settings) {
  SnapFolders folders;
  for (int i = 0; i < 3; ++i)
    folders.folder[i] = settings.relativeToBase ? ResolveRelativeFolder(columns[i], settings.baseFolder) : columns[i];
  return folders;
}

bool CopyWhole(const std::string& from, const std::string& to) {
  if (to.empty() || to.size() + 4 > 259) return false;
  if (FileExists(to) && IsReadOnlyFile(to)) return false;  // kept as the user made it
  const std::string beside = to + ".new";
  InputFile in;
  OutputFile out;
  bool copied = in.Open(from) && out.Create(beside);
  std::vector<char> buffer(1 << 16);
  for (std::int64_t at = 0; copied;) {
    std::int64_t got = in.ReadAt(at, buffer.data(), buffer.size());
    if (got < 0) copied = false;
    if (got <= 0) break;
    copied = out.Write(buffer.data(), static_cast<size_t>(got));
    at += got;
  }
  copied = out.Close() && copied;
  if (copied && ReplaceWithFile(beside, to)) return true;
  RemoveFile(beside);
  return false;
}

int FilePicture(const std::string& picture, const std::string& folder, const std::vector<std::string>& names) {
  if (folder.empty()) return kSnapFolderUnset;
  if (!DirectoryExists(folder)) return kSnapFolderMissing;
  if (names.empty()) return kSnapBadName;
  std::string extension = LowerExtension(picture);
  for (const std::string& name : names) {
    std::string target = SnapshotPath(folder, name, extension);
    if (target.empty() || !CopyWhole(picture, target)) return kSnapCopyFailed;
  }
  return kSnapFiledFromFolder;
}

}  // namespace vel
