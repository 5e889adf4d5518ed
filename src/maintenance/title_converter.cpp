#include "maintenance/title_converter.h"

#include <initializer_list>

#include "core/cp932_text.h"
#include "maintenance/kakasi.h"
#include "core/settings_file.h"
#include "platform/codepage.h"
#include "platform/profile.h"

namespace vel {
namespace {

void AddUnit(CharacterTable& table, std::string unit) {
  table.firstByte[static_cast<unsigned char>(unit[0])] = true;
  table.units.push_back(std::move(unit));
}

// Splits `bytes` into units of `width` bytes, each made of whole characters
// (with `oneCharacter`, each exactly one character). False for any other shape.
bool SplitTable(const std::string& bytes, size_t width, bool oneCharacter, CharacterTable& table) {
  table = CharacterTable{};
  if (bytes.size() % width != 0) return false;
  CharacterTable split;
  for (size_t start = 0; start < bytes.size(); start += width) {
    size_t p = start, characters = 0;
    while (p < start + width) {
      p += IsCp932LeadByte(static_cast<unsigned char>(bytes[p])) ? 2 : 1;
      ++characters;
    }
    if (p != start + width || (oneCharacter && characters != 1)) return false;
    AddUnit(split, bytes.substr(start, width));
  }
  table = std::move(split);
  return true;
}

// A table of the program's own, from a UTF-8 literal.
CharacterTable Fixed(const char* utf8, size_t width) {
  CharacterTable table;
  SplitTable(Jp(utf8), width, false, table);
  return table;
}

CharacterTable Units(std::initializer_list<const char*> utf8Units) {
  CharacterTable table;
  for (const char* unit : utf8Units) AddUnit(table, Jp(unit));
  return table;
}

// Replaces every unit of `from` found at a character boundary by the unit of
// `to` at the same position, or removes it when `to` is null. One pass gives
// the same result as replacing unit after unit, because no table maps a unit
// to a unit of the same table.
std::string Map(const std::string& text, const CharacterTable& from, const CharacterTable* to) {
  std::string out;
  out.reserve(text.size());
  size_t p = 0;
  while (p < text.size()) {
    bool replaced = false;
    if (from.firstByte[static_cast<unsigned char>(text[p])]) {
      for (size_t i = 0; i < from.units.size(); ++i) {
        const std::string& unit = from.units[i];
        if (text.compare(p, unit.size(), unit) != 0) continue;
        if (to) out += to->units[i];
        p += unit.size();
        replaced = true;
        break;
      }
    }
    if (!replaced) {
      size_t length = CharacterLength(text, p);
      out.append(text, p, length);
      p += length;
    }
  }
  return out;
}

struct BuiltInTables {
  CharacterTable t[33];  // numbered as the converter's tables; 0, 20-23 unused
  CharacterTable fullSpace = Units({"　"}), halfSpace = Units({" "}), spaces = Units({" ", "　"});
  CharacterTable romanTen = Units({"Ⅹ"}), ten = Units({"10"});
  CharacterTable wave = Units({"～"}), longVowel = Units({"ー"});

  BuiltInTables() {
    t[1] = Fixed("ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ", 2);
    t[2] = Fixed("ｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜｦﾝｰｧｨｩｪｫｬｭｮｯ", 1);
    t[3] = Fixed("ｳﾞ", 2);
    t[4] = Fixed("ガギグゲゴザジズゼゾダヂヅデドバビブベボパピプペポ", 2);
    t[5] = Fixed("カキクケコサシスセソタチツテトハヒフヘホハヒフヘホ", 2);
    t[6] = Fixed("アイウエオカキクケコサシスセソタチツテトナニヌネノハヒフヘホマミムメモヤユヨラリルレロワヲンーァィゥェォャュョッ", 2);
    t[7] = Fixed("ヴ", 2);
    t[8] = Fixed("ヮ", 2);
    t[9] = Fixed("がぎぐげござじずぜぞだぢづでどばびぶべぼぱぴぷぺぽ", 2);
    t[10] = Fixed("かきくけこさしすせそたちつてとはひふへほはひふへほ", 2);
    t[11] = Fixed("あいうえおかきくけこさしすせそたちつてとなにぬねのはひふへほまみむめもやゆよらりるれろわをんーぁぃぅぇぉゃゅょっ", 2);
    t[12] = Fixed("う", 2);
    t[13] = Fixed("ゎ", 2);
    t[14] = Fixed("０１２３４５６７８９", 2);
    t[15] = Fixed("ＡＢＣＤＥＦＧＨＩＪＫＬＭＮＯＰＱＲＳＴＵＶＷＸＹＺ", 2);
    t[16] = Fixed("ａｂｃｄｅｆｇｈｉｊｋｌｍｎｏｐｑｒｓｔｕｖｗｘｙｚ", 2);
    t[17] = Fixed("0123456789", 1);
    t[18] = Fixed("abcdefghijklmnopqrstuvwxyz", 1);
    t[19] = Fixed("ABCDEFGHIJKLMNOPQRSTUVWXYZ", 1);
    t[24] = Fixed("ヴァヴィヴェヴォ", 4);
    t[25] = Fixed("ヲヴ", 2);
    t[26] = Fixed("バビベボ", 2);
    t[27] = Fixed("オブ", 2);
    t[28] = Fixed("ヰゐヱゑ", 2);
    t[29] = Fixed("イイエエ", 2);
    t[30] = Fixed("いいええ", 2);
    t[31] = Fixed("ⅠⅡⅢⅣⅤⅥⅦⅧⅨ", 2);
    t[32] = Fixed("123456789", 1);
  }
};

const BuiltInTables& BuiltIn() {
  static const BuiltInTables tables;
  return tables;
}

// Applies table pairs in order; a pair whose target is 0 removes.
std::string MapAll(std::string text, std::initializer_list<std::pair<int, int>> pairs) {
  const BuiltInTables& b = BuiltIn();
  for (auto [from, to] : pairs) text = Map(text, b.t[from], to ? &b.t[to] : nullptr);
  return text;
}

std::string FoldKana(const std::string& text, int kanaMode, bool toUnvoiced) {
  switch (kanaMode) {
    case kKanaHiragana:
      if (toUnvoiced) return MapAll(text, {{1, 10}, {3, 12}, {2, 11}, {4, 10}, {9, 10}, {7, 12}, {8, 13}, {6, 11}, {28, 30}});
      return MapAll(text, {{1, 9}, {3, 12}, {2, 11}, {4, 9}, {7, 12}, {8, 13}, {6, 11}, {28, 30}});
    case kKanaKatakana:
      if (toUnvoiced) return MapAll(text, {{1, 5}, {3, 7}, {2, 6}, {9, 5}, {4, 5}, {13, 8}, {11, 6}, {28, 29}});
      return MapAll(text, {{1, 4}, {3, 7}, {2, 6}, {9, 4}, {13, 8}, {11, 6}, {28, 29}});
    case kKanaSmart: {
      // Everything becomes full-width katakana first, so that ｳﾞｧ, ヴァ, ｦ, を
      // and ヲ end in the same smart form whatever their width or script.
      std::string folded = MapAll(text, {{1, 4}, {3, 7}, {2, 6}, {9, 4}, {13, 8}, {11, 6}, {28, 29}, {24, 26}, {25, 27}});
      return Map(folded, BuiltIn().wave, &BuiltIn().longVowel);
    }
  }
  return text;
}

bool UsableNarrowing(const SymbolTables& tables, CharacterTable& from, CharacterTable& to) {
  bool shaped = SplitTable(tables.narrowFrom, 2, true, from) & SplitTable(tables.narrowTo, 1, true, to);
  return shaped && from.units.size() == to.units.size();
}

}  // namespace

SymbolTables DefaultSymbolTables() {
  return {"", "",
          Jp("”！＃＄％＆’（）＝｜￥＠「」［］・－＋：；．，？＿＜＞＊／★☆○●■□◎◇◆△▲⇒“‘゛゜＾…※【】『』、。゛゜´｀¨‥｛｝±×÷≠≦≧∞♂♀°′″℃〒→←↑↓⇔∇"),
          Jp("\"!#$%&'()=|\\@｢｣[]･-+:;.,?_<>*/^､｡~`")};
}

std::string EscapeQuotes(const std::string& text) {
  std::string out;
  for (size_t p = 0; p < text.size();) {
    size_t length = CharacterLength(text, p);
    char c = text[p];
    if (length == 1 && c == '"') {
      out += "\\q";
    } else if (length == 1 && c == '\\' && p + 1 < text.size() &&
               (text[p + 1] == 'q' || text[p + 1] == '\\' || text[p + 1] == '"')) {
      out += "\\\\";
    } else {
      out.append(text, p, length);
    }
    p += length;
  }
  return out;
}

std::string UnescapeQuotes(const std::string& stored) {
  std::string out;
  for (size_t p = 0; p < stored.size();) {
    size_t length = CharacterLength(stored, p);
    if (length == 1 && stored[p] == '\\' && p + 1 < stored.size() &&
        (stored[p + 1] == 'q' || stored[p + 1] == '\\')) {
      out += stored[p + 1] == 'q' ? '"' : '\\';
      p += 2;
      continue;
    }
    out.append(stored, p, length);
    p += length;
  }
  return out;
}

SymbolTables ReadSymbolTables(const std::string& settingsFile) {
  SymbolTables d = DefaultSymbolTables();
  return {ProfileText(kSymbolSection, "ConvSrcZenChar", d.narrowFrom, settingsFile),
          UnescapeQuotes(ProfileText(kSymbolSection, "ConvDesHanChar", EscapeQuotes(d.narrowTo), settingsFile)),
          ProfileText(kSymbolSection, "RemoveZenChar", d.removeFull, settingsFile),
          UnescapeQuotes(ProfileText(kSymbolSection, "RemoveHanChar", EscapeQuotes(d.removeHalf), settingsFile))};
}

bool WriteSymbolTables(const SymbolTables& t, const std::string& settingsFile) {
  return WriteSettingsFile(settingsFile, {{kSymbolSection, "ConvSrcZenChar", t.narrowFrom},
                                          {kSymbolSection, "ConvDesHanChar", EscapeQuotes(t.narrowTo)},
                                          {kSymbolSection, "RemoveZenChar", t.removeFull},
                                          {kSymbolSection, "RemoveHanChar", EscapeQuotes(t.removeHalf)}});
}

TableProblem CheckSymbolTables(const SymbolTables& tables, bool narrowSymbols) {
  CharacterTable from, to, scratch;
  if (!UsableNarrowing(tables, from, to)) return TableProblem::NarrowingMismatch;
  if (narrowSymbols && (tables.narrowFrom.empty() || tables.narrowTo.empty()))
    return TableProblem::NarrowingEmpty;
  if (!SplitTable(tables.removeFull, 2, true, scratch)) return TableProblem::RemoveFullShape;
  if (!SplitTable(tables.removeHalf, 1, true, scratch)) return TableProblem::RemoveHalfShape;
  return TableProblem::None;
}

std::string TableProblemMessage(TableProblem problem) {
  switch (problem) {
    case TableProblem::NarrowingEmpty:
      return Jp("全角記号を半角に変換する場合は、高度な設定で半角化記号を指定して下さい。");
    case TableProblem::NarrowingMismatch:
      return Jp("高度な設定の半角化記号で、全角半角キャラクタバイト数の相互関係に不備があります。");
    case TableProblem::RemoveFullShape:
      return Jp("高度な設定で、全角除去記号のキャラクタバイト数に不備があります。");
    case TableProblem::RemoveHalfShape:
      return Jp("高度な設定で、半角除去記号に全角文字が含まれています。");
    case TableProblem::None:
      break;
  }
  return {};
}

ConversionOptions ReadingOptions(const ReadingSettings& s, bool kakasiReady) {
  ConversionOptions o;
  o.kanaMode = s.kanaMode;
  o.toUnvoiced = s.toUnvoiced;
  o.spaceMode = s.removeSpaces ? kSpacesRemove : kSpacesNarrow;
  o.narrowSymbols = s.narrowSymbols;
  o.removeSymbols = s.removeSymbols;
  o.romanToDigits = s.romanToDigits;
  o.useKakasi = kakasiReady;
  o.maxBytes = kReadingMaxBytes;
  return o;
}

ConversionOptions SmartTitleOptions() {
  ConversionOptions o;
  o.kanaMode = kKanaSmart;
  o.spaceMode = kSpacesRemove;
  o.removeSymbols = true;
  o.romanToDigits = true;
  return o;
}

TitleConverter::TitleConverter(SymbolTables tables, Kakasi* kakasi) : kakasi_(kakasi) {
  BuiltIn();  // built once, before any worker thread needs it
  narrowUsable_ = UsableNarrowing(tables, narrowFrom_, narrowTo_) && !narrowFrom_.units.empty();
  // A table of the wrong shape would cut characters apart: it is not used.
  SplitTable(tables.removeFull, 2, true, removeFull_);
  SplitTable(tables.removeHalf, 1, true, removeHalf_);
}

std::string TitleConverter::Convert(const std::string& text, const ConversionOptions& o) const {
  const BuiltInTables& b = BuiltIn();
  std::string t = text;
  if (o.spaceMode == kSpacesNarrow)
    t = Map(t, b.fullSpace, &b.halfSpace);
  else if (o.spaceMode == kSpacesRemove)
    t = Map(t, b.spaces, nullptr);
  t = MapAll(t, {{18, 19}, {16, 19}, {15, 19}, {14, 17}});
  if (o.narrowSymbols && narrowUsable_) t = Map(t, narrowFrom_, &narrowTo_);
  if (o.removeSymbols) t = Map(Map(t, removeFull_, nullptr), removeHalf_, nullptr);
  if (o.romanToDigits) t = Map(MapAll(t, {{31, 32}}), b.romanTen, &b.ten);
  if (o.useKakasi && kakasi_ && kakasi_->Ready()) {
    if (std::optional<std::string> kana = kakasi_->ToKana(t)) t = std::move(*kana);
  }
  t = FoldKana(t, o.kanaMode, o.toUnvoiced);
  if (!o.allowEmpty && t.empty()) t = text;
  if (o.maxBytes > 0) t = CutToBytes(t, static_cast<size_t>(o.maxBytes));
  return t;
}

std::string SmartTitle(const TitleConverter& converter, const std::string& title) {
  return converter.Convert(title, SmartTitleOptions());
}

}  // namespace vel
