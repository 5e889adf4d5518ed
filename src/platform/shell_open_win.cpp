#include <windows.h>
#include <shellapi.h>

#include "platform/shell_open.h"

namespace vel {

bool ShellOpenReal(const ShellRequest& request, void* owner) {
  HINSTANCE result =
      ShellExecuteA(static_cast<HWND>(owner), request.verb.empty() ? nullptr : request.verb.c_str(),
                    request.file.c_str(), request.parameters.empty() ? nullptr : request.parameters.c_str(), nullptr,
                    SW_SHOWNORMAL);
  // The shell reports success with a value above 32.
  return reinterpret_cast<INT_PTR>(result) > 32;
}

}  // namespace vel
