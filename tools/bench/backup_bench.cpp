// Backup benchmark: generates N image files, backs them up the way the
// backup window does (the shell's copy on Windows, a plain file copy
// elsewhere) and sets the time beside a plain file copy of the same files
// in the same run (under Windows also with the copy done file by file, to
// tell the run's own cost from the shell's); the ratio is the backup's throughput against the plain
// copy's (the target is at least 0.8). A second row backs up ZIP members with
// extraction on, for information.
//   backup_bench [N=200] [KiB per file=1024] [folder] [rounds=5]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "db/library_connection.h"
#include "db/schema.h"
#include "editing/image_backup.h"
#include "launch/archive_names.h"
#include "maintenance/import_rules.h"
#include "platform/archivers.h"
#include "platform/file_operations.h"
#include "platform/folder_tree.h"
#include "platform/system.h"
#include "zip_fixture.h"
#ifdef _WIN32
#include <objbase.h>

#include "editing/backup_copier_win.h"
#include "platform/shell_copy_win.h"
#endif

namespace {

using Clock = std::chrono::steady_clock;
using namespace vel;

double Seconds(Clock::duration d) { return std::chrono::duration<double>(d).count(); }

class NoArchivers : public ArchiverSet {
 public:
  Archiver* Loaded(ArchiverId) override { return nullptr; }
};

// The program's copier (the shell's copy on Windows); elsewhere, and for the
// row that tells the run's own cost from the copy's, the files one by one
// as the plain copy does it.
class BenchCopier : public BackupCopier {
 public:
  bool program = true;
  BackupCopyResult Copy(const std::vector<BackupFile>& files, const std::string& destination) override {
#ifdef _WIN32
    if (program) return ShellBackupCopier(nullptr).Copy(files, destination);
#endif
    for (const BackupFile& f : files)
      if (!CopyOneFile(f.source, JoinFolder(destination, f.targetName), CopyMode::kOverwrite))
        return BackupCopyResult::kFailed;
    return BackupCopyResult::kCopied;
  }
};

std::string OnDisk(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  return NativePath(path);
#endif
}

void PutBytes(const std::string& path, const std::string& bytes) {
  std::ofstream out(OnDisk(path), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

void Fresh(const std::string& folder) {
  if (DirectoryExists(folder)) RemoveFolderTree(folder);
  CreateFolder(folder);
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 200;
  const int kib = argc > 2 ? std::atoi(argv[2]) : 1024;
  std::string base = argc > 3 && argv[3][0] ? argv[3] : CurrentDirectory() + "\\backup_bench";
  const int rounds = argc > 4 ? std::max(1, std::atoi(argv[4])) : 5;
#ifdef _WIN32
  // The backup window's worker has an apartment for the shell's copy.
  CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
#endif
  Fresh(base);
  const std::string images = base + "\\images", plainOut = base + "\\plain", backupOut = base + "\\backup";
  CreateFolder(images);
  std::string data(static_cast<size_t>(kib) * 1024, '\0');
  for (size_t i = 0; i < data.size(); ++i) data[i] = static_cast<char>((i * 2654435761u) >> 13);
  std::vector<std::string> plainKeys, memberKeys;
  for (int i = 0; i < count; ++i) {
    const std::string name = "image" + std::to_string(i);
    PutBytes(images + "\\" + name + ".d88", data);
    plainKeys.push_back(images + "\\" + name + ".d88");
    if (i < count / 4) {
      PutBytes(images + "\\" + name + ".zip", test::MakeZip({{"game.d88", data, false}}));
      memberKeys.push_back(images + "\\" + name + ".zip*game.d88");
    }
  }
  LibraryConnection db;
  db.Open(base + "\\bench.db", "");  // the connection names the file as the platform does
  if (CreateOrUpgradeSchema(db)) {
    std::fprintf(stderr, "cannot create the library\n");
    return 1;
  }
  NoArchivers archivers;
  BenchCopier copier;
  StopFlag stop{kRunRunning};

  auto plainCopy = [&](const std::vector<std::string>& keys) {
    Fresh(plainOut);
    auto start = Clock::now();
    for (const std::string& key : keys) CopyOneFile(key, JoinFolder(plainOut, NameOf(key)), CopyMode::kOverwrite);
    return Seconds(Clock::now() - start);
  };
  auto backup = [&](const std::vector<std::string>& keys, bool extract) {
    Fresh(backupOut);
    BackupJob job;
    for (const std::string& key : keys) job.items.push_back({key, false});
    job.destination = backupOut;
    job.tempFolder = BackupTempFolder(base);
    job.extractMembers = extract;
    auto start = Clock::now();
    BackupOutcome outcome = RunImageBackup(db, archivers, job, copier, stop, nullptr);
    double seconds = Seconds(Clock::now() - start);
    if (outcome.end != BackupEnd::kCompleted) std::fprintf(stderr, "the backup did not complete\n");
    return seconds;
  };

  const double megabytes = static_cast<double>(count) * kib / 1024.0;
  std::printf("%d files of %d KiB (%.0f MiB), %d rounds\n", count, kib, megabytes, rounds);
  std::printf("%-34s %10s %10s %8s\n", "run", "plain s", "backup s", "ratio");
  std::vector<double> ratios, fileByFile, shellAlone;
  for (int round = 0; round < rounds; ++round) {
    // Alternated so that neither always meets a warm cache.
    double b = backup(plainKeys, false);
    double p = plainCopy(plainKeys);
    ratios.push_back(p / b);
    std::printf("%-34s %10.3f %10.3f %8.2f\n", "plain files", p, b, p / b);
#ifdef _WIN32
    // The same run with the copy itself done as the plain copy does it:
    // what the run adds around the shell's copy.
    copier.program = false;
    b = backup(plainKeys, false);
    copier.program = true;
    fileByFile.push_back(p / b);
    std::printf("%-34s %10.3f %10.3f %8.2f\n", "plain files, without the shell", p, b, p / b);
    // The shell's copy alone, without the run around it.
    Fresh(backupOut);
    std::vector<std::string> targets;
    for (const std::string& key : plainKeys) targets.push_back(JoinFolder(backupOut, NameOf(key)));
    auto start = Clock::now();
    ShellCopyFiles(plainKeys, targets, nullptr);
    b = Seconds(Clock::now() - start);
    shellAlone.push_back(p / b);
    std::printf("%-34s %10.3f %10.3f %8.2f\n", "the shell's copy alone", p, b, p / b);
#endif
  }
  auto median = [](std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0.0 : v[v.size() / 2];
  };
  std::printf("median ratio: backup %.2f (target 0.80: %s)", median(ratios), median(ratios) >= 0.8 ? "met" : "NOT met");
  if (!fileByFile.empty())
    std::printf(", without the shell %.2f, the shell's copy alone %.2f", median(fileByFile), median(shellAlone));
  std::printf("\n");
  if (!memberKeys.empty()) {
    std::vector<std::string> zips;
    for (const std::string& key : memberKeys) zips.push_back(key.substr(0, key.find('*')));
    double p = plainCopy(zips);
    double b = backup(memberKeys, true);
    std::printf("%-34s %10.3f %10.3f %8.2f\n", "ZIP members, extracted (info)", p, b, p / b);
  }
  db.Close();
  RemoveFolderTree(base);
  return 0;
}
