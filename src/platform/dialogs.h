#pragma once
// The one road for every message box and yes/no question. Tests install a
// scripted answerer that records what was asked and answers it.
#include <functional>
#include <string>

namespace vel {

// Buttons and icons (values of the Windows message box flags).
enum MessageFlags : unsigned {
  kMbOk = 0x0,
  kMbOkCancel = 0x1,
  kMbYesNo = 0x4,
  kMbIconError = 0x10,
  kMbIconQuestion = 0x20,
  kMbIconWarning = 0x30,
  kMbIconInformation = 0x40,
  kMbDefaultButton2 = 0x100,  // the second button (No, Cancel) is the default
  kMbSystemModal = 0x1000,
};

// Answers (values of the Windows dialog results).
enum MessageAnswer : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

struct MessageRequest {
  std::string text;     // CP932
  std::string caption;  // CP932
  unsigned flags = 0;
};

using MessageAnswerer = std::function<int(const MessageRequest&)>;

// Shows a message box over `owner` (a window handle, or null) and returns the answer.
int ShowMessage(const std::string& text, const std::string& caption, unsigned flags,
                void* owner = nullptr);

// Replaces the real message box (pass an empty function to restore it).
void SetMessageAnswerer(MessageAnswerer answerer);

// File pickers go through the same kind of seam.
struct FileRequest {
  std::string filterDescription;  // CP932, e.g. "...(Velmarook.db)"
  std::string pattern;            // e.g. "Velmarook.db" or "*.csv"
  std::string initialPath;        // CP932
  bool forSaving = false;         // set by PickFileToSave
};

using FileAnswerer = std::function<std::string(const FileRequest&)>;

// The chosen file's path, or "" when the user cancelled.
std::string PickFileToOpen(const FileRequest& request, void* owner = nullptr);
// The save picker: the chosen path (which may not exist yet), or "" when
// cancelled; an existing file is replaced only after the user agreed.
std::string PickFileToSave(const FileRequest& request, void* owner = nullptr);
void SetFileAnswerer(FileAnswerer answerer);

// The shell's folder browser, in which files can be chosen as well as folders.
struct FolderRequest {
  std::string title;        // CP932
  std::string initialPath;  // CP932, may be empty
};
using FolderAnswerer = std::function<std::string(const FolderRequest&)>;

// The chosen folder or file, or "" when the user cancelled.
std::string PickFolderOrFile(const FolderRequest& request, void* owner = nullptr);
void SetFolderAnswerer(FolderAnswerer answerer);

}  // namespace vel
