// The reading beside a title follows each edit of the title and never
// replaces a reading the user typed.
#include "editing/title_reading.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace vel {
namespace {

TEST(TitleReading, FollowsTheTitleUntilTheUserTypesAReading) {
  ReadingSettings settings;  // hiragana, spaces and symbols removed
  TitleReading reading(std::make_unique<TitleConverter>(DefaultSymbolTables()), ReadingOptions(settings, false));
  EXPECT_EQ(reading.Follow(Jp("アイ"), ""), Jp("あい"));
  EXPECT_EQ(reading.Follow(Jp("アイ ウ"), Jp("あい")), Jp("あいう")) << "the reading made before is replaced";
  EXPECT_EQ(reading.Follow(Jp("アイ"), Jp("あいう")), Jp("あい"));
  EXPECT_EQ(reading.Follow(Jp("アイウエ"), Jp("よみ")), std::nullopt) << "a reading the user typed stays";
  EXPECT_EQ(reading.Follow(Jp("アイウエ"), Jp("よみ")), std::nullopt);
  EXPECT_EQ(reading.Follow(Jp("カ"), ""), Jp("か")) << "an emptied field follows again";
  EXPECT_EQ(reading.Follow("", Jp("か")), "");
}

}  // namespace
}  // namespace vel
