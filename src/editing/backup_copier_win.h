#pragma once
// The backup's copy on Windows: the shell's copy with its own progress and
// confirmation dialogs over the backup window.
#include <string>
#include <vector>

#include "editing/image_backup.h"

namespace vel {

class ShellBackupCopier : public BackupCopier {
 public:
  explicit ShellBackupCopier(void* owner) : owner_(owner) {}
  BackupCopyResult Copy(const std::vector<BackupFile>& files, const std::string& destination) override;

 private:
  void* owner_;  // the window the shell's dialogs stand over
};

}  // namespace vel
