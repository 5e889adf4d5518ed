#include "app/html_help_win.h"

#include <string>

#include "core/app_state_win.h"
#include "platform/codepage.h"
#include "platform/dialogs.h"
#include "platform/system.h"

namespace vel {
namespace {

using HtmlHelpFn = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
constexpr UINT kHelpInitialize = 0x001C;
constexpr UINT kHelpUninitialize = 0x001D;
constexpr UINT kHelpCloseAll = 0x0012;
constexpr UINT kHelpDisplayTopic = 0x0000;

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

void OpenHelpTopic(AppState& app, HWND owner, const char* topic) {
  std::string file = app.paths.base + "\\Velmarook2.chm";
  if (!gHtmlHelp || !FileExists(file)) {
    ShowMessage(Jp("ヘルプファイルが見つかりません。\n") + file, Jp("エラー"), kMbOk | kMbIconError, owner);
    return;
  }
  std::string target = app.paths.helpFile + "::/" + topic + ".htm";
  gHtmlHelp(owner, target.c_str(), kHelpDisplayTopic, 0);
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
