// Readings of kanji titles with the real KAKASI library and its dictionaries,
// as the Linux set-up installs them, through the same loader as kakasi.dll
// and the title converter's reading path. Skipped (with the reason) where the
// shared library or a dictionary is absent.
#include <gtest/gtest.h>

#include "maintenance/kakasi.h"
#include "maintenance/title_converter.h"
#include "platform/codepage.h"
#include "platform/system.h"

#ifndef _WIN32

#include <dlfcn.h>

// The library keeps its dictionary buffers until the process ends; it is kept
// mapped (below) so that the leak checker can name it and this skip it.
extern "C" const char* __lsan_default_suppressions() { return "leak:libkakasi.so\n"; }

namespace vel {
namespace {

constexpr const char* kRealKakasiLibrary = "libkakasi.so.2";
constexpr const char* kRealKanwaDictionary = "/usr/share/kakasi/kanwadict";
constexpr const char* kRealItaijiDictionary = "/usr/share/kakasi/itaijidict";

void* const kKeepKakasiMapped = dlopen(kRealKakasiLibrary, RTLD_NOW | RTLD_LOCAL);

TEST(RealKakasi, ReadingsOfKanjiTitles) {
  Kakasi kakasi;
  if (!FileExists(kRealKanwaDictionary) || !kakasi.Load(kRealKakasiLibrary))
    GTEST_SKIP() << "real KAKASI (libkakasi2 and kakasi-dic) is not installed; tools/setup.sh installs it";
  ASSERT_TRUE(kakasi.Prepare(kRealKanwaDictionary, kRealItaijiDictionary, false));
  TitleConverter converter(DefaultSymbolTables(), &kakasi);
  ReadingSettings settings;
  struct Case {
    const char* title;
    const char* hiragana;
    const char* katakana;
  } cases[] = {
      {"魔法少女の冒険", "まほうしょうじょのぼうけん", "マホウショウジョノボウケン"},
      {"東京 漢字ｹﾞｰﾑ", "とうきょうかんじげーむ", "トウキョウカンジゲーム"},  // spaces removed, kana widened
      {"宇宙戦艦Ⅱ", "うちゅうせんかん2", "ウチュウセンカン2"},             // Roman numerals as digits
      {"ドラゴン伝説", "どらごんでんせつ", "ドラゴンデンセツ"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AnsiToUtf8(converter.Convert(Jp(c.title), ReadingOptions(settings, true))), c.hiragana)
        << c.title;
  // Katakana readings set the library's options again.
  ASSERT_TRUE(kakasi.SetOptionsAgain(true));
  settings.kanaMode = kKanaKatakana;
  for (const Case& c : cases)
    EXPECT_EQ(AnsiToUtf8(converter.Convert(Jp(c.title), ReadingOptions(settings, true))), c.katakana)
        << c.title;
}

}  // namespace
}  // namespace vel

#endif
