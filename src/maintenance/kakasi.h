#pragma once
// The optional kanji-to-kana library kakasi.dll, loaded at run time when it
// sits beside the program. It is ready only when its two dictionaries exist
// and it accepted its options; until then readings keep their kanji.
#include <mutex>
#include <optional>
#include <string>

namespace vel {

inline constexpr const char* kKakasiLibraryName = "kakasi.dll";
inline constexpr const char* kDefaultKanwaDictionary = "C:\\kakasi\\share\\kakasi\\kanwadict";
inline constexpr const char* kDefaultItaijiDictionary = "C:\\kakasi\\share\\kakasi\\itaijidict";

// A dictionary path from its environment variable: the variable when it holds
// more than 3 characters, else the default.
std::string DictionaryPath(const char* environmentValue, const char* defaultPath);

// The option words for hiragana ("-JH") or katakana ("-JK") readings.
std::string KakasiOptionText(bool katakana);

class Kakasi {
 public:
  Kakasi() = default;
  ~Kakasi();
  Kakasi(const Kakasi&) = delete;
  Kakasi& operator=(const Kakasi&) = delete;

  // Loads the library and resolves its four functions; false when it is
  // missing or lacks one of them.
  bool Load(const std::string& libraryPath);
  bool Loaded() const { return library_ != nullptr; }
  // Checks both dictionaries and sets the options; true when ready.
  bool Prepare(const std::string& kanwaDictionary, const std::string& itaijiDictionary, bool katakana);
  // Sets the options again (closing the dictionary first); only when ready.
  bool SetOptionsAgain(bool katakana);
  bool Ready() const { return ready_; }
  // The text with its kanji as kana, or nothing when the library gave no result.
  std::optional<std::string> ToKana(const std::string& text);
  void Unload();

 private:
  bool SetOptions(bool katakana);

  using GetoptArgvFn = int (*)(int, char**);
  using DoFn = char* (*)(char*);
  using FreeFn = int (*)(char*);
  using CloseKanwadictFn = int (*)();

  void* library_ = nullptr;
  GetoptArgvFn getoptArgv_ = nullptr;
  DoFn convert_ = nullptr;
  FreeFn free_ = nullptr;
  CloseKanwadictFn closeKanwadict_ = nullptr;
  bool ready_ = false;
  std::mutex mutex_;  // the library keeps global state: one call at a time
};

// The version dialog's lines about the library (CP932, lines joined by
// "\r\n"): found, then ready or its dictionaries missing; "" when it is not loaded.
std::string KakasiVersionText(const Kakasi& kakasi);

// The program's instance, loaded from the base folder on first use.
Kakasi& ProgramKakasi(const std::string& baseFolder, bool katakana);

}  // namespace vel
