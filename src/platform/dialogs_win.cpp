#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "platform/dialogs.h"

namespace vel {

int ShowRealMessage(const MessageRequest& request, void* owner) {
  return MessageBoxA(static_cast<HWND>(owner), request.text.c_str(), request.caption.c_str(),
                     request.flags);
}

namespace {

// The common file dialog, opening or saving, over the request's one filter.
std::string PickRealFile(const FileRequest& request, void* owner, bool save) {
  // Filter: description, NUL, pattern, NUL, NUL.
  std::string filter = request.filterDescription + '\0' + request.pattern + '\0' + '\0';
  std::vector<char> file(32768, '\0');
  request.initialPath.copy(file.data(), std::min(request.initialPath.size(), file.size() - 1));
  OPENFILENAMEA dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = static_cast<HWND>(owner);
  dialog.lpstrFilter = filter.c_str();
  dialog.lpstrFile = file.data();
  dialog.nMaxFile = static_cast<DWORD>(file.size());
  // "*.csv" adds ".csv" to a name typed without one.
  std::string extension = request.pattern.rfind("*.", 0) == 0 ? request.pattern.substr(2) : std::string();
  if (save) {
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetSaveFileNameA(&dialog)) return {};
  } else {
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameA(&dialog)) return {};
  }
  return file.data();
}

}  // namespace

std::string PickRealFileToOpen(const FileRequest& request, void* owner) {
  return PickRealFile(request, owner, false);
}

std::string PickRealFileToSave(const FileRequest& request, void* owner) {
  return PickRealFile(request, owner, true);
}

namespace {

int CALLBACK SelectInitialFolder(HWND browser, UINT message, LPARAM, LPARAM data) {
  if (message == BFFM_INITIALIZED && data)
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
  return 0;
}

}  // namespace

std::string PickRealFolderOrFile(const FolderRequest& request, void* owner) {
  BROWSEINFOA browse{};
  browse.hwndOwner = static_cast<HWND>(owner);
  browse.lpszTitle = request.title.c_str();
  browse.ulFlags = BIF_BROWSEINCLUDEFILES | BIF_NEWDIALOGSTYLE;
  browse.lpfn = SelectInitialFolder;
  browse.lParam = request.initialPath.empty() ? 0 : reinterpret_cast<LPARAM>(request.initialPath.c_str());
  PIDLIST_ABSOLUTE chosen = SHBrowseForFolderA(&browse);
  if (!chosen) return {};
  char path[MAX_PATH * 2] = {};
  BOOL ok = SHGetPathFromIDListA(chosen, path);
  CoTaskMemFree(chosen);
  return ok ? std::string(path) : std::string();
}

}  // namespace vel
