#include "launch/archive_extraction.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <thread>
#include <vector>

#include "db/library_connection.h"
#include "launch_test_files.h"
#include "platform/codepage.h"
#include "zip_fixture.h"

namespace vel {
namespace {

using test::FileText;
using test::ProgramPath;
using test::PutFile;

// One archiver library: archives are lists of stored names by path; every
// command line is recorded and answered with `commandResult`.
class FakeArchiver : public Archiver {
 public:
  std::map<std::string, std::vector<std::string>> archives;
  std::vector<std::string> commands;
  int commandResult = 0;
  int openCount = 0, closeCount = 0;

  void* OpenArchive(void*, const char* path) override {
    auto found = archives.find(path);
    if (found == archives.end()) return nullptr;
    ++openCount;
    listing_ = &found->second;
    return &listing_;
  }
  int FindFirst(void* archive, const char* wildcard, void* record) override {
    EXPECT_STREQ(wildcard, "*.*");
    next_ = 0;
    return FindNext(archive, record);
  }
  int FindNext(void*, void* record) override {
    if (!listing_ || next_ >= listing_->size()) return -1;
    const std::string& name = (*listing_)[next_++];
    // The record's field holds 513 bytes; a longer name is cut without an end.
    std::memcpy(static_cast<char*>(record) + kArchiverNameOffset, name.c_str(),
                std::min(name.size() + 1, kArchiverNameBytes));
    return 0;
  }
  int CloseArchive(void*) override {
    ++closeCount;
    listing_ = nullptr;
    return 0;
  }
  int Command(void*, const char* commandLine) override {
    commands.push_back(commandLine);
    // Another thread (a launch, a backup) must find the libraries in use.
    bool held = true;
    std::thread([&] {
      if (ArchiverCallLock().try_lock()) {
        held = false;
        ArchiverCallLock().unlock();
      }
    }).join();
    lockHeld.push_back(held);
    return commandResult;
  }
  std::vector<bool> lockHeld;

 private:
  std::vector<std::string>* listing_ = nullptr;
  std::size_t next_ = 0;
};

class FakeArchivers : public ArchiverSet {
 public:
  FakeArchiver libraries[kArchiverCount];
  bool loaded[kArchiverCount] = {true, true, true, true};
  Archiver* Loaded(ArchiverId id) override {
    int i = static_cast<int>(id);
    return loaded[i] ? &libraries[i] : nullptr;
  }
  FakeArchiver& Of(ArchiverId id) { return libraries[static_cast<int>(id)]; }
};

TEST(ArchiveExtraction, ChoosesTheLibraryByExtensionInAnyCase) {
  struct Case {
    const char* extension;
    bool crcWork, sevenZipLoaded;
    std::optional<ArchiverId> expected;
  } cases[] = {
      {"lzh", false, true, ArchiverId::kUnlha},    {"LZH", false, true, ArchiverId::kUnlha},
      {"Zip", false, true, ArchiverId::kUnZip},    {"zip", true, true, ArchiverId::kSevenZip},
      {"ZIP", true, false, ArchiverId::kUnZip},    {"rar", true, true, ArchiverId::kUnrar},
      {"7Z", false, false, ArchiverId::kSevenZip}, {"lha", false, true, std::nullopt},
      {"", false, true, std::nullopt},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ArchiverForExtension(c.extension, c.crcWork, c.sevenZipLoaded), c.expected) << c.extension;

  FakeArchivers archivers;
  archivers.loaded[static_cast<int>(ArchiverId::kUnrar)] = false;
  EXPECT_EQ(SelectArchiver(archivers, "RAR", false), nullptr);
  EXPECT_EQ(SelectArchiver(archivers, "zip", true), &archivers.Of(ArchiverId::kSevenZip));
}

TEST(ArchiveExtraction, CommandLinesPerArchiverWithAndWithoutTheSkipFlag) {
  const std::string tail = " \"C:\\roms\\set.x\" \"D:\\tmp\\\" \"DISK1.D88\"";
  struct Case {
    const char* extension;
    bool skip;
    const char* switches;
  } cases[] = {
      {"lzh", false, "e -+"}, {"lzh", true, "e -+ -jn1"},          {"zip", false, "-x -j -qUdee"},
      {"zip", true, "-x -j -qUdee -n"}, {"rar", false, "-e"},      {"rar", true, "-e -o-"},
      {"7z", false, "e"},     {"7z", true, "e -aos"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ExtractionCommandLine(c.extension, c.skip, "C:\\roms\\set.x", "D:\\tmp", "DISK1.D88"),
              c.switches + tail)
        << c.extension << c.skip;

  // One backslash after the folder, also after a last character whose trail byte is 0x5C.
  EXPECT_EQ(ExtractionCommandLine("lzh", false, "a.lzh", "D:\\tmp\\", "A"), "e -+ \"a.lzh\" \"D:\\tmp\\\" \"A\"");
  const std::string folder = Jp("D:\\ソ");  // ends in 0x83 0x5C
  EXPECT_EQ(ExtractionCommandLine("lzh", false, "a.lzh", folder, Jp("表.d88")),
            "e -+ \"a.lzh\" \"" + folder + "\\\" \"" + Jp("表.d88") + "\"");
  // A double quote would end the quoted text early: refused.
  EXPECT_EQ(ExtractionCommandLine("lzh", false, "a.lzh", "D:\\tmp", "A\".d88"), std::nullopt);
  EXPECT_EQ(ExtractionCommandLine("lzh", false, "a\".lzh", "D:\\tmp", "A"), std::nullopt);
  // A long line is kept whole.
  const std::string longName(2000, 'n');
  auto line = ExtractionCommandLine("7z", false, "a.7z", "D:\\tmp", longName);
  ASSERT_TRUE(line);
  EXPECT_EQ(line->substr(line->size() - longName.size() - 1), longName + "\"");
}

TEST(ArchiveExtraction, FindsTheStoredNameWithoutRegardToCaseByCharacter) {
  FakeArchivers archivers;
  FakeArchiver& lzh = archivers.Of(ArchiverId::kUnlha);
  const std::string cut(600, 'L');
  lzh.archives["C:\\roms\\set.lzh"] = {"README.TXT", "DISK1.D88", Jp("ソフト.D88"), Jp("ア.d88"), cut};
  struct Case {
    std::string member;
    std::string commandLine;  // empty: not found, the archiver runs no command
  } cases[] = {
      {"disk1.d88", "e -+ \"C:\\roms\\set.lzh\" \"D:\\tmp\\\" \"DISK1.D88\""},
      {Jp("ソフト.d88"), "e -+ \"C:\\roms\\set.lzh\" \"D:\\tmp\\\" \"" + Jp("ソフト.D88") + "\""},
      // "ア" is 0x83 0x41: the trail byte is no letter to fold, so 0x83 0x61 is another character.
      {"\x83\x61.d88", ""},
      {"disk2.d88", ""},
      {"", ""},
      {cut.substr(0, kArchiverNameBytes), ""},  // the record cut this name
  };
  for (const Case& c : cases) {
    lzh.commands.clear();
    int result = ExtractMember(archivers, "C:\\roms\\set.lzh", c.member, "D:\\tmp", false, nullptr);
    if (c.commandLine.empty()) {
      EXPECT_EQ(result, kMemberNotFound) << AnsiToUtf8(c.member);
      EXPECT_TRUE(lzh.commands.empty()) << AnsiToUtf8(c.member);
    } else {
      EXPECT_EQ(result, kExtracted);
      EXPECT_EQ(lzh.commands, std::vector<std::string>{c.commandLine});
    }
  }
  EXPECT_EQ(lzh.openCount, lzh.closeCount);  // every opened archive was closed
}

TEST(ArchiveExtraction, FailuresBeforeTheCommandAndTheArchiversOwnCodes) {
  FakeArchivers archivers;
  archivers.loaded[static_cast<int>(ArchiverId::kUnrar)] = false;
  FakeArchiver& sevenZip = archivers.Of(ArchiverId::kSevenZip);
  sevenZip.archives["C:\\a.7z"] = {"X.D88"};
  archivers.Of(ArchiverId::kUnlha).archives["C:\\a.lzh"] = {"Y.D88"};

  EXPECT_EQ(ExtractMember(archivers, "C:\\a.rar", "X.D88", "D:\\t", false, nullptr), kNoArchiver);
  EXPECT_EQ(ExtractMember(archivers, "C:\\a.cab", "X.D88", "D:\\t", false, nullptr), kNoArchiver);
  EXPECT_EQ(ExtractMember(archivers, "C:\\missing.7z", "X.D88", "D:\\t", false, nullptr), kArchiveNotOpened);
  EXPECT_TRUE(sevenZip.commands.empty());
  sevenZip.commandResult = 0x8012;
  EXPECT_EQ(ExtractMember(archivers, "C:\\a.7z", "x.d88", "D:\\t", true, nullptr), 0x8012);
  EXPECT_EQ(sevenZip.commands, std::vector<std::string>{"e -aos \"C:\\a.7z\" \"D:\\t\\\" \"X.D88\""});
  // Other formats are not affected by the missing RAR library.
  EXPECT_EQ(ExtractMember(archivers, "C:\\a.lzh", "Y.D88", "D:\\t", false, nullptr), kExtracted);
  // Every command ran with the libraries locked against other threads, and
  // the lock is free again afterwards.
  EXPECT_EQ(sevenZip.lockHeld, std::vector<bool>{true});
  EXPECT_EQ(archivers.Of(ArchiverId::kUnlha).lockHeld, std::vector<bool>{true});
  EXPECT_TRUE(ArchiverCallLock().try_lock());
  ArchiverCallLock().unlock();
}

TEST(ArchiveExtraction, RarWithTheSkipFlagSucceedsOnlyWhenTheFileIsThere) {
  test::TempFolder folder;
  const std::string out = folder.Path();
  FakeArchivers archivers;
  FakeArchiver& rar = archivers.Of(ArchiverId::kUnrar);
  rar.archives["C:\\set.rar"] = {"sub\\DISK1.D88"};
  rar.commandResult = 0x800A;
  // Kept file missing: the archiver's error stands.
  EXPECT_EQ(ExtractMember(archivers, "C:\\set.rar", "sub\\disk1.d88", out, true, nullptr), 0x800A);
  PutFile(ProgramPath(folder, "DISK1.D88"), "kept");
  EXPECT_EQ(ExtractMember(archivers, "C:\\set.rar", "sub\\disk1.d88", out, true, nullptr), kExtracted);
  // Without the skip flag an error is an error.
  EXPECT_EQ(ExtractMember(archivers, "C:\\set.rar", "sub\\disk1.d88", out, false, nullptr), 0x800A);
  EXPECT_EQ(rar.commands.back(), "-e \"C:\\set.rar\" \"" + out + "\\\" \"sub\\DISK1.D88\"");
}

TEST(ArchiveExtraction, ZipWithoutItsLibraryIsExtractedByOurOwnReader) {
  test::TempFolder folder;
  const std::string zip = ProgramPath(folder, "set.zip");
  PutFile(zip, test::MakeZip({{"DISK1.D88", "first disk", true}}));
  FakeArchivers archivers;
  archivers.loaded[static_cast<int>(ArchiverId::kUnZip)] = false;
  EXPECT_EQ(ExtractMember(archivers, zip, "disk1.d88", folder.Path(), false, nullptr), kExtracted);
  EXPECT_EQ(FileText(ProgramPath(folder, "DISK1.D88")), "first disk");
  EXPECT_EQ(ExtractMember(archivers, zip, "disk9.d88", folder.Path(), false, nullptr), kOwnZipFailed);
  // With the library loaded, the library extracts.
  archivers.loaded[static_cast<int>(ArchiverId::kUnZip)] = true;
  archivers.Of(ArchiverId::kUnZip).archives[zip] = {"DISK1.D88"};
  EXPECT_EQ(ExtractMember(archivers, zip, "disk1.d88", folder.Path(), false, nullptr), kExtracted);
  EXPECT_EQ(archivers.Of(ArchiverId::kUnZip).commands.size(), 1u);
}

class PrepareImagesTest : public testing::Test {
 protected:
  void SetUp() override {
    db.Open(folder / "library.db", "");
    ASSERT_FALSE(db.Query("CREATE TABLE main_table(file_name TEXT PRIMARY KEY, ply INTEGER, ply_file_name TEXT);"));
    extractPath = ProgramPath(folder, "out");
    ASSERT_TRUE(CreateFolder(extractPath));
  }
  void Insert(const std::string& key, int ply, const std::string& parent) {
    ASSERT_FALSE(db.Query("INSERT INTO main_table VALUES('" + Quote(key) + "'," + std::to_string(ply) + ",'" +
                          Quote(parent) + "');"));
  }
  LaunchImages Launch(const std::string& key, int extract, bool setHead = false) {
    LaunchImages launch;
    launch.fileName = key;
    launch.setHead = setHead;
    launch.extract = extract;
    launch.extractPath = extractPath;
    return launch;
  }
  std::vector<std::string> Commands() { return archivers.Of(ArchiverId::kUnlha).commands; }
  std::string Line(const std::string& archive, const std::string& stored) {
    return "e -+ \"" + archive + "\" \"" + extractPath + "\\\" \"" + stored + "\"";
  }

  test::TempFolder folder;
  LibraryConnection db;
  std::string extractPath;
  FakeArchivers archivers;
};

TEST_F(PrepareImagesTest, ASetIsExtractedMemberByMemberAndStopsAtTheFirstFailure) {
  const std::string archive = "C:\\roms\\O'Neil.lzh";  // a quote in the key
  archivers.Of(ArchiverId::kUnlha).archives[archive] = {"DISK1.D88", "DISK2.D88", "DISK4.D88"};
  const std::string head = archive + "*disk1.d88";
  Insert(head, 1, "");
  Insert(archive + "*disk2.d88", 2, head);
  Insert(archive + "*disk3.d88", 3, head);  // not in the archive
  Insert(archive + "*disk4.d88", 4, head);
  Insert(archive + "*other.d88", 0, "");

  EXPECT_EQ(PrepareLaunchImages(archivers, db, Launch(head, 1, true)), kMemberNotFound);
  EXPECT_EQ(Commands(), (std::vector<std::string>{Line(archive, "DISK1.D88"), Line(archive, "DISK2.D88")}));

  ASSERT_FALSE(db.Query("DELETE FROM main_table WHERE ply=3;"));
  archivers.Of(ArchiverId::kUnlha).commands.clear();
  EXPECT_EQ(PrepareLaunchImages(archivers, db, Launch(head, 1, true)), kExtracted);
  EXPECT_EQ(Commands(), (std::vector<std::string>{Line(archive, "DISK1.D88"), Line(archive, "DISK2.D88"),
                                                  Line(archive, "DISK4.D88")}));

  // A failing head: its members are left alone.
  archivers.Of(ArchiverId::kUnlha).commands.clear();
  archivers.Of(ArchiverId::kUnlha).commandResult = 7;
  EXPECT_EQ(PrepareLaunchImages(archivers, db, Launch(head, 1, true)), 7);
  EXPECT_EQ(Commands().size(), 1u);
}

TEST_F(PrepareImagesTest, PlainImagesAreCopiedOnlyWithExtractTwoAndNeverOverwritten) {
  const std::string plain = ProgramPath(folder, Jp("ソフト.d88"));
  PutFile(plain, "image");
  const std::string copy = extractPath + "\\" + Jp("ソフト.d88");

  EXPECT_EQ(PrepareLaunchImages(archivers, db, Launch(plain, 1)), kExtracted);
  EXPECT_FALSE(FileExists(copy));
  EXPECT_EQ(PrepareLaunchImages(archivers, db, Launch(plain, 2)), kExtracted);
  EXPECT_EQ(FileText(copy), "image");
  // A copy that is there (the emulator may have written to it) is kept.
  PutFile(copy, "changed by the emulator");
  EXPECT_EQ(PrepareLaunchImages(archivers, db, Launch(plain, 2)), kExtracted);
  EXPECT_EQ(FileText(copy), "changed by the emulator");
  // A copy that fails is reported.
  EXPECT_EQ(PrepareLaunchImages(archivers, db, Launch(ProgramPath(folder, "gone.d88"), 2)), kCopyFailed);
  // Nothing to do without extraction.
  EXPECT_EQ(PrepareLaunchImages(archivers, db, Launch(ProgramPath(folder, "gone.d88"), 0)), kExtracted);
}

TEST_F(PrepareImagesTest, AFailingSetQueryIsShownAndFailsThePreparation) {
  const std::string plain = ProgramPath(folder, "a.d88");
  PutFile(plain, "a");
  ASSERT_FALSE(db.Query("DROP TABLE main_table;"));
  test::ScriptedAnswers answers;
  EXPECT_EQ(PrepareLaunchImages(archivers, db, Launch(plain, 1, true)), kSetQueryFailed);
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(answers.Asked()[0].text.rfind(Jp("子イメージが取得できませんでした\n"), 0), 0u);
  EXPECT_EQ(answers.Asked()[0].caption, Jp("DBエラー"));
}

}  // namespace
}  // namespace vel
