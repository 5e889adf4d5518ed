#include "platform/shell_open.h"

#include <cstdio>
#include <cstdlib>
#include <mutex>

namespace vel {

bool ShellOpenReal(const ShellRequest& request, void* owner);  // per platform

namespace {
std::mutex gShellLock;
ShellAnswerer gShellAnswerer;

bool IsWebPage(const std::string& file) {
  auto startsWith = [&](const char* scheme) {
    std::string head = file.substr(0, std::char_traits<char>::length(scheme));
    for (char& c : head) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    return head == scheme;
  };
  return startsWith("http:") || startsWith("https:");
}
}  // namespace

void SetShellAnswerer(ShellAnswerer answerer) {
  std::lock_guard<std::mutex> guard(gShellLock);
  gShellAnswerer = std::move(answerer);
}

bool ShellOpen(const ShellRequest& request, void* owner) {
  ShellAnswerer answerer;
  {
    std::lock_guard<std::mutex> guard(gShellLock);
    answerer = gShellAnswerer;
  }
  if (answerer) return answerer(request);
  if (const char* log = std::getenv(kShellLogVariable); log && *log) {
    if (std::FILE* f = std::fopen(log, "ab")) {
      std::string line = request.verb + "\t" + request.file + "\t" + request.parameters + "\n";
      std::fwrite(line.data(), 1, line.size(), f);
      std::fclose(f);
    }
    if (IsWebPage(request.file)) return true;
  }
  return ShellOpenReal(request, owner);
}

}  // namespace vel
