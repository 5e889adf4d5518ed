#include "maintenance/rename_plugin.h"

#include <algorithm>
#include <cstring>
#include <limits>

#include "core/cp932_text.h"
#include "platform/codepage.h"
#include "platform/directory.h"
#include "platform/dynamic_library.h"

#if defined(_WIN32) && !defined(_WIN64)
#define VEL_PLUGIN_CALL __stdcall
#else
#define VEL_PLUGIN_CALL  // the one calling convention of 64-bit code
#endif

namespace vel {
namespace {

using TextGetter = std::int16_t(VEL_PLUGIN_CALL*)(const char* list, const char* key, std::int16_t keyType,
                                                 char** text, std::int16_t size);
using NumberGetter = std::int16_t(VEL_PLUGIN_CALL*)(const char* list, const char* key, std::int16_t keyType);
using InfoGetter = std::int16_t(VEL_PLUGIN_CALL*)(char** text, std::int16_t size);
using VersionGetter = std::int16_t(VEL_PLUGIN_CALL*)();

constexpr std::size_t kTextLimit = 256;
constexpr std::size_t kCreatorLimit = 4095;  // a list of names is cut at a ";"
constexpr std::size_t kMemoLimit = 32766;    // the largest size a 16-bit count can pass, less the terminator

const RenameFieldInfo kFields[kRenameFieldCount] = {
    {"GetTitle", "タイトル", false, kTextLimit},
    {"GetMaker", "メーカー", false, kTextLimit},
    {"GetCountry", "国", false, kTextLimit},
    {"GetVersion", "バージョン", false, kTextLimit},
    {"GetYear", "発売年", true, 0},
    {"GetImgNum", "イメージ番号", true, 0},
    {"GetGenre", "ジャンル", false, kTextLimit},
    {"GetR", "R指定", true, 0},
    {"GetCreator", "クリエイター", false, kCreatorLimit},
    {"GetMemo", "メモ", false, kMemoLimit},
    {"GetKana", "読み仮名", false, kTextLimit},
    {"GetDeveloper", "開発元", false, kTextLimit},
    {"GetSaleDate", "発売年月日", false, kTextLimit},
    {"GetPrice", "価格", false, kTextLimit},
    {"GetModel", "型番", false, kTextLimit},
    {"GetMediaInfo", "メディア情報", false, kTextLimit},
    {"GetDeviceInfo", "対応機器", false, kTextLimit},
    {"GetPlayer", "プレイヤー数", false, kTextLimit},
    {"GetSaveInfo", "セーブデータ", false, kTextLimit},
    {"GetSoundInfo", "サウンド情報", false, kTextLimit},
    {"GetCeroRating", "拡張R指定", false, kTextLimit},
};

// The first `length` bytes without a two-byte character cut in half.
std::string WholeCharacters(const char* text, std::size_t length) {
  std::size_t end = 0;
  while (end < length) {
    std::size_t width = IsCp932LeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
    if (end + width > length) break;
    end += width;
  }
  return std::string(text, end);
}

// The two-call protocol, whatever the plug-in does: the buffer holds what it
// announced as well as what it may write, the size passed is the cap, and the
// text ends at the cap even without a terminator.
template <typename Call>
std::optional<std::string> ReadText(Call call, std::size_t limit) {
  char* unused = nullptr;
  const int announced = call(&unused, 0);
  if (announced < 0) return std::nullopt;
  const int cap = static_cast<int>(std::min<std::size_t>(limit + 1, std::numeric_limits<std::int16_t>::max()));
  const int size = std::min(announced, cap);
  std::vector<char> buffer(static_cast<std::size_t>(std::max(announced, cap)) + 1, '\0');
  char* text = buffer.data();
  if (call(&text, static_cast<std::int16_t>(size)) < 0) return std::nullopt;
  if (size < 2) return std::nullopt;  // not even one character and its terminator
  // The plug-in's own pointer is never followed: only our buffer is read.
  // The last byte of the size is the terminator's, written or not.
  const std::size_t length = strnlen(buffer.data(), static_cast<std::size_t>(size) - 1);
  return WholeCharacters(buffer.data(), std::min(length, limit));
}

// A list of names ("a;b;") cut to the limit ends at its last whole name.
std::string CutCreators(const std::string& creators, std::size_t limit, bool wasCut) {
  if (!wasCut) return creators;
  std::string text = creators;
  size_t lastSeparator = std::string::npos;
  for (size_t i = 0; i < limit && i < text.size(); i += CharacterLength(text, i))
    if (text[i] == ';') lastSeparator = i;
  if (lastSeparator != std::string::npos) text.resize(lastSeparator + 1);
  return CutToBytes(text, limit);
}

}  // namespace

const RenameFieldInfo& RenameFieldOf(int field) { return kFields[field]; }

RenamePlugin::~RenamePlugin() { Release(); }

bool RenamePlugin::Load(const std::string& path) {
  Release();
  library_ = OpenDynamicLibrary(path);
  if (!library_) return false;
  for (int f = 0; f < kRenameFieldCount; ++f)
    fields_[static_cast<size_t>(f)] = DynamicLibraryFunction(library_, kFields[f].exportName);
  author_ = DynamicLibraryFunction(library_, "GetPluginAuthor");
  version_ = DynamicLibraryFunction(library_, "GetPluginVersion");
  info_ = DynamicLibraryFunction(library_, "GetPluginInfo");
  return true;
}

void RenamePlugin::Release() {
  CloseDynamicLibrary(library_);
  library_ = nullptr;
  fields_.fill(nullptr);
  author_ = version_ = info_ = nullptr;
}

bool RenamePlugin::Usable() const {
  return std::any_of(fields_.begin(), fields_.end(), [](void* f) { return f != nullptr; });
}

std::string RenamePlugin::Author() const {
  if (!author_) return "";
  auto get = reinterpret_cast<InfoGetter>(author_);
  return ReadText([&](char** text, std::int16_t size) { return get(text, size); }, kTextLimit).value_or("");
}

std::string RenamePlugin::Info() const {
  if (!info_) return "";
  auto get = reinterpret_cast<InfoGetter>(info_);
  return ReadText([&](char** text, std::int16_t size) { return get(text, size); }, kTextLimit).value_or("");
}

std::string RenamePlugin::VersionText() const {
  if (!version_) return "";
  return PluginVersionText(reinterpret_cast<VersionGetter>(version_)());
}

std::optional<std::string> RenamePlugin::Text(int field, const char* list, const std::string& key,
                                              std::int16_t keyType) const {
  void* function = fields_[static_cast<size_t>(field)];
  if (!function || kFields[field].number) return std::nullopt;
  auto get = reinterpret_cast<TextGetter>(function);
  const std::size_t limit = kFields[field].limit;
  // The creator list is read one byte over its limit to see whether it was cut.
  const std::size_t readLimit = field == kRnCreator ? limit + 1 : limit;
  auto text = ReadText([&](char** out, std::int16_t size) { return get(list, key.c_str(), keyType, out, size); },
                       readLimit);
  if (text && field == kRnCreator) return CutCreators(*text, limit, text->size() > limit);
  return text;
}

int RenamePlugin::Number(int field, const char* list, const std::string& key, std::int16_t keyType) const {
  void* function = fields_[static_cast<size_t>(field)];
  if (!function || !kFields[field].number) return -1;
  return reinterpret_cast<NumberGetter>(function)(list, key.c_str(), keyType);
}

std::string PluginVersionText(int version) {
  std::string digits = std::to_string(version < 0 ? -version : version);
  if (digits.size() < 3) digits.insert(0, 3 - digits.size(), '0');
  return (version < 0 ? "-" : "") + digits.substr(0, 1) + "." + digits.substr(1);
}

std::vector<std::string> ListPluginFiles(const std::string& folder) {
  std::vector<std::string> names;
  FolderListing listing = ListFolder(folder);
  for (const FolderEntry& entry : listing.entries) {
    if (entry.isFolder || entry.name.size() < 4) continue;
    if (EqualsIgnoringCase(entry.name.substr(entry.name.size() - 4), ".nya")) names.push_back(entry.name);
  }
  std::sort(names.begin(), names.end());
  return names;
}

}  // namespace vel
