#pragma once
// Changes to every selected item at once: a category or an emulator setting
// assigned from a menu, removal from the library and the reset of the launch
// information. Each runs as one transaction (all or nothing). Texts are CP932.
#include <optional>
#include <string>
#include <vector>

#include "db/selection_batch.h"

namespace vel {

class LibraryConnection;

enum class AssignField { Machine, Media, Genre, Adultex };

// The names the assignment menu of a field lists, in its order; the chosen
// entry is taken back by its position in the same list.
std::optional<std::string> LoadAssignmentNames(LibraryConnection& db, AssignField field,
                                               std::vector<std::string>& names);

// The statement that gives one item the value (the item's other columns,
// and for a rating its detail columns, stay as they are).
std::string AssignmentStatement(AssignField field, const std::string& key, const std::string& value);
std::optional<BatchFailure> AssignToItems(LibraryConnection& db, AssignField field,
                                          const std::vector<std::string>& keys, const std::string& value);

// "機種を一括変更しようとしています。\n本当に実行しますか？"
std::string MachineAssignQuestion();

// The configurations an item of `machine` can be bound to, by name (the
// machine folder's files without ".ini"), in the launch menu's order.
std::vector<std::string> EmulatorSettingNames(const std::string& base, const std::string& machine);

// A selected item with the machine the list shows for it.
struct SelectedItem {
  std::string key, machine;
};
// The keys of the items of `machine`, and how many others were left out.
struct MachineItems {
  std::vector<std::string> keys;
  int skipped = 0;
};
MachineItems ItemsOfMachine(const std::vector<SelectedItem>& items, const std::string& machine);
// Binds each item to the configuration; an item whose machine in the library
// is not `machine` is left unbound.
std::string EmulatorSettingStatement(const std::string& key, const std::string& machine,
                                     const std::string& name);
std::optional<BatchFailure> BindEmulatorSetting(LibraryConnection& db, const std::vector<std::string>& keys,
                                                const std::string& machine, const std::string& name);
// "" when none was left out, else how many items of other machines were.
std::string SkippedItemsMessage(int skipped);

// "選択された項目をライブラリから削除します\n（実際のファイルは削除されません）\nよろしいですか？"
std::string RemovalQuestion();
// Removes the items (a parent with the children of its set) and rebuilds
// the table of highest disk numbers in the same transaction.
std::string RemovalStatement(const std::string& key);
std::optional<BatchFailure> RemoveItems(LibraryConnection& db, const std::vector<std::string>& keys);

// Boot count, last launch and play time cleared.
std::string LaunchResetStatement(const std::string& key);
std::optional<BatchFailure> ResetLaunchInfo(LibraryConnection& db, const std::vector<std::string>& keys);
// "いくつかの起動情報リセットに失敗しました。\n"
std::string LaunchResetFailedMessage();

}  // namespace vel
