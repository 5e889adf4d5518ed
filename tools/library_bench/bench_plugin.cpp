// The rename-data plug-in of the library benchmark: the list format of the
// test stand-in (one line per key, then tab-separated "ExportName=value"
// pairs), indexed once per list so that a lookup costs what a good plug-in's
// would, and the benchmark times the program rather than a linear search.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>
#include <unordered_map>

#ifdef _WIN32
#define BENCH_EXPORT extern "C" __declspec(dllexport)
#define BENCH_CALL __stdcall
#else
#define BENCH_EXPORT extern "C" __attribute__((visibility("default")))
#define BENCH_CALL
#endif

namespace {

// Each key's line (the text after the key) of the list last indexed.
struct Index {
  const char* list = nullptr;
  std::unordered_map<std::string_view, std::string_view> lines;
};
Index index;

const Index& IndexOf(const char* list) {
  if (index.list == list) return index;
  index.list = list;
  index.lines.clear();
  for (const char* line = list; *line;) {
    const char* end = std::strchr(line, '\n');
    if (!end) end = line + std::strlen(line);
    std::string_view record(line, static_cast<size_t>(end - line));
    if (!record.empty() && record.back() == '\r') record.remove_suffix(1);
    size_t tab = record.find('\t');
    if (tab != std::string_view::npos) index.lines.emplace(record.substr(0, tab), record.substr(tab));
    line = *end ? end + 1 : end;
  }
  return index;
}

bool FindValue(const char* list, const char* key, const char* name, std::string_view& value) {
  const Index& found = IndexOf(list);
  auto line = found.lines.find(key);
  if (line == found.lines.end()) return false;
  const std::string wanted = std::string("\t") + name + "=";
  size_t at = line->second.find(wanted);
  if (at == std::string_view::npos) return false;
  value = line->second.substr(at + wanted.size());
  value = value.substr(0, value.find('\t'));
  return true;
}

std::int16_t GiveText(std::string_view text, char** out, std::int16_t size) {
  const auto length = static_cast<std::int16_t>(text.size() + 1);
  if (size == 0) return length;
  size_t count = std::min<size_t>(text.size(), static_cast<size_t>(size) - 1);
  std::memcpy(*out, text.data(), count);
  (*out)[count] = '\0';
  return length;
}

std::int16_t TextGetter(const char* name, const char* list, const char* key, char** out, std::int16_t size) {
  std::string_view value;
  if (!FindValue(list, key, name, value)) return -1;
  return GiveText(value, out, size);
}

}  // namespace

#define TEXT_EXPORT(name)                                                                                   \
  BENCH_EXPORT std::int16_t BENCH_CALL name(const char* list, const char* key, std::int16_t, char** out,   \
                                            std::int16_t size) {                                           \
    return TextGetter(#name, list, key, out, size);                                                        \
  }
TEXT_EXPORT(GetTitle)
TEXT_EXPORT(GetMaker)
TEXT_EXPORT(GetCreator)
TEXT_EXPORT(GetPrice)
TEXT_EXPORT(GetModel)

BENCH_EXPORT std::int16_t BENCH_CALL GetYear(const char* list, const char* key, std::int16_t) {
  std::string_view value;
  if (!FindValue(list, key, "GetYear", value)) return -1;
  return static_cast<std::int16_t>(std::atoi(std::string(value).c_str()));
}

BENCH_EXPORT std::int16_t BENCH_CALL GetPluginAuthor(char** out, std::int16_t size) {
  return GiveText("Velmarook benchmark", out, size);
}
BENCH_EXPORT std::int16_t BENCH_CALL GetPluginVersion() { return 100; }
BENCH_EXPORT std::int16_t BENCH_CALL GetPluginInfo(char** out, std::int16_t size) {
  return GiveText("indexed test list", out, size);
}
