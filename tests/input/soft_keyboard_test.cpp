// The software keyboard's keys, sets, cursor and key presses.
#include <gtest/gtest.h>

#include "input/soft_keyboard.h"
#include "platform/codepage.h"
#include "platform/profile.h"
#include "platform/system.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(SoftKeyboard, KeyFilesWithOddSpacingAndBadNumbers) {
  test::TempFolder folder;
  const std::string file = folder / "kana.ini";
  test::WriteWholeFile(file, "[keys]\r\nkey00=A   10  20 30\t40\r\nkey01=?\r\nkey02=B 1.9 -5 99999999 7\r\n"
                             "key03=C\r\nkey04=" + Jp("あ") + " x 2 3 4\r\nkey10=BACK 100 0 40 20\r\nkey99=\x82\r\n");
  std::vector<SoftKey> keys = ReadSoftKeys(file);
  ASSERT_EQ(keys.size(), 6u);
  EXPECT_EQ(keys[0], (SoftKey{"A", 10, 20, 40, 60}));
  EXPECT_EQ(keys[1], (SoftKey{"B", 1, -5, 100001, 2}));
  EXPECT_EQ(keys[2], (SoftKey{"C", 0, 0, 0, 0}));  // too few fields: the numbers are 0
  EXPECT_EQ(keys[3], (SoftKey{Jp("あ"), 0, 2, 3, 6}));
  EXPECT_EQ(keys[4].text, "BACK");  // key10 follows key04
  // A lone lead byte is still a key (the system's profile reader may turn it
  // into a replacement character): a short text that types.
  EXPECT_FALSE(keys[5].text.empty());
  EXPECT_LT(keys[5].text.size(), 3u);
}

TEST(SoftKeyboard, SetsModesAndTheirSteps) {
  test::TempFolder folder;
  const std::string file = folder / "default.ini";
  test::WriteWholeFile(file, "[set0]\r\nmode0=kana\r\nmode1=abc\r\nmode3=lost\r\n[set1]\r\nmode0=num\r\n"
                             "[set3]\r\nmode0=unreached\r\n[pos_offset]\r\nx=5\r\n");
  SoftKeySets sets = ReadSoftKeySets(file);
  ASSERT_EQ(sets, (SoftKeySets{{"kana", "abc"}, {"num"}}));
  int set = 0, mode = 1;
  StepSoftKeyMode(sets, set, mode);
  EXPECT_EQ(mode, 0);  // the last mode returns to mode 0
  StepSoftKeySet(sets, set, mode);
  EXPECT_EQ(set, 1);
  StepSoftKeySet(sets, set, mode);
  EXPECT_EQ(set, 0);
  // No set at all: nothing to step to, and no division by zero.
  SoftKeySets none;
  StepSoftKeySet(none, set, mode);
  StepSoftKeyMode(none, set, mode);
  EXPECT_EQ(set, 0);
  EXPECT_EQ(mode, 0);
  EXPECT_TRUE(ReadSoftKeySets(folder / "missing.ini").empty());

  EXPECT_EQ(ReadSoftKeyboardName(folder.Path()), "default");
  CreateFolder(folder / "softkey");
  // 表 ends in the byte of a backslash: the name is read whole.
  ASSERT_TRUE(WriteProfileText("softkey", "base_set", Jp("表"), folder.Path() + "\\softkey\\softkey.ini"));
  EXPECT_EQ(ReadSoftKeyboardName(folder.Path()), Jp("表"));
}

TEST(SoftKeyboard, BackRemovesOneCharacter) {
  const std::pair<std::string, std::string> cases[] = {
      {Jp("ゲームA"), Jp("ゲーム")}, {Jp("ゲーム"), Jp("ゲー")}, {Jp("ゃA"), Jp("ゃ")},
      {Jp("ァ"), ""},               {"", ""},                   {"ab", "a"}};
  for (const auto& [text, left] : cases) EXPECT_EQ(WithoutLastCharacter(text), left) << AnsiToUtf8(text);
}

TEST(SoftKeyboard, PressingKeys) {
  EXPECT_EQ(PressSoftKey(Jp("あ"), "x").text, "x" + Jp("あ"));
  SoftKeyPress abc = PressSoftKey("ABC", "x");
  EXPECT_FALSE(abc.textChanged);
  EXPECT_EQ(abc.command, SoftKeyCommand::kNone);
  EXPECT_EQ(PressSoftKey("SPACE", "x").text, "x ");
  EXPECT_EQ(PressSoftKey("CLEAR", "xyz").text, "");
  EXPECT_EQ(PressSoftKey("BACK", Jp("ゲームA")).text, Jp("ゲーム"));
  EXPECT_EQ(PressSoftKey("CHGMOD", "").command, SoftKeyCommand::kNextMode);
  EXPECT_EQ(PressSoftKey("LISTSEEK:title:^a", "").command, SoftKeyCommand::kListSeek);
  // The text stays under 256 bytes.
  std::string full(254, 'a');
  EXPECT_TRUE(PressSoftKey("b", full).textChanged);
  EXPECT_FALSE(PressSoftKey("bc", full).textChanged);
  EXPECT_FALSE(PressSoftKey("SPACE", full + "a").textChanged);
  EXPECT_EQ(PressSoftKey("b", std::string(300, 'a')).text.size(), 300u);  // a longer text is kept whole

  ListSeekKey seek;
  ASSERT_TRUE(ParseListSeek("LISTSEEK:" + Jp("タ") + "@title:^" + Jp("タ") + ":x", seek));
  EXPECT_EQ(seek.label, Jp("タ"));
  EXPECT_EQ(seek.column, "title");
  EXPECT_EQ(seek.pattern, "^" + Jp("タ") + ":x");
  ASSERT_TRUE(ParseListSeek("LISTSEEK:" + Jp("ァ") + ":(", seek));  // 0x83 0x40: no "@" in it
  EXPECT_EQ(seek.label, "");
  EXPECT_EQ(seek.column, Jp("ァ"));
  EXPECT_EQ(seek.pattern, "(");
  EXPECT_FALSE(ParseListSeek("LISTSEEK:title", seek));
}

TEST(SoftKeyboard, TheCursorMovesToTheNearestKey) {
  //  A(0,0)  B(50,0)  C(100,0)
  //  D(0,40)          E(100,40)
  const std::vector<SoftKey> keys = {{"A", 0, 0, 40, 30},    {"B", 50, 0, 90, 30},   {"C", 100, 0, 140, 30},
                                     {"D", 0, 40, 40, 70},   {"E", 100, 40, 140, 70}};
  EXPECT_EQ(NearestSoftKey(keys, -1, SoftKeyDirection::kRight), 1);  // left edge above 0, nearest the corner
  EXPECT_EQ(NearestSoftKey(keys, 0, SoftKeyDirection::kRight), 1);
  EXPECT_EQ(NearestSoftKey(keys, 1, SoftKeyDirection::kRight), 2);
  EXPECT_EQ(NearestSoftKey(keys, 2, SoftKeyDirection::kRight), 2);  // nothing further: stays
  EXPECT_EQ(NearestSoftKey(keys, 0, SoftKeyDirection::kDown), 3);
  EXPECT_EQ(NearestSoftKey(keys, 4, SoftKeyDirection::kUp), 2);
  // Leftwards the distance runs from the cursor's top-left corner to a key's
  // top-right corner: B's (90,0) is nearer to E's (100,40) than D's (40,40).
  EXPECT_EQ(NearestSoftKey(keys, 4, SoftKeyDirection::kLeft), 1);
  EXPECT_EQ(NearestSoftKey(keys, 1, SoftKeyDirection::kLeft), 0);
  const std::vector<SoftKey> tie = {{"X", 50, 50, 60, 60}, {"L", 80, 40, 90, 50}, {"R", 80, 60, 90, 70}};
  EXPECT_EQ(NearestSoftKey(tie, 0, SoftKeyDirection::kRight), 1);  // equal distances: the earlier key
  EXPECT_EQ(SoftKeyAt(keys, 40, 30), 0);  // edges included
  EXPECT_EQ(SoftKeyAt(keys, 45, 30), -1);
}

TEST(SoftKeyboard, PlacingStaysInsideTheMainWindow) {
  struct Case {
    int x, y, width;
    int placedX, placedY;
  };
  const Case cases[] = {{-9999, -9999, 300, 0, 0}, {50, 20, 300, 50, 20}, {900, 900, 300, 500, 400},
                        {50, 20, 1000, 0, 20}};  // wider than the window: at 0
  for (const Case& c : cases) {
    SoftKeyboardPlace place = ClampSoftKeyboardOffset(c.x, c.y, 800, 600, c.width, 200);
    EXPECT_EQ(place.x, c.placedX);
    EXPECT_EQ(place.y, c.placedY);
  }
}

}  // namespace
}  // namespace vel
