#pragma once
// Rewriting emulator settings (INI keys and registry values) before a launch,
// putting them back after it, and trying a script out in the editor.
//
// A script is lines "COMMAND=value": INI-OPENFILE, INI-SETSECTION, INI-SETKEY,
// INI-REWRITE, REG-OPENKEY, REG-SETVALUENAME, REG-REWRITE (any case), and
// INC:name lines that pull in other files first. Processing stops at the first
// empty line; a script whose first line is empty does nothing.
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "launch/rewrite_journal.h"

namespace vel {

// Read back from an INI key, it means the section or key is missing.
inline constexpr const char* kIniSentinel = "VelVelVelVel2657958Marook987";
inline constexpr const char* kIniBackupSuffix = ".velmarook_bak";
inline constexpr const char* kRegistryBackupSuffix = "_velmarook_bup_40643814bup";
inline constexpr const char* kRegistryTestSuffix = "_velmarook_test_40643814test";
inline constexpr int kMostIncludes = 100;  // included lines, each replaced line counted
// A rewrite script is a few lines; includes never make it larger than this.
inline constexpr std::size_t kLargestExpandedScript = std::size_t{4} << 20;

// Placeholder expansion of a value with the quote-strip flag set.
using ExpandValue = std::function<std::string(const std::string&)>;

struct RewriteContext {
  std::string baseFolder;     // relative paths and journal files; no trailing backslash
  std::string machineFolder;  // <base>\emuconf\<machine>: where plain include names are looked up
  ExpandValue expand;         // empty: values are taken as they are
  void* owner = nullptr;      // owner window of the dialogs
};

struct IncludeResult {
  std::string script;        // line feeds only, ending in one
  bool testEnded = false;    // the user ended the test at a missing include
};
// Replaces each INC: line by the named file's content (at most 100 lines in
// all, and within kLargestExpandedScript bytes).
IncludeResult ExpandIncludes(const std::string& script, const RewriteContext& context, bool testMode);

struct RewriteCommand {
  enum class Kind { kIniOpenFile, kIniSetSection, kIniSetKey, kIniRewrite,
                    kRegOpenKey, kRegSetValueName, kRegRewrite };
  Kind kind;
  std::string value;  // after the first "=", trimmed of spaces
};
// The commands of an expanded script, up to its first empty line.
std::vector<RewriteCommand> ParseRewriteScript(const std::string& script);

// The bytes a value text becomes under a registry type (program form), or
// false when the type is none of the seven or the text does not fit it.
bool RegistryDataFromText(std::uint32_t type, const std::string& text, std::string& data);

// Before a launch: rewrites what the script names. With `backup`, each INI
// file and registry value is first recorded in `journal` and backed up; an
// entry whose record or backup cannot be made is left untouched. Shows no
// dialogs but the include warning; failing entries are skipped.
void RewriteSettings(const std::string& script, const RewriteContext& context, bool backup,
                     RewriteJournal& journal);

// The editor's test: checks every entry and reports each in a dialog,
// changing nothing. False when the user ended the test.
bool TestRewriteScript(const std::string& script, const RewriteContext& context);

// What a restore put back and what it could not (INI file paths and
// "ROOT\subkey : value name" texts).
struct RestoreReport {
  std::vector<std::string> restored;
  std::vector<std::string> failed;
  // Registry values whose key was deleted (with the backup in it): their
  // entries are closed, since nothing is left to put back.
  std::vector<std::string> gone;
};

// After the emulator has ended: puts back what the launch's journal recorded,
// and removes the journal when everything is back; otherwise the journal
// stays for the recovery at the next start or launch.
RestoreReport RestoreSettings(RewriteJournal& journal);

// Puts back what launches that never restored left in the base folder's
// journals; journals of running launches are left alone.
RestoreReport RecoverLeftBehindRewrites(const std::string& baseFolder);
// Tells the user what the recovery put back or could not; shows nothing (and
// returns false) when the report is empty.
bool ReportRecovery(const RestoreReport& report, void* owner);
// Both, as the program's start and each launch run it; true when a message
// was shown.
bool RecoverAndReport(const std::string& baseFolder, void* owner);

}  // namespace vel
