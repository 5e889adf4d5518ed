#include "editing/backup_copier_win.h"

#include "launch/archive_names.h"
#include "platform/shell_copy_win.h"

namespace vel {

BackupCopyResult ShellBackupCopier::Copy(const std::vector<BackupFile>& files, const std::string& destination) {
  std::vector<std::string> sources, targets;
  for (const BackupFile& file : files) {
    sources.push_back(file.source);
    targets.push_back(JoinFolder(destination, file.targetName));
  }
  switch (ShellCopyFiles(sources, targets, owner_)) {
    case ShellCopyResult::kCopied: return BackupCopyResult::kCopied;
    case ShellCopyResult::kCancelled: return BackupCopyResult::kCancelled;
    case ShellCopyResult::kFailed: break;
  }
  return BackupCopyResult::kFailed;
}

}  // namespace vel
