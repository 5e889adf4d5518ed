#include "launch/placeholders.h"

#include <cstdio>
#include <optional>
#include <string_view>

#include "core/cp932_text.h"
#include "db/library_connection.h"
#include "launch/emulator_config.h"
#include "platform/codepage.h"
#include "platform/joystick.h"
#include "platform/profile.h"
#include "search/item_list_query.h"

namespace vel {
namespace {

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// True when the ASCII `token` stands at `position` (a character start),
// without regard to case. A byte of a two-byte character never equals an
// ASCII letter of the token before it, so a match always ends on a
// character boundary.
bool MatchAt(const std::string& text, size_t position, std::string_view token) {
  if (position + token.size() > text.size()) return false;
  for (size_t k = 0; k < token.size(); ++k)
    if (Lower(text[position + k]) != Lower(token[k])) return false;
  return true;
}

bool IsDigit(const std::string& text, size_t position) {
  return position < text.size() && text[position] >= '0' && text[position] <= '9';
}

std::string WithoutQuotes(const std::string& text) {
  std::string out;
  for (char c : text)
    if (c != '"') out += c;
  return out;
}

// Position of the last single-byte backslash, or npos.
size_t LastSeparator(const std::string& text) {
  size_t last = std::string::npos;
  for (size_t i = 0; i < text.size(); i += CharacterLength(text, i))
    if (CharacterLength(text, i) == 1 && text[i] == '\\') last = i;
  return last;
}

std::string TwoDigits(int value, bool year) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, year ? "%04d" : "%02d", value);
  return buffer;
}

std::string TimePart(const LocalTime& t, std::string_view part) {
  if (part == "Yr") return TwoDigits(t.year, true);
  if (part == "Mo") return TwoDigits(t.month, false);
  if (part == "Day") return TwoDigits(t.day, false);
  if (part == "Hr") return TwoDigits(t.hour, false);
  if (part == "Min") return TwoDigits(t.minute, false);
  return TwoDigits(t.second, false);
}

// An INI lookup found in a text: where it ends and its three quoted parts.
struct IniLoadCall {
  size_t end = 0;  // one past the closer
  std::string file, section, key;
};

// Reads an INI lookup whose opener ends at `from`: six double quotes, then
// the closer, all before the next opener. Nothing when a quote or the closer
// is missing.
std::optional<IniLoadCall> ParseIniLoad(const std::string& text, size_t from,
                                        std::string_view opener, char closer) {
  size_t limit = from;
  while (limit < text.size() && !MatchAt(text, limit, opener)) limit += CharacterLength(text, limit);
  size_t quotes[6];
  size_t at = from;
  for (size_t& quote : quotes) {
    quote = text.find('"', at);  // '"' is never a trail byte
    if (quote >= limit) return std::nullopt;
    at = quote + 1;
  }
  size_t close = text.find(closer, at);  // ')' and '>' are never trail bytes
  if (close >= limit) return std::nullopt;
  IniLoadCall call;
  call.end = close + 1;
  call.file = text.substr(quotes[0] + 1, quotes[1] - quotes[0] - 1);
  call.section = text.substr(quotes[2] + 1, quotes[3] - quotes[2] - 1);
  call.key = text.substr(quotes[4] + 1, quotes[5] - quotes[4] - 1);
  return call;
}

std::string LookUpIni(const IniLoadCall& call, const std::string& baseFolder) {
  if (call.file.empty()) return {};
  return ProfileText(call.section, call.key, "", ResolveFromBase(call.file, baseFolder));
}

const char* const kImageTokens[] = {"$image", "$path", "$body_noext", "$body"};

class Expander {
 public:
  Expander(const std::string& text, const LaunchValues& launch, bool stripQuotes, bool skipItem)
      : text_(text), launch_(launch), stripQuotes_(stripQuotes), skipItem_(skipItem) {}

  std::string Run() {
    size_t i = 0;
    while (i < text_.size()) {
      size_t used = 0;
      if (text_[i] == '$') used = Placeholder(i);
      if (used == 0) {
        used = CharacterLength(text_, i);
        out_.append(text_, i, used);
      }
      i += used;
    }
    return out_;
  }

 private:
  // Expands the placeholder at `i` into the result; the bytes it took, or 0.
  size_t Placeholder(size_t i) {
    for (int form = 0; form < 4; ++form)
      if (MatchAt(text_, i, kImageTokens[form])) return Image(i, form);
    if (size_t used = Item(i)) return used;
    if (MatchAt(text_, i, "$VEL_PATH")) return Put(launch_.programFolder, 9);
    if (MatchAt(text_, i, "$emu_path"))
      return Put(SplitPath(ResolveFromBase(launch_.executable, launch_.baseFolder)).folder, 9);
    for (const char* when : {"$boot", "$now"}) {
      if (!MatchAt(text_, i, when)) continue;
      size_t at = i + std::string_view(when).size();
      for (const char* part : {"Yr", "Mo", "Day", "Hr", "Min", "Sec"}) {
        if (!MatchAt(text_, at, part)) continue;
        LocalTime t = when[1] == 'b' ? launch_.bootTime : Now();
        return Put(TimePart(t, part), at - i + std::string_view(part).size());
      }
    }
    if (MatchAt(text_, i, "$joy_plugedId")) return Put(JoystickIds(), 13);
    if (MatchAt(text_, i, "$joy_pluged")) return Put(std::to_string(Joysticks().size()), 11);
    if (MatchAt(text_, i, "$iniload(")) return IniLoad(i);
    return 0;
  }

  size_t Put(const std::string& value, size_t used) {
    out_ += value;
    return used;
  }

  // Leaves a skipped placeholder as it stands.
  size_t Keep(size_t i, size_t used) { return Put(text_.substr(i, used), used); }

  size_t Image(size_t i, int form) {
    const size_t at = i + std::string_view(kImageTokens[form]).size();
    int slot;
    size_t used = at - i;
    const int bootSlot = launch_.bootDisk > 0 ? 0 : 1;
    if (IsDigit(text_, at) && text_[at] == '0') {
      slot = 1;
      used += 1;
    } else if (IsDigit(text_, at) && IsDigit(text_, at + 1)) {
      slot = Numbered((text_[at] - '0') * 10 + (text_[at + 1] - '0'));
      used += 2;
    } else if (IsDigit(text_, at) && text_[at] >= '2') {
      slot = Numbered(text_[at] - '0');
      used += 1;
    } else if (IsDigit(text_, at)) {  // "1"
      slot = bootSlot;
      used += 1;
    } else {
      slot = bootSlot;
    }
    if (skipItem_) return Keep(i, used);
    std::string value = slot >= 0 ? launch_.images[static_cast<size_t>(slot)] : std::string();
    if (stripQuotes_) value = WithoutQuotes(value);
    if (form == 0) return Put(value, used);
    PathForms forms = SplitPath(value);
    return Put(form == 1 ? forms.folder : form == 2 ? forms.withoutExtension : forms.fileName, used);
  }

  // The slot of an explicit number, or -1 (empty) above the image count.
  int Numbered(int number) const {
    return number <= launch_.imageCount && number < kImageSlots ? number : -1;
  }

  size_t Item(size_t i) {
    const ItemFields& item = launch_.item;
    const std::pair<const char*, const std::string*> fields[] = {
        {"$machine", &item.machineName}, {"$title", &item.title},
        {"$maker", &item.maker},         {"$developer", &item.developer},
        {"$crc32", &item.crc32},         {"$file_body", &item.fileTitle},
        {"$pfolder", nullptr},
    };
    for (const auto& [token, value] : fields) {
      if (!MatchAt(text_, i, token)) continue;
      size_t used = std::string_view(token).size();
      if (skipItem_) return Keep(i, used);
      return Put(value ? *value : SplitPath(item.fileName).parentName, used);
    }
    return 0;
  }

  size_t IniLoad(size_t i) {
    constexpr std::string_view kOpener = "$iniload(";
    if (skipItem_ || iniLoadStopped_) return Keep(i, kOpener.size());
    std::optional<IniLoadCall> call = ParseIniLoad(text_, i + kOpener.size(), kOpener, ')');
    if (!call) {
      iniLoadStopped_ = true;  // the rest of the openers stay as they are
      return Keep(i, kOpener.size());
    }
    for (std::string* part : {&call->file, &call->section, &call->key})
      *part = Expander(*part, launch_, stripQuotes_, false).Run();
    return Put(LookUpIni(*call, launch_.baseFolder), call->end - i);
  }

  // The current time, read once for the whole text.
  const LocalTime& Now() {
    if (!now_) now_ = launch_.now ? launch_.now() : NowLocal();
    return *now_;
  }

  const std::vector<int>& Joysticks() {
    if (!joysticks_)
      joysticks_ = launch_.joysticks ? launch_.joysticks() : ConnectedJoystickIds();
    return *joysticks_;
  }

  std::string JoystickIds() {
    std::string ids;
    for (int id : Joysticks()) ids += (ids.empty() ? "" : "/") + std::to_string(id);
    return ids;
  }

  const std::string& text_;
  const LaunchValues& launch_;
  const bool stripQuotes_;
  const bool skipItem_;
  bool iniLoadStopped_ = false;
  std::optional<LocalTime> now_;
  std::optional<std::vector<int>> joysticks_;
  std::string out_;
};

}  // namespace

ItemFields ItemFieldsFromListRow(LibraryConnection& db, int row) {
  ItemFields item;
  item.fileName = db.Cell(row, kPosFileName);
  item.machineName = db.Cell(row, kPosMachine);
  item.title = db.Cell(row, kPosTitle);
  item.maker = db.Cell(row, kPosMaker);
  item.developer = db.Cell(row, kPosDeveloper);
  item.multiDisk = db.Cell(row, kPosMultiDisk);
  item.fileTitle = db.Cell(row, kPosFileTitle);
  item.crc32 = db.Cell(row, kPosCrc32);
  item.emusetName = db.Cell(row, kPosEmuset);
  return item;
}

std::string Expand(const std::string& text, const LaunchValues& launch, bool stripQuotes,
                   bool skipItem) {
  return Expander(text, launch, stripQuotes, skipItem).Run();
}

std::string ExpandLaunchValue(const std::string& text, const LaunchValues& launch) {
  return Expand(text, launch, false, false);
}

std::string ExpandExecutable(const std::string& exec, const LaunchValues& launch) {
  LaunchValues withoutExecutable = launch;
  withoutExecutable.executable.clear();
  return ResolveFromBase(ExpandLaunchValue(exec, withoutExecutable), launch.baseFolder);
}

std::string ExpandScriptIniLoad(const std::string& text, const LaunchValues* launch,
                                const std::string& baseFolder) {
  constexpr std::string_view kOpener = "<iniload:";
  std::string out;
  size_t i = 0;
  while (i < text.size()) {
    if (MatchAt(text, i, kOpener)) {
      std::optional<IniLoadCall> call = ParseIniLoad(text, i + kOpener.size(), kOpener, '>');
      if (!call) break;  // this and the later openers stay as they are
      if (launch)
        for (std::string* part : {&call->file, &call->section, &call->key})
          *part = ExpandLaunchValue(*part, *launch);
      out += LookUpIni(*call, baseFolder);
      i = call->end;
      continue;
    }
    size_t length = CharacterLength(text, i);
    out.append(text, i, length);
    i += length;
  }
  out.append(text, i, std::string::npos);
  return out;
}

PathForms SplitPath(const std::string& path) {
  PathForms forms;
  const std::string bare = WithoutQuotes(path);
  size_t separator = LastSeparator(bare);
  if (separator == std::string::npos) {
    forms.fileName = bare;
  } else {
    forms.folder = bare.substr(0, separator + 1);
    forms.fileName = bare.substr(separator + 1);
  }
  size_t dot = forms.fileName.rfind('.');  // '.' is never a trail byte
  forms.withoutExtension = dot == std::string::npos ? forms.fileName : forms.fileName.substr(0, dot);
  forms.extension = dot == std::string::npos ? std::string() : forms.fileName.substr(dot + 1);
  if (!forms.folder.empty()) {
    std::string holder = forms.folder.substr(0, forms.folder.size() - 1);
    size_t above = LastSeparator(holder);
    std::string name = above == std::string::npos ? holder : holder.substr(above + 1);
    if (!name.empty() && name.back() != ':') forms.parentName = name;
  }
  return forms;
}

std::string ResolveFromBase(const std::string& path, const std::string& baseFolder) {
  if (path.empty() || baseFolder.empty() || (path.size() >= 2 && path[1] == ':') ||
      path[0] == '\\' || path[0] == '/')
    return path;
  // Split both at backslash characters.
  auto split = [](const std::string& text) {
    std::vector<std::string> parts(1);
    for (size_t i = 0; i < text.size(); i += CharacterLength(text, i)) {
      if (CharacterLength(text, i) == 1 && text[i] == '\\') parts.emplace_back();
      else parts.back().append(text, i, CharacterLength(text, i));
    }
    return parts;
  };
  std::vector<std::string> parts = split(baseFolder);
  if (parts.size() > 1 && parts.back().empty()) parts.pop_back();  // a trailing backslash
  // The root ("C:" or "\\server\share") is never climbed out of.
  const size_t root = baseFolder.rfind("\\\\", 0) == 0 ? std::min<size_t>(4, parts.size()) : 1;
  for (const std::string& step : split(path)) {
    if (step == "..") {
      if (parts.size() > root) parts.pop_back();
    } else if (step != "." && !step.empty()) {
      parts.push_back(step);
    }
  }
  std::string joined;
  for (size_t k = 0; k < parts.size(); ++k) joined += (k ? "\\" : "") + parts[k];
  if (EndsWithSeparator(path)) joined += "\\";
  return joined;
}

std::string WindowSearchText(const EmulatorConfig& config, const LaunchValues& launch) {
  const std::string keywords =
      config.ttSrchCheckText == 1 ? ExpandLaunchValue(config.ttSrchText, launch) : std::string();
  std::string imageWord;
  if (config.ttSrchCheckImage != 0 && !(config.ttSrchUseOonlyKeywords == 1 && !keywords.empty())) {
    imageWord = ExpandLaunchValue("$body_noext0", launch);
    if (config.ttSrchSpaceSeparated == 1)
      for (char& c : imageWord)
        if (c == ' ') c = ';';  // a space is never a trail byte
  }
  return imageWord + (imageWord.empty() ? "" : ";") + keywords;
}

}  // namespace vel
