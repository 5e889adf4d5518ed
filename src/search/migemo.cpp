#include "search/migemo.h"

#include <string_view>
#include <vector>

#include "db/library_connection.h"
#include "platform/codepage.h"
#include "platform/dynamic_library.h"

#if defined(_WIN32)
#define VEL_MIGEMO_CALL __stdcall
#else
#define VEL_MIGEMO_CALL
#endif

namespace vel {

struct MigemoLibrary::Functions {
  using Open = void*(VEL_MIGEMO_CALL*)(const char*);
  using Close = void(VEL_MIGEMO_CALL*)(void*);
  using QueryFn = unsigned char*(VEL_MIGEMO_CALL*)(void*, const unsigned char*);
  using Release = void(VEL_MIGEMO_CALL*)(void*, unsigned char*);
  using IsEnable = int(VEL_MIGEMO_CALL*)(void*);
  Open open = nullptr;
  Close close = nullptr;
  QueryFn query = nullptr;
  Release release = nullptr;
  IsEnable isEnable = nullptr;
};

namespace {

template <typename Fn>
Fn Resolve(void* library, const char* name) {
  return reinterpret_cast<Fn>(DynamicLibraryFunction(library, name));
}

// The text split into CP932 characters (one or two bytes each).
std::vector<std::string> Characters(const std::string& text) {
  std::vector<std::string> out;
  for (size_t i = 0; i < text.size();) {
    size_t n = IsCp932LeadByte(static_cast<unsigned char>(text[i])) && i + 1 < text.size() ? 2 : 1;
    out.push_back(text.substr(i, n));
    i += n;
  }
  return out;
}

bool IsUpperAscii(const std::string& ch) { return ch.size() == 1 && ch[0] >= 'A' && ch[0] <= 'Z'; }

// The members of the character class that starts at chars[open] ("["), and
// the index of its "]"; nothing when the class is not closed.
bool ClassAt(const std::vector<std::string>& chars, size_t open, std::vector<std::string>& members,
             size_t& close) {
  members.clear();
  for (size_t i = open + 1; i < chars.size(); ++i) {
    if (chars[i] == "]") {
      close = i;
      return true;
    }
    if (chars[i] == "\\" && i + 1 < chars.size()) {
      members.push_back(chars[i] + chars[i + 1]);
      ++i;
      continue;
    }
    members.push_back(chars[i]);
  }
  return false;
}

std::string CutClasses(const std::string& pattern, int classLimit) {
  std::vector<std::string> chars = Characters(pattern);
  std::string out;
  std::vector<std::string> members;
  for (size_t i = 0; i < chars.size(); ++i) {
    size_t close = 0;
    if (chars[i] == "[" && i > 0 && chars[i - 1] == "(" && ClassAt(chars, i, members, close) &&
        members.size() > static_cast<size_t>(classLimit)) {
      out += "[";
      for (int k = 0; k < classLimit; ++k) out += members[k];
      if (members.back().size() == 2 && members.back()[0] != '\\') out += members.back();
      out += "]";
      i = close;
      continue;
    }
    out += chars[i];
  }
  return out;
}

// The rewrite for an engine that cannot take classes of two-byte characters:
// every class becomes an alternation of its members.
std::string RewriteForOperator(const std::string& pattern) {
  std::vector<std::string> chars = Characters(pattern);
  std::vector<std::string> out;  // by character, so that trail bytes are never taken for "|" or "("
  std::vector<std::string> members;
  for (size_t i = 0; i < chars.size(); ++i) {
    const std::string& ch = chars[i];
    size_t close = 0;
    if (ch == "[" && ClassAt(chars, i, members, close)) {
      i = close;
      if (members.empty()) continue;
      if (!out.empty() && out.back() == "(") {
        for (size_t k = 0; k < members.size(); ++k) {
          if (k) out.push_back("|");
          out.push_back(members[k]);
        }
        continue;
      }
      // The current alternative's text is distributed over the members.
      size_t start = out.size();
      while (start > 0 && out[start - 1] != "|" && out[start - 1] != "(") --start;
      std::vector<std::string> prefix(out.begin() + start, out.end());
      out.resize(start);
      for (size_t k = 0; k < members.size(); ++k) {
        if (k) out.push_back("|");
        out.insert(out.end(), prefix.begin(), prefix.end());
        out.push_back(members[k]);
      }
      continue;
    }
    out.push_back(ch);
  }
  std::string result;
  int open = 0;
  for (size_t i = 0; i < out.size(); ++i) {
    const std::string& ch = out[i];
    bool escaped = i > 0 && out[i - 1] == "\\";
    if (ch == "'") result += "''";
    else if (ch == "[") result += "(", open += !escaped;
    else if (ch == "]") result += ")", open -= !escaped;
    else if (ch == "(") result += ch, open += !escaped;
    else if (ch == ")") result += ch, open -= !escaped;
    else if (ch == "+") result += "\\+";
    else result += ch;
  }
  for (; open > 0; --open) result += ")";
  return result;
}

}  // namespace

MigemoLibrary::MigemoLibrary() = default;
MigemoLibrary::~MigemoLibrary() { Unload(); }

bool MigemoLibrary::Load(const std::string& libraryPath, const std::string& dictionaryPath) {
  Unload();
  void* library = OpenDynamicLibrary(libraryPath);
  if (!library) return false;
  auto f = std::make_unique<Functions>();
  f->open = Resolve<Functions::Open>(library, "migemo_open");
  f->close = Resolve<Functions::Close>(library, "migemo_close");
  f->query = Resolve<Functions::QueryFn>(library, "migemo_query");
  f->release = Resolve<Functions::Release>(library, "migemo_release");
  f->isEnable = Resolve<Functions::IsEnable>(library, "migemo_is_enable");
  void* dictionary = nullptr;
  if (f->open && f->close && f->query && f->release && f->isEnable)
    dictionary = f->open(dictionaryPath.c_str());
  if (!dictionary) {
    CloseDynamicLibrary(library);
    return false;
  }
  library_ = library;
  dictionary_ = dictionary;
  functions_ = std::move(f);
  return true;
}

void MigemoLibrary::Unload() {
  if (!library_) return;
  functions_->close(dictionary_);
  functions_.reset();
  CloseDynamicLibrary(library_);
  library_ = dictionary_ = nullptr;
}

bool MigemoLibrary::IsEnabled() { return library_ && functions_->isEnable(dictionary_) != 0; }

std::optional<std::string> MigemoLibrary::Query(const std::string& text) {
  if (!library_) return std::nullopt;
  unsigned char* pattern =
      functions_->query(dictionary_, reinterpret_cast<const unsigned char*>(text.c_str()));
  if (!pattern) return std::nullopt;
  std::string copy(reinterpret_cast<const char*>(pattern));
  functions_->release(dictionary_, pattern);
  return copy;
}

int MigemoUsability(MigemoSource* migemo, int engine, const std::string& text) {
  if (!migemo) return 4;
  if (!migemo->IsEnabled()) return 3;
  if (engine == kRegexNone) return 2;
  for (const std::string& ch : Characters(text))
    if (ch.size() == 1 && std::string_view("()[]|").find(ch[0]) != std::string_view::npos) return 1;
  return 0;
}

std::string PrepareMigemoQuery(const std::string& text) {
  std::vector<std::string> chars;
  for (const std::string& ch : Characters(text))
    if (!(ch == " " && (chars.empty() || chars.back() == " "))) chars.push_back(ch);
  while (!chars.empty() && chars.back() == " ") chars.pop_back();

  std::string out;
  for (size_t i = 0; i < chars.size(); ++i) {
    std::string ch = chars[i];
    if (ch == " ") continue;
    if (i > 0 && chars[i - 1] == " " && !(i > 1 && IsUpperAscii(chars[i - 2])) && ch.size() == 1 &&
        ch[0] >= 'a' && ch[0] <= 'z')
      ch[0] = static_cast<char>(ch[0] - 'a' + 'A');
    out += ch;
  }
  return SmallYaAsHiragana(out);
}

std::string SmallYaAsHiragana(const std::string& text) {
  const std::string smallYa = Jp("ャ"), hiraganaYa = Jp("ゃ");
  std::string out;
  for (const std::string& ch : Characters(text)) out += ch == smallYa ? hiraganaYa : ch;
  return out;
}

std::string AdaptMigemoPattern(const std::string& pattern, int classLimit, int engine) {
  std::string cut = classLimit > 0 ? CutClasses(pattern, classLimit) : pattern;
  if (engine == kRegexFunction) return Quote(cut);
  return RewriteForOperator(cut);
}

std::string RegexCondition(int engine, const std::string& column, const std::string& pattern) {
  if (engine == kRegexFunction) return "REGEX(" + column + ",'" + pattern + "') ";
  if (engine == kRegexOperator) return column + " REGEXP '" + pattern + "' ";
  return "";
}

}  // namespace vel
