#include "maintenance/title_converter.h"

#include "core/cp932_text.h"

#include <gtest/gtest.h>

#include "maintenance/kakasi.h"
#include "platform/codepage.h"
#include "test_support.h"

namespace vel {
namespace {

ConversionOptions Reading(int kanaMode, bool toUnvoiced = false, bool removeSpaces = true) {
  ReadingSettings s;
  s.kanaMode = kanaMode;
  s.toUnvoiced = toUnvoiced;
  s.removeSpaces = removeSpaces;
  return ReadingOptions(s, false);
}

ConversionOptions Plain() {
  ConversionOptions o;
  o.spaceMode = kSpacesNarrow;
  o.narrowSymbols = true;
  return o;
}

TEST(TitleConverter, ConvertsByTheOptions) {
  constexpr int H = kKanaHiragana, K = kKanaKatakana;
  struct Case {
    const char* in;
    ConversionOptions options;
    const char* out;
  } cases[] = {
      // Kana unified, with or without voicing.
      {"ゲーム", Reading(H), "げーむ"},
      {"ゲーム", Reading(H, true), "けーむ"},
      {"ｹﾞｰﾑ", Reading(K), "ゲーム"},
      {"ﾊﾟｯｸﾏﾝ", Reading(H), "ぱっくまん"},
      {"ﾊﾟｯｸﾏﾝ", Reading(K, true), "ハックマン"},
      {"ぱずる", Reading(K), "パズル"},
      {"ｳﾞｧｲｽ", Reading(H), "うぁいす"},
      {"ヴィーナスとヰ", Reading(H), "うぃーなすとい"},
      // Width and case of letters and digits; spaces removed or narrowed.
      {"Ｓｕｐｅｒ　Ｍａｒｉｏ ２", Reading(H), "SUPERMARIO2"},
      {"Ｓｕｐｅｒ　Ｍａｒｉｏ ２", Reading(H, false, false), "SUPER MARIO 2"},
      // Symbols of the removal tables go; the rest stays.
      {"ドラゴン・クエスト！(完)", Reading(H), "どらごんくえすと完"},
      // Roman numerals and the long vowel.
      {"ファイナルファンタジーⅣ", Reading(K), "ファイナルファンタジー4"},
      {"ｽｰﾊﾟｰⅩⅢ", Reading(K), "スーパー103"},
      // Characters whose trail byte is 0x5C, 'b' or a half-width katakana byte.
      {"ソッ漢表能予", Reading(K), "ソッ漢表能予"},
      {"ソッ漢表能予", Reading(H), "そっ漢表能予"},
      {"ソッ漢表能予", Plain(), "ソッ漢表能予"},
      // Nothing left: the reading is the title itself.
      {"！？　・", Reading(H), "！？　・"},
      {"", Reading(H), ""},
  };
  TitleConverter converter(DefaultSymbolTables());
  for (const Case& c : cases)
    EXPECT_EQ(AnsiToUtf8(converter.Convert(Jp(c.in), c.options)), c.out) << c.in;
}

TEST(TitleConverter, AllowEmptyKeepsAnEmptyResult) {
  ConversionOptions o = SmartTitleOptions();
  o.allowEmpty = true;
  EXPECT_EQ(TitleConverter(DefaultSymbolTables()).Convert(Jp("！？・"), o), "");
}

TEST(TitleConverter, SmartTitles) {
  struct Case {
    const char* title;
    const char* smart;
  } cases[] = {
      {"ヴァンパイア", "バンパイア"},
      // The same word in half-width or hiragana ends in the same smart form.
      {"ｳﾞｧﾝﾊﾟｲｱ", "バンパイア"},
      {"ヲタク", "オタク"},
      {"をたく", "オタク"},
      {"ヴ", "ブ"},
      {"ときめき～メモリアル", "トキメキーメモリアル"},
      {"ときめきⅡ", "トキメキ2"},
      {"ＤＲＡＧＯＮⅩ", "DRAGON10"},
      {"ｆｏｏ　ｂａｒ", "FOOBAR"},
      {"ゲーム", "ゲーム"},
      {"ソッ漢表", "ソッ漢表"},
      {"ｿﾞﾝﾋﾞ 1/2", "ゾンビ12"},
      {"！？・", "！？・"},
  };
  TitleConverter converter(DefaultSymbolTables());
  for (const Case& c : cases) EXPECT_EQ(AnsiToUtf8(SmartTitle(converter, Jp(c.title))), c.smart) << c.title;
}

TEST(TitleConverter, CutsAtACharacterBoundary) {
  TitleConverter converter(DefaultSymbolTables());
  std::string kana;
  for (int i = 0; i < 200; ++i) kana += Jp("あ");
  std::string reading = converter.Convert(kana, Reading(kKanaHiragana));
  EXPECT_EQ(reading.size(), 256u);
  // One byte in front: the cut backs off to 255 bytes instead of splitting a character.
  reading = converter.Convert("a" + kana, Reading(kKanaHiragana));
  EXPECT_EQ(reading, "A" + kana.substr(0, 254));
  EXPECT_EQ(CutToBytes(Jp("ソ表"), 3), Jp("ソ"));
  EXPECT_EQ(CutToBytes(Jp("ｱソ"), 2), Jp("ｱ"));
}

TEST(TitleConverter, UsesOnlyWellShapedSymbolTables) {
  ConversionOptions o = Plain();
  o.removeSymbols = true;
  struct Case {
    SymbolTables tables;
    const char* in;
    const char* out;
  } cases[] = {
      {{Jp("（）"), "()", "", ""}, "（株）X", "(株)X"},
      // 6 bytes against 2: not one half-width character per full-width one.
      {{Jp("（）＃"), "()", "", ""}, "（株）", "（株）"},
      // Half-width characters in a full-width table would be removed pairwise.
      {{"", "", "AB", ""}, "ABC", "ABC"},
      // A full-width character in the half-width table would be split.
      {{"", "", "", Jp("ソ")}, "ソ\\", "ソ\\"},
      {{"", "", Jp("★"), "\\"}, "★ソ\\表", "ソ表"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(AnsiToUtf8(TitleConverter(c.tables).Convert(Jp(c.in), o)), c.out) << c.in;
}

TEST(SymbolTables, DefaultsHaveTheirShape) {
  SymbolTables d = DefaultSymbolTables();
  EXPECT_EQ(d.removeFull.size(), 166u);
  EXPECT_EQ(d.removeHalf.size(), 35u);
  EXPECT_EQ(d.removeFull.find('?'), std::string::npos);
  EXPECT_EQ(CheckSymbolTables(d, false), TableProblem::None);
}

TEST(SymbolTables, QuoteEscapingRoundTrips) {
  struct Case {
    std::string text, stored;
  } cases[] = {
      {"\"", "\\q"},
      {"a\"b\"", "a\\qb\\q"},
      {"\\@", "\\@"},
      {"\\", "\\"},
      {"\\q", "\\\\q"},
      {"\\\"", "\\\\\\q"},
      {"\\\\", "\\\\\\"},
      // 0x5C as a trail byte is no escape, either way.
      {Jp("ソq\"表"), Jp("ソq\\q表")},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(EscapeQuotes(c.text), c.stored) << c.text;
    EXPECT_EQ(UnescapeQuotes(c.stored), c.text) << c.stored;
  }
  EXPECT_EQ(EscapeQuotes(DefaultSymbolTables().removeHalf).substr(0, 3), "\\q!");
}

TEST(SymbolTables, SettingsFileRoundTrip) {
  test::TempFolder folder;
  std::string file = folder / "Velmarook2.ini";
  EXPECT_EQ(AnsiToUtf8(ReadSymbolTables(file).removeHalf), AnsiToUtf8(DefaultSymbolTables().removeHalf));
  SymbolTables tables{Jp("（”）"), "(\")", Jp("ソ表"), "\"\\q'\""};
  ASSERT_TRUE(WriteSymbolTables(tables, file));
  SymbolTables back = ReadSymbolTables(file);
  EXPECT_EQ(back.narrowFrom, tables.narrowFrom);
  EXPECT_EQ(back.narrowTo, tables.narrowTo);
  EXPECT_EQ(back.removeFull, tables.removeFull);
  EXPECT_EQ(back.removeHalf, tables.removeHalf);
  EXPECT_NE(test::ReadWholeFile(file).find("RemoveHanChar=\\q\\\\q'\\q"), std::string::npos);
}

TEST(SymbolTables, ChecksBeforeAnythingIsStored) {
  struct Case {
    SymbolTables tables;
    bool narrow;
    TableProblem problem;
  } cases[] = {
      {{"", "", "", ""}, false, TableProblem::None},
      {{"", "", "", ""}, true, TableProblem::NarrowingEmpty},
      {{Jp("（）"), "()", "", ""}, true, TableProblem::None},
      // The pair's mismatch wins over the empty box.
      {{Jp("（）"), "", "", ""}, true, TableProblem::NarrowingMismatch},
      {{Jp("（）＃"), "()", "", ""}, false, TableProblem::NarrowingMismatch},
      {{"ab", "()", "", ""}, false, TableProblem::NarrowingMismatch},
      {{Jp("（）"), Jp("ソ"), "", ""}, false, TableProblem::NarrowingMismatch},
      {{"", "", Jp("★☆a"), ""}, false, TableProblem::RemoveFullShape},
      {{"", "", "ab", ""}, false, TableProblem::RemoveFullShape},
      {{"", "", Jp("★"), Jp("!★")}, false, TableProblem::RemoveHalfShape},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CheckSymbolTables(c.tables, c.narrow), c.problem)
        << AnsiToUtf8(c.tables.narrowFrom + "|" + c.tables.narrowTo + "|" + c.tables.removeFull);
  }
  EXPECT_EQ(TableProblemMessage(TableProblem::NarrowingMismatch),
            Jp("高度な設定の半角化記号で、全角半角キャラクタバイト数の相互関係に不備があります。"));
}

TEST(Kakasi, DictionaryPathFallsBackForShortValues) {
  EXPECT_EQ(DictionaryPath(nullptr, "D"), "D");
  EXPECT_EQ(DictionaryPath("C:\\", "D"), "D");
  EXPECT_EQ(DictionaryPath("C:\\k", "D"), "C:\\k");
}

class KakasiTest : public testing::Test {
 protected:
  void SetUp() override {
    test::WriteWholeFile(kanwa, "kanwa");
    test::WriteWholeFile(itaiji, "itaiji");
  }
  test::TempFolder folder;
  std::string kanwa = folder / "kanwadict", itaiji = folder / "itaijidict";
};

TEST_F(KakasiTest, ConvertsKanjiWhenReady) {
  Kakasi kakasi;
  ASSERT_TRUE(kakasi.Load(VEL_KAKASI_STANDIN));
  ASSERT_TRUE(kakasi.Prepare(kanwa, itaiji, false));
  EXPECT_EQ(KakasiVersionText(kakasi), Jp("\t\tkakasiが見つかりました。\r\n\t\t -> kakasiの準備ができました。"));
  TitleConverter converter(DefaultSymbolTables(), &kakasi);
  ReadingSettings s;
  std::string title = Jp("東京の冒険・表ＶＳ漢字ｹﾞｰﾑ");
  EXPECT_EQ(AnsiToUtf8(converter.Convert(title, ReadingOptions(s, true))),
            "とうきょうのぼうけんひょうVSかんじげーむ");
  // Katakana readings set the options again, closing the dictionary first.
  ASSERT_TRUE(kakasi.SetOptionsAgain(true));
  s.kanaMode = kKanaKatakana;
  EXPECT_EQ(AnsiToUtf8(converter.Convert(title, ReadingOptions(s, true))),
            "トウキョウノボウケンヒョウVSカンジゲーム");
  // Readings without KAKASI keep the kanji; smart titles never use it.
  EXPECT_EQ(AnsiToUtf8(converter.Convert(title, ReadingOptions(s, false))), "東京ノ冒険表VS漢字ゲーム");
  EXPECT_EQ(AnsiToUtf8(SmartTitle(converter, title)), "東京ノ冒険表VS漢字ゲーム");
}

TEST_F(KakasiTest, NotReadyWithoutItsDictionariesOrLibrary) {
  Kakasi kakasi;
  ASSERT_TRUE(kakasi.Load(VEL_KAKASI_STANDIN));
  EXPECT_FALSE(kakasi.Prepare(kanwa, folder / "missing", false));
  EXPECT_FALSE(kakasi.Ready());
  EXPECT_EQ(KakasiVersionText(kakasi),
            Jp("\t\tkakasiが見つかりました。\r\n\t\t -> 辞書が見つかりません。環境変数又はﾃﾞﾌｫﾙﾄﾊﾟｽを確認して下さい。"));
  EXPECT_FALSE(kakasi.ToKana(Jp("漢字")));
  TitleConverter converter(DefaultSymbolTables(), &kakasi);
  EXPECT_EQ(AnsiToUtf8(converter.Convert(Jp("漢字"), ReadingOptions({}, true))), "漢字");
  EXPECT_FALSE(kakasi.SetOptionsAgain(false));

  Kakasi missing;
  EXPECT_FALSE(missing.Load(folder / "kakasi.dll"));
  EXPECT_FALSE(missing.Prepare(kanwa, itaiji, false));
  EXPECT_EQ(KakasiVersionText(missing), "") << "a library that is not there is not mentioned";
}

}  // namespace
}  // namespace vel
