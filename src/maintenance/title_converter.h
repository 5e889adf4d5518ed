#pragma once
// The title converter: folds a title into a reading (kana unified, letters and
// digits narrowed, symbols removed or narrowed, Roman numerals as digits, kanji
// through KAKASI when it is ready), into a smart title, or into a search word.
// All text is CP932 and is handled character by character.
#include <string>
#include <vector>

namespace vel {

class Kakasi;

// The four symbol tables the user can change (section YomiConvChar).
struct SymbolTables {
  std::string narrowFrom;  // ConvSrcZenChar: full-width symbols to narrow
  std::string narrowTo;    // ConvDesHanChar: their half-width counterparts
  std::string removeFull;  // RemoveZenChar: full-width symbols to remove
  std::string removeHalf;  // RemoveHanChar: half-width symbols to remove
};

inline constexpr const char* kSymbolSection = "YomiConvChar";
SymbolTables DefaultSymbolTables();
// Reads the tables from the settings file (a stored "\q" is a double quote).
SymbolTables ReadSymbolTables(const std::string& settingsFile);
// Writes all four; false when the file could not be written.
bool WriteSymbolTables(const SymbolTables& tables, const std::string& settingsFile);

// A double quote cannot survive the profile functions at either end of a
// value, so the half-width tables store it as "\q"; a backslash that would
// otherwise be read as part of an escape is stored as "\\".
std::string EscapeQuotes(const std::string& text);
std::string UnescapeQuotes(const std::string& stored);

// What a table pair or table must look like to be used.
enum class TableProblem {
  None,
  NarrowingEmpty,     // narrowing asked for but a narrowing table is empty
  NarrowingMismatch,  // not one half-width character per full-width one
  RemoveFullShape,    // the full-width removal table holds other characters
  RemoveHalfShape,    // the half-width removal table holds other characters
};
// Checks every table before anything is stored; the first problem found.
TableProblem CheckSymbolTables(const SymbolTables& tables, bool narrowSymbols);
// The message the かな設定 dialog shows for a problem (CP932).
std::string TableProblemMessage(TableProblem problem);

// Kana folding: 0 hiragana, 1 katakana, 2 smart form, other values none.
inline constexpr int kKanaHiragana = 0;
inline constexpr int kKanaKatakana = 1;
inline constexpr int kKanaSmart = 2;
inline constexpr int kKanaNone = -1;
// Spaces: 0 full-width ones narrowed, 1 all removed, other values kept.
inline constexpr int kSpacesNarrow = 0;
inline constexpr int kSpacesRemove = 1;
inline constexpr int kSpacesKeep = -1;

struct ConversionOptions {
  int kanaMode = kKanaNone;
  bool toUnvoiced = false;
  int spaceMode = kSpacesKeep;
  bool narrowSymbols = false;
  bool removeSymbols = false;
  bool romanToDigits = false;
  bool allowEmpty = false;  // otherwise an empty result falls back to the input
  bool useKakasi = false;
  int maxBytes = 0;         // above 0: cut to at most this many bytes, on a character boundary
};

// The reading options of the settings (section EditUICheckBoxs) and the
// unstored "narrow symbols" switch.
struct ReadingSettings {
  int kanaMode = kKanaHiragana;  // YomiCnvMode
  bool toUnvoiced = false;       // DakuonToSeion
  bool removeSpaces = true;      // YomiSpcRmv
  bool removeSymbols = true;     // YomiMrkRmv
  bool romanToDigits = true;     // YomiRmaCnv
  bool narrowSymbols = false;
};

inline constexpr int kReadingMaxBytes = 256;
ConversionOptions ReadingOptions(const ReadingSettings& settings, bool kakasiReady);
ConversionOptions SmartTitleOptions();

// A table read as a list of units of a fixed byte width.
struct CharacterTable {
  std::vector<std::string> units;
  bool firstByte[256] = {};  // bytes a unit can start with
};

class TitleConverter {
 public:
  // `kakasi` may be null; it is used only when an option asks for it and it is ready.
  explicit TitleConverter(SymbolTables tables, Kakasi* kakasi = nullptr);

  std::string Convert(const std::string& text, const ConversionOptions& options) const;

 private:
  CharacterTable narrowFrom_, narrowTo_, removeFull_, removeHalf_;
  bool narrowUsable_ = false;
  Kakasi* kakasi_ = nullptr;
};

// The smart title of a title: the smart form, or the title itself when that is empty.
std::string SmartTitle(const TitleConverter& converter, const std::string& title);


}  // namespace vel
