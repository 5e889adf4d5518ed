#pragma once
// Creating a folder that must be new, and removing a folder with everything
// in it. Paths are the program's CP932 text.
#include <string>

namespace vel {

enum class NewFolderResult { kCreated, kAlreadyExists, kFailed };
// Creates one folder; an existing file or folder of that name is reported
// as kAlreadyExists and left alone.
NewFolderResult CreateNewFolder(const std::string& path);

// Removes the folder, its files and its sub-folders. A link found inside
// (symbolic link, junction or other reparse point) is removed as a link: what
// it points to is never entered. A folder that is itself a link is removed
// as a link. False when anything could not be removed (what could be is gone).
bool RemoveFolderTree(const std::string& path);

}  // namespace vel
