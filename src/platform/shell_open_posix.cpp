#include "platform/shell_open.h"

namespace vel {

// This build has no shell: nothing is ever opened.
bool ShellOpenReal(const ShellRequest&, void*) { return false; }

}  // namespace vel
