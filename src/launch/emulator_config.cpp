// Skeleton; filled in below.
#include "launch/emulator_config.h"
#include <optional>

namespace vel {

const std::vector<ConfigKey>& ConfigKeyTable() { static const std::vector<ConfigKey> t; return t; }
ConfigReadResult ReadEmulatorConfig(const std::string& configPath) { return {}; }
bool WriteEmulatorConfig(const std::string& configPath, const EmulatorConfig& config) { return false; }
std::string EmuConfFolder(const std::string& base) { return {}; }
std::string MachineDefaultFile(const std::string& base, const std::string& machine) { return {}; }
std::string MachineConfigFolder(const std::string& base, const std::string& machine) { return {}; }
std::string ConfigFilePath(const std::string& base, const std::string& machine,
                           const std::string& name) { return {}; }
std::string MachineDefaultConfig(const std::string& base, const std::string& machine,
                                 bool bigPicture) { return {}; }
std::string ConfigPathForLaunch(const std::string& base, const std::string& machine,
                                const std::string& chosenName, bool bigPicture) { return {}; }
bool IsExistingConfigFile(const std::string& configPath) { return false; }
std::string CompanionPath(const std::string& configPath, int kind) { return {}; }
std::string ReadCompanionFile(const std::string& configPath, int kind) { return {}; }
bool WriteCompanionFile(const std::string& configPath, int kind, const std::string& bytes) { return false; }
bool IsUsableConfigName(const std::string& name) { return false; }
std::string UnusableConfigNameMessage() { return {}; }
std::optional<std::string> DuplicateConfig(const std::string& base, const std::string& machine,
                                           const std::string& name) { return {}; }
std::string DeleteConfigQuestion(const std::string& name) { return {}; }
ConfigChange DeleteConfig(const std::string& base, const std::string& machine,
                          const std::string& name, LibraryConnection& db) { return {}; }
DefaultChange SetMachineDefault(const std::string& base, const std::string& machine,
                                const std::string& name) { return DefaultChange::kFailed; }
DefaultChange SetBigPictureDefault(const std::string& base, const std::string& machine,
                                   const std::string& name) { return DefaultChange::kFailed; }
std::string AlreadyDefaultMessage() { return {}; }
bool RenameTargetExists(const std::string& base, const std::string& oldMachine,
                        const std::string& oldName, const std::string& newMachine,
                        const std::string& newName) { return false; }
ConfigChange RenameOrMoveConfig(const std::string& base, const std::string& oldMachine,
                                const std::string& oldName, const std::string& newMachine,
                                const std::string& newName, bool overwrite,
                                LibraryConnection& db) { return {}; }
std::vector<EmulatorMenuEntry> EmulatorMenuEntries(const std::string& base,
                                                   const std::string& machine,
                                                   const std::string& boundName, bool bigPicture) { return {}; }
std::string NoEmulatorConfigText() { return {}; }
std::string DiskMenuQuery(const std::string& fileName) { return {}; }
std::string DiskMenuEntryText(const std::string& fileTitle, const std::string& fileArcTitle) { return {}; }
std::vector<ConfigListRow> ConfigListRows(const std::string& base,
                                          const std::vector<std::string>& machines,
                                          LibraryConnection& db) { return {}; }
std::string DefaultMark(const ConfigListRow& row) { return {}; }
std::string UsageMark(const ConfigListRow& row) { return {}; }
std::string InUseQuery(const std::string& machine, const std::string& name) { return {}; }
std::string QuickFilterSql(const std::string& machine, const std::string& name) { return {}; }
std::string UsageListSql(const std::string& machine, const std::string& name) { return {}; }
std::string UsageListHeading(const std::string& machine, const std::string& name, int count) { return {}; }

}  // namespace vel
