#pragma once
// Copying files and their attributes (hidden, read-only), as the launcher
// and the configuration list need them. Paths are the program's CP932 text.
#include <string>

namespace vel {

enum class CopyMode { kKeepExisting, kOverwrite };
// Copies a file. With kKeepExisting an existing target is left alone and the
// call fails. False when nothing was copied.
bool CopyOneFile(const std::string& from, const std::string& to, CopyMode mode);
// Renames (moves) a file; false when it could not be renamed. Never replaces
// an existing target.
bool RenameFile(const std::string& from, const std::string& to);
// Moves `replacement` over `target` in one step, so that the target is never
// missing or half written in between; false when it could not be moved.
bool ReplaceWithFile(const std::string& replacement, const std::string& target);

bool IsHiddenFile(const std::string& path);
// Sets or clears the hidden attribute; false when the file is missing.
bool SetHiddenFile(const std::string& path, bool hidden);
bool IsReadOnlyFile(const std::string& path);
// Clears every attribute (read-only, hidden, system) to normal.
bool ClearFileAttributes(const std::string& path);

}  // namespace vel
