// The memo view's menu and font choices: which opacity entry is checked for
// a stored value, what an entry sets, the font decoration bits, the tab
// width kept in range, the position when following the main window, and
// which memos are shown unwrapped.
#include "extras/memo_view_options.h"

#include <gtest/gtest.h>

#include <string>

namespace vel {
namespace {

TEST(MemoViewOptionsTest, OpacityEntries) {
  struct Case {
    int alpha, command;
  } stored[] = {{100, 1251}, {90, 1252}, {10, 1260}, {85, 1252}, {84, 1253}, {150, 1251}, {0, 1260}, {-40, 1260}};
  for (const Case& c : stored) EXPECT_EQ(MemoOpacityCommand(c.alpha), c.command) << c.alpha;
  for (int command = kMemoCmdOpacityFirst; command <= kMemoCmdOpacityLast; ++command) {
    // Every entry sets the value it is checked for.
    EXPECT_EQ(MemoOpacityCommand(MemoOpacityOfCommand(command)), command);
  }
  EXPECT_EQ(MemoOpacityOfCommand(1251), 100);
  EXPECT_EQ(MemoOpacityOfCommand(1256), 50);
  EXPECT_EQ(MemoOpacityOfCommand(1260), 10);
}

TEST(MemoViewOptionsTest, FontEffectTabStopAndTracking) {
  struct Case {
    int effect;
    MemoFontEffect expected;
  } effects[] = {{0, {}},
                 {1, {true, false, false, false}},
                 {6, {false, true, true, false}},
                 {15, {true, true, true, true}},
                 {8, {false, false, false, true}},
                 {-1, {}}};
  for (const Case& c : effects) EXPECT_EQ(MemoFontEffectOf(c.effect), c.expected) << c.effect;

  EXPECT_EQ(MemoTabStop(16), 16);
  EXPECT_EQ(MemoTabStop(0), 1);
  EXPECT_EQ(MemoTabStop(500), 64);

  EXPECT_EQ(TrackedPosition({300, 200}, {0, 0}, {40, -10}), (ScreenPoint{340, 190}));
  EXPECT_EQ(TrackedPosition({300, 200}, {40, -10}, {40, -10}), (ScreenPoint{300, 200}));
}

TEST(MemoViewOptionsTest, OnlyAMemoWithAVeryLongLineIsShownUnwrapped) {
  const std::string limit(kMemoWrapLimit, 'x'), kana = "\xE3\x81\x82";  // あ, three bytes
  std::string kanaLine, lines;
  for (int i = 0; i < kMemoWrapLimit; ++i) kanaLine += kana;
  while (lines.size() + 80 <= 40000) lines += std::string(79, 'y') + "\n";
  struct Case {
    std::string memo;
    bool wrapped;
  } cases[] = {
      {"", true},
      {limit, true},
      {limit + "x", false},
      {std::string(40000, 'x'), false},
      {"short\n" + limit + "x\nshort", false},
      {limit + "\n" + limit + "\r\n" + limit, true},
      {kanaLine, true},  // characters count, not bytes
      {kanaLine + kana, false},
      {limit + "\r", true},  // a line end is no character
      {lines, true},  // 40,000 bytes in short lines
  };
  for (const Case& c : cases)
    EXPECT_EQ(MemoShownWrapped(c.memo), c.wrapped) << c.memo.size() << " bytes";
}

}  // namespace
}  // namespace vel
