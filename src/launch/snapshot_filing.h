#pragma once
// Filing pictures as an item's snapshots after a run: which pictures of the
// extraction folder are new, where they go, and copying each whole (beside
// the target, then moved into place) so that a failure keeps the old file.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vel {

struct SnapshotSettings;

// Pictures (bmp, png, gif, jpg) of a folder with their size and last write,
// by name; recorded when the emulator starts.
using PictureRecord = std::map<std::string, std::pair<std::int64_t, std::int64_t>>;
PictureRecord RecordPictures(const std::string& folder);
// The pictures of `folder` that are not in `before` or changed since, in
// name order; `skip` names files left out (the session's own captures).
std::vector<std::string> NewPictures(const std::string& folder, const PictureRecord& before,
                                     const std::vector<std::string>& skip = {});

// The item's three snapshot folders as the snapshot lookup reads them
// (relative ones resolved by its own rule); "" for an unset folder.
struct SnapFolders {
  std::string folder[3];
};
SnapFolders ResolveSnapFolders(const std::string (&columns)[3], const SnapshotSettings& settings);

// Copies `from` to `to` whole or not at all: the old target is only replaced
// by a complete copy.
bool CopyWhole(const std::string& from, const std::string& to);

// Files one picture into `folder` under every name: 10 for an unset folder,
// 11 for a missing one, 12 without names, 201 for a failed copy, else 2.
int FilePicture(const std::string& picture, const std::string& folder, const std::vector<std::string>& names);

// The extension of a file name without the dot, in lower case ("" if none).
std::string LowerExtension(const std::string& name);

}  // namespace vel
