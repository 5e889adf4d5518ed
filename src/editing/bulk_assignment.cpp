#include "editing/bulk_assignment.h"

#include "db/library_connection.h"
#include "editing/master_tables.h"
#include "launch/emulator_config.h"
#include "maintenance/image_sets.h"
#include "platform/codepage.h"

namespace vel {
namespace {

MasterKind KindOf(AssignField field) {
  switch (field) {
    case AssignField::Machine: return MasterKind::Machine;
    case AssignField::Media: return MasterKind::Media;
    case AssignField::Genre: return MasterKind::Genre;
    case AssignField::Adultex: break;
  }
  return MasterKind::Adultex;
}

const char* MainColumn(AssignField field) {
  switch (field) {
    case AssignField::Machine: return "machine_name";
    case AssignField::Media: return "media_name";
    case AssignField::Genre: return "genre_name";
    case AssignField::Adultex: break;
  }
  return "";
}

}  // namespace

std::optional<std::string> LoadAssignmentNames(LibraryConnection& db, AssignField field,
                                               std::vector<std::string>& names) {
  return LoadMasterNamesByName(db, KindOf(field), names);
}

std::string AssignmentStatement(AssignField field, const std::string& key, const std::string& value) {
  if (field == AssignField::Adultex)
    // The columns are named: the item's details are copied from its old row
    // (or stay empty without one), only the rating changes.
    return "INSERT OR REPLACE INTO spec_table(pfile_sc, breed, price, media_detail, device, players, "
           "savedat_detail, sound_detail, adultex_name) "
           "SELECT x.pfile_sc, org.breed, org.price, org.media_detail, org.device, org.players, "
           "org.savedat_detail, org.sound_detail, x.adultex_name "
           "FROM (SELECT '" + Quote(key) + "' AS pfile_sc, '" + Quote(value) + "' AS adultex_name) AS x "
           "LEFT JOIN spec_table AS org ON x.pfile_sc = org.pfile_sc;";
  return std::string("UPDATE main_table SET ") + MainColumn(field) + "='" + Quote(value) + "' WHERE file_name='" +
         Quote(key) + "';";
}

std::optional<BatchFailure> AssignToItems(LibraryConnection& db, AssignField field,
                                          const std::vector<std::string>& keys, const std::string& value) {
  // AssignmentStatement with the key as ?1 and the value as ?2, parsed once.
  const std::string sql =
      field == AssignField::Adultex
          ? "INSERT OR REPLACE INTO spec_table(pfile_sc, breed, price, media_detail, device, players, "
            "savedat_detail, sound_detail, adultex_name) "
            "SELECT x.pfile_sc, org.breed, org.price, org.media_detail, org.device, org.players, "
            "org.savedat_detail, org.sound_detail, x.adultex_name "
            "FROM (SELECT ?1 AS pfile_sc, ?2 AS adultex_name) AS x "
            "LEFT JOIN spec_table AS org ON x.pfile_sc = org.pfile_sc;"
          : std::string("UPDATE main_table SET ") + MainColumn(field) + "=?2 WHERE file_name=?1;";
  return RunKeyedStatement(
      db, keys, {sql, {value}, [&](const std::string& key) { return AssignmentStatement(field, key, value); }});
}

std::string MachineAssignQuestion() { return Jp("機種を一括変更しようとしています。\n本当に実行しますか？"); }

std::vector<std::string> EmulatorSettingNames(const std::string& base, const std::string& machine) {
  std::vector<std::string> names;
  // A machine that would lead out of emuconf has no configurations.
  if (!IsPlainName(machine)) return names;
  for (const EmulatorMenuEntry& entry : EmulatorMenuEntries(base, machine, "", false)) names.push_back(entry.name);
  return names;
}

MachineItems ItemsOfMachine(const std::vector<SelectedItem>& items, const std::string& machine) {
  MachineItems result;
  for (const SelectedItem& item : items) {
    if (item.machine == machine)
      result.keys.push_back(item.key);
    else
      ++result.skipped;
  }
  return result;
}

std::string EmulatorSettingStatement(const std::string& key, const std::string& machine,
                                     const std::string& name) {
  return "INSERT OR REPLACE INTO use_emuset_table(pfile_ue, emuset_name) SELECT file_name, '" + Quote(name) +
         "' FROM main_table WHERE file_name='" + Quote(key) + "' AND machine_name='" + Quote(machine) + "';";
}

std::optional<BatchFailure> BindEmulatorSetting(LibraryConnection& db, const std::vector<std::string>& keys,
                                                const std::string& machine, const std::string& name) {
  return RunKeyedStatement(db, keys,
                           {"INSERT OR REPLACE INTO use_emuset_table(pfile_ue, emuset_name) SELECT file_name, ?2 "
                            "FROM main_table WHERE file_name=?1 AND machine_name=?3;",
                            {name, machine},
                            [&](const std::string& key) { return EmulatorSettingStatement(key, machine, name); }});
}

std::string SkippedItemsMessage(int skipped) {
  if (skipped <= 0) return "";
  return Jp("機種の異なる") + std::to_string(skipped) + Jp("件のアイテムには設定しませんでした。");
}

std::string RemovalQuestion() {
  return Jp("選択された項目をライブラリから削除します\n（実際のファイルは削除されません）\nよろしいですか？");
}

std::string RemovalStatement(const std::string& key) {
  const std::string quoted = Quote(key);
  return "DELETE FROM main_table WHERE file_name='" + quoted + "' OR ply_file_name='" + quoted + "';";
}

std::optional<BatchFailure> RemoveItems(LibraryConnection& db, const std::vector<std::string>& keys) {
  return RunKeyedStatement(
      db, keys, {"DELETE FROM main_table WHERE file_name=?1 OR ply_file_name=?1;", {}, RemovalStatement},
      RebuildMaxDiskTable);
}

std::string LaunchResetStatement(const std::string& key) {
  return "UPDATE main_table SET boot_count='0', last_boot='', play_time='' WHERE file_name='" + Quote(key) + "' ;";
}

std::optional<BatchFailure> ResetLaunchInfo(LibraryConnection& db, const std::vector<std::string>& keys) {
  return RunKeyedStatement(
      db, keys,
      {"UPDATE main_table SET boot_count='0', last_boot='', play_time='' WHERE file_name=?1 ;", {}, LaunchResetStatement});
}

std::string LaunchResetFailedMessage() { return Jp("いくつかの起動情報リセットに失敗しました。\n"); }

}  // namespace vel
