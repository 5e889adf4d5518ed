// Rewriting emulator settings before a launch and putting them back: INI
// files on disk and the registry (the in-process stand-in natively, the real
// one under Wine), the editor's test, includes and the journal that survives
// a crash.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "launch/rewrite_journal.h"
#include "launch/settings_rewrite.h"
#include "platform/codepage.h"
#include "platform/file_operations.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

std::string Join(const std::string& folder, const std::string& name) { return folder + "\\" + name; }

std::string Disk(const std::string& path) {
#ifdef _WIN32
  return path;
#else
  return NativePath(path);
#endif
}

void Put(const std::string& path, const std::string& bytes) { WriteWholeFile(Disk(path), bytes); }
std::string Bytes(const std::string& path) { return ReadWholeFile(Disk(path)); }

void SetReadOnly(const std::string& path, bool readOnly) {
  namespace fs = std::filesystem;
  fs::permissions(Disk(path), fs::perms::owner_write,
                  readOnly ? fs::perm_options::remove : fs::perm_options::add);
}

constexpr const char* kRoot = "HKEY_CURRENT_USER";
constexpr const char* kOriginalIni = "; emulator settings\r\n[Drive]\r\nA=old.d88\r\nB=\r\n[Screen]\r\nFull=0\r\n";
const char* const kImage = "C:\\games\\a b.d88";

class SettingsRewrite : public ::testing::Test {
 protected:
  void SetUp() override {
    machine = Join(Join(base.Path(), "emuconf"), "MSX");
    emulator = Join(base.Path(), "emu");
    ASSERT_TRUE(CreateFolder(Join(base.Path(), "emuconf")));
    ASSERT_TRUE(CreateFolder(machine));
    ASSERT_TRUE(CreateFolder(emulator));
    ini = Join(emulator, "emu.ini");
    Put(ini, kOriginalIni);
    context.baseFolder = base.Path();
    context.machineFolder = machine;
    // Stands in for placeholder expansion with the quote-strip flag set.
    context.expand = [this](const std::string& text) {
      std::string out = text;
      for (auto [from, to] : {std::pair<std::string, std::string>{"\"$image\"", kImage}, {"$image", kImage},
                              {"$emu_path", emulator}})
        for (size_t at = out.find(from); at != std::string::npos; at = out.find(from, at + to.size()))
          out.replace(at, from.size(), to);
      return out;
    };
    subkey = "Software\\VelmarookTest_" +
             std::string(::testing::UnitTest::GetInstance()->current_test_info()->name());
    DeleteRegistryTree(kRoot, subkey);
    ASSERT_TRUE(CreateRegistryKey(kRoot, subkey));
    keyPath = std::string(kRoot) + "\\" + subkey;
  }
  void TearDown() override { DeleteRegistryTree(kRoot, subkey); }

  void PutValue(const std::string& name, std::uint32_t type, const std::string& data) {
    RegistryKey key;
    ASSERT_TRUE(key.Open(kRoot, subkey));
    ASSERT_TRUE(key.Write(name, RegistryValue{type, data}));
  }
  // The value in program form; type kRegNone when it is missing.
  RegistryValue Value(const std::string& name) {
    RegistryKey key;
    RegistryValue value;
    if (!key.Open(kRoot, subkey) || !key.Read(name, value)) return {};
    return value;
  }
  std::string IniScript(const std::string& value, const std::string& file = "$emu_path\\emu.ini") {
    return "INI-OPENFILE=" + file + "\nINI-SETSECTION=Drive\nINI-SETKEY=A\nINI-REWRITE=" + value + "\n";
  }
  std::string RegScript(const std::string& name, const std::string& value) {
    return "REG-OPENKEY=" + keyPath + "\nREG-SETVALUENAME=" + name + "\nREG-REWRITE=" + value + "\n";
  }
  std::vector<std::string> Journals() { return JournalFilesIn(base.Path()); }

  TempFolder base;
  std::string machine, emulator, ini, subkey, keyPath;
  RewriteContext context;
};

TEST_F(SettingsRewrite, ScriptWithEmptyFirstLineDoesNothing) {
  for (const std::string& script : {"\n" + IniScript("x"), "\r\n" + IniScript("x"), std::string()}) {
    RewriteJournal journal(base.Path());
    RewriteSettings(script, context, true, journal);
    EXPECT_EQ(Bytes(ini), kOriginalIni);
    EXPECT_FALSE(FileExists(ini + kIniBackupSuffix));
    EXPECT_TRUE(Journals().empty());
  }
}

TEST_F(SettingsRewrite, IniBesideEmulatorGetsExpandedValueAndComesBackWhole) {
  RewriteJournal journal(base.Path());
  RewriteSettings(IniScript("\"$image\"") + "INI-SETSECTION=screen\r\nini-setkey=Full\r\nIni-ReWrite =  1  \r\n",
                  context, true, journal);
  std::string during = Bytes(ini);
  EXPECT_NE(during.find(std::string("A=") + kImage + "\r\n"), std::string::npos) << during;
  EXPECT_EQ(during.find('"'), std::string::npos);
  EXPECT_NE(during.find("Full=1\r\n"), std::string::npos) << during;
  EXPECT_EQ(Bytes(ini + kIniBackupSuffix), kOriginalIni);
  ASSERT_EQ(Journals().size(), 1u);

  RestoreReport report = RestoreSettings(journal);
  EXPECT_EQ(report.restored, std::vector<std::string>{ini});
  EXPECT_TRUE(report.failed.empty());
  EXPECT_EQ(Bytes(ini), kOriginalIni);
  EXPECT_FALSE(FileExists(ini + kIniBackupSuffix));
  EXPECT_TRUE(Journals().empty());
}

TEST_F(SettingsRewrite, RelativeIniPathIsTakenFromBaseFolder) {
  RewriteJournal journal(base.Path());
  RewriteSettings(IniScript("new.d88", "emu\\emu.ini"), context, true, journal);
  EXPECT_NE(Bytes(ini).find("A=new.d88"), std::string::npos);
  RestoreSettings(journal);
  EXPECT_EQ(Bytes(ini), kOriginalIni);
}

TEST_F(SettingsRewrite, ReadOnlyIniIsLeftAloneAndReportedInTest) {
  SetReadOnly(ini, true);
  {
    RewriteJournal journal(base.Path());
    RewriteSettings(IniScript("new.d88"), context, true, journal);
  }
  EXPECT_EQ(Bytes(ini), kOriginalIni);
  EXPECT_FALSE(FileExists(ini + kIniBackupSuffix));
  {
    ScriptedAnswers answers({kIdYes});
    EXPECT_TRUE(TestRewriteScript(IniScript("new.d88"), context));
    ASSERT_EQ(answers.Asked().size(), 1u);
    EXPECT_EQ(answers.Asked()[0].text, "ERROR: \"" + ini + "\"\n (\"[Drive]:A\"\n" +
                                           Jp("設定ファイルは書き込み禁止です。\nこのキーの書き換えは無効です。"
                                              "\n\nテストを続行しますか？"));
    EXPECT_EQ(answers.Asked()[0].caption, "ini-ReWrite");
    EXPECT_EQ(answers.Asked()[0].flags, kMbYesNo | kMbIconWarning);
  }
  SetReadOnly(ini, false);
}

// Each failing entry of the test asks whether to go on; successes inform.
TEST_F(SettingsRewrite, TestReportsEachEntryAndChangesNothing) {
  PutValue("Path", kRegSz, std::string("old\0", 4));
  const std::string invalid = Jp("\nこのキーの書き換えは無効です。\n\nテストを続行しますか？");
  struct Case {
    std::string script;
    std::string text;
    const char* caption;
    unsigned flags;
  } cases[] = {
      {IniScript("x", "$emu_path\\none.ini"),
       "ERROR: \"" + Join(emulator, "none.ini") + "\"\n (\"[Drive]:A\")\n" + Jp("設定ファイルが見つかりません。") + invalid,
       "ini-OpenFile", kMbYesNo | kMbIconWarning},
      {"INI-OPENFILE=$emu_path\\emu.ini\nINI-SETSECTION=Drive\nINI-SETKEY=Z\nINI-REWRITE=x\n",
       "ERROR: \"[Drive]:Z\"\n in \"" + ini + "\"\n" + Jp("セクション又はキーが見つかりません。") + invalid,
       "ini-ReWrite", kMbYesNo | kMbIconWarning},
      {IniScript("$image"),
       "SUCCESS: \"[Drive]:A\" = $image\n in \"" + ini + "\"\n" +
           Jp("設定ファイルにセクションとキーが正しく見つかりました。\nこのキーを書き換えてからエミュレータが起動します。"),
       "ini-ReWrite", kMbOk | kMbIconInformation},
      {"REG-OPENKEY=HKEY_Current_User\\Software\nREG-SETVALUENAME=Path\nREG-REWRITE=x\n",
       "ERROR Key: HKEY_Current_User\n in [HKEY_Current_User\\Software]\n" + Jp("主キーの指定に誤りがあります。") + invalid,
       "reg-OpenKey", kMbYesNo | kMbIconWarning},
      {"REG-OPENKEY=" + keyPath + "\\Missing\nREG-SETVALUENAME=Path\nREG-REWRITE=x\n",
       "ERROR SubKey: " + subkey + "\\Missing\n in [" + keyPath + "\\Missing]\n" +
           Jp("サブキーが見つかりません。又はアクセス許可がありません。") + invalid,
       "reg-OpenKey", kMbYesNo | kMbIconWarning},
      {RegScript("Nothing", "x"),
       "ERROR ValueName: Nothing\n in [" + keyPath + "]\n" + Jp("元のデータを参照できません。") + invalid,
       "reg-ReWrite", kMbYesNo | kMbIconWarning},
      {RegScript("Path", "$image"),
       "SUCCESS: Path = $image\n in [" + keyPath + "]\n" +
           Jp("レジストリのキーと値名が正しく見つかりました。\nこのキーを書き換えてからエミュレータが起動します。"),
       "reg-ReWrite", kMbOk | kMbIconInformation},
  };
  for (const Case& c : cases) {
    ScriptedAnswers answers({kIdYes});
    EXPECT_TRUE(TestRewriteScript(c.script, context));
    ASSERT_EQ(answers.Asked().size(), 1u) << c.script;
    EXPECT_EQ(AnsiToUtf8(answers.Asked()[0].text), AnsiToUtf8(c.text));
    EXPECT_EQ(answers.Asked()[0].caption, c.caption);
    EXPECT_EQ(answers.Asked()[0].flags, c.flags);
  }
  EXPECT_EQ(Bytes(ini), kOriginalIni);
  EXPECT_EQ(Value("Path").data, std::string("old\0", 4));
  EXPECT_EQ(Value(std::string("Path") + kRegistryTestSuffix).type, kRegNone);
  EXPECT_EQ(Value(std::string("Path") + kRegistryBackupSuffix).type, kRegNone);
  EXPECT_TRUE(Journals().empty());

  // No ends the test: the entry after it is never looked at.
  ScriptedAnswers answers({kIdNo});
  EXPECT_FALSE(TestRewriteScript(IniScript("x", "none.ini") + IniScript("y"), context));
  EXPECT_EQ(answers.Asked().size(), 1u);
}

TEST(RegistryData, ValueTextBecomesBytesOfTheValuesType) {
  using namespace std::string_literals;
  struct Case {
    std::uint32_t type;
    std::string text;
    bool fits;
    std::string data;
  } cases[] = {
      {kRegSz, "C:\\x", true, "C:\\x\0"s},
      {kRegExpandSz, "%TEMP%", true, "%TEMP%\0"s},
      {kRegMultiSz, "|a|b", true, "a\0b\0\0"s},
      {kRegMultiSz, ",one,,two,", true, "one\0two\0\0"s},
      {kRegMultiSz, "", true, "\0"s},
      {kRegDword, "1234", true, "\xD2\x04\0\0"s},
      {kRegDword, "-1", true, "\xFF\xFF\xFF\xFF"s},
      {kRegDword, "4294967296", false, ""},
      {kRegDword, "12x", false, ""},
      {kRegDwordBigEndian, "1234", true, "\0\0\x04\xD2"s},
      {kRegQword, "4294967296", true, "\0\0\0\0\1\0\0\0"s},
      {kRegBinary, "0a 1B 2", true, "\x0A\x1B"s},
      {kRegBinary, "", true, ""},
      {kRegBinary, "0G", false, ""},
      {6, "x", false, ""},
  };
  for (const Case& c : cases) {
    std::string data;
    EXPECT_EQ(RegistryDataFromText(c.type, c.text, data), c.fits) << c.type << " " << c.text;
    if (c.fits) {
      EXPECT_EQ(data, c.data) << c.type << " " << c.text;
    }
  }
}

TEST_F(SettingsRewrite, RegistryValuesAreRewrittenByTheirTypeAndPutBack) {
  using namespace std::string_literals;
  PutValue("Disks", kRegMultiSz, "x\0\0"s);
  PutValue("Count", kRegDword, "\x05\0\0\0"s);
  PutValue("Blob", kRegBinary, "\x01\x02"s);
  PutValue("Image", kRegSz, "old\0"s);
  RewriteJournal journal(base.Path());
  RewriteSettings(RegScript("Disks", "|a|b") + "REG-SETVALUENAME=Count\nREG-REWRITE=7\n" +
                      "REG-SETVALUENAME=Blob\nREG-REWRITE=FF 00 1\nREG-SETVALUENAME=Image\nREG-REWRITE=\"$image\"\n",
                  context, true, journal);
  EXPECT_EQ(Value("Disks").data, "a\0b\0\0"s);
  EXPECT_EQ(Value("Count").data, "\x07\0\0\0"s);
  EXPECT_EQ(Value("Blob").data, "\xFF\x00"s);
  EXPECT_EQ(Value("Image").data, std::string(kImage) + '\0');
  EXPECT_EQ(Value("Count"s + kRegistryBackupSuffix).data, "\x05\0\0\0"s);

  RestoreReport report = RestoreSettings(journal);
  EXPECT_EQ(report.restored.size(), 4u);
  EXPECT_EQ(Value("Disks").data, "x\0\0"s);
  EXPECT_EQ(Value("Count").data, "\x05\0\0\0"s);
  EXPECT_EQ(Value("Blob").data, "\x01\x02"s);
  EXPECT_EQ(Value("Image").data, "old\0"s);
  for (const char* name : {"Disks", "Count", "Blob", "Image"})
    EXPECT_EQ(Value(name + std::string(kRegistryBackupSuffix)).type, kRegNone) << name;
  EXPECT_TRUE(Journals().empty());
}

// Two launches with the same script share the backups: the first backup
// wins and the first restore puts it back; the other restore changes nothing.
// Two launches rewrite the same INI key and registry value; whichever ends
// first leaves them to the other, whose emulator may still save the settings
// it runs with. The last one to end puts back what was there before both.
TEST_F(SettingsRewrite, OverlappingLaunchesRestoreAtTheLastEnd) {
  PutValue("Full", kRegDword, std::string("\0\0\0\0", 4));
  // What an emulator does at its exit: it saves its current settings.
  auto emulatorSaves = [this](const std::string& image, const char* full) {
    Put(ini, "; emulator settings\r\n[Drive]\r\nA=" + image + "\r\nB=\r\n[Screen]\r\nFull=1\r\n");
    PutValue("Full", kRegDword, std::string(full, 4));
  };
  for (bool firstEndsFirst : {true, false}) {
    SCOPED_TRACE(firstEndsFirst);
    RewriteJournal first(base.Path()), second(base.Path());
    RewriteSettings(IniScript("one.d88") + RegScript("Full", "1"), context, true, first);
    RewriteSettings(IniScript("two.d88") + RegScript("Full", "2"), context, true, second);
    EXPECT_NE(Bytes(ini).find("A=two.d88"), std::string::npos);
    EXPECT_EQ(Bytes(ini + kIniBackupSuffix), kOriginalIni);
    EXPECT_EQ(Value(std::string("Full") + kRegistryBackupSuffix).data, std::string("\0\0\0\0", 4));
    EXPECT_EQ(Journals().size(), 2u);

    RewriteJournal& early = firstEndsFirst ? first : second;
    RewriteJournal& late = firstEndsFirst ? second : first;
    emulatorSaves("early.d88", "\1\0\0\0");
    RestoreReport handedOver = RestoreSettings(early);
    EXPECT_TRUE(handedOver.restored.empty());
    EXPECT_TRUE(handedOver.failed.empty());
    EXPECT_EQ(Bytes(ini + kIniBackupSuffix), kOriginalIni);
    EXPECT_EQ(Journals().size(), 1u);
    emulatorSaves("late.d88", "\2\0\0\0");
    RestoreReport last = RestoreSettings(late);
    EXPECT_EQ(last.restored.size(), 2u);
    EXPECT_EQ(Bytes(ini), kOriginalIni);
    EXPECT_EQ(Value("Full").data, std::string("\0\0\0\0", 4));
    EXPECT_FALSE(FileExists(ini + kIniBackupSuffix));
    EXPECT_EQ(Value(std::string("Full") + kRegistryBackupSuffix).type, kRegNone);
    EXPECT_TRUE(Journals().empty());
  }
}

// The launch that was left the restore is killed with the program: its
// journal still holds the file, and the next start puts it back.
TEST_F(SettingsRewrite, AHandedOverRestoreSurvivesACrashOfTheLastLaunch) {
  {
    RewriteJournal first(base.Path());
    RewriteJournal second(base.Path());
    RewriteSettings(IniScript("one.d88"), context, true, first);
    RewriteSettings(IniScript("two.d88"), context, true, second);
    RestoreSettings(first);
    EXPECT_NE(Bytes(ini).find("A=two.d88"), std::string::npos);
  }  // the second launch never restores
  ScriptedAnswers answers;
  RestoreReport recovered = RecoverLeftBehindRewrites(base.Path());
  EXPECT_EQ(recovered.restored, std::vector<std::string>{ini});
  EXPECT_EQ(Bytes(ini), kOriginalIni);
  EXPECT_TRUE(Journals().empty());
}

// A launch that crashed left its journal; another launch of the same file is
// still running (another instance): the recovery leaves the file to it.
TEST_F(SettingsRewrite, RecoveryLeavesAFileToALaunchStillRunning) {
  {
    RewriteJournal crashed(base.Path());
    RewriteSettings(IniScript("one.d88"), context, true, crashed);
  }
  RewriteJournal running(base.Path());
  RewriteSettings(IniScript("two.d88"), context, true, running);
  ScriptedAnswers answers;
  EXPECT_TRUE(RecoverLeftBehindRewrites(base.Path()).restored.empty());
  EXPECT_NE(Bytes(ini).find("A=two.d88"), std::string::npos);
  EXPECT_EQ(Journals().size(), 1u);
  EXPECT_EQ(RestoreSettings(running).restored, std::vector<std::string>{ini});
  EXPECT_EQ(Bytes(ini), kOriginalIni);
}

TEST_F(SettingsRewrite, IncludesComeFromMachineFolderOrPath) {
  Put(Join(machine, "common.inc"), "INI-OPENFILE=$emu_path\\emu.ini\r\nINI-SETSECTION=Drive\r\n");
  ASSERT_TRUE(CreateFolder(Join(base.Path(), "sub")));
  Put(Join(Join(base.Path(), "sub"), "keys.txt"), "INI-SETKEY=B\n");
  RewriteJournal journal(base.Path());
  // The included file's own line feed does not end the script.
  RewriteSettings("inc: common \nINC:sub\\keys.txt\nINC:missing\nINI-REWRITE=b.d88\n", context, true, journal);
  EXPECT_NE(Bytes(ini).find("B=b.d88"), std::string::npos) << Bytes(ini);
  RestoreSettings(journal);

  EXPECT_EQ(ExpandIncludes("INC:common\nINC:common2\n", context, false).script,
            "INI-OPENFILE=$emu_path\\emu.ini\nINI-SETSECTION=Drive\nINC:common2\n");

  ScriptedAnswers answers({kIdYes, kIdYes, kIdNo});
  EXPECT_FALSE(ExpandIncludes("INC:gone\nINC:gone2\n", context, true).testEnded);
  ASSERT_EQ(answers.Asked().size(), 2u);
  EXPECT_EQ(answers.Asked()[0].text,
            Join(machine, "gone.inc") + Jp("がインクルードできませんでした。スキップされます。\n\nテストを続行しますか？"));
  EXPECT_EQ(answers.Asked()[0].caption, "inc:");
  EXPECT_TRUE(ExpandIncludes("INC:gone\nINC:gone2\n", context, true).testEnded);
  EXPECT_EQ(answers.Asked().size(), 3u);
}

TEST_F(SettingsRewrite, IncludeLoopStopsAfterHundredWithWarning) {
  Put(Join(machine, "loop.inc"), "INI-SETKEY=k\nINC:loop\n");
  ScriptedAnswers answers;
  std::string script = ExpandIncludes("INC:loop\n", context, false).script;
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(answers.Asked()[0].text, Jp("インクルードが100回を超えました。\nインクルード指定が多すぎるか、"
                                        "永久ループの可能性があります。\nインクルード処理を停止して続行します。"));
  EXPECT_EQ(answers.Asked()[0].caption, Jp("警告"));
  EXPECT_EQ(answers.Asked()[0].flags, kMbOk | kMbIconInformation);
  size_t keys = 0;
  for (size_t at = script.find("INI-SETKEY=k\n"); at != std::string::npos; at = script.find("INI-SETKEY=k\n", at + 1))
    ++keys;
  EXPECT_EQ(keys, 100u);
  EXPECT_NE(script.find("INC:loop\n"), std::string::npos);
}

// A file that includes itself twice doubles its lines at every step; each
// replaced line counts toward the limit, and the expansion stays small.
TEST_F(SettingsRewrite, SelfIncludingTwiceAndHugeIncludesStopWithTheWarning) {
  Put(Join(machine, "twice.inc"), "INI-SETKEY=k\nINC:twice\nINC:twice\n");
  std::string big;
  while (big.size() < (size_t{1} << 20)) big += "INI-SETKEY=big\n";
  Put(Join(machine, "big.inc"), big);
  struct Case {
    const char* script;
    const char* key;  // a line the include brings
    size_t leastKeys, mostKeys;
  } cases[] = {
      {"INC:twice\n", "INI-SETKEY=k\n", 1, 100},
      // 5 MiB in one step: nothing of it is taken in.
      {"INC:big\nINC:big\nINC:big\nINC:big\nINC:big\n", "INI-SETKEY=big\n", 0, 0},
  };
  for (const Case& c : cases) {
    ScriptedAnswers answers;
    std::string script = ExpandIncludes(c.script, context, false).script;
    ASSERT_EQ(answers.Asked().size(), 1u) << c.script;
    EXPECT_EQ(answers.Asked()[0].caption, Jp("警告"));
    EXPECT_LE(script.size(), kLargestExpandedScript);
    size_t keys = 0;
    for (size_t at = script.find(c.key); at != std::string::npos; at = script.find(c.key, at + 1)) ++keys;
    EXPECT_GE(keys, c.leastKeys) << c.script;
    EXPECT_LE(keys, c.mostKeys) << c.script;
  }
}

// Without a backup (or a journal record) the entry is not written at all.
TEST_F(SettingsRewrite, EntryWithoutBackupIsNotWritten) {
  ASSERT_TRUE(CreateFolder(ini + kIniBackupSuffix));  // the copy cannot be made
  std::string longName(16370, 'v');
  PutValue(longName, kRegSz, std::string("keep\0", 5));  // its backup name is too long
  {
    RewriteJournal journal(base.Path());
    RewriteSettings(IniScript("new.d88") + RegScript(longName, "new"), context, true, journal);
    EXPECT_EQ(Bytes(ini), kOriginalIni);
    EXPECT_EQ(Value(longName).data, std::string("keep\0", 5));
    RestoreSettings(journal);
  }
  // A journal that cannot be made stops every entry.
  RemoveFile(ini + kIniBackupSuffix);
  std::filesystem::remove(Disk(ini + kIniBackupSuffix));
  PutValue("Plain", kRegSz, std::string("keep\0", 5));
  RewriteContext nowhere = context;
  nowhere.baseFolder = Join(base.Path(), "missing");
  RewriteJournal journal(nowhere.baseFolder);
  RewriteSettings(IniScript("new.d88") + RegScript("Plain", "new"), nowhere, true, journal);
  EXPECT_EQ(Bytes(ini), kOriginalIni);
  EXPECT_EQ(Value("Plain").data, std::string("keep\0", 5));
  // Without the backup flag nothing is recorded and the rewrite stays.
  RewriteSettings(IniScript("new.d88"), nowhere, false, journal);
  EXPECT_NE(Bytes(ini).find("A=new.d88"), std::string::npos);
}

TEST_F(SettingsRewrite, BrokenScriptLinesAreSkipped) {
  PutValue("Full", kRegDword, std::string("\1\0\0\0", 4));
  RewriteJournal journal(base.Path());
  RewriteSettings("garbage\nINI-REWRITE\n  INI-OPENFILE=emu\\emu.ini\nINI-REWRITE=x\n"
                  "REG-OPENKEY=NOTAROOT\\x\nREG-REWRITE=1\nREG-OPENKEY=" + keyPath +
                      "\nREG-SETVALUENAME=Full\nREG-REWRITE=lots\nREG-OPENKEY=\nREG-REWRITE=\nINC:\n",
                  context, true, journal);
  EXPECT_EQ(Bytes(ini), kOriginalIni);
  EXPECT_EQ(Value("Full").data, std::string("\1\0\0\0", 4));
  RestoreSettings(journal);
  EXPECT_TRUE(Journals().empty());
}

// A launch that never restored (the program crashed): the next start finds
// its journal and puts everything back, even if the script changed since.
TEST_F(SettingsRewrite, RecoveryAfterCrashRestoresExactly) {
  using namespace std::string_literals;
  PutValue("Disk", kRegSz, "old\0"s);
  PutValue("Mode", kRegBinary, "\x10\x20\x30"s);
  {
    RewriteJournal journal(base.Path());
    RewriteSettings(IniScript("new.d88") + RegScript("Disk", "$image") + "REG-SETVALUENAME=Mode\nREG-REWRITE=00\n",
                    context, true, journal);
    ASSERT_NE(Bytes(ini), kOriginalIni);
    // A running launch's journal is not touched by another recovery.
    EXPECT_TRUE(RecoverLeftBehindRewrites(base.Path()).restored.empty());
    EXPECT_EQ(Value("Mode").data, "\0"s);
  }  // gone without restoring

  ScriptedAnswers answers;
  RecoverAndReport(base.Path(), nullptr);
  EXPECT_EQ(Bytes(ini), kOriginalIni);
  EXPECT_FALSE(FileExists(ini + kIniBackupSuffix));
  EXPECT_EQ(Value("Disk").data, "old\0"s);
  EXPECT_EQ(Value("Mode").data, "\x10\x20\x30"s);
  EXPECT_EQ(Value("Mode"s + kRegistryBackupSuffix).type, kRegNone);
  EXPECT_TRUE(Journals().empty());
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(answers.Asked()[0].caption, Jp("確認"));
  EXPECT_EQ(answers.Asked()[0].flags, kMbOk | kMbIconInformation);
  for (const std::string& item : {ini, keyPath + " : Disk", keyPath + " : Mode"})
    EXPECT_NE(answers.Asked()[0].text.find(item), std::string::npos) << item;

  // Nothing left: no message.
  RecoverAndReport(base.Path(), nullptr);
  EXPECT_EQ(answers.Asked().size(), 1u);
}

// A crash while the journal was being written leaves a cut-short record: the
// complete records count, the cut one does not.
TEST_F(SettingsRewrite, CutShortJournalRecordIsIgnored) {
  std::string path;
  {
    RewriteJournal journal(base.Path());
    RewriteSettings(IniScript("new.d88"), context, true, journal);
    path = journal.Path();
  }
  std::ofstream(Disk(path), std::ios::binary | std::ios::app) << "D 1";
  RestoreReport report = RecoverLeftBehindRewrites(base.Path());
  EXPECT_EQ(report.restored, std::vector<std::string>{ini});
  EXPECT_EQ(Bytes(ini), kOriginalIni);
  EXPECT_FALSE(FileExists(path));
}

// An entry stays in the journal until its restoring write succeeded; the
// registry backup goes only after the value holds the old data again.
TEST_F(SettingsRewrite, FailedRestoreKeepsBackupAndJournalForLater) {
  PutValue("Disk", kRegSz, std::string("old\0", 4));
  RewriteJournal journal(base.Path());
  RewriteSettings(IniScript("new.d88") + RegScript("Disk", "new"), context, true, journal);
  std::string journalPath = journal.Path();
  ASSERT_TRUE(RemoveFile(ini));
  ASSERT_TRUE(CreateFolder(ini));  // the file cannot be copied back
#ifndef _WIN32
  RefuseRegistryWrites(kRoot, subkey, true);
#endif
  RestoreReport report = RestoreSettings(journal);
  EXPECT_TRUE(report.restored.empty() || report.restored == std::vector<std::string>{keyPath + " : Disk"});
  EXPECT_NE(std::find(report.failed.begin(), report.failed.end(), ini), report.failed.end());
  EXPECT_TRUE(FileExists(ini + kIniBackupSuffix));
  EXPECT_TRUE(FileExists(journalPath));
#ifndef _WIN32
  EXPECT_EQ(report.failed.size(), 2u);
  EXPECT_EQ(Value(std::string("Disk") + kRegistryBackupSuffix).data, std::string("old\0", 4));
  RefuseRegistryWrites(kRoot, subkey, false);
#endif

  std::filesystem::remove(Disk(ini));
  ScriptedAnswers answers;
  RestoreReport later = RecoverLeftBehindRewrites(base.Path());
  EXPECT_TRUE(later.failed.empty());
  EXPECT_EQ(Bytes(ini), kOriginalIni);
  EXPECT_EQ(Value("Disk").data, std::string("old\0", 4));
  EXPECT_EQ(Value(std::string("Disk") + kRegistryBackupSuffix).type, kRegNone);
  EXPECT_FALSE(FileExists(journalPath));
}

// A registry key deleted after the rewrite took its backup value with it:
// nothing is left to put back, the entry is closed and the user told once.
TEST_F(SettingsRewrite, ARestoreWhoseKeyIsGoneClosesTheEntryAndSaysSoOnce) {
  for (bool leftBehind : {false, true}) {
    SCOPED_TRACE(leftBehind);
    ASSERT_TRUE(CreateRegistryKey(kRoot, subkey));
    PutValue("Disk", kRegSz, std::string("old\0", 4));
    std::string journalPath;
    RestoreReport report;
    {
      RewriteJournal journal(base.Path());
      RewriteSettings(RegScript("Disk", "new"), context, true, journal);
      journalPath = journal.Path();
      ASSERT_TRUE(DeleteRegistryTree(kRoot, subkey));
      if (!leftBehind) report = RestoreSettings(journal);
    }
    ScriptedAnswers answers;
    if (leftBehind) {
      EXPECT_TRUE(RecoverAndReport(base.Path(), nullptr));
      ASSERT_EQ(answers.Asked().size(), 1u);
      EXPECT_NE(answers.Asked()[0].text.find(keyPath + " : Disk"), std::string::npos);
      EXPECT_EQ(answers.Asked()[0].text.find(Jp("バックアップは残してあり")), std::string::npos);
    } else {
      EXPECT_EQ(report.gone, std::vector<std::string>{keyPath + " : Disk"});
      EXPECT_TRUE(report.failed.empty());
    }
    EXPECT_FALSE(FileExists(journalPath));
    // Neither the next start nor the next launch brings it up again.
    EXPECT_FALSE(RecoverAndReport(base.Path(), nullptr));
    EXPECT_EQ(answers.Asked().size(), leftBehind ? 1u : 0u);
  }
}

// The journal's old value serves when the backup value this launch made has
// disappeared; a backup another launch made is never replaced by it.
TEST_F(SettingsRewrite, JournalKnowsOldValueWhenOwnBackupIsGone) {
  PutValue("Disk", kRegSz, std::string("old\0", 4));
  RewriteJournal journal(base.Path());
  RewriteSettings(RegScript("Disk", "new"), context, true, journal);
  {
    RegistryKey key;
    ASSERT_TRUE(key.Open(kRoot, subkey));
    ASSERT_TRUE(key.Delete(std::string("Disk") + kRegistryBackupSuffix));
  }
  EXPECT_EQ(RestoreSettings(journal).restored.size(), 1u);
  EXPECT_EQ(Value("Disk").data, std::string("old\0", 4));
}

}  // namespace
}  // namespace vel::test
