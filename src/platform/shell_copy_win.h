#pragma once
// The shell's file copy with its own progress and confirmation dialogs.
#include <string>
#include <vector>

namespace vel {

enum class ShellCopyResult { kCopied, kCancelled, kFailed };

// Copies each source to the target of the same position (full paths, the
// program's CP932 text), through the wide form of the shell's operation so
// that no path is bound to 260 bytes. A copy the user cancels in the
// shell's dialogs is kCancelled, never a success. Under Wine, whose shell
// shows no progress, only the files that replace one go through the shell
// (with its confirmation); the others are copied directly.
ShellCopyResult ShellCopyFiles(const std::vector<std::string>& sources, const std::vector<std::string>& targets,
                               void* owner);

}  // namespace vel
