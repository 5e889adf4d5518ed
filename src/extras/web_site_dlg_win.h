#pragma once
// The window "Web検索の設定": lists the web search sites and registers,
// removes and reorders them.
namespace vel {

struct AppState;

void ShowWebSiteDialog(AppState& app);

}  // namespace vel
