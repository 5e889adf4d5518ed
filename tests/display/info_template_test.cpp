// The summary line of the information pane: caption and separator, groups
// that vanish for empty or "0" values, trailing separators, odd templates
// and CP932 text whose trail bytes look like braces or spaces.
#include "display/info_template.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace vel {
namespace {

enum { kCountry, kRelease, kCrc16, kCrc32, kRom, kModel, kPrice, kMedia, kDevice, kPlayers, kSave, kSound };

InfoTokenValues Values(std::initializer_list<std::pair<int, std::string>> set) {
  InfoTokenValues values;
  for (const auto& [token, value] : set) values[static_cast<size_t>(token)] = value;
  return values;
}

TEST(InfoTemplateTest, ExpandsTemplatesByTheirRules) {
  const InfoTokenValues item = Values({{kCountry, Jp("日本")}, {kRelease, "1987-03-00"}, {kCrc16, "0"},
                                       {kCrc32, "1A2B3C4D"}, {kRom, ""}, {kPlayers, "2"}, {kModel, "HE-01"}});
  struct Case {
    std::string templateText;
    std::string caption, line;
  } cases[] = {
      {kDefaultInfoTemplate, "Information ", Jp("日本 / 1987-03 / CRC32:1A2B3C4D")},
      // マ is 0x83 0x7D: its trail byte is not a closing brace; ／ is the separator.
      {Jp("Info ／{マルチ:_players ／ }"), "Info ", Jp("マルチ:2")},
      {"NoSpace{_crc32}", "", "NoSpace1A2B3C4D"},
      {"Caption ", "Caption ", ""},
      {"Cap /plain text", "Cap ", "plain text"},
      {"Cap /{_COUNTRY}-{_Model}", "Cap ", Jp("日本-HE-01")},
      {"Cap /{_crc16 is zero}{ rom:_rom }{x}", "Cap ", "x"},
      {"Cap /{open _crc32", "Cap ", "{open _crc32"},
      {"Cap /{a{_crc32}b}", "Cap ", "a{1A2B3C4Db}"},
      {"Cap /_crc32 {_unknown}", "Cap ", "_crc32 _unknown"},
      {"Cap /{_country / }{_crc16 / }", "Cap ", Jp("日本")},
      {"Cap /{_country}{_release}", "Cap ", Jp("日本") + "1987-03"},
  };
  for (const Case& c : cases) {
    InfoLine line = ExpandInfoTemplate(c.templateText, item);
    EXPECT_EQ(line.caption, c.caption) << c.templateText;
    EXPECT_EQ(line.line, c.line) << c.templateText;
  }
}

TEST(InfoTemplateTest, ValuesAreNotScannedAgainAndLongTemplatesStayWhole) {
  // A value holding a group and a token is shown as it is.
  InfoTokenValues values = Values({{kCountry, "{_crc32}"}, {kCrc32, "X"}});
  EXPECT_EQ(ExpandInfoTemplate("C /{_country}{_crc32}", values).line, "{_crc32}X");
  std::string longTemplate = "C /";
  for (int i = 0; i < 30; ++i) longTemplate += "{k:_crc32 / }";
  std::string expected;
  for (int i = 0; i < 30; ++i) expected += i ? " / k:X" : "k:X";
  EXPECT_GT(longTemplate.size(), 300u);
  EXPECT_EQ(ExpandInfoTemplate(longTemplate, values).line, expected);
}

TEST(InfoTemplateTest, ReleaseDatesLoseTheirEmptyParts) {
  EXPECT_EQ(ShortReleaseDate("1987-00-00"), "1987");
  EXPECT_EQ(ShortReleaseDate("1987-03-00"), "1987-03");
  EXPECT_EQ(ShortReleaseDate("1987-03-05"), "1987-03-05");
  InfoTokenValues values = Values({{kRelease, "1990-00-00"}});
  EXPECT_EQ(ExpandInfoTemplate("C /{_release / }", values).line, "1990");
}

TEST(InfoTemplateTest, FullWidthSeparatorIsStrippedByCharacter) {
  // ー (0x81 0x5B) ends in "[" and ／ is 0x81 0x5E: only whole separators go.
  InfoTokenValues values = Values({{kCountry, Jp("ソー")}});
  EXPECT_EQ(ExpandInfoTemplate(Jp("C ／{_country ／ }{_rom ／ }"), values).line, Jp("ソー"));
}

}  // namespace
}  // namespace vel
