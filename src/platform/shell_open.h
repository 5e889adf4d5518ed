#pragma once
// Handing a document, a web page or a program to the shell. Tests install an
// answerer that records what was asked and answers it instead.
#include <functional>
#include <string>

namespace vel {

struct ShellRequest {
  std::string verb;        // "open", or "" for the shell's default action
  std::string file;        // CP932: a path, a URL or a program
  std::string parameters;  // CP932, the command line handed to a program
};

using ShellAnswerer = std::function<bool(const ShellRequest&)>;

// True when the shell took the request.
bool ShellOpen(const ShellRequest& request, void* owner = nullptr);
// Replaces the real shell (pass an empty function to restore it).
void SetShellAnswerer(ShellAnswerer answerer);

// A running program can be told, by the environment variable
// VELMAROOK2_SHELL_LOG naming a file, to write every request into that file
// as one line "verb<TAB>file<TAB>parameters"; web pages are then only
// written there, not opened.
inline constexpr const char* kShellLogVariable = "VELMAROOK2_SHELL_LOG";

}  // namespace vel
