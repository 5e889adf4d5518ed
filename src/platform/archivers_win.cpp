#include "platform/archivers_win.h"

#include <windows.h>

namespace vel {
namespace {

class LoadedArchiver : public Archiver {
 public:
  LoadedArchiver(HMODULE module, const std::string& prefix) : module_(module) {
    command_ = Bind<CommandFn>(prefix);
    open_ = Bind<OpenFn>(prefix + "OpenArchive");
    findFirst_ = Bind<FindFirstFn>(prefix + "FindFirst");
    findNext_ = Bind<FindNextFn>(prefix + "FindNext");
    close_ = Bind<CloseFn>(prefix + "CloseArchive");
  }
  ~LoadedArchiver() override { FreeLibrary(module_); }
  LoadedArchiver(const LoadedArchiver&) = delete;
  LoadedArchiver& operator=(const LoadedArchiver&) = delete;

  void* OpenArchive(void* owner, const char* path) override {
    return open_ ? open_(static_cast<HWND>(owner), path, 0) : nullptr;
  }
  int FindFirst(void* archive, const char* wildcard, void* record) override {
    return findFirst_ ? findFirst_(archive, wildcard, record) : -1;
  }
  int FindNext(void* archive, void* record) override { return findNext_ ? findNext_(archive, record) : -1; }
  int CloseArchive(void* archive) override { return close_ ? close_(archive) : -1; }
  int Command(void* owner, const char* commandLine) override {
    return command_ ? command_(static_cast<HWND>(owner), commandLine, nullptr, 0) : -1;
  }

 private:
  using CommandFn = int(WINAPI*)(HWND, LPCSTR, LPSTR, DWORD);
  using OpenFn = HANDLE(WINAPI*)(HWND, LPCSTR, DWORD);
  using FindFirstFn = int(WINAPI*)(HANDLE, LPCSTR, void*);
  using FindNextFn = int(WINAPI*)(HANDLE, void*);
  using CloseFn = int(WINAPI*)(HANDLE);

  template <typename Fn>
  Fn Bind(const std::string& name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(module_, name.c_str())));
  }

  HMODULE module_;
  CommandFn command_ = nullptr;
  OpenFn open_ = nullptr;
  FindFirstFn findFirst_ = nullptr;
  FindNextFn findNext_ = nullptr;
  CloseFn close_ = nullptr;
};

class LoadedArchivers : public ArchiverSet {
 public:
  Archiver* Loaded(ArchiverId id) override { return slots_[static_cast<int>(id)].get(); }
  std::unique_ptr<LoadedArchiver> slots_[kArchiverCount];
};

}  // namespace

std::unique_ptr<ArchiverSet> LoadArchivers(const std::string& systemFolder, bool fromSystemFolder) {
  auto set = std::make_unique<LoadedArchivers>();
  if (fromSystemFolder && systemFolder.empty()) return set;  // never fall back to the search
  for (int i = 0; i < kArchiverCount; ++i) {
    const ArchiverNames& names = NamesOf(static_cast<ArchiverId>(i));
    std::string path = fromSystemFolder ? systemFolder + "\\" + names.file : names.file;
    if (HMODULE module = LoadLibraryA(path.c_str())) set->slots_[i] = std::make_unique<LoadedArchiver>(module, names.prefix);
  }
  return set;
}

std::string SystemFolder() {
  char folder[MAX_PATH] = {};
  UINT length = GetSystemDirectoryA(folder, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(folder, length) : std::string();
}

}  // namespace vel
