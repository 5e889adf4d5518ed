#pragma once
// Emulator configurations: one INI file per configuration under
// <base>\emuconf\<machine>\<name>.ini with its companion scripts (.txt key
// input, .rew settings rewrite, .jed exit keys), the machine default file
// <base>\emuconf\<machine>.ini, and the per-item bindings in
// use_emuset_table. Everything here is portable: files go through the
// platform seams, SQL through a LibraryConnection. Nothing is cached: every
// call reads the files as they are now.
//
// All texts are the program's CP932. `base` is the base folder without a
// trailing backslash (AppPaths::base).
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace vel {

class LibraryConnection;

// ---------------------------------------------------------------------------
// The record

// Programs run before ([StartCommand]) or after ([TerminateCommand]) the
// emulator. `appProcWait` exists only for programs run before.
struct HelperProgram {
  std::string cmd;      // cmdN
  std::string opt;      // optN (raw: the launch turns "" into " then expands)
  int wait = 0;         // waitN, seconds
  int appProcWait = 0;  // appprocwaitN: 0/1 start only, 2 wait, 3 wait and need exit code 0
};

// Every key of a configuration file with its default. Member names follow
// the keys.
struct EmulatorConfig {
  // [ImageFile]
  int extract = 0;  // 0 pass unchanged, 1 extract archives, 2 also copy plain images
  std::string extractPath;
  int extractAllDelete = 0;
  int skipExtractIfExist = 0;
  // [Emulator]
  std::string exec;
  std::string option;
  int doubleQuart = 0;
  int imageFnReplace = 0;
  // [TerminationDetective]
  int chekType = 0;  // 0 Type1 process, 2 Type2 shell + process, 1 window title
  int ttSrchChekInterval = 5;  // seconds
  int ttSrchThresholdOfIgnore = 1;
  int ttSrchCheckImage = 1;
  int ttSrchCheckText = 0;
  int ttSrchNoTimeout = 0;
  int ttSrchSpaceSeparated = 0;
  int ttSrchUseOonlyKeywords = 0;
  std::string ttSrchText;
  std::string ttSrchExclusionText;
  // [StartCommand] cmd1/opt1/wait1/appprocwait1 and the same with 2
  HelperProgram start[2];
  // [TerminateCommand] cmd1/opt1/wait1 and the same with 2
  HelperProgram terminate[2];
  // [JoyEmuExit]
  int useTerminateProcess = 0;
  // [KeyEmulation]
  int enable2ImgOver = 0;
  // [ConfigRewrite]
  int backupAndRestore = 1;
  // [ClipToPNG]
  int clipXthreshold = 0, clipTopX = 0, clipTopY = 0, clipWidth = 0, clipHeight = 0;
  int clipTopX2 = 0, clipTopY2 = 0, clipWidth2 = 0, clipHeight2 = 0;
  int monitor = 0, saveWidth = 0, saveHeight = 0, harfTone = 0, colorTrim = 0;
  // [SnapCopy]
  int reSize = 0, trim = 0;
};

// One key of the table: section, key, whether it is text, its default as
// written, and for text the size of the buffer it was traditionally read
// into (values longer than limit - 1 bytes were cut there). `pathLimit` marks
// values that name a file or folder: Windows itself refuses those beyond
// MAX_PATH, so the launch must refuse such a value rather than cut it.
struct ConfigKey {
  const char* section;
  const char* key;
  bool isText;
  const char* defaultValue;
  std::size_t bufferSize;  // 0 for integers
  bool pathLimit;
};
// The whole key table, in the order the editor writes it.
const std::vector<ConfigKey>& ConfigKeyTable();

// Longest file or folder path Windows accepts (MAX_PATH less the final NUL).
inline constexpr std::size_t kMaxPathBytes = 259;

// A text value longer than its traditional buffer held (bufferSize - 1
// bytes) or, for a `pathLimit` key, longer than kMaxPathBytes. It is kept
// whole in the record; the launch decides, and must refuse a `pathLimit` one
// rather than cut it.
struct LongValue {
  std::string section, key;
  std::size_t length = 0;  // bytes
  std::size_t limit = 0;   // bytes that fit
  bool pathLimit = false;
};

struct ConfigReadResult {
  EmulatorConfig config;         // defaults where a key is missing or not numeric
  bool fileFound = false;        // false: the file is missing (config holds the defaults)
  bool readWhole = true;         // false when a value could not be read whole
  std::vector<LongValue> longValues;
};
// Reads every key. Integers as the profile API reads them (leading decimal
// digits, else the default), texts whole.
ConfigReadResult ReadEmulatorConfig(const std::string& configPath);

// Writes every key (integers as decimal text). The file is assembled beside
// the target and then put in place, so a failed save leaves the old file as
// it was; keys of the old file that are not in the table are kept, and so is
// its hidden attribute. A text the profile reader would change (surrounding
// quotes or spaces) is written so that it reads back unchanged. False when
// the file could not be written or a text holds a line break (nothing is
// written then).
bool WriteEmulatorConfig(const std::string& configPath, const EmulatorConfig& config);

// The record with every default (the editor's "reset").
inline EmulatorConfig DefaultEmulatorConfig() { return EmulatorConfig{}; }

// ---------------------------------------------------------------------------
// Files and paths

// <base>\emuconf
std::string EmuConfFolder(const std::string& base);
// <base>\emuconf\<machine>.ini
std::string MachineDefaultFile(const std::string& base, const std::string& machine);
// <base>\emuconf\<machine>\ (with the trailing backslash)
std::string MachineConfigFolder(const std::string& base, const std::string& machine);
// <base>\emuconf\<machine>\<name>.ini
std::string ConfigFilePath(const std::string& base, const std::string& machine,
                           const std::string& name);

// The machine's default configuration file name (with ".ini"): INIFile2 in
// the BigPicture layout when set, else INIFile; "" when none.
std::string MachineDefaultConfig(const std::string& base, const std::string& machine,
                                 bool bigPicture);

// The configuration file of a launch. An empty `chosenName` means the machine
// default; the obsolete KEYFile key is then removed from the machine default
// file. Without a default the result names only the folder (it ends with a
// backslash) — see IsExistingConfigFile.
std::string ConfigPathForLaunch(const std::string& base, const std::string& machine,
                                const std::string& chosenName, bool bigPicture);
// True only for an existing file (a path naming a folder is never one).
bool IsExistingConfigFile(const std::string& configPath);

// Companion files, found by replacing the trailing "ini" of the path.
enum class Companion { kKeyScript = 0, kRewriteScript = 1, kExitScript = 2 };
// The companion's path; any `kind` outside 0..2 gives the path itself.
std::string CompanionPath(const std::string& configPath, int kind);
// The whole file, raw bytes; "" when missing or unreadable (same as empty).
std::string ReadCompanionFile(const std::string& configPath, int kind);
// Writes a companion whole; an empty script removes the file. False on failure.
bool WriteCompanionFile(const std::string& configPath, int kind, const std::string& bytes);

// ---------------------------------------------------------------------------
// Names

// True when `name` may be given to a new or renamed configuration: not
// empty, none of \ / < > : | ? * . " line break or tab, not a reserved device
// name (AUX, CLOCK$, COM1-9, CON, CONFIG$, LPT1-9, NUL, PRN, any case), not
// "..". Existing files are looked up, launched, copied and deleted under any
// name that stays inside its folder (one made by hand may hold a dot); a name
// or machine that would lead out of emuconf is refused everywhere.
bool IsUsableConfigName(const std::string& name);
// True when `name` stays one file or folder inside its folder: not empty,
// not "." or "..", none of \ / : * ? " < > | or a control character.
bool IsPlainName(const std::string& name);
// "設定名に使用できない文字が含まれているか、使用できない文字列です。"
std::string UnusableConfigNameMessage();

// ---------------------------------------------------------------------------
// Operations of the configuration list. Each returns what the caller shows:
// ok, or a message with its caption ("DBエラー" for the database, "エラー"
// for files).

struct ConfigChange {
  bool ok = true;
  std::string message;  // CP932, empty when ok
  std::string caption;  // CP932
  int changedBindings = 0;  // rows the binding statement changed
};

// Copies <name>.ini to the first free of "<name>のコピー", "<name>のコピー(1)"
// .. "(98)", with .txt/.rew/.jed alongside; never overwrites. The new name,
// or nothing when every name is taken or the copy failed.
std::optional<std::string> DuplicateConfig(const std::string& base, const std::string& machine,
                                           const std::string& name);

// "<name>を削除します。よろしいですか？" (the caller asks Yes/No).
std::string DeleteConfigQuestion(const std::string& name);
// Removes the bindings of the machine's items to the configuration, then the
// default keys naming it and its four files. On a database failure nothing is
// deleted ("db設定名削除エラー").
ConfigChange DeleteConfig(const std::string& base, const std::string& machine,
                          const std::string& name, LibraryConnection& db);

enum class DefaultChange { kSet, kCleared, kAlreadyDefault, kFailed };
// Makes the configuration the machine default; when it already is, removes
// INIFile only (the BigPicture default stays).
DefaultChange SetMachineDefault(const std::string& base, const std::string& machine,
                                const std::string& name);
// BigPicture default: sets INIFile when empty; kAlreadyDefault when INIFile
// already names it (show AlreadyDefaultMessage()); else toggles INIFile2.
DefaultChange SetBigPictureDefault(const std::string& base, const std::string& machine,
                                   const std::string& name);
// "既にデフォルトエミュに設定されています"
std::string AlreadyDefaultMessage();

// True when <newMachine>\<newName>.ini exists and is another file than the
// one being renamed (the editor then asks whether to overwrite).
bool RenameTargetExists(const std::string& base, const std::string& oldMachine,
                        const std::string& oldName, const std::string& newMachine,
                        const std::string& newName);
// Renames or moves a configuration with its companions (a change of case
// only is a rename too). The target's files are replaced only with
// `overwrite`. Within one machine the default keys naming the old file are
// rewritten and the bindings follow ("db設定名変更エラー"); moving to another
// machine removes the old machine's default keys naming it and the bindings
// (other defaults of the old machine stay). On a database failure the files
// are moved back. The editor then writes its record to the new path.
ConfigChange RenameOrMoveConfig(const std::string& base, const std::string& oldMachine,
                                const std::string& oldName, const std::string& newMachine,
                                const std::string& newName, bool overwrite,
                                LibraryConnection& db);

// ---------------------------------------------------------------------------
// Menus and the list, as data

struct EmulatorMenuEntry {
  std::string name;        // file name without ".ini"
  bool isDefault = false;  // drawn bold
  bool checked = false;    // the item's binding, or else the machine default
};
// The machine folder's *.ini in file-system order, hidden files and folders
// left out. `boundName` is the item's binding ("" when unbound).
std::vector<EmulatorMenuEntry> EmulatorMenuEntries(const std::string& base,
                                                   const std::string& machine,
                                                   const std::string& boundName, bool bigPicture);
// "エミュレータの設定がありません"
std::string NoEmulatorConfigText();

// The members of a multi-disk set, by the item's file_name.
std::string DiskMenuQuery(const std::string& fileName);
// file_arc_title, or file_title when that is empty.
std::string DiskMenuEntryText(const std::string& fileTitle, const std::string& fileArcTitle);

struct ConfigListRow {
  std::string machine;
  std::string name;  // without ".ini"
  bool isDefault = false;
  bool isBigPictureDefault = false;
  bool inUse = false;
  bool hidden = false;
};
// One row per .ini of each machine's folder (hidden ones included).
// `inUse` is read through `db`; a failed query leaves it false.
std::vector<ConfigListRow> ConfigListRows(const std::string& base,
                                          const std::vector<std::string>& machines,
                                          LibraryConnection& db);
// " :-->:", " :B->:" or " : :"
std::string DefaultMark(const ConfigListRow& row);
// ":使用中" or ": "
std::string UsageMark(const ConfigListRow& row);
// Whether at least one item of the machine is bound to the configuration.
std::string InUseQuery(const std::string& machine, const std::string& name);
// The quick filter's view of the bound items.
std::string QuickFilterSql(const std::string& machine, const std::string& name);
// The usage list's titles and versions, and its heading.
std::string UsageListSql(const std::string& machine, const std::string& name);
std::string UsageListHeading(const std::string& machine, const std::string& name, int count);

}  // namespace vel
