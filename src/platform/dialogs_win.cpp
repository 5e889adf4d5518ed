#include <windows.h>

#include "platform/dialogs.h"

namespace vel {

int ShowRealMessage(const MessageRequest& request, void* owner) {
  return MessageBoxA(static_cast<HWND>(owner), request.text.c_str(), request.caption.c_str(),
                     request.flags);
}

}  // namespace vel
