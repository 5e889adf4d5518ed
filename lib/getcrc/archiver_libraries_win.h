#pragma once
// Member lists of LZH, RAR and 7z archives through the archiver libraries
// (unlha32.dll, UNRAR32.dll, 7-zip32.dll), each loaded on first use. Only the
// listing entries are used: open, find first, find next, close.
#include <windows.h>

#include <string>

#include "maintenance/archive_lister.h"

namespace vel {

class ArchiverLibraries : public ArchiveLister {
 public:
  // With `fromSystemFolder` each library is loaded from that folder, else by
  // its bare name (the normal library search).
  ArchiverLibraries(std::string systemFolder, bool fromSystemFolder);
  ~ArchiverLibraries() override;
  ArchiverLibraries(const ArchiverLibraries&) = delete;
  ArchiverLibraries& operator=(const ArchiverLibraries&) = delete;

  bool List(const std::string& archivePath, std::vector<std::string>& members,
            std::string& problem) override;

 private:
  using OpenFn = HANDLE(WINAPI*)(HWND, LPCSTR, DWORD);
  using FindFirstFn = int(WINAPI*)(HANDLE, LPCSTR, void*);
  using FindNextFn = int(WINAPI*)(HANDLE, void*);
  using CloseFn = int(WINAPI*)(HANDLE);
  struct Library {
    const char* extension;
    const char* file;
    const char* prefix;  // of the entry names
    bool tried = false;
    HMODULE module = nullptr;
    OpenFn open = nullptr;
    FindFirstFn findFirst = nullptr;
    FindNextFn findNext = nullptr;
    CloseFn close = nullptr;
  };
  Library* Load(const std::string& extension);

  std::string systemFolder_;
  bool fromSystemFolder_;
  Library libraries_[3] = {{"lzh", "unlha32.dll", "Unlha"},
                           {"rar", "UNRAR32.dll", "Unrar"},
                           {"7z", "7-zip32.dll", "SevenZip"}};
};

}  // namespace vel
