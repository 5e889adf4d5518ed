#include "core/own_library_win.h"

#include "core/app_state_win.h"
#include "core/shell_services_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {

void EndForMissingLibrary(AppState& app, const std::string& text) {
  ShowMessage(text, Jp("強制終了"), kMbOk | kMbIconError, app.mainWindow);
  FinalExit(app);
}

}  // namespace vel
