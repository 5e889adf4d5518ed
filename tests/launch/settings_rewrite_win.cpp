// The settings rewrite against the real registry and profile functions: what
// the emulator sees during the run, and the state after the restore (or after
// the recovery from a crash) compared byte for byte with the state before.
#include <windows.h>

#include <gtest/gtest.h>

#include "launch/rewrite_journal.h"
#include "launch/settings_rewrite.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel::test {
namespace {

constexpr const wchar_t* kKey = L"Software\\VelmarookTestRewriteReal";
constexpr const char* kKeyPath = "HKEY_CURRENT_USER\\Software\\VelmarookTestRewriteReal";
constexpr const char* kIni = "[Drive]\r\nA=old.d88\r\n";

struct Stored {
  DWORD type = REG_NONE;
  std::string bytes;
  bool operator==(const Stored&) const = default;
};

Stored ReadWide(const wchar_t* name) {
  Stored value;
  HKEY key = nullptr;
  if (RegOpenKeyExW(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return value;
  DWORD size = 0;
  if (RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
    value.bytes.resize(size);
    RegQueryValueExW(key, name, nullptr, &value.type, reinterpret_cast<BYTE*>(value.bytes.data()), &size);
    value.bytes.resize(size);
  }
  RegCloseKey(key);
  return value;
}

// As a program that reads the value through the ANSI functions sees it.
std::string ReadAnsi(const char* name) {
  HKEY key = nullptr;
  std::string bytes;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\VelmarookTestRewriteReal", 0, KEY_READ, &key) != ERROR_SUCCESS)
    return bytes;
  DWORD size = 1024, type = 0;
  bytes.resize(size);
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) == ERROR_SUCCESS)
    bytes.resize(size);
  else
    bytes.clear();
  RegCloseKey(key);
  return bytes;
}

void PutWide(HKEY key, const wchar_t* name, DWORD type, const void* data, size_t size) {
  ASSERT_EQ(RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size)),
            ERROR_SUCCESS);
}

class RealRegistryRewrite : public ::testing::Test {
 protected:
  void SetUp() override {
    RegDeleteTreeW(HKEY_CURRENT_USER, kKey);
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    // A path with a character that code page 932 cannot hold: only a
    // backup of the stored bytes brings it back whole.
    const wchar_t path[] = L"C:\\emu\\disk\u00e9.d88";
    const DWORD count = 5;
    const BYTE blob[] = {1, 2, 3};
    const wchar_t disks[] = L"x\0y\0";
    PutWide(key, L"Path", REG_SZ, path, sizeof path);
    PutWide(key, L"Count", REG_DWORD, &count, sizeof count);
    PutWide(key, L"Blob", REG_BINARY, blob, sizeof blob);
    PutWide(key, L"Disks", REG_MULTI_SZ, disks, sizeof disks);
    RegCloseKey(key);
    for (const wchar_t* name : kNames) before_.push_back(ReadWide(name));
    ini_ = folder_ / "emu.ini";
    WriteWholeFile(ini_, kIni);
    context_.baseFolder = folder_.Path();
    context_.machineFolder = folder_.Path();
    context_.expand = [](const std::string& text) { return text == "$image" ? "C:\\new.d88" : text; };
  }
  void TearDown() override { RegDeleteTreeW(HKEY_CURRENT_USER, kKey); }

  std::string Script() const {
    return "INI-OPENFILE=" + ini_ + "\nINI-SETSECTION=Drive\nINI-SETKEY=A\nINI-REWRITE=$image\n" +
           "REG-OPENKEY=" + kKeyPath + "\nREG-SETVALUENAME=Path\nREG-REWRITE=$image\n" +
           "REG-SETVALUENAME=Count\nREG-REWRITE=9\nREG-SETVALUENAME=Blob\nREG-REWRITE=AB cd\n" +
           "REG-SETVALUENAME=Disks\nREG-REWRITE=|a|b\n";
  }

  void ExpectRewritten() {
    char value[64] = {};
    GetPrivateProfileStringA("Drive", "A", "", value, sizeof value, ini_.c_str());
    EXPECT_STREQ(value, "C:\\new.d88");
    EXPECT_EQ(ReadAnsi("Path"), std::string("C:\\new.d88\0", 11));
    EXPECT_EQ(ReadAnsi("Count"), std::string("\x09\0\0\0", 4));
    EXPECT_EQ(ReadAnsi("Blob"), "\xAB\xCD");
    EXPECT_EQ(ReadAnsi("Disks"), std::string("a\0b\0\0", 5));
    EXPECT_EQ(ReadWide((std::wstring(L"Count") + L"_velmarook_bup_40643814bup").c_str()), before_[1]);
  }

  void ExpectPutBack() {
    for (size_t i = 0; i < std::size(kNames); ++i) {
      EXPECT_TRUE(ReadWide(kNames[i]) == before_[i]) << i;
      EXPECT_EQ(ReadWide((std::wstring(kNames[i]) + L"_velmarook_bup_40643814bup").c_str()).type,
                static_cast<DWORD>(REG_NONE));
    }
    EXPECT_EQ(ReadWholeFile(ini_), kIni);
    EXPECT_FALSE(FileExists(ini_ + kIniBackupSuffix));
    EXPECT_TRUE(JournalFilesIn(folder_.Path()).empty());
  }

  static constexpr const wchar_t* kNames[] = {L"Path", L"Count", L"Blob", L"Disks"};
  TempFolder folder_;
  std::string ini_;
  RewriteContext context_;
  std::vector<Stored> before_;
};

TEST_F(RealRegistryRewrite, SeenDuringTheRunAndRestoredByteForByte) {
  RewriteJournal journal(folder_.Path());
  RewriteSettings(Script(), context_, true, journal);
  ExpectRewritten();
  RestoreReport report = RestoreSettings(journal);
  EXPECT_EQ(report.restored.size(), 5u);
  EXPECT_TRUE(report.failed.empty());
  ExpectPutBack();
}

TEST_F(RealRegistryRewrite, RecoveryAfterCrashRestoresByteForByte) {
  {
    RewriteJournal journal(folder_.Path());
    RewriteSettings(Script(), context_, true, journal);
    ExpectRewritten();
  }  // the launch is gone without restoring
  ScriptedAnswers answers;
  RecoverAndReport(folder_.Path(), nullptr);
  ExpectPutBack();
  ASSERT_EQ(answers.Asked().size(), 1u);
  EXPECT_EQ(answers.Asked()[0].caption, Jp("確認"));
  EXPECT_NE(answers.Asked()[0].text.find(std::string(kKeyPath) + " : Path"), std::string::npos);
}

}  // namespace
}  // namespace vel::test
