#pragma once
// Completes an editable combo box (title, maker, developer, country) from the
// values already in the library as the user types into it.
#include <windows.h>

#include <string>

#include "search/field_completion.h"

namespace vel {

struct AppState;
class LibraryConnection;

struct FieldCompleter {
  std::string column;          // the main_table column the field holds
  size_t previousLength = 0;   // the text's length at the previous edit
  bool filling = false;        // the drop-down is being refilled
  // The column's values, read at the first look-up without a pattern (or
  // beforehand by a dialog that completes one field) and kept while the
  // completer lives.
  CompletionValues values;
};

// Called on each edit of the combo box (CBN_EDITCHANGE). `db` is a
// connection of the caller's own, never the main one (its result is the
// item list). The typed text and caret are kept.
void CompleteField(AppState& app, LibraryConnection& db, HWND combo, FieldCompleter& completer);

}  // namespace vel
