#pragma once
// The archiver libraries as the Windows program loads them at start-up.
#include <memory>
#include <string>

#include "platform/archivers.h"

namespace vel {

// Loads unlha32.dll, UnZip32.dll, UNRAR32.dll and 7-zip32.dll: from
// `systemFolder` + "\" + name when `fromSystemFolder`, else by bare name (the
// normal library search). A library that cannot be loaded leaves its slot
// empty; an entry a library lacks stays empty. The set frees them when it goes.
std::unique_ptr<ArchiverSet> LoadArchivers(const std::string& systemFolder, bool fromSystemFolder);

// The Windows system folder, without a trailing backslash.
std::string SystemFolder();

}  // namespace vel
