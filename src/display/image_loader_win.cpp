#include "display/image_loader_win.h"

#include <windows.h>
#include <gdiplus.h>

#include "core/app_state_win.h"

namespace vel {

void StartImageSupport(AppState& app) {
  Gdiplus::GdiplusStartupInput input;
  input.GdiplusVersion = 1;
  if (Gdiplus::GdiplusStartup(&app.gdiplusToken, &input, nullptr) != Gdiplus::Ok)
    app.gdiplusToken = 0;
}

void ShutdownImageSupport(AppState& app) {
  if (app.gdiplusToken) Gdiplus::GdiplusShutdown(app.gdiplusToken);
  app.gdiplusToken = 0;
}

}  // namespace vel
