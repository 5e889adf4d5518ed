#include "maintenance/import_options.h"

#include <gtest/gtest.h>

#include "maintenance/import_job.h"

#include "platform/codepage.h"
#include "platform/profile.h"
#include "test_support.h"

namespace vel {
namespace {

TEST(ImportOptions, NumbersFromBoxesAreCutTowardsZero) {
  struct Case {
    std::string text;
    std::int32_t value;
  } cases[] = {{"", 0}, {"0", 0}, {"16", 16}, {"16.9", 16}, {"-3.7", -3}, {"12abc", 12},
               {"abc", 0}, {"99999999999", INT32_MAX}};
  for (const Case& c : cases) EXPECT_EQ(NumberFromBox(c.text), c.value) << c.text;
}

TEST(ImportOptions, CrcNumbersAreReadWholeOrRefused) {
  struct Case {
    std::string text;
    std::optional<std::int32_t> value;
  } cases[] = {{"", 0},
               {"  ", 0},
               {"0", 0},
               {" 16 ", 16},
               {"2147483647", INT32_MAX},
               {"2147483648", std::nullopt},
               {"3000000000", std::nullopt},
               {"9999999999", std::nullopt},
               {"12abc", std::nullopt},
               {"-3", std::nullopt}};
  for (const Case& c : cases) EXPECT_EQ(CrcNumberFromBox(c.text), c.value) << c.text;
  EXPECT_EQ(CrcNumberRefusedText(), Jp("CRCの計算開始位置と長さは 0 から 2147483647 までの数で指定してください。"));
}

TEST(ImportOptions, SearchExtensionLine) {
  EXPECT_EQ(SearchExtensionLine(""), Jp("指定なし"));
  EXPECT_EQ(SearchExtensionLine("d88;fdi"), Jp("(検索拡張子:d88;fdi)"));
}

TEST(ImportOptions, TheQuestionSaysWhatAnOverwriteClears) {
  const std::string base = Jp("【機種】\nPC88\n\n【イメージファイルまたは検索フォルダ】\nC:\\roms");
  const std::string tail = Jp("\n\nライブラリに取り込みを開始します。\nよろしいですか？");
  const std::string note = Jp("\n\n※「お気に入りは上書きしない」がオフのため、上書きするイメージのお気に入りは解除されます。");
  struct Case {
    bool overwrite, keepFavourites;
    bool noted;
  } cases[] = {{false, false, false}, {true, true, false}, {true, false, true}};
  for (const Case& c : cases)
    EXPECT_EQ(ImportQuestionText("PC88", "C:\\roms", c.overwrite, c.keepFavourites),
              base + (c.noted ? note : "") + tail)
        << c.overwrite << c.keepFavourites;
}

TEST(ImportOptions, FavouritesAreKeptOnlyByAnOverwrite) {
  struct Case {
    std::int32_t overwrite, keep;
    bool kept;
  } cases[] = {{0, 0, false}, {0, 1, false}, {1, 0, false}, {1, 1, true}};
  for (const Case& c : cases) {
    DirAddOptions o;
    o.integers[kSlotOverwrite] = c.overwrite;
    o.integers[kSlotKeepFavourites] = c.keep;
    const char* texts[6] = {"", "", "", "", "", ""};
    ImportJob job = ImportJobFromArrays(o.integers.data(), texts, o.numbers.data());
    EXPECT_EQ(job.overwrite, c.overwrite == 1);
    EXPECT_EQ(job.keepFavourites, c.kept) << c.overwrite << c.keep;
  }
}

TEST(ImportOptions, SettingsRoundTripAndRetiredKeyIsRemoved) {
  test::TempFolder folder;
  std::string ini = folder / "Velmarook2.ini";
  ImportDialogSettings defaults = ReadImportDialogSettings(ini);
  EXPECT_EQ(defaults.cCheck1, 1);
  EXPECT_EQ(defaults.calcCrc16, 0);
  EXPECT_EQ(defaults.countryMarks, "(JP);[JP];(J);[J];(US);[US];(U);[U];(EU);[EU];(E);[E];(U);[U]");
  ASSERT_TRUE(WriteProfileText("etcSetting", "Country", "(JP)", ini));
  ASSERT_TRUE(WriteProfileText("etcSetting", "DefaultFont", "keep", ini));
  ImportDialogSettings changed = defaults;
  changed.searchSubDir = 1;
  changed.calcCrc32 = 0;
  changed.countryMarks = Jp("(日本);[ソ]");
  ASSERT_TRUE(WriteImportDialogSettings(changed, ini));
  ImportDialogSettings back = ReadImportDialogSettings(ini);
  EXPECT_EQ(back.searchSubDir, 1);
  EXPECT_EQ(back.calcCrc32, 0);
  EXPECT_EQ(back.countryMarks, changed.countryMarks);
  EXPECT_EQ(ProfileText("etcSetting", "Country", "gone", ini), "gone");
  EXPECT_EQ(ProfileText("etcSetting", "DefaultFont", "", ini), "keep");
}

}  // namespace
}  // namespace vel
