#include "periphery/colours.h"

#include <cstring>

#include "platform/profile.h"

namespace vel {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

Colour FromRgb(int r, int g, int b) {
  return static_cast<Colour>(r) | (static_cast<Colour>(g) << 8) | (static_cast<Colour>(b) << 16);
}

Colour ParseHex(const std::string& digits) {
  int d[6] = {};
  if (digits.size() != 6 && digits.size() != 3) return 0;
  for (size_t i = 0; i < digits.size(); ++i) {
    d[i] = HexDigit(digits[i]);
    if (d[i] < 0) return 0;
  }
  if (digits.size() == 3) return FromRgb(d[0] * 17, d[1] * 17, d[2] * 17);
  return FromRgb(d[0] * 16 + d[1], d[2] * 16 + d[3], d[4] * 16 + d[5]);
}

// A decimal number as the profile reader takes one: optional sign, digits
// up to the first other character; kept in 64 bits so that an overflowing
// value is masked rather than undefined.
Colour ParseDecimal(const std::string& text) {
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::uint64_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
    value = (value * 10 + static_cast<std::uint64_t>(text[i] - '0')) & 0xFFFFFFFFull;
  if (negative) value = (~value + 1) & 0xFFFFFFFFull;
  return static_cast<Colour>(value & 0xFFFFFF);
}

const std::array<ColourKey, kColourKeyCount> kKeys{{
    {"InfoViewFont", "MakerColor", 0x646464, "情報欄: メーカー"},
    {"InfoViewFont", "TitleColor", 0x000000, "情報欄: タイトル"},
    {"InfoViewFont", "NormalColor", 0x646464, "情報欄: 本文"},
    {"InfoViewFont", "MiniColor", 0x505050, "情報欄: 小さい文字"},
    {"InfoViewFont", "TabColor", 0x505050, "情報欄: タブ"},
    {"InfoViewColor", "BackColor", 0xFFFFFF, "情報欄: 背景"},
    {"InfoViewColor", "Frame1Color", 0x969696, "情報欄: 枠1"},
    {"InfoViewColor", "Frame2Color", 0xF0F0F0, "情報欄: 枠2"},
    {"ItemListFont", "NormalColor", 0x505050, "リスト: 文字"},
    {"ItemListFont", "PlyColor", 0x505050, "リスト: 2枚目以降"},
    {"ItemListFont", "EmusetColor", 0xA0A0A0, "リスト: 個別エミュ名"},
    {"ItemListFont", "SelectColor", 0xFFFFFF, "リスト: 選択行の文字"},
    {"ItemListColor", "Line1Color", 0xFFFFFF, "リスト: 奇数行"},
    {"ItemListColor", "Line2Color", 0xE6E6E6, "リスト: 偶数行・横罫線"},
    {"ItemListColor", "RuleMarkColor", 0x969696, "リスト: 縦罫線"},
    {"ItemListColor", "BackColor", 0xFFFFFF, "リスト: 背景"},
    {"ItemListColor", "SelectBackColor", 0xD77800, "リスト: 選択行の背景"},
    {"QueryViewFont", "NormalColor", 0x000000, "クエリ: 文字"},
    {"QueryViewColor", "BackColor", 0xFFFFFF, "クエリ: 背景"},
    {"GroupListFont", "NormalColor", 0x000000, "グループ: 文字"},
    {"GroupListColor", "BackColor", 0xFFFFFF, "グループ: 背景"},
    {"GroupListColor", "GradStartColor", 0xC8C8C8, "グループ: グラデーション始点"},
    {"GroupListColor", "GradEndColor", 0xFFFFFF, "グループ: グラデーション終点"},
    {"MemoFont", "Color", 0x646464, "メモ: 文字"},
}};

constexpr const char* kOptionSection = "ItemListColor";

}  // namespace

Colour ParseColour(const std::string& text, Colour defaultColour) {
  if (text == "N") return defaultColour;
  if (!text.empty() && text[0] == '#') return ParseHex(text.substr(1));
  return ParseDecimal(text);
}

std::string FormatColour(Colour colour) {
  static const char kDigits[] = "0123456789ABCDEF";
  std::string text = "#";
  for (int shift : {0, 8, 16}) {
    unsigned part = (colour >> shift) & 0xFF;
    text += kDigits[part >> 4];
    text += kDigits[part & 0xF];
  }
  return text;
}

const std::array<ColourKey, kColourKeyCount>& ColourKeys() { return kKeys; }

int RuleMarkStyleFromStored(int stored) {
  long long style = static_cast<long long>(stored) + 1;
  return style < 0 || style > 2 ? kRuleNone : static_cast<int>(style);
}

int RuleMarkStoredFromStyle(int style) { return style - 1; }

Colour ColourSet::Get(const char* section, const char* key) const {
  for (size_t i = 0; i < kKeys.size(); ++i)
    if (std::strcmp(kKeys[i].section, section) == 0 && std::strcmp(kKeys[i].key, key) == 0) return colours[i];
  return 0;
}

ColourSet DefaultColourSet(const SystemColours& system) {
  ColourSet set;
  for (size_t i = 0; i < kKeys.size(); ++i) set.colours[i] = kKeys[i].defaultColour;
  set.colours[kSelectTextIndex] = system.highlightText & 0xFFFFFF;
  set.colours[kSelectBackIndex] = system.highlight & 0xFFFFFF;
  return set;
}

ColourSet ReadColourKeys(const std::string& file, const SystemColours& system) {
  ColourSet set = DefaultColourSet(system);
  for (size_t i = 0; i < kKeys.size(); ++i) {
    std::string text = ProfileText(kKeys[i].section, kKeys[i].key, "N", file);
    if (text.size() > 31) text.resize(31);  // the reader's buffer holds 31 characters
    set.colours[i] = ParseColour(text, set.colours[i]);
  }
  set.ruleMarkStyle = RuleMarkStyleFromStored(ReadProfileInt(kOptionSection, "RuleMarkType", 0, file));
  int h = ReadProfileInt(kOptionSection, "RuleMarkTypeH", 0, file);
  set.ruleMarkStyleH = h < 0 || h > 2 ? kRuleNone : h;
  set.cursorType = ReadProfileInt(kOptionSection, "CursorType", 1, file);
  set.selLineUseSysColor = ReadProfileInt(kOptionSection, "SelLineUseSysColor", 1, file);
  return set;
}

std::vector<ProfileEntry> ColourEntries(const ColourSet& set) {
  std::vector<ProfileEntry> entries;
  for (size_t i = 0; i < kKeys.size(); ++i)
    entries.push_back({kKeys[i].section, kKeys[i].key, FormatColour(set.colours[i])});
  entries.push_back({kOptionSection, "RuleMarkType", std::to_string(RuleMarkStoredFromStyle(set.ruleMarkStyle))});
  entries.push_back({kOptionSection, "RuleMarkTypeH", std::to_string(set.ruleMarkStyleH)});
  entries.push_back({kOptionSection, "CursorType", std::to_string(set.cursorType)});
  entries.push_back({kOptionSection, "SelLineUseSysColor", std::to_string(set.selLineUseSysColor)});
  return entries;
}

ColourSet& CurrentColours() {
  static ColourSet current = DefaultColourSet({});
  return current;
}

}  // namespace vel
