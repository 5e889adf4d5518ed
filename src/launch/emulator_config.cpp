#include "launch/emulator_config.h"

#include <algorithm>
#include <optional>

#include "core/cp932_text.h"
#include "db/library_connection.h"
#include "platform/codepage.h"
#include "platform/directory.h"
#include "platform/file_operations.h"
#include "platform/input_file.h"
#include "platform/output_file.h"
#include "platform/profile.h"
#include "platform/system.h"

namespace vel {
namespace {

constexpr const char* kDefaultSection = "DefaultEmulator";
constexpr const char* kDefaultKey = "INIFile";
constexpr const char* kBigPictureKey = "INIFile2";
constexpr const char* kObsoleteKeyFile = "KEYFile";

// A key of the table with the member it fills.
struct KeyBinding {
  ConfigKey key;
  int* (*intOf)(EmulatorConfig&);
  std::string* (*textOf)(EmulatorConfig&);
};

#define VEL_INT_KEY(section, key, def, member) \
  {{section, key, false, #def, 0, false}, [](EmulatorConfig& c) { return &c.member; }, nullptr}
#define VEL_TEXT_KEY(section, key, size, path, member) \
  {{section, key, true, "", size, path}, nullptr, [](EmulatorConfig& c) { return &c.member; }}

const std::vector<KeyBinding>& Bindings() {
  static const std::vector<KeyBinding> table = {
      VEL_INT_KEY("ImageFile", "Extract", 0, extract),
      VEL_TEXT_KEY("ImageFile", "ExtractPath", 260, true, extractPath),
      VEL_INT_KEY("ImageFile", "ExtractAllDelete", 0, extractAllDelete),
      VEL_INT_KEY("ImageFile", "SkipExtractIfExist", 0, skipExtractIfExist),
      VEL_TEXT_KEY("Emulator", "Exec", 260, true, exec),
      VEL_TEXT_KEY("Emulator", "Option", 1041, false, option),
      VEL_INT_KEY("Emulator", "double_quart", 0, doubleQuart),
      VEL_INT_KEY("Emulator", "ImageFnReplace", 0, imageFnReplace),
      VEL_INT_KEY("TerminationDetective", "ChekType", 0, chekType),
      VEL_INT_KEY("TerminationDetective", "TTSrch_ChekInterval", 5, ttSrchChekInterval),
      VEL_INT_KEY("TerminationDetective", "TTSrch_ThresholdOfIgnore", 1, ttSrchThresholdOfIgnore),
      VEL_INT_KEY("TerminationDetective", "TTSrch_CheckImage", 1, ttSrchCheckImage),
      VEL_INT_KEY("TerminationDetective", "TTSrch_CheckText", 0, ttSrchCheckText),
      VEL_INT_KEY("TerminationDetective", "TTSrch_NoTimeout", 0, ttSrchNoTimeout),
      VEL_INT_KEY("TerminationDetective", "TTSrch_SpaceSeparated", 0, ttSrchSpaceSeparated),
      VEL_INT_KEY("TerminationDetective", "TTSrch_UseOonlyKeywords", 0, ttSrchUseOonlyKeywords),
      VEL_TEXT_KEY("TerminationDetective", "TTSrch_Text", 256, false, ttSrchText),
      VEL_TEXT_KEY("TerminationDetective", "TTSrch_ExclusionText", 256, false, ttSrchExclusionText),
      VEL_TEXT_KEY("StartCommand", "cmd1", 520, true, start[0].cmd),
      VEL_TEXT_KEY("StartCommand", "opt1", 520, false, start[0].opt),
      VEL_INT_KEY("StartCommand", "wait1", 0, start[0].wait),
      VEL_INT_KEY("StartCommand", "appprocwait1", 0, start[0].appProcWait),
      VEL_TEXT_KEY("StartCommand", "cmd2", 520, true, start[1].cmd),
      VEL_TEXT_KEY("StartCommand", "opt2", 520, false, start[1].opt),
      VEL_INT_KEY("StartCommand", "wait2", 0, start[1].wait),
      VEL_INT_KEY("StartCommand", "appprocwait2", 0, start[1].appProcWait),
      VEL_TEXT_KEY("TerminateCommand", "cmd1", 520, true, terminate[0].cmd),
      VEL_TEXT_KEY("TerminateCommand", "opt1", 520, false, terminate[0].opt),
      VEL_INT_KEY("TerminateCommand", "wait1", 0, terminate[0].wait),
      VEL_TEXT_KEY("TerminateCommand", "cmd2", 520, true, terminate[1].cmd),
      VEL_TEXT_KEY("TerminateCommand", "opt2", 520, false, terminate[1].opt),
      VEL_INT_KEY("TerminateCommand", "wait2", 0, terminate[1].wait),
      VEL_INT_KEY("JoyEmuExit", "UseTerminateProcess", 0, useTerminateProcess),
      VEL_INT_KEY("KeyEmulation", "Enable2ImgOver", 0, enable2ImgOver),
      VEL_INT_KEY("ConfigRewrite", "BackupAndRestore", 1, backupAndRestore),
      VEL_INT_KEY("ClipToPNG", "ClipXthreshold", 0, clipXthreshold),
      VEL_INT_KEY("ClipToPNG", "ClipTopX", 0, clipTopX),
      VEL_INT_KEY("ClipToPNG", "ClipTopY", 0, clipTopY),
      VEL_INT_KEY("ClipToPNG", "ClipWidth", 0, clipWidth),
      VEL_INT_KEY("ClipToPNG", "ClipHeight", 0, clipHeight),
      VEL_INT_KEY("ClipToPNG", "ClipTopX2", 0, clipTopX2),
      VEL_INT_KEY("ClipToPNG", "ClipTopY2", 0, clipTopY2),
      VEL_INT_KEY("ClipToPNG", "ClipWidth2", 0, clipWidth2),
      VEL_INT_KEY("ClipToPNG", "ClipHeight2", 0, clipHeight2),
      VEL_INT_KEY("ClipToPNG", "Monitor", 0, monitor),
      VEL_INT_KEY("ClipToPNG", "SaveWidth", 0, saveWidth),
      VEL_INT_KEY("ClipToPNG", "SaveHeight", 0, saveHeight),
      VEL_INT_KEY("ClipToPNG", "HarfTone", 0, harfTone),
      VEL_INT_KEY("ClipToPNG", "ColorTrim", 0, colorTrim),
      VEL_INT_KEY("SnapCopy", "ReSize", 0, reSize),
      VEL_INT_KEY("SnapCopy", "Trim", 0, trim),
  };
  return table;
}

#undef VEL_INT_KEY
#undef VEL_TEXT_KEY

std::string IniName(const std::string& name) { return name + ".ini"; }

bool EndsWithIni(const std::string& fileName) {
  return fileName.size() > 4 && EqualsIgnoringCase(fileName.substr(fileName.size() - 4), ".ini");
}

std::string FolderWithoutSeparator(const std::string& base, const std::string& machine) {
  return EmuConfFolder(base) + "\\" + machine;
}

std::string DefaultKeyValue(const std::string& file, const char* key) {
  return FileExists(file) ? ProfileText(kDefaultSection, key, "", file) : std::string();
}

// The files of a configuration: the .ini and its three companions.
std::vector<std::string> ConfigFiles(const std::string& configPath) {
  return {configPath, CompanionPath(configPath, 0), CompanionPath(configPath, 1),
          CompanionPath(configPath, 2)};
}

bool RemoveIfPresent(const std::string& path) {
  if (!FileExists(path)) return true;
  ClearFileAttributes(path);
  return RemoveFile(path);
}

// Replaces `target` by the finished `work` file; the old file steps aside
// until the new one is in place and comes back when it cannot be.
bool PutInPlace(const std::string& work, const std::string& target) {
  const std::string previous = target + ".previous";
  const bool existed = FileExists(target);
  RemoveIfPresent(previous);
  if (existed && !RenameFile(target, previous)) {
    RemoveIfPresent(work);
    return false;
  }
  if (!RenameFile(work, target)) {
    if (existed) RenameFile(previous, target);
    RemoveIfPresent(work);
    return false;
  }
  RemoveIfPresent(previous);
  return true;
}

// The profile reader drops one pair of quotes around a value and the spaces
// at its ends; such a value is written inside one more pair of quotes so that
// it reads back as it was.
std::string AsProfileValue(const std::string& value) {
  if (value.empty()) return value;
  bool quoted = value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
                value.back() == value.front();
  bool padded = value.front() == ' ' || value.back() == ' ' || value.front() == '\t' ||
                value.back() == '\t';
  return quoted || padded ? "\"" + value + "\"" : value;
}

// Renames files one by one and can put them all back.
class FileMoves {
 public:
  bool Move(const std::string& from, const std::string& to) {
    if (!MoveOne(from, to)) return false;
    done_.emplace_back(from, to);
    return true;
  }
  void Undo() {
    for (auto it = done_.rbegin(); it != done_.rend(); ++it) MoveOne(it->second, it->first);
    done_.clear();
  }

 private:
  // Through a passing name, so that a change of case alone takes as well.
  static bool MoveOne(const std::string& from, const std::string& to) {
    const std::string passing = from + ".renaming";
    if (!RenameFile(from, passing)) return false;
    if (RenameFile(passing, to)) return true;
    RenameFile(passing, from);
    return false;
  }
  std::vector<std::pair<std::string, std::string>> done_;
};

ConfigChange Refused(const std::string& message, const std::string& caption) {
  ConfigChange change;
  change.ok = false;
  change.message = message;
  change.caption = caption;
  return change;
}

ConfigChange DatabaseFailure(const char* fixedText, const std::string& error) {
  return Refused(Jp(fixedText) + "\n" + Utf8ToAnsi(error), Jp("DBエラー"));
}

// Runs a binding statement and reads how many rows it changed.
std::optional<std::string> RunBindingStatement(LibraryConnection& db, const std::string& sql,
                                               int& changed) {
  if (auto error = db.Query(sql)) return error;
  if (auto error = db.Query("SELECT changes();")) return error;
  changed = db.RowCount() > 0 ? db.CellInt(1, 0) : 0;
  return std::nullopt;
}

std::string BoundItemsOf(const std::string& machine, const std::string& name) {
  return "SELECT pfile_ue FROM use_emuset_table JOIN main_table ON pfile_ue=file_name WHERE "
         "emuset_name='" + Quote(name) + "' AND machine_name='" + Quote(machine) + "'";
}

std::string DeleteBindingsSql(const std::string& machine, const std::string& name) {
  return "DELETE FROM use_emuset_table WHERE pfile_ue IN (" + BoundItemsOf(machine, name) + ");";
}

std::string RenameBindingsSql(const std::string& machine, const std::string& oldName,
                              const std::string& newName) {
  return "UPDATE use_emuset_table SET emuset_name='" + Quote(newName) + "' WHERE pfile_ue IN (" +
         BoundItemsOf(machine, oldName) + ");";
}

// The .ini files of a machine's folder in file-system order.
std::vector<std::string> ConfigFileNames(const std::string& base, const std::string& machine) {
  std::vector<std::string> names;
  if (!IsPlainName(machine)) return names;
  for (const FolderEntry& entry : ListFolder(FolderWithoutSeparator(base, machine)).entries)
    if (!entry.isFolder && EndsWithIni(entry.name)) names.push_back(entry.name);
  return names;
}

std::string Stem(const std::string& iniFileName) {
  return iniFileName.substr(0, iniFileName.size() - 4);
}

}  // namespace

// A name that stays one file or folder inside its folder: machine names, the
// default keys' values and the names of existing configurations (a file made
// by hand may hold a dot); new configuration names follow the stricter rule.
bool IsPlainName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (size_t i = 0; i < name.size(); i += CharacterLength(name, i)) {
    if (CharacterLength(name, i) != 1) continue;
    unsigned char c = static_cast<unsigned char>(name[i]);
    if (c < 0x20 || std::string_view("\\/:*?\"<>|").find(static_cast<char>(c)) != std::string_view::npos)
      return false;
  }
  return true;
}

const std::vector<ConfigKey>& ConfigKeyTable() {
  static const std::vector<ConfigKey> keys = [] {
    std::vector<ConfigKey> list;
    for (const KeyBinding& binding : Bindings()) list.push_back(binding.key);
    return list;
  }();
  return keys;
}

ConfigReadResult ReadEmulatorConfig(const std::string& configPath) {
  ConfigReadResult result;
  result.fileFound = IsExistingConfigFile(configPath);
  if (!result.fileFound) return result;
  for (const KeyBinding& binding : Bindings()) {
    const ConfigKey& key = binding.key;
    if (!key.isText) {
      int* value = binding.intOf(result.config);
      *value = ReadProfileInt(key.section, key.key, *value, configPath);
      continue;
    }
    std::string* value = binding.textOf(result.config);
    if (!ReadProfileText(key.section, key.key, key.defaultValue, configPath, *value))
      result.readWhole = false;
    size_t limit = key.bufferSize - 1;
    if (key.pathLimit) limit = std::min(limit, kMaxPathBytes);
    if (value->size() > limit)
      result.longValues.push_back({key.section, key.key, value->size(), limit, key.pathLimit});
  }
  return result;
}

bool WriteEmulatorConfig(const std::string& configPath, const EmulatorConfig& config) {
  const std::string work = configPath + ".saving";
  const bool existed = FileExists(configPath);
  const bool wasHidden = existed && IsHiddenFile(configPath);
  EmulatorConfig source = config;
  for (const KeyBinding& binding : Bindings())
    if (binding.textOf && binding.textOf(source)->find_first_of("\r\n") != std::string::npos)
      return false;  // a line break would split the value into other keys
  RemoveIfPresent(work);
  if (existed) {
    if (!CopyOneFile(configPath, work, CopyMode::kOverwrite)) return false;
    ClearFileAttributes(work);
  }
  for (const KeyBinding& binding : Bindings()) {
    const ConfigKey& key = binding.key;
    std::string text = key.isText ? AsProfileValue(*binding.textOf(source))
                                  : std::to_string(*binding.intOf(source));
    if (!WriteProfileText(key.section, key.key, text, work)) {
      RemoveIfPresent(work);
      return false;
    }
  }
  if (!PutInPlace(work, configPath)) return false;
  if (wasHidden) SetHiddenFile(configPath, true);
  return true;
}

std::string EmuConfFolder(const std::string& base) { return base + "\\emuconf"; }

std::string MachineDefaultFile(const std::string& base, const std::string& machine) {
  return EmuConfFolder(base) + "\\" + machine + ".ini";
}

std::string MachineConfigFolder(const std::string& base, const std::string& machine) {
  return FolderWithoutSeparator(base, machine) + "\\";
}

std::string ConfigFilePath(const std::string& base, const std::string& machine,
                           const std::string& name) {
  return MachineConfigFolder(base, machine) + IniName(name);
}

std::string MachineDefaultConfig(const std::string& base, const std::string& machine,
                                 bool bigPicture) {
  if (!IsPlainName(machine)) return {};
  const std::string file = MachineDefaultFile(base, machine);
  std::string name;
  if (bigPicture) name = DefaultKeyValue(file, kBigPictureKey);
  if (name.empty()) name = DefaultKeyValue(file, kDefaultKey);
  // A value that would lead out of the machine's folder names no configuration.
  return IsPlainName(name) ? name : std::string();
}

std::string ConfigPathForLaunch(const std::string& base, const std::string& machine,
                                const std::string& chosenName, bool bigPicture) {
  if (!IsPlainName(machine)) return EmuConfFolder(base) + "\\";
  if (!chosenName.empty()) {
    if (!IsPlainName(chosenName)) return MachineConfigFolder(base, machine);
    return ConfigFilePath(base, machine, chosenName);
  }
  const std::string defaultFile = MachineDefaultFile(base, machine);
  if (FileExists(defaultFile)) DeleteProfileKey(kDefaultSection, kObsoleteKeyFile, defaultFile);
  return MachineConfigFolder(base, machine) + MachineDefaultConfig(base, machine, bigPicture);
}

bool IsExistingConfigFile(const std::string& configPath) {
  return !configPath.empty() && !EndsWithSeparator(configPath) && FileExists(configPath);
}

std::string CompanionPath(const std::string& configPath, int kind) {
  static const char* const kExtensions[] = {"txt", "rew", "jed"};
  if (kind < 0 || kind > 2) return configPath;
  if (configPath.size() < 3 || !EqualsIgnoringCase(configPath.substr(configPath.size() - 3), "ini"))
    return {};
  return configPath.substr(0, configPath.size() - 3) + kExtensions[kind];
}

std::string ReadCompanionFile(const std::string& configPath, int kind) {
  const std::string path = CompanionPath(configPath, kind);
  InputFile file;
  if (path.empty() || !file.Open(path) || file.Size() <= 0) return {};
  std::string bytes(static_cast<size_t>(file.Size()), '\0');
  if (!file.ReadExactly(0, bytes.data(), bytes.size())) return {};
  return bytes;
}

bool WriteCompanionFile(const std::string& configPath, int kind, const std::string& bytes) {
  const std::string path = CompanionPath(configPath, kind);
  if (path.empty() || path == configPath) return false;
  if (bytes.empty()) return RemoveIfPresent(path);
  const std::string work = path + ".saving";
  OutputFile out;
  if (!out.Create(work) || !out.Write(bytes.data(), bytes.size()) || !out.Close()) {
    RemoveIfPresent(work);
    return false;
  }
  return PutInPlace(work, path);
}

bool IsUsableConfigName(const std::string& name) {
  if (name.empty()) return false;
  for (size_t i = 0; i < name.size(); i += CharacterLength(name, i)) {
    if (CharacterLength(name, i) != 1) continue;
    if (std::string_view("\\/<>:|?*.\"\r\n\t").find(name[i]) != std::string_view::npos) return false;
  }
  // Windows takes a device name with trailing spaces for the device.
  std::string bare = name.substr(0, name.find_last_not_of(' ') + 1);
  static const char* const kReserved[] = {"AUX", "CLOCK$", "CON", "CONFIG$", "NUL", "PRN"};
  for (const char* reserved : kReserved)
    if (EqualsIgnoringCase(bare, reserved)) return false;
  for (char digit = '1'; digit <= '9'; ++digit)
    if (EqualsIgnoringCase(bare, std::string("COM") + digit) ||
        EqualsIgnoringCase(bare, std::string("LPT") + digit))
      return false;
  return true;
}

std::string UnusableConfigNameMessage() {
  return Jp("設定名に使用できない文字が含まれているか、使用できない文字列です。");
}

std::optional<std::string> DuplicateConfig(const std::string& base, const std::string& machine,
                                           const std::string& name) {
  if (!IsPlainName(machine) || !IsPlainName(name)) return std::nullopt;
  const std::string source = ConfigFilePath(base, machine, name);
  if (!FileExists(source)) return std::nullopt;
  const std::string copyName = name + Jp("のコピー");
  for (int number = 0; number <= 98; ++number) {
    std::string candidate = number == 0 ? copyName : copyName + "(" + std::to_string(number) + ")";
    const std::string target = ConfigFilePath(base, machine, candidate);
    if (FileExists(target)) continue;
    if (!CopyOneFile(source, target, CopyMode::kKeepExisting)) return std::nullopt;
    for (int kind = 0; kind <= 2; ++kind) {
      const std::string companion = CompanionPath(source, kind);
      if (FileExists(companion))
        CopyOneFile(companion, CompanionPath(target, kind), CopyMode::kKeepExisting);
    }
    return candidate;
  }
  return std::nullopt;
}

std::string DeleteConfigQuestion(const std::string& name) {
  return name + Jp("を削除します。よろしいですか？");
}

ConfigChange DeleteConfig(const std::string& base, const std::string& machine,
                          const std::string& name, LibraryConnection& db) {
  if (!IsPlainName(machine) || !IsPlainName(name))
    return Refused(UnusableConfigNameMessage(), Jp("中止"));
  ConfigChange change;
  // The bindings go first: when they cannot, the files stay as they are.
  if (auto error = RunBindingStatement(db, DeleteBindingsSql(machine, name), change.changedBindings))
    return DatabaseFailure("db設定名削除エラー", *error);
  const std::string defaultFile = MachineDefaultFile(base, machine);
  if (EqualsIgnoringCase(DefaultKeyValue(defaultFile, kDefaultKey), IniName(name)))
    DeleteProfileKey(kDefaultSection, kDefaultKey, defaultFile);
  if (EqualsIgnoringCase(DefaultKeyValue(defaultFile, kBigPictureKey), IniName(name)))
    DeleteProfileKey(kDefaultSection, kBigPictureKey, defaultFile);
  for (const std::string& file : ConfigFiles(ConfigFilePath(base, machine, name)))
    if (!RemoveIfPresent(file))
      return Refused(file + Jp("を削除できませんでした。"), Jp("エラー"));
  return change;
}

DefaultChange SetMachineDefault(const std::string& base, const std::string& machine,
                                const std::string& name) {
  if (!IsPlainName(machine) || !IsPlainName(name)) return DefaultChange::kFailed;
  const std::string file = MachineDefaultFile(base, machine);
  if (EqualsIgnoringCase(DefaultKeyValue(file, kDefaultKey), IniName(name)))
    return DeleteProfileKey(kDefaultSection, kDefaultKey, file) ? DefaultChange::kCleared
                                                                 : DefaultChange::kFailed;
  return WriteProfileText(kDefaultSection, kDefaultKey, IniName(name), file) ? DefaultChange::kSet
                                                                             : DefaultChange::kFailed;
}

DefaultChange SetBigPictureDefault(const std::string& base, const std::string& machine,
                                   const std::string& name) {
  if (!IsPlainName(machine) || !IsPlainName(name)) return DefaultChange::kFailed;
  const std::string file = MachineDefaultFile(base, machine);
  const std::string current = DefaultKeyValue(file, kDefaultKey);
  const char* key = kBigPictureKey;
  if (current.empty()) key = kDefaultKey;
  else if (EqualsIgnoringCase(current, IniName(name))) return DefaultChange::kAlreadyDefault;
  else if (EqualsIgnoringCase(DefaultKeyValue(file, kBigPictureKey), IniName(name)))
    return DeleteProfileKey(kDefaultSection, kBigPictureKey, file) ? DefaultChange::kCleared
                                                                    : DefaultChange::kFailed;
  return WriteProfileText(kDefaultSection, key, IniName(name), file) ? DefaultChange::kSet
                                                                     : DefaultChange::kFailed;
}

std::string AlreadyDefaultMessage() { return Jp("既にデフォルトエミュに設定されています"); }

bool RenameTargetExists(const std::string& base, const std::string& oldMachine,
                        const std::string& oldName, const std::string& newMachine,
                        const std::string& newName) {
  if (EqualsIgnoringCase(oldMachine, newMachine) && EqualsIgnoringCase(oldName, newName))
    return false;
  return FileExists(ConfigFilePath(base, newMachine, newName));
}

ConfigChange RenameOrMoveConfig(const std::string& base, const std::string& oldMachine,
                                const std::string& oldName, const std::string& newMachine,
                                const std::string& newName, bool overwrite,
                                LibraryConnection& db) {
  if (!IsPlainName(oldMachine) || !IsPlainName(newMachine) ||
      !IsPlainName(oldName) || !IsUsableConfigName(newName))
    return Refused(UnusableConfigNameMessage(), Jp("中止"));
  if (oldMachine == newMachine && oldName == newName) return {};
  const bool sameMachine = EqualsIgnoringCase(oldMachine, newMachine);
  const bool caseOnly = sameMachine && EqualsIgnoringCase(oldName, newName);
  const std::vector<std::string> from = ConfigFiles(ConfigFilePath(base, oldMachine, oldName));
  const std::vector<std::string> to = ConfigFiles(ConfigFilePath(base, newMachine, newName));
  CreateFolder(EmuConfFolder(base));
  CreateFolder(FolderWithoutSeparator(base, newMachine));

  // Files first; every move is undone when a later step fails, and replaced
  // files only step aside until the end.
  FileMoves moves;
  auto failedMove = [&](const std::string& file) {
    moves.Undo();
    return Refused(file + Jp("の名前を変更できませんでした。"), Jp("エラー"));
  };
  std::vector<std::string> replaced;
  if (!caseOnly && FileExists(to[0])) {
    if (!overwrite) return Refused(Jp("指定された機種に、同じ設定名が存在します。"), Jp("中止"));
    for (const std::string& file : to) {
      if (!FileExists(file)) continue;
      if (!moves.Move(file, file + ".replaced")) return failedMove(file);
      replaced.push_back(file + ".replaced");
    }
  }
  for (size_t i = 0; i < from.size(); ++i)
    if (FileExists(from[i]) && !moves.Move(from[i], to[i])) return failedMove(from[i]);

  ConfigChange change;
  const std::string sql = sameMachine ? RenameBindingsSql(oldMachine, oldName, newName)
                                      : DeleteBindingsSql(oldMachine, oldName);
  if (auto error = RunBindingStatement(db, sql, change.changedBindings)) {
    moves.Undo();
    return DatabaseFailure("db設定名変更エラー", *error);
  }
  for (const std::string& file : replaced) RemoveIfPresent(file);

  const std::string defaultFile = MachineDefaultFile(base, oldMachine);
  for (const char* key : {kDefaultKey, kBigPictureKey}) {
    if (!EqualsIgnoringCase(DefaultKeyValue(defaultFile, key), IniName(oldName))) continue;
    if (sameMachine) WriteProfileText(kDefaultSection, key, IniName(newName), defaultFile);
    else DeleteProfileKey(kDefaultSection, key, defaultFile);
  }
  return change;
}

std::vector<EmulatorMenuEntry> EmulatorMenuEntries(const std::string& base,
                                                   const std::string& machine,
                                                   const std::string& boundName, bool bigPicture) {
  std::vector<EmulatorMenuEntry> entries;
  const std::string defaultName = MachineDefaultConfig(base, machine, bigPicture);
  for (const std::string& fileName : ConfigFileNames(base, machine)) {
    if (IsHiddenFile(MachineConfigFolder(base, machine) + fileName)) continue;
    EmulatorMenuEntry entry;
    entry.name = Stem(fileName);
    entry.isDefault = EqualsIgnoringCase(fileName, defaultName);
    entry.checked = boundName.empty() ? entry.isDefault : EqualsIgnoringCase(entry.name, boundName);
    entries.push_back(std::move(entry));
  }
  return entries;
}

std::string NoEmulatorConfigText() { return Jp("エミュレータの設定がありません"); }

std::string DiskMenuQuery(const std::string& fileName) {
  return "SELECT file_title, file_arc_title FROM main_table WHERE ply_file_name='" +
         Quote(fileName) + "' ORDER BY ply, file_name ;";
}

std::string DiskMenuEntryText(const std::string& fileTitle, const std::string& fileArcTitle) {
  return fileArcTitle.empty() ? fileTitle : fileArcTitle;
}

std::vector<ConfigListRow> ConfigListRows(const std::string& base,
                                          const std::vector<std::string>& machines,
                                          LibraryConnection& db) {
  std::vector<ConfigListRow> rows;
  for (const std::string& machine : machines) {
    const std::string defaultFile = MachineDefaultFile(base, machine);
    const std::string defaultName = DefaultKeyValue(defaultFile, kDefaultKey);
    const std::string bigPictureName = DefaultKeyValue(defaultFile, kBigPictureKey);
    for (const std::string& fileName : ConfigFileNames(base, machine)) {
      ConfigListRow row;
      row.machine = machine;
      row.name = Stem(fileName);
      row.isDefault = EqualsIgnoringCase(fileName, defaultName);
      row.isBigPictureDefault = EqualsIgnoringCase(fileName, bigPictureName);
      row.hidden = IsHiddenFile(MachineConfigFolder(base, machine) + fileName);
      row.inUse = !db.Query(InUseQuery(machine, row.name)) && db.RowCount() > 0;
      rows.push_back(std::move(row));
    }
  }
  return rows;
}

std::string DefaultMark(const ConfigListRow& row) {
  if (row.isDefault) return " :-->:";
  return row.isBigPictureDefault ? " :B->:" : " : :";
}

std::string UsageMark(const ConfigListRow& row) { return row.inUse ? Jp(":使用中") : ": "; }

std::string InUseQuery(const std::string& machine, const std::string& name) {
  return "SELECT emuset_name FROM use_emuset_table JOIN main_table ON pfile_ue=file_name WHERE "
         "emuset_name='" + Quote(name) + "' AND machine_name='" + Quote(machine) + "' LIMIT 1";
}

std::string QuickFilterSql(const std::string& machine, const std::string& name) {
  return "SELECT * FROM list_view WHERE machine_name='" + Quote(machine) +
         "' AND file_name IN (SELECT pfile_ue FROM use_emuset_table WHERE emuset_name='" +
         Quote(name) + "') AND ply <= 1;";
}

std::string UsageListSql(const std::string& machine, const std::string& name) {
  return "SELECT title,version FROM main_table LEFT JOIN use_emuset_table ON file_name=pfile_ue "
         "WHERE emuset_name='" + Quote(name) + "' AND machine_name='" + Quote(machine) +
         "' AND ply <= 1;";
}

std::string UsageListHeading(const std::string& machine, const std::string& name, int count) {
  return machine + " > " + name + " : Total( " + std::to_string(count) + " )";
}

}  // namespace vel
