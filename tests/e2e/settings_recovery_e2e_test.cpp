// The program's start puts back emulator settings that a launch rewrote and
// never restored (the program was killed while the emulator ran), and says so.
#include <gtest/gtest.h>

#include "e2e/program_runner_win.h"
#include "launch/rewrite_journal.h"
#include "launch/settings_rewrite.h"
#include "platform/codepage.h"
#include "platform/registry.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr const char* kRoot = "HKEY_CURRENT_USER";
constexpr const char* kSubkey = "Software\\VelmarookTestRecoveryAtStart";
constexpr const char* kIni = "[Screen]\r\nFull=0\r\n";

std::string RegistryText(const std::string& name) {
  RegistryKey key;
  RegistryValue value;
  if (!key.Open(kRoot, kSubkey) || !key.Read(name, value)) return "(missing)";
  return value.data;
}

TEST(SettingsRecovery, StartPutsBackWhatAnInterruptedLaunchLeft) {
  BaseFolder base;
  std::string ini = base.File("emu.ini");
  WriteWholeFile(ini, kIni);
  DeleteRegistryTree(kRoot, kSubkey);
  ASSERT_TRUE(CreateRegistryKey(kRoot, kSubkey));
  {
    RegistryKey key;
    ASSERT_TRUE(key.Open(kRoot, kSubkey));
    ASSERT_TRUE(key.Write("Disk", RegistryValue{kRegSz, std::string("old.d88\0", 8)}));
  }
  std::string keyPath = std::string(kRoot) + "\\" + kSubkey;
  {
    RewriteJournal journal(base.Path());
    RewriteContext context{base.Path(), base.Path(), nullptr, nullptr};
    RewriteSettings("INI-OPENFILE=emu.ini\nINI-SETSECTION=Screen\nINI-SETKEY=Full\nINI-REWRITE=1\n"
                    "REG-OPENKEY=" + keyPath + "\nREG-SETVALUENAME=Disk\nREG-REWRITE=new.d88\n",
                    context, true, journal);
    ASSERT_EQ(RegistryText("Disk"), std::string("new.d88\0", 8));
    ASSERT_NE(ReadWholeFile(ini), kIni);
  }  // the launch never restored

  RunningProgram program(base.Path(), "");
  HWND box = program.WaitForWindow("#32770", Jp("確認"));
  ASSERT_TRUE(box);
  std::string text = MessageBoxText(box);
  EXPECT_NE(text.find(ini), std::string::npos) << AnsiToUtf8(text);
  EXPECT_NE(text.find(keyPath + " : Disk"), std::string::npos) << AnsiToUtf8(text);
  EXPECT_EQ(ReadWholeFile(ini), kIni);
  EXPECT_EQ(RegistryText("Disk"), std::string("old.d88\0", 8));
  EXPECT_TRUE(JournalFilesIn(base.Path()).empty());
  PressButton(box, IDOK);
  EXPECT_TRUE(program.WaitUntilReady());
  EXPECT_TRUE(program.Close());
  EXPECT_FALSE(FileExists(ini + kIniBackupSuffix));
  DeleteRegistryTree(kRoot, kSubkey);
}

}  // namespace
}  // namespace vel::test
