#include "core/html_help_win.h"

#include "core/app_state_win.h"

namespace vel {
namespace {

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
constexpr UINT kHelpInitialize = 0x001C;
constexpr UINT kHelpUninitialize = 0x001D;
constexpr UINT kHelpCloseAll = 0x0012;

HMODULE gHelpModule = nullptr;
HtmlHelpFn gHtmlHelp = nullptr;

}  // namespace

void InitialiseHelp(AppState& app) {
  gHelpModule = LoadLibraryA("hhctrl.ocx");
  if (!gHelpModule) return;
  gHtmlHelp = reinterpret_cast<HtmlHelpFn>(
      reinterpret_cast<void*>(GetProcAddress(gHelpModule, "HtmlHelpA")));
  if (!gHtmlHelp) return;
  gHtmlHelp(nullptr, nullptr, kHelpInitialize, reinterpret_cast<DWORD_PTR>(&app.helpCookie));
  app.helpInitialised = true;
}

void UninitialiseHelp(AppState& app) {
  if (gHtmlHelp && app.helpInitialised) {
    gHtmlHelp(nullptr, nullptr, kHelpCloseAll, 0);
    gHtmlHelp(nullptr, nullptr, kHelpUninitialize, app.helpCookie);
  }
  app.helpInitialised = false;
  gHtmlHelp = nullptr;
  if (gHelpModule) FreeLibrary(gHelpModule);
  gHelpModule = nullptr;
}

}  // namespace vel
