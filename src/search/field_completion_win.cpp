#include "search/field_completion_win.h"

#include <vector>

#include "core/app_state_win.h"
#include "core/settings.h"
#include "db/library_connection.h"
#include "search/field_completion.h"
#include "search/migemo.h"
#include "search/search_run_win.h"

namespace vel {
namespace {

std::string ComboText(HWND combo) {
  const int length = GetWindowTextLengthA(combo);
  std::string text(static_cast<size_t>(length < 0 ? 0 : length) + 1, '\0');
  const int read = GetWindowTextA(combo, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(read < 0 ? 0 : read));
  return text;
}

std::string Pattern(AppState& app, const std::string& text) {
  MigemoSource* migemo = ProgramMigemo(app);
  if (!CompletionWantsMigemo(SettingInt(app.settings, "Migemo", "InclOn") == 1,
                             MigemoUsability(migemo, app.regexMode, text), text))
    return "";
  auto pattern = migemo->Query(PrepareMigemoQuery(text));
  if (!pattern || pattern->empty()) return "";
  return AdaptMigemoPattern(*pattern, SettingInt(app.settings, "Migemo", "InclClassLimit"), app.regexMode);
}

}  // namespace

void CompleteField(AppState& app, LibraryConnection& db, HWND combo, FieldCompleter& completer) {
  if (completer.filling) return;
  const std::string text = ComboText(combo);
  DWORD start = 0, end = 0;
  SendMessageA(combo, CB_GETEDITSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  const CompletionStep step = NextCompletionStep(completer.previousLength, text);
  completer.previousLength = text.size();
  if (step == CompletionStep::Keep) return;
  std::vector<std::string> values;
  if (step == CompletionStep::LookUp) {
    CompletionRequest request;
    request.column = completer.column;
    request.text = text;
    request.migemoPattern = Pattern(app, text);
    request.regexEngine = app.regexMode;
    if (request.migemoPattern.empty() && (completer.values.Loaded() || !completer.values.Load(db, request.column)))
      values = completer.values.Matching(text);
    else
      LookUpCompletions(db, request, values);  // a failed look-up offers nothing
  }
  completer.filling = true;
  if (values.empty()) {
    SendMessageA(combo, CB_SHOWDROPDOWN, FALSE, 0);
  } else {
    SendMessageA(combo, CB_RESETCONTENT, 0, 0);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    for (const std::string& value : values)
      if (SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(value.c_str())) < 0) break;
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
  }
  // Opening and refilling the list replace the edit text: the typed text and
  // the caret come back.
  SetWindowTextA(combo, text.c_str());
  SendMessageA(combo, CB_SETEDITSEL, 0, MAKELPARAM(start, end));
  completer.filling = false;
}

}  // namespace vel
