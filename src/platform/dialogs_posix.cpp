#include <cstdio>

#include "platform/codepage.h"
#include "platform/dialogs.h"

namespace vel {

// Without a window system the message goes to standard error and every
// question is declined.
int ShowRealMessage(const MessageRequest& request, void*) {
  std::fprintf(stderr, "[%s] %s\n", AnsiToUtf8(request.caption).c_str(),
               AnsiToUtf8(request.text).c_str());
  unsigned buttons = request.flags & 0xF;
  if (buttons == kMbYesNo) return kIdNo;
  if (buttons == kMbOkCancel) return kIdCancel;
  return kIdOk;
}

std::string PickRealFileToOpen(const FileRequest&, void*) { return {}; }
std::string PickRealFileToSave(const FileRequest&, void*) { return {}; }
std::string PickRealFolderOrFile(const FolderRequest&, void*) { return {}; }

}  // namespace vel
