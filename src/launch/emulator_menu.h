#pragma once
// The "エミュレータで起動" list of an item as menu lines: one line per
// configuration of its machine (the default bold, the item's binding or else
// the default checked), and for the head of a multi-disk set the disks after
// a separator.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "launch/emulator_config.h"
#include "platform/popup_menu.h"

namespace vel {

class LibraryConnection;

// Configuration n gets 18000 + n, disk k gets 19000 + k; `enabled` says
// whether a command can run. With no configuration the one disabled line
// "エミュレータの設定がありません".
std::vector<PopupMenuLine> EmulatorMenuLines(const std::vector<EmulatorMenuEntry>& entries,
                                             const std::vector<std::string>& diskTexts,
                                             const std::function<bool(int)>& enabled);

// The disk entries of a multi-disk head: the item itself, then the members
// of its set. The database's error text on failure.
std::optional<std::string> ReadDiskMenuTexts(LibraryConnection& db, const std::string& fileName,
                                             std::vector<std::string>& texts);

// A menu shows "&" as a mnemonic: doubled, it shows as itself. Disk texts
// are shown so; configuration names stay as they are, since the launch
// reads the name back from the item text.
std::string MenuText(const std::string& text);

}  // namespace vel
