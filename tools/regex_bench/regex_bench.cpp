// The matcher benchmark: a pattern of the size the in-list search's Migemo
// expansion gives, matched over N titles by the companion's matcher (CP932
// text, one call per row, as the in-list search calls it) and by our SQL
// extension's REGEXP over the same rows in one statement. With --standard
// the standard library's engine, which both used before, runs over the same
// rows beside them. The matcher should stay within 1.3 times the extension's
// time.
//
//   regex_bench EXTENSION_PATH [--rows N] [--standard]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "db/library_connection.h"
#include "platform/codepage.h"
#include "platform/system.h"
#include "search/regex_matcher.h"

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

// What Migemo makes of "ban": every reading and writing of the syllables,
// the kanji read so, and the full- and half-width letters (UTF-8 here).
std::string MigemoSizedPattern() {
  const char* kanji[] = {"番", "晩", "板", "版", "伴", "判", "坂", "阪", "盤", "蛮", "万", "萬", "挽", "幡",
                         "播", "絆", "范", "藩", "磐", "礬", "蕃", "袢", "釆", "飯", "斑", "搬", "班", "般",
                         "販", "汎", "煩", "頒", "範", "繁", "反", "半", "帆", "犯", "畔", "氾", "叛", "攀",
                         "樊", "燔", "翻", "膰", "蟠", "旛", "礬", "絆"};
  std::string p = "(ばん|バン|ﾊﾞﾝ|ｂａｎ|ＢＡＮ|ban|[ばバ][んン]|ば[あぁ]ん|バ[アァ]ン|ヴァン|ばーん|バーン|";
  for (const char* k : kanji) p += std::string(k) + "|" + k + "[々〆ヶ]?|";
  p += "[ばバﾊ]ﾞ?[んンﾝ]|b[aA@]n|ｂ[ａＡ]ｎ|(?:ば|バ)(?:ん|ン)(?:ぱ|パ)?)";
  return p;
}

// Titles of the kinds a library holds; one in fifty holds the word.
std::vector<std::string> Titles(int rows) {
  const char* parts[] = {"ドラゴン", "クエスト", "ファンタジー", "信長の野望", "三國志", "ゲーム", "ザナドゥ",
                         "イース", "ソーサリアン", "Super", "Mario", "Quest", "Ⅱ", "Ⅲ", "完全版", "（1987）",
                         "[b]", "(J)", "ときめき", "メモリアル", "大戦略", "ぷよぷよ", "ロードス島戦記", "英雄伝説"};
  std::mt19937 random(7);
  std::vector<std::string> titles;
  titles.reserve(static_cast<size_t>(rows));
  for (int i = 0; i < rows; ++i) {
    std::string title;
    int words = 2 + static_cast<int>(random() % 4);
    for (int w = 0; w < words; ++w) title += parts[random() % (sizeof parts / sizeof *parts)];
    if (i % 50 == 0) title += "バンパイア";
    titles.push_back(vel::Jp(title));
  }
  return titles;
}

std::wstring WideOf(const std::string& cp932) {
  std::string utf8 = vel::AnsiToUtf8(cp932);
  std::wstring wide;
  for (size_t i = 0; i < utf8.size();) {
    unsigned char c = static_cast<unsigned char>(utf8[i]);
    int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
    unsigned cp = extra == 0 ? c : c & (0x3F >> extra);
    for (int k = 1; k <= extra && i + static_cast<size_t>(k) < utf8.size(); ++k)
      cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + static_cast<size_t>(k)]) & 0x3F);
    wide += static_cast<wchar_t>(cp);
    i += static_cast<size_t>(extra) + 1;
  }
  return wide;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: regex_bench EXTENSION_PATH [--rows N]\n");
    return 2;
  }
  const std::string extension = argv[1];
  int rows = 100000;
  bool withStandard = false;
  for (int i = 2; i < argc; ++i) {
    if (std::strcmp(argv[i], "--rows") == 0 && i + 1 < argc) rows = std::atoi(argv[++i]);
    if (std::strcmp(argv[i], "--standard") == 0) withStandard = true;
  }

  const std::string pattern = vel::Jp(MigemoSizedPattern());
  const std::vector<std::string> titles = Titles(rows);
  size_t characters = 0;
  for (unsigned char c : vel::AnsiToUtf8(pattern)) characters += (c & 0xC0) != 0x80 ? 1 : 0;
  std::printf("pattern: %zu characters; rows: %d\n", characters, rows);

  // The companion's matcher, one call per row as the in-list search makes them.
  vel::RegexMatcher matcher;
  if (!matcher.SetPattern(pattern)) {
    std::fprintf(stderr, "the matcher refused the pattern\n");
    return 1;
  }
  auto started = Clock::now();
  int matcherHits = 0;
  for (const std::string& title : titles) matcherHits += matcher.Match(title) ? 1 : 0;
  const double matcherSeconds = Seconds(started);

  // The extension over the same rows, in one statement.
  vel::LibraryConnection db;
  db.Open(":memory:", extension);
  if (auto error = db.Query("CREATE TABLE t(title TEXT);")) {
    std::fprintf(stderr, "%s\n", error->c_str());
    return 1;
  }
  std::string insert = "BEGIN;";
  for (const std::string& title : titles) insert += "INSERT INTO t VALUES('" + vel::Quote(title) + "');";
  if (auto error = db.Query(insert + "COMMIT;")) {
    std::fprintf(stderr, "%s\n", error->c_str());
    return 1;
  }
  started = Clock::now();
  auto error = db.Query("SELECT count(*) FROM t WHERE title REGEXP '" + vel::Quote(pattern) + "';");
  const double extensionSeconds = Seconds(started);
  if (error) {
    std::fprintf(stderr, "extension: %s\n", error->c_str());
    return 1;
  }
  const int extensionHits = std::atoi(db.Cell(1, 0).c_str());

  // The standard library's engine over the same rows, for comparison.
  double standardSeconds = 0;
  int standardHits = matcherHits;
  if (withStandard) {
    std::wregex standard(WideOf(pattern), std::regex::ECMAScript | std::regex::icase);
    std::vector<std::wstring> wide;
    for (const std::string& title : titles) wide.push_back(WideOf(title));
    started = Clock::now();
    standardHits = 0;
    for (const std::wstring& title : wide) standardHits += std::regex_search(title, standard) ? 1 : 0;
    standardSeconds = Seconds(started);
  }

  std::printf("matcher   %8.3f s  %6.2f us/row  %d hits\n", matcherSeconds, matcherSeconds * 1e6 / rows,
              matcherHits);
  std::printf("extension %8.3f s  %6.2f us/row  %d hits\n", extensionSeconds, extensionSeconds * 1e6 / rows,
              extensionHits);
  if (withStandard)
    std::printf("std regex %8.3f s  %6.2f us/row  %d hits (the engine both used before)\n", standardSeconds,
                standardSeconds * 1e6 / rows, standardHits);
  const double ratio = matcherSeconds / extensionSeconds;
  std::printf("matcher / extension: %.2f (target 1.30 or less): %s\n", ratio, ratio <= 1.3 ? "met" : "NOT met");
  bool agree = matcherHits == extensionHits && matcherHits == standardHits;
  if (!agree) std::printf("the engines disagree on the matches\n");
  return agree ? 0 : 1;
}
