#include "editing/release_date.h"

#include <gtest/gtest.h>

#include "platform/codepage.h"

namespace vel {
namespace {

TEST(ReleaseDate, NormalisesTypedDates) {
  struct Case {
    std::string typed;
    std::optional<std::string> stored;
  } cases[] = {
      {"", "0"},
      {Jp("1980年5月25日"), "1980-05-25"},
      {"1980/5", "1980-05-00"},
      {"1980-5-25", "1980-05-25"},
      {"1980-05-25", "1980-05-25"},
      {"1980-", "1980-00-00"},
      {"1840", "1840-00-00"},
      {"2060", "2060-00-00"},
      {"98", std::nullopt},
      {"123", std::nullopt},
      {"1839", std::nullopt},
      {"2061", std::nullopt},
      {"1980-13", std::nullopt},
      {"1980-12-32", std::nullopt},
      {"abcd", std::nullopt},
  };
  for (const Case& c : cases) EXPECT_EQ(NormaliseReleaseDate(c.typed), c.stored) << AnsiToUtf8(c.typed);
}

}  // namespace
}  // namespace vel
