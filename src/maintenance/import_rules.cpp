#include "maintenance/import_rules.h"

#include "platform/codepage.h"

namespace vel {
namespace {

// Byte position of the first (or last) character `c` at or after `from`.
std::size_t FindChar(const std::string& s, char c, std::size_t from = 0) {
  for (std::size_t i = 0; i < s.size(); i += CharacterLength(s, i))
    if (i >= from && s[i] == c) return i;
  return std::string::npos;
}

std::size_t FindLastChar(const std::string& s, char c) {
  std::size_t found = std::string::npos;
  for (std::size_t i = 0; i < s.size(); i += CharacterLength(s, i))
    if (s[i] == c) found = i;
  return found;
}

std::size_t FindFirstBracket(const std::string& s) {
  for (std::size_t i = 0; i < s.size(); i += CharacterLength(s, i))
    if (s[i] == '(' || s[i] == '[') return i;
  return std::string::npos;
}

char Lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

// Does `s` hold `part` at the character boundary `at`, single-byte letters
// compared without regard to case?
bool MatchesAt(const std::string& s, std::size_t at, const std::string& part) {
  if (part.empty() || at + part.size() > s.size()) return false;
  for (std::size_t i = 0; i < part.size();) {
    std::size_t n = CharacterLength(part, i);
    if (n == 2) {
      if (s[at + i] != part[i] || s[at + i + 1] != part[i + 1]) return false;
    } else if (Lower(s[at + i]) != Lower(part[i])) {
      return false;
    }
    i += n;
  }
  return true;
}

std::size_t FindText(const std::string& s, const std::string& part) {
  for (std::size_t i = 0; i < s.size(); i += CharacterLength(s, i))
    if (MatchesAt(s, i, part)) return i;
  return std::string::npos;
}

// Blanks: space, tab and the full-width space, each a whole character.
bool IsBlankAt(const std::string& s, std::size_t i, std::size_t length) {
  if (length == 1) return s[i] == ' ' || s[i] == '\t';
  return s[i] == '\x81' && s[i + 1] == '\x40';
}

// Without blanks at either end, walked by character (0x40 can be a trail byte).
std::string Trim(const std::string& s) {
  std::size_t b = std::string::npos, e = 0;
  for (std::size_t i = 0; i < s.size();) {
    std::size_t n = CharacterLength(s, i);
    if (!IsBlankAt(s, i, n)) {
      if (b == std::string::npos) b = i;
      e = i + n;
    }
    i += n;
  }
  return b == std::string::npos ? std::string() : s.substr(b, e - b);
}

std::string TitleOfName(const std::string& name) {
  std::size_t dot = FindLastChar(name, '.');
  return dot == std::string::npos ? name : name.substr(0, dot);
}

// The folder `levels` above the path's last component; "" at a drive root or
// beyond the start of the path.
std::string FolderName(const std::string& path, int levels) {
  std::string rest = path;
  for (int i = 0; i < levels; ++i) {
    std::size_t sep = FindLastChar(rest, '\\');
    if (sep == std::string::npos) return {};
    rest = rest.substr(0, sep);
  }
  std::string name = NameOf(rest);
  if (name.empty() || name.back() == ':' || rest.size() == name.size()) return {};
  return name;
}

std::string BeforeBracket(const std::string& s) {
  std::size_t at = FindFirstBracket(s);
  return Trim(at == std::string::npos ? s : s.substr(0, at));
}

std::string FromBracket(const std::string& s) {
  std::size_t at = FindFirstBracket(s);
  return at == std::string::npos ? std::string() : Trim(s.substr(at));
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Without a leading number such as "01 ", "003_" or "#12-": digits followed
// by at least one separator. "1942" or "3D Golf" stay as they are.
std::string WithoutLeadingNumber(const std::string& s) {
  std::size_t i = 0;
  if (i < s.size() && s[i] == '#') ++i;
  std::size_t digits = i;
  while (i < s.size() && IsDigit(s[i])) ++i;
  if (i == digits) return s;
  std::size_t separators = i;
  while (i < s.size() && (s[i] == ' ' || s[i] == '_' || s[i] == '-' || s[i] == '.' || s[i] == ')'))
    ++i;
  if (i == separators || i == s.size()) return s;
  return s.substr(i);
}

// A year is four digits from 1950 to 2059 standing alone (no digit next to them).
struct YearHit {
  std::size_t at;
  bool bracketed;
};
std::vector<YearHit> YearsIn(const std::string& s) {
  std::vector<YearHit> hits;
  for (std::size_t i = 0; i < s.size(); i += CharacterLength(s, i)) {
    if (!IsDigit(s[i]) || (i > 0 && IsDigit(s[i - 1]))) continue;
    std::size_t e = i;
    while (e < s.size() && IsDigit(s[e])) ++e;
    if (e - i != 4) continue;
    int year = std::stoi(s.substr(i, 4));
    if (year < 1950 || year > 2059) continue;
    bool bracketed = i > 0 && (s[i - 1] == '(' || s[i - 1] == '[');
    hits.push_back({i, bracketed});
  }
  return hits;
}

// The year of a name: the first one right after a bracket, else the last one.
std::string YearOfName(const std::string& name) {
  std::vector<YearHit> hits = YearsIn(name);
  if (hits.empty()) return {};
  for (const YearHit& h : hits)
    if (h.bracketed) return name.substr(h.at, 4);
  return name.substr(hits.back().at, 4);
}

std::vector<std::string> SplitMarks(const std::string& marks) {
  std::vector<std::string> out;
  std::size_t from = 0;
  while (from <= marks.size()) {
    std::size_t sep = FindChar(marks, ';', from);
    std::string mark = Trim(marks.substr(from, sep == std::string::npos ? std::string::npos : sep - from));
    if (!mark.empty()) out.push_back(mark);
    if (sep == std::string::npos) break;
    from = sep + 1;
  }
  return out;
}

std::string WithoutBrackets(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    std::size_t n = CharacterLength(s, i);
    if (!(n == 1 && (s[i] == '(' || s[i] == ')' || s[i] == '[' || s[i] == ']'))) out.append(s, i, n);
    i += n;
  }
  return out;
}

// The version text without country marks and bracketed years; brackets left
// empty and doubled blanks go too.
std::string WithoutMarksAndYears(std::string s, const std::vector<std::string>& marks) {
  for (const std::string& mark : marks)
    for (std::size_t at; (at = FindText(s, mark)) != std::string::npos;) s.erase(at, mark.size());
  for (bool changed = true; changed;) {
    changed = false;
    for (const YearHit& h : YearsIn(s)) {
      if (!h.bracketed) continue;
      char close = s[h.at - 1] == '(' ? ')' : ']';
      std::size_t end = FindChar(s, close, h.at);
      if (end == std::string::npos) continue;
      s.erase(h.at - 1, end - h.at + 2);
      changed = true;
      break;
    }
  }
  for (const char* empty : {"()", "[]"})
    for (std::size_t at; (at = FindText(s, empty)) != std::string::npos;) s.erase(at, 2);
  for (std::size_t at; (at = FindText(s, "  ")) != std::string::npos;) s.erase(at, 1);
  return Trim(s);
}

}  // namespace

std::string KeyFilePath(const std::string& key) {
  std::size_t star = FindChar(key, '*');
  return star == std::string::npos ? key : key.substr(0, star);
}

std::string KeyMember(const std::string& key) {
  std::size_t star = FindChar(key, '*');
  return star == std::string::npos ? std::string() : key.substr(star + 1);
}

std::string NameOf(const std::string& path) {
  std::size_t sep = FindLastChar(path, '\\');
  return sep == std::string::npos ? path : path.substr(sep + 1);
}

std::string ExtensionOf(const std::string& path) {
  std::string name = NameOf(path);
  std::size_t dot = FindLastChar(name, '.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string LowerAscii(const std::string& text) {
  std::string out = text;
  for (std::size_t i = 0; i < out.size(); i += CharacterLength(out, i)) out[i] = Lower(out[i]);
  return out;
}

KeyParts SplitItemKey(const std::string& key) {
  KeyParts parts;
  std::string file = NameOf(KeyFilePath(key));
  parts.fileTitle = TitleOfName(file);
  parts.fileExt = ExtensionOf(file);
  std::string member = KeyMember(key);
  if (!member.empty()) {
    parts.memberTitle = TitleOfName(NameOf(member));
    parts.memberExt = ExtensionOf(member);
  }
  return parts;
}

std::vector<std::string> ParseSearchExtensions(const std::string& searchExt) {
  std::vector<std::string> out;
  for (std::string ext : SplitMarks(searchExt)) {
    while (!ext.empty() && (ext[0] == '*' || ext[0] == '.')) ext.erase(0, 1);
    if (!ext.empty()) out.push_back(LowerAscii(ext));
  }
  return out;
}

bool MatchesExtensions(const std::string& name, const std::vector<std::string>& extensions) {
  if (extensions.empty()) return true;
  std::string ext = LowerAscii(ExtensionOf(name));
  for (const std::string& e : extensions)
    if (e == ext) return true;
  return false;
}

int NaturalCompare(const std::string& a, const std::string& b) {
  std::size_t i = 0, j = 0;
  while (i < a.size() && j < b.size()) {
    if (IsDigit(a[i]) && IsDigit(b[j])) {
      std::size_t ei = i, ej = j;
      while (ei < a.size() && IsDigit(a[ei])) ++ei;
      while (ej < b.size() && IsDigit(b[ej])) ++ej;
      std::size_t si = i, sj = j;
      while (si + 1 < ei && a[si] == '0') ++si;
      while (sj + 1 < ej && b[sj] == '0') ++sj;
      if (ei - si != ej - sj) return ei - si < ej - sj ? -1 : 1;
      if (int c = a.compare(si, ei - si, b, sj, ej - sj)) return c < 0 ? -1 : 1;
      i = ei;
      j = ej;
      continue;
    }
    std::size_t ni = CharacterLength(a, i), nj = CharacterLength(b, j);
    std::string ca = ni == 1 ? std::string(1, Lower(a[i])) : a.substr(i, ni);
    std::string cb = nj == 1 ? std::string(1, Lower(b[j])) : b.substr(j, nj);
    if (ca != cb) {
      unsigned char ua = static_cast<unsigned char>(ca[0]), ub = static_cast<unsigned char>(cb[0]);
      if (ua != ub) return ua < ub ? -1 : 1;
      return ca < cb ? -1 : 1;
    }
    i += ni;
    j += nj;
  }
  if (i < a.size()) return 1;
  if (j < b.size()) return -1;
  return a < b ? -1 : a > b ? 1 : 0;
}

DerivedText DeriveText(const std::string& key, const ImportJob& options) {
  DerivedText d;
  const std::string file = KeyFilePath(key);
  const std::string member = KeyMember(key);
  const std::string fileTitle = TitleOfName(NameOf(file));
  const std::string parent = FolderName(file, 1);

  switch (options.titleRule) {
    case 1: d.title = BeforeBracket(fileTitle); break;
    case 2: d.title = WithoutLeadingNumber(BeforeBracket(fileTitle)); break;
    case 3: d.title = parent; break;
    case 4: d.title = BeforeBracket(parent); break;
    default: d.title = fileTitle; break;
  }
  // The import never stores an empty title: the file's own name stands in.
  if (Trim(d.title).empty()) d.title = fileTitle;
  if (Trim(d.title).empty()) d.title = NameOf(file);
  d.title = CutToBytes(d.title, kColumnByteLimit);

  if (options.makerRule == 1) d.maker = CutToBytes(parent, kColumnByteLimit);
  if (options.makerRule == 2) d.maker = CutToBytes(FolderName(file, 2), kColumnByteLimit);

  std::vector<std::string> marks = SplitMarks(options.countryMarks);
  switch (options.versionRule) {
    case 1: d.version = FromBracket(fileTitle); break;
    case 2: d.version = WithoutMarksAndYears(FromBracket(fileTitle), marks); break;
    case 3: d.version = FromBracket(parent); break;
    default: break;
  }
  d.version = CutToBytes(d.version, kColumnByteLimit);

  // The year: the member's name, the file's name, then the folders upwards.
  if (options.yearFromPath) {
    d.saleYear = YearOfName(NameOf(member));
    for (std::string rest = file; d.saleYear.empty() && !rest.empty();) {
      d.saleYear = YearOfName(NameOf(rest));
      std::size_t sep = FindLastChar(rest, '\\');
      rest = sep == std::string::npos ? std::string() : rest.substr(0, sep);
    }
  }
  if (d.saleYear.empty()) d.saleYear = options.year;

  if (!options.countryFromPath) {
    d.country = Trim(options.countryMarks);
  } else {
    for (const std::string& mark : marks)
      if (FindText(key, mark) != std::string::npos) {
        d.country = mark;
        break;
      }
    if (d.country.empty() && options.countryDefaultFirst && !marks.empty()) d.country = marks.front();
  }
  if (options.countryWithoutBrackets) d.country = WithoutBrackets(d.country);
  d.country = CutToBytes(d.country, kColumnByteLimit);
  return d;
}

std::string TitleWithMember(const std::string& title, const std::string& key) {
  KeyParts parts = SplitItemKey(key);
  return CutToBytes(title + "[" + parts.memberExt + "]---[" + parts.memberTitle + "]", kColumnByteLimit);
}

}  // namespace vel
