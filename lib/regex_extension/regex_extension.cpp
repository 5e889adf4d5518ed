// REGEX(text, pattern) and the REGEXP operator (pattern REGEXP'd against
// text) for SQLite. Texts and patterns arrive as UTF-8 and are matched by
// character with the engine the in-list search uses: both are converted to
// wide characters first, so a class or a "." never takes one byte of a
// multi-byte character. Matching ignores ASCII case, as LIKE does. The
// compiled pattern is kept per statement.
#include <sqlite3ext.h>
SQLITE_EXTENSION_INIT1

#include <memory>
#include <optional>
#include <string>

#include "search/regex_engine.h"

namespace {

// UTF-8 to wide characters into `out`; a malformed sequence becomes U+FFFD.
void WidenInto(std::u32string& out, const unsigned char* s, int length) {
  out.clear();
  out.reserve(static_cast<size_t>(length));
  for (int i = 0; i < length;) {
    unsigned c = s[i];
    int extra = c < 0x80 ? 0 : c >= 0xF0 && c < 0xF8 ? 3 : c >= 0xE0 ? 2 : c >= 0xC2 && c < 0xE0 ? 1 : -1;
    unsigned cp = extra == 3 ? c & 0x07 : extra == 2 ? c & 0x0F : extra == 1 ? c & 0x1F : c;
    bool ok = extra >= 0 && i + extra < length;
    for (int k = 1; ok && k <= extra; ++k) {
      ok = (s[i + k] & 0xC0) == 0x80;
      cp = (cp << 6) | (s[i + k] & 0x3F);
    }
    if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
      out += static_cast<char32_t>(0xFFFD);
      ++i;
      continue;
    }
    i += extra + 1;
    out += static_cast<char32_t>(cp);
  }
}

std::u32string Widen(const unsigned char* s, int length) {
  std::u32string out;
  WidenInto(out, s, length);
  return out;
}

void DeletePattern(void* p) { delete static_cast<vel::RegexProgram*>(p); }

// Tests argv[textArg] against the pattern in argv[patternArg].
void Match(sqlite3_context* context, sqlite3_value** argv, int patternArg, int textArg) {
  if (sqlite3_value_type(argv[patternArg]) == SQLITE_NULL ||
      sqlite3_value_type(argv[textArg]) == SQLITE_NULL) {
    sqlite3_result_null(context);
    return;
  }
  try {
    auto* cached = static_cast<vel::RegexProgram*>(sqlite3_get_auxdata(context, patternArg));
    std::unique_ptr<vel::RegexProgram> compiled;
    if (!cached) {
      const unsigned char* pattern = sqlite3_value_text(argv[patternArg]);
      std::optional<vel::RegexProgram> program =
          vel::RegexProgram::Compile(Widen(pattern, sqlite3_value_bytes(argv[patternArg])), true);
      if (!program) {
        sqlite3_result_error(context, "invalid regular expression", -1);
        return;
      }
      compiled = std::make_unique<vel::RegexProgram>(std::move(*program));
      cached = compiled.get();
    }
    // Every row's text is widened into the same buffer of the thread.
    thread_local std::u32string wide;
    WidenInto(wide, sqlite3_value_text(argv[textArg]), sqlite3_value_bytes(argv[textArg]));
    bool found = cached->Search(wide);
    // Handed over only now: SQLite may discard it at once.
    if (compiled) sqlite3_set_auxdata(context, patternArg, compiled.release(), DeletePattern);
    sqlite3_result_int(context, found ? 1 : 0);
  } catch (const std::exception&) {
    sqlite3_result_error(context, "regular expression could not be matched", -1);
  }
}

void RegexFunction(sqlite3_context* context, int, sqlite3_value** argv) { Match(context, argv, 1, 0); }
void RegexpOperator(sqlite3_context* context, int, sqlite3_value** argv) { Match(context, argv, 0, 1); }

}  // namespace

#if defined(_WIN32)
#define VEL_EXTENSION_EXPORT extern "C" __declspec(dllexport)
#else
#define VEL_EXTENSION_EXPORT extern "C" __attribute__((visibility("default")))
#endif

VEL_EXTENSION_EXPORT int sqlite3_extension_init(sqlite3* db, char**, const sqlite3_api_routines* api) {
  SQLITE_EXTENSION_INIT2(api);
  const int flags = SQLITE_UTF8 | SQLITE_DETERMINISTIC;
  int rc = sqlite3_create_function(db, "regex", 2, flags, nullptr, RegexFunction, nullptr, nullptr);
  if (rc == SQLITE_OK)
    rc = sqlite3_create_function(db, "regexp", 2, flags, nullptr, RegexpOperator, nullptr, nullptr);
  return rc;
}

// The entry point SQLite derives from the file name.
VEL_EXTENSION_EXPORT int sqlite3_sqliteregexextension_init(sqlite3* db, char** error,
                                                          const sqlite3_api_routines* api) {
  return sqlite3_extension_init(db, error, api);
}
