#include "maintenance/kakasi.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/codepage.h"
#include "platform/dynamic_library.h"
#include "platform/system.h"

namespace vel {

std::string DictionaryPath(const char* environmentValue, const char* defaultPath) {
  if (environmentValue && std::strlen(environmentValue) > 3) return environmentValue;
  return defaultPath;
}

std::string KakasiOptionText(bool katakana) {
  return katakana ? "kakasi -isjis -JK" : "kakasi -isjis -JH";
}

Kakasi::~Kakasi() { Unload(); }

bool Kakasi::Load(const std::string& libraryPath) {
  Unload();
  void* library = OpenDynamicLibrary(libraryPath);
  if (!library) return false;
  getoptArgv_ = reinterpret_cast<GetoptArgvFn>(DynamicLibraryFunction(library, "kakasi_getopt_argv"));
  convert_ = reinterpret_cast<DoFn>(DynamicLibraryFunction(library, "kakasi_do"));
  free_ = reinterpret_cast<FreeFn>(DynamicLibraryFunction(library, "kakasi_free"));
  closeKanwadict_ =
      reinterpret_cast<CloseKanwadictFn>(DynamicLibraryFunction(library, "kakasi_close_kanwadict"));
  if (!getoptArgv_ || !convert_ || !free_ || !closeKanwadict_) {
    CloseDynamicLibrary(library);
    Unload();
    return false;
  }
  library_ = library;
  return true;
}

bool Kakasi::SetOptions(bool katakana) {
  // The words split at blanks, as the library's own command line would give them.
  std::string text = KakasiOptionText(katakana);
  std::vector<std::string> words;
  for (size_t start = 0; start < text.size();) {
    size_t blank = text.find(' ', start);
    if (blank == std::string::npos) blank = text.size();
    words.push_back(text.substr(start, blank - start));
    start = blank + 1;
  }
  std::vector<char*> arguments;
  for (std::string& word : words) arguments.push_back(word.data());
  arguments.push_back(nullptr);
  ready_ = getoptArgv_(static_cast<int>(words.size()), arguments.data()) == 0;
  return ready_;
}

bool Kakasi::Prepare(const std::string& kanwaDictionary, const std::string& itaijiDictionary,
                     bool katakana) {
  std::lock_guard<std::mutex> lock(mutex_);
  ready_ = false;
  if (!library_ || !FileExists(kanwaDictionary) || !FileExists(itaijiDictionary)) return false;
  return SetOptions(katakana);
}

bool Kakasi::SetOptionsAgain(bool katakana) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!ready_) return false;
  closeKanwadict_();
  return SetOptions(katakana);
}

std::optional<std::string> Kakasi::ToKana(const std::string& text) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (!ready_) return std::nullopt;
  std::string input = text;  // the library takes a writable text
  char* result = convert_(input.data());
  if (!result) return std::nullopt;
  std::string kana = result;
  free_(result);
  return kana;
}

void Kakasi::Unload() {
  std::lock_guard<std::mutex> lock(mutex_);
  if (library_) {
    if (ready_) closeKanwadict_();
    CloseDynamicLibrary(library_);
  }
  library_ = nullptr;
  getoptArgv_ = nullptr;
  convert_ = nullptr;
  free_ = nullptr;
  closeKanwadict_ = nullptr;
  ready_ = false;
}

std::string KakasiVersionText(const Kakasi& kakasi) {
  if (!kakasi.Loaded()) return {};
  return Jp("\t\tkakasiが見つかりました。\r\n") +
         (kakasi.Ready() ? Jp("\t\t -> kakasiの準備ができました。")
                         : Jp("\t\t -> 辞書が見つかりません。環境変数又はﾃﾞﾌｫﾙﾄﾊﾟｽを確認して下さい。"));
}

Kakasi& ProgramKakasi(const std::string& baseFolder, bool katakana) {
  static Kakasi kakasi;
  static std::once_flag loaded;
  std::call_once(loaded, [&] {
    if (!kakasi.Load(baseFolder + "\\" + kKakasiLibraryName)) return;
    kakasi.Prepare(DictionaryPath(std::getenv("KANWADICTPATH"), kDefaultKanwaDictionary),
                   DictionaryPath(std::getenv("ITAIJIDICTPATH"), kDefaultItaijiDictionary), katakana);
  });
  return kakasi;
}

}  // namespace vel
