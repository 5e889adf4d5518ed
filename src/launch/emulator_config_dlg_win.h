#pragma once
// EmuConfListDlg: the emulator configurations of every machine, and the
// configuration editor it opens.
#include <windows.h>

#include <string>
#include <vector>

namespace vel {

struct AppState;

// The menu command "エミュレータ設定": needs at least one machine; reloads
// the item list afterwards when bindings changed.
void ShowEmulatorConfigList(AppState& app);

// What the editor did: whether it saved, under which machine and name, and
// whether item bindings moved with a rename.
struct EditorResult {
  bool saved = false;
  bool bindingsChanged = false;
  std::string machine, name;
};
// The editor for `name` of `machine` ("" for a new configuration of that
// machine); `machines` fills its machine choice.
EditorResult EditEmulatorConfig(AppState& app, HWND owner, const std::vector<std::string>& machines,
                                const std::string& machine, const std::string& name);

}  // namespace vel
