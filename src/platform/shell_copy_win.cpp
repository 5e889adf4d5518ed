#include "platform/shell_copy_win.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/wide_text_win.h"

namespace vel {
namespace {

// The shell's list form: each path ended by a NUL, the list by one more.
std::wstring PathList(const std::vector<std::string>& paths) {
  std::wstring list;
  for (const std::string& path : paths) {
    list += WideFromAnsi(path);
    list += L'\0';
  }
  list += L'\0';
  return list;
}

}  // namespace

ShellCopyResult ShellCopyFiles(const std::vector<std::string>& sources, const std::vector<std::string>& targets,
                               void* owner) {
  if (sources.empty() || sources.size() != targets.size()) return ShellCopyResult::kFailed;
  const std::wstring from = PathList(sources), to = PathList(targets);
  SHFILEOPSTRUCTW operation{};
  operation.hwnd = static_cast<HWND>(owner);
  operation.wFunc = FO_COPY;
  operation.pFrom = from.c_str();
  operation.pTo = to.c_str();
  operation.fFlags = FOF_MULTIDESTFILES | FOF_NOCONFIRMMKDIR;
  int result = SHFileOperationW(&operation);
  // A cancel in the shell's dialogs is reported with 0 and the abort flag.
  if (operation.fAnyOperationsAborted) return ShellCopyResult::kCancelled;
  if (result != 0) return ShellCopyResult::kFailed;
  // Some failures are not reported at all: every target must be there.
  for (const std::string& target : targets) {
    DWORD attributes = GetFileAttributesW(WideFromAnsi(target).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ShellCopyResult::kFailed;
  }
  return ShellCopyResult::kCopied;
}

}  // namespace vel
