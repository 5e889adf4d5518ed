// The companion library: creates and upgrades the library schema and offers
// a regular-expression matcher. Loaded by the program around each use.
#include <windows.h>

#include <cstring>

#include "core/cp932_text.h"
#include "db/library_connection.h"
#include "db/schema.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "search/regex_matcher.h"

namespace {

constexpr LONG kInterfaceVersion = 207012;

vel::RegexMatcher& Matcher() {
  static vel::RegexMatcher matcher;
  return matcher;
}

bool SettingsFileIsReadOnly(const char* settingsPath) {
  if (!settingsPath) return false;
  DWORD attributes = GetFileAttributesA(settingsPath);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
}

}  // namespace

extern "C" {

__declspec(dllexport) LONG WINAPI getLibVersion() { return kInterfaceVersion; }

// Creates the database file and every missing table; -1 when the library
// cannot be prepared (the program then ends).
__declspec(dllexport) LONG WINAPI MakeDBandTable(const char* databasePath, const char* extensionPath,
                                                 HWND mainWindow, SHORT* noSaveFlag,
                                                 const char* /*baseFolder*/,
                                                 const char* /*defaultDatabaseName*/,
                                                 const char* settingsPath) {
  // A settings file the user made read-only is left as it is at exit.
  if (noSaveFlag) *noSaveFlag = SettingsFileIsReadOnly(settingsPath) ? 1 : 0;
  vel::LibraryConnection db;
  db.Open(databasePath ? databasePath : "", extensionPath ? extensionPath : "");
  if (auto error = vel::CreateOrUpgradeSchema(db)) {
    vel::ShowMessage(vel::Jp("データベースを準備できませんでした。\n") + (databasePath ? databasePath : "") +
                         "\n" + vel::Utf8ToAnsi(*error),
                     vel::Jp("DBエラー"), vel::kMbOk | vel::kMbIconError, mainWindow);
    return -1;
  }
  return 0;
}

// Brings the item view to its current form.
__declspec(dllexport) LONG WINAPI setV3views(const char* databasePath, const char* extensionPath,
                                             HWND mainWindow, LONG /*infoDelay*/) {
  vel::LibraryConnection db;
  db.Open(databasePath ? databasePath : "", extensionPath ? extensionPath : "");
  if (auto error = vel::CreateItemView(db)) {
    vel::ShowMessage(vel::Jp("ビュー all_item_view を作成できませんでした。\n") + vel::Utf8ToAnsi(*error),
                     vel::Jp("DBエラー"), vel::kMbOk | vel::kMbIconError, mainWindow);
    return -1;
  }
  return 0;
}

__declspec(dllexport) void WINAPI regexSetPattern(const char* pattern) {
  Matcher().SetPattern(pattern ? pattern : "");
}

// Non-zero on a match; the matched text (at most 256 bytes, whole characters)
// is left in `matched` when the caller gives a buffer.
__declspec(dllexport) LONG WINAPI regexMatch(const char* text, char* matched) {
  std::string found;
  bool hit = Matcher().Match(text ? text : "", &found);
  if (matched) {
    std::string cut = vel::CutToBytes(found, 256);
    std::memcpy(matched, cut.data(), cut.size());
    matched[cut.size()] = '\0';
  }
  return hit ? 1 : 0;
}

}  // extern "C"
