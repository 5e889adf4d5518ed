// The extraction folder's clean-up: only what the launches placed or what
// appeared while they ran is deleted; what a user kept there, the library's
// images and whatever lies behind a link stay, also after a crash.
#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "core/cp932_text.h"
#include "launch/extraction_journal.h"
#include "launch_test_files.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

struct Fixture {
  TempFolder base;
  TempFolder roms;  // the extraction folder that is also an image folder
  std::set<std::string> libraryImages;  // upper-case program paths

  std::string Rom(const std::string& name) const { return ProgramPath(roms, name); }
  KeptImageTest Keep() const {
    return [this](const std::string& path, bool isFolder) {
      std::string upper = ToUpperByCharacter(path);
      for (const std::string& image : libraryImages)
        if (isFolder ? image.rfind(upper + "\\", 0) == 0 : image == upper) return true;
      return false;
    };
  }
  void AddImage(const std::string& name, const std::string& bytes) {
    PutFile(Rom(name), bytes);
    libraryImages.insert(ToUpperByCharacter(Rom(name)));
  }
};

TEST(ExtractionCleanup, AFolderOfImagesKeepsEverythingButWhatTheRunPlacedOrMade) {
  Fixture f;
  f.AddImage("game.zip", "zip bytes");
  f.AddImage("other.d88", "other bytes");
  PutFile(f.Rom("notes.txt"), "mine");
  ExtractionJournal journal(f.base.Path());
  ASSERT_TRUE(journal.Begin(f.roms.Path()));
  EXPECT_EQ(ExtractionJournalFilesIn(f.base.Path()).size(), 1u);
  ASSERT_TRUE(journal.RecordPlaced("GAME.D88"));
  PutFile(f.Rom("game.d88"), "extracted");
  // The emulator writes a save file and a folder of its own while it runs.
  PutFile(f.Rom("game.sav"), "save");
  CreateFolder(f.Rom("states"));
  PutFile(f.Rom("states\\1.st"), "state");
  // Names recorded twice or already there are not recorded again.
  ASSERT_TRUE(journal.RecordPlaced("game.d88"));
  ASSERT_TRUE(journal.RecordPlaced("Other.D88"));
  EXPECT_EQ(journal.PlacedNames().size(), 1u);

  CleanupOutcome outcome = CleanExtractionFolders({&journal}, {}, f.base.Path(), f.Keep());
  EXPECT_FALSE(FileExists(f.Rom("game.d88")));
  EXPECT_FALSE(FileExists(f.Rom("game.sav")));
  EXPECT_FALSE(DirectoryExists(f.Rom("states")));
  EXPECT_EQ(FileText(f.Rom("game.zip")), "zip bytes");
  EXPECT_EQ(FileText(f.Rom("other.d88")), "other bytes");
  EXPECT_EQ(FileText(f.Rom("notes.txt")), "mine");
  EXPECT_EQ(outcome.kept, 3);
  EXPECT_EQ(outcome.failed, 0);
  EXPECT_TRUE(ExtractionJournalFilesIn(f.base.Path()).empty());
}

TEST(ExtractionCleanup, ACrashedRunsPlacedFilesGoAtTheNextCleanupAndNothingElse) {
  Fixture f;
  f.AddImage("game.zip", "zip bytes");
  {
    ExtractionJournal crashed(f.base.Path());
    ASSERT_TRUE(crashed.Begin(f.roms.Path()));
    ASSERT_TRUE(crashed.RecordPlaced("game.d88"));
    PutFile(f.Rom("game.d88"), "extracted");
    // It claims the library's own image too (the library holds it now).
    ASSERT_TRUE(crashed.RecordPlaced("disk2.d88"));
    f.AddImage("disk2.d88", "imported later");
  }  // the process ends without its clean-up
  std::vector<std::string> files = ExtractionJournalFilesIn(f.base.Path());
  ASSERT_EQ(files.size(), 1u);
  // A record cut short by the crash is passed over.
  PutFile(files[0], FileText(files[0]) + "P x6E6F7465732E747874");
  PutFile(f.Rom("notes.txt"), "put there after the crash");

  // A journal held by a running launch is never taken for a crashed one.
  ExtractionJournal running(f.base.Path());
  ASSERT_TRUE(running.Begin(f.roms.Path()));
  ExtractionJournal notLeft;
  EXPECT_FALSE(notLeft.TakeLeftBehind(running.Path()));
  running.Finish();

  ExtractionJournal left;
  ASSERT_TRUE(left.TakeLeftBehind(files[0]));
  EXPECT_TRUE(left.HasListing());
  EXPECT_EQ(left.PlacedNames(), (std::vector<std::string>{"game.d88", "disk2.d88"}));
  CleanExtractionFolders({}, {&left}, f.base.Path(), f.Keep());
  EXPECT_FALSE(FileExists(f.Rom("game.d88")));
  EXPECT_EQ(FileText(f.Rom("disk2.d88")), "imported later");
  EXPECT_EQ(FileText(f.Rom("notes.txt")), "put there after the crash");
  EXPECT_EQ(FileText(f.Rom("game.zip")), "zip bytes");
  EXPECT_TRUE(ExtractionJournalFilesIn(f.base.Path()).empty());
}

// The first launch lists the folder, the second sees the first one's copy;
// after the last one ends what either placed is gone and what was there
// before both stays.
TEST(ExtractionCleanup, OverlappingLaunchesCleanWhatEitherPlacedAfterTheLast) {
  Fixture f;
  PutFile(f.Rom("kept.txt"), "before both");
  ExtractionJournal first(f.base.Path()), second(f.base.Path());
  ASSERT_TRUE(first.Begin(f.roms.Path() + "\\"));
  ASSERT_TRUE(first.RecordPlaced("one.d88"));
  PutFile(f.Rom("one.d88"), "1");
  ASSERT_TRUE(second.Begin(f.roms.Path()));
  ASSERT_TRUE(second.RecordPlaced("two.d88"));
  PutFile(f.Rom("two.d88"), "2");
  EXPECT_NE(first.Path(), second.Path());
  CleanupOutcome outcome = CleanExtractionFolders({&first, &second}, {}, f.base.Path(), f.Keep());
  EXPECT_FALSE(FileExists(f.Rom("one.d88")));
  EXPECT_FALSE(FileExists(f.Rom("two.d88")));
  EXPECT_EQ(FileText(f.Rom("kept.txt")), "before both");
  EXPECT_EQ(outcome.kept, 1);
}

#ifndef _WIN32
TEST(ExtractionCleanup, ALinkMadeDuringTheRunIsNeverFollowed) {
  Fixture f;
  TempFolder outside;
  PutFile(ProgramPath(outside, "sentinel.txt"), "outside");
  ExtractionJournal journal(f.base.Path());
  ASSERT_TRUE(journal.Begin(f.roms.Path()));
  std::filesystem::create_directory_symlink(OnDisk(outside.Path()), OnDisk(f.Rom("link")));
  CleanExtractionFolders({&journal}, {}, f.base.Path(), f.Keep());
  EXPECT_EQ(FileText(ProgramPath(outside, "sentinel.txt")), "outside");
}
#endif

TEST(ExtractionCleanup, OnlyARealExtractionFolderIsEverCleaned) {
  TempFolder base;
  CreateFolder(ProgramPath(base, "extract"));
  std::string parent = base.Path().substr(0, base.Path().find_last_of("\\/"));
  struct Case {
    std::string folder;
    bool cleanable;
  } cases[] = {
      {ProgramPath(base, "extract"), true},
      {ProgramPath(base, "extract") + "\\", true},
      {base.Path(), false},
      {base.Path() + "\\", false},
      {parent, false},
      {ProgramPath(base, "missing"), false},
      {"extract", false},
      {"C:\\", false},
      {"", false},
  };
  for (const Case& c : cases)
    EXPECT_EQ(IsCleanableExtractionFolder(c.folder, base.Path()), c.cleanable) << c.folder;
}

TEST(ExtractionCleanup, AJournalThatCannotBeWrittenPlacesNothing) {
  TempFolder roms;
  ExtractionJournal journal(ProgramPath(roms, "missing base"));
  EXPECT_FALSE(journal.Begin(roms.Path()));
  EXPECT_FALSE(journal.RecordPlaced("game.d88"));
}

}  // namespace
}  // namespace vel::test
