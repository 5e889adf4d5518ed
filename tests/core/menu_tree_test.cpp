#include "core/menu_tree.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>

#include "core/command_ids.h"

namespace vel {
namespace {

void Walk(const MenuEntry& entry, const std::function<void(const MenuEntry&)>& visit) {
  visit(entry);
  for (const MenuEntry& child : entry.children) Walk(child, visit);
}

TEST(MenuTree, SevenMenusInOrderWithUniqueCommands) {
  const auto& menus = MainMenus();
  std::vector<std::string> titles;
  for (const MenuEntry& m : menus) titles.push_back(m.text);
  EXPECT_EQ(titles, (std::vector<std::string>{"ファイル", "編集", "管理", "エミュレータ", "データベース",
                                              "オプション", "ヘルプ"}));
  std::set<int> ids;
  int items = 0;
  for (const MenuEntry& m : menus)
    Walk(m, [&](const MenuEntry& e) {
      if (e.kind != MenuEntryKind::Item) return;
      ++items;
      EXPECT_TRUE(ids.insert(e.id).second) << "duplicate " << e.id;
    });
  // Every command from 1164 to 1226 that is not a submenu of its own stands in the menus once.
  for (int id = kCmdImportCsv; id <= kCmdVersion; ++id) {
    bool submenu = id >= kCmdBulkAdultex && id <= kCmdBulkEmulatorSetting;
    EXPECT_EQ(ids.count(id), submenu ? 0u : 1u) << id;
  }
}

TEST(MenuTree, XmlExchangeIsGreyAndDynamicListsUseTheirRanges) {
  std::set<int> grey;
  std::vector<std::pair<DynamicList, int>> dynamic;
  for (const MenuEntry& m : MainMenus())
    Walk(m, [&](const MenuEntry& e) {
      if (e.grey) grey.insert(e.id);
      if (e.dynamic != DynamicList::None) dynamic.push_back({e.dynamic, e.id});
    });
  EXPECT_EQ(grey, (std::set<int>{kCmdImportXml, kCmdExportXml}));
  struct Range {
    DynamicList list;
    int first;
  } ranges[] = {{DynamicList::Genres, 12000}, {DynamicList::Adultex, 13000}, {DynamicList::Media, 14000},
                {DynamicList::Machines, 15000}, {DynamicList::EmulatorSettings, 16000},
                {DynamicList::Emulators, 18000}};
  for (const Range& r : ranges) EXPECT_EQ(DynamicListFirstId(r.list), r.first);
  EXPECT_EQ(dynamic.size(), 6u);
}

TEST(MenuTree, ContextMenusHoldTheirCommands) {
  struct Case {
    ContextMenu menu;
    std::set<int> ids;
  } cases[] = {
      {ContextMenu::Query, {1227, 1228, 1229, 1230, 1231}},
      {ContextMenu::ItemListHeader, {kCmdResetSortDirections}},
      {ContextMenu::EmulatorSettings, {1262, 1263}},
      {ContextMenu::Tray, {kCmdTrayStopWaiting}},
      {ContextMenu::Information, {kCmdAbsoluteSnapshot, kCmdOpenMemoView}},
  };
  for (const Case& c : cases) {
    std::set<int> ids;
    Walk(ContextMenuTree(c.menu), [&](const MenuEntry& e) {
      if (e.kind == MenuEntryKind::Item) ids.insert(e.id);
    });
    EXPECT_EQ(ids, c.ids);
  }
  std::set<int> memo, snap;
  Walk(ContextMenuTree(ContextMenu::MemoView), [&](const MenuEntry& e) { if (e.kind == MenuEntryKind::Item) memo.insert(e.id); });
  Walk(ContextMenuTree(ContextMenu::SnapView), [&](const MenuEntry& e) { if (e.kind == MenuEntryKind::Item) snap.insert(e.id); });
  EXPECT_EQ(memo.size(), 14u);  // 1248-1261
  EXPECT_EQ(*memo.begin(), 1248);
  EXPECT_EQ(*memo.rbegin(), 1261);
  EXPECT_EQ(snap.size(), 15u);  // 1233-1247
}

TEST(MenuTree, InformationMenuCarriesTheItemsSubmenus) {
  std::vector<std::pair<std::string, DynamicList>> popups;
  Walk(ContextMenuTree(ContextMenu::Information), [&](const MenuEntry& e) {
    if (e.dynamic != DynamicList::None) popups.push_back({e.text, e.dynamic});
  });
  EXPECT_EQ(popups, (std::vector<std::pair<std::string, DynamicList>>{{"エミュレータで起動", DynamicList::Emulators},
                                                                      {"Webで検索", DynamicList::WebSites},
                                                                      {"関連ファイル/URL", DynamicList::RelatedFiles}}));
  EXPECT_EQ(DynamicListFirstId(DynamicList::WebSites), kCmdWebSiteFirst);
  EXPECT_EQ(DynamicListFirstId(DynamicList::RelatedFiles), kCmdRelatedFileFirst);
}

// No two dynamic blocks share an identifier, all stay in 12000-19999, and no
// fixed command of any menu falls into one of them.
TEST(MenuTree, DynamicRangesAreDisjointAndHoldNoFixedCommand) {
  const auto& ranges = DynamicCommandRanges();
  ASSERT_FALSE(ranges.empty());
  for (size_t i = 0; i < ranges.size(); ++i) {
    EXPECT_LE(ranges[i].first, ranges[i].last) << ranges[i].name;
    EXPECT_GE(ranges[i].first, 12000) << ranges[i].name;
    EXPECT_LE(ranges[i].last, 19999) << ranges[i].name;
    for (size_t j = i + 1; j < ranges.size(); ++j)
      EXPECT_TRUE(ranges[i].last < ranges[j].first || ranges[j].last < ranges[i].first)
          << ranges[i].name << " overlaps " << ranges[j].name;
  }
  // Every dynamic list starts a block of its own.
  for (DynamicList list : {DynamicList::Machines, DynamicList::Media, DynamicList::Genres, DynamicList::Adultex,
                           DynamicList::EmulatorSettings, DynamicList::Emulators, DynamicList::WebSites,
                           DynamicList::RelatedFiles}) {
    int first = DynamicListFirstId(list);
    bool starts = false;
    for (const CommandIdRange& r : ranges) starts = starts || r.first == first;
    EXPECT_TRUE(starts) << first;
  }
  // 99 sites and the related files shown fit their blocks.
  EXPECT_GE(kWebSiteIdCount, 99);
  std::vector<const MenuEntry*> roots;
  for (const MenuEntry& m : MainMenus()) roots.push_back(&m);
  for (ContextMenu c : {ContextMenu::Query, ContextMenu::Information, ContextMenu::ItemListHeader,
                        ContextMenu::SnapView, ContextMenu::MemoView, ContextMenu::EmulatorSettings, ContextMenu::Tray})
    roots.push_back(&ContextMenuTree(c));
  for (const MenuEntry* root : roots)
    Walk(*root, [&](const MenuEntry& e) {
      if (e.kind != MenuEntryKind::Item) return;
      for (const CommandIdRange& r : ranges) EXPECT_FALSE(e.id >= r.first && e.id <= r.last) << e.id << " in " << r.name;
    });
}

}  // namespace
}  // namespace vel
