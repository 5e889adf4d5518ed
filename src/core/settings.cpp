#include "core/settings.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/settings_file.h"
#include "platform/codepage.h"
#include "platform/profile.h"

namespace vel {
namespace {

std::string IndexKey(const std::string& section, const std::string& key) {
  return section + '\n' + key;
}

class TableBuilder {
 public:
  explicit TableBuilder(Settings& settings) : s_(settings) {}
  TableBuilder& Int(const std::string& section, const std::string& key, SettingFile file, int def,
                    bool savedAtExit) {
    return Add({section, key, file, std::to_string(def), false, savedAtExit});
  }
  TableBuilder& Text(const std::string& section, const std::string& key, SettingFile file,
                     const std::string& def, bool savedAtExit) {
    return Add({section, key, file, def, true, savedAtExit});
  }

 private:
  TableBuilder& Add(SettingKey key) {
    s_.index[IndexKey(key.section, key.key)] = s_.keys.size();
    s_.values.push_back(key.defaultValue);
    s_.readWhole.push_back(true);
    s_.keys.push_back(std::move(key));
    return *this;
  }
  Settings& s_;
};

constexpr SettingFile S = SettingFile::Settings;
constexpr SettingFile L = SettingFile::Layout;
constexpr bool kAtExit = true;
constexpr bool kOnChange = false;

void AddFontGroup(TableBuilder& t, const char* section, const char* prefix, int height,
                  int weight, const std::string& face) {
  std::string p = prefix;
  t.Int(section, p + "Height", L, height, kOnChange)
      .Int(section, p + "Weight", L, weight, kOnChange)
      .Int(section, p + "Italic", L, 0, kOnChange)
      .Text(section, p + "Face", L, face, kOnChange);
}

}  // namespace

FontList DefaultFontList(int osClass, const std::string& defaultFontSetting) {
  std::string list = defaultFontSetting;
  if (list.empty()) {
    if (osClass <= 2)
      list = Jp("ＭＳ Ｐゴシック,ＭＳ Ｐ明朝,ＭＳ ゴシック,MS UI Gothic");
    else if (osClass == 3)
      list = Jp("Meiryo UI,游明朝,ＭＳ ゴシック,Meiryo UI");
    else
      list = Jp("Yu Gothic UI,游明朝,ＭＳ ゴシック,Meiryo UI");
  }
  FontList fonts;
  size_t start = 0;
  for (size_t i = 0; i < fonts.size() && start <= list.size(); ++i) {
    size_t comma = list.find(',', start);  // ',' is never a CP932 trail byte
    fonts[i] = list.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return fonts;
}

std::string ColumnKey(const char* prefix, int column) {
  std::string n = std::to_string(column);
  return std::string(prefix) + (column < 10 ? "0" : "") + n;
}

Settings CoreSettingsTable(const SettingsContext& c) {
  Settings s;
  TableBuilder t(s);
  const FontList& f = c.fonts;
  // Written at exit, in the writer's order.
  t.Int("Window", "SeparateX", L, 170, kAtExit)
      .Int("Window", "SeparateY", L, 260, kAtExit)
      .Int("Window", "SeparateClose", L, 0, kAtExit)
      .Int("Window", "SeparateYtmp", L, 20, kAtExit)
      .Int("Window", "PositionX", L, static_cast<int>(std::lround(c.screenWidth / 2.0 - 425)), kAtExit)
      .Int("Window", "PositionY", L, static_cast<int>(std::lround(c.screenHeight / 2.0 - 290)), kAtExit)
      .Int("Window", "Width", L, 850, kAtExit)
      .Int("Window", "Height", L, 580, kAtExit)
      .Int("Window", "Maximize", L, 0, kAtExit)
      .Int("Window", "MaxPosX", L, 0, kAtExit)
      .Int("Window", "MaxPosY", L, 0, kAtExit)
      .Int("Window", "InfoTabNum", L, 0, kAtExit);
  for (int n = 1; n <= kItemListColumns; ++n) {
    t.Int("ItemList", ColumnKey("clm", n), L, 150, kAtExit)
        .Int("ItemList", ColumnKey("clm_disp", n), L, n <= 7 ? 1 : 0, kAtExit)
        .Int("ItemList", ColumnKey("clm_sort", n), L, n - 1, kAtExit);
  }
  t.Int("ItemList", "noCursorAdulation", S, 0, kAtExit)
      .Int("ItemList", "yomiSort", S, 0, kAtExit)
      .Int("ItemList", "infoDelay", S, 300, kAtExit)
      .Int("ItemList", "isConcatMemo", S, 0, kAtExit)
      .Int("ItemList", "IsPopIdxSrchStr", S, 1, kAtExit);
  t.Int("Migemo", "FuzzyOn", S, 1, kAtExit)
      .Int("Migemo", "SearchOn", S, 1, kAtExit)
      .Int("Migemo", "InclOn", S, 1, kAtExit)
      .Int("Migemo", "ListOn", S, 1, kAtExit)
      .Int("Migemo", "FuzzyLap", S, 0, kAtExit)
      .Int("Migemo", "FuzzyClassLimit", S, 12, kAtExit)
      .Int("Migemo", "SearchClassLimit", S, 0, kAtExit)
      .Int("Migemo", "InclClassLimit", S, 12, kAtExit);
  t.Int("SearchWindow", "LastLimit", S, 50, kAtExit).Int("SearchWindow", "MaxHeight", S, 30, kAtExit);
  t.Int("EditUICheckBoxs", "YomiCnvMode", S, 0, kAtExit)
      .Int("EditUICheckBoxs", "DakuonToSeion", S, 0, kAtExit)
      .Int("EditUICheckBoxs", "YomiSpcRmv", S, 1, kAtExit)
      .Int("EditUICheckBoxs", "YomiMrkRmv", S, 1, kAtExit)
      .Int("EditUICheckBoxs", "YomiRmaCnv", S, 1, kAtExit)
      // Options of the editing dialogs: incremental search of the value
      // lists, the reading typed with the title, the memo font in the editor.
      .Int("EditUICheckBoxs", "TitleIncrSrch", S, 0, kOnChange)
      .Int("EditUICheckBoxs", "TitleToKana", S, 0, kOnChange)
      .Int("EditUICheckBoxs", "MakerIncrSrch", S, 1, kOnChange)
      .Int("EditUICheckBoxs", "DeveloperIncrSrch", S, 1, kOnChange)
      .Int("EditUICheckBoxs", "CountryIncrSrch", S, 1, kOnChange)
      .Int("EditUICheckBoxs", "UserMemoFont", S, 1, kOnChange);
  t.Int("AutoSnap", "Interval", S, 5, kAtExit).Int("AutoSnap", "CheckSound", S, 1, kAtExit);
  t.Int("MemoWindow", "PositionX", L, -1, kAtExit)
      .Int("MemoWindow", "PositionY", L, -1, kAtExit)
      .Int("MemoWindow", "Width", L, 320, kAtExit)
      .Int("MemoWindow", "Height", L, 320, kAtExit)
      .Int("MemoWindow", "Active", L, 0, kAtExit)
      .Int("MemoWindow", "Tracking", L, 0, kAtExit)
      .Int("MemoWindow", "Alpha", L, 100, kAtExit)
      // The view's menu: its frame hidden, hidden while the pane shows 3Shots.
      .Int("MemoWindow", "HideFrame", L, 0, kAtExit)
      .Int("MemoWindow", "HideIn3Shot", L, 0, kAtExit);
  t.Int("SnapWindow", "Active", L, 0, kAtExit)
      .Int("SnapWindow", "PositionX", L, 100, kAtExit)
      .Int("SnapWindow", "PositionY", L, 100, kAtExit)
      .Int("SnapWindow", "Width", L, 580, kAtExit)
      .Int("SnapWindow", "Height", L, 460, kAtExit)
      .Int("SnapWindow", "Maximize", L, 1, kAtExit)
      .Int("SnapWindow", "LoadNum", L, 1, kAtExit)
      .Int("SnapWindow", "TransMode", L, 0, kAtExit)
      .Int("SnapWindow", "SnapPoint", L, 0, kAtExit)
      .Int("SnapWindow", "Alternative", L, 0, kAtExit);
  t.Int("QueryTree", "IconSize", L, 16, kAtExit);
  t.Int("SnapShot", "VistaSize", S, 0, kAtExit)
      .Int("SnapShot", "Width", L, 320, kAtExit)
      .Int("SnapShot", "Proportion", S, 0, kAtExit)
      .Int("SnapShot", "Blackly", S, 0, kAtExit);
  for (int n = 0; n <= 10; ++n)
    t.Int("SnapShot", "FindMode" + std::to_string(n), S, (n >= 1 && n <= 4) ? 1 : 0, kAtExit);
  for (int n = 0; n <= 10; ++n) t.Int("SnapShot", "FindOrder" + std::to_string(n), S, n, kAtExit);
  t.Int("SnapShot", "searchSubdir", S, 0, kAtExit)
      .Int("SnapShot", "skipLoaded", S, 0, kAtExit)
      .Int("SnapShot", "SaveExPicToSnap", S, -1, kAtExit)
      .Int("SnapShot", "ExtPicToSnap", S, 0, kAtExit)
      .Int("SnapShot", "CRC32Name", S, 0, kAtExit)
      .Int("SnapShot", "CaptureResultMonitor", S, 0, kAtExit)
      .Int("SnapShot", "Transform", L, 0, kAtExit)
      .Int("SnapShot", "TransformRatio", S, 150, kAtExit)
      .Int("SnapShot", "InterpolationMode", S, 0, kAtExit);
  t.Int("LastQuery", "NoSortMark", S, 0, kAtExit)
      .Text("LastQuery", "SortOrder", S, "", kAtExit)
      .Text("LastQuery", "SortColumn", S, "", kAtExit)
      .Text("LastQuery", "PrimaryKey", S, "", kAtExit);
  for (int digit = 0; digit <= 9; ++digit) t.Text("FavoriteMenuName", std::to_string(digit), S, "", kAtExit);
  t.Text("FolderPath", "AlterEgo", S, "", kAtExit)
      .Text("FolderPath", "RomDiskImage", S, "", kAtExit)
      .Text("FolderPath", "Emulator", S, "", kAtExit)
      .Text("FolderPath", "Icon", S, "", kAtExit)
      .Int("FolderPath", "opp2fix", S, 0, kAtExit);
  t.Text("ImageCopy", "FolderPath", S, "", kAtExit);
  t.Int("KeyState", "ScrlLk", S, 0, kAtExit);
  for (int band = 0; band < 4; ++band) {
    std::string section = "CoolBar_" + std::to_string(band);
    t.Int(section, "ID", L, band, kAtExit).Int(section, "Width", L, 300, kAtExit).Int(section, "Break", L, 0, kAtExit);
  }

  // Read at start, written only where they change.
  t.Text("dbfile", "distination", S, "", kOnChange)
      .Int("Window", "BigPictureMode", S, 0, kOnChange)
      .Text("etcSetting", "DefaultFont", S, "", kOnChange)
      .Text("etcSetting", "InfoTemplate", S,
            "Information /{_country / }{_release / }{CRC:_crc16 / }{CRC32:_crc32 / }{RomNumber:_rom}",
            kOnChange)
      .Int("etcSetting", "HideMouseCursor", L, 0, kOnChange)
      .Int("etcSetting", "ItemListHeight", L, 35, kOnChange)
      .Int("etcSetting", "GroupListHeight", L, 15, kOnChange)
      .Int("etcSetting", "TitleClmExInfo", L, 0, kOnChange)
      .Int("etcSetting", "SearchFontHeight", L, 0, kOnChange)
      .Int("etcSetting", "DLLSafeLoad", S, 1, kOnChange)
      .Int("etcSetting", "RebootSortReset", S, 0, kOnChange)
      .Int("Window", "InfoViewSplitPer", L, 33, kOnChange)
      .Int("Window", "InfoViewMcnIcoWH", L, 32, kOnChange);
  for (int n = 0; n <= 7; ++n) t.Int("GroupSelect", "Tab" + std::to_string(n), S, 0, kOnChange);
  t.Int("CoolBar", "Fix", L, 0, kOnChange)
      .Int("Dialogs", "EmuConfDlgW", S, 568, kOnChange)
      .Int("Dialogs", "EmuConfDlgH", S, 345, kOnChange)
      .Int("Debug", "EmuStepBoot", S, 0, kOnChange);

  AddFontGroup(t, "InfoViewFont", "Maker", -18, 400, f[1]);
  AddFontGroup(t, "InfoViewFont", "Title", -24, 400, f[0]);
  AddFontGroup(t, "InfoViewFont", "Normal", -14, 400, f[0]);
  AddFontGroup(t, "InfoViewFont", "Mini", -11, 700, f[3]);
  AddFontGroup(t, "InfoViewFont", "Tab", -12, 400, f[0]);
  AddFontGroup(t, "ItemListFont", "Normal", -15, 400, f[0]);
  AddFontGroup(t, "ItemListFont", "Ply", -15, 700, f[0]);
  AddFontGroup(t, "ItemListFont", "Mini", -12, 400, f[0]);
  AddFontGroup(t, "ItemListFont", "Emuset", -8, 400, f[0]);
  AddFontGroup(t, "QueryViewFont", "Normal", -12, 400, f[1]);
  AddFontGroup(t, "GroupListFont", "Normal", -12, 400, f[1]);
  t.Int("MemoFont", "TabStop", L, 16, kOnChange)
      .Int("MemoFont", "Effect", L, 0, kOnChange)
      .Int("MemoFont", "Height", L, 200, kOnChange)
      .Text("MemoFont", "Face", L, f[2], kOnChange)
      .Int("ItemListFont", "DispEmuSetName", L, 99, kOnChange)
      .Int("ItemListColor", "DispEmuSetName", L, 0, kOnChange);
  return s;
}

int ReadLayoutMode(const AppPaths& paths) {
  return ReadProfileInt("Window", "BigPictureMode", 0, paths.settingsFile);
}

FontList ReadDefaultFontList(const AppPaths& paths, int osClass) {
  return DefaultFontList(osClass, ProfileText("etcSetting", "DefaultFont", "", paths.settingsFile));
}

void ReadSettings(Settings& s, const AppPaths& paths, int layoutMode) {
  for (size_t i = 0; i < s.keys.size(); ++i) {
    const SettingKey& k = s.keys[i];
    const std::string& file = k.file == SettingFile::Layout ? LayoutFile(paths, layoutMode)
                                                            : paths.settingsFile;
    if (k.isText) {
      s.readWhole[i] = ReadProfileText(k.section, k.key, k.defaultValue, file, s.values[i]);
    } else {
      s.values[i] = std::to_string(ReadProfileInt(k.section, k.key, std::stoi(k.defaultValue), file));
    }
  }
}

bool WriteSettingsAtExit(const Settings& s, const AppPaths& paths, int layoutMode,
                         std::string* failedFile) {
  // One whole write per file: the settings file and, in the BigPicture
  // layout, the layout file.
  std::vector<std::pair<std::string, std::vector<ProfileEntry>>> files;
  for (size_t i = 0; i < s.keys.size(); ++i) {
    const SettingKey& k = s.keys[i];
    if (!k.savedAtExit || !s.readWhole[i]) continue;
    const std::string& file = k.file == SettingFile::Layout ? LayoutFile(paths, layoutMode)
                                                            : paths.settingsFile;
    auto target = std::find_if(files.begin(), files.end(), [&](const auto& f) { return f.first == file; });
    if (target == files.end()) target = files.insert(files.end(), {file, {}});
    target->second.push_back({k.section, k.key, s.values[i]});
  }
  bool ok = true;
  for (const auto& [file, entries] : files) {
    if (WriteSettingsFile(file, entries)) continue;
    if (ok && failedFile) *failedFile = file;
    ok = false;
  }
  return ok;
}

int SettingInt(const Settings& s, const std::string& section, const std::string& key) {
  auto it = s.index.find(IndexKey(section, key));
  return it == s.index.end() ? 0 : std::atoi(s.values[it->second].c_str());
}

const std::string& SettingText(const Settings& s, const std::string& section,
                               const std::string& key) {
  static const std::string empty;
  auto it = s.index.find(IndexKey(section, key));
  return it == s.index.end() ? empty : s.values[it->second];
}

void SetSetting(Settings& s, const std::string& section, const std::string& key,
                const std::string& value) {
  auto it = s.index.find(IndexKey(section, key));
  if (it == s.index.end()) return;
  s.values[it->second] = value;
  s.readWhole[it->second] = true;  // a value set by the program is whole
}

FontSetting ReadFontSetting(const Settings& s, const std::string& section,
                            const std::string& prefix) {
  return {SettingInt(s, section, prefix + "Height"), SettingInt(s, section, prefix + "Weight"),
          SettingInt(s, section, prefix + "Italic"), SettingText(s, section, prefix + "Face")};
}

}  // namespace vel
