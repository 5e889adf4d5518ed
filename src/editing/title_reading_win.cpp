#include "editing/title_reading_win.h"

#include "core/app_state_win.h"
#include "core/dialog_window_win.h"
#include "core/settings.h"
#include "maintenance/kakasi.h"
#include "maintenance/kana_settings_dlg_win.h"

namespace vel {

std::unique_ptr<TitleReading> ProgramTitleReading(AppState& app) {
  if (SettingInt(app.settings, "EditUICheckBoxs", "TitleToKana") != 1) return nullptr;
  const ReadingSettings settings = CurrentReadingSettings(app);
  Kakasi& kakasi = ProgramKakasi(app.paths.base, settings.kanaMode != kKanaHiragana);
  return std::make_unique<TitleReading>(
      std::make_unique<TitleConverter>(ReadSymbolTables(app.paths.settingsFile), &kakasi),
      ReadingOptions(settings, kakasi.Ready()));
}

void FollowTitle(TitleReading* reading, const std::string& title, HWND readingBox) {
  if (!reading || !readingBox) return;
  if (auto made = reading->Follow(title, WindowText(readingBox))) SetWindowTextA(readingBox, made->c_str());
}

}  // namespace vel
