#include "platform/dialogs.h"
#include "platform/thread_message_answerer.h"

#include <mutex>

namespace vel {

int ShowRealMessage(const MessageRequest& request, void* owner);          // per platform
std::string PickRealFileToOpen(const FileRequest& request, void* owner);  // per platform
std::string PickRealFileToSave(const FileRequest& request, void* owner);  // per platform
std::string PickRealFolderOrFile(const FolderRequest& request, void* owner);  // per platform

namespace {
std::mutex gAnswererLock;
MessageAnswerer gAnswerer;
FileAnswerer gFileAnswerer;
FolderAnswerer gFolderAnswerer;
thread_local MessageAnswerer gThreadAnswerer;
}  // namespace

void SetThreadMessageAnswerer(MessageAnswerer answerer) { gThreadAnswerer = std::move(answerer); }

void SetFolderAnswerer(FolderAnswerer answerer) {
  std::lock_guard<std::mutex> guard(gAnswererLock);
  gFolderAnswerer = std::move(answerer);
}

std::string PickFolderOrFile(const FolderRequest& request, void* owner) {
  FolderAnswerer answerer;
  {
    std::lock_guard<std::mutex> guard(gAnswererLock);
    answerer = gFolderAnswerer;
  }
  if (answerer) return answerer(request);
  return PickRealFolderOrFile(request, owner);
}

void SetFileAnswerer(FileAnswerer answerer) {
  std::lock_guard<std::mutex> guard(gAnswererLock);
  gFileAnswerer = std::move(answerer);
}

std::string PickFileToOpen(const FileRequest& request, void* owner) {
  FileAnswerer answerer;
  {
    std::lock_guard<std::mutex> guard(gAnswererLock);
    answerer = gFileAnswerer;
  }
  if (answerer) return answerer(request);
  return PickRealFileToOpen(request, owner);
}

std::string PickFileToSave(const FileRequest& request, void* owner) {
  FileRequest saving = request;
  saving.forSaving = true;
  FileAnswerer answerer;
  {
    std::lock_guard<std::mutex> guard(gAnswererLock);
    answerer = gFileAnswerer;
  }
  if (answerer) return answerer(saving);
  return PickRealFileToSave(saving, owner);
}

void SetMessageAnswerer(MessageAnswerer answerer) {
  std::lock_guard<std::mutex> guard(gAnswererLock);
  gAnswerer = std::move(answerer);
}

int ShowMessage(const std::string& text, const std::string& caption, unsigned flags,
                void* owner) {
  MessageRequest request{text, caption, flags};
  if (gThreadAnswerer) return gThreadAnswerer(request);
  MessageAnswerer answerer;
  {
    std::lock_guard<std::mutex> guard(gAnswererLock);
    answerer = gAnswerer;
  }
  if (answerer) return answerer(request);
  return ShowRealMessage(request, owner);
}

}  // namespace vel
