// Backup of the selected items' image files: sizes, the destination checks,
// the names at the destination, and whole runs with extraction, sets,
// skipped members, a cancelled or failed copy and the clean-up of the work
// folder.
#include "editing/image_backup.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>

#include "db/library_connection.h"
#include "db/schema.h"
#include "launch/archive_names.h"
#include "launch/launch_test_files.h"
#include "platform/archivers.h"
#include "platform/codepage.h"
#include "platform/file_operations.h"
#include "platform/system.h"
#include "test_support.h"
#include "zip_fixture.h"

namespace vel {
namespace {

using test::FileText;
using test::ProgramPath;
using test::PutFile;

TEST(ImageBackup, SizesAreShownInTheirLargestUnitBeyondFourGigabytes) {
  struct Case {
    std::uint64_t bytes;
    const char* text;
  } cases[] = {
      {0, "0.00 KByte"},
      {1536, "1.50 KByte"},
      {1024ull * 1024 - 1, "1024.00 KByte"},
      {1024ull * 1024 * 12, "12.00 MByte"},
      {1024ull * 1024 * 1024 * 6 + 1024ull * 1024 * 512, "6.50 GByte"},
      {1024ull * 1024 * 1024 * 1024 * 3, "3072.00 GByte"},
  };
  for (const Case& c : cases) EXPECT_EQ(BackupSizeText(c.bytes), c.text) << c.bytes;
}

TEST(ImageBackup, InsideTheWorkFolderIsDecidedByCharacterAndComponent) {
  const std::string temp = "C:\\base\\TEMP\\RomCopyTemp";
  // "表" is 0x95 0x5C: its trail byte is no separator.
  const std::string hyou = "\x95\x5C";
  struct Case {
    std::string path, folder;
    bool inside;
  } cases[] = {
      {temp, temp, true},
      {"c:\\BASE\\temp\\romcopytemp\\", temp, true},
      {"C:/base/TEMP/RomCopyTemp/1", temp, true},
      {"C:\\base\\TEMP\\.\\x\\..\\RomCopyTemp\\sub", temp, true},
      {"C:\\base\\\\TEMP\\RomCopyTemp", temp, true},
      {"C:\\base\\TEMP\\RomCopyTemp2", temp, false},
      {"C:\\base\\TEMP", temp, false},
      {"D:\\base\\TEMP\\RomCopyTemp", temp, false},
      {"C:\\base\\TEMP\\RomCopyTemp\\..\\other", temp, false},
      {"C:\\" + hyou + "\\RomCopyTemp", "C:\\\x95", false},
      {"C:\\" + hyou + "\\RomCopyTemp", "C:\\" + hyou, true},
      {"\\\\server\\share\\x", "\\\\server\\share", true},
      {"C:\\x", "", false},
  };
  for (const Case& c : cases) EXPECT_EQ(IsInsideFolder(c.path, c.folder), c.inside) << c.path << " in " << c.folder;
}

TEST(ImageBackup, DestinationIsRefusedWhenEmptyInsideTheWorkFolderOrMissing) {
  test::TempFolder folder;
  const std::string base = folder.Path();
  const std::string temp = BackupTempFolder(base);
  EXPECT_EQ(temp, base + "\\TEMP\\RomCopyTemp");
  ASSERT_TRUE(CreateFolder(base + "\\TEMP") && CreateFolder(temp) && CreateFolder(base + "\\out"));
  struct Case {
    std::string destination;
    std::optional<std::string> refusal;
  } cases[] = {
      {"", Jp("バックアップ先のフォルダを指定してください。")},
      {temp, Jp("作業用のフォルダにはバックアップできません。\n") + temp},
      {temp + "\\1", Jp("作業用のフォルダにはバックアップできません。\n") + temp + "\\1"},
      {base + "\\missing", Jp("バックアップ先のフォルダが見つかりません。\n") + base + "\\missing"},
      {base + "\\out", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(BackupDestinationRefusal(c.destination, temp), c.refusal) << c.destination;
}

TEST(ImageBackup, TargetNamesNeverRepeatIgnoringCase) {
  BackupTargetNames names;
  const char* given[] = {"game.d88", "GAME.D88", "game.d88", "readme", "readme", ".hidden", ".hidden",
                         "x.tar.gz", "x.tar.gz", "game (2).d88"};
  const char* expected[] = {"game.d88", "GAME (2).D88", "game (3).d88", "readme", "readme (2)", ".hidden",
                            ".hidden (2)", "x.tar.gz", "x.tar (2).gz", "game (2) (2).d88"};
  for (size_t i = 0; i < std::size(given); ++i) EXPECT_EQ(names.Take(given[i]), expected[i]) << given[i];
}

class NoArchivers : public ArchiverSet {
 public:
  Archiver* Loaded(ArchiverId) override { return nullptr; }
};

// Copies as the shell would, or stops after some files as a cancel does.
class RecordingCopier : public BackupCopier {
 public:
  std::optional<size_t> cancelAfter;
  bool fail = false;
  std::optional<std::uint64_t> available;
  int calls = 0;
  std::vector<BackupFile> handed;

  BackupCopyResult Copy(const std::vector<BackupFile>& files, const std::string& destination) override {
    ++calls;
    handed = files;
    for (size_t i = 0; i < files.size(); ++i) {
      if (cancelAfter && i == *cancelAfter) return fail ? BackupCopyResult::kFailed : BackupCopyResult::kCancelled;
      if (!CopyOneFile(files[i].source, JoinFolder(destination, files[i].targetName), CopyMode::kOverwrite))
        return BackupCopyResult::kFailed;
    }
    return BackupCopyResult::kCopied;
  }
  bool FreeSpace(const std::string& destination, std::uint64_t& space) override {
    if (!available) return BackupCopier::FreeSpace(destination, space);
    space = *available;
    return true;
  }
};

class ImageBackupRun : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "Velmarook.db", "");
    ASSERT_FALSE(CreateOrUpgradeSchema(db));
    ASSERT_TRUE(CreateFolder(Path("images")) && CreateFolder(Path("out")));
    PutFile(Path("images\\plain.d88"), "plain");
    PutFile(Path("images\\a.zip"), test::MakeZip({{"game.d88", "from a", true}, {"dir/sub.d88", "sub of a"}}));
    PutFile(Path("images\\b.zip"), test::MakeZip({{"GAME.d88", "from b"}}));
    PutFile(Path("images\\c.lzh"), "not read");
    PutFile(Path("images\\disk1.d88"), "disk 1");
    PutFile(Path("images\\disk2.d88"), "disk 2");
    ASSERT_FALSE(db.Query("INSERT INTO main_table(file_name, ply, ply_file_name) VALUES('" + Quote(Path("images\\disk1.d88")) +
                          "',1,'" + Quote(Path("images\\disk1.d88")) + "'),('" + Quote(Path("images\\disk2.d88")) +
                          "',2,'" + Quote(Path("images\\disk1.d88")) + "');"));
    job.destination = Path("out");
    job.tempFolder = BackupTempFolder(folder.Path());
  }
  std::string Path(const std::string& name) const { return ProgramPath(folder, name); }
  std::string Member(const std::string& archive, const std::string& member) const {
    return Path("images\\" + archive) + "*" + member;
  }
  std::string Out(const std::string& name) const { return FileText(Path("out\\" + name)); }
  BackupOutcome Run() {
    stop = kRunRunning;
    return RunImageBackup(db, archivers, job, copier, stop, [&](const std::string& line) { statuses.push_back(line); });
  }

  test::TempFolder folder;
  LibraryConnection db;
  NoArchivers archivers;
  RecordingCopier copier;
  BackupJob job;
  StopFlag stop{kRunEnded};
  std::vector<std::string> statuses;
};

TEST_F(ImageBackupRun, ExtractedMembersOfTheSameNameKeepTheirOwnContents) {
  job.extractMembers = true;
  job.items = {{Path("images\\plain.d88"), false},
               {Member("a.zip", "game.d88"), false},
               {Member("b.zip", "GAME.d88"), false},
               {Member("a.zip", "dir\\sub.d88"), false},
               {Member("c.lzh", "x.d88"), false},
               {Path("images\\disk1.d88"), true}};
  BackupOutcome outcome = Run();
  EXPECT_EQ(outcome.end, BackupEnd::kCompleted);
  EXPECT_EQ(Out("plain.d88"), "plain");
  EXPECT_EQ(Out("game.d88"), "from a");
  EXPECT_EQ(Out("GAME (2).d88"), "from b");
  EXPECT_EQ(Out("sub.d88"), "sub of a");  // under its own name only
  EXPECT_EQ(Out("disk1.d88"), "disk 1");
  EXPECT_EQ(Out("disk2.d88"), "disk 2");  // the set's child goes with its parent
  ASSERT_EQ(outcome.skipped.size(), 1u);
  EXPECT_EQ(outcome.skipped[0], Path("images\\c.lzh") + Jp(" スキップ\n解凍に必要なDLLが見つかりません。"));
  EXPECT_EQ(outcome.files.size(), 6u);
  EXPECT_EQ(outcome.bytes, 5u + 6 + 6 + 8 + 6 + 6);
  EXPECT_FALSE(DirectoryExists(job.tempFolder));
  EXPECT_TRUE(outcome.tempRemoved);
  BackupReport report = BackupResultText(outcome, job.tempFolder);
  EXPECT_TRUE(report.success);
  EXPECT_EQ(report.text, Jp("バックアップが完了しました\n\nバックアップしなかったファイル:\n") + outcome.skipped[0]);
  EXPECT_EQ(statuses.front(), Jp("バックアップ中です・・"));
}

TEST_F(ImageBackupRun, WithoutExtractionAnArchiveGoesOnceAndKeysAreNotRepeated) {
  job.items = {{Member("a.zip", "game.d88"), false},
               {Member("a.zip", "dir\\sub.d88"), false},
               {Path("images\\disk1.d88"), true},
               {Path("images\\disk2.d88"), false}};
  BackupOutcome outcome = Run();
  EXPECT_EQ(outcome.end, BackupEnd::kCompleted);
  ASSERT_EQ(copier.handed.size(), 3u);
  EXPECT_EQ(copier.handed[0].source, Path("images\\a.zip"));
  EXPECT_EQ(copier.handed[1].source, Path("images\\disk1.d88"));
  EXPECT_EQ(copier.handed[2].source, Path("images\\disk2.d88"));
  EXPECT_EQ(Out("a.zip"), FileText(Path("images\\a.zip")));
  EXPECT_FALSE(DirectoryExists(job.tempFolder));
}

TEST_F(ImageBackupRun, AFailedOrCancelledCopyTakesBackOnlyItsNewFiles) {
  for (bool fail : {false, true}) {
    PutFile(Path("out\\disk1.d88"), "kept from before");
    RemoveFile(Path("out\\plain.d88"));
    copier.cancelAfter = 2;  // plain and disk1 were copied, then the copy ends
    copier.fail = fail;
    job.items = {{Path("images\\plain.d88"), false}, {Path("images\\disk1.d88"), true}};
    BackupOutcome outcome = Run();
    EXPECT_EQ(outcome.end, fail ? BackupEnd::kCopyFailed : BackupEnd::kCancelled);
    EXPECT_FALSE(FileExists(Path("out\\plain.d88")));
    EXPECT_FALSE(FileExists(Path("out\\disk2.d88")));
    // A file that was there before is the user's: never removed.
    EXPECT_TRUE(FileExists(Path("out\\disk1.d88")));
    EXPECT_FALSE(DirectoryExists(job.tempFolder));
    BackupReport report = BackupResultText(outcome, job.tempFolder);
    EXPECT_FALSE(report.success);
    EXPECT_EQ(report.text, fail ? Jp("バックアップできませんでした")
                                : Jp("バックアップできませんでした\nコピーが取り消されました。"));
  }
}

TEST_F(ImageBackupRun, RunsThatCannotCopyAnythingAreNoSuccess) {
  struct Case {
    const char* name;
    std::vector<BackupItem> items;
    bool stopFirst;
    std::optional<std::uint64_t> available;
    BackupEnd end;
    std::string text;
  } cases[] = {
      {"nothing selected", {}, false, std::nullopt, BackupEnd::kNothingToCopy,
       Jp("バックアップできませんでした\nバックアップするファイルがありません。")},
      {"every member skipped", {{Member("c.lzh", "x.d88"), false}, {Member("a.zip", "none.d88"), false}}, false,
       std::nullopt, BackupEnd::kNothingToCopy,
       Jp("バックアップできませんでした\nバックアップするファイルがありません。\n\nバックアップしなかったファイル:\n") +
           Path("images\\c.lzh") + Jp(" スキップ\n解凍に必要なDLLが見つかりません。\n") + Path("images\\a.zip") +
           Jp(" スキップ")},
      {"stopped", {{Path("images\\plain.d88"), false}}, true, std::nullopt, BackupEnd::kStopped,
       Jp("バックアップを中止しました。")},
      {"disk full", {{Path("images\\plain.d88"), false}, {Member("a.zip", "game.d88"), false}}, false, 10,
       BackupEnd::kNoSpace,
       Jp("バックアップできませんでした\nバックアップ先の空き容量が足りません。\n必要: 0.01 KByte\n空き容量: 0.01 KByte")},
  };
  job.extractMembers = true;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    job.items = c.items;
    copier.available = c.available;
    copier.calls = 0;
    stop = c.stopFirst ? kRunStopRequested : kRunRunning;
    BackupOutcome outcome =
        RunImageBackup(db, archivers, job, copier, stop, [](const std::string&) {});
    EXPECT_EQ(outcome.end, c.end);
    EXPECT_EQ(copier.calls, 0);
    BackupReport report = BackupResultText(outcome, job.tempFolder);
    EXPECT_FALSE(report.success);
    EXPECT_EQ(report.text, c.text);
    EXPECT_FALSE(DirectoryExists(job.tempFolder));
    EXPECT_FALSE(FileExists(Path("out\\plain.d88")));
    EXPECT_FALSE(FileExists(Path("out\\game.d88")));
  }
}

TEST_F(ImageBackupRun, AFailingSetQueryIsADatabaseError) {
  ASSERT_FALSE(db.Query("DROP VIEW IF EXISTS all_item_view; DROP TABLE main_table;"));
  job.items = {{Path("images\\disk1.d88"), true}};
  BackupOutcome outcome = Run();
  EXPECT_EQ(outcome.end, BackupEnd::kSetQueryFailed);
  EXPECT_EQ(copier.calls, 0);
  BackupReport report = BackupResultText(outcome, job.tempFolder);
  EXPECT_TRUE(report.databaseError);
  EXPECT_EQ(report.text.rfind(Jp("子イメージが取得できませんでした\n"), 0), 0u);
  EXPECT_FALSE(DirectoryExists(job.tempFolder));
}

#ifndef _WIN32
TEST_F(ImageBackupRun, ALeftOverWorkFolderIsClearedWithoutFollowingLinks) {
  namespace fs = std::filesystem;
  ASSERT_TRUE(CreateFolder(Path("TEMP")) && CreateFolder(job.tempFolder) && CreateFolder(Path("keep")));
  PutFile(Path("keep\\precious.d88"), "precious");
  fs::create_directory_symlink(NativePath(Path("keep")), NativePath(job.tempFolder + "\\1"));
  PutFile(job.tempFolder + "\\stale.d88", "stale");
  job.items = {{Path("images\\plain.d88"), false}};
  EXPECT_EQ(Run().end, BackupEnd::kCompleted);
  EXPECT_FALSE(DirectoryExists(job.tempFolder));
  EXPECT_EQ(FileText(Path("keep\\precious.d88")), "precious");
}
#endif

TEST_F(ImageBackupRun, TheSummaryCountsEachFileOnDiskOnceWithTheSetChildren) {
  std::vector<BackupItem> items = {{Member("a.zip", "dir\\sub.d88"), false},
                                   {Member("a.zip", "game.d88"), false},
                                   {Path("images\\disk1.d88"), true},
                                   {Path("images\\missing.d88"), false}};
  StopFlag running{kRunRunning};
  BackupSummary summary = SummariseBackupSources(db, items, running);
  EXPECT_TRUE(summary.complete);
  EXPECT_EQ(summary.firstName, "sub.d88");
  EXPECT_EQ(summary.fileCount, 4u);
  std::int64_t zip = 0;
  ASSERT_TRUE(FileSize(Path("images\\a.zip"), zip));
  EXPECT_EQ(summary.totalBytes, static_cast<std::uint64_t>(zip) + 6 + 6);
  EXPECT_EQ(BackupSourceText(summary), Jp("sub.d88 ほか 3"));
  EXPECT_EQ(BackupSourceText({"one.d88", 1, 5, true, ""}), "one.d88");
  StopFlag stopped{kRunStopRequested};
  EXPECT_FALSE(SummariseBackupSources(db, items, stopped).complete);
}

}  // namespace
}  // namespace vel
