// The archiver libraries loaded as the program loads them, with the stand-ins
// built beside the tests, and extraction through them.
#include "platform/archivers_win.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <sstream>
#include <vector>

#include "launch/archive_extraction.h"
#include "maintenance/crc.h"
#include "platform/codepage.h"
#include "test_support.h"
#include "zip_fixture.h"

namespace vel {
namespace {

const std::string kStandins = VEL_ARCHIVER_STANDIN_DIR;

std::string StandinPath(ArchiverId id) {
  const std::string file = NamesOf(id).file;
  return id == ArchiverId::kSevenZip ? kStandins + "\\" + file : kStandins + "\\extraction\\" + file;
}

// A folder holding the stand-ins a test wants, found by bare name through
// the library search, and a log of every call they receive.
class ArchiversTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(CreateDirectoryA(libraries.c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryA(out.c_str(), nullptr));
    SetEnvironmentVariableA("VEL_ARCHIVER_LOG", log.c_str());
    SetDllDirectoryA(libraries.c_str());
  }
  void TearDown() override {
    archivers.reset();  // frees the libraries before the next test copies others
    SetDllDirectoryA(nullptr);
    SetEnvironmentVariableA("VEL_ARCHIVER_LOG", nullptr);
  }
  void Load(std::vector<ArchiverId> present) {
    for (ArchiverId id : present)
      ASSERT_TRUE(CopyFileA(StandinPath(id).c_str(), (libraries + "\\" + NamesOf(id).file).c_str(), FALSE))
          << StandinPath(id);
    archivers = LoadArchivers(SystemFolder(), false);
  }
  std::vector<std::string> LogLines(const std::string& entry) {
    std::vector<std::string> lines;
    std::istringstream in(test::ReadWholeFile(log));
    for (std::string line; std::getline(in, line);)
      if (line.rfind(entry + " ", 0) == 0) lines.push_back(line.substr(entry.size() + 1));
    return lines;
  }
  std::string LastLogLine(const std::string& entry) {
    std::vector<std::string> lines = LogLines(entry);
    return lines.empty() ? std::string("(no call of ") + entry + ")" : lines.back();
  }
  int Extract(const std::string& archive, const std::string& member, bool skip) {
    return ExtractMember(*archivers, archive, member, out, skip, nullptr);
  }

  test::TempFolder folder;
  std::string libraries = folder / "libraries";
  std::string out = folder / "out";
  std::string log = folder / "calls.log";
  std::unique_ptr<ArchiverSet> archivers;
};

const std::vector<ArchiverId> kAll = {ArchiverId::kUnlha, ArchiverId::kUnZip, ArchiverId::kUnrar,
                                      ArchiverId::kSevenZip};

TEST_F(ArchiversTest, EachArchiverGetsItsCommandLineForTheStoredName) {
  Load(kAll);
  struct Case {
    const char* extension;
    const char* command;
    const char* switches;
    const char* skipSwitches;
  } cases[] = {
      {"lzh", "Unlha", "e -+", "e -+ -jn1"},
      {"ZIP", "UnZip", "-x -j -qUdee", "-x -j -qUdee -n"},
      {"rar", "Unrar", "-e", "-e -o-"},
      {"7z", "SevenZip", "e", "e -aos"},
  };
  for (const Case& c : cases) {
    const std::string archive = folder / (std::string("set.") + c.extension);
    test::WriteWholeFile(archive, "README.TXT\tread me\nDISK1.D88\tdisk one\n");
    const std::string target = out + "\\DISK1.D88";
    DeleteFileA(target.c_str());
    EXPECT_EQ(Extract(archive, "disk1.d88", false), 0) << c.extension;
    EXPECT_EQ(test::ReadWholeFile(target), "disk one") << c.extension;
    const std::string tail = " \"" + archive + "\" \"" + out + "\\\" \"DISK1.D88\"";
    EXPECT_EQ(LastLogLine(c.command), c.switches + tail);
    const std::string prefix = c.command;
    EXPECT_EQ(LastLogLine(prefix + "OpenArchive"), archive);
    EXPECT_EQ(LastLogLine(prefix + "FindFirst"), "*.*");
    EXPECT_EQ(LogLines(prefix + "OpenArchive").size(), LogLines(prefix + "CloseArchive").size());

    // With the skip flag a file that is there stays as it is, for every archiver.
    test::WriteWholeFile(target, "played");
    EXPECT_EQ(Extract(archive, "DISK1.D88", true), 0) << c.extension;
    EXPECT_EQ(test::ReadWholeFile(target), "played") << c.extension;
    EXPECT_EQ(LastLogLine(c.command), c.skipSwitches + tail);
    // A member that is not in the archive reaches no command entry.
    size_t commands = LogLines(c.command).size();
    EXPECT_EQ(Extract(archive, "DISK2.D88", false), kMemberNotFound);
    EXPECT_EQ(LogLines(c.command).size(), commands);
  }
}

TEST_F(ArchiversTest, ListingRecordsCarryEachMembersCrcAsTheArchiveKindKeepsIt) {
  Load(kAll);
  const std::string one = "first disk", two = "second, longer disk";
  for (ArchiverId id : kAll) {
    const std::string archive = folder / (std::string("list.") + NamesOf(id).prefix);
    test::WriteWholeFile(archive, "DISK1.D88\t" + one + "\nSUB\\DISK2.D88\t" + two + "\n");
    std::vector<ListedMember> members;
    ASSERT_TRUE(ListMembers(*archivers->Loaded(id), archive, nullptr, members)) << NamesOf(id).file;
    ASSERT_EQ(members.size(), 2u) << NamesOf(id).file;
    EXPECT_EQ(members[0].name, "DISK1.D88");
    EXPECT_EQ(members[1].name, "SUB\\DISK2.D88");
    // LZH archives keep a CRC-16 of each member, the others a CRC-32.
    auto expected = [&](const std::string& data) -> std::uint32_t {
      return id == ArchiverId::kUnlha ? Crc16(0, data.data(), data.size()) : test::ZlibCrc(data);
    };
    EXPECT_EQ(members[0].crc, expected(one)) << NamesOf(id).file;
    EXPECT_EQ(members[1].crc, expected(two)) << NamesOf(id).file;
  }
}

TEST_F(ArchiversTest, AZipIsExtractedWithoutItsLibraryAndAMissingRarLibraryFailsOnlyRar) {
  Load({ArchiverId::kUnlha, ArchiverId::kSevenZip});
  ASSERT_NE(archivers->Loaded(ArchiverId::kUnlha), nullptr);
  EXPECT_EQ(archivers->Loaded(ArchiverId::kUnZip), nullptr);
  EXPECT_EQ(archivers->Loaded(ArchiverId::kUnrar), nullptr);

  const std::string zip = folder / "set.zip";
  test::WriteWholeFile(zip, test::MakeZip({{"sub/DISK1.D88", "zipped disk", true}}));
  EXPECT_EQ(Extract(zip, "SUB\\disk1.d88", false), 0);
  EXPECT_EQ(test::ReadWholeFile(out + "\\DISK1.D88"), "zipped disk");
  EXPECT_TRUE(LogLines("UnZip").empty());

  const std::string rar = folder / "set.rar";
  test::WriteWholeFile(rar, "DISK1.D88\tdisk\n");
  EXPECT_EQ(Extract(rar, "DISK1.D88", false), kNoArchiver);
  const std::string lzh = folder / "set.lzh";
  test::WriteWholeFile(lzh, "GAME.D88\tgame\n");
  EXPECT_EQ(Extract(lzh, "game.d88", false), 0);
  EXPECT_EQ(test::ReadWholeFile(out + "\\GAME.D88"), "game");
}

TEST_F(ArchiversTest, JapaneseNamesWithBackslashTrailBytes) {
  Load(kAll);
  // "ソ" and "表" end in 0x5C: neither is a folder separator.
  const std::string japanese = folder / Jp("ソフト");
  ASSERT_TRUE(CreateDirectoryA(japanese.c_str(), nullptr));
  const std::string destination = folder / Jp("展開ソ");
  ASSERT_TRUE(CreateDirectoryA(destination.c_str(), nullptr));
  const std::string archive = japanese + "\\" + Jp("表.lzh");
  test::WriteWholeFile(archive, Jp("表示ソ.D88") + "\tsjis disk\n");
  EXPECT_EQ(ExtractMember(*archivers, archive, Jp("表示ソ.d88"), destination, false, nullptr), 0);
  EXPECT_EQ(LastLogLine("Unlha"),
            "e -+ \"" + archive + "\" \"" + destination + "\\\" \"" + Jp("表示ソ.D88") + "\"");
  EXPECT_EQ(test::ReadWholeFile(destination + "\\" + Jp("表示ソ.D88")), "sjis disk");
}

TEST_F(ArchiversTest, SafeLoadingTakesTheLibrariesFromTheGivenFolderOnly) {
  Load({});
  for (ArchiverId id : kAll)
    ASSERT_TRUE(CopyFileA(StandinPath(id).c_str(), (libraries + "\\" + NamesOf(id).file).c_str(), FALSE));
  // The system folder holds none of them, though the library search would find them.
  archivers = LoadArchivers(SystemFolder(), true);
  for (ArchiverId id : kAll) EXPECT_EQ(archivers->Loaded(id), nullptr) << NamesOf(id).file;
  archivers.reset();
  SetDllDirectoryA(nullptr);
  archivers = LoadArchivers(libraries, true);
  for (ArchiverId id : kAll) EXPECT_NE(archivers->Loaded(id), nullptr) << NamesOf(id).file;
}

}  // namespace
}  // namespace vel
