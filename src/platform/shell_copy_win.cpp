#include "platform/shell_copy_win.h"

#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

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

// Wine's shell shows no progress window for a copy and announces every copied
// file to the shell one by one, which costs it milliseconds a file: a backup
// of many small images spends more time there than copying. Under Wine a
// file whose target is not there yet is copied directly (the shell would ask
// nothing for it either) and only those that would replace a file go to the
// shell, with its confirmation; the folder is announced once.
bool UnderWine() {
  static const bool wine = [] {
    HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
    return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
  }();
  return wine;
}

bool Exists(const std::wstring& path) { return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

ShellCopyResult RunShellCopy(const std::vector<std::string>& sources, const std::vector<std::string>& targets,
                             void* owner) {
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
  return ShellCopyResult::kCopied;
}

// The copy as Wine's shell makes it, without its announcement of each file.
ShellCopyResult CopyUnderWine(const std::vector<std::string>& sources, const std::vector<std::string>& targets,
                              void* owner) {
  std::vector<std::string> replacingSources, replacingTargets;
  std::vector<std::wstring> folders;
  for (size_t i = 0; i < sources.size(); ++i) {
    const std::wstring source = WideFromAnsi(sources[i]), target = WideFromAnsi(targets[i]);
    // A target that is there (or appears meanwhile) is the shell's to replace.
    if (Exists(target) || !CopyFileW(source.c_str(), target.c_str(), TRUE)) {
      if (!Exists(target)) return ShellCopyResult::kFailed;
      replacingSources.push_back(sources[i]);
      replacingTargets.push_back(targets[i]);
      continue;
    }
    const size_t separator = target.find_last_of(L"\\/");
    if (separator != std::wstring::npos) {
      std::wstring folder = target.substr(0, separator);
      if (folders.empty() || folders.back() != folder) folders.push_back(std::move(folder));
    }
  }
  for (const std::wstring& folder : folders) SHChangeNotify(SHCNE_UPDATEDIR, SHCNF_PATHW, folder.c_str(), nullptr);
  if (replacingSources.empty()) return ShellCopyResult::kCopied;
  return RunShellCopy(replacingSources, replacingTargets, owner);
}

}  // namespace

ShellCopyResult ShellCopyFiles(const std::vector<std::string>& sources, const std::vector<std::string>& targets,
                               void* owner) {
  if (sources.empty() || sources.size() != targets.size()) return ShellCopyResult::kFailed;
  const ShellCopyResult copied =
      UnderWine() ? CopyUnderWine(sources, targets, owner) : RunShellCopy(sources, targets, owner);
  if (copied != ShellCopyResult::kCopied) return copied;
  // Some failures are not reported at all: every target must be there.
  for (const std::string& target : targets) {
    DWORD attributes = GetFileAttributesW(WideFromAnsi(target).c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return ShellCopyResult::kFailed;
  }
  return ShellCopyResult::kCopied;
}

}  // namespace vel
