#pragma once
// Romaji-to-Japanese search patterns: the optional migemo.dll, loaded at run
// time when it sits beside the program, and the conditions built from its
// patterns for the database's regular-expression extension.
#include <memory>
#include <optional>
#include <string>

namespace vel {

inline constexpr const char* kMigemoLibraryName = "migemo.dll";
inline constexpr const char* kMigemoDictionary = "migemo-dict";

// The regular-expression engine chosen at start from the extension present.
inline constexpr int kRegexNone = 0;
inline constexpr int kRegexOperator = 1;  // sqlite3-onig.dll: C REGEXP 'P'
inline constexpr int kRegexFunction = 2;  // SQLite_RegEx_Extension.dll: REGEX(C,'P')

// What turns a search text into a pattern. All text is CP932.
class MigemoSource {
 public:
  virtual ~MigemoSource() = default;
  virtual bool IsEnabled() = 0;
  // The pattern for the text, or nothing when none came back.
  virtual std::optional<std::string> Query(const std::string& text) = 0;
};

// migemo.dll with its dictionary handle, open for the whole run.
class MigemoLibrary : public MigemoSource {
 public:
  MigemoLibrary();
  ~MigemoLibrary() override;
  MigemoLibrary(const MigemoLibrary&) = delete;
  MigemoLibrary& operator=(const MigemoLibrary&) = delete;

  // Loads the library, resolves its five functions and opens the dictionary.
  // False (and nothing loaded) when the library is missing or incomplete.
  bool Load(const std::string& libraryPath, const std::string& dictionaryPath);
  bool Loaded() const { return library_ != nullptr; }
  void Unload();

  bool IsEnabled() override;
  std::optional<std::string> Query(const std::string& text) override;

 private:
  struct Functions;
  void* library_ = nullptr;
  void* dictionary_ = nullptr;
  std::unique_ptr<Functions> functions_;
};

// 0 when a Migemo condition can be built for the text; else why not:
// 4 no library, 3 dictionary not enabled, 2 no regular-expression engine,
// 1 the text holds a regular-expression character of its own.
int MigemoUsability(MigemoSource* migemo, int engine, const std::string& text);

// The text as it is given to Migemo: spaces removed, each word after the
// first starting with a capital (unless the previous one ended in one),
// small katakana "ャ" as hiragana "ゃ".
std::string PrepareMigemoQuery(const std::string& text);

// Every small katakana "ャ" as hiragana "ゃ" (as the dictionary has it).
std::string SmallYaAsHiragana(const std::string& text);

// The pattern made fit for the engine and for SQL (quotes doubled); character
// classes opening a group are cut to `classLimit` members when it is not 0.
std::string AdaptMigemoPattern(const std::string& pattern, int classLimit, int engine);

// The engine's condition for a column and an adapted pattern ("" for engine 0).
std::string RegexCondition(int engine, const std::string& column, const std::string& pattern);

}  // namespace vel
