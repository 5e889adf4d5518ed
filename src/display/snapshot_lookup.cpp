#include "display/snapshot_lookup.h"

#include <algorithm>
#include <set>

#include "core/cp932_text.h"
#include "core/name_case.h"
#include "core/settings.h"
#include "db/library_connection.h"
#include "display/image_types.h"
#include "launch/placeholders.h"
#include "platform/codepage.h"
#include "platform/directory.h"
#include "platform/system.h"
#include "search/item_list_query.h"

namespace vel {
namespace {

// In the order they are tried.
constexpr const char* kPictureExtensions[] = {".PNG", ".BMP", ".GIF", ".JPG"};
constexpr int kExtensionCount = 4;

constexpr int kRenumberFrom = 110;

// Names compare as the file system compares them: without case, on the wide
// form (Greek, Cyrillic and Roman numerals too), never by single bytes.
std::string FoldCase(const std::string& text) { return FoldedName(text); }

std::string WithoutTrailingSeparator(const std::string& folder) {
  return EndsWithSeparator(folder) ? folder.substr(0, folder.size() - 1) : folder;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  return WithoutTrailingSeparator(folder) + "\\" + name;
}

// Index of the picture extension the name ends with, or -1. The extension
// bytes can never be the trail of a two-byte character ('.' is no trail byte).
int PictureExtensionIndex(const std::string& name) {
  if (name.size() < 4) return -1;
  std::string ending = FoldCase(name.substr(name.size() - 4));
  for (int e = 0; e < kExtensionCount; ++e)
    if (ending == kPictureExtensions[e]) return e;
  return -1;
}

// The text cut before its first "(" or "[", not counting one at the very
// start; the whole text when there is none. Stepping by character keeps a
// trail byte 0x5B from reading as "[".
std::string CutBeforeBracket(const std::string& text) {
  for (size_t i = CharacterLength(text, 0); i < text.size(); i += CharacterLength(text, i))
    if (text[i] == '(' || text[i] == '[') return text.substr(0, i);
  return text;
}

}  // namespace

// ---- settings ----

SnapshotSettings DefaultSnapshotSettings(const std::string& baseFolder) {
  SnapshotSettings s;
  for (int m = 0; m < kSnapMethodCount; ++m) {
    s.enabled[m] = m >= 1 && m <= 4;
    s.order[m] = m;
  }
  s.baseFolder = baseFolder;
  return s;
}

SnapshotSettings SnapshotSettingsFrom(const Settings& settings, const std::string& baseFolder) {
  SnapshotSettings s;
  std::array<int, kSnapMethodCount> order{};
  for (int m = 0; m < kSnapMethodCount; ++m) {
    s.enabled[m] = SettingInt(settings, "SnapShot", "FindMode" + std::to_string(m)) != 0;
    order[m] = SettingInt(settings, "SnapShot", "FindOrder" + std::to_string(m));
  }
  s.order = RenumberFindOrder(order);
  s.searchSubdir = SettingInt(settings, "SnapShot", "searchSubdir") != 0;
  s.skipLoaded = SettingInt(settings, "SnapShot", "skipLoaded") != 0;
  s.relativeToBase = SettingInt(settings, "FolderPath", "opp2fix") != 0;
  s.baseFolder = baseFolder;
  return s;
}

std::array<int, kSnapMethodCount> RenumberFindOrder(const std::array<int, kSnapMethodCount>& order) {
  std::set<int> inUse(order.begin(), order.end());
  std::set<int> seen;
  std::array<int, kSnapMethodCount> result = order;
  int next = kRenumberFrom;
  for (int& value : result) {
    if (seen.insert(value).second) continue;
    while (inUse.count(next)) ++next;
    value = next;
    inUse.insert(next);
  }
  return result;
}

std::vector<int> SearchSequence(const SnapshotSettings& settings) {
  std::vector<int> methods;
  for (int m = 0; m < kSnapMethodCount; ++m)
    if (settings.enabled[m]) methods.push_back(m);
  std::stable_sort(methods.begin(), methods.end(),
                   [&](int a, int b) { return settings.order[a] < settings.order[b]; });
  return methods;
}

std::string ResolveRelativeFolder(const std::string& folder, const std::string& base) {
  bool hasParentStep = folder.find("..\\") != std::string::npos;  // '.' is never a trail byte
  bool hasDrive = folder.size() >= 2 && folder[1] == ':';
  bool fromRoot = !folder.empty() && folder[0] == '\\';
  if (!hasParentStep || hasDrive || fromRoot) return folder;
  return ResolveFromBase(folder, base);
}

SnapRow SnapRowFromList(LibraryConnection& list, int row) {
  SnapRow r;
  for (int s = 0; s < kSnapSlots; ++s) r.absolute[s] = list.Cell(row, kPosSnap1 + s);
  r.folder[0] = list.Cell(row, kPosSnapPath);
  r.folder[1] = list.Cell(row, kPosSnapPath2);
  r.folder[2] = list.Cell(row, kPosSnapPath3);
  r.fileTitle = list.Cell(row, kPosFileTitle);
  r.fileArcTitle = list.Cell(row, kPosFileArcTitle);
  r.title = list.Cell(row, kPosTitle);
  r.crc32 = list.Cell(row, kPosCrc32);
  r.romNum = list.Cell(row, kPosRomNum);
  r.breed = list.Cell(row, kPosBreed);
  return r;
}

// ---- labels ----

std::string SnapLabel(int kind) {
  if (kind >= kSnapReused) return Jp("[キャッシュ]");
  if (kind == kSnapAbsolute) return Jp("[絶対指定]");
  if (kind == kSnapSearched) return Jp("[自動検索]");
  return Jp("[検索指定なし]");
}

std::string SnapMethodName(int method) {
  static constexpr const char* kNames[kSnapMethodCount] = {
      "CRC32",
      "ファイル名",
      "ファイル名＋任意の文字",
      "括弧の前までのファイル名＋任意の文字",
      "書庫内ファイル名",
      "書庫内ファイル名＋任意の文字",
      "括弧の前までの書庫内ファイル名＋任意の文字",
      "タイトル",
      "ROM番号",
      "ROM番号＋A～Z",
      "型番",
  };
  if (method < 0 || method >= kSnapMethodCount) return "";
  return Jp(kNames[method]);
}

std::string SnapHoverText(const SnapFind& find) {
  return SnapLabel(find.kind) + ">" + SnapMethodName(find.method) + "\r\n" + find.path;
}

// ---- the lookup ----

// One name a naming rule tries: the folded name without extension, matched
// whole or as the start of a file's name.
struct SnapshotLookup::Candidate {
  int method;
  std::string stem;
  bool prefix;
};

// A folder's picture files by extension, each list sorted by folded name and
// then by the order the file system listed them in.
struct SnapshotLookup::FolderIndex {
  struct Picture {
    std::string stem;  // folded, without the extension
    std::string name;
    size_t order;
  };
  std::array<std::vector<Picture>, kExtensionCount> pictures;
  std::vector<std::string> subfolders;  // in listing order
  std::int64_t stamp = 0;               // the folder's last-write time when listed

  // The first file in listing order, among those not refused, whose name is
  // the stem (or starts with it) plus the extension.
  const Picture* Find(int extension, const Candidate& candidate,
                      const std::function<bool(const std::string&)>& refused) const {
    const auto& list = pictures[extension];
    auto it = std::lower_bound(list.begin(), list.end(), candidate.stem,
                               [](const Picture& p, const std::string& s) { return p.stem < s; });
    const Picture* best = nullptr;
    for (; it != list.end(); ++it) {
      bool matches = candidate.prefix ? it->stem.compare(0, candidate.stem.size(), candidate.stem) == 0
                                      : it->stem == candidate.stem;
      if (!matches) break;
      if ((!best || it->order < best->order) && !refused(it->name)) best = &*it;
    }
    return best;
  }
};

// The names the enabled rules try, in search order.
std::vector<SnapshotLookup::Candidate> SnapshotLookup::Candidates(const SnapRow& r) const {
  std::vector<Candidate> out;
  auto add = [&out](int method, const std::string& name, bool prefix) {
    if (!name.empty()) out.push_back({method, FoldCase(name), prefix});  // "" would match any picture
  };
  for (int method : sequence_) {
    switch (method) {
      case 0:
        add(0, r.crc32, false);
        if (!r.crc32.empty() && r.crc32.size() < 8)
          add(0, std::string(8 - r.crc32.size(), '0') + r.crc32, false);
        for (size_t zeros = 1; zeros < r.crc32.size() && r.crc32[zeros - 1] == '0'; ++zeros)
          add(0, r.crc32.substr(zeros), false);
        break;
      case 1: add(1, r.fileTitle, false); break;
      case 2: add(2, r.fileTitle, true); break;
      case 3: add(3, CutBeforeBracket(r.fileTitle), true); break;
      case 4: add(4, r.fileArcTitle, false); break;
      case 5: add(5, r.fileArcTitle, true); break;
      case 6: add(6, CutBeforeBracket(r.fileArcTitle), true); break;
      case 7: add(7, r.title, false); break;
      case 8: add(8, r.romNum, false); break;
      case 9:
        if (!r.romNum.empty())
          for (char letter = 'A'; letter <= 'Z'; ++letter) add(9, r.romNum + letter, false);
        break;
      case 10: add(10, r.breed, false); break;
      default: break;
    }
  }
  return out;
}

SnapshotLookup::SnapshotLookup(SnapshotSettings settings) { SetSettings(std::move(settings)); }
SnapshotLookup::~SnapshotLookup() = default;

void SnapshotLookup::SetSettings(SnapshotSettings settings) {
  settings_ = std::move(settings);
  settings_.order = RenumberFindOrder(settings_.order);
  sequence_ = SearchSequence(settings_);
  Invalidate();
}

void SnapshotLookup::Invalidate() {
  rows_.clear();
  folders_.clear();
}

SnapFind SnapshotLookup::SnapSource(int row, int slot, const std::function<SnapRow()>& fields) {
  int index = slot >= 1 && slot <= kSnapSlots ? slot - 1 : 0;
  auto known = rows_.find(row);
  if (known != rows_.end() && known->second[index]) {
    SnapFind find = *known->second[index];
    if (find.outcome == SnapOutcome::kPicture) {
      find.kind += kSnapReused;  // only a reused picture is labelled as such
      return find;
    }
    // A search that found nothing is made again once its folder has changed.
    if (find.outcome != SnapOutcome::kNotFound || !FolderChanged(find.path)) return find;
    known->second[index].reset();
  }
  return Remember(row, index, fields());
}

SnapFind SnapshotLookup::SnapSource(int row, int slot, const SnapRow& fields) {
  return SnapSource(row, slot, [&fields] { return fields; });
}

const SnapFind& SnapshotLookup::Remember(int row, int index, const SnapRow& fields) {
  auto& slots = rows_[row];  // stays in place while earlier slots are added
  if (slots[index]) return *slots[index];
  std::vector<std::string> shown;  // folded paths of the pictures of earlier slots
  if (settings_.skipLoaded) {
    for (int earlier = 0; earlier < index; ++earlier) {
      const SnapFind& before = Remember(row, earlier, fields);
      if (before.outcome == SnapOutcome::kPicture) shown.push_back(FoldCase(before.path));
    }
  }
  slots[index] = Decide(index, fields, shown);
  return *slots[index];
}

SnapFind SnapshotLookup::Decide(int index, const SnapRow& fields,
                                const std::vector<std::string>& shown) {
  const std::string& absolute = fields.absolute[index];
  if (!absolute.empty()) {
    SnapFind find{kSnapAbsolute, SnapOutcome::kPicture, absolute, -1};
    if (absolute == "File Not Found.") {
      find.outcome = SnapOutcome::kNoSource;
    } else if (DirectoryExists(absolute)) {
      // A folder chosen for the item is searched by the naming rules.
      return Search(absolute, kSnapAbsolute, fields, shown);
    } else if (!FileExists(absolute)) {
      find.outcome = SnapOutcome::kMissing;
    } else if (absolute.size() < 4 || !IsLoadableImageExtension(absolute.substr(absolute.size() - 4))) {
      find.outcome = SnapOutcome::kNotPicture;
    }
    return find;
  }
  const std::string& folder = fields.folder[index];
  if (folder.empty()) return SnapFind{};
  return Search(settings_.relativeToBase ? ResolveRelativeFolder(folder, settings_.baseFolder) : folder,
                kSnapSearched, fields, shown);
}

SnapFind SnapshotLookup::Search(const std::string& folder, int kind, const SnapRow& fields,
                                const std::vector<std::string>& shown) {
  SnapFind find{kind, SnapOutcome::kNotFound, folder, -1};
  std::vector<Candidate> candidates = Candidates(fields);
  if (candidates.empty()) return find;
  if (SearchOneFolder(folder, candidates, shown, find)) return find;
  if (settings_.searchSubdir) {
    // Listings are held by pointer: this one stays put while others are added.
    for (const std::string& sub : Listing(folder).subfolders)
      if (SearchOneFolder(JoinPath(folder, sub), candidates, shown, find)) return find;
  }
  return find;
}

bool SnapshotLookup::SearchOneFolder(const std::string& folder,
                                     const std::vector<Candidate>& candidates,
                                     const std::vector<std::string>& shown, SnapFind& find) {
  const FolderIndex& index = Listing(folder);
  auto refused = [&](const std::string& name) {
    return !shown.empty() &&
           std::find(shown.begin(), shown.end(), FoldCase(JoinPath(folder, name))) != shown.end();
  };
  for (const Candidate& candidate : candidates) {
    for (int e = 0; e < kExtensionCount; ++e) {
      if (const FolderIndex::Picture* picture = index.Find(e, candidate, refused)) {
        find.outcome = SnapOutcome::kPicture;
        find.path = JoinPath(folder, picture->name);
        find.method = candidate.method;
        return true;
      }
    }
  }
  return false;
}

bool SnapshotLookup::ListingStale(const std::string& folder) const {
  std::string key = WithoutTrailingSeparator(folder);
  auto listed = folders_.find(key);
  return listed == folders_.end() || !listed->second || listed->second->stamp != LastWriteStamp(key);
}

bool SnapshotLookup::FolderChanged(const std::string& folder) const {
  if (ListingStale(folder)) return true;
  if (!settings_.searchSubdir) return false;
  // A picture added to a subfolder changes only that subfolder's time.
  for (const std::string& sub : folders_.at(WithoutTrailingSeparator(folder))->subfolders)
    if (ListingStale(JoinPath(folder, sub))) return true;
  return false;
}

const SnapshotLookup::FolderIndex& SnapshotLookup::Listing(const std::string& folder) {
  std::string key = WithoutTrailingSeparator(folder);
  std::int64_t stamp = LastWriteStamp(key);
  auto& slot = folders_[key];
  // A listing is kept while the folder is unchanged: a picture added to it
  // changes its last-write time.
  if (slot && slot->stamp == stamp) return *slot;
  slot = std::make_unique<FolderIndex>();
  slot->stamp = stamp;
  FolderListing listing = ListFolder(key);
  for (size_t i = 0; i < listing.entries.size(); ++i) {
    const FolderEntry& entry = listing.entries[i];
    if (entry.isFolder) {
      slot->subfolders.push_back(entry.name);
      continue;
    }
    int extension = PictureExtensionIndex(entry.name);
    if (extension < 0) continue;
    slot->pictures[extension].push_back(
        {FoldCase(entry.name.substr(0, entry.name.size() - 4)), entry.name, i});
  }
  for (auto& list : slot->pictures)
    std::sort(list.begin(), list.end(), [](const FolderIndex::Picture& a, const FolderIndex::Picture& b) {
      return a.stem != b.stem ? a.stem < b.stem : a.order < b.order;
    });
  return *slot;
}

}  // namespace vel
