#include "launch/emulator_menu.h"

#include "core/command_ids.h"
#include "db/library_connection.h"
#include "platform/codepage.h"

namespace vel {

std::string MenuText(const std::string& text) {
  std::string shown;
  for (size_t i = 0; i < text.size();) {
    size_t n = CharacterLength(text, i);
    if (n == 1 && text[i] == '&') shown += '&';
    shown.append(text, i, n);
    i += n;
  }
  return shown;
}

std::vector<PopupMenuLine> EmulatorMenuLines(const std::vector<EmulatorMenuEntry>& entries,
                                             const std::vector<std::string>& diskTexts,
                                             const std::function<bool(int)>& enabled) {
  std::vector<PopupMenuLine> lines;
  if (entries.empty()) {
    PopupMenuLine none;
    none.text = NoEmulatorConfigText();
    none.enabled = false;
    lines.push_back(none);
  }
  for (size_t i = 0; i < entries.size() && i < static_cast<size_t>(kDynamicRangeSize); ++i) {
    PopupMenuLine line;
    // The launch takes the configuration's name from the item text: as it is.
    line.text = entries[i].name;
    line.id = kCmdLaunchWithFirst + static_cast<int>(i);
    line.enabled = enabled(line.id);
    line.isDefault = entries[i].isDefault;
    line.checked = entries[i].checked;
    lines.push_back(line);
  }
  if (diskTexts.empty()) return lines;
  PopupMenuLine separator;
  separator.separator = true;
  lines.push_back(separator);
  for (size_t k = 0; k < diskTexts.size() && k < static_cast<size_t>(kDynamicRangeSize); ++k) {
    PopupMenuLine line;
    line.text = MenuText(diskTexts[k]);
    line.id = kCmdLaunchDiskFirst + static_cast<int>(k);
    line.enabled = enabled(line.id);
    lines.push_back(line);
  }
  return lines;
}

std::optional<std::string> ReadDiskMenuTexts(LibraryConnection& db, const std::string& fileName,
                                             std::vector<std::string>& texts) {
  texts.clear();
  if (auto error = db.Query("SELECT file_title, file_arc_title FROM main_table WHERE file_name='" +
                            Quote(fileName) + "';"))
    return error;
  if (db.RowCount() > 0) texts.push_back(DiskMenuEntryText(db.Cell(1, 0), db.Cell(1, 1)));
  if (auto error = db.Query(DiskMenuQuery(fileName))) {
    texts.clear();
    return error;
  }
  for (int r = 1; r <= db.RowCount(); ++r) texts.push_back(DiskMenuEntryText(db.Cell(r, 0), db.Cell(r, 1)));
  return std::nullopt;
}

}  // namespace vel
