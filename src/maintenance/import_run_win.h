#pragma once
// Running an import or a CRC recalculation through the import library.
#include <windows.h>

#include <vector>

#include "maintenance/import_options.h"

namespace vel {

struct AppState;

// Opens the progress window "イメージの検索と追加" over `owner`, runs the
// import and returns once the window is closed and the import has ended.
void RunImport(AppState& app, HWND owner, const DirAddOptions& options);

// The text slots as separately allocated buffers of their capacities, for the library.
class TextSlots {
 public:
  explicit TextSlots(const DirAddOptions& options);
  char** Pointers() { return pointers_; }

 private:
  std::vector<char> buffers_[6];
  char* pointers_[6] = {};
};

}  // namespace vel
